#include "common/PairScanner.h"

#include "common/FastNumberFormat.h"

namespace utm {

namespace {

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

}  // namespace

bool ScanPlainPair(const char*& p, const char* end, char delimiter, ScannedNumber& first,
                   ScannedNumber& second) {
    const char* q = p;
    if (!ScanNumber(q, end, first)) return false;
    if (q == end || *q != delimiter) return false;
    ++q;
    if (!ScanNumber(q, end, second)) return false;
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

}  // namespace utm
