#include "cli/TransferCommand.h"

#include <memory>
#include <optional>

#include "cli/CliSupport.h"
#include "transfer/TransferFile.h"
#include "transfer/TransferKind.h"

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
    throw CommandError("unknown --kind \"" + text + "\": give 0 to 5 or one of " + known);
}

}  // namespace

void AddTransferCommand(CLI::App& app) {
    auto options = std::make_shared<TransferOptions>();
    CLI::App* transfer = app.add_subcommand(
        "transfer", "Move the X Y pairs of a data file to another grid (zone or datum transfer)");
    transfer
        ->add_option("--kind", options->kind,
                     "Transfer: 0 \"Everest-81 to Everest-84\", 1 \"Everest-87 to Everest-84\", "
                     "2 \"WGS84-44 to Everest-84\", 3 \"WGS84-45 to Everest-84\", "
                     "4 \"Everest-84 to Everest-81\", 5 \"Everest-84 to Everest-87\"")
        ->required()
        ->type_name("K");
    transfer
        ->add_option("DATAFILE", options->dataFile,
                     "Data file: comma-separated when its name ends in CSV, else tab-separated")
        ->required();
    transfer->add_option("--output", options->output,
                         "Result file (default: beside the data file, pts.csv giving ptsOut.csv, "
                         "pts.dat ptsOut.txt, any name without a three-letter ending NAMEOut.txt)");
    transfer->add_flag("--strict", options->strict,
                       "Refuse the file (exit 2, nothing written) at the first field that is not "
                       "a number, line without two fields or northing beyond the pole, instead of "
                       "taking such fields as 0 and warning");
    transfer->callback([options] { RunTransferCommand(*options); });
}

std::string RunTransferCommand(const TransferOptions& options) {
    const int kind = ParseKind(options.kind);
    std::string resultPath = options.output;
    if (resultPath.empty()) {
        const std::optional<std::string> beside = ResultFilePath(options.dataFile);
        if (!beside) {
            throw CommandError("the data file name \"" + options.dataFile +
                               "\" names no file to put a result file beside; give --output");
        }
        resultPath = *beside;
    }
    utm::TransferOptions transferOptions;
    transferOptions.strict = options.strict;
    const TransferFileResult result =
        TransferFile(options.dataFile, resultPath, kind, transferOptions);
    WarnAbout(result.report, options.dataFile);
    return resultPath;
}

}  // namespace utm::cli
