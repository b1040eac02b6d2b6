// The meridional arc from the equator to a latitude.
#pragma once

#include "geodesy/Ellipsoid.h"

namespace utm {

/// Length in metres of the meridian from the equator to latitude `phi` (radians)
/// on the ellipsoid: positive north, negative south, exactly 0 at φ = 0.
double MeridianArc(const EllipsoidTerms& terms, double phi);

/// The same arc when sin 2φ and cos 2φ are already known: sin 4φ and sin 6φ
/// are formed from them by the double- and sum-angle identities, which agree
/// with direct evaluation to a few units in the last place and save two
/// sine evaluations per point.
double MeridianArc(const EllipsoidTerms& terms, double phi, double sin2Phi, double cos2Phi);

}  // namespace utm
