// The datum of the main window's latitude/longitude side through the window
// operations: Everest 1830 leaves every result as it was, WGS 84 (GPS) shifts
// with EPSG:6208 in both directions, for one point and for whole data files.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/NumberFormat.h"
#include "geodesy/GridTransform.h"
#include "operations/BatchConversion.h"
#include "operations/SinglePoint.h"
#include "support/FileBytes.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"

namespace {

using utm::ConversionDirection;
using utm::CoordinateSystem;
using utm::LatLongDatum;
constexpr auto kToXY = ConversionDirection::LatLongToXY;
constexpr auto kToLatLong = ConversionDirection::XYToLatLong;
constexpr const char* kHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n";

TEST(SinglePointDatum, TheIssueExampleBothWaysAndTheDefault) {
    const struct {
        const char *first, *second;
        ConversionDirection direction;
        LatLongDatum datum;
        const char *out1, *out2;
    } cases[] = {
        {"27.7", "85.3", kToXY, LatLongDatum::WGS84, "628431.102", "3065289.567"},
        {"628431.102", "3065289.567", kToLatLong, LatLongDatum::WGS84, "27.700", "85.300"},
        // Everest 1830 keeps today's results: the GPS point lands 234 m away,
        // and the shifted grid position is not the GPS latitude/longitude.
        {"27.7", "85.3", kToXY, LatLongDatum::Everest1830, "628198.193", "3065307.732"},
        {"628431.102", "3065289.567", kToLatLong, LatLongDatum::Everest1830, "27.700", "85.302"},
    };
    utm::test::ScriptedMessageBox box;
    for (const auto& c : cases) {
        utm::SinglePointRequest request{"84", c.first, c.second, c.direction};
        request.Datum = c.datum;
        const utm::SinglePointResult r = utm::ConvertSinglePoint(request, box);
        EXPECT_TRUE(r.Converted()) << c.first;
        EXPECT_EQ(r.FirstOutput, c.out1) << c.first;
        EXPECT_EQ(r.SecondOutput, c.out2) << c.first;
    }
    EXPECT_TRUE(box.shown.empty());

    // On another central meridian: the core's shifted Everest-87 result.
    const utm::CoordinatePair core =
        utm::GridTransform(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest87,
                           utm::DatumShift::Epsg6208())
            .Apply(28.2, 86.9);
    utm::SinglePointRequest request{"87", "28.2", "86.9", kToXY};
    request.Datum = LatLongDatum::WGS84;
    auto r = utm::ConvertSinglePoint(request, box);
    EXPECT_EQ(r.FirstOutput, utm::FormatFixed3(core.first));
    EXPECT_EQ(r.SecondOutput, utm::FormatFixed3(core.second));

    // A point that cannot be computed is named, as without the shift.
    request = utm::SinglePointRequest{"84", "1e300", "0", kToLatLong};
    request.Datum = LatLongDatum::WGS84;
    r = utm::ConvertSinglePoint(request, box);
    EXPECT_EQ(r.status, utm::SinglePointResult::Status::CannotCompute);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("cannot be converted"), std::string::npos);
}

class BatchDatum : public ::testing::Test {
  protected:
    std::string Run(const std::string& bytes, ConversionDirection direction, LatLongDatum datum,
                    bool fullPrecision = false) {
        utm::ConvertDataFileRequest request;
        request.CentralMeridianText = "84";
        request.DataFilePath = folder.Write("data.csv", bytes);
        request.OutputPath = folder.File("out.txt");
        request.Direction = direction;
        request.Datum = datum;
        request.FullPrecision = fullPrecision;
        utm::ConvertDataFile(request);
        return utm::test::ReadFileBytes(request.OutputPath).value_or("<missing>");
    }
    utm::test::TempFolder folder;
};

TEST_F(BatchDatum, TheIssueExampleBothWaysThroughTheFile) {
    EXPECT_EQ(Run("27.7,85.3\r\n", kToXY, LatLongDatum::WGS84),
              std::string(kHeader) + "27.7\t85.3\t628431.102\t3065289.567\r\n");
    EXPECT_EQ(Run("628431.102,3065289.567\r\n", kToLatLong, LatLongDatum::WGS84),
              std::string(kHeader) + "628431.102\t3065289.567\t27.7\t85.3\r\n");
    EXPECT_EQ(Run("27.7,85.3\r\n", kToXY, LatLongDatum::Everest1830),
              std::string(kHeader) + "27.7\t85.3\t628198.193\t3065307.732\r\n");
}

TEST_F(BatchDatum, EveryLineOfAManyBlockFileEqualsTheCoreTransformation) {
    // Enough lines for several blocks on both workers, which share one
    // read-only shift: each line must get exactly the core's result.
    std::ostringstream file;
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 120000; ++i) {
        // The values as the file gives them (26.56, not 26.3 + 26 × 0.01).
        const double lat = std::stod(utm::FormatGeneral(26.3 + (i % 421) * 0.01));
        const double lon = std::stod(utm::FormatGeneral(80.0 + (i % 829) * 0.01));
        points.emplace_back(lat, lon);
        file << utm::FormatGeneral(lat) << ',' << utm::FormatGeneral(lon) << "\r\n";
    }
    std::istringstream out(Run(file.str(), kToXY, LatLongDatum::WGS84, true));
    const utm::GridTransform core(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest84,
                                  utm::DatumShift::Epsg6208());
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

}  // namespace
