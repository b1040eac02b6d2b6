#include "gis/GisFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace utm {

GisFormat FormatOfPath(std::string_view path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') return GisFormat::Text;
    std::string ending(path.substr(dot + 1));
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static constexpr std::array<std::pair<std::string_view, GisFormat>, 7> kEndings = {{
        {"gpx", GisFormat::Gpx},
        {"kml", GisFormat::Kml},
        {"geojson", GisFormat::GeoJson},
        {"json", GisFormat::GeoJson},
        {"shp", GisFormat::Shapefile},
        {"gpkg", GisFormat::GeoPackage},
        {"dxf", GisFormat::Dxf},
    }};
    for (const auto& [name, format] : kEndings) {
        if (ending == name) return format;
    }
    return GisFormat::Text;
}

bool IsGisFormat(GisFormat format) {
    return format != GisFormat::Text;
}

std::string_view FormatName(GisFormat format) {
    switch (format) {
        case GisFormat::Text:
            return "text";
        case GisFormat::Gpx:
            return "GPX";
        case GisFormat::Kml:
            return "KML";
        case GisFormat::GeoJson:
            return "GeoJSON";
        case GisFormat::Shapefile:
            return "Shapefile";
        case GisFormat::GeoPackage:
            return "GeoPackage";
        case GisFormat::Dxf:
            return "DXF";
    }
    return "text";
}

bool HoldsWgs84LatLong(GisFormat format) {
    return format == GisFormat::Gpx || format == GisFormat::Kml || format == GisFormat::GeoJson;
}

bool HoldsLayers(GisFormat format) {
    return format == GisFormat::GeoPackage || format == GisFormat::Kml ||
           format == GisFormat::Gpx || format == GisFormat::Dxf;
}

}  // namespace utm
