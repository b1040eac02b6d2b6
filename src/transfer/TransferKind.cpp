#include "transfer/TransferKind.h"

#include <stdexcept>
#include <string>

namespace utm {

std::optional<int> TransferKindFromCaption(std::string_view caption) {
    for (int i = 0; i < kTransferKindCount; ++i) {
        if (kTransferKindCaptions[static_cast<std::size_t>(i)] == caption) return i;
    }
    return std::nullopt;
}

void RunTransferKind(const ClsUTM& utm, int position, double x, double y, double& OutX,
                     double& OutY) {
    switch (position) {
        case 0:
            utm.XYEverest81ToXYEverest84(x, y, OutX, OutY);
            return;
        case 1:
            utm.XYEverest87ToXYEverest84(x, y, OutX, OutY);
            return;
        case 2:
            utm.XYwgs81ToXYEverest84(x, y, OutX, OutY);
            return;
        case 3:
            utm.XYwgs87ToXYEverest84(x, y, OutX, OutY);
            return;
        case 4:
            utm.XYEverest84ToXYEverest81(x, y, OutX, OutY);
            return;
        case 5:
            utm.XYEverest84ToXYEverest87(x, y, OutX, OutY);
            return;
        default:
            throw std::out_of_range("no transfer at list position " + std::to_string(position));
    }
}

}  // namespace utm
