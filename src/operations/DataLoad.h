// The data file reader of the main window and the program-wide columns it
// fills.
//
// Data file: one point per line, two numbers separated by a comma, "." as the
// decimal point whatever the locale. CR LF, CR alone and LF alone each end a
// line; a last line without line end counts. Every line counts as a point, an
// empty one too. A UTF-8 byte-order mark is skipped; a file with NUL bytes or
// UTF-16 text is no data file.
//
// Each line gives one point, so the points stay aligned with the lines of the
// file: a line with one number takes the second as 0, a line with three or
// more numbers leaves the extra ones out, a field that is not a decimal number
// (a column title, two numbers separated by a blank, an empty field) reads as
// 0, and an empty line is the point (0, 0). Reading goes on after each.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/DataTable.h"
#include "common/OperationError.h"

namespace utm {

/// A column of numbers indexed from 1 to size().
class DataColumn {
  public:
    std::size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    double& operator()(std::size_t i) { return values_[i - 1]; }
    double operator()(std::size_t i) const { return values_[i - 1]; }
    /// All elements, element 1 first.
    const std::vector<double>& values() const { return values_; }

    /// `n` elements, every one 0.
    void Recreate(std::size_t n) { values_.assign(n, 0.0); }
    /// No elements; the memory is released.
    void Clear() { std::vector<double>().swap(values_); }

  private:
    std::vector<double> values_;
};

/// The program-wide columns of the batch path; the main window owns one.
struct BatchColumns {
    std::size_t DataCount = 0;  ///< points of the last file counted; 0 before any and after Reset
    DataColumn DataFirst;       ///< latitude (degrees) or easting X (metres) of each point
    DataColumn DataSecond;      ///< longitude (degrees) or northing Y (metres) of each point
    DataColumn ResultFirst;     ///< easting X or latitude of each point of the last batch run
    DataColumn ResultSecond;    ///< northing Y or longitude of each point of the last batch run
};

/// Counts and reads data files into the columns it was given. Its methods
/// report no errors and show no messages: a file that cannot be opened or is
/// no text file gives `DataCount` 0. When `DataCount` would be 0 the columns
/// are not recreated and keep what they held.
class dataload {
  public:
    explicit dataload(BatchColumns& columns) : columns_(columns) {}

    /// Sets `DataCount` to the number of lines of the file at `location` and
    /// recreates `DataFirst` and `DataSecond` with that many elements, all 0.
    /// The batch conversion does not need the columns: it streams the file.
    void CountData(const std::string& location);
    /// Counts, then reads the numbers of the file into `DataFirst` and `DataSecond`.
    void ReadData(const std::string& location);
    /// Empties `DataFirst` and `DataSecond` and sets `DataCount` to 0.
    void Reset();

    BatchColumns& Columns() { return columns_; }
    const BatchColumns& Columns() const { return columns_; }

  private:
    BatchColumns& columns_;
};

/// The number of lines of the data file at `path`, read block by block.
/// Throws OperationError when it cannot be read or is no text file of numbers.
std::size_t CountDataLines(const std::string& path);

/// The number of rows of the data file at `path` that hold a point, as a run
/// reads it with `request` for `kind` coordinates: blank lines, comments and
/// header rows are not counted. Throws OperationError when it cannot be read,
/// is no text file or the request names columns it does not have, and
/// OperationCancelled when `progress`, told the part read after each block,
/// returns false.
std::size_t CountDataRows(const std::string& path, CoordinateKind kind = CoordinateKind::LatLong,
                          const TableRequest& request = {}, const Progress& progress = {});

}  // namespace utm
