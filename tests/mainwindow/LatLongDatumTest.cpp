// The datum of the main window's latitude/longitude side through the window
// operations: Everest 1830 leaves every result as it was, WGS 84 (GPS) shifts
// with EPSG:6208 in both directions, for one point and for whole data files.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/NumberFormat.h"
#include "geodesy/Angles.h"
#include "geodesy/Declaration.h"
#include "geodesy/GridTransform.h"
#include "mainwindow/BatchConversion.h"
#include "mainwindow/LatLongDatum.h"
#include "mainwindow/SinglePoint.h"
#include "support/FileBytes.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"

namespace {

using utm::ConversionDirection;
using utm::CoordinateSystem;
using utm::GeodeticPoint;
using utm::LatLongDatum;
using utm::LatLongSide;

constexpr const char* kHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n";

std::string Bytes(const std::string& path) {
    return utm::test::ReadFileBytes(path).value_or("<missing>");
}

// --- The side itself ------------------------------------------------------------

TEST(LatLongSide, Everest1830ReturnsEveryPointBitForBit) {
    const LatLongSide side;  // the default
    EXPECT_EQ(side.datum(), LatLongDatum::Everest1830);
    EXPECT_FALSE(side.Shifts());
    EXPECT_TRUE(utm::DatumShiftOf(LatLongDatum::Everest1830).IsNone());
    for (const GeodeticPoint p : {GeodeticPoint{0.4834562, 1.4887658}, GeodeticPoint{-1.5, 3.0},
                                  GeodeticPoint{1e300, -0.0}}) {
        const GeodeticPoint to = side.ToGridDatum(p);
        const GeodeticPoint from = side.FromGridDatum(p);
        EXPECT_EQ(to.phi, p.phi);
        EXPECT_EQ(to.lambda, p.lambda);
        EXPECT_EQ(from.phi, p.phi);
        EXPECT_EQ(from.lambda, p.lambda);
    }
}

TEST(LatLongSide, WGS84ShiftsWithEpsg6208BothWays) {
    const LatLongSide side(LatLongDatum::WGS84);
    EXPECT_TRUE(side.Shifts());
    EXPECT_EQ(utm::DatumShiftOf(LatLongDatum::WGS84), utm::DatumShift::Epsg6208());
    // The issue's example: WGS 84 27.7°, 85.3° is Nepal 1981 27.699813895°, 85.302359383°.
    const GeodeticPoint wgs84{utm::DegreesToRadians(27.7), utm::DegreesToRadians(85.3)};
    const GeodeticPoint nepal = side.ToGridDatum(wgs84);
    EXPECT_NEAR(utm::RadiansToDegrees(nepal.phi), 27.699813895, 1e-9);
    EXPECT_NEAR(utm::RadiansToDegrees(nepal.lambda), 85.302359383, 1e-9);
    // Back within the few 1e-8° the dropped ellipsoidal height leaves (DatumShift.h).
    const GeodeticPoint back = side.FromGridDatum(nepal);
    EXPECT_NEAR(utm::RadiansToDegrees(back.phi), 27.7, 5e-8);
    EXPECT_NEAR(utm::RadiansToDegrees(back.lambda), 85.3, 5e-8);
}

// --- Single point -------------------------------------------------------------

utm::SinglePointResult Convert(const std::string& first, const std::string& second,
                               ConversionDirection direction, LatLongDatum datum,
                               utm::test::ScriptedMessageBox& box, const std::string& cm = "84") {
    utm::SinglePointRequest request{cm, first, second, direction};
    request.Datum = datum;
    return utm::ConvertSinglePoint(request, box);
}

TEST(SinglePointDatum, TheIssueExampleInBothDirections) {
    utm::test::ScriptedMessageBox box;
    auto r = Convert("27.7", "85.3", ConversionDirection::LatLongToXY, LatLongDatum::WGS84, box);
    ASSERT_TRUE(r.Converted());
    EXPECT_EQ(r.FirstOutput, "628431.102");
    EXPECT_EQ(r.SecondOutput, "3065289.567");
    // The shared variables keep the typed WGS 84 input and the grid result.
    EXPECT_EQ(utm::Declaration::SharedLat, utm::DegreesToRadians(27.7));
    EXPECT_NEAR(utm::Declaration::SharedX, 628431.102, 0.0005);

    r = Convert("628431.102", "3065289.567", ConversionDirection::XYToLatLong, LatLongDatum::WGS84,
                box);
    ASSERT_TRUE(r.Converted());
    EXPECT_EQ(r.FirstOutput, "27.700");
    EXPECT_EQ(r.SecondOutput, "85.300");
    EXPECT_NEAR(utm::RadiansToDegrees(utm::Declaration::SharedLat), 27.7, 5e-8);
    EXPECT_NEAR(utm::RadiansToDegrees(utm::Declaration::SharedLong), 85.3, 5e-8);

    // Everest 1830 keeps the Parts' result, about 234 m away.
    r = Convert("27.7", "85.3", ConversionDirection::LatLongToXY, LatLongDatum::Everest1830, box);
    EXPECT_EQ(r.FirstOutput, "628198.193");
    EXPECT_EQ(r.SecondOutput, "3065307.732");
    // The shifted grid position read back as Everest 1830 is not the GPS point.
    r = Convert("628431.102", "3065289.567", ConversionDirection::XYToLatLong,
                LatLongDatum::Everest1830, box);
    EXPECT_EQ(r.FirstOutput, "27.700");
    EXPECT_EQ(r.SecondOutput, "85.302");
    EXPECT_TRUE(box.shown.empty());
}

TEST(SinglePointDatum, OtherCentralMeridiansAndTheMessagesStayAsTheyWere) {
    utm::test::ScriptedMessageBox box;
    // On the grid of 87° E the result equals the core's everest87 with the shift.
    const utm::CoordinatePair expected =
        utm::GridTransform(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest87,
                           utm::DatumShift::Epsg6208())
            .Apply(28.2, 86.9);
    auto r =
        Convert("28.2", "86.9", ConversionDirection::LatLongToXY, LatLongDatum::WGS84, box, "87");
    ASSERT_TRUE(r.Converted());
    EXPECT_EQ(r.FirstOutput, utm::FormatFixed3(expected.first));
    EXPECT_EQ(r.SecondOutput, utm::FormatFixed3(expected.second));

    // A text that is not a number is refused before any shift.
    r = Convert("27.7", "abc", ConversionDirection::LatLongToXY, LatLongDatum::WGS84, box);
    EXPECT_TRUE(r.FocusToText1());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Values should be Numeric!");

    // A point the projection cannot compute is named, and nothing is shown.
    box.shown.clear();
    r = Convert("1e300", "0", ConversionDirection::XYToLatLong, LatLongDatum::WGS84, box);
    EXPECT_EQ(r.status, utm::SinglePointResult::Status::CannotCompute);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("cannot be converted"), std::string::npos);
}

