// Transfers with a datum shift: the eight kinds and their grids, point blocks
// and data files with and without a shift, the general transformation between
// any two systems, and the defaults equal to the Parts' transfers byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/BlockRunner.h"
#include "common/NumberFormat.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/GridTransform.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"
#include "transfer/PointBlock.h"
#include "transfer/TransferFile.h"
#include "transfer/TransferKind.h"

namespace {

using utm::CoordinatePair;
using utm::DatumShift;
using utm::GridTransform;
using utm::PointBlock;
using utm::ResultBlock;
using CS = utm::CoordinateSystem;
using Names = std::set<std::string>;

/// The issue's example: WGS 84 27.7°, 85.3° on the Everest-84 grid with EPSG:6208.
constexpr double kGpsLatitude = 27.7;
constexpr double kGpsLongitude = 85.3;
constexpr double kShiftedX = 628431.102;
constexpr double kShiftedY = 3065289.567;
constexpr double kUnshiftedX = 628198.193;
constexpr double kUnshiftedY = 3065307.732;

/// The GPS point on WGS84 UTM zone 45, as a GPS receiver set to UTM shows it.
CoordinatePair GpsOnZone45() {
    return GridTransform(CS::LatLongWGS84, CS::WGS84Zone45).Apply(kGpsLatitude, kGpsLongitude);
}

/// Grid points over Nepal's part of the three Everest zones, eastings from
/// `west` to `east`.
PointBlock GridPoints(double west = 250000.0, double east = 750000.0) {
    PointBlock points;
    for (double x = west; x <= east; x += 50000.0) {
        for (double y = 2900000.0; y <= 3400000.0; y += 50000.0) points.push_back({x, y});
    }
    return points;
}

// --- The kinds ----------------------------------------------------------------

TEST(TransferKinds, EightCaptionsEachWithItsGrids) {
    ASSERT_EQ(utm::kTransferKindCount, 8);
    EXPECT_EQ(utm::kTransferKindCaptions[6], "Everest-84 to WGS84-44");
    EXPECT_EQ(utm::kTransferKindCaptions[7], "Everest-84 to WGS84-45");
    EXPECT_EQ(utm::TransferKindFromCaption("Everest-84 to WGS84-45"), 7);
    EXPECT_EQ(utm::TransferKindFromCaption("everest-84 to wgs84-45"), std::nullopt);
    const CS expected[8][2] = {
        {CS::Everest81, CS::Everest84},   {CS::Everest87, CS::Everest84},
        {CS::WGS84Zone44, CS::Everest84}, {CS::WGS84Zone45, CS::Everest84},
        {CS::Everest84, CS::Everest81},   {CS::Everest84, CS::Everest87},
        {CS::Everest84, CS::WGS84Zone44}, {CS::Everest84, CS::WGS84Zone45},
    };
    for (int kind = 0; kind < 8; ++kind) {
        const utm::TransferSystems s = utm::SystemsOfKind(kind);
        EXPECT_EQ(s.from, expected[kind][0]) << kind;
        EXPECT_EQ(s.to, expected[kind][1]) << kind;
        EXPECT_EQ(utm::KindCrossesDatum(kind), kind == 2 || kind == 3 || kind >= 6) << kind;
    }
    for (int other : {utm::kNoTransferKind, 8, 100}) {
        EXPECT_FALSE(utm::KindCrossesDatum(other));
        EXPECT_THROW(utm::SystemsOfKind(other), std::out_of_range);
    }
    EXPECT_EQ(utm::kNoDatumShiftWarning,
              "No datum shift: results differ from a datum-shifted transfer by about 150–250 m in "
              "Nepal");
}

using TransferOp = void (utm::ClsUTM::*)(double, double, double&, double&) const;

TEST(TransferKinds, WithoutShiftTheFirstSixAreThePartsOperationsBitForBit) {
    const TransferOp ops[6] = {
        &utm::ClsUTM::XYEverest81ToXYEverest84, &utm::ClsUTM::XYEverest87ToXYEverest84,
        &utm::ClsUTM::XYwgs81ToXYEverest84,     &utm::ClsUTM::XYwgs87ToXYEverest84,
        &utm::ClsUTM::XYEverest84ToXYEverest81, &utm::ClsUTM::XYEverest84ToXYEverest87,
    };
    const utm::ClsUTM cls;
    const PointBlock points = GridPoints();
    for (int kind = 0; kind < 6; ++kind) {
        // A shift given for a kind that stays on one datum changes nothing either.
        for (const DatumShift& shift : {DatumShift(), DatumShift::Epsg6208()}) {
            if (utm::KindCrossesDatum(kind) && !shift.IsNone()) continue;
            const ResultBlock r = utm::TransferPoints(kind, points, shift);
            for (std::size_t i = 0; i < points.size(); ++i) {
                double x = 0, y = 0;
                (cls.*ops[kind])(points[i][0], points[i][1], x, y);
                ASSERT_TRUE(r[i][0] && r[i][1]);
                EXPECT_EQ(*r[i][0], x) << kind << " row " << i;
                EXPECT_EQ(*r[i][1], y) << kind << " row " << i;
            }
        }
    }
}

// --- Point blocks ---------------------------------------------------------------

TEST(TransferPointsWithShift, TheIssueExampleFromAndToWgs84Zone45) {
    const CoordinatePair gps = GpsOnZone45();
    // Kind 3, WGS84-45 to Everest-84: with EPSG:6208 the shifted position,
    // without it the pure re-projection about 234 m away.
    const ResultBlock shifted =
        utm::TransferPoints(3, PointBlock{{gps.first, gps.second}}, DatumShift::Epsg6208());
    EXPECT_NEAR(*shifted[0][0], kShiftedX, 0.001);
    EXPECT_NEAR(*shifted[0][1], kShiftedY, 0.001);
    const ResultBlock plain = utm::TransferPoints(3, PointBlock{{gps.first, gps.second}});
    EXPECT_NEAR(*plain[0][0], kUnshiftedX, 0.001);
    EXPECT_NEAR(*plain[0][1], kUnshiftedY, 0.001);

    // Kind 7, Everest-84 to WGS84-45, takes the Everest position back to the
    // GPS one: within the 3 mm that the shift's dropped ellipsoidal height
    // leaves on a round trip (DatumShift.h).
    const ResultBlock back =
        utm::TransferPoints(7, PointBlock{{kShiftedX, kShiftedY}}, DatumShift::Epsg6208());
    EXPECT_NEAR(*back[0][0], gps.first, 0.003);
    EXPECT_NEAR(*back[0][1], gps.second, 0.003);
    const ResultBlock backPlain = utm::TransferPoints(7, PointBlock{{kUnshiftedX, kUnshiftedY}});
    EXPECT_NEAR(*backPlain[0][0], gps.first, 0.001);
    EXPECT_NEAR(*backPlain[0][1], gps.second, 0.001);
}

TEST(TransferPointsWithShift, EachCrossingKindEqualsTheCoreAndRoundTripsWithItsReverse) {
    const DatumShift shifts[] = {
        DatumShift::Epsg6208(),
        DatumShift::Parse("helmert-pv:293.17,726.18,245.36,0.5,-0.3,1.2,2.5"),
        DatumShift::Parse("helmert-cf:293.17,726.18,245.36,0.5,-0.3,1.2,2.5"),
    };
    // Each WGS84 zone with the Everest-84 points within about 250 km of its
    // central meridian (81° E, 87° E), where both series keep a centimetre.
    const struct {
        int there, back;
        PointBlock points;
    } reverses[] = {{2, 6, GridPoints(250000.0, 450000.0)}, {3, 7, GridPoints(550000.0, 750000.0)}};
    for (const DatumShift& shift : shifts) {
        SCOPED_TRACE(shift.ToString());
        for (const auto& [there, back, points] : reverses) {
            const utm::TransferSystems s = utm::SystemsOfKind(there);
            const GridTransform core(s.from, s.to, shift);
            // Points of the source WGS84 zone: the Everest points taken there first.
            const ResultBlock onSource = utm::TransferPoints(back, points, shift);
            PointBlock source;
            for (const auto& row : onSource) source.push_back({*row[0], *row[1]});
            const ResultBlock moved = utm::TransferPoints(there, source, shift);
            for (std::size_t i = 0; i < points.size(); ++i) {
                const CoordinatePair c = core.Apply(source[i][0], source[i][1]);
                EXPECT_EQ(*moved[i][0], c.first);
                EXPECT_EQ(*moved[i][1], c.second);
                // Back where it started, to a centimetre: the series keep
                // 1 cm up to 268 km from the central meridian (inverse) and
                // 655 km (forward), and the dropped ellipsoidal height adds
                // up to 3 mm.
                EXPECT_NEAR(*moved[i][0], points[i][0], 0.01) << there << " row " << i;
                EXPECT_NEAR(*moved[i][1], points[i][1], 0.01) << there << " row " << i;
            }
        }
    }
    // The two conventions are different transformations.
    const PointBlock points = GridPoints();
    const ResultBlock pv = utm::TransferPoints(2, points, shifts[1]);
    const ResultBlock cf = utm::TransferPoints(2, points, shifts[2]);
    EXPECT_GT(std::fabs(*pv[0][0] - *cf[0][0]), 1.0);
}

TEST(TransferPointsWithShift, SpreadsheetCellsTakeTheShiftToo) {
    using Cells = std::vector<std::vector<std::optional<std::string>>>;
    const CoordinatePair gps = GpsOnZone45();
    const Cells cells{{utm::FormatGeneral(gps.first), utm::FormatGeneral(gps.second)}};
    const ResultBlock r = utm::TransferPoints(3, cells, '.', DatumShift::Epsg6208());
    EXPECT_NEAR(*r[0][0], kShiftedX, 0.001);
    EXPECT_NEAR(*r[0][1], kShiftedY, 0.001);
    // Without a shift argument the cells transfer as before.
    EXPECT_EQ(utm::TransferPoints(3, cells, '.'), utm::TransferPoints(3, cells));
    EXPECT_NEAR(*utm::TransferPoints(3, cells)[0][0], kUnshiftedX, 0.001);
}

// --- Data files -------------------------------------------------------------------

class TransferFileDatum : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        return folder_.Write(name, bytes);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static utm::TransferOptions WithShift(const DatumShift& shift, bool strict = false) {
        utm::TransferOptions options;
        options.datumShift = shift;
        options.strict = strict;
        return options;
    }
    /// The two result numbers of a CSV result line.
    static std::pair<double, double> Results(const std::string& line) {
        std::size_t comma = line.find(',');
        comma = line.find(',', comma + 1);
        const std::size_t next = line.find(',', comma + 1);
        return {std::stod(line.substr(comma + 1, next - comma - 1)),
                std::stod(line.substr(next + 1))};
    }

