// The Retrieve command and SelectRangePaste driven through an in-memory sheet:
// the cells read and written, the rounding, the finishing format and the
// selection dialogue with its messages.
#include <gtest/gtest.h>

#include <cmath>

#include "MemorySpreadsheet.h"
#include "geodesy/Angles.h"
#include "geodesy/ClsUTM.h"
#include "geodesy/Declaration.h"
#include "spreadsheet/SelectRangePaste.h"
#include "support/ScriptedPorts.h"

namespace utm {
namespace {

using test::MemorySpreadsheet;
using test::ScriptedFileDialog;
using test::ScriptedMessageBox;

double Number(const SheetValue& v) {
    EXPECT_TRUE(std::holds_alternative<double>(v)) << "cell is not a number";
    return std::holds_alternative<double>(v) ? std::get<double>(v) : NAN;
}

class SelectRangePasteTest : public ::testing::Test {
  protected:
    MemorySpreadsheet app;
    ScriptedMessageBox box;
    ScriptedFileDialog files;
    CommonDialog dialog{files};
    SelectRangePaste paste{app, box};

    void SetUp() override {
        app.files.insert("/data/points.ods");
        Declaration::SharedCM = DegreesToRadians(84);
    }

    // The user chooses the workbook, selects `address` at the selection
    // prompt and confirms it.
    void ScriptAccepted(const std::string& address) {
        files.choices.push_back("/data/points.ods");
        box.beforeAnswer = {[this, address] { app.SelectByHand(address); }, nullptr};
        box.answers = {MsgAnswer::OK, MsgAnswer::OK};
    }
    void Fill(int row, int column, SheetValue value) { app.Sheet().At(row, column) = value; }
    SheetValue Cell(int row, int column) { return app.Sheet().Get(row, column); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : box.shown) texts.push_back(m.text);
        return texts;
    }
};

TEST_F(SelectRangePasteTest, ForwardBlockWritesRoundedXYRightOfTheBlockAndFormats) {
    const double rows[3][2] = {{27.7, 85.3}, {27.5, 84.0}, {28.0, 86.0}};
    for (int i = 0; i < 3; ++i) {
        Fill(2 + i, 1, rows[i][0]);
        Fill(2 + i, 2, rows[i][1]);
    }
    Fill(5, 3, std::string("below the block"));
    ScriptAccepted("R2C1:R4C2");
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    ASSERT_FALSE(endsub);
    paste.ComputePaste(true);

    EXPECT_DOUBLE_EQ(Number(Cell(2, 3)), 628198.193);
    EXPECT_DOUBLE_EQ(Number(Cell(2, 4)), 3065307.732);
    ClsUTM utm;
    for (int i = 1; i < 3; ++i) {
        double x = 0, y = 0;
        utm.LatLongToXYEverest(rows[i][0], rows[i][1], 84, x, y);
        double gotX = Number(Cell(2 + i, 3)), gotY = Number(Cell(2 + i, 4));
        EXPECT_NEAR(gotX, x, 0.0005);
        EXPECT_NEAR(gotY, y, 0.0005);
        EXPECT_DOUBLE_EQ(gotX * 1000, std::round(gotX * 1000)) << "three decimals";
    }
    EXPECT_EQ(test::MemorySheet::Display(Cell(5, 3)), "below the block");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1, 3)));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(2, 5)));

    // Read and written by block: one read of the two input columns, one write.
    EXPECT_EQ(app.Sheet().getCalls, 1);
    EXPECT_EQ(app.Sheet().setCalls, 1);

    // Finishing format: columns A to Z selected; the input block in Times New
    // Roman 8 regular, its columns fitted and widened by a quarter each.
    EXPECT_EQ(app.selection, "C1:C26");
    for (int r = 2; r <= 4; ++r) {
        for (int c = 1; c <= 2; ++c) {
            const auto& font = app.Sheet().fonts.at({r, c});
            EXPECT_EQ(font.name, "Times New Roman");
            EXPECT_EQ(font.size, 8);
            EXPECT_EQ(font.style, "Regular");
        }
    }
    EXPECT_FALSE(app.Sheet().fonts.count({2, 3}));
    EXPECT_DOUBLE_EQ(app.Sheet().Width(1), 1.25 * 400);  // "27.7", "27.5", "28"
    EXPECT_DOUBLE_EQ(app.Sheet().Width(2), 1.25 * 400);
    EXPECT_DOUBLE_EQ(app.Sheet().Width(3), 1000);  // the result column keeps its width
}

