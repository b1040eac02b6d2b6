#include "geodesy/FastSeries.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "geodesy/Angles.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/ProjectionDomain.h"

namespace utm {

namespace {

inline double Sq(double v) {
    return v * v;
}

/// Taylor coefficients of (sin r - r) / r³ and (cos r - 1) / r² in r², the
/// highest power first.
constexpr double kSineTerms[] = {
    -1.0 / 1307674368000, 1.0 / 6227020800, -1.0 / 39916800, 1.0 / 362880,
    -1.0 / 5040,          1.0 / 120,        -1.0 / 6};
constexpr double kCosineTerms[] = {
    1.0 / 20922789888000, -1.0 / 87178291200, 1.0 / 479001600, -1.0 / 3628800,
    1.0 / 40320,          -1.0 / 720,         1.0 / 24,        -0.5};

struct SineCosine {
    double sine;
    double cosine;
};

/// sin x and cos x for |x| up to about 4 (more than π), to an ulp or two:
/// x less the nearest multiple k of π/2 (in two parts, exact for such k),
/// Taylor polynomials on ±π/4 (the first neglected term is below 5e-17), and
/// the quadrant taken from the low bits of k. No branches and no integer
/// conversions, so that the loops around it vectorise.
inline SineCosine SinCos(double x) {
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kHalfPiHigh = 1.5707963267341256e+00;  // 33 bits: k * this is exact
    constexpr double kHalfPiLow = 6.0771005065061922e-11;
    constexpr double kRoundShift = 0x1.8p52;  // adding it rounds to an integer
    const double shifted = x * kTwoOverPi + kRoundShift;
    const double k = shifted - kRoundShift;
    const double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    const double r2 = r * r;
    // Horner's rule on the Taylor coefficients, highest power first.
    double s = kSineTerms[0];
    for (std::size_t i = 1; i < std::size(kSineTerms); ++i) s = s * r2 + kSineTerms[i];
    s = r + r * r2 * s;
    double c = kCosineTerms[0];
    for (std::size_t i = 1; i < std::size(kCosineTerms); ++i) c = c * r2 + kCosineTerms[i];
    c = 1.0 + r2 * c;
    // The low bits of `shifted` are k in two's complement: k mod 4 is the
    // quadrant. Odd quadrants swap sine and cosine; the signs follow.
    const auto quadrant = std::bit_cast<std::uint64_t>(shifted);
    const std::uint64_t swap = 0 - (quadrant & 1);
    const auto sBits = std::bit_cast<std::uint64_t>(s);
    const auto cBits = std::bit_cast<std::uint64_t>(c);
    const std::uint64_t sineBits = ((sBits & ~swap) | (cBits & swap)) ^ ((quadrant & 2) << 62);
    const std::uint64_t cosineBits =
        ((cBits & ~swap) | (sBits & swap)) ^ (((quadrant + 1) & 2) << 62);
    return SineCosine{std::bit_cast<double>(sineBits), std::bit_cast<double>(cosineBits)};
}

}  // namespace

bool InFastForwardDomain(double latitudeDegrees, double longitudeDegrees,
                         double centralMeridianDegrees) {
    return std::fabs(latitudeDegrees) <= 84.0 &&
           std::fabs(longitudeDegrees - centralMeridianDegrees) <= 12.0 &&
           longitudeDegrees >= kLowestMeridianDegrees &&
           longitudeDegrees <= kHighestMeridianDegrees &&
           std::fabs(centralMeridianDegrees) <= 360.0;
}

bool InFastInverseDomain(double x, double y, double centralMeridianDegrees) {
    return std::fabs(x - kFalseEasting) <= 1.2e6 && std::fabs(y) <= 9.3e6 &&
           std::fabs(centralMeridianDegrees) <= 360.0;
}

void FastForwardSeries(const EllipsoidTerms& t, double k0, double lambda0, std::size_t count,
                       const double* __restrict latitudeDegrees,
                       const double* __restrict longitudeDegrees, double* __restrict x,
                       double* __restrict y) {
    const double toRadians = Pi() / 180.0;
    const double a = t.a;
    const double e = t.e;
    const double ePrime = t.ePrime;
    const double ep2 = t.ePrimeSquared;
    const double ac0 = a * t.c0;
    const double ac2 = a * t.c2;
    const double ac4 = a * t.c4;
    const double ac6 = a * t.c6;
    const double ak0 = a * k0;
    for (std::size_t i = 0; i < count; ++i) {
        const double phi = latitudeDegrees[i] * toRadians;
        const double dLambda = longitudeDegrees[i] * toRadians - lambda0;
        const SineCosine sc = SinCos(phi);
        const double sinPhi = sc.sine;
        const double cosPhi = sc.cosine;
        const double tanPhi = sinPhi / cosPhi;
        const double A = dLambda * cosPhi;
        const double C = Sq(cosPhi * ePrime);
        const double T = Sq(tanPhi);
        const double sin2 = 2.0 * sinPhi * cosPhi;
        const double cos2 = 1.0 - 2.0 * sinPhi * sinPhi;
        const double sin4 = 2.0 * sin2 * cos2;
        const double cos4 = 1.0 - 2.0 * sin2 * sin2;
        const double sin6 = sin4 * cos2 + cos4 * sin2;
        const double M = ac0 * phi - ac2 * sin2 + ac4 * sin4 - ac6 * sin6;
        const double Nk0 = ak0 / std::sqrt(1.0 - Sq(sinPhi * e));
        const double A2 = A * A;
        const double A4 = A2 * A2;
        const double x5 = A2 * (1.0 - T + C) * (1.0 / 6.0) +
                          A4 * (T * T + (5.0 - 18.0 * T) + 72.0 * C - 58.0 * ep2) * (1.0 / 120.0);
        x[i] = (A + A * x5) * Nk0 + kFalseEasting;
        const double y6 =
            A2 * 0.5 + A4 * (4.0 * C * C + (5.0 - T + 9.0 * C)) * (1.0 / 24.0) +
            A4 * A2 * (T * T + (61.0 - 58.0 * T) + 600.0 * C - 330.0 * ep2) * (1.0 / 720.0);
        y[i] = y6 * tanPhi * Nk0 + M * k0;
    }
}

void FastInverseSeries(const EllipsoidTerms& t, double k0, double lambda0, std::size_t count,
                       const double* __restrict x, const double* __restrict y,
                       double* __restrict latitudeDegrees, double* __restrict longitudeDegrees) {
    const double toDegrees = 180.0 / Pi();
    const double toMu = 1.0 / (k0 * t.a * t.c0);
    const double e1 = t.e1;
    const double e1Sq = Sq(e1);
    const double e1Cu = e1Sq * e1;
    const double e1Qu = Sq(e1Sq);
    const double b2 = 1.5 * e1 - 0.84375 * e1Cu;
    const double b4 = 1.3125 * e1Sq - 1.71875 * e1Qu;
    const double b6 = (151.0 / 96.0) * e1Cu;
    const double b8 = 2.142578125 * e1Qu;
    const double e2 = t.e2;
    const double ePrime = t.ePrime;
    const double ep2 = t.ePrimeSquared;
    const double toD = 1.0 / (k0 * t.a);
    const double toTanNR = 1.0 / (1.0 - e2);
    for (std::size_t i = 0; i < count; ++i) {
        const double mu = y[i] * toMu;
        const SineCosine scMu = SinCos(mu);
        const double sin2 = 2.0 * scMu.sine * scMu.cosine;
        const double cos2 = 1.0 - 2.0 * scMu.sine * scMu.sine;
        const double sin4 = 2.0 * sin2 * cos2;
        const double cos4 = 1.0 - 2.0 * sin2 * sin2;
        const double sin6 = sin4 * cos2 + cos4 * sin2;
        const double sin8 = 2.0 * sin4 * cos4;
        const double delta = b2 * sin2 + b4 * sin4 + b6 * sin6 + b8 * sin8;
        const double phi1 = mu + delta;
        // sin and cos of φ1 = μ + δ from those of μ: δ stays below 0.003
        // (b2 is about 1.5 e1), where the terms left out of these series of
        // sin δ and cos δ are below 1e-18.
        const double delta2 = delta * delta;
        const double sinDelta =
            delta * (1.0 - delta2 * (1.0 / 6.0) * (1.0 - delta2 * (1.0 / 20.0)));
        const double cosDelta = 1.0 - delta2 * 0.5 * (1.0 - delta2 * (1.0 / 12.0));
        const SineCosine sc{scMu.sine * cosDelta + scMu.cosine * sinDelta,
                            scMu.cosine * cosDelta - scMu.sine * sinDelta};
        const double secant = 1.0 / sc.cosine;
        const double tanPhi1 = sc.sine * secant;
        const double w = 1.0 - e2 * Sq(sc.sine);
        // N1 = a / sqrt(w) and R1 = (1 - e²) a / w^1.5, so tan φ1 · N1 / R1 is
        // tan φ1 · w / (1 - e²).
        const double D = (x[i] - kFalseEasting) * std::sqrt(w) * toD;
        const double tanNR = tanPhi1 * w * toTanNR;
        const double C1 = Sq(sc.cosine * ePrime);
        const double T1 = Sq(tanPhi1);
        const double D2 = D * D;
        const double D4 = D2 * D2;
        const double phi =
            phi1 -
            tanNR * (D2 * 0.5 -
                     D4 * (5.0 + 3.0 * T1 + 10.0 * C1 - 4.0 * C1 * C1 - 9.0 * ep2) * (1.0 / 24.0) +
                     D4 * D2 *
                         (61.0 + 90.0 * T1 + 298.0 * C1 + 45.0 * T1 * T1 - 252.0 * ep2 -
                          3.0 * C1 * C1) *
                         (1.0 / 720.0));
        const double lambda =
            lambda0 +
            D *
                (1.0 - D2 * (1.0 + 2.0 * T1 + C1) * (1.0 / 6.0) +
                 D4 * (5.0 - 2.0 * C1 + 28.0 * T1 - 3.0 * C1 * C1 + 8.0 * ep2 + 24.0 * T1 * T1) *
                     (1.0 / 120.0)) *
                secant;
        latitudeDegrees[i] = phi * toDegrees;
        longitudeDegrees[i] = lambda * toDegrees;
    }
}

}  // namespace utm
