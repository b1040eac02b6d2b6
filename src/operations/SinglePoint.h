// Single-point conversion of the main window (Convert in "Single Data" mode)
// and the keystroke filter of its three number boxes.
#pragma once

#include <string>

#include "common/MessageBoxPort.h"
#include "operations/ConversionDirection.h"
#include "operations/LatLongDatum.h"
#include "operations/Units.h"

namespace utm {

/// The texts of the window's boxes.
struct SinglePointRequest {
    std::string CentralMeridianText;  ///< `Text1`: central meridian, degrees east
    std::string FirstText;            ///< `Text2`: latitude (degrees) or easting X (metres)
    std::string SecondText;           ///< `Text3`: longitude (degrees) or northing Y (metres)
    ConversionDirection Direction = ConversionDirection::LatLongToXY;
    /// The datum of the latitude and longitude (input or output).
    LatLongDatum Datum = LatLongDatum::Everest1830;
    /// `Combo3`: how a latitude and longitude are shown (metres are always
    /// "##.000"); with Dms a typed latitude and longitude may also be
    /// degrees, minutes and seconds ("27 42 0", "27°42′0″").
    Units OutputUnits = Units::DegreesMetres;
};

struct SinglePointResult {
    enum class Status {
        Converted,          ///< FirstOutput and SecondOutput hold the texts for `Text4`, `Text5`
        ValidationFailure,  ///< a text was not numeric: put the focus into `Text1`
        NoDirection,        ///< neither direction selected: nothing to show
        CannotCompute,      ///< the projection could not compute the point (message shown)
        OutOfRange,         ///< the longitude lies outside the projection's domain (message shown)
    };
    Status status = Status::NoDirection;
    std::string FirstOutput;   ///< `Text4`: easting X ("##.000") or latitude (by units)
    std::string SecondOutput;  ///< `Text5`: northing Y ("##.000") or longitude (by units)

    bool Converted() const { return status == Status::Converted; }
    /// True when the window must move the keyboard focus into `Text1`.
    bool FocusToText1() const { return status == Status::ValidationFailure; }
};

/// The message shown when one of the three texts is not a number.
inline constexpr const char* kValuesShouldBeNumeric = "Values should be Numeric!";

/// Converts one point on the Everest 1830 grid whose central meridian is
/// `CentralMeridianText`, through the shared variables of `Declaration`
/// (`SharedCM` is set first, whatever the outcome). With the WGS 84 datum the
/// latitude and longitude are shifted to Nepal 1981 (EPSG:6208) before the
/// projection, or back after it; the shared latitude and longitude then hold
/// WGS 84 values. Eastings and northings are formatted "##.000", latitudes
/// and longitudes by `OutputUnits` (FormatAngleForUnits), with
/// `decimalSeparator`. Only the Converted status carries output
/// texts: on any other the window leaves `Text4` and `Text5` as they are.
/// Messages go through `messages`: "Values should be Numeric!" (OK,
/// information icon, application title) when a text fails the numeric test,
/// the problem ReadDms names when a latitude or longitude typed in Dms units
/// is neither a number nor an angle (also a ValidationFailure; a hemisphere
/// letter must fit the box: N or S for the latitude, E or W for the
/// longitude), the central meridian and its bounds when it lies outside -180
/// to 360 degrees (a ValidationFailure), the longitude and its bound when it
/// lies outside -180 to 360 or more than 90 degrees from the central meridian
/// (OutOfRange; see ProjectionDomain.h), and an explanation when the
/// projection cannot compute the point.
SinglePointResult ConvertSinglePoint(const SinglePointRequest& request, MessageBoxPort& messages,
                                     char decimalSeparator = '.');

/// Keystroke filter of `Text1`, `Text2` and `Text3`: keeps a digit, "." or
/// backspace (8); sets any other key code to 0, which drops the key.
void validation(int& KeyAscii);

/// Keystroke filter of `Text2` and `Text3` when they take degrees, minutes
/// and seconds: keeps backspace (8) and every printable character (key codes
/// are Unicode code points), so that a text typed with other marks
/// ("85d18m0s") stays as typed and is refused by ReadDms with a message,
/// instead of its digits running together into one number; sets control
/// codes to 0.
void DmsValidation(int& KeyAscii);

}  // namespace utm
