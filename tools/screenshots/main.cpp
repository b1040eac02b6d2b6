// utm_screenshots DIR: the pictures of utm's windows for the documentation.
// Builds the windows as utm does (without a spreadsheet application), puts them
// through their states, saves PNGs into DIR and ends; exit status 1 when a
// picture could not be written.
#include <QApplication>
#include <QLocale>
#include <QTextStream>
#include <QTimer>

#include "Screenshots.h"
#include "app/AppWiring.h"
#include "mainwindow/ui/QtPorts.h"
#include "mainwindow/ui/Utm.h"
#include "spreadsheet/NoSpreadsheet.h"
#include "ui/WindowBasics.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: utm_screenshots DIR" << Qt::endl;
        return 2;
    }
    QLocale::setDefault(QLocale::c());
    QApplication::setApplicationName(QStringLiteral("UTM"));
    QApplication::setWindowIcon(utm::AppIcon());

    utm::QtMessageBox messages;
    utm::QtFileDialog fileDialog;
    utm::Utm window(messages, fileDialog);
    messages.SetParent(&window);
    fileDialog.SetParent(&window);
    utm::NoSpreadsheet spreadsheet;
    utm::AppConnections connections;
    utm::ConnectWindows(window, messages, fileDialog, spreadsheet, connections);
    window.Form_Load();
    window.show();

    int status = 0;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(0, &window, [&] {
        status = utm::SaveScreenshots(window, folder) ? 0 : 1;
        QApplication::exit(status);
    });
    QApplication::exec();
    return status;
}
