// The Qt message box and file dialog behind the ports, answered by a timer
// that finds the modal dialog and presses its buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "mainwindow/ui/QtPorts.h"
#include "operations/BatchConversion.h"

namespace utm {
namespace {

/// Runs `act` on the modal dialog of type D once it is shown.
template <typename D>
void WhenShown(std::function<void(D&)> act) {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start(10);
}

TEST(QtNameFilters, ConvertsDescriptionPatternPairs) {
    EXPECT_EQ(QtNameFilters(kBrowseFilter).size(), 6);
    EXPECT_EQ(QtNameFilters(kSaveFilter).first(), QStringLiteral("Excel Files (*.xls)"));
    EXPECT_EQ(QtNameFilters("Data|*.csv;*.txt|Dangling"), QStringList{"Data (*.csv *.txt)"});
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

TEST(QtNameFilters, NameEachFileTypeOnceWithItsPatternsLast) {
    // A description naming its patterns as the filter gives them, with ';'.
    const QString kGisFilters =
        QStringLiteral("GIS Files (*.gpx *.kml *.geojson *.json *.shp *.gpkg *.dxf)");
    // The descriptions that start with their own pattern: the pattern moves to
    // the end, in parentheses, once.
    EXPECT_EQ(
        QtNameFilters(kBrowseFilter),
        (QStringList{"Excel Files (*.csv)", "Text Files (*.txt)", "Richtextformat Files (*.rtf)",
                     "Word Files (*.doc)", "Excel File (*.xls)", kGisFilters}));
    EXPECT_EQ(QtNameFilters(kSaveFilter),
              (QStringList{"Excel Files (*.xls)", "Text Files (*.txt)",
                           "Richtextformat Files (*.rtf)", "Word Files (*.doc)", kGisFilters}));
    EXPECT_EQ(QtNameFilters("*.csv (CSV Files)|*.csv|*.txt (Text Files:Tab delimeted)|*.txt"),
              (QStringList{"CSV Files (*.csv)", "Text Files:Tab delimeted (*.txt)"}));
    // Several patterns, and the empty end of a filter that closes with '|'.
    EXPECT_EQ(
        QtNameFilters("Calc and Excel workbooks|*.ods;*.xlsx;*.xls|*.xls (Excel Files)|*.xls|"),
        (QStringList{"Calc and Excel workbooks (*.ods *.xlsx *.xls)", "Excel Files (*.xls)"}));
    // A description that names its patterns already, or is nothing but them.
    EXPECT_EQ(QtNameFilters("Excel Files (*.csv)|*.csv|*.txt|*.txt| |*.dat"),
              (QStringList{"Excel Files (*.csv)", "*.txt", "*.dat"}));
    // A description in parentheses that is not its pattern's stays whole.
    EXPECT_EQ(QtNameFilters("*.txt (Text Files)|*.csv"), QStringList{"*.txt (Text Files) (*.csv)"});
}

TEST(QtMessageBox, ShowsTextTitleIconAndButtonsAndReturnsTheAnswer) {
    QtMessageBox port;
    QString title, text;
    QMessageBox::Icon icon{};
    int buttons = 0;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.buttons().size();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(port.Show("Do you want to overwrite file.", MsgButtons::YesNo, MsgIcon::None,
                        "Confirmation"),
              MsgAnswer::No);
    EXPECT_EQ(title, QStringLiteral("Confirmation"));
    EXPECT_EQ(text, QStringLiteral("Do you want to overwrite file."));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 2);

    WhenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        icon = box.icon();
        box.button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(
        port.Show("Values should be Numeric!", MsgButtons::OKCancel, MsgIcon::Information, ""),
        MsgAnswer::Cancel);
    EXPECT_EQ(title, QStringLiteral("UTM"));
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST(QtFileDialog, OpenAcceptsTheNameOfAFileThatDoesNotExist) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("new-points.csv"));
    QtFileDialog port;
    QStringList filters;
    QString title;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        EXPECT_EQ(dialog.selectedNameFilter(), filters.value(0));
        title = dialog.windowTitle();
        dialog.selectFile(missing);
        static_cast<QDialog&>(dialog).accept();
    });
    const auto chosen = port.Show({FileDialogAction::Open, kBrowseFilter, kBrowseTitle, "", ""});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, missing.toStdString());
    ASSERT_EQ(filters.size(), 6);
    EXPECT_EQ(filters.last(),
              QStringLiteral("GIS Files (*.gpx *.kml *.geojson *.json *.shp *.gpkg *.dxf)"));
    EXPECT_EQ(title, QStringLiteral("Select the data file for Sorting"));
}

TEST(QtFileDialog, SaveNeitherConfirmsNorAddsAnExtensionAndCancelGivesNothing) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("result"));
    QtFileDialog port;
    bool confirms = true, saves = false;
    QString suffix = QStringLiteral("?");
    QString shownFilter;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        shownFilter = dialog.selectedNameFilter();
        confirms = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        saves = dialog.acceptMode() == QFileDialog::AcceptSave;
        suffix = dialog.defaultSuffix();
        dialog.selectFile(target);
        static_cast<QDialog&>(dialog).accept();
    });
    const auto chosen = port.Show({FileDialogAction::Save, kSaveFilter, kSaveTitle,
                                   dir.path().toStdString(), "", kSaveFilterTextIndex});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, target.toStdString());
    EXPECT_FALSE(confirms);
    EXPECT_TRUE(saves);
    EXPECT_TRUE(suffix.isEmpty());
    EXPECT_EQ(shownFilter, QStringLiteral("Text Files (*.txt)"));

    WhenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(port.Show({FileDialogAction::Save, kSaveFilter, kSaveTitle, "", ""}).has_value());
}

}  // namespace
}  // namespace utm

#include <QProgressDialog>
#include <QThread>

#include "ui/QtProgress.h"

namespace utm {
namespace {

TEST(QtProgress, AppearsAfterAboutASecondAndCancelStopsTheRun) {
    QWidget owner;
    QtProgress progress(&owner, QStringLiteral("Converting the data file…"));
    const Progress report = progress.Callback();
    // A short run shows nothing.
    EXPECT_TRUE(report(0.1));
    EXPECT_EQ(owner.findChild<QProgressDialog*>(), nullptr);
    QThread::msleep(1100);
    EXPECT_TRUE(report(0.5));
    auto* dialog = owner.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Converting the data file…"));
    EXPECT_EQ(dialog->value(), dialog->maximum() / 2);
    dialog->cancel();
    EXPECT_FALSE(report(0.6));
}

}  // namespace
}  // namespace utm