TEST_F(SelectRangePasteTest, SelectionDialogueFollowsItsStateTable) {
    Fill(2, 1, 27.7);
    Fill(2, 2, 85.3);
    files.choices.push_back("/data/points.ods");
    // prompt OK (one cell) -> confirm OK -> Invalid selection -> prompt OK
    // (block) -> confirm Cancel -> prompt OK -> confirm OK.
    box.beforeAnswer = {[this] { app.SelectByHand("R2C1"); }, nullptr, nullptr,
                        [this] { app.SelectByHand("R2C1:R2C2"); }};
    box.answers = {MsgAnswer::OK,     MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK,
                   MsgAnswer::Cancel, MsgAnswer::OK, MsgAnswer::OK};
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_FALSE(endsub);
    EXPECT_EQ(paste.RangeAddress(), "R2C1:R2C2");

    const std::string prompt = " Select your Data in Current Excel Sheet.";
    std::vector<std::string> expected = {prompt,
                                         "The address of the selected range is R2C1",
                                         "Invalid selection",
                                         prompt,
                                         "The address of the selected range is R2C1:R2C2",
                                         prompt,
                                         "The address of the selected range is R2C1:R2C2"};
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(box.shown[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(box.shown[0].title, "UTM");
    EXPECT_EQ(box.shown[1].title, "Confirmation !");
    EXPECT_EQ(box.shown[1].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(box.shown[2].icon, MsgIcon::Information);
    EXPECT_EQ(box.shown[2].buttons, MsgButtons::OK);
    EXPECT_EQ(box.shown[2].title, "UTM");
    EXPECT_EQ(app.Count("Show"), 3u);  // shown on every OK at the prompt

    // The workbook dialog's settings: Calc and Excel workbooks first, the
    // Excel entry kept.
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].filter,
              "Calc and Excel workbooks|*.ods;*.xlsx;*.xls|*.xls (Excel Files)|*.xls|");
    EXPECT_EQ(files.requests[0].title, "Select the data file for Sorting");
    EXPECT_EQ(files.requests[0].action, FileDialogAction::Open);
}

TEST_F(SelectRangePasteTest, CancelAtTheSelectionPromptEndsWithNothingReadOrWritten) {
    files.choices.push_back("/data/points.ods");
    box.answers = {MsgAnswer::Cancel};
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_TRUE(endsub);
    paste.ComputePaste(true);
    EXPECT_EQ(app.Count("GetValues"), 0u);
    EXPECT_EQ(app.Count("SetValues"), 0u);
    EXPECT_TRUE(app.Sheet().cells.empty());
}

TEST_F(SelectRangePasteTest, RequestsThatCannotGoOnEndWithAMessage) {
    // No workbook chosen: the message, and nothing is bound.
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_TRUE(endsub);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Select the Excel data file"});
    EXPECT_EQ(app.calls.size(), 0u);

    // A workbook that cannot be opened.
    box.shown.clear();
    files.choices.push_back("/data/missing.ods");
    endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_TRUE(endsub);
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"The workbook /data/missing.ods cannot be opened."});

    // Several parts are refused, said in A1 notation; rows hidden between
    // parts of the same columns are a filter's.
    app.Sheet().hiddenRows = {3};
    const struct {
        const char* address;
        const char* message;
    } kSeveralParts[] = {
        {"R2C1:R2C2,R4C1:R5C2",
         "The selection A2:B2, A4:B5 is not one block of cells: rows hidden by a filter split it "
         "into 2 parts, and results written beside it would land beside the hidden rows too. "
         "Show every row again (remove the filter), or copy the visible rows to a sheet of their "
         "own, and select them as one block."},
        {"R1C1:R1C2,R4C1:R5C2",  // row 2 is not hidden
         "The selection A1:B1, A4:B5 is not one block of cells: it is made of 2 separate parts. "
         "Select one block given by two corners, for example C2:D10."},
        {"R2C1:R2C2,R4C27:R5C28",
         "The selection A2:B2, AA4:AB5 is not one block of cells: it is made of 2 separate "
         "parts. Select one block given by two corners, for example C2:D10."},
        {"C1:C2,R7:R9,R2C3",
         "The selection A:B, 7:9, C2 is not one block of cells: it is made of 3 separate parts. "
         "Select one block given by two corners, for example C2:D10."},
    };
    for (const auto& [address, message] : kSeveralParts) {
        box.shown.clear();
        ScriptAccepted(address);
        endsub = false;
        paste.ReadSheet(dialog, endsub);
        EXPECT_TRUE(endsub) << address;
        ASSERT_EQ(box.shown.size(), 3u);
        EXPECT_EQ(box.shown[2].text, message);
    }
    EXPECT_EQ(app.Count("GetValues"), 0u);

    // The application dies while the block is read.
    box.shown.clear();
    ScriptAccepted("R2C1:R3C2");
    box.beforeAnswer.push_back([this] { app.dead = true; });  // at the confirmation
    box.beforeAnswer.erase(box.beforeAnswer.begin() + 1);
    endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_TRUE(endsub);
    EXPECT_EQ(box.shown.back().text, "LibreOffice Calc stopped responding.");
}

