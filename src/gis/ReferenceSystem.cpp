#include "gis/ReferenceSystem.h"

#include "geodesy/ParameterError.h"

namespace utm {

ReferenceSystem ReferenceOf(CoordinateSystem system) {
    const GridDefinition* grid = GridOf(system);
    ReferenceSystem reference;
    reference.wgs84 = &EllipsoidOf(system) != &EllipsoidOf(CoordinateSystem::LatLongEverest);
    if (grid != nullptr) {
        reference.grid = true;
        reference.centralMeridian = grid->centralMeridian;
        reference.k0 = grid->k0;
    }
    return reference;
}

std::optional<CoordinateSystem> SystemOfReference(const ReferenceSystem& reference) {
    for (CoordinateSystem system : kCoordinateSystems) {
        if (ReferenceOf(system) == reference) return system;
    }
    return std::nullopt;
}

std::string ReferenceName(const ReferenceSystem& reference) {
    if (const auto system = SystemOfReference(reference)) return std::string(NameOf(*system));
    return "custom";
}

CrsFormat ParseCrsFormat(std::string_view) {
    return CrsFormat::Wkt2;
}

}  // namespace utm
