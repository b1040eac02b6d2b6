// The seven-parameter Helmert transformation between two geocentric frames:
// three translations, three small rotations and a change of scale.
#pragma once

#include "geodesy/Geocentric.h"

namespace utm {

/// The sign convention of the rotations, as the parameters are published.
enum class HelmertConvention {
    /// Position vector transformation, EPSG method 9606: a positive rotation
    /// turns the point's position vector anticlockwise about the axis
    /// (the convention of the IERS and ISO 19111).
    PositionVector,
    /// Coordinate frame rotation, EPSG method 9607: a positive rotation turns
    /// the coordinate frame anticlockwise about the axis; the same parameter
    /// set describes the opposite rotation of the position vector.
    CoordinateFrame,
};

/// Seven published parameters from a source to a target geocentric frame.
struct HelmertParameters {
    double tx = 0.0;        ///< translation along X, metres
    double ty = 0.0;        ///< translation along Y, metres
    double tz = 0.0;        ///< translation along Z, metres
    double rx = 0.0;        ///< rotation about X, arc-seconds
    double ry = 0.0;        ///< rotation about Y, arc-seconds
    double rz = 0.0;        ///< rotation about Z, arc-seconds
    double scalePpm = 0.0;  ///< scale difference, parts per million (M = 1 + scalePpm·10⁻⁶)
    HelmertConvention convention = HelmertConvention::PositionVector;

    friend bool operator==(const HelmertParameters&, const HelmertParameters&) = default;
};

/// A Helmert transformation made ready for many points: the rotation matrix
/// is formed once, with the small-angle approximation of the published
/// methods (cos r = 1, sin r = r, products of rotations dropped), which is
/// what the parameters were fitted with. Forward and Reverse are pure.
class Helmert {
  public:
    explicit Helmert(const HelmertParameters& parameters);

    /// Source frame to target frame: T + M·R·P.
    GeocentricPoint Forward(GeocentricPoint point) const;

    /// Target frame to source frame: Rᵀ·(P − T)/M. The transpose of the
    /// small-angle matrix is its inverse only to the first order in the
    /// rotations; this is the reverse that PROJ's `+inv +proj=helmert` applies
    /// (the translation and scale are undone exactly, the rotations by the
    /// same angles with the opposite sign), so the two agree to the last bits.
    GeocentricPoint Reverse(GeocentricPoint point) const;

  private:
    double t_[3];     ///< translation, metres
    double m_;        ///< scale factor 1 + scalePpm·10⁻⁶
    double r_[3][3];  ///< rotation matrix of the position-vector form, radians
};

}  // namespace utm
