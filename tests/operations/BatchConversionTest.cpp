// Browse and the batch conversion, through scripted dialogs and message boxes,
// checked on the exact bytes of the files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/FileIO.h"
#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/TransverseMercator.h"
#include "operations/BatchConversion.h"
#include "support/FileBytes.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"

namespace {

using utm::BatchColumns;
using utm::BatchRunResult;
using utm::CommonDialog;
using utm::ConversionDirection;
using utm::dataload;
using utm::test::ScriptedFileDialog;
using utm::test::ScriptedMessageBox;
using utm::test::TempFolder;
using Status = utm::BatchRunResult::Status;

const char* const kPoints = "27.7,85.3\r\n27.5,84\r\n28,86\r\n";
const char* const kPointsOutput =
    "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
    "27.7\t85.3\t628198.193\t3065307.732\r\n"
    "27.5\t84\t500000\t3042473.351\r\n"
    "28\t86\t696698.79\t3099482.324\r\n";

std::string Bytes(const std::string& path) {
    return utm::test::ReadFileBytes(path).value_or("<missing>");
}

class Batch : public ::testing::Test {
  protected:
    TempFolder folder;
    BatchColumns columns;
    dataload loader{columns};
    ScriptedFileDialog dialogPort;
    CommonDialog dialog{dialogPort};
    ScriptedMessageBox box;

    /// Convert in "Multiple Data" with the save dialog answering `output`.
    BatchRunResult Run(const std::string& dataPath, std::optional<std::string> output,
                       ConversionDirection direction = ConversionDirection::LatLongToXY,
                       const std::string& cm = "84", char separator = '.') {
        dialogPort.choices.push_back(std::move(output));
        utm::MultipleDataRequest request{cm, dataPath, direction, separator, {}};
        return utm::ConvertMultipleData(request, dialog, box, loader, "/home/surveyor");
    }
    /// Only the message texts shown.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : box.shown) texts.push_back(m.text);
        return texts;
    }
};

TEST_F(Batch, BrowseReadsTheChosenFileAndReportsItsCount) {
    const std::string data = folder.Write("points.csv", kPoints);
    dialogPort.choices.push_back(data);
    EXPECT_EQ(utm::Browse(dialog, box, loader), data);
    ASSERT_EQ(dialogPort.requests.size(), 1u);
    const utm::FileDialogRequest& shown = dialogPort.requests[0];
    EXPECT_EQ(shown.action, utm::FileDialogAction::Open);
    EXPECT_EQ(shown.filter,
              "*.csv (Excel Files)|*.csv|*.txt (Text Files)|*.txt|*.rtf (Richtextformat "
              "Files)|*.rtf|*.doc (Word Files)|*.doc|*.xls (Excel File)|*.xls|GIS Files "
              "(*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf)|"
              "*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf");
    EXPECT_EQ(shown.title, "Select the data file for Sorting");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "No of Data = 3");
    EXPECT_EQ(box.shown[0].icon, utm::MsgIcon::None);
    EXPECT_EQ(box.shown[0].title, "UTM");
    // Browse only counts: the columns are not filled for a file that may be huge.
    EXPECT_TRUE(columns.DataFirst.empty());

    // Cancel keeps the earlier name: the same file is loaded and reported again.
    dialogPort.choices.push_back(std::nullopt);
    EXPECT_EQ(utm::Browse(dialog, box, loader), data);
    EXPECT_EQ(dialogPort.requests[1].fileName, data);
    EXPECT_EQ(Messages().back(), "No of Data = 3");
}

