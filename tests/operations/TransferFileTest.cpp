// File transfers: modes, result names, exact result bytes, and failures that
// leave the previous result and no temporary file behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/BlockRunner.h"
#include "common/NumberFormat.h"
#include "geodesy/ClsUTM.h"
#include "operations/TransferFile.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using utm::DataFileMode;
using utm::FileTransferStatus;
using utm::ResultFilePath;
using Names = std::set<std::string>;

/// The line of the first worked example through kind 0, from the engine's values.
std::string WorkedExampleLine(char delimiter = ',') {
    double outX = 0, outY = 0;
    utm::ClsUTM().XYEverest81ToXYEverest84(426207.01, 3206261.5, outX, outY);
    EXPECT_NEAR(outX, 133754.5409, 1e-4);
    EXPECT_NEAR(outY, 3211848.1481, 1e-4);
    const std::string d(1, delimiter);
    return "426207.01" + d + "3206261.5" + d + utm::FormatGeneral(outX) + d +
           utm::FormatGeneral(outY) + "\r\n";
}

class TransferFileTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.File(name); }
    void Write(const std::string& name, const std::string& bytes) const {
        folder_.Write(name, bytes);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    /// The window's file transfer of `name` holding `bytes`.
    utm::FileTransferOutcome Run(const std::string& name, const std::string& bytes, int kind = 0,
                                 char decimalSeparator = '.') {
        Write(name, bytes);
        return utm::TransferDataFile(Path(name), kind, decimalSeparator, messages_);
    }
    /// The folder's names: no temporary file may stay behind.
    Names Entries() const { return folder_.Entries(); }

    utm::test::TempFolder folder_;
    utm::test::ScriptedMessageBox messages_;
};

TEST(ResultFileNames, ModeAndResultNameFollowThePath) {
    EXPECT_EQ(ResultFilePath("D:\\survey\\pts.csv"), "D:\\survey\\ptsOut.csv");
    EXPECT_EQ(ResultFilePath("/data/PTS.CSV"), "/data/PTSOut.csv");
    EXPECT_EQ(ResultFilePath("/data/pts.Csv"), "/data/ptsOut.csv");
    EXPECT_EQ(ResultFilePath("D:\\survey\\pts.txt"), "D:\\survey\\ptsOut.txt");
    EXPECT_EQ(ResultFilePath("D:\\survey\\pts.dat"), "D:\\survey\\ptsOut.txt");
    EXPECT_EQ(ResultFilePath(".csv"), "Out.csv");
    EXPECT_EQ(ResultFilePath("/data/pts.€€x"), "/data/ptsOut.txt");  // characters, not bytes
    // A name without a dot and three characters keeps all of itself, in its own folder.
    EXPECT_EQ(ResultFilePath("/data/points"), "/data/pointsOut.txt");
    EXPECT_EQ(ResultFilePath("proj/x/abc"), "proj/x/abcOut.txt");
    EXPECT_EQ(ResultFilePath("/dev/stdin"), "/dev/stdinOut.txt");
    EXPECT_EQ(ResultFilePath("a.c"), "a.cOut.txt");
    EXPECT_EQ(ResultFilePath("€€€"), "€€€Out.txt");
    EXPECT_EQ(ResultFilePath("pts.tar.gz"), "pts.tar.gzOut.txt");
    EXPECT_EQ(ResultFilePath("x/y.csv/abcd"), "x/y.csv/abcdOut.txt");
    // A GIS file's result keeps its ending, of any length.
    EXPECT_EQ(ResultFilePath("/data/parcels.shp"), "/data/parcelsOut.shp");
    EXPECT_EQ(ResultFilePath("plan.v2.GeoJSON"), "plan.v2Out.GeoJSON");
    EXPECT_EQ(ResultFilePath("x/.gpkg"), "x/Out.gpkg");
    // Nothing that would leave the folder or name no file.
    EXPECT_EQ(ResultFilePath(""), std::nullopt);
    EXPECT_EQ(ResultFilePath("proj/x/"), std::nullopt);
    EXPECT_EQ(ResultFilePath("proj/.."), std::nullopt);
    EXPECT_EQ(ResultFilePath("."), std::nullopt);
    EXPECT_EQ(utm::ModeOfPath("/data/ptscsv"), DataFileMode::Csv);
    EXPECT_EQ(utm::ModeOfPath("sv"), DataFileMode::Text);
}

