// Reading numbers typed by a person or held in a data file. "." is always the
// decimal point here, whatever the locale.
#pragma once

#include <string_view>

namespace utm {

/// A blank: a space or a tab.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

/// `text` without the blanks at its start and end.
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

/// True when `text`, apart from blanks (spaces and tabs) before and after it,
/// is a decimal number: an optional sign, digits with at most one decimal point
/// and at least one digit, and an optional exponent (E or e, an optional sign,
/// one or more digits). The empty text and a number too large for a double
/// are not numeric.
bool IsNumeric(std::string_view text);

/// The number at the start of `text` (leading blanks skipped), read up to the
/// first character that cannot continue it; 0 when no number starts there.
/// A number too large for a double gives ±infinity, one too small gives 0.
double Val(std::string_view text);

/// Length of the longest prefix of `text` that forms a number in the sense of
/// Val (sign, digits, point, exponent), 0 when none does. Blanks are not skipped.
std::size_t NumberPrefixLength(std::string_view text);

/// For a decimal number text (optional sign, digits, point, exponent) whose
/// value a double cannot hold: true when it is too small (below 1 in
/// magnitude, read as 0), false when it is too large. Decided by the place of
/// the first non-zero digit and the exponent together, so "0.000…001" with
/// 400 zeros is too small and "1000…000e-50" with 400 zeros too large.
bool IsBelowDoubleRange(std::string_view number);

/// Reads `text` by the number rules of the user's locale: blanks (spaces and
/// tabs) around it are allowed, then an optional sign, digits with at most one
/// `decimalSeparator` and at least one digit, and an optional exponent (E or e,
/// optional sign, digits). The integer part may be grouped by thousands with
/// "." when the decimal separator is ",", else with ",", as a spreadsheet shows numbers
/// (3,206,261.5); a group separator anywhere else (1,5 or 12,34) makes the
/// text no number. Returns false, leaving `value` alone, for anything else and
/// for a number too large for a double.
bool ParseLocaleNumber(std::string_view text, char decimalSeparator, double& value);

}  // namespace utm
