// Retrieve and the block exchange against a real headless LibreOffice Calc,
// started by the test suite on a pipe of its own with a private profile and
// stopped at the end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "geodesy/Angles.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/Declaration.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/SelectRangePaste.h"
#include "spreadsheet/calc/CalcSpreadsheet.h"
#include "support/ScriptedPorts.h"
#ifdef UTM_HAVE_TRANSFER
#include "spreadsheet/TransferWithinExcel.h"
#endif

namespace utm {
namespace {

namespace fs = std::filesystem;
using test::ScriptedFileDialog;
using test::ScriptedMessageBox;

bool CalcInstalled() {
    return ::access(CalcOptions::ForDesktop().soffice.c_str(), X_OK) == 0;
}

fs::path MakeTempFolder(const char* name) {
    std::string pattern = DefaultTempFolder() + "/" + name + "-XXXXXX";
    return ::mkdtemp(pattern.data());
}

// Removes `folder`; an office that has just stopped may still be finishing its
// profile, so the folder is removed again until it stays away.
void RemoveFolder(const fs::path& folder) {
    for (int i = 0; i < 20 && fs::exists(folder); ++i) {
        std::error_code error;
        fs::remove_all(folder, error);
        ::usleep(100000);
    }
}

class CalcTest : public ::testing::Test {
  protected:
    static inline fs::path folder;
    static inline std::unique_ptr<CalcSpreadsheet> app;

    static void SetUpTestSuite() {
        if (!CalcInstalled()) return;
        folder = MakeTempFolder("utm-calc-test");
        CalcOptions options = CalcOptions::Headless((folder / "profile").string());
        // UTM_CALC_VISIBLE=1 runs the suite against a Calc with windows (on a
        // display, e.g. under xvfb-run), as a person's desktop starts it.
        if (const char* visible = std::getenv("UTM_CALC_VISIBLE"); visible && *visible == '1') {
            options.headless = false;
        }
        app = std::make_unique<CalcSpreadsheet>(options);
    }
    static void TearDownTestSuite() {
        app.reset();  // Desktop.terminate()
        if (!folder.empty()) RemoveFolder(folder);
    }

    ScriptedMessageBox box;
    ScriptedFileDialog files;
    CommonDialog dialog{files};
    std::shared_ptr<Worksheet> sheet;
    fs::path exchange;  // the exchange files' folder, empty after every test

    void SetUp() override {
        if (!CalcInstalled()) GTEST_SKIP() << "LibreOffice Calc is not installed";
        app->StartNew();  // a fresh empty spreadsheet for every test
        sheet = app->ActiveSheet();
        exchange = folder / ("exchange-" + std::to_string(counter_++));
        fs::create_directories(exchange);
        Declaration::SharedCM = DegreesToRadians(84);
    }
    void TearDown() override {
        if (!exchange.empty()) {
            EXPECT_TRUE(fs::is_empty(exchange)) << "exchange file left";
        }
    }

    void Put(int row, int column, SheetRows rows) { sheet->SetValues(row, column, rows); }
    SheetValue Cell(int row, int column) {
        return sheet->GetValues({row, column, row, column}).at(0).at(0);
    }
    double Number(int row, int column) {
        SheetValue value = Cell(row, column);
        EXPECT_TRUE(std::holds_alternative<double>(value)) << "R" << row << "C" << column;
        return std::holds_alternative<double>(value) ? std::get<double>(value) : NAN;
    }
    // Saves the sheet as a workbook and scripts a Retrieve that picks it and
    // confirms `block` as the selection.
    void ScriptRetrieve(const CellBlock& block) {
        fs::path workbook = exchange.parent_path() / ("book-" + std::to_string(counter_) + ".ods");
        app->SaveCurrentAs(workbook.string());
        files.choices.push_back(workbook.string());
        box.beforeAnswer = {nullptr, [this, block] { sheet->Select(block); }, nullptr};
        box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    }
    bool RunRetrieve(ConversionDirection direction, SelectRangePaste& paste) {
        return Retrieve([&]() -> SelectRangePaste& { return paste; }, box, dialog, "84", direction,
                        [] {});
    }
    void ScriptSelection(const CellBlock& block) {
        box.beforeAnswer.push_back([this, block] { sheet->Select(block); });
        box.beforeAnswer.push_back(nullptr);
        box.answers.push_back(MsgAnswer::OK);
        box.answers.push_back(MsgAnswer::OK);
    }

