#include "spreadsheet/RangeAddress.h"

#include <charconv>
#include <cstdint>

namespace utm {

namespace {

// Reads `letter` followed by a whole number of 1 to 2^31 - 1 from the front
// of `text` and advances it.
bool TakeNumber(std::string_view& text, char letter, int& value) {
    if (text.empty() || text.front() != letter) return false;
    text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9') return false;
    std::int32_t number = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || number < 1) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    value = number;
    return true;
}

bool TakeCorner(std::string_view& text, int& row, int& column) {
    return TakeNumber(text, 'R', row) && TakeNumber(text, 'C', column);
}

}  // namespace

std::optional<CellBlock> ParseBlockAddress(std::string_view address) {
    CellBlock block;
    if (!TakeCorner(address, block.firstRow, block.firstColumn)) return std::nullopt;
    if (address.empty() || address.front() != ':') return std::nullopt;
    address.remove_prefix(1);
    if (!TakeCorner(address, block.lastRow, block.lastColumn) || !address.empty()) {
        return std::nullopt;
    }
    if (block.lastRow < block.firstRow || block.lastColumn < block.firstColumn) {
        return std::nullopt;
    }
    return block;
}

std::string FormatBlockAddress(const CellBlock& block) {
    std::string text;
    text.append("R").append(std::to_string(block.firstRow));
    text.append("C").append(std::to_string(block.firstColumn));
    if (block.lastRow != block.firstRow || block.lastColumn != block.firstColumn) {
        text.append(":R").append(std::to_string(block.lastRow));
        text.append("C").append(std::to_string(block.lastColumn));
    }
    return text;
}

}  // namespace utm
