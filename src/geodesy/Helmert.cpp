// Helmert 7-parameter transformations in the geocentric domain, EPSG methods
// 1033 (position vector) and 1032 (coordinate frame rotation), the middle step
// of methods 9606 and 9607, as given in IOGP Publication 373-7-2 (EPSG
// Guidance Note 7-2), section 2.4.3.2 "Helmert 7-parameter transformations":
//
//   (X, Y, Z)_T = M · R · (X, Y, Z)_S + (tX, tY, tZ),   M = 1 + dS·10⁻⁶,
//
// with, in the position vector convention,
//
//       |  1   −rZ   +rY |
//   R = | +rZ   1    −rX |
//       | −rY  +rX    1  |
//
// and its transpose in the coordinate frame convention (the same matrix with
// the signs of the rotations reversed). Rotations are in radians here, the
// parameters in arc-seconds.
//
// The Guidance Note reverses these methods approximately by changing the signs
// of all seven parameters. PROJ's helmert operation (src/transformations/
// helmert.cpp) instead undoes the translation and scale exactly and applies the
// transpose of R; the reverse here follows PROJ, so that the program's results
// agree with PROJ's in both directions.
#include "geodesy/Helmert.h"

#include "geodesy/Angles.h"

namespace utm {

Helmert::Helmert(const HelmertParameters& p) : t_{p.tx, p.ty, p.tz}, m_(1.0 + p.scalePpm * 1e-6) {
    const double arcSecond = Pi() / 180.0 / 3600.0;
    // Position vector rotations; a coordinate frame set turns the other way.
    const double sign = p.convention == HelmertConvention::PositionVector ? 1.0 : -1.0;
    const double rx = sign * p.rx * arcSecond;
    const double ry = sign * p.ry * arcSecond;
    const double rz = sign * p.rz * arcSecond;
    r_[0][0] = 1.0;
    r_[0][1] = -rz;
    r_[0][2] = ry;
    r_[1][0] = rz;
    r_[1][1] = 1.0;
    r_[1][2] = -rx;
    r_[2][0] = -ry;
    r_[2][1] = rx;
    r_[2][2] = 1.0;
}

GeocentricPoint Helmert::Forward(GeocentricPoint p) const {
    return GeocentricPoint{m_ * (r_[0][0] * p.x + r_[0][1] * p.y + r_[0][2] * p.z) + t_[0],
                           m_ * (r_[1][0] * p.x + r_[1][1] * p.y + r_[1][2] * p.z) + t_[1],
                           m_ * (r_[2][0] * p.x + r_[2][1] * p.y + r_[2][2] * p.z) + t_[2]};
}

GeocentricPoint Helmert::Reverse(GeocentricPoint p) const {
    const double x = (p.x - t_[0]) / m_;
    const double y = (p.y - t_[1]) / m_;
    const double z = (p.z - t_[2]) / m_;
    return GeocentricPoint{r_[0][0] * x + r_[1][0] * y + r_[2][0] * z,
                           r_[0][1] * x + r_[1][1] * y + r_[2][1] * z,
                           r_[0][2] * x + r_[1][2] * y + r_[2][2] * z};
}

}  // namespace utm
