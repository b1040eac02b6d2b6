// The allocation-free formats must give exactly the texts and values of the
// plain ones, on the values a batch meets and on the awkward ones.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "common/FastNumberFormat.h"
#include "common/NumberFormat.h"
#include "common/NumericText.h"

namespace {

using utm::AppendGeneral;
using utm::FormatFixed3;
using utm::FormatGeneral;
using utm::RoundFixed3;

std::string General(double v, char sep = '.') {
    std::string out;
    AppendGeneral(out, v, sep);
    return out;
}

/// Values around every place where the formats change course.
std::vector<double> AwkwardValues() {
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               -0.25,
                               0.0005,
                               0.00049999999999999,
                               0.0004999,
                               1e-4,
                               9.9999e-5,
                               1.0005,
                               2.0005,
                               0.1235,
                               628198.19317284,
                               3065307.73239086,
                               696698.790268152,
                               500000.0,
                               12345678901.46875,
                               99999999999.9995,
                               99999.9995,
                               999999999999999.0,
                               1e15,
                               1.5e20,
                               1e-16,
                               123456789012345678.0,
                               std::nextafter(1e8, 0.0),
                               1e8,
                               std::nextafter(1e11, 0.0),
                               1e11,
                               27.7,
                               85.3,
                               0.1 + 0.2};
    for (int e = -6; e <= 16; ++e) {
        const double p = std::pow(10.0, e);
        values.push_back(p);
        values.push_back(std::nextafter(p, 0.0));
        values.push_back(std::nextafter(p, 1e300));
        values.push_back(p * 0.5);
        values.push_back(p * 1.0005);
    }
    return values;
}

TEST(FastNumberFormat, SameTextsAndRoundingsAsThePlainFormats) {
    std::vector<double> values = AwkwardValues();
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> metres(-4e6, 4e6);
    std::uniform_real_distribution<double> exponent(-8.0, 17.0);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(metres(random));
        values.push_back(std::round(metres(random) * 1000.0) / 1000.0 + 0.0005);
        values.push_back(std::pow(10.0, exponent(random)));
    }
    for (double v : values) {
        for (double s : {v, -v}) {
            ASSERT_EQ(General(s), FormatGeneral(s)) << s;
            ASSERT_EQ(RoundFixed3(s), utm::Val(FormatFixed3(s))) << s;
            char buf[utm::kMaxGeneralTextLength];
            double rounded = 1.0;
            const char* end = utm::WriteRoundedFixed3(buf, s, ',', rounded);
            ASSERT_EQ(std::string(buf, static_cast<std::size_t>(end - buf)),
                      FormatGeneral(RoundFixed3(s), ','))
                << s;
            ASSERT_EQ(rounded, RoundFixed3(s)) << s;
        }
    }
}

