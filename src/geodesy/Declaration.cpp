#include "geodesy/Declaration.h"

#include "geodesy/GridDefinition.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

void ConvertLatLongToXY(double latitude, double longitude) {
    const GridPoint p = ForwardSeries(Everest1830Terms(), kEverestScaleFactor, latitude, longitude,
                                      Declaration::SharedCM);
    Declaration::SharedX = p.x;
    Declaration::SharedY = p.y;
}

void ConvertXYToLatLong(double x, double y) {
    const GeodeticPoint g =
        InverseSeries(Everest1830Terms(), kEverestScaleFactor, x, y, Declaration::SharedCM);
    Declaration::SharedLat = g.phi;
    Declaration::SharedLong = g.lambda;
}

}  // namespace utm
