// The datum shift value type and its texts, the published worked example, the
// default of no shift, round trips, and the size of the shift across Nepal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridTransform.h"
#include "geodesy/ParameterError.h"

namespace {

using namespace utm;

// ---------------------------------------------------------------- texts

TEST(DatumShiftText, ReadsTheNamedShifts) {
    EXPECT_EQ(DatumShift::Parse("none"), DatumShift::None());
    EXPECT_EQ(DatumShift::Parse(" NONE\t"), DatumShift::None());
    EXPECT_EQ(DatumShift::Parse("epsg6208"), DatumShift::Epsg6208());
    EXPECT_EQ(DatumShift::Parse("EPSG6208"), DatumShift::Epsg6208());

    const DatumShift published = DatumShift::Epsg6208();
    EXPECT_EQ(published.method(), DatumShift::Method::Epsg6208);
    EXPECT_EQ(published.parameters().tx, 293.17);
    EXPECT_EQ(published.parameters().ty, 726.18);
    EXPECT_EQ(published.parameters().tz, 245.36);
    EXPECT_EQ(published.parameters().rx, 0.0);
    EXPECT_EQ(published.parameters().scalePpm, 0.0);
    EXPECT_TRUE(DatumShift().IsNone());
}

TEST(DatumShiftText, ReadsSevenParametersInBothConventions) {
    const DatumShift pv = DatumShift::Parse("helmert-pv:296.207,731.545,273.001,0.8,-1.9,2.6,-4.7");
    EXPECT_EQ(pv.method(), DatumShift::Method::Helmert);
    const HelmertParameters expected{296.207, 731.545, 273.001, 0.8,
                                     -1.9,    2.6,     -4.7,    HelmertConvention::PositionVector};
    EXPECT_EQ(pv.parameters(), expected);

    const DatumShift cf = DatumShift::Parse("Helmert-CF: +1e2 , -2.5E-1,3 ,0,0,.5, 1.");
    const HelmertParameters expectedCf{100.0, -0.25, 3.0, 0.0,
                                       0.0,   0.5,   1.0, HelmertConvention::CoordinateFrame};
    EXPECT_EQ(cf.parameters(), expectedCf);
}

TEST(DatumShiftText, WritesTextsThatReadBackEqual) {
    EXPECT_EQ(DatumShift::None().ToString(), "none");
    EXPECT_EQ(DatumShift::Epsg6208().ToString(), "epsg6208");
    const DatumShift pv = DatumShift::Parse("helmert-pv:293.17,726.18,245.36,0.1,-0.2,0.3,1.5");
    EXPECT_EQ(pv.ToString(), "helmert-pv:293.17,726.18,245.36,0.1,-0.2,0.3,1.5");
    const DatumShift cf = DatumShift::SevenParameters(HelmertParameters{
        0.1 + 0.2, 1.0 / 3.0, -1e-7, 0, 0, 0, 2.5, HelmertConvention::CoordinateFrame});
    EXPECT_EQ(DatumShift::Parse(cf.ToString()), cf);
    for (const DatumShift& s : {DatumShift::None(), DatumShift::Epsg6208(), pv}) {
        EXPECT_EQ(DatumShift::Parse(s.ToString()), s) << s.ToString();
    }
}

/// The message of the ParameterError that reading `text` raises ("" if none).
std::string ErrorOf(const std::string& text) {
    try {
        DatumShift::Parse(text);
    } catch (const ParameterError& e) {
        return e.what();
    }
    return "";
}

TEST(DatumShiftText, BadTextsGiveClearErrors) {
    struct Case {
        const char* text;
        const char* messagePart;
    };
    const Case cases[] = {
        {"helmert-pv:1,2,3,4,5,6", "6 values given, 7 expected (TX,TY,TZ,RX,RY,RZ,S)"},
        {"helmert-cf:1,2,3,4,5,6,7,8", "8 values given, 7 expected"},
        {"helmert-pv:1,2,x,4,5,6,7", "value 3 (TZ) \"x\" is not a number"},
        {"helmert-pv:1,2,3,4,5,6,7m", "value 7 (S) \"7m\" is not a number"},
        {"helmert-pv:1,2,3,4,5,6,nan", "value 7 (S) \"nan\" is not a number"},
        {"helmert-pv:inf,2,3,4,5,6,7", "value 1 (TX) \"inf\" is not a number"},
        {"helmert-pv:1e999,2,3,4,5,6,7", "value 1 (TX) \"1e999\" is not a number"},
        {"helmert-pv:1,2,3,++4,5,6,7", "value 4 (RX) \"++4\" is not a number"},
        {"helmert-pv:1,,3,4,5,6,7", "value 2 (TY) is empty"},
        {"helmert-pv:1,2,3,4,5,6,-1000000",
         "value 7 (S) -1e+06 ppm lies outside -1000 to 1000 ppm"},
        {"helmert-pv", "seven values expected"},
        {"epsg6208:1", "takes no values"},
        {"wgs84", "unknown datum shift \"wgs84\""},
        {"EPSG:6208", "unknown datum shift"},
        {"", "expected none, epsg6208, helmert-pv:TX,TY,TZ,RX,RY,RZ,S or helmert-cf:"},
        {"helmert:1,2,3,4,5,6,7", "unknown datum shift"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string message = ErrorOf(c.text);
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << message;
    }
    // One error type, usable as std::invalid_argument by callers outside geodesy.
    EXPECT_THROW(DatumShift::Parse("helmert-pv:1,2,3"), std::invalid_argument);
    EXPECT_THROW(DatumShift::SevenParameters(
                     HelmertParameters{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0, 0, 0, 0,
                                       HelmertConvention::PositionVector}),
                 ParameterError);
}

TEST(DatumShiftText, ParametersBeyondTheirBoundsAreRefusedNamingValueAndBound) {
    const struct {
        const char* text;
        const char* messagePart;  // "" when accepted
    } cases[] = {
        {"helmert-pv:10000,-10000,10000,3600,-3600,3600,1000", ""},  // at the bounds
        {"helmert-cf:10000.5,0,0,0,0,0,0",
         "value 1 (TX) 10000.5 m lies outside -10000 to 10000 m, the bounds for a translation"},
        {"helmert-pv:0,0,0,648000,0,0,0",
         "value 4 (RX) 648000\u2033 lies outside -3600 to 3600\u2033, the bounds for a rotation"},
        {"helmert-pv:0,0,0,0,0,0,1e6",
         "value 7 (S) 1e+06 ppm lies outside -1000 to 1000 ppm, the bounds for the scale"},
        {"helmert-pv:0,0,0,0,0,0,-1000.01", "value 7 (S) -1000.01 ppm lies outside"},
    };
    for (const auto& c : cases) {
        const std::string message = ErrorOf(c.text);
        EXPECT_TRUE(*c.messagePart ? message.find(c.messagePart) != std::string::npos
                                   : message.empty())
            << c.text << ": " << message;
    }
    // The window builds its shift from the seven values: the same bounds.
    EXPECT_THROW(DatumShift::SevenParameters(HelmertParameters{0, 0, 0, 0, 0, 648000, 0,
                                                               HelmertConvention::CoordinateFrame}),
                 ParameterError);
}

// ---------------------------------------------------------------- shifts

TEST(DatumShift, WorkedExampleAtKathmandu) {
    // WGS 84 27.7°, 85.3° lies at Nepal 1981 27.699813895°, 85.302359383°
    // after the published shift.
    const LatLong nepal = WGS84ToNepal1981(DatumShift::Epsg6208(), LatLong{27.7, 85.3});
    // To the nine decimals stated (27.6998138956 written as 27.699813895).
    EXPECT_NEAR(nepal.latitude, 27.699813895, 1e-9);
    EXPECT_NEAR(nepal.longitude, 85.302359383, 1e-9);

    const LatLong back = Nepal1981ToWGS84(DatumShift::Epsg6208(), nepal);
    EXPECT_NEAR(back.latitude, 27.7, 5e-8);
    EXPECT_NEAR(back.longitude, 85.3, 5e-8);
}

TEST(DatumShift, NoShiftReturnsTheInputBitForBit) {
    const DatumTransformation none(DatumShift::None());
    EXPECT_TRUE(none.IsNone());
    for (const LatLong p : {LatLong{27.7, 85.3}, LatLong{-91.0, 400.0}, LatLong{1e300, -0.0}}) {
        const LatLong a = none.ToNepal1981(p);
        const LatLong b = none.ToWGS84(p);
        EXPECT_EQ(a.latitude, p.latitude);
        EXPECT_EQ(a.longitude, p.longitude);
        EXPECT_EQ(b.latitude, p.latitude);
        EXPECT_EQ(b.longitude, p.longitude);
    }
    const GeodeticPoint r{0.48, 1.49};
    EXPECT_EQ(none.ToWGS84(r).phi, r.phi);
    EXPECT_EQ(none.ToNepal1981(r).lambda, r.lambda);
}

TEST(DatumShift, ShiftsInTheDirectionOfThePublishedTranslation) {
    // Nepal 1981 → WGS 84 adds (293.17, 726.18, 245.36) m to the geocentric
    // position: the WGS 84 point lies that far from the Everest 1830 one.
    const LatLong nepal{28.0, 84.0};
    const LatLong wgs = Nepal1981ToWGS84(DatumShift::Epsg6208(), nepal);
    const GeocentricPoint a =
        Geocentric(Everest1830)
            .Forward({DegreesToRadians(nepal.latitude), DegreesToRadians(nepal.longitude)});
    const GeocentricPoint b = Geocentric(WGS84).Forward(
        {DegreesToRadians(wgs.latitude), DegreesToRadians(wgs.longitude)});
    // The points agree up to the dropped height along the normal (tens of metres).
    const double dx = b.x - a.x - 293.17, dy = b.y - a.y - 726.18, dz = b.z - a.z - 245.36;
    const double off = std::sqrt(dx * dx + dy * dy + dz * dz);
    EXPECT_LT(off, 100.0);
    EXPECT_GT(std::fabs(wgs.longitude - nepal.longitude) * 3600.0, 5.0);  // arc-seconds
}

TEST(DatumShift, RoundTripKeepingTheHeightIsExact) {
    // The 2D shift drops the height on the target ellipsoid; kept, the round
    // trip WGS 84 → Nepal 1981 → WGS 84 closes to rounding. So every miss of
    // the 2D round trip is the dropped height, not the arithmetic.
    const Geocentric everest(Everest1830), wgs84(WGS84);
    const Helmert shift(DatumShift::Epsg6208().parameters());
    double worst = 0.0;
    for (double lat = 24.0; lat <= 32.0; lat += 0.5) {
        for (double lon = 78.0; lon <= 90.0; lon += 0.5) {
            const GeodeticPoint w{DegreesToRadians(lat), DegreesToRadians(lon)};
            double h = 0.0;
            const GeodeticPoint n = everest.Reverse(shift.Reverse(wgs84.Forward(w)), h);
            const GeodeticPoint back = wgs84.Reverse(shift.Forward(everest.Forward(n, h)));
            worst = std::max({worst, std::fabs(RadiansToDegrees(back.phi) - lat),
                              std::fabs(RadiansToDegrees(back.lambda) - lon)});
        }
    }
    EXPECT_LT(worst, 1e-12);
}

TEST(DatumShift, TwoDimensionalRoundTripMissesByTheDroppedHeightOnly) {
    // Over Nepal and 2° around it the dropped height is 25 to 65 m and the
    // normals of the two ellipsoids differ by about 8 arc-seconds: the 2D
    // round trip misses by up to 3.2e-8° (PROJ's pipeline gives the same).
    const DatumTransformation shift(DatumShift::Epsg6208());
    double worst = 0.0;
    for (double lat = 24.0; lat <= 32.0; lat += 0.1) {
        for (double lon = 78.0; lon <= 90.0; lon += 0.1) {
            const LatLong back = shift.ToWGS84(shift.ToNepal1981(LatLong{lat, lon}));
            worst =
                std::max({worst, std::fabs(back.latitude - lat), std::fabs(back.longitude - lon)});
        }
    }
    EXPECT_LT(worst, 3.5e-8);
    EXPECT_GT(worst, 1e-9);  // the 2D definition, not an exact inverse
}

TEST(DatumShift, NonFiniteResultIsAnArithmeticError) {
    const DatumTransformation shift(DatumShift::Epsg6208());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(shift.ToWGS84(LatLong{nan, 85.0}), ArithmeticError);
    EXPECT_THROW(shift.ToNepal1981(LatLong{27.0, std::numeric_limits<double>::infinity()}),
                 ArithmeticError);
}

TEST(DatumShift, SizeAcrossNepalOnTheEverest84Grid) {
    // The horizontal distance between the shifted and the unshifted Everest-84
    // position of the same WGS 84 latitude/longitude, on a grid of about 0.05°
    // over the area of use of EPSG:6208 (26.34–30.43° N, 80.06–88.21° E),
    // corners included.
    const GridTransform shifted(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest84,
                                DatumShift::Epsg6208());
    const GridTransform unshifted(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest84);
    double least = 1e9, most = 0.0;
    constexpr int kRows = 82, kColumns = 163;
    for (int i = 0; i <= kRows; ++i) {
        for (int j = 0; j <= kColumns; ++j) {
            const double lat = 26.34 + (30.43 - 26.34) * i / kRows;
            const double lon = 80.06 + (88.21 - 80.06) * j / kColumns;
            const CoordinatePair a = shifted.Apply(lat, lon);
            const CoordinatePair b = unshifted.Apply(lat, lon);
            const double d = std::hypot(a.first - b.first, a.second - b.second);
            least = std::min(least, d);
            most = std::max(most, d);
        }
    }
    std::printf(
        "[ measured ] shift on the Everest-84 grid across the area of use: %.1f m to %.1f m\n",
        least, most);
    RecordProperty("least_metres", std::to_string(least));
    RecordProperty("most_metres", std::to_string(most));
    EXPECT_NEAR(least, 163.7, 0.5);
    EXPECT_NEAR(most, 273.8, 0.5);
}

}  // namespace
