// Zone and datum transfers: worked examples, reversibility, no datum shift, errors.
#include <gtest/gtest.h>

#include "geodesy/ArithmeticError.h"
#include "geodesy/ClsUTM.h"

namespace {

using utm::ClsUTM;
using TransferOp = void (ClsUTM::*)(double, double, double&, double&) const;

constexpr double kTenthMillimetre = 1e-4;

struct TransferCase {
    const char* name;
    TransferOp op;
    double x, y, outX, outY;
};

TEST(Transfer, WorkedExamples) {
    const TransferCase cases[] = {
        {"81->84", &ClsUTM::XYEverest81ToXYEverest84, 426207.01, 3206261.5, 133754.5409,
         3211848.1481},
        {"84->81", &ClsUTM::XYEverest84ToXYEverest81, 133754.5409, 3211848.1481, 426207.0087,
         3206261.4999},
        {"87->84", &ClsUTM::XYEverest87ToXYEverest84, 588094.4219, 3153601.1752, 881895.5947,
         3159479.0084},
        {"84->87", &ClsUTM::XYEverest84ToXYEverest87, 628198.1932, 3065307.7324, 332350.3676,
         3065787.9522},
        {"84->84", &ClsUTM::XYEverest84ToXYEverest84, 628198.1932, 3065307.7324, 628198.1932,
         3065307.7324},
        {"wgs81->wgs84", &ClsUTM::XYwgs81ToXYwgs84, 696667.5410, 3098814.2536, 401674.6650,
         3097605.2274},
        {"wgs87->wgs84", &ClsUTM::XYwgs87ToXYwgs84, 400000, 3100000, 694933.8767, 3101167.9439},
        {"wgs81->ev84", &ClsUTM::XYwgs81ToXYEverest84, 426042.082, 3206542.359, 133602.3673,
         3212824.7009},
        {"wgs84->ev84", &ClsUTM::XYwgs84ToXYEverest84, 628177.8103, 3064646.5741, 628198.1932,
         3065307.7324},
        {"wgs87->ev84", &ClsUTM::XYwgs87ToXYEverest84, -159257.4079, 3225204.508, 133602.3008,
         3212824.6998},
    };
    const ClsUTM utm;
    for (const TransferCase& c : cases) {
        SCOPED_TRACE(c.name);
        double outX = 0, outY = 0;
        (utm.*c.op)(c.x, c.y, outX, outY);
        EXPECT_NEAR(outX, c.outX, kTenthMillimetre);
        EXPECT_NEAR(outY, c.outY, kTenthMillimetre);
    }
}

TEST(Transfer, ThereAndBackReturnsTheStartWithinMillimetres) {
    const ClsUTM utm;
    const std::pair<TransferOp, TransferOp> pairs[] = {
        {&ClsUTM::XYEverest81ToXYEverest84, &ClsUTM::XYEverest84ToXYEverest81},
        {&ClsUTM::XYEverest87ToXYEverest84, &ClsUTM::XYEverest84ToXYEverest87},
    };
    for (const auto& [there, back] : pairs) {
        // Points up to about 1.5° from the source meridian, about 3.5° from the target.
        for (double x = 350000; x <= 650000; x += 50000) {
            for (double y = 2900000; y <= 3300000; y += 100000) {
                double x1, y1, x2, y2;
                (utm.*there)(x, y, x1, y1);
                (utm.*back)(x1, y1, x2, y2);
                EXPECT_NEAR(x2, x, 0.005) << x << " " << y;
                EXPECT_NEAR(y2, y, 0.005) << x << " " << y;
            }
        }
    }
}

TEST(Transfer, DatumTransferIsAPureReprojection) {
    // WGS84 projection of a point, moved to Everest 84, equals the Everest
    // projection of the same latitude and longitude: no shift between datums.
    const ClsUTM utm;
    for (double lat = 26.0; lat <= 30.0; lat += 0.5) {
        for (double lon = 82.0; lon <= 86.0; lon += 0.5) {
            double wx, wy, ex, ey, tx, ty;
            utm.LatLongToXYWGS(lat, lon, 84, wx, wy);
            utm.LatLongToXYEverest(lat, lon, 84, ex, ey);
            utm.XYwgs84ToXYEverest84(wx, wy, tx, ty);
            EXPECT_NEAR(tx, ex, kTenthMillimetre) << lat << " " << lon;
            EXPECT_NEAR(ty, ey, kTenthMillimetre) << lat << " " << lon;
        }
    }
}

TEST(Transfer, ArithmeticErrorLeavesOutputsUntouched) {
    const ClsUTM utm;
    double outX = 5, outY = 6;
    EXPECT_THROW(utm.XYEverest81ToXYEverest84(1e300, 3000000, outX, outY), utm::ArithmeticError);
    EXPECT_THROW(utm.XYwgs87ToXYEverest84(-1e300, 3000000, outX, outY), utm::ArithmeticError);
    EXPECT_EQ(outX, 5);
    EXPECT_EQ(outY, 6);
}

}  // namespace
