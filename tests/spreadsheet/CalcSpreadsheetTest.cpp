// Retrieve and the block exchange against a real headless LibreOffice Calc,
// started by the test on a pipe of its own with a private profile and stopped
// at the end. A second UNO connection (CalcUser) acts as the person at Calc:
// it types cells, switches sheets and selects between two prompts.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "geodesy/Angles.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/Declaration.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/SelectRangePaste.h"
#include "spreadsheet/SheetBlock.h"
#include "spreadsheet/calc/CalcSpreadsheet.h"
#include "spreadsheet/calc/CalcUser.h"
#include "support/ScriptedPorts.h"
#ifdef UTM_HAVE_TRANSFER
#include "spreadsheet/TransferWithinExcel.h"
#endif

namespace utm {
namespace {

namespace fs = std::filesystem;
using test::CalcUser;
using test::ScriptedFileDialog;
using test::ScriptedMessageBox;

constexpr const char* kStopped =
    "LibreOffice Calc stopped responding; the request was ended. Start Calc again and repeat it.";
// Ctrl+A on a sheet of LibreOffice Calc 7.
const CellBlock kWholeSheet{1, 1, 1048576, 16384};

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

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CalcTest : public ::testing::Test {
  protected:
    static inline fs::path folder;
    static inline CalcOptions options;
    static inline std::unique_ptr<CalcSpreadsheet> app;
    static inline std::unique_ptr<CalcUser> user;

    static void SetUpTestSuite() {
        // A dead office must not end the test program through a write to its pipe.
        ::signal(SIGPIPE, SIG_IGN);
        if (!CalcInstalled()) return;
        folder = MakeTempFolder("utm-calc-test");
        options = CalcOptions::Headless((folder / "profile").string());
        // UTM_CALC_VISIBLE=1 runs the suite against a Calc with windows (on a
        // display, e.g. under xvfb-run), as a person's desktop starts it.
        if (const char* visible = std::getenv("UTM_CALC_VISIBLE"); visible && *visible == '1') {
            options.headless = false;
        }
        app = std::make_unique<CalcSpreadsheet>(options);
    }
    static void TearDownTestSuite() {
        user.reset();
        app.reset();  // Desktop.terminate()
        if (!folder.empty()) RemoveFolder(folder);
    }

    ScriptedMessageBox box;
    ScriptedFileDialog files;
    CommonDialog dialog{files};
    fs::path exchange;  // the exchange files' folder, empty after every test

    void SetUp() override {
        if (!CalcInstalled()) GTEST_SKIP() << "LibreOffice Calc is not installed";
        app->StartNew();  // a fresh empty spreadsheet for every test
        if (!user) user = std::make_unique<CalcUser>(options.pipeName);
        exchange = folder / ("exchange-" + std::to_string(counter_++));
        fs::create_directories(exchange);
        Declaration::SharedCM = DegreesToRadians(84);
    }
    void TearDown() override {
        if (!exchange.empty()) {
            EXPECT_TRUE(fs::is_empty(exchange)) << "exchange file left";
        }
    }

    static void Put(int row, int column, const SheetRows& rows, const char* sheet = "Sheet1") {
        user->Put(sheet, row, column, rows);
    }
    static SheetValue Cell(int row, int column, const char* sheet = "Sheet1") {
        return user->Cell(sheet, row, column);
    }
    static bool Empty(int row, int column, const char* sheet = "Sheet1") {
        return std::holds_alternative<std::monostate>(Cell(row, column, sheet));
    }
    static double Number(int row, int column, const char* sheet = "Sheet1") {
        SheetValue value = Cell(row, column, sheet);
        EXPECT_TRUE(std::holds_alternative<double>(value)) << sheet << " R" << row << "C" << column;
        return std::holds_alternative<double>(value) ? std::get<double>(value) : NAN;
    }
    std::string LastMessage() const { return box.shown.empty() ? "" : box.shown.back().text; }

    // Saves the workbook (a copy as `extension` with the office's `filter`,
    // which Retrieve then opens), and scripts a Retrieve that picks it and
    // confirms `block` on `sheet`.
    void ScriptRetrieve(const CellBlock& block, const char* sheet = "Sheet1",
                        const std::string& extension = ".ods", const std::string& filter = "") {
        fs::path workbook = folder / ("book-" + std::to_string(counter_++) + extension);
        user->SaveAs(workbook.string(), filter, !filter.empty());
        files.choices.push_back(workbook.string());
        box.beforeAnswer = {nullptr, [block, sheet] { user->Select(sheet, block); }, nullptr};
        box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    }
    bool RunRetrieve(ConversionDirection direction, SelectRangePaste& paste) {
        return Retrieve([&]() -> SelectRangePaste& { return paste; }, box, dialog, "84", direction,
                        [] {});
    }
    // At the next prompt the user selects `block` on `sheet`, then confirms it.
    void ScriptSelection(const CellBlock& block, const char* sheet = "Sheet1") {
        box.beforeAnswer.push_back([block, sheet] { user->Select(sheet, block); });
        box.beforeAnswer.push_back(nullptr);
        box.answers.push_back(MsgAnswer::OK);
        box.answers.push_back(MsgAnswer::OK);
    }
    // "Within Excel": the input block, then the prompt before the output
    // block and the output block.
    void ScriptWithinExcel(const CellBlock& input, const CellBlock& output,
                           const char* outputSheet = "Sheet1") {
        ScriptSelection(input);
        box.beforeAnswer.push_back(nullptr);
        box.answers.push_back(MsgAnswer::OK);
        ScriptSelection(output, outputSheet);
    }

  private:
    static inline int counter_ = 0;
};

// ----- Retrieve and the block exchange on well-formed selections -----

TEST_F(CalcTest, RetrieveForwardWritesRoundedXYAndFormatsTheBlock) {
    Put(2, 1, {{27.7, 85.3}, {27.5, 84.0}, {std::string("Latitude"), std::string("Longitude")}});
    Put(2, 3, {{1.0, 2.0}});  // overwritten
    ScriptRetrieve({2, 1, 4, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    ASSERT_EQ(box.shown.size(), 4u) << LastMessage();
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R2C1:R4C2");

    EXPECT_DOUBLE_EQ(Number(2, 3), 628198.193);
    EXPECT_DOUBLE_EQ(Number(2, 4), 3065307.732);
    double x = 0, y = 0;
    ClsUTM().LatLongToXYEverest(27.5, 84, 84, x, y);
    EXPECT_NEAR(Number(3, 3), x, 0.0005);
    EXPECT_NEAR(Number(3, 4), y, 0.0005);
    // A row of names below the points holds no point: its result cells stay empty ...
    EXPECT_TRUE(Empty(4, 3));
    EXPECT_TRUE(Empty(4, 4));
    EXPECT_TRUE(Empty(5, 3));
    // ... and it is named after the run.
    EXPECT_EQ(box.shown[3].text,
              "2 rows received their results.\r\n1 row of the block R2C1:R4C2 on the sheet "
              "\"Sheet1\" (row 4) holds no number in a coordinate cell: its result cells were "
              "left empty.");

    EXPECT_EQ(app->Selection().address, "C1:C26");
    for (int r = 2; r <= 4; ++r) {
        test::CalcFont font = user->Font("Sheet1", r, 2);
        EXPECT_EQ(font.name, "Times New Roman");
        EXPECT_EQ(font.size, 8);
        EXPECT_EQ(font.style, "Regular");
    }
    EXPECT_NE(user->Font("Sheet1", 2, 3).name, "Times New Roman");

    // Each column is 1.25 times its own fitted width.
    std::shared_ptr<Worksheet> sheet = app->ActiveSheet();
    std::vector<double> widened = user->ColumnWidths("Sheet1", {2, 1, 4, 2});
    sheet->AutoFitColumns({2, 1, 4, 2});
    std::vector<double> fitted = user->ColumnWidths("Sheet1", {2, 1, 4, 2});
    ASSERT_EQ(widened.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(widened[i], 1.25 * fitted[i], 1.0);
    EXPECT_NE(fitted[0], fitted[1]);  // "Latitude" and "Longitude" differ
}

TEST_F(CalcTest, ARetrieveWorksFromAnotherThreadThanTheOneThatStartedCalc) {
    // The windows run their spreadsheet requests off the window's thread.
    Put(2, 1, {{27.7, 85.3}});
    ScriptRetrieve({2, 1, 2, 2});
    SelectRangePaste paste(*app, box);
    bool converted = false;
    std::thread worker([&] { converted = RunRetrieve(ConversionDirection::LatLongToXY, paste); });
    worker.join();
    ASSERT_TRUE(converted) << LastMessage();
    EXPECT_DOUBLE_EQ(Number(2, 3), 628198.193);
    EXPECT_DOUBLE_EQ(Number(2, 4), 3065307.732);
}

TEST_F(CalcTest, RetrieveInverseAndBlocksOfThreeAndOneColumns) {
    Put(2, 1, {{628198.193, 3065307.732}, {500000.0, 0.0}, {371801.807, 3065307.732}});
    ScriptRetrieve({2, 1, 4, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::XYToLatLong, paste));
    EXPECT_EQ(box.shown.size(), 3u) << LastMessage();  // nothing taken as 0
    EXPECT_DOUBLE_EQ(Number(2, 3), 27.7);
    EXPECT_DOUBLE_EQ(Number(2, 4), 85.3);
    EXPECT_DOUBLE_EQ(Number(3, 3), 0.0);
    EXPECT_DOUBLE_EQ(Number(3, 4), 84.0);
    EXPECT_DOUBLE_EQ(Number(4, 3), 27.7);  // mirrored about the central meridian
    EXPECT_DOUBLE_EQ(Number(4, 4), 82.7);

    // Three columns R6C1:R6C3: columns 1 and 3 in, 4 and 5 out, 2 untouched.
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
    fs::path workbook = folder / "dialogue.ods";
    user->SaveAs(workbook.string());
    SelectRangePaste paste(*app, box);

    // One cell: "Invalid selection", asked again; Cancel ends with nothing written.
    files.choices.push_back(workbook.string());
    box.beforeAnswer = {nullptr, [] { user->Select("Sheet1", {2, 1, 2, 1}); }};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::Cancel};
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    ASSERT_EQ(box.shown.size(), 5u);
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R2C1");
    EXPECT_EQ(box.shown[3].text, "Invalid selection");
    EXPECT_TRUE(Empty(2, 3));

    // Whole rows are cut to the cells in use, as the whole sheet is.
    box.shown.clear();
    files.choices.push_back(workbook.string());
    box.beforeAnswer = {nullptr, [] { user->Select("Sheet1", {2, 1, 3, 16384}); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    EXPECT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste)) << LastMessage();
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R2:R3");
    EXPECT_DOUBLE_EQ(Number(2, 3), 628198.193);
    EXPECT_DOUBLE_EQ(Number(2, 4), 3065307.732);

    // A workbook that does not exist.
    box.shown.clear();
    files.choices.push_back((exchange / "missing.ods").string());
    box.answers = {MsgAnswer::OK};
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    EXPECT_TRUE(Contains(LastMessage(), "cannot be opened"));
}

TEST_F(CalcTest, GetValsTakesStoredNumbersAndTextsWithoutTheClipboard) {
    Put(3, 2, {{426207.01, 3206261.5}, {std::string("X"), std::string("Y")}, {1.0, -2.5}});
    user->SetClipboardText("the user's clipboard");
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection({3, 2, 5, 3});
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block) << LastMessage();
    BlockCells expected = {{426207.01, 3206261.5}, {"X", "Y"}, {1.0, -2.5}};
    EXPECT_EQ(*block, expected);
    EXPECT_EQ(user->SelectionAddress(), "R3C2:R5C3");
    EXPECT_EQ(user->ClipboardText(), "the user's clipboard");

    // Three columns, and a single cell's text.
    ScriptSelection({3, 1, 5, 3});
    block = excel.GetVals();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), 3u);
    EXPECT_EQ((*block)[0].size(), 3u);
    EXPECT_EQ((*block)[1][1], CellContent("X"));
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
        user->Select("Sheet1", block);
        EXPECT_EQ(app->CopySelectionText(), text) << FormatBlockAddress(block);
    }
}

