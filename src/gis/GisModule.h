// The entry of the GIS module (utm-gis.so), which holds everything that
// needs GDAL. The front ends load it on first use (GisTransform.h); it is built
// from the same tree, so C++ types pass between them as they are, and errors
// come back as values rather than exceptions crossing the module's edge.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "gis/GisTransform.h"

namespace utm {

/// How a call into the module ended.
struct GisCallError {
    enum class Kind { None, Failed, Cancelled };
    Kind kind = Kind::None;
    std::string message;
};

/// The module's functions.
struct GisModuleApi {
    int version;  ///< kGisModuleVersion of the tree it was built from
    void (*run)(const GisRunRequest& request, GisRunResult& result, GisCallError& error);
    void (*stated)(const std::string& path, const std::string& layer,
                   std::optional<ReferenceSystem>& reference, GisCallError& error);
    void (*definition)(const ReferenceSystem& reference, CrsFormat format, std::string& text,
                       GisCallError& error);
    void (*count)(const std::string& path, std::size_t& features, GisCallError& error);
};

/// Changes whenever GisModuleApi or the types it passes change.
inline constexpr int kGisModuleVersion = 2;

/// The file name of the module, and the symbol it exports.
inline constexpr const char* kGisModuleFile = "utm-gis.so";
inline constexpr const char* kGisModuleSymbol = "utm_gis_module_api";

namespace gdal {
/// What the module runs (GisTransform.cpp), under GDAL.
GisRunResult RunGisFile(const GisRunRequest& request);
std::optional<ReferenceSystem> StatedReference(const std::string& path, const std::string& layer);
std::size_t CountFeatures(const std::string& path);
}  // namespace gdal

}  // namespace utm

extern "C" const utm::GisModuleApi* utm_gis_module_api();
