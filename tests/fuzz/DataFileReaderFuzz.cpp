// The line reader of every data file (common/DataFileReader.h, ForEachLine,
// SplitFields) on any bytes, written to a file so that the reader reads it as
// the program does:
//  - it either refuses the file as no text file of numbers (a NUL byte, a
//    UTF-16 byte-order mark, an endless line) or hands out every byte once;
//  - the lines it hands out are those of a plain reference splitter (CR LF,
//    CR, LF), with a UTF-8 byte-order mark at the start left out;
//  - splitting a line into fields and joining them again gives the line.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "fuzz/FuzzSupport.h"

namespace {

using utm::fuzz::Require;

/// The lines of `text` by the rule of the data files, without the reader.
std::vector<std::string_view> ReferenceLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = utm::fuzz::TempFile(bytes);
    std::vector<std::string> lines;
    bool refused = false;
    try {
        utm::DataFileReader reader(path);
        std::string block;
        while (reader.NextBlock(block)) {
            utm::ForEachLine(block, [&](std::string_view line, std::size_t) {
                lines.emplace_back(line);
                std::string_view fields[4];
                const std::size_t count = utm::SplitFields(line, ',', fields, 4);
                Require(count >= 1, "a line has at least one field", line);
                if (count <= 4) {
                    std::string joined(fields[0]);
                    for (std::size_t i = 1; i < count; ++i) joined.append(",").append(fields[i]);
                    Require(joined == line, "the fields joined give the line", line);
                }
            });
        }
        Require(reader.Consumed() == size, "every byte is handed out once", bytes);
    } catch (const utm::OperationError& e) {
        refused = true;
        const std::string_view what = e.what();
        Require(what.find("is not a text file of numbers") != std::string_view::npos,
                "a refusal says the file is no text file of numbers", what);
    }
    ::unlink(path.c_str());

    const bool hasNul = bytes.find('\0') != std::string_view::npos;
    const bool utf16 =
        size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
    Require(refused == (hasNul || utf16), "refused exactly when NUL bytes or UTF-16", bytes);
    if (refused) return 0;
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xef\xbb\xbf") text.remove_prefix(3);
    const std::vector<std::string_view> expected = ReferenceLines(text);
    Require(lines.size() == expected.size(), "as many lines as the reference", bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Require(lines[i] == expected[i], "each line as the reference", lines[i]);
    }
    return 0;
}
