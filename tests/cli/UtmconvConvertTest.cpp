// utmconv convert end to end: output bytes, exit status, nothing left on error.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::RunProcess;
using utm::test::TempFolder;

const char* const kHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n";

utm::test::ProcessResult Convert(const std::vector<std::string>& args) {
    std::vector<std::string> all{"convert"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(UTMCONV_PATH, all);
}

void ExpectOneLineError(const utm::test::ProcessResult& r) {
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST(UtmconvConvert, WritesTheBatchOutputOfTheDesktopProgram) {
    TempFolder folder;
    const std::string data = folder.Write("points.csv", "27.7,85.3\r\n27.5,84\r\n28,86\r\n");
    const std::string out = folder.File("out.txt");
    auto r = Convert({"--to-xy", data, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(utm::test::ReadWholeFile(out), std::string(kHeader) +
                                                 "27.7\t85.3\t628198.193\t3065307.732\r\n"
                                                 "27.5\t84\t500000\t3042473.351\r\n"
                                                 "28\t86\t696698.79\t3099482.324\r\n");
    // The central meridian defaults to 84.
    EXPECT_EQ(Convert({"--cm", "84", "--to-xy", data, folder.File("cm84.txt")}).status, 0);
    EXPECT_EQ(utm::test::ReadWholeFile(folder.File("cm84.txt")), utm::test::ReadWholeFile(out));
}

TEST(UtmconvConvert, InverseAndFullPrecision) {
    TempFolder folder;
    const std::string data = folder.Write("xy.csv", "628198.193,3065307.732\n");
    const std::string out = folder.File("out.txt");
    ASSERT_EQ(Convert({"--to-latlong", data, out}).status, 0);
    EXPECT_EQ(utm::test::ReadWholeFile(out),
              std::string(kHeader) + "628198.193\t3065307.732\t27.7\t85.3\r\n");

    const std::string latlong = folder.Write("ll.csv", "27.7,85.3\r\n");
    ASSERT_EQ(Convert({"--to-xy", "--full-precision", latlong, out}).status, 0);
    EXPECT_EQ(utm::test::ReadWholeFile(out),
              std::string(kHeader) + "27.7\t85.3\t628198.19317284\t3065307.73239086\r\n");
}

TEST(UtmconvConvert, BadArgumentsFailWithoutWritingAnything) {
    TempFolder folder;
    const std::string data = folder.Write("points.csv", "27.7,85.3\r\n");
    const std::string out = folder.File("out.txt");
    const std::vector<std::vector<std::string>> cases{
        {data, out},                                      // no direction
        {"--to-xy", "--to-latlong", data, out},           // both directions
        {"--cm", "east", "--to-xy", data, out},           // central meridian not a number
        {"--to-xy", data},                                // no output file
        {"--to-xy", folder.File("missing.csv"), out},     // data file missing
        {"--to-xy", folder.Write("empty.csv", ""), out},  // no point
        {"--to-xy", data, folder.File("no-folder/out.txt")},
        {"--to-xy", "--precision", data, out},
    };
    for (const auto& args : cases) {
        ExpectOneLineError(Convert(args));
    }
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"points.csv", "empty.csv"}));
}

TEST(UtmconvConvert, RefusesToWriteOverTheDataFile) {
    TempFolder folder;
    const std::string bytes = "27.7,85.3\r\n";
    const std::string data = folder.Write("points.csv", bytes);
    auto r = Convert({"--to-xy", data, data});
    ExpectOneLineError(r);
    EXPECT_NE(r.err.find("data file"), std::string::npos) << r.err;
    // The same file under another spelling is refused as well.
    ExpectOneLineError(Convert({"--to-xy", data, folder.Path() + "/./points.csv"}));
    EXPECT_EQ(utm::test::ReadWholeFile(data), bytes);
}

TEST(UtmconvConvert, AFailedRunKeepsThePreviousOutput) {
    TempFolder folder;
    const std::string data = folder.Write("xy.csv", "500000,3000000\r\n1e300,0\r\n");
    const std::string out = folder.Write("out.txt", "previous");
    auto r = Convert({"--to-latlong", "--on-error", "stop", data, out});
    ExpectOneLineError(r);
    EXPECT_NE(r.err.find("Line 2"), std::string::npos) << r.err;
    EXPECT_EQ(utm::test::ReadWholeFile(out), "previous");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"xy.csv", "out.txt"}));
}

TEST(UtmconvConvert, UnitsRoundLatitudesAndLongitudesToEightDecimals) {
    TempFolder folder;
    const std::string data = folder.Write("xy.csv", "628198.1932,3065307.7324\n500000,3000000\n");
    const std::string deg3 = std::string(kHeader) +
                             "628198.1932\t3065307.7324\t27.7\t85.3\r\n"
                             "500000\t3000000\t27.117\t84\r\n";
    const std::string deg8 = std::string(kHeader) +
                             "628198.1932\t3065307.7324\t27.7\t85.3\r\n"
                             "500000\t3000000\t27.11662043\t84\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"deg3", deg3}, {"deg8", deg8}, {"dms", deg8}};
    for (const auto& [units, bytes] : cases) {
        const std::string out = folder.File(units + ".txt");
        auto r = Convert({"--to-latlong", "--units", units, data, out});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(utm::test::ReadWholeFile(out), bytes) << units;
    }
    ASSERT_EQ(Convert({"--to-latlong", data, folder.File("default.txt")}).status, 0);
    EXPECT_EQ(utm::test::ReadWholeFile(folder.File("default.txt")), deg3);
    // Metres keep three decimals.
    const std::string latlong = folder.Write("ll.csv", "27.7,85.3\r\n");
    ASSERT_EQ(Convert({"--to-xy", "--units", "deg8", latlong, folder.File("xy.txt")}).status, 0);
    EXPECT_EQ(utm::test::ReadWholeFile(folder.File("xy.txt")),
              std::string(kHeader) + "27.7\t85.3\t628198.193\t3065307.732\r\n");
    // Units and full precision exclude each other; an unknown unit is refused.
    ExpectOneLineError(
        Convert({"--to-latlong", "--units", "deg8", "--full-precision", data, folder.File("x")}));
    ExpectOneLineError(Convert({"--to-latlong", "--units", "rad", data, folder.File("y")}));
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"xy.csv", "ll.csv", "deg3.txt", "deg8.txt",
                                                       "dms.txt", "default.txt", "xy.txt"}));
}

}  // namespace
