// The block exchange through an in-memory sheet: GetVals arrays, the exchange
// file's bytes and its removal, WriteToExcel positions and the prompts.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "MemorySpreadsheet.h"
#include "geodesy/ArithmeticError.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/SheetBlock.h"
#include "support/ScriptedPorts.h"

namespace utm {
namespace {

using test::MemorySpreadsheet;
using test::ScriptedMessageBox;

// A private temporary folder, removed with whatever is left in it.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = DefaultTempFolder() + "/utm-spreadsheet-test-XXXXXX";
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        for (const auto& name : Entries()) ::unlink((path + "/" + name).c_str());
        ::rmdir(path.c_str());
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(path.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") names.push_back(name);
            }
            ::closedir(dir);
        }
        return names;
    }
    std::string path;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ClsWithinExcelTest : public ::testing::Test {
  protected:
    TempFolder temp;
    MemorySpreadsheet app;
    ScriptedMessageBox box;
    ClsWithinExcel excel{app, box, temp.path};

    void Fill(int row, int column, SheetValue value) { app.Sheet().At(row, column) = value; }
    SheetValue Cell(int row, int column) { return app.Sheet().Get(row, column); }
    // Selects `address` at the next prompt and confirms it.
    void ScriptSelection(const std::string& address) {
        box.beforeAnswer.push_back([this, address] { app.SelectByHand(address); });
        box.beforeAnswer.push_back(nullptr);
        box.answers.push_back(MsgAnswer::OK);
        box.answers.push_back(MsgAnswer::OK);
    }
};

TEST_F(ClsWithinExcelTest, GetValsReturnsStoredNumbersAndTextsOfTheBlock) {
    Fill(3, 2, 426207.01);
    Fill(3, 3, 3206261.5);
    Fill(4, 2, std::string("X"));
    Fill(4, 3, std::string("Y"));
    Fill(5, 2, 1.0);
    Fill(5, 3, -2.5);
    Fill(6, 2, 99.0);  // below the block
    ScriptSelection("R3C2:R5C3");
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block);
    BlockCells expected = {{426207.01, 3206261.5}, {"X", "Y"}, {1.0, -2.5}};
    EXPECT_EQ(*block, expected);
    EXPECT_EQ(app.selection, "R3C2:R5C3");  // the block became the selection
    EXPECT_TRUE(temp.Entries().empty()) << "the exchange file is deleted";
    EXPECT_EQ(box.shown.front().text, " Select your Data in Current Excel Sheet.");

    // Three columns give three array columns; an empty row stays unset.
    Fill(5, 4, std::string("z"));
    app.Sheet().cells.erase({4, 2});
    app.Sheet().cells.erase({4, 3});
    ScriptSelection("R3C2:R5C4");
    block = excel.GetVals();
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 3u);
    EXPECT_EQ((*block)[0].size(), 3u);
    EXPECT_EQ((*block)[2][2], CellContent("z"));
    EXPECT_EQ((*block)[1][0], CellContent(""));  // the line held two tabs
    EXPECT_TRUE(temp.Entries().empty());
}

TEST_F(ClsWithinExcelTest, GetValsCancelledOrRefusedGivesNoArray) {
    box.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(excel.GetVals());
    EXPECT_EQ(app.Count("CopySelectionText"), 0u);

    box.shown.clear();
    ScriptSelection("R2C1:R2C2,R4C1:R4C2");
    EXPECT_FALSE(excel.GetVals());
    EXPECT_EQ(box.shown.back().text,
              "The selection A2:B2, A4:B4 is not one block of cells: it is made of 2 separate "
              "parts. Select one block given by two corners, for example C2:D10.");
    EXPECT_TRUE(temp.Entries().empty());

    // Whole rows are cut to the cells in use.
    app.Sheet().At(3, 1) = 27.7;
    app.Sheet().At(3, 2) = 85.3;
    box.shown.clear();
    ScriptSelection("R2:R4");
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block) << box.shown.back().text;
    EXPECT_EQ(excel.InputBlock(), (CellBlock{2, 1, 3, 2}));
}

