// The six transfers offered by the transfer window, by their list position.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "geodesy/ClsUTM.h"

namespace utm {

/// List position of the chosen transfer; kNoTransferKind when no entry is
/// selected (text typed into the list).
inline constexpr int kNoTransferKind = -1;
inline constexpr int kTransferKindCount = 6;

/// The list captions, in list order (position 0 to 5).
inline constexpr std::array<std::string_view, kTransferKindCount> kTransferKindCaptions = {
    "Everest-81 to Everest-84", "Everest-87 to Everest-84", "WGS84-44 to Everest-84",
    "WGS84-45 to Everest-84",   "Everest-84 to Everest-81", "Everest-84 to Everest-87",
};

/// True for the positions 0 to 5.
constexpr bool IsTransferKind(int position) {
    return position >= 0 && position < kTransferKindCount;
}

/// The position whose caption is exactly `caption`, or nothing.
std::optional<int> TransferKindFromCaption(std::string_view caption);

/// Runs the operation of `position` (0 to 5) on one pair. Throws
/// ArithmeticError when the pair cannot be transferred and std::out_of_range
/// for any other position.
void RunTransferKind(const ClsUTM& utm, int position, double x, double y, double& OutX,
                     double& OutY);

}  // namespace utm
