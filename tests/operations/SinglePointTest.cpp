// Single-point conversion and the keystroke filter of the main window.
#include <gtest/gtest.h>

#include "operations/SinglePoint.h"
#include "support/ScriptedPorts.h"

namespace {

using utm::ConversionDirection;
using utm::ConvertSinglePoint;
using utm::SinglePointRequest;
using utm::SinglePointResult;
using Status = utm::SinglePointResult::Status;

SinglePointRequest Request(std::string cm, std::string first, std::string second,
                           ConversionDirection direction = ConversionDirection::LatLongToXY) {
    return SinglePointRequest{std::move(cm), std::move(first), std::move(second), direction};
}

void ExpectOutputs(const SinglePointResult& r, const std::string& first,
                   const std::string& second) {
    EXPECT_EQ(r.status, Status::Converted);
    EXPECT_EQ(r.FirstOutput, first);
    EXPECT_EQ(r.SecondOutput, second);
    EXPECT_FALSE(r.FocusToText1());
}

TEST(SinglePoint, WorkedExamplesInBothDirections) {
    utm::test::ScriptedMessageBox box;
    ExpectOutputs(ConvertSinglePoint(Request("84", "27.7", "85.3"), box), "628198.193",
                  "3065307.732");
    ExpectOutputs(ConvertSinglePoint(Request("84", "27.5", "84"), box), "500000.000",
                  "3042473.351");
    ExpectOutputs(ConvertSinglePoint(
                      Request("84", "500000", "3000000", ConversionDirection::XYToLatLong), box),
                  "27.117", "84.000");
    // Round trip of the first example through the displayed texts.
    ExpectOutputs(
        ConvertSinglePoint(
            Request("84", "628198.193", "3065307.732", ConversionDirection::XYToLatLong), box),
        "27.700", "85.300");
    EXPECT_TRUE(box.shown.empty());
}

TEST(SinglePoint, ResultsBelowOneHaveNoLeadingZeroAndUseTheLocaleSeparator) {
    utm::test::ScriptedMessageBox box;
    // On the equator at the central meridian 0.5: latitude 0, longitude one half.
    ExpectOutputs(
        ConvertSinglePoint(Request("0.5", "500000", "0", ConversionDirection::XYToLatLong), box),
        ".000", ".500");
    ExpectOutputs(ConvertSinglePoint(Request("84", "27.7", "85.3"), box, ','), "628198,193",
                  "3065307,732");
}

TEST(SinglePoint, PastedNegativeAndSpacedValuesConvert) {
    utm::test::ScriptedMessageBox box;
    ExpectOutputs(ConvertSinglePoint(Request("84", "-27.7", "85.3"), box), "628198.193",
                  "-3065307.732");
    ExpectOutputs(ConvertSinglePoint(Request(" 84 ", "27.7 ", " 85.3"), box), "628198.193",
                  "3065307.732");
    EXPECT_TRUE(box.shown.empty());
}

TEST(SinglePoint, NonNumericTextShowsTheMessageAndConvertsNothing) {
    const SinglePointRequest bad[] = {
        Request("84", "", "85.3"),
        Request("84", "27.7", ""),
        Request("", "27.7", "85.3"),
        Request("84", "12.5.3", "85.3"),
        Request("84", "27,7", "85.3"),
        Request("8 4", "27.7", "85.3"),
        Request("84", "abc", "3000000", ConversionDirection::XYToLatLong),
    };
    for (const SinglePointRequest& request : bad) {
        utm::test::ScriptedMessageBox box;
        const SinglePointResult r = ConvertSinglePoint(request, box);
        EXPECT_EQ(r.status, Status::ValidationFailure);
        EXPECT_TRUE(r.FocusToText1());
        EXPECT_TRUE(r.FirstOutput.empty() && r.SecondOutput.empty());
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, "Values should be Numeric!");
        EXPECT_EQ(box.shown[0].buttons, utm::MsgButtons::OK);
        EXPECT_EQ(box.shown[0].icon, utm::MsgIcon::Information);
        EXPECT_EQ(box.shown[0].title, "UTM");
    }
    // A failed request does not stop the next one, in either direction.
    utm::test::ScriptedMessageBox box;
    ExpectOutputs(ConvertSinglePoint(Request("84", "27.7", "85.3"), box), "628198.193",
                  "3065307.732");
    ExpectOutputs(ConvertSinglePoint(
                      Request("84", "500000", "3000000", ConversionDirection::XYToLatLong), box),
                  "27.117", "84.000");
}