  private:
    static inline int counter_ = 0;
};

TEST_F(CalcTest, RetrieveForwardWritesRoundedXYAndFormatsTheBlock) {
    Put(2, 1, {{27.7, 85.3}, {27.5, 84.0}, {std::string("Latitude"), std::string("Longitude")}});
    Put(2, 3, {{1.0, 2.0}});  // overwritten
    ScriptRetrieve({2, 1, 4, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    ASSERT_EQ(box.shown.size(), 3u) << box.shown.back().text;
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R2C1:R4C2");

    EXPECT_DOUBLE_EQ(Number(2, 3), 628198.193);
    EXPECT_DOUBLE_EQ(Number(2, 4), 3065307.732);
    double x = 0, y = 0;
    ClsUTM().LatLongToXYEverest(27.5, 84, 84, x, y);
    EXPECT_NEAR(Number(3, 3), x, 0.0005);
    EXPECT_NEAR(Number(3, 4), y, 0.0005);
    ClsUTM().LatLongToXYEverest(0, 0, 84, x, y);  // the heading row reads as 0, 0
    EXPECT_NEAR(Number(4, 3), x, 0.0005);
    EXPECT_DOUBLE_EQ(Number(4, 4), 0.0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(5, 3)));

    sheet = app->ActiveSheet();
    EXPECT_EQ(app->SelectionAddress(), "C1:C26");
    for (int r = 2; r <= 4; ++r) {
        CalcCellFont font = app->CellFont(r, 2);
        EXPECT_EQ(font.name, "Times New Roman");
        EXPECT_EQ(font.size, 8);
        EXPECT_EQ(font.style, "Regular");
    }
    EXPECT_NE(app->CellFont(2, 3).name, "Times New Roman");

    // Each column is 1.25 times its own fitted width.
    std::vector<double> widened = sheet->ColumnWidths({2, 1, 4, 2});
    sheet->AutoFitColumns({2, 1, 4, 2});
    std::vector<double> fitted = sheet->ColumnWidths({2, 1, 4, 2});
    ASSERT_EQ(widened.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(widened[i], 1.25 * fitted[i], 1.0);
    EXPECT_NE(fitted[0], fitted[1]);  // "Latitude" and "Longitude" differ
}

TEST_F(CalcTest, RetrieveInverseAndBlocksOfThreeAndOneColumns) {
    Put(2, 1, {{628198.193, 3065307.732}, {500000.0, 0.0}, {371801.807, 3065307.732}});
    ScriptRetrieve({2, 1, 4, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::XYToLatLong, paste));
    EXPECT_DOUBLE_EQ(Number(2, 3), 27.7);
    EXPECT_DOUBLE_EQ(Number(2, 4), 85.3);
    EXPECT_DOUBLE_EQ(Number(3, 3), 0.0);
    EXPECT_DOUBLE_EQ(Number(3, 4), 84.0);
    EXPECT_DOUBLE_EQ(Number(4, 3), 27.7);  // mirrored about the central meridian
    EXPECT_DOUBLE_EQ(Number(4, 4), 82.7);

    // Three columns R2C1:R4C3: columns 1 and 3 in, 4 and 5 out, 2 untouched.
    Put(6, 1, {{27.7, std::string("keep"), 85.3}});
    box.shown.clear();
    ScriptRetrieve({6, 1, 6, 3});
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    EXPECT_DOUBLE_EQ(Number(6, 4), 628198.193);
    EXPECT_DOUBLE_EQ(Number(6, 5), 3065307.732);
    EXPECT_EQ(std::get<std::string>(Cell(6, 2)), "keep");

    // One column R8C5:R9C5: both inputs from column 5, results in 6 and 7.
    Put(8, 5, {{0.0}, {0.0}});
    box.shown.clear();
    ScriptRetrieve({8, 5, 9, 5});
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    double x = 0, y = 0;
    ClsUTM().LatLongToXYEverest(0, 0, 84, x, y);
    EXPECT_NEAR(Number(9, 6), x, 0.0005);
    EXPECT_DOUBLE_EQ(Number(9, 7), 0.0);
}

TEST_F(CalcTest, SelectionDialogueRefusesOneCellWholeRowsAndStopsAtCancel) {
    Put(2, 1, {{27.7, 85.3}});
    fs::path workbook = exchange.parent_path() / "dialogue.ods";
    app->SaveCurrentAs(workbook.string());
    SelectRangePaste paste(*app, box);

    // One cell: "Invalid selection", asked again; Cancel ends with nothing written.
    files.choices.push_back(workbook.string());
    box.beforeAnswer = {nullptr, [this] { sheet->Select({2, 1, 2, 1}); }};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::Cancel};
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    ASSERT_EQ(box.shown.size(), 5u);
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R2C1");
    EXPECT_EQ(box.shown[3].text, "Invalid selection");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(2, 3)));