TEST_F(SelectRangePasteTest, RowThatCannotBeConvertedStopsTheRunAndIsNamed) {
    for (int r = 2; r <= 5; ++r) {
        Fill(r, 1, 27.7);
        Fill(r, 2, 85.3);
    }
    Fill(4, 1, 1e308);  // overflows in the conversion to radians
    ScriptAccepted("R2C1:R5C2");
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    box.shown.clear();
    paste.ComputePaste(true);
    EXPECT_DOUBLE_EQ(Number(Cell(2, 3)), 628198.193);
    EXPECT_DOUBLE_EQ(Number(Cell(3, 4)), 3065307.732);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(4, 3)));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(5, 3)));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("Row 4 cannot be converted"), std::string::npos);
    EXPECT_NE(box.shown[0].text.find("Rows 2 to 3 received their results."), std::string::npos);
    EXPECT_EQ(app.Count("SetFont"), 0u);  // no finishing format
    EXPECT_EQ(app.selection, "R2C1:R5C2");
}

TEST_F(SelectRangePasteTest, AWholeSheetIsCutToItsDataAndAHugeBlockRefused) {
    Fill(1, 1, 27.7);
    Fill(1, 2, 85.3);
    Fill(2, 1, std::string("27,7"));
    Fill(2, 2, 85.3);
    ScriptAccepted("R1C1:R1048576C16384");
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    ASSERT_FALSE(endsub) << Texts().back();
    EXPECT_EQ(paste.RangeAddress(), "R1C1:R1048576C16384");
    paste.ComputePaste(true);
    EXPECT_DOUBLE_EQ(Number(Cell(1, 3)), 628198.193);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(3, 3)));
    EXPECT_EQ(Texts().back(),
              "Rows 1 to 2 received their results.\r\n1 cell of the block R1C1:R2C2 on the sheet "
              "\"Sheet1\" (row 2) is not a number: it was taken as 0.");

    // Data down to the last row: 1,048,576 rows of two columns are too many.
    Fill(1048576, 1, 1.0);
    box.shown.clear();
    ScriptAccepted("R1C1:R1048576C2");
    endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_TRUE(endsub);
    EXPECT_EQ(Texts().back(),
              "The selected block R1C1:R1048576C2 would take 2,097,152 cells to read, more than "
              "the 2,000,000 one request reads. Select a smaller block and repeat the request; "
              "nothing was read or written.");
    EXPECT_EQ(app.Count("GetValues"), 1u);  // only that of the first request
}

