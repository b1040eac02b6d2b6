// The numeric test and Val.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/FastNumberFormat.h"
#include "common/NumericText.h"

namespace {

using utm::IsNumeric;
using utm::Val;

TEST(IsNumeric, DecimalNumbersWithOptionalSignPointAndExponent) {
    for (const char* t : {"84", "27.7", "-12.5", "+1", ".5", "5.", "1e5", "1E-5", "2.5e+3",
                          " 12.5 ", "\t7", "0", "000.000"}) {
        EXPECT_TRUE(IsNumeric(t)) << '"' << t << '"';
    }
}

TEST(IsNumeric, RejectsEverythingElse) {
    for (const char* t : {"", " ", "12.5.3", "abc", "1e", "e5", ".", "-", "+", "1,5", "1 2", "12a",
                          "--1", "1e5.5", "0x10", "1e999", "-1e999", "∞"}) {
        EXPECT_FALSE(IsNumeric(t)) << '"' << t << '"';
    }
}

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(Val("84"), 84);
    EXPECT_EQ(Val("  27.7"), 27.7);
    EXPECT_EQ(Val("12.5abc"), 12.5);
    EXPECT_EQ(Val("12.5.3"), 12.5);
    EXPECT_EQ(Val("-.5"), -0.5);
    EXPECT_EQ(Val("1e3x"), 1000);
    EXPECT_EQ(Val("1e"), 1);
    EXPECT_EQ(Val("1e+"), 1);
    EXPECT_EQ(Val("3,4"), 3);
}

TEST(Val, NoNumberGivesZero) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("Load data file"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
}

TEST(Val, OutOfRange) {
    EXPECT_TRUE(std::isinf(Val("1e999")));
    EXPECT_LT(Val("-1e999"), 0);
    EXPECT_EQ(Val("1e-999"), 0);
    EXPECT_FALSE(utm::IsNumeric("1e999"));
    EXPECT_TRUE(utm::IsNumeric("-1e-999"));
    // Too large or too small by the digits' place and the exponent together.
    const std::string zeros(400, '0');
    const std::string huge = "1" + zeros + "e-50";  // 1e350
    const std::string tiny = "0." + zeros + "1";    // 1e-401
    EXPECT_FALSE(utm::IsNumeric(huge));
    EXPECT_TRUE(std::isinf(Val(huge)));
    EXPECT_TRUE(utm::IsNumeric(tiny));
    EXPECT_EQ(Val(tiny), 0);
    EXPECT_TRUE(utm::IsNumeric("0." + zeros + "1e+100"));  // 1e-301 is in range
    EXPECT_EQ(Val("-" + tiny + "E-5"), 0);
    EXPECT_TRUE(std::isinf(Val("1e99999999999999999999999")));
    EXPECT_EQ(Val("1e-99999999999999999999999"), 0);
    double parsed = 5;
    EXPECT_FALSE(utm::ParseDecimal(huge, parsed));
    EXPECT_TRUE(utm::ParseDecimal(tiny, parsed));
    EXPECT_EQ(parsed, 0);
}

}  // namespace