TEST_F(ClsWithinExcelTest, NoRunningApplicationStartsANewOneOrSaysItCannot) {
    app.running = false;
    box.answers = {MsgAnswer::OK, MsgAnswer::Cancel};
    EXPECT_FALSE(excel.GetVals());
    ASSERT_GE(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].text, "Excel is not Opened\r\n New Excel will be opened");
    EXPECT_EQ(box.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(app.Count("StartNew"), 1u);
    EXPECT_EQ(app.active, 1u);  // the new application's empty sheet

    // Not installed: the message says so and nothing else is asked.
    MemorySpreadsheet none;
    none.running = false;
    none.canStart = false;
    ScriptedMessageBox box2;
    ClsWithinExcel excel2(none, box2, temp.path);
    EXPECT_FALSE(excel2.GetVals());
    ASSERT_EQ(box2.shown.size(), 2u);
    EXPECT_EQ(box2.shown[1].text, "LibreOffice Calc is not installed.");
    excel2.WriteToExcel({{{1.0, 2.0}}});
    EXPECT_EQ(box2.shown.size(), 4u);
    EXPECT_EQ(none.Count("Selection"), 0u);
}

TEST_F(ClsWithinExcelTest, WriteToExcelRefusesOneCellAndStopsAtCancel) {
    // A single cell: "Invalid selection", then asked again; Cancel ends it.
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::Cancel};
    box.beforeAnswer = {nullptr, [this] { app.SelectByHand("R10C6"); }};
    excel.WriteToExcel({{1.0, 2.0}});
    ASSERT_EQ(box.shown.size(), 5u);
    EXPECT_EQ(box.shown[3].text, "Invalid selection");
    EXPECT_EQ(box.shown[4].text, "Locate the Pointer on Excel for Output");
    EXPECT_EQ(app.Count("SetValues"), 0u);

    // Cancel at the first prompt: no second prompt, nothing written.
    box.shown.clear();
    box.answers = {MsgAnswer::Cancel};
    excel.WriteToExcel({{1.0, 2.0}});
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(app.Count("Selection"), 1u);
    EXPECT_TRUE(app.Sheet().cells.empty());
}

