// An in-memory spreadsheet application for driving the spreadsheet operations
// in unit tests: sheets of cells, a selection, fonts and column widths, and
// switches for an application that is not running, cannot start or dies.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/NumberFormat.h"
#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/SpreadsheetPort.h"

namespace utm::test {

class MemorySpreadsheet;

struct CellFont {
    std::string name;
    double size = 0;
    std::string style;
};

class MemorySheet : public Worksheet {
  public:
    explicit MemorySheet(MemorySpreadsheet& app, std::string name = "Sheet1",
                         std::string workbook = "points.ods")
        : app_(app), name_(std::move(name)), workbook_(std::move(workbook)) {}

    std::map<std::pair<int, int>, SheetValue> cells;
    std::map<std::pair<int, int>, CellFont> fonts;
    std::map<int, double> widths;  ///< column -> width; 1000 when not set
    int getCalls = 0;
    int setCalls = 0;

    SheetValue& At(int row, int column) { return cells[{row, column}]; }
    SheetValue Get(int row, int column) const {
        auto it = cells.find({row, column});
        return it == cells.end() ? SheetValue() : it->second;
    }
    double Width(int column) const {
        auto it = widths.find(column);
        return it == widths.end() ? 1000.0 : it->second;
    }
    static std::string Display(const SheetValue& value) {
        if (const double* d = std::get_if<double>(&value)) return FormatGeneral(*d);
        if (const std::string* s = std::get_if<std::string>(&value)) return *s;
        return "";
    }

    std::string Name() override { return name_; }
    std::string WorkbookName() override { return workbook_; }
    bool SameSheet(const Worksheet& other) const override { return &other == this; }
    std::optional<CellBlock> UsedArea() override;
    std::set<int> hiddenRows;
    bool RowsHidden(int firstRow, int lastRow) override {
        for (int r = firstRow; r <= lastRow; ++r) {
            if (!hiddenRows.count(r)) return false;
        }
        return true;
    }
    SheetRows GetValues(const CellBlock& block) override;
    void SetValues(int topRow, int leftColumn, const SheetRows& rows) override;
    void Select(const CellBlock& block) override;
    void SelectColumns(int firstColumn, int lastColumn) override;
    void SetFont(const CellBlock& block, const std::string& name, double size,
                 const std::string& style) override;
    void AutoFitColumns(const CellBlock& block) override;
    std::vector<double> ColumnWidths(const CellBlock& block) override;
    void SetColumnWidths(const CellBlock& block, const std::vector<double>& values) override;

  private:
    MemorySpreadsheet& app_;
    std::string name_;
    std::string workbook_;
};

class MemorySpreadsheet : public SpreadsheetPort {
  public:
    bool running = true;
    bool canStart = true;
    bool dead = false;            ///< every call fails as after a crash
    std::set<std::string> files;  ///< workbooks that can be opened
    std::vector<std::shared_ptr<MemorySheet>> sheets;
    std::size_t active = 0;
    std::string selection = "R1C1";
    std::vector<std::string> calls;  ///< the port members called, in order

    MemorySpreadsheet() { sheets.push_back(std::make_shared<MemorySheet>(*this)); }
    /// Adds a sheet after the last one.
    MemorySheet& AddSheet(const std::string& name) {
        sheets.push_back(std::make_shared<MemorySheet>(*this, name));
        return *sheets.back();
    }
    MemorySheet& Sheet(std::size_t i = 0) { return *sheets.at(i); }

    void Call(const std::string& name) {
        calls.push_back(name);
        if (dead) throw SpreadsheetError("LibreOffice Calc stopped responding.");
    }
    std::size_t Count(const std::string& name) const {
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), name));
    }

    bool BindRunning() override {
        Call("BindRunning");
        return running;
    }
    void StartNew() override {
        Call("StartNew");
        if (!canStart) throw SpreadsheetError("LibreOffice Calc is not installed.");
        running = true;
        sheets.push_back(std::make_shared<MemorySheet>(*this, "Sheet1", "Untitled 1"));
        active = sheets.size() - 1;
    }
    void BindWorkbook(const std::string& path) override {
        Call("BindWorkbook");
        if (!files.count(path))
            throw SpreadsheetError("The workbook " + path + " cannot be opened.");
        running = true;
    }
    void Show() override { Call("Show"); }
    SheetSelection Selection() override {
        Call("Selection");
        return {selection, sheets.at(active)};
    }
    std::shared_ptr<Worksheet> ActiveSheet() override {
        Call("ActiveSheet");
        return sheets.at(active);
    }
    std::string CopySelectionText() override {
        Call("CopySelectionText");
        auto block = ParseBlockAddress(selection);
        if (!block) {
            block = ParseBlockAddress(selection + ":" + selection);
        }
        std::string text;
        for (int r = block->firstRow; r <= block->lastRow; ++r) {
            for (int c = block->firstColumn; c <= block->lastColumn; ++c) {
                if (c > block->firstColumn) text += '\t';
                text += MemorySheet::Display(sheets.at(active)->Get(r, c));
            }
            text += "\r\n";
        }
        return text;
    }

    /// Selects `address` on the active sheet, as a person would.
    void SelectByHand(const std::string& address) { selection = address; }
    /// Shows the sheet `index` and selects `address` on it.
    void SelectByHand(std::size_t index, const std::string& address) {
        active = index;
        selection = address;
    }

    std::size_t IndexOf(const MemorySheet* sheet) const {
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            if (sheets[i].get() == sheet) return i;
        }
        return 0;
    }
};

