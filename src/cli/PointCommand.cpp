#include "cli/PointCommand.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "cli/CliSupport.h"
#include "cli/OptionHelp.h"
#include "common/NumberFormat.h"
#include "common/NumericText.h"
#include "geodesy/Accuracy.h"
#include "geodesy/AngleNotation.h"
#include "geodesy/PointConversion.h"
#include "geodesy/TransverseMercator.h"
#include "operations/Units.h"

namespace utm::cli {

namespace {

/// The --units texts, by the order of Units.
constexpr const char* kUnitNames[] = {"deg3", "deg8", "dms"};

Units UnitsNamed(const std::string& name) {
    if (name == kUnitNames[1]) return Units::Degrees8;
    if (name == kUnitNames[2]) return Units::Dms;
    return Units::DegreesMetres;
}

/// A latitude or longitude argument: a number, or with `angles` also degrees,
/// minutes and seconds, with a hemisphere letter of `axis`. Throws
/// CommandError with the problem otherwise.
double ParseAngleArgument(const std::string& text, const std::string& what, bool angles,
                          AngleAxis axis) {
    if (!angles || IsNumeric(text)) return ParseNumberArgument(text, what);
    DmsReading reading = ReadDms(text, axis);
    if (!reading.degrees) {
        // The problem is a sentence; utmconv's messages end without a full stop.
        std::string problem = std::move(reading.problem);
        if (problem.ends_with('.')) problem.pop_back();
        throw CommandError(what + ": " + problem);
    }
    return *reading.degrees;
}

}  // namespace

void AddPointCommand(CLI::App& app) {
    auto options = std::make_shared<PointOptions>();
    CLI::App* point =
        app.add_subcommand("point", "Convert one point between latitude/longitude and grid X/Y");
    point->add_option("--ellipsoid", options->ellipsoid, kEllipsoidHelp)
        ->required()
        ->check(CLI::IsMember({"everest", "wgs84"}));
    point->add_option("--cm", options->centralMeridian, kCentralMeridianHelp)->required();
    point->add_option("--latlong-datum", options->latLongDatum, kPointLatLongDatumHelp)
        ->check(CLI::IsMember({"everest", "wgs84"}));
    CLI::Option* toXY =
        point->add_option("--to-xy", options->toXY, kToXYHelp)->expected(2)->type_name("LAT LON");
    CLI::Option* toLatLong = point->add_option("--to-latlong", options->toLatLong, kToLatLongHelp)
                                 ->expected(2)
                                 ->type_name("X Y");
    toXY->excludes(toLatLong);
    point
        ->add_option("--units", options->units,
                     "Units of the results: deg3 (metres and degrees to 3 decimals), deg8 "
                     "(degrees to 8 decimals) or dms (degrees, minutes and seconds to 0.0001 "
                     "arc-second; --to-xy then also reads angles such as \"27 42 0.5\" or "
                     "\"27 42 0.5 N\"); metres "
                     "to 3 decimals with each. Without it both results are in general form")
        ->check(CLI::IsMember({kUnitNames[0], kUnitNames[1], kUnitNames[2]}));
    point->callback([options] { WriteStdout(RunPointCommand(*options)); });
}

std::string RunPointCommand(const PointOptions& options) {
    // The central meridian first: a --cm without its value takes the next
    // option as its text, which is named here.
    const double cm = ParseCentralMeridianArgument(options.centralMeridian);
    if (options.toXY.empty() && options.toLatLong.empty()) {
        throw CommandError("give --to-xy LAT LON or --to-latlong X Y");
    }
    const bool wgs84 = options.ellipsoid == "wgs84";
    const bool latLongWgs84 =
        options.latLongDatum.empty() ? wgs84 : options.latLongDatum == "wgs84";
    const PointConversion conversion(wgs84, latLongWgs84, cm);
    double first = 0.0;
    double second = 0.0;
    const Units units = UnitsNamed(options.units);
    if (!options.toXY.empty()) {
        const bool angles = units == Units::Dms;
        const double lat =
            ParseAngleArgument(options.toXY.at(0), "latitude", angles, AngleAxis::Latitude);
        const double lon =
            ParseAngleArgument(options.toXY.at(1), "longitude", angles, AngleAxis::Longitude);
        try {
            const GridPoint p = conversion.ToXY(lat, lon, options.toXY.at(0));
            first = p.x;
            second = p.y;
        } catch (const PointRangeError& e) {
            throw CommandError(e.what());
        }
    } else {
        const double x = ParseNumberArgument(options.toLatLong.at(0), "X");
        const double y = ParseNumberArgument(options.toLatLong.at(1), "Y");
        try {
            const LatLong g =
                conversion.ToLatLong(x, y, options.toLatLong.at(0), options.toLatLong.at(1));
            first = g.latitude;
            second = g.longitude;
        } catch (const PointRangeError& e) {
            throw CommandError(e.what());
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
    if (options.units.empty()) return FormatGeneral(first) + "\t" + FormatGeneral(second) + "\n";
    if (forward) return FormatFixed3(first) + "\t" + FormatFixed3(second) + "\n";
    const DmsMarks marks = TerminalDmsMarks();
    return FormatAngleForUnits(first, units, '.', marks) + "\t" +
           FormatAngleForUnits(second, units, '.', marks) + "\n";
}

}  // namespace utm::cli
