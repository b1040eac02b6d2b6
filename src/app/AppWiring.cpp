#include "app/AppWiring.h"

#include <QPointer>

#include "mainwindow/ui/Utm.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/TransferWithinExcel.h"
#include "transfer/FrmMERIDEX.h"

namespace utm {

void ConnectWindows(Utm& window, MessageBoxPort& messages, FileDialogPort& fileDialog,
                    SpreadsheetPort& spreadsheet, AppConnections& connections) {
    connections.messages = std::make_unique<WindowThreadMessageBox>(messages);
    MessageBoxPort& asked = *connections.messages;

    // The spreadsheet requests work off the window's thread: a million rows
    // take Calc seconds, and the window keeps painting meanwhile. What they
    // need of the window is read before; its file dialog and message boxes
    // are still shown on its thread.
    window.retrieve = [&window, &asked, &spreadsheet, &connections] {
        const std::string centralMeridian = window.CentralMeridianText();
        const ConversionDirection direction = window.Direction();
        const LatLongDatum datum = window.Datum();
        const Units units = window.ChosenUnits();
        CommonDialog& dialog = window.CommonDialog1();
        FileDialogPort& windowFiles = dialog.Port();
        WindowThreadFileDialog files(windowFiles);
        dialog.SetPort(files);
        try {
            RunOffWindowThread(window, QString(), [&](const Progress&) {
                Retrieve(
                    [&]() -> SelectRangePaste& {
                        if (!connections.selectRangePaste) {
                            connections.selectRangePaste =
                                std::make_unique<SelectRangePaste>(spreadsheet, asked);
                        }
                        return *connections.selectRangePaste;
                    },
                    asked, dialog, centralMeridian, direction,
                    [&window] { RunOnWindowThread([&window] { window.ClearDataFileBox(); }); },
                    datum, units);
            });
        } catch (...) {
            dialog.SetPort(windowFiles);
            throw;
        }
        dialog.SetPort(windowFiles);
    };

    // A fresh transfer window each time; one exchange object per press of
    // "Within Excel".
    window.openTransferWindow = [&window, &messages, &asked, &fileDialog, &spreadsheet] {
        QPointer<FrmMERIDEX> transfer = OpenMeridex(&window, messages, fileDialog);
        transfer->WithinExcel = [&asked, &spreadsheet, transfer] {
            if (transfer.isNull()) return;
            // The window has checked the datum shift's parameters before
            // running this; the transfer uses the same shift as its files.
            const DatumShift shift = transfer->ChosenDatumShift();
            const int kind = transfer->TransferKindPosition();
            const char decimalSeparator = FrmMERIDEX::LocaleDecimalSeparator();
            RunOffWindowThread(*transfer, QString(), [&](const Progress&) {
                ClsWithinExcel excel(spreadsheet, asked);
                TransferWithinExcel(excel, asked, kind, decimalSeparator, shift);
            });
        };
    };
}

}  // namespace utm