TEST_F(CalcTest, WriteToExcelFromTheTopLeftCellAndRefusesOneCell) {
    ClsWithinExcel excel(*app, box, exchange.string());
    box.answers = {MsgAnswer::OK};
    box.beforeAnswer = {nullptr};
    ScriptSelection({10, 6, 11, 6});
    EXPECT_TRUE(excel.WriteToExcel({{1.5, 2.5}, {3.0, 4.0}, {5.0, std::nullopt}, {7.0, 8.0}}));
    ASSERT_EQ(box.shown.size(), 3u);  // the prompt twice, then the confirmation
    EXPECT_EQ(box.shown[0].text, "Locate the Pointer on Excel for Output");
    EXPECT_EQ(box.shown[1].text, "Locate the Pointer on Excel for Output");
    EXPECT_EQ(box.shown[2].text, "The address of the selected range is R10C6:R11C6");
    EXPECT_EQ(Number(10, 6), 1.5);
    EXPECT_EQ(Number(11, 7), 4.0);
    EXPECT_TRUE(Empty(12, 7));
    EXPECT_EQ(Number(13, 7), 8.0);
    EXPECT_TRUE(Empty(14, 6));

    box.shown.clear();
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::Cancel};
    box.beforeAnswer = {nullptr, [] { user->Select("Sheet1", {20, 1, 20, 1}); }};
    EXPECT_FALSE(excel.WriteToExcel({{9.0, 9.0}}));
    ASSERT_EQ(box.shown.size(), 5u);
    EXPECT_EQ(box.shown[3].text, "Invalid selection");
    EXPECT_TRUE(Empty(20, 1));
}

