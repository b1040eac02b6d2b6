#include "common/FastNumberFormat.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/NumericText.h"

namespace utm {

namespace {

constexpr std::uint64_t kPow10[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL,
                                    1000000000000000000ULL,
                                    10000000000000000000ULL};

/// Lower bounds of the decades 10^-6 ... 10^15 (index e + 6).
constexpr double kDecade[] = {1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,
                              1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

/// |value| rounded to 15 significant digits: the digits without trailing
/// zeros (at least one) and the power of ten of the first digit.
struct Digits15 {
    char digits[24];
    int count;
    int exponent;
};

/// Splits the scientific text "d.ddde±xx" into digits and exponent.
void FromScientific(const char* first, const char* last, Digits15& d) {
    d.count = 0;
    const char* p = first;
    for (; p < last && *p != 'e'; ++p) {
        if (*p != '.') d.digits[d.count++] = *p;
    }
    ++p;  // 'e'
    const bool negative = *p == '-';
    ++p;  // sign
    int exponent = 0;
    for (; p < last; ++p) exponent = exponent * 10 + (*p - '0');
    d.exponent = negative ? -exponent : exponent;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
}

/// Requires a finite, non-zero magnitude.
void ToDigits15(double magnitude, Digits15& d) {
    char buf[48];
    // The shortest text that reads back as the value: when it has at most 15
    // significant digits it is also the value rounded to 15 digits, because a
    // double's spacing is finer than that of 15-digit decimals.
    // Subnormal values are spaced more coarsely, so for them the shortest text
    // can differ from the 15-digit rounding.
    auto result = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    FromScientific(buf, result.ptr, d);
    if (d.count <= 15 && magnitude >= std::numeric_limits<double>::min()) return;
    result = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    FromScientific(buf, result.ptr, d);
}

char* WriteText(char* out, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

/// Writes the decimal digits of `n`.
char* WriteInteger(char* out, std::uint64_t n) {
    return std::to_chars(out, out + 24, n).ptr;
}

/// The eight decimal digits of `v` (below 10^8), leading zeros included, as
/// byte values 0 to 9, the first digit in the lowest byte: divisions of all
/// lanes at once by multiplying (n / 100 as n * 10486 >> 20 for n below 10^4,
/// n / 10 as n * 103 >> 10 for n below 100).
inline std::uint64_t DigitValues(std::uint32_t v) {
    const std::uint64_t fours = (v / 10000) | (static_cast<std::uint64_t>(v % 10000) << 32);
    const std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t twos = hundreds | ((fours - hundreds * 100) << 16);
    const std::uint64_t tens = ((twos * 103) >> 10) & 0x000F000F000F000FULL;
    return tens | ((twos - tens * 10) << 8);
}

/// Writes thousandths / 1000 (thousandths below 10^16) in plain decimal
/// notation without trailing zeros or a trailing separator, at `out` with room
/// for 32 characters (the room after the end may have been used). The 16
/// digits are formed in registers and written in whole 16-byte stores, so the
/// only divisions are by constants: this writes both results of every line of
/// a batch conversion.
char* WriteThousandths(char* out, std::uint64_t thousandths, char decimalSeparator) {
    constexpr std::uint64_t kZeros = 0x3030303030303030ULL;
    std::uint64_t low = 0;
    int wholeDigits = 0;
    if (thousandths < 100000000) {
        // Below 100,000 (every latitude and longitude): eight digits, 0 to 4
        // the whole part, 5 to 7 the decimals. Leading zeros are dropped, but
        // the units digit of the whole part is always written.
        low = DigitValues(static_cast<std::uint32_t>(thousandths));
        const int leadingZeros = std::countr_zero(low | (1ULL << 32)) / 8;
        const std::uint64_t whole = (low | kZeros) >> (8 * leadingZeros);
        wholeDigits = 5 - leadingZeros;
        std::memcpy(out, &whole, 8);
    } else {
        // Sixteen digits, 0 to 12 the whole part, 13 to 15 the decimals.
        const std::uint64_t high = DigitValues(static_cast<std::uint32_t>(thousandths / 100000000));
        low = DigitValues(static_cast<std::uint32_t>(thousandths % 100000000));
        const int leadingZeros =
            high != 0 ? std::countr_zero(high) / 8 : 8 + std::countr_zero(low | (1ULL << 32)) / 8;
        const unsigned __int128 text =
            (static_cast<unsigned __int128>(low | kZeros) << 64) | (high | kZeros);
        const unsigned __int128 whole = text >> (8 * leadingZeros);
        wholeDigits = 13 - leadingZeros;
        std::memcpy(out, &whole, 16);
    }
    // The decimals are the three top bytes of `low`; zeros at the end go.
    const int decimals = 3 - std::min(3, std::countl_zero(low) / 8);
    if (decimals == 0) return out + wholeDigits;
    out[wholeDigits] = decimalSeparator;
    const auto fraction = static_cast<std::uint32_t>((low | kZeros) >> 40);
    std::memcpy(out + wholeDigits + 1, &fraction, 4);
    return out + wholeDigits + 1 + decimals;
}

/// RoundFixed3 without text for magnitudes from 1e-4 up to below 1e11, where
/// 15 significant digits reach past the fourth decimal. Computes the value
/// rounded to 15 digits exactly with integers, then rounds that to three
/// decimals, halves away from zero. Returns false when the 15-digit rounding
/// is an exact tie or the decade guess was off; the caller then goes the slow way.
bool RoundFixed3Exact(double magnitude, std::uint64_t& thousandthsOut) {
    if (!(magnitude >= 1e-4 && magnitude < 1e11)) return false;
    // Power of ten of the first digit (a wrong guess at a decade boundary is
    // caught below through the digit count).
    int e = -4;
    while (e < 10 && magnitude >= kDecade[e + 7]) ++e;
    const int k = 14 - e;  // magnitude * 10^k has 15 digits before the point
    // magnitude = mantissa * 2^binaryExponent with a 53-bit mantissa (a normal double).
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int binaryExponent = static_cast<int>((bits >> 52) & 0x7ff) - 1075;
    // magnitude * 10^k = mantissa * 5^k * 2^(binaryExponent + k), exactly.
    unsigned __int128 product = mantissa;
    product *= kPow10[k] >> k;  // 5^k
    const int shift = binaryExponent + k;
    std::uint64_t n;
    if (shift >= 0) {
        if (shift > 20) return false;
        n = static_cast<std::uint64_t>(product << shift);
    } else {
        const int right = -shift;
        if (right >= 120) return false;
        const unsigned __int128 one = 1;
        const unsigned __int128 remainder = product & ((one << right) - 1);
        const unsigned __int128 half = one << (right - 1);
        if (remainder == half) return false;  // a tie: leave it to the text rounding
        n = static_cast<std::uint64_t>(product >> right) + (remainder > half ? 1 : 0);
    }
    if (n < kPow10[14] || n > kPow10[15]) return false;  // the decade guess was off
    // n * 10^(e - 14) is the value to 15 digits; keep down to 10^-3.
    const std::uint64_t unit = kPow10[11 - e];  // 10 .. 10^15
    std::uint64_t thousandths = n / unit;
    if ((n % unit) * 2 >= unit) ++thousandths;
    thousandthsOut = thousandths;
    return true;
}

/// RoundFixed3 for magnitudes below 1e8 whose thousandths are not close to a
/// half. Rounding to 15 significant digits first moves such a value by at most
/// 5e-5 thousandths and computing magnitude * 1000 by about 1e-5 more, so when
/// the product is farther than 1e-4 from a half, rounding it directly gives the
/// same number of thousandths. Returns false otherwise.
bool RoundFixed3Quick(double magnitude, std::uint64_t& thousandthsOut) {
    if (!(magnitude < 1e8)) return false;
    const double thousandths = magnitude * 1000.0;
    const double whole = std::floor(thousandths);
    const double fraction = thousandths - whole;
    if (std::fabs(fraction - 0.5) <= 1e-4) return false;
    thousandthsOut = static_cast<std::uint64_t>(fraction > 0.5 ? whole + 1.0 : whole);
    return true;
}

/// The number of thousandths of FormatFixed3(magnitude) for magnitudes from 0
/// up to below 1e11, without text; false outside that range or in the rare
/// cases only the text rounding can settle.
bool Thousandths(double magnitude, std::uint64_t& thousandths) {
    return RoundFixed3Quick(magnitude, thousandths) || RoundFixed3Exact(magnitude, thousandths);
}

/// Reads back a decimal given as digits and the power of ten of its last digit.
/// The decimals read here are finite doubles rounded to 15 significant digits.
/// For the largest doubles that is 1.79769313486232E+308, beyond the double
/// range: the nearest finite double is then the largest one.
double ReadDecimal(const char* digits, int count, int lastExponent) {
    char text[64];
    std::memcpy(text, digits, static_cast<std::size_t>(count));
    char* p = text + count;
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text, lastExponent).ptr;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text, p, value);
    (void)end;
    if (ec == std::errc::result_out_of_range) return std::numeric_limits<double>::max();
    return value;
}

/// `magnitude` (1e-5 <= magnitude < 1e15) rounded to 15 significant digits:
/// the digits as an integer of 15 digits and the power of ten of the first
/// one. Exact, with integers: magnitude * 10^k is the 53-bit mantissa times
/// 10^k (at most 117 bits) shifted right. False at an exact tie (left to the
/// text rounding) or when the decade guess was off.
bool Round15(double magnitude, std::uint64_t& digits, int& exponent) {
    // The power of ten from the binary exponent (floor of e2 * log10 2), then
    // one step up when the value has reached the next decade.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    int e = ((biased - 1023) * 78913) >> 18;
    if (e < -6 || e > 14) return false;
    if (magnitude >= kDecade[e + 7]) ++e;
    if (e < -5 || e > 14) return false;
    const int k = 14 - e;  // 0 to 19: 10^k fits in 64 bits
    const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * kPow10[k];
    // magnitude * 10^k = product / 2^right; right is 3 to 69 in this range.
    const int right = 1075 - biased;
    if (right < 1 || right > 120) return false;
    std::uint64_t q = 0;
    if (right < 64) {
        // Magnitudes from about 2^-11 up (every transfer result): the shifted
        // out bits lie in the low half, so 64-bit steps do.
        const auto low = static_cast<std::uint64_t>(product);
        const auto high = static_cast<std::uint64_t>(product >> 64);
        const std::uint64_t remainder = low & ((std::uint64_t{1} << right) - 1);
        const std::uint64_t half = std::uint64_t{1} << (right - 1);
        if (remainder == half) return false;
        q = (high << (64 - right)) | (low >> right);
        q += remainder > half ? 1 : 0;
    } else {
        const unsigned __int128 one = 1;
        const unsigned __int128 remainder = product & ((one << right) - 1);
        const unsigned __int128 half = one << (right - 1);
        if (remainder == half) return false;
        q = static_cast<std::uint64_t>(product >> right) + (remainder > half ? 1 : 0);
    }
    // The decade bounds below 1 are not exact doubles: check the guess.
    if (q < kPow10[14] || q > kPow10[15]) return false;
    if (q == kPow10[15]) {
        q = kPow10[14];
        if (++e > 14) return false;
    }
    digits = q;
    exponent = e;
    return true;
}

/// General form of values rounded to 15 significant digits with integer
/// arithmetic, for plain decimals from 1e-5 up to below 1e15: the common case
/// of transfer results. Returns nullptr, writing nothing, outside that range or
/// next to a rounding tie.
char* WriteGeneralRounded15(char* out, double value, char decimalSeparator) {
    const double magnitude = std::fabs(value);
    std::uint64_t q = 0;
    int e = 0;
    if (!(magnitude >= 1e-5 && magnitude < 1e15) || !Round15(magnitude, q, e)) return nullptr;
    if (value < 0) *out++ = '-';
    // The 15 digits in registers: q splits into 7 and 8 digits, the first of
    // `high`'s eight being the 0 in front.
    const std::uint64_t high = DigitValues(static_cast<std::uint32_t>(q / 100000000));
    const std::uint64_t low = DigitValues(static_cast<std::uint32_t>(q % 100000000));
    const int trailingZeros = low != 0 ? std::countl_zero(low) / 8 : 8 + std::countl_zero(high) / 8;
    const int n = 15 - trailingZeros;  // significant digits
    constexpr std::uint64_t kZeros = 0x3030303030303030ULL;
    const unsigned __int128 text =
        ((static_cast<unsigned __int128>(low | kZeros) << 64) | (high | kZeros)) >> 8;
    // Whole 16-byte stores of the digits (the text ends within them; what
    // follows is overwritten or left beyond the end): this writes both results
    // of every transfer line.
    if (e < 0) {
        *out++ = '0';
        *out++ = decimalSeparator;
        for (int i = 0; i < -e - 1; ++i) *out++ = '0';
        std::memcpy(out, &text, 16);
        return out + n;
    }
    const int integerDigits = e + 1;
    std::memcpy(out, &text, 16);
    if (n <= integerDigits) return out + integerDigits;
    out[integerDigits] = decimalSeparator;
    const unsigned __int128 decimals = text >> (8 * integerDigits);  // integerDigits < n <= 15
    std::memcpy(out + integerDigits + 1, &decimals, 16);
    return out + n + 1;
}

/// The general form, with a mantissa and exponent outside 1e-15 to 1e15 when
/// `exponentForm` is set, in plain decimal notation throughout otherwise.
char* WriteRounded15(char* out, double value, char decimalSeparator, bool exponentForm) {
    if (std::isnan(value)) return WriteText(out, "NaN");
    if (std::isinf(value)) return WriteText(out, value < 0 ? "-Infinity" : "Infinity");
    if (value == 0.0) {
        *out++ = '0';
        return out;
    }
    if (char* end = WriteGeneralRounded15(out, value, decimalSeparator)) return end;
    Digits15 d;
    ToDigits15(std::fabs(value), d);
    if (value < 0) *out++ = '-';
    const int n = d.count;
    const int e = d.exponent;
    if (exponentForm && (e >= 15 || e < -15)) {
        *out++ = d.digits[0];
        if (n > 1) {
            *out++ = decimalSeparator;
            std::memcpy(out, d.digits + 1, static_cast<std::size_t>(n - 1));
            out += n - 1;
        }
        *out++ = 'E';
        *out++ = e < 0 ? '-' : '+';
        const int absExp = e < 0 ? -e : e;
        if (absExp < 10) *out++ = '0';
        return WriteInteger(out, static_cast<std::uint64_t>(absExp));
    }
    if (e >= 0) {
        if (n <= e + 1) {
            std::memcpy(out, d.digits, static_cast<std::size_t>(n));
            out += n;
            std::memset(out, '0', static_cast<std::size_t>(e + 1 - n));
            return out + (e + 1 - n);
        }
        std::memcpy(out, d.digits, static_cast<std::size_t>(e + 1));
        out += e + 1;
        *out++ = decimalSeparator;
        std::memcpy(out, d.digits + e + 1, static_cast<std::size_t>(n - e - 1));
        return out + (n - e - 1);
    }
    *out++ = '0';
    *out++ = decimalSeparator;
    std::memset(out, '0', static_cast<std::size_t>(-e - 1));
    out += -e - 1;
    std::memcpy(out, d.digits, static_cast<std::size_t>(n));
    return out + n;
}

}  // namespace

char* WriteGeneral(char* out, double value, char decimalSeparator) {
    return WriteRounded15(out, value, decimalSeparator, true);
}

char* WritePlainDecimal(char* out, double value, char decimalSeparator) {
    return WriteRounded15(out, value, decimalSeparator, false);
}

void AppendGeneral(std::string& out, double value, char decimalSeparator) {
    char buf[kMaxGeneralTextLength];
    out.append(buf, WriteGeneral(buf, value, decimalSeparator));
}

double RoundFixed3(double value) {
    if (!std::isfinite(value)) return value;
    if (value == 0.0) return 0.0;
    std::uint64_t thousandths = 0;
    if (Thousandths(std::fabs(value), thousandths)) {
        if (thousandths == 0) return 0.0;
        const double magnitude = static_cast<double>(thousandths) / 1000.0;
        return value < 0 ? -magnitude : magnitude;
    }
    Digits15 d;
    ToDigits15(std::fabs(value), d);
    // Digit k of d.digits stands for 10^(exponent - k); the third decimal is
    // digit exponent + 3 and the digit that decides the rounding is exponent + 4.
    const int keep = d.exponent + 4;  // digits up to and including the third decimal
    double magnitude;
    if (keep < 0) {
        magnitude = 0.0;  // below 0.0001: .000
    } else if (keep >= d.count) {
        magnitude = ReadDecimal(d.digits, d.count, d.exponent - d.count + 1);
    } else {
        char kept[24];
        int count = keep;
        std::memcpy(kept, d.digits, static_cast<std::size_t>(keep));
        if (d.digits[keep] >= '5') {
            // Halves away from zero: add one unit of the third decimal.
            int i = count - 1;
            while (i >= 0 && kept[i] == '9') kept[i--] = '0';
            if (i < 0) {
                std::memmove(kept + 1, kept, static_cast<std::size_t>(count));
                kept[0] = '1';
                ++count;
            } else {
                ++kept[i];
            }
        }
        magnitude = count == 0 ? 0.0 : ReadDecimal(kept, count, -3);
    }
    if (magnitude == 0.0) return 0.0;
    return value < 0 ? -magnitude : magnitude;
}

char* WriteRoundedFixed3(char* out, double value, char decimalSeparator, double& rounded) {
    std::uint64_t thousandths = 0;
    if (!std::isfinite(value) || !Thousandths(std::fabs(value), thousandths)) {
        rounded = RoundFixed3(value);
        return WriteGeneral(out, rounded, decimalSeparator);
    }
    if (thousandths == 0) {
        rounded = 0.0;
        *out++ = '0';
        return out;
    }
    // The rounded double is the one nearest to thousandths/1000, a decimal of at
    // most 14 digits, so its 15-digit general form is that decimal itself.
    const double magnitude = static_cast<double>(thousandths) / 1000.0;
    rounded = value < 0 ? -magnitude : magnitude;
    if (value < 0) *out++ = '-';
    return WriteThousandths(out, thousandths, decimalSeparator);
}

char* WriteRoundedFixed3Within(char* out, double value, double tolerance, char decimalSeparator) {
    const double magnitude = std::fabs(value);
    // Every number within reach has the sign of `value` and lies below 1e8,
    // where RoundFixed3Quick holds.
    if (!(magnitude > tolerance && magnitude + tolerance < 1e8)) return nullptr;
    // magnitude * 1000 is below 1e11, so the conversion is exact and safe.
    const double thousandths = magnitude * 1000.0;
    const auto whole = static_cast<std::uint64_t>(thousandths);
    const double fraction = thousandths - static_cast<double>(whole);
    // The product of any number within reach lies within 1000 * tolerance of
    // this one, give or take its own rounding (below 2e-5 at 1e11). When the
    // half is farther than that and RoundFixed3Quick's 1e-4 besides, all of
    // them round as this product does.
    if (!(std::fabs(fraction - 0.5) > 2e-4 + 1000.0 * tolerance)) return nullptr;
    const std::uint64_t n = whole + (fraction > 0.5 ? 1 : 0);
    if (n == 0) {
        *out++ = '0';
        return out;
    }
    if (value < 0) *out++ = '-';
    return WriteThousandths(out, n, decimalSeparator);
}

bool ParseDecimal(std::string_view text, double& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end || !((*p >= '0' && *p <= '9') || *p == '.')) return false;
    // Short plain decimals (at most 15 digits, no exponent) are an integer
    // divided by an exact power of ten: one correctly rounded division gives
    // the nearest double, as from_chars would.
    std::uint64_t mantissa = 0;
    const char* q = p;
    while (q < end && static_cast<unsigned char>(*q - '0') < 10) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
        ++q;
    }
    int digits = static_cast<int>(q - p);
    int decimals = 0;
    if (q < end && *q == '.') {
        const char* const fraction = ++q;
        while (q < end && static_cast<unsigned char>(*q - '0') < 10) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
            ++q;
        }
        decimals = static_cast<int>(q - fraction);
        digits += decimals;
    }
    // More than 15 digits may have overflowed the mantissa: not used then.
    if (q == end && digits > 0 && digits <= 15) {
        const double magnitude = static_cast<double>(mantissa) / kExactPow10[decimals];
        value = negative ? -magnitude : magnitude;
        return true;
    }
    double magnitude = 0.0;
    const auto [ptr, ec] = std::from_chars(p, end, magnitude, std::chars_format::general);
    if (ptr != end) return false;
    if (ec == std::errc::result_out_of_range) {
        // Too small reads as 0; too large is not a number here.
        if (IsBelowDoubleRange(std::string_view(p, static_cast<std::size_t>(end - p)))) {
            value = negative ? -0.0 : 0.0;
            return true;
        }
        return false;
    }
    if (ec != std::errc()) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace utm
