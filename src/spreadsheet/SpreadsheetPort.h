// The spreadsheet application as the spreadsheet operations see it: exactly
// the members they call. The desktop program talks to LibreOffice Calc over
// UNO (calc/CalcSpreadsheet.h); tests use an in-memory sheet.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/OperationError.h"

namespace utm {

/// A block of cells given by two corners; rows and columns count from 1, as
/// the spreadsheet counts them.
struct CellBlock {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;

    int rows() const { return lastRow - firstRow + 1; }
    int columns() const { return lastColumn - firstColumn + 1; }
    /// rows() × columns(), without overflow for the largest sheets.
    long long cells() const { return static_cast<long long>(rows()) * columns(); }
    bool operator==(const CellBlock&) const = default;
};

/// One cell's content as the spreadsheet hands it over: empty, a number (its
/// stored value, whatever the cell's number format shows) or a text.
using SheetValue = std::variant<std::monostate, double, std::string>;
/// A block of cell contents, row by row; every row has the block's width.
using SheetRows = std::vector<std::vector<SheetValue>>;

/// A spreadsheet call that failed: no application, a workbook that cannot be
/// opened, cells the application refuses to change, an application that died.
/// `what()` is a sentence for the user.
class SpreadsheetError : public OperationError {
  public:
    using OperationError::OperationError;
};

/// One worksheet, bound once and then used for every cell access of a request,
/// even if the user activates another sheet meanwhile.
class Worksheet {
  public:
    virtual ~Worksheet() = default;

    /// The sheet's name, as its tab shows it.
    virtual std::string Name() = 0;
    /// The title of the workbook that holds the sheet ("points.ods").
    virtual std::string WorkbookName() = 0;
    /// True when `other` is this very sheet of this very workbook.
    virtual bool SameSheet(const Worksheet& other) const = 0;

    /// The smallest block holding every used cell of the sheet; nothing when
    /// the sheet is empty.
    virtual std::optional<CellBlock> UsedArea() = 0;
    /// True when every row from `firstRow` to `lastRow` is hidden (by a
    /// filter, or by hand).
    virtual bool RowsHidden(int firstRow, int lastRow) = 0;
    /// The contents of `block`, in one call: numbers as stored, texts as typed.
    virtual SheetRows GetValues(const CellBlock& block) = 0;
    /// Writes `rows` (all of one width) with its top-left cell at
    /// (`topRow`, `leftColumn`), in one call, overwriting what was there.
    /// Nothing is written when the application refuses a cell (a protected
    /// sheet); the error says why.
    virtual void SetValues(int topRow, int leftColumn, const SheetRows& rows) = 0;
    /// Makes `block` the selection of this sheet.
    virtual void Select(const CellBlock& block) = 0;
    /// Makes the whole columns `firstColumn` to `lastColumn` the selection.
    virtual void SelectColumns(int firstColumn, int lastColumn) = 0;
    /// Font of every cell of `block`; `style` is "Regular", "Bold", ...
    virtual void SetFont(const CellBlock& block, const std::string& name, double size,
                         const std::string& style) = 0;
    /// Fits the widths of the block's columns to their contents.
    virtual void AutoFitColumns(const CellBlock& block) = 0;
    /// The width of each column of `block`, left to right, in the sheet's unit.
    virtual std::vector<double> ColumnWidths(const CellBlock& block) = 0;
    /// Sets the width of each column of `block`, left to right.
    virtual void SetColumnWidths(const CellBlock& block, const std::vector<double>& widths) = 0;
};

/// The current selection together with the sheet that holds it, read at one
/// moment so that what the user confirms is what the request then uses.
struct SheetSelection {
    /// Row/column notation: "R2C3:R10C4" for a block, "R2C3" for one cell,
    /// "R2:R5" for whole rows, "C1:C3" for whole columns, blocks joined by ","
    /// for several.
    std::string address;
    std::shared_ptr<Worksheet> sheet;
};

/// The spreadsheet application. Every member may throw SpreadsheetError.
class SpreadsheetPort {
  public:
    virtual ~SpreadsheetPort() = default;

    /// Binds to the running application; false when none runs (or one is
    /// just shutting down).
    virtual bool BindRunning() = 0;
    /// Starts a new application holding a new empty spreadsheet and binds to it.
    virtual void StartNew() = 0;
    /// Binds the workbook stored at `path`, opening it (and starting the
    /// application) when needed; it becomes the current workbook.
    virtual void BindWorkbook(const std::string& path) = 0;
    /// Makes the application and its first window visible.
    virtual void Show() = 0;
    /// The address of the current selection and the sheet it lies on.
    virtual SheetSelection Selection() = 0;
    /// The active sheet of the current workbook.
    virtual std::shared_ptr<Worksheet> ActiveSheet() = 0;
    /// The text a Copy of the current selection gives, without touching the
    /// system clipboard: cells separated by TAB, every row ended by CR LF,
    /// numbers as displayed.
    virtual std::string CopySelectionText() = 0;
};

}  // namespace utm