#ifdef UTM_HAVE_TRANSFER
TEST_F(CalcTest, TransferWindowWithinExcelEndToEnd) {
    // Everest 81 to Everest 84 of the worked example.
    Put(2, 1, {{426207.01, 3206261.5}});
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptWithinExcel({2, 1, 2, 2}, {2, 4, 3, 4});
    TransferWithinExcel(excel, box, 0);
    EXPECT_NEAR(Number(2, 4), 133754.5409, 1e-4);
    EXPECT_NEAR(Number(2, 5), 3211848.1481, 1e-4);
    ASSERT_EQ(box.shown.size(), 5u) << LastMessage();  // nothing more said
    // Input and output on one sheet: the confirmation is the address alone.
    EXPECT_EQ(box.shown[4].text, "The address of the selected range is R2C4:R3C4");
}
#endif

// ----- The sheet of the confirmed selection -----

TEST_F(CalcTest, EveryReadAndWriteGoesToTheSheetOfTheConfirmedSelection) {
    user->AddSheet("Sheet2");
    Put(1, 1, {{1.0, 2.0}, {3.0, 4.0}});
    Put(1, 1, {{5.0, 6.0}, {7.0, 8.0}}, "Sheet2");

    // GetVals: the user switches to the second sheet and selects there; the
    // values come from it and the view stays on it.
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection({1, 1, 2, 2}, "Sheet2");
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block) << LastMessage();
    EXPECT_EQ(*block, (BlockCells{{5.0, 6.0}, {7.0, 8.0}}));
    EXPECT_EQ(user->ActiveSheetName(), "Sheet2");

    // Retrieve on the second sheet reads and writes there only.
    Put(3, 1, {{27.7, 85.3}}, "Sheet2");
    box.shown.clear();
    ScriptRetrieve({3, 1, 3, 2}, "Sheet2");
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste)) << LastMessage();
    EXPECT_DOUBLE_EQ(Number(3, 3, "Sheet2"), 628198.193);
    EXPECT_TRUE(Empty(3, 3, "Sheet1"));
    EXPECT_EQ(user->ActiveSheetName(), "Sheet2");
}

