// One point between latitude/longitude and X/Y on a Transverse Mercator grid
// of either ellipsoid and any central meridian, the latitude and longitude on
// either datum: the conversion of `utmconv point`, for one point at a time
// and for blocks of points (the Python module's arrays).
#pragma once

#include <cstddef>
#include <string_view>

#include "geodesy/ArithmeticError.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

/// A point refused before it is computed: a latitude outside -90 to 90, a
/// longitude the projection does not take (LongitudeProblem), an X and Y
/// that have no latitude. `what()` is the phrase for the user, lower case and
/// without a full stop. Every other failure is a plain ArithmeticError (a
/// result that is not finite).
class PointRangeError : public ArithmeticError {
  public:
    using ArithmeticError::ArithmeticError;
};

/// The conversion of one grid, made ready for many points. Pure and
/// reentrant once made.
class PointConversion {
  public:
    /// The grid is on WGS84 (k0 0.9996) with `wgs84Grid`, else on Everest
    /// 1830 (k0 0.9999), with its central meridian `centralMeridian` degrees
    /// east; the latitudes and longitudes are on WGS 84 with `latLongWGS84`,
    /// else on Nepal 1981, shifted with EPSG:6208 where that is not the
    /// grid's datum. Throws ParameterError naming a central meridian outside
    /// -180 to 360 degrees (CentralMeridianProblem).
    PointConversion(bool wgs84Grid, bool latLongWGS84, double centralMeridian);

    /// Latitude and longitude (decimal degrees) to X and Y (metres): shifted
    /// to the grid's datum when it differs (the longitude kept in its
    /// convention, 0 to 360 or -180 to 180), then the forward series. Throws
    /// PointRangeError for a latitude outside -90 to 90 (NaN included) and a
    /// longitude LongitudeProblem names, ArithmeticError when a step's result
    /// is not finite. `latitudeText` is the latitude as the user wrote it,
    /// for the message; empty: its value in general form.
    GridPoint ToXY(double latitude, double longitude, std::string_view latitudeText = {}) const;

    /// X and Y (metres) to latitude and longitude (decimal degrees): the
    /// inverse series, then the shift to the datum of the latitudes and
    /// longitudes when it differs (the longitude kept in the convention of
    /// the central meridian). Throws PointRangeError when the inverse
    /// series gives a latitude outside -90 to 90 (naming the easting when the
    /// northing has a latitude on the central meridian, else the northing),
    /// ArithmeticError when a step's result is not finite. `xText`, `yText`
    /// are the numbers as the user wrote them, for the message.
    LatLong ToLatLong(double x, double y, std::string_view xText = {},
                      std::string_view yText = {}) const;

    /// ToXY for `count` points, bit for bit, except that a point for which
    /// ToXY throws gets NaN as both results: the caller runs ToXY on it again
    /// for the error. Without a datum shift the series run a block at a time
    /// (ForwardSeriesBlock). Arrays may not overlap.
    void ToXYBlock(std::size_t count, const double* latitude, const double* longitude, double* x,
                   double* y) const;

    /// ToLatLong for `count` points, bit for bit, NaN as both results where
    /// ToLatLong throws (see ToXYBlock).
    void ToLatLongBlock(std::size_t count, const double* x, const double* y, double* latitude,
                        double* longitude) const;

    /// True when the latitudes and longitudes are shifted (their datum is not the grid's).
    bool ShiftsDatum() const { return !datum_.IsNone(); }

  private:
    bool wgs84Grid_;
    const EllipsoidTerms* terms_;
    double k0_;
    double centralMeridian_;  ///< degrees
    double lambda0_;          ///< radians
    DatumTransformation datum_;
};

}  // namespace utm
