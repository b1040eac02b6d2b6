// Helpers for reading the names of datum shifts and coordinate systems.
#pragma once

#include <cstddef>
#include <string_view>

namespace utm::name_text {

/// `text` without the blanks (spaces and tabs) at either end.
inline std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

/// True when `text` is `lowerName` (all lower case) in any letter case.
inline bool EqualsIgnoringCase(std::string_view text, std::string_view lowerName) {
    if (text.size() != lowerName.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerName[i]) return false;
    }
    return true;
}

}  // namespace utm::name_text
