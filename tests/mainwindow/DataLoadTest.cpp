// Reading data files into the batch columns, from exact bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/DataLoad.h"
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

TEST(DataLoad, NumbersPairInSequenceSoOddLinesShiftTheRest) {
    // One number on line 1: every later pair shifts by one.
    Loaded l = Read("27.7\r\n85.3,27.5\r\n84,28\r\n");
    EXPECT_EQ(l.count, 3u);
    EXPECT_EQ(l.first, (V{27.7, 27.5, 28}));
    EXPECT_EQ(l.second, (V{85.3, 84, 0}));
    // Three numbers on line 1.
    l = Read("1,2,3\r\n4,5\r\n6,7\r\n");
    EXPECT_EQ(l.first, (V{1, 3, 5}));
    EXPECT_EQ(l.second, (V{2, 4, 6}));
    // An empty line inside the file is one field of 0.
    l = Read("1,2\r\n\r\n3,4\r\n");
    EXPECT_EQ(l.first, (V{1, 0, 4}));
    EXPECT_EQ(l.second, (V{2, 3, 0}));
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

TEST(DataLoad, LineOfPointFollowsTheShiftedPairing) {
    const std::string bytes = "1,2\r\n3\r\n4,5\n6,7\r\n";
    EXPECT_EQ(utm::LineOfPoint(bytes, 1), 1u);
    EXPECT_EQ(utm::LineOfPoint(bytes, 2), 2u);  // 3 and 4
    EXPECT_EQ(utm::LineOfPoint(bytes, 3), 3u);  // 5 and 6
    EXPECT_EQ(utm::LineOfPoint(bytes, 4), 4u);  // 7 alone
    EXPECT_EQ(utm::LineOfPoint(bytes, 5), 0u);
}

}  // namespace
