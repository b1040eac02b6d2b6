#include "spreadsheet/SelectRangePaste.h"

#include <algorithm>
#include <optional>

#include "common/NumberFormat.h"
#include "common/NumericText.h"
#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/Declaration.h"
#include "geodesy/ProjectionDomain.h"
#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/SelectionDialogue.h"
#include "spreadsheet/SheetBlock.h"

namespace utm {

namespace {

// A cell's value as a number: numbers as stored, a text that is a number read
// with "." as decimal point; anything else (empty, heading text) is nothing.
std::optional<double> ToNumber(const SheetValue& value) {
    if (const double* number = std::get_if<double>(&value)) return *number;
    if (const std::string* text = std::get_if<std::string>(&value)) {
        if (IsNumeric(*text)) return Val(*text);
    }
    return std::nullopt;
}

// The cell of `rows` at row `i` and column `column`; empty beyond the rows read.
const SheetValue& CellAt(const SheetRows& rows, std::size_t i, std::size_t column) {
    static const SheetValue kEmpty;
    if (i < rows.size() && column < rows[i].size()) return rows[i][column];
    return kEmpty;
}

// The number of a coordinate cell of a row with a point: a number as read
// before (numbers as stored, texts with "." as decimal point); a partial
// number ("27.7°") gives 0 and is added to `report` under sheet row `sheetRow`.
double CellNumber(const SheetValue& cell, CoordinateReading reading, double value,
                  std::size_t sheetRow, RunReport& report) {
    if (const std::optional<double> number = ToNumber(cell)) return *number;
    if (reading == CoordinateReading::Number) return value;
    report.Add(Finding::NotNumber, sheetRow);
    return 0.0;
}

// Rounds through the "0.000" text, as the cells receive the results.
double RoundThroughText(double value) {
    return Val(FormatFixed3WithZero(value));
}

// "5 rows received their results." for a block whose rows did not all get them.
std::string PointRowsText(std::size_t rows) {
    if (rows == 0) return "No row received results.";
    return std::to_string(rows) + (rows == 1 ? " row received its" : " rows received their") +
           " results.";
}

std::string RowsWrittenText(int firstRow, int lastWrittenRow) {
    if (lastWrittenRow < firstRow) return "No row received results.";
    if (lastWrittenRow == firstRow) {
        return "Row " + std::to_string(firstRow) + " received its results.";
    }
    return "Rows " + std::to_string(firstRow) + " to " + std::to_string(lastWrittenRow) +
           " received their results.";
}

}  // namespace

std::string SelectRangePaste::ChooseDataWorkbook(CommonDialog& dialog) {
    dialog.Filter = kWorkbookFilter;
    dialog.DialogTitle = kWorkbookDialogTitle;
    dialog.ShowOpen();
    std::string path = dialog.FileName;
    if (path.empty()) box_.Inform(kSelectDataFileMissing);
    return path;
}

void SelectRangePaste::ReadSheet(CommonDialog& CommonDialog1, bool& endsub) {
    const std::string path = ChooseDataWorkbook(CommonDialog1);
    // No workbook can be bound from an empty name: the message just shown
    // ends the request.
    if (path.empty()) {
        endsub = true;
        return;
    }
    try {
        App.BindWorkbook(path);
        if (!App.BindRunning()) {
            ShowProblem(box_, "LibreOffice Calc is not running.");
            endsub = true;
            return;
        }
        std::optional<SheetSelection> selection =
            RunSelectionDialogue(App, box_, kSelectDataPrompt);
        if (!selection) {
            endsub = true;
            return;
        }
        std::optional<CellBlock> block = ParseSelectedPart(selection->address);
        if (!block) {
            ShowProblem(box_, NotOneBlockMessage(selection->address, selection->sheet.get()));
            endsub = true;
            return;
        }
        // Rows and columns beyond everything in use hold nothing to convert
        // (Ctrl+A selects the whole sheet, a click on a column's head the
        // whole column). A block cut down to one column keeps its columns,
        // though: its first and last columns are the two inputs, and an empty
        // last column is named as taken as 0 rather than silently replaced by
        // the first. Whole rows have no last column of their own to keep.
        Worksheet& sheet = *selection->sheet;
        std::optional<CellBlock> used = ClipToUsedArea(sheet, *block);
        if (!used) {
            ShowProblem(box_, NoDataMessage(selection->address, sheet, "Nothing was converted."));
            endsub = true;
            return;
        }
        if (used->columns() == 1 && block->lastColumn != kSheetEdge) {
            used->lastColumn = block->lastColumn;
        }
        const bool oneColumn = used->firstColumn == used->lastColumn;
        RequireReadableSize(selection->address, *used,
                            static_cast<long long>(used->rows()) * (oneColumn ? 1 : 2));

        // The two input columns, in one call when they are next to each other;
        // one column is read once and serves as both inputs (each cell counts once).
        const auto rows = static_cast<std::size_t>(used->rows());
        const int width = used->columns();
        SheetRows firstColumn, lastColumn;
        if (width <= 2) {
            firstColumn = sheet.GetValues(*used);
        } else {
            firstColumn = sheet.GetValues(
                {used->firstRow, used->firstColumn, used->lastRow, used->firstColumn});
            lastColumn = sheet.GetValues(
                {used->firstRow, used->lastColumn, used->lastRow, used->lastColumn});
        }
        // Header and blank rows are left alone; a row whose coordinate cell
        // holds no number gets no results and is named after the run.
        RunReport report;
        std::vector<double> first(rows), last(rows);
        std::vector<SheetRowUse> uses(rows);
        SheetRowSorter sorter;
        bool anyRow = false;
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t sheetRow = static_cast<std::size_t>(used->firstRow) + i;
            const SheetValue& a = CellAt(firstColumn, i, 0);
            const SheetValue& b = oneColumn    ? a
                                  : width == 2 ? CellAt(firstColumn, i, 1)
                                               : CellAt(lastColumn, i, 0);
            const SheetRow row = sorter.Next(a, b);
            uses[i] = row.use;
            if (row.use == SheetRowUse::Skip) continue;
            anyRow = true;
            if (row.use == SheetRowUse::NoPoint) {
                report.Add(Finding::NoNumber, sheetRow);
                continue;
            }
            first[i] = CellNumber(a, row.first, row.firstValue, sheetRow, report);
            // One column serves as both inputs; its cell counts once.
            last[i] =
                oneColumn ? first[i] : CellNumber(b, row.second, row.secondValue, sheetRow, report);
        }
        if (!anyRow) {
            ShowProblem(box_, "The selected block " + selection->address + " on " +
                                  SheetLabel(sheet) +
                                  " holds only header and blank rows. Nothing was converted.");
            endsub = true;
            return;
        }

        Sheet = std::move(selection->sheet);
        RangeAddress_ = selection->address;
        FirstRow = used->firstRow;
        LastRow = used->lastRow;
        FirstColumn = used->firstColumn;
        LastColumn = used->lastColumn;
        FirstValues = std::move(first);
        LastValues = std::move(last);
        Uses = std::move(uses);
        FirstResults.assign(rows, 0.0);
        SecondResults.assign(rows, 0.0);
        report_ = report;
        haveBlock_ = true;
    } catch (const OperationError& error) {
        ShowProblem(box_, error.what());
        endsub = true;
    }
}

