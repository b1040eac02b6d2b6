// Copying an input field through must give exactly the bytes of formatting
// the number read from it.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/FastNumberFormat.h"
#include "common/GeneralFormText.h"

namespace {

/// What the batch writes for a field: copied or formatted.
std::string Written(const std::string& text) {
    double value = 0.0;
    EXPECT_TRUE(utm::ParseDecimal(text, value)) << text;
    // Copied when already in general form, as the batch runs do.
    if (utm::IsGeneralFormText(text)) return text;
    char out[utm::kMaxGeneralTextLength];
    return std::string(out, utm::WriteGeneral(out, value, '.'));
}

/// What formatting alone writes.
std::string Formatted(const std::string& text) {
    double value = 0.0;
    utm::ParseDecimal(text, value);
    char out[utm::kMaxGeneralTextLength];
    return std::string(out, utm::WriteGeneral(out, value, '.'));
}

TEST(GeneralFormText, OnlyTheWrittenFormIsCopied) {
    for (const char* text : {"27.7", "-27.7", "0.5", "-0.5", "500000", "0", "3065307.732",
                             "12345678901234", "0.0000000000001", "1.23456789012345"}) {
        EXPECT_TRUE(utm::IsGeneralFormText(text)) << text;
        EXPECT_EQ(Written(text), text);
    }
    // Each of these reads as a number that is written otherwise.
    for (const char* text :
         {"27.70", "27.", ".5", "-0", "-0.0", "007", "+1", "1e5", "1E+5", "123456789012345",
          "1.234567890123456", "0.00000000000001", "0.0", "00.5"}) {
        EXPECT_FALSE(utm::IsGeneralFormText(text)) << text;
        EXPECT_EQ(Written(text), Formatted(text)) << text;
    }
    for (const char* text : {"", "-", "abc", "1,5", " 1", "1 ", "nan", "0x1p3"}) {
        EXPECT_FALSE(utm::IsGeneralFormText(text)) << text;
    }
}

TEST(GeneralFormText, CopiesAgreeWithFormattingOnManyFields) {
    // Decimal texts as data files hold them: 0 to 17 digits either side of
    // the point, signs, trailing zeros; the copy must never differ.
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> digits(0, 9);
    std::uniform_int_distribution<int> length(0, 9);
    for (int i = 0; i < 200000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int whole = 1 + length(random) + (random() % 8 == 0 ? 8 : 0);
        for (int k = 0; k < whole; ++k) text += static_cast<char>('0' + digits(random));
        if (random() % 5 != 0) {
            text += '.';
            const int fraction = 1 + length(random) + (random() % 8 == 0 ? 8 : 0);
            for (int k = 0; k < fraction; ++k) text += static_cast<char>('0' + digits(random));
        }
        ASSERT_EQ(Written(text), Formatted(text)) << text;
    }
}

}  // namespace

// The inline copy of a field writes exactly its bytes, at every length, and
// nothing after them.
TEST(GeneralFormText, CopyFieldWritesExactlyTheField) {
    const std::string source = "-1234567.890123456789";
    for (std::size_t n = 0; n < source.size(); ++n) {
        std::string out(40, '#');
        const char* end = utm::CopyField(out.data(), std::string_view(source).substr(1, n));
        EXPECT_EQ(end, out.data() + n);
        EXPECT_EQ(out, source.substr(1, n) + std::string(40 - n, '#')) << n;
    }
}
