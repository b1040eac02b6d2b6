#include "geodesy/MeridianArc.h"

#include <cmath>

namespace utm {

double MeridianArc(const EllipsoidTerms& t, double phi) {
    return MeridianArc(t, phi, std::sin(2.0 * phi), std::cos(2.0 * phi));
}

}  // namespace utm
