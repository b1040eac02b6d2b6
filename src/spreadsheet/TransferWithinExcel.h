// "Within Excel" of the transfer window with the window's own transfers.
#pragma once

#include "common/MessageBoxPort.h"
#include "geodesy/DatumShift.h"
#include "spreadsheet/ClsWithinExcel.h"

namespace utm {

/// Said when "Within Excel" is pressed with no transfer chosen in the list.
inline constexpr const char* kNoTransferChosen =
    "No conversion is chosen: pick one in the list \"From :\", then press \"Within Excel\" "
    "again. Nothing was read or written.";

/// TransferWithinExcel with `TransferPoints` of the transfer at list position
/// `kind` and the window's datum `shift`; cell texts are read with
/// `decimalSeparator`, numbers as stored. With no transfer chosen (-1) it
/// says so and neither asks for cells nor writes any. Header, blank and
/// number-less rows are sorted out first (TransferWithinExcel above); a cell
/// of a row with a point that only starts with a number ("27.7°") stops the
/// transfer before anything is written, with a message naming its sheet row.
void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box, int kind,
                         char decimalSeparator = '.', const DatumShift& shift = {});

}  // namespace utm
