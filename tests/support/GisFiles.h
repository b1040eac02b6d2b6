// Small GIS files for the tests, written and read back through GDAL; vertices
// in GDAL's axis order (easting or longitude first).
#pragma once

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace utm::test {

/// Writes the layer "parcels" of (WKT, "name" attribute) features into a new
/// file at `path` with the GDAL driver `driver`, stating `srs`.
inline void WriteGisLayer(const std::string& path, const char* driver, OGRSpatialReference srs,
                          OGRwkbGeometryType type,
                          const std::vector<std::pair<std::string, std::string>>& features) {
    GDALAllRegister();
    GDALDatasetUniquePtr dataset(GetGDALDriverManager()->GetDriverByName(driver)->Create(
        path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer* layer = dataset->CreateLayer("parcels", &srs, type, nullptr);
    OGRFieldDefn name("name", OFTString);
    layer->CreateField(&name);
    for (const auto& [wkt, text] : features) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField("name", text.c_str());
        OGRGeometry* geometry = nullptr;
        OGRGeometryFactory::createFromWkt(wkt.c_str(), nullptr, &geometry);
        feature.SetGeometryDirectly(geometry);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) throw std::runtime_error(path);
    }
}

using Vertices = std::vector<std::array<double, 2>>;

inline void CollectVertices(const OGRGeometry& g, Vertices& out) {
    if (const auto* collection = dynamic_cast<const OGRGeometryCollection*>(&g)) {
        for (const OGRGeometry* part : *collection) CollectVertices(*part, out);
    } else if (const auto* polygon = dynamic_cast<const OGRPolygon*>(&g)) {
        for (const OGRLinearRing* ring : *polygon) CollectVertices(*ring, out);
    } else if (const auto* curve = dynamic_cast<const OGRSimpleCurve*>(&g)) {
        for (const OGRPoint& p : *curve) out.push_back({p.getX(), p.getY()});
    } else if (const auto* point = dynamic_cast<const OGRPoint*>(&g)) {
        out.push_back({point->getX(), point->getY()});
    }
}

/// Every feature of every layer of the file at `path`, in order: its "name"
/// attribute and its vertices (none without geometry).
inline std::vector<std::pair<std::string, Vertices>> ReadGisFeatures(const std::string& path) {
    GDALAllRegister();
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
    if (!dataset) throw std::runtime_error("cannot open " + path);
    std::vector<std::pair<std::string, Vertices>> features;
    for (OGRLayer* layer : dataset->GetLayers()) {
        for (const auto& feature : *layer) {
            features.emplace_back(feature->GetFieldAsString("name"), Vertices{});
            if (const OGRGeometry* g = feature->GetGeometryRef()) {
                CollectVertices(*g, features.back().second);
            }
        }
    }
    return features;
}

}  // namespace utm::test
