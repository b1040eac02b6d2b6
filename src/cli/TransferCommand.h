// utmconv transfer: a data file moved to another grid, as the transfer window does it.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace utm::cli {

struct TransferOptions {
    std::string kind;      ///< list position 0 to 7 or the exact caption
    std::string dataFile;  ///< CSV mode when it ends in "CSV" (any case), else tab-separated
    std::string output;    ///< empty: the result file beside the data file
    bool strict = false;
    std::string onError = "mark";
    std::string separator;            ///< comma, semicolon, tab, blank; empty: detected
    std::string columns;              ///< "A,B" by 1-based number or header name; empty: detected
    std::string datumShift = "none";  ///< for the kinds between WGS 84 and Everest 1830
    std::string lineEnds;             ///< "lf", "crlf" or empty: of the standard output
};

/// Adds the `transfer` subcommand to `app`.
void AddTransferCommand(CLI::App& app);

/// Writes the result file, warns on stderr about the findings of the run and
/// returns the result file's path. Throws OperationError on a bad kind or
/// datum shift, a data file that is missing, unreadable or empty, a point
/// that cannot be transferred or a result file that cannot be written;
/// nothing is left behind.
std::string RunTransferCommand(const TransferOptions& options);

/// utmconv transform: a data file moved between any two coordinate systems.
struct TransformOptions {
    /// everest81 ... latlong-wgs84; empty: the system a GIS input states
    std::string from;
    std::string to;
    std::string datumShift = "none";
    bool strict = false;
    std::string onError = "mark";
    std::string separator;  ///< comma, semicolon, tab, blank; empty: detected
    std::string columns;    ///< "A,B" by 1-based number or header name; empty: detected
    std::string lineEnds;   ///< "lf", "crlf" or empty: of the standard output
    std::string dataFile;   ///< CSV mode when it ends in "CSV" (any case), else tab-separated
    std::string outFile;
    std::string layer;  ///< the one layer of a GIS input to read; empty: every layer
};

/// Adds the `transform` subcommand to `app`.
void AddTransformCommand(CLI::App& app);

/// Writes the result file in the transfer's result format, or, when either
/// file is a GIS file by its name (.gpx .kml .geojson .json .shp .gpkg
/// .dxf), the output in its format with every vertex converted; warns on
/// stderr about the findings of the run. Throws OperationError as
/// RunTransferCommand, on an unknown coordinate system, and on a GIS file
/// that contradicts --from or cannot hold --to.
void RunTransformCommand(const TransformOptions& options);

}  // namespace utm::cli