TEST_F(ClsWithinExcelTest, EachOperationUsesTheSheetItsSelectionIsOn) {
    test::MemorySheet& results = app.AddSheet("Results");
    results.At(1, 1) = 5.0;
    results.At(1, 2) = 6.0;
    Fill(1, 1, 1.0);
    Fill(1, 2, 2.0);
    // The input is selected on the second sheet, the output on the first.
    box.beforeAnswer = {[this] { app.SelectByHand(1, "R1C1:R1C2"); }, nullptr, nullptr,
                        [this] { app.SelectByHand(0, "R5C1:R6C1"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    std::optional<BlockCells> block = excel.GetVals();
    ASSERT_TRUE(block);
    EXPECT_EQ(*block, (BlockCells{{5.0, 6.0}}));
    EXPECT_TRUE(excel.WriteToExcel({{7.0, 8.0}}));
    ASSERT_EQ(box.shown.size(), 5u);
    EXPECT_EQ(box.shown[4].text,
              "The address of the selected range is R5C1:R6C1\r\nThe results go to the sheet "
              "\"Sheet1\"; the input block is on the sheet \"Results\".");
    EXPECT_EQ(std::get<double>(Cell(5, 2)), 8.0);
    EXPECT_FALSE(results.cells.count({5, 2}));
}

TEST_F(ClsWithinExcelTest, ExchangeFileBytesAndReading) {
    // The text and one more line end; a text without its final line end is completed.
    std::string path = WriteExchangeFile(temp.path, "a\tb\r\nc\td\r\n");
    EXPECT_EQ(ReadBytes(path), "a\tb\r\nc\td\r\n\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    CellTexts rows = ReadExchangeFile(path);
    EXPECT_EQ(rows, (CellTexts{{"a", "b"}, {"c", "d"}}));
    EXPECT_TRUE(temp.Entries().empty());

    path = WriteExchangeFile(temp.path, "a\tb\r\nc\td");
    EXPECT_EQ(ReadBytes(path), "a\tb\r\nc\td\r\n\r\n");
    EXPECT_EQ(ReadExchangeFile(path).size(), 2u);

    // A short row fills what it has, a long row is cut to the first row's width.
    path = WriteExchangeFile(temp.path, "a\tb\r\nc\r\nd\te\tf\r\n\r\n");
    rows = ReadExchangeFile(path);
    CellTexts expected = {
        {"a", "b"}, {"c", std::nullopt}, {"d", "e"}, {std::nullopt, std::nullopt}};
    EXPECT_EQ(rows, expected);

    // A single cell.
    path = WriteExchangeFile(temp.path, "5");
    EXPECT_EQ(ReadExchangeFile(path), (CellTexts{{"5"}}));
    EXPECT_TRUE(temp.Entries().empty());

    EXPECT_THROW(WriteExchangeFile(temp.path + "/missing", "x"), std::system_error);
}

TEST_F(ClsWithinExcelTest, TransferWithinExcelWritesTheResultOrSaysWhyNot) {
    Fill(2, 1, 1.0);
    Fill(2, 2, 2.0);
    Fill(3, 1, 3.0);
    Fill(3, 2, 4.0);
    ScriptSelection("R2C1:R3C2");
    box.answers.push_back(MsgAnswer::OK);
    ScriptSelection("R2C4:R3C5");
    BlockCells seen;
    TransferWithinExcel(excel, box, [&](const BlockCells& cells, const std::vector<int>&) {
        seen = cells;
        return ExcelRows{{10.0, 20.0}, {30.0, 40.0}};
    });
    EXPECT_EQ(seen, (BlockCells{{1.0, 2.0}, {3.0, 4.0}}));
    EXPECT_EQ(std::get<double>(Cell(2, 4)), 10.0);
    EXPECT_EQ(std::get<double>(Cell(3, 5)), 40.0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(2, 3)));  // input not rewritten

    // One column, and a transfer error: a message, nothing written.
    for (bool oneColumn : {true, false}) {
        box.shown.clear();
        box.answers.clear();
        ScriptSelection(oneColumn ? "R2C1:R3C1" : "R2C1:R3C2");
        int setCalls = app.Sheet().setCalls;
        TransferWithinExcel(excel, box,
                            [](const BlockCells&, const std::vector<int>&) -> ExcelRows {
                                throw ArithmeticError("overflow in row 0");
                            });
        EXPECT_EQ(app.Sheet().setCalls, setCalls);
        EXPECT_EQ(box.shown.back().text,
                  oneColumn ? "The selected block has one column. Select two columns: X and Y."
                            : "The selection cannot be transferred: overflow in row 0\r\nNothing "
                              "was written.");
    }
}

TEST_F(ClsWithinExcelTest, HeaderBlankAndNumberlessRowsAreSortedOutOfTheTransfer) {
    // Column A and B: the X and Y of the block; column D: what the output
    // cells held before.
    struct Row {
        SheetValue x, y;
        SheetValue before;  // column D
        const char* after;  // column D after the run: "keep", "empty" or the number
    };
    const Row rows[] = {
        {std::string("X"), std::string("Y"), std::string("title"), "keep"},  // header
        {1.0, 2.0, 99.0, "10"},
        {SheetValue(), std::string("  "), std::string("spacer"), "keep"},  // blank
        {std::string("abc"), 4.0, 99.0, "empty"},                          // no number
        {5.0, 6.0, 99.0, "50"},
        {std::string("X"), std::string("Y"), std::string("again"), "keep"},  // header again
        {7.0, SheetValue(), 99.0, "empty"},                                  // no number
        {SheetValue(), SheetValue(), std::string("tail"), "keep"},           // blank at the end
    };
    for (int i = 0; i < 8; ++i) {
        Fill(1 + i, 1, rows[i].x);
        Fill(1 + i, 2, rows[i].y);
        Fill(1 + i, 4, rows[i].before);
    }
    ScriptSelection("R1C1:R8C2");
    box.answers.push_back(MsgAnswer::OK);
    ScriptSelection("R1C4:R2C5");
    BlockCells seen;
    std::vector<int> seenRows;
    TransferWithinExcel(
        excel, box, [&](const BlockCells& cells, const std::vector<int>& sheetRows) {
            seen = cells;
            seenRows = sheetRows;
            ExcelRows out;
            for (const auto& row : cells) {
                out.push_back({std::get<double>(*row[0]) * 10, std::get<double>(*row[1]) * 10});
            }
            return out;
        });
    EXPECT_EQ(seen, (BlockCells{{1.0, 2.0}, {5.0, 6.0}}));
    EXPECT_EQ(seenRows, (std::vector<int>{2, 5}));
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("sheet row " + std::to_string(1 + i));
        const std::string after = rows[i].after;
        const SheetValue cell = Cell(1 + i, 4);
        if (after == "keep") {
            EXPECT_EQ(cell, rows[i].before);
            EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1 + i, 5)));
        } else if (after == "empty") {
            EXPECT_TRUE(std::holds_alternative<std::monostate>(cell));
            EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1 + i, 5)));
        } else {
            EXPECT_EQ(cell, SheetValue(std::stod(after)));
        }
    }
    EXPECT_EQ(box.shown.back().text,
              "The results of 2 rows were written.\r\n2 rows of the block R1C1:R8C2 on the sheet "
              "\"Sheet1\" (rows 4, 7) hold no number in a coordinate cell: their result cells were "
              "left empty.");
}

