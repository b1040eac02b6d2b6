// The domain of the forward projection and the range of central meridians:
// what is refused, and that every forward routine refuses it alike.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/FastSeries.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/ProjectionDomain.h"
#include "geodesy/TransverseMercator.h"

namespace utm {
namespace {

GridPoint Forward(double longitude, double cm) {
    return ForwardSeries(Everest1830Terms(), kEverestScaleFactor, DegreesToRadians(27.7),
                         DegreesToRadians(longitude), DegreesToRadians(cm));
}

TEST(ProjectionDomain, LongitudesOutsideTheRangeOrBeyond90DegreesAreRefusedEverywhere) {
    const struct {
        double longitude;
        double cm;
        bool refused;
    } cases[] = {
        {85.3, 84, false},
        {174, 84, false},
        {-6, 84, false},  // 90 degrees either side
        {355, 360, false},
        {360, 350, false},
        {-180, -170, false},
        {174.001, 84, true},
        {264, 84, true},
        {-100, 84, true},
        {85.3, 360, true},  // the longitude and the meridian in two conventions
        {-170, 180, true},
        {350, 0, true},
        {853, 84, true},
        {445, 84, true},
        {360.5, 358, true},
        {-180.5, -175, true},
        {std::numeric_limits<double>::infinity(), 84, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.longitude << " on " << c.cm);
        EXPECT_EQ(LongitudeProblem(c.longitude, c.cm).empty(), !c.refused);
        if (c.refused) {
            EXPECT_THROW(Forward(c.longitude, c.cm), ProjectionDomainError);
        } else {
            EXPECT_NO_THROW(Forward(c.longitude, c.cm));
        }
    }
    EXPECT_EQ(LongitudeProblem(853, 84), "the longitude 853 lies outside -180 to 360 degrees");
    // The central meridians: -180 to 360 inclusive, NaN refused.
    for (double cm : {-180.0, 0.0, 360.0}) EXPECT_EQ(CentralMeridianProblem(cm), "") << cm;
    for (double cm : {-180.5, 360.5, 1e10, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_NE(CentralMeridianProblem(cm), "") << cm;
    }
    EXPECT_EQ(LongitudeProblem(85.3, 360),
              "the longitude 85.3 lies 274.7 degrees from the central meridian 360, more than "
              "the 90 degrees within which the projection is defined");
}

TEST(ProjectionDomain, BlockGivesTheOnePointBitsAndNaNWhereItIsRefused) {
    // On CM 84: as it stands, at 90 degrees, refused (853, 264, -180, 360),
    // NaN.
    const std::vector<double> longitudes = {
        85.3, 174.0, -6.0, 853.0, 264.0, -180.0, 360.0, std::numeric_limits<double>::quiet_NaN()};
    const double lambda0 = DegreesToRadians(84.0);
    std::vector<double> phi(longitudes.size(), DegreesToRadians(27.7));
    std::vector<double> lambda;
    for (double l : longitudes) lambda.push_back(DegreesToRadians(l));
    std::vector<double> x(phi.size());
    std::vector<double> y(phi.size());
    ForwardSeriesBlock(Everest1830Terms(), kEverestScaleFactor, lambda0, phi.size(), phi.data(),
                       lambda.data(), x.data(), y.data());
    for (std::size_t i = 0; i < phi.size(); ++i) {
        SCOPED_TRACE(longitudes[i]);
        try {
            const GridPoint p =
                ForwardSeries(Everest1830Terms(), kEverestScaleFactor, phi[i], lambda[i], lambda0);
            EXPECT_EQ(x[i], p.x);
            EXPECT_EQ(y[i], p.y);
        } catch (const ArithmeticError&) {
            EXPECT_TRUE(std::isnan(x[i]) && std::isnan(y[i]));
        }
    }
    // Within 12 degrees of its central meridian, yet outside -180 to 360:
    // the vectorised series leaves it to the exact one, which refuses it.
    EXPECT_FALSE(InFastForwardDomain(27.7, 365.0, 358.0));
    EXPECT_FALSE(InFastForwardDomain(27.7, -185.0, -179.0));
    EXPECT_TRUE(InFastForwardDomain(27.7, 360.0, 350.0));
}

}  // namespace
}  // namespace utm
