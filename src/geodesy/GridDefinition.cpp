#include "geodesy/GridDefinition.h"

namespace utm {

double ScaleFactorOf(const Ellipsoid& ellipsoid) {
    const bool isWGS84 = ellipsoid.a == WGS84.a && ellipsoid.b == WGS84.b;
    return isWGS84 ? kWGS84ScaleFactor : kEverestScaleFactor;
}

GridDefinition GridDefinition::On(const Ellipsoid& ellipsoid, double centralMeridian) {
    return GridDefinition{&ellipsoid, centralMeridian, ScaleFactorOf(ellipsoid), kFalseEasting,
                          kFalseNorthing};
}

namespace grids {
const GridDefinition Everest81{&Everest1830, 81.0, kEverestScaleFactor, kFalseEasting,
                               kFalseNorthing};
const GridDefinition Everest84{&Everest1830, 84.0, kEverestScaleFactor, kFalseEasting,
                               kFalseNorthing};
const GridDefinition Everest87{&Everest1830, 87.0, kEverestScaleFactor, kFalseEasting,
                               kFalseNorthing};
const GridDefinition WGS84Zone44{&WGS84, 81.0, kWGS84ScaleFactor, kFalseEasting, kFalseNorthing};
const GridDefinition WGS84On84{&WGS84, 84.0, kWGS84ScaleFactor, kFalseEasting, kFalseNorthing};
const GridDefinition WGS84Zone45{&WGS84, 87.0, kWGS84ScaleFactor, kFalseEasting, kFalseNorthing};
}  // namespace grids

}  // namespace utm
