// Angle constants and conversions used by every conversion of the program.
#pragma once

#include <cmath>

namespace utm {

/// π as 4·atan(1) in double precision (equals the double closest to π).
inline double Pi() {
    return 4.0 * std::atan(1.0);
}

/// Degrees to radians, the product formed first: (π × degrees) / 180.
inline double DegreesToRadians(double degrees) {
    return (Pi() * degrees) / 180.0;
}

/// Radians to degrees: (radians × 180) / π.
inline double RadiansToDegrees(double radians) {
    return (radians * 180.0) / Pi();
}

}  // namespace utm