void SelectRangePaste::ComputePaste(bool forward, LatLongDatum datum, Units units) {
    if (!haveBlock_) return;
    const LatLongSide side(datum);
    const int count = LastRow - FirstRow + 1;
    int converted = 0;
    std::string failure;
    for (; converted < count; ++converted) {
        const auto i = static_cast<std::size_t>(converted);
        if (Uses[i] != SheetRowUse::Point) continue;
        try {
            if (forward) {
                ConvertLatLongToXY(side, DegreesToRadians(FirstValues[i]),
                                   DegreesToRadians(LastValues[i]));
                FirstResults[i] = RoundThroughText(Declaration::SharedX);
                SecondResults[i] = RoundThroughText(Declaration::SharedY);
            } else {
                ConvertXYToLatLong(side, FirstValues[i], LastValues[i]);
                double latitude = RadiansToDegrees(Declaration::SharedLat);
                double longitude = RadiansToDegrees(Declaration::SharedLong);
                RequireFinite("the conversion to degrees", latitude, longitude);
                if (units == Units::DegreesMetres) {
                    FirstResults[i] = RoundThroughText(latitude);
                    SecondResults[i] = RoundThroughText(longitude);
                } else {
                    FirstResults[i] = RoundAngleForUnits(latitude, units);
                    SecondResults[i] = RoundAngleForUnits(longitude, units);
                }
            }
        } catch (const ArithmeticError& error) {
            failure = error.what();
            break;
        }
    }

    std::string zerosLine;
    for (const std::string& sentence : {TakenAsZero(), NoPoints()}) {
        if (!sentence.empty()) zerosLine += "\r\n" + sentence;
    }
    try {
        WriteResults(converted);
    } catch (const OperationError& error) {
        ShowProblem(box_, std::string(error.what()) + "\r\nNo result was written.");
        return;
    }
    if (!failure.empty()) {
        const int row = FirstRow + converted;
        ShowProblem(box_, "Row " + std::to_string(row) + " cannot be converted: " + failure +
                              "\r\n" + RowsWrittenText(FirstRow, row - 1) + " The rows from " +
                              std::to_string(row) + " on received none." + zerosLine);
        return;
    }
    try {
        FinishFormat();
    } catch (const OperationError& error) {
        ShowProblem(box_, std::string(error.what()) +
                              "\r\nThe results were written; the sheet was not formatted." +
                              zerosLine);
        return;
    }
    if (!zerosLine.empty()) {
        const auto points =
            static_cast<std::size_t>(std::count(Uses.begin(), Uses.end(), SheetRowUse::Point));
        ShowProblem(box_, (points == Uses.size() ? RowsWrittenText(FirstRow, LastRow)
                                                 : PointRowsText(points)) +
                              zerosLine);
    }
}

