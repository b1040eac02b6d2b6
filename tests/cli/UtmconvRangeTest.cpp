// utmconv refuses what lies out of range: a central meridian outside -180 to
// 360, a longitude outside the projection's domain (the run stops, or the
// point is skipped or marked in a file), datum-shift parameters beyond their
// bounds; and reads hemisphere letters in angles.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using utm::test::ReadWholeFile;
using utm::test::TempFolder;
using Args = std::vector<std::string>;

ProcessResult Utmconv(const Args& args) {
    return utm::test::RunProcess(UTMCONV_PATH, args);
}

const char* const kHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n";

TEST(UtmconvRange, PointRefusesCentralMeridianAndLongitudeOutOfRange) {
    const struct {
        const char* cm;
        const char* lat;
        const char* lon;
        const char* err;  // "" when it converts
    } cases[] = {
        {"84", "27.7", "85.3", ""},
        {"360", "27.7", "355", ""},
        {"-180", "27.7", "-175", ""},
        {"84", "0", "174", ""},  // exactly 90 degrees
        {"360.5", "27.7", "85.3",
         "utmconv: --cm: the central meridian 360.5 lies outside -180 to 360 degrees\n"},
        {"1e10", "27.7", "85.3",
         "utmconv: --cm: the central meridian 10000000000 lies outside -180 to 360 degrees\n"},
        {"-181", "27.7", "85.3",
         "utmconv: --cm: the central meridian -181 lies outside -180 to 360 degrees\n"},
        {"84", "27.7", "853", "utmconv: the longitude 853 lies outside -180 to 360 degrees\n"},
        {"84", "27.7", "264",
         "utmconv: the longitude 264 lies 180 degrees from the central meridian 84, more than "
         "the 90 degrees within which the projection is defined\n"},
        {"84", "0", "174.5",
         "utmconv: the longitude 174.5 lies 90.5 degrees from the central meridian 84, more "
         "than the 90 degrees within which the projection is defined\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cm) + " " + c.lon);
        const ProcessResult r =
            Utmconv({"point", "--ellipsoid", "everest", "--cm", c.cm, "--to-xy", c.lat, c.lon});
        if (*c.err == '\0') {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.out, "");
        } else {
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, c.err);
        }
    }
    // The inverse takes the same central meridians.
    const ProcessResult r = Utmconv(
        {"point", "--ellipsoid", "wgs84", "--cm", "400", "--to-latlong", "500000", "3000000"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "utmconv: --cm: the central meridian 400 lies outside -180 to 360 degrees\n");
}

TEST(UtmconvRange, PointReadsHemisphereLettersInDms) {
    const struct {
        const char* lat;
        const char* lon;
        const char* out;  // or the error line
        int status;
    } cases[] = {
        {"27\u00b042\u2032N", "85 18 0 E", "628198.193\t3065307.732\n", 0},
        {"N27 42 0", "E85 18", "628198.193\t3065307.732\n", 0},
        {"27 42 0 S", "85\u00b018'E", "628198.193\t-3065307.732\n", 0},
        {"27 42 0 E", "85 18",
         "utmconv: latitude: The angle \"27 42 0 E\" is not valid: E marks a longitude; a "
         "latitude takes N or S\n",
         2},
        {"27 42", "85 18 N",
         "utmconv: longitude: The angle \"85 18 N\" is not valid: N marks a latitude; a "
         "longitude takes E or W\n",
         2},
        {"-27 42 N", "85 18",
         "utmconv: latitude: The angle \"-27 42 N\" is not valid: the minus sign contradicts "
         "the hemisphere letter N\n",
         2},
        // West of Greenwich, 169.3 degrees from CM 84: a real position, refused.
        {"27 42 N", "85 18 W",
         "utmconv: the longitude -85.3 lies 169.3 degrees from the central meridian 84, more "
         "than the 90 degrees within which the projection is defined\n",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lat) + " / " + c.lon);
        const ProcessResult r = Utmconv({"point", "--ellipsoid", "everest", "--cm", "84", "--units",
                                         "dms", "--to-xy", c.lat, c.lon});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(c.status == 0 ? r.out : r.err, c.out);
    }
}

