#include "spreadsheet/SheetBlock.h"

#include <algorithm>

#include "common/NumericText.h"
#include "spreadsheet/RangeAddress.h"

namespace utm {

std::optional<CellBlock> ClipToUsedArea(Worksheet& sheet, const CellBlock& block) {
    const std::optional<CellBlock> used = sheet.UsedArea();
    if (!used) return std::nullopt;
    CellBlock clipped = block;
    clipped.lastRow = std::min(block.lastRow, used->lastRow);
    clipped.lastColumn = std::min(block.lastColumn, used->lastColumn);
    if (clipped.lastRow < clipped.firstRow || clipped.lastColumn < clipped.firstColumn) {
        return std::nullopt;
    }
    return clipped;
}

void RequireReadableSize(const std::string& selectedAddress, const CellBlock& used,
                         long long cellsRead) {
    if (cellsRead <= kMaxCellsRead) return;
    std::string text = "The selected block " + selectedAddress;
    if (FormatBlockAddress(used) != selectedAddress) {
        text += " reaches over cells in use up to " + FormatBlockAddress(used) + ", which";
    }
    throw SpreadsheetError(text + " would take " + GroupedNumber(cellsRead) +
                           " cells to read, more than the " + GroupedNumber(kMaxCellsRead) +
                           " one request reads. Select a smaller block and repeat the request; "
                           "nothing was read or written.");
}

std::string NoDataMessage(const std::string& selectedAddress, Worksheet& sheet,
                          const std::string& outcome) {
    return "The selected block " + selectedAddress + " on " + SheetLabel(sheet) +
           " holds no data. " + outcome;
}

std::string SheetLabel(Worksheet& sheet, Worksheet* other) {
    std::string label = "the sheet \"" + sheet.Name() + "\"";
    if (other != nullptr && sheet.WorkbookName() != other->WorkbookName()) {
        label += " of \"" + sheet.WorkbookName() + "\"";
    }
    return label;
}

std::string GroupedNumber(long long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return value < 0 ? "-" + text : text;
}

std::string RowList(const std::vector<std::size_t>& rows, bool more) {
    std::string text = rows.size() == 1 && !more ? "row " : "rows ";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(rows[i]);
    }
    if (more) text += ", …";
    return text;
}

std::string TakenAsZeroSentence(const RunReport& report, const CellBlock& block,
                                const std::string& sheetLabel, bool empty) {
    const std::size_t count = report.Count(Finding::NotNumber);
    if (count == 0) return "";
    const bool one = count == 1;
    return std::to_string(count) + (one ? " cell" : " cells") + " of the block " +
           FormatBlockAddress(block) + " on " + sheetLabel + " (" +
           RowList(report.Lines(Finding::NotNumber), report.MoreLines(Finding::NotNumber)) + ") " +
           (empty ? (one ? "is empty" : "are empty")
                  : (one ? "is not a number" : "are not numbers")) +
           (one ? ": it was taken as 0." : ": they were taken as 0.");
}

namespace {

/// Header rows remembered for finding them repeated further down.
constexpr std::size_t kHeaderRowsKept = 8;

/// A cell as ReadCoordinate reads it; `text` receives its text (empty for a
/// number or an empty cell).
CoordinateReading ReadCell(const SheetValue& cell, char decimalSeparator, double& value,
                           std::string& text) {
    value = 0.0;
    text.clear();
    if (const double* number = std::get_if<double>(&cell)) {
        value = *number;
        return CoordinateReading::Number;
    }
    if (const std::string* s = std::get_if<std::string>(&cell)) {
        text = std::string(TrimBlanks(*s));
        return ReadCoordinate(*s, decimalSeparator, value);
    }
    return CoordinateReading::None;
}

}  // namespace

SheetRow SheetRowSorter::Next(const SheetValue& first, const SheetValue& second) {
    SheetRow row;
    std::string firstText, secondText;
    row.first = ReadCell(first, decimalSeparator_, row.firstValue, firstText);
    row.second = ReadCell(second, decimalSeparator_, row.secondValue, secondText);
    const bool firstNone = row.first == CoordinateReading::None;
    const bool secondNone = row.second == CoordinateReading::None;
    if (firstNone && secondNone) {
        if (firstText.empty() && secondText.empty()) return row;  // blank
        std::pair<std::string, std::string> texts{firstText, secondText};
        if (!seenNumbers_) {
            // Titles above the first row of numbers are the header.
            if (headers_.size() < kHeaderRowsKept) headers_.push_back(std::move(texts));
            return row;
        }
        if (std::find(headers_.begin(), headers_.end(), texts) != headers_.end()) return row;
        row.use = SheetRowUse::NoPoint;
        return row;
    }
    seenNumbers_ = true;
    row.use = firstNone || secondNone ? SheetRowUse::NoPoint : SheetRowUse::Point;
    return row;
}

std::string NoNumberSentence(const RunReport& report, const CellBlock& block,
                             const std::string& sheetLabel) {
    const std::size_t count = report.Count(Finding::NoNumber);
    if (count == 0) return "";
    const bool one = count == 1;
    return std::to_string(count) + (one ? " row" : " rows") + " of the block " +
           FormatBlockAddress(block) + " on " + sheetLabel + " (" +
           RowList(report.Lines(Finding::NoNumber), report.MoreLines(Finding::NoNumber)) + ") " +
           (one ? "holds no number in a coordinate cell: its result cells were left empty."
                : "hold no number in a coordinate cell: their result cells were left empty.");
}

std::vector<std::pair<std::size_t, std::size_t>> WrittenRuns(const std::vector<SheetRowUse>& uses) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < uses.size(); ++i) {
        if (uses[i] == SheetRowUse::Skip) continue;
        if (!runs.empty() && runs.back().first + runs.back().second == i) {
            ++runs.back().second;
        } else {
            runs.emplace_back(i, 1);
        }
    }
    return runs;
}

}  // namespace utm
