// The units of the main window's results: the texts of the output boxes and
// the numbers files and cells receive.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/NumberFormat.h"
#include "operations/Units.h"

namespace {

using utm::FormatAngleForUnits;
using utm::RoundAngleForUnits;
using utm::Units;

TEST(Units, CaptionsFollowTheListOrder) {
    EXPECT_STREQ(utm::kUnitCaptions[static_cast<int>(Units::DegreesMetres)], " \u00b0, m");
    EXPECT_STREQ(utm::kUnitCaptions[static_cast<int>(Units::Degrees8)], "0.00000001\u00b0, m");
    EXPECT_STREQ(utm::kUnitCaptions[static_cast<int>(Units::Dms)], "\u00b0 \u2032 \u2033, m");
}

TEST(Units, DegreesMetresIsTheThreeDecimalPattern) {
    for (double v : {27.6999999960606, 0.5, -0.25, 0.0, 1e20, -0.0004}) {
        EXPECT_EQ(FormatAngleForUnits(v, Units::DegreesMetres), utm::FormatFixed3(v)) << v;
        EXPECT_EQ(FormatAngleForUnits(v, Units::DegreesMetres, ','), utm::FormatFixed3(v, ','));
    }
}

TEST(Units, EightDecimalsLikeTheThreeDecimalPattern) {
    EXPECT_EQ(FormatAngleForUnits(27.6999999960606, Units::Degrees8), "27.70000000");
    EXPECT_EQ(FormatAngleForUnits(85.2999999982081, Units::Degrees8), "85.30000000");
    EXPECT_EQ(FormatAngleForUnits(27.1166204347043, Units::Degrees8), "27.11662043");
    EXPECT_EQ(FormatAngleForUnits(-27.112998844209, Units::Degrees8, ','), "-27,11299884");
    // No 0 before the separator below 1, and no sign on a rounded zero.
    EXPECT_EQ(FormatAngleForUnits(0.5, Units::Degrees8), ".50000000");
    EXPECT_EQ(FormatAngleForUnits(-0.25, Units::Degrees8), "-.25000000");
    EXPECT_EQ(FormatAngleForUnits(0.0, Units::Degrees8), ".00000000");
    EXPECT_EQ(FormatAngleForUnits(-4e-9, Units::Degrees8), ".00000000");
    // Halves of the 15-digit value go away from zero, with carry.
    EXPECT_EQ(FormatAngleForUnits(1.000000005, Units::Degrees8), "1.00000001");
    EXPECT_EQ(FormatAngleForUnits(-0.001953125, Units::Degrees8), "-.00195313");
    EXPECT_EQ(FormatAngleForUnits(99.999999995, Units::Degrees8), "100.00000000");
    EXPECT_EQ(FormatAngleForUnits(1e20, Units::Degrees8), "100000000000000000000.00000000");
    EXPECT_EQ(FormatAngleForUnits(std::numeric_limits<double>::quiet_NaN(), Units::Degrees8),
              "NaN");
    EXPECT_EQ(FormatAngleForUnits(-std::numeric_limits<double>::infinity(), Units::Degrees8),
              "-Infinity");
}

TEST(Units, DmsIsTheAngleNotation) {
    EXPECT_EQ(FormatAngleForUnits(27.6999999960606, Units::Dms), "27\u00b042\u203200.0000\u2033");
    EXPECT_EQ(FormatAngleForUnits(-0.5, Units::Dms, ','), "-0\u00b030\u203200,0000\u2033");
}

TEST(Units, FilesAndCellsGetTheNumberOfTheirText) {
    EXPECT_EQ(RoundAngleForUnits(27.6999999960606, Units::DegreesMetres), 27.7);
    EXPECT_EQ(RoundAngleForUnits(27.1166204347043, Units::DegreesMetres), 27.117);
    EXPECT_EQ(RoundAngleForUnits(27.6999999960606, Units::Degrees8), 27.7);
    EXPECT_EQ(RoundAngleForUnits(27.1166204347043, Units::Degrees8), 27.11662043);
    EXPECT_EQ(RoundAngleForUnits(27.1166204347043, Units::Dms), 27.11662043);
    EXPECT_EQ(RoundAngleForUnits(-27.112998844209, Units::Degrees8), -27.11299884);
    EXPECT_EQ(RoundAngleForUnits(1.000000005, Units::Degrees8), 1.00000001);
    EXPECT_EQ(RoundAngleForUnits(0.5, Units::Degrees8), 0.5);
    EXPECT_EQ(RoundAngleForUnits(std::numeric_limits<double>::max(), Units::Degrees8),
              std::numeric_limits<double>::max());
    EXPECT_TRUE(
        std::isnan(RoundAngleForUnits(std::numeric_limits<double>::quiet_NaN(), Units::Degrees8)));
    // Any angle, halves and near-halves included, gets the number of its text.
    std::vector<double> angles{12.345678949, 12.345678951,  -83.000000004, 0.000000015,
                               27.000000005, -27.000000005, 999.999999995, 1234.5678901234};
    std::uint64_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double v = static_cast<double>(state >> 11) / 9007199254740992.0 * 400.0 - 200.0;
        angles.push_back(v);
        angles.push_back((std::round(v * 1e8) + 0.5) / 1e8);  // a half of the last decimal
    }
    for (double v : angles) {
        ASSERT_EQ(RoundAngleForUnits(v, Units::Degrees8),
                  std::stod(FormatAngleForUnits(v, Units::Degrees8)))
            << std::hexfloat << v;
    }
}

}  // namespace
