#include "spreadsheet/SelectionDialogue.h"

#include <algorithm>
#include <vector>

#include "spreadsheet/RangeAddress.h"

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

namespace {

// True when `parts` are one column span cut into pieces by hidden rows only,
// as a filter leaves a list once its visible cells are selected.
bool SplitByHiddenRows(std::vector<CellBlock> parts, Worksheet& sheet) {
    std::sort(parts.begin(), parts.end(),
              [](const CellBlock& a, const CellBlock& b) { return a.firstRow < b.firstRow; });
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const CellBlock& above = parts[i - 1];
        const CellBlock& below = parts[i];
        if (below.firstColumn != above.firstColumn || below.lastColumn != above.lastColumn ||
            below.firstRow <= above.lastRow + 1 ||
            !sheet.RowsHidden(above.lastRow + 1, below.firstRow - 1)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string NotOneBlockMessage(const std::string& address, Worksheet* sheet) {
    constexpr const char* kSelectOneBlock =
        "Select one block given by two corners, for example C2:D10.";
    const std::optional<std::vector<CellBlock>> parts = ParseSelectedParts(address);
    if (!parts || parts->size() < 2) {
        return "The selection " + address + " is not one block of cells. " + kSelectOneBlock;
    }
    std::string text = "The selection ";
    for (std::size_t i = 0; i < parts->size(); ++i) {
        if (i > 0) text += ", ";
        text += A1Address((*parts)[i]);
    }
    text += " is not one block of cells: ";
    const std::string count = std::to_string(parts->size());
    if (sheet != nullptr && SplitByHiddenRows(*parts, *sheet)) {
        return text + "rows hidden by a filter split it into " + count +
               " parts, and results written beside it would land beside the hidden rows too. "
               "Show every row again (remove the filter), or copy the visible rows to a sheet "
               "of their own, and select them as one block.";
    }
    return text + "it is made of " + count + " separate parts. " + kSelectOneBlock;
}

void ShowProblem(MessageBoxPort& box, const std::string& text) {
    box.Show(text, MsgButtons::OK, MsgIcon::Information, "");
}

}  // namespace utm