TEST_F(Batch, BrowseWithoutANameAsksForOneAndAMissingFileCountsZero) {
    dialogPort.choices.push_back(std::nullopt);
    EXPECT_EQ(utm::Browse(dialog, box, loader), "");
    dialogPort.choices.push_back(folder.File("typed-but-missing.csv"));
    EXPECT_EQ(utm::Browse(dialog, box, loader), folder.File("typed-but-missing.csv"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Select the data file", "No of Data = 0"}));
}

TEST_F(Batch, LatLongToXYWritesTheWorkedExampleExactly) {
    const std::string data = folder.Write("points.csv", kPoints);
    const std::string out = folder.File("result.xls");
    const BatchRunResult r = Run(data, out);
    EXPECT_EQ(r.status, Status::Written);
    EXPECT_EQ(r.pointCount, 3u);
    EXPECT_EQ(Bytes(out), kPointsOutput);
    EXPECT_TRUE(box.shown.empty());  // no message at the end of a run
    const utm::FileDialogRequest& shown = dialogPort.requests.at(0);
    EXPECT_EQ(shown.action, utm::FileDialogAction::Save);
    EXPECT_EQ(shown.filter,
              "*.xls(Excel Files)|*.xls|*.txt(Text Files)|*.txt|*.rtf(Richtextformat "
              "Files)|*.rtf|*.doc(Word Files)|*.doc|GIS Files "
              "(*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf)|"
              "*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf");
    EXPECT_EQ(shown.title, "Save the file for Output");
    EXPECT_EQ(shown.initialFolder, "/home/surveyor");
    // The data columns are reset after the run.
    EXPECT_EQ(columns.DataCount, 0u);
    EXPECT_TRUE(columns.DataFirst.empty());
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"points.csv", "result.xls"}));
}

TEST_F(Batch, XYToLatLongAndOtherNamesGiveTheSameKindOfFile) {
    const std::string data = folder.Write("xy.csv", "628198.193,3065307.732\n500000,3000000");
    const std::string txt = folder.File("result.txt");
    EXPECT_EQ(Run(data, txt, ConversionDirection::XYToLatLong).status, Status::Written);
    EXPECT_EQ(Bytes(txt),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "628198.193\t3065307.732\t27.7\t85.3\r\n"
              "500000\t3000000\t27.117\t84\r\n");
    const std::string xls = folder.File("result.xls");
    EXPECT_EQ(Run(data, xls, ConversionDirection::XYToLatLong).status, Status::Written);
    EXPECT_EQ(Bytes(xls), Bytes(txt));
}

TEST_F(Batch, TwoRunsGiveIdenticalFilesAndTheLocaleSeparatorIsUsed) {
    const std::string data = folder.Write("points.csv", kPoints);
    Run(data, folder.File("a.txt"));
    Run(data, folder.File("b.txt"));
    EXPECT_EQ(Bytes(folder.File("a.txt")), Bytes(folder.File("b.txt")));
    Run(data, folder.File("comma.txt"), ConversionDirection::LatLongToXY, "84", ',');
    EXPECT_EQ(Bytes(folder.File("comma.txt")),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27,7\t85,3\t628198,193\t3065307,732\r\n"
              "27,5\t84\t500000\t3042473,351\r\n"
              "28\t86\t696698,79\t3099482,324\r\n");
}

TEST_F(Batch, NoSaveNameAsksForOneAndWritesNothing) {
    const std::string data = folder.Write("points.csv", kPoints);
    EXPECT_EQ(Run(data, std::nullopt).status, Status::NoFileName);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Type the File Name"});
    EXPECT_EQ(box.shown[0].icon, utm::MsgIcon::None);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"points.csv"});
}

TEST_F(Batch, TheDataFileIsNeverTheOutputByAnyName) {
    const std::string data = folder.Write("points.csv", kPoints);
    ASSERT_EQ(::symlink("points.csv", folder.File("link.txt").c_str()), 0);
    ASSERT_EQ(::link(data.c_str(), folder.File("hard.txt").c_str()), 0);
    const std::string relative = folder.Path() + "/./points.csv";
    for (const std::string& output :
         {data, relative, folder.File("link.txt"), folder.File("hard.txt")}) {
        box.shown.clear();
        box.answers.push_back(utm::MsgAnswer::Yes);  // never asked
        const BatchRunResult r = Run(data, output);
        EXPECT_EQ(r.status, Status::Failed) << output;
        ASSERT_EQ(box.shown.size(), 1u) << output;
        EXPECT_NE(box.shown[0].text.find("is the data file itself"), std::string::npos)
            << box.shown[0].text;
        EXPECT_NE(box.shown[0].text.find("Nothing was written."), std::string::npos);
        box.answers.clear();
    }
    EXPECT_EQ(Bytes(data), kPoints);
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"points.csv", "link.txt", "hard.txt"}));
}