    // Whole rows are not one block of two corners.
    box.shown.clear();
    files.choices.push_back(workbook.string());
    box.beforeAnswer = {nullptr, [this] { sheet->Select({2, 1, 3, 16384}); }};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    ASSERT_EQ(box.shown.size(), 4u);
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R2:R3");
    EXPECT_NE(box.shown[3].text.find("is not one block of cells"), std::string::npos);

    // A workbook that does not exist.
    box.shown.clear();
    files.choices.push_back((exchange / "missing.ods").string());
    box.answers = {MsgAnswer::OK};
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    EXPECT_NE(box.shown.back().text.find("cannot be opened"), std::string::npos);
}

TEST_F(CalcTest, GetValsTakesDisplayedTextsWithoutTheClipboard) {
    Put(3, 2, {{426207.01, 3206261.5}, {std::string("X"), std::string("Y")}, {1.0, -2.5}});
    app->SetClipboardText("the user's clipboard");
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection({3, 2, 5, 3});
    std::optional<CellTexts> block = excel.GetVals();
    ASSERT_TRUE(block) << (box.shown.empty() ? "" : box.shown.back().text);
    CellTexts expected = {{"426207.01", "3206261.5"}, {"X", "Y"}, {"1", "-2.5"}};
    EXPECT_EQ(*block, expected);
    EXPECT_EQ(app->SelectionAddress(), "R3C2:R5C3");
    EXPECT_EQ(app->ClipboardText(), "the user's clipboard");

    // Three columns, and a single cell's text.
    ScriptSelection({3, 1, 5, 3});
    block = excel.GetVals();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), 3u);
    EXPECT_EQ((*block)[0].size(), 3u);
    EXPECT_EQ((*block)[1][1], "X");
}

TEST_F(CalcTest, CopiedTextKeepsEveryRowAndColumnOfTheBlock) {
    // The office's own copy drops empty edge rows and columns; the block's
    // text keeps them, rows ended by CR LF.
    Put(3, 2, {{1.0, 2.0}, {3.0, std::string("x")}});
    const std::pair<CellBlock, std::string> cases[] = {
        {{3, 1, 4, 3}, "\t1\t2\r\n\t3\tx\r\n"},
        {{2, 2, 4, 3}, "\t\r\n1\t2\r\n3\tx\r\n"},
        {{3, 2, 5, 4}, "1\t2\t\r\n3\tx\t\r\n\t\t\r\n"},
        {{10, 10, 11, 12}, "\t\t\r\n\t\t\r\n"},
        {{3, 3, 3, 3}, "2\r\n"},
        {{7, 7, 7, 7}, "\r\n"},
    };
    for (const auto& [block, text] : cases) {
        sheet->Select(block);
        EXPECT_EQ(app->CopySelectionText(), text) << FormatBlockAddress(block);
    }
}

