// utmconv transfer end to end: result bytes, output paths, and failures that
// leave nothing behind.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ReadWholeFile;

class UtmconvTransfer : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }
    void Write(const std::string& name, const std::string& bytes) const {
        folder_.Write(name, bytes);
    }
    utm::test::ProcessResult Transfer(std::vector<std::string> args) const {
        args.insert(args.begin(), "transfer");
        return utm::test::RunProcess(UTMCONV_PATH, args);
    }

    utm::test::TempFolder folder_;
};

TEST_F(UtmconvTransfer, KindByPositionOrCaptionAndOutputPath) {
    Write("pts.csv", "426207.01,3206261.5\r\nX,Y\n");
    const auto byPosition = Transfer({"--kind", "0", Path("pts.csv")});
    EXPECT_EQ(byPosition.status, 1) << byPosition.err;
    EXPECT_EQ(byPosition.out, "");
    // A line of names after the points holds no point: marked, and the
    // person is told which line that was.
    EXPECT_NE(byPosition.err.find("utmconv: warning: 1 row in the data file \"" + Path("pts.csv") +
                                  "\" (line 2) holds no number"),
              std::string::npos)
        << byPosition.err;
    const std::string bytes = ReadWholeFile(Path("ptsOut.csv"));
    // 133754.5409 and 3211848.1481 with all 15 digits, then the names with *.
    ASSERT_EQ(bytes.rfind("426207.01,3206261.5,133754.5409", 0), 0u) << bytes;
    const std::size_t comma = bytes.find(',', 31);
    EXPECT_NEAR(std::stod(bytes.substr(comma + 1)), 3211848.1481, 1e-4);
    EXPECT_NE(bytes.find("\r\nX,Y,*,*\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    const auto byCaption =
        Transfer({"--kind", "Everest-81 to Everest-84", Path("pts.csv"), "--output", Path("r.x")});
    EXPECT_EQ(byCaption.status, 1) << byCaption.err;
    EXPECT_EQ(ReadWholeFile(Path("r.x")), bytes);
}

TEST_F(UtmconvTransfer, FailuresGiveOneLineStatus2AndLeaveNothing) {
    Write("pts.csv", "426207.01,3206261.5\r\n");
    Write("empty.csv", "");
    Write("bad.csv", "1,2\r\n1e300,0\r\n");
    const std::vector<std::vector<std::string>> cases{
        {"--kind", "8", Path("pts.csv")},
        {"--kind", "-1", Path("pts.csv")},
        {"--kind", "everest-81 to everest-84", Path("pts.csv")},
        {Path("pts.csv")},
        {"--kind", "0"},
        {"--kind", "0", Path("missing.csv")},
        {"--kind", "0", Path("empty.csv")},
        {"--kind", "0", "--on-error", "stop", Path("bad.csv")},
        {"--kind", "0", Path("pts.csv"), "--output", Path("no/such/folder/out.csv")},
    };
    for (const auto& args : cases) {
        const auto r = Transfer(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(!r.err.empty() && r.err.find('\n') == r.err.size() - 1) << r.err;
        EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"bad.csv", "empty.csv", "pts.csv"}));
    }
    EXPECT_NE(Transfer({"--kind", "0", "--on-error", "stop", Path("bad.csv")}).err.find("Line 2"),
              std::string::npos);
}

}  // namespace
