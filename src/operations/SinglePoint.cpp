#include "operations/SinglePoint.h"

#include <optional>

#include "common/NumberFormat.h"
#include "common/NumericText.h"
#include "common/RunReport.h"
#include "geodesy/Accuracy.h"
#include "geodesy/AngleNotation.h"
#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/Declaration.h"
#include "geodesy/ProjectionDomain.h"

namespace utm {

namespace {

/// Reads the latitude or longitude `text` typed in Dms units: a number as the
/// numeric test reads it, else an angle in degrees, minutes and seconds.
/// Sets `problem` and gives nothing when the text is neither.
std::optional<double> ReadTypedAngle(const std::string& text, AngleAxis axis,
                                     std::string& problem) {
    if (IsNumeric(text)) return Val(text);
    DmsReading reading = ReadDms(text, axis);
    if (!reading.degrees) problem = std::move(reading.problem);
    return reading.degrees;
}

}  // namespace

SinglePointResult ConvertSinglePoint(const SinglePointRequest& request, MessageBoxPort& messages,
                                     char decimalSeparator) {
    using Status = SinglePointResult::Status;
    SinglePointResult result;
    Declaration::SharedCM = DegreesToRadians(Val(request.CentralMeridianText));

    // ReadSingleData: the three texts must be numbers; in Dms units a
    // latitude and longitude may also be typed as angles.
    const bool anglesTyped =
        request.OutputUnits == Units::Dms && request.Direction == ConversionDirection::LatLongToXY;
    if (!IsNumeric(request.CentralMeridianText) ||
        (!anglesTyped && (!IsNumeric(request.FirstText) || !IsNumeric(request.SecondText)))) {
        messages.Show(kValuesShouldBeNumeric, MsgButtons::OK, MsgIcon::Information, "");
        result.status = Status::ValidationFailure;
        return result;
    }
    // A central meridian outside -180 to 360 is no grid of the program.
    const double centralMeridian = Val(request.CentralMeridianText);
    if (const std::string problem = CentralMeridianProblem(centralMeridian); !problem.empty()) {
        messages.Show(UserSentence(problem) + " Nothing was converted.", MsgButtons::OK,
                      MsgIcon::Information, "");
        result.status = Status::ValidationFailure;
        return result;
    }
    double first = 0.0;
    double second = 0.0;
    if (anglesTyped) {
        std::string problem;
        const std::optional<double> latitude =
            ReadTypedAngle(request.FirstText, AngleAxis::Latitude, problem);
        const std::optional<double> longitude =
            latitude ? ReadTypedAngle(request.SecondText, AngleAxis::Longitude, problem)
                     : std::nullopt;
        if (!latitude || !longitude) {
            messages.Show(problem, MsgButtons::OK, MsgIcon::Information, "");
            result.status = Status::ValidationFailure;
            return result;
        }
        first = *latitude;
        second = *longitude;
    } else {
        first = Val(request.FirstText);
        second = Val(request.SecondText);
    }
    // The projection is defined within 90 degrees of the central meridian.
    if (request.Direction == ConversionDirection::LatLongToXY) {
        if (const std::string problem = LongitudeProblem(second, centralMeridian);
            !problem.empty()) {
            messages.Show(UserSentence(problem) + " Nothing was converted.", MsgButtons::OK,
                          MsgIcon::Information, "");
            result.status = Status::OutOfRange;
            return result;
        }
    }
    if (request.Direction == ConversionDirection::LatLongToXY) {
        Declaration::SharedLat = DegreesToRadians(first);
        Declaration::SharedLong = DegreesToRadians(second);
    } else if (request.Direction == ConversionDirection::XYToLatLong) {
        Declaration::SharedX = first;
        Declaration::SharedY = second;
    } else {
        result.status = Status::NoDirection;
        return result;
    }

    try {
        const LatLongSide side(request.Datum);
        if (request.Direction == ConversionDirection::LatLongToXY) {
            ConvertLatLongToXY(side, Declaration::SharedLat, Declaration::SharedLong);
            result.FirstOutput = FormatFixed3(Declaration::SharedX, decimalSeparator);
            result.SecondOutput = FormatFixed3(Declaration::SharedY, decimalSeparator);
        } else {
            ConvertXYToLatLong(side, Declaration::SharedX, Declaration::SharedY);
            result.FirstOutput = FormatAngleForUnits(RadiansToDegrees(Declaration::SharedLat),
                                                     request.OutputUnits, decimalSeparator);
            result.SecondOutput = FormatAngleForUnits(RadiansToDegrees(Declaration::SharedLong),
                                                      request.OutputUnits, decimalSeparator);
        }
    } catch (const ProjectionDomainError& e) {
        // A WGS 84 longitude shifted across the bound.
        messages.Show(UserSentence(e.what()) + " Nothing was converted.", MsgButtons::OK,
                      MsgIcon::Information, "");
        result.status = Status::OutOfRange;
        return result;
    } catch (const ArithmeticError&) {
        messages.Show(
            "The point cannot be converted: the projection gives no finite result for these "
            "values.",
            MsgButtons::OK, MsgIcon::Information, "");
        result.status = Status::CannotCompute;
        return result;
    }
    result.status = Status::Converted;
    // The result is shown, as the window has no range check, but a latitude
    // beyond the poles (typed, or computed from a northing) is named, and so
    // is a point where the series lose centimetre accuracy.
    const bool forward = request.Direction == ConversionDirection::LatLongToXY;
    const double latitude = forward ? first : RadiansToDegrees(Declaration::SharedLat);
    const double easting = forward ? Declaration::SharedX : first;
    std::string warning;
    if (OutsideLatitudeRange(latitude)) {
        warning = "The latitude " + FormatGeneral(latitude, decimalSeparator) +
                  " lies outside -90 to 90 degrees: the result means nothing on the Earth.";
    } else if (Beyond(easting, forward ? kForwardCentimetreReach : kInverseCentimetreReach)) {
        warning = "The point lies more than " +
                  std::to_string(static_cast<long>(
                      (forward ? kForwardCentimetreReach : kInverseCentimetreReach) / 1000)) +
                  " km east or west of the central meridian, where the projection series may "
                  "be off by more than 1 cm.";
    }
    if (!warning.empty()) messages.Show(warning, MsgButtons::OK, MsgIcon::Information, "");
    return result;
}

void validation(int& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != '.' && KeyAscii != 8) KeyAscii = 0;
}

void DmsValidation(int& KeyAscii) {
    const bool control = KeyAscii < 0x20 || (KeyAscii >= 0x7F && KeyAscii < 0xA0);
    if (control && KeyAscii != 8) KeyAscii = 0;
}

}  // namespace utm