#ifdef UTM_HAVE_TRANSFER
TEST_F(CalcTest, WithinExcelWritesOnTheOutputSheetAndNamesBothSheets) {
    user->AddSheet("Results");
    Put(2, 1, {{426207.01, 3206261.5}});
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptWithinExcel({2, 1, 2, 2}, {2, 1, 3, 1}, "Results");
    TransferWithinExcel(excel, box, 0);
    ASSERT_EQ(box.shown.size(), 5u) << LastMessage();
    EXPECT_EQ(box.shown[4].text,
              "The address of the selected range is R2C1:R3C1\r\nThe results go to the sheet "
              "\"Results\"; the input block is on the sheet \"Sheet1\".");
    EXPECT_NEAR(Number(2, 1, "Results"), 133754.5409, 1e-4);
    EXPECT_NEAR(Number(2, 2, "Results"), 3211848.1481, 1e-4);
    // The input stays as it was.
    EXPECT_EQ(Number(2, 1), 426207.01);
    EXPECT_EQ(Number(2, 2), 3206261.5);
    EXPECT_EQ(user->ActiveSheetName(), "Results");
}
#endif

// ----- A selection is cut to the cells in use, or refused -----

TEST_F(CalcTest, AWholeSheetSelectionReadsOnlyTheCellsInUse) {
    Put(1, 1, {{27.7, 85.3}, {27.5, 84.0}});

    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection(kWholeSheet);
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block) << LastMessage();
    EXPECT_EQ(*block, (BlockCells{{27.7, 85.3}, {27.5, 84.0}}));
    EXPECT_EQ(box.shown[1].text, "The address of the selected range is R1C1:R1048576C16384");

    // Retrieve of the whole sheet converts the two rows into columns 3 and 4.
    box.shown.clear();
    ScriptRetrieve(kWholeSheet);
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste)) << LastMessage();
    EXPECT_EQ(box.shown.size(), 3u) << LastMessage();
    EXPECT_DOUBLE_EQ(Number(1, 3), 628198.193);
    EXPECT_DOUBLE_EQ(Number(1, 4), 3065307.732);
    EXPECT_TRUE(Empty(3, 3));
    EXPECT_EQ(app->Selection().address, "C1:C26");

    // Below the cells in use there is nothing to read.
    box.shown.clear();
    ScriptRetrieve({2000, 1, 2001, 2});
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    EXPECT_EQ(LastMessage(),
              "The selected block R2000C1:R2001C2 on the sheet \"Sheet1\" holds no data. Nothing "
              "was converted.");
}

