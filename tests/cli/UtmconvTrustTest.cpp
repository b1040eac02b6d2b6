// What a surveyor's real files bring, end to end through utmconv: byte-order
// marks, UTF-16, headers, odd separators, links and read-only targets. Each
// gives a clear message and exit 2 with nothing written, or the result with a
// warning on stderr naming the lines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using utm::test::ReadWholeFile;
using utm::test::RunProcess;
using utm::test::TempFolder;
using Names = std::set<std::string>;

const char* const kHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n";

ProcessResult Utmconv(const std::vector<std::string>& args) {
    return RunProcess(UTMCONV_PATH, args);
}

void ExpectRefused(const ProcessResult& r, const std::string& part) {
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST(UtmconvReading, AByteOrderMarkIsSkipped) {
    TempFolder folder;
    const std::string data = folder.Write("bom.csv",
                                          "\xef\xbb\xbf"
                                          "27.7,85.3\r\n");
    const auto r = Utmconv({"convert", "--to-xy", data, folder.File("out.txt")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadWholeFile(folder.File("out.txt")),
              std::string(kHeader) + "27.7\t85.3\t628198.193\t3065307.732\r\n");

    folder.Write("bom.txt",
                 "\xef\xbb\xbf"
                 "426207.01\t3206261.5\r\n");
    const auto t = Utmconv({"transfer", "--kind", "0", folder.File("bom.txt")});
    EXPECT_EQ(t.status, 0) << t.err;
    EXPECT_EQ(
        ReadWholeFile(folder.File("bomOut.txt")).rfind(" 426207.01  3206261.5  133754.5409", 0),
        0u);
}

TEST(UtmconvReading, Utf16NulBytesAndEndlessLinesAreNoDataFile) {
    TempFolder folder;
    const std::string utf16 = folder.Write("u16.csv", std::string("\xff\xfe"
                                                                  "2\0"
                                                                  "7\0"
                                                                  ".\0"
                                                                  "7\0"
                                                                  ",\0"
                                                                  "8\0"
                                                                  "5\0",
                                                                  16));
    const std::string bare = folder.Write("bare.csv", std::string("2\0"
                                                                  "8\0"
                                                                  ",\0"
                                                                  "8\0",
                                                                  8));
    for (const std::string& data : {utf16, bare, std::string("/dev/zero")}) {
        ExpectRefused(Utmconv({"convert", "--to-xy", data, folder.File("out.txt")}),
                      "\"" + data + "\" is not a text file of numbers");
    }
    ExpectRefused(Utmconv({"transfer", "--kind", "0", utf16, "--output", folder.File("r.csv")}),
                  "is not a text file of numbers");
    EXPECT_EQ(folder.Entries(), (Names{"u16.csv", "bare.csv"}));
}

TEST(UtmconvReading, FieldsTakenAsZeroAreCountedAndStrictRefusesThem) {
    TempFolder folder;
    const std::string data = folder.Write(
        "odd.csv",
        "Lat,Long\r\n27.5;84\r\n28 86\r\nnan,1e400\r\n0x1p3,27\r\n27.7,85.3,\r\n28,86\r\n");
    const std::string out = folder.File("out.txt");
    const auto r = Utmconv({"convert", "--to-xy", data, out});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("1 field in the data file \"" + data +
                         "\" (line 5) is not a number: it was taken as 0."),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("3 rows in the data file \"" + data +
                         "\" (lines 2, 3, 4) hold no number in a coordinate column: written "
                         "with * as results."),
              std::string::npos)
        << r.err;
    // Rows stay aligned with the data file: the header row takes the result
    // names, rows without a point get *, the trailing comma's empty field is kept.
    EXPECT_EQ(ReadWholeFile(out),
              "Lat\tLong\tEasting(X)\tNorthing(Y)\r\n"
              "27.5;84\t*\t*\r\n"
              "28 86\t*\t*\r\n"
              "nan\t1e400\t*\t*\r\n"
              "0\t27\t-7160861.265\t0\r\n"
              "27.7\t85.3\t\t628198.193\t3065307.732\r\n"
              "28\t86\t696698.79\t3099482.324\r\n");

    ExpectRefused(Utmconv({"convert", "--strict", "--to-xy", data, folder.File("strict.txt")}),
                  "Line 2 of the data file \"" + data +
                      "\": the row \"27.5;84\" holds no number in column 2.");
    folder.Write("pts.csv", "426207.01,3206261.5\r\n426207.01;3206261.5\r\n");
    ExpectRefused(Utmconv({"transfer", "--strict", "--kind", "0", folder.File("pts.csv")}),
                  "Line 2 of the data file");
    EXPECT_EQ(folder.Entries(), (Names{"odd.csv", "out.txt", "pts.csv"}));
}

TEST(UtmconvReading, LatitudesBeyondThePolesAreToldOrRefused) {
    TempFolder folder;
    const std::string data = folder.Write("lat.csv", "27.7,85.3\r\n1000,85\r\n");
    const auto r = Utmconv({"convert", "--to-xy", data, folder.File("out.txt")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("1 point in the data file \"" + data +
                         "\" (line 2) has a latitude outside -90 to 90 degrees"),
              std::string::npos)
        << r.err;
    ExpectRefused(Utmconv({"convert", "--strict", "--to-xy", data, folder.File("s.txt")}),
                  "Line 2 of the data file \"" + data + "\": the latitude 1000 lies outside");
    const std::string xy = folder.Write("xy.csv", "500000,1e9\r\n");
    const auto inverse = Utmconv({"convert", "--to-latlong", xy, folder.File("xy.txt")});
    EXPECT_NE(inverse.err.find("(line 1) has a latitude outside"), std::string::npos)
        << inverse.err;

    ExpectRefused(
        Utmconv({"point", "--ellipsoid", "everest", "--cm", "84", "--to-xy", "1000", "85"}),
        "the latitude 1000 lies outside -90 to 90 degrees");
    ExpectRefused(
        Utmconv({"point", "--ellipsoid", "everest", "--cm", "84", "--to-latlong", "500000", "1e9"}),
        "beyond the pole");
}

TEST(UtmconvReading, PointsFarFromTheCentralMeridianAreWarnedAbout) {
    TempFolder folder;
    const std::string data = folder.Write("far.csv", "27.7,85.3\r\n27.7,91\r\n");
    const auto r = Utmconv({"convert", "--to-xy", data, folder.File("out.txt")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("(line 2) lies more than 655 km east or west of the central meridian"),
              std::string::npos)
        << r.err;
    const auto point =
        Utmconv({"point", "--ellipsoid", "everest", "--cm", "84", "--to-latlong", "200000", "3e6"});
    EXPECT_EQ(point.status, 0);
    EXPECT_NE(point.err.find("more than 268 km"), std::string::npos) << point.err;
    EXPECT_NE(point.out.find('\t'), std::string::npos);
}

TEST(UtmconvWriting, TheDataFileIsNeverReplacedByAnyName) {
    TempFolder folder;
    const std::string bytes = "426207.01,3206261.5\r\n";
    const std::string data = folder.Write("pts.csv", bytes);
    ExpectRefused(Utmconv({"transfer", "--kind", "0", data, "--output", data}),
                  "is the data file itself");
    ExpectRefused(
        Utmconv({"transfer", "--kind", "0", data, "--output", folder.Path() + "/./pts.csv"}),
        "is the data file itself");
    ASSERT_EQ(::symlink("pts.csv", folder.File("ptsOut.csv").c_str()), 0);
    ExpectRefused(Utmconv({"transfer", "--kind", "0", data}), "is the data file itself");
    ASSERT_EQ(::link(data.c_str(), folder.File("hard.txt").c_str()), 0);
    ExpectRefused(Utmconv({"convert", "--to-xy", data, folder.File("hard.txt")}),
                  "is the data file itself");
    EXPECT_EQ(ReadWholeFile(data), bytes);
    EXPECT_EQ(folder.Entries(), (Names{"pts.csv", "ptsOut.csv", "hard.txt"}));
}

TEST(UtmconvWriting, TheResultStaysInTheDataFilesFolder) {
    TempFolder folder;
    ::mkdir(folder.File("proj").c_str(), 0755);
    ::mkdir(folder.File("proj/x").c_str(), 0755);
    const std::string guard = folder.Write("proj/xOut.txt", "not to be touched");
    folder.Write("proj/x/abc", "426207.01\t3206261.5\r\n");
    const auto r = Utmconv({"transfer", "--kind", "0", folder.File("proj/x/abc")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(guard), "not to be touched");
    EXPECT_EQ(ReadWholeFile(folder.File("proj/x/abcOut.txt")).rfind(" 426207.01", 0), 0u);
    ExpectRefused(Utmconv({"transfer", "--kind", "0", folder.Path() + "/"}), "");
}

TEST(UtmconvWriting, AReadOnlyTargetIsRefused) {
    TempFolder folder;
    const std::string data = folder.Write("pts.csv", "27.7,85.3\r\n");
    const std::string out = folder.Write("out.txt", "keep");
    ::chmod(out.c_str(), 0444);
    ExpectRefused(Utmconv({"convert", "--to-xy", data, out}), "is read-only for you");
    const std::string result = folder.Write("ptsOut.csv", "keep");
    ::chmod(result.c_str(), 0444);
    ExpectRefused(Utmconv({"transfer", "--kind", "0", data}), "is read-only for you");
    EXPECT_EQ(ReadWholeFile(out), "keep");
    EXPECT_EQ(ReadWholeFile(result), "keep");
    EXPECT_EQ(folder.Entries(), (Names{"pts.csv", "out.txt", "ptsOut.csv"}));
}

}  // namespace
