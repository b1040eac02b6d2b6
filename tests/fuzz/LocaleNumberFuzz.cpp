// Reading cell and field texts by the locale's number rules
// (operations/PointBlock.h, ParseLocaleNumber) on any bytes, with "." and with
// "," as decimal separator:
//  - an accepted text has its group separators (the other one of "." and ",")
//    only between groups of three digits of the integer part, the first group
//    holding one to three digits, and its value is strtod's value of the text
//    without blanks and group separators, with "." as decimal point, bit for bit;
//  - a text without group separators is read exactly as ParseDecimal reads it
//    (after the decimal separator is made a ".");
//  - both locales agree: a text read with "." reads the same with "," once
//    every "." and "," of it are swapped;
//  - a refused text leaves the value alone.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/FastNumberFormat.h"
#include "common/NumericText.h"
#include "fuzz/FuzzSupport.h"
#include "operations/PointBlock.h"

namespace {

using utm::fuzz::Require;
using utm::fuzz::SameBits;
using utm::fuzz::StrtodWhole;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Whether every group separator of `text` (blanks trimmed) follows a run of
/// one to three digits right after the sign, or three digits after another
/// group separator, and is followed by exactly three digits that end the
/// integer part or come before the next group separator.
bool GroupingIsValid(std::string_view text, char group) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t run = 0;
    bool seen = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++run;
            continue;
        }
        if (text[i] != group) break;
        if (run == 0 || run > 3 || (seen && run != 3)) return false;
        seen = true;
        run = 0;
    }
    if (seen && run != 3) return false;
    return text.find(group, i) == std::string_view::npos;
}

void CheckLocale(std::string_view text, char decimalSeparator) {
    const char group = decimalSeparator == ',' ? '.' : ',';
    const std::string_view trimmed = utm::TrimBlanks(text);
    const double untouched = -std::numeric_limits<double>::quiet_NaN();
    double value = untouched;
    const bool accepted = utm::ParseLocaleNumber(text, decimalSeparator, value);

    // The text as ParseDecimal would see it.
    std::string plain;
    for (const char c : trimmed) {
        if (c == group) continue;
        plain.push_back(c == decimalSeparator ? '.' : c);
    }
    const bool grouped = trimmed.find(group) != std::string_view::npos;
    if (!accepted) {
        Require(SameBits(value, untouched), "a refused text leaves the value alone", text);
    } else {
        Require(!grouped || GroupingIsValid(trimmed, group),
                "group separators sit between groups of three digits", text);
        double reference = 0.0;
        Require(StrtodWhole(plain, reference) && SameBits(value, reference),
                "the value is strtod's value without the group separators", text);
    }
    if (!grouped) {
        double parsed = untouched;
        const bool parsedOk = utm::ParseDecimal(plain, parsed);
        Require(parsedOk == accepted && SameBits(parsed, value),
                "without groups the text reads as ParseDecimal reads it", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLocale(text, '.');
    CheckLocale(text, ',');

    std::string swapped(text);
    for (char& c : swapped) {
        if (c == '.') {
            c = ',';
        } else if (c == ',') {
            c = '.';
        }
    }
    const double untouched = -std::numeric_limits<double>::quiet_NaN();
    double point = untouched;
    double comma = untouched;
    const bool pointOk = utm::ParseLocaleNumber(text, '.', point);
    const bool commaOk = utm::ParseLocaleNumber(swapped, ',', comma);
    Require(pointOk == commaOk && SameBits(point, comma),
            "swapping \".\" and \",\" swaps the locale", text);
    return 0;
}
