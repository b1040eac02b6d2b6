// The two reference ellipsoids of the program and the quantities derived from them.
#pragma once

namespace utm {

/// A reference ellipsoid, defined by its semi-axes. The flattening is never
/// stored or used; the eccentricities come from a and b.
struct Ellipsoid {
    const char* name;
    double a;  ///< semi-major axis, metres
    double b;  ///< semi-minor axis, metres
};

inline constexpr Ellipsoid Everest1830{"Everest 1830", 6377276.345, 6356075.413};
/// WGS84 with its stored semi-minor axis (not one computed from the flattening).
inline constexpr Ellipsoid WGS84{"WGS84", 6378137.0, 6356752.31424518};

/// Quantities derived from an ellipsoid, computed in this order:
/// e² = 1 − b²/a², e = √e², e2 = e^2, e4 = e^4, e6 = e^6, e' = √(e2/(1 − e2)),
/// e1 = (1 − √(1 − e2)) / (√(1 − e2) + 1). The coefficients of the meridional
/// arc are formed from e2, e4 and e6 as quotients of integers times the power.
struct EllipsoidTerms {
    double a;
    double eSquared;  ///< e² of the first step (differs from e2 in the last bits)
    double e;         ///< first eccentricity
    double e2, e4, e6;
    double ePrime;         ///< second eccentricity e'
    double ePrimeSquared;  ///< (e')²
    double e1;             ///< used by the inverse projection only
    /// Meridional arc: M(φ) = a·(c0·φ − c2·sin 2φ + c4·sin 4φ − c6·sin 6φ).
    double c0, c2, c4, c6;

    /// Derives every quantity from the ellipsoid's semi-axes.
    static EllipsoidTerms Of(const Ellipsoid& ellipsoid);
};

/// The derived quantities of the two built-in ellipsoids, computed once.
const EllipsoidTerms& Everest1830Terms();
const EllipsoidTerms& WGS84Terms();

/// The cached terms of a built-in ellipsoid (matched by its semi-axes).
/// Throws std::invalid_argument for any other ellipsoid.
const EllipsoidTerms& TermsOf(const Ellipsoid& ellipsoid);

}  // namespace utm
