#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/AboutTexts.h"

namespace utm {
namespace {

TEST(AboutDescription, IsTheTenLinesJoinedByCrLfWithNoneAfterTheLast) {
    const std::string expected =
        "WELCOME TO\r\n"
        "UTM: UNIVERSAL TRANVERSE MERCATOR\r\n"
        "Converting UTM to Latitude and Longitude ( or Vice Versa)\r\n"
        "\r\n"
        "ELLIPSOID: Everest 1830\r\n"
        "\r\n"
        " Default Data for Central Meridian (CM):\r\n"
        " Longitude = 84\u00b0      Latitude = 0.0\u00b0\r\n"
        "\r\n";
    const std::string text = AboutDescriptionText();
    ASSERT_EQ(text.substr(0, expected.size()), expected);
    const std::string credit = text.substr(expected.size());
    EXPECT_FALSE(credit.empty());
    EXPECT_EQ(credit.find('\r'), std::string::npos);
    EXPECT_EQ(credit.find('\n'), std::string::npos);
    EXPECT_EQ(SplitCrLf(text), AboutDescriptionLines());
}

TEST(SplitCrLf, KeepsEmptyLinesAndLoneLineFeeds) {
    EXPECT_EQ(SplitCrLf("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitCrLf("a\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitCrLf("a\nb\rc"), std::vector<std::string>{"a\nb\rc"});
}

TEST(VersionText, ShowsTheLiteralPiecesAndOnlyTheRevisionNumber) {
    EXPECT_EQ(ProgramVersionRevision(), 0);
    EXPECT_EQ(VersionText(ProgramVersionRevision()), "Version .01./04.0");
    EXPECT_EQ(VersionText(12), "Version .01./04.12");
}

}  // namespace
}  // namespace utm