TEST(UtmconvRange, ConvertRefusesTheCentralMeridianAndMarksPointsOutOfTheDomain) {
    TempFolder folder;
    const std::string data = folder.Write("points.csv", "27.7,85.3\r\n27.7,853\r\n27.7,264\r\n");
    const std::string out = folder.File("out.txt");
    ProcessResult r = Utmconv({"convert", "--cm", "1e10", "--to-xy", data, out});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "utmconv: --cm: the central meridian 10000000000 lies outside -180 to 360 degrees\n");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"points.csv"});

    // Stop (the default): nothing written.
    r = Utmconv({"convert", "--to-xy", data, out});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Line 2"), std::string::npos) << r.err;
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"points.csv"});

    // Mark, in every output form: the good point keeps its numbers.
    for (const Args& form : {Args{}, Args{"--full-precision"}, Args{"--units", "deg8"}}) {
        Args args{"convert", "--to-xy", "--on-error", "mark"};
        args.insert(args.end(), form.begin(), form.end());
        args.insert(args.end(), {data, out});
        r = Utmconv(args);
        EXPECT_EQ(r.status, 1) << r.err;
        const std::string first = form.empty() || form[0] == "--units"
                                      ? "27.7\t85.3\t628198.193\t3065307.732\r\n"
                                      : "27.7\t85.3\t628198.19317284\t3065307.73239086\r\n";
        EXPECT_EQ(ReadWholeFile(out),
                  std::string(kHeader) + first + "27.7\t853\t*\t*\r\n27.7\t264\t*\t*\r\n");
    }
}

TEST(UtmconvRange, ConvertMarksALongitudeBeyond360NearItsCentralMeridian) {
    // 365 lies 5 degrees from CM 360, inside the vectorised series' reach:
    // it must still be refused, not written.
    TempFolder folder;
    const std::string data = folder.Write("points.csv", "27.7,365\r\n27.7,355\r\n");
    const std::string out = folder.File("out.txt");
    const ProcessResult r =
        Utmconv({"convert", "--cm", "360", "--to-xy", "--on-error", "mark", data, out});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string text = ReadWholeFile(out);
    EXPECT_NE(text.find("27.7\t365\t*\t*\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("27.7\t355\t*"), std::string::npos) << text;
}

TEST(UtmconvRange, TransformMarksLongitudesOutOfTheDomain) {
    TempFolder folder;
    const std::string data = folder.Write("ll.txt", "27.7\t85.3\r\n27.7\t853\r\n");
    const std::string out = folder.File("out.txt");
    const ProcessResult r = Utmconv({"transform", "--from", "latlong-everest", "--to", "everest84",
                                     "--on-error", "skip", data, out});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string text = ReadWholeFile(out);
    EXPECT_NE(text.find("628198.19317284"), std::string::npos) << text;
    EXPECT_EQ(text.find("853"), std::string::npos) << text;
}

TEST(UtmconvRange, DatumShiftsBeyondTheirBoundsAreRefused) {
    TempFolder folder;
    const std::string gps = folder.Write("gps.csv", "332377.022737274,3065126.71761273\r\n");
    const struct {
        const char* shift;
        const char* says;
    } cases[] = {
        {"helmert-pv:0,0,0,648000,0,0,0",
         "value 4 (RX) 648000\u2033 lies outside -3600 to 3600\u2033"},
        {"helmert-cf:293,726,245,0,0,0,1e6", "value 7 (S) 1e+06 ppm lies outside -1000 to 1000"},
        {"helmert-pv:20000,726,245,0,0,0,0", "value 1 (TX) 20000 m lies outside -10000 to 10000"},
    };
    for (const auto& c : cases) {
        for (const Args& args : {Args{"transfer", "--kind", "3", "--datum-shift", c.shift, gps},
                                 Args{"transform", "--from", "wgs84-45", "--to", "everest84",
                                      "--datum-shift", c.shift, gps, folder.File("out.csv")}}) {
            const ProcessResult r = Utmconv(args);
            EXPECT_EQ(r.status, 2) << c.shift;
            EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
            EXPECT_EQ(folder.Entries(), std::set<std::string>{"gps.csv"}) << c.shift;
        }
    }
    // At the bounds the shift is taken.
    EXPECT_EQ(Utmconv({"transfer", "--kind", "3", "--datum-shift",
                       "helmert-pv:10000,-10000,0,3600,0,-3600,1000", gps})
                  .status,
              0);
}

}  // namespace