TEST_F(CalcTest, WriteToExcelFromTheTopLeftCellAndRefusesOneCell) {
    ClsWithinExcel excel(*app, box, exchange.string());
    box.answers = {MsgAnswer::OK};
    ScriptSelection({10, 6, 11, 6});
    excel.WriteToExcel({{1.5, 2.5}, {3.0, 4.0}, {5.0, std::nullopt}, {7.0, 8.0}});
    ASSERT_EQ(box.shown.size(), 3u);  // the prompt twice, then the confirmation
    EXPECT_EQ(box.shown[0].text, "Locate the Pointer on Excel for Output");
    EXPECT_EQ(box.shown[1].text, "Locate the Pointer on Excel for Output");
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R10C6:R11C6");
    SheetRows rows = sheet->GetValues({10, 6, 14, 7});
    EXPECT_EQ(std::get<double>(rows[0][0]), 1.5);
    EXPECT_EQ(std::get<double>(rows[1][1]), 4.0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(rows[2][1]));
    EXPECT_EQ(std::get<double>(rows[3][1]), 8.0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(rows[4][0]));

    box.shown.clear();
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::Cancel};
    box.beforeAnswer = {nullptr, [this] { sheet->Select({20, 1, 20, 1}); }};
    excel.WriteToExcel({{9.0, 9.0}});
    ASSERT_EQ(box.shown.size(), 5u);
    EXPECT_EQ(box.shown[3].text, "Invalid selection");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(20, 1)));
}

#ifdef UTM_HAVE_TRANSFER
TEST_F(CalcTest, TransferWindowWithinExcelEndToEnd) {
    // Everest 81 to Everest 84 of the worked example.
    Put(2, 1, {{426207.01, 3206261.5}});
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection({2, 1, 2, 2});
    box.answers.push_back(MsgAnswer::OK);
    ScriptSelection({2, 4, 3, 4});
    TransferWithinExcel(excel, box, 0);
    EXPECT_NEAR(Number(2, 4), 133754.5409, 1e-4);
    EXPECT_NEAR(Number(2, 5), 3211848.1481, 1e-4);
}
#endif

TEST(CalcStartTest, NoCalcOrADeadCalcGivesAClearMessage) {
    // Not installed: nothing is started, the message says why.
    CalcOptions missing = CalcOptions::Headless("/nonexistent");
    missing.soffice = "/nonexistent/soffice";
    CalcSpreadsheet none(missing);
    ScriptedMessageBox box;
    ClsWithinExcel excel(none, box);
    EXPECT_FALSE(excel.GetVals());
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].text, "Excel is not Opened\r\n New Excel will be opened");
    EXPECT_EQ(box.shown[1].text,
              "LibreOffice Calc is not installed (/nonexistent/soffice was not found), so no "
              "spreadsheet can be opened.");

    if (!CalcInstalled()) GTEST_SKIP() << "LibreOffice Calc is not installed";
    // An office that goes away in the middle of a request (stopped by
    // another client, as if it had crashed).
    fs::path folder = MakeTempFolder("utm-calc-dead");
    {
        CalcSpreadsheet app(CalcOptions::Headless((folder / "profile").string()));
        ScriptedMessageBox box2;
        ClsWithinExcel excel2(app, box2, folder.string());
        box2.answers = {MsgAnswer::OK, MsgAnswer::OK};
        box2.beforeAnswer = {nullptr, [&] {
                                 CalcOptions other = app.options();
                                 other.terminateOnExit = false;
                                 CalcSpreadsheet killer(other);
                                 ASSERT_TRUE(killer.BindRunning());
                                 killer.Terminate();
                                 for (int i = 0; i < 200 && killer.BindRunning(); ++i) {
                                     ::usleep(50000);
                                 }
                             }};
        EXPECT_FALSE(excel2.GetVals());  // started after "New Excel will be opened"
        EXPECT_EQ(box2.shown.back().text,
                  "LibreOffice Calc stopped responding; the request was ended. Start Calc again "
                  "and repeat it.");
        EXPECT_FALSE(app.BindRunning());
    }
    RemoveFolder(folder);
}

}  // namespace
}  // namespace utm
