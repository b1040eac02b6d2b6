// GIS files through the program's transformations: every vertex of every
// feature (points, lines, polygons and their multi- forms) is converted by the
// geodesy library, heights (Z) and attributes travel unchanged, features keep
// their order. GDAL reads and writes the files (GPX, KML, GeoJSON, Shapefile,
// GeoPackage, DXF); data files of text are read by the table reader, so their
// other columns become a layer's attributes.
//
// GDAL and the hundred libraries it brings are loaded only when a GIS file is
// read or written: the functions below load the GIS module (utm-gis.so) on
// first use, so that a program that converts text never maps them (utmconv
// starts in milliseconds and streams within a small memory).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/DataTable.h"
#include "common/OperationError.h"
#include "common/RunReport.h"
#include "gis/GisFormat.h"
#include "gis/ReferenceSystem.h"

namespace utm {

/// The transformation of a GIS run, as the operation that starts it defines it.
struct GisConversion {
    ReferenceSystem source;  ///< what the input must hold
    ReferenceSystem target;  ///< what the output carries
    /// Converts `count` pairs in the program's order (latitude then longitude
    /// in degrees; X then Y in metres). A pair that cannot be converted gets
    /// results that are not finite.
    std::function<void(std::size_t count, const double* first, const double* second,
                       double* resultFirst, double* resultSecond)>
        convert;
    /// Why a pair cannot be converted, as the operation's error says it.
    std::function<std::string(double first, double second)> whyNot;
};

/// The conversion of `transform`, from its source system's reference system
/// to its target's; the pairs go through GridTransform::ApplyBlock, and
/// whyNot gives Apply's error. It refers to `transform`, which must outlive it.
GisConversion ConversionOf(const GridTransform& transform);

struct GisRunRequest {
    std::string inputPath;   ///< a GIS file by its ending, else a data file of text
    std::string outputPath;  ///< its ending names the format written
    GisConversion conversion;
    /// How messages name the source system the person chose ("--from
    /// everest84"), when a file states another.
    std::string sourceLabel;
    /// How messages name the target system the person chose, when the output
    /// format cannot hold it.
    std::string targetLabel;
    std::string layer;  ///< the one layer to read; empty: every layer
    /// A feature (or a text row) with a point that cannot be computed: stop
    /// (nothing written), leave it out, or write it without its geometry.
    OnError onError = OnError::Mark;
    Progress onProgress;   ///< false from it cancels the run
    TableRequest table{};  ///< how a data file of text is read
};

struct GisRunResult {
    std::vector<std::string> files;   ///< files written (of a shapefile: its .shp)
    std::vector<std::string> layers;  ///< layers read, in order
    std::size_t features = 0;         ///< features written
    std::size_t vertices = 0;         ///< vertices converted
    /// What the run found: places are features, numbered from 1 in the order
    /// they were read across the layers (for a text input: its lines).
    RunReport report;
};

/// True when a run from `inputPath` to `outputPath` is a GIS run (either
/// end is a GIS format); false for text to text, the table runs.
bool IsGisRun(const std::string& inputPath, const std::string& outputPath);

/// The reference system the GIS file at `path` states for `layer` (empty:
/// its first layer read), recognised as one the program writes: WGS 84
/// latitude/longitude for GPX, KML and GeoJSON, a shapefile's .prj, a
/// GeoPackage's own. Nothing for text, and for a file that states none or
/// one of another system. Throws OperationError as RunGisFile when the file
/// cannot be read or has no such layer.
std::optional<ReferenceSystem> StatedReference(const std::string& path,
                                               const std::string& layer = {});

/// The features a run from the GIS file at `path` reads when no layer is
/// named: those of every layer it reads (of a GPX file: its waypoints,
/// routes and tracks). Throws OperationError, naming the file, for a name
/// without a GIS ending, a file that cannot be read as its format, and when
/// the GIS module cannot be loaded.
std::size_t CountFeatures(const std::string& path);

/// The definition of `reference` in `format` (see CrsFormat): WKT2 with the
/// shift to WGS 84 as a bound CRS for Nepal 1981, GDAL's WKT1 with TOWGS84,
/// ESRI's WKT (which cannot hold the shift), or a PROJ string.
std::string CrsDefinitionText(const ReferenceSystem& reference, CrsFormat format);

/// Runs `request`. Everything is checked before anything is written: the
/// input can be read as its format, the layer asked for exists, the
/// coordinate system the input states (GPX, KML and GeoJSON hold WGS 84
/// latitude/longitude; a .prj or a GeoPackage says theirs) is the request's
/// source, the output format can hold the target (GPX, KML and GeoJSON only
/// WGS 84 latitude/longitude) and the layers' geometry. Where the output
/// format holds one layer a file (Shapefile, GeoJSON, text) and several are
/// read, each goes to NAME_LAYER.EXT beside the output. The files appear
/// complete or not at all, and an input is never overwritten. Throws
/// OperationError (OperationCancelled when cancelled) with nothing written,
/// and when the GIS module cannot be loaded.
GisRunResult RunGisFile(const GisRunRequest& request);

}  // namespace utm