    utm::test::TempFolder folder_;
    utm::test::ScriptedMessageBox messages_;
};

TEST_F(TransferFileDatum, DefaultsWriteThePartsResultsByteForByte) {
    // Every kind of the Parts, on many points and on lines taken as (0, 0):
    // the bytes of the result file formed from ClsUTM's operations.
    std::string data;
    const PointBlock points = GridPoints();
    for (const auto& p : points)
        data += utm::FormatGeneral(p[0]) + "," + utm::FormatGeneral(p[1]) + "\r\n";
    data += "X,Y\r\n";
    Write("pts.csv", data);
    Write("pts.txt", [&] {
        std::string tab = data;
        for (char& c : tab) c = c == ',' ? '\t' : c;
        return tab;
    }());
    const TransferOp ops[6] = {
        &utm::ClsUTM::XYEverest81ToXYEverest84, &utm::ClsUTM::XYEverest87ToXYEverest84,
        &utm::ClsUTM::XYwgs81ToXYEverest84,     &utm::ClsUTM::XYwgs87ToXYEverest84,
        &utm::ClsUTM::XYEverest84ToXYEverest81, &utm::ClsUTM::XYEverest84ToXYEverest87,
    };
    PointBlock all = points;
    all.push_back({0, 0});
    for (int kind = 0; kind < 6; ++kind) {
        ResultBlock expected(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            double x = 0, y = 0;
            (utm::ClsUTM().*ops[kind])(all[i][0], all[i][1], x, y);
            expected[i] = {x, y};
        }
        utm::TransferFile(Path("pts.csv"), Path("csv.out"), kind);
        EXPECT_TRUE(Read("csv.out") ==
                    utm::FormatResultFile(all, expected, utm::DataFileMode::Csv, '.'))
            << kind;
        utm::TransferFile(Path("pts.txt"), Path("txt.out"), kind, WithShift(DatumShift()));
        EXPECT_TRUE(Read("txt.out") ==
                    utm::FormatResultFile(all, expected, utm::DataFileMode::Text, '.'))
            << kind;
    }
}

