// RadToDeg: degrees, minutes and seconds without rounding or carry; the
// degrees-minutes-seconds notation written (FormatDms) and read (ReadDms).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geodesy/AngleNotation.h"
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

double Dms(double d, double m, double s) {
    return d + m / 60.0 + s / 3600.0;
}

TEST(FormatDms, WorkedExamplesCarryTheSplitsSixtySeconds) {
    // RadToDeg gives 27°41′59.99999…″ for 27.7°: the rounding carries.
    EXPECT_EQ(utm::FormatDms(27.7), "27\u00b042\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(85.3), "85\u00b018\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(84), "84\u00b000\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(0), "0\u00b000\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(27, 6, 59.8336)), "27\u00b006\u203259.8336\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(27, 42, 0.5), ','), "27\u00b042\u203200,5000\u2033");
}

TEST(FormatDms, HalvesRoundAwayFromZeroAndCarryIntoMinutesAndDegrees) {
    EXPECT_EQ(utm::FormatDms(Dms(10, 30, 59.99994)), "10\u00b030\u203259.9999\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(10, 30, 59.99995)), "10\u00b031\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(10, 30, 12.34565)), "10\u00b030\u203212.3457\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(10, 59, 59.99995)), "11\u00b000\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(89, 59, 59.99996)), "90\u00b000\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(359, 59, 59.99999)), "360\u00b000\u203200.0000\u2033");
    // Seconds below 0.0001″ (which the split gives as 0) still round up from
    // 0.00005″ on.
    EXPECT_EQ(utm::FormatDms(Dms(27, 42, 0.00008)), "27\u00b042\u203200.0001\u2033");
    EXPECT_EQ(utm::FormatDms(Dms(27, 42, 0.00003)), "27\u00b042\u203200.0000\u2033");
}

TEST(FormatDms, NegativeTinyAndNotFiniteAngles) {
    EXPECT_EQ(utm::FormatDms(-0.5), "-0\u00b030\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(-27.7), "-27\u00b042\u203200.0000\u2033");
    // Rounded to nothing, an angle has no sign.
    EXPECT_EQ(utm::FormatDms(-1e-12), "0\u00b000\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(-0.0), "0\u00b000\u203200.0000\u2033");
    EXPECT_EQ(utm::FormatDms(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(utm::FormatDms(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(utm::FormatDms(-std::numeric_limits<double>::infinity()), "-Infinity");
}

TEST(ReadDms, ReadsEveryNotationOfTheSameAngle) {
    const double expected = Dms(27, 42, 0.5);
    for (const char* text :
         {"27 42 0.5", "27\u00b042\u20320.5\u2033", "27\u00b042'0.5\"", "27\u00b042'0.5''",
          " \t27 \u00b0 42 \u2032 0.5 \u2033 ", "27  42\t0.5", "27\u00b042 0.5", "27 42 00.50"}) {
        const utm::DmsReading r = utm::ReadDms(text);
        ASSERT_TRUE(r.degrees.has_value()) << text << ": " << r.problem;
        EXPECT_NEAR(*r.degrees, expected, 1e-13) << text;
        EXPECT_TRUE(r.problem.empty());
    }
    EXPECT_EQ(utm::ReadDms("27.7").degrees, 27.7);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("27 42").degrees, 27.7);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("27\u00b042.5\u2032").degrees, 27 + 42.5 / 60);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("85\u00b018\u2032").degrees, 85.3);
    EXPECT_EQ(utm::ReadDms("27\u00b0").degrees, 27.0);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("27 42 59.9999").degrees, Dms(27, 42, 59.9999));
    EXPECT_DOUBLE_EQ(*utm::ReadDms("-27 42 0").degrees, -27.7);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("-0\u00b030\u2032").degrees, -0.5);
}

TEST(ReadDms, RefusesWhatIsNoAngleAndSaysWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "The angle \"\" is not valid: it holds no number."},
        {"  ", "The angle \"\" is not valid: it holds no number."},
        {"-", "The angle \"-\" is not valid: it holds no number."},
        {"27 60 0", "The angle \"27 60 0\" is not valid: minutes must be below 60."},
        {"27 42 60", "The angle \"27 42 60\" is not valid: seconds must be below 60."},
        {"27 59.99999999999999999",
         "The angle \"27 59.99999999999999999\" is not valid: "
         "minutes must be below 60."},
        {"27.5 30", "The angle \"27.5 30\" is not valid: only the last part may have decimals."},
        {"27 42.5 0",
         "The angle \"27 42.5 0\" is not valid: only the last part may have "
         "decimals."},
        {"27 42 0 5",
         "The angle \"27 42 0 5\" is not valid: it has more than three parts "
         "(degrees, minutes and seconds)."},
        {"27 -42 0",
         "The angle \"27 -42 0\" is not valid: a minus sign may only stand before "
         "the degrees."},
        {"+27", "The angle \"+27\" is not valid: a minus sign may only stand before the degrees."},
        {"27x42",
         "The angle \"27x42\" is not valid: \"x\" is not a digit, a blank, one of "
         "the marks \u00b0 \u2032 \u2033 d ' \" or a hemisphere letter N S E W."},
        {"27\u00ba42",
         "The angle \"27\u00ba42\" is not valid: \"\u00ba\" is not a digit, a "
         "blank, one of the marks \u00b0 \u2032 \u2033 d ' \" or a hemisphere letter N S E "
         "W."},
        {"27.5.3", "The angle \"27.5.3\" is not valid: \"27.5.3\" is not a number."},
        {".", "The angle \".\" is not valid: \".\" is not a number."},
        {"\u00b0", "The angle \"\u00b0\" is not valid: the mark \u00b0 must follow a number."},
        {"27\u2032",
         "The angle \"27\u2032\" is not valid: the mark \u2032 must follow the "
         "minutes, part 2 of the angle."},
        {"27\u00b030\u2033",
         "The angle \"27\u00b030\u2033\" is not valid: the mark \u2033 "
         "must follow the seconds, part 3 of the angle."},
    };
    for (const auto& [text, problem] : cases) {
        const utm::DmsReading r = utm::ReadDms(text);
        EXPECT_FALSE(r.degrees.has_value()) << text;
        EXPECT_EQ(r.problem, problem);
    }
}

