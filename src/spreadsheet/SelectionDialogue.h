// The selection dialogue shared by the Retrieve command and the block
// exchange: prompt, confirmation of the selected address, check for a block.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/MessageBoxPort.h"
#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

inline constexpr const char* kSelectDataPrompt = " Select your Data in Current Excel Sheet.";
inline constexpr const char* kConfirmationPrefix = "The address of the selected range is ";
inline constexpr const char* kConfirmationTitle = "Confirmation !";
inline constexpr const char* kInvalidSelection = "Invalid selection";

/// Adds a line to the confirmation of a selection (empty: nothing).
using ConfirmationNote = std::function<std::string(const SheetSelection&)>;

/// Asks with `prompt` until the user cancels it (nothing) or confirms an
/// address holding ":" (that selection, with the sheet it lies on). On every
/// OK the application is shown and its selection read, address and sheet
/// together; Cancel at the confirmation asks again, a confirmed address
/// without ":" gives "Invalid selection" and asks again. `note`, when set,
/// adds its text on a line of its own after the address. SpreadsheetError
/// passes through.
std::optional<SheetSelection> RunSelectionDialogue(SpreadsheetPort& app, MessageBoxPort& box,
                                                   const std::string& prompt,
                                                   const ConfirmationNote& note = {});

/// The message for a confirmed address of several parts, in A1 notation:
/// "The selection A2:B2, A4:B5 is not one block of cells: ..." with why
/// (rows hidden on `sheet` between parts of the same columns: a filter) and
/// what to do.
std::string NotOneBlockMessage(const std::string& address, Worksheet* sheet);

/// Shows `text` with the OK button and the information icon.
void ShowProblem(MessageBoxPort& box, const std::string& text);

}  // namespace utm
