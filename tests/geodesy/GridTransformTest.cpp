// Transformations between the coordinate systems: names, datums, the default
// equal to today's transfers bit for bit, and the shift where datums cross.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/GridTransform.h"
#include "geodesy/ParameterError.h"

namespace {

using namespace utm;
using CS = CoordinateSystem;

TEST(CoordinateSystemNames, ReadBackAndRejectOthers) {
    const char* names[] = {"everest81", "everest84",       "everest87",    "wgs84-44",
                           "wgs84-45",  "latlong-everest", "latlong-wgs84"};
    ASSERT_EQ(std::size(names), kCoordinateSystems.size());
    for (std::size_t i = 0; i < kCoordinateSystems.size(); ++i) {
        EXPECT_EQ(NameOf(kCoordinateSystems[i]), names[i]);
        EXPECT_EQ(ParseCoordinateSystem(names[i]), kCoordinateSystems[i]);
    }
    EXPECT_EQ(ParseCoordinateSystem(" WGS84-44 "), CS::WGS84Zone44);
    for (const char* bad : {"everest", "wgs84-46", "latlong", "", "utm44"}) {
        try {
            ParseCoordinateSystem(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const ParameterError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("unknown coordinate system \"" + std::string(bad) + "\""),
                      std::string::npos);
            EXPECT_NE(message.find("everest81, everest84, everest87, wgs84-44, wgs84-45, "
                                   "latlong-everest or latlong-wgs84"),
                      std::string::npos)
                << message;
        }
    }
}

TEST(CoordinateSystemNames, DatumsGridsAndCrossings) {
    EXPECT_EQ(&EllipsoidOf(CS::Everest87), &Everest1830);
    EXPECT_EQ(&EllipsoidOf(CS::LatLongEverest), &Everest1830);
    EXPECT_EQ(&EllipsoidOf(CS::WGS84Zone45), &WGS84);
    EXPECT_EQ(&EllipsoidOf(CS::LatLongWGS84), &WGS84);
    EXPECT_EQ(GridOf(CS::Everest81), &grids::Everest81);
    EXPECT_EQ(GridOf(CS::WGS84Zone44), &grids::WGS84Zone44);
    EXPECT_EQ(GridOf(CS::WGS84Zone45), &grids::WGS84Zone45);
    EXPECT_EQ(GridOf(CS::LatLongWGS84), nullptr);

    EXPECT_TRUE(CrossesDatum(CS::WGS84Zone44, CS::Everest84));
    EXPECT_TRUE(CrossesDatum(CS::Everest84, CS::LatLongWGS84));
    EXPECT_TRUE(CrossesDatum(CS::LatLongEverest, CS::LatLongWGS84));
    EXPECT_FALSE(CrossesDatum(CS::Everest81, CS::LatLongEverest));
    EXPECT_FALSE(CrossesDatum(CS::WGS84Zone44, CS::WGS84Zone45));

    EXPECT_TRUE(
        GridTransform(CS::WGS84Zone44, CS::Everest84, DatumShift::Epsg6208()).ShiftsDatum());
    EXPECT_FALSE(GridTransform(CS::WGS84Zone44, CS::Everest84).ShiftsDatum());
    EXPECT_FALSE(GridTransform(CS::Everest81, CS::Everest84, DatumShift::Epsg6208()).ShiftsDatum());
}

/// Points over the zones, including far outside the area of use.
std::vector<CoordinatePair> GridPoints() {
    std::vector<CoordinatePair> points;
    for (double x = -160000.0; x <= 1200000.0; x += 68000.0) {
        for (double y = 2400000.0; y <= 3700000.0; y += 65000.0) points.push_back({x, y});
    }
    points.push_back({426207.01, 3206261.5});
    points.push_back({628198.1932, -3065307.7324});
    return points;
}

std::vector<CoordinatePair> LatLongPoints() {
    std::vector<CoordinatePair> points;
    for (double lat = -40.0; lat <= 60.0; lat += 3.7) {
        for (double lon = 70.0; lon <= 100.0; lon += 1.3) points.push_back({lat, lon});
    }
    points.push_back({27.7, 85.3});
    return points;
}

using TransferOp = void (ClsUTM::*)(double, double, double&, double&) const;

TEST(GridTransform, WithoutShiftEqualsTodaysTransfersBitForBit) {
    struct Case {
        CS from, to;
        TransferOp op;
    };
    const Case cases[] = {
        {CS::Everest81, CS::Everest84, &ClsUTM::XYEverest81ToXYEverest84},
        {CS::Everest84, CS::Everest84, &ClsUTM::XYEverest84ToXYEverest84},
        {CS::Everest87, CS::Everest84, &ClsUTM::XYEverest87ToXYEverest84},
        {CS::Everest84, CS::Everest81, &ClsUTM::XYEverest84ToXYEverest81},
        {CS::Everest84, CS::Everest87, &ClsUTM::XYEverest84ToXYEverest87},
        {CS::WGS84Zone44, CS::Everest84, &ClsUTM::XYwgs81ToXYEverest84},
        {CS::WGS84Zone45, CS::Everest84, &ClsUTM::XYwgs87ToXYEverest84},
    };
    const ClsUTM utm;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(NameOf(c.from)) + " -> " + std::string(NameOf(c.to)));
        // The default shift, an explicit none, and a shift on a path that stays
        // on one datum all leave today's results untouched.
        std::vector<GridTransform> transforms{GridTransform(c.from, c.to),
                                              GridTransform(c.from, c.to, DatumShift::None())};
        if (!CrossesDatum(c.from, c.to)) {
            transforms.emplace_back(c.from, c.to, DatumShift::Epsg6208());
        }
        for (const GridTransform& t : transforms) {
            for (const CoordinatePair p : GridPoints()) {
                double x = 0, y = 0;
                (utm.*c.op)(p.first, p.second, x, y);
                const CoordinatePair r = t.Apply(p);
                EXPECT_EQ(r.first, x) << p.first << " " << p.second;
                EXPECT_EQ(r.second, y) << p.first << " " << p.second;
            }
        }
    }
}