TEST_F(TransferFileDatum, TheWindowsFileTransferTakesTheShift) {
    const CoordinatePair gps = GpsOnZone45();
    Write("gps.csv", utm::FormatGeneral(gps.first) + "," + utm::FormatGeneral(gps.second) + "\r\n");
    auto outcome =
        utm::TransferDataFile(Path("gps.csv"), 3, '.', messages_, {}, DatumShift::Epsg6208());
    EXPECT_EQ(outcome.status, utm::FileTransferStatus::Written);
    auto [x, y] = Results(Read("gpsOut.csv"));
    EXPECT_NEAR(x, kShiftedX, 0.001);
    EXPECT_NEAR(y, kShiftedY, 0.001);
    // Without it, the result of the Parts.
    utm::TransferDataFile(Path("gps.csv"), 3, '.', messages_);
    std::tie(x, y) = Results(Read("gpsOut.csv"));
    EXPECT_NEAR(x, kUnshiftedX, 0.001);
    EXPECT_NEAR(y, kUnshiftedY, 0.001);
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(TransferFileDatum, TransformBetweenLatLongAndGridGivesTheIssueExample) {
    Write("gps.csv", "27.7,85.3\r\n");
    utm::TransformFile(Path("gps.csv"), Path("xy.csv"), CS::LatLongWGS84, CS::Everest84,
                       WithShift(DatumShift::Epsg6208()));
    const std::string line = Read("xy.csv");
    EXPECT_EQ(line.rfind("27.7,85.3,", 0), 0u) << line;
    const CoordinatePair core =
        GridTransform(CS::LatLongWGS84, CS::Everest84, DatumShift::Epsg6208()).Apply(27.7, 85.3);
    EXPECT_EQ(line, "27.7,85.3," + utm::FormatGeneral(core.first) + "," +
                        utm::FormatGeneral(core.second) + "\r\n");
    auto [x, y] = Results(line);
    EXPECT_NEAR(x, kShiftedX, 0.0005);
    EXPECT_NEAR(y, kShiftedY, 0.0005);

    // And back, in text mode: latitude and longitude on WGS 84.
    Write("xy.txt", "628431.102\t3065289.567\r\n");
    utm::TransformFile(Path("xy.txt"), Path("ll.txt"), CS::Everest84, CS::LatLongWGS84,
                       WithShift(DatumShift::Epsg6208()));
    const std::string back = Read("ll.txt");
    ASSERT_EQ(back.rfind(" 628431.102  3065289.567  27.", 0), 0u) << back;
    const std::size_t third = back.find("  27.") + 2;
    const std::size_t fourth = back.find("  85.") + 2;
    // Within the few 1e-8° that the dropped ellipsoidal height leaves (DatumShift.h).
    EXPECT_NEAR(std::stod(back.substr(third)), kGpsLatitude, 5e-8);
    EXPECT_NEAR(std::stod(back.substr(fourth)), kGpsLongitude, 5e-8);

    // Without a shift: the pure re-projection.
    utm::TransformFile(Path("gps.csv"), Path("plain.csv"), CS::LatLongWGS84, CS::Everest84);
    std::tie(x, y) = Results(Read("plain.csv"));
    EXPECT_NEAR(x, kUnshiftedX, 0.0005);
    EXPECT_NEAR(y, kUnshiftedY, 0.0005);
}

TEST_F(TransferFileDatum, TransformIsTheKindsTransferForTheKindsGrids) {
    std::string data;
    for (const auto& p : GridPoints()) {
        data += utm::FormatGeneral(p[0]) + "," + utm::FormatGeneral(p[1]) + "\r\n";
    }
    Write("pts.csv", data);
    for (int kind = 0; kind < utm::kTransferKindCount; ++kind) {
        const utm::TransferSystems s = utm::SystemsOfKind(kind);
        for (const DatumShift& shift : {DatumShift(), DatumShift::Epsg6208()}) {
            utm::TransferFile(Path("pts.csv"), Path("kind.csv"), kind, WithShift(shift));
            utm::TransformFile(Path("pts.csv"), Path("sys.csv"), s.from, s.to, WithShift(shift));
            EXPECT_TRUE(Read("kind.csv") == Read("sys.csv")) << kind << " " << shift.ToString();
        }
    }
}

TEST_F(TransferFileDatum, AnyTwoSystemsRoundTrip) {
    // Latitude/longitude points over Nepal, on each system in turn and back;
    // on a grid only those within 2° of its central meridian, where the
    // series keep a millimetre.
    for (const CS to : utm::kCoordinateSystems) {
        SCOPED_TRACE(std::string(utm::NameOf(to)));
        const utm::GridDefinition* grid = utm::GridOf(to);
        std::string data;
        std::vector<std::pair<double, double>> start;
        for (double lat = 26.5; lat <= 30.3; lat += 0.95) {
            for (double lon = 80.2; lon <= 88.1; lon += 0.65) {
                if (grid != nullptr && std::fabs(lon - grid->centralMeridian) > 2.0) continue;
                data += utm::FormatGeneral(lat) + "," + utm::FormatGeneral(lon) + "\r\n";
                start.emplace_back(lat, lon);
            }
        }
        Write("ll.csv", data);
        const auto options = WithShift(DatumShift::Epsg6208());
        utm::TransformFile(Path("ll.csv"), Path("there.csv"), CS::LatLongWGS84, to, options);
        // The results of the first run are the data of the second.
        std::string there;
        utm::ForEachLine(Read("there.csv"), [&](std::string_view line, std::size_t) {
            const auto [a, b] = Results(std::string(line));
            there += utm::FormatGeneral(a) + "," + utm::FormatGeneral(b) + "\r\n";
        });
        Write("there-in.csv", there);
        utm::TransformFile(Path("there-in.csv"), Path("back.csv"), to, CS::LatLongWGS84, options);
        std::size_t i = 0;
        utm::ForEachLine(Read("back.csv"), [&](std::string_view line, std::size_t) {
            const auto [lat, lon] = Results(std::string(line));
            // The series, the 15 digits written between the runs and the
            // dropped ellipsoidal height (a few 1e-8°) together stay below 1e-7°.
            EXPECT_NEAR(lat, start[i].first, 1e-7);
            EXPECT_NEAR(lon, start[i].second, 1e-7);
            ++i;
        });
        EXPECT_EQ(i, start.size());
        EXPECT_GT(i, 20u);
    }
}

TEST_F(TransferFileDatum, LatLongSourcesAreCheckedAsLatitudes) {
    Write("ll.csv", "27.7,85.3\r\n95,85\r\nlat,lon\r\n");
    const auto result =
        utm::TransformFile(Path("ll.csv"), Path("r.csv"), CS::LatLongEverest, CS::LatLongWGS84);
    EXPECT_EQ(result.lines, 3u);
    EXPECT_EQ(result.report.Count(utm::Finding::LatitudeRange), 1u);
    EXPECT_EQ(result.report.Lines(utm::Finding::LatitudeRange).front(), 2u);
    EXPECT_EQ(result.report.Count(utm::Finding::NotNumber), 2u);
    EXPECT_EQ(result.report.Count(utm::Finding::FarFromMeridian), 0u);  // no grid at either end
    // Without a shift latitude/longitude passes through unchanged.
    EXPECT_EQ(Read("r.csv").substr(0, 20), "27.7,85.3,27.7,85.3\r");

    try {
        utm::TransformFile(Path("ll.csv"), Path("s.csv"), CS::LatLongWGS84, CS::Everest84,
                           WithShift(DatumShift::Epsg6208(), true));
        ADD_FAILURE() << "strict accepted a latitude of 95";
    } catch (const utm::OperationError& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("Line 2 of the data file"), std::string::npos) << text;
        EXPECT_NE(text.find("the latitude 95 lies outside -90 to 90 degrees"), std::string::npos)
            << text;
        EXPECT_NE(text.find("No result file was written."), std::string::npos) << text;
    }
    EXPECT_EQ(folder_.Entries(), (Names{"ll.csv", "r.csv"}));

    // A grid target names only its own reach; a grid source only its own.
    Write("far.csv", "27.7,95\r\n");
    auto far = utm::TransformFile(Path("far.csv"), Path("f.csv"), CS::LatLongWGS84, CS::Everest84);
    EXPECT_EQ(far.report.Count(utm::Finding::FarFromMeridian), 1u);
    EXPECT_NE(far.report.Text("far.csv").find("more than 655 km on the target grid east"),
              std::string::npos)
        << far.report.Text("far.csv");
    Write("farxy.csv", "1200000,3000000\r\n");
    far = utm::TransformFile(Path("farxy.csv"), Path("g.csv"), CS::Everest84, CS::LatLongEverest);
    EXPECT_NE(far.report.Text("farxy.csv").find("more than 268 km on the source grid east"),
              std::string::npos)
        << far.report.Text("farxy.csv");
}

}  // namespace
