// utm: the desktop coordinate converter. Starts with the main window `Utm` and
// connects it to the transfer window and to the spreadsheet application.
#include <signal.h>

#include <QApplication>

#include "app/AppWiring.h"
#include "mainwindow/ui/QtPorts.h"
#include "mainwindow/ui/Utm.h"
#include "ui/WindowBasics.h"
#ifdef UTM_HAVE_CALC
#include "spreadsheet/calc/CalcSpreadsheet.h"
#else
#include "spreadsheet/NoSpreadsheet.h"
#endif

int main(int argc, char** argv) {
    // The spreadsheet bridge writes to LibreOffice's pipe; when the office has
    // died, such a write would raise SIGPIPE and end the program. Ignored, the
    // write fails and the bridge reports the office as gone, which the
    // requests tell the user about.
    ::signal(SIGPIPE, SIG_IGN);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("UTM"));
    QApplication::setWindowIcon(utm::AppIcon());
    QApplication::setApplicationVersion(QStringLiteral(UTM_VERSION));

    utm::QtMessageBox messages;
    utm::QtFileDialog fileDialog;
    utm::Utm window(messages, fileDialog);
    messages.SetParent(&window);
    fileDialog.SetParent(&window);

    // The spreadsheet application, bound afresh by each request that uses it.
#ifdef UTM_HAVE_CALC
    utm::CalcSpreadsheet spreadsheet;
#else
    utm::NoSpreadsheet spreadsheet;
#endif

    utm::AppConnections connections;
    utm::ConnectWindows(window, messages, fileDialog, spreadsheet, connections);

    window.Form_Load();
    window.show();
    return QApplication::exec();
}
