#include "mainwindow/Units.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

#include "common/FastNumberFormat.h"
#include "common/NumberFormat.h"
#include "geodesy/AngleNotation.h"

namespace utm {

namespace {

constexpr int kAngleDecimals = 8;
/// Sign, 309 integer digits of the largest double and a carry, separator, decimals.
constexpr std::size_t kFixedTextRoom = 400;

/// Writes the finite `value` as "##.000" writes it, with `decimals` decimals
/// (1 to 20): rounded to 15 significant digits, then to `decimals` decimals
/// with halves away from zero; no 0 before the separator below 1, no minus
/// sign when every digit is 0. `out` needs kFixedTextRoom characters.
char* WriteFixedDecimals(char* out, double value, int decimals, char decimalSeparator) {
    // The 15 significant digits and the power of ten of the first.
    char digits[15];
    std::fill(std::begin(digits), std::end(digits), '0');
    int exponent = 0;
    if (value != 0.0) {
        char scientific[32];
        const auto [end, ec] = std::to_chars(scientific, scientific + sizeof scientific,
                                             std::fabs(value), std::chars_format::scientific, 14);
        (void)ec;  // 32 characters hold d.dddddddddddddde+ddd
        const char* e = std::find(scientific, end, 'e');
        int n = 0;
        for (const char* c = scientific; c != e; ++c) {
            if (*c != '.') digits[n++] = *c;
        }
        const char* expBegin = e + 1;
        if (*expBegin == '+') ++expBegin;
        std::from_chars(expBegin, end, exponent);
    }
    const auto digitAt = [&](int power) {
        const int index = exponent - power;
        return index >= 0 && index < 15 ? digits[index] : '0';
    };

    // The digits kept, from the highest integer power down to 10^-decimals,
    // with room for a carry in front.
    const int top = std::max(exponent, 0);
    char kept[kFixedTextRoom];
    int length = 1;
    kept[0] = '0';
    for (int power = top; power >= -decimals; --power) kept[length++] = digitAt(power);
    if (digitAt(-decimals - 1) >= '5') {
        int i = length - 1;
        while (kept[i] == '9') kept[i--] = '0';
        ++kept[i];
    }
    const int integerEnd = length - decimals;
    int first = 0;
    while (first < integerEnd && kept[first] == '0') ++first;
    bool allZero = first == integerEnd;
    for (int i = integerEnd; i < length && allZero; ++i) allZero = kept[i] == '0';

    if (std::signbit(value) && !allZero) *out++ = '-';
    std::memcpy(out, kept + first, static_cast<std::size_t>(integerEnd - first));
    out += integerEnd - first;
    *out++ = decimalSeparator;
    std::memcpy(out, kept + integerEnd, static_cast<std::size_t>(decimals));
    return out + decimals;
}

}  // namespace

std::string FormatAngleForUnits(double degrees, Units units, char decimalSeparator) {
    switch (units) {
        case Units::Degrees8: {
            if (!std::isfinite(degrees)) return FormatGeneral(degrees);
            char text[kFixedTextRoom];
            const char* end = WriteFixedDecimals(text, degrees, kAngleDecimals, decimalSeparator);
            return std::string(static_cast<const char*>(text), end);
        }
        case Units::Dms:
            return FormatDms(degrees, decimalSeparator);
        case Units::DegreesMetres:
            break;
    }
    return FormatFixed3(degrees, decimalSeparator);
}

double RoundAngleForUnits(double degrees, Units units) {
    if (units == Units::DegreesMetres) return RoundFixed3(degrees);
    if (!std::isfinite(degrees)) return degrees;
    // Angles below 1000 degrees away from a half: the nearest count of 1e-8
    // degrees is certain (the product's error and the rounding to 15 digits
    // stay below 1e-4 of a count), and that count over 1e8, one correctly
    // rounded division, is the double the text reads back as. Batch files of
    // millions of points take this way.
    const double scaled = degrees * 1e8;
    if (std::fabs(scaled) < 1e11) {
        const double below = std::floor(scaled);
        const double fraction = scaled - below;
        if (std::fabs(fraction - 0.5) > 1e-3) {
            return (fraction < 0.5 ? below : below + 1.0) / 1e8 + 0.0;  // + 0.0: no -0
        }
    }
    // Otherwise the number the eight-decimal text reads back as.
    char text[kFixedTextRoom];
    const char* end = WriteFixedDecimals(text, degrees, kAngleDecimals, '.');
    const char* begin = text;
    const bool negative = *begin == '-';
    if (negative) ++begin;
    double magnitude = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, magnitude, std::chars_format::fixed);
    (void)ptr;
    // Only the largest doubles round beyond the double range.
    if (ec == std::errc::result_out_of_range) magnitude = DBL_MAX;
    return negative ? -magnitude : magnitude;
}

}  // namespace utm
