#include "geodesy/GridTransform.h"

#include <algorithm>
#include <limits>
#include <string>

#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/NameText.h"
#include "geodesy/ParameterError.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

namespace {

using name_text::EqualsIgnoringCase;
using name_text::TrimBlanks;

bool IsWGS84(const Ellipsoid& ellipsoid) {
    return ellipsoid.a == WGS84.a && ellipsoid.b == WGS84.b;
}

}  // namespace

std::string_view NameOf(CoordinateSystem system) {
    switch (system) {
        case CoordinateSystem::Everest81:
            return "everest81";
        case CoordinateSystem::Everest84:
            return "everest84";
        case CoordinateSystem::Everest87:
            return "everest87";
        case CoordinateSystem::WGS84Zone44:
            return "wgs84-44";
        case CoordinateSystem::WGS84Zone45:
            return "wgs84-45";
        case CoordinateSystem::LatLongEverest:
            return "latlong-everest";
        case CoordinateSystem::LatLongWGS84:
            return "latlong-wgs84";
    }
    return "";
}

CoordinateSystem ParseCoordinateSystem(std::string_view text) {
    const std::string_view name = TrimBlanks(text);
    for (const CoordinateSystem system : kCoordinateSystems) {
        if (EqualsIgnoringCase(name, NameOf(system))) return system;
    }
    std::string names;
    for (const CoordinateSystem system : kCoordinateSystems) {
        if (!names.empty()) names += system == kCoordinateSystems.back() ? " or " : ", ";
        names += NameOf(system);
    }
    throw ParameterError("unknown coordinate system \"" + std::string(text) + "\": expected " +
                         names);
}

const Ellipsoid& EllipsoidOf(CoordinateSystem system) {
    switch (system) {
        case CoordinateSystem::WGS84Zone44:
        case CoordinateSystem::WGS84Zone45:
        case CoordinateSystem::LatLongWGS84:
            return WGS84;
        case CoordinateSystem::Everest81:
        case CoordinateSystem::Everest84:
        case CoordinateSystem::Everest87:
        case CoordinateSystem::LatLongEverest:
            break;
    }
    return Everest1830;
}

const GridDefinition* GridOf(CoordinateSystem system) {
    switch (system) {
        case CoordinateSystem::Everest81:
            return &grids::Everest81;
        case CoordinateSystem::Everest84:
            return &grids::Everest84;
        case CoordinateSystem::Everest87:
            return &grids::Everest87;
        case CoordinateSystem::WGS84Zone44:
            return &grids::WGS84Zone44;
        case CoordinateSystem::WGS84Zone45:
            return &grids::WGS84Zone45;
        case CoordinateSystem::LatLongEverest:
        case CoordinateSystem::LatLongWGS84:
            break;
    }
    return nullptr;
}

bool CrossesDatum(CoordinateSystem from, CoordinateSystem to) {
    return IsWGS84(EllipsoidOf(from)) != IsWGS84(EllipsoidOf(to));
}

GridTransform::GridTransform(CoordinateSystem from, CoordinateSystem to, const DatumShift& shift)
    : from_(from),
      to_(to),
      sourceGrid_(GridOf(from)),
      targetGrid_(GridOf(to)),
      sourceTerms_(&TermsOf(EllipsoidOf(from))),
      targetTerms_(&TermsOf(EllipsoidOf(to))),
      sourceLambda0_(sourceGrid_ ? DegreesToRadians(sourceGrid_->centralMeridian) : 0.0),
      targetLambda0_(targetGrid_ ? DegreesToRadians(targetGrid_->centralMeridian) : 0.0),
      direction_(Direction::None),
      datum_(shift) {
    if (CrossesDatum(from, to) && !shift.IsNone()) {
        direction_ = IsWGS84(EllipsoidOf(from)) ? Direction::ToNepal1981 : Direction::ToWGS84;
    }
}

