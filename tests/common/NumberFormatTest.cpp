// General form and the three-decimal patterns.
#include <gtest/gtest.h>

#include <limits>

#include "common/NumberFormat.h"

namespace {

using utm::FormatFixed3;
using utm::FormatFixed3WithZero;
using utm::FormatGeneral;

TEST(FormatGeneral, FifteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(FormatGeneral(27.7), "27.7");
    EXPECT_EQ(FormatGeneral(27.70), "27.7");
    EXPECT_EQ(FormatGeneral(500000.0), "500000");
    EXPECT_EQ(FormatGeneral(696698.790), "696698.79");
    EXPECT_EQ(FormatGeneral(628198.19317284), "628198.19317284");
    EXPECT_EQ(FormatGeneral(3065307.732390861), "3065307.73239086");
    EXPECT_EQ(FormatGeneral(123456789.123456789), "123456789.123457");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(999999999999999.4), "999999999999999");
}

TEST(FormatGeneral, SignsZerosAndSmallValues) {
    EXPECT_EQ(FormatGeneral(0.0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(-0.25), "-0.25");
    EXPECT_EQ(FormatGeneral(-3065307.7324), "-3065307.7324");
    EXPECT_EQ(FormatGeneral(0.000123), "0.000123");
    EXPECT_EQ(FormatGeneral(1e-15), "0.000000000000001");
}

TEST(FormatGeneral, ExponentFormOutsidePlainRange) {
    EXPECT_EQ(FormatGeneral(1e15), "1E+15");
    EXPECT_EQ(FormatGeneral(-1.5e20), "-1.5E+20");
    EXPECT_EQ(FormatGeneral(1e-16), "1E-16");
    EXPECT_EQ(FormatGeneral(2.5e-300), "2.5E-300");
}

TEST(FormatGeneral, LocaleDecimalSeparator) {
    EXPECT_EQ(FormatGeneral(27.7, ','), "27,7");
    EXPECT_EQ(FormatGeneral(0.5, ','), "0,5");
    EXPECT_EQ(FormatGeneral(500000.0, ','), "500000");
}

TEST(FormatFixed3, WorkedExamples) {
    EXPECT_EQ(FormatFixed3(628198.19317284), "628198.193");
    EXPECT_EQ(FormatFixed3(3065307.73239086), "3065307.732");
    EXPECT_EQ(FormatFixed3(500000.0), "500000.000");
    EXPECT_EQ(FormatFixed3(27.1166), "27.117");
    EXPECT_EQ(FormatFixed3(84.0), "84.000");
}

TEST(FormatFixed3, NoLeadingZeroBelowOne) {
    EXPECT_EQ(FormatFixed3(0.5), ".500");
    EXPECT_EQ(FormatFixed3(-0.25), "-.250");
    EXPECT_EQ(FormatFixed3(0.0), ".000");
    EXPECT_EQ(FormatFixed3(-0.0), ".000");
    EXPECT_EQ(FormatFixed3(0.0004), ".000");
    EXPECT_EQ(FormatFixed3(-0.0004), ".000");
    EXPECT_EQ(FormatFixed3(0.000001), ".000");
}

TEST(FormatFixed3, HalvesRoundAwayFromZero) {
    EXPECT_EQ(FormatFixed3(0.0005), ".001");
    EXPECT_EQ(FormatFixed3(-0.0005), "-.001");
    EXPECT_EQ(FormatFixed3(2.0005), "2.001");
    EXPECT_EQ(FormatFixed3(1.2345), "1.235");
    EXPECT_EQ(FormatFixed3(999.9995), "1000.000");
    EXPECT_EQ(FormatFixed3(-999.9995), "-1000.000");
    EXPECT_EQ(FormatFixed3(0.9995), "1.000");
    EXPECT_EQ(FormatFixed3(1.23449), "1.234");
}

TEST(FormatFixed3, LargeValuesAndSeparator) {
    EXPECT_EQ(FormatFixed3(1e20), "100000000000000000000.000");
    EXPECT_EQ(FormatFixed3(3042473.3505, ','), "3042473,351");
    EXPECT_EQ(FormatFixed3(std::numeric_limits<double>::infinity()), "Infinity");
}

TEST(FormatFixed3WithZero, LeadingZeroBelowOne) {
    EXPECT_EQ(FormatFixed3WithZero(0.5), "0.500");
    EXPECT_EQ(FormatFixed3WithZero(-0.25), "-0.250");
    EXPECT_EQ(FormatFixed3WithZero(0.0), "0.000");
    EXPECT_EQ(FormatFixed3WithZero(628198.19317284), "628198.193");
}

}  // namespace
