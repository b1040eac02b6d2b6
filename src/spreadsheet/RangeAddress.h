// Block addresses in row/column notation: "R2C3:R10C4", one cell "R2C3".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

/// The block of an address made of exactly two corners "R<row>C<column>"
/// joined by ":", the first corner top-left, numbers from 1 to 2^31 - 1.
/// Nothing for anything else: one cell, whole rows ("R2:R5"), whole columns
/// ("C1:C3"), several blocks ("R1C1:R2C2,R4C1:R5C2"), blanks, signs.
std::optional<CellBlock> ParseBlockAddress(std::string_view address);

/// "R<firstRow>C<firstColumn>:R<lastRow>C<lastColumn>", or "R<row>C<column>"
/// when the block is one cell.
std::string FormatBlockAddress(const CellBlock& block);

}  // namespace utm
