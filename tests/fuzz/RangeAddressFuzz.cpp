// Spreadsheet block addresses (spreadsheet/RangeAddress.h) on any bytes:
//  - ParseBlockAddress accepts only "R<row>C<column>:R<row>C<column>" with
//    numbers from 1 to 2^31 - 1, the first corner top-left;
//  - an accepted text is written back by FormatBlockAddress as itself, numbers
//    without leading zeros, or as its one corner when the block is one cell;
//  - a block made from the first 16 bytes (four 32-bit numbers) is written
//    and read back unchanged when it is a valid block of more than one cell,
//    and its text is refused when the block is not valid;
//  - every part ParseSelectedParts reads has its corners in order and an A1 form.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "spreadsheet/RangeAddress.h"

namespace {

using utm::fuzz::Require;

/// Reads `letter` and a decimal number from the front of `text` into `value`
/// (leading zeros dropped from `canonical`); false when the number is missing
/// or outside 1 to 2^31 - 1.
bool TakeNumber(std::string_view& text, char letter, long long& value, std::string& canonical) {
    if (text.empty() || text.front() != letter) return false;
    text.remove_prefix(1);
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
    if (n == 0) return false;
    std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    if (digits.size() > 10) return false;
    value = std::stoll(std::string(digits));
    canonical += letter;
    canonical += digits;
    return value >= 1 && value <= 2147483647LL;
}

// Every part of a selection address lies inside the sheet's edges and has
// an A1 form; a one-part address reads as ParseSelectedPart reads it.
void CheckParts(std::string_view text) {
    const std::optional<std::vector<utm::CellBlock>> parts = utm::ParseSelectedParts(text);
    if (!parts) return;
    Require(!parts->empty(), "a selection has at least one part", text);
    for (const utm::CellBlock& part : *parts) {
        Require(part.firstRow >= 1 && part.firstColumn >= 1 && part.firstRow <= part.lastRow &&
                    part.firstColumn <= part.lastColumn,
                "a part's corners are in order", text);
        Require(!utm::A1Address(part).empty(), "a part has an A1 address", text);
    }
    if (parts->size() == 1) {
        Require(utm::ParseSelectedPart(text) == parts->front(), "one part reads alike", text);
    }
}

void CheckText(std::string_view text) {
    CheckParts(text);
    const std::optional<utm::CellBlock> block = utm::ParseBlockAddress(text);

    // The address as the header describes it, read independently.
    std::string_view rest = text;
    std::string canonical;
    long long r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    bool valid = TakeNumber(rest, 'R', r1, canonical) && TakeNumber(rest, 'C', c1, canonical);
    if (valid && !rest.empty() && rest.front() == ':') {
        rest.remove_prefix(1);
        canonical += ':';
        valid = TakeNumber(rest, 'R', r2, canonical) && TakeNumber(rest, 'C', c2, canonical) &&
                rest.empty() && r1 <= r2 && c1 <= c2;
    } else {
        valid = false;
    }
    Require(block.has_value() == valid, "ParseBlockAddress accepts exactly R1C1:R2C2 addresses",
            text);
    if (!block) return;
    Require(block->firstRow == r1 && block->firstColumn == c1 && block->lastRow == r2 &&
                block->lastColumn == c2,
            "ParseBlockAddress reads the corners", text);
    const std::string written = utm::FormatBlockAddress(*block);
    const bool oneCell = r1 == r2 && c1 == c2;
    const std::string expected = oneCell ? canonical.substr(0, canonical.find(':')) : canonical;
    Require(written == expected, "FormatBlockAddress writes the address back", text);
    if (!oneCell) {
        Require(utm::ParseBlockAddress(written) == block, "the written address reads back", text);
    }
}

void CheckBlock(const std::uint8_t* data) {
    std::int32_t n[4];
    std::memcpy(n, data, sizeof n);
    const utm::CellBlock block{n[0], n[1], n[2], n[3]};
    const std::string text = utm::FormatBlockAddress(block);
    const bool valid = n[0] >= 1 && n[1] >= 1 && n[0] <= n[2] && n[1] <= n[3];
    const bool oneCell = n[0] == n[2] && n[1] == n[3];
    const std::optional<utm::CellBlock> back = utm::ParseBlockAddress(text);
    if (valid && !oneCell) {
        Require(back == block, "a block is read back from its address", text);
    } else {
        Require(!back.has_value(), "an invalid block or one cell is no block address", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (size >= 16) CheckBlock(data);
    return 0;
}
