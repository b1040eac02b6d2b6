// The coordinate reference systems of the program's grids and
// latitude/longitude systems, defined once for every file written and every
// definition printed, and recognised in the files read.
#pragma once

#include <ogr_spatialref.h>

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

/// The name of a reference system as its definitions carry it, e.g.
/// "Nepal 1981 / Everest TM 84", "WGS 84 / UTM zone 45N", "WGS 84".
std::string ReferenceName(const ReferenceSystem& reference);

/// The notations a definition is printed in.
enum class CrsFormat { Wkt2, Wkt1, Esri, Proj };

/// Reads `wkt2`, `wkt1`, `esri` or `proj` (any letter case). Throws
/// ParameterError naming the text and the four names otherwise.
CrsFormat ParseCrsFormat(std::string_view text);

/// The definition of `reference` in `format`: WKT2 (2019) with the shift to
/// WGS 84 as a bound CRS for Nepal 1981, WKT1 (GDAL's, with TOWGS84), ESRI's
/// WKT (which cannot hold the shift), or a PROJ string (with +towgs84).
std::string CrsDefinition(const ReferenceSystem& reference, CrsFormat format);

/// The spatial reference GDAL layers of `reference` carry, in the
/// traditional GIS axis order (easting, northing; longitude, latitude).
OGRSpatialReference SpatialReferenceOf(const ReferenceSystem& reference);

/// The reference system a file's spatial reference describes, recognised by
/// its ellipsoid, projection and parameters (not by names, and whether or
/// not a shift to WGS 84 is attached), if it is one the program writes:
/// latitude/longitude on either datum, a Nepal 1981 grid on any central
/// meridian at k0 0.9999, or a WGS 84 grid on 81°, 84° or 87° E at k0 0.9996.
/// A definition that attaches another shift than EPSG:6208 (or, on WGS 84,
/// any shift) is not recognised: a GIS would put its points elsewhere.
std::optional<ReferenceSystem> RecogniseReference(const OGRSpatialReference& reference);

/// A file's spatial reference as a message names it: its name, and its EPSG
/// code where it has one ("WGS 84 / UTM zone 44N (EPSG:32644)").
std::string DescribeReference(const OGRSpatialReference& reference);

}  // namespace utm