TEST_F(SelectRangePasteTest, WholeColumnsAndRowsAreCutToTheCellsInUse) {
    Fill(1, 1, std::string("Latitude"));
    Fill(1, 2, std::string("Longitude"));
    Fill(2, 1, 27.7);
    Fill(2, 2, 85.3);
    const struct {
        const char* address;
        int resultColumn;  // where X lands
    } kWhole[] = {
        {"C1:C2", 3},  // a click on the heads of A and B
        {"R1:R2", 3},  // on the heads of rows 1 and 2: cut to columns A:B
        {"C1:C4", 3},  // the two empty columns right of the data are cut off
    };
    for (const auto& [address, resultColumn] : kWhole) {
        box.shown.clear();
        std::erase_if(app.Sheet().cells, [](const auto& cell) { return cell.first.second > 2; });
        ScriptAccepted(address);
        bool endsub = false;
        paste.ReadSheet(dialog, endsub);
        ASSERT_FALSE(endsub) << address << ": " << Texts().back();
        paste.ComputePaste(true);
        EXPECT_TRUE(std::holds_alternative<double>(Cell(2, resultColumn))) << address;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1, resultColumn))) << address;
    }
    EXPECT_DOUBLE_EQ(Number(Cell(2, 3)), 628198.193);
    EXPECT_DOUBLE_EQ(Number(Cell(2, 4)), 3065307.732);
}

