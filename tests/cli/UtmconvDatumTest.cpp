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
using Args = std::vector<std::string>;

ProcessResult Utmconv(const Args& args) {
    return utm::test::RunProcess(UTMCONV_PATH, args);
}

/// The last two numbers of `text`, separated by `separator`.
std::pair<double, double> LastTwo(const std::string& text, char separator) {
    const std::size_t second = text.rfind(separator);
    const std::size_t first = text.rfind(separator, second - 1);
    const std::size_t start = first == std::string::npos ? 0 : first + 1;
    return {std::stod(text.substr(start, second - start)), std::stod(text.substr(second + 1))};
}

constexpr const char* kNoShiftWarning =
    "utmconv: warning: No datum shift: results differ from a datum-shifted transfer by "
    "163–275 m in Nepal\n";
/// The GPS point WGS 84 27.7°, 85.3° on WGS84 UTM zone 45.
constexpr const char* kGpsOnZone45 = "332377.022737274,3065126.71761273\r\n";

TEST(UtmconvDatum, PointAndConvertTakeGpsPositionsBothWays) {
    const Args point = {"point", "--ellipsoid", "everest", "--cm", "84"};
    auto with = [&point](Args more) {
        Args all = point;
        all.insert(all.end(), more.begin(), more.end());
        return Utmconv(all);
    };
    auto r = with({"--latlong-datum", "wgs84", "--to-xy", "27.7", "85.3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(LastTwo(r.out, '\t').first, 628431.102, 0.0005);
    EXPECT_NEAR(LastTwo(r.out, '\t').second, 3065289.567, 0.0005);
    r = with({"--latlong-datum", "wgs84", "--to-latlong", "628431.102", "3065289.567"});
    EXPECT_NEAR(LastTwo(r.out, '\t').first, 27.7, 5e-8);
    EXPECT_NEAR(LastTwo(r.out, '\t').second, 85.3, 5e-8);
    // Everest, the default, gives today's numbers; a WGS84 grid keeps its own datum.
    EXPECT_EQ(with({"--latlong-datum", "everest", "--to-xy", "27.7", "85.3"}).out,
              "628198.19317284\t3065307.73239086\n");
    EXPECT_EQ(
        Utmconv({"point", "--ellipsoid", "wgs84", "--cm", "87", "--to-xy", "27.7", "85.3"}).out,
        "332377.022737274\t3065126.71761273\n");
    // Nepal 1981 latitude/longitude goes across onto the WGS84 grid.
    r = Utmconv({"point", "--ellipsoid", "wgs84", "--latlong-datum", "everest", "--cm", "87",
                 "--to-xy", "27.699813895", "85.302359383"});
    EXPECT_NEAR(LastTwo(r.out, '\t').first, 332377.0227, 0.002);

    utm::test::TempFolder folder;
    folder.Write("gps.csv", "27.7,85.3\r\n");
    r = Utmconv({"convert", "--to-xy", "--latlong-datum", "wgs84", folder.File("gps.csv"),
                 folder.File("xy.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(folder.File("xy.txt")),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27.7\t85.3\t628431.102\t3065289.567\r\n");
    r = with({"--latlong-datum", "nad27", "--to-xy", "27.7", "85.3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--latlong-datum"), std::string::npos) << r.err;
}

class UtmconvDatumFiles : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }
    std::string Read(const std::string& name) const { return ReadWholeFile(Path(name)); }
    utm::test::TempFolder folder_;
};

TEST_F(UtmconvDatumFiles, TransferWithAShiftAndTheReverseKinds) {
    folder_.Write("gps.csv", kGpsOnZone45);
    auto r = Utmconv({"transfer", "--kind", "3", "--datum-shift", "epsg6208", Path("gps.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NEAR(LastTwo(Read("gpsOut.csv"), ',').first, 628431.102, 0.001);
    EXPECT_NEAR(LastTwo(Read("gpsOut.csv"), ',').second, 3065289.567, 0.001);
    // EPSG:6208's translation as seven parameters, in either convention: the same bytes.
    for (const char* shift : {"helmert-pv:293.17,726.18,245.36,0,0,0,0",
                              "helmert-cf: 293.17, 726.18, 245.36,0,0,0,0"}) {
        Utmconv({"transfer", "--kind", "3", "--datum-shift", shift, Path("gps.csv"), "--output",
                 Path("seven.csv")});
        EXPECT_EQ(Read("seven.csv"), Read("gpsOut.csv")) << shift;
    }
    // Without a shift: today's result, and the line the window shows.
    r = Utmconv({"transfer", "--kind", "3", Path("gps.csv"), "--output", Path("plain.csv")});
    EXPECT_EQ(r.err, kNoShiftWarning);
    EXPECT_NEAR(LastTwo(Read("plain.csv"), ',').first, 628198.193, 0.001);
    // The reverse, by position and by caption, gives the GPS point back.
    folder_.Write("ev.csv", "628431.102,3065289.567\r\n");
    for (const char* kind : {"7", "Everest-84 to WGS84-45"}) {
        r = Utmconv({"transfer", "--kind", kind, "--datum-shift", "EPSG6208", Path("ev.csv"),
                     "--output", Path("back.csv")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NEAR(LastTwo(Read("back.csv"), ',').first, 332377.0227, 0.003);
        EXPECT_NEAR(LastTwo(Read("back.csv"), ',').second, 3065126.7176, 0.003);
    }
}

TEST_F(UtmconvDatumFiles, TransformTakesTheGpsPointToTheGridAndBack) {
    folder_.Write("gps.csv", "27.7,85.3\r\n");
    auto r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "everest84", "--datum-shift",
                      "epsg6208", Path("gps.csv"), Path("xy.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Read("xy.csv").rfind("27.7,85.3,628431.102", 0), 0u) << Read("xy.csv");
    EXPECT_NEAR(LastTwo(Read("xy.csv"), ',').second, 3065289.567, 0.0005);
    folder_.Write("xy.txt", "628431.102\t3065289.567\r\n");  // tab-separated, text result
    r = Utmconv({"transform", "--from", "everest84", "--to", "latlong-wgs84", "--datum-shift",
                 "epsg6208", Path("xy.txt"), Path("ll.txt")});
    const std::string ll = Read("ll.txt");
    ASSERT_EQ(ll.rfind(" 628431.102  3065289.567  27.", 0), 0u) << ll;
    EXPECT_NEAR(std::stod(ll.substr(ll.find("  85.") + 2)), 85.3, 5e-8);
    // Without a shift: the pure re-projection, with the warning.
    r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "everest84", Path("gps.csv"),
                 Path("plain.csv")});
    EXPECT_EQ(r.err, kNoShiftWarning);
    EXPECT_EQ(Read("plain.csv"), "27.7,85.3,628198.19317284,3065307.73239086\r\n");
    // A shift on a path that stays on one datum changes nothing, and says so.
    r = Utmconv({"transform", "--from", "latlong-wgs84", "--to", "wgs84-45", "--datum-shift",
                 "epsg6208", Path("gps.csv"), Path("z45.csv")});
    EXPECT_EQ(r.err,
              "utmconv: warning: the datum shift epsg6208 does not act on latlong-wgs84 to "
              "wgs84-45, which stays on one datum\n");
    EXPECT_EQ(Read("z45.csv"), "27.7,85.3,332377.022737274,3065126.71761273\r\n");
}

TEST_F(UtmconvDatumFiles, BadShiftsAndSystemsGiveOneLineStatus2AndWriteNothing) {
    const std::string gps = folder_.Write("gps.csv", kGpsOnZone45);
    const std::string out = Path("out.csv");
    const struct {
        Args args;
        std::string says;
    } cases[] = {
        {{"transfer", "--kind", "3", "--datum-shift", "helmert-pv:293,726,245,0,0,0,abc", gps},
         "value 7 (S) \"abc\" is not a number"},
        {{"transfer", "--kind", "3", "--datum-shift", "helmert-cf:293,726,245,0,0,0", gps},
         "6 values given, 7 expected"},
        {{"transfer", "--kind", "3", "--datum-shift", "wgs84", gps}, "unknown datum shift"},
        {{"transfer", "--kind", "8", gps}, "give 0 to 7"},
        {{"transform", "--from", "latlong", "--to", "everest84", gps, out},
         "--from: unknown coordinate system \"latlong\""},
        {{"transform", "--from", "latlong-wgs84", "--to", "everest84", "--datum-shift", "7", gps,
          out},
         "unknown datum shift"},
        {{"transform", "--from", "latlong-wgs84", "--to", "everest84", gps}, "OUTFILE"},
        {{"transform", "--from", "wgs84-45", "--to", "everest84", Path("no.csv"), out},
         "There is no data file"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = Utmconv(c.args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(folder_.Entries(), std::set<std::string>{"gps.csv"}) << c.says;
    }
}

}  // namespace
