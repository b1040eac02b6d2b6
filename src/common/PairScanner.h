// The fast path of the batch runs: most lines of a data file are two plain
// decimals and a line end ("27.700000,85.300000\r\n"). Such a line is read in
// one pass over its bytes, with the value of each number and whether its text
// is already the general form the output would write. Anything else (blanks,
// signs "+", exponents, more than 15 digits, other fields) is left to the
// general reader, which gives the same values for what this path reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/FastNumberFormat.h"

namespace utm {

/// One number of a scanned line.
struct ScannedNumber {
    double value = 0.0;
    std::string_view text;     ///< the field, exactly as in the file
    bool generalForm = false;  ///< IsGeneralFormText(text)
};

namespace pair_scanner {

/// The bytes that may end a field of a table row or refuse it: the
/// separators' characters, line ends and the quote.
inline constexpr auto kRowStop = [] {
    std::array<bool, 256> stop{};
    for (const unsigned char c : {',', ';', '\t', '\r', '\n', '"'}) stop[c] = true;
    return stop;
}();

/// Scans one plain decimal at `p`; false when there is none or it is longer
/// than 15 digits. Leaves `p` after it.
inline bool ScanNumber(const char*& p, const char* end, ScannedNumber& number) {
    const char* const start = p;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* const integer = p;
    std::uint64_t mantissa = 0;
    while (p < end && static_cast<unsigned char>(*p - '0') < 10) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
    }
    const int integerDigits = static_cast<int>(p - integer);
    int decimals = 0;
    const char* fraction = p;
    if (p < end && *p == '.') {
        fraction = ++p;
        while (p < end && static_cast<unsigned char>(*p - '0') < 10) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
            ++p;
        }
        decimals = static_cast<int>(p - fraction);
    }
    const int digits = integerDigits + decimals;
    if (digits == 0 || digits > 15) return false;
    const double magnitude = static_cast<double>(mantissa) / kExactPow10[decimals];
    number.value = negative ? -magnitude : magnitude;
    number.text = std::string_view(start, static_cast<std::size_t>(p - start));
    // The general form: no leading zero but a lone "0" before the point, a
    // fraction (when there is a point) not ending in 0, not "-0", and within
    // 1e-14 to 1e14 (the same rule as IsGeneralFormText).
    bool general = integerDigits >= 1 && integerDigits <= 14;
    const bool zeroInteger = integerDigits >= 1 && *integer == '0';
    if (zeroInteger && integerDigits > 1) general = false;
    if (fraction != integer + integerDigits) {  // there is a point
        if (decimals == 0 || p[-1] == '0') general = false;
        if (general && zeroInteger) {
            int zeros = 0;
            while (fraction[zeros] == '0') ++zeros;
            if (zeros >= 13) general = false;
        }
    } else if (zeroInteger && negative) {
        general = false;  // "-0" is written "0"
    }
    number.generalForm = general;
    return true;
}

}  // namespace pair_scanner

/// Scans "NUMBER<delimiter>NUMBER" and its line end (CR LF, CR, LF, or the end
/// of `end`) at `p`. A NUMBER here is an optional "-", digits with at most one
/// ".", 1 to 15 digits in all; its value is ParseDecimal's. On success `p`
/// moves past the line end; otherwise it stays and false is returned.
inline bool ScanPlainPair(const char*& p, const char* end, char delimiter, ScannedNumber& first,
                          ScannedNumber& second) {
    const char* q = p;
    if (!pair_scanner::ScanNumber(q, end, first)) return false;
    if (q == end || *q != delimiter) return false;
    ++q;
    if (!pair_scanner::ScanNumber(q, end, second)) return false;
    if (q < end) {
        if (*q == '\r') {
            ++q;
            if (q < end && *q == '\n') ++q;
        } else if (*q == '\n') {
            ++q;
        } else {
            return false;
        }
    }
    p = q;
    return true;
}

