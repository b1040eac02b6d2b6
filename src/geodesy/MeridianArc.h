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
/// sine evaluations per point. Inline, so that the block series vectorise
/// around it.
inline double MeridianArc(const EllipsoidTerms& t, double phi, double sin2Phi, double cos2Phi) {
    const double sin4Phi = 2.0 * sin2Phi * cos2Phi;
    const double cos4Phi = 1.0 - 2.0 * sin2Phi * sin2Phi;
    const double sin6Phi = sin4Phi * cos2Phi + cos4Phi * sin2Phi;
    // The bracket is accumulated in the order φ, sin 2φ, sin 4φ, sin 6φ, then
    // multiplied by a.
    return t.a * (t.c0 * phi - t.c2 * sin2Phi + t.c4 * sin4Phi - t.c6 * sin6Phi);
}

}  // namespace utm
