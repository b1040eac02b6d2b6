#include "spreadsheet/TransferWithinExcel.h"

#include "transfer/PointBlock.h"

namespace utm {

void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box, int kind,
                         char decimalSeparator) {
    TransferWithinExcel(excel, box, [&](const CellTexts& cells) -> ExcelRows {
        return TransferPoints(kind, cells, decimalSeparator);
    });
}

}  // namespace utm
