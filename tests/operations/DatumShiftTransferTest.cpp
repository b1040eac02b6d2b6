// Transfers with a datum shift: the eight kinds and their grids, the defaults
// equal to ClsUTM's transfers bit for bit, the issue's example, round trips,
// and the transformation between any two systems.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/BlockRunner.h"
#include "common/NumberFormat.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/GridDefinition.h"
#include "operations/TransferFile.h"
#include "support/TempFolder.h"

namespace {

using utm::CoordinatePair;
using utm::DatumShift;
using utm::GridTransform;
using utm::PointBlock;
using utm::ResultBlock;
using CS = utm::CoordinateSystem;

/// The issue's example, WGS 84 27.7°, 85.3°, on the Everest-84 grid.
constexpr double kShiftedX = 628431.102, kShiftedY = 3065289.567;
constexpr double kUnshiftedX = 628198.193, kUnshiftedY = 3065307.732;

/// The example's GPS point on WGS84 UTM zone 45.
CoordinatePair GpsOnZone45() {
    return GridTransform(CS::LatLongWGS84, CS::WGS84Zone45).Apply(27.7, 85.3);
}

/// Everest-84 grid points over Nepal, eastings from `west` to `east`.
PointBlock GridPoints(double west = 250000.0, double east = 750000.0) {
    PointBlock points;
    for (double x = west; x <= east; x += 50000.0) {
        for (double y = 2900000.0; y <= 3400000.0; y += 50000.0) points.push_back({x, y});
    }
    return points;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

/// The third and fourth values of a CSV result line.
std::pair<double, double> Results(const std::string& line) {
    const std::size_t comma = line.find(',', line.find(',') + 1);
    const std::size_t next = line.find(',', comma + 1);
    return {std::stod(line.substr(comma + 1, next - comma - 1)), std::stod(line.substr(next + 1))};
}

utm::TransferOptions WithShift(const DatumShift& shift, bool strict = false) {
    utm::TransferOptions options;
    options.datumShift = shift;
    options.strict = strict;
    return options;
}

using TransferOp = void (utm::ClsUTM::*)(double, double, double&, double&) const;

TEST(TransferKinds, EightKindsAndTheFirstSixAreClsUTMsOperationsBitForBit) {
    const CS grids[8][2] = {
        {CS::Everest81, CS::Everest84},   {CS::Everest87, CS::Everest84},
        {CS::WGS84Zone44, CS::Everest84}, {CS::WGS84Zone45, CS::Everest84},
        {CS::Everest84, CS::Everest81},   {CS::Everest84, CS::Everest87},
        {CS::Everest84, CS::WGS84Zone44}, {CS::Everest84, CS::WGS84Zone45},
    };
    for (int kind = 0; kind < 8; ++kind) {
        EXPECT_EQ(utm::SystemsOfKind(kind).from, grids[kind][0]) << kind;
        EXPECT_EQ(utm::SystemsOfKind(kind).to, grids[kind][1]) << kind;
        EXPECT_EQ(utm::KindCrossesDatum(kind), kind == 2 || kind == 3 || kind >= 6) << kind;
    }
    EXPECT_EQ(utm::TransferKindFromCaption("Everest-84 to WGS84-45"), 7);
    EXPECT_FALSE(utm::KindCrossesDatum(utm::kNoTransferKind));
    EXPECT_THROW(utm::SystemsOfKind(8), std::out_of_range);

    // Point blocks and data files without a shift (and the zone transfers
    // with one, on which it does not act) give ClsUTM's numbers and bytes.
    const TransferOp ops[6] = {
        &utm::ClsUTM::XYEverest81ToXYEverest84, &utm::ClsUTM::XYEverest87ToXYEverest84,
        &utm::ClsUTM::XYwgs81ToXYEverest84,     &utm::ClsUTM::XYwgs87ToXYEverest84,
        &utm::ClsUTM::XYEverest84ToXYEverest81, &utm::ClsUTM::XYEverest84ToXYEverest87,
    };
    utm::test::TempFolder folder;
    PointBlock points = GridPoints();
    std::string data;
    for (const auto& p : points)
        data += utm::FormatGeneral(p[0]) + "\t" + utm::FormatGeneral(p[1]) + "\r\n";
    folder.Write("pts.txt", data);
    for (int kind = 0; kind < 6; ++kind) {
        ResultBlock expected(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            double x = 0, y = 0;
            (utm::ClsUTM().*ops[kind])(points[i][0], points[i][1], x, y);
            expected[i] = {x, y};
        }
        const DatumShift shift =
            utm::KindCrossesDatum(kind) ? DatumShift() : DatumShift::Epsg6208();
        EXPECT_TRUE(utm::TransferPoints(kind, points, shift) == expected) << kind;
        utm::TransferFile(folder.File("pts.txt"), folder.File("out.txt"), kind, WithShift(shift));
        EXPECT_TRUE(Read(folder.File("out.txt")) ==
                    utm::FormatResultFile(points, expected, utm::DataFileMode::Text, '.'))
            << kind;
    }
}

TEST(TransferPointsWithShift, TheIssueExampleAndEveryCrossingKindRoundTrips) {
    const CoordinatePair gps = GpsOnZone45();
    const DatumShift epsg = DatumShift::Epsg6208();
    const ResultBlock shifted = utm::TransferPoints(3, PointBlock{{gps.first, gps.second}}, epsg);
    EXPECT_NEAR(*shifted[0][0], kShiftedX, 0.001);
    EXPECT_NEAR(*shifted[0][1], kShiftedY, 0.001);
    const ResultBlock plain = utm::TransferPoints(3, PointBlock{{gps.first, gps.second}});
    EXPECT_NEAR(*plain[0][0], kUnshiftedX, 0.001);
    EXPECT_NEAR(*plain[0][1], kUnshiftedY, 0.001);
    // Kind 7 takes the Everest position back to the GPS one, within the 3 mm
    // that the shift's dropped ellipsoidal height leaves on a round trip.
    const ResultBlock back = utm::TransferPoints(7, PointBlock{{kShiftedX, kShiftedY}}, epsg);
    EXPECT_NEAR(*back[0][0], gps.first, 0.003);
    EXPECT_NEAR(*back[0][1], gps.second, 0.003);
    // Spreadsheet cells ("Within Excel") take the shift as well.
    using Cells = std::vector<std::vector<std::optional<std::string>>>;
    const Cells cells{{utm::FormatGeneral(gps.first), utm::FormatGeneral(gps.second)}};
    EXPECT_NEAR(*utm::TransferPoints(3, cells, '.', epsg)[0][0], kShiftedX, 0.001);
    EXPECT_NEAR(*utm::TransferPoints(3, cells)[0][0], kUnshiftedX, 0.001);

    // Kinds 2/6 and 3/7 there and back, with Everest-84 points within about
    // 250 km of the WGS84 zone's central meridian: the series keep 1 cm there.
    const DatumShift shifts[] = {
        epsg, DatumShift::Parse("helmert-pv:293.17,726.18,245.36,0.5,-0.3,1.2,2.5"),
        DatumShift::Parse("helmert-cf:293.17,726.18,245.36,0.5,-0.3,1.2,2.5")};
    const struct {
        int there, back;
        PointBlock points;
    } pairs[] = {{2, 6, GridPoints(250000.0, 450000.0)}, {3, 7, GridPoints(550000.0, 750000.0)}};
    for (const DatumShift& shift : shifts) {
        for (const auto& [there, reverse, points] : pairs) {
            const ResultBlock onZone = utm::TransferPoints(reverse, points, shift);
            PointBlock zone;
            for (const auto& row : onZone) zone.push_back({*row[0], *row[1]});
            const ResultBlock moved = utm::TransferPoints(there, zone, shift);
            for (std::size_t i = 0; i < points.size(); ++i) {
                EXPECT_NEAR(*moved[i][0], points[i][0], 0.01) << shift.ToString() << " " << i;
                EXPECT_NEAR(*moved[i][1], points[i][1], 0.01) << shift.ToString() << " " << i;
            }
        }
    }
    // The two conventions are different transformations.
    EXPECT_GT(std::fabs(*utm::TransferPoints(2, GridPoints(), shifts[1])[0][0] -
                        *utm::TransferPoints(2, GridPoints(), shifts[2])[0][0]),
              1.0);
}

TEST(TransformFile, TheIssueExampleEachWayAndTheKindsAreItsCases) {
    utm::test::TempFolder folder;
    folder.Write("gps.csv", "27.7,85.3\r\n");
    utm::TransformFile(folder.File("gps.csv"), folder.File("xy.csv"), CS::LatLongWGS84,
                       CS::Everest84, WithShift(DatumShift::Epsg6208()));
    const CoordinatePair core =
        GridTransform(CS::LatLongWGS84, CS::Everest84, DatumShift::Epsg6208()).Apply(27.7, 85.3);
    EXPECT_EQ(Read(folder.File("xy.csv")), "27.7,85.3," + utm::FormatGeneral(core.first) + "," +
                                               utm::FormatGeneral(core.second) + "\r\n");
    EXPECT_NEAR(core.first, kShiftedX, 0.0005);
    EXPECT_NEAR(core.second, kShiftedY, 0.0005);
    // Back, in text mode: WGS 84 latitude and longitude.
    folder.Write("xy.txt", "628431.102\t3065289.567\r\n");
    utm::TransformFile(folder.File("xy.txt"), folder.File("ll.txt"), CS::Everest84,
                       CS::LatLongWGS84, WithShift(DatumShift::Epsg6208()));
    const std::string ll = Read(folder.File("ll.txt"));
    ASSERT_EQ(ll.rfind(" 628431.102  3065289.567  27.", 0), 0u) << ll;
    EXPECT_NEAR(std::stod(ll.substr(ll.find("  27.") + 2)), 27.7, 5e-8);
    EXPECT_NEAR(std::stod(ll.substr(ll.find("  85.") + 2)), 85.3, 5e-8);

    // Each kind is the transformation between its two grids, byte for byte.
    std::string data;
    for (const auto& p : GridPoints()) {
        data += utm::FormatGeneral(p[0]) + "," + utm::FormatGeneral(p[1]) + "\r\n";
    }
    folder.Write("pts.csv", data);
    for (int kind = 0; kind < utm::kTransferKindCount; ++kind) {
        const utm::TransferSystems s = utm::SystemsOfKind(kind);
        const auto options = WithShift(DatumShift::Epsg6208());
        utm::TransferFile(folder.File("pts.csv"), folder.File("k.csv"), kind, options);
        utm::TransformFile(folder.File("pts.csv"), folder.File("t.csv"), s.from, s.to, options);
        EXPECT_TRUE(Read(folder.File("k.csv")) == Read(folder.File("t.csv"))) << kind;
    }
}

TEST(TransformFile, AnySystemAndBackReturnsTheGpsPositions) {
    utm::test::TempFolder folder;
    const auto options = WithShift(DatumShift::Epsg6208());
    for (const CS to : utm::kCoordinateSystems) {
        SCOPED_TRACE(std::string(utm::NameOf(to)));
        // On a grid only points within 2° of its central meridian, where the
        // series keep a millimetre.
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
        folder.Write("ll.csv", data);
        utm::TransformFile(folder.File("ll.csv"), folder.File("there.csv"), CS::LatLongWGS84, to,
                           options);
        std::string there;  // the results of the first run are the data of the second
        utm::ForEachLine(Read(folder.File("there.csv")), [&](std::string_view line, std::size_t) {
            const auto [a, b] = Results(std::string(line));
            there += utm::FormatGeneral(a) + "," + utm::FormatGeneral(b) + "\r\n";
        });
        folder.Write("there-in.csv", there);
        utm::TransformFile(folder.File("there-in.csv"), folder.File("back.csv"), to,
                           CS::LatLongWGS84, options);
        std::size_t i = 0;
        utm::ForEachLine(Read(folder.File("back.csv")), [&](std::string_view line, std::size_t) {
            // The series, 15 digits between the runs and the dropped height: < 1e-7°.
            const auto [lat, lon] = Results(std::string(line));
            EXPECT_NEAR(lat, start[i].first, 1e-7);
            EXPECT_NEAR(lon, start[i].second, 1e-7);
            ++i;
        });
        EXPECT_EQ(i, start.size());
    }
}

TEST(TransformFile, LatLongSourcesAreCheckedAsLatitudes) {
    utm::test::TempFolder folder;
    folder.Write("ll.csv", "27.7,85.3\r\n95,85\r\nlat,lon\r\n");
    const auto result = utm::TransformFile(folder.File("ll.csv"), folder.File("r.csv"),
                                           CS::LatLongEverest, CS::LatLongWGS84);
    EXPECT_EQ(result.report.Lines(utm::Finding::LatitudeRange), std::vector<std::size_t>{2});
    // A row of names after the points holds no point: marked, not taken as (0, 0).
    EXPECT_EQ(result.report.Lines(utm::Finding::NoNumber), std::vector<std::size_t>{3});
    EXPECT_NE(Read(folder.File("r.csv")).find("\r\nlat,lon,*,*\r\n"), std::string::npos);
    EXPECT_EQ(result.report.Count(utm::Finding::FarFromMeridian), 0u);  // no grid at either end
    EXPECT_EQ(Read(folder.File("r.csv")).substr(0, 20), "27.7,85.3,27.7,85.3\r");  // no shift
    try {
        utm::TransformFile(folder.File("ll.csv"), folder.File("s.csv"), CS::LatLongWGS84,
                           CS::Everest84, WithShift(DatumShift::Epsg6208(), true));
        ADD_FAILURE() << "strict accepted a latitude of 95";
    } catch (const utm::OperationError& e) {
        EXPECT_NE(std::string(e.what()).find(
                      "Line 2 of the data file \"" + folder.File("ll.csv") +
                      "\": the latitude 95 lies outside -90 to 90 degrees. No result file"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"ll.csv", "r.csv"}));
    // A grid target names only its own reach.
    folder.Write("far.csv", "27.7,95\r\n");
    const auto far = utm::TransformFile(folder.File("far.csv"), folder.File("f.csv"),
                                        CS::LatLongWGS84, CS::Everest84);
    EXPECT_NE(far.report.Text("far.csv").find("more than 655 km on the target grid east"),
              std::string::npos)
        << far.report.Text("far.csv");
}

}  // namespace