TEST_F(ClsWithinExcelTest, ABlockOfHeaderAndBlankRowsOnlyWritesNothing) {
    Fill(1, 1, std::string("X"));
    Fill(1, 2, std::string("Y"));
    Fill(3, 1, std::string("E"));
    ScriptSelection("R1C1:R3C2");
    const int setCalls = app.Sheet().setCalls;
    bool called = false;
    TransferWithinExcel(excel, box, [&](const BlockCells&, const std::vector<int>&) {
        called = true;
        return ExcelRows{};
    });
    EXPECT_FALSE(called);
    EXPECT_EQ(app.Sheet().setCalls, setCalls);
    EXPECT_EQ(box.shown.back().text,
              "The selected block R1C1:R3C2 on the sheet \"Sheet1\" holds only header and blank "
              "rows. Nothing was written.");
}

TEST(SheetRowSorter, SortsRowsByTheirTwoCoordinateCells) {
    using U = SheetRowUse;
    const SheetValue none;
    const auto text = [](const char* t) { return SheetValue(std::string(t)); };
    struct Step {
        SheetValue a, b;
        U use;
    };
    const Step steps[] = {
        {text("Survey 12"), none, U::Skip},      // a title above everything
        {text("Lat"), text("Long"), U::Skip},    // the header
        {none, text(" "), U::Skip},              // blank
        {27.7, 85.3, U::Point},                  // numbers as stored
        {text(" 27.5 "), text("84"), U::Point},  // numbers as texts
        {text("27.7°"), 85.3, U::Point},         // a partial number is still a point
        {text("see note"), none, U::NoPoint},    // text below the numbers
        {text("Survey 12"), none, U::Skip},      // the title repeated
        {text("Lat"), text("Long"), U::Skip},    // the header repeated
        {text("n/a"), 84.0, U::NoPoint},
        {28.0, none, U::NoPoint},
        {none, none, U::Skip},
    };
    SheetRowSorter sorter;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        EXPECT_EQ(sorter.Next(steps[i].a, steps[i].b).use, steps[i].use);
    }
    // A decimal comma reads with its locale.
    SheetRowSorter comma(',');
    const SheetRow row = comma.Next(text("27,5"), text("84,25"));
    EXPECT_EQ(row.use, U::Point);
    EXPECT_EQ(row.secondValue, 84.25);
    EXPECT_EQ(comma.Next(text("27.7°"), 1.0).first, CoordinateReading::Partial);
    // A decimal comma in a sheet of decimal points only starts a number.
    SheetRowSorter point;
    const SheetRow commaRow = point.Next(text("27,7"), 85.3);
    EXPECT_EQ(commaRow.use, U::Point);
    EXPECT_EQ(commaRow.first, CoordinateReading::Partial);
}

TEST(WrittenRuns, SkipRowsSplitTheWrites) {
    using U = SheetRowUse;
    using Runs = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(WrittenRuns({}), Runs{});
    EXPECT_EQ(WrittenRuns({U::Skip, U::Skip}), Runs{});
    EXPECT_EQ(WrittenRuns({U::Point, U::NoPoint, U::Point}), (Runs{{0, 3}}));
    EXPECT_EQ(WrittenRuns({U::Skip, U::Point, U::Point, U::Skip, U::NoPoint, U::Skip}),
              (Runs{{1, 2}, {4, 1}}));
}

}  // namespace
}  // namespace utm
