// utmconv transfer: a data file moved to another grid, as the transfer window does it.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace utm::cli {

struct TransferOptions {
    std::string kind;      ///< list position 0 to 5 or the exact caption
    std::string dataFile;  ///< CSV mode when it ends in "CSV" (any case), else tab-separated
    std::string output;    ///< empty: the result file beside the data file
    bool strict = false;
};

/// Adds the `transfer` subcommand to `app`.
void AddTransferCommand(CLI::App& app);

/// Writes the result file, warns on stderr about the findings of the run and
/// returns the result file's path. Throws OperationError on a bad
/// kind, a data file that is missing, unreadable or empty, a point that cannot
/// be transferred or a result file that cannot be written; nothing is left behind.
std::string RunTransferCommand(const TransferOptions& options);

}  // namespace utm::cli