TEST(ReadDms, HemisphereLettersBeforeOrAfterTheAngleFitTheAxisAndTheSign) {
    using utm::AngleAxis;
    const struct {
        const char* text;
        AngleAxis axis;
        double degrees;  // NaN: refused, `problem` ending the message
        const char* problem;
    } cases[] = {
        {"27\u00b042\u2032N", AngleAxis::Latitude, 27.7, ""},
        {"N 27 42 0", AngleAxis::Latitude, 27.7, ""},
        {"27 42 0 S", AngleAxis::Latitude, -27.7, ""},
        {"85 18 0 E", AngleAxis::Longitude, 85.3, ""},
        {"W85.3", AngleAxis::Longitude, -85.3, ""},
        {"-27 42 S", AngleAxis::Latitude, -27.7, ""},  // sign and letter agree
        {"27 42 0 E", AngleAxis::Latitude, NAN, "E marks a longitude; a latitude takes N or S."},
        {"85 18 N", AngleAxis::Longitude, NAN, "N marks a latitude; a longitude takes E or W."},
        {"-27 42 N", AngleAxis::Latitude, NAN,
         "the minus sign contradicts the hemisphere letter N."},
        {"N27 S", AngleAxis::Latitude, NAN, "it has more than one hemisphere letter."},
        {"27 N 42", AngleAxis::Latitude, NAN,
         "the hemisphere letter N must stand before the degrees or after the last part."},
        // Letters for the marks (but the d of the ASCII notation) are no
        // marks: never run together into 8518.
        {"85d18m0s", AngleAxis::Longitude, NAN,
         "\"m\" is not a digit, a blank, one of the marks \u00b0 \u2032 \u2033 d ' \" or a "
         "hemisphere letter N S E W."},
    };
    for (const auto& c : cases) {
        const utm::DmsReading r = utm::ReadDms(c.text, c.axis);
        if (std::isnan(c.degrees)) {
            EXPECT_FALSE(r.degrees.has_value()) << c.text;
            EXPECT_TRUE(r.problem.ends_with(c.problem)) << r.problem;
        } else {
            ASSERT_TRUE(r.degrees.has_value()) << c.text << ": " << r.problem;
            EXPECT_NEAR(*r.degrees, c.degrees, 1e-13) << c.text;
        }
    }
}

TEST(ReadDms, ReadsBackWhatFormatDmsWrites) {
    for (double degrees : {27.7, 85.3, 0.0, -0.5, 89.99999999, 12.3456789, -179.87654321}) {
        for (utm::DmsMarks marks : {utm::DmsMarks::Unicode, utm::DmsMarks::Ascii}) {
            const utm::DmsReading r = utm::ReadDms(utm::FormatDms(degrees, '.', marks));
            ASSERT_TRUE(r.degrees.has_value()) << r.problem;
            EXPECT_NEAR(*r.degrees, degrees, 0.00005 / 3600 + 1e-12) << degrees;
        }
    }
}

TEST(FormatDms, AsciiMarksForATerminalWithoutUnicode) {
    const utm::DmsMarks ascii = utm::DmsMarks::Ascii;
    EXPECT_EQ(utm::FormatDms(27.7, '.', ascii), "27d42'00.0000\"");
    EXPECT_EQ(utm::FormatDms(-0.5, '.', ascii), "-0d30'00.0000\"");
    EXPECT_EQ(utm::FormatDms(Dms(27, 42, 0.5), ',', ascii), "27d42'00,5000\"");
    EXPECT_EQ(utm::FormatDms(std::nan(""), '.', ascii), "NaN");
}

TEST(ReadDms, TakesTheAsciiDegreeMark) {
    EXPECT_NEAR(*utm::ReadDms("27d42'0.5\"").degrees, Dms(27, 42, 0.5), 1e-13);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("27d42'").degrees, 27.7);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("-27d 42 0").degrees, -27.7);
    EXPECT_DOUBLE_EQ(*utm::ReadDms("85d18'00.0000\"E", utm::AngleAxis::Longitude).degrees, 85.3);
    EXPECT_FALSE(utm::ReadDms("d27").degrees.has_value());
    EXPECT_FALSE(utm::ReadDms("27'42d").degrees.has_value());
}

}  // namespace
