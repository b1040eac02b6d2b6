// utmconv with datums: --latlong-datum on point and convert, --datum-shift and
// the kinds 6 and 7 on transfer, and transform between any two systems; the
// issue's example each way, the defaults unchanged, bad shifts refused.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using utm::test::ReadWholeFile;
using Names = std::set<std::string>;

ProcessResult Utmconv(const std::vector<std::string>& args) {
    return utm::test::RunProcess(UTMCONV_PATH, args);
}

/// The two numbers of a line "A<TAB>B\n" or the last two of "w,x,A,B\r\n".
std::pair<double, double> LastTwo(const std::string& text, char separator) {
    const std::size_t second = text.rfind(separator);
    const std::size_t first = text.rfind(separator, second - 1);
    const std::size_t start = first == std::string::npos ? 0 : first + 1;
    return {std::stod(text.substr(start, second - start)), std::stod(text.substr(second + 1))};
}

constexpr const char* kNoShiftWarning =
    "utmconv: warning: No datum shift: results differ from a datum-shifted transfer by about "
    "150–250 m in Nepal\n";

// --- point and convert ------------------------------------------------------------

TEST(UtmconvLatLongDatum, PointShiftsGpsPositionsBothWays) {
    auto r = Utmconv({"point", "--ellipsoid", "everest", "--latlong-datum", "wgs84", "--cm", "84",
                      "--to-xy", "27.7", "85.3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto [x, y] = LastTwo(r.out, '\t');
    EXPECT_NEAR(x, 628431.102, 0.0005);
    EXPECT_NEAR(y, 3065289.567, 0.0005);

    r = Utmconv({"point", "--ellipsoid", "everest", "--latlong-datum", "wgs84", "--cm", "84",
                 "--to-latlong", "628431.102", "3065289.567"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto [lat, lon] = LastTwo(r.out, '\t');
    EXPECT_NEAR(lat, 27.7, 5e-8);
    EXPECT_NEAR(lon, 85.3, 5e-8);

    // everest, the default, gives the Parts' numbers.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"point", "--ellipsoid", "everest", "--latlong-datum", "everest",
                                   "--cm", "84", "--to-xy", "27.7", "85.3"},
          std::vector<std::string>{"point", "--ellipsoid", "everest", "--cm", "84", "--to-xy",
                                   "27.7", "85.3"}}) {
        r = Utmconv(args);
        EXPECT_EQ(r.out, "628198.19317284\t3065307.73239086\n");
    }
}

TEST(UtmconvLatLongDatum, PointOnTheWgs84GridTakesNepal1981LatLongAcross) {
    // A WGS84 grid keeps its own datum by default (no shift) ...
    auto plain =
        Utmconv({"point", "--ellipsoid", "wgs84", "--cm", "87", "--to-xy", "27.7", "85.3"});
    auto own = Utmconv({"point", "--ellipsoid", "wgs84", "--latlong-datum", "wgs84", "--cm", "87",
                        "--to-xy", "27.7", "85.3"});
    EXPECT_EQ(plain.out, "332377.022737274\t3065126.71761273\n");
    EXPECT_EQ(own.out, plain.out);
    // ... and Nepal 1981 latitude/longitude is shifted onto it: the Nepal 1981
    // position of the GPS point lands where the GPS point does, to a millimetre.
    auto across = Utmconv({"point", "--ellipsoid", "wgs84", "--latlong-datum", "everest", "--cm",
                           "87", "--to-xy", "27.699813895", "85.302359383"});
    ASSERT_EQ(across.status, 0) << across.err;
    const auto [x, y] = LastTwo(across.out, '\t');
    EXPECT_NEAR(x, 332377.0227, 0.002);
    EXPECT_NEAR(y, 3065126.7176, 0.002);
}

TEST(UtmconvLatLongDatum, ConvertFollowsTheDatumAndBadNamesAreRefused) {
    utm::test::TempFolder folder;
    const std::string data = folder.Write("gps.csv", "27.7,85.3\r\n");
    auto r =
        Utmconv({"convert", "--to-xy", "--latlong-datum", "wgs84", data, folder.File("xy.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(folder.File("xy.txt")),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27.7\t85.3\t628431.102\t3065289.567\r\n");
    const std::string grid = folder.Write("grid.csv", "628431.102,3065289.567\r\n");
    r = Utmconv(
        {"convert", "--to-latlong", "--latlong-datum", "wgs84", grid, folder.File("ll.txt")});
    EXPECT_EQ(ReadWholeFile(folder.File("ll.txt")),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "628431.102\t3065289.567\t27.7\t85.3\r\n");
    r = Utmconv({"convert", "--to-xy", data, folder.File("parts.txt")});
    EXPECT_EQ(ReadWholeFile(folder.File("parts.txt")),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27.7\t85.3\t628198.193\t3065307.732\r\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"convert", "--to-xy", "--latlong-datum", "gps", data,
                                   folder.File("bad.txt")},
          std::vector<std::string>{"point", "--ellipsoid", "everest", "--latlong-datum", "nad27",
                                   "--cm", "84", "--to-xy", "27.7", "85.3"}}) {
        r = Utmconv(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("--latlong-datum"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    EXPECT_EQ(folder.Entries(), (Names{"gps.csv", "grid.csv", "xy.txt", "ll.txt", "parts.txt"}));
}

// --- transfer -----------------------------------------------------------------------

class UtmconvDatumFiles : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        return folder_.Write(name, bytes);
    }
    std::string Read(const std::string& name) const { return ReadWholeFile(Path(name)); }

    utm::test::TempFolder folder_;
};

/// The GPS point WGS 84 27.7°, 85.3° on WGS84 UTM zone 45.
constexpr const char* kGpsOnZone45 = "332377.022737274,3065126.71761273\r\n";

TEST_F(UtmconvDatumFiles, TransferWithEpsg6208AndTheReverseKinds) {
    Write("gps.csv", kGpsOnZone45);
    auto r = Utmconv({"transfer", "--kind", "3", "--datum-shift", "epsg6208", Path("gps.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto [x, y] = LastTwo(Read("gpsOut.csv"), ',');
    EXPECT_NEAR(x, 628431.102, 0.001);
    EXPECT_NEAR(y, 3065289.567, 0.001);

    // Without a shift: the Parts' result, and the warning the window shows.
    r = Utmconv({"transfer", "--kind", "3", Path("gps.csv"), "--output", Path("plain.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, kNoShiftWarning);
    std::tie(x, y) = LastTwo(Read("plain.csv"), ',');
    EXPECT_NEAR(x, 628198.193, 0.001);
    EXPECT_NEAR(y, 3065307.732, 0.001);

    // The reverse, by position and by caption, gives the GPS point back.
    Write("ev.csv", "628431.102,3065289.567\r\n");
    for (const char* kind : {"7", "Everest-84 to WGS84-45"}) {
        r = Utmconv({"transfer", "--kind", kind, "--datum-shift", "EPSG6208", Path("ev.csv"),
                     "--output", Path("back.csv")});
        ASSERT_EQ(r.status, 0) << r.err;
        std::tie(x, y) = LastTwo(Read("back.csv"), ',');
        EXPECT_NEAR(x, 332377.0227, 0.003);
        EXPECT_NEAR(y, 3065126.7176, 0.003);
    }
    r = Utmconv({"transfer", "--kind", "Everest-84 to WGS84-44", Path("ev.csv"), "--output",
                 Path("z44.csv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, kNoShiftWarning);
}

TEST_F(UtmconvDatumFiles, SevenParametersInBothConventions) {
    Write("gps.csv", kGpsOnZone45);
    Utmconv({"transfer", "--kind", "3", "--datum-shift", "epsg6208", Path("gps.csv"), "--output",
             Path("epsg.csv")});
    // EPSG:6208's translation as seven parameters: the same bytes.
    auto r = Utmconv({"transfer", "--kind", "3", "--datum-shift",
                      "helmert-pv:293.17,726.18,245.36,0,0,0,0", Path("gps.csv"), "--output",
                      Path("pv.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read("pv.csv"), Read("epsg.csv"));
    r = Utmconv({"transfer", "--kind", "3", "--datum-shift",
                 "helmert-cf: 293.17, 726.18, 245.36, 0, 0, 0, 0", Path("gps.csv"), "--output",
                 Path("cf.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read("cf.csv"), Read("epsg.csv"));
    // With rotations the conventions differ.
    Utmconv({"transfer", "--kind", "3", "--datum-shift", "helmert-pv:293,726,245,1,2,3,0.5",
             Path("gps.csv"), "--output", Path("pv2.csv")});
    Utmconv({"transfer", "--kind", "3", "--datum-shift", "helmert-cf:293,726,245,1,2,3,0.5",
             Path("gps.csv"), "--output", Path("cf2.csv")});
    EXPECT_NE(Read("pv2.csv"), Read("cf2.csv"));
}

TEST_F(UtmconvDatumFiles, BadShiftsAndSystemsGiveOneLineStatus2AndWriteNothing) {
    Write("gps.csv", kGpsOnZone45);
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::string gps = Path("gps.csv");
    const std::string out = Path("out.csv");
    const Case cases[] = {
        {{"transfer", "--kind", "3", "--datum-shift", "helmert-pv:293,726,245,0,0,0,abc", gps},
         "value 7 (S) \"abc\" is not a number"},
        {{"transfer", "--kind", "3", "--datum-shift", "helmert-cf:293,726,245,0,0,0", gps},
         "6 values given, 7 expected"},
        {{"transfer", "--kind", "3", "--datum-shift", "wgs84", gps}, "unknown datum shift"},
        {{"transfer", "--kind", "3", "--datum-shift", "epsg6208:1", gps}, "takes no values"},
        {{"transfer", "--kind", "8", gps}, "give 0 to 7"},
        {{"transform", "--from", "latlong", "--to", "everest84", gps, out},
         "--from: unknown coordinate system \"latlong\""},
        {{"transform", "--from", "latlong-wgs84", "--to", "utm45", gps, out},
         "--to: unknown coordinate system \"utm45\""},
        {{"transform", "--from", "latlong-wgs84", "--to", "everest84", "--datum-shift", "7", gps,
          out},
         "unknown datum shift"},
        {{"transform", "--from", "latlong-wgs84", "--to", "everest84", gps}, "OUTFILE"},
        {{"transform", "--to", "everest84", gps, out}, "--from"},
        {{"transform", "--from", "wgs84-45", "--to", "everest84", Path("missing.csv"), out},
         "There is no data file"},
    };
    for (const Case& c : cases) {
        const ProcessResult r = Utmconv(c.args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(folder_.Entries(), Names{"gps.csv"}) << c.says;
    }
}

// --- transform -----------------------------------------------------------------------

TEST_F(UtmconvDatumFiles, TransformTakesTheGpsPointToTheGridAndBack) {
    Write("gps.csv", "27.7,85.3\r\n");
    auto r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "everest84", "--datum-shift",
                      "epsg6208", Path("gps.csv"), Path("xy.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string xy = Read("xy.csv");
    EXPECT_EQ(xy.rfind("27.7,85.3,628431.102", 0), 0u) << xy;
    auto [x, y] = LastTwo(xy, ',');
    EXPECT_NEAR(x, 628431.102, 0.0005);
    EXPECT_NEAR(y, 3065289.567, 0.0005);

    // Back, from a tab-separated file: the result in the transfer's text format.
    Write("xy.txt", "628431.102\t3065289.567\r\n");
    r = Utmconv({"transform", "--from", "everest84", "--to", "latlong-wgs84", "--datum-shift",
                 "epsg6208", Path("xy.txt"), Path("ll.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string ll = Read("ll.txt");
    ASSERT_EQ(ll.rfind(" 628431.102  3065289.567  27.", 0), 0u) << ll;
    EXPECT_NEAR(std::stod(ll.substr(ll.find("  27.") + 2)), 27.7, 5e-8);
    EXPECT_NEAR(std::stod(ll.substr(ll.find("  85.") + 2)), 85.3, 5e-8);

    // Without a shift: the pure re-projection, with the warning.
    r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "everest84", Path("gps.csv"),
                 Path("plain.csv")});
    EXPECT_EQ(r.err, kNoShiftWarning);
    EXPECT_EQ(Read("plain.csv"), "27.7,85.3,628198.19317284,3065307.73239086\r\n");
}

TEST_F(UtmconvDatumFiles, TransformIsTransferForTheKindsGridsAndWarnsAboutUselessShifts) {
    Write("pts.csv", "426207.01,3206261.5\r\n332377.022737274,3065126.71761273\r\n");
    const struct {
        const char* kind;
        const char* from;
        const char* to;
    } pairs[] = {{"0", "everest81", "everest84"},
                 {"3", "wgs84-45", "everest84"},
                 {"6", "everest84", "wgs84-44"}};
    for (const auto& p : pairs) {
        for (const char* shift : {"none", "epsg6208"}) {
            Utmconv({"transfer", "--kind", p.kind, "--datum-shift", shift, Path("pts.csv"),
                     "--output", Path("k.csv")});
            Utmconv({"transform", "--from", p.from, "--to", p.to, "--datum-shift", shift,
                     Path("pts.csv"), Path("t.csv")});
            EXPECT_EQ(Read("k.csv"), Read("t.csv")) << p.kind << " " << shift;
        }
    }
    // Kind 0 of the Parts, byte for byte (its worked example, 15 digits).
    EXPECT_EQ(Read("k.csv").empty(), false);
    auto r = Utmconv({"transfer", "--kind", "0", Path("pts.csv"), "--output", Path("zero.csv")});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Read("zero.csv").rfind("426207.01,3206261.5,133754.5409", 0), 0u);
    // A shift given for a path on one datum changes nothing, and says so.
    r = Utmconv({"transform", "--from", "everest81", "--to", "latlong-everest", "--datum-shift",
                 "epsg6208", Path("pts.csv"), Path("same.csv")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "utmconv: warning: the datum shift epsg6208 does not act on everest81 to "
              "latlong-everest, which stays on one datum\n");
}

TEST_F(UtmconvDatumFiles, TransformFindingsAndStrict) {
    Write("ll.csv", "27.7,85.3\r\n95,85\r\nlat,lon\r\n");
    auto r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "latlong-everest",
                      "--datum-shift", "epsg6208", Path("ll.csv"), Path("r.csv")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("(line 3) are not numbers"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(line 2) has a latitude outside -90 to 90"), std::string::npos) << r.err;
    // The Nepal 1981 latitude/longitude of the GPS point.
    const std::string first = Read("r.csv").substr(0, Read("r.csv").find('\r'));
    const auto [lat, lon] = LastTwo(first, ',');
    EXPECT_NEAR(lat, 27.699813895, 1e-9);
    EXPECT_NEAR(lon, 85.302359383, 1e-9);

    r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "everest84", "--strict",
                 Path("ll.csv"), Path("s.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Line 2 of the data file"), std::string::npos) << r.err;
    EXPECT_EQ(folder_.Entries(), (Names{"ll.csv", "r.csv"}));
}

}  // namespace
