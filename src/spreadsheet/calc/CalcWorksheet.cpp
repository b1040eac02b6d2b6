#include "spreadsheet/calc/CalcWorksheet.h"

#include <cmath>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include "spreadsheet/RangeAddress.h"

namespace utm {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

SheetValue FromAny(const Any& cell) {
    double number = 0;
    if (cell >>= number) return number;
    OUString text;
    if ((cell >>= text) && !text.isEmpty()) return ToUtf8(text);
    return std::monostate();
}

Any ToAny(const SheetValue& value) {
    if (const double* number = std::get_if<double>(&value)) return Any(*number);
    if (const std::string* text = std::get_if<std::string>(&value)) return Any(ToOUString(*text));
    return Any(OUString());  // an empty cell
}

Reference<css::container::XIndexAccess> ColumnsOf(const Reference<css::table::XCellRange>& range) {
    Reference<css::table::XColumnRowRange> columns(range, UNO_QUERY_THROW);
    return Reference<css::container::XIndexAccess>(columns->getColumns(), UNO_QUERY_THROW);
}

}  // namespace

std::string CalcWorksheet::Name() {
    return connection_.Guarded([&] {
        return ToUtf8(Reference<css::container::XNamed>(sheet_, UNO_QUERY_THROW)->getName());
    });
}

std::string CalcWorksheet::WorkbookName() {
    return connection_.Guarded(
        [&] { return ToUtf8(Reference<css::frame::XTitle>(model_, UNO_QUERY_THROW)->getTitle()); });
}

bool CalcWorksheet::SameSheet(const Worksheet& other) const {
    const auto* calc = dynamic_cast<const CalcWorksheet*>(&other);
    if (calc == nullptr) return false;
    // Calc makes a new object for a sheet each time one is asked for, so the
    // sheets are compared by workbook (one object per document) and name
    // (unique within a workbook).
    return connection_.Guarded([&] {
        if (calc->model_ != model_) return false;
        auto name = [](const Reference<css::sheet::XSpreadsheet>& sheet) {
            return Reference<css::container::XNamed>(sheet, UNO_QUERY_THROW)->getName();
        };
        return name(calc->sheet_) == name(sheet_);
    });
}

std::optional<CellBlock> CalcWorksheet::UsedArea() {
    return connection_.Guarded([&]() -> std::optional<CellBlock> {
        Reference<css::sheet::XSheetCellCursor> cursor = sheet_->createCursor();
        Reference<css::sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
        used->gotoStartOfUsedArea(false);
        used->gotoEndOfUsedArea(true);
        const css::table::CellRangeAddress a =
            Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)
                ->getRangeAddress();
        const CellBlock block{a.StartRow + 1, a.StartColumn + 1, a.EndRow + 1, a.EndColumn + 1};
        // An empty sheet reports its first cell.
        if (block.cells() == 1 && sheet_->getCellByPosition(a.StartColumn, a.StartRow)->getType() ==
                                      css::table::CellContentType_EMPTY) {
            return std::nullopt;
        }
        return block;
    });
}

bool CalcWorksheet::RowsHidden(int firstRow, int lastRow) {
    return connection_.Guarded([&] {
        // The visible cells of the rows' first column: none when all are hidden.
        Reference<css::sheet::XCellRangesQuery> query(Range({firstRow, 1, lastRow, 1}),
                                                      UNO_QUERY_THROW);
        Reference<css::sheet::XSheetCellRanges> visible = query->queryVisibleCells();
        return !visible.is() || visible->getRangeAddresses().getLength() == 0;
    });
}

SheetRows CalcWorksheet::GetValues(const CellBlock& block) {
    return connection_.Guarded(
        [&] {
            Reference<css::sheet::XCellRangeData> data(Range(block), UNO_QUERY_THROW);
            const Sequence<Sequence<Any>> array = data->getDataArray();
            SheetRows rows;
            rows.reserve(static_cast<std::size_t>(array.getLength()));
            for (const Sequence<Any>& row : array) {
                std::vector<SheetValue> cells;
                cells.reserve(static_cast<std::size_t>(row.getLength()));
                for (const Any& cell : row) cells.push_back(FromAny(cell));
                rows.push_back(std::move(cells));
            }
            return rows;
        },
        [&] { return Refusal("read", block); });
}

void CalcWorksheet::SetValues(int topRow, int leftColumn, const SheetRows& rows) {
    if (rows.empty() || rows.front().empty()) return;
    const auto width = static_cast<sal_Int32>(rows.front().size());
    const CellBlock block{topRow, leftColumn, topRow + static_cast<int>(rows.size()) - 1,
                          leftColumn + width - 1};
    connection_.Guarded(
        [&] {
            Sequence<Sequence<Any>> array(static_cast<sal_Int32>(rows.size()));
            Sequence<Any>* out = array.getArray();
            for (const auto& row : rows) {
                Sequence<Any> cells(width);
                Any* cell = cells.getArray();
                for (sal_Int32 j = 0; j < width; ++j) {
                    cell[j] = ToAny(row.at(static_cast<std::size_t>(j)));
                }
                *out++ = std::move(cells);
            }
            Reference<css::sheet::XCellRangeData> data(Range(block), UNO_QUERY_THROW);
            data->setDataArray(array);
        },
        [&] { return Refusal("write", block); });
}

