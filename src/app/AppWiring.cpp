#include "app/AppWiring.h"

#include <QPointer>

#include "mainwindow/ui/Utm.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/TransferWithinExcel.h"
#include "transfer/FrmMERIDEX.h"

namespace utm {

void ConnectWindows(Utm& window, MessageBoxPort& messages, FileDialogPort& fileDialog,
                    SpreadsheetPort& spreadsheet, AppConnections& connections) {
    window.retrieve = [&window, &messages, &spreadsheet, &connections] {
        Retrieve(
            [&]() -> SelectRangePaste& {
                if (!connections.selectRangePaste) {
                    connections.selectRangePaste =
                        std::make_unique<SelectRangePaste>(spreadsheet, messages);
                }
                return *connections.selectRangePaste;
            },
            messages, window.CommonDialog1(), window.CentralMeridianText(), window.Direction(),
            [&window] { window.ClearDataFileBox(); }, window.Datum(), window.ChosenUnits());
    };

    // A fresh transfer window each time; one exchange object per press of
    // "Within Excel".
    window.openTransferWindow = [&window, &messages, &fileDialog, &spreadsheet] {
        QPointer<FrmMERIDEX> transfer = OpenMeridex(&window, messages, fileDialog);
        transfer->WithinExcel = [&messages, &spreadsheet, transfer] {
            if (transfer.isNull()) return;
            // The window has checked the datum shift's parameters before
            // running this; the transfer uses the same shift as its files.
            const DatumShift shift = transfer->ChosenDatumShift();
            ClsWithinExcel excel(spreadsheet, messages);
            TransferWithinExcel(excel, messages, transfer->TransferKindPosition(),
                                FrmMERIDEX::LocaleDecimalSeparator(), shift);
        };
    };
}

}  // namespace utm
