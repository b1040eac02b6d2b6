// "Within Excel" of the transfer window with the window's own transfers.
#pragma once

#include "common/MessageBoxPort.h"
#include "spreadsheet/ClsWithinExcel.h"

namespace utm {

/// TransferWithinExcel with `TransferPoints` of the transfer at list position
/// `kind` (-1: nothing selected, every result cell empty); cell texts are read
/// with `decimalSeparator`.
void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box, int kind,
                         char decimalSeparator = '.');

}  // namespace utm