TEST_F(TransferFileTest, CsvResultBytes) {
    // The worked example, then a replaced result file.
    Write("ptsOut.csv", "an older and longer result file\r\n");
    const auto outcome = Run("pts.csv", "426207.01,3206261.5\r\n");
    EXPECT_EQ(outcome.status, FileTransferStatus::Written);
    EXPECT_EQ(outcome.resultPath, Path("ptsOut.csv"));
    EXPECT_EQ(Read("ptsOut.csv"), WorkedExampleLine());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(Entries(), (Names{"pts.csv", "ptsOut.csv"}));

    // Heading (with the result names), three fields (all kept), one field
    // and a bad field (no point: *), an empty line (kept); nothing selected.
    Run("PTS.CSV", "X,Y\r\n1,2,3\n512345.25\r\r\n512345.25,abc", utm::kNoTransferKind);
    EXPECT_EQ(
        Read("PTSOut.csv"),
        "X,Y,Easting(X),Northing(Y)\r\n1,2,3,,\r\n512345.25,*,*\r\n\r\n512345.25,abc,*,*\r\n");

    // Numbers are written in plain decimal notation at every magnitude.
    Run("tiny.csv", "0.0000000000000001,-2E+20\r\n", utm::kNoTransferKind);
    EXPECT_EQ(Read("tinyOut.csv"), "0.0000000000000001,-200000000000000000000,,\r\n");
    Run("tiny.txt", "1e-16\t2e20\r\n", utm::kNoTransferKind);
    EXPECT_EQ(Read("tinyOut.txt"), " 0.0000000000000001  200000000000000000000 \r\n");

    // CSV files read and write "." whatever the locale's separator.
    Run("loc.csv", "1.5,-2.25\r\n", utm::kNoTransferKind, ',');
    EXPECT_EQ(Read("locOut.csv"), "1.5,-2.25,,\r\n");
}

TEST_F(TransferFileTest, TextResultBytes) {
    Run("pts.dat", "-159257.4079\t3225204.508\r\n1,2\r\n0.5\t-0\r\n", utm::kNoTransferKind);
    EXPECT_EQ(Read("ptsOut.txt"), "-159257.4079  3225204.508 \r\n 1,2  *  * \r\n 0.5  0 \r\n");

    // The locale's separator is read and written.
    Run("pts.txt", "-159257,4079\t3225204,508\r\n", 3, ',');
    double outX = 0, outY = 0;
    utm::ClsUTM().XYwgs87ToXYEverest84(-159257.4079, 3225204.508, outX, outY);
    EXPECT_EQ(Read("ptsOut.txt"), "-159257,4079  3225204,508  " + utm::FormatGeneral(outX, ',') +
                                      "  " + utm::FormatGeneral(outY, ',') + " \r\n");
}

TEST_F(TransferFileTest, NoPathOrNoFileIsSkippedSilently) {
    for (const std::string& path :
         {std::string(), std::string("Load data file"), Path("none.csv"), folder_.Path() + "/"}) {
        EXPECT_EQ(utm::TransferDataFile(path, 0, '.', messages_).status,
                  FileTransferStatus::Skipped)
            << path;
    }
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(Entries().empty());
}