TEST_F(CalcTest, WholeColumnsAreCutToTheCellsInUseAndAFilteredListIsRefusedSayingWhy) {
    Put(1, 1,
        {{std::string("Latitude"), std::string("Longitude")},
         {27.7, 85.3},
         {27.5, 84.0},
         {27.7, 84.5},
         {28.0, 84.0}});

    // A click on the heads of columns A and B selects them whole.
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection({1, 1, 1048576, 2});
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block) << LastMessage();
    EXPECT_EQ(box.shown[1].text, "The address of the selected range is C1:C2");
    EXPECT_EQ(block->size(), 5u);
    EXPECT_EQ(excel.InputBlock(), (CellBlock{1, 1, 5, 2}));

    box.shown.clear();
    ScriptRetrieve({1, 1, 1048576, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste)) << LastMessage();
    EXPECT_TRUE(Empty(1, 3));  // the header row keeps its neighbours
    EXPECT_DOUBLE_EQ(Number(2, 3), 628198.193);
    EXPECT_DOUBLE_EQ(Number(2, 4), 3065307.732);
    EXPECT_TRUE(Empty(6, 3));

    // The rows of latitude 27.7 only: the visible cells are two parts.
    user->FilterRows("Sheet1", {1, 1, 5, 2}, 1, 27.7);
    box.shown.clear();
    box.beforeAnswer.clear();
    box.answers.clear();
    box.beforeAnswer.push_back([] { user->SelectVisible("Sheet1", {2, 1, 5, 2}); });
    box.beforeAnswer.push_back(nullptr);
    box.answers = {MsgAnswer::OK, MsgAnswer::OK};
    EXPECT_FALSE(excel.GetVals());
    EXPECT_EQ(LastMessage(),
              "The selection A2:B2, A4:B4 is not one block of cells: rows hidden by a filter "
              "split it into 2 parts, and results written beside it would land beside the hidden "
              "rows too. Show every row again (remove the filter), or copy the visible rows to a "
              "sheet of their own, and select them as one block.");
}

TEST_F(CalcTest, ABlockTooLargeToReadIsRefusedAndCalcKeepsRunning) {
    // One cell at the far corner puts the whole sheet in use.
    Put(1, 1, {{27.7, 85.3}});
    Put(1048576, 16384, {{1.0}});
    const std::string refused =
        "The selected block R1C1:R1048576C16384 would take 17,179,869,184 cells to read, more "
        "than the 2,000,000 one request reads. Select a smaller block and repeat the request; "
        "nothing was read or written.";

    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection(kWholeSheet);
    EXPECT_FALSE(excel.GetVals());
    EXPECT_EQ(LastMessage(), refused);

    // Retrieve reads two columns of all the rows: 2,097,152 cells.
    box.shown.clear();
    ScriptRetrieve(kWholeSheet);
    SelectRangePaste paste(*app, box);
    EXPECT_FALSE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    EXPECT_TRUE(Contains(LastMessage(), "would take 2,097,152 cells to read")) << LastMessage();
    EXPECT_TRUE(Empty(1, 3));

    EXPECT_TRUE(user->OfficeAnswers());
    EXPECT_TRUE(app->BindRunning());
}

