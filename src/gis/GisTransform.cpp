#include "gis/GisTransform.h"

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_feature.h>
#include <ogrsf_frmts.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

#include "common/DataFileReader.h"
#include "common/FileIO.h"
#include "common/NumberFormat.h"
#include "gis/CoordinateReference.h"
#include "gis/GisModule.h"

namespace utm {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNothingWritten = " Nothing was written.";
constexpr std::size_t kProgressStep = 4096;  // features between progress calls

void RegisterDrivers() {
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

/// GDAL's last error message, or `otherwise` when it gave none.
std::string GdalMessage(const std::string& otherwise = "GDAL gave no reason") {
    const char* message = CPLGetLastErrorMsg();
    return message != nullptr && *message != '\0' ? std::string(message) : otherwise;
}

/// The GDAL drivers that read and that write a format.
std::vector<const char*> ReadDrivers(GisFormat format) {
    switch (format) {
        case GisFormat::Gpx:
            return {"GPX", nullptr};
        case GisFormat::Kml:
            return {"LIBKML", "KML", nullptr};
        case GisFormat::GeoJson:
            return {"GeoJSON", nullptr};
        case GisFormat::Shapefile:
            return {"ESRI Shapefile", nullptr};
        case GisFormat::GeoPackage:
            return {"GPKG", nullptr};
        case GisFormat::Dxf:
            return {"DXF", nullptr};
        case GisFormat::Text:
            break;
    }
    return {nullptr};
}

const char* WriteDriver(GisFormat format) {
    switch (format) {
        case GisFormat::Gpx:
            return "GPX";
        case GisFormat::Kml:
            return "KML";
        case GisFormat::GeoJson:
            return "GeoJSON";
        case GisFormat::Shapefile:
            return "ESRI Shapefile";
        case GisFormat::GeoPackage:
            return "GPKG";
        case GisFormat::Dxf:
            return "DXF";
        case GisFormat::Text:
            break;
    }
    return nullptr;
}

/// "the GPX file "track.gpx"", "the data file "pts.csv"".
std::string FileNamed(const std::string& path, GisFormat format) {
    switch (format) {
        case GisFormat::Text:
            return DataFileNamed(path);
        case GisFormat::Shapefile:
            return "the shapefile " + QuotedText(path);
        case GisFormat::GeoPackage:
            return "the GeoPackage " + QuotedText(path);
        default:
            return "the " + std::string(FormatName(format)) + " file " + QuotedText(path);
    }
}

bool SameReference(const ReferenceSystem& a, const ReferenceSystem& b) {
    return a.grid == b.grid && a.wgs84 == b.wgs84 &&
           (!a.grid || (std::abs(a.centralMeridian - b.centralMeridian) < 1e-9 &&
                        std::abs(a.k0 - b.k0) < 1e-12));
}

const ReferenceSystem kWgs84LatLong{false, true, 0.0, 1.0};

/// What messages call a file of the format ("GPX file", "shapefile").
std::string FileKind(GisFormat format) {
    switch (format) {
        case GisFormat::Shapefile:
            return "shapefile";
        case GisFormat::GeoPackage:
            return "GeoPackage";
        default:
            return std::string(FormatName(format)) + " file";
    }
}

/// Opens a GIS input with the drivers of its format. Throws OperationError
/// when there is no such file or it cannot be read as its format.
GDALDatasetUniquePtr OpenInput(const std::string& path, GisFormat format) {
    RegisterDrivers();
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw OperationError("There is no " + FileKind(format) + " " + QuotedText(path) + "." +
                             kNothingWritten);
    }
    const std::vector<const char*> drivers = ReadDrivers(format);
    CPLErrorReset();
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                                   drivers.data(), nullptr, nullptr));
    if (!dataset) {
        throw OperationError(Capitalized(FileNamed(path, format)) + " cannot be read (" +
                             GdalMessage("it is not a " + FileKind(format)) + ")." +
                             kNothingWritten);
    }
    return dataset;
}

/// The layer named `name` of `dataset`. Throws OperationError naming the
/// layers there are when it has none of that name.
OGRLayer* NamedLayer(GDALDataset& dataset, const std::string& name, const std::string& path,
                     GisFormat format) {
    OGRLayer* layer = dataset.GetLayerByName(name.c_str());
    if (layer != nullptr) return layer;
    std::string names;
    for (OGRLayer* each : dataset.GetLayers()) {
        names += (names.empty() ? "" : ", ") + QuotedText(each->GetName());
    }
    throw OperationError(Capitalized(FileNamed(path, format)) + " has no layer " +
                         QuotedText(name) + "; its layers are " + (names.empty() ? "none" : names) +
                         "." + kNothingWritten);
}

/// True for a GPX file's route and track points, which repeat the vertices
/// of its routes and tracks: a run reads them only when asked for by name.
bool RepeatsVertices(GisFormat format, OGRLayer& layer) {
    if (format != GisFormat::Gpx) return false;
    const std::string name = layer.GetName();
    return name == "route_points" || name == "track_points";
}