inline std::optional<CellBlock> MemorySheet::UsedArea() {
    app_.Call("UsedArea");
    std::optional<CellBlock> used;
    for (const auto& [key, value] : cells) {
        if (std::holds_alternative<std::monostate>(value)) continue;
        if (!used) used = CellBlock{key.first, key.second, key.first, key.second};
        used->firstRow = std::min(used->firstRow, key.first);
        used->firstColumn = std::min(used->firstColumn, key.second);
        used->lastRow = std::max(used->lastRow, key.first);
        used->lastColumn = std::max(used->lastColumn, key.second);
    }
    return used;
}

inline SheetRows MemorySheet::GetValues(const CellBlock& block) {
    app_.Call("GetValues");
    ++getCalls;
    SheetRows rows;
    for (int r = block.firstRow; r <= block.lastRow; ++r) {
        std::vector<SheetValue> row;
        for (int c = block.firstColumn; c <= block.lastColumn; ++c) row.push_back(Get(r, c));
        rows.push_back(std::move(row));
    }
    return rows;
}

inline void MemorySheet::SetValues(int topRow, int leftColumn, const SheetRows& rows) {
    app_.Call("SetValues");
    ++setCalls;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            std::pair<int, int> key{topRow + static_cast<int>(i), leftColumn + static_cast<int>(j)};
            if (std::holds_alternative<std::monostate>(rows[i][j])) {
                cells.erase(key);
            } else {
                cells[key] = rows[i][j];
            }
        }
    }
}

inline void MemorySheet::Select(const CellBlock& block) {
    app_.Call("Select");
    app_.active = app_.IndexOf(this);
    app_.selection = FormatBlockAddress(block);
}

inline void MemorySheet::SelectColumns(int firstColumn, int lastColumn) {
    app_.Call("SelectColumns");
    app_.active = app_.IndexOf(this);
    app_.selection.assign("C").append(std::to_string(firstColumn));
    app_.selection.append(":C").append(std::to_string(lastColumn));
}

inline void MemorySheet::SetFont(const CellBlock& block, const std::string& name, double size,
                                 const std::string& style) {
    app_.Call("SetFont");
    for (int r = block.firstRow; r <= block.lastRow; ++r) {
        for (int c = block.firstColumn; c <= block.lastColumn; ++c)
            fonts[{r, c}] = {name, size, style};
    }
}

// The fitted width of a column: 100 per character of its longest text.
inline void MemorySheet::AutoFitColumns(const CellBlock& block) {
    app_.Call("AutoFitColumns");
    for (int c = block.firstColumn; c <= block.lastColumn; ++c) {
        std::size_t longest = 0;
        for (const auto& [key, value] : cells) {
            if (key.second == c) longest = std::max(longest, Display(value).size());
        }
        widths[c] = 100.0 * static_cast<double>(longest);
    }
}

inline std::vector<double> MemorySheet::ColumnWidths(const CellBlock& block) {
    app_.Call("ColumnWidths");
    std::vector<double> result;
    for (int c = block.firstColumn; c <= block.lastColumn; ++c) result.push_back(Width(c));
    return result;
}

inline void MemorySheet::SetColumnWidths(const CellBlock& block,
                                         const std::vector<double>& values) {
    app_.Call("SetColumnWidths");
    for (int c = block.firstColumn; c <= block.lastColumn; ++c) {
        widths[c] = values.at(static_cast<std::size_t>(c - block.firstColumn));
    }
}

}  // namespace utm::test
