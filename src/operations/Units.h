// The units the main window shows results in (`Combo3`), shared by the single
// point, the batch run, Retrieve and the command line.
#pragma once

#include <string>

#include "geodesy/AngleNotation.h"

namespace utm {

/// Items of `Combo3`, by list index.
enum class Units {
    DegreesMetres = 0,  ///< " °, m": degrees and metres as "##.000" (as always)
    Degrees8 = 1,       ///< decimal degrees to 8 places (about 1 mm), metres to 3
    Dms = 2,            ///< degrees, minutes, seconds to 0.0001″ (about 3 mm), metres to 3
};

/// The captions of `Combo3`, by list index; the first is " °, m".
inline constexpr const char* kUnitCaptions[] = {
    " \u00b0, m",
    "0.00000001\u00b0, m",
    "\u00b0 \u2032 \u2033, m",
};

/// The resolution of each entry of kUnitCaptions: the last digit of an angle
/// and what it spans on the ground.
inline constexpr const char* kUnitResolutions[] = {
    "0.001\u00b0 \u2248 110 m",
    "0.00000001\u00b0 \u2248 1 mm",
    "0.0001\u2033 \u2248 3 mm",
};

/// The text of a latitude or longitude (decimal degrees) in an output box:
/// "##.000" for DegreesMetres (FormatFixed3), "##.00000000" for Degrees8 (the
/// same rules with eight decimals: rounded to 15 significant digits, then
/// halves away from zero; no 0 before the separator below 1, as ".50000000"),
/// FormatDms for Dms, with `marks`.
std::string FormatAngleForUnits(double degrees, Units units, char decimalSeparator = '.',
                                DmsMarks marks = DmsMarks::Unicode);

/// A latitude or longitude result as a file or a cell receives it: rounded
/// to three decimals for DegreesMetres (as always), to eight for Degrees8 and
/// Dms (files and cells are read by machines, so they get decimal degrees).
/// The result is the number the "##.000" or "##.00000000" text reads back as.
double RoundAngleForUnits(double degrees, Units units);

}  // namespace utm
