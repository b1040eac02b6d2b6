// What a window shows of a data file before a run and what the person picks
// there: the first rows as a table, with the separator, the header row and
// the two coordinate columns as found, and the separator and columns chosen
// instead. The windows' preview widgets only draw this and hand its request
// to the run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/DataTable.h"

namespace utm {

/// The four separators in the order the windows list them.
inline constexpr FieldSeparator kFieldSeparators[] = {
    FieldSeparator::Comma, FieldSeparator::Semicolon, FieldSeparator::Tab, FieldSeparator::Blank};

/// The list caption of a separator: "Comma ,", "Semicolon ;", "Tab", "Blank".
std::string SeparatorCaption(FieldSeparator separator);

/// What one cell of the preview is, for marking it.
enum class PreviewCell {
    Plain,             ///< a field of a data row outside the coordinate columns
    Header,            ///< a field of the header row
    FirstCoordinate,   ///< the first coordinate of a data row
    SecondCoordinate,  ///< the second coordinate of a data row
    Comment,           ///< a comment line, shown whole in its first cell
    Blank,             ///< a blank line
};

class TableChoice {
  public:
    /// `base` gives the fallback separator and the decimal separator of the
    /// files previewed; its separator and columns are what the person picks.
    TableChoice(CoordinateKind kind, TableRequest base);

    /// Reads the first `rows` lines of the file at `path` with the layout
    /// found there; what was picked for another file is forgotten. Throws
    /// OperationError when the file cannot be read or is no text file; the
    /// choice then holds no file.
    void Load(const std::string& path, std::size_t rows = 8);
    /// Forgets the file: Request() gives the base request again.
    void Clear();
    bool Loaded() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    const TablePreview& Preview() const { return preview_; }
    CoordinateKind Kind() const { return kind_; }

    /// Reads the preview again for coordinates of `kind` (the main window's
    /// direction changed); the columns found follow it unless they were picked.
    void SetKind(CoordinateKind kind);

    FieldSeparator Separator() const { return preview_.layout.separator; }
    /// Reads the preview again with `separator`. The columns are found again
    /// for it; columns picked by the person stay picked when the new header
    /// still has their names, else they are found again.
    void ChooseSeparator(FieldSeparator separator);

    /// The coordinate columns shown, from 0.
    std::size_t FirstColumn() const { return preview_.layout.first; }
    std::size_t SecondColumn() const { return preview_.layout.second; }
    /// Picks the coordinate columns (from 0, as in ColumnCaption) and reads
    /// the preview again with them. Throws OperationError, with the choice
    /// unchanged, when they are one column or beyond the preview's columns.
    void ChooseColumns(std::size_t first, std::size_t second);
    /// The columns the preview offers: Preview().columnNames.size().
    std::size_t ColumnCount() const { return preview_.columnNames.size(); }
    /// "2: Latitude" for a column with a header name, "2" without one.
    std::string ColumnCaption(std::size_t column) const;

    /// True once the person picked a separator or the columns.
    bool Chosen() const { return separatorChosen_ || columnsChosen_; }
    /// The request for the run: the base request with the separator and the
    /// columns the person picked (the columns by number); what was not
    /// picked is left for the run to find, as the preview found it.
    TableRequest Request() const;

    /// What the preview cell at `row` (of Preview().rows) and `column` is.
    PreviewCell CellKind(std::size_t row, std::size_t column) const;
    /// One line on what was found: "Separator: comma. Header row: line 1.
    /// Coordinates: column 2 (Lat) and column 3 (Long)."
    std::string Summary() const;

  private:
    void Read(const TableRequest& request);
    TableRequest RequestWith(bool columns) const;

    CoordinateKind kind_;
    TableRequest base_;
    std::string path_;
    std::size_t rows_ = 8;
    TablePreview preview_;
    bool separatorChosen_ = false;
    bool columnsChosen_ = false;
};

}  // namespace utm
