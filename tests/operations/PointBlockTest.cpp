// Line splitting, locale number reading and block transfers.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "operations/PointBlock.h"
#include "operations/TransferKind.h"

namespace {

using utm::PointBlock;
using utm::PointRow;
using utm::ResultBlock;
using utm::SplitPointLine;
using utm::TransferPoints;

struct LineCase {
    const char* line;
    char delimiter;
    char decimalSeparator;
    PointRow expected;
};

TEST(SplitPointLine, ExactlyTwoFieldsGiveNumbersElseZero) {
    const LineCase cases[] = {
        {"426207.01,3206261.5", ',', '.', {426207.01, 3206261.5}},
        {" 5.1e5 , +3100000 ", ',', '.', {510000, 3100000}},  // blanks, sign, exponent
        {"-159257.4079\t3225204.508", '\t', '.', {-159257.4079, 3225204.508}},
        {"512345.25,abc", ',', '.', {512345.25, 0}},
        {"X,Y", ',', '.', {0, 0}},
        {"12abc,7", ',', '.', {0, 7}},
        {",5", ',', '.', {0, 5}},
        {"1e999,1e-999", ',', '.', {0, 0}},  // too large is no number, too small is 0
        {"1,2,3", ',', '.', {0, 0}},
        {"1,2,", ',', '.', {0, 0}},
        {"512345.25", ',', '.', {0, 0}},
        {"", ',', '.', {0, 0}},
        {"426207.01,3206261.5", '\t', '.', {0, 0}},  // text mode splits at tabs only
        {"512345,25\t3100000,5", '\t', ',', {512345.25, 3100000.5}},
        {"512345.25\t-7,5", '\t', ',', {0, -7.5}},  // with "," a point is no separator
        // Digit grouping by thousands in the integer part, and only there.
        {"3,206,261.5\t-426,207.01", '\t', '.', {3206261.5, -426207.01}},
        {"3.206.261,5\t+1.234e2", '\t', ',', {3206261.5, 1234e2}},
        {"1,5\t12,34,567", '\t', '.', {0, 0}},
        {",123\t1,234.5,6", '\t', '.', {0, 0}},
        {"1234,567\t1,234e1,000", '\t', '.', {0, 0}},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(SplitPointLine(c.line, c.delimiter, c.decimalSeparator), c.expected) << c.line;
    }
}

TEST(TransferPoints, EachKindMovesItsWorkedExampleToATenthOfAMillimetre) {
    struct Example {
        double x, y, outX, outY;
    };
    // The six transfers of the window's first list positions (6 and 7 are
    // tested with the datum shift).
    constexpr int kKinds = 6;
    const Example examples[kKinds] = {
        {426207.01, 3206261.5, 133754.5409, 3211848.1481},
        {588094.4219, 3153601.1752, 881895.5947, 3159479.0084},
        {426042.082, 3206542.359, 133602.3673, 3212824.7009},
        {-159257.4079, 3225204.508, 133602.3008, 3212824.6998},
        {133754.5409, 3211848.1481, 426207.0087, 3206261.4999},
        {628198.1932, 3065307.7324, 332350.3676, 3065787.9522},
    };
    for (int kind = 0; kind < kKinds; ++kind) {
        const Example& e = examples[kind];
        const ResultBlock r = TransferPoints(kind, PointBlock{{e.x, e.y}, {0, 0}});
        ASSERT_EQ(r.size(), 2u);
        ASSERT_TRUE(r[0][0] && r[0][1] && r[1][0] && r[1][1]) << kind;
        EXPECT_NEAR(*r[0][0], e.outX, 1e-4) << kind;
        EXPECT_NEAR(*r[0][1], e.outY, 1e-4) << kind;
    }
}

TEST(TransferPoints, NoSelectionLeavesCellsEmptyAndFailuresNameTheRow) {
    for (int kind : {utm::kNoTransferKind, 8}) {
        const ResultBlock r = TransferPoints(kind, PointBlock{{1, 2}, {3, 4}});
        ASSERT_EQ(r.size(), 2u);
        EXPECT_FALSE(r[0][0] || r[0][1] || r[1][0] || r[1][1]);
    }
    try {
        TransferPoints(0, PointBlock{{426207.01, 3206261.5}, {1e300, 0}});
        FAIL() << "no error";
    } catch (const utm::PointTransferError& e) {
        EXPECT_EQ(e.row(), 1u);
        EXPECT_NE(std::string(e.what()).find("(1E+300, 0)"), std::string::npos) << e.what();
    }
}

TEST(TransferPoints, SpreadsheetCellTexts) {
    using Cells = std::vector<std::vector<std::optional<std::string>>>;
    // Locale separator, a further column ignored, unset and blank cells as 0.
    const Cells cells{{"426207,01", "3206261,5", "ignored"}, {std::nullopt, " "}};
    EXPECT_EQ(TransferPoints(0, cells, ','),
              TransferPoints(0, PointBlock{{426207.01, 3206261.5}, {0, 0}}));

    // Cells show grouped numbers.
    const Cells grouped{{"426,207.01", " 3,206,261.50 "}};
    EXPECT_EQ(TransferPoints(0, grouped), TransferPoints(0, PointBlock{{426207.01, 3206261.5}}));

    const std::vector<std::vector<std::string>> text{{"1", "2"}, {"abc", "2"}};
    try {
        TransferPoints(0, text);
        FAIL() << "no error";
    } catch (const utm::PointTransferError& e) {
        EXPECT_EQ(e.row(), 1u);
        EXPECT_NE(std::string(e.what()).find("\"abc\""), std::string::npos) << e.what();
    }
    const std::vector<std::vector<std::string>> oneColumn{{"1", "2"}, {"3"}};
    EXPECT_THROW(TransferPoints(0, oneColumn), utm::PointTransferError);
    // Nothing selected: no cell is read, the rows come back empty.
    EXPECT_EQ(TransferPoints(utm::kNoTransferKind, oneColumn), ResultBlock(2));
}

}  // namespace