void CalcWorksheet::Select(const CellBlock& block) {
    connection_.Guarded([&] { SelectRange(Range(block)); });
}

void CalcWorksheet::SelectColumns(int firstColumn, int lastColumn) {
    connection_.Guarded([&] {
        Reference<css::table::XColumnRowRange> ranges(sheet_, UNO_QUERY_THROW);
        const int rows = ranges->getRows()->getCount();
        SelectRange(Range({1, firstColumn, rows, lastColumn}));
    });
}

void CalcWorksheet::SetFont(const CellBlock& block, const std::string& name, double size,
                            const std::string& style) {
    connection_.Guarded(
        [&] {
            Reference<css::beans::XPropertySet> properties(Range(block), UNO_QUERY_THROW);
            const bool bold = style.find("Bold") != std::string::npos;
            const bool italic = style.find("Italic") != std::string::npos;
            properties->setPropertyValue("CharFontName", Any(ToOUString(name)));
            properties->setPropertyValue("CharHeight", Any(static_cast<float>(size)));
            properties->setPropertyValue("CharWeight", Any(bold ? css::awt::FontWeight::BOLD
                                                                : css::awt::FontWeight::NORMAL));
            properties->setPropertyValue(
                "CharPosture", Any(italic ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE));
        },
        [&] { return Refusal("format", block); });
}

void CalcWorksheet::AutoFitColumns(const CellBlock& block) {
    connection_.Guarded(
        [&] {
            Reference<css::beans::XPropertySet> columns(ColumnsOf(Range(block)), UNO_QUERY_THROW);
            columns->setPropertyValue("OptimalWidth", Any(true));
        },
        [&] { return Refusal("fit the columns of", block); });
}

std::vector<double> CalcWorksheet::ColumnWidths(const CellBlock& block) {
    return connection_.Guarded([&] {
        Reference<css::container::XIndexAccess> columns = ColumnsOf(Range(block));
        std::vector<double> widths;
        for (sal_Int32 i = 0; i < columns->getCount(); ++i) {
            Reference<css::beans::XPropertySet> column(columns->getByIndex(i), UNO_QUERY_THROW);
            sal_Int32 width = 0;
            column->getPropertyValue("Width") >>= width;
            widths.push_back(width);
        }
        return widths;
    });
}

void CalcWorksheet::SetColumnWidths(const CellBlock& block, const std::vector<double>& widths) {
    connection_.Guarded(
        [&] {
            Reference<css::container::XIndexAccess> columns = ColumnsOf(Range(block));
            for (sal_Int32 i = 0; i < columns->getCount(); ++i) {
                Reference<css::beans::XPropertySet> column(columns->getByIndex(i), UNO_QUERY_THROW);
                column->setPropertyValue("Width", Any(static_cast<sal_Int32>(std::lround(
                                                      widths.at(static_cast<std::size_t>(i))))));
            }
        },
        [&] { return Refusal("widen the columns of", block); });
}

Reference<css::table::XCellRange> CalcWorksheet::Range(const CellBlock& block) {
    Reference<css::table::XColumnRowRange> ranges(sheet_, UNO_QUERY_THROW);
    const int rowCount = ranges->getRows()->getCount();
    const int columnCount = ranges->getColumns()->getCount();
    if (block.firstRow < 1 || block.firstColumn < 1 || block.lastRow > rowCount ||
        block.lastColumn > columnCount) {
        throw SpreadsheetError(
            "The cells " + std::to_string(block.firstRow) + "," +
            std::to_string(block.firstColumn) + " to " + std::to_string(block.lastRow) + "," +
            std::to_string(block.lastColumn) + " (row, column) lie outside the sheet.");
    }
    return sheet_->getCellRangeByPosition(block.firstColumn - 1, block.firstRow - 1,
                                          block.lastColumn - 1, block.lastRow - 1);
}

void CalcWorksheet::SelectRange(const Reference<css::table::XCellRange>& range) {
    Reference<css::frame::XController> controller = model_->getCurrentController();
    if (!controller.is()) throw SpreadsheetError("The workbook has no window in LibreOffice Calc.");
    Reference<css::frame::XFrame> frame = controller->getFrame();
    if (frame.is()) frame->activate();
    // The sheet is the one the user confirmed, normally the active one
    // already; it is only made active when the selection has to go there.
    Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY_THROW);
    if (view->getActiveSheet() != sheet_) view->setActiveSheet(sheet_);
    Reference<css::view::XSelectionSupplier> selection(controller, UNO_QUERY_THROW);
    selection->select(Any(range));
}

std::string CalcWorksheet::Refusal(const char* what, const CellBlock& block) {
    std::string text =
        "LibreOffice Calc refused to " + std::string(what) + " the cells " +
        FormatBlockAddress(block) + " of the sheet \"" +
        ToUtf8(Reference<css::container::XNamed>(sheet_, UNO_QUERY_THROW)->getName()) + "\"";
    Reference<css::util::XProtectable> protection(sheet_, UNO_QUERY);
    if (protection.is() && protection->isProtected()) {
        return text +
               ": the sheet is protected. Remove its protection (Tools > Protect Sheet) or "
               "choose cells on another sheet, then repeat the request.";
    }
    return text + ".";
}

}  // namespace utm