/// The vertices of a geometry through the run's conversion, for
/// OGRGeometry::transform: GDAL walks every geometry type and hands over the
/// coordinates of each part at once.
class VertexTransformation final : public OGRCoordinateTransformation {
  public:
    VertexTransformation(const GisConversion& conversion, OGRSpatialReference* target)
        : conversion_(conversion), target_(target) {}

    OGRSpatialReference* GetSourceCS() override { return nullptr; }
    OGRSpatialReference* GetTargetCS() override { return target_; }

    int Transform(int count, double* x, double* y, double* /*z*/, double* /*t*/,
                  int* success) override {
        const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
        if (first_.size() < n) {
            first_.resize(n);
            second_.resize(n);
        }
        // Geometries hold (easting, northing) and (longitude, latitude); the
        // program's pairs are (X, Y) and (latitude, longitude).
        const bool latLongIn = !conversion_.source.grid;
        const bool latLongOut = !conversion_.target.grid;
        conversion_.convert(n, latLongIn ? y : x, latLongIn ? x : y, first_.data(), second_.data());
        bool all = true;
        for (std::size_t i = 0; i < n; ++i) {
            const bool ok = std::isfinite(first_[i]) && std::isfinite(second_[i]);
            if (success != nullptr) success[i] = ok ? TRUE : FALSE;
            if (!ok) {
                if (all && !failed_) {
                    failed_ = true;
                    failedFirst_ = latLongIn ? y[i] : x[i];
                    failedSecond_ = latLongIn ? x[i] : y[i];
                }
                all = false;
                continue;
            }
            x[i] = latLongOut ? second_[i] : first_[i];
            y[i] = latLongOut ? first_[i] : second_[i];
        }
        vertices_ += n;
        return all ? TRUE : FALSE;
    }

    OGRCoordinateTransformation* Clone() const override {
        return new VertexTransformation(conversion_, target_);
    }
    OGRCoordinateTransformation* GetInverse() const override { return nullptr; }

    /// Forgets the failure of the feature before.
    void NextFeature() { failed_ = false; }
    bool Failed() const { return failed_; }
    std::string Reason() const { return conversion_.whyNot(failedFirst_, failedSecond_); }
    std::size_t Vertices() const { return vertices_; }

  private:
    const GisConversion& conversion_;
    OGRSpatialReference* target_;
    std::vector<double> first_;
    std::vector<double> second_;
    bool failed_ = false;
    double failedFirst_ = 0.0;
    double failedSecond_ = 0.0;
    std::size_t vertices_ = 0;
};

/// A folder beside the output where the files are written before they are
/// moved into place; removed with whatever it still holds.
class StagingFolder {
  public:
    explicit StagingFolder(const fs::path& beside) {
        const fs::path folder = beside.parent_path().empty() ? fs::path(".") : beside.parent_path();
        std::string pattern =
            (folder / ("." + beside.filename().string() + ".utm-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw OperationError("The folder " + QuotedText(folder.string()) +
                                 " does not take a new file: " + std::strerror(errno) + "." +
                                 kNothingWritten);
        }
        path_ = pattern;
    }
    ~StagingFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

/// The side files of a shapefile that a new one replaces or leaves stale.
constexpr std::string_view kShapefileParts[] = {".shp", ".shx", ".dbf", ".prj",
                                                ".cpg", ".qix", ".sbn", ".sbx"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

/// A layer's name as part of a file name.
std::string FileSafe(std::string_view name) {
    std::string safe;
    for (char c : name) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
        safe += plain ? c : '_';
    }
    return safe.empty() ? "layer" : safe;
}

/// Where a layer goes: the file and the layer in it.
struct Target {
    fs::path file;          ///< the final path
    std::string layerName;  ///< the layer's name in the file
};

/// The geometry kinds GPX holds, by the GDAL layer type they are written as.
std::optional<std::string> GpxLayerOf(OGRwkbGeometryType type) {
    switch (wkbFlatten(type)) {
        case wkbPoint:
            return "waypoints";
        case wkbLineString:
            return "routes";
        case wkbMultiLineString:
            return "tracks";
        default:
            return std::nullopt;
    }
}

/// One layer read: from a GIS file, or the rows of a data file of text.
struct Source {
    OGRLayer* layer = nullptr;  ///< nullptr for the text input
    std::string name;
    OGRwkbGeometryType geometry = wkbUnknown;
    /// The layer's first feature, when it was read to see that there is one.
    OGRFeatureUniquePtr first;
};

class GisRun {
  public:
    explicit GisRun(const GisRunRequest& request)
        : request_(request),
          inFormat_(FormatOfPath(request.inputPath)),
          outFormat_(FormatOfPath(request.outputPath)),
          targetSrs_(SpatialReferenceOf(request.conversion.target)),
          transformation_(request.conversion, &targetSrs_) {}

