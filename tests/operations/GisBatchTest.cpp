// "Multiple Data" on GIS files: the numbers of the text run, the settings a
// GPX, KML or GeoJSON file cannot go with, and the findings by feature.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/NumberFormat.h"
#include "operations/BatchConversion.h"
#include "support/FileBytes.h"
#include "support/GisFiles.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"

namespace {

using utm::ConversionDirection;
using utm::LatLongDatum;
using Status = utm::BatchRunResult::Status;

/// Two waypoints (the second at longitude `lon2`) and a track of two points.
std::string Gpx(const std::string& lon2 = "86") {
    return "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"27.7\" lon=\"85.3\"><name>BM1"
           "</name></wpt><wpt lat=\"28\" lon=\"" +
           lon2 +
           "\"><name>BM2</name></wpt><trk><name>road</name><trkseg><trkpt lat=\"27.5\" "
           "lon=\"84\"/><trkpt lat=\"27.6\" lon=\"84.25\"/></trkseg></trk></gpx>";
}

class GisBatch : public ::testing::Test {
  protected:
    utm::test::TempFolder folder;
    utm::BatchColumns columns;
    utm::dataload loader{columns};
    utm::test::ScriptedFileDialog dialogPort;
    utm::CommonDialog dialog{dialogPort};
    utm::test::ScriptedMessageBox box;

    Status Run(const std::string& data, const std::string& output, ConversionDirection direction,
               LatLongDatum datum = LatLongDatum::WGS84) {
        dialogPort.choices.push_back(folder.File(output));
        utm::MultipleDataRequest request{"84", data, direction, '.', {}};
        request.Datum = datum;
        return utm::ConvertMultipleData(request, dialog, box, loader, folder.Path()).status;
    }
};

TEST_F(GisBatch, GpxToGeoPackageGivesTheTextRunsNumbersAndComesBackThroughKml) {
    const std::string gpx = folder.Write("walk.gpx", Gpx());
    dialogPort.choices.push_back(gpx);
    utm::Browse(dialog, box, loader);
    EXPECT_EQ(box.shown.at(0).text, "No of Data = 3");  // two waypoints and a track
    ASSERT_EQ(Run(gpx, "walk.gpkg", ConversionDirection::LatLongToXY), Status::Written);

    // The text run of the same points, unrounded, and the GIS run's numbers in its form.
    utm::ConvertDataFileRequest text;
    text.CentralMeridianText = "84";
    text.DataFilePath = folder.Write("walk.csv", "27.7,85.3\n28,86\n27.5,84\n27.6,84.25\n");
    text.OutputPath = folder.File("walk.txt");
    text.Datum = LatLongDatum::WGS84;
    text.FullPrecision = true;
    ASSERT_EQ(utm::ConvertDataFile(text).status, Status::Written);
    const auto gps = utm::test::ReadGisFeatures(gpx);
    const auto grid = utm::test::ReadGisFeatures(folder.File("walk.gpkg"));
    ASSERT_EQ(grid.size(), 3u);
    std::string fromGis = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n";
    for (std::size_t f = 0; f < 3; ++f) {
        EXPECT_EQ(grid[f].first, gps[f].first);  // the names travel
        for (std::size_t v = 0; v < gps[f].second.size(); ++v) {
            const auto& [lon, lat] = gps[f].second[v];
            const auto& [x, y] = grid[f].second.at(v);
            fromGis += utm::FormatGeneral(lat) + "\t" + utm::FormatGeneral(lon) + "\t" +
                       utm::FormatGeneral(x) + "\t" + utm::FormatGeneral(y) + "\r\n";
        }
    }
    EXPECT_EQ(fromGis, utm::test::ReadFileBytes(text.OutputPath));

    // Back to WGS 84 latitudes and longitudes: the GPX points again, to 1 cm
    // (the series and the shift there and back).
    ASSERT_EQ(Run(folder.File("walk.gpkg"), "back.kml", ConversionDirection::XYToLatLong),
              Status::Written);
    const auto back = utm::test::ReadGisFeatures(folder.File("back.kml"));
    ASSERT_EQ(back.size(), 3u);
    for (std::size_t f = 0; f < 3; ++f) {
        for (std::size_t v = 0; v < gps[f].second.size(); ++v) {
            EXPECT_NEAR(back[f].second.at(v)[0], gps[f].second[v][0], 1e-7);
            EXPECT_NEAR(back[f].second.at(v)[1], gps[f].second[v][1], 1e-7);
        }
    }
}

TEST_F(GisBatch, SettingsAGpxKmlOrGeoJsonFileCannotTakeAreRefusedWithNothingWritten) {
    const std::string gpx = folder.Write("walk.gpx", Gpx());
    const std::string csv = folder.Write("pts.csv", "27.7,85.3\n");
    const struct {
        std::string data, output;
        ConversionDirection direction;
        LatLongDatum datum;
        std::string message;
    } cases[] = {
        {gpx, "out.gpkg", ConversionDirection::LatLongToXY, LatLongDatum::Everest1830,
         "A GPX file holds WGS 84 (GPS) latitudes and longitudes: choose \"WGS 84 (GPS)\" as the "
         "Datum, then convert again. Nothing was written."},
        {gpx, "out.gpkg", ConversionDirection::XYToLatLong, LatLongDatum::WGS84,
         "A GPX file holds WGS 84 (GPS) latitudes and longitudes, not eastings and northings: "
         "choose \"Lat-Long to XY\" and \"WGS 84 (GPS)\" as the Datum, then convert again. "
         "Nothing was written."},
        {csv, "out.kml", ConversionDirection::LatLongToXY, LatLongDatum::WGS84,
         "A KML file holds WGS 84 (GPS) latitudes and longitudes, not eastings and northings: "
         "choose \"XY to LAT-Long\" and \"WGS 84 (GPS)\" as the Datum, or another kind of "
         "output file, then convert again. Nothing was written."},
    };
    const std::set<std::string> before = folder.Entries();
    for (const auto& c : cases) {
        box.shown.clear();
        EXPECT_EQ(Run(c.data, c.output, c.direction, c.datum), Status::Failed);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, c.message);
        EXPECT_EQ(folder.Entries(), before);
    }
}

TEST_F(GisBatch, AFeatureThatCannotBeConvertedIsWrittenWithoutGeometryAndNamed) {
    // Longitude -10 lies more than 90 degrees from the central meridian 84.
    const std::string gpx = folder.Write("walk.gpx", Gpx("-10"));
    ASSERT_EQ(Run(gpx, "walk.gpkg", ConversionDirection::LatLongToXY), Status::Written);
    EXPECT_EQ(box.shown.at(0).text,
              "The output file \"" + folder.File("walk.gpkg") +
                  "\" was written with 3 features.\n1 feature in the GPX file \"" + gpx +
                  "\" (feature 2) holds a point that cannot be computed (no finite result, or "
                  "outside the projection's domain): written without geometry.");
    const auto features = utm::test::ReadGisFeatures(folder.File("walk.gpkg"));
    EXPECT_EQ(features.at(1).first, "BM2");
    EXPECT_TRUE(features.at(1).second.empty());
}

}  // namespace