TEST_F(Batch, AnExistingOutputIsReplacedOnlyAfterYesAndNoIsTheDefault) {
    const std::string data = folder.Write("points.csv", kPoints);
    const std::string out = folder.Write("out.txt", "previous");
    box.answers.push_back(utm::MsgAnswer::No);
    EXPECT_EQ(Run(data, out).status, Status::Declined);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Do you want to overwrite file.");
    EXPECT_EQ(box.shown[0].buttons, utm::MsgButtons::YesNo);
    EXPECT_EQ(box.shown[0].icon, utm::MsgIcon::None);
    EXPECT_EQ(box.shown[0].title, "Confirmation");
    EXPECT_EQ(box.shown[0].defaultButton, utm::MsgDefault::Second);
    EXPECT_EQ(Bytes(out), "previous");

    // Cancel keeps the name chosen last: Yes replaces it.
    box.answers.push_back(utm::MsgAnswer::Yes);
    EXPECT_EQ(Run(data, std::nullopt).status, Status::Written);
    EXPECT_EQ(Bytes(out), kPointsOutput);
}

TEST_F(Batch, AReadOnlyOutputIsRefusedNotReplaced) {
    const std::string data = folder.Write("points.csv", kPoints);
    const std::string out = folder.Write("locked.txt", "keep me");
    ::chmod(out.c_str(), 0444);
    box.answers.push_back(utm::MsgAnswer::Yes);
    const BatchRunResult r = Run(data, out);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_NE(r.message.find("read-only"), std::string::npos) << r.message;
    EXPECT_EQ(Bytes(out), "keep me");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"points.csv", "locked.txt"}));
}

TEST_F(Batch, APathDifferingOnlyInCaseIsNotAskedAbout) {
    const std::string data = folder.Write("points.csv", kPoints);
    const std::string upper = folder.File("POINTS.csv");
    EXPECT_EQ(Run(data, upper).status, Status::Written);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(Bytes(upper), kPointsOutput);
}

TEST_F(Batch, NoPointToConvertExplainsAndWritesNothing) {
    const std::string out = folder.File("out.txt");
    const std::string empty = folder.Write("empty.csv", "");
    const std::pair<std::string, std::string> cases[] = {
        {"Load data file", "No data file has been chosen"},
        {"", "No data file has been chosen"},
        {folder.File("missing.csv"), "\"" + folder.File("missing.csv") + "\" cannot be opened"},
        {empty, "\"" + empty + "\" holds no points"},
    };
    for (const auto& [dataPath, message] : cases) {
        box.shown.clear();
        const BatchRunResult r = Run(dataPath, out);
        EXPECT_EQ(r.status, Status::Failed) << dataPath;
        ASSERT_EQ(box.shown.size(), 1u) << dataPath;
        EXPECT_NE(box.shown[0].text.find(message), std::string::npos) << box.shown[0].text;
        EXPECT_EQ(r.message, box.shown[0].text);
    }
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"empty.csv"});
}

TEST_F(Batch, AnOutputThatCannotBeCreatedIsNamedAndNothingIsLost) {
    const std::string data = folder.Write("points.csv", kPoints);
    const std::string out = folder.File("no-such-folder/out.txt");
    const BatchRunResult r = Run(data, out);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_NE(r.message.find("\"" + out + "\""), std::string::npos) << r.message;
    EXPECT_EQ(Bytes(data), kPoints);
    // A folder of that name is no output file either.
    EXPECT_EQ(Run(data, folder.Path()).status, Status::Failed);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"points.csv"});
}