    GisRunResult Run() {
        RegisterDrivers();
        // GDAL's messages go into the run's own, not to the terminal.
        CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
        CheckTargetFormat();
        if (inFormat_ == GisFormat::Text) {
            OpenText();
        } else {
            OpenGis();
        }
        PlanTargets();
        if (outFormat_ == GisFormat::Text) {
            // Text goes through the safe writer, which stages it itself.
            WriteFeaturesAsText();
            return std::move(result_);
        }
        StagingFolder staging(request_.outputPath);
        staging_ = &staging;
        if (inFormat_ == GisFormat::Text) {
            WriteTextRows();
        } else {
            WriteFeatures();
        }
        Commit();
        return std::move(result_);
    }

  private:
    // --- checks before anything is written ---------------------------------

    void CheckTargetFormat() {
        if (HoldsWgs84LatLong(outFormat_) &&
            !SameReference(request_.conversion.target, kWgs84LatLong)) {
            throw OperationError("A " + std::string(FormatName(outFormat_)) +
                                 " file holds WGS 84 latitudes and longitudes only: " +
                                 QuotedText(request_.outputPath) + " cannot take " +
                                 request_.targetLabel + " (choose latlong-wgs84)." +
                                 kNothingWritten);
        }
    }

    void OpenGis() {
        const std::string& path = request_.inputPath;
        input_ = OpenInput(path, inFormat_);
        if (!request_.layer.empty()) {
            AddSource(NamedLayer(*input_, request_.layer, path, inFormat_));
        } else {
            for (OGRLayer* layer : input_->GetLayers()) {
                if (RepeatsVertices(inFormat_, *layer)) continue;
                AddSource(layer);
                // GPX always has its three layers; the empty ones are left
                // out. Reading a GPX layer parses the file, so the first
                // feature found is kept for the run.
                if (inFormat_ == GisFormat::Gpx) {
                    sources_.back().first.reset(layer->GetNextFeature());
                    if (!sources_.back().first) {
                        sources_.pop_back();
                        result_.layers.pop_back();
                    }
                }
            }
        }
        if (sources_.empty()) {
            throw OperationError(Capitalized(FileNamed(path, inFormat_)) +
                                 (inFormat_ == GisFormat::Gpx
                                      ? " holds no waypoints, routes or tracks."
                                      : " holds no layers.") +
                                 kNothingWritten);
        }
        for (const Source& source : sources_) CheckStatedReference(source);
    }

    void AddSource(OGRLayer* layer) {
        Source source;
        source.layer = layer;
        source.name = layer->GetName();
        source.geometry = layer->GetGeomType();
        result_.layers.push_back(source.name);
        sources_.push_back(std::move(source));
    }

    void CheckStatedReference(const Source& source) {
        const std::string named = FileNamed(request_.inputPath, inFormat_);
        if (HoldsWgs84LatLong(inFormat_)) {
            if (!SameReference(request_.conversion.source, kWgs84LatLong)) {
                throw OperationError("A " + std::string(FormatName(inFormat_)) +
                                     " file holds WGS 84 latitudes and longitudes: " + named +
                                     " cannot be read as " + request_.sourceLabel +
                                     " (choose latlong-wgs84)." + kNothingWritten);
            }
            return;
        }
        const OGRSpatialReference* stated = source.layer->GetSpatialRef();
        if (stated == nullptr) return;
        const std::optional<ReferenceSystem> known = RecogniseReference(*stated);
        if (!known || !SameReference(*known, request_.conversion.source)) {
            throw OperationError(Capitalized(named) + " states its coordinate system as " +
                                 DescribeReference(*stated) + (known ? "" : ", none of UTM's") +
                                 ", not " + request_.sourceLabel + "." + kNothingWritten);
        }
    }

    /// A text input is one layer of points named after the file.
    void OpenText() {
        Source source;
        const std::string stem = fs::path(request_.inputPath).stem().string();
        source.name = request_.inputPath == kStandardInput || stem.empty() ? "points" : stem;
        source.geometry = wkbPoint;
        result_.layers.push_back(source.name);
        sources_.push_back(std::move(source));
        reader_ = std::make_unique<DataFileReader>(request_.inputPath);
        const CoordinateKind kind =
            request_.conversion.source.grid ? CoordinateKind::Grid : CoordinateKind::LatLong;
        const std::string_view start = reader_->Peek();
        layout_ = DetectTableLayout(start, reader_->PeekIsWhole(), kind, request_.table);
        // The attributes: every column but the two coordinates, named by the
        // header, else by their number. The widest row of the start sets
        // how many there are; rows with more carry the rest in the last.
        std::vector<std::string> names;
        if (layout_.HasHeader()) {
            for (std::string_view field : RowFields(layout_.header, layout_.separator)) {
                names.push_back(Unquoted(field));
            }
        }
        std::size_t widest = names.size();
        ForEachLine(start, [&](std::string_view line) {
            if (KindOfRow(line, layout_) == RowKind::Data) {
                widest = std::max(widest, RowFields(line, layout_.separator).size());
            }
        });
        for (std::size_t column = 0; column < widest; ++column) {
            if (column == layout_.first || column == layout_.second) continue;
            std::string name = column < names.size() && !names[column].empty()
                                   ? names[column]
                                   : "field_" + std::to_string(column + 1);
            textColumns_.push_back(column);
            textNames_.push_back(std::move(name));
        }
    }

