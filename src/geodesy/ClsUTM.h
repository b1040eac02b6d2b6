// Projection and transfer operations on the grids of the program. The class
// has no state: every instance gives the same results, and every operation is
// reentrant. Results come back through the `Out` parameters; an operation
// that meets an arithmetic error throws ArithmeticError and writes none of them.
#pragma once

#include <array>

namespace utm {

class ClsUTM {
  public:
    /// Latitude `Phi`, longitude `Lambda` and central meridian `LambdaNot`, all in
    /// degrees, to easting `OutEast` and northing `OutNorth` in metres on Everest
    /// 1830 (k0 0.9999).
    void LatLongToXYEverest(double Phi, double Lambda, double LambdaNot, double& OutEast,
                            double& OutNorth) const;
    /// The same on WGS84 (k0 0.9996).
    void LatLongToXYWGS(double Phi, double Lambda, double LambdaNot, double& OutEast,
                        double& OutNorth) const;

    /// Easting `x` and northing `y` in metres, central meridian `LambdaNot` in
    /// degrees, to latitude `OutLat` and longitude `OutLong` in radians on Everest 1830.
    void XYToLatLongEverest(double x, double y, double LambdaNot, double& OutLat,
                            double& OutLong) const;
    /// The same on WGS84.
    void XYToLatLongWGS(double x, double y, double LambdaNot, double& OutLat,
                        double& OutLong) const;

    // Transfers: source easting `x` and northing `y` (metres) to target easting
    // `OutX` and northing `OutY` (metres). Inverse on the source grid, forward on
    // the target grid; no datum shift.
    void XYEverest81ToXYEverest84(double x, double y, double& OutX, double& OutY) const;
    void XYEverest84ToXYEverest84(double x, double y, double& OutX, double& OutY) const;
    void XYEverest87ToXYEverest84(double x, double y, double& OutX, double& OutY) const;
    void XYEverest84ToXYEverest81(double x, double y, double& OutX, double& OutY) const;
    void XYEverest84ToXYEverest87(double x, double y, double& OutX, double& OutY) const;
    void XYwgs81ToXYwgs84(double x, double y, double& OutX, double& OutY) const;
    void XYwgs87ToXYwgs84(double x, double y, double& OutX, double& OutY) const;
    void XYwgs81ToXYEverest84(double x, double y, double& OutX, double& OutY) const;
    void XYwgs84ToXYEverest84(double x, double y, double& OutX, double& OutY) const;
    void XYwgs87ToXYEverest84(double x, double y, double& OutX, double& OutY) const;

    /// Splits `Rad` (radians) into whole degrees, whole minutes and seconds with
    /// fraction. Each part below 0.0001 (negatives included) becomes 0; seconds are
    /// not rounded and never carried.
    std::array<double, 3> RadToDeg(double Rad) const;
};

}  // namespace utm
