// A person at LibreOffice Calc, for tests and benchmarks: a second UNO
// connection to the office the program under test uses, which switches
// sheets, selects and types cells, formats and protects them, saves the
// workbook and ends the office, as the person would between two prompts.
#pragma once

#include <string>
#include <vector>

#include "spreadsheet/SpreadsheetPort.h"

namespace utm::test {

struct CalcFont {
    std::string name;
    double size = 0;
    std::string style;  ///< "Regular", "Bold", "Italic" or "Bold Italic"
};

class CalcUser {
  public:
    /// Connects to the office on `pipeName`; throws SpreadsheetError when none answers.
    explicit CalcUser(const std::string& pipeName);
    ~CalcUser();
    CalcUser(const CalcUser&) = delete;
    CalcUser& operator=(const CalcUser&) = delete;

    // All on the workbook in front (the office's current spreadsheet).

    /// Adds a sheet after the last one.
    void AddSheet(const std::string& name);
    /// Shows `sheet`, as a click on its tab does.
    void ActivateSheet(const std::string& sheet);
    std::string ActiveSheetName();
    /// Shows `sheet` and selects `block` on it.
    void Select(const std::string& sheet, const CellBlock& block);
    /// Filters the list `block` (its first row the header) with a standard
    /// filter that shows only the rows whose cell in `column` holds `keep`.
    void FilterRows(const std::string& sheet, const CellBlock& block, int column, double keep);
    /// Selects the visible cells of `block`, as a drag over a filtered list does.
    void SelectVisible(const std::string& sheet, const CellBlock& block);
    /// The address of the selection, as "R2C3:R10C4".
    std::string SelectionAddress();

    void Put(const std::string& sheet, int row, int column, const SheetRows& rows);
    SheetValue Cell(const std::string& sheet, int row, int column);
    /// The text the cell shows.
    std::string Shown(const std::string& sheet, int row, int column);
    /// Gives the cells of `block` the number format `format` ("0", "0.00E+00").
    void SetNumberFormat(const std::string& sheet, const CellBlock& block,
                         const std::string& format);
    /// Protects `sheet` (no password): its cells can no longer be changed.
    void Protect(const std::string& sheet);
    CalcFont Font(const std::string& sheet, int row, int column);
    std::vector<double> ColumnWidths(const std::string& sheet, const CellBlock& block);

    /// Saves the workbook at `path`; `filter` names the office's export
    /// filter ("Calc MS Excel 2007 XML", "MS Excel 97"), empty for .ods. A
    /// `copy` is stored there while the workbook stays where it was.
    void SaveAs(const std::string& path, const std::string& filter = "", bool copy = false);

    /// The office's clipboard as plain text (empty when it holds none), and
    /// putting a text on it.
    std::string ClipboardText();
    void SetClipboardText(const std::string& text);

    /// True while the office answers this connection.
    bool OfficeAnswers();
    /// Ends the office with Desktop.terminate() and waits until no connection
    /// can be made on its pipe any more.
    void TerminateOffice();

  private:
    struct Impl;
    Impl* impl_;
};

}  // namespace utm::test
