// The front of the GIS module: loads utm-gis.so on first use and calls it.
#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "gis/GisModule.h"

namespace utm {

namespace {

/// Where the module is: beside the program's own folder in the build tree
/// and wherever the program is installed (PROGRAM/../lib/utm), else at the
/// path it is installed to.
std::vector<std::string> ModuleCandidates() {
    std::vector<std::string> candidates;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back(
            (self.parent_path().parent_path() / "lib" / "utm" / kGisModuleFile).string());
    }
    candidates.push_back(std::string(UTM_GIS_MODULE_DIR) + "/" + kGisModuleFile);
    return candidates;
}

const GisModuleApi& Module() {
    static std::once_flag once;
    static const GisModuleApi* api = nullptr;
    static std::string failure;
    std::call_once(once, [] {
        std::string tried;
        for (const std::string& path : ModuleCandidates()) {
            void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* why = dlerror();
                tried += (tried.empty() ? "" : "; ") + path + ": " + (why ? why : "not loaded");
                continue;
            }
            using Entry = const GisModuleApi* (*)();
            const auto entry = reinterpret_cast<Entry>(dlsym(handle, kGisModuleSymbol));
            const GisModuleApi* found = entry != nullptr ? entry() : nullptr;
            if (found == nullptr || found->version != kGisModuleVersion) {
                tried += (tried.empty() ? "" : "; ") + path + ": another version of the module";
                dlclose(handle);
                continue;
            }
            api = found;  // kept loaded until the program ends
            return;
        }
        failure = "GIS files need the GIS module of UTM (" + std::string(kGisModuleFile) +
                  ", with GDAL), which cannot be loaded (" + tried + "). Nothing was written.";
    });
    if (api == nullptr) throw OperationError(failure);
    return *api;
}

void Rethrow(const GisCallError& error) {
    switch (error.kind) {
        case GisCallError::Kind::None:
            return;
        case GisCallError::Kind::Cancelled:
            throw OperationCancelled(error.message);
        case GisCallError::Kind::Failed:
            throw OperationError(error.message);
    }
}

}  // namespace

bool IsGisRun(const std::string& inputPath, const std::string& outputPath) {
    return IsGisFormat(FormatOfPath(inputPath)) || IsGisFormat(FormatOfPath(outputPath));
}

GisRunResult RunGisFile(const GisRunRequest& request) {
    GisRunResult result;
    GisCallError error;
    Module().run(request, result, error);
    Rethrow(error);
    return result;
}

std::optional<ReferenceSystem> StatedReference(const std::string& path, const std::string& layer) {
    // Text and the formats that hold WGS 84 by definition need no module.
    const GisFormat format = FormatOfPath(path);
    if (format == GisFormat::Text) return std::nullopt;
    if (HoldsWgs84LatLong(format)) return ReferenceSystem{false, true, 0.0, 1.0};
    std::optional<ReferenceSystem> reference;
    GisCallError error;
    Module().stated(path, layer, reference, error);
    Rethrow(error);
    return reference;
}

std::size_t CountFeatures(const std::string& path) {
    std::size_t features = 0;
    GisCallError error;
    Module().count(path, features, error);
    Rethrow(error);
    return features;
}

GisConversion ConversionOf(const GridTransform& transform) {
    GisConversion conversion;
    conversion.source = ReferenceOf(transform.from());
    conversion.target = ReferenceOf(transform.to());
    conversion.convert = [&transform](std::size_t count, const double* first, const double* second,
                                      double* resultFirst, double* resultSecond) {
        transform.ApplyBlock(count, first, second, resultFirst, resultSecond);
    };
    conversion.whyNot = [&transform](double first, double second) -> std::string {
        try {
            transform.Apply(first, second);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "the result is not finite";
    };
    return conversion;
}

std::string CrsDefinitionText(const ReferenceSystem& reference, CrsFormat format) {
    std::string text;
    GisCallError error;
    Module().definition(reference, format, text, error);
    Rethrow(error);
    return text;
}

}  // namespace utm
