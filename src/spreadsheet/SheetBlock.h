// What Retrieve and the block exchange do alike with a confirmed block before
// and after reading it: clip it to the sheet's used area, refuse a block too
// large to read, and name the cells that were taken as 0.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/DataTable.h"
#include "common/RunReport.h"
#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

/// The most cells one request reads from a sheet: 2,000,000, one million rows
/// of two columns. A Retrieve of that size (read, write and format) took
/// LibreOffice Calc to a peak of 0.45 GB and this program to 0.5 GB, and about
/// 13 s, which a 24 GB machine and a person's Calc with other work open
/// survive; a whole sheet (17 billion cells) would not.
inline constexpr long long kMaxCellsRead = 2'000'000;

/// `block` without the rows below the last used row of `sheet` and the
/// columns right of its last used column. The top and left edges stay where
/// the user put them, so that every remaining cell keeps its place in the
/// block. Nothing when no used cell can lie in the block (it starts below or
/// right of everything in use, or the sheet is empty).
std::optional<CellBlock> ClipToUsedArea(Worksheet& sheet, const CellBlock& block);

/// Throws SpreadsheetError, naming the selection and the limit, when reading
/// `cellsRead` cells of the clipped block `used` would go over kMaxCellsRead.
void RequireReadableSize(const std::string& selectedAddress, const CellBlock& used,
                         long long cellsRead);

/// "The selected block R5C1:R9C2 on the sheet "Sheet1" holds no data." plus
/// what became of the request.
std::string NoDataMessage(const std::string& selectedAddress, Worksheet& sheet,
                          const std::string& outcome);

/// `sheet` for a message: the sheet "Sheet1", or the sheet "Sheet1" of
/// "points.ods" when `other` lies in another workbook.
std::string SheetLabel(Worksheet& sheet, Worksheet* other = nullptr);

/// 2000000 as "2,000,000".
std::string GroupedNumber(long long value);

/// "row 4", "rows 4, 7" or "rows 4, 7, 9, 12, 15, …" when there are more.
std::string RowList(const std::vector<std::size_t>& rows, bool more);

/// The sentence on the cells a run took as 0 (the NotNumber findings of
/// `report`, by sheet row): "3 cells of the block R2C1:R9C2 on the sheet
/// "Sheet1" (rows 4, 7) are not numbers: they were taken as 0.", or "... are
/// empty: ..." when `empty`. Empty when there are none.
std::string TakenAsZeroSentence(const RunReport& report, const CellBlock& block,
                                const std::string& sheetLabel, bool empty = false);

/// What a conversion does with one row of a selection.
enum class SheetRowUse {
    Skip,     ///< a header or blank row: left as it is, nothing written beside it
    NoPoint,  ///< a coordinate cell holds no number: its result cells are left empty
    Point,    ///< converted (a partial number in a cell is read as before)
};

/// One row of a selection as its two coordinate cells read.
struct SheetRow {
    SheetRowUse use = SheetRowUse::Skip;
    CoordinateReading first = CoordinateReading::None;
    CoordinateReading second = CoordinateReading::None;
    double firstValue = 0.0;   ///< set for Number
    double secondValue = 0.0;  ///< set for Number
};

/// Sorts the rows of a selection, top to bottom, by their two coordinate
/// cells: a number cell is a number; a text is read with ReadCoordinate;
/// an empty cell holds no number. A row of two empty cells (or blanks) is
/// blank. A row whose two cells hold no number but some text is a header
/// row while no row with a number came before it, or when it repeats the
/// texts of such a row; anywhere else it is a row without a point.
class SheetRowSorter {
  public:
    explicit SheetRowSorter(char decimalSeparator = '.') : decimalSeparator_(decimalSeparator) {}
    SheetRow Next(const SheetValue& first, const SheetValue& second);

  private:
    char decimalSeparator_;
    bool seenNumbers_ = false;
    /// The texts of the header rows above the first row with a number.
    std::vector<std::pair<std::string, std::string>> headers_;
};

/// The sentence on the rows that got no results (the NoNumber findings of
/// `report`, by sheet row): "2 rows of the block R2C1:R9C2 on the sheet
/// "Sheet1" (rows 4, 7) hold no number in a coordinate cell: their result
/// cells were left empty." Empty when there are none.
std::string NoNumberSentence(const RunReport& report, const CellBlock& block,
                             const std::string& sheetLabel);

/// The runs of rows to write, as (first index, count) pairs over `uses`:
/// every row but the Skip ones, consecutive rows in one run.
std::vector<std::pair<std::size_t, std::size_t>> WrittenRuns(const std::vector<SheetRowUse>& uses);

}  // namespace utm
