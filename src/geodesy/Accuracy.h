// How far the projection series can be trusted, and where a result stops
// meaning anything on the Earth. The runs over data files use these to warn.
#pragma once

#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"

namespace utm {

// Distances from the central meridian, in metres of easting, within which the
// series stay within 1 mm and within 1 cm of the exact Transverse Mercator,
// worst case over latitudes 0° to 60° on both ellipsoids (measured against
// PROJ 9.1's exact algorithm, +algo=poder_engsager, by
// scripts/measure-series-accuracy). The forward series (latitude/longitude to
// X/Y) reaches farther than the inverse; a transfer runs both.
inline constexpr double kForwardMillimetreReach = 379000.0;
inline constexpr double kForwardCentimetreReach = 655000.0;
inline constexpr double kInverseMillimetreReach = 193000.0;
inline constexpr double kInverseCentimetreReach = 268000.0;

/// True when the easting `x` lies farther from the central meridian than
/// `reach` metres.
inline bool Beyond(double x, double reach) {
    return !(std::fabs(x - kFalseEasting) <= reach);
}

/// True when `degrees` is no latitude (outside -90 to 90, or not a number).
inline bool OutsideLatitudeRange(double degrees) {
    return !(degrees >= -90.0 && degrees <= 90.0);
}

/// The northing of the pole on a grid of `terms` with scale `k0`: a northing
/// beyond it in magnitude has no latitude, the inverse series then gives one
/// beyond the pole.
double PoleNorthing(const EllipsoidTerms& terms, double k0);

}  // namespace utm
