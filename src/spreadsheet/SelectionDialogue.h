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

/// Asks with `prompt` until the user cancels it (nothing) or confirms an
/// address holding ":" (that address). On every OK the application is shown
/// and its selection's address read; Cancel at the confirmation asks again, a
/// confirmed address without ":" gives "Invalid selection" and asks again.
/// `confirmed`, when set, runs on every confirmation before the check.
/// SpreadsheetError passes through.
std::optional<std::string> RunSelectionDialogue(SpreadsheetPort& app, MessageBoxPort& box,
                                                const std::string& prompt,
                                                const std::function<void()>& confirmed = {});

/// The message for a confirmed address that is not one block of two corners.
std::string NotOneBlockMessage(const std::string& address);

/// Shows `text` with the OK button and the information icon.
void ShowProblem(MessageBoxPort& box, const std::string& text);

}  // namespace utm