std::string SelectRangePaste::TakenAsZero() const {
    if (!Sheet) return "";
    return TakenAsZeroSentence(report_, {FirstRow, FirstColumn, LastRow, LastColumn},
                               SheetLabel(*Sheet));
}

std::string SelectRangePaste::NoPoints() const {
    if (!Sheet) return "";
    return NoNumberSentence(report_, {FirstRow, FirstColumn, LastRow, LastColumn},
                            SheetLabel(*Sheet));
}

void SelectRangePaste::WriteResults(int rowCount) {
    if (rowCount <= 0) return;
    // Nothing goes beside header and blank rows: each run of other rows is
    // written in one call, a row without a point with its result cells empty.
    std::vector<SheetRowUse> uses(Uses.begin(), Uses.begin() + rowCount);
    for (const auto& [start, length] : WrittenRuns(uses)) {
        SheetRows rows(length);
        for (std::size_t k = 0; k < length; ++k) {
            const std::size_t i = start + k;
            if (Uses[i] == SheetRowUse::Point) {
                rows[k] = {FirstResults[i], SecondResults[i]};
            } else {
                rows[k] = {SheetValue(), SheetValue()};
            }
        }
        Sheet->SetValues(FirstRow + static_cast<int>(start), LastColumn + 1, rows);
    }
}

void SelectRangePaste::FinishFormat() {
    const CellBlock block{FirstRow, FirstColumn, LastRow, LastColumn};
    Sheet->SelectColumns(1, 26);  // "A:z"
    Sheet->SetFont(block, "Times New Roman", 8, "Regular");
    Sheet->AutoFitColumns(block);
    // Each column gets 1.25 times its own fitted width, also when the
    // block's columns differ.
    std::vector<double> widths = Sheet->ColumnWidths(block);
    for (double& width : widths) width *= 1.25;
    Sheet->SetColumnWidths(block, widths);
}

bool Retrieve(const std::function<SelectRangePaste&()>& paste, MessageBoxPort& box,
              CommonDialog& CommonDialog1, std::string_view centralMeridianText,
              ConversionDirection direction, const std::function<void()>& clearDataFileBox,
              LatLongDatum datum, Units units) {
    bool endsub = false;
    Declaration::SharedCM = DegreesToRadians(Val(centralMeridianText));
    bool forward = false;
    if (direction == ConversionDirection::LatLongToXY) {
        forward = true;
    } else if (direction != ConversionDirection::XYToLatLong) {
        return false;
    }
    // A central meridian outside -180 to 360 is refused before the sheet is asked for.
    if (const std::string problem = CentralMeridianProblem(Val(centralMeridianText));
        !problem.empty()) {
        ShowProblem(box, UserSentence(problem) + " Nothing was converted.");
        return false;
    }
    if (box.Show(kSelectDataFilePrompt, MsgButtons::OKCancel, MsgIcon::None, "") ==
        MsgAnswer::Cancel) {
        return false;
    }
    SelectRangePaste& object = paste();
    object.ReadSheet(CommonDialog1, endsub);
    if (endsub) return false;
    if (clearDataFileBox) clearDataFileBox();
    object.ComputePaste(forward, datum, units);
    return true;
}

}  // namespace utm
