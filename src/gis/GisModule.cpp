// The GIS module's entry: the functions the front ends call once it is loaded.
#include "gis/GisModule.h"

#include <exception>
#include <new>

#include "gis/CoordinateReference.h"

namespace utm {

namespace {

/// Runs `call`, turning what it throws into `error`.
template <typename Call>
void Guarded(GisCallError& error, Call&& call) {
    try {
        call();
        error = {};
    } catch (const OperationCancelled& e) {
        error = {GisCallError::Kind::Cancelled, e.what()};
    } catch (const std::bad_alloc&) {
        error = {GisCallError::Kind::Failed,
                 "There is not enough memory for the run: it was stopped. Nothing was written."};
    } catch (const std::exception& e) {
        error = {GisCallError::Kind::Failed, e.what()};
    }
}

void Run(const GisRunRequest& request, GisRunResult& result, GisCallError& error) {
    Guarded(error, [&] { result = gdal::RunGisFile(request); });
}

void Stated(const std::string& path, const std::string& layer,
            std::optional<ReferenceSystem>& reference, GisCallError& error) {
    Guarded(error, [&] { reference = gdal::StatedReference(path, layer); });
}

void Definition(const ReferenceSystem& reference, CrsFormat format, std::string& text,
                GisCallError& error) {
    Guarded(error, [&] { text = CrsDefinition(reference, format); });
}

void Count(const std::string& path, std::size_t& features, GisCallError& error) {
    Guarded(error, [&] { features = gdal::CountFeatures(path); });
}

constexpr GisModuleApi kApi{kGisModuleVersion, &Run, &Stated, &Definition, &Count};

}  // namespace

}  // namespace utm

extern "C" __attribute__((visibility("default"))) const utm::GisModuleApi* utm_gis_module_api() {
    return &utm::kApi;
}
