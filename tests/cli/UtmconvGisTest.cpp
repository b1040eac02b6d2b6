// GIS files through utmconv transform, checked with GDAL and PROJ as a GIS
// reads them: positions reprojected by GDAL land on the input's (and on our
// own datum shift's), every vertex, height and attribute arrives, and what
// cannot be done is refused with nothing written.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using utm::test::RunProcess;
using utm::test::TempFolder;

const std::string kUtmconv = UTMCONV_PATH;
constexpr double kMetresPerDegree = 111320.0;

/// Waypoints over Nepal, from the south-west to the north-east corner.
struct Waypoint {
    double lat, lon;
};
std::vector<Waypoint> NepalWaypoints() {
    std::vector<Waypoint> points;
    for (double lat = 26.4; lat <= 30.4; lat += 0.8) {
        for (double lon = 80.1; lon <= 88.2; lon += 1.35) points.push_back({lat, lon});
    }
    return points;
}

std::string GpxOf(const std::vector<Waypoint>& points) {
    std::string gpx =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    char line[256];
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::snprintf(line, sizeof line,
                      "<wpt lat=\"%.9f\" lon=\"%.9f\"><ele>%zu.5</ele><name>P%zu</name>"
                      "<time>2026-03-01T08:00:%02zuZ</time></wpt>\n",
                      points[i].lat, points[i].lon, 1000 + i, i, i % 60);
        gpx += line;
    }
    gpx += "<trk><name>Ridge walk</name><trkseg>";
    for (const Waypoint& p : points) {
        std::snprintf(line, sizeof line, "<trkpt lat=\"%.9f\" lon=\"%.9f\"></trkpt>", p.lat, p.lon);
        gpx += line;
    }
    return gpx + "</trkseg></trk>\n</gpx>\n";
}

struct Dataset {
    GDALDatasetUniquePtr dataset;
    explicit Dataset(const std::string& path) {
        GDALAllRegister();
        dataset.reset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    }
    OGRLayer* Layer(const char* name) const { return dataset->GetLayerByName(name); }
};

/// The vertices of every feature of a layer, in order, as GDAL reads them.
std::vector<OGRPoint> Vertices(OGRLayer& layer) {
    std::vector<OGRPoint> points;
    layer.ResetReading();
    for (OGRFeatureUniquePtr f(layer.GetNextFeature()); f; f.reset(layer.GetNextFeature())) {
        OGRGeometry* g = f->GetGeometryRef();
        if (g == nullptr) continue;
        std::unique_ptr<OGRGeometry> linear(g->getLinearGeometry());
        const auto add = [&](const OGRGeometry& part, auto& self) -> void {
            const OGRwkbGeometryType type = wkbFlatten(part.getGeometryType());
            if (type == wkbPoint) {
                points.push_back(*part.toPoint());
            } else if (type == wkbLineString || type == wkbLinearRing) {
                for (const OGRPoint& p : *part.toLineString()) points.push_back(p);
            } else if (type == wkbPolygon) {
                for (const OGRLinearRing* ring : *part.toPolygon()) self(*ring, self);
            } else {
                for (const OGRGeometry* sub : *part.toGeometryCollection()) self(*sub, self);
            }
        };
        add(*linear, add);
    }
    return points;
}

ProcessResult Utmconv(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"transform"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(kUtmconv, all);
}

