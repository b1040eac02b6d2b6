// One sheet of a LibreOffice Calc workbook as a Worksheet: cells read and
// written by block in one UNO call each, the selection, fonts and widths.
#pragma once

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include "spreadsheet/SpreadsheetPort.h"
#include "spreadsheet/calc/UnoConnection.h"

namespace utm {

class CalcWorksheet : public Worksheet {
  public:
    /// `connection` must outlive the sheet; `model` is the workbook holding `sheet`.
    CalcWorksheet(UnoConnection& connection, css::uno::Reference<css::frame::XModel> model,
                  css::uno::Reference<css::sheet::XSpreadsheet> sheet)
        : connection_(connection), model_(std::move(model)), sheet_(std::move(sheet)) {}

    std::string Name() override;
    std::string WorkbookName() override;
    bool SameSheet(const Worksheet& other) const override;
    std::optional<CellBlock> UsedArea() override;
    bool RowsHidden(int firstRow, int lastRow) override;
    SheetRows GetValues(const CellBlock& block) override;
    void SetValues(int topRow, int leftColumn, const SheetRows& rows) override;
    void Select(const CellBlock& block) override;
    void SelectColumns(int firstColumn, int lastColumn) override;
    void SetFont(const CellBlock& block, const std::string& name, double size,
                 const std::string& style) override;
    void AutoFitColumns(const CellBlock& block) override;
    std::vector<double> ColumnWidths(const CellBlock& block) override;
    void SetColumnWidths(const CellBlock& block, const std::vector<double>& widths) override;

  private:
    /// The cells of `block`; SpreadsheetError when it reaches outside the sheet.
    css::uno::Reference<css::table::XCellRange> Range(const CellBlock& block);
    void SelectRange(const css::uno::Reference<css::table::XCellRange>& range);
    /// Why the office refused to `what` the cells of `block`: the sheet is
    /// protected, or no reason known.
    std::string Refusal(const char* what, const CellBlock& block);

    UnoConnection& connection_;
    css::uno::Reference<css::frame::XModel> model_;
    css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
};

}  // namespace utm
