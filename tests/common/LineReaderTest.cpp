// Line splitting on CR LF, CR and LF.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/LineReader.h"

namespace {

using utm::CountLines;
using utm::SplitLines;

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    for (std::string_view line : SplitLines(text)) out.emplace_back(line);
    return out;
}

TEST(LineReader, EachLineEndStyleEndsALine) {
    const std::vector<std::string> abc{"a", "b", "c"};
    EXPECT_EQ(Lines("a\r\nb\r\nc\r\n"), abc);
    EXPECT_EQ(Lines("a\rb\rc\r"), abc);
    EXPECT_EQ(Lines("a\nb\nc\n"), abc);
    EXPECT_EQ(Lines("a\r\nb\rc\n"), abc);
    EXPECT_EQ(CountLines("a\r\nb\r\nc\r\n"), 3u);
    EXPECT_EQ(CountLines("a\rb\rc\r"), 3u);
    EXPECT_EQ(CountLines("a\nb\nc\n"), 3u);
}

TEST(LineReader, LastLineWithoutLineEndCounts) {
    EXPECT_EQ(Lines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(CountLines("a\r\nb"), 2u);
    EXPECT_EQ(CountLines("x"), 1u);
}

TEST(LineReader, EmptyLinesCountButAnEmptyTextHasNone) {
    EXPECT_EQ(Lines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(CountLines("a\r\n\r\n"), 2u);
    // LF CR is two line ends, not one.
    EXPECT_EQ(Lines("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(CountLines("a\n\rb"), 3u);
    EXPECT_EQ(CountLines("\r\n"), 1u);
    EXPECT_EQ(CountLines("\r"), 1u);
    EXPECT_EQ(CountLines(""), 0u);
    EXPECT_TRUE(Lines("").empty());
}

}  // namespace
