// Geodetic ↔ geocentric conversion and the Helmert transformation:
// published worked examples, round trips, conventions and the reverse form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/Geocentric.h"
#include "geodesy/Helmert.h"

namespace {

using namespace utm;

double Rad(double degrees) {
    return DegreesToRadians(degrees);
}

TEST(Geocentric, GuidanceNoteWorkedExample) {
    // EPSG Guidance Note 7-2, example of method 9602 on WGS 84:
    // 53°48'33.820"N 2°07'46.380"E, h = 73.0 m.
    const Geocentric wgs84(WGS84);
    const GeodeticPoint g{Rad(53.0 + 48.0 / 60 + 33.820 / 3600),
                          Rad(2.0 + 7.0 / 60 + 46.380 / 3600)};
    const GeocentricPoint p = wgs84.Forward(g, 73.0);
    EXPECT_NEAR(p.x, 3771793.968, 0.001);
    EXPECT_NEAR(p.y, 140253.342, 0.001);
    EXPECT_NEAR(p.z, 5124304.349, 0.001);

    double h = 0.0;
    const GeodeticPoint back = wgs84.Reverse(p, h);
    EXPECT_NEAR(back.phi, g.phi, 1e-14);
    EXPECT_NEAR(back.lambda, g.lambda, 1e-14);
    EXPECT_NEAR(h, 73.0, 1e-6);
}

TEST(Geocentric, AxesAndPoles) {
    for (const Ellipsoid* e : {&Everest1830, &WGS84}) {
        SCOPED_TRACE(e->name);
        const Geocentric geo(*e);
        const GeocentricPoint origin = geo.Forward({0.0, 0.0});
        EXPECT_DOUBLE_EQ(origin.x, e->a);
        EXPECT_EQ(origin.y, 0.0);
        EXPECT_EQ(origin.z, 0.0);
        const GeocentricPoint east = geo.Forward({0.0, Rad(90.0)});
        EXPECT_NEAR(east.x, 0.0, 1e-9);
        EXPECT_DOUBLE_EQ(east.y, e->a);
        const GeocentricPoint pole = geo.Forward({Rad(90.0), 0.0});
        EXPECT_NEAR(pole.x, 0.0, 1e-9);
        EXPECT_NEAR(pole.z, e->b, 1e-6);

        double h = 1.0;
        const GeodeticPoint north = geo.Reverse({0.0, 0.0, e->b + 10.0}, h);
        EXPECT_DOUBLE_EQ(north.phi, Rad(90.0));
        EXPECT_NEAR(h, 10.0, 1e-6);
        const GeodeticPoint south = geo.Reverse({0.0, 0.0, -e->b}, h);
        EXPECT_DOUBLE_EQ(south.phi, -Rad(90.0));
        EXPECT_NEAR(h, 0.0, 1e-6);
    }
}

TEST(Geocentric, RoundTripOnBothEllipsoidsIsFarBelowANanodegree) {
    // Height 0 as the datum shifts start, 65 m as they end (the height dropped
    // on the target ellipsoid), and ±2 km, where Bowring's closed form starts
    // to show its error growing with the square of the height.
    struct Band {
        double height;
        double limit;  ///< radians
    };
    const Band bands[] = {{0.0, 1e-15}, {65.0, 1e-15}, {-2000.0, 1e-14}, {2000.0, 1e-14}};
    for (const Ellipsoid* e : {&Everest1830, &WGS84}) {
        const Geocentric geo(*e);
        for (const Band& band : bands) {
            SCOPED_TRACE(std::string(e->name) + " at " + std::to_string(band.height) + " m");
            double worst = 0.0, worstHeight = 0.0;
            for (double lat = -89.9; lat <= 89.9; lat += 0.1) {
                for (double lon = -179.0; lon <= 180.0; lon += 23.0) {
                    const GeodeticPoint g{Rad(lat), Rad(lon)};
                    double h = 0.0;
                    const GeodeticPoint back = geo.Reverse(geo.Forward(g, band.height), h);
                    worst = std::max(
                        {worst, std::fabs(back.phi - g.phi), std::fabs(back.lambda - g.lambda)});
                    worstHeight = std::max(worstHeight, std::fabs(h - band.height));
                }
            }
            EXPECT_LT(worst, band.limit) << "radians";
            EXPECT_LT(worstHeight, 1e-6) << "metres";
        }
    }
}

TEST(Helmert, GuidanceNoteWorkedExampleInBothConventions) {
    // EPSG Guidance Note 7-2, example of methods 1033/1032 (WGS 72 to WGS 84):
    // tZ = +4.5 m, rZ = +0.554" (position vector) or −0.554" (coordinate
    // frame), dS = +0.219 ppm give the same target coordinates.
    HelmertParameters pv;
    pv.tz = 4.5;
    pv.rz = 0.554;
    pv.scalePpm = 0.219;
    pv.convention = HelmertConvention::PositionVector;
    HelmertParameters cf = pv;
    cf.rz = -0.554;
    cf.convention = HelmertConvention::CoordinateFrame;

    const GeocentricPoint source{3657660.66, 255768.55, 5201382.11};
    for (const HelmertParameters& parameters : {pv, cf}) {
        const GeocentricPoint t = Helmert(parameters).Forward(source);
        EXPECT_NEAR(t.x, 3657660.78, 0.01);
        EXPECT_NEAR(t.y, 255778.43, 0.01);
        EXPECT_NEAR(t.z, 5201387.75, 0.01);
    }
}

TEST(Helmert, CoordinateFrameIsPositionVectorWithRotationsReversed) {
    HelmertParameters pv{12.5, -7.25, 3.0, 0.8, -1.9, 2.6, -4.7, HelmertConvention::PositionVector};
    HelmertParameters cf = pv;
    cf.convention = HelmertConvention::CoordinateFrame;
    cf.rx = -pv.rx;
    cf.ry = -pv.ry;
    cf.rz = -pv.rz;
    const GeocentricPoint p{300000.0, 5600000.0, 2950000.0};
    const GeocentricPoint a = Helmert(pv).Forward(p);
    const GeocentricPoint b = Helmert(cf).Forward(p);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    // ... and the conventions do differ for the same numbers.
    const GeocentricPoint c =
        Helmert(HelmertParameters{pv.tx, pv.ty, pv.tz, pv.rx, pv.ry, pv.rz, pv.scalePpm,
                                  HelmertConvention::CoordinateFrame})
            .Forward(p);
    EXPECT_GT(std::fabs(c.x - a.x) + std::fabs(c.y - a.y) + std::fabs(c.z - a.z), 1.0);
}

TEST(Helmert, ReverseUndoesTranslationAndScaleExactlyAndRotationsToFirstOrder) {
    const GeocentricPoint p{300000.0, 5600000.0, 2950000.0};
    const double radius = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);

