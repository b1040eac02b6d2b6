// Where the program's Transverse Mercator takes points: the central meridians
// a grid may have and the longitudes the forward series is defined for.
//
// The series are written for points near the central meridian; at 90° from
// it the projection goes to infinity at the equator and beyond 90° it has no
// meaning (the series still give numbers: 27.7, 853 on CM 84 came out as
// thousands of kilometres). A central meridian or longitude is taken in
// either of the two usual conventions, −180 to 180 and 0 to 360 degrees east,
// so anything within −180 to 360 is accepted; the longitudes of a grid are in
// the convention of its central meridian, and a longitude is compared with
// it as written: 85.3 on CM 360 lies 274.7° away, not 85.3°, since a central
// meridian of 360 with longitudes of the other convention is a slip of the
// user's, not a grid. A value outside −180 to 360 is refused outright, not
// reduced: 853 typed for 85.3 must not become 133.
#pragma once

#include <cmath>
#include <string>

#include "geodesy/ArithmeticError.h"

namespace utm {

/// The range of central meridians and longitudes, degrees east (inclusive).
inline constexpr double kLowestMeridianDegrees = -180.0;
inline constexpr double kHighestMeridianDegrees = 360.0;
/// How far a longitude may lie from the central meridian, degrees (inclusive).
inline constexpr double kFarthestLongitudeDegrees = 90.0;

/// A point outside the domain of the forward projection: a longitude outside
/// −180 to 360 degrees or more than 90 degrees from the central meridian. An
/// ArithmeticError, so that every caller that takes a point which cannot be
/// computed takes this one too.
class ProjectionDomainError : public ArithmeticError {
  public:
    using ArithmeticError::ArithmeticError;
};

/// `degrees` as a message names it: up to 15 significant digits, general form.
std::string DegreesText(double degrees);

/// Empty when `centralMeridian` (degrees) lies within −180 to 360; else a
/// phrase for a message, lower case and without a full stop: "the central
/// meridian 1e+10 lies outside -180 to 360 degrees". NaN is refused.
std::string CentralMeridianProblem(double centralMeridian);

/// True when the forward projection does not take `longitude` on
/// `centralMeridian` (degrees): outside -180 to 360, or more than 90 degrees
/// from the central meridian. NaN is taken (see LongitudeProblem).
inline bool LongitudeRefused(double longitude, double centralMeridian) {
    return longitude < kLowestMeridianDegrees || longitude > kHighestMeridianDegrees ||
           std::fabs(longitude - centralMeridian) > kFarthestLongitudeDegrees;
}

/// Empty when the forward projection takes `longitude` on `centralMeridian`
/// (degrees); else a phrase as above: "the longitude 853 lies outside -180 to
/// 360 degrees" or "the longitude 175 lies 91 degrees from the central
/// meridian 84, more than the 90 degrees within which the projection is
/// defined". NaN passes (the projection names it as no finite result).
std::string LongitudeProblem(double longitude, double centralMeridian);

}  // namespace utm
