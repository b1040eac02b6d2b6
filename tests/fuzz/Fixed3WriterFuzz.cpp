// Rounding to three decimals (FormatFixed3, FormatFixed3WithZero, RoundFixed3,
// WriteRoundedFixed3) of doubles made from the fuzzer's bytes, against printf.
//
// The rule checked: the formats round the value's 15 significant digits (the
// digits of the general form, printf's "%.14e") to three decimals, halves away
// from zero. printf's "%.3f" rounds the exact binary value instead, so the two
// differ where the 15-digit rounding reaches or crosses a half-thousandth, and
// from 10^11 on, where 15 digits end before the third decimal. Hence:
//  - FormatFixed3WithZero is "%.14e"'s digits rounded to three decimals, halves
//    away from zero, built here digit by digit; FormatFixed3 is the same without
//    the lone 0 before the separator; a result of zero carries no sign;
//  - below 10^11 and away from a half-thousandth by more than the 15-digit
//    rounding can move the value, FormatFixed3WithZero is printf's "%.3f";
//  - RoundFixed3 is strtod's reading of FormatFixed3 bit for bit, except that a
//    text beyond the largest double reads as the largest double; not-finite
//    values come back unchanged;
//  - WriteRoundedFixed3 gives RoundFixed3 and writes its general form.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/FastNumberFormat.h"
#include "common/NumberFormat.h"
#include "fuzz/FuzzSupport.h"

namespace {

using utm::fuzz::Describe;
using utm::fuzz::Require;
using utm::fuzz::SameBits;

/// |value| (finite) as FormatFixed3WithZero should write it: printf's 15
/// significant digits rounded to three decimals, halves away from zero.
std::string ReferenceFixed3(double value) {
    if (value == 0.0) return "0.000";
    const utm::fuzz::Digits15 d = utm::fuzz::PrintfDigits15(value);
    // The integer digits and (at least) four decimals of the 15-digit value.
    std::string integer;
    std::string decimals;
    if (d.exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(d.exponent + 1);
        std::string all = d.digits;
        if (all.size() < integerDigits) all.append(integerDigits - all.size(), '0');
        integer = all.substr(0, integerDigits);
        decimals = all.substr(integerDigits);
    } else {
        integer = "0";
        decimals = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    if (decimals.size() < 4) decimals.append(4 - decimals.size(), '0');
    std::string kept = integer + decimals.substr(0, 3);
    if (decimals[3] >= '5') {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
        if (i == 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[i - 1];
        }
    }
    std::string text = kept.substr(0, kept.size() - 3) + "." + kept.substr(kept.size() - 3);
    const std::size_t nonZero = text.find_first_not_of('0');
    if (nonZero == std::string::npos || text[nonZero] == '.') {
        text.erase(0, nonZero == std::string::npos ? text.size() : nonZero);
        text.insert(text.begin(), '0');
    } else {
        text.erase(0, nonZero);
    }
    return text;
}

/// Whether the 15-digit rounding of `value` (|value| below 10^11) could move it
/// onto or across a half-thousandth: printf's exact decimals after the third
/// one lie within one unit of the 15th significant digit of a half.
bool NearHalfThousandth(double value) {
    char exact[160];
    std::snprintf(exact, sizeof exact, "%.60f", std::fabs(value));
    const char* point = std::strchr(exact, '.');
    long double fraction = 0.0L;  // the decimals after the third, as a fraction of 1
    long double place = 0.1L;
    for (const char* p = point + 4; *p != '\0' && p < point + 40; ++p) {
        fraction += (*p - '0') * place;
        place /= 10;
    }
    const int exponent = utm::fuzz::PrintfDigits15(value).exponent;
    // One unit of the 15th digit, counted in thousandths.
    const long double unit = std::pow(10.0L, exponent - 14 + 3);
    return std::fabs(fraction - 0.5L) <= unit + 1e-30L;
}

std::string WithoutSign(std::string text) {
    if (!text.empty() && text[0] == '-') text.erase(0, 1);
    return text;
}

void Check(double value) {
    const std::string subject = Describe(value);
    const std::string fixed = utm::FormatFixed3(value);
    const std::string withZero = utm::FormatFixed3WithZero(value);
    const double rounded = utm::RoundFixed3(value);

    double written = 0.0;
    auto buffer = std::make_unique<char[]>(utm::kMaxGeneralTextLength);
    const std::string text(buffer.get(),
                           utm::WriteRoundedFixed3(buffer.get(), value, ',', written));
    Require(SameBits(written, rounded) || (std::isnan(written) && std::isnan(rounded)),
            "WriteRoundedFixed3 gives RoundFixed3", subject);
    Require(text == utm::FormatGeneral(rounded, ','),
            "WriteRoundedFixed3 writes the general form of RoundFixed3", subject);

    if (!std::isfinite(value)) {
        Require(SameBits(rounded, value), "RoundFixed3 leaves not-finite values alone", subject);
        return;
    }

    const std::string reference = ReferenceFixed3(value);
    const bool zero = reference == "0.000";
    const std::string sign = value < 0 && !zero ? "-" : "";
    Require(withZero == sign + reference, "FormatFixed3WithZero rounds printf's 15 digits",
            subject);
    const std::string noZero = reference.rfind("0.", 0) == 0 ? reference.substr(1) : reference;
    Require(fixed == sign + noZero, "FormatFixed3 drops the lone 0 before the separator", subject);

    if (std::fabs(value) < 1e11 && !NearHalfThousandth(value)) {
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.3f", value);
        const std::string expected = WithoutSign(printed) == "0.000" ? "0.000" : printed;
        Require(withZero == expected, "FormatFixed3WithZero is printf's %.3f away from halves",
                subject);
    }

    double readBack = 0.0;
    Require(utm::fuzz::StrtodWhole(fixed, readBack), "strtod reads FormatFixed3", subject);
    if (std::isinf(readBack)) {
        readBack = std::copysign(std::numeric_limits<double>::max(), readBack);
    }
    Require(SameBits(rounded, readBack), "RoundFixed3 is FormatFixed3 read back", subject);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const double value : utm::fuzz::ValuesFromBytes(data, size)) {
        Check(value);
        Check(-value);
    }
    return 0;
}
