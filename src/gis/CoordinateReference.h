// The coordinate reference systems of the program's grids and
// latitude/longitude systems as GDAL holds them, defined once for every file
// written and every definition printed, and recognised in the files read.
#pragma once

#include <ogr_spatialref.h>

#include <optional>
#include <string>
#include <string_view>

#include "gis/ReferenceSystem.h"

namespace utm {

/// The name of a reference system as its definitions carry it, e.g.
/// "Nepal 1981 / Everest TM 84", "WGS 84 / UTM zone 45N", "WGS 84".
std::string ReferenceName(const ReferenceSystem& reference);

/// The definition of `reference` in `format`: WKT2 (2019) with the shift to
/// WGS 84 as a bound CRS for Nepal 1981, WKT1 (GDAL's, with TOWGS84), ESRI's
/// WKT (which cannot hold the shift), or a PROJ string (with +towgs84).
std::string CrsDefinition(const ReferenceSystem& reference, CrsFormat format);

/// The spatial reference GDAL layers of `reference` carry, in the
/// traditional GIS axis order (easting, northing; longitude, latitude).
OGRSpatialReference SpatialReferenceOf(const ReferenceSystem& reference);

/// The reference system a file's spatial reference describes, recognised by
/// its ellipsoid, projection and parameters (not by names, and whether or
/// not a shift to WGS 84 is attached), if it is one the program writes.
std::optional<ReferenceSystem> RecogniseReference(const OGRSpatialReference& reference);

/// A file's spatial reference as a message names it: its name, and its EPSG
/// code where it has one ("WGS 84 / UTM zone 44N (EPSG:32644)").
std::string DescribeReference(const OGRSpatialReference& reference);

}  // namespace utm
