// The general form and the plain decimal form of doubles made from the
// fuzzer's bytes (every bit pattern, decimal texts, decimal ties), against the
// C library's rounding to 15 significant digits:
//  - WriteGeneral, AppendGeneral and FormatGeneral give the same text, and
//    within their buffer lengths;
//  - for magnitudes whose first digit stands for 10^-4 or more (after the
//    rounding), and at 10^15 and beyond, that text is printf's "%.15G"
//    (15 significant digits, no trailing zeros, exponent as E+20);
//    between 10^-15 and 10^-4 it is the same digits ("%.14e") in plain
//    decimal notation, below 10^-15 "%.15G" again;
//  - WritePlainDecimal writes the same digits in plain decimal notation at
//    every magnitude;
//  - NaN, the infinities and zeros of either sign give "NaN", "Infinity",
//    "-Infinity" and "0";
//  - "," as separator only replaces the ".".
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

/// The digits placed in plain decimal notation: "0.000ddd" below 1, the
/// digits padded with zeros up to the point otherwise.
std::string PlainFromDigits(const utm::fuzz::Digits15& d) {
    const int n = static_cast<int>(d.digits.size());
    const int e = d.exponent;
    if (e < 0) return "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + d.digits;
    if (n <= e + 1) return d.digits + std::string(static_cast<std::size_t>(e + 1 - n), '0');
    return d.digits.substr(0, static_cast<std::size_t>(e + 1)) + "." +
           d.digits.substr(static_cast<std::size_t>(e + 1));
}

std::string WithComma(std::string text) {
    for (char& c : text) {
        if (c == '.') c = ',';
    }
    return text;
}

void Check(double value) {
    const std::string subject = Describe(value);
    // Buffers of exactly the documented lengths, so that AddressSanitizer sees
    // any write past them.
    auto general = std::make_unique<char[]>(utm::kMaxGeneralTextLength);
    const std::string written(general.get(), utm::WriteGeneral(general.get(), value));
    auto plainBuffer = std::make_unique<char[]>(utm::kMaxPlainDecimalTextLength);
    const std::string plain(plainBuffer.get(), utm::WritePlainDecimal(plainBuffer.get(), value));

    Require(written == utm::FormatGeneral(value), "WriteGeneral is FormatGeneral", subject);
    std::string appended = "x";
    utm::AppendGeneral(appended, value);
    Require(appended == "x" + written, "AppendGeneral appends FormatGeneral", subject);
    const std::string comma(general.get(), utm::WriteGeneral(general.get(), value, ','));
    Require(comma == WithComma(written) && comma == utm::FormatGeneral(value, ','),
            "\",\" only replaces the decimal point in the general form", subject);
    const std::string plainComma(plainBuffer.get(),
                                 utm::WritePlainDecimal(plainBuffer.get(), value, ','));
    Require(plainComma == WithComma(plain), "\",\" only replaces the decimal point in plain form",
            subject);

    if (std::isnan(value)) {
        Require(written == "NaN" && plain == "NaN", "NaN is written NaN", subject);
        return;
    }
    if (std::isinf(value)) {
        const char* expected = value < 0 ? "-Infinity" : "Infinity";
        Require(written == expected && plain == expected, "infinities are written in words",
                subject);
        return;
    }
    if (value == 0.0) {
        Require(written == "0" && plain == "0", "zeros of either sign are written 0", subject);
        return;
    }

    const utm::fuzz::Digits15 d = utm::fuzz::PrintfDigits15(value);
    const std::string sign = value < 0 ? "-" : "";
    Require(plain == sign + PlainFromDigits(d), "WritePlainDecimal is printf's 15 digits, plain",
            subject);
    if (d.exponent >= -15 && d.exponent < -4) {
        Require(written == plain, "from 1E-15 to below 1E-4 the general form is plain", subject);
    } else {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15G", value);
        Require(written == expected, "the general form is printf's %.15G", subject);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const double value : utm::fuzz::ValuesFromBytes(data, size)) {
        Check(value);
        Check(-value);
    }
    return 0;
}
