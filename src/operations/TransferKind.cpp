#include "operations/TransferKind.h"

#include <stdexcept>
#include <string>

namespace utm {

namespace {

using CS = CoordinateSystem;

/// The grids of each list position, in list order.
constexpr std::array<TransferSystems, kTransferKindCount> kKindSystems = {{
    {CS::Everest81, CS::Everest84},
    {CS::Everest87, CS::Everest84},
    {CS::WGS84Zone44, CS::Everest84},
    {CS::WGS84Zone45, CS::Everest84},
    {CS::Everest84, CS::Everest81},
    {CS::Everest84, CS::Everest87},
    {CS::Everest84, CS::WGS84Zone44},
    {CS::Everest84, CS::WGS84Zone45},
}};

}  // namespace

std::optional<int> TransferKindFromCaption(std::string_view caption) {
    for (int i = 0; i < kTransferKindCount; ++i) {
        if (kTransferKindCaptions[static_cast<std::size_t>(i)] == caption) return i;
    }
    return std::nullopt;
}

TransferSystems SystemsOfKind(int position) {
    if (!IsTransferKind(position)) {
        throw std::out_of_range("no transfer at list position " + std::to_string(position));
    }
    return kKindSystems[static_cast<std::size_t>(position)];
}

bool KindCrossesDatum(int position) {
    if (!IsTransferKind(position)) return false;
    const TransferSystems systems = SystemsOfKind(position);
    return CrossesDatum(systems.from, systems.to);
}

GridTransform TransformOfKind(int position, const DatumShift& shift) {
    const TransferSystems systems = SystemsOfKind(position);
    return GridTransform(systems.from, systems.to, shift);
}

}  // namespace utm
