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
    std::string latLongDatum = "everest";  ///< "everest" or "wgs84"
    bool fullPrecision = false;
    /// "deg3" (or empty), "deg8" or "dms": with --to-latlong, deg8 and dms
    /// round latitudes and longitudes to eight decimals; see Units.
    std::string units;
    bool strict = false;
    std::string onError = "mark";
    std::string separator;  ///< comma, semicolon, tab, blank; empty: detected
    std::string columns;    ///< "A,B" by 1-based number or header name; empty: detected
    std::string lineEnds;   ///< "lf", "crlf" or empty: of the standard output
    std::string dataFile;
    std::string outFile;
};

/// Adds the `convert` subcommand to `app`.
void AddConvertCommand(CLI::App& app);

/// Converts the data file into the output file and warns on stderr about
/// fields taken as 0 and the other findings of the run. Throws OperationError
/// on bad arguments, an unreadable, empty or non-text data file, an output that
/// is the data file or may not be replaced, a point that cannot be converted,
/// a finding under --strict or an output that cannot be written; the output
/// file is then left as it was.
void RunConvertCommand(const ConvertOptions& options);

}  // namespace utm::cli
