#include "common/NumericText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "common/FastNumberFormat.h"

namespace utm {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipLeadingBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

/// Parses a complete number text of the form accepted by NumberPrefixLength.
/// Returns false when the magnitude is too large for a double.
bool ParseNumber(std::string_view number, double& value) {
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.remove_prefix(1);
    }
    double magnitude = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (IsBelowDoubleRange(number)) {
            value = negative ? -0.0 : 0.0;
            return true;
        }
        value = negative ? -std::numeric_limits<double>::infinity()
                         : std::numeric_limits<double>::infinity();
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

bool IsBelowDoubleRange(std::string_view number) {
    std::size_t i = (!number.empty() && (number[0] == '+' || number[0] == '-')) ? 1 : 0;
    // The power of ten of the first non-zero digit before the exponent.
    const auto digitsFrom = [&](std::size_t from) {
        while (i < number.size() && IsDigit(number[i])) ++i;
        return number.substr(from, i - from);
    };
    std::string_view integer = digitsFrom(i);
    integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size()));
    std::string_view fraction;
    if (i < number.size() && number[i] == '.') fraction = digitsFrom(++i);
    long long order = 0;
    if (!integer.empty()) {
        order = static_cast<long long>(integer.size()) - 1;
    } else {
        const std::size_t first = fraction.find_first_not_of('0');
        if (first == std::string_view::npos) return true;  // all zeros
        order = -static_cast<long long>(first) - 1;
    }
    // The exponent, held within bounds far beyond the double range.
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        for (const char c : digitsFrom(i)) {
            if (exponent < 1000000000000LL) exponent = exponent * 10 + (c - '0');
        }
        if (negative) exponent = -exponent;
    }
    return order + exponent < 0;
}

std::size_t NumberPrefixLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when at least one digit follows E and its sign.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

bool IsNumeric(std::string_view text) {
    text = TrimBlanks(text);
    const std::size_t n = NumberPrefixLength(text);
    if (n == 0 || n != text.size()) return false;
    double value = 0.0;
    return ParseNumber(text, value);
}

double Val(std::string_view text) {
    text = SkipLeadingBlanks(text);
    const std::size_t n = NumberPrefixLength(text);
    if (n == 0) return 0.0;
    double value = 0.0;
    ParseNumber(text.substr(0, n), value);
    return value;
}

namespace {

/// The digit-group separator that goes with a locale's decimal separator.
char GroupSeparatorOf(char decimalSeparator) {
    return decimalSeparator == ',' ? '.' : ',';
}

/// Whether the group separators of `text` (sign, digits, separators...) all
/// sit between groups of three digits of the integer part, the first group
/// holding one to three digits (3,206,261.5 but not 1,5 or 12,34).
bool GroupsArePlaced(std::string_view text, char groupSeparator) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t groupDigits = 0;
    bool firstGroup = true;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++groupDigits;
        } else if (c == groupSeparator) {
            if (groupDigits == 0 || groupDigits > 3 || (!firstGroup && groupDigits != 3)) {
                return false;
            }
            firstGroup = false;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (firstGroup || groupDigits != 3) return false;
    // No group separator after the integer part.
    return text.find(groupSeparator, i) == std::string_view::npos;
}

}  // namespace

bool ParseLocaleNumber(std::string_view text, char decimalSeparator, double& value) {
    text = TrimBlanks(text);
    const char groupSeparator = GroupSeparatorOf(decimalSeparator);
    const bool grouped = text.find(groupSeparator) != std::string_view::npos;
    if (decimalSeparator == '.' && !grouped) return ParseDecimal(text, value);
    if (grouped && !GroupsArePlaced(text, groupSeparator)) return false;
    // A "." that is neither the decimal nor the group separator is not part
    // of a number.
    if (decimalSeparator != '.' && groupSeparator != '.' &&
        text.find('.') != std::string_view::npos) {
        return false;
    }
    // The digits without group separators, with "." as decimal point for the parser.
    char small[64];
    std::string large;
    char* copy = small;
    if (text.size() > sizeof small) {
        large.resize(text.size());
        copy = large.data();
    }
    std::size_t n = 0;
    for (const char c : text) {
        if (c == groupSeparator) continue;
        copy[n++] = c == decimalSeparator ? '.' : c;
    }
    return ParseDecimal(std::string_view(copy, n), value);
}

}  // namespace utm
