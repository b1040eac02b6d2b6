// Geodetic latitude and longitude to Earth-centred Cartesian coordinates and
// back, on one ellipsoid. The datum shifts work in these coordinates.
#pragma once

#include "geodesy/Ellipsoid.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

/// Earth-centred, Earth-fixed Cartesian coordinates, metres: Z along the polar
/// axis (north positive), X through the equator at the Greenwich meridian, Y
/// through the equator at 90° E.
struct GeocentricPoint {
    double x;
    double y;
    double z;
};

/// Conversions between geodetic and geocentric coordinates on one ellipsoid.
/// The constructor derives the ellipsoid's constants once; Forward and Reverse
/// are pure and reentrant.
class Geocentric {
  public:
    /// The conversions on `ellipsoid` (semi-axes a and b; e² = 1 − b²/a²).
    explicit Geocentric(const Ellipsoid& ellipsoid);

    /// Latitude and longitude of `point` (radians) and ellipsoidal `height`
    /// (metres, 0 for a point on the ellipsoid, which is how the datum shifts
    /// of the program use it) to geocentric X, Y, Z in metres.
    GeocentricPoint Forward(GeodeticPoint point, double height = 0.0) const;

    /// Geocentric X, Y, Z (metres) to latitude and longitude in radians; the
    /// ellipsoidal height is dropped. Longitude in −π to π.
    GeodeticPoint Reverse(GeocentricPoint point) const;
    /// The same, with the ellipsoidal height of the point written to `height` (metres).
    GeodeticPoint Reverse(GeocentricPoint point, double& height) const;

  private:
    double a_;    ///< semi-major axis, metres
    double b_;    ///< semi-minor axis, metres
    double e2_;   ///< first eccentricity squared, 1 − b²/a²
    double ep2_;  ///< second eccentricity squared, a²/b² − 1
};

}  // namespace utm
