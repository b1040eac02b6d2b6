#include "Screenshots.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include "about/Aboutfrm.h"
#include "about/frmAbout.h"
#include "mainwindow/ui/Utm.h"
#include "transfer/FrmMERIDEX.h"
#include "ui/DataTableDialog.h"

namespace utm {

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget& widget, const QDir& dir, const QString& name) {
    Settle();
    const QString path = dir.filePath(name);
    const bool ok = widget.grab().save(path, "PNG");
    QTextStream(stdout) << (ok ? "wrote " : "could not write ") << path << Qt::endl;
    return ok;
}

}  // namespace

bool SaveScreenshots(Utm& window, const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) return false;
    auto* mode = window.findChild<QComboBox*>(QStringLiteral("Combo2"));
    auto* text2 = window.findChild<QLineEdit*>(QStringLiteral("Text2"));
    auto* text3 = window.findChild<QLineEdit*>(QStringLiteral("Text3"));
    auto* option2 = window.findChild<QRadioButton*>(QStringLiteral("Option2"));
    if (mode == nullptr || text2 == nullptr || text3 == nullptr || option2 == nullptr) return false;

    bool ok = Save(window, dir, QStringLiteral("utm-start.png"));
    mode->setCurrentIndex(0);
    text2->setText(QStringLiteral("27.7"));
    text3->setText(QStringLiteral("85.3"));
    window.Command2_Click();
    ok = Save(window, dir, QStringLiteral("utm-single-data.png")) && ok;
    // The same position as a GPS gives it (WGS 84), shifted to Nepal 1981.
    if (auto* datum = window.findChild<QComboBox*>(QStringLiteral("Combo4"))) {
        datum->setCurrentIndex(1);
        window.Command2_Click();
        ok = Save(window, dir, QStringLiteral("utm-single-data-wgs84.png")) && ok;
        datum->setCurrentIndex(0);
    }
    option2->setChecked(true);
    window.Command3_Click();
    text2->setText(QStringLiteral("500000"));
    text3->setText(QStringLiteral("3000000"));
    window.Command2_Click();
    ok = Save(window, dir, QStringLiteral("utm-xy-to-latlong.png")) && ok;

    // The worked point (27.7°, 85.3° on CM 84 is X 628198.193, Y 3065307.732)
    // back to latitude and longitude in each unit; the one in degrees, minutes
    // and seconds is also the README's picture.
    auto* units = window.findChild<QComboBox*>(QStringLiteral("Combo3"));
    if (units == nullptr || units->count() != 3) return false;
    text2->setText(QStringLiteral("628198.193"));
    text3->setText(QStringLiteral("3065307.732"));
    const char* unitNames[] = {"degrees", "degrees8", "dms"};
    for (int i = 0; i < 3; ++i) {
        units->setCurrentIndex(i);
        window.Command2_Click();
        ok = Save(window, dir, QStringLiteral("utm-units-%1.png").arg(unitNames[i])) && ok;
    }
    ok = Save(window, dir, QStringLiteral("utm-main-window.png")) && ok;
    // The same point typed in degrees, minutes and seconds.
    if (auto* option1 = window.findChild<QRadioButton*>(QStringLiteral("Option1"))) {
        option1->setChecked(true);
        window.Command3_Click();
        text2->setText(QStringLiteral("27\u00b042\u203200\u2033"));
        text3->setText(QStringLiteral("85\u00b018\u203200\u2033"));
        window.Command2_Click();
        ok = Save(window, dir, QStringLiteral("utm-units-dms-input.png")) && ok;
        option2->setChecked(true);
    }
    units->setCurrentIndex(0);
    mode->setCurrentIndex(1);
    ok = Save(window, dir, QStringLiteral("utm-multiple-data.png")) && ok;
    {
        // The table Browse shows, on a small survey file with a comment, a
        // header row and a blank line.
        QTemporaryDir temp;
        QFile sample(temp.filePath(QStringLiteral("survey.csv")));
        if (temp.isValid() && sample.open(QIODevice::WriteOnly)) {
            sample.write(
                "# Survey 12, checked 3 May\n"
                "Point,Code,Lat,Long,Height\n"
                "P1,BM,27.7172,85.3240,1337.2\n"
                "P2,TP,27.7019,85.3206,1301.5\n"
                "\n"
                "P3,BM,27.6710,85.4298,1401.0\n");
            sample.close();
            DataTableDialog table(CoordinateKind::LatLong, TableRequest(), window.Messages(),
                                  &window);
            if (table.ShowFile(sample.fileName().toStdString())) {
                ok = Save(table, dir, QStringLiteral("utm-data-table.png")) && ok;
            }
            table.hide();
        }
    }
    mode->setCurrentIndex(2);
    ok = Save(window, dir, QStringLiteral("utm-within-excel.png")) && ok;

    window.mnuAbout1_Click();
    if (frmAbout* about = window.AboutDialog()) {
        ok = Save(*about, dir, QStringLiteral("frmAbout.png")) && ok;
    }
    window.AboutUTM_Click();
    if (Aboutfrm* text = window.AboutTextWindow()) {
        ok = Save(*text, dir, QStringLiteral("Aboutfrm.png")) && ok;
    }

    // The transfer window, opened as the MERIDEX menu item opens it.
    window.Meridex_Click();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* transfer = qobject_cast<FrmMERIDEX*>(w); transfer && transfer->isVisible()) {
            ok = Save(*transfer, dir, QStringLiteral("FrmMERIDEX.png")) && ok;
            // A transfer across the datums without a shift says so; the seven
            // parameters appear when they are chosen.
            auto* kind = transfer->findChild<QComboBox*>(QStringLiteral("Combo1"));
            auto* shift = transfer->findChild<QComboBox*>(QStringLiteral("Combo3"));
            if (kind != nullptr) {
                kind->setCurrentIndex(2);
                ok = Save(*transfer, dir, QStringLiteral("FrmMERIDEX-no-shift.png")) && ok;
            }
            if (shift != nullptr && shift->count() > 2) {
                shift->setCurrentIndex(shift->count() - 1);
                ok = Save(*transfer, dir, QStringLiteral("FrmMERIDEX-seven-parameters.png")) && ok;
            }
            transfer->close();
        }
    }
    return ok;
}

}  // namespace utm