// --- Data files ----------------------------------------------------------------

class BatchDatum : public ::testing::Test {
  protected:
    utm::BatchRunResult Run(const std::string& data, const std::string& output,
                            ConversionDirection direction, LatLongDatum datum,
                            bool fullPrecision = false) {
        utm::ConvertDataFileRequest request;
        request.CentralMeridianText = "84";
        request.DataFilePath = data;
        request.OutputPath = output;
        request.Direction = direction;
        request.Datum = datum;
        request.FullPrecision = fullPrecision;
        return utm::ConvertDataFile(request);
    }
    utm::test::TempFolder folder;
};

TEST_F(BatchDatum, TheIssueExampleBothWaysThroughTheFile) {
    const std::string data = folder.Write("gps.csv", "27.7,85.3\r\n");
    EXPECT_EQ(
        Run(data, folder.File("xy.txt"), ConversionDirection::LatLongToXY, LatLongDatum::WGS84)
            .status,
        utm::BatchRunResult::Status::Written);
    EXPECT_EQ(Bytes(folder.File("xy.txt")),
              std::string(kHeader) + "27.7\t85.3\t628431.102\t3065289.567\r\n");

    const std::string grid = folder.Write("grid.csv", "628431.102,3065289.567\r\n");
    Run(grid, folder.File("ll.txt"), ConversionDirection::XYToLatLong, LatLongDatum::WGS84);
    EXPECT_EQ(Bytes(folder.File("ll.txt")),
              std::string(kHeader) + "628431.102\t3065289.567\t27.7\t85.3\r\n");

    // The default keeps the Parts' output byte for byte.
    Run(data, folder.File("parts.txt"), ConversionDirection::LatLongToXY,
        LatLongDatum::Everest1830);
    EXPECT_EQ(Bytes(folder.File("parts.txt")),
              std::string(kHeader) + "27.7\t85.3\t628198.193\t3065307.732\r\n");
}

