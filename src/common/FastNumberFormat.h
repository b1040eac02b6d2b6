// Allocation-free versions of the number formats and of reading a decimal,
// for files with a million lines. They give exactly the texts and values of
// NumberFormat.h and NumericText.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utm {

/// Powers of ten that are exact doubles, 10^0 to 10^22: an integer of at most
/// 15 digits divided by one of them is the nearest double to the decimal.
inline constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

/// Longest text WriteGeneral can produce.
inline constexpr std::size_t kMaxGeneralTextLength = 40;

/// Writes FormatGeneral(value, decimalSeparator) at `out`, which must have room
/// for kMaxGeneralTextLength characters; returns the end of what was written.
/// The room after the end may have been used as scratch.
char* WriteGeneral(char* out, double value, char decimalSeparator = '.');

/// Longest text WritePlainDecimal can produce (the smallest subnormal double:
/// "0." and 323 zeros before its digits).
inline constexpr std::size_t kMaxPlainDecimalTextLength = 344;

/// Writes the value as WriteGeneral does, but in plain decimal notation at any
/// magnitude (1E+20 as 100000000000000000000, 1E-16 as 0.0000000000000001).
/// `out` must have room for kMaxPlainDecimalTextLength characters (the room
/// after the end may have been used as scratch).
char* WritePlainDecimal(char* out, double value, char decimalSeparator = '.');

/// Appends FormatGeneral(value, decimalSeparator) to `out`.
void AppendGeneral(std::string& out, double value, char decimalSeparator = '.');

/// The number read back from FormatFixed3(value) ("##.000"): the value rounded
/// to three decimals, halves away from zero, as the nearest finite double: the
/// largest doubles, whose 15 digits 1.79769313486232E+308 lie beyond the double
/// range, give the largest double. Not-finite values come back unchanged.
double RoundFixed3(double value);

/// Writes FormatGeneral(RoundFixed3(value), decimalSeparator) at `out` (room
/// for kMaxGeneralTextLength characters) and sets `rounded` to RoundFixed3(value);
/// returns the end of what was written.
char* WriteRoundedFixed3(char* out, double value, char decimalSeparator, double& rounded);

/// Writes what WriteRoundedFixed3 writes for every number within `tolerance`
/// (at most 1e-4) of `value`, when they all have the same text, and returns
/// the end; returns nullptr, writing nothing, when it cannot tell (a half of
/// the third decimal lies within reach, the numbers reach zero or 1e8, or
/// `value` is not finite). Serves results known only to within `tolerance`.
char* WriteRoundedFixed3Within(char* out, double value, double tolerance, char decimalSeparator);

/// Reads `text` as a whole decimal number without blanks ("." as decimal
/// point; optional sign; an exponent allowed; no "inf", "nan" or hexadecimal).
/// Returns false, leaving `value` alone, when the text is anything else or
/// beyond the range of a double; a value too small for a double reads as 0.
bool ParseDecimal(std::string_view text, double& value);

}  // namespace utm
