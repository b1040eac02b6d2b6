// A data file as its author wrote it: a table of rows and fields. A survey
// file carries a point name, a code and a height beside the two coordinates,
// a header row, blank lines and comments, and comes separated by commas,
// semicolons, tabs or blanks. The layout of a file (separator, header, the
// two coordinate columns) is found from its first lines unless the user gives
// it; every path that reads data files (the batch conversion, the transfers,
// utmconv, the windows' previews) reads rows through it.
#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/PairScanner.h"

namespace utm {

/// What separates the fields of a row. Blank: one or more spaces or tabs.
enum class FieldSeparator { Comma, Semicolon, Tab, Blank };

/// "comma", "semicolon", "tab" or "blank".
std::string_view NameOf(FieldSeparator separator);
/// The separator of a name above; nothing for any other text.
std::optional<FieldSeparator> ParseFieldSeparator(std::string_view name);
/// The character of a separator (a space for Blank).
char SeparatorChar(FieldSeparator separator);

/// What the two coordinate columns hold, for recognising their header names.
enum class CoordinateKind {
    LatLong,  ///< latitude then longitude: Lat, Latitude / Lon, Long, Longitude
    Grid,     ///< easting then northing: E, East, Easting, X / N, North, Northing, Y
};

/// How the user wants a data file read; what is not given is found.
struct TableRequest {
    std::optional<FieldSeparator> separator;  ///< given (--separator), else detected
    /// The coordinate columns (--columns A,B): two 1-based numbers or header
    /// names, separated by a comma; empty: found from the header, else 1 and 2.
    std::string columns;
    /// The separator when the first lines show none (one field per line).
    FieldSeparator fallback = FieldSeparator::Comma;
    /// The decimal separator of the numbers (the transfer's text files follow
    /// the locale), for telling numbers from names.
    char decimalSeparator = '.';
};

/// How one data file is laid out.
struct TableLayout {
    FieldSeparator separator = FieldSeparator::Comma;
    std::size_t first = 0;   ///< column of the first coordinate, from 0
    std::size_t second = 1;  ///< column of the second coordinate, from 0
    /// The header row's text without its line end; empty when there is none.
    std::string header;
    std::size_t headerLine = 0;  ///< its line in the file, from 1; 0 when none
    char decimalSeparator = '.';

