// Point blocks of the transfer window: rows of (X, Y) taken from a data file
// or from spreadsheet cell texts, and the result block of a transfer.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/NumericText.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/DatumShift.h"
#include "operations/TransferKind.h"

namespace utm {

/// One row of a point block: X (easting, metres) in column 0, Y (northing) in column 1.
using PointRow = std::array<double, 2>;
using PointBlock = std::vector<PointRow>;

/// A cell of a result block; empty when no transfer wrote it.
using ResultCell = std::optional<double>;
using ResultRow = std::array<ResultCell, 2>;
using ResultBlock = std::vector<ResultRow>;

/// A point of a block that cannot be transferred: an arithmetic error of the
/// transfer, or a spreadsheet cell that is not a number.
class PointTransferError : public ArithmeticError {
  public:
    PointTransferError(std::size_t row, const std::string& what);
    /// The row of the block, from 0.
    std::size_t row() const { return row_; }

  private:
    std::size_t row_;
};

/// The pair (X, Y) of one data-file line: the line split at every `delimiter`;
/// exactly two fields give X and Y, each field that is not a number (see
/// ParseLocaleNumber) giving 0; any other number of fields gives (0, 0).
PointRow SplitPointLine(std::string_view line, char delimiter, char decimalSeparator = '.');

/// The pair of a line already split into exactly two fields (SplitPointLine
/// after the split).
PointRow PointFromFields(std::string_view first, std::string_view second, char decimalSeparator);

/// The result block of `points` for the transfer at list position `kind`:
/// one transformation (TransformOfKind) serves all rows, row i of the result
/// holds the transferred (X', Y') of row i. `shift` acts on the transfers
/// that cross between WGS 84 and Everest 1830 (2, 3, 6, 7); with none (the
/// default) every result equals ClsUTM's transfer bit for bit. With no
/// transfer selected (kind -1, or any position outside 0 to 7) every cell of
/// the result stays empty. Throws PointTransferError naming the first row that
/// cannot be transferred.
ResultBlock TransferPoints(int kind, const PointBlock& points, const DatumShift& shift = {});

/// TransferPoints for the rows `first` to `last` - 1 of `points` only, into the
/// same rows of `results` (as many rows as `points`). Rows of a block can be
/// transferred in parts, one part per thread.
void TransferPointRows(int kind, const PointBlock& points, std::size_t first, std::size_t last,
                       ResultBlock& results, const DatumShift& shift = {});

// Values of spreadsheet cells: a text is read by the locale's number rules
// (a text of blanks only counts as an unset value), an unset value counts as 0.
// Throws PointTransferError for `row` when a text is not a number.
double CellValue(std::string_view text, char decimalSeparator, std::size_t row);
double CellValue(const std::optional<std::string>& text, char decimalSeparator, std::size_t row);
inline double CellValue(const std::string& text, char decimalSeparator, std::size_t row) {
    return CellValue(std::string_view(text), decimalSeparator, row);
}
inline double CellValue(const char* text, char decimalSeparator, std::size_t row) {
    return CellValue(std::string_view(text), decimalSeparator, row);
}
inline double CellValue(double value, char, std::size_t) {
    return value;
}

/// The result block of a block of spreadsheet cells (rows from 0, X in column 0
/// and Y in column 1 of each row, further columns ignored), as TransferPoints
/// above, with the datum `shift` of the transfer window. With no transfer
/// selected no cell is read and the result stays empty. A row without a
/// column 1 throws PointTransferError.
template <typename CellBlock>
requires requires(const CellBlock& block, char separator, std::size_t row) {
    CellValue((*std::begin(block))[0], separator, row);
    std::size((*std::begin(block)));
}
ResultBlock TransferPoints(int kind, const CellBlock& cells, char decimalSeparator = '.',
                           const DatumShift& shift = {}) {
    PointBlock points;
    points.reserve(static_cast<std::size_t>(std::size(cells)));
    std::size_t row = 0;
    for (const auto& cellRow : cells) {
        if (!IsTransferKind(kind)) {
            points.push_back({0.0, 0.0});
        } else if (std::size(cellRow) < 2) {
            throw PointTransferError(row, "the row has no second column (Y)");
        } else {
            points.push_back({CellValue(cellRow[0], decimalSeparator, row),
                              CellValue(cellRow[1], decimalSeparator, row)});
        }
        ++row;
    }
    return TransferPoints(kind, points, shift);
}

}  // namespace utm