TEST_F(TransferFileTest, FailuresAreReportedAndKeepThePreviousResult) {
    struct Case {
        const char* content;
        const char* expectedText;
    };
    for (const Case& c : {Case{"", "pts.csv\" holds no lines."}}) {
        messages_.shown.clear();
        Write("ptsOut.csv", "previous result\r\n");
        EXPECT_EQ(Run("pts.csv", c.content).status, FileTransferStatus::Failed);
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_NE(messages_.shown[0].text.find(c.expectedText), std::string::npos)
            << messages_.shown[0].text;
        EXPECT_EQ(messages_.shown[0].title, "UTM");
        EXPECT_EQ(Read("ptsOut.csv"), "previous result\r\n");
        EXPECT_EQ(Entries(), (Names{"pts.csv", "ptsOut.csv"}));
    }

    // A point that cannot be transferred is written with * and named after the run.
    messages_.shown.clear();
    EXPECT_EQ(Run("pts.csv", "426207.01,3206261.5\r\n1e300,0\r\n").status,
              FileTransferStatus::Written);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find("(line 2) cannot be computed"), std::string::npos)
        << messages_.shown[0].text;
    EXPECT_NE(Read("ptsOut.csv").find(",*,*\r\n"), std::string::npos);

    // A folder where the result file should go.
    messages_.shown.clear();
    fs::remove(Path("ptsOut.csv"));
    fs::create_directory(Path("ptsOut.csv"));
    EXPECT_EQ(Run("pts.csv", "1,2\r\n").status, FileTransferStatus::Failed);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find(Path("ptsOut.csv")), std::string::npos);
    EXPECT_EQ(Entries(), (Names{"pts.csv", "ptsOut.csv"}));
}