    template <typename Fn>
    static void ForEachLine(std::string_view text, Fn&& fn, bool lastComplete = true) {
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find_first_of("\r\n", at);
            if (end == std::string_view::npos) {
                if (lastComplete) fn(text.substr(at));
                return;
            }
            fn(text.substr(at, end - at));
            at =
                end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        }
    }

    // --- where each layer goes ----------------------------------------------

    void PlanTargets() {
        const fs::path out(request_.outputPath);
        // The standard output is one stream: every layer goes there in turn.
        const bool oneFileEach = !HoldsLayers(outFormat_) && sources_.size() > 1 &&
                                 request_.outputPath != kStandardOutput;
        std::set<std::string> gpxKinds;
        for (const Source& source : sources_) {
            Target target;
            target.file = out;
            target.layerName = source.name;
            if (oneFileEach) {
                target.file =
                    out.parent_path() /
                    (out.stem().string() + "_" + FileSafe(source.name) + out.extension().string());
            } else if (!HoldsLayers(outFormat_)) {
                target.layerName = out.stem().string();
            }
            if (outFormat_ == GisFormat::Gpx) {
                const std::optional<std::string> kind = GpxLayerOf(source.geometry);
                if (!kind) {
                    throw OperationError(
                        "A GPX file holds waypoints, routes and tracks: the layer " +
                        QuotedText(source.name) + " holds " +
                        Lower(OGRGeometryTypeToName(source.geometry)) +
                        " geometries (write a GeoPackage, KML or GeoJSON file)." + kNothingWritten);
                }
                if (!gpxKinds.insert(*kind).second) {
                    throw OperationError("A GPX file holds one layer of " + *kind +
                                         ": give the layer to write with --layer." +
                                         kNothingWritten);
                }
                target.layerName = *kind;
            }
            if (outFormat_ == GisFormat::Dxf) target.layerName = "entities";
            CheckNotInput(target.file);
            targets_.push_back(target);
        }
    }

    /// Refuses an output that is the input (by any name or link).
    void CheckNotInput(const fs::path& file) const {
        std::error_code error;
        if (request_.inputPath != kStandardInput &&
            fs::equivalent(file, request_.inputPath, error) && !error) {
            throw OperationError("The output " + QuotedText(file.string()) +
                                 " is the input file: choose another name." + kNothingWritten);
        }
        if (fs::is_directory(file, error)) {
            throw OperationError("The output " + QuotedText(file.string()) +
                                 " is a folder: choose a file name." + kNothingWritten);
        }
    }

    // --- writing ---------------------------------------------------------------

    /// The dataset of a final file, created in the staging folder on first use.
    GDALDataset* DatasetFor(const fs::path& file) {
        const std::string key = file.string();
        auto found = datasets_.find(key);
        if (found != datasets_.end()) return found->second.get();
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(WriteDriver(outFormat_));
        if (driver == nullptr) {
            throw OperationError("GDAL on this machine cannot write " +
                                 std::string(FormatName(outFormat_)) + " files." + kNothingWritten);
        }
        CPLStringList options;
        if (outFormat_ == GisFormat::Gpx) options.SetNameValue("GPX_USE_EXTENSIONS", "YES");
        if (outFormat_ == GisFormat::Kml && !kmlNameField_.empty()) {
            options.SetNameValue("NameField", kmlNameField_.c_str());
        }
        const std::string staged = (staging_->path() / file.filename()).string();
        CPLErrorReset();
        GDALDatasetUniquePtr dataset(
            driver->Create(staged.c_str(), 0, 0, 0, GDT_Unknown, options.List()));
        if (!dataset) throw WriteError(file);
        // A GeoPackage takes all features in one transaction, not one each.
        if (dataset->StartTransaction(FALSE) == OGRERR_NONE) transactions_.insert(key);
        GDALDataset* raw = dataset.get();
        datasets_.emplace(key, std::move(dataset));
        order_.push_back(file);
        return raw;
    }

    OperationError WriteError(const fs::path& file) const {
        return OperationError(QuotedText(file.string()) + " cannot be written (" + GdalMessage() +
                              ")." + kNothingWritten);
    }

    /// The layer a source goes to, with the source's fields.
    OGRLayer* CreateTargetLayer(const Target& target, OGRwkbGeometryType geometry,
                                const std::vector<OGRFieldDefn*>& fields) {
        GDALDataset* dataset = DatasetFor(target.file);
        if (outFormat_ == GisFormat::Dxf) {
            if (OGRLayer* layer = dataset->GetLayerByName("entities")) return layer;
        }
        CPLStringList options;
        // GDAL names a GeoPackage's geometry column "geom", as QGIS expects.
        OGRSpatialReference* srs = outFormat_ == GisFormat::Dxf ? nullptr : &targetSrs_;
        CPLErrorReset();
        OGRLayer* layer =
            dataset->CreateLayer(target.layerName.c_str(), srs, geometry, options.List());
        if (layer == nullptr) throw WriteError(target.file);
        if (outFormat_ != GisFormat::Dxf) {
            for (OGRFieldDefn* field : fields) {
                if (layer->CreateField(field, TRUE) != OGRERR_NONE) throw WriteError(target.file);
            }
        }
        return layer;
    }

