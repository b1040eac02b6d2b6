#include "gis/ReferenceSystem.h"

#include <array>

#include "geodesy/NameText.h"
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

CrsFormat ParseCrsFormat(std::string_view text) {
    struct Named {
        const char* name;
        CrsFormat format;
    };
    static constexpr std::array<Named, 4> kFormats = {{
        {"wkt2", CrsFormat::Wkt2},
        {"wkt1", CrsFormat::Wkt1},
        {"esri", CrsFormat::Esri},
        {"proj", CrsFormat::Proj},
    }};
    const std::string_view name = name_text::TrimBlanks(text);
    for (const Named& format : kFormats) {
        if (name_text::EqualsIgnoringCase(name, format.name)) return format.format;
    }
    throw ParameterError("unknown definition format \"" + std::string(text) +
                         "\": expected wkt2, wkt1, esri or proj");
}

}  // namespace utm