TEST(UtmconvGis, GpxToEverestGeoPackageReprojectedByGdalLandsOnTheGpx) {
    TempFolder folder;
    const std::vector<Waypoint> points = NepalWaypoints();
    const std::string gpx = folder.Write("walk.gpx", GpxOf(points));
    const std::string gpkg = folder.File("walk.gpkg");
    const ProcessResult run =
        Utmconv({"--to", "everest84", "--datum-shift", "epsg6208", gpx, gpkg});
    ASSERT_EQ(run.status, 0) << run.err;

    const Dataset out(gpkg);
    ASSERT_TRUE(out.dataset);
    OGRLayer* waypoints = out.Layer("waypoints");
    OGRLayer* tracks = out.Layer("tracks");
    ASSERT_NE(waypoints, nullptr);
    ASSERT_NE(tracks, nullptr);
    EXPECT_EQ(out.dataset->GetLayerCount(), 2);  // no empty routes, no repeated track points

    // GDAL and PROJ take the GeoPackage's own definition back to WGS 84.
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> back(
        OGRCreateCoordinateTransformation(waypoints->GetSpatialRef(), &wgs84));
    ASSERT_TRUE(back);
    for (OGRLayer* layer : {waypoints, tracks}) {
        std::vector<OGRPoint> vertices = Vertices(*layer);
        ASSERT_EQ(vertices.size(), points.size()) << layer->GetName();
        for (std::size_t i = 0; i < points.size(); ++i) {
            double x = vertices[i].getX(), y = vertices[i].getY();
            ASSERT_TRUE(back->Transform(1, &x, &y));
            const double east =
                (x - points[i].lon) * kMetresPerDegree * std::cos(points[i].lat * M_PI / 180.0);
            const double north = (y - points[i].lat) * kMetresPerDegree;
            EXPECT_LT(std::hypot(east, north), 0.01) << layer->GetName() << " point " << i;
        }
    }
    // Every attribute arrives: name, elevation and time of each waypoint, in order.
    waypoints->ResetReading();
    std::size_t i = 0;
    for (OGRFeatureUniquePtr f(waypoints->GetNextFeature()); f;
         f.reset(waypoints->GetNextFeature()), ++i) {
        EXPECT_EQ(std::string(f->GetFieldAsString("name")), "P" + std::to_string(i));
        EXPECT_DOUBLE_EQ(f->GetFieldAsDouble("ele"), 1000.5 + static_cast<double>(i));
        EXPECT_NE(std::string(f->GetFieldAsString("time")).find("2026/03/01 08:00"),
                  std::string::npos);
    }
    EXPECT_EQ(i, points.size());
}

TEST(UtmconvGis, KmlOfAnEverestPointFileLandsOnOurOwnWgs84Result) {
    TempFolder folder;
    const std::string csv = folder.Write(
        "bm.csv", "Name,X,Y\r\nBM1,628198.193,3065307.732\r\nBM2,330012.5,2938765.25\r\n");
    const std::string kml = folder.File("bm.kml");
    const ProcessResult run = Utmconv(
        {"--from", "everest84", "--to", "latlong-wgs84", "--datum-shift", "epsg6208", csv, kml});
    ASSERT_EQ(run.status, 0) << run.err;
    const Dataset out(kml);
    ASSERT_TRUE(out.dataset);
    OGRLayer* layer = out.dataset->GetLayer(0);
    const std::vector<OGRPoint> read = Vertices(*layer);
    ASSERT_EQ(read.size(), 2u);
    const char* grid[2][2] = {{"628198.193", "3065307.732"}, {"330012.5", "2938765.25"}};
    layer->ResetReading();
    for (std::size_t i = 0; i < 2; ++i) {
        const ProcessResult own = RunProcess(
            kUtmconv, {"point", "--ellipsoid", "everest", "--cm", "84", "--latlong-datum", "wgs84",
                       "--to-latlong", grid[i][0], grid[i][1]});
        ASSERT_EQ(own.status, 0) << own.err;
        double lat = 0, lon = 0;
        ASSERT_EQ(std::sscanf(own.out.c_str(), "%lf %lf", &lat, &lon), 2);
        EXPECT_LT(std::hypot((read[i].getX() - lon) * std::cos(lat * M_PI / 180.0),
                             read[i].getY() - lat) *
                      kMetresPerDegree,
                  0.01);
        OGRFeatureUniquePtr f(layer->GetNextFeature());
        EXPECT_STREQ(f->GetFieldAsString("Name"), i == 0 ? "BM1" : "BM2");
    }
}

/// A GeoJSON layer with every geometry kind, heights and attributes.
constexpr const char* kEverything = R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"Pillar","code":7},
 "geometry":{"type":"Point","coordinates":[85.3,27.7,1337.25]}},
{"type":"Feature","properties":{"name":"Road","code":8},
 "geometry":{"type":"LineString","coordinates":[[85.3,27.7,1300],[85.31,27.71,1310],[85.32,27.69,1320]]}},
{"type":"Feature","properties":{"name":"Parcel","code":9},
 "geometry":{"type":"Polygon","coordinates":[[[85.3,27.7,1],[85.301,27.7,2],[85.301,27.701,3],[85.3,27.7,1]],
  [[85.3002,27.7002,4],[85.3004,27.7002,5],[85.3004,27.7004,6],[85.3002,27.7002,4]]]}},
{"type":"Feature","properties":{"name":"Fields","code":10},
 "geometry":{"type":"MultiPolygon","coordinates":[[[[84.1,28.2,0],[84.2,28.2,0],[84.2,28.3,0],[84.1,28.2,0]]],
  [[[84.3,28.2,0],[84.4,28.2,0],[84.4,28.3,0],[84.3,28.2,0]]]]}}
]})";
constexpr std::size_t kEverythingVertices = 1 + 3 + 8 + 8;

