// Reading number texts (common/NumericText.h, common/FastNumberFormat.h) on any
// bytes, with strtod as the reference for the values:
//  - NumberPrefixLength: strtod reads exactly that prefix, unless the text goes
//    on as strtod's own extensions (hexadecimal, inf, nan) or starts with white
//    space strtod would skip;
//  - Val: the value strtod gives for that prefix after the leading blanks
//    (±infinity beyond the double range), 0 when there is none;
//  - IsNumeric: true exactly when the text without its blanks is one whole
//    number prefix that strtod reads as a finite value;
//  - ParseDecimal: accepts exactly the texts IsNumeric accepts that have no
//    blanks around them, gives strtod's value bit for bit, and leaves its
//    output alone when it refuses.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/FastNumberFormat.h"
#include "common/NumericText.h"
#include "fuzz/FuzzSupport.h"

namespace {

using utm::fuzz::Require;
using utm::fuzz::SameBits;
using utm::fuzz::StrtodWhole;

/// The number of characters strtod reads from the start of `text`.
std::size_t StrtodLength(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    (void)std::strtod(copy.c_str(), &end);
    return static_cast<std::size_t>(end - copy.c_str());
}

bool HasStrtodExtension(std::string_view read) {
    return read.find_first_of("xXiInN") != std::string_view::npos;
}

void CheckPrefix(std::string_view text) {
    const std::size_t n = utm::NumberPrefixLength(text);
    Require(n <= text.size(), "NumberPrefixLength stays within the text", text);
    if (!text.empty() && std::isspace(static_cast<unsigned char>(text[0]))) {
        Require(n == 0, "no number starts with white space", text);
        return;
    }
    const std::size_t read = StrtodLength(text);
    if (!HasStrtodExtension(text.substr(0, read))) {
        Require(read == n, "NumberPrefixLength is the prefix strtod reads", text);
    }
    if (n > 0) {
        double value = 0.0;
        Require(StrtodWhole(text.substr(0, n), value), "strtod reads the whole number prefix",
                text);
    }
}

void CheckVal(std::string_view text) {
    const double val = utm::Val(text);
    std::string_view rest = text;
    while (!rest.empty() && utm::IsBlank(rest.front())) rest.remove_prefix(1);
    const std::size_t n = utm::NumberPrefixLength(rest);
    double expected = 0.0;
    if (n > 0) StrtodWhole(rest.substr(0, n), expected);
    Require(SameBits(val, expected), "Val gives strtod's value of the number prefix", text);
}

void CheckNumericAndParse(std::string_view text) {
    const std::string_view trimmed = utm::TrimBlanks(text);
    double reference = 0.0;
    const bool whole = !trimmed.empty() && utm::NumberPrefixLength(trimmed) == trimmed.size() &&
                       StrtodWhole(trimmed, reference);
    const bool numeric = utm::IsNumeric(text);
    Require(numeric == (whole && std::isfinite(reference)),
            "IsNumeric is a whole number prefix of finite value", text);

    // ParseDecimal leaves its output alone when it refuses: a NaN with a
    // payload no reading can give shows any write.
    const double untouched = -std::numeric_limits<double>::quiet_NaN();
    double parsed = untouched;
    const bool accepted = utm::ParseDecimal(trimmed, parsed);
    Require(accepted == numeric, "ParseDecimal accepts what IsNumeric accepts", text);
    if (accepted) {
        Require(SameBits(parsed, reference), "ParseDecimal gives strtod's value bit for bit", text);
    } else {
        Require(SameBits(parsed, untouched), "ParseDecimal leaves the value alone on refusal",
                text);
    }
    if (trimmed.size() != text.size()) {
        double withBlanks = untouched;
        Require(!utm::ParseDecimal(text, withBlanks) && SameBits(withBlanks, untouched),
                "ParseDecimal refuses blanks around the number", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckPrefix(text);
    CheckVal(text);
    CheckNumericAndParse(text);
    return 0;
}
