#include "spreadsheet/TransferWithinExcel.h"

#include "operations/PointBlock.h"
#include "spreadsheet/SelectionDialogue.h"

namespace utm {

namespace {

// The number of one cell of the block: a number as stored, a text by the
// locale's number rules, an unset cell 0. Throws PointTransferError for `row`
// (from 0) when a text is not a number.
double CellNumber(const std::optional<CellContent>& cell, char decimalSeparator, std::size_t row) {
    if (!cell) return 0.0;
    if (const double* number = std::get_if<double>(&*cell)) return *number;
    return CellValue(std::get<std::string>(*cell), decimalSeparator, row);
}

}  // namespace

void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box, int kind,
                         char decimalSeparator, const DatumShift& shift) {
    // Without a transfer every result cell would be empty, and writing them
    // would clear whatever the user has at the output position.
    if (!IsTransferKind(kind)) {
        ShowProblem(box, kNoTransferChosen);
        return;
    }
    TransferWithinExcel(
        excel, box,
        [&](const BlockCells& cells, const std::vector<int>& sheetRows) -> ExcelRows {
            PointBlock points;
            points.reserve(cells.size());
            try {
                for (std::size_t row = 0; row < cells.size(); ++row) {
                    points.push_back({CellNumber(cells[row][0], decimalSeparator, row),
                                      CellNumber(cells[row][1], decimalSeparator, row)});
                }
                return TransferPoints(kind, points, shift);
            } catch (const PointTransferError& error) {
                const std::size_t row = error.row();
                throw ArithmeticError(
                    "in row " +
                    std::to_string(row < sheetRows.size()
                                       ? sheetRows[row]
                                       : excel.InputBlock().firstRow + static_cast<int>(row)) +
                    " of the sheet, " + error.what());
            }
        },
        decimalSeparator);
}

}  // namespace utm
