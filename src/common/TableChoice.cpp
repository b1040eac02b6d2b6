#include "common/TableChoice.h"

#include <algorithm>
#include <utility>

#include "common/OperationError.h"

namespace utm {

std::string SeparatorCaption(FieldSeparator separator) {
    switch (separator) {
        case FieldSeparator::Comma:
            return "Comma ,";
        case FieldSeparator::Semicolon:
            return "Semicolon ;";
        case FieldSeparator::Tab:
            return "Tab";
        case FieldSeparator::Blank:
            return "Blank";
    }
    return "";
}

TableChoice::TableChoice(CoordinateKind kind, TableRequest base) : kind_(kind), base_(base) {
    // The base request is what the run gets when nothing is picked.
    base_.separator.reset();
    base_.columns.clear();
}

void TableChoice::Load(const std::string& path, std::size_t rows) {
    Clear();
    path_ = path;
    rows_ = rows;
    try {
        Read(base_);
    } catch (const OperationError&) {
        Clear();
        throw;
    }
}

void TableChoice::Clear() {
    path_.clear();
    preview_ = TablePreview();
    separatorChosen_ = false;
    columnsChosen_ = false;
}

void TableChoice::Read(const TableRequest& request) {
    preview_ = PreviewTable(path_, kind_, request, rows_);
}

TableRequest TableChoice::RequestWith(bool columns) const {
    TableRequest request = base_;
    if (separatorChosen_) request.separator = Separator();
    if (columns) {
        request.columns =
            std::to_string(FirstColumn() + 1) + "," + std::to_string(SecondColumn() + 1);
    }
    return request;
}

TableRequest TableChoice::Request() const {
    if (!Loaded()) return base_;
    return RequestWith(columnsChosen_);
}

void TableChoice::SetKind(CoordinateKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    if (Loaded()) Read(Request());
}

void TableChoice::ChooseSeparator(FieldSeparator separator) {
    if (!Loaded()) return;
    // The picked columns by their header names, to find them again in the
    // header as the new separator splits it.
    std::string firstName, secondName;
    if (columnsChosen_ && preview_.layout.HasHeader()) {
        firstName = preview_.columnNames[FirstColumn()];
        secondName = preview_.columnNames[SecondColumn()];
    }
    const TablePreview before = preview_;
    TableRequest request = base_;
    request.separator = separator;
    try {
        Read(request);
    } catch (const OperationError&) {
        preview_ = before;
        throw;
    }
    separatorChosen_ = true;
    columnsChosen_ = false;
    if (firstName.empty() || secondName.empty() || !preview_.layout.HasHeader()) return;
    std::size_t first = ColumnCount(), second = ColumnCount();
    for (std::size_t i = 0; i < ColumnCount(); ++i) {
        if (first == ColumnCount() && preview_.columnNames[i] == firstName) {
            first = i;
        } else if (second == ColumnCount() && preview_.columnNames[i] == secondName) {
            second = i;
        }
    }
    if (first == ColumnCount() || second == ColumnCount()) return;  // found again instead
    ChooseColumns(first, second);
}

void TableChoice::ChooseColumns(std::size_t first, std::size_t second) {
    if (!Loaded()) return;
    if (first == second) {
        throw OperationError("The two coordinates must come from two different columns.");
    }
    if (first >= ColumnCount() || second >= ColumnCount()) {
        throw OperationError("The data file shows " + std::to_string(ColumnCount()) +
                             " columns; there is no column " +
                             std::to_string(std::max(first, second) + 1) + ".");
    }
    TableRequest request = RequestWith(false);
    request.columns = std::to_string(first + 1) + "," + std::to_string(second + 1);
    Read(request);
    columnsChosen_ = true;
}

std::string TableChoice::ColumnCaption(std::size_t column) const {
    std::string caption = std::to_string(column + 1);
    if (preview_.layout.HasHeader() && column < preview_.columnNames.size() &&
        !preview_.columnNames[column].empty()) {
        caption += ": " + preview_.columnNames[column];
    }
    return caption;
}

PreviewCell TableChoice::CellKind(std::size_t row, std::size_t column) const {
    if (row >= preview_.kinds.size()) return PreviewCell::Plain;
    switch (preview_.kinds[row]) {
        case RowKind::Comment:
            return PreviewCell::Comment;
        case RowKind::Blank:
            return PreviewCell::Blank;
        case RowKind::Header:
            return PreviewCell::Header;
        case RowKind::Data:
            break;
    }
    if (column == FirstColumn()) return PreviewCell::FirstCoordinate;
    if (column == SecondColumn()) return PreviewCell::SecondCoordinate;
    return PreviewCell::Plain;
}

std::string TableChoice::Summary() const {
    if (!Loaded()) return "";
    std::string text = "Separator: " + std::string(NameOf(Separator())) + ". ";
    if (preview_.layout.HasHeader()) {
        text += "Header row: line " + std::to_string(preview_.layout.headerLine) + ". ";
    } else {
        text += "No header row. ";
    }
    const auto column = [this](std::size_t i) {
        std::string name = "column " + std::to_string(i + 1);
        if (preview_.layout.HasHeader() && i < preview_.columnNames.size()) {
            name += " (" + preview_.columnNames[i] + ")";
        }
        return name;
    };
    return text + "Coordinates: " + column(FirstColumn()) + " and " + column(SecondColumn()) + ".";
}

}  // namespace utm
