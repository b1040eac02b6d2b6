// RadToDeg: degrees, minutes and seconds without rounding or carry.
#include <gtest/gtest.h>

#include "geodesy/Angles.h"
#include "geodesy/ClsUTM.h"

namespace {

using utm::ClsUTM;

TEST(RadToDeg, WholeAndFractionalAngles) {
    const ClsUTM utm;
    auto r = utm.RadToDeg(0.5);
    EXPECT_EQ(r[0], 28);
    EXPECT_EQ(r[1], 38);
    EXPECT_NEAR(r[2], 52.403123548181, 1e-9);

    r = utm.RadToDeg(0.7853981633974483);
    EXPECT_EQ(r[0], 45);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 0);

    r = utm.RadToDeg(utm::DegreesToRadians(84));
    EXPECT_EQ(r[0], 84);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 0);
}

TEST(RadToDeg, SecondsStayJustBelowSixtyWithoutCarry) {
    const auto r = ClsUTM().RadToDeg((utm::Pi() * 27.7) / 180);
    EXPECT_EQ(r[0], 27);
    EXPECT_EQ(r[1], 41);
    EXPECT_LT(r[2], 60.0);
    EXPECT_GT(r[2], 59.9999999);
}

TEST(RadToDeg, ZeroTinyAndNegative) {
    const ClsUTM utm;
    auto r = utm.RadToDeg(0);
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 0);

    r = utm.RadToDeg(1e-9);
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 0);
    EXPECT_NEAR(r[2], 0.000206264806, 1e-12);

    // Degrees −29 fall below the threshold and become 0; minutes and seconds
    // measure from −29°.
    r = utm.RadToDeg(-0.5);
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 21);
    EXPECT_NEAR(r[2], 7.596876451818, 1e-9);
}

}  // namespace