TEST(UtmconvGis, EveryGeometryHeightAndAttributeArrivesInEachFormat) {
    TempFolder folder;
    const std::string in = folder.Write("all.geojson", kEverything);
    struct Case {
        const char* output;
        const char* to;
        const char* layer;  // nullptr: the first layer
        bool attributes;    // DXF holds no attribute table and one height per polyline
    };
    const Case cases[] = {
        {"all.gpkg", "everest84", "all", true},
        {"all.shp", "everest84", nullptr, true},  // polygons and lines in one file: refused
        {"all.dxf", "everest84", "entities", false},
        {"all.kml", "latlong-wgs84", nullptr, true},
        {"copy.geojson", "latlong-wgs84", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const std::string out = folder.File(c.output);
        const ProcessResult run = Utmconv({"--to", c.to, "--datum-shift", "epsg6208", in, out});
        if (std::string(c.output) == "all.shp") {
            // A shapefile holds one geometry kind: GDAL refuses the line, and nothing stays.
            EXPECT_EQ(run.status, 2);
            EXPECT_NE(run.err.find("Nothing was written"), std::string::npos) << run.err;
            EXPECT_FALSE(std::filesystem::exists(out));
            continue;
        }
        ASSERT_EQ(run.status, 0) << run.err;
        const Dataset read(out);
        ASSERT_TRUE(read.dataset);
        OGRLayer* layer = c.layer ? read.Layer(c.layer) : read.dataset->GetLayer(0);
        ASSERT_NE(layer, nullptr);
        const std::vector<OGRPoint> vertices = Vertices(*layer);
        ASSERT_EQ(vertices.size(), kEverythingVertices);
        EXPECT_DOUBLE_EQ(vertices[0].getZ(), 1337.25);
        if (!c.attributes) continue;
        EXPECT_DOUBLE_EQ(vertices[5].getZ(), 2.0);
        layer->ResetReading();
        const char* names[] = {"Pillar", "Road", "Parcel", "Fields"};
        for (const char* name : names) {
            OGRFeatureUniquePtr f(layer->GetNextFeature());
            ASSERT_TRUE(f);
            EXPECT_STREQ(f->GetFieldAsString("name"), name);
        }
    }
}

TEST(UtmconvGis, RefusalsSayWhyAndWriteNothing) {
    TempFolder folder;
    const std::string gpx = folder.Write("w.gpx", GpxOf({{27.7, 85.3}}));
    const std::string shp = folder.File("w84.shp");
    ASSERT_EQ(Utmconv({"--to", "everest84", "--layer", "waypoints", gpx, shp}).status, 0);
    const std::string junk = folder.Write("junk.gpkg", "not a GeoPackage at all");
    struct Case {
        std::vector<std::string> args;
        const char* output;
        const char* says;
    };
    const Case cases[] = {
        {{"--from", "everest84", "--to", "everest87", gpx}, "a.gpkg", "latlong-wgs84"},
        {{"--to", "everest84", gpx}, "a.kml", "WGS 84 latitudes and longitudes only"},
        {{"--to", "wgs84-45", shp}, "a.geojson", "WGS 84 latitudes and longitudes only"},
        {{"--to", "everest84", "--layer", "trails", gpx}, "a.gpkg", "no layer \"trails\""},
        {{"--from", "everest87", "--to", "latlong-wgs84", shp}, "a.gpkg", "everest87"},
        {{"--to", "everest84", junk}, "a.shp", "cannot be read"},
        {{"--to", "everest84", folder.File("none.gpx")}, "a.gpkg", "There is no GPX file"},
        {{"--to", "latlong-wgs84", folder.File("pts.csv")}, "a.gpkg", "--from"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back(folder.File(c.output));
        const ProcessResult run = Utmconv(args);
        SCOPED_TRACE(c.says);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.File(c.output)));
    }
    // Nothing but the files the test made: no staging folder is left behind.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        entries += entry.path().filename().string().starts_with(".") ? 100 : 1;
    }
    EXPECT_EQ(entries, 6u);  // w.gpx, junk.gpkg and w84's .shp .shx .dbf .prj
}

