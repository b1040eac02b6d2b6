#include "cli/ConvertCommand.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/CliSupport.h"
#include "mainwindow/BatchConversion.h"
#include "mainwindow/DataLoad.h"
#include "mainwindow/MessageBoxPort.h"

namespace utm::cli {

namespace {

/// Keeps the message the batch run shows instead of showing it; answers No to
/// any question (none is asked: the output never equals the data file here).
class CollectingMessages : public MessageBoxPort {
  public:
    std::string last;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon,
                   const std::string&) override {
        last = text;
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::OK;
    }
};

/// True when both paths name one file: the same text, or the same file reached
/// another way (a relative path, a link).
bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

void AddConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert a data file of points into a tab-separated output file");
    convert->add_option("--cm", options->centralMeridian, "Central meridian, degrees east")
        ->capture_default_str();
    CLI::Option* toXY = convert->add_flag(
        "--to-xy", options->toXY, "Latitude and longitude (decimal degrees) to X and Y (metres)");
    CLI::Option* toLatLong =
        convert->add_flag("--to-latlong", options->toLatLong,
                          "X and Y (metres) to latitude and longitude (decimal degrees)");
    toXY->excludes(toLatLong);
    convert->add_flag("--full-precision", options->fullPrecision,
                      "Write the results unrounded instead of rounded to three decimals");
    convert->add_option("DATAFILE", options->dataFile, "Data file: LAT,LON or X,Y per line")
        ->required();
    convert->add_option("OUTFILE", options->outFile, "Output file (tab-separated text)")
        ->required();
    convert->callback([options] { RunConvertCommand(*options); });
}

void RunConvertCommand(const ConvertOptions& options) {
    if (options.toXY == options.toLatLong) {
        throw CommandError("give --to-xy or --to-latlong");
    }
    ParseNumberArgument(options.centralMeridian, "--cm");
    if (SameFile(options.dataFile, options.outFile)) {
        throw CommandError("OUTFILE \"" + options.outFile +
                           "\" is the data file: choose another output file");
    }
    ConvertDataFileRequest request;
    request.CentralMeridianText = options.centralMeridian;
    request.DataFilePath = options.dataFile;
    request.OutputPath = options.outFile;
    request.Direction =
        options.toXY ? ConversionDirection::LatLongToXY : ConversionDirection::XYToLatLong;
    request.FullPrecision = options.fullPrecision;

    BatchColumns columns;
    dataload loader(columns);
    CollectingMessages messages;
    const BatchRunResult result = ConvertDataFile(request, loader, messages);
    if (result.status != BatchRunResult::Status::Written) {
        throw CommandError(messages.last.empty() ? "nothing was written" : messages.last);
    }
}

}  // namespace utm::cli
