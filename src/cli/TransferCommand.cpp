#include "cli/TransferCommand.h"

#include <memory>
#include <optional>

#include "cli/CliSupport.h"
#include "cli/OptionHelp.h"
#include "common/FileIO.h"
#include "gis/GisTransform.h"
#include "operations/TransferFile.h"
#include "operations/TransferKind.h"

namespace utm::cli {

namespace {

int ParseKind(const std::string& text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kTransferKindCount) {
        return text[0] - '0';
    }
    if (const std::optional<int> position = TransferKindFromCaption(text)) return *position;
    std::string known;
    for (std::string_view caption : kTransferKindCaptions) {
        known += known.empty() ? "\"" : ", \"";
        known += caption;
        known += "\"";
    }
    throw CommandError("unknown --kind " + QuotedText(text) + ": give 0 to " +
                       std::to_string(kTransferKindCount - 1) + " or one of " + known);
}

}  // namespace

void AddTransferCommand(CLI::App& app) {
    auto options = std::make_shared<TransferOptions>();
    CLI::App* transfer = app.add_subcommand(
        "transfer", "Move the X Y pairs of a data file to another grid (zone or datum transfer)");
    transfer->add_option("--kind", options->kind, TransferKindHelp())->required()->type_name("K");
    transfer
        ->add_option(
            "DATAFILE", options->dataFile,
            "Data file: a table of X Y points (other fields kept); its separator is found from "
            "its first lines (comma when its name ends in CSV, else tab, when they show "
            "none); - reads the standard input from where it stands")
        ->required();
    transfer->add_option(
        "--output", options->output,
        "Result file (default: beside the data file, pts.csv giving ptsOut.csv, "
        "pts.dat ptsOut.txt, any name without a three-letter ending NAMEOut.txt; the standard "
        "output for a data file -); - writes the standard output");
    AddOnErrorOption(*transfer, options->onError);
    AddTableOptions(*transfer, options->separator, options->columns);
    AddLineEndsOption(*transfer, options->lineEnds);
    transfer->add_flag("--strict", options->strict,
                       "Refuse the file (exit 2, nothing written) at the first field that is not "
                       "a number, line without two fields or northing beyond the pole, instead of "
                       "taking such fields as 0 and warning");
    transfer->add_option("--datum-shift", options->datumShift, kTransferDatumShiftHelp)
        ->capture_default_str()
        ->type_name("SHIFT");
    transfer->callback([options] { RunTransferCommand(*options); });
}

std::string RunTransferCommand(const TransferOptions& options) {
    const int kind = ParseKind(options.kind);
    const DatumShift shift = ParseDatumShiftArgument(options.datumShift);
    const std::string dataPath = InputPath(options.dataFile);
    std::string resultPath = OutputPath(options.output);
    // A filter: the standard input's results go to the standard output.
    if (resultPath.empty() && options.dataFile == "-") resultPath = kStandardOutput;
    if (resultPath.empty()) {
        const std::optional<std::string> beside = ResultFilePath(options.dataFile);
        if (!beside) {
            throw CommandError("the data file name " + QuotedText(options.dataFile) +
                               " names no file to put a result file beside; give --output");
        }
        resultPath = *beside;
    }
    utm::TransferOptions transferOptions;
    transferOptions.strict = options.strict;
    transferOptions.datumShift = shift;
    transferOptions.onError = ParseOnError(options.onError);
    transferOptions.table = ParseTableOptions(options.separator, options.columns);
    transferOptions.lfLineEnds = LfLineEnds(options.lineEnds, resultPath);
    const TransferFileResult result = TransferFile(dataPath, resultPath, kind, transferOptions);
    FinishRun(result.report, dataPath);
    const TransferSystems systems = SystemsOfKind(kind);
    WarnAboutDatum(systems.from, systems.to, shift);
    return resultPath;
}

