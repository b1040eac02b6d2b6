#include "mainwindow/SinglePoint.h"

#include "common/NumberFormat.h"
#include "common/NumericText.h"
#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/Declaration.h"

namespace utm {

SinglePointResult ConvertSinglePoint(const SinglePointRequest& request, MessageBoxPort& messages,
                                     char decimalSeparator) {
    using Status = SinglePointResult::Status;
    SinglePointResult result;
    Declaration::SharedCM = DegreesToRadians(Val(request.CentralMeridianText));

    // ReadSingleData: the three texts must be numbers.
    if (!IsNumeric(request.CentralMeridianText) || !IsNumeric(request.FirstText) ||
        !IsNumeric(request.SecondText)) {
        messages.Show(kValuesShouldBeNumeric, MsgButtons::OK, MsgIcon::Information, "");
        result.status = Status::ValidationFailure;
        return result;
    }
    const double first = Val(request.FirstText);
    const double second = Val(request.SecondText);
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
        if (request.Direction == ConversionDirection::LatLongToXY) {
            ConvertLatLongToXY(Declaration::SharedLat, Declaration::SharedLong);
            result.FirstOutput = FormatFixed3(Declaration::SharedX, decimalSeparator);
            result.SecondOutput = FormatFixed3(Declaration::SharedY, decimalSeparator);
        } else {
            ConvertXYToLatLong(Declaration::SharedX, Declaration::SharedY);
            result.FirstOutput =
                FormatFixed3(RadiansToDegrees(Declaration::SharedLat), decimalSeparator);
            result.SecondOutput =
                FormatFixed3(RadiansToDegrees(Declaration::SharedLong), decimalSeparator);
        }
    } catch (const ArithmeticError&) {
        messages.Show(
            "The point cannot be converted: the projection gives no finite result for these "
            "values.",
            MsgButtons::OK, MsgIcon::Information, "");
        result.status = Status::CannotCompute;
        return result;
    }
    result.status = Status::Converted;
    return result;
}

void validation(int& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != '.' && KeyAscii != 8) KeyAscii = 0;
}

}  // namespace utm
