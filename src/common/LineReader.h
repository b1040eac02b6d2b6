// Splitting text into lines. CR LF, CR alone and LF alone each end a line, so
// files written on Windows, old Macs and Linux read alike. A last line without
// a line end counts; an empty text has no lines.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace utm {

/// Walks the lines of a text without copying: each line is a view into the
/// text, without its line end.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    /// The next line into `line`; false at the end of the text.
    bool Next(std::string_view& line);

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

/// The number of lines of `text` ("a\r\nb" and "a\r\nb\r\n" both have 2; "a\r\n\r\n" has 2).
std::size_t CountLines(std::string_view text);

/// Every line of `text`, as views into it.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace utm
