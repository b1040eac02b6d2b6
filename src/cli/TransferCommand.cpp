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
                         "Result file (default: the data file's name less its last four "
                         "characters plus Out.csv or Out.txt)");
    transfer->callback([options] { RunTransferCommand(*options); });
}

std::string RunTransferCommand(const TransferOptions& options) {
    const int kind = ParseKind(options.kind);
    std::string resultPath = options.output;
    if (resultPath.empty()) {
        const std::optional<std::string> beside = ResultFilePath(options.dataFile);
        if (!beside) {
            throw CommandError("the data file name \"" + options.dataFile +
                               "\" is too short to name a result file beside it; give --output");
        }
        resultPath = *beside;
    }
    try {
        TransferFile(options.dataFile, resultPath, kind);
    } catch (const TransferFileError& e) {
        throw CommandError(e.what());
    }
    return resultPath;
}

}  // namespace utm::cli