CoordinatePair GridTransform::Apply(double first, double second) const {
    if (direction_ == Direction::None) {
        // Latitude and longitude in degrees between the steps, formed exactly
        // as ClsUTM's transfers form them (inverse series, radians to degrees,
        // degrees to radians for the forward series): the same bits.
        double latitude = first;
        double longitude = second;
        if (sourceGrid_ != nullptr) {
            const GeodeticPoint r =
                InverseSeries(*sourceTerms_, sourceGrid_->k0, first, second, sourceLambda0_);
            latitude = RadiansToDegrees(r.phi);
            longitude = RadiansToDegrees(r.lambda);
        }
        if (targetGrid_ != nullptr) {
            const GridPoint p =
                ForwardSeries(*targetTerms_, targetGrid_->k0, DegreesToRadians(latitude),
                              DegreesToRadians(longitude), targetLambda0_);
            return CoordinatePair{p.x, p.y};
        }
        RequireFinite("the transformation", latitude, longitude);
        return CoordinatePair{latitude, longitude};
    }

    // With a datum shift the steps pass radians on, without the round trips
    // through degrees (which cost divisions and change only the last bits).
    GeodeticPoint r;
    if (sourceGrid_ != nullptr) {
        r = InverseSeries(*sourceTerms_, sourceGrid_->k0, first, second, sourceLambda0_);
    } else {
        r = GeodeticPoint{DegreesToRadians(first), DegreesToRadians(second)};
    }
    r = direction_ == Direction::ToNepal1981 ? datum_.ToNepal1981(r) : datum_.ToWGS84(r);
    if (targetGrid_ != nullptr) {
        const GridPoint p =
            ForwardSeries(*targetTerms_, targetGrid_->k0, r.phi, r.lambda, targetLambda0_);
        return CoordinatePair{p.x, p.y};
    }
    return CoordinatePair{RadiansToDegrees(r.phi), RadiansToDegrees(r.lambda)};
}

void GridTransform::ApplyBlock(std::size_t count, const double* first, const double* second,
                               double* resultFirst, double* resultSecond) const {
    if (direction_ != Direction::None) {
        for (std::size_t i = 0; i < count; ++i) {
            try {
                const CoordinatePair r = Apply(first[i], second[i]);
                resultFirst[i] = r.first;
                resultSecond[i] = r.second;
            } catch (const ArithmeticError&) {
                resultFirst[i] = std::numeric_limits<double>::quiet_NaN();
                resultSecond[i] = std::numeric_limits<double>::quiet_NaN();
            }
        }
        return;
    }
    // The steps of Apply on chunks of points. A result that is not finite
    // carries on as NaN or infinity through the later steps, so a point for
    // which Apply throws ends not finite here.
    constexpr std::size_t kChunk = 256;
    double latitude[kChunk];
    double longitude[kChunk];
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t n = std::min(kChunk, count - start);
        if (sourceGrid_ != nullptr) {
            InverseSeriesBlock(*sourceTerms_, sourceGrid_->k0, sourceLambda0_, n, first + start,
                               second + start, latitude, longitude);
            for (std::size_t i = 0; i < n; ++i) {
                latitude[i] = RadiansToDegrees(latitude[i]);
                longitude[i] = RadiansToDegrees(longitude[i]);
            }
        } else {
            std::copy_n(first + start, n, latitude);
            std::copy_n(second + start, n, longitude);
        }
        if (targetGrid_ != nullptr) {
            for (std::size_t i = 0; i < n; ++i) {
                latitude[i] = DegreesToRadians(latitude[i]);
                longitude[i] = DegreesToRadians(longitude[i]);
            }
            ForwardSeriesBlock(*targetTerms_, targetGrid_->k0, targetLambda0_, n, latitude,
                               longitude, resultFirst + start, resultSecond + start);
        } else {
            std::copy_n(latitude, n, resultFirst + start);
            std::copy_n(longitude, n, resultSecond + start);
        }
    }
}

}  // namespace utm
