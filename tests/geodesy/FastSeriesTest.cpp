#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/FastSeries.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/TransverseMercator.h"

namespace utm {
namespace {

struct Grid {
    const EllipsoidTerms* terms;
    double k0;
    double centralMeridianDegrees;
};

std::vector<Grid> Grids() {
    return {{&Everest1830Terms(), 0.9999, 81.0},
            {&Everest1830Terms(), 0.9999, 84.0},
            {&Everest1830Terms(), 0.9999, 87.0},
            {&WGS84Terms(), 0.9996, 81.0},
            {&WGS84Terms(), 0.9996, 87.0},
            // Central meridians as far out as the domain goes: longitudes
            // 12 degrees either side of them reach -180 and 360.
            {&Everest1830Terms(), 0.9999, 348.0},
            {&Everest1830Terms(), 0.9999, -168.0}};
}

// The batch run trusts the fast series to within the stated distance of the
// exact routines on the whole fast domain: measured here on random points
// over all of it (corners and the edges of the domain included), on every grid,
// with a hundredfold margin.
TEST(FastSeriesTest, ForwardStaysWithinItsBoundOverTheDomain) {
    std::mt19937_64 random(20261207);
    for (const Grid& grid : Grids()) {
        std::uniform_real_distribution<double> lat(-84.0, 84.0);
        std::uniform_real_distribution<double> dLon(-12.0, 12.0);
        std::vector<double> lats;
        std::vector<double> lons;
        for (double edgeLat : {-84.0, 0.0, 84.0}) {
            for (double edgeLon : {-12.0, 0.0, 12.0}) {
                lats.push_back(edgeLat);
                lons.push_back(grid.centralMeridianDegrees + edgeLon);
            }
        }
        for (int i = 0; i < 40000; ++i) {
            lats.push_back(lat(random));
            lons.push_back(grid.centralMeridianDegrees + dLon(random));
        }
        std::vector<double> x(lats.size());
        std::vector<double> y(lats.size());
        const double lambda0 = DegreesToRadians(grid.centralMeridianDegrees);
        FastForwardSeries(*grid.terms, grid.k0, lambda0, lats.size(), lats.data(), lons.data(),
                          x.data(), y.data());
        double worst = 0.0;
        for (std::size_t i = 0; i < lats.size(); ++i) {
            ASSERT_TRUE(InFastForwardDomain(lats[i], lons[i], grid.centralMeridianDegrees));
            const GridPoint exact = ForwardSeries(*grid.terms, grid.k0, DegreesToRadians(lats[i]),
                                                  DegreesToRadians(lons[i]), lambda0);
            worst = std::max({worst, std::fabs(x[i] - exact.x), std::fabs(y[i] - exact.y)});
        }
        EXPECT_LT(worst, kFastForwardMetres / 100) << "CM " << grid.centralMeridianDegrees;
    }
}

TEST(FastSeriesTest, InverseStaysWithinItsBoundOverTheDomain) {
    std::mt19937_64 random(20261208);
    for (const Grid& grid : Grids()) {
        std::uniform_real_distribution<double> easting(kFalseEasting - 1.2e6,
                                                       kFalseEasting + 1.2e6);
        std::uniform_real_distribution<double> northing(-9.3e6, 9.3e6);
        std::vector<double> xs;
        std::vector<double> ys;
        for (double edgeX : {-1.2e6, 0.0, 1.2e6}) {
            for (double edgeY : {-9.3e6, 0.0, 9.3e6}) {
                xs.push_back(kFalseEasting + edgeX);
                ys.push_back(edgeY);
            }
        }
        for (int i = 0; i < 40000; ++i) {
            xs.push_back(easting(random));
            ys.push_back(northing(random));
        }
        std::vector<double> lat(xs.size());
        std::vector<double> lon(xs.size());
        const double lambda0 = DegreesToRadians(grid.centralMeridianDegrees);
        FastInverseSeries(*grid.terms, grid.k0, lambda0, xs.size(), xs.data(), ys.data(),
                          lat.data(), lon.data());
        double worst = 0.0;
        for (std::size_t i = 0; i < xs.size(); ++i) {
            ASSERT_TRUE(InFastInverseDomain(xs[i], ys[i], grid.centralMeridianDegrees));
            const GeodeticPoint exact = InverseSeries(*grid.terms, grid.k0, xs[i], ys[i], lambda0);
            worst = std::max({worst, std::fabs(lat[i] - RadiansToDegrees(exact.phi)),
                              std::fabs(lon[i] - RadiansToDegrees(exact.lambda))});
        }
        EXPECT_LT(worst, kFastInverseDegrees / 100) << "CM " << grid.centralMeridianDegrees;
    }
}

TEST(FastSeriesTest, DomainsRefuseWhatTheFastSeriesDoNotCover) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(InFastForwardDomain(27.7, 85.3, 84.0));
    EXPECT_FALSE(InFastForwardDomain(84.5, 85.3, 84.0));
    EXPECT_FALSE(InFastForwardDomain(-84.5, 85.3, 84.0));
    EXPECT_FALSE(InFastForwardDomain(27.7, 96.5, 84.0));
    EXPECT_FALSE(InFastForwardDomain(nan, 85.3, 84.0));
    EXPECT_FALSE(InFastForwardDomain(27.7, nan, 84.0));
    EXPECT_FALSE(InFastForwardDomain(27.7, 85.3, nan));
    EXPECT_FALSE(InFastForwardDomain(27.7, 1000085.3, 1000084.0));  // a far central meridian
    EXPECT_TRUE(InFastInverseDomain(628198.193, 3065307.732, 84.0));
    EXPECT_FALSE(InFastInverseDomain(1800000.0, 3065307.732, 84.0));
    EXPECT_FALSE(InFastInverseDomain(628198.193, 9.4e6, 84.0));
    EXPECT_FALSE(InFastInverseDomain(nan, 3065307.732, 84.0));
    EXPECT_FALSE(InFastInverseDomain(628198.193, std::numeric_limits<double>::infinity(), 84.0));
    EXPECT_FALSE(InFastInverseDomain(628198.193, 3065307.732, 400.0));
    EXPECT_FALSE(InFastInverseDomain(628198.193, 3065307.732, nan));
}

}  // namespace
}  // namespace utm
