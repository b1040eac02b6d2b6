#include "cli/CrsCommand.h"

#include <memory>

#include "cli/CliSupport.h"
#include "geodesy/ParameterError.h"
#include "gis/GisTransform.h"

namespace utm::cli {

void AddCrsCommand(CLI::App& app) {
    auto options = std::make_shared<CrsOptions>();
    CLI::App* crs = app.add_subcommand(
        "crs", "Print the definition of a coordinate system for a GIS (QGIS, ArcGIS, GDAL)");
    crs->add_option("SYS", options->system,
                    "Coordinate system: everest81, everest84, everest87, wgs84-44, wgs84-45, "
                    "latlong-everest or latlong-wgs84")
        ->required();
    crs->add_option("--format", options->format,
                    "Notation: wkt2 (WKT2 2019; the Everest systems bound to WGS 84 by the "
                    "EPSG:6208 shift), wkt1 (GDAL's WKT with TOWGS84), esri (ESRI's WKT of a .prj "
                    "file, which cannot hold the shift) or proj (a PROJ string with +towgs84)")
        ->capture_default_str()
        ->type_name("FORMAT");
    crs->callback([options] { WriteStdout(RunCrsCommand(*options)); });
}

std::string RunCrsCommand(const CrsOptions& options) {
    CoordinateSystem system{};
    try {
        system = ParseCoordinateSystem(options.system);
    } catch (const ParameterError& e) {
        throw CommandError(e.what());
    }
    CrsFormat format{};
    try {
        format = ParseCrsFormat(options.format);
    } catch (const ParameterError& e) {
        throw CommandError(std::string("--format: ") + e.what());
    }
    std::string definition = CrsDefinitionText(ReferenceOf(system), format);
    if (!definition.ends_with('\n')) definition += '\n';
    return definition;
}

}  // namespace utm::cli
