// main() of the GUI test programs: one QApplication for all tests, on the
// offscreen platform unless another is asked for, with the C locale so that
// results show "." as decimal separator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("UTM"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
