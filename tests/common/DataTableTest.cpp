// The table reader: separators, quotes, header, comment and blank rows, and
// the coordinate columns, on the first lines of survey files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/DataTable.h"
#include "common/OperationError.h"

namespace {

using utm::CoordinateKind;
using utm::CoordinateReading;
using utm::FieldSeparator;
using utm::RowKind;
using utm::TableLayout;
using utm::TableRequest;

TableLayout Detect(const std::string& start, CoordinateKind kind = CoordinateKind::LatLong,
                   TableRequest request = {}) {
    return utm::DetectTableLayout(start, true, kind, request);
}

TEST(DataTable, LayoutOfSurveyFiles) {
    struct Case {
        const char* start;
        CoordinateKind kind;
        FieldSeparator separator;
        std::size_t first, second;
        std::size_t headerLine;
    };
    const Case cases[] = {
        // Classic two-number files.
        {"27.7,85.3\r\n27.5,84\r\n", CoordinateKind::LatLong, FieldSeparator::Comma, 0, 1, 0},
        {"27.7, 85.3\r\n27.5, 84\r\n", CoordinateKind::LatLong, FieldSeparator::Comma, 0, 1, 0},
        // Header names pick the columns, a unit in brackets allowed.
        {"ID,Code,Lat,Lon,Elev\r\nBM1,CP,27.7,85.3,1350.2\r\n", CoordinateKind::LatLong,
         FieldSeparator::Comma, 2, 3, 1},
        {"Point;Easting [m];Northing [m]\n1;628198.193;3065307.732\n", CoordinateKind::Grid,
         FieldSeparator::Semicolon, 1, 2, 1},
        {"# job 12\n\nname\tX\tY\nA\t1\t2\n", CoordinateKind::Grid, FieldSeparator::Tab, 1, 2, 3},
        // Blank-separated, a name after the numbers (cs2cs style).
        {"27.7 85.3 BM1\n27.5  84   BM2\n", CoordinateKind::LatLong, FieldSeparator::Blank, 0, 1,
         0},
        // A name first and no header: the first neighbouring numeric columns.
        {"BM1 27.7 85.3 1350\nBM2 27.5 84 1200\n", CoordinateKind::LatLong, FieldSeparator::Blank,
         1, 2, 0},
        // A header without known names: the first two fields, header by having no numbers.
        {"a,b\r\n1,2\r\n", CoordinateKind::Grid, FieldSeparator::Comma, 0, 1, 1},
        // Quoted fields hold the separator; decimal commas in a semicolon file.
        {"\"Ridge, north\",27.7,85.3\n\"Camp, 2\",27.5,84\n", CoordinateKind::LatLong,
         FieldSeparator::Comma, 1, 2, 0},
        // One field per line: the fallback separator.
        {"27.7\n28\n", CoordinateKind::LatLong, FieldSeparator::Comma, 0, 1, 0},
    };
    for (const Case& c : cases) {
        const TableLayout layout = Detect(c.start, c.kind);
        EXPECT_EQ(layout.separator, c.separator) << c.start;
        EXPECT_EQ(layout.first, c.first) << c.start;
        EXPECT_EQ(layout.second, c.second) << c.start;
        EXPECT_EQ(layout.headerLine, c.headerLine) << c.start;
    }
}

TEST(DataTable, DecimalCommasOfSemicolonAndTabFiles) {
    const struct {
        const char* start;
        char decimal;
    } cases[] = {
        {"Name;Lat;Lon\nA;27,7;85,3\n", ','},
        {"A\t27,7\t85,3\n", ','},
        {"A;27.7;85,3\n", '.'},  // a decimal point anywhere: points
        {"27,7,85,3\n", '.'},    // comma-separated: commas separate
        {"A;1;2\n", '.'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Detect(c.start).decimalSeparator, c.decimal) << c.start;
    }
    const TableLayout layout = Detect("BM1;27,7;85,3\nBM2;27,5;84\n");
    EXPECT_EQ(layout.first, 1u);
    EXPECT_EQ(layout.second, 2u);
}

TEST(DataTable, GivenSeparatorAndColumns) {
    TableRequest request;
    request.separator = FieldSeparator::Semicolon;
    request.columns = "3,2";
    TableLayout layout = Detect("a;1;2\nb;3;4\n", CoordinateKind::Grid, request);
    EXPECT_EQ(layout.separator, FieldSeparator::Semicolon);
    EXPECT_EQ(layout.first, 2u);
    EXPECT_EQ(layout.second, 1u);
    EXPECT_FALSE(layout.HasHeader());

    request = {};
    request.columns = "lon , LAT";  // names, any case: longitude first on purpose
    layout = Detect("Name,Lat,Lon\nA,27.7,85.3\n", CoordinateKind::LatLong, request);
    EXPECT_EQ(layout.first, 2u);
    EXPECT_EQ(layout.second, 1u);
    EXPECT_EQ(layout.header, "Name,Lat,Lon");

    for (const char* bad : {"1", "1,1", "0,2", "Lat,Height", "1,2,3"}) {
        request.columns = bad;
        EXPECT_THROW(Detect("Name,Lat,Lon\nA,27.7,85.3\n", CoordinateKind::LatLong, request),
                     utm::OperationError)
            << bad;
    }
}

TEST(DataTable, KindsOfRows) {
    const TableLayout layout = Detect("Lat,Lon\n27.7,85.3\n");
    const std::pair<const char*, RowKind> cases[] = {
        {"", RowKind::Blank},         {"  \t", RowKind::Blank},
        {",,,", RowKind::Blank},      {"# note", RowKind::Comment},
        {"Lat,Lon", RowKind::Header}, {" # not a comment", RowKind::Data},
        {"27.7,85.3", RowKind::Data}, {"Lat,Lon,", RowKind::Data},
    };
    for (const auto& [line, kind] : cases) EXPECT_EQ(utm::KindOfRow(line, layout), kind) << line;
}

TEST(DataTable, SplitRowKeepsQuotesAndTrimsBlanks) {
    const struct {
        const char* line;
        FieldSeparator separator;
        std::vector<std::string_view> fields;
    } cases[] = {
        {"a, \"b, c\" ,d", FieldSeparator::Comma, {"a", "\"b, c\"", "d"}},
        {"a,,", FieldSeparator::Comma, {"a", "", ""}},
        {"  a  b\t\tc ", FieldSeparator::Blank, {"a", "b", "c"}},
        {"\"x \"\"y\"\" z\" 1", FieldSeparator::Blank, {"\"x \"\"y\"\" z\"", "1"}},
        {"1;2,5;3", FieldSeparator::Semicolon, {"1", "2,5", "3"}},
        {"", FieldSeparator::Tab, {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(utm::RowFields(c.line, c.separator), c.fields) << c.line;
    EXPECT_EQ(utm::Unquoted("\"x \"\"y\"\" z\""), "x \"y\" z");
}

TEST(DataTable, CoordinateReadings) {
    const struct {
        const char* field;
        char decimal;
        CoordinateReading reading;
        double value;
    } cases[] = {
        {"27.7", '.', CoordinateReading::Number, 27.7},
        {" \"85.3\" ", '.', CoordinateReading::Number, 85.3},
        {"-1.5E+3", '.', CoordinateReading::Number, -1500},
        {"27,7", ',', CoordinateReading::Number, 27.7},
        {"3.206.261,5", ',', CoordinateReading::Number, 3206261.5},
        {"27.7°", '.', CoordinateReading::Partial, 0},
        {"85,3", '.', CoordinateReading::Partial, 0},
        {"BM1", '.', CoordinateReading::None, 0},
        {"", '.', CoordinateReading::None, 0},
        {"-", '.', CoordinateReading::None, 0},
        {"nan", '.', CoordinateReading::None, 0},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(utm::ReadCoordinate(c.field, c.decimal, value), c.reading) << c.field;
        EXPECT_EQ(value, c.value) << c.field;
    }
}

TEST(DataTable, RowFieldsAreWrittenAsTheyStand) {
    const struct {
        const char* line;
        FieldSeparator in;
        utm::RowStyle style;
        char out;
        const char* written;
    } cases[] = {
        {"BM1,CP,27.7", FieldSeparator::Comma, utm::RowStyle::Joined, '\t', "BM1\tCP\t27.7"},
        {"BM1 , CP,27.7,", FieldSeparator::Comma, utm::RowStyle::Joined, ',', "BM1,CP,27.7,"},
        {"\"Ridge, north\";1", FieldSeparator::Semicolon, utm::RowStyle::Joined, ',',
         "\"Ridge, north\",1"},
        {"Ridge, north;1", FieldSeparator::Semicolon, utm::RowStyle::Joined, ',',
         "\"Ridge, north\",1"},
        {"a  -2\t3", FieldSeparator::Blank, utm::RowStyle::SignPositioned, ' ', " a -2  3 "},
    };
    for (const auto& c : cases) {
        TableLayout layout;
        layout.separator = c.in;
        std::string out(utm::RowFieldsRoom(std::string_view(c.line).size()), '\0');
        char* end = utm::WriteRowFields(out.data(), c.line, layout, c.style, c.out);
        EXPECT_EQ(std::string(out.data(), static_cast<std::size_t>(end - out.data())), c.written)
            << c.line;
    }
}

}  // namespace
