#include <gtest/gtest.h>

#include "spreadsheet/RangeAddress.h"

namespace utm {
namespace {

TEST(RangeAddressTest, ParsesTwoCornerBlocksOnly) {
    EXPECT_EQ(ParseBlockAddress("R2C3:R10C4"), (CellBlock{2, 3, 10, 4}));
    EXPECT_EQ(ParseBlockAddress("R1C1:R1048576C1024"), (CellBlock{1, 1, 1048576, 1024}));
    EXPECT_EQ(ParseBlockAddress("R2C1:R2C1"), (CellBlock{2, 1, 2, 1}));
    for (const char* bad :
         {"", "R2C3", "R2:R5", "C1:C3", "R1C1:R2C2,R4C1:R5C2", "R0C1:R2C2", "R2C3:R1C4",
          "R2C3:R10C2", " R2C3:R10C4", "R2C3:R10C4 ", "r2c3:r10c4", "R-2C3:R10C4", "R+2C3:R10C4",
          "R2C3:R2147483648C4", "R2C:R3C4", "R2C3::R3C4"}) {
        EXPECT_FALSE(ParseBlockAddress(bad)) << bad;
    }
}

TEST(RangeAddressTest, FormatsOneCellWithoutColon) {
    EXPECT_EQ(FormatBlockAddress({2, 3, 10, 4}), "R2C3:R10C4");
    EXPECT_EQ(FormatBlockAddress({2, 3, 2, 3}), "R2C3");
    EXPECT_EQ(FormatBlockAddress({2, 3, 2, 4}), "R2C3:R2C4");
}

TEST(RangeAddressTest, SelectedPartsAndTheirA1Notation) {
    const struct {
        const char* address;
        CellBlock part;
        const char* a1;
    } kParts[] = {
        {"R2C3:R10C4", {2, 3, 10, 4}, "C2:D10"},
        {"R2C3", {2, 3, 2, 3}, "C2"},
        {"R2:R5", {2, 1, 5, kSheetEdge}, "2:5"},
        {"R7", {7, 1, 7, kSheetEdge}, "7:7"},
        {"C1:C3", {1, 1, kSheetEdge, 3}, "A:C"},
        {"C28", {1, 28, kSheetEdge, 28}, "AB:AB"},
        {"R1C1:R1048576C16384", {1, 1, 1048576, 16384}, "A1:XFD1048576"},
        {"R1C702:R1C703", {1, 702, 1, 703}, "ZZ1:AAA1"},
    };
    for (const auto& [address, part, a1] : kParts) {
        EXPECT_EQ(ParseSelectedPart(address), part) << address;
        EXPECT_EQ(A1Address(part), a1) << address;
    }
    for (const char* bad : {"", "R", "C", "R2:C3", "C3:C1", "R5:R2", "R2:", "R0", "C1:C3,", "x"}) {
        EXPECT_FALSE(ParseSelectedPart(bad)) << bad;
        EXPECT_FALSE(ParseSelectedParts(bad)) << bad;
    }
    EXPECT_EQ(ParseSelectedParts("R2C1:R2C2,R4:R5,C3"),
              (std::vector<CellBlock>{{2, 1, 2, 2}, {4, 1, 5, kSheetEdge}, {1, 3, kSheetEdge, 3}}));
}

}  // namespace
}  // namespace utm
