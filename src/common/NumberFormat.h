// Number-to-text rules shared by every window, the output files and utmconv.
#pragma once

#include <string>

namespace utm {

/// General form: the value rounded to 15 significant digits, no trailing zeros
/// and no trailing decimal point, "0" before the point below 1, "-" for
/// negatives, no digit grouping (27.7, 500000, 0.5, -3065307.7324).
/// Plain decimal notation for magnitudes from 1e-15 up to below 1e15; beyond
/// that a mantissa and exponent (1.5E+20, 1E-16). Negative zero is written "0".
std::string FormatGeneral(double value, char decimalSeparator = '.');

/// The "##.000" pattern: rounded to three decimals (halves away from zero),
/// always three digits after the separator, no leading zero below 1
/// (.500, -.250, .000).
std::string FormatFixed3(double value, char decimalSeparator = '.');

/// The "##.000" pattern with `decimals` decimals (1 to 20): "##.00000000"
/// for 8 (.50000000, -27.70000000).
std::string FormatFixedDecimals(double value, int decimals, char decimalSeparator = '.');

/// The "0.000" pattern: as FormatFixed3 but with a 0 before the separator
/// below 1 (0.500, -0.250, 0.000).
std::string FormatFixed3WithZero(double value, char decimalSeparator = '.');

}  // namespace utm
