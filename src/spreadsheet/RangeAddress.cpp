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

std::optional<CellBlock> ParseSelectedPart(std::string_view part) {
    if (std::optional<CellBlock> block = ParseBlockAddress(part)) return block;
    {
        std::string_view text = part;
        CellBlock cell;
        if (TakeCorner(text, cell.firstRow, cell.firstColumn) && text.empty()) {
            cell.lastRow = cell.firstRow;
            cell.lastColumn = cell.firstColumn;
            return cell;
        }
    }
    // Whole rows "R2:R5" / "R2" or whole columns "C1:C3" / "C1".
    if (part.empty() || (part.front() != 'R' && part.front() != 'C')) return std::nullopt;
    const char letter = part.front();
    int first = 0;
    int last = 0;
    if (!TakeNumber(part, letter, first)) return std::nullopt;
    last = first;
    if (!part.empty()) {
        if (part.front() != ':') return std::nullopt;
        part.remove_prefix(1);
        if (!TakeNumber(part, letter, last) || !part.empty() || last < first) return std::nullopt;
    }
    if (letter == 'R') return CellBlock{first, 1, last, kSheetEdge};
    return CellBlock{1, first, kSheetEdge, last};
}

std::optional<std::vector<CellBlock>> ParseSelectedParts(std::string_view address) {
    std::vector<CellBlock> parts;
    for (;;) {
        const std::size_t comma = address.find(',');
        std::optional<CellBlock> part = ParseSelectedPart(address.substr(0, comma));
        if (!part) return std::nullopt;
        parts.push_back(*part);
        if (comma == std::string_view::npos) return parts;
        address.remove_prefix(comma + 1);
    }
}

std::string ColumnLetters(int column) {
    std::string letters;
    for (long long n = column; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return letters;
}

std::string A1Address(const CellBlock& part) {
    if (part.lastColumn == kSheetEdge && part.firstColumn == 1) {
        return std::to_string(part.firstRow) + ":" + std::to_string(part.lastRow);
    }
    if (part.lastRow == kSheetEdge && part.firstRow == 1) {
        return ColumnLetters(part.firstColumn) + ":" + ColumnLetters(part.lastColumn);
    }
    std::string text = ColumnLetters(part.firstColumn) + std::to_string(part.firstRow);
    if (part.lastRow != part.firstRow || part.lastColumn != part.firstColumn) {
        text += ":" + ColumnLetters(part.lastColumn) + std::to_string(part.lastRow);
    }
    return text;
}

}  // namespace utm
