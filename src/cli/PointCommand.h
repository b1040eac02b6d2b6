// utmconv point: one point converted either way on one grid.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace utm::cli {

struct PointOptions {
    std::string ellipsoid;  ///< "everest" or "wgs84"
    /// "everest" or "wgs84": the datum of the latitude and longitude; empty
    /// means the grid's own (no shift).
    std::string latLongDatum;
    std::string centralMeridian;         ///< degrees east, as typed
    std::vector<std::string> toXY;       ///< LAT LON in decimal degrees
    std::vector<std::string> toLatLong;  ///< X Y in metres
    /// "deg3", "deg8" or "dms": the units of the printed results; empty
    /// prints both numbers in general form.
    std::string units;
};

/// Adds the `point` subcommand to `app`; when parsed it prints its line.
void AddPointCommand(CLI::App& app);

/// The line utmconv prints for the point: two numbers in general form
/// separated by a TAB and ended by a line feed; with units, metres as
/// "##.000" and latitude and longitude as FormatAngleForUnits writes them
/// (with "dms" the --to-xy values may also be degrees, minutes and seconds,
/// read by ReadDms). When the latitude/longitude
/// datum differs from the grid's, the latitude and longitude are shifted with
/// EPSG:6208 (before the forward projection, after the inverse). Throws CommandError on a value
/// that is not a number and ArithmeticError when the result cannot be computed.
std::string RunPointCommand(const PointOptions& options);

}  // namespace utm::cli
