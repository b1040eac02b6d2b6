// The shared conversion variables and the two routines that work on them. The
// windows load the inputs and `SharedCM`, call a routine and read its results.
// Everest 1830 grid (k0 0.9999) only. Not reentrant: use from the UI thread.
#pragma once

namespace utm {

namespace Declaration {
inline double SharedCM = 0.0;    ///< central meridian λ0, radians
inline double SharedLat = 0.0;   ///< latitude, radians
inline double SharedLong = 0.0;  ///< longitude, radians east
inline double SharedX = 0.0;     ///< easting, metres
inline double SharedY = 0.0;     ///< northing, metres
}  // namespace Declaration

/// Latitude and longitude in radians to `SharedX`, `SharedY` (metres), with λ0
/// from `SharedCM`. On ArithmeticError neither is written.
void ConvertLatLongToXY(double latitude, double longitude);

/// Easting `x` and northing `y` in metres to `SharedLat`, `SharedLong` (radians),
/// with λ0 from `SharedCM`. On ArithmeticError neither is written.
void ConvertXYToLatLong(double x, double y);

}  // namespace utm
