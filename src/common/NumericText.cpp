#include "common/NumericText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

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
        // Too large or too small: tell them apart by the exponent's sign.
        const std::size_t e = number.find_first_of("eE");
        const bool tiny =
            e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        if (tiny) {
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

}  // namespace utm
