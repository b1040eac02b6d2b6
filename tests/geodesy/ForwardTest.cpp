// Forward projection: worked examples, exact cases, symmetries, the shared-variable
// routine and the arithmetic-error path.
#include <gtest/gtest.h>

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

constexpr double kTenthMillimetre = 1e-4;

struct ForwardCase {
    bool wgs84;
    double lat, lon, cm, x, y;
};

TEST(Forward, WorkedExamples) {
    const ForwardCase cases[] = {
        {false, 27.7, 85.3, 84, 628198.1932, 3065307.7324},
        {true, 27.7, 85.3, 84, 628177.8103, 3064646.5741},
        {true, 28.0, 83.0, 81, 696667.5410, 3098814.2536},
        {false, 28.5, 87.9, 87, 588094.4219, 3153601.1752},
        {false, 27.7, 84, 84, 500000, 3064631.6083},
        {false, -27.7, 85.3, 84, 628198.1932, -3065307.7324},
        {false, 27.7, 82.7, 84, 371801.8068, 3065307.7324},
        {false, 27.7, 91.0, 84, 1191246.3105, 3084323.5994},
    };
    const ClsUTM utm;
    for (const ForwardCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << ", " << c.lon << " cm " << c.cm);
        double east = 0, north = 0;
        if (c.wgs84) {
            utm.LatLongToXYWGS(c.lat, c.lon, c.cm, east, north);
        } else {
            utm.LatLongToXYEverest(c.lat, c.lon, c.cm, east, north);
        }
        EXPECT_NEAR(east, c.x, kTenthMillimetre);
        EXPECT_NEAR(north, c.y, kTenthMillimetre);
    }
}

TEST(Forward, CentralMeridianAndEquatorAreExact) {
    const ClsUTM utm;
    double east = -1, north = -1;
    utm.LatLongToXYEverest(0, 84, 84, east, north);
    EXPECT_EQ(east, 500000.0);
    EXPECT_EQ(north, 0.0);
    utm.LatLongToXYWGS(0, 81, 81, east, north);
    EXPECT_EQ(east, 500000.0);
    EXPECT_EQ(north, 0.0);
    // On the central meridian Y = k0 · M(φ).
    utm.LatLongToXYEverest(27.7, 84, 84, east, north);
    EXPECT_EQ(east, 500000.0);
    EXPECT_NEAR(north, 3064631.6083, kTenthMillimetre);
    // On the equator away from the meridian the northing is still 0.
    utm.LatLongToXYEverest(0, 86, 84, east, north);
    EXPECT_EQ(north, 0.0);
}

TEST(Forward, SymmetriesAboutMeridianAndEquator) {
    const ClsUTM utm;
    for (double lat = -60; lat <= 60; lat += 7.5) {
        for (double d = 0.25; d <= 3.5; d += 0.75) {
            double eEast, nEast, eWest, nWest, eSouth, nSouth;
            utm.LatLongToXYEverest(lat, 84 + d, 84, eEast, nEast);
            utm.LatLongToXYEverest(lat, 84 - d, 84, eWest, nWest);
            utm.LatLongToXYEverest(-lat, 84 + d, 84, eSouth, nSouth);
            EXPECT_NEAR(eEast - 500000, 500000 - eWest, 1e-6);
            EXPECT_NEAR(nEast, nWest, 1e-6);
            EXPECT_NEAR(nSouth, -nEast, 1e-6);
            EXPECT_NEAR(eSouth, eEast, 1e-6);
        }
    }
}

TEST(Forward, AgreesWithTheLiteralSeries) {
    const ClsUTM utm;
    for (double lat = -80; lat <= 80; lat += 3.3) {
        for (double lon = 78; lon <= 90; lon += 1.7) {
            double east, north, refEast, refNorth;
            utm.LatLongToXYEverest(lat, lon, 84, east, north);
            test::ReferenceForward(Everest1830, 0.9999, DegreesToRadians(lat),
                                   DegreesToRadians(lon), DegreesToRadians(84), refEast, refNorth);
            EXPECT_NEAR(east, refEast, 1e-6) << lat << " " << lon;
            EXPECT_NEAR(north, refNorth, 1e-6) << lat << " " << lon;
            utm.LatLongToXYWGS(lat, lon, 84, east, north);
            test::ReferenceForward(WGS84, 0.9996, DegreesToRadians(lat), DegreesToRadians(lon),
                                   DegreesToRadians(84), refEast, refNorth);
            EXPECT_NEAR(east, refEast, 1e-6) << lat << " " << lon;
            EXPECT_NEAR(north, refNorth, 1e-6) << lat << " " << lon;
        }
    }
}

TEST(Forward, SharedVariableRoutineMatchesTheClass) {
    Declaration::SharedCM = DegreesToRadians(84);
    ConvertLatLongToXY(DegreesToRadians(27.7), DegreesToRadians(85.3));
    EXPECT_NEAR(Declaration::SharedX, 628198.1932, kTenthMillimetre);
    EXPECT_NEAR(Declaration::SharedY, 3065307.7324, kTenthMillimetre);
    double east, north;
    ClsUTM().LatLongToXYEverest(27.7, 85.3, 84, east, north);
    EXPECT_EQ(Declaration::SharedX, east);
    EXPECT_EQ(Declaration::SharedY, north);
}

TEST(Forward, ArithmeticErrorLeavesOutputsUntouched) {
    const ClsUTM utm;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    double east = 11, north = 22;
    EXPECT_THROW(utm.LatLongToXYEverest(nan, 85, 84, east, north), ArithmeticError);
    EXPECT_THROW(utm.LatLongToXYWGS(27.7, inf, 84, east, north), ArithmeticError);
    // A longitude difference so large that A⁶ overflows.
    EXPECT_THROW(utm.LatLongToXYEverest(27.7, 1e300, 84, east, north), ArithmeticError);
    EXPECT_EQ(east, 11);
    EXPECT_EQ(north, 22);

    Declaration::SharedX = 1;
    Declaration::SharedY = 2;
    Declaration::SharedCM = DegreesToRadians(84);
    EXPECT_THROW(ConvertLatLongToXY(0.5, 1e300), ArithmeticError);
    EXPECT_EQ(Declaration::SharedX, 1);
    EXPECT_EQ(Declaration::SharedY, 2);
}

}  // namespace
