// The exact bytes of a file, for checks on what the program wrote.
#pragma once

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace utm::test {

/// The bytes of the file at `path`, or nothing when it cannot be read.
inline std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

}  // namespace utm::test
