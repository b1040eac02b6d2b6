// utmconv convert: a whole data file converted into a tab-separated output
// file, with the engine and byte for byte the output of the desktop program's
// batch conversion.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace utm::cli {

struct ConvertOptions {
    std::string centralMeridian = "84";  ///< degrees east, as typed
    bool toXY = false;
    bool toLatLong = false;
    bool fullPrecision = false;
    std::string dataFile;
    std::string outFile;
};

/// Adds the `convert` subcommand to `app`.
void AddConvertCommand(CLI::App& app);

/// Converts the data file into the output file. Throws CommandError (one-line
/// message) on bad arguments, an unreadable or empty data file, an output equal
/// to the data file, a point that cannot be converted or an output that cannot
/// be written; the output file is then left as it was.
void RunConvertCommand(const ConvertOptions& options);

}  // namespace utm::cli