    /// Source field i goes to target field map[i] (-1: nowhere), by name.
    static std::vector<int> FieldMap(OGRFeatureDefn* from, OGRFeatureDefn* to) {
        std::vector<int> map(static_cast<std::size_t>(from->GetFieldCount()), -1);
        for (int i = 0; i < from->GetFieldCount(); ++i) {
            map[static_cast<std::size_t>(i)] =
                to->GetFieldIndex(from->GetFieldDefn(i)->GetNameRef());
        }
        // A shapefile cuts names to ten characters: the fields keep their order.
        if (to->GetFieldCount() == from->GetFieldCount()) {
            for (int i = 0; i < from->GetFieldCount(); ++i) {
                if (map[static_cast<std::size_t>(i)] < 0) map[static_cast<std::size_t>(i)] = i;
            }
        }
        return map;
    }

    void Progressed(std::size_t done, std::size_t total) {
        if (!request_.onProgress || done % kProgressStep != 0) return;
        const double part = total == 0 ? 0.0 : std::min(1.0, static_cast<double>(done) / total);
        if (!request_.onProgress(part)) {
            throw OperationCancelled("Cancelled: nothing was written.");
        }
    }

    /// A feature whose geometry could not be converted: stop, leave it out or
    /// write it without geometry.
    bool KeepFailed(std::size_t place, const std::string& where, const std::string& reason) {
        if (request_.onError == OnError::Stop) {
            throw OperationError(Capitalized(where) + " of " +
                                 FileNamed(request_.inputPath, inFormat_) + ": " + reason + "." +
                                 kNothingWritten);
        }
        result_.report.Add(Finding::Failed, place);
        return request_.onError == OnError::Mark;
    }

    void WriteFeatures() {
        result_.report.place = "feature";
        result_.report.fileKind = FileKind(inFormat_);
        result_.report.failedRule = request_.onError == OnError::Mark ? "written without geometry"
                                                                      : "left out of the output";
        if (outFormat_ == GisFormat::Kml) kmlNameField_ = NameField();
        std::size_t total = 0;
        for (const Source& source : sources_) {
            const GIntBig count = source.layer->GetFeatureCount(FALSE);
            total += count > 0 ? static_cast<std::size_t>(count) : 0;
        }
        std::size_t place = 0;
        for (std::size_t s = 0; s < sources_.size(); ++s) {
            Source& source = sources_[s];
            OGRFeatureDefn* defn = source.layer->GetLayerDefn();
            std::vector<OGRFieldDefn*> fields;
            for (int i = 0; i < defn->GetFieldCount(); ++i) fields.push_back(defn->GetFieldDefn(i));
            OGRLayer* out = CreateTargetLayer(targets_[s], source.geometry, fields);
            const std::vector<int> map = FieldMap(defn, out->GetLayerDefn());
            const int dxfLayerField =
                outFormat_ == GisFormat::Dxf && defn->GetFieldIndex("Layer") < 0
                    ? out->GetLayerDefn()->GetFieldIndex("Layer")
                    : -1;
            if (!source.first) source.layer->ResetReading();
            OGRFeatureUniquePtr feature = source.first
                                              ? std::move(source.first)
                                              : OGRFeatureUniquePtr(source.layer->GetNextFeature());
            for (; feature; feature.reset(source.layer->GetNextFeature())) {
                ++place;
                OGRFeature written(out->GetLayerDefn());
                // The geometry moves over instead of being copied: a GPS track
                // may hold a million points.
                written.SetFieldsFrom(feature.get(), map.data(), TRUE);
                written.SetStyleString(feature->GetStyleString());
                written.SetGeometryDirectly(feature->StealGeometry());
                if (dxfLayerField >= 0) written.SetField(dxfLayerField, source.name.c_str());
                if (OGRGeometry* geometry = written.GetGeometryRef()) {
                    transformation_.NextFeature();
                    const OGRErr converted = geometry->transform(&transformation_);
                    if (converted != OGRERR_NONE || transformation_.Failed()) {
                        const std::string reason =
                            transformation_.Failed() ? transformation_.Reason() : GdalMessage();
                        if (!KeepFailed(place,
                                        "feature " + std::to_string(feature->GetFID()) +
                                            " of the layer " + QuotedText(source.name),
                                        reason)) {
                            continue;
                        }
                        written.SetGeometryDirectly(nullptr);
                    }
                }
                CPLErrorReset();
                if (out->CreateFeature(&written) != OGRERR_NONE) {
                    throw OperationError("Feature " + std::to_string(feature->GetFID()) +
                                         " of the layer " + QuotedText(source.name) +
                                         " cannot be written to " +
                                         QuotedText(targets_[s].file.string()) + " (" +
                                         GdalMessage() + ")." + kNothingWritten);
                }
                ++result_.features;
                Progressed(place, total);
            }
        }
        result_.vertices = transformation_.Vertices();
    }

