// Recognising a number text that is already written in the general form, so
// that a batch run can copy an input field through instead of formatting the
// number read from it: the output bytes are the same, the work is a copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace utm {

/// True when `text` is exactly what WriteGeneral (with ".") writes for the
/// number it holds: an optional "-", an integer part without leading zeros
/// ("0" alone before a point), an optional "." with digits not ending in 0,
/// at most 15 significant digits, no exponent, no "+", not "-0", and a
/// magnitude between 1e-14 and 1e14, well inside the plain notation. A
/// decimal text of at most 15 significant digits reads as the double that
/// prints back to it at 15 digits, so the copy and the formatted number agree.
inline bool IsGeneralFormText(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && text[i] == '-') ++i;
    const std::size_t intStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 14) return false;
    const bool zeroInteger = text[intStart] == '0';
    if (zeroInteger && intDigits > 1) return false;      // a leading zero
    if (i == n) return !(zeroInteger && intStart == 1);  // "-0" is written "0"
    if (text[i] != '.') return false;
    const std::size_t fracStart = ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    const std::size_t fracDigits = i - fracStart;
    if (i != n || fracDigits == 0 || text[n - 1] == '0') return false;
    std::size_t significant = intDigits + fracDigits;
    if (zeroInteger) {
        std::size_t zeros = 0;
        while (text[fracStart + zeros] == '0') ++zeros;
        if (zeros >= 13) return false;  // below 1e-14
        significant = fracDigits - zeros;
    }
    return significant <= 15;
}

/// Copies the n bytes at `src` (sizeof(Word) <= n <= 2 * sizeof(Word)) to
/// `out` as two overlapping words.
template <typename Word>
inline void CopyOverlapping(char* out, const char* src, std::size_t n) {
    Word head = 0;
    Word tail = 0;
    std::memcpy(&head, src, sizeof(Word));
    std::memcpy(&tail, src + n - sizeof(Word), sizeof(Word));
    std::memcpy(out, &head, sizeof(Word));
    std::memcpy(out + n - sizeof(Word), &tail, sizeof(Word));
}

/// Copies `text` to `out` and returns the end: the copy of an input field in
/// general form into an output line, done inline with two overlapping moves
/// for the usual lengths (4 to 16 bytes) instead of a call to memcpy.
inline char* CopyField(char* out, std::string_view text) {
    const std::size_t n = text.size();
    if (n >= 8 && n <= 16) {
        CopyOverlapping<std::uint64_t>(out, text.data(), n);
    } else if (n >= 4 && n < 8) {
        CopyOverlapping<std::uint32_t>(out, text.data(), n);
    } else if (n != 0) {
        std::memcpy(out, text.data(), n);
    }
    return out + n;
}

}  // namespace utm
