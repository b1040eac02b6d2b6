// The data file reader of the batch conversion and the program-wide columns it
// fills.
//
// Data file: one point per line, two numbers separated by a comma, "." as the
// decimal point whatever the locale. CR LF, CR alone and LF alone each end a
// line; a last line without line end counts. Every line counts as a point, an
// empty one too.
//
// The numbers are read in sequence, two per point, not line by line: a field
// ends at a comma or at the end of its line, blanks (spaces, tabs) around it
// are ignored. A line with one or three numbers therefore shifts the pairing
// of all later numbers. A field that is not a decimal number (a column title,
// two numbers separated by a blank, an empty field) reads as 0, and an empty
// line is one empty field, read as 0; reading goes on after either.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
/// report no errors and show no messages: a file that cannot be opened gives
/// `DataCount` 0. When `DataCount` would be 0 (empty or unreadable file) the
/// columns are not recreated and keep what they held. Points the file does not
/// complete stay 0.
class dataload {
  public:
    explicit dataload(BatchColumns& columns) : columns_(columns) {}

    /// Sets `DataCount` to the number of lines of the file at `location` and
    /// recreates `DataFirst` and `DataSecond` with that many elements, all 0.
    void CountData(const std::string& location);
    /// Counts, then reads the numbers of the file into `DataFirst` and `DataSecond`.
    void ReadData(const std::string& location);
    /// Empties `DataFirst` and `DataSecond` and sets `DataCount` to 0.
    void Reset();

    /// Counts and reads from bytes already in memory (what ReadData does after
    /// reading the file).
    void ReadBytes(std::string_view bytes);

    BatchColumns& Columns() { return columns_; }
    const BatchColumns& Columns() const { return columns_; }

  private:
    BatchColumns& columns_;
};

/// The value of one field of a data file: the number when the field, apart from
/// blanks around it, is a decimal number, else 0.
double DataFieldValue(std::string_view field);

/// The 1-based line of the data file `bytes` that holds the first number of
/// point `point` (1-based), or 0 when the file ends before it.
std::size_t LineOfPoint(std::string_view bytes, std::size_t point);

}  // namespace utm