TEST(GridTransform, LatitudeLongitudeEndsEqualTheProjectionsBitForBit) {
    const ClsUTM utm;
    struct GridCase {
        CS system;
        double lambda0;
        bool everest;
    };
    const GridCase gridCases[] = {
        {CS::Everest81, 81, true},    {CS::Everest84, 84, true},    {CS::Everest87, 87, true},
        {CS::WGS84Zone44, 81, false}, {CS::WGS84Zone45, 87, false},
    };
    for (const GridCase& g : gridCases) {
        SCOPED_TRACE(NameOf(g.system));
        const CS latLong = g.everest ? CS::LatLongEverest : CS::LatLongWGS84;
        // The other datum's lat/long side without a shift: a pure re-projection.
        const CS otherLatLong = g.everest ? CS::LatLongWGS84 : CS::LatLongEverest;
        for (const CS source : {latLong, otherLatLong}) {
            const GridTransform forward(source, g.system);
            for (const CoordinatePair p : LatLongPoints()) {
                double x = 0, y = 0;
                if (g.everest) {
                    utm.LatLongToXYEverest(p.first, p.second, g.lambda0, x, y);
                } else {
                    utm.LatLongToXYWGS(p.first, p.second, g.lambda0, x, y);
                }
                const CoordinatePair r = forward.Apply(p);
                EXPECT_EQ(r.first, x);
                EXPECT_EQ(r.second, y);
            }
        }
        const GridTransform inverse(g.system, latLong);
        for (const CoordinatePair p : GridPoints()) {
            double lat = 0, lon = 0;
            if (g.everest) {
                utm.XYToLatLongEverest(p.first, p.second, g.lambda0, lat, lon);
            } else {
                utm.XYToLatLongWGS(p.first, p.second, g.lambda0, lat, lon);
            }
            const CoordinatePair r = inverse.Apply(p);
            EXPECT_EQ(r.first, RadiansToDegrees(lat));
            EXPECT_EQ(r.second, RadiansToDegrees(lon));
        }
    }
    // Latitude/longitude to latitude/longitude without a shift: unchanged.
    const GridTransform same(CS::LatLongWGS84, CS::LatLongEverest);
    const CoordinatePair r = same.Apply(27.7, 85.3);
    EXPECT_EQ(r.first, 27.7);
    EXPECT_EQ(r.second, 85.3);
}