TEST_F(SelectRangePasteTest, RetrieveSetsTheCentralMeridianAndRunsBothSteps) {
    auto object = [this]() -> SelectRangePaste& { return paste; };
    int cleared = 0;
    auto clear = [&] { ++cleared; };

    // Cancel at " Select your Excel Data file.": nothing else.
    box.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(Retrieve(object, box, dialog, "87", ConversionDirection::LatLongToXY, clear));
    EXPECT_DOUBLE_EQ(Declaration::SharedCM, 87 * Pi() / 180);
    EXPECT_EQ(Texts(), std::vector<std::string>{" Select your Excel Data file."});
    EXPECT_EQ(box.shown[0].buttons, MsgButtons::OKCancel);
    EXPECT_TRUE(files.requests.empty());

    // Neither direction: the request ends before the first prompt.
    box.shown.clear();
    EXPECT_FALSE(Retrieve(object, box, dialog, "", ConversionDirection::None, clear));
    EXPECT_DOUBLE_EQ(Declaration::SharedCM, 0.0);  // an empty box gives 0
    EXPECT_TRUE(box.shown.empty());

    // A full request with the central meridian typed as 84.
    Fill(2, 1, 27.7);
    Fill(2, 2, 85.3);
    files.choices.push_back("/data/points.ods");
    box.beforeAnswer = {nullptr, [this] { app.SelectByHand("R2C1:R2C2"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    EXPECT_TRUE(Retrieve(object, box, dialog, "84", ConversionDirection::LatLongToXY, clear));
    EXPECT_EQ(cleared, 1);
    EXPECT_DOUBLE_EQ(Number(Cell(2, 3)), 628198.193);

    // Cancel at the selection prompt: the box keeps its text.
    files.choices.push_back("/data/points.ods");
    box.answers = {MsgAnswer::OK, MsgAnswer::Cancel};
    EXPECT_FALSE(Retrieve(object, box, dialog, "84", ConversionDirection::XYToLatLong, clear));
    EXPECT_EQ(cleared, 1);
}

TEST_F(SelectRangePasteTest, RetrieveRefusesACentralMeridianOutOfRangeBeforeAsking) {
    auto object = [this]() -> SelectRangePaste& { return paste; };
    EXPECT_FALSE(Retrieve(object, box, dialog, "1e10", ConversionDirection::LatLongToXY, {}));
    EXPECT_EQ(Texts(), std::vector<std::string>{"The central meridian 10000000000 lies outside "
                                                "-180 to 360 degrees. Nothing was converted."});
    EXPECT_TRUE(files.requests.empty());
}

TEST_F(SelectRangePasteTest, RetrieveFollowsTheLatitudeLongitudeDatum) {
    // A GPS position (WGS 84) goes to Nepal 1981 with EPSG:6208 before the
    // projection, and the inverse comes back to WGS 84.
    auto object = [this]() -> SelectRangePaste& { return paste; };
    Fill(2, 1, 27.7);
    Fill(2, 2, 85.3);
    files.choices.push_back("/data/points.ods");
    box.beforeAnswer = {nullptr, [this] { app.SelectByHand("R2C1:R2C2"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    EXPECT_TRUE(Retrieve(object, box, dialog, "84", ConversionDirection::LatLongToXY, {},
                         LatLongDatum::WGS84));
    EXPECT_DOUBLE_EQ(Number(Cell(2, 3)), 628431.102);
    EXPECT_DOUBLE_EQ(Number(Cell(2, 4)), 3065289.567);

    Fill(4, 1, 628431.102);
    Fill(4, 2, 3065289.567);
    files.choices.push_back("/data/points.ods");
    box.beforeAnswer = {nullptr, [this] { app.SelectByHand("R4C1:R4C2"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    EXPECT_TRUE(Retrieve(object, box, dialog, "84", ConversionDirection::XYToLatLong, {},
                         LatLongDatum::WGS84));
    EXPECT_DOUBLE_EQ(Number(Cell(4, 3)), 27.7);
    EXPECT_DOUBLE_EQ(Number(Cell(4, 4)), 85.3);
}

TEST_F(SelectRangePasteTest, RetrieveRoundsDegreesToTheUnitsAndMetresToThreeDecimals) {
    auto object = [this]() -> SelectRangePaste& { return paste; };
    const double xy[3][2] = {{628198.1932, 3065307.7324}, {500000, 3000000}, {400000, -3000000}};
    for (int i = 0; i < 3; ++i) {
        Fill(2 + i, 1, xy[i][0]);
        Fill(2 + i, 2, xy[i][1]);
    }
    const auto retrieve = [&](ConversionDirection direction, Units units) {
        files.choices.push_back("/data/points.ods");
        box.beforeAnswer = {nullptr, [this] { app.SelectByHand("R2C1:R4C2"); }, nullptr};
        box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
        EXPECT_TRUE(
            Retrieve(object, box, dialog, "84", direction, {}, LatLongDatum::Everest1830, units));
    };
    // Degrees8 and Dms both write decimal degrees to eight places, as numbers.
    for (Units units : {Units::Degrees8, Units::Dms}) {
        retrieve(ConversionDirection::XYToLatLong, units);
        EXPECT_EQ(Number(Cell(2, 3)), 27.7);
        EXPECT_EQ(Number(Cell(2, 4)), 85.3);
        EXPECT_EQ(Number(Cell(3, 3)), 27.11662043);
        EXPECT_EQ(Number(Cell(3, 4)), 84.0);
        EXPECT_EQ(Number(Cell(4, 3)), -27.11299884);
        EXPECT_EQ(Number(Cell(4, 4)), 82.99127073);
    }
    retrieve(ConversionDirection::XYToLatLong, Units::DegreesMetres);
    EXPECT_EQ(Number(Cell(3, 3)), 27.117);
    EXPECT_EQ(Number(Cell(4, 4)), 82.991);
    // Eastings and northings keep three decimals.
    Fill(2, 1, 27.7);
    Fill(2, 2, 85.3);
    retrieve(ConversionDirection::LatLongToXY, Units::Degrees8);
    EXPECT_EQ(Number(Cell(2, 3)), 628198.193);
    EXPECT_EQ(Number(Cell(2, 4)), 3065307.732);
}

TEST_F(SelectRangePasteTest, HeaderAndBlankRowsAreLeftAloneAndRowsWithoutNumbersNamed) {
    const SheetValue none;
    const auto text = [](const char* t) { return SheetValue(std::string(t)); };
    struct Row {
        SheetValue lat, lon;
        SheetValue before;  // column C before the run
        const char* after;  // "keep", "empty" or "result"
    };
    const Row rows[] = {
        {text("Lat"), text("Long"), text("X"), "keep"},  // header
        {27.7, 85.3, none, "result"},
        {none, none, text("spacer"), "keep"},  // blank
        {text("n/a"), 84.0, 1.0, "empty"},     // text: no number
        {28.0, 86.0, none, "result"},
        {text("Lat"), text("Long"), text("X"), "keep"},  // header repeated
        {27.5, text(""), 1.0, "empty"},                  // empty text: no number
        {text("27.7°"), 85.3, none, "result"},           // partial: taken as 0, as before
    };
    for (int i = 0; i < 8; ++i) {
        Fill(1 + i, 1, rows[i].lat);
        Fill(1 + i, 2, rows[i].lon);
        Fill(1 + i, 3, rows[i].before);
    }
    ScriptAccepted("R1C1:R8C2");
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    ASSERT_FALSE(endsub);
    paste.ComputePaste(true);

    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("sheet row " + std::to_string(1 + i));
        const std::string after = rows[i].after;
        if (after == "keep") {
            EXPECT_EQ(Cell(1 + i, 3), rows[i].before);
            EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1 + i, 4)));
        } else if (after == "empty") {
            EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1 + i, 3)));
            EXPECT_TRUE(std::holds_alternative<std::monostate>(Cell(1 + i, 4)));
        } else {
            EXPECT_TRUE(std::holds_alternative<double>(Cell(1 + i, 3)));
            EXPECT_TRUE(std::holds_alternative<double>(Cell(1 + i, 4)));
        }
    }
    EXPECT_DOUBLE_EQ(Number(Cell(2, 3)), 628198.193);
    EXPECT_DOUBLE_EQ(Number(Cell(2, 4)), 3065307.732);
    // The partial number was read as 0, as before: latitude 0 on the equator.
    EXPECT_DOUBLE_EQ(Number(Cell(8, 4)), 0.0);
    ASSERT_FALSE(box.shown.empty());
    EXPECT_EQ(box.shown.back().text,
              "3 rows received their results.\r\n"
              "1 cell of the block R1C1:R8C2 on the sheet \"Sheet1\" (row 8) is not a number: it "
              "was taken as 0.\r\n"
              "2 rows of the block R1C1:R8C2 on the sheet \"Sheet1\" (rows 4, 7) hold no number "
              "in a coordinate cell: their result cells were left empty.");
}

TEST_F(SelectRangePasteTest, ASelectionOfHeaderAndBlankRowsOnlyConvertsNothing) {
    Fill(1, 1, std::string("Lat"));
    Fill(1, 2, std::string("Long"));
    Fill(3, 2, std::string("   "));
    ScriptAccepted("R1C1:R3C2");
    bool endsub = false;
    paste.ReadSheet(dialog, endsub);
    EXPECT_TRUE(endsub);
    EXPECT_EQ(app.Sheet().setCalls, 0);
    EXPECT_EQ(box.shown.back().text,
              "The selected block R1C1:R3C2 on the sheet \"Sheet1\" holds only header and blank "
              "rows. Nothing was converted.");
}

}  // namespace
}  // namespace utm
