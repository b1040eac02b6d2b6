// utmconv point end to end: output bytes and exit status.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/RunProcess.h"

namespace {

using utm::test::RunProcess;

utm::test::ProcessResult Point(const std::vector<std::string>& args) {
    std::vector<std::string> all{"point"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(UTMCONV_PATH, all);
}

TEST(UtmconvPoint, ForwardOnEverestPrintsTwoNumbersTabSeparated) {
    auto r = Point({"--ellipsoid", "everest", "--cm", "84", "--to-xy", "27.7", "85.3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "628198.19317284\t3065307.73239086\n");
    EXPECT_EQ(r.err, "");
}

TEST(UtmconvPoint, NegativeArgumentsAreValuesNotOptions) {
    auto r = Point({"--ellipsoid", "everest", "--cm", "84", "--to-xy", "-27.7", "85.3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "628198.19317284\t-3065307.73239086\n");
}

TEST(UtmconvPoint, CentralMeridianPointGivesExactFalseEasting) {
    auto r = Point({"--ellipsoid", "everest", "--cm", "84", "--to-xy", "0", "84"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "500000\t0\n");
}

TEST(UtmconvPoint, InverseOnWGS84PrintsDegrees) {
    auto r = Point(
        {"--ellipsoid", "wgs84", "--cm", "81", "--to-latlong", "696667.5410", "3098814.2536"});
    EXPECT_EQ(r.status, 0);
    // 27.9999999994, 83.0000000002 rounded to 15 significant digits.
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back(), '\n');
    const std::size_t tab = r.out.find('\t');
    ASSERT_NE(tab, std::string::npos);
    EXPECT_NEAR(std::stod(r.out.substr(0, tab)), 28.0, 1e-9);
    EXPECT_NEAR(std::stod(r.out.substr(tab + 1)), 83.0, 1e-9);
}

/// The two fields of a point's output line, and their numbers.
std::pair<std::string, std::string> Fields(const std::string& out) {
    const std::size_t tab = out.find('\t');
    const std::size_t end = out.find('\n');
    return {out.substr(0, tab), out.substr(tab + 1, end - tab - 1)};
}
std::pair<double, double> Numbers(const std::string& out) {
    const auto [first, second] = Fields(out);
    return {std::stod(first), std::stod(second)};
}

TEST(UtmconvPoint, DatumShiftKeepsTheLongitudeInTheConventionOfTheMeridian) {
    // The shift gives its longitudes within -180 to 180: 275 E on CM 300
    // must not come back as -85, 385 degrees from the meridian.
    const std::vector<std::string> gps{"--ellipsoid", "everest", "--latlong-datum", "wgs84"};
    auto Gps = [&](std::vector<std::string> args) {
        args.insert(args.begin(), gps.begin(), gps.end());
        return Point(args);
    };
    auto east = Gps({"--cm", "300", "--to-xy", "27", "275"});
    auto west = Gps({"--cm", "-60", "--to-xy", "27", "-85"});
    ASSERT_EQ(east.status, 0) << east.err;
    ASSERT_EQ(west.status, 0) << west.err;
    EXPECT_NEAR(Numbers(east.out).first, Numbers(west.out).first, 1e-6);
    EXPECT_NEAR(Numbers(east.out).second, Numbers(west.out).second, 1e-6);
    const auto [x, y] = Fields(east.out);
    auto back = Gps({"--cm", "300", "--to-latlong", x, y});
    ASSERT_EQ(back.status, 0) << back.err;
    // Far from Nepal the height the shift drops is large: the way back lands
    // within a hundredth of a degree, in the meridian's convention.
    EXPECT_NEAR(Numbers(back.out).first, 27.0, 0.01);
    EXPECT_NEAR(Numbers(back.out).second, 275.0, 0.01);
}

TEST(UtmconvPoint, BadInputGivesOneLineOnStderrAndStatus2) {
    const std::vector<std::vector<std::string>> cases{
        {"--ellipsoid", "everest", "--cm", "84", "--to-xy", "abc", "85.3"},
        {"--ellipsoid", "everest", "--cm", "x", "--to-xy", "27.7", "85.3"},
        {"--ellipsoid", "everest", "--cm", "84", "--to-xy", "27.7"},
        {"--ellipsoid", "clarke", "--cm", "84", "--to-xy", "27.7", "85.3"},
        {"--ellipsoid", "everest", "--to-xy", "27.7", "85.3"},
        {"--ellipsoid", "everest", "--cm", "84"},
        {"--ellipsoid", "everest", "--cm", "84", "--to-xy", "1", "2", "--to-latlong", "1", "2"},
        {"--ellipsoid", "everest", "--cm", "84", "--to-latlong", "1e300", "0"},
    };
    for (const auto& args : cases) {
        auto r = Point(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        SCOPED_TRACE(joined);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

TEST(UtmconvPoint, NoCommandIsAnError) {
    auto r = RunProcess(UTMCONV_PATH, {});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
}

TEST(UtmconvPoint, UnitsFormatDegreesAndKeepMetresToThreeDecimals) {
    const std::vector<std::string> inverse{"--ellipsoid",  "everest",     "--cm",        "84",
                                           "--to-latlong", "628198.1932", "3065307.7324"};
    const std::vector<std::pair<std::string, std::string>> cases{
        {"deg3", "27.700\t85.300\n"},
        {"deg8", "27.70000000\t85.30000000\n"},
        {"dms", "27\u00b042\u203200.0000\u2033\t85\u00b018\u203200.0000\u2033\n"},
    };
    for (const auto& [units, line] : cases) {
        std::vector<std::string> args = inverse;
        args.insert(args.end(), {"--units", units});
        auto r = Point(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, line);
        r = Point(
            {"--ellipsoid", "everest", "--cm", "84", "--units", units, "--to-xy", "27.7", "85.3"});
        EXPECT_EQ(r.out, "628198.193\t3065307.732\n");
    }
    // Below one degree the three-decimal pattern has no leading 0.
    EXPECT_EQ(Point({"--ellipsoid", "everest", "--cm", "0.5", "--units", "deg8", "--to-latlong",
                     "500000", "0"})
                  .out,
              ".00000000\t.50000000\n");
}

TEST(UtmconvPoint, DmsUnitsReadAnglesAndNameABadOne) {
    for (const auto& [lat, lon] : std::vector<std::pair<std::string, std::string>>{
             {"27\u00b042\u203200\u2033", "85 18 0"}, {"27 42", "85.3"}, {"-27 42 0", "85 18"}}) {
        auto r =
            Point({"--ellipsoid", "everest", "--cm", "84", "--units", "dms", "--to-xy", lat, lon});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, lat.starts_with('-') ? "628198.193\t-3065307.732\n"
                                              : "628198.193\t3065307.732\n");
    }
    auto r = Point(
        {"--ellipsoid", "everest", "--cm", "84", "--units", "dms", "--to-xy", "27 60 0", "85.3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "utmconv: latitude: The angle \"27 60 0\" is not valid: minutes must be below 60\n");
    // Other units read plain numbers only.
    r = Point(
        {"--ellipsoid", "everest", "--cm", "84", "--units", "deg8", "--to-xy", "27 42 0", "85.3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "utmconv: latitude is not a number: \"27 42 0\"\n");
    EXPECT_EQ(Point({"--ellipsoid", "everest", "--cm", "84", "--units", "deg5", "--to-xy", "27.7",
                     "85.3"})
                  .status,
              2);
}

}  // namespace
