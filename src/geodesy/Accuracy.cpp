#include "geodesy/Accuracy.h"

#include "geodesy/MeridianArc.h"

namespace utm {

double PoleNorthing(const EllipsoidTerms& terms, double k0) {
    return k0 * MeridianArc(terms, Pi() / 2);
}

}  // namespace utm
