#include "cli/PointCommand.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/CliSupport.h"
#include "common/NumberFormat.h"
#include "geodesy/Accuracy.h"
#include "geodesy/Angles.h"
#include "geodesy/ClsUTM.h"

namespace utm::cli {

void AddPointCommand(CLI::App& app) {
    auto options = std::make_shared<PointOptions>();
    CLI::App* point =
        app.add_subcommand("point", "Convert one point between latitude/longitude and grid X/Y");
    point->add_option("--ellipsoid", options->ellipsoid, "Ellipsoid of the grid")
        ->required()
        ->check(CLI::IsMember({"everest", "wgs84"}));
    point->add_option("--cm", options->centralMeridian, "Central meridian, degrees east")
        ->required();
    CLI::Option* toXY = point
                            ->add_option("--to-xy", options->toXY,
                                         "Latitude and longitude (decimal degrees) to X and Y")
                            ->expected(2)
                            ->type_name("LAT LON");
    CLI::Option* toLatLong =
        point
            ->add_option("--to-latlong", options->toLatLong,
                         "X and Y (metres) to latitude and longitude (decimal degrees)")
            ->expected(2)
            ->type_name("X Y");
    toXY->excludes(toLatLong);
    point->callback([options] { WriteStdout(RunPointCommand(*options)); });
}

std::string RunPointCommand(const PointOptions& options) {
    if (options.toXY.empty() && options.toLatLong.empty()) {
        throw CommandError("give --to-xy LAT LON or --to-latlong X Y");
    }
    const double cm = ParseNumberArgument(options.centralMeridian, "--cm");
    const bool wgs84 = options.ellipsoid == "wgs84";
    const ClsUTM utm;
    double first = 0.0;
    double second = 0.0;
    if (!options.toXY.empty()) {
        const double lat = ParseNumberArgument(options.toXY.at(0), "latitude");
        const double lon = ParseNumberArgument(options.toXY.at(1), "longitude");
        if (OutsideLatitudeRange(lat)) {
            throw CommandError("the latitude " + options.toXY.at(0) +
                               " lies outside -90 to 90 degrees");
        }
        if (wgs84) {
            utm.LatLongToXYWGS(lat, lon, cm, first, second);
        } else {
            utm.LatLongToXYEverest(lat, lon, cm, first, second);
        }
    } else {
        const double x = ParseNumberArgument(options.toLatLong.at(0), "X");
        const double y = ParseNumberArgument(options.toLatLong.at(1), "Y");
        double latRad = 0.0;
        double lonRad = 0.0;
        if (wgs84) {
            utm.XYToLatLongWGS(x, y, cm, latRad, lonRad);
        } else {
            utm.XYToLatLongEverest(x, y, cm, latRad, lonRad);
        }
        first = RadiansToDegrees(latRad);
        second = RadiansToDegrees(lonRad);
        if (OutsideLatitudeRange(first)) {
            throw CommandError("the point has no latitude: the northing " +
                               options.toLatLong.at(1) + " gives " + FormatGeneral(first) +
                               " degrees, outside -90 to 90 (beyond the pole)");
        }
    }
    // Beyond the reach of the series the result may be off by more than 1 cm.
    const bool forward = !options.toXY.empty();
    const double easting = forward ? first : ParseNumberArgument(options.toLatLong.at(0), "X");
    const double reach = forward ? kForwardCentimetreReach : kInverseCentimetreReach;
    if (Beyond(easting, reach)) {
        std::fprintf(stderr,
                     "utmconv: warning: the point lies more than %ld km east or west of the "
                     "central meridian, where the projection series may be off by more than "
                     "1 cm\n",
                     std::lround(reach / 1000.0));
    }
    return FormatGeneral(first) + "\t" + FormatGeneral(second) + "\n";
}

}  // namespace utm::cli