    // Translation and scale only: back to the point within rounding.
    const Helmert shiftAndScale(HelmertParameters{293.17, 726.18, 245.36, 0, 0, 0, -4.7,
                                                  HelmertConvention::PositionVector});
    GeocentricPoint back = shiftAndScale.Reverse(shiftAndScale.Forward(p));
    EXPECT_NEAR(back.x, p.x, 1e-8);
    EXPECT_NEAR(back.y, p.y, 1e-8);
    EXPECT_NEAR(back.z, p.z, 1e-8);

    // With rotations the reverse applies the transpose of the small-angle
    // matrix: the start comes back to within the square of the rotation
    // times the distance from the centre, not exactly.
    const double r = 30.0;  // arc-seconds, large so that the second order shows
    const Helmert rotating(
        HelmertParameters{0, 0, 0, r, -r, r, 0, HelmertConvention::CoordinateFrame});
    back = rotating.Reverse(rotating.Forward(p));
    const double rad = Rad(r / 3600.0);
    const double miss =
        std::sqrt((back.x - p.x) * (back.x - p.x) + (back.y - p.y) * (back.y - p.y) +
                  (back.z - p.z) * (back.z - p.z));
    EXPECT_GT(miss, 0.1 * rad * rad * radius);
    EXPECT_LT(miss, 3.5 * rad * rad * radius);
}

}  // namespace
