// The datum of the main window's latitude/longitude side: Everest 1830 (Nepal
// 1981, the datum of the Everest grids, so no shift: the default) or WGS 84
// (a GPS position, shifted to Nepal 1981 with EPSG:6208 before it is projected
// on the Everest grid, and back after the inverse projection). Header-only,
// on the geodesy core alone, so that every path converting on the main
// window's grid (single point, batch, the spreadsheet's Retrieve) can use it.
#pragma once

#include "geodesy/DatumShift.h"
#include "geodesy/Declaration.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

enum class LatLongDatum {
    Everest1830,  ///< Nepal 1981 on Everest 1830: the grid's own datum, no shift
    WGS84,        ///< WGS 84, as a GPS gives it: EPSG:6208 between it and the grid
};

/// The captions of the main window's datum choice, in list order.
inline constexpr const char* kEverest1830Caption = "Everest 1830";
inline constexpr const char* kWGS84GpsCaption = "WGS 84 (GPS)";

/// The datum shift between the latitude/longitude side and the Everest grid:
/// none for Everest 1830, EPSG:6208 for WGS 84.
inline DatumShift DatumShiftOf(LatLongDatum datum) {
    return datum == LatLongDatum::WGS84 ? DatumShift::Epsg6208() : DatumShift::None();
}

/// The latitude/longitude side of one run, made ready once (the two
/// ellipsoids' constants and the shift are formed in the constructor). Both
/// operations are pure and reentrant, so one object serves every point of a
/// run on any thread. With Everest 1830 they return their input unchanged, bit
/// for bit. Radians throughout; an operation whose result is not finite
/// throws ArithmeticError.
class LatLongSide {
  public:
    explicit LatLongSide(LatLongDatum datum = LatLongDatum::Everest1830)
        : datum_(datum), transformation_(DatumShiftOf(datum)) {}

    LatLongDatum datum() const { return datum_; }
    /// True when the side is WGS 84 and the operations shift the datum.
    bool Shifts() const { return !transformation_.IsNone(); }

    /// A latitude and longitude of the side to Nepal 1981, ready for the
    /// forward projection on the Everest grid.
    GeodeticPoint ToGridDatum(GeodeticPoint point) const {
        return transformation_.ToNepal1981(point);
    }
    /// A latitude and longitude from the inverse projection on the Everest grid
    /// (Nepal 1981) to the side's datum.
    GeodeticPoint FromGridDatum(GeodeticPoint point) const {
        return transformation_.ToWGS84(point);
    }

  private:
    LatLongDatum datum_;
    DatumTransformation transformation_;
};

/// ConvertLatLongToXY of `Declaration` for a latitude and longitude (radians)
/// on `side`'s datum: shifted to Nepal 1981 first when the side is WGS 84,
/// then projected with `SharedCM`; leaves `SharedX` and `SharedY`.
inline void ConvertLatLongToXY(const LatLongSide& side, double latitude, double longitude) {
    if (!side.Shifts()) {
        ConvertLatLongToXY(latitude, longitude);
        return;
    }
    const GeodeticPoint nepal1981 = side.ToGridDatum(GeodeticPoint{latitude, longitude});
    ConvertLatLongToXY(nepal1981.phi, nepal1981.lambda);
}

/// ConvertXYToLatLong of `Declaration` with the result on `side`'s datum:
/// the inverse projection with `SharedCM`, then the shift to WGS 84 when the
/// side is WGS 84; leaves `SharedLat` and `SharedLong` (radians). On
/// ArithmeticError neither is written.
inline void ConvertXYToLatLong(const LatLongSide& side, double x, double y) {
    if (!side.Shifts()) {
        ConvertXYToLatLong(x, y);
        return;
    }
    // Computed aside first, so that a failing shift leaves the shared
    // variables as they were, as a failing projection does.
    const GeodeticPoint nepal1981 =
        InverseSeries(Everest1830Terms(), kEverestScaleFactor, x, y, Declaration::SharedCM);
    const GeodeticPoint g = side.FromGridDatum(nepal1981);
    Declaration::SharedLat = g.phi;
    Declaration::SharedLong = g.lambda;
}

}  // namespace utm