/// Scans one row of a table at `p`: fields separated by `delimiter`, none
/// quoted and none with a blank at its edges, and the fields of columns `a`
/// and `b` (from 0, different) plain numbers as ScanNumber reads them. On
/// success `row` is the line without its line end and `p` moves past the line
/// end; otherwise `p` stays and false is returned (the general reader takes
/// the line).
inline bool ScanTableRow(const char*& p, const char* end, char delimiter, std::size_t a,
                         std::size_t b, ScannedNumber& first, ScannedNumber& second,
                         std::string_view& row) {
    const char* q = p;
    if (q < end && *q == '#') return false;
    std::size_t field = 0;
    const std::size_t last = a > b ? a : b;
    for (;;) {
        const char* const start = q;
        if (field == a || field == b) {
            if (!pair_scanner::ScanNumber(q, end, field == a ? first : second)) return false;
        } else {
            // One table look-up a byte: only the bytes that may end a field
            // or refuse the row are looked at twice.
            for (;;) {
                while (q < end && !pair_scanner::kRowStop[static_cast<unsigned char>(*q)]) ++q;
                if (q == end || *q == delimiter || *q == '\r' || *q == '\n') break;
                if (*q == '"') return false;
                ++q;  // another separator's character: part of this field
            }
            if (q > start && (*start == ' ' || *start == '\t' || q[-1] == ' ' || q[-1] == '\t'))
                return false;
        }
        if (q < end && *q == delimiter) {
            ++q;
            ++field;
            continue;
        }
        if (q < end && *q != '\r' && *q != '\n') return false;  // more after a number
        break;
    }
    if (field < last) return false;  // a coordinate field missing
    row = std::string_view(p, static_cast<std::size_t>(q - p));
    if (q < end) {
        if (*q == '\r') {
            ++q;
            if (q < end && *q == '\n') ++q;
        } else {
            ++q;
        }
    }
    p = q;
    return true;
}

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
    /// The row of a table line, written with its fields; empty for a line of
    /// two numbers.
    std::string_view row[kCapacity];

    /// Adds a line; true when the batch is full.
    bool Add(const ScannedNumber& a, const ScannedNumber& b, std::size_t lineNumber,
             std::string_view rowText = {}) {
        const std::size_t i = count++;
        row[i] = rowText;
        first[i] = a.value;
        second[i] = b.value;
        firstText[i] = a.generalForm ? a.text : std::string_view();
        secondText[i] = b.generalForm ? b.text : std::string_view();
        number[i] = lineNumber;
        return count == kCapacity;
    }
};

/// Where the fast scanners look for the numbers of a line.
struct LineScan {
    char delimiter = ',';
    bool pairs = true;  ///< lines of two plain numbers (ScanPlainPair)
    bool rows = false;  ///< plain table rows (ScanTableRow) with columns a and b
    std::size_t a = 0;
    std::size_t b = 1;
};

/// Walks the lines of a block as the batch runs read them: a line of two
/// plain numbers (ScanPlainPair, when `scan.pairs`) goes to
/// `plain(first, second, number, {})`, a plain table row (ScanTableRow, when
/// `scan.rows`) to `plain(first, second, number, row)`, any other line to
/// `other(text, number)`, `text` without its line end (CR LF, CR or LF);
/// lines numbered from 1. Returns the number of lines.
template <typename Plain, typename Other>
std::size_t ForEachPairLine(std::string_view block, const LineScan& scan, Plain&& plain,
                            Other&& other) {
    const char* cursor = block.data();
    const char* const end = cursor + block.size();
    std::size_t number = 0;
    while (cursor < end) {
        ++number;
        const char* const start = cursor;
        ScannedNumber first;
        ScannedNumber second;
        if (scan.pairs && ScanPlainPair(cursor, end, scan.delimiter, first, second)) {
            plain(first, second, number, std::string_view());
            continue;
        }
        std::string_view row;
        if (scan.rows &&
            ScanTableRow(cursor, end, scan.delimiter, scan.a, scan.b, first, second, row)) {
            plain(first, second, number, row);
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
