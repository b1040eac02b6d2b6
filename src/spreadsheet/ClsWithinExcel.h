// The block exchange of the transfer window: `GetVals` hands over the cells of
// a block the user selects in the spreadsheet, `WriteToExcel` writes a
// two-column block from a cell the user points at.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/MessageBoxPort.h"
#include "spreadsheet/SelectionDialogue.h"
#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

inline constexpr const char* kExcelNotOpened = "Excel is not Opened\r\n New Excel will be opened";
inline constexpr const char* kLocateOutputPrompt = "Locate the Pointer on Excel for Output";

/// Cell texts of a block as the exchange file holds them, row by row from 0;
/// every row has as many elements as the block's first row has cells; an
/// element nothing was read into is unset.
using CellTexts = std::vector<std::vector<std::optional<std::string>>>;
/// One cell of a block from GetVals: the stored value of a number cell, the
/// displayed text of any other.
using CellContent = std::variant<std::string, double>;
/// The block GetVals returns: the shape of CellTexts, numbers as stored.
using BlockCells = std::vector<std::vector<std::optional<CellContent>>>;
/// Rows to write: column 0 and column 1 of each; an unset value empties its cell.
using ExcelRows = std::vector<std::array<std::optional<double>, 2>>;

/// The folder for private temporary files: $TMPDIR, else /tmp.
std::string DefaultTempFolder();

/// Writes `text` into a new private file in `folder` (created exclusively,
/// readable by the owner only) and returns its path. The text is completed to
/// end with CR LF when it does not, then one more CR LF follows, so the file
/// always ends with an empty line. Throws std::system_error.
std::string WriteExchangeFile(const std::string& folder, std::string_view text);

/// The block in an exchange file, which is deleted in every case: one row per
/// line except the last line; the width is that of the first line split at
/// TAB; an empty line leaves its row unset, a short line fills what it holds,
/// fields beyond the width are dropped. Throws std::system_error.
CellTexts ReadExchangeFile(const std::string& path);

/// `texts` with every cell that `values` (the same block read as stored
/// contents) holds a number in replaced by that number, so that a number
/// shown rounded or in another notation keeps all its digits. When the
/// texts have not one row per row of the block (a cell text holding a line
/// break), the block is taken from `values` alone.
BlockCells MergeStoredNumbers(const CellTexts& texts, const SheetRows& values);

class ClsWithinExcel {
  public:
    /// The exchange file is created in `tempFolder`.
    ClsWithinExcel(SpreadsheetPort& app, MessageBoxPort& box,
                   std::string tempFolder = DefaultTempFolder())
        : App(app), box_(box), tempFolder_(std::move(tempFolder)) {}

    /// Asks for a block and returns its cells (numbers as stored, other cells
    /// as displayed), read from the sheet of the confirmed selection with the
    /// rows and columns beyond the sheet's used area cut off; or nothing when
    /// the user cancelled or the block could not be taken (said in a
    /// message). The block becomes the spreadsheet's selection; the system
    /// clipboard is left alone.
    std::optional<BlockCells> GetVals();

    /// Asks for an output position (the prompt twice, then the dialogue) and
    /// writes `Vals(i, 0)` and `Vals(i, 1)` to the cells (row1 + i, column1) and
    /// (row1 + i, column1 + 1) of the chosen block's top-left cell, on the sheet
    /// of that block, in one call; rows below a short selection are written
    /// too. When the block lies on another sheet than the one GetVals read, the
    /// confirmation names both. Rows marked in `untouched` (by index into
    /// `Vals`) are not written: the cells beside them keep what they hold, and
    /// each run of the other rows is written in one call. True when the rows
    /// were written.
    bool WriteToExcel(const ExcelRows& Vals, const std::vector<bool>& untouched = {});

    /// The block the last GetVals read (after cutting) and its sheet; no
    /// sheet before one.
    const CellBlock& InputBlock() const { return inputBlock_; }
    Worksheet* InputSheet() const { return inputSheet_.get(); }

  private:
    bool ConnectExcel();
    std::optional<SheetSelection> AskForRange(const std::string& prompt,
                                              const ConfirmationNote& note = {});
    std::string CopyRangeToTempFile(const CellBlock& block);
    CellTexts ReadTempFile(const std::string& path);

    SpreadsheetPort& App;
    MessageBoxPort& box_;
    std::string tempFolder_;
    /// The sheet of the running operation: bound by ConnectExcel, then the
    /// sheet of the confirmed selection.
    std::shared_ptr<Worksheet> Sheet;
    std::shared_ptr<Worksheet> inputSheet_;
    CellBlock inputBlock_;
};

/// The transfer of the rows of a block that hold points: their cells, and
/// the sheet row of each, for naming a row that cannot be transferred.
using BlockTransfer =
    std::function<ExcelRows(const BlockCells& rows, const std::vector<int>& sheetRows)>;

/// The transfer window's "Within Excel" (`Command2_Click`): takes the block
/// with `GetVals`, transfers the rows that hold points with `transfer` and
/// writes the result with `WriteToExcel` on the same object. The X and Y
/// cells (the first two columns) sort the rows as SheetRowSorter does, texts
/// read with `decimalSeparator`: header and blank rows are not transferred
/// and nothing is written beside them; a row whose X or Y cell holds no
/// number is not transferred, gets empty result cells and is named in a
/// message once the results are written. No block or no rows: nothing more.
/// A block of one column, a block of header and blank rows only, or a
/// transfer error (ArithmeticError): a message, nothing written.
void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box, const BlockTransfer& transfer,
                         char decimalSeparator = '.');

}  // namespace utm
