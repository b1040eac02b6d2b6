#include "common/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace utm {

namespace {

/// The decimal digits of |value| rounded to 15 significant digits, with the
/// decimal exponent of the first digit: value ≈ 0.d1d2d3... × 10^(exponent+1).
struct Decimal15 {
    std::string digits;  // 15 digits, first one non-zero
    int exponent;        // power of ten of the first digit
};

Decimal15 ToDecimal15(double magnitude) {
    char buf[64];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    (void)ec;  // 64 characters always suffice for 15 significant digits
    std::string_view text(buf, static_cast<std::size_t>(end - buf));
    const std::size_t e = text.find('e');
    Decimal15 d;
    d.digits.reserve(15);
    for (char c : text.substr(0, e)) {
        if (c != '.') d.digits.push_back(c);
    }
    d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    return d;
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

/// `value` rounded to 15 significant digits, then to `decimals` decimals
/// (halves away from zero), as text: sign (none when every digit is 0),
/// integer digits (a lone 0 below 1 only with `leadingZero`), separator,
/// the decimals.
std::string FixedDecimals(double value, int decimals, char decimalSeparator, bool leadingZero) {
    if (!std::isfinite(value)) return NonFinite(value);
    const bool negative = std::signbit(value);
    const auto decimalCount = static_cast<std::size_t>(decimals);
    std::string intPart;
    std::string frac(decimalCount, '0');
    if (value != 0.0) {
        Decimal15 d = ToDecimal15(std::fabs(value));
        // Place the digits around the decimal point.
        std::string all;       // integer digits followed by at least decimals + 1 fraction digits
        std::size_t pointPos;  // number of integer digits in `all`
        if (d.exponent >= 0) {
            all = d.digits;
            pointPos = static_cast<std::size_t>(d.exponent) + 1;
        } else {
            all = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
            all.insert(0, 1, '0');
            pointPos = 1;
        }
        if (all.size() < pointPos + decimalCount + 1) all.resize(pointPos + decimalCount + 1, '0');
        // Keep the decimals; round half away from zero on the next digit.
        std::string kept = all.substr(0, pointPos + decimalCount);
        if (all[pointPos + decimalCount] >= '5') {
            int i = static_cast<int>(kept.size()) - 1;
            while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
                kept[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i < 0) {
                kept.insert(0, 1, '1');
                ++pointPos;
            } else {
                ++kept[static_cast<std::size_t>(i)];
            }
        }
        intPart = kept.substr(0, pointPos);
        frac = kept.substr(pointPos);
        const std::size_t nz = intPart.find_first_not_of('0');
        intPart.erase(0, nz == std::string::npos ? intPart.size() : nz);
    }
    const bool isZero = intPart.empty() && frac.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !isZero) out.push_back('-');
    if (!intPart.empty()) {
        out += intPart;
    } else if (leadingZero) {
        out.push_back('0');
    }
    out.push_back(decimalSeparator);
    out += frac;
    return out;
}

}  // namespace

std::string FormatGeneral(double value, char decimalSeparator) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (value == 0.0) return "0";
    Decimal15 d = ToDecimal15(std::fabs(value));
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();

    std::string out;
    if (value < 0) out.push_back('-');
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent >= 15 || d.exponent < -15) {
        out.push_back(d.digits[0]);
        if (n > 1) {
            out.push_back(decimalSeparator);
            out.append(d.digits, 1);
        }
        out.push_back('E');
        out.push_back(d.exponent < 0 ? '-' : '+');
        const int absExp = std::abs(d.exponent);
        if (absExp < 10) out.push_back('0');
        out += std::to_string(absExp);
    } else if (d.exponent >= 0) {
        if (n <= d.exponent + 1) {
            out += d.digits;
            out.append(static_cast<std::size_t>(d.exponent + 1 - n), '0');
        } else {
            out.append(d.digits, 0, static_cast<std::size_t>(d.exponent + 1));
            out.push_back(decimalSeparator);
            out.append(d.digits, static_cast<std::size_t>(d.exponent + 1));
        }
    } else {
        out.push_back('0');
        out.push_back(decimalSeparator);
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += d.digits;
    }
    return out;
}

std::string FormatFixed3(double value, char decimalSeparator) {
    return FixedDecimals(value, 3, decimalSeparator, false);
}

std::string FormatFixed3WithZero(double value, char decimalSeparator) {
    return FixedDecimals(value, 3, decimalSeparator, true);
}

std::string FormatFixedDecimals(double value, int decimals, char decimalSeparator) {
    return FixedDecimals(value, decimals, decimalSeparator, false);
}

}  // namespace utm
