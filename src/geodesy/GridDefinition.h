// Transverse Mercator grids: an ellipsoid, a central meridian and the scale
// factor that belongs to the ellipsoid. Latitude of origin 0, false easting
// 500000 m and no false northing on every grid.
#pragma once

#include "geodesy/Ellipsoid.h"

namespace utm {

inline constexpr double kFalseEasting = 500000.0;  ///< metres, every grid
inline constexpr double kFalseNorthing = 0.0;      ///< metres, every grid
inline constexpr double kEverestScaleFactor = 0.9999;
inline constexpr double kWGS84ScaleFactor = 0.9996;

struct GridDefinition {
    const Ellipsoid* ellipsoid;
    double centralMeridian;  ///< λ0, degrees east
    double k0;               ///< scale on the central meridian
    // Every grid has kFalseEasting and kFalseNorthing.
};

namespace grids {
extern const GridDefinition Everest81;
extern const GridDefinition Everest84;
extern const GridDefinition Everest87;
extern const GridDefinition WGS84Zone44;  ///< UTM zone 44, λ0 81° E
extern const GridDefinition WGS84On84;    ///< WGS84 on 84° E
extern const GridDefinition WGS84Zone45;  ///< UTM zone 45, λ0 87° E
}  // namespace grids

}  // namespace utm