void AddTransformCommand(CLI::App& app) {
    auto options = std::make_shared<TransformOptions>();
    CLI::App* transform = app.add_subcommand(
        "transform",
        "Move the pairs of a data file, or every vertex of a GIS file, between any two "
        "coordinate systems, with or without a datum shift");
    const std::string systems = kCoordinateSystemsHelp;
    transform
        ->add_option("--from", options->from,
                     "Source system: " + systems +
                         ". Required for a data file; a GIS file that states its system (GPX, "
                         "KML and GeoJSON hold latlong-wgs84, a .prj or a GeoPackage says "
                         "theirs) gives it, and a --from that contradicts it is refused")
        ->type_name("SYS");
    transform
        ->add_option("--to", options->to,
                     "Target system, as --from; GPX, KML and GeoJSON outputs take only "
                     "latlong-wgs84")
        ->required()
        ->type_name("SYS");
    transform->add_option("--datum-shift", options->datumShift, kTransformDatumShiftHelp)
        ->capture_default_str()
        ->type_name("SHIFT");
    transform
        ->add_option("--layer", options->layer,
                     "The one layer of a GIS input to read (default: every layer, each to a "
                     "layer of the same name, or to OUTFILE_LAYER.EXT where the output format "
                     "holds one layer a file; a GPX file's waypoints, routes and tracks)")
        ->type_name("NAME");
    AddOnErrorOption(*transform, options->onError);
    AddTableOptions(*transform, options->separator, options->columns);
    AddLineEndsOption(*transform, options->lineEnds);
    transform->add_flag("--strict", options->strict,
                        "Refuse the file (exit 2, nothing written) at the first field that is "
                        "not a number, line without two fields, northing beyond the pole or "
                        "latitude outside -90 to 90");
    transform
        ->add_option(
            "DATAFILE", options->dataFile,
            "Data file: a table of X Y points (other fields kept); its separator is found from "
            "its first lines (comma when its name ends in CSV, else tab, when they show "
            "none); - reads the standard input from where it stands. Or a GIS file by its "
            "ending: .gpx .kml .geojson .json .shp .gpkg .dxf")
        ->required();
    transform
        ->add_option("OUTFILE", options->outFile,
                     "Result file: the two inputs and the two results per line, as transfer "
                     "writes them (CSV or text after the data file); - writes the standard "
                     "output. A GIS ending (.gpx .kml .geojson .json .shp .gpkg .dxf) writes "
                     "that format with the target's coordinate system; a text file from a GIS "
                     "input gets a row per vertex")
        ->required();
    transform->callback([options] { RunTransformCommand(*options); });
}

namespace {

/// The GIS run of transform: either file is a GIS file.
void RunGisTransform(const TransformOptions& options, const std::string& dataPath,
                     const std::string& resultPath) {
    CoordinateSystem from = CoordinateSystem::LatLongWGS84;
    if (!options.from.empty()) {
        from = ParseSystemArgument(options.from, "--from");
    } else {
        const std::optional<ReferenceSystem> stated = StatedReference(dataPath, options.layer);
        const std::optional<CoordinateSystem> system =
            stated ? SystemOfReference(*stated) : std::nullopt;
        if (!system) {
            throw CommandError(QuotedText(options.dataFile) +
                               " does not state one of the seven systems: give --from");
        }
        from = *system;
    }
    const CoordinateSystem to = ParseSystemArgument(options.to, "--to");
    const DatumShift shift = ParseDatumShiftArgument(options.datumShift);
    const GridTransform transform(from, to, shift);
    GisRunRequest request;
    request.inputPath = dataPath;
    request.outputPath = resultPath;
    request.conversion = ConversionOf(transform);
    request.sourceLabel = "--from " + std::string(NameOf(from));
    request.targetLabel = "--to " + std::string(NameOf(to));
    request.layer = options.layer;
    request.onError = ParseOnError(options.onError);
    request.table = ParseTableOptions(options.separator, options.columns);
    const GisRunResult result = RunGisFile(request);
    FinishRun(result.report, dataPath);
    WarnAboutDatum(from, to, shift);
}

}  // namespace

void RunTransformCommand(const TransformOptions& options) {
    const std::string dataPath = InputPath(options.dataFile);
    const std::string resultPath = OutputPath(options.outFile);
    if (IsGisRun(dataPath, resultPath)) {
        RunGisTransform(options, dataPath, resultPath);
        return;
    }
    if (!options.layer.empty()) {
        throw CommandError("--layer picks a layer of a GIS file; " + QuotedText(options.dataFile) +
                           " is a data file of text");
    }
    if (options.from.empty()) throw CommandError("--from is required for a data file of text");
    // Every argument is checked before any file is touched.
    const CoordinateSystem from = ParseSystemArgument(options.from, "--from");
    const CoordinateSystem to = ParseSystemArgument(options.to, "--to");
    const DatumShift shift = ParseDatumShiftArgument(options.datumShift);
    utm::TransferOptions transferOptions;
    transferOptions.strict = options.strict;
    transferOptions.datumShift = shift;
    transferOptions.onError = ParseOnError(options.onError);
    transferOptions.table = ParseTableOptions(options.separator, options.columns);
    transferOptions.lfLineEnds = LfLineEnds(options.lineEnds, resultPath);
    const TransferFileResult result =
        TransformFile(dataPath, resultPath, from, to, transferOptions);
    FinishRun(result.report, dataPath);
    WarnAboutDatum(from, to, shift);
}

}  // namespace utm::cli
