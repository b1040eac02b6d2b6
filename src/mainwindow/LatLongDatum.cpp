#include "mainwindow/LatLongDatum.h"

#include "geodesy/Declaration.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"

namespace utm {

DatumShift DatumShiftOf(LatLongDatum datum) {
    return datum == LatLongDatum::WGS84 ? DatumShift::Epsg6208() : DatumShift::None();
}

LatLongSide::LatLongSide(LatLongDatum datum)
    : datum_(datum), transformation_(DatumShiftOf(datum)) {}

void ConvertLatLongToXY(const LatLongSide& side, double latitude, double longitude) {
    if (!side.Shifts()) {
        ConvertLatLongToXY(latitude, longitude);
        return;
    }
    const GeodeticPoint nepal1981 = side.ToGridDatum(GeodeticPoint{latitude, longitude});
    ConvertLatLongToXY(nepal1981.phi, nepal1981.lambda);
}

void ConvertXYToLatLong(const LatLongSide& side, double x, double y) {
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
