// The main window's "Within Excel" conversion: the user picks a workbook,
// selects a block of cells, and every row of the block is converted on the
// Everest 1830 grid of `Declaration::SharedCM`; the two results go into the
// two cells right of the block.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"
#include "common/RunReport.h"
#include "operations/ConversionDirection.h"
#include "operations/LatLongDatum.h"
#include "operations/Units.h"
#include "spreadsheet/SheetBlock.h"
#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

inline constexpr const char* kSelectDataFilePrompt = " Select your Excel Data file.";
inline constexpr const char* kSelectDataFileMissing = "Select the Excel data file";
/// Calc and Excel workbooks first, so that .ods and .xlsx files show at once;
/// the Excel entry of old stays the second.
inline constexpr const char* kWorkbookFilter =
    "Calc and Excel workbooks|*.ods;*.xlsx;*.xls|*.xls (Excel Files)|*.xls|";
inline constexpr const char* kWorkbookDialogTitle = "Select the data file for Sorting";

class SelectRangePaste {
  public:
    SelectRangePaste(SpreadsheetPort& app, MessageBoxPort& box) : App(app), box_(box) {}

    /// Binds the workbook chosen in `CommonDialog1` and the running application,
    /// runs the selection dialogue and reads the block's first and last columns
    /// from the sheet of the confirmed selection, the rows cut at the sheet's
    /// last used row. Sets `endsub` to true when the user cancelled the
    /// selection prompt, and also when the request cannot go on (no workbook
    /// name, a workbook or application that cannot be reached, a selection that
    /// is not one block, holds no data or is too large to read); those are said
    /// in a message. Otherwise leaves `endsub` alone and holds the new block
    /// and its inputs.
    void ReadSheet(CommonDialog& CommonDialog1, bool& endsub);

    /// Converts every row held by the last ReadSheet (`forward`: latitude and
    /// longitude to X and Y, else X and Y to latitude and longitude, degrees),
    /// rounds through "0.000", writes the two results right of the block and
    /// formats the sheet. Header rows (texts above the first row of numbers,
    /// or repeating them) and blank rows are left alone, nothing written
    /// beside them; a row whose coordinate cell holds no number (a text, an
    /// empty cell) gets its result cells emptied and is named in a message
    /// at the end. A row that cannot be converted stops the run: the
    /// rows before it are written, a message names the row, no formatting.
    /// Input cells that were taken as 0 are named in a message at the end.
    /// `datum` is the datum of the latitudes and longitudes: with WGS 84 they
    /// are shifted to Nepal 1981 (EPSG:6208) before the projection, and back
    /// after the inverse. `units` (`Combo3`) rounds the latitudes and
    /// longitudes: through "0.000" with DegreesMetres, to eight decimals with
    /// Degrees8 and Dms (the cells hold decimal degrees as numbers in both).
    void ComputePaste(bool forward, LatLongDatum datum = LatLongDatum::Everest1830,
                      Units units = Units::DegreesMetres);

    /// The address confirmed by the last complete ReadSheet (empty before one).
    const std::string& RangeAddress() const { return RangeAddress_; }

  private:
    std::string ChooseDataWorkbook(CommonDialog& dialog);
    void WriteResults(int rowCount);
    void FinishFormat();
    /// The findings of the read as a sentence; empty when there were none.
    std::string TakenAsZero() const;
    /// The rows without a point as a sentence; empty when there were none.
    std::string NoPoints() const;

    SpreadsheetPort& App;
    MessageBoxPort& box_;
    std::shared_ptr<Worksheet> Sheet;
    std::string RangeAddress_;
    bool haveBlock_ = false;
    int FirstRow = 0, LastRow = 0, FirstColumn = 0, LastColumn = 0;
    // Indexed by sheet row - FirstRow.
    std::vector<double> FirstValues, LastValues, FirstResults, SecondResults;
    /// What each row is to the conversion: header and blank rows are skipped.
    std::vector<SheetRowUse> Uses;
    /// Input cells taken as 0, by sheet row.
    RunReport report_;
};

/// The Retrieve command (`Command6_Click`, `mnuexcelret_Click`): sets
/// `SharedCM` from the central-meridian text (one outside -180 to 360 degrees
/// is refused with a message naming it and the bounds, before anything
/// else is asked), asks " Select your Excel Data
/// file.", then runs ReadSheet and ComputePaste on the window's object, which
/// `paste` hands out (creating it on first use). When a block was read,
/// `clearDataFileBox` runs (the window empties `Text6`) before the conversion.
/// `datum` and `units` are handed to ComputePaste. Returns true when a block
/// was read and converted (with or without errors).
bool Retrieve(const std::function<SelectRangePaste&()>& paste, MessageBoxPort& box,
              CommonDialog& CommonDialog1, std::string_view centralMeridianText,
              ConversionDirection direction, const std::function<void()>& clearDataFileBox,
              LatLongDatum datum = LatLongDatum::Everest1830, Units units = Units::DegreesMetres);

}  // namespace utm
