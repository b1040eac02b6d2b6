// utmconv crs: the definition of a coordinate system, for a GIS to take.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace utm::cli {

struct CrsOptions {
    std::string system;           ///< everest81 ... latlong-wgs84
    std::string format = "wkt2";  ///< wkt2, wkt1, esri or proj
};

/// Adds the `crs` subcommand to `app`; when parsed it prints the definition.
void AddCrsCommand(CLI::App& app);

/// The definition of the system in the format, ended by a line feed. Throws
/// CommandError naming the text of an unknown system or format.
std::string RunCrsCommand(const CrsOptions& options);

}  // namespace utm::cli
