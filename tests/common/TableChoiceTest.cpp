// The preview of a data file and the separator and columns picked on it:
// what the preview marks and what the run is then asked for.
#include <gtest/gtest.h>

#include "common/OperationError.h"
#include "common/TableChoice.h"
#include "support/TempFolder.h"

namespace utm {
namespace {

using test::TempFolder;

TableRequest Base(char decimal = '.', FieldSeparator fallback = FieldSeparator::Comma) {
    TableRequest request;
    request.decimalSeparator = decimal;
    request.fallback = fallback;
    return request;
}

std::string ColumnsOf(const TableChoice& choice) {
    return std::to_string(choice.FirstColumn() + 1) + "," +
           std::to_string(choice.SecondColumn() + 1);
}

TEST(TableChoice, FindsTheLayoutOfEachKindOfFile) {
    struct Case {
        const char* name;
        const char* bytes;
        CoordinateKind kind;
        FieldSeparator separator;
        std::size_t headerLine;
        const char* columns;  // 1-based, as found
    };
    const Case cases[] = {
        {"classic", "27.7,85.3\r\n27.5,84\r\n", CoordinateKind::LatLong, FieldSeparator::Comma, 0,
         "1,2"},
        {"named lat/long", "Name;Code;Lat;Long\nP1;BM;27.7;85.3\nP2;BM;27.5;84\n",
         CoordinateKind::LatLong, FieldSeparator::Semicolon, 1, "3,4"},
        {"grid by tabs", "# survey 4\nE\tN\tH\n500000\t3000000\t1300\n", CoordinateKind::Grid,
         FieldSeparator::Tab, 2, "1,2"},
        {"northing first", "Id,Northing,Easting\nA,3000000,500000\n", CoordinateKind::Grid,
         FieldSeparator::Comma, 1, "3,2"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TableChoice choice(c.kind, Base());
        choice.Load(folder.Write("data.csv", c.bytes));
        EXPECT_TRUE(choice.Loaded());
        EXPECT_EQ(choice.Separator(), c.separator);
        EXPECT_EQ(choice.Preview().layout.headerLine, c.headerLine);
        EXPECT_EQ(ColumnsOf(choice), c.columns);
        // Nothing picked: the run finds the layout itself, as the preview did.
        EXPECT_FALSE(choice.Chosen());
        EXPECT_FALSE(choice.Request().separator);
        EXPECT_EQ(choice.Request().columns, "");
    }
}

TEST(TableChoice, MarksHeaderCommentBlankAndCoordinateCells) {
    TempFolder folder;
    TableChoice choice(CoordinateKind::LatLong, Base());
    choice.Load(folder.Write("data.csv", "# points\nName,Lat,Long\n\nP1,27.7,85.3\n"));
    ASSERT_EQ(choice.Preview().rows.size(), 4u);
    struct Expect {
        std::size_t row, column;
        PreviewCell kind;
    };
    const Expect expected[] = {
        {0, 0, PreviewCell::Comment},         {1, 1, PreviewCell::Header},
        {2, 0, PreviewCell::Blank},           {3, 0, PreviewCell::Plain},
        {3, 1, PreviewCell::FirstCoordinate}, {3, 2, PreviewCell::SecondCoordinate},
        {9, 0, PreviewCell::Plain},  // beyond the rows shown
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(std::to_string(e.row) + "/" + std::to_string(e.column));
        EXPECT_EQ(choice.CellKind(e.row, e.column), e.kind);
    }
    EXPECT_EQ(choice.ColumnCaption(1), "2: Lat");
    EXPECT_EQ(choice.Summary(),
              "Separator: comma. Header row: line 2. Coordinates: column 2 (Lat) and column 3 "
              "(Long).");
}

TEST(TableChoice, PickedSeparatorAndColumnsGoIntoTheRequest) {
    TempFolder folder;
    TableChoice choice(CoordinateKind::Grid, Base());
    const std::string path = folder.Write("pts.txt", "1;500000;3000000;12\n2;500100;3000100;13\n");
    choice.Load(path);

    // The separator is read again: the columns follow it.
    choice.ChooseSeparator(FieldSeparator::Semicolon);
    EXPECT_EQ(choice.Separator(), FieldSeparator::Semicolon);
    EXPECT_EQ(choice.ColumnCount(), 4u);
    choice.ChooseColumns(1, 2);
    EXPECT_EQ(choice.CellKind(0, 1), PreviewCell::FirstCoordinate);
    const TableRequest request = choice.Request();
    EXPECT_EQ(request.separator, FieldSeparator::Semicolon);
    EXPECT_EQ(request.columns, "2,3");
    EXPECT_TRUE(choice.Chosen());

    // Columns that are one column or not in the file are refused, the choice kept.
    EXPECT_THROW(choice.ChooseColumns(2, 2), OperationError);
    EXPECT_THROW(choice.ChooseColumns(1, 4), OperationError);
    EXPECT_EQ(ColumnsOf(choice), "2,3");

    // Another file forgets what was picked.
    choice.Load(folder.Write("other.csv", "1,2\n"));
    EXPECT_FALSE(choice.Chosen());
    EXPECT_FALSE(choice.Request().separator);
    choice.Clear();
    EXPECT_FALSE(choice.Loaded());
    EXPECT_EQ(choice.Request().columns, "");
}

TEST(TableChoice, ColumnsPickedByNameSurviveAnotherSeparator) {
    TempFolder folder;
    TableChoice choice(CoordinateKind::Grid, Base());
    // Read by commas the header has one name; by semicolons four.
    choice.Load(folder.Write("a.csv", "Id;X;Y;Z\n1;10,5;20,5;3\n"));
    choice.ChooseSeparator(FieldSeparator::Semicolon);
    choice.ChooseColumns(3, 1);  // Z and X
    EXPECT_EQ(choice.Request().columns, "4,2");
    // Blank separates nothing here: the names are gone, the columns found again.
    choice.ChooseSeparator(FieldSeparator::Blank);
    EXPECT_EQ(choice.Request().columns, "");
    choice.ChooseSeparator(FieldSeparator::Semicolon);
    EXPECT_EQ(choice.Request().columns, "");
    choice.ChooseColumns(3, 1);
    // The same names by another separator that splits alike: kept by name.
    choice.ChooseSeparator(FieldSeparator::Semicolon);
    EXPECT_EQ(choice.Request().columns, "4,2");
    EXPECT_EQ(choice.Preview().columnNames[choice.FirstColumn()], "Z");
}

TEST(TableChoice, AFileThatCannotBeReadHoldsNoChoice) {
    TempFolder folder;
    TableChoice choice(CoordinateKind::LatLong, Base());
    EXPECT_THROW(choice.Load(folder.File("missing.csv")), OperationError);
    EXPECT_FALSE(choice.Loaded());
    EXPECT_THROW(choice.Load(folder.Write("bin.csv", std::string("1,2\0\0\0", 7))), OperationError);
    EXPECT_FALSE(choice.Loaded());
    EXPECT_EQ(choice.Summary(), "");
}

TEST(TableChoice, TheKindDecidesWhichNamedColumnsAreTheCoordinates) {
    TempFolder folder;
    TableChoice choice(CoordinateKind::LatLong, Base());
    choice.Load(folder.Write("both.csv", "E,N,Lat,Long\n500000,3000000,27.1,84.9\n"));
    EXPECT_EQ(ColumnsOf(choice), "3,4");
    choice.SetKind(CoordinateKind::Grid);
    EXPECT_EQ(ColumnsOf(choice), "1,2");
    choice.ChooseColumns(3, 2);
    choice.SetKind(CoordinateKind::LatLong);
    EXPECT_EQ(ColumnsOf(choice), "4,3");  // picked columns stay
}

}  // namespace
}  // namespace utm
