// The transfers offered by the transfer window, by their list position, and
// the coordinate systems each one runs between.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "geodesy/GridTransform.h"

namespace utm {

/// List position of the chosen transfer; kNoTransferKind when no entry is
/// selected (text typed into the list).
inline constexpr int kNoTransferKind = -1;
inline constexpr int kTransferKindCount = 8;

/// The list captions, in list order (position 0 to 7). The first six are the
/// transfers the window always offered; 6 and 7 are the reverse of 2 and 3.
inline constexpr std::array<std::string_view, kTransferKindCount> kTransferKindCaptions = {
    "Everest-81 to Everest-84", "Everest-87 to Everest-84", "WGS84-44 to Everest-84",
    "WGS84-45 to Everest-84",   "Everest-84 to Everest-81", "Everest-84 to Everest-87",
    "Everest-84 to WGS84-44",   "Everest-84 to WGS84-45",
};

/// Shown while the chosen transfer crosses between WGS 84 and Everest 1830
/// without a datum shift.
inline constexpr std::string_view kNoDatumShiftWarning =
    "No datum shift: results differ from a datum-shifted transfer by 163–275 m in Nepal";

/// True for the positions 0 to 7.
constexpr bool IsTransferKind(int position) {
    return position >= 0 && position < kTransferKindCount;
}

/// The position whose caption is exactly `caption`, or nothing.
std::optional<int> TransferKindFromCaption(std::string_view caption);

/// The source and target grid of one transfer.
struct TransferSystems {
    CoordinateSystem from;
    CoordinateSystem to;
};

/// The grids of the transfer at `position` (0 to 7): position 2 is wgs84-44 →
/// everest84, 6 is everest84 → wgs84-44, and so on. Throws std::out_of_range
/// for any other position.
TransferSystems SystemsOfKind(int position);

/// True when the transfer at `position` crosses between WGS 84 and Everest
/// 1830 (2, 3, 6 and 7), so that a datum shift applies to it; false for every
/// other position, -1 included.
bool KindCrossesDatum(int position);

/// The transformation of the transfer at `position` with `shift` (which only
/// acts on a transfer that crosses datums). With no shift its results equal
/// ClsUTM's transfer operation of the position bit for bit (GridTransform.h).
/// Throws std::out_of_range for a position outside 0 to 7.
GridTransform TransformOfKind(int position, const DatumShift& shift = {});

}  // namespace utm
