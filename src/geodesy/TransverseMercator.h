// The Transverse Mercator series, forward and inverse, on one ellipsoid with
// latitude of origin 0, false easting 500000 m and no false northing.
#pragma once

#include <cstddef>

#include "geodesy/Ellipsoid.h"

namespace utm {

struct GridPoint {
    double x;  ///< easting, metres (false easting included)
    double y;  ///< northing, metres
};

struct GeodeticPoint {
    double phi;     ///< latitude, radians
    double lambda;  ///< longitude, radians east
};

/// Forward series up to the sixth power of the longitude difference.
/// `phi`, `lambda`, `lambda0` in radians; k0 the grid's scale factor.
/// Throws ProjectionDomainError (an ArithmeticError) for a longitude outside
/// −180° to 360° or more than 90° from the central meridian (the difference
/// reduced to ±180°, see ProjectionDomain.h), and ArithmeticError when the
/// result is not finite.
GridPoint ForwardSeries(const EllipsoidTerms& terms, double k0, double phi, double lambda,
                        double lambda0);

/// Inverse series through the footpoint latitude. `x`, `y` in metres,
/// `lambda0` in radians; returns radians. Throws ArithmeticError when the
/// result is not finite.
GeodeticPoint InverseSeries(const EllipsoidTerms& terms, double k0, double x, double y,
                            double lambda0);

/// ForwardSeries(terms, k0, phi[i], lambda[i], lambda0) for `count` points,
/// bit for bit, except that a result that is not finite is stored as it is
/// instead of raising ArithmeticError, and a point refused for its longitude
/// gets NaN: the caller checks. Arrays may not overlap.
void ForwardSeriesBlock(const EllipsoidTerms& terms, double k0, double lambda0, std::size_t count,
                        const double* phi, const double* lambda, double* x, double* y);

/// InverseSeries(terms, k0, x[i], y[i], lambda0) for `count` points, bit for
/// bit, with not-finite results stored as they are (see ForwardSeriesBlock).
void InverseSeriesBlock(const EllipsoidTerms& terms, double k0, double lambda0, std::size_t count,
                        const double* x, const double* y, double* phi, double* lambda);

}  // namespace utm