TEST(GridTransform, WorkedExampleAtKathmanduOnTheEverest84Grid) {
    // WGS 84 27.7°, 85.3° → Everest-84 X 628431.102, Y 3065289.567 with the
    // published shift; 628198.193, 3065307.732 without it, about 234 m away.
    const CoordinatePair shifted =
        GridTransform(CS::LatLongWGS84, CS::Everest84, DatumShift::Epsg6208()).Apply(27.7, 85.3);
    EXPECT_NEAR(shifted.first, 628431.102, 0.0005);
    EXPECT_NEAR(shifted.second, 3065289.567, 0.0005);
    const CoordinatePair unshifted =
        GridTransform(CS::LatLongWGS84, CS::Everest84).Apply(27.7, 85.3);
    EXPECT_NEAR(unshifted.first, 628198.193, 0.0005);
    EXPECT_NEAR(unshifted.second, 3065307.732, 0.0005);
    EXPECT_NEAR(std::hypot(shifted.first - unshifted.first, shifted.second - unshifted.second),
                234.0, 1.0);

    // And back: the Everest-84 position to WGS 84 latitude/longitude.
    const CoordinatePair back =
        GridTransform(CS::Everest84, CS::LatLongWGS84, DatumShift::Epsg6208())
            .Apply(628431.102, 3065289.567);
    EXPECT_NEAR(back.first, 27.7, 1e-7);
    EXPECT_NEAR(back.second, 85.3, 1e-7);

    // The Nepal 1981 latitude/longitude on the way.
    const CoordinatePair nepal =
        GridTransform(CS::LatLongWGS84, CS::LatLongEverest, DatumShift::Epsg6208())
            .Apply(27.7, 85.3);
    EXPECT_NEAR(nepal.first, 27.699813895, 1e-9);
    EXPECT_NEAR(nepal.second, 85.302359383, 1e-9);
}

TEST(GridTransform, UtmZonesToEverestAndBackWithTheShift) {
    // The WGS 84 UTM zone 45 position of the worked example goes to the same
    // Everest-84 position as the latitude/longitude (the series agree to well
    // under a millimetre 1.7° from the central meridian), and back.
    const ClsUTM utm;
    double x45 = 0, y45 = 0;
    utm.LatLongToXYWGS(27.7, 85.3, 87, x45, y45);
    const CoordinatePair ev =
        GridTransform(CS::WGS84Zone45, CS::Everest84, DatumShift::Epsg6208()).Apply(x45, y45);
    EXPECT_NEAR(ev.first, 628431.102, 0.001);
    EXPECT_NEAR(ev.second, 3065289.567, 0.001);
    const CoordinatePair back =
        GridTransform(CS::Everest84, CS::WGS84Zone45, DatumShift::Epsg6208()).Apply(ev);
    EXPECT_NEAR(back.first, x45, 0.005);
    EXPECT_NEAR(back.second, y45, 0.005);
}

TEST(GridTransform, EveryCrossingPathMovesByTheShiftAndNoOtherDoes) {
    // The same point through every pair of systems, with and without the shift.
    const double lat = 28.2, lon = 84.6;
    auto positionIn = [&](CS system) {
        if (system == CS::LatLongEverest || system == CS::LatLongWGS84) {
            return CoordinatePair{lat, lon};
        }
        return GridTransform(CS::LatLongEverest, system).Apply(lat, lon);
    };
    for (const CS from : kCoordinateSystems) {
        for (const CS to : kCoordinateSystems) {
            SCOPED_TRACE(std::string(NameOf(from)) + " -> " + std::string(NameOf(to)));
            const CoordinatePair p = positionIn(from);
            const CoordinatePair plain = GridTransform(from, to).Apply(p);
            const CoordinatePair moved = GridTransform(from, to, DatumShift::Epsg6208()).Apply(p);
            // Compare on the Everest-84 grid, in metres.
            const CS latLongOfTo =
                EllipsoidOf(to).a == WGS84.a ? CS::LatLongWGS84 : CS::LatLongEverest;
            auto onGrid = [&](CoordinatePair q) {
                if (GridOf(to) != nullptr) {
                    return GridTransform(to, CS::Everest84, DatumShift::None()).Apply(q);
                }
                return GridTransform(latLongOfTo, CS::Everest84).Apply(q);
            };
            const CoordinatePair a = onGrid(plain), b = onGrid(moved);
            const double d = std::hypot(a.first - b.first, a.second - b.second);
            if (CrossesDatum(from, to)) {
                EXPECT_GT(d, 150.0);
                EXPECT_LT(d, 280.0);
            } else {
                EXPECT_EQ(d, 0.0);
            }
        }
    }
}

