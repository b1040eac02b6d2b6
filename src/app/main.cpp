// utm: the desktop coordinate converter. Starts with the main window `Utm` and
// connects it to the transfer window and to the spreadsheet application.
#include <signal.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <optional>

#include "app/AppWiring.h"
#include "mainwindow/ui/QtPorts.h"
#include "mainwindow/ui/Utm.h"
#include "ui/WindowBasics.h"
#ifdef UTM_HAVE_CALC
#include "spreadsheet/calc/CalcSpreadsheet.h"
#else
#include "spreadsheet/NoSpreadsheet.h"
#endif

namespace {

// Answers --help and --version, which need no window: read with a
// QCoreApplication only, before the QApplication connects to a display, so
// that they work on a console or over ssh. Gives the exit status when one of
// them was asked for. Every other argument is left to QApplication (its
// options -platform, -style, ...), so unknown ones are no error here.
std::optional<int> AnswerInformationOptions(int argc, char** argv) {
    QCoreApplication probe(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Coordinate converter for surveyors: latitude and longitude to Transverse "
        "Mercator grid coordinates and back, on the Everest 1830 grids of Nepal and the "
        "WGS 84 UTM zones 44 and 45.\n\nThe window also takes Qt's options, among "
        "them -platform NAME, -style STYLE and -qwindowgeometry GEOMETRY.\nThe "
        "command-line companion is utmconv."));
    // "-platform" is one option, not the letters p, l, a, ... (a "-reverse"
    // would otherwise read as -v).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("utm %s\n", UTM_VERSION);
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerInformationOptions(argc, argv)) {
        return *status;
    }

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
