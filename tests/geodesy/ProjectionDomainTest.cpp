// The domain of the forward projection and the range of central meridians:
// what is refused, with which message, and that the refusal reaches every
// forward routine (one point, blocks, the fast series' domain).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/FastSeries.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/ProjectionDomain.h"
#include "geodesy/TransverseMercator.h"

namespace utm {
namespace {

TEST(CentralMeridianProblem, NamesTheValueAndTheBoundsOutsideMinus180To360) {
    struct Case {
        double cm;
        const char* problem;  // "" when accepted
    };
    const Case cases[] = {
        {84.0, ""},
        {-180.0, ""},
        {360.0, ""},
        {0.0, ""},
        {360.5, "the central meridian 360.5 lies outside -180 to 360 degrees"},
        {-180.25, "the central meridian -180.25 lies outside -180 to 360 degrees"},
        {1e10, "the central meridian 10000000000 lies outside -180 to 360 degrees"},
        {std::numeric_limits<double>::infinity(),
         "the central meridian inf lies outside -180 to 360 degrees"},
        {std::numeric_limits<double>::quiet_NaN(),
         "the central meridian nan lies outside -180 to 360 degrees"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentralMeridianProblem(c.cm), c.problem) << c.cm;
    }
}

TEST(LongitudeProblem, RefusesOutsideTheRangeOrBeyond90DegreesAfterReduction) {
    struct Case {
        double longitude;
        double cm;
        const char* problem;  // "" when accepted
    };
    const Case cases[] = {
        {85.3, 84.0, ""},
        {174.0, 84.0, ""},    // exactly 90 degrees east
        {-6.0, 84.0, ""},     // exactly 90 degrees west
        {-170.0, 180.0, ""},  // 10 degrees east once reduced
        {350.0, 0.0, ""},     // 10 degrees west once reduced
        {360.0, 350.0, ""},
        {-180.0, -170.0, ""},
        {174.5, 84.0,
         "the longitude 174.5 lies 90.5 degrees from the central meridian 84, more than the 90 "
         "degrees within which the projection is defined"},
        {264.0, 84.0,
         "the longitude 264 lies 180 degrees from the central meridian 84, more than the 90 "
         "degrees within which the projection is defined"},
        {-85.3, 84.0,
         "the longitude -85.3 lies 169.3 degrees from the central meridian 84, more than the 90 "
         "degrees within which the projection is defined"},
        // Typed for 85.3: within 90 degrees once reduced, yet refused outright.
        {853.0, 84.0, "the longitude 853 lies outside -180 to 360 degrees"},
        {445.0, 84.0, "the longitude 445 lies outside -180 to 360 degrees"},
        {-180.5, -170.0, "the longitude -180.5 lies outside -180 to 360 degrees"},
        {std::numeric_limits<double>::infinity(), 84.0,
         "the longitude inf lies outside -180 to 360 degrees"},
        // NaN is left to the projection's finite check.
        {std::numeric_limits<double>::quiet_NaN(), 84.0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongitudeProblem(c.longitude, c.cm), c.problem) << c.longitude << " " << c.cm;
    }
}

/// ForwardSeries on Everest 1830 with degrees in.
GridPoint Forward(double latitude, double longitude, double cm) {
    return ForwardSeries(Everest1830Terms(), kEverestScaleFactor, DegreesToRadians(latitude),
                         DegreesToRadians(longitude), DegreesToRadians(cm));
}

TEST(ForwardSeriesDomain, RefusesWhatLongitudeProblemRefusesAndNamesIt) {
    struct Case {
        double latitude;
        double longitude;
        double cm;
        const char* messagePart;
    };
    const Case cases[] = {
        {27.7, 853.0, 84.0, "the longitude 853 lies outside -180 to 360 degrees"},
        {27.7, 264.0, 84.0, "lies 180 degrees from the central meridian 84"},
        {0.0, 174.001, 84.0, "lies 90.001 degrees from the central meridian 84"},
        {27.7, -100.0, 84.0, "lies 176 degrees from the central meridian 84"},
        {27.7, 360.001, 350.0, "the longitude 360.001 lies outside -180 to 360 degrees"},
        {27.7, std::numeric_limits<double>::infinity(), 84.0, "lies outside -180 to 360"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.longitude);
        try {
            Forward(c.latitude, c.longitude, c.cm);
            ADD_FAILURE() << "not refused";
        } catch (const ProjectionDomainError& e) {
            EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos) << e.what();
        }
    }
    // The block functions of the data files catch it as a point that cannot be computed.
    EXPECT_THROW(Forward(27.7, 853.0, 84.0), ArithmeticError);
    // NaN is still named by the finite check.
    EXPECT_THROW(Forward(27.7, std::numeric_limits<double>::quiet_NaN(), 84.0), ArithmeticError);
}

TEST(ForwardSeriesDomain, KeepsTheBoundsAndReducesTheDifferenceAcross180) {
    // The worked point keeps its numbers.
    const GridPoint worked = Forward(27.7, 85.3, 84.0);
    EXPECT_NEAR(worked.x, 628198.19317284, 1e-6);
    EXPECT_NEAR(worked.y, 3065307.73239086, 1e-6);
    // Exactly 90 degrees and the ends of the range are taken.
    EXPECT_NO_THROW(Forward(27.7, 174.0, 84.0));
    EXPECT_NO_THROW(Forward(27.7, -6.0, 84.0));
    EXPECT_NO_THROW(Forward(27.7, 360.0, 355.0));
    EXPECT_NO_THROW(Forward(27.7, -180.0, -175.0));
    // A longitude across the 180th meridian from its central meridian lies
    // where the same difference lies on any other: 10 degrees east, 10 west.
    struct Pair {
        double longitude;
        double cm;
        double sameLongitude;
        double sameCm;
    };
    for (const Pair& p : {Pair{-170.0, 180.0, 94.0, 84.0}, Pair{350.0, 0.0, 74.0, 84.0},
                          Pair{175.0, -175.0, 74.0, 84.0}}) {
        const GridPoint across = Forward(27.7, p.longitude, p.cm);
        const GridPoint same = Forward(27.7, p.sameLongitude, p.sameCm);
        EXPECT_NEAR(across.x, same.x, 1e-6) << p.longitude << " on " << p.cm;
        EXPECT_NEAR(across.y, same.y, 1e-6) << p.longitude << " on " << p.cm;
    }
}

TEST(ForwardSeriesDomain, BlockGivesTheSameBitsAndNaNWhereOnePointIsRefused) {
    const double lambda0 = DegreesToRadians(84.0);
    // On CM 84: in the domain as it stands (85.3, and 174 and -6 at 90
    // degrees), refused (853, 264, -100, and -180: 96 degrees west once
    // reduced), reduced into the domain (360: 84 degrees west), NaN.
    const std::vector<double> latitudes = {27.7, 0.0, -45.0, 27.7, 27.7, 27.7, 27.7, 27.7, 60.0};
    const std::vector<double> longitudes = {
        85.3,  174.0,  -6.0,
        853.0, 264.0,  -100.0,
        360.0, -180.0, std::numeric_limits<double>::quiet_NaN()};
    std::vector<double> phi;
    std::vector<double> lambda;
    for (std::size_t i = 0; i < latitudes.size(); ++i) {
        phi.push_back(DegreesToRadians(latitudes[i]));
        lambda.push_back(DegreesToRadians(longitudes[i]));
    }
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
            EXPECT_TRUE(std::isnan(x[i]));
            EXPECT_TRUE(std::isnan(y[i]));
        }
    }
    // A central meridian of 0 reduces a longitude of 350 to 10 degrees west:
    // the block takes the reduced difference as ForwardSeries does.
    const double far[] = {DegreesToRadians(350.0)};
    const double latitude[] = {DegreesToRadians(27.7)};
    double fx = 0.0;
    double fy = 0.0;
    ForwardSeriesBlock(Everest1830Terms(), kEverestScaleFactor, 0.0, 1, latitude, far, &fx, &fy);
    const GridPoint one =
        ForwardSeries(Everest1830Terms(), kEverestScaleFactor, latitude[0], far[0], 0.0);
    EXPECT_EQ(fx, one.x);
    EXPECT_EQ(fy, one.y);
}

TEST(ForwardSeriesDomain, FastDomainLeavesRefusedLongitudesToTheExactSeries) {
    // Within 12 degrees of a central meridian, yet outside -180 to 360.
    EXPECT_FALSE(InFastForwardDomain(27.7, 365.0, 358.0));
    EXPECT_FALSE(InFastForwardDomain(27.7, -185.0, -179.0));
    // Refused by the exact series, which the batch then uses.
    EXPECT_THROW(Forward(27.7, 365.0, 358.0), ProjectionDomainError);
    EXPECT_THROW(Forward(27.7, -185.0, -179.0), ProjectionDomainError);
    // The ends of the range stay in the fast domain.
    EXPECT_TRUE(InFastForwardDomain(27.7, 360.0, 350.0));
    EXPECT_TRUE(InFastForwardDomain(27.7, -180.0, -170.0));
    // Beyond 12 degrees (and so every refused difference) goes the exact way.
    EXPECT_FALSE(InFastForwardDomain(27.7, 853.0, 84.0));
    EXPECT_FALSE(InFastForwardDomain(27.7, 264.0, 84.0));
}

}  // namespace
}  // namespace utm
