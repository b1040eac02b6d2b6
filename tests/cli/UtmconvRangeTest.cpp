// utmconv refuses what lies out of range: a central meridian outside -180 to
// 360, a longitude outside the projection's domain (in a file: a point that
// cannot be computed), datum-shift parameters beyond their bounds.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using Args = std::vector<std::string>;

ProcessResult Utmconv(const Args& args) {
    return utm::test::RunProcess(UTMCONV_PATH, args);
}

TEST(UtmconvRange, PointNamesTheValueAndTheBound) {
    const struct {
        Args args;
        const char* err;  // "" when it converts
    } cases[] = {
        {{"--cm", "360", "--to-xy", "27.7", "355"}, ""},
        {{"--cm", "-180", "--to-xy", "27.7", "-175"}, ""},
        {{"--cm", "84", "--to-xy", "0", "174"}, ""},  // exactly 90 degrees
        {{"--cm", "84", "--units", "dms", "--to-xy", "27 42 N", "85 18 E"}, ""},
        {{"--cm", "1e10", "--to-xy", "27.7", "85.3"},
         "utmconv: --cm: the central meridian 10000000000 lies outside -180 to 360 degrees\n"},
        {{"--cm", "360.5", "--to-latlong", "500000", "3000000"},
         "utmconv: --cm: the central meridian 360.5 lies outside -180 to 360 degrees\n"},
        {{"--cm", "84", "--to-xy", "27.7", "853"},
         "utmconv: the longitude 853 lies outside -180 to 360 degrees\n"},
        {{"--cm", "84", "--to-xy", "27.7", "264"},
         "utmconv: the longitude 264 lies 180 degrees from the central meridian 84, more than "
         "the 90 degrees within which the projection is defined\n"},
        {{"--cm", "84", "--units", "dms", "--to-xy", "27 42 E", "85 18"},
         "utmconv: latitude: The angle \"27 42 E\" is not valid: E marks a longitude; a "
         "latitude takes N or S\n"},
    };
    for (const auto& c : cases) {
        Args args{"point", "--ellipsoid", "everest"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProcessResult r = Utmconv(args);
        EXPECT_EQ(r.status, *c.err ? 2 : 0) << c.err;
        // Far out a conversion comes with the warning on accuracy.
        if (*c.err) {
            EXPECT_EQ(r.err, c.err);
        }
    }
}

TEST(UtmconvRange, FilesRefuseTheCentralMeridianAndMarkPointsOutOfTheDomain) {
    utm::test::TempFolder folder;
    // On CM 360: 355 converts; 365 (inside the vectorised series' 12 degrees)
    // and 250 (110 degrees away) cannot be computed.
    const std::string data = folder.Write("points.csv", "27.7,365\r\n27.7,355\r\n27.7,250\r\n");
    const std::string out = folder.File("out.txt");
    EXPECT_EQ(Utmconv({"convert", "--cm", "1e10", "--to-xy", data, out}).status, 2);
    EXPECT_EQ(
        Utmconv({"convert", "--cm", "360", "--to-xy", "--on-error", "stop", data, out}).status, 2);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"points.csv"});
    ASSERT_EQ(
        Utmconv({"convert", "--cm", "360", "--to-xy", "--on-error", "mark", data, out}).status, 1);
    const std::string text = utm::test::ReadWholeFile(out);
    EXPECT_NE(text.find("\r\n27.7\t365\t*\t*\r\n27.7\t355\t"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n27.7\t250\t*\t*\r\n"), std::string::npos) << text;
    // A datum shift beyond its bounds: exit 2, nothing written.
    const ProcessResult r = Utmconv({"transfer", "--kind", "3", "--datum-shift",
                                     "helmert-pv:0,0,0,648000,0,0,0", data, "--output", out});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("648000\u2033 lies outside -3600 to 3600\u2033"), std::string::npos)
        << r.err;
}

}  // namespace