TEST_F(Batch, APointThatCannotBeComputedIsMarkedAndNamed) {
    const std::string data = folder.Write("xy.csv", "500000,3000000,500000\r\n1e300,0\r\n0,5\r\n");
    const std::string out = folder.Write("out.txt", "previous result");
    box.answers.push_back(utm::MsgAnswer::Yes);  // replace out.txt
    const BatchRunResult r = Run(data, out, ConversionDirection::XYToLatLong);
    EXPECT_EQ(r.status, Status::Written);
    // The third field travels with its point; line 2 gets * as results.
    EXPECT_EQ(Bytes(out),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "500000\t3000000\t500000\t27.117\t84\r\n"
              "1E+300\t0\t*\t*\r\n"
              "0\t5\t0\t79.512\r\n");
    ASSERT_EQ(box.shown.size(), 2u);  // the question, then the findings
    EXPECT_NE(box.shown[1].text.find("(line 2) cannot be computed"), std::string::npos)
        << box.shown[1].text;
    EXPECT_EQ(columns.DataCount, 0u);
}

TEST_F(Batch, ACentralMeridianOutOfRangeIsNamedBeforeAnyDialog) {
    const std::string data = folder.Write("points.csv", kPoints);
    const BatchRunResult r =
        Run(data, folder.File("out.txt"), ConversionDirection::LatLongToXY, "360.5");
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The central meridian 360.5 lies outside -180 "
                                                   "to 360 degrees. Nothing was converted."});
    EXPECT_EQ(dialogPort.choices.size(), 1u);  // the save dialog was not shown
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"points.csv"});
}

TEST_F(Batch, FullPrecisionAndNoDirection) {
    const std::string data = folder.Write("points.csv", "27.7,85.3\r\n");
    utm::ConvertDataFileRequest request;
    request.CentralMeridianText = "84";
    request.DataFilePath = data;
    request.OutputPath = folder.File("full.txt");
    request.FullPrecision = true;
    EXPECT_EQ(utm::ConvertDataFile(request).status, Status::Written);
    EXPECT_EQ(Bytes(request.OutputPath),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27.7\t85.3\t628198.19317284\t3065307.73239086\r\n");
    // Neither option selected: the results stay 0.
    request.FullPrecision = false;
    request.Direction = ConversionDirection::None;
    EXPECT_EQ(utm::ConvertDataFile(request).status, Status::Written);
    EXPECT_EQ(Bytes(request.OutputPath),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n27.7\t85.3\t0\t0\r\n");
    // An empty central meridian box means 0 in this mode (no numeric test).
    request.Direction = ConversionDirection::LatLongToXY;
    request.CentralMeridianText = "";
    EXPECT_EQ(utm::ConvertDataFile(request).status, Status::Written);
    EXPECT_TRUE(box.shown.empty());
}

}  // namespace

namespace {

TEST_F(Batch, CancelLeavesTheOldOutputAndSaysSo) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += "27.7,85.3\r\n";  // more than two blocks
    const std::string data = folder.Write("points.csv", bytes);
    const std::string out = folder.Write("out.txt", "previous");
    box.answers.push_back(utm::MsgAnswer::Yes);
    dialogPort.choices.push_back(out);
    std::vector<double> seen;
    utm::MultipleDataRequest request{"84", data, ConversionDirection::LatLongToXY, '.',
                                     [&](double done) {
                                         seen.push_back(done);
                                         return false;  // Cancel at the first report
                                     }};
    const BatchRunResult r = utm::ConvertMultipleData(request, dialog, box, loader, "/");
    EXPECT_EQ(r.status, Status::Cancelled);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0], 0.0);
    EXPECT_EQ(Messages().back(),
              "Cancelled: nothing was written, and \"" + out + "\" was left as it was.");
    EXPECT_EQ(Bytes(out), "previous");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"points.csv", "out.txt"}));
}

