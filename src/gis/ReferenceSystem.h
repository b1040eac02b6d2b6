// The reference systems the program writes and recognises, named without
// GDAL: every front end (utmconv, the windows) speaks of them through this
// header, and only the GIS module, loaded when a GIS file is read or
// written, turns them into GDAL's spatial references.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "geodesy/GridTransform.h"

namespace utm {

/// A reference system the program writes and recognises: latitude/longitude
/// or a Transverse Mercator grid (latitude of origin 0, false easting
/// 500000 m, false northing 0), either on Nepal 1981 (the Everest 1830
/// ellipsoid exactly as the series use it, a = 6377276.345 m,
/// b = 6356075.413 m, with the EPSG:6208 shift to WGS 84 attached) or on WGS 84.
struct ReferenceSystem {
    bool grid = false;             ///< a Transverse Mercator grid, else latitude/longitude
    bool wgs84 = false;            ///< on WGS 84, else on Nepal 1981 (Everest 1830)
    double centralMeridian = 0.0;  ///< degrees east; grids only
    double k0 = 1.0;               ///< scale on the central meridian; grids only
    friend bool operator==(const ReferenceSystem&, const ReferenceSystem&) = default;
};

/// The reference system of one of the seven coordinate systems.
ReferenceSystem ReferenceOf(CoordinateSystem system);

/// The coordinate system whose reference system `reference` is, if it is
/// one of the seven.
std::optional<CoordinateSystem> SystemOfReference(const ReferenceSystem& reference);

/// The notations a definition is printed in.
enum class CrsFormat { Wkt2, Wkt1, Esri, Proj };

/// Reads `wkt2`, `wkt1`, `esri` or `proj` (any letter case). Throws
/// ParameterError naming the text and the four names otherwise.
CrsFormat ParseCrsFormat(std::string_view text);

}  // namespace utm
