// Block addresses in row/column notation: "R2C3:R10C4", one cell "R2C3",
// whole rows "R2:R5", whole columns "C1:C3"; and the A1 notation a sheet
// shows ("C2:D10").
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

/// The far edge of whole rows or whole columns: they reach as far as any
/// sheet can, and ClipToUsedArea cuts them to the cells in use.
inline constexpr int kSheetEdge = std::numeric_limits<std::int32_t>::max();

/// The block of one selected part: two corners as ParseBlockAddress reads
/// them, whole rows "R2:R5" or "R2" (columns 1 to kSheetEdge), or whole
/// columns "C1:C3" or "C1" (rows 1 to kSheetEdge). Nothing for anything
/// else, several parts included.
std::optional<CellBlock> ParseSelectedPart(std::string_view part);

/// The parts of a selection address, blocks joined by ","; nothing when one
/// of them is not a part ParseSelectedPart reads.
std::optional<std::vector<CellBlock>> ParseSelectedParts(std::string_view address);

/// The column's letters: 1 "A", 26 "Z", 27 "AA", 16384 "XFD".
std::string ColumnLetters(int column);

/// `part` in A1 notation: "C2:D10", one cell "C2", whole columns "A:B",
/// whole rows "2:5" (a part reaching kSheetEdge is whole rows or columns).
std::string A1Address(const CellBlock& part);

}  // namespace utm