TEST(GridTransform, NonFiniteResultIsAnArithmeticError) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(GridTransform(CS::LatLongWGS84, CS::LatLongWGS84).Apply(nan, 85.0),
                 ArithmeticError);
    EXPECT_THROW(GridTransform(CS::LatLongWGS84, CS::Everest84, DatumShift::Epsg6208())
                     .Apply(27.0, std::numeric_limits<double>::infinity()),
                 ArithmeticError);
    EXPECT_THROW(GridTransform(CS::Everest84, CS::LatLongEverest).Apply(1e300, 3e6),
                 ArithmeticError);
}

}  // namespace

namespace {

/// Points of every kind for a source system: ordinary ones, the edges of the
/// series' reach, and values where Apply throws.
std::vector<CoordinatePair> MixedPoints(bool grid, std::mt19937_64& random) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::uniform_real_distribution<double> easting(-1.5e6, 2.5e6);
    std::uniform_real_distribution<double> northing(-1.1e7, 1.1e7);
    std::uniform_real_distribution<double> latitude(-95.0, 95.0);
    std::uniform_real_distribution<double> longitude(60.0, 110.0);
    std::vector<CoordinatePair> points;
    for (int i = 0; i < 700; ++i) {
        points.push_back(grid ? CoordinatePair{easting(random), northing(random)}
                              : CoordinatePair{latitude(random), longitude(random)});
    }
    for (double a : {0.0, -0.0, 90.0, -90.0, 1e300, -1e300, inf, -inf, nan}) {
        points.push_back({a, 85.0});
        points.push_back({500000.0, a});
        points.push_back({a, a});
    }
    return points;
}

}  // namespace

// The batch run transforms a block of points at a time: the results must be
// Apply's, bit for bit, on every path, and where Apply throws, not finite
// (the batch then asks Apply for the error).
TEST(GridTransformBlock, GivesApplysBitsOnEveryPath) {
    std::mt19937_64 random(2026);
    for (const CS from : kCoordinateSystems) {
        for (const CS to : kCoordinateSystems) {
            for (const DatumShift& shift : {DatumShift::None(), DatumShift::Epsg6208()}) {
                const GridTransform transform(from, to, shift);
                const std::vector<CoordinatePair> points =
                    MixedPoints(GridOf(from) != nullptr, random);
                std::vector<double> first;
                std::vector<double> second;
                for (const CoordinatePair& p : points) {
                    first.push_back(p.first);
                    second.push_back(p.second);
                }
                std::vector<double> resultFirst(points.size());
                std::vector<double> resultSecond(points.size());
                transform.ApplyBlock(points.size(), first.data(), second.data(), resultFirst.data(),
                                     resultSecond.data());
                for (std::size_t i = 0; i < points.size(); ++i) {
                    const std::string where =
                        std::string(NameOf(from)) + " to " + std::string(NameOf(to)) + " at " +
                        std::to_string(first[i]) + ", " + std::to_string(second[i]);
                    try {
                        const CoordinatePair r = transform.Apply(points[i]);
                        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.first),
                                  std::bit_cast<std::uint64_t>(resultFirst[i]))
                            << where;
                        ASSERT_EQ(std::bit_cast<std::uint64_t>(r.second),
                                  std::bit_cast<std::uint64_t>(resultSecond[i]))
                            << where;
                    } catch (const ArithmeticError&) {
                        ASSERT_FALSE(std::isfinite(resultFirst[i]) &&
                                     std::isfinite(resultSecond[i]))
                            << where;
                    }
                }
            }
        }
    }
}
