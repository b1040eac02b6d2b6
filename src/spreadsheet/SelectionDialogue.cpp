#include "spreadsheet/SelectionDialogue.h"

namespace utm {

std::optional<std::string> RunSelectionDialogue(SpreadsheetPort& app, MessageBoxPort& box,
                                                const std::string& prompt,
                                                const std::function<void()>& confirmed) {
    for (;;) {
        if (box.Show(prompt, MsgButtons::OKCancel, MsgIcon::None, "") == MsgAnswer::Cancel) {
            return std::nullopt;
        }
        app.Show();
        std::string address = app.SelectionAddress();
        if (box.Show(kConfirmationPrefix + address, MsgButtons::OKCancel, MsgIcon::None,
                     kConfirmationTitle) == MsgAnswer::Cancel) {
            continue;
        }
        if (confirmed) confirmed();
        if (address.find(':') != std::string::npos) return address;
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