// ----- A protected sheet is not a dead office -----

TEST_F(CalcTest, AProtectedSheetIsSaidSoAndCalcKeepsRunning) {
    Put(2, 1, {{27.7, 85.3}, {426207.01, 3206261.5}});
    user->Protect("Sheet1");
    const std::string protectedSheet =
        "of the sheet \"Sheet1\": the sheet is protected. Remove its protection (Tools > "
        "Protect Sheet) or choose cells on another sheet, then repeat the request.";

    ScriptRetrieve({2, 1, 2, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    EXPECT_EQ(LastMessage(), "LibreOffice Calc refused to write the cells R2C3:R2C4 " +
                                 protectedSheet + "\r\nNo result was written.");
    EXPECT_TRUE(Empty(2, 3));

    ClsWithinExcel excel(*app, box, exchange.string());
    box.shown.clear();
    box.beforeAnswer = {nullptr};
    box.answers = {MsgAnswer::OK};
    ScriptSelection({1, 1, 2, 1});
    EXPECT_FALSE(excel.WriteToExcel({{1.0, 2.0}, {3.0, 4.0}}));
    EXPECT_EQ(LastMessage(), "LibreOffice Calc refused to write the cells R1C1:R2C2 " +
                                 protectedSheet + "\r\nNothing was written.");
    EXPECT_EQ(Number(2, 1), 27.7);

    EXPECT_TRUE(app->BindRunning());
    EXPECT_TRUE(user->OfficeAnswers());
}

// ----- Numbers as stored, whatever their format shows -----

#ifdef UTM_HAVE_TRANSFER
TEST_F(CalcTest, NumbersAreReadAsStoredWhateverTheirFormatShows) {
    Put(2, 1, {{426207.41, 3206261.5}});
    user->SetNumberFormat("Sheet1", {2, 1, 2, 1}, "0");
    user->SetNumberFormat("Sheet1", {2, 2, 2, 2}, "0.00E+00");
    ASSERT_EQ(user->Shown("Sheet1", 2, 1), "426207");
    ASSERT_EQ(user->Shown("Sheet1", 2, 2), "3.21E+06");

    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptSelection({2, 1, 2, 2});
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block) << LastMessage();
    EXPECT_EQ(*block, (BlockCells{{426207.41, 3206261.5}}));

    // The transfer of the stored values, to the last digit.
    box.shown.clear();
    ClsWithinExcel excel2(*app, box, exchange.string());
    ScriptWithinExcel({2, 1, 2, 2}, {2, 4, 3, 4});
    TransferWithinExcel(excel2, box, 0);
    double x = 0, y = 0;
    ClsUTM().XYEverest81ToXYEverest84(426207.41, 3206261.5, x, y);
    EXPECT_EQ(Number(2, 4), x);
    EXPECT_EQ(Number(2, 5), y);
}
#endif

// ----- No conversion chosen -----

#ifdef UTM_HAVE_TRANSFER
TEST_F(CalcTest, WithinExcelWithoutAConversionSaysSoAndWritesNothing) {
    Put(2, 1, {{426207.01, 3206261.5}});
    Put(2, 4, {{std::string("the user's"), std::string("cells")}});
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptWithinExcel({2, 1, 2, 2}, {2, 4, 3, 4});
    TransferWithinExcel(excel, box, -1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, kNoTransferChosen);
    EXPECT_EQ(std::get<std::string>(Cell(2, 4)), "the user's");
    EXPECT_EQ(std::get<std::string>(Cell(2, 5)), "cells");
}
#endif

// ----- Cells taken as 0 are counted and named -----

TEST_F(CalcTest, RetrieveNamesTheCellsItTookAsZero) {
    Put(2, 1,
        {{27.7, 85.3},
         {std::string("27,7"), 85.3},
         {std::string("27.7°"), 85.3},
         {std::monostate(), std::monostate()},  // a blank spacer row
         {27.5, 84.0}});
    ScriptRetrieve({2, 1, 6, 2});
    SelectRangePaste paste(*app, box);
    ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste));
    // The blank row is left alone; the partial numbers are taken as 0.
    EXPECT_EQ(LastMessage(),
              "4 rows received their results.\r\n2 cells of the block R2C1:R6C2 on the "
              "sheet \"Sheet1\" (rows 3, 4) are not numbers: they were taken as 0.");
    EXPECT_EQ(box.shown.back().icon, MsgIcon::Information);
    EXPECT_TRUE(Empty(5, 3));
    EXPECT_DOUBLE_EQ(Number(6, 3), 500000.0) << "the rows after them are converted";
}