TEST_F(Batch, FindingsAreShownAfterTheRunWithTheirLines) {
    const std::string data = folder.Write(
        "odd.csv", "Latitude,Longitude\r\n27.7,85.3,\r\n28,86\r\n\r\nBM9,86\r\n27.7°,85.3\r\n");
    const std::string out = folder.File("out.txt");
    const BatchRunResult r = Run(data, out);
    EXPECT_EQ(r.status, Status::Written);
    EXPECT_EQ(r.report.Lines(utm::Finding::NoNumber), std::vector<std::size_t>{5});
    EXPECT_EQ(r.report.Lines(utm::Finding::NotNumber), std::vector<std::size_t>{6});
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].icon, utm::MsgIcon::Information);
    const std::string& text = box.shown[0].text;
    EXPECT_NE(text.find("1 row in the data file \"" + data +
                        "\" (line 5) holds no number in a coordinate column: written with * as "
                        "results."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("1 field in the data file \"" + data +
                        "\" (line 6) is not a number: it was taken as 0."),
              std::string::npos)
        << text;
    // The header row takes the result names, the blank line stays, nothing is made up.
    EXPECT_EQ(Bytes(out), std::string("Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n") +
                              "27.7\t85.3\t\t628198.193\t3065307.732\r\n"
                              "28\t86\t696698.79\t3099482.324\r\n"
                              "\r\n"
                              "BM9\t86\t*\t*\r\n"
                              "0\t85.3\t644693.839\t0\r\n");
}

TEST_F(Batch, BrowseNamesAFileThatIsNoTextInsteadOfCountingIt) {
    const std::string data = folder.Write("u16.csv", std::string("\xff\xfe"
                                                                 "2\0"
                                                                 "7\0"
                                                                 ",\0"
                                                                 "1\0",
                                                                 10));
    dialogPort.choices.push_back(data);
    utm::Browse(dialog, box, loader);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text.rfind("The data file \"" + data + "\" is not a text file", 0), 0u)
        << box.shown[0].text;
    EXPECT_EQ(Run(data, folder.File("out.txt")).status, Status::Failed);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"u16.csv"});
}

TEST_F(Batch, EightDecimalUnitsRoundLatitudesAndLongitudesOnly) {
    const std::string data =
        folder.Write("xy.csv", "628198.1932,3065307.7324\r\n500000,3000000\r\n400000,-3000000\r\n");
    const char* const expected =
        "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
        "628198.1932\t3065307.7324\t27.7\t85.3\r\n"
        "500000\t3000000\t27.11662043\t84\r\n"
        "400000\t-3000000\t-27.11299884\t82.99127073\r\n";
    // Through the window's command; a file gets decimal degrees in Dms as well.
    for (utm::Units units : {utm::Units::Degrees8, utm::Units::Dms}) {
        const std::string out = folder.File(units == utm::Units::Dms ? "dms.txt" : "deg8.txt");
        dialogPort.choices.push_back(out);
        utm::MultipleDataRequest request{"84", data, ConversionDirection::XYToLatLong, '.', {}};
        request.OutputUnits = units;
        EXPECT_EQ(utm::ConvertMultipleData(request, dialog, box, loader, "/").status,
                  Status::Written);
        EXPECT_EQ(Bytes(out), expected);
    }
    EXPECT_TRUE(box.shown.empty());

    utm::ConvertDataFileRequest request;
    request.CentralMeridianText = "84";
    request.DataFilePath = data;
    request.OutputPath = folder.File("comma.txt");
    request.Direction = ConversionDirection::XYToLatLong;
    request.OutputUnits = utm::Units::Degrees8;
    request.DecimalSeparator = ',';
    utm::ConvertDataFile(request);
    EXPECT_EQ(Bytes(request.OutputPath),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "628198,1932\t3065307,7324\t27,7\t85,3\r\n"
              "500000\t3000000\t27,11662043\t84\r\n"
              "400000\t-3000000\t-27,11299884\t82,99127073\r\n");
    // Full precision overrides the units.
    request.DecimalSeparator = '.';
    request.FullPrecision = true;
    utm::ConvertDataFile(request);
    EXPECT_EQ(Bytes(request.OutputPath),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "628198.1932\t3065307.7324\t27.699999999651\t85.3000000002785\r\n"
              "500000\t3000000\t27.1166204347043\t84\r\n"
              "400000\t-3000000\t-27.112998844209\t82.9912707260319\r\n");
    // Eastings and northings keep three decimals in every unit.
    const std::string points = folder.Write("points.csv", kPoints);
    request.DataFilePath = points;
    request.Direction = ConversionDirection::LatLongToXY;
    request.FullPrecision = false;
    utm::ConvertDataFile(request);
    EXPECT_EQ(Bytes(request.OutputPath), kPointsOutput);
}

}  // namespace

