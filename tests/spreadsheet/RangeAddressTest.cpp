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

}  // namespace
}  // namespace utm
