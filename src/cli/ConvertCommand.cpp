#include "cli/ConvertCommand.h"

#include <memory>

#include "cli/CliSupport.h"
#include "common/DataFileReader.h"
#include "common/FileIO.h"
#include "operations/BatchConversion.h"

namespace utm::cli {

void AddConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert a data file of points into a tab-separated output file");
    convert->add_option("--cm", options->centralMeridian, kCentralMeridianHelp)
        ->capture_default_str();
    CLI::Option* toXY = convert->add_flag(
        "--to-xy", options->toXY, "Latitude and longitude (decimal degrees) to X and Y (metres)");
    CLI::Option* toLatLong =
        convert->add_flag("--to-latlong", options->toLatLong,
                          "X and Y (metres) to latitude and longitude (decimal degrees)");
    toXY->excludes(toLatLong);
    convert
        ->add_option("--latlong-datum", options->latLongDatum,
                     "Datum of the latitudes and longitudes: everest (Nepal 1981, no shift) or "
                     "wgs84 (GPS positions, shifted to and from Nepal 1981 with EPSG:6208)")
        ->check(CLI::IsMember({"everest", "wgs84"}))
        ->capture_default_str();
    CLI::Option* fullPrecision =
        convert->add_flag("--full-precision", options->fullPrecision,
                          "Write the results unrounded instead of rounded to three decimals");
    convert
        ->add_option("--units", options->units,
                     "Units of the latitudes and longitudes written: deg3 (3 decimals, the "
                     "default), deg8 or dms (both 8 decimals of a degree: files get decimal "
                     "degrees); metres always to 3 decimals")
        ->check(CLI::IsMember({"deg3", "deg8", "dms"}))
        ->excludes(fullPrecision);
    AddOnErrorOption(*convert, options->onError);
    AddTableOptions(*convert, options->separator, options->columns);
    AddLineEndsOption(*convert, options->lineEnds);
    convert->add_flag("--strict", options->strict,
                      "Refuse the file (exit 2, nothing written) at the first coordinate field "
                      "that is not a number or latitude outside -90 to 90, instead of marking or "
                      "taking such fields as 0 and warning");
    convert
        ->add_option("DATAFILE", options->dataFile,
                     "Data file: a table of points (LAT,LON or X,Y, other fields kept); - reads "
                     "the standard input from where it stands")
        ->required();
    convert
        ->add_option("OUTFILE", options->outFile,
                     "Output file (tab-separated text); - writes the standard output")
        ->required();
    convert->callback([options] { RunConvertCommand(*options); });
}

void RunConvertCommand(const ConvertOptions& options) {
    // The central meridian first: a --cm without its value takes the next
    // option as its text, which is named here.
    ParseCentralMeridianArgument(options.centralMeridian);
    if (options.toXY == options.toLatLong) {
        throw CommandError("give --to-xy or --to-latlong");
    }
    ConvertDataFileRequest request;
    request.CentralMeridianText = options.centralMeridian;
    request.DataFilePath = InputPath(options.dataFile);
    // The window's placeholder for "no file chosen" is an ordinary name here:
    // a missing file of that name is reported as any missing file is.
    if (request.DataFilePath == kNoDataFileText && !IdentityOf(request.DataFilePath)) {
        DataFileReader missing(request.DataFilePath);
    }
    request.OutputPath = OutputPath(options.outFile);
    request.OnFailure = ParseOnError(options.onError);
    request.Direction =
        options.toXY ? ConversionDirection::LatLongToXY : ConversionDirection::XYToLatLong;
    request.FullPrecision = options.fullPrecision;
    request.OutputUnits = options.units == "deg8"  ? Units::Degrees8
                          : options.units == "dms" ? Units::Dms
                                                   : Units::DegreesMetres;
    request.Datum =
        options.latLongDatum == "wgs84" ? LatLongDatum::WGS84 : LatLongDatum::Everest1830;

    request.Strict = options.strict;
    request.Table = ParseTableOptions(options.separator, options.columns);
    request.LfLineEnds = LfLineEnds(options.lineEnds, request.OutputPath);
    const BatchRunResult result = ConvertDataFile(request);
    FinishRun(result.report, request.DataFilePath);
}

}  // namespace utm::cli
