#include "spreadsheet/SelectRangePaste.h"

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

// The cell of `rows` at row `i` and column `column` as a number; a cell that
// is no number gives 0 and is added to `report` under sheet row `sheetRow`.
double CellNumber(const SheetRows& rows, std::size_t i, std::size_t column, std::size_t sheetRow,
                  RunReport& report) {
    std::optional<double> number;
    if (i < rows.size() && column < rows[i].size()) number = ToNumber(rows[i][column]);
    if (!number) report.Add(Finding::NotNumber, sheetRow);
    return number.value_or(0.0);
}

// Rounds through the "0.000" text, as the cells receive the results.
double RoundThroughText(double value) {
    return Val(FormatFixed3WithZero(value));
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
        std::optional<CellBlock> block = ParseBlockAddress(selection->address);
        if (!block) {
            ShowProblem(box_, NotOneBlockMessage(selection->address));
            endsub = true;
            return;
        }
        // Rows and columns beyond everything in use hold nothing to convert
        // (Ctrl+A selects the whole sheet). A block cut down to one column
        // keeps its columns, though: its first and last columns are the two
        // inputs, and an empty last column is named as taken as 0 rather than
        // silently replaced by the first.
        Worksheet& sheet = *selection->sheet;
        std::optional<CellBlock> used = ClipToUsedArea(sheet, *block);
        if (!used) {
            ShowProblem(box_, NoDataMessage(selection->address, sheet, "Nothing was converted."));
            endsub = true;
            return;
        }
        if (used->columns() == 1) used->lastColumn = block->lastColumn;
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
        RunReport report;
        std::vector<double> first(rows), last(rows);
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t sheetRow = static_cast<std::size_t>(used->firstRow) + i;
            first[i] = CellNumber(firstColumn, i, 0, sheetRow, report);
            if (oneColumn) {
                last[i] = first[i];
            } else if (width == 2) {
                last[i] = CellNumber(firstColumn, i, 1, sheetRow, report);
            } else {
                last[i] = CellNumber(lastColumn, i, 0, sheetRow, report);
            }
        }

        Sheet = std::move(selection->sheet);
        RangeAddress_ = selection->address;
        FirstRow = used->firstRow;
        LastRow = used->lastRow;
        FirstColumn = used->firstColumn;
        LastColumn = used->lastColumn;
        FirstValues = std::move(first);
        LastValues = std::move(last);
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

    const std::string zeros = TakenAsZero();
    const std::string zerosLine = zeros.empty() ? "" : "\r\n" + zeros;
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
    if (!zeros.empty()) {
        ShowProblem(box_, RowsWrittenText(FirstRow, LastRow) + zerosLine);
    }
}

std::string SelectRangePaste::TakenAsZero() const {
    if (!Sheet) return "";
    return TakenAsZeroSentence(report_, {FirstRow, FirstColumn, LastRow, LastColumn},
                               SheetLabel(*Sheet));
}

void SelectRangePaste::WriteResults(int rowCount) {
    if (rowCount <= 0) return;
    SheetRows rows(static_cast<std::size_t>(rowCount));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {FirstResults[i], SecondResults[i]};
    }
    Sheet->SetValues(FirstRow, LastColumn + 1, rows);
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
