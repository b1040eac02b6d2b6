// Degrees, minutes and seconds: the notation surveyors read and type angles in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace utm {

/// Decimal degrees as degrees, minutes and seconds to 0.0001″, split by
/// `ClsUTM::RadToDeg` and written in the usual notation: 27.7 gives
/// "27°42′00.0000″" (minutes and whole seconds two digits, seconds rounded
/// half away from zero, a rounding to 60″ carried into the minutes and
/// degrees). A negative angle is written as its magnitude after a minus sign
/// ("-0°30′00.0000″"); one that rounds to 0°00′00.0000″ has no sign.
/// `decimalSeparator` separates the seconds' decimals. The seconds of the
/// split are first rounded to 1e-9″, which removes the noise of the
/// conversion to radians and back, so that 59.99995″ always carries; seconds
/// below 0.0001″, which RadToDeg gives as 0, are written 00.0000″.
/// Not finite: the text of the general number format ("NaN", "Infinity").
/// `marks` chooses the marks after the parts (DmsMarks).
enum class DmsMarks {
    Unicode,  ///< 27°42′00.0000″, in UTF-8: the windows, files, a UTF-8 terminal
    Ascii,    ///< 27d42'00.0000", for a terminal whose character set lacks ° ′ ″
};
std::string FormatDms(double degrees, char decimalSeparator = '.',
                      DmsMarks marks = DmsMarks::Unicode);

/// The outcome of reading a typed angle.
struct DmsReading {
    std::optional<double> degrees;  ///< the angle in decimal degrees, when readable
    std::string problem;            ///< why not, as a sentence naming the text
};

/// What a typed angle is: which hemisphere letters it may carry.
enum class AngleAxis {
    Any,        ///< N, S, E or W
    Latitude,   ///< N or S only
    Longitude,  ///< E or W only
};

/// Reads an angle typed as degrees, minutes and seconds separated by blanks
/// or marked with °, ′ and ″ (also d, ' and ", the marks FormatDms writes
/// in ASCII): "27 42 0.5", "27°42′0.5″", "27d42'0.5\"", "27°42.5′", "27.7". Only the last part may
/// have decimals; minutes and seconds must be below 60; "." is the decimal point. Two primes ('')
/// also mark seconds. A leading minus sign (pasted text, the command line) negates the angle; a
/// sign anywhere else is refused. One hemisphere letter, a capital N, S, E or W, may stand before
/// the degrees or after the last part
/// ("N27 42 0", "27°42′N", "85 18 0 E"); S and W negate the angle. A letter
/// that contradicts a minus sign ("-27 N"), or one of the other axis than
/// `axis` (E or W on a latitude, N or S on a longitude), is refused. Blanks
/// around the text are ignored. A text that is not such an angle gives a
/// problem such as `The angle "27 60 0" is not valid: minutes must be below 60.`
DmsReading ReadDms(std::string_view text, AngleAxis axis = AngleAxis::Any);

}  // namespace utm