TEST(SinglePoint, NoDirectionGivesNoOutputAndNoMessage) {
    utm::test::ScriptedMessageBox box;
    const SinglePointResult r =
        ConvertSinglePoint(Request("84", "27.7", "85.3", ConversionDirection::None), box);
    EXPECT_EQ(r.status, Status::NoDirection);
    EXPECT_TRUE(r.FirstOutput.empty());
    EXPECT_FALSE(r.FocusToText1());
    EXPECT_TRUE(box.shown.empty());
}

TEST(SinglePoint, APointTheProjectionCannotComputeIsExplainedNotShown) {
    utm::test::ScriptedMessageBox box;
    const SinglePointResult r =
        ConvertSinglePoint(Request("84", "1e300", "0", ConversionDirection::XYToLatLong), box);
    EXPECT_EQ(r.status, Status::CannotCompute);
    EXPECT_TRUE(r.FirstOutput.empty() && r.SecondOutput.empty());
    EXPECT_FALSE(r.FocusToText1());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("cannot be converted"), std::string::npos);
}

TEST(SinglePoint, ALatitudeBeyondThePolesIsShownAndNamed) {
    utm::test::ScriptedMessageBox box;
    const SinglePointResult typed = ConvertSinglePoint(Request("84", "1000", "85"), box);
    EXPECT_EQ(typed.status, Status::Converted);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "The latitude 1000 lies outside -90 to 90 degrees: the result means nothing on "
              "the Earth.");
    box.shown.clear();
    ConvertSinglePoint(Request("84", "500000", "1000000000", ConversionDirection::XYToLatLong),
                       box);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("lies outside -90 to 90 degrees"), std::string::npos);
    // Far from the central meridian: the result, with a word on its accuracy.
    box.shown.clear();
    ExpectOutputs(ConvertSinglePoint(
                      Request("84", "200000", "3000000", ConversionDirection::XYToLatLong), box),
                  "27.084", "80.975");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("more than 268 km"), std::string::npos);
}

TEST(Validation, KeepsDigitsPointAndBackspaceOnly) {
    for (int key : std::initializer_list<int>{'0', '5', '9', '.', 8}) {
        int k = key;
        utm::validation(k);
        EXPECT_EQ(k, key);
    }
    // Letters, exponent, signs, comma, blank, Enter, Tab, Ctrl+C/V/X, DEL, byte 255.
    for (int key : std::initializer_list<int>{'a', 'E', 'e', '-', '+', ',', ' ', '/', ':', 13, 9, 3,
                                              22, 24, 127, 255}) {
        int k = key;
        utm::validation(k);
        EXPECT_EQ(k, 0) << key;
    }
}

SinglePointRequest InUnits(utm::Units units, std::string first, std::string second,
                           ConversionDirection direction = ConversionDirection::LatLongToXY) {
    SinglePointRequest request = Request("84", std::move(first), std::move(second), direction);
    request.OutputUnits = units;
    return request;
}

