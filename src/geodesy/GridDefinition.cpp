#include "geodesy/GridDefinition.h"

namespace utm {

namespace grids {
const GridDefinition Everest81{&Everest1830, 81.0, kEverestScaleFactor};
const GridDefinition Everest84{&Everest1830, 84.0, kEverestScaleFactor};
const GridDefinition Everest87{&Everest1830, 87.0, kEverestScaleFactor};
const GridDefinition WGS84Zone44{&WGS84, 81.0, kWGS84ScaleFactor};
const GridDefinition WGS84On84{&WGS84, 84.0, kWGS84ScaleFactor};
const GridDefinition WGS84Zone45{&WGS84, 87.0, kWGS84ScaleFactor};
}  // namespace grids

}  // namespace utm
