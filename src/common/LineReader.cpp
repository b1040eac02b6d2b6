#include "common/LineReader.h"

namespace utm {

bool LineReader::Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
    } else {
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return true;
}

std::size_t CountLines(std::string_view text) {
    // Every LF ends a line, and so does every CR not followed by an LF. Two
    // plain passes that the compiler can vectorise.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) count += p[i] == '\n';
    if (n > 0) {
        for (std::size_t i = 0; i + 1 < n; ++i) count += (p[i] == '\r') & (p[i + 1] != '\n');
        count += p[n - 1] == '\r';
        // A last line without a line end.
        count += p[n - 1] != '\n' && p[n - 1] != '\r';
    }
    return count;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    LineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) lines.push_back(line);
    return lines;
}

}  // namespace utm
