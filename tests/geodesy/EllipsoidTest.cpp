// Ellipsoid constants, derived quantities, angle conversions and the meridional arc.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/MeridianArc.h"

namespace {

using namespace utm;

/// The value written with 15 significant digits, for comparing with tables.
std::string Sig15(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    return buf;
}

TEST(Ellipsoid, SemiAxesAreTheStoredValues) {
    EXPECT_EQ(Everest1830.a, 6377276.345);
    EXPECT_EQ(Everest1830.b, 6356075.413);
    EXPECT_EQ(WGS84.a, 6378137.0);
    EXPECT_EQ(WGS84.b, 6356752.31424518);
}

TEST(Ellipsoid, DerivedQuantitiesMatchTheTableTo15Digits) {
    const EllipsoidTerms& ev = Everest1830Terms();
    EXPECT_EQ(Sig15(ev.eSquared), Sig15(0.00663784667403455));
    EXPECT_EQ(Sig15(ev.ePrimeSquared), Sig15(0.00668220210706617));
    EXPECT_EQ(Sig15(ev.e1), Sig15(0.00166499225050307));
    const EllipsoidTerms& wgs = WGS84Terms();
    EXPECT_EQ(Sig15(wgs.eSquared), Sig15(0.00669437999014111));
    EXPECT_EQ(Sig15(wgs.ePrimeSquared), Sig15(0.00673949674227622));
    EXPECT_EQ(Sig15(wgs.e1), Sig15(0.00167922038638364));
}

TEST(Ellipsoid, CachedTermsEqualTermsComputedPerCall) {
    for (const Ellipsoid* e : {&Everest1830, &WGS84}) {
        const EllipsoidTerms fresh = EllipsoidTerms::Of(*e);
        const EllipsoidTerms& cached = TermsOf(*e);
        EXPECT_EQ(fresh.e2, cached.e2);
        EXPECT_EQ(fresh.e4, cached.e4);
        EXPECT_EQ(fresh.e6, cached.e6);
        EXPECT_EQ(fresh.ePrime, cached.ePrime);
        EXPECT_EQ(fresh.e1, cached.e1);
        EXPECT_EQ(fresh.c0, cached.c0);
        // The powers of e are raised from e, and e2 is e² up to the last bits.
        EXPECT_NEAR(fresh.e2, fresh.eSquared, 1e-17);
        EXPECT_NEAR(fresh.e4, fresh.e2 * fresh.e2, 1e-19);
    }
}

TEST(Ellipsoid, RectifyingDivisor) {
    EXPECT_NEAR(Everest1830Terms().a * Everest1830Terms().c0, 6366680.2916, 1e-4);
    EXPECT_NEAR(WGS84Terms().a * WGS84Terms().c0, 6367449.1460, 1e-4);
}

TEST(Grid, ScaleFactorBelongsToTheEllipsoid) {
    for (const GridDefinition* g : {&grids::Everest81, &grids::Everest84, &grids::Everest87}) {
        EXPECT_EQ(g->ellipsoid, &Everest1830);
        EXPECT_EQ(g->k0, 0.9999);
    }
    for (const GridDefinition* g : {&grids::WGS84Zone44, &grids::WGS84On84, &grids::WGS84Zone45}) {
        EXPECT_EQ(g->ellipsoid, &WGS84);
        EXPECT_EQ(g->k0, 0.9996);
    }
    EXPECT_EQ(kFalseEasting, 500000.0);
    EXPECT_EQ(kFalseNorthing, 0.0);
    EXPECT_EQ(grids::WGS84Zone44.centralMeridian, 81.0);
    EXPECT_EQ(grids::WGS84Zone45.centralMeridian, 87.0);
    EXPECT_EQ(grids::WGS84Zone45.k0, 0.9996);
    EXPECT_EQ(grids::Everest87.k0, 0.9999);
}

TEST(Angles, PiAndDegreeConversion) {
    EXPECT_EQ(Pi(), 3.141592653589793);
    EXPECT_EQ(DegreesToRadians(84.0), 1.4660765716752369);
    EXPECT_EQ(DegreesToRadians(84.0), (3.141592653589793 * 84.0) / 180.0);
    EXPECT_EQ(RadiansToDegrees(Pi()), 180.0);
}

TEST(MeridianArc, WorkedExamples) {
    EXPECT_EQ(MeridianArc(Everest1830Terms(), 0.0), 0.0);
    EXPECT_EQ(MeridianArc(WGS84Terms(), 0.0), 0.0);
    EXPECT_NEAR(MeridianArc(Everest1830Terms(), DegreesToRadians(45.0)), 4984478.3360, 1e-4);
    EXPECT_NEAR(MeridianArc(WGS84Terms(), DegreesToRadians(45.0)), 4984944.3782, 1e-4);
    EXPECT_NEAR(MeridianArc(Everest1830Terms(), DegreesToRadians(27.7)), 3064938.1021, 1e-4);
    EXPECT_NEAR(MeridianArc(WGS84Terms(), DegreesToRadians(27.7)), 3065196.6361, 1e-4);
}

TEST(MeridianArc, IsOddInLatitude) {
    for (double deg = -89.0; deg <= 89.0; deg += 7.3) {
        const double phi = DegreesToRadians(deg);
        EXPECT_EQ(MeridianArc(Everest1830Terms(), -phi), -MeridianArc(Everest1830Terms(), phi));
    }
}

TEST(MeridianArc, AgreesWithDirectEvaluationOfEverySine) {
    // The arc forms sin 4φ and sin 6φ from sin 2φ and cos 2φ; direct evaluation of
    // the written formula must agree far below a millimetre.
    for (const EllipsoidTerms* t : {&Everest1830Terms(), &WGS84Terms()}) {
        for (double deg = -90.0; deg <= 90.0; deg += 0.37) {
            const double phi = DegreesToRadians(deg);
            const double direct =
                t->a * ((1 - t->e2 / 4 - (3.0 / 64) * t->e4 - (5.0 / 256) * t->e6) * phi -
                        ((3.0 / 8) * t->e2 + (3.0 / 32) * t->e4 + (45.0 / 1024) * t->e6) *
                            std::sin(2 * phi) +
                        ((15.0 / 256) * t->e4 + (45.0 / 1024) * t->e6) * std::sin(4 * phi) -
                        (35.0 / 3072) * t->e6 * std::sin(6 * phi));
            EXPECT_NEAR(MeridianArc(*t, phi), direct, 1e-8) << deg;
        }
    }
}

}  // namespace
