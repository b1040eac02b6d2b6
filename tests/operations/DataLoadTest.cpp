// Reading data files into the batch columns, from exact bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/DataFileReader.h"
#include "operations/BatchConversion.h"
#include "operations/DataLoad.h"
#include "support/TempFolder.h"

namespace {

using utm::BatchColumns;
using utm::dataload;
using utm::test::TempFolder;

struct Loaded {
    std::size_t count;
    std::vector<double> first;
    std::vector<double> second;
};

Loaded Read(const std::string& bytes) {
    TempFolder folder;
    BatchColumns columns;
    dataload loader(columns);
    loader.ReadData(folder.Write("data.csv", bytes));
    return {columns.DataCount, columns.DataFirst.values(), columns.DataSecond.values()};
}

using V = std::vector<double>;

TEST(DataLoad, ThreePointsWithEachLineEndStyle) {
    for (const char* bytes : {"27.7,85.3\r\n27.5,84\r\n28,86\r\n", "27.7,85.3\r27.5,84\r28,86\r",
                              "27.7,85.3\n27.5,84\n28,86\n", "27.7,85.3\r\n27.5,84\n28,86"}) {
        const Loaded l = Read(bytes);
        EXPECT_EQ(l.count, 3u) << bytes;
        EXPECT_EQ(l.first, (V{27.7, 27.5, 28})) << bytes;
        EXPECT_EQ(l.second, (V{85.3, 84, 86})) << bytes;
    }
}

TEST(DataLoad, TrailingEmptyLineCountsAsAPointThatStaysZero) {
    const Loaded l = Read("27.7,85.3\r\n27.5,84\r\n\r\n");
    EXPECT_EQ(l.count, 3u);
    EXPECT_EQ(l.first, (V{27.7, 27.5, 0}));
    EXPECT_EQ(l.second, (V{85.3, 84, 0}));
}

TEST(DataLoad, HeaderLineIsReadAsAPointOfZeros) {
    const Loaded l = Read("Latitude,Longitude\r\n27.7,85.3\r\n");
    EXPECT_EQ(l.count, 2u);
    EXPECT_EQ(l.first, (V{0, 27.7}));
    EXPECT_EQ(l.second, (V{0, 85.3}));
}

TEST(DataLoad, EachLineIsOnePointSoOddLinesShiftNothing) {
    // One number on line 1: its second number is 0, later lines keep their pairs.
    Loaded l = Read("27.7\r\n85.3,27.5\r\n84,28\r\n");
    EXPECT_EQ(l.count, 3u);
    EXPECT_EQ(l.first, (V{27.7, 85.3, 84}));
    EXPECT_EQ(l.second, (V{0, 27.5, 28}));
    // Three numbers (or a trailing comma) on line 1: the extra field is left out.
    l = Read("1,2,3\r\n4,5\r\n27.7,85.3,\r\n6,7\r\n");
    EXPECT_EQ(l.first, (V{1, 4, 27.7, 6}));
    EXPECT_EQ(l.second, (V{2, 5, 85.3, 7}));
    // An empty line inside the file is the point (0, 0).
    l = Read("1,2\r\n\r\n3,4\r\n");
    EXPECT_EQ(l.first, (V{1, 0, 3}));
    EXPECT_EQ(l.second, (V{2, 0, 4}));
}

TEST(DataLoad, AByteOrderMarkIsSkippedAndUtf16IsNoData) {
    Loaded l = Read(
        "\xef\xbb\xbf"
        "27.7,85.3\r\n");
    EXPECT_EQ(l.count, 1u);
    EXPECT_EQ(l.first, (V{27.7}));
    EXPECT_EQ(l.second, (V{85.3}));
    l =
        Read(std::string("\xff\xfe"
                         "2\0"
                         "7\0"
                         ",\0"
                         "1\0",
                         10));
    EXPECT_EQ(l.count, 0u);
    EXPECT_TRUE(l.first.empty());
}

TEST(DataLoad, ReadDataLineSaysWhatWasWrong) {
    const auto check = [](std::string_view line, double first, double second, bool fieldCount,
                          int notNumbers) {
        const utm::DataLine d = utm::ReadDataLine(line);
        EXPECT_EQ(d.first, first) << line;
        EXPECT_EQ(d.second, second) << line;
        EXPECT_EQ(d.fieldCount, fieldCount) << line;
        EXPECT_EQ(d.notNumbers, notNumbers) << line;
    };
    check("27.7,85.3", 27.7, 85.3, false, 0);
    check(" -27.7 ,\t1e2 ", -27.7, 100, false, 0);
    check("Lat,Long", 0, 0, false, 2);
    check("27.5;84", 0, 0, true, 1);
    check("28 86", 0, 0, true, 1);
    check("nan,inf", 0, 0, false, 2);
    check("1e400,0x1p3", 0, 0, false, 2);
    check("27.7,85.3,", 27.7, 85.3, true, 0);
    check("27.7,", 27.7, 0, false, 1);
    check("", 0, 0, true, 0);
    check("   ", 0, 0, true, 0);
    EXPECT_EQ(utm::ReadDataLine("27.7,abc").badField, "abc");
}

TEST(DataLoad, FieldsAreTrimmedAndAnythingElseReadsZero) {
    const Loaded l = Read(" 27.7 ,\t85.3\r\n-1.5e1,+2\r\n12 34,abc\r\n1.2.3,,\r\n");
    EXPECT_EQ(l.count, 4u);
    EXPECT_EQ(l.first, (V{27.7, -15, 0, 0}));
    EXPECT_EQ(l.second, (V{85.3, 2, 0, 0}));
}

TEST(DataLoad, EmptyOrUnreadableFileGivesCountZeroAndKeepsTheColumns) {
    TempFolder folder;
    BatchColumns columns;
    dataload loader(columns);
    const std::string good = folder.Write("good.csv", "1,2\r\n3,4\r\n");
    loader.ReadData(good);
    ASSERT_EQ(columns.DataCount, 2u);
    loader.ReadData(folder.Write("empty.csv", ""));
    EXPECT_EQ(columns.DataCount, 0u);
    EXPECT_EQ(columns.DataFirst.values(), (V{1, 3}));
    loader.ReadData(good);
    loader.ReadData(folder.File("missing.csv"));
    EXPECT_EQ(columns.DataCount, 0u);
    EXPECT_EQ(columns.DataSecond.values(), (V{2, 4}));
    // CountData recreates the columns as zeros.
    loader.CountData(good);
    EXPECT_EQ(columns.DataCount, 2u);
    EXPECT_EQ(columns.DataFirst.values(), (V{0, 0}));
    loader.Reset();
    EXPECT_EQ(columns.DataCount, 0u);
    EXPECT_TRUE(columns.DataFirst.empty() && columns.DataSecond.empty());
}

}  // namespace

