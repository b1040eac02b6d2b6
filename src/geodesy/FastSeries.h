// The forward and inverse series for many points at once, close to but not
// bit for bit ForwardSeries and InverseSeries: the same series evaluated with
// polynomial sines and cosines and few divisions, in loops the compiler
// vectorises. A batch run uses them where a result rounded to whole
// millimetres or thousandths of a degree is the same for every value within
// the stated distance, and the exact routines everywhere else, so that its
// output keeps the exact routines' bytes.
#pragma once

#include <cstddef>

#include "geodesy/Ellipsoid.h"

namespace utm {

/// How far the fast results may lie from the exact routines' (after radians
/// to degrees for the inverse), for points inside the fast domain. The tests
/// measure the real distance on dense samples of the domain: it stays below a
/// hundredth of these.
inline constexpr double kFastForwardMetres = 5e-6;
inline constexpr double kFastInverseDegrees = 1e-9;

/// Points the fast forward series may take: latitude within ±84°, longitude
/// within −180° to 360° and at most 12° from a central meridian within ±360°
/// (all in degrees; farther out the radians lose the bits the bound needs).
/// Anything else (NaN included) goes to ForwardSeries, which refuses the
/// longitudes outside its domain (ProjectionDomain.h) instead of giving
/// numbers for them.
bool InFastForwardDomain(double latitudeDegrees, double longitudeDegrees,
                         double centralMeridianDegrees);

/// Points the fast inverse series may take: at most 1,200 km from a central
/// meridian within ±360° and a northing within ±9,300 km (below about 84° of
/// latitude). Anything else (NaN included) goes to InverseSeries.
bool InFastInverseDomain(double x, double y, double centralMeridianDegrees);

/// ForwardSeries(terms, k0, DegreesToRadians(lat), DegreesToRadians(lon),
/// lambda0) for `count` points, to within kFastForwardMetres inside the fast
/// domain. Any value outside the domain gives a meaningless result, never a
/// fault. The arrays may not overlap.
void FastForwardSeries(const EllipsoidTerms& terms, double k0, double lambda0, std::size_t count,
                       const double* latitudeDegrees, const double* longitudeDegrees, double* x,
                       double* y);

/// RadiansToDegrees of InverseSeries(terms, k0, x, y, lambda0) for `count`
/// points, to within kFastInverseDegrees inside the fast domain; as above
/// otherwise.
void FastInverseSeries(const EllipsoidTerms& terms, double k0, double lambda0, std::size_t count,
                       const double* x, const double* y, double* latitudeDegrees,
                       double* longitudeDegrees);

}  // namespace utm
