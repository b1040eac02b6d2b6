#include "geodesy/Ellipsoid.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace utm {

EllipsoidTerms EllipsoidTerms::Of(const Ellipsoid& ellipsoid) {
    EllipsoidTerms t{};
    t.a = ellipsoid.a;
    t.eSquared = 1.0 - (ellipsoid.b * ellipsoid.b) / (ellipsoid.a * ellipsoid.a);
    t.e = std::sqrt(t.eSquared);
    t.e2 = std::pow(t.e, 2);
    t.e4 = std::pow(t.e, 4);
    t.e6 = std::pow(t.e, 6);
    t.ePrime = std::sqrt(t.e2 / (1.0 - t.e2));
    t.ePrimeSquared = std::pow(t.ePrime, 2);
    t.e1 = (1.0 - std::sqrt(1.0 - t.e2)) / (std::sqrt(1.0 - t.e2) + 1.0);
    t.c0 = 1.0 - t.e2 / 4.0 - (3.0 / 64.0) * t.e4 - (5.0 / 256.0) * t.e6;
    t.c2 = (3.0 / 8.0) * t.e2 + (3.0 / 32.0) * t.e4 + (45.0 / 1024.0) * t.e6;
    t.c4 = (15.0 / 256.0) * t.e4 + (45.0 / 1024.0) * t.e6;
    t.c6 = (35.0 / 3072.0) * t.e6;
    return t;
}

const EllipsoidTerms& Everest1830Terms() {
    static const EllipsoidTerms terms = EllipsoidTerms::Of(Everest1830);
    return terms;
}

const EllipsoidTerms& WGS84Terms() {
    static const EllipsoidTerms terms = EllipsoidTerms::Of(WGS84);
    return terms;
}

const EllipsoidTerms& TermsOf(const Ellipsoid& ellipsoid) {
    if (ellipsoid.a == WGS84.a && ellipsoid.b == WGS84.b) return WGS84Terms();
    if (ellipsoid.a == Everest1830.a && ellipsoid.b == Everest1830.b) return Everest1830Terms();
    throw std::invalid_argument(std::string("no grid is defined on the ellipsoid ") +
                                ellipsoid.name);
}

}  // namespace utm