#ifdef UTM_HAVE_TRANSFER
TEST_F(CalcTest, WithinExcelNamesRowsWithoutNumbersAndRefusesPartialNumbers) {
    Put(2, 1, {{426207.01, 3206261.5}, {std::string("pillar"), 3206261.5}, {426207.01, 3206261.5}});
    ClsWithinExcel excel(*app, box, exchange.string());
    ScriptWithinExcel({2, 1, 4, 2}, {2, 4, 3, 4});
    TransferWithinExcel(excel, box, 0);
    EXPECT_EQ(LastMessage(),
              "The results of 2 rows were written.\r\n1 row of the block R2C1:R4C2 on the sheet "
              "\"Sheet1\" (row 3) holds no number in a coordinate cell: its result cells were "
              "left empty.");
    EXPECT_TRUE(Empty(3, 4));
    EXPECT_NEAR(Number(4, 4), 133754.5409, 1e-4);

    // A text that only starts with a number stops the transfer before anything is written.
    Put(3, 1, {{std::string("27,7"), 85.3}});
    Put(2, 4,
        {{std::monostate(), std::monostate()},
         {std::monostate(), std::monostate()},
         {std::monostate(), std::monostate()}});
    box.shown.clear();
    ClsWithinExcel excel2(*app, box, exchange.string());
    ScriptWithinExcel({2, 1, 4, 2}, {2, 4, 3, 4});
    TransferWithinExcel(excel2, box, 0);
    EXPECT_EQ(LastMessage(),
              "The selection cannot be transferred: in row 3 of the sheet, the cell text "
              "\"27,7\" is not a number\r\nNothing was written.");
    EXPECT_TRUE(Empty(2, 4));
}
#endif

// ----- Calc and Excel workbooks -----

TEST_F(CalcTest, RetrieveOpensCalcAndExcelWorkbooks) {
    const std::pair<const char*, const char*> kinds[] = {{".xlsx", "Calc MS Excel 2007 XML"},
                                                         {".xls", "MS Excel 97"}};
    for (const auto& [extension, filter] : kinds) {
        app->StartNew();
        Put(2, 1, {{27.7, 85.3}});
        box.shown.clear();
        // A copy in the Excel format, which Retrieve opens as a workbook of its own.
        ScriptRetrieve({2, 1, 2, 2}, "Sheet1", extension, filter);
        SelectRangePaste paste(*app, box);
        ASSERT_TRUE(RunRetrieve(ConversionDirection::LatLongToXY, paste))
            << extension << ": " << LastMessage();
        EXPECT_TRUE(Contains(app->ActiveSheet()->WorkbookName(), extension)) << extension;
        EXPECT_DOUBLE_EQ(Number(2, 3), 628198.193) << extension;
    }
    ASSERT_FALSE(files.requests.empty());
    EXPECT_EQ(files.requests.back().filter,
              "Calc and Excel workbooks|*.ods;*.xlsx;*.xls|*.xls (Excel Files)|*.xls|");
}

// ----- An office that is missing or goes away -----

TEST(CalcStartTest, NoCalcOrADeadCalcGivesAClearMessage) {
    ::signal(SIGPIPE, SIG_IGN);
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
    // An office that goes away in the middle of a request: ended by another
    // client, as if it had crashed. The request's own connection must see it.
    fs::path folder = MakeTempFolder("utm-calc-dead");
    {
        const CalcOptions options = CalcOptions::Headless((folder / "profile").string());
        CalcSpreadsheet app(options);
        ScriptedMessageBox box2;
        ClsWithinExcel excel2(app, box2, folder.string());
        box2.answers = {MsgAnswer::OK, MsgAnswer::OK};
        box2.beforeAnswer = {nullptr, [&] { CalcUser(options.pipeName).TerminateOffice(); }};
        EXPECT_FALSE(excel2.GetVals());  // started after "New Excel will be opened"
        ASSERT_EQ(box2.shown.size(), 3u);
        EXPECT_EQ(box2.shown[2].text, kStopped);
        EXPECT_FALSE(app.BindRunning());
    }
    RemoveFolder(folder);
}

}  // namespace
}  // namespace utm
