#include "geodesy/MeridianArc.h"

#include <cmath>

namespace utm {

double MeridianArc(const EllipsoidTerms& t, double phi, double sin2Phi, double cos2Phi) {
    const double sin4Phi = 2.0 * sin2Phi * cos2Phi;
    const double cos4Phi = 1.0 - 2.0 * sin2Phi * sin2Phi;
    const double sin6Phi = sin4Phi * cos2Phi + cos4Phi * sin2Phi;
    // The bracket is accumulated in the order φ, sin 2φ, sin 4φ, sin 6φ, then
    // multiplied by a.
    return t.a * (t.c0 * phi - t.c2 * sin2Phi + t.c4 * sin4Phi - t.c6 * sin6Phi);
}

double MeridianArc(const EllipsoidTerms& t, double phi) {
    return MeridianArc(t, phi, std::sin(2.0 * phi), std::cos(2.0 * phi));
}

}  // namespace utm
