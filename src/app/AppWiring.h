// Connects the main window to the transfer window and the spreadsheet
// application: the Retrieve command, the MERIDEX menu item and the transfer
// window's "Within Excel" button.
#pragma once

#include <memory>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"
#include "spreadsheet/SelectRangePaste.h"
#include "spreadsheet/SpreadsheetPort.h"
#include "ui/WindowThreadRun.h"

namespace utm {

class Utm;

/// What the connections keep for the life of the main window: its one
/// SelectRangePaste object, created on first use, and the message boxes as
/// the spreadsheet requests see them: shown on the window's thread while the
/// requests work off it.
struct AppConnections {
    std::unique_ptr<SelectRangePaste> selectRangePaste;
    std::unique_ptr<WindowThreadMessageBox> messages;
};

/// Sets the main window's Retrieve and MERIDEX hooks. Every object passed in
/// must outlive the window.
void ConnectWindows(Utm& window, MessageBoxPort& messages, FileDialogPort& fileDialog,
                    SpreadsheetPort& spreadsheet, AppConnections& connections);

}  // namespace utm