TEST_F(BatchDatum, EveryLineOfAManyBlockFileEqualsTheCoreTransformation) {
    // Enough lines for several blocks on both workers: each line must get
    // exactly the core's WGS 84 → Everest-84 result (the blocks share one
    // read-only shift).
    std::ostringstream file;
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 120000; ++i) {
        // The values as the file gives them (26.56, not 26.3 + 26 × 0.01).
        const double lat = std::stod(utm::FormatGeneral(26.3 + (i % 421) * 0.01));
        const double lon = std::stod(utm::FormatGeneral(80.0 + (i % 829) * 0.01));
        points.emplace_back(lat, lon);
        file << utm::FormatGeneral(lat) << ',' << utm::FormatGeneral(lon) << "\r\n";
    }
    const std::string data = folder.Write("many.csv", file.str());
    Run(data, folder.File("many.txt"), ConversionDirection::LatLongToXY, LatLongDatum::WGS84, true);
    const utm::GridTransform core(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest84,
                                  utm::DatumShift::Epsg6208());
    std::istringstream out(Bytes(folder.File("many.txt")));
    std::string line;
    std::getline(out, line);  // header
    std::size_t mismatches = 0;
    for (const auto& [lat, lon] : points) {
        ASSERT_TRUE(std::getline(out, line));
        const utm::CoordinatePair r = core.Apply(lat, lon);
        const std::string expected = utm::FormatGeneral(lat) + '\t' + utm::FormatGeneral(lon) +
                                     '\t' + utm::FormatGeneral(r.first) + '\t' +
                                     utm::FormatGeneral(r.second) + '\r';
        if (line != expected && ++mismatches <= 3) ADD_FAILURE() << line << " != " << expected;
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_FALSE(std::getline(out, line));
}

TEST_F(BatchDatum, RoundTripThroughTheGridReturnsTheGpsPositions) {
    std::string text;
    for (double lat = 26.4; lat <= 30.4; lat += 0.8) {
        for (double lon = 80.1; lon <= 88.2; lon += 1.3) {
            text += utm::FormatGeneral(lat) + "," + utm::FormatGeneral(lon) + "\r\n";
        }
    }
    const std::string data = folder.Write("ll.csv", text);
    Run(data, folder.File("xy.txt"), ConversionDirection::LatLongToXY, LatLongDatum::WGS84, true);
    // The grid columns of the output as a new data file, then back.
    std::istringstream out(Bytes(folder.File("xy.txt")));
    std::string line, grid;
    std::getline(out, line);
    while (std::getline(out, line)) {
        std::istringstream fields(line);
        std::string a, b, x, y;
        std::getline(fields, a, '\t');
        std::getline(fields, b, '\t');
        std::getline(fields, x, '\t');
        std::getline(fields, y, '\r');
        grid += x + "," + y + "\r\n";
    }
    const std::string gridPath = folder.Write("xy.csv", grid);
    Run(gridPath, folder.File("back.txt"), ConversionDirection::XYToLatLong, LatLongDatum::WGS84,
        true);
    std::istringstream back(Bytes(folder.File("back.txt")));
    std::istringstream original(text);
    std::getline(back, line);
    std::string start;
    int count = 0;
    while (std::getline(original, start)) {
        ASSERT_TRUE(std::getline(back, line));
        const double lat = std::stod(start.substr(0, start.find(',')));
        const double lon = std::stod(start.substr(start.find(',') + 1));
        std::istringstream fields(line);
        std::string x, y, outLat, outLon;
        std::getline(fields, x, '\t');
        std::getline(fields, y, '\t');
        std::getline(fields, outLat, '\t');
        std::getline(fields, outLon, '\r');
        // The dropped ellipsoidal height leaves a few 1e-8° (DatumShift.h).
        EXPECT_NEAR(std::stod(outLat), lat, 5e-8) << start;
        EXPECT_NEAR(std::stod(outLon), lon, 5e-8) << start;
        ++count;
    }
    EXPECT_GT(count, 30);
}

TEST_F(BatchDatum, FindingsAndFailuresAreTheSameWithTheShift) {
    // A field that is not a number is taken as 0 and reported; the far-away
    // point is named; a latitude outside -90 to 90 too.
    const std::string data = folder.Write("odd.csv", "27.7,abc\r\n27.7,95\r\n95,85\r\n");
    const utm::BatchRunResult r =
        Run(data, folder.File("odd.txt"), ConversionDirection::LatLongToXY, LatLongDatum::WGS84);
    EXPECT_EQ(r.status, utm::BatchRunResult::Status::Written);
    EXPECT_EQ(r.report.Count(utm::Finding::NotNumber), 1u);
    EXPECT_EQ(r.report.Count(utm::Finding::LatitudeRange), 1u);
    EXPECT_GE(r.report.Count(utm::Finding::FarFromMeridian), 2u);

    // Strict refuses the same file and writes nothing.
    utm::ConvertDataFileRequest strict;
    strict.CentralMeridianText = "84";
    strict.DataFilePath = data;
    strict.OutputPath = folder.File("strict.txt");
    strict.Datum = LatLongDatum::WGS84;
    strict.Strict = true;
    EXPECT_THROW(utm::ConvertDataFile(strict), utm::OperationError);
    EXPECT_EQ(utm::test::ReadFileBytes(strict.OutputPath), std::nullopt);
}

}  // namespace
