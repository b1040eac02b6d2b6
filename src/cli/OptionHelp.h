// The help texts of utmconv's options that the Python module's documentation
// repeats for its arguments of the same meaning: both say the same, from one
// place.
#pragma once

#include <cstddef>
#include <string>

#include "operations/TransferKind.h"

namespace utm::cli {

/// --cm of point and convert.
inline constexpr const char* kCentralMeridianHelp =
    "Central meridian, degrees east, within -180 to 360";

/// --ellipsoid of point.
inline constexpr const char* kEllipsoidHelp = "Ellipsoid of the grid";

/// --latlong-datum of point.
inline constexpr const char* kPointLatLongDatumHelp =
    "Datum of the latitude and longitude (default: the grid's own): wgs84 with --ellipsoid "
    "everest shifts GPS positions to Nepal 1981 with EPSG:6208 before projecting, and back after";

/// --to-xy and --to-latlong of point.
inline constexpr const char* kToXYHelp =
    "Latitude and longitude (decimal degrees) to X and Y; the longitude within -180 to 360 and "
    "at most 90 degrees from the central meridian";
inline constexpr const char* kToLatLongHelp =
    "X and Y (metres) to latitude and longitude (decimal degrees)";

/// --kind of transfer: the positions and their captions.
inline std::string TransferKindHelp() {
    std::string kinds = "Transfer:";
    for (int i = 0; i < kTransferKindCount; ++i) {
        kinds += (i == 0 ? " " : ", ") + std::to_string(i) + " \"" +
                 std::string(kTransferKindCaptions[static_cast<std::size_t>(i)]) + "\"";
    }
    return kinds;
}

/// --datum-shift of transfer.
inline constexpr const char* kTransferDatumShiftHelp =
    "Datum shift of the kinds between WGS 84 and Everest 1830 (2, 3, 6, 7): none (a pure "
    "re-projection), epsg6208 (Nepal 1981 to WGS 84, 0.3 m), or seven parameters from Nepal 1981 "
    "to WGS 84 (metres, arc-seconds, ppm; at most 10000 m, 3600 arc-seconds and 1000 ppm in "
    "magnitude) as helmert-pv:TX,TY,TZ,RX,RY,RZ,S (position vector) or helmert-cf:... "
    "(coordinate frame)";

/// The systems of transform's --from and --to.
inline constexpr const char* kCoordinateSystemsHelp =
    "everest81, everest84, everest87 (Everest 1830 grids, X Y), wgs84-44, wgs84-45 (WGS84 UTM "
    "zones, X Y), latlong-everest (Nepal 1981) or latlong-wgs84 (LAT LON, degrees)";

/// --datum-shift of transform.
inline constexpr const char* kTransformDatumShiftHelp =
    "Datum shift where the path crosses between WGS 84 and Everest 1830: none, epsg6208, "
    "helmert-pv:TX,TY,TZ,RX,RY,RZ,S or helmert-cf:... (as transfer)";

}  // namespace utm::cli
