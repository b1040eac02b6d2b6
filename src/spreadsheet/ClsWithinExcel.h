// The block exchange of the transfer window: `GetVals` hands over the texts of
// a block the user selects in the spreadsheet, `WriteToExcel` writes a
// two-column block from a cell the user points at.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/MessageBoxPort.h"
#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

inline constexpr const char* kExcelNotOpened = "Excel is not Opened\r\n New Excel will be opened";
inline constexpr const char* kLocateOutputPrompt = "Locate the Pointer on Excel for Output";

/// Cell texts of a block, row by row from 0; every row has as many elements as
/// the block's first row has cells; an element nothing was read into is unset.
using CellTexts = std::vector<std::vector<std::optional<std::string>>>;
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

class ClsWithinExcel {
  public:
    /// The exchange file is created in `tempFolder`.
    ClsWithinExcel(SpreadsheetPort& app, MessageBoxPort& box,
                   std::string tempFolder = DefaultTempFolder())
        : App(app), box_(box), tempFolder_(std::move(tempFolder)) {}

    /// Asks for a block and returns its cell texts (the displayed texts), or
    /// nothing when the user cancelled or the block could not be taken (said in
    /// a message). The block becomes the spreadsheet's selection; the system
    /// clipboard is left alone.
    std::optional<CellTexts> GetVals();

    /// Asks for an output position (the prompt twice, then the dialogue) and
    /// writes `Vals(i, 0)` and `Vals(i, 1)` to the cells (row1 + i, column1) and
    /// (row1 + i, column1 + 1) of the chosen block's top-left cell, in one call;
    /// rows below a short selection are written too.
    void WriteToExcel(const ExcelRows& Vals);

  private:
    bool ConnectExcel();
    std::string AskForRange(const std::string& prompt);
    std::string CopyRangeToTempFile(const CellBlock& block);
    CellTexts ReadTempFile(const std::string& path);

    SpreadsheetPort& App;
    MessageBoxPort& box_;
    std::string tempFolder_;
    std::shared_ptr<Worksheet> Sheet;
};

/// The transfer window's "Within Excel" (`Command2_Click`): takes the block
/// with `GetVals`, transfers it with `transfer` and writes the result with
/// `WriteToExcel` on the same object. No block or no rows: nothing more. A
/// block of one column or a transfer error (ArithmeticError): a message,
/// nothing written.
void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box,
                         const std::function<ExcelRows(const CellTexts&)>& transfer);

}  // namespace utm