namespace {

/// "%.15g": the text a surveyor's program writes for a full-precision value.
std::string Digits15(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

/// Runs the batch conversion of `lines` (joined with CR LF) and returns the
/// output's bytes and the lines reported far from the meridian.
std::pair<std::string, std::vector<std::size_t>> Convert(TempFolder& folder,
                                                         const std::vector<std::string>& lines,
                                                         ConversionDirection direction,
                                                         const std::string& name) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    utm::ConvertDataFileRequest request;
    request.CentralMeridianText = "84";
    request.DataFilePath = folder.Write(name + ".csv", bytes);
    request.OutputPath = folder.File(name + ".txt");
    request.Direction = direction;
    const BatchRunResult result = utm::ConvertDataFile(request);
    return {Bytes(request.OutputPath), result.report.Lines(utm::Finding::FarFromMeridian)};
}

/// Lines of two plain numbers go through the fast series; the same lines with
/// a blank in front go through the general reader and the exact series. Both
/// must give the same bytes and the same findings, on ordinary points, on
/// points whose results lie within a hair of a half millimetre (or half a
/// thousandth of a degree) or of the far-from-meridian distance, on points
/// outside the fast series' reach, and with other lines in between.
void ExpectFastEqualsExact(TempFolder& folder, const std::vector<std::string>& lines,
                           ConversionDirection direction) {
    std::vector<std::string> blanked;
    for (const std::string& line : lines) blanked.push_back(" " + line);
    const auto fast = Convert(folder, lines, direction, "fast");
    const auto exact = Convert(folder, blanked, direction, "exact");
    ASSERT_EQ(fast.first.size(), exact.first.size());
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < fast.first.size(); ++i) {
        if (fast.first[i] != exact.first[i]) {
            const std::size_t end = fast.first.find('\n', i);
            FAIL() << "fast:  " << fast.first.substr(lineStart, end - lineStart)
                   << "\nexact: " << exact.first.substr(lineStart, end - lineStart);
        }
        if (fast.first[i] == '\n') lineStart = i + 1;
    }
    EXPECT_EQ(fast.second, exact.second);
}