namespace {

TEST(DataLoad, CountForBrowseReportsProgressAndStopsWhenAskedTo) {
    // Three blocks of points: progress is asked after each block read.
    const std::size_t lines = 3 * utm::DataFileReader::kBlockSize / 10 + 7;
    std::string bytes;
    for (std::size_t i = 0; i < lines; ++i) bytes += "27.7,85.3\n";
    TempFolder folder;
    const std::string path = folder.Write("big.csv", bytes);
    const struct {
        int stopAtCall;  ///< the call that returns false; 0: none does
        bool cancelled;
    } cases[] = {{0, false}, {1, true}, {3, true}, {100, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAtCall);
        std::vector<double> seen;
        const utm::Progress progress = [&](double done) {
            seen.push_back(done);
            return static_cast<int>(seen.size()) != c.stopAtCall;
        };
        if (c.cancelled) {
            EXPECT_THROW(utm::CountForBrowse(path, utm::CoordinateKind::LatLong, progress),
                         utm::OperationCancelled);
            EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.stopAtCall));
        } else {
            EXPECT_EQ(utm::CountForBrowse(path, utm::CoordinateKind::LatLong, progress), lines);
            ASSERT_GE(seen.size(), 3u);
            EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
            EXPECT_DOUBLE_EQ(seen.back(), 1.0);
        }
    }
    // A name typed for a missing file counts nothing, without progress.
    EXPECT_EQ(utm::CountForBrowse(folder.File("missing.csv"), utm::CoordinateKind::LatLong), 0u);
}

}  // namespace