TEST(FastNumberFormat, NonFiniteAndSeparator) {
    EXPECT_EQ(General(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(General(-std::numeric_limits<double>::infinity()), "-Infinity");
    EXPECT_EQ(General(-0.5, ','), "-0,5");
    EXPECT_EQ(General(628198.193, ','), "628198,193");
    EXPECT_EQ(General(1.5e20, ','), "1,5E+20");
    EXPECT_TRUE(std::isinf(RoundFixed3(std::numeric_limits<double>::infinity())));
}

TEST(FastNumberFormat, SubnormalValuesKeepTheir15Digits) {
    // The shortest text of a subnormal value is no rounding to 15 digits.
    const double denormMin = std::numeric_limits<double>::denorm_min();
    for (double v : {6.20923048930171e-310, denormMin, 1e-310, 2.2250738585072e-308,
                     std::nextafter(std::numeric_limits<double>::min(), 0.0)}) {
        EXPECT_EQ(General(v), FormatGeneral(v)) << v;
        EXPECT_EQ(General(-v), FormatGeneral(-v)) << v;
    }
    EXPECT_EQ(General(6.20923048930171e-310), "6.20923048930171E-310");
}

TEST(FastNumberFormat, RoundFixed3OfTheLargestDoubles) {
    // The largest doubles have the 15 digits 179769313486232 (FormatFixed3
    // writes them with 294 zeros and ".000"), a decimal just beyond the
    // largest double: they round to the nearest finite double, the largest,
    // and do not fall to 0.
    const double max = std::numeric_limits<double>::max();
    EXPECT_EQ(FormatFixed3(max), "179769313486232" + std::string(294, '0') + ".000");
    std::vector<double> top;
    for (double v = max; FormatGeneral(v) == "1.79769313486232E+308"; v = std::nextafter(v, 0.0)) {
        top.push_back(v);
    }
    ASSERT_EQ(top.size(), 4u);
    for (double v : top) {
        for (double s : {v, -v}) {
            EXPECT_EQ(RoundFixed3(s), std::copysign(max, s)) << s;
            char buf[utm::kMaxGeneralTextLength];
            double rounded = 0.0;
            const char* end = utm::WriteRoundedFixed3(buf, s, '.', rounded);
            EXPECT_EQ(rounded, std::copysign(max, s)) << s;
            EXPECT_EQ(std::string(buf, static_cast<std::size_t>(end - buf)),
                      s < 0 ? "-1.79769313486232E+308" : "1.79769313486232E+308");
        }
    }
    // The next double down has digits a double can hold: it reads back as them.
    const double below = std::nextafter(top.back(), 0.0);
    EXPECT_EQ(RoundFixed3(below), 1.79769313486231e308);
    EXPECT_EQ(RoundFixed3(-below), -1.79769313486231e308);
    EXPECT_EQ(RoundFixed3(1e308), 1e308);
}

TEST(FastNumberFormat, RoundFixed3AtTheSmallestMagnitudes) {
    // Below half a thousandth everything rounds to an unsigned 0; from half a
    // thousandth on, away from zero.
    const double denormMin = std::numeric_limits<double>::denorm_min();
    for (double v : {0.0, -0.0, denormMin, -denormMin, std::numeric_limits<double>::min(),
                     -std::numeric_limits<double>::min(), 0.00049999999999999, -0.0004999}) {
        const double rounded = RoundFixed3(v);
        EXPECT_EQ(rounded, 0.0) << v;
        EXPECT_FALSE(std::signbit(rounded)) << v;
        char buf[utm::kMaxGeneralTextLength];
        double written = 1.0;
        EXPECT_EQ(std::string(buf, utm::WriteRoundedFixed3(buf, v, '.', written)), "0") << v;
        EXPECT_FALSE(std::signbit(written)) << v;
    }
    EXPECT_EQ(RoundFixed3(0.0005), 0.001);
    EXPECT_EQ(RoundFixed3(-0.0005), -0.001);
}

TEST(FastNumberFormat, PlainDecimalNeverUsesAnExponent) {
    const auto plain = [](double v, char separator = '.') {
        char buf[utm::kMaxPlainDecimalTextLength];
        return std::string(buf, utm::WritePlainDecimal(buf, v, separator));
    };
    EXPECT_EQ(plain(1e-16), "0.0000000000000001");
    EXPECT_EQ(plain(-1.5e20, ','), "-150000000000000000000");
    EXPECT_EQ(plain(1e15), "1000000000000000");
    EXPECT_EQ(plain(123456789012345678.0), "123456789012346000");
    EXPECT_EQ(plain(-2.5e-17, ','), "-0,000000000000000025");
    EXPECT_EQ(plain(512345.678), "512345.678");
    EXPECT_EQ(plain(0.0), "0");
    const std::string smallest = plain(-std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(smallest, "-0." + std::string(323, '0') + "494065645841247");
    EXPECT_LE(smallest.size(), utm::kMaxPlainDecimalTextLength);
    EXPECT_EQ(plain(std::numeric_limits<double>::max()), "179769313486232" + std::string(294, '0'));
    // Within 1e-15 to 1e15 it is the general form.
    for (double v : {27.7, -0.5, 3065307.73239086, 1.0005e-5, 999999999999999.0}) {
        EXPECT_EQ(plain(v), FormatGeneral(v)) << v;
    }
}

TEST(FastNumberFormat, ParseDecimalAgreesWithTheNumericTestAndVal) {
    const char* texts[] = {"27.7",
                           "-27.7",
                           "+84",
                           "0",
                           "-0",
                           ".5",
                           "5.",
                           "1e5",
                           "1.5E+3",
                           "2e-3",
                           "1e-400",
                           "1e400",
                           "",
                           ".",
                           "-",
                           "+-1",
                           "1.2.3",
                           "12 34",
                           "inf",
                           "nan",
                           "0x10",
                           "1e",
                           "e5",
                           "1,5",
                           "abc",
                           "27.7a",
                           "123456789012345678",
                           "0.1234567890123456789"};
    for (const char* text : texts) {
        double value = 12345.0;
        const bool parsed = utm::ParseDecimal(text, value);
        EXPECT_EQ(parsed, utm::IsNumeric(text)) << text;
        if (parsed) {
            EXPECT_EQ(value, utm::Val(text)) << text;
        } else {
            EXPECT_EQ(value, 12345.0) << text;
        }
    }
}

TEST(FastNumberFormat, ParseDecimalAtTheEndsOfTheDoubleRange) {
    const auto parse = [](const char* text) {
        double value = 12345.0;
        EXPECT_TRUE(utm::ParseDecimal(text, value)) << text;
        return value;
    };
    const double max = std::numeric_limits<double>::max();
    const double denormMin = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(parse("1.7976931348623157e308"), max);
    // Up to half a unit above the largest double still rounds to it.
    EXPECT_EQ(parse("-1.7976931348623158e308"), -max);
    double value = 12345.0;
    EXPECT_FALSE(utm::ParseDecimal("1.7976931348623159e308", value));
    EXPECT_EQ(value, 12345.0);
    EXPECT_EQ(parse("2.2250738585072014e-308"), std::numeric_limits<double>::min());
    EXPECT_EQ(parse("4.9406564584124654e-324"), denormMin);
    // Half the smallest subnormal is the rounding tie: just above it rounds up,
    // just below it reads as 0 with its sign.
    EXPECT_EQ(parse("2.4703282292062328e-324"), denormMin);
    const double belowHalf = parse("-2.4703282292062327e-324");
    EXPECT_EQ(belowHalf, 0.0);
    EXPECT_TRUE(std::signbit(belowHalf));
    EXPECT_EQ(parse("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(parse("0.000000000000000"), 0.0);
}

void ExpectSameGeneralText(double v) {
    for (char separator : {'.', ','}) {
        std::string fast;
        utm::AppendGeneral(fast, v, separator);
        ASSERT_EQ(fast, utm::FormatGeneral(v, separator)) << v;
    }
}

TEST(FastNumberFormat, GeneralFormNextToTiesAndDecadeBounds) {
    // clang-format off
    const double edges[] = {0.0, -0.0, 1.0, -0.5, 1e-5, 9.99999999999999e-6, 1e-16, 1e14,
        999999999999999.0, 999999999999999.5, 1e15, 123456789012345.6, 0.1 + 0.2,
        133754.54091234567, -159257.4079, 0.000123456789012345678, 9.9999999999999995,
        99999.9999999999995, 1e300, -1e-300, HUGE_VAL, std::nan("")};
    // clang-format on
    for (double v : edges) {
        ExpectSameGeneralText(v);
    }
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-7, 16);
    for (int i = 0; i < 100000; ++i) {
        double v = mantissa(random) * std::pow(10.0, exponent(random));
        if (i % 4 == 0) v = -std::round(v * 1000.0) / 1000.0;  // short decimals, as in data files
        ExpectSameGeneralText(v);
        // Next to a tie in the 15th digit.
        const double tie = (std::floor(mantissa(random) * 1e13) + 0.5) / 1e13 * 1e5;
        ExpectSameGeneralText(tie);
        ExpectSameGeneralText(std::nextafter(tie, 0.0));
        ExpectSameGeneralText(std::nextafter(tie, 1e300));
    }
}

}  // namespace

namespace {

std::string Fixed3(double v, char sep = '.') {
    char buf[utm::kMaxGeneralTextLength];
    double rounded = 0.0;
    return std::string(buf, utm::WriteRoundedFixed3(buf, v, sep, rounded));
}

/// WriteRoundedFixed3Within's text, or "(open)" when it writes none.
std::string Within(double v, double tolerance, char sep = '.') {
    char buf[utm::kMaxGeneralTextLength];
    const char* end = utm::WriteRoundedFixed3Within(buf, v, tolerance, sep);
    return end == nullptr ? std::string("(open)") : std::string(static_cast<const char*>(buf), end);
}

}  // namespace

// A result known only to within a tolerance is written only when every
// number within reach is written the same: checked against WriteRoundedFixed3
// at both ends and in between, on grid-sized and angle-sized values.
TEST(FastNumberFormat, WithinWritesWhatEveryNumberInReachWrites) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> metres(-1e7, 1e7);
    std::uniform_real_distribution<double> degrees(-180.0, 180.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int written = 0;
    int open = 0;
    for (int i = 0; i < 200000; ++i) {
        const bool angle = i % 2 == 1;
        const double tolerance = angle ? 1e-9 : 5e-6;
        double v = angle ? degrees(random) : metres(random);
        if (i % 4 == 0) {
            // Close to a half of the third decimal, where the answer must be open.
            v = (std::round(v * 1000.0) + 0.5) / 1000.0 + unit(random) * 4 * tolerance;
        }
        const std::string text = Within(v, tolerance);
        if (text == "(open)") {
            ++open;
            continue;
        }
        ++written;
        ASSERT_EQ(text, Fixed3(v)) << v;
        ASSERT_EQ(text, Fixed3(v - tolerance)) << v;
        ASSERT_EQ(text, Fixed3(v + tolerance)) << v;
        ASSERT_EQ(text, Fixed3(v + unit(random) * tolerance)) << v;
    }
    // Only the values next to a half are left open (a quarter of them here).
    EXPECT_GT(written, 140000);
    EXPECT_LT(open, 60000);
}

TEST(FastNumberFormat, WithinLeavesOpenWhatItCannotSettle) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Within(2.0005, 1e-6), "(open)");      // a half within reach
    EXPECT_EQ(Within(2.00050001, 1e-9), "(open)");  // too close to the half for certainty
    EXPECT_EQ(Within(1e-7, 1e-6), "(open)");        // the reach crosses zero
    EXPECT_EQ(Within(-1e-7, 1e-6), "(open)");
    EXPECT_EQ(Within(0.0, 1e-9), "(open)");
    EXPECT_EQ(Within(99999999.9999999, 1e-6), "(open)");  // reaches 1e8
    EXPECT_EQ(Within(nan, 1e-9), "(open)");
    EXPECT_EQ(Within(inf, 1e-9), "(open)");
    EXPECT_EQ(Within(-inf, 1e-9), "(open)");
    // Written: the worked example, signs, the comma, an unsigned 0, whole values.
    EXPECT_EQ(Within(628198.19312345, 5e-6), "628198.193");
    EXPECT_EQ(Within(3065307.7319, 5e-6, ','), "3065307,732");
    EXPECT_EQ(Within(-27.70000000001, 1e-9), "-27.7");
    EXPECT_EQ(Within(0.0001, 1e-9), "0");
    EXPECT_EQ(Within(-0.0001, 1e-9), "0");
    EXPECT_EQ(Within(84.99999999, 1e-9), "85");
    EXPECT_EQ(Within(3320055.6934, 5e-6), "3320055.693");
}

// The integer rounding to 15 digits serves every decade from 1e-5 to 1e15:
// random values in each, and the doubles on both sides of each decade's bound.
TEST(FastNumberFormat, GeneralFormInEveryDecadeOfTheIntegerRounding) {
    std::mt19937_64 random(15);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    for (int e = -6; e <= 15; ++e) {
        const double decade = std::pow(10.0, e);
        std::vector<double> values{decade, std::nextafter(decade, 0.0),
                                   std::nextafter(decade, 1e300)};
        for (int i = 0; i < 2000; ++i) values.push_back(mantissa(random) * decade);
        for (double v : values) {
            ASSERT_EQ(General(v), FormatGeneral(v)) << v;
            ASSERT_EQ(General(-v, ','), FormatGeneral(-v, ',')) << v;
        }
    }
}