    bool HasHeader() const { return headerLine != 0; }
    /// True when the file reads as the classic data file: comma-separated,
    /// no header, coordinates in the first two columns.
    bool Classic() const {
        return separator == FieldSeparator::Comma && !HasHeader() && first == 0 && second == 1;
    }
};

/// Finds the layout of a file from its start (`start`: its first bytes;
/// `complete`: true when they are the whole file, else the last line may be
/// cut and is not looked at), as `request` asks for `kind` coordinates.
/// Throws OperationError when the request's columns name no column of the
/// header or are not two different columns.
TableLayout DetectTableLayout(std::string_view start, bool complete, CoordinateKind kind,
                              const TableRequest& request);

/// The kind of one line of a data file.
enum class RowKind {
    Blank,    ///< nothing but blanks and separators
    Comment,  ///< its first character is "#"
    Header,   ///< the header row (or a repetition of it)
    Data,     ///< a row that holds a point
};
RowKind KindOfRow(std::string_view line, const TableLayout& layout);

/// Splits `line` into fields at the separator: the first `max` go to
/// `fields`, each without the blanks around it and with its quotes if it was
/// quoted ("Ridge, north" keeps its quotes; a separator inside quotes does not
/// split). Blank-separated rows have no empty fields. Returns the number of
/// fields of the line (which may exceed `max`).
std::size_t SplitRow(std::string_view line, FieldSeparator separator, std::string_view* fields,
                     std::size_t max);

/// All fields of a line (SplitRow).
std::vector<std::string_view> RowFields(std::string_view line, FieldSeparator separator);

/// A field's text without its quotes (and with "" inside read as one "),
/// blanks around it removed.
std::string Unquoted(std::string_view field);

/// What a coordinate field holds.
enum class CoordinateReading {
    Number,   ///< a whole number: its value
    Partial,  ///< a number followed by more ("27.7°"): taken as 0 and reported
    None,     ///< no number at all (text, empty, a missing field): no point
};

/// Reads a coordinate field (quotes and blanks around it allowed) with
/// `decimalSeparator`; a comma as decimal separator also allows "." groups of
/// thousands and "." the other way round (as ParseLocaleNumber). Sets `value`
/// for Number, 0 otherwise.
CoordinateReading ReadCoordinate(std::string_view field, char decimalSeparator, double& value);

/// The point of a data row: its two coordinate fields and what they hold.
struct RowPoint {
    std::string_view field[2];  ///< as they stand; empty when missing
    CoordinateReading reading[2] = {CoordinateReading::None, CoordinateReading::None};
    double value[2] = {0.0, 0.0};
    /// The row is just the two coordinates (two fields, in columns 1 and 2),
    /// written as the numbers read rather than as its fields.
    bool pair = false;
    /// The first coordinate column (from 0) that holds no number, if any.
    std::optional<std::size_t> noNumber;
};
RowPoint ReadRowPoint(std::string_view row, const TableLayout& layout);

/// Where the fast scanners of the batch runs look in the rows of `layout`:
/// lines of two plain numbers when the coordinates are its first two fields,
/// plain table rows otherwise; neither for blank-separated fields or a
/// decimal comma, which only the general reader reads.
LineScan FastScanOf(const TableLayout& layout);

/// Why a row holds no point: "the row "…" holds no number in column N".
std::string NoNumberText(std::string_view row, std::size_t column);

/// The header names of the results appended to a header row.
struct ResultNames {
    std::string_view first;
    std::string_view second;
};
inline constexpr ResultNames kGridResultNames{"Easting(X)", "Northing(Y)"};
inline constexpr ResultNames kLatLongResultNames{"Latitude", "Longitude"};

/// The first lines of a data file as a window shows them before a run: its
/// layout and the fields of up to `rows` lines (blank and comment lines
/// included, as single fields).
struct TablePreview {
    TableLayout layout;
    std::vector<std::vector<std::string>> rows;
    std::vector<RowKind> kinds;
    std::vector<std::string> columnNames;  ///< header names, else "1", "2", ...
};

/// Reads the start of the file at `path` and finds its layout and preview.
/// Throws OperationError when the file cannot be read, is no text file, or the
/// request names columns it does not have.
TablePreview PreviewTable(const std::string& path, CoordinateKind kind, const TableRequest& request,
                          std::size_t rows = 8);

}  // namespace utm

namespace utm {

/// How the fields of a row are written to an output.
enum class RowStyle {
    Joined,          ///< separated by one character; a field holding it is quoted
    SignPositioned,  ///< each as a sign position (a blank unless it starts with "-"), the field, a
                     ///< blank
};

/// Room WriteRowFields needs for a row of `size` bytes.
inline std::size_t RowFieldsRoom(std::size_t size) {
    return 3 * size + 8;
}

/// Writes the fields of a data or header row of `layout` at `out`, each as it
/// stands (without the blanks around it), in `style` with `separator`
/// between fields (Joined), and returns the end. No separator follows the last field.
char* WriteRowFields(char* out, std::string_view row, const TableLayout& layout, RowStyle style,
                     char separator);

/// Room WriteCarriedRow needs for a row of `size` bytes (the result names included).
inline std::size_t CarriedRowRoom(std::size_t size) {
    return RowFieldsRoom(size) + 32;
}

/// Writes a row that holds no point, ended by CR LF: a blank or comment row
/// as it stands, the header row as WriteRowFields writes it with `names`
/// after its fields (Joined: each after `separator`; SignPositioned: each
/// with a sign position and a blank).
char* WriteCarriedRow(char* out, std::string_view row, RowKind kind, const TableLayout& layout,
                      RowStyle style, char separator, ResultNames names);

/// WriteRowFields (Joined) for a row the fast scanner took: no quotes and no
/// blanks at the edges of its fields, separated by `in`. The bytes are copied
/// and each `in` becomes `separator` in one pass over them.
inline char* WriteScannedRow(char* out, std::string_view row, const TableLayout& layout,
                             char separator) {
    const char in = SeparatorChar(layout.separator);
    if (in != separator && row.find(separator) != std::string_view::npos) {
        return WriteRowFields(out, row, layout, RowStyle::Joined, separator);  // needs quotes
    }
    const std::size_t n = row.size();
    std::memcpy(out, row.data(), n);
    if (in != separator) {
        for (std::size_t i = 0; i < n; ++i) out[i] = out[i] == in ? separator : out[i];
    }
    return out + n;
}

}  // namespace utm