TEST(UtmconvGis, AFeatureThatCannotBeComputedIsMarkedSkippedOrStops) {
    TempFolder folder;
    // The second waypoint lies 100 degrees from the central meridian, and so
    // does the track's second point.
    const std::string gpx = folder.Write("far.gpx", GpxOf({{27.7, 85.3}, {27.7, -176.0}}));
    struct Case {
        const char* onError;
        int status;
        long features;  // in the output's waypoints layer; -1: no output
    };
    for (const Case& c : {Case{"mark", 1, 2}, Case{"skip", 1, 1}, Case{"stop", 2, -1}}) {
        SCOPED_TRACE(c.onError);
        const std::string out = folder.File(std::string(c.onError) + ".gpkg");
        const ProcessResult run = Utmconv({"--to", "everest84", "--on-error", c.onError, gpx, out});
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.features < 0) {
            EXPECT_FALSE(std::filesystem::exists(out));
            continue;
        }
        EXPECT_NE(run.err.find("2 features in the GPX file"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("(features 2, 3)"), std::string::npos) << run.err;
        const Dataset read(out);
        ASSERT_TRUE(read.dataset);
        EXPECT_EQ(read.Layer("waypoints")->GetFeatureCount(), c.features);
    }
}

}  // namespace

namespace {

TEST(UtmconvGis, LayersGoWhereTheOutputFormatHoldsThem) {
    TempFolder folder;
    const std::string gpx = folder.Write("w.gpx", GpxOf({{27.7, 85.3}, {27.71, 85.31}}));
    // Two layers into a format of one layer a file: one file each, named after the layer.
    ASSERT_EQ(Utmconv({"--to", "everest84", gpx, folder.File("w.shp")}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(folder.File("w.shp")));
    for (const char* layer : {"w_waypoints", "w_tracks"}) {
        const Dataset shp(folder.File(std::string(layer) + ".shp"));
        ASSERT_TRUE(shp.dataset) << layer;
        EXPECT_EQ(Vertices(*shp.dataset->GetLayer(0)).size(), 2u);
    }
    // The shapefile states everest84: it gives --from, and GeoJSON gets WGS 84.
    const ProcessResult back = Utmconv(
        {"--to", "latlong-wgs84", folder.File("w_waypoints.shp"), folder.File("back.geojson")});
    ASSERT_EQ(back.status, 0) << back.err;
    const Dataset json(folder.File("back.geojson"));
    const std::vector<OGRPoint> points = Vertices(*json.dataset->GetLayer(0));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(points[1].getY(), 27.71, 1e-9);  // no shift either way: the same point
    EXPECT_NEAR(points[1].getX(), 85.31, 1e-9);
    // A GIS file to text: a row per vertex, attributes first.
    ASSERT_EQ(Utmconv({"--to", "everest84", "--layer", "tracks", gpx, folder.File("t.csv")}).status,
              0);
    const std::string text = utm::test::ReadWholeFile(folder.File("t.csv"));
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "name,cmt,desc,src,link1_href,link1_text,link1_type,link2_href,link2_text,"
              "link2_type,number,type,Easting(X),Northing(Y)");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_NE(text.find("\r\nRidge walk,,,,,,,,,,,,628"), std::string::npos) << text;
    // DXF: one drawing, the source layers as its layers.
    ASSERT_EQ(Utmconv({"--to", "everest84", gpx, folder.File("w.dxf")}).status, 0);
    const Dataset dxf(folder.File("w.dxf"));
    OGRLayer* entities = dxf.dataset->GetLayer(0);
    std::vector<std::string> layers;
    for (OGRFeatureUniquePtr f(entities->GetNextFeature()); f;
         f.reset(entities->GetNextFeature())) {
        layers.push_back(f->GetFieldAsString("Layer"));
    }
    EXPECT_EQ(layers, (std::vector<std::string>{"waypoints", "waypoints", "tracks"}));
    // transfer takes a shapefile as the transfer window does: NAMEOut.shp beside it.
    const ProcessResult moved =
        RunProcess(kUtmconv, {"transfer", "--kind", "4", folder.File("w_waypoints.shp")});
    ASSERT_EQ(moved.status, 0) << moved.err;
    const Dataset out(folder.File("w_waypointsOut.shp"));
    ASSERT_TRUE(out.dataset);
    EXPECT_EQ(Vertices(*out.dataset->GetLayer(0)).size(), 2u);
}

}  // namespace