TEST_F(TransferFileTest, ShortPathAndUnreadableFileAreReported) {
    const fs::path saved = fs::current_path();
    fs::current_path(folder_.Path());
    Write("a.c", "1,2\r\n");
    EXPECT_EQ(utm::TransferDataFile("a.c", utm::kNoTransferKind, '.', messages_).status,
              FileTransferStatus::Written);
    fs::current_path(saved);
    EXPECT_EQ(Read("a.cOut.txt"), " 1  2 \r\n");  // text mode, the comma found from the line
    EXPECT_EQ(Entries(), (Names{"a.c", "a.cOut.txt"}));
    // A file that exists but whose content cannot be read.
    try {
        utm::TransferFile("/proc/self/mem", Path("memOut.csv"), 0);
        ADD_FAILURE() << "no error";
    } catch (const utm::OperationError& e) {
        EXPECT_NE(std::string(e.what()).find("\"/proc/self/mem\" cannot be read"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Entries(), (Names{"a.c", "a.cOut.txt"}));
}

TEST_F(TransferFileTest, BigFileInTwoHalvesMatchesLineByLineTransfer) {
    // Big enough to be read, transferred and written in two halves.
    std::string data;
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (std::size_t i = 0; i < 60000; ++i) {
        data += std::to_string(300000 + (i * 7919) % 400000) + "." + std::to_string(i % 1000) +
                "," + std::to_string(2900000 + (i * 104729) % 400000) + ".25";
        data += ends[i % 3];
    }
    ASSERT_GT(data.size(), 1u << 20);
    Run("big.csv", data, 2);
    utm::PointBlock points;
    utm::ForEachLine(data, [&](std::string_view line, std::size_t) {
        points.push_back(utm::SplitPointLine(line, ','));
    });
    EXPECT_TRUE(Read("bigOut.csv") == utm::FormatResultFile(points, utm::TransferPoints(2, points),
                                                            DataFileMode::Csv, '.'));

    // A failing line in the second half, then also one in the first: the
    // first failing line is named, the previous result stays.
    const std::string previous = Read("bigOut.csv");
    const std::size_t at = data.find("\r\n", data.size() - 5000) + 2;
    const std::size_t line = utm::ForEachLine(std::string_view(data).substr(0, at),
                                              [](std::string_view, std::size_t) {}) +
                             1;
    utm::TransferOptions stop;
    stop.onError = utm::OnError::Stop;
    const auto failure = [&] {
        Write("big.csv", data);
        try {
            utm::TransferFile(Path("big.csv"), Path("bigOut.csv"), 2, stop);
        } catch (const utm::OperationError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    data.insert(at, "1e300,0\r\n");
    EXPECT_EQ(failure().rfind("Line " + std::to_string(line) + " of", 0), 0u) << failure();
    data.insert(0, "1,2\r\n1e300,0\r\n");
    EXPECT_EQ(failure().rfind("Line 2 of", 0), 0u) << failure();
    EXPECT_TRUE(Read("bigOut.csv") == previous);
    EXPECT_EQ(Entries(), (Names{"big.csv", "bigOut.csv"}));
}

}  // namespace

namespace {

TEST_F(TransferFileTest, FindingsAndCancelInTheWindow) {
    // Findings are shown after the run, with the rule of the transfer window.
    auto outcome = Run("pts.csv", "426207.01,3206261.5\r\nX,Y\r\n1,2,3\r\n");
    EXPECT_EQ(outcome.status, FileTransferStatus::Written);
    ASSERT_EQ(messages_.shown.size(), 1u);
    const std::string& text = messages_.shown[0].text;
    EXPECT_NE(text.find("(line 2) holds no number in a coordinate column: written with * as "
                        "results."),
              std::string::npos)
        << text;
    EXPECT_EQ(Read("ptsOut.csv").substr(Read("ptsOut.csv").find("\r\n") + 2),
              "X,Y,*,*\r\n1,2,3,-335762.500757943,2.01109176781253\r\n");

    // Cancel: the old result stays, and the person is told.
    messages_.shown.clear();
    Write("ptsOut.csv", "previous");
    Write("pts.csv", "426207.01,3206261.5\r\n");
    outcome =
        utm::TransferDataFile(Path("pts.csv"), 0, '.', messages_, [](double) { return false; });
    EXPECT_EQ(outcome.status, FileTransferStatus::Cancelled);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "Cancelled: no result file was written, and \"" +
                                           Path("ptsOut.csv") + "\" was left as it was.");
    EXPECT_EQ(Read("ptsOut.csv"), "previous");
    EXPECT_EQ(Entries(), (Names{"pts.csv", "ptsOut.csv"}));
}

TEST_F(TransferFileTest, TheDataFileIsRefusedAsItsOwnResult) {
    Write("pts.csv", "426207.01,3206261.5\r\n");
    ASSERT_EQ(::symlink("pts.csv", Path("ptsOut.csv").c_str()), 0);
    const auto outcome = utm::TransferDataFile(Path("pts.csv"), 0, '.', messages_);
    EXPECT_EQ(outcome.status, FileTransferStatus::Failed);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find("is the data file itself"), std::string::npos);
    EXPECT_EQ(Read("pts.csv"), "426207.01,3206261.5\r\n");
}

TEST_F(TransferFileTest, StrictRefusesAndNorthingsBeyondThePoleAreCounted) {
    Write("pts.csv", "426207.01,3206261.5\r\n500000,1e8\r\n");
    const auto result = utm::TransferFile(Path("pts.csv"), Path("r.csv"), 0);
    EXPECT_EQ(result.report.Count(utm::Finding::LatitudeRange), 1u);
    EXPECT_EQ(result.report.Lines(utm::Finding::LatitudeRange).front(), 2u);
    utm::TransferOptions strict;
    strict.strict = true;
    try {
        utm::TransferFile(Path("pts.csv"), Path("s.csv"), 0, strict);
        ADD_FAILURE() << "strict accepted a northing beyond the pole";
    } catch (const utm::OperationError& e) {
        EXPECT_NE(std::string(e.what()).find("Line 2 of the data file"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Entries(), (Names{"pts.csv", "r.csv"}));
}

}  // namespace

namespace {

TEST_F(TransferFileTest, CopiedInputFieldsGiveTheBytesOfFormattedOnes) {
    // Fields that are copied through (plain, general form) and fields that
    // must be formatted (trailing zeros, leading zeros, "-0", exponents,
    // signs), in both modes: the file equals the line-by-line formatting.
    const std::string lines =
        "426207.01,3206261.5\r\n-159257.4079,3225204.508\r\n426207.010,03206261.50\r\n"
        "-0,0.5\r\n4.2620701e5,+3206261.5\r\n0.000000000000001,123456789012345678\r\n"
        " 426207.01,3206261.5 \r\n";
    for (const char* name : {"mix.csv", "mix.txt"}) {
        const bool csv = std::string(name) == "mix.csv";
        std::string data = lines;
        if (!csv) std::replace(data.begin(), data.end(), ',', '\t');
        Run(name, data, 0);
        const DataFileMode mode = csv ? DataFileMode::Csv : DataFileMode::Text;
        const utm::PointBlock points = utm::ReadPointBlock(data, mode, '.');
        const std::string result = csv ? "mixOut.csv" : "mixOut.txt";
        EXPECT_EQ(Read(result),
                  utm::FormatResultFile(points, utm::TransferPoints(0, points), mode, '.'))
            << name;
    }
}

}  // namespace