    /// The field KML shows as a placemark's name: the first called "name" in
    /// any letter case.
    std::string NameField() const {
        for (const Source& source : sources_) {
            OGRFeatureDefn* defn = source.layer->GetLayerDefn();
            for (int i = 0; i < defn->GetFieldCount(); ++i) {
                const std::string name = defn->GetFieldDefn(i)->GetNameRef();
                if (Lower(name) == "name") return name;
            }
        }
        return {};
    }

    /// Rows of a data file of text as point features, their other columns
    /// as text attributes.
    void WriteTextRows() {
        if (outFormat_ == GisFormat::Text) {
            throw OperationError(
                "A data file of text to a text file is a table run, not a GIS run.");
        }
        result_.report.failedRule = request_.onError == OnError::Mark ? "written without geometry"
                                                                      : "left out of the output";
        std::vector<std::unique_ptr<OGRFieldDefn>> owned;
        std::vector<OGRFieldDefn*> fields;
        for (const std::string& name : textNames_) {
            owned.push_back(std::make_unique<OGRFieldDefn>(name.c_str(), OFTString));
            fields.push_back(owned.back().get());
        }
        OGRLayer* out = CreateTargetLayer(targets_.front(), wkbPoint, fields);
        // Target fields by position: a shapefile may rename them.
        std::vector<int> targetField;
        for (const std::string& name : textNames_) {
            targetField.push_back(out->GetLayerDefn()->GetFieldIndex(name.c_str()));
        }
        if (outFormat_ != GisFormat::Dxf &&
            out->GetLayerDefn()->GetFieldCount() == static_cast<int>(textNames_.size())) {
            for (std::size_t i = 0; i < targetField.size(); ++i) {
                if (targetField[i] < 0) targetField[i] = static_cast<int>(i);
            }
        }
        std::string block;
        std::size_t line = 0;
        std::vector<std::string_view> fieldsOfRow;
        while (reader_->NextBlock(block)) {
            ForEachLine(block, [&](std::string_view row) {
                ++line;
                if (KindOfRow(row, layout_) != RowKind::Data) return;
                WriteTextRow(out, row, line, targetField);
            });
            if (request_.onProgress && !request_.onProgress(reader_->Done())) {
                throw OperationCancelled("Cancelled: nothing was written.");
            }
        }
        if (line == 0) {
            throw OperationError(Capitalized(DataFileNamed(request_.inputPath)) +
                                 " holds no lines." + kNothingWritten);
        }
        result_.vertices = transformation_.Vertices();
    }

    void WriteTextRow(OGRLayer* out, std::string_view row, std::size_t line,
                      const std::vector<int>& targetField) {
        const RowPoint point = ReadRowPoint(row, layout_);
        OGRFeature feature(out->GetLayerDefn());
        const std::vector<std::string_view> fields = RowFields(row, layout_.separator);
        for (std::size_t i = 0; i < textColumns_.size(); ++i) {
            const std::size_t column = textColumns_[i];
            if (column >= fields.size() || targetField[i] < 0) continue;
            feature.SetField(targetField[i], Unquoted(fields[column]).c_str());
        }
        if (point.noNumber) {
            if (request_.onError == OnError::Stop) {
                throw OperationError(
                    "Line " + std::to_string(line) + " of " + DataFileNamed(request_.inputPath) +
                    ": " + NoNumberText(row, *point.noNumber + 1) + "." + kNothingWritten);
            }
            result_.report.Add(Finding::NoNumber, line);
            if (request_.onError == OnError::Skip) return;
        } else {
            if (point.reading[0] == CoordinateReading::Partial ||
                point.reading[1] == CoordinateReading::Partial) {
                result_.report.Add(Finding::NotNumber, line);
            }
            // The point as GDAL holds it, converted like any geometry.
            const bool latLong = !request_.conversion.source.grid;
            auto geometry = std::make_unique<OGRPoint>(latLong ? point.value[1] : point.value[0],
                                                       latLong ? point.value[0] : point.value[1]);
            transformation_.NextFeature();
            if (geometry->transform(&transformation_) != OGRERR_NONE || transformation_.Failed()) {
                if (!KeepFailed(line, "line " + std::to_string(line), transformation_.Reason())) {
                    return;
                }
            } else {
                feature.SetGeometryDirectly(geometry.release());
            }
        }
        CPLErrorReset();
        if (out->CreateFeature(&feature) != OGRERR_NONE) {
            throw OperationError("Line " + std::to_string(line) + " of " +
                                 DataFileNamed(request_.inputPath) + " cannot be written to " +
                                 QuotedText(targets_.front().file.string()) + " (" + GdalMessage() +
                                 ")." + kNothingWritten);
        }
        ++result_.features;
    }

