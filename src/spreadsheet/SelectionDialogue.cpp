#include "spreadsheet/SelectionDialogue.h"

namespace utm {

std::optional<SheetSelection> RunSelectionDialogue(SpreadsheetPort& app, MessageBoxPort& box,
                                                   const std::string& prompt,
                                                   const ConfirmationNote& note) {
    for (;;) {
        if (box.Show(prompt, MsgButtons::OKCancel, MsgIcon::None, "") == MsgAnswer::Cancel) {
            return std::nullopt;
        }
        app.Show();
        // The address and its sheet are read at once: the sheet confirmed is
        // the sheet used, whatever the user activates afterwards.
        SheetSelection selection = app.Selection();
        std::string text = kConfirmationPrefix + selection.address;
        if (note) {
            if (std::string extra = note(selection); !extra.empty()) text += "\r\n" + extra;
        }
        if (box.Show(text, MsgButtons::OKCancel, MsgIcon::None, kConfirmationTitle) ==
            MsgAnswer::Cancel) {
            continue;
        }
        if (selection.address.find(':') != std::string::npos) return selection;
        box.Show(kInvalidSelection, MsgButtons::OK, MsgIcon::Information, "");
    }
}

std::string NotOneBlockMessage(const std::string& address) {
    return "The selection " + address +
           " is not one block of cells. Select one block given by two corners, for example "
           "R2C3:R10C4.";
}

void ShowProblem(MessageBoxPort& box, const std::string& text) {
    box.Show(text, MsgButtons::OK, MsgIcon::Information, "");
}

}  // namespace utm
