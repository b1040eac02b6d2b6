// Every window at the scale the run asks for (QT_SCALE_FACTOR, see
// CMakeLists.txt) in the desktop's font and in a large one: each part its
// layout places lies inside its parent, clear of its neighbours, and is at
// least as large as it asks to be, so that no caption or box is cut.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "about/Aboutfrm.h"
#include "about/frmAbout.h"
#include "mainwindow/ui/Utm.h"
#include "support/ScriptedPorts.h"
#include "transfer/FrmMERIDEX.h"
#include "ui/DataTableDialog.h"

namespace utm {
namespace {

double AskedScale() {
    bool ok = false;
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? scale : 1.0;
}

void Settle() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

/// True when `layout` or one of the layouts inside it places `widget`.
bool Places(QLayout* layout, QWidget* widget) {
    if (layout == nullptr) return false;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget) return true;
        if (Places(item->layout(), widget)) return true;
    }
    return false;
}

std::string Name(const QWidget* w) {
    return (w->objectName().isEmpty() ? std::string(w->metaObject()->className())
                                      : w->objectName().toStdString());
}

/// The checks on every shown part that a layout of `window` places.
void ExpectLaidOutWhole(QWidget* window) {
    std::vector<QWidget*> parts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        QWidget* parent = w->parentWidget();
        if (w->isWindow() || !w->isVisible() || parent == nullptr) continue;
        if (!Places(parent->layout(), w)) continue;
        parts.push_back(w);
    }
    ASSERT_FALSE(parts.empty());
    for (QWidget* w : parts) {
        SCOPED_TRACE(Name(w));
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
            << "outside " << Name(w->parentWidget());
        const QSize least = w->minimumSizeHint();
        const auto* label = qobject_cast<const QLabel*>(w);
        const bool wraps = label != nullptr && label->wordWrap();
        if (least.isValid()) {
            EXPECT_GE(w->width(), least.width());
            if (!wraps) {
                EXPECT_GE(w->height(), least.height());
            }
        }
        if (wraps) {
            EXPECT_GE(w->height(), label->heightForWidth(w->width()));
        } else if (label != nullptr || qobject_cast<const QAbstractButton*>(w) != nullptr ||
                   qobject_cast<const QComboBox*>(w) != nullptr) {
            // A caption, a button's text or a list's entry shows whole.
            EXPECT_GE(w->width(), w->sizeHint().width());
            EXPECT_GE(w->height(), w->sizeHint().height());
        }
        for (QWidget* other : parts) {
            if (other != w && other->parentWidget() == w->parentWidget()) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry())) << "over " << Name(other);
            }
        }
    }
}

/// One window as the program shows it, with what it needs kept alive.
struct Shown {
    test::ScriptedMessageBox messages;
    test::ScriptedFileDialog dialogs;
    std::unique_ptr<Utm> main;
    QPointer<QWidget> window;
    QTemporaryDir dir;
    ~Shown() {
        if (window && window != main.get()) delete window.data();
    }
};

struct WindowCase {
    const char* name;
    std::function<void(Shown&)> open;
};

void OpenMain(Shown& s, int mode, bool xyToLatLong) {
    s.main = std::make_unique<Utm>(s.messages, s.dialogs);
    s.main->Form_Load();
    s.main->findChild<QComboBox*>(QStringLiteral("Combo2"))->setCurrentIndex(mode);
    if (xyToLatLong) s.main->findChild<QRadioButton*>(QStringLiteral("Option2"))->setChecked(true);
    s.main->show();
    s.window = s.main.get();
}

const WindowCase kWindows[] = {
    {"MainSingleData", [](Shown& s) { OpenMain(s, 0, false); }},
    {"MainSingleDataXYToLatLong", [](Shown& s) { OpenMain(s, 0, true); }},
    {"MainMultipleData", [](Shown& s) { OpenMain(s, 1, false); }},
    {"MainWithinExcel", [](Shown& s) { OpenMain(s, 2, false); }},
    {"Transfer", [](Shown& s) { s.window = OpenMeridex(nullptr, s.messages, s.dialogs); }},
    {"TransferSevenParameters",
     [](Shown& s) {
         s.window = OpenMeridex(nullptr, s.messages, s.dialogs);
         s.window->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(2);
         s.window->findChild<QComboBox*>(QStringLiteral("Combo3"))->setCurrentIndex(3);
     }},
    {"AboutDialog",
     [](Shown& s) {
         OpenMain(s, 0, false);
         s.main->mnuAbout1_Click();
         s.window = s.main->AboutDialog();
     }},
    {"AboutText",
     [](Shown& s) {
         OpenMain(s, 0, false);
         s.main->AboutUTM_Click();
         s.window = s.main->AboutTextWindow();
     }},
    {"DataTable",
     [](Shown& s) {
         OpenMain(s, 1, false);
         QFile file(s.dir.filePath(QStringLiteral("survey.csv")));
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         file.write("# Survey 12\nPoint,Code,Lat,Long\nP1,BM,27.7172,85.3240\n\nP2,TP,28,86\n");
         file.close();
         auto* table =
             new DataTableDialog(CoordinateKind::LatLong, TableRequest(), s.messages, s.main.get());
         table->ShowFile(file.fileName().toStdString());
         s.window = table;
     }},
};

void PrintTo(const WindowCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowLayout : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowLayout, EveryPartInsideItsParentApartAndWholeInTheDesktopAndALargeFont) {
    const QFont desktop = QApplication::font();
    QFont large = desktop;
    large.setPointSizeF(16);
    for (const QFont& font : {desktop, large}) {
        SCOPED_TRACE(font.pointSizeF());
        QApplication::setFont(font);
        Shown shown;
        GetParam().open(shown);
        ASSERT_FALSE(shown.window.isNull());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown.window.data()));
        Settle();
        EXPECT_DOUBLE_EQ(shown.window->devicePixelRatioF(), AskedScale());
        EXPECT_GE(shown.window->width(), shown.window->minimumSizeHint().width());
        EXPECT_GE(shown.window->height(), shown.window->minimumSizeHint().height());
        ExpectLaidOutWhole(shown.window.data());
    }
    QApplication::setFont(desktop);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, WindowLayout, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace utm