    /// GIS features as a table: one row per vertex, the feature's attributes
    /// then the two results, comma-separated for a .csv name, else TAB.
    void WriteFeaturesAsText() {
        result_.report.place = "feature";
        result_.report.fileKind = FileKind(inFormat_);
        result_.report.failedRule = request_.onError == OnError::Mark ? "written with * as results"
                                                                      : "left out of the output";
        const char separator =
            Lower(fs::path(request_.outputPath).extension().string()) == ".csv" ? ',' : '\t';
        const ResultNames names =
            request_.conversion.target.grid ? kGridResultNames : kLatLongResultNames;
        std::map<std::string, std::unique_ptr<SafeFileWriter>> writers;
        std::vector<SafeFileWriter*> order;
        std::size_t place = 0;
        for (std::size_t s = 0; s < sources_.size(); ++s) {
            const Source& source = sources_[s];
            const std::string file = targets_[s].file.string();
            std::unique_ptr<SafeFileWriter>& slot = writers[file];
            if (!slot) {
                CheckOutputTarget(file, std::nullopt);
                slot = std::make_unique<SafeFileWriter>(file);
                if (file == kStandardOutput) slot->WriteLfLineEnds();
                order.push_back(slot.get());
                result_.files.push_back(file);
            }
            SafeFileWriter& writer = *slot;
            OGRFeatureDefn* defn = source.layer->GetLayerDefn();
            std::string line;
            for (int i = 0; i < defn->GetFieldCount(); ++i) {
                AppendField(line, defn->GetFieldDefn(i)->GetNameRef(), separator);
                line += separator;
            }
            line += std::string(names.first) + separator + std::string(names.second) + "\r\n";
            writer.Write(line);
            source.layer->ResetReading();
            for (OGRFeatureUniquePtr feature(source.layer->GetNextFeature()); feature;
                 feature.reset(source.layer->GetNextFeature())) {
                ++place;
                std::string attributes;
                for (int i = 0; i < defn->GetFieldCount(); ++i) {
                    if (feature->IsFieldSetAndNotNull(i)) {
                        AppendField(attributes, feature->GetFieldAsString(i), separator);
                    }
                    attributes += separator;
                }
                OGRGeometry* geometry = feature->GetGeometryRef();
                if (geometry == nullptr) continue;
                transformation_.NextFeature();
                std::unique_ptr<OGRGeometry> converted(geometry->clone());
                const bool ok = converted->transform(&transformation_) == OGRERR_NONE &&
                                !transformation_.Failed();
                if (!ok && !KeepFailed(place,
                                       "feature " + std::to_string(feature->GetFID()) +
                                           " of the layer " + QuotedText(source.name),
                                       transformation_.Reason())) {
                    continue;
                }
                std::string rows;
                AppendVertexRows(rows, ok ? *converted : *geometry, attributes, separator, ok);
                writer.Write(rows);
                ++result_.features;
                Progressed(place, 0);
            }
        }
        for (SafeFileWriter* writer : order) writer->Commit();
        result_.vertices = transformation_.Vertices();
    }

    static void AppendField(std::string& out, std::string_view text, char separator) {
        if (text.find_first_of(std::string("\"\r\n") + separator) == std::string_view::npos) {
            out += text;
            return;
        }
        out += '"';
        for (char c : text) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }

    void AppendVertexRows(std::string& out, const OGRGeometry& geometry,
                          const std::string& attributes, char separator, bool ok) const {
        const bool latLong = !request_.conversion.target.grid;
        const auto vertex = [&](double x, double y) {
            out += attributes;
            if (ok) {
                // As the transfers write their results: general form.
                out += FormatGeneral(latLong ? y : x);
                out += separator;
                out += FormatGeneral(latLong ? x : y);
            } else {
                out += std::string("*") + separator + "*";
            }
            out += "\r\n";
        };
        VisitVertices(geometry, vertex);
    }

