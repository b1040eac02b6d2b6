// Inverse projection: worked examples, exact cases, round trips and errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "Reference.h"
#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/Declaration.h"
#include "geodesy/Ellipsoid.h"

namespace {

using namespace utm;

constexpr double kRadianTolerance = 1e-12;

struct InverseCase {
    bool wgs84;
    double x, y, cm, lat, lon;
};

TEST(Inverse, WorkedExamples) {
    const InverseCase cases[] = {
        {false, 628198.1932, 3065307.7324, 84, 0.483456202796, 1.488765851956},
        {true, 628177.8103, 3064646.5741, 84, 0.483456202801, 1.488765851959},
        {true, 696667.5410, 3098814.2536, 81, 0.488692190548, 1.448623279159},
        {false, 426207.01, 3206261.5, 81, 0.505728001219, 1.400498920977},
        {false, 500000, 3064631.6083, 84, 0.483456202796, 1.466076571675},
        {false, 628198.1932, -3065307.7324, 84, -0.483456202796, 1.488765851956},
    };
    const ClsUTM utm;
    for (const InverseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " cm " << c.cm);
        double lat = 0, lon = 0;
        if (c.wgs84) {
            utm.XYToLatLongWGS(c.x, c.y, c.cm, lat, lon);
        } else {
            utm.XYToLatLongEverest(c.x, c.y, c.cm, lat, lon);
        }
        EXPECT_NEAR(lat, c.lat, kRadianTolerance);
        EXPECT_NEAR(lon, c.lon, kRadianTolerance);
    }
}

TEST(Inverse, FalseEastingGivesTheCentralMeridianExactly) {
    const ClsUTM utm;
    double lat = -1, lon = -1;
    utm.XYToLatLongEverest(500000, 0, 84, lat, lon);
    EXPECT_EQ(lat, 0.0);
    EXPECT_EQ(lon, DegreesToRadians(84));
    for (double y : {-5000000.0, 1.0, 3064631.6083, 9000000.0}) {
        utm.XYToLatLongEverest(500000, y, 84, lat, lon);
        EXPECT_EQ(lon, DegreesToRadians(84)) << y;
        utm.XYToLatLongWGS(500000, y, 87, lat, lon);
        EXPECT_EQ(lon, DegreesToRadians(87)) << y;
    }
}

TEST(Inverse, NegativeNorthingNegatesLatitude) {
    const ClsUTM utm;
    for (double y = 100000; y < 8000000; y += 730000) {
        double latN, lonN, latS, lonS;
        utm.XYToLatLongEverest(612345.6, y, 84, latN, lonN);
        utm.XYToLatLongEverest(612345.6, -y, 84, latS, lonS);
        EXPECT_EQ(latS, -latN);
        EXPECT_EQ(lonS, lonN);
    }
}

/// Largest difference in degrees between a start point and its forward-then-inverse
/// round trip over a block of latitudes and longitude offsets from 84° E.
double WorstRoundTrip(bool wgs84, double maxLat, double maxOffset) {
    const ClsUTM utm;
    double worst = 0;
    for (double lat = -maxLat; lat <= maxLat; lat += 2.5) {
        for (double d = -maxOffset; d <= maxOffset; d += 0.25) {
            const double lon = 84 + d;
            double x, y, phi, lambda;
            if (wgs84) {
                utm.LatLongToXYWGS(lat, lon, 84, x, y);
                utm.XYToLatLongWGS(x, y, 84, phi, lambda);
            } else {
                utm.LatLongToXYEverest(lat, lon, 84, x, y);
                utm.XYToLatLongEverest(x, y, 84, phi, lambda);
            }
            worst = std::max({worst, std::abs(RadiansToDegrees(phi) - lat),
                              std::abs(RadiansToDegrees(lambda) - lon)});
        }
    }
    return worst;
}

TEST(Inverse, ForwardThenInverseReturnsTheStart) {
    for (bool wgs84 : {false, true}) {
        SCOPED_TRACE(wgs84 ? "WGS84" : "Everest 1830");
        // The survey area (within 35° of the equator, 2.5° of the meridian): 1e-9°.
        EXPECT_LT(WorstRoundTrip(wgs84, 35, 2.5), 1e-9);
        // The truncated series drift further out: about 1 mm at 3.5° from the
        // meridian and 3 mm at 70° latitude, never more.
        EXPECT_LT(WorstRoundTrip(wgs84, 35, 3.5), 1.2e-8);
        EXPECT_LT(WorstRoundTrip(wgs84, 70, 3.5), 3e-8);
    }
}

TEST(Inverse, AgreesWithTheLiteralSeries) {
    const ClsUTM utm;
    for (double x = 150000; x <= 850000; x += 43000) {
        for (double y = -8000000; y <= 8000000; y += 610000) {
            double lat, lon, refLat, refLon;
            utm.XYToLatLongEverest(x, y, 84, lat, lon);
            test::ReferenceInverse(Everest1830, 0.9999, x, y, DegreesToRadians(84), refLat, refLon);
            EXPECT_NEAR(lat, refLat, 1e-13) << x << " " << y;
            EXPECT_NEAR(lon, refLon, 1e-13) << x << " " << y;
            utm.XYToLatLongWGS(x, y, 84, lat, lon);
            test::ReferenceInverse(WGS84, 0.9996, x, y, DegreesToRadians(84), refLat, refLon);
            EXPECT_NEAR(lat, refLat, 1e-13) << x << " " << y;
            EXPECT_NEAR(lon, refLon, 1e-13) << x << " " << y;
        }
    }
}

TEST(Inverse, SharedVariableRoutineMatchesTheClass) {
    Declaration::SharedCM = DegreesToRadians(84);
    ConvertXYToLatLong(628198.1932, 3065307.7324);
    EXPECT_NEAR(Declaration::SharedLat, 0.483456202796, kRadianTolerance);
    EXPECT_NEAR(Declaration::SharedLong, 1.488765851956, kRadianTolerance);
}

TEST(Inverse, HugeEastingRaisesArithmeticErrorWithoutOutput) {
    const ClsUTM utm;
    double lat = 11, lon = 22;
    EXPECT_THROW(utm.XYToLatLongEverest(1e300, 3000000, 84, lat, lon), ArithmeticError);
    EXPECT_THROW(utm.XYToLatLongWGS(-1e300, 3000000, 84, lat, lon), ArithmeticError);
    EXPECT_THROW(utm.XYToLatLongEverest(std::numeric_limits<double>::quiet_NaN(), 0, 84, lat, lon),
                 ArithmeticError);
    EXPECT_EQ(lat, 11);
    EXPECT_EQ(lon, 22);

    Declaration::SharedCM = DegreesToRadians(84);
    Declaration::SharedLat = 1;
    Declaration::SharedLong = 2;
    EXPECT_THROW(ConvertXYToLatLong(1e300, 0), ArithmeticError);
    EXPECT_EQ(Declaration::SharedLat, 1);
    EXPECT_EQ(Declaration::SharedLong, 2);
}

}  // namespace