TEST(BatchFastSeries, LatLongToXYKeepsTheExactBytes) {
    TempFolder folder;
    const utm::EllipsoidTerms& terms = utm::Everest1830Terms();
    const double lambda0 = utm::DegreesToRadians(84.0);
    const auto x = [&](double lat, double lon) {
        return utm::ForwardSeries(terms, 0.9999, utm::DegreesToRadians(lat),
                                  utm::DegreesToRadians(lon), lambda0);
    };
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> lat(-84.0, 84.0);
    std::uniform_real_distribution<double> lon(72.0, 96.0);
    std::vector<std::string> lines{"Latitude,Longitude"};
    for (int i = 0; i < 3000; ++i) {
        double la = lat(random);
        double lo = lon(random);
        switch (i % 6) {
            case 0:  // six decimals, as files hold them
                lines.push_back(Digits15(std::round(la * 1e6) / 1e6) + "," +
                                Digits15(std::round(lo * 1e6) / 1e6));
                continue;
            case 1: {  // the easting next to a half millimetre
                const utm::GridPoint p = x(la, lo);
                const double target = (std::floor(p.x * 1000) + 0.5) / 1000;
                for (int step = 0; step < 3; ++step) {
                    const double slope = (x(la, lo + 1e-6).x - x(la, lo).x) / 1e-6;
                    lo += (target - x(la, lo).x) / slope;
                }
                break;
            }
            case 2: {  // the northing next to a half millimetre
                const utm::GridPoint p = x(la, lo);
                const double target = (std::floor(p.y * 1000) + 0.5) / 1000;
                for (int step = 0; step < 3; ++step) {
                    const double slope = (x(la + 1e-6, lo).y - x(la, lo).y) / 1e-6;
                    la += (target - x(la, lo).y) / slope;
                }
                break;
            }
            case 3: {  // next to the far-from-meridian distance
                la = std::fmod(std::fabs(la), 60.0);
                lo = 84.0 + (i % 12 < 6 ? 7.0 : -7.0);
                const double target = 500000.0 + (lo > 84.0 ? 655000.0 : -655000.0);
                for (int step = 0; step < 4; ++step) {
                    const double slope = (x(la, lo + 1e-6).x - x(la, lo).x) / 1e-6;
                    lo += (target - x(la, lo).x) / slope;
                }
                break;
            }
            case 4:  // outside the fast reach, or another kind of line
                lines.push_back(i % 4 == 0 ? "84.5,85" : (i % 4 == 2 ? "27.7,97" : "27.7, 85.3"));
                continue;
            default:
                break;
        }
        lines.push_back(Digits15(la) + "," + Digits15(lo));
    }
    lines.push_back("89.99,84");
    lines.push_back("-90,84");
    lines.push_back("999999999999999,84");
    ExpectFastEqualsExact(folder, lines, ConversionDirection::LatLongToXY);
}

TEST(BatchFastSeries, XYToLatLongKeepsTheExactBytes) {
    TempFolder folder;
    const utm::EllipsoidTerms& terms = utm::Everest1830Terms();
    const double lambda0 = utm::DegreesToRadians(84.0);
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> easting(-700000.0, 1700000.0);
    std::uniform_real_distribution<double> northing(-9.3e6, 9.3e6);
    std::uniform_int_distribution<int> thousandths(-80000, 80000);
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i) {
        switch (i % 5) {
            case 0:
                lines.push_back(Digits15(std::round(easting(random) * 1000) / 1000) + "," +
                                Digits15(std::round(northing(random) * 1000) / 1000));
                break;
            case 1:
            case 2: {  // a latitude or longitude a hair from half a thousandth
                const double half = (thousandths(random) + 0.5) / 1000;
                const double other = (thousandths(random) + 0.25) / 1000;
                const double la = i % 5 == 1 ? half : other;
                const double lo = 84.0 + (i % 5 == 2 ? half / 8 : other / 8);
                const utm::GridPoint p = utm::ForwardSeries(
                    terms, 0.9999, utm::DegreesToRadians(la), utm::DegreesToRadians(lo), lambda0);
                lines.push_back(Digits15(p.x) + "," + Digits15(p.y));
                break;
            }
            case 3:  // on the far-from-meridian distance and beside it
                lines.push_back(
                    Digits15(500000.0 + (i % 2 ? 268000.0 : -268000.0) + (i % 3 - 1) * 1e-7) + "," +
                    Digits15(northing(random)));
                break;
            default:  // outside the fast reach, or another kind of line
                lines.push_back(i % 3 == 0 ? "500000,9400000"
                                           : (i % 3 == 1 ? "1800000,3000000" : "Easting,Northing"));
                break;
        }
    }
    ExpectFastEqualsExact(folder, lines, ConversionDirection::XYToLatLong);
}

}  // namespace
