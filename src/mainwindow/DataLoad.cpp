#include "mainwindow/DataLoad.h"

#include <optional>

#include "common/FastNumberFormat.h"
#include "common/FileIO.h"
#include "common/LineReader.h"
#include "common/NumericText.h"

namespace utm {

namespace {

/// Walks the fields of a data file in sequence. A field ends at a comma or at
/// the end of its line, so an empty line, or a comma just before a line end,
/// gives an empty field; the end of the file gives none.
class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

    /// The next field into `field`; false at the end of the file.
    bool Next(std::string_view& field) {
        const std::size_t size = bytes_.size();
        if (pos_ >= size) return false;
        const char* const data = bytes_.data();
        std::size_t end = pos_;
        while (end < size && data[end] != ',' && data[end] != '\r' && data[end] != '\n') ++end;
        field = std::string_view(data + pos_, end - pos_);
        fieldLine_ = line_;
        if (end < size) {
            if (data[end] == '\r') {
                ++line_;
                if (end + 1 < size && data[end + 1] == '\n') ++end;
            } else if (data[end] == '\n') {
                ++line_;
            }
            ++end;
        }
        pos_ = end;
        return true;
    }

    /// The 1-based line of the field returned last.
    std::size_t FieldLine() const { return fieldLine_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t fieldLine_ = 0;
};

/// Sets `DataCount` to the number of lines of `bytes` and, when there are any,
/// recreates `DataFirst` and `DataSecond` with that many elements, all 0.
void CountInto(BatchColumns& columns, std::string_view bytes) {
    columns.DataCount = CountLines(bytes);
    if (columns.DataCount == 0) return;
    columns.DataFirst.Recreate(columns.DataCount);
    columns.DataSecond.Recreate(columns.DataCount);
}

}  // namespace

double DataFieldValue(std::string_view field) {
    double value = 0.0;
    return ParseDecimal(TrimBlanks(field), value) ? value : 0.0;
}

std::size_t LineOfPoint(std::string_view bytes, std::size_t point) {
    if (point == 0) return 0;
    FieldReader reader(bytes);
    std::string_view field;
    const std::size_t wanted = 2 * point - 1;
    for (std::size_t i = 1; i <= wanted; ++i) {
        if (!reader.Next(field)) return 0;
    }
    return reader.FieldLine();
}

void dataload::CountData(const std::string& location) {
    columns_.DataCount = 0;
    const std::optional<std::string> bytes = ReadWholeFile(location);
    if (bytes) CountInto(columns_, *bytes);
}

void dataload::ReadData(const std::string& location) {
    columns_.DataCount = 0;
    const std::optional<std::string> bytes = ReadWholeFile(location);
    if (!bytes) return;
    ReadBytes(*bytes);
}

void dataload::ReadBytes(std::string_view bytes) {
    CountInto(columns_, bytes);
    if (columns_.DataCount == 0) return;
    FieldReader reader(bytes);
    std::string_view field;
    for (std::size_t i = 1; i <= columns_.DataCount; ++i) {
        if (!reader.Next(field)) return;
        columns_.DataFirst(i) = DataFieldValue(field);
        if (!reader.Next(field)) return;
        columns_.DataSecond(i) = DataFieldValue(field);
    }
}

void dataload::Reset() {
    columns_.DataFirst.Clear();
    columns_.DataSecond.Clear();
    columns_.DataCount = 0;
}

}  // namespace utm