TEST(SinglePointUnits, LatitudeAndLongitudeFollowTheUnitsMetresStayThreeDecimals) {
    utm::test::ScriptedMessageBox box;
    const auto inverse = ConversionDirection::XYToLatLong;
    ExpectOutputs(ConvertSinglePoint(
                      InUnits(utm::Units::Degrees8, "628198.1932", "3065307.7324", inverse), box),
                  "27.70000000", "85.30000000");
    ExpectOutputs(
        ConvertSinglePoint(InUnits(utm::Units::Dms, "628198.1932", "3065307.7324", inverse), box),
        "27\u00b042\u203200.0000\u2033", "85\u00b018\u203200.0000\u2033");
    ExpectOutputs(
        ConvertSinglePoint(InUnits(utm::Units::Degrees8, "500000", "3000000", inverse), box, ','),
        "27,11662043", "84,00000000");
    ExpectOutputs(
        ConvertSinglePoint(
            InUnits(utm::Units::DegreesMetres, "628198.1932", "3065307.7324", inverse), box),
        "27.700", "85.300");
    for (utm::Units units : {utm::Units::Degrees8, utm::Units::Dms}) {
        ExpectOutputs(ConvertSinglePoint(InUnits(units, "27.7", "85.3"), box), "628198.193",
                      "3065307.732");
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST(SinglePointUnits, InDmsLatitudeAndLongitudeMayBeTypedAsAngles) {
    utm::test::ScriptedMessageBox box;
    const utm::Units dms = utm::Units::Dms;
    ExpectOutputs(ConvertSinglePoint(InUnits(dms, "27\u00b042\u203200\u2033", "85 18 0"), box),
                  "628198.193", "3065307.732");
    ExpectOutputs(ConvertSinglePoint(InUnits(dms, "27 42", "85\u00b018'"), box), "628198.193",
                  "3065307.732");
    ExpectOutputs(ConvertSinglePoint(InUnits(dms, "-27 42 0", "85.3"), box), "628198.193",
                  "-3065307.732");
    EXPECT_TRUE(box.shown.empty());
}

TEST(SinglePointUnits, AnUnreadableAngleIsExplainedAndFocusGoesToText1) {
    const std::pair<SinglePointRequest, std::string> cases[] = {
        {InUnits(utm::Units::Dms, "27 60 0", "85.3"),
         "The angle \"27 60 0\" is not valid: minutes must be below 60."},
        {InUnits(utm::Units::Dms, "27.7", "85 18 61"),
         "The angle \"85 18 61\" is not valid: seconds must be below 60."},
        {InUnits(utm::Units::Dms, "27.7", ""), "The angle \"\" is not valid: it holds no number."},
        // The central meridian and eastings and northings stay numbers.
        {[] {
             SinglePointRequest r = InUnits(utm::Units::Dms, "27.7", "85.3");
             r.CentralMeridianText = "84 0 0";
             return r;
         }(),
         "Values should be Numeric!"},
        {InUnits(utm::Units::Dms, "628198 1", "3065307.732", ConversionDirection::XYToLatLong),
         "Values should be Numeric!"},
        // Other units read numbers only.
        {InUnits(utm::Units::Degrees8, "27 42 0", "85.3"), "Values should be Numeric!"},
    };
    for (const auto& [request, message] : cases) {
        utm::test::ScriptedMessageBox box;
        const SinglePointResult r = ConvertSinglePoint(request, box);
        EXPECT_EQ(r.status, Status::ValidationFailure);
        EXPECT_TRUE(r.FocusToText1());
        EXPECT_TRUE(r.FirstOutput.empty() && r.SecondOutput.empty());
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, message);
        EXPECT_EQ(box.shown[0].buttons, utm::MsgButtons::OK);
        EXPECT_EQ(box.shown[0].icon, utm::MsgIcon::Information);
    }
}

// Every printable character stays in the box, so that a text typed with
// other marks is refused as typed ("85d18m0s"), not run together into 85180.
TEST(DmsValidation, KeepsEveryPrintableCharacterAndBackspaceDropsControlCodes) {
    for (int key : std::initializer_list<int>{
             '0', '9', '.', 8,   ' ', 0x00B0, 0x2032, 0x2033, '\'',   '"',    'N',
             'S', 'E', 'W', 'd', 'm', 's',    '-',    ',',    0x00BA, 0x2019, 0x201D}) {
        int k = key;
        utm::DmsValidation(k);
        EXPECT_EQ(k, key);
    }
    for (int key : std::initializer_list<int>{13, 9, 27, 1, 22, 127, 0x9B}) {
        int k = key;
        utm::DmsValidation(k);
        EXPECT_EQ(k, 0) << key;
    }
}

TEST(SinglePointRange, OutOfRangeIsNamedAndNothingConvertedHemisphereLettersConvert) {
    const struct {
        SinglePointRequest request;
        Status status;
        const char* message;  // "" when it converts to 628198.193, +-3065307.732
    } cases[] = {
        {InUnits(utm::Units::Dms, "27\u00b042\u2032N", "E85 18 0"), Status::Converted, ""},
        {InUnits(utm::Units::Dms, "S27 42", "85.3 E"), Status::Converted, ""},
        {Request("1e10", "27.7", "85.3"), Status::ValidationFailure,
         "The central meridian 10000000000 lies outside -180 to 360 degrees. Nothing was "
         "converted."},
        {Request("84", "27.7", "853"), Status::OutOfRange,
         "The longitude 853 lies outside -180 to 360 degrees. Nothing was converted."},
        {InUnits(utm::Units::Dms, "27 42 N", "85 18 W"), Status::OutOfRange,
         "The longitude -85.3 lies 169.3 degrees from the central meridian 84, more than the 90 "
         "degrees within which the projection is defined. Nothing was converted."},
        {InUnits(utm::Units::Dms, "27 42 0", "85d18m0s"), Status::ValidationFailure,
         "The angle \"85d18m0s\" is not valid: \"m\" is not a digit, a blank, one of the "
         "marks \u00b0 \u2032 \u2033 d ' \" or a hemisphere letter N S E W."},
    };
    for (const auto& c : cases) {
        utm::test::ScriptedMessageBox box;
        const SinglePointResult r = ConvertSinglePoint(c.request, box);
        EXPECT_EQ(r.status, c.status) << c.message;
        if (*c.message == '\0') {
            EXPECT_EQ(r.FirstOutput, "628198.193");
            EXPECT_TRUE(box.shown.empty());
        } else {
            EXPECT_TRUE(r.FirstOutput.empty());
            ASSERT_EQ(box.shown.size(), 1u);
            EXPECT_EQ(box.shown[0].text, c.message);
        }
    }
}

}  // namespace
