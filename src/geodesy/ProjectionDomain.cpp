#include "geodesy/ProjectionDomain.h"

#include <cmath>
#include <cstdio>

namespace utm {

std::string DegreesText(double degrees) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", degrees);
    return buffer;
}

namespace {

std::string RangeText() {
    return DegreesText(kLowestMeridianDegrees) + " to " + DegreesText(kHighestMeridianDegrees) +
           " degrees";
}

bool OutsideMeridianRange(double degrees) {
    return degrees < kLowestMeridianDegrees || degrees > kHighestMeridianDegrees;
}

}  // namespace

std::string CentralMeridianProblem(double centralMeridian) {
    if (!std::isnan(centralMeridian) && !OutsideMeridianRange(centralMeridian)) return {};
    return "the central meridian " + DegreesText(centralMeridian) + " lies outside " + RangeText();
}

std::string LongitudeProblem(double longitude, double centralMeridian) {
    if (!LongitudeRefused(longitude, centralMeridian)) return {};
    if (OutsideMeridianRange(longitude)) {
        return "the longitude " + DegreesText(longitude) + " lies outside " + RangeText();
    }
    const double difference = longitude - centralMeridian;
    if (std::fabs(difference) > kFarthestLongitudeDegrees) {
        return "the longitude " + DegreesText(longitude) + " lies " +
               DegreesText(std::fabs(difference)) + " degrees from the central meridian " +
               DegreesText(centralMeridian) + ", more than the " +
               DegreesText(kFarthestLongitudeDegrees) +
               " degrees within which the projection is defined";
    }
    return {};
}

}  // namespace utm
