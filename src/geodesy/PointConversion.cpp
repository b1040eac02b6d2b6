#include "geodesy/PointConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "geodesy/Accuracy.h"
#include "geodesy/Angles.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/ParameterError.h"
#include "geodesy/ProjectionDomain.h"

namespace utm {

namespace {

/// A number of a message: the text the user wrote, else up to 15
/// significant digits.
std::string NumberText(double value, std::string_view text) {
    if (!text.empty()) return std::string(text);
    return DegreesText(value);
}

/// A ParameterError for a central meridian outside -180 to 360, else the meridian.
double CheckedMeridian(double centralMeridian) {
    if (const std::string problem = CentralMeridianProblem(centralMeridian); !problem.empty()) {
        throw ParameterError(problem);
    }
    return centralMeridian;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// `shifted`, the longitude a datum shift gave (radians, within ±π), in the
/// turn of `reference`, the longitude before the shift: the shift moves a
/// point by far less than a degree, so a difference of more than half a turn
/// is the other convention of east longitude (300° comes back as −60°), and
/// a grid takes longitudes in the convention of its central meridian.
double InTurnOf(double shifted, double reference) {
    const double turn = 2.0 * Pi();
    if (shifted - reference > Pi()) return shifted - turn;
    if (reference - shifted > Pi()) return shifted + turn;
    return shifted;
}

/// Points per chunk of the block routines: the scratch arrays stay in the
/// first-level cache.
constexpr std::size_t kChunk = 256;

}  // namespace

PointConversion::PointConversion(bool wgs84Grid, bool latLongWGS84, double centralMeridian)
    : wgs84Grid_(wgs84Grid),
      terms_(wgs84Grid ? &WGS84Terms() : &Everest1830Terms()),
      k0_(wgs84Grid ? kWGS84ScaleFactor : kEverestScaleFactor),
      centralMeridian_(CheckedMeridian(centralMeridian)),
      lambda0_(DegreesToRadians(centralMeridian)),
      // Nepal 1981 is the datum of the Everest grid; a latitude/longitude on
      // the other datum is shifted with the published EPSG:6208.
      datum_(latLongWGS84 != wgs84Grid ? DatumShift::Epsg6208() : DatumShift::None()) {}

GridPoint PointConversion::ToXY(double latitude, double longitude,
                                std::string_view latitudeText) const {
    if (OutsideLatitudeRange(latitude)) {
        throw PointRangeError("the latitude " + NumberText(latitude, latitudeText) +
                              " lies outside -90 to 90 degrees");
    }
    if (const std::string problem = LongitudeProblem(longitude, centralMeridian_);
        !problem.empty()) {
        throw PointRangeError(problem);
    }
    GeodeticPoint g{DegreesToRadians(latitude), DegreesToRadians(longitude)};
    if (!datum_.IsNone()) {
        const double lambda = g.lambda;
        g = wgs84Grid_ ? datum_.ToWGS84(g) : datum_.ToNepal1981(g);
        g.lambda = InTurnOf(g.lambda, lambda);
    }
    return ForwardSeries(*terms_, k0_, g.phi, g.lambda, lambda0_);
}

LatLong PointConversion::ToLatLong(double x, double y, std::string_view xText,
                                   std::string_view yText) const {
    GeodeticPoint g = InverseSeries(*terms_, k0_, x, y, lambda0_);
    // A point without a latitude is named before any shift of its latitude.
    if (OutsideLatitudeRange(RadiansToDegrees(g.phi))) {
        // The series are polynomials in the easting: one far enough from the
        // central meridian gives any latitude at all. The northing is to
        // blame only when it has no latitude on the meridian itself.
        const GeodeticPoint onMeridian = InverseSeries(*terms_, k0_, kFalseEasting, y, lambda0_);
        if (!OutsideLatitudeRange(RadiansToDegrees(onMeridian.phi))) {
            throw PointRangeError(
                "the point has no latitude: the easting " + NumberText(x, xText) + " lies " +
                DegreesText(std::fabs(x - kFalseEasting) / 1000.0) +
                " km from the central meridian, far beyond the reach of the projection (" +
                std::to_string(std::lround(kInverseCentimetreReach / 1000.0)) +
                " km to within 1 cm)");
        }
        throw PointRangeError("the point has no latitude: the northing " + NumberText(y, yText) +
                              " gives " + DegreesText(RadiansToDegrees(g.phi)) +
                              " degrees, outside -90 to 90 (beyond the pole)");
    }
    if (!datum_.IsNone()) {
        const double lambda = g.lambda;
        g = wgs84Grid_ ? datum_.ToNepal1981(g) : datum_.ToWGS84(g);
        g.lambda = InTurnOf(g.lambda, lambda);
    }
    const LatLong result{RadiansToDegrees(g.phi), RadiansToDegrees(g.lambda)};
    RequireFinite("the inverse projection", result.latitude, result.longitude);
    return result;
}

void PointConversion::ToXYBlock(std::size_t count, const double* latitude, const double* longitude,
                                double* x, double* y) const {
    if (!datum_.IsNone()) {
        for (std::size_t i = 0; i < count; ++i) {
            try {
                const GridPoint p = ToXY(latitude[i], longitude[i]);
                x[i] = p.x;
                y[i] = p.y;
            } catch (const ArithmeticError&) {
                x[i] = kNaN;
                y[i] = kNaN;
            }
        }
        return;
    }
    double phi[kChunk];
    double lambda[kChunk];
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t n = std::min(kChunk, count - start);
        for (std::size_t i = 0; i < n; ++i) {
            phi[i] = DegreesToRadians(latitude[start + i]);
            lambda[i] = DegreesToRadians(longitude[start + i]);
        }
        ForwardSeriesBlock(*terms_, k0_, lambda0_, n, phi, lambda, x + start, y + start);
        // The points ToXY refuses, and those whose series are not finite.
        for (std::size_t i = start; i < start + n; ++i) {
            if (OutsideLatitudeRange(latitude[i]) ||
                LongitudeRefused(longitude[i], centralMeridian_) || !std::isfinite(x[i]) ||
                !std::isfinite(y[i])) {
                x[i] = kNaN;
                y[i] = kNaN;
            }
        }
    }
}

void PointConversion::ToLatLongBlock(std::size_t count, const double* x, const double* y,
                                     double* latitude, double* longitude) const {
    if (!datum_.IsNone()) {
        for (std::size_t i = 0; i < count; ++i) {
            try {
                const LatLong g = ToLatLong(x[i], y[i]);
                latitude[i] = g.latitude;
                longitude[i] = g.longitude;
            } catch (const ArithmeticError&) {
                latitude[i] = kNaN;
                longitude[i] = kNaN;
            }
        }
        return;
    }
    // The radians of the series wait in the result arrays.
    InverseSeriesBlock(*terms_, k0_, lambda0_, count, x, y, latitude, longitude);
    for (std::size_t i = 0; i < count; ++i) {
        latitude[i] = RadiansToDegrees(latitude[i]);
        longitude[i] = RadiansToDegrees(longitude[i]);
        if (OutsideLatitudeRange(latitude[i]) || !std::isfinite(longitude[i])) {
            latitude[i] = kNaN;
            longitude[i] = kNaN;
        }
    }
}

}  // namespace utm
