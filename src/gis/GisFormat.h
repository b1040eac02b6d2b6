// The file formats of the GIS runs, told by the file's name, and what each
// can hold.
#pragma once

#include <string_view>

namespace utm {

enum class GisFormat {
    Text,        ///< a data file of the table reader (anything without a GIS ending)
    Gpx,         ///< .gpx
    Kml,         ///< .kml
    GeoJson,     ///< .geojson, .json
    Shapefile,   ///< .shp (with its .shx, .dbf, .prj, .cpg)
    GeoPackage,  ///< .gpkg
    Dxf,         ///< .dxf
};

/// The format of a file by its name's ending, in any letter case; Text for
/// any other name (and for "-", the standard streams).
GisFormat FormatOfPath(std::string_view path);

/// True for every format but Text.
bool IsGisFormat(GisFormat format);

/// The name a person knows the format by: "GPX", "KML", "GeoJSON",
/// "Shapefile", "GeoPackage", "DXF", "text".
std::string_view FormatName(GisFormat format);

/// True for GPX, KML and GeoJSON, which hold WGS 84 latitude and longitude
/// by definition.
bool HoldsWgs84LatLong(GisFormat format);

/// True for the formats whose one file holds many layers: GeoPackage, KML,
/// GPX (waypoints, routes, tracks) and DXF (one drawing, the layer names
/// kept as its layers).
bool HoldsLayers(GisFormat format);

}  // namespace utm