    template <typename Fn>
    static void VisitVertices(const OGRGeometry& geometry, Fn& fn) {
        const OGRwkbGeometryType type = wkbFlatten(geometry.getGeometryType());
        if (type == wkbPoint) {
            const auto& point = *geometry.toPoint();
            if (!point.IsEmpty()) fn(point.getX(), point.getY());
        } else if (OGR_GT_IsSubClassOf(type, wkbCurve) && type != wkbCircularString &&
                   type != wkbCompoundCurve) {
            const OGRSimpleCurve& curve = *geometry.toSimpleCurve();
            for (int i = 0; i < curve.getNumPoints(); ++i) fn(curve.getX(i), curve.getY(i));
        } else if (type == wkbPolygon || type == wkbTriangle) {
            for (const OGRLinearRing* ring : *geometry.toPolygon()) VisitVertices(*ring, fn);
        } else if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
            for (const OGRGeometry* part : *geometry.toGeometryCollection()) {
                VisitVertices(*part, fn);
            }
        } else {
            std::unique_ptr<OGRGeometry> linear(geometry.getLinearGeometry());
            if (linear) VisitVertices(*linear, fn);
        }
    }

    /// Closes the files (GDAL writes what it holds) and moves them into place.
    void Commit() {
        for (const fs::path& file : order_) {
            GDALDatasetUniquePtr dataset = std::move(datasets_.at(file.string()));
            CPLErrorReset();
            if (transactions_.count(file.string()) != 0 &&
                dataset->CommitTransaction() != OGRERR_NONE) {
                throw WriteError(file);
            }
            // Flushing and closing writes what the driver still holds.
            dataset->FlushCache(false);
            GDALClose(GDALDataset::ToHandle(dataset.release()));
            if (CPLGetLastErrorType() >= CE_Failure) {
                throw WriteError(file);
            }
        }
        // Everything the drivers wrote goes beside the output, each file by
        // one rename over any file of that name.
        std::error_code error;
        std::vector<fs::path> staged;
        for (const auto& entry : fs::directory_iterator(staging_->path(), error)) {
            staged.push_back(entry.path());
        }
        if (error) throw OperationError("The staged output cannot be listed: " + error.message());
        const fs::path folder = fs::path(request_.outputPath).parent_path();
        if (outFormat_ == GisFormat::Shapefile) {
            // Side files of an older shapefile of the same name would be read
            // with the new one (a stale index or encoding): they go.
            for (const fs::path& file : order_) {
                for (std::string_view part : kShapefileParts) {
                    fs::path old = file;
                    old.replace_extension(part);
                    if (!fs::exists(staging_->path() / old.filename())) fs::remove(old, error);
                }
            }
        }
        for (const fs::path& file : staged) {
            const fs::path final = folder / file.filename();
            fs::rename(file, final, error);
            if (error) {
                throw OperationError(QuotedText(final.string()) +
                                     " cannot be written: " + error.message() + ".");
            }
        }
        for (const fs::path& file : order_) result_.files.push_back(file.string());
    }

    const GisRunRequest& request_;
    GisFormat inFormat_;
    GisFormat outFormat_;
    OGRSpatialReference targetSrs_;
    VertexTransformation transformation_;
    GisRunResult result_;
    GDALDatasetUniquePtr input_;
    std::vector<Source> sources_;
    std::vector<Target> targets_;
    const StagingFolder* staging_ = nullptr;
    std::map<std::string, GDALDatasetUniquePtr> datasets_;
    std::vector<fs::path> order_;
    std::set<std::string> transactions_;  ///< datasets written in a transaction
    std::string kmlNameField_;
    // A data file of text.
    std::unique_ptr<DataFileReader> reader_;
    TableLayout layout_;
    std::vector<std::size_t> textColumns_;
    std::vector<std::string> textNames_;
};

}  // namespace

namespace gdal {

std::optional<ReferenceSystem> StatedReference(const std::string& path, const std::string& layer) {
    const GisFormat format = FormatOfPath(path);
    if (HoldsWgs84LatLong(format)) return kWgs84LatLong;
    if (format == GisFormat::Text) return std::nullopt;
    CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
    GDALDatasetUniquePtr dataset = OpenInput(path, format);
    OGRLayer* read = layer.empty() ? (dataset->GetLayerCount() > 0 ? dataset->GetLayer(0) : nullptr)
                                   : NamedLayer(*dataset, layer, path, format);
    if (read == nullptr || read->GetSpatialRef() == nullptr) return std::nullopt;
    return RecogniseReference(*read->GetSpatialRef());
}

std::size_t CountFeatures(const std::string& path) {
    const GisFormat format = FormatOfPath(path);
    if (!IsGisFormat(format)) {
        throw OperationError(QuotedText(path) + " is not a GIS file by its name.");
    }
    CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
    GDALDatasetUniquePtr dataset;
    try {
        dataset = OpenInput(path, format);
    } catch (const OperationError& e) {
        // Counting writes nothing: the words that close a run's messages go.
        std::string text = e.what();
        if (text.ends_with(kNothingWritten)) text.resize(text.size() - strlen(kNothingWritten));
        throw OperationError(text);
    }
    std::size_t count = 0;
    for (OGRLayer* layer : dataset->GetLayers()) {
        if (RepeatsVertices(format, *layer)) continue;
        const GIntBig features = layer->GetFeatureCount(TRUE);
        count += features > 0 ? static_cast<std::size_t>(features) : 0;
    }
    return count;
}

GisRunResult RunGisFile(const GisRunRequest& request) {
    if (!IsGisFormat(FormatOfPath(request.inputPath)) &&
        !IsGisFormat(FormatOfPath(request.outputPath))) {
        throw OperationError("Neither " + QuotedText(request.inputPath) + " nor " +
                             QuotedText(request.outputPath) + " is a GIS file.");
    }
    return GisRun(request).Run();
}

}  // namespace gdal

}  // namespace utm
