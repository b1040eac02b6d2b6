#include "geodesy/TransverseMercator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/MeridianArc.h"
#include "geodesy/ProjectionDomain.h"

namespace utm {

namespace {
// Integer powers by repeated multiplication: the series raise A, D, T, C and
// e1 to small whole powers on every point.
inline double Sq(double v) {
    return v * v;
}
}  // namespace

// The series are written as stages between their sines and cosines, shared
// by the one-point routines and the block routines, so that both do the same
// operations in the same order and give the same bits. The block routines run
// each stage over a whole chunk of points (loops the compiler vectorises) and
// call the library's sine and cosine point by point in between.

namespace {

/// Everything of the forward series after sin φ and cos φ, on the longitude
/// difference `dLambda` = λ − λ0 (radians).
inline GridPoint ForwardStage(const EllipsoidTerms& t, double k0, double phi, double dLambda,
                              double sinPhi, double cosPhi) {
    const double tanPhi = sinPhi / cosPhi;
    const double A = dLambda * cosPhi;
    const double C = Sq(cosPhi * t.ePrime);
    const double T = Sq(tanPhi);
    // sin 2φ and cos 2φ from sin φ and cos φ by the double-angle identities.
    const double M = MeridianArc(t, phi, 2.0 * sinPhi * cosPhi, 1.0 - 2.0 * sinPhi * sinPhi);
    const double N = t.a / std::sqrt(1.0 - Sq(sinPhi * t.e));
    const double M0 = 0.0;  // meridional arc at the latitude of origin 0

    const double A2 = Sq(A);
    const double A3 = A2 * A;
    const double A4 = Sq(A2);
    const double A5 = A4 * A;
    const double A6 = A4 * A2;

    const double x = (A3 * (1.0 - T + C) / 6.0 + A +
                      A5 * (Sq(T) + (5.0 - 18.0 * T) + 72.0 * C - 58.0 * t.ePrimeSquared) / 120.0) *
                         (N * k0) +
                     kFalseEasting;
    const double a6Term =
        A6 * (Sq(T) + (61.0 - 58.0 * T) + 600.0 * C - 330.0 * t.ePrimeSquared) / 720.0;
    const double a4Term = A4 * (4.0 * Sq(C) + (5.0 - T + 9.0 * C)) / 24.0;
    const double y = ((A2 / 2.0 + (a4Term + a6Term)) * (tanPhi * N) + (M - M0)) * k0;
    return GridPoint{x, y};
}

/// Sets `dLambda` to λ − λ0 as the forward series takes it and says whether
/// the point lies in its domain (see ProjectionDomain.h): λ within −180° to
/// 360° and the difference within 90° as it stands (and a hair: the
/// difference of two longitudes converted to radians may lie an ulp beyond
/// the 90° of their degrees). A NaN passes, for the finite check to name it.
inline bool ForwardDifference(double lambda, double lambda0, double& dLambda) {
    const double quarterTurn = DegreesToRadians(kFarthestLongitudeDegrees) * (1.0 + 1e-12);
    dLambda = lambda - lambda0;
    const bool inRange = !(lambda < DegreesToRadians(kLowestMeridianDegrees) ||
                           lambda > DegreesToRadians(kHighestMeridianDegrees));
    return inRange && !(std::fabs(dLambda) > quarterTurn);
}

/// Throws ProjectionDomainError for a point ForwardDifference refused.
[[noreturn]] void RefuseLongitude(double lambda, double lambda0) {
    const double longitude = RadiansToDegrees(lambda);
    std::string problem = LongitudeProblem(longitude, RadiansToDegrees(lambda0));
    // The degrees may fall back inside a bound the radians lie beyond.
    if (problem.empty()) {
        problem = "the longitude " + DegreesText(longitude) +
                  " lies outside the domain of the projection";
    }
    throw ProjectionDomainError(problem);
}

/// The rectifying latitude μ of the inverse series.
inline double InverseMu(const EllipsoidTerms& t, double k0, double y) {
    const double M0 = 0.0;  // meridional arc at the latitude of origin 0
    const double M = y / k0 + M0;
    return M / (t.a * t.c0);
}

/// The footpoint latitude φ1 from μ, sin 2μ and cos 2μ.
inline double InverseFootpoint(const EllipsoidTerms& t, double mu, double sin2Mu, double cos2Mu) {
    const double e1 = t.e1;
    const double e1Sq = Sq(e1);
    const double e1Cu = e1Sq * e1;
    const double e1Qu = Sq(e1Sq);
    // sin 4μ, sin 6μ and sin 8μ from sin 2μ and cos 2μ by the multiple-angle
    // identities (a few units in the last place from direct evaluation).
    const double sin4Mu = 2.0 * sin2Mu * cos2Mu;
    const double cos4Mu = 1.0 - 2.0 * sin2Mu * sin2Mu;
    const double sin6Mu = sin4Mu * cos2Mu + cos4Mu * sin2Mu;
    const double sin8Mu = 2.0 * sin4Mu * cos4Mu;
    return mu + (1.5 * e1 - 0.84375 * e1Cu) * sin2Mu + (1.3125 * e1Sq - 1.71875 * e1Qu) * sin4Mu +
           (151.0 / 96.0) * e1Cu * sin6Mu + 2.142578125 * e1Qu * sin8Mu;
}

/// Everything of the inverse series after sin φ1 and cos φ1.
inline GeodeticPoint InverseStage(const EllipsoidTerms& t, double k0, double x, double lambda0,
                                  double phi1, double sinPhi1, double cosPhi1) {
    const double tanPhi1 = sinPhi1 / cosPhi1;
    const double N1 = t.a / std::sqrt(1.0 - Sq(sinPhi1 * t.e));
    const double w = 1.0 - t.e2 * Sq(sinPhi1);
    const double R1 = (1.0 - t.e2) * t.a / (w * std::sqrt(w));  // w^1.5
    const double C1 = Sq(cosPhi1 * t.ePrime);
    const double T1 = Sq(tanPhi1);
    const double D = (x - kFalseEasting) / (k0 * N1);

    const double D2 = Sq(D);
    const double D3 = D2 * D;
    const double D4 = Sq(D2);
    const double D5 = D4 * D;
    const double D6 = D4 * D2;
    const double ep2 = t.ePrimeSquared;

    const double phi =
        phi1 -
        (tanPhi1 * N1 / R1) *
            (D2 / 2.0 - D4 * (5.0 + 3.0 * T1 + 10.0 * C1 - 4.0 * Sq(C1) - 9.0 * ep2) / 24.0 +
             D6 * (61.0 + 90.0 * T1 + 298.0 * C1 + 45.0 * Sq(T1) - 252.0 * ep2 - 3.0 * Sq(C1)) /
                 720.0);
    const double lambda =
        lambda0 +
        (D - D3 * (1.0 + 2.0 * T1 + C1) / 6.0 +
         D5 * (5.0 - 2.0 * C1 + 28.0 * T1 - 3.0 * Sq(C1) + 8.0 * ep2 + 24.0 * Sq(T1)) / 120.0) /
            cosPhi1;
    return GeodeticPoint{phi, lambda};
}

/// Points per chunk of the block routines: their scratch arrays stay in the
/// first-level cache.
constexpr std::size_t kChunk = 128;

}  // namespace

GridPoint ForwardSeries(const EllipsoidTerms& t, double k0, double phi, double lambda,
                        double lambda0) {
    double dLambda = 0.0;
    if (!ForwardDifference(lambda, lambda0, dLambda)) RefuseLongitude(lambda, lambda0);
    const GridPoint p = ForwardStage(t, k0, phi, dLambda, std::sin(phi), std::cos(phi));
    RequireFinite("the forward projection", p.x, p.y);
    return p;
}

GeodeticPoint InverseSeries(const EllipsoidTerms& t, double k0, double x, double y,
                            double lambda0) {
    const double mu = InverseMu(t, k0, y);
    const double phi1 = InverseFootpoint(t, mu, std::sin(2.0 * mu), std::cos(2.0 * mu));
    const GeodeticPoint r = InverseStage(t, k0, x, lambda0, phi1, std::sin(phi1), std::cos(phi1));
    RequireFinite("the inverse projection", r.phi, r.lambda);
    return r;
}

void ForwardSeriesBlock(const EllipsoidTerms& t, double k0, double lambda0, std::size_t count,
                        const double* __restrict phi, const double* __restrict lambda,
                        double* __restrict x, double* __restrict y) {
    double sines[kChunk];
    double cosines[kChunk];
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t n = std::min(kChunk, count - start);
        const double* const phiChunk = phi + start;
        const double* const lambdaChunk = lambda + start;
        for (std::size_t i = 0; i < n; ++i) {
            sines[i] = std::sin(phiChunk[i]);
            cosines[i] = std::cos(phiChunk[i]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const GridPoint p =
                ForwardStage(t, k0, phiChunk[i], lambdaChunk[i] - lambda0, sines[i], cosines[i]);
            x[start + i] = p.x;
            y[start + i] = p.y;
        }
        // The points ForwardSeries refuses: NaN.
        for (std::size_t i = 0; i < n; ++i) {
            double dLambda = 0.0;
            if (ForwardDifference(lambdaChunk[i], lambda0, dLambda)) continue;
            x[start + i] = std::numeric_limits<double>::quiet_NaN();
            y[start + i] = std::numeric_limits<double>::quiet_NaN();
        }
    }
}

void InverseSeriesBlock(const EllipsoidTerms& t, double k0, double lambda0, std::size_t count,
                        const double* __restrict x, const double* __restrict y,
                        double* __restrict phi, double* __restrict lambda) {
    double angles[kChunk];
    double sines[kChunk];
    double cosines[kChunk];
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t n = std::min(kChunk, count - start);
        // μ waits in `phi`, then φ1 does, until the last stage replaces it.
        double* const phiChunk = phi + start;
        for (std::size_t i = 0; i < n; ++i) {
            phiChunk[i] = InverseMu(t, k0, y[start + i]);
            angles[i] = 2.0 * phiChunk[i];
        }
        for (std::size_t i = 0; i < n; ++i) {
            sines[i] = std::sin(angles[i]);
            cosines[i] = std::cos(angles[i]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            phiChunk[i] = InverseFootpoint(t, phiChunk[i], sines[i], cosines[i]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            sines[i] = std::sin(phiChunk[i]);
            cosines[i] = std::cos(phiChunk[i]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const GeodeticPoint r =
                InverseStage(t, k0, x[start + i], lambda0, phiChunk[i], sines[i], cosines[i]);
            phiChunk[i] = r.phi;
            lambda[start + i] = r.lambda;
        }
    }
}

}  // namespace utm
