// The fast path of the batch runs: most lines of a data file are two plain
// decimals and a line end ("27.700000,85.300000\r\n"). Such a line is read in
// one pass over its bytes, with the value of each number and whether its text
// is already the general form the output would write. Anything else (blanks,
// signs "+", exponents, more than 15 digits, other fields) is left to the
// general reader, which gives the same values for what this path reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace utm {

/// One number of a scanned line.
struct ScannedNumber {
    double value = 0.0;
    std::string_view text;     ///< the field, exactly as in the file
    bool generalForm = false;  ///< IsGeneralFormText(text)
};

/// Scans "NUMBER<delimiter>NUMBER" and its line end (CR LF, CR, LF, or the end
/// of `end`) at `p`. A NUMBER here is an optional "-", digits with at most one
/// ".", 1 to 15 digits in all; its value is ParseDecimal's. On success `p`
/// moves past the line end; otherwise it stays and false is returned.
bool ScanPlainPair(const char*& p, const char* end, char delimiter, ScannedNumber& first,
                   ScannedNumber& second);

/// Plain lines gathered to be computed together: the values of their
/// numbers, the texts of those already in general form (empty otherwise),
/// their line numbers, and room for two results each.
struct PlainLineBatch {
    static constexpr std::size_t kCapacity = 256;
    std::size_t count = 0;
    double first[kCapacity];
    double second[kCapacity];
    double resultFirst[kCapacity];
    double resultSecond[kCapacity];
    std::string_view firstText[kCapacity];
    std::string_view secondText[kCapacity];
    std::size_t number[kCapacity];

    /// Adds a line; true when the batch is full.
    bool Add(const ScannedNumber& a, const ScannedNumber& b, std::size_t lineNumber) {
        const std::size_t i = count++;
        first[i] = a.value;
        second[i] = b.value;
        firstText[i] = a.generalForm ? a.text : std::string_view();
        secondText[i] = b.generalForm ? b.text : std::string_view();
        number[i] = lineNumber;
        return count == kCapacity;
    }
};

/// Walks the lines of a block as the batch runs read them: a line of two
/// plain numbers (ScanPlainPair, when `scan` is true) goes to
/// `plain(first, second, number)`, any other line to `other(text, number)`,
/// `text` without its line end (CR LF, CR or LF); lines numbered from 1.
/// Returns the number of lines.
template <typename Plain, typename Other>
std::size_t ForEachPairLine(std::string_view block, char delimiter, bool scan, Plain&& plain,
                            Other&& other) {
    const char* cursor = block.data();
    const char* const end = cursor + block.size();
    std::size_t number = 0;
    while (cursor < end) {
        ++number;
        const char* const start = cursor;
        ScannedNumber first;
        ScannedNumber second;
        if (scan && ScanPlainPair(cursor, end, delimiter, first, second)) {
            plain(first, second, number);
            continue;
        }
        while (cursor < end && *cursor != '\n' && *cursor != '\r') ++cursor;
        const std::string_view text(start, static_cast<std::size_t>(cursor - start));
        if (cursor < end)
            cursor += (*cursor == '\r' && cursor + 1 < end && cursor[1] == '\n') ? 2 : 1;
        other(text, number);
    }
    return number;
}

}  // namespace utm
