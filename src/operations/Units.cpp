#include "operations/Units.h"

#include <cfloat>
#include <charconv>
#include <cmath>

#include "common/FastNumberFormat.h"
#include "common/NumberFormat.h"
#include "geodesy/AngleNotation.h"

namespace utm {

namespace {

constexpr int kAngleDecimals = 8;

}  // namespace

std::string FormatAngleForUnits(double degrees, Units units, char decimalSeparator,
                                DmsMarks marks) {
    switch (units) {
        case Units::Degrees8:
            return FormatFixedDecimals(degrees, kAngleDecimals, decimalSeparator);
        case Units::Dms:
            return FormatDms(degrees, decimalSeparator, marks);
        case Units::DegreesMetres:
            break;
    }
    return FormatFixed3(degrees, decimalSeparator);
}

double RoundAngleForUnits(double degrees, Units units) {
    if (units == Units::DegreesMetres) return RoundFixed3(degrees);
    if (!std::isfinite(degrees)) return degrees;
    // Angles below 1000 degrees away from a half: the nearest count of 1e-8
    // degrees is certain (the product's error and the rounding to 15 digits
    // stay below 1e-4 of a count), and that count over 1e8, one correctly
    // rounded division, is the double the text reads back as. Batch files of
    // millions of points take this way.
    const double scaled = degrees * 1e8;
    if (std::fabs(scaled) < 1e11) {
        const double below = std::floor(scaled);
        const double fraction = scaled - below;
        if (std::fabs(fraction - 0.5) > 1e-3) {
            return (fraction < 0.5 ? below : below + 1.0) / 1e8 + 0.0;  // + 0.0: no -0
        }
    }
    // Otherwise the number the eight-decimal text reads back as.
    const std::string text = FormatFixedDecimals(degrees, kAngleDecimals, '.');
    const char* begin = text.data();
    const char* const end = begin + text.size();
    const bool negative = *begin == '-';
    if (negative) ++begin;
    double magnitude = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, magnitude, std::chars_format::fixed);
    (void)ptr;
    // Only the largest doubles round beyond the double range.
    if (ec == std::errc::result_out_of_range) magnitude = DBL_MAX;
    return negative ? -magnitude : magnitude;
}

}  // namespace utm
