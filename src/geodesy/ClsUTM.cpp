#include "geodesy/ClsUTM.h"

#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

namespace {

void Forward(const EllipsoidTerms& terms, double k0, double Phi, double Lambda, double LambdaNot,
             double& OutEast, double& OutNorth) {
    const GridPoint p = ForwardSeries(terms, k0, DegreesToRadians(Phi), DegreesToRadians(Lambda),
                                      DegreesToRadians(LambdaNot));
    OutEast = p.x;
    OutNorth = p.y;
}

void Inverse(const EllipsoidTerms& terms, double k0, double x, double y, double LambdaNot,
             double& OutLat, double& OutLong) {
    const GeodeticPoint p = InverseSeries(terms, k0, x, y, DegreesToRadians(LambdaNot));
    OutLat = p.phi;
    OutLong = p.lambda;
}

/// Inverse projection on the source grid, forward projection on the target
/// grid, with the latitude and longitude passed on in degrees.
void Transfer(const GridDefinition& source, const GridDefinition& target, double x, double y,
              double& OutX, double& OutY) {
    const EllipsoidTerms& sourceTerms = TermsOf(*source.ellipsoid);
    const EllipsoidTerms& targetTerms = TermsOf(*target.ellipsoid);
    const GeodeticPoint g =
        InverseSeries(sourceTerms, source.k0, x, y, DegreesToRadians(source.centralMeridian));
    Forward(targetTerms, target.k0, RadiansToDegrees(g.phi), RadiansToDegrees(g.lambda),
            target.centralMeridian, OutX, OutY);
}

}  // namespace

void ClsUTM::LatLongToXYEverest(double Phi, double Lambda, double LambdaNot, double& OutEast,
                                double& OutNorth) const {
    Forward(Everest1830Terms(), kEverestScaleFactor, Phi, Lambda, LambdaNot, OutEast, OutNorth);
}

void ClsUTM::LatLongToXYWGS(double Phi, double Lambda, double LambdaNot, double& OutEast,
                            double& OutNorth) const {
    Forward(WGS84Terms(), kWGS84ScaleFactor, Phi, Lambda, LambdaNot, OutEast, OutNorth);
}

void ClsUTM::XYToLatLongEverest(double x, double y, double LambdaNot, double& OutLat,
                                double& OutLong) const {
    Inverse(Everest1830Terms(), kEverestScaleFactor, x, y, LambdaNot, OutLat, OutLong);
}

void ClsUTM::XYToLatLongWGS(double x, double y, double LambdaNot, double& OutLat,
                            double& OutLong) const {
    Inverse(WGS84Terms(), kWGS84ScaleFactor, x, y, LambdaNot, OutLat, OutLong);
}

void ClsUTM::XYEverest81ToXYEverest84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::Everest81, grids::Everest84, x, y, OutX, OutY);
}
void ClsUTM::XYEverest84ToXYEverest84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::Everest84, grids::Everest84, x, y, OutX, OutY);
}
void ClsUTM::XYEverest87ToXYEverest84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::Everest87, grids::Everest84, x, y, OutX, OutY);
}
void ClsUTM::XYEverest84ToXYEverest81(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::Everest84, grids::Everest81, x, y, OutX, OutY);
}
void ClsUTM::XYEverest84ToXYEverest87(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::Everest84, grids::Everest87, x, y, OutX, OutY);
}
void ClsUTM::XYwgs81ToXYwgs84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::WGS84Zone44, grids::WGS84On84, x, y, OutX, OutY);
}
void ClsUTM::XYwgs87ToXYwgs84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::WGS84Zone45, grids::WGS84On84, x, y, OutX, OutY);
}
void ClsUTM::XYwgs81ToXYEverest84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::WGS84Zone44, grids::Everest84, x, y, OutX, OutY);
}
void ClsUTM::XYwgs84ToXYEverest84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::WGS84On84, grids::Everest84, x, y, OutX, OutY);
}
void ClsUTM::XYwgs87ToXYEverest84(double x, double y, double& OutX, double& OutY) const {
    Transfer(grids::WGS84Zone45, grids::Everest84, x, y, OutX, OutY);
}

std::array<double, 3> ClsUTM::RadToDeg(double Rad) const {
    const double v = RadiansToDegrees(Rad);
    const double degrees = std::floor(v);
    const double minutesWithFraction = (v - degrees) * 60.0;
    const double minutes = std::floor(minutesWithFraction);
    const double seconds = (minutesWithFraction - minutes) * 60.0;
    auto clip = [](double part) { return part < 0.0001 ? 0.0 : part; };
    return {clip(degrees), clip(minutes), clip(seconds)};
}

}  // namespace utm
