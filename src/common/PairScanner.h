// The fast path of the batch runs: most lines of a data file are two plain
// decimals and a line end ("27.700000,85.300000\r\n"). Such a line is read in
// one pass over its bytes, with the value of each number and whether its text
// is already the general form the output would write. Anything else (blanks,
// signs "+", exponents, more than 15 digits, other fields) is left to the
// general reader, which gives the same values for what this path reads.
#pragma once

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

}  // namespace utm
