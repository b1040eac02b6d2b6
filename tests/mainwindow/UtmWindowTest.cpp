// The main window driven as a user would: typing, clicking, menus; messages
// and file dialogs answered by scripted ports.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "mainwindow/ui/Utm.h"
#include "support/QtWait.h"
#include "support/ScriptedPorts.h"
#include "ui/DataTableDialog.h"

namespace utm {
namespace {

const QString kEasting = QStringLiteral("X-Co-ordinate :\n     (Easting)");
const QString kNorthing = QStringLiteral("Y-Co-ordinate :\n     (Northing)");

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class UtmWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.Form_Load();
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    template <typename W>
    W* Get(const char* name) {
        W* widget = window_.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* Box(const char* name) { return Get<QLineEdit>(name); }
    QString Text(const char* name) { return Box(name)->text(); }
    QAction* Item(const char* name) { return Get<QAction>(name); }
    void PickMode(int index) { Get<QComboBox>("Combo2")->setCurrentIndex(index); }
    void Type(const char* box, const QString& keys) {
        Box(box)->clear();
        for (QChar key : keys) {
            if (key.unicode() < 0x100) {
                QTest::keyClick(Box(box), key.toLatin1());
                continue;
            }
            // A character beyond Latin-1 (′, ″) as a keyboard layout types it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(key));
            QApplication::sendEvent(Box(box), &press);
        }
    }
    int ClientHeight() { return window_.centralWidget()->height(); }
    std::string TempPath(const char* name) { return dir_.filePath(name).toStdString(); }

    test::ScriptedMessageBox messages_;
    test::ScriptedFileDialog dialogs_;
    Utm window_{messages_, dialogs_};
    QTemporaryDir dir_;
};

TEST_F(UtmWindow, StartsInTheSinglePointLayoutWithNothingChosen) {
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("UTM"));
    auto* mode = Get<QComboBox>("Combo2");
    EXPECT_EQ(mode->currentIndex(), -1);
    EXPECT_EQ(mode->currentText(), QStringLiteral(" Drop me"));
    ASSERT_EQ(mode->count(), 3);
    EXPECT_EQ(mode->itemText(0), QStringLiteral("Single Data"));
    EXPECT_EQ(mode->itemText(1), QStringLiteral("Multiple Data"));
    EXPECT_EQ(mode->itemText(2), QStringLiteral("Within Excel"));
    EXPECT_EQ(Get<QComboBox>("Combo3")->currentText(), QStringLiteral(" \u00b0, m"));
    EXPECT_EQ(Text("Text1"), QStringLiteral("84"));
    EXPECT_EQ(Text("Text6"), QStringLiteral("Load data file"));
    EXPECT_FALSE(Get<QPushButton>("Command2")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Command6")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Command1")->isVisible());
    EXPECT_FALSE(Box("Text6")->isVisible());
    EXPECT_FALSE(Get<QGroupBox>("Frame1")->isEnabled());
    EXPECT_FALSE(Get<QGroupBox>("Frame2")->isEnabled());
    EXPECT_TRUE(Get<QRadioButton>("Option1")->isChecked());
    EXPECT_EQ(Get<QLabel>("Label2")->text(), QStringLiteral("Latitude :"));
    EXPECT_EQ(Get<QLabel>("Label3")->text(), QStringLiteral("Longitude :"));
    EXPECT_EQ(Get<QLabel>("Label4")->text(), kEasting);
    EXPECT_EQ(Get<QLabel>("Label5")->text(), kNorthing);
    EXPECT_FALSE(Item("FileTop")->isChecked());
    EXPECT_FALSE(window_.ShowsDataFileRow());
    EXPECT_LT(Get<QGroupBox>("Frame1")->geometry().bottom(), Get<QPushButton>("Command2")->y());
    EXPECT_EQ(Item("mnubrowse")->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
    EXPECT_EQ(Item("mnuexcelret")->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(Item("mnuexit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_EQ(Item("mnuAbout1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
}

TEST_F(UtmWindow, EachModeRearrangesTheWindow) {
    struct Expect {
        int index;
        bool convert, retrieve, browseShown, browseEnabled, fileRow, frames;
    };
    QMap<bool, int> heights;  // the window's height without and with the file row
    // Multiple Data then Single Data checks that the single-point layout returns.
    for (const Expect& e : {Expect{1, true, false, true, true, true, false},
                            Expect{0, true, false, false, false, false, true},
                            Expect{2, false, true, true, false, true, false}}) {
        SCOPED_TRACE(e.index);
        PickMode(e.index);
        QCoreApplication::processEvents();  // the layout follows the shown rows
        EXPECT_EQ(window_.ShowsDataFileRow(), e.fileRow);
        EXPECT_EQ(window_.height(),
                  window_.menuBar()->height() + ClientHeight() + window_.statusBar()->height());
        EXPECT_EQ(window_.size(), window_.minimumSize());
        if (heights.contains(e.fileRow)) {
            EXPECT_EQ(window_.height(), heights[e.fileRow]);
        }
        heights[e.fileRow] = window_.height();
        // The button row below everything else, its parts on one line.
        const int rowTop = Get<QPushButton>("Command2")->y();
        const QWidget* above = e.fileRow ? static_cast<QWidget*>(Box("Text6"))
                                         : static_cast<QWidget*>(Get<QGroupBox>("Frame1"));
        EXPECT_LT(above->geometry().bottom(), rowTop);
        for (const char* name : {"Command6", "Command3", "Command5"}) {
            EXPECT_EQ(window_.findChild<QWidget*>(name)->y(), rowTop) << name;
        }
        EXPECT_EQ(Get<QPushButton>("Command2")->isEnabled(), e.convert);
        EXPECT_EQ(Get<QPushButton>("Command6")->isEnabled(), e.retrieve);
        EXPECT_EQ(Get<QPushButton>("Command1")->isVisible(), e.browseShown);
        EXPECT_EQ(Get<QPushButton>("Command1")->isEnabled(), e.browseEnabled);
        EXPECT_EQ(Box("Text6")->isVisible(), e.fileRow);
        EXPECT_EQ(Get<QGroupBox>("Frame1")->isEnabled(), e.frames);
        EXPECT_EQ(Get<QGroupBox>("Frame2")->isEnabled(), e.frames);
    }
    EXPECT_GT(heights[true], heights[false]);
    EXPECT_EQ(Text("Text6"), QStringLiteral("Load data file"));
}

TEST_F(UtmWindow, EveryCaptionIsFullyReadableInEveryLayout) {
    for (int mode : {0, 1}) {
        for (const char* option : {"Option1", "Option2"}) {
            PickMode(mode);
            Get<QRadioButton>(option)->setChecked(true);
            const QRect client = window_.centralWidget()->rect();
            for (QWidget* w : window_.centralWidget()->findChildren<QWidget*>()) {
                const QString name = w->objectName();
                if (!w->isVisible() || name.isEmpty() || name.startsWith(QStringLiteral("qt_")))
                    continue;
                const QRect inClient(w->mapTo(window_.centralWidget(), QPoint(0, 0)), w->size());
                EXPECT_TRUE(client.contains(inClient))
                    << w->objectName().toStdString() << " mode " << mode << " " << option;
            }
            for (auto* label : window_.centralWidget()->findChildren<QLabel*>()) {
                EXPECT_GE(label->width(), label->sizeHint().width())
                    << label->objectName().toStdString();
                EXPECT_GE(label->height(), label->sizeHint().height())
                    << label->objectName().toStdString();
            }
            for (auto* button : window_.centralWidget()->findChildren<QRadioButton*>()) {
                EXPECT_GE(button->width(), button->sizeHint().width());
            }
            // A caption ends before the box it names.
            for (auto [label, box] : {std::pair{"Label1", "Text1"},
                                      {"Label2", "Text2"},
                                      {"Label3", "Text3"},
                                      {"Label4", "Text4"},
                                      {"Label5", "Text5"}}) {
                EXPECT_LT(Get<QLabel>(label)->geometry().right(), Box(box)->x()) << label;
            }
            EXPECT_LT(Get<QLabel>("Label6")->geometry().right(), Get<QComboBox>("Combo2")->x());
            EXPECT_LT(Get<QLabel>("Label7")->geometry().right(), Get<QComboBox>("Combo3")->x());
        }
    }
}

TEST_F(UtmWindow, DirectionSwapsTheLabelsKeepsTheInputsAndEmptiesTheResults) {
    PickMode(0);
    Box("Text2")->setText(QStringLiteral("1"));
    Box("Text4")->setText(QStringLiteral("2"));
    QTest::mouseClick(Get<QRadioButton>("Option2"), Qt::LeftButton);
    EXPECT_EQ(Get<QLabel>("Label2")->text(), kEasting);
    EXPECT_EQ(Get<QLabel>("Label3")->text(), kNorthing);
    EXPECT_EQ(Get<QLabel>("Label4")->text(), QStringLiteral("Latitude :"));
    EXPECT_EQ(Get<QLabel>("Label5")->text(), QStringLiteral("Longitude :"));
    EXPECT_EQ(Box("Text1")->cursorPosition(), 2);
    QTest::mouseClick(Get<QRadioButton>("Option1"), Qt::LeftButton);
    EXPECT_EQ(Get<QLabel>("Label2")->text(), QStringLiteral("Latitude :"));
    EXPECT_EQ(Get<QLabel>("Label5")->text(), kNorthing);
    EXPECT_EQ(Text("Text2"), QStringLiteral("1"));
    EXPECT_TRUE(Text("Text4").isEmpty());
}

TEST_F(UtmWindow, ConvertsATypedPointBothWays) {
    PickMode(0);
    Type("Text2", QStringLiteral("27.7"));
    Type("Text3", QStringLiteral("85.3"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(Text("Text4"), QStringLiteral("628198.193"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("3065307.732"));

    QTest::mouseClick(Get<QRadioButton>("Option2"), Qt::LeftButton);
    Type("Text2", QStringLiteral("500000"));
    Type("Text3", QStringLiteral("3000000"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(Text("Text4"), QStringLiteral("27.117"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("84.000"));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(UtmWindow, BadInputShowsTheMessageAndLeavesNoStaleOutputs) {
    PickMode(0);
    Type("Text2", QStringLiteral("27.5"));
    Type("Text3", QStringLiteral("84"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    ASSERT_EQ(Text("Text4"), QStringLiteral("500000.000"));
    for (const QString& bad : {QString(), QStringLiteral("12.5.3")}) {
        Type("Text3", bad);
        QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    }
    ASSERT_EQ(messages_.shown.size(), 2u);
    for (const test::ShownMessage& m : messages_.shown) {
        EXPECT_EQ(m.text, "Values should be Numeric!");
        EXPECT_EQ(m.buttons, MsgButtons::OK);
        EXPECT_EQ(m.icon, MsgIcon::Information);
        EXPECT_EQ(m.title, "UTM");
    }
    // The edit emptied the results: none stands for the refused input.
    EXPECT_TRUE(Text("Text4").isEmpty());
    EXPECT_TRUE(Text("Text5").isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), Box("Text1"));
    // A pasted negative value passes the numeric test, but -12.5 lies 96.5
    // degrees from the central meridian, where the projection is not defined.
    Box("Text3")->setText(QStringLiteral("-12.5"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    ASSERT_EQ(messages_.shown.size(), 3u);
    EXPECT_EQ(messages_.shown[2].text,
              "The longitude -12.5 lies 96.5 degrees from the central meridian 84, more than the "
              "90 degrees within which the projection is defined. Nothing was converted.");
    EXPECT_TRUE(Text("Text4").isEmpty());
    // Converted, with a word that 9 degrees from the central meridian the
    // series lose their accuracy.
    Box("Text2")->setText(QStringLiteral("-27.5"));
    Box("Text3")->setText(QStringLiteral("75"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    ASSERT_EQ(messages_.shown.size(), 4u);
    EXPECT_NE(messages_.shown[3].text.find("more than 655 km"), std::string::npos);
    EXPECT_NE(Text("Text4"), QStringLiteral("500000.000"));
}

TEST_F(UtmWindow, NumberBoxesTakeOnlyDigitsPointsAndBackspace) {
    PickMode(0);
    for (const char* name : {"Text1", "Text2", "Text3"}) {
        Type(name, QStringLiteral("1a-2, e3.4+E"));
        EXPECT_EQ(Text(name), QStringLiteral("123.4")) << name;
        QTest::keyClick(Box(name), Qt::Key_Backspace);
        EXPECT_EQ(Text(name), QStringLiteral("123.")) << name;
        // Ctrl+Backspace is DEL, not a backspace: it would delete a whole word.
        QTest::keyClick(Box(name), Qt::Key_Backspace, Qt::ControlModifier);
        EXPECT_EQ(Text(name), QStringLiteral("123.")) << name;
    }
    // Arrows and Delete still edit.
    QTest::keyClick(Box("Text2"), Qt::Key_Home);
    QTest::keyClick(Box("Text2"), Qt::Key_Delete);
    EXPECT_EQ(Text("Text2"), QStringLiteral("23."));
}

TEST_F(UtmWindow, MenuShortcutsWinOverTheBoxesAndExitRunsFromEveryPlace) {
    PickMode(0);
    window_.activateWindow();
    Box("Text2")->setFocus();
    int exits = 0;
    window_.exitProgram = [&] { ++exits; };
    QTest::keyClick(Box("Text2"), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(dialogs_.requests.size(), 1u);  // Browse ran (and was cancelled)
    QTest::keyClick(Box("Text2"), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(exits, 1);
    // In the output and data-file boxes Ctrl+X is Exit too, not Cut: the
    // data-file path must not vanish.
    Box("Text6")->setText(QStringLiteral("/data/points.csv"));
    Box("Text4")->setText(QStringLiteral("123.456"));
    for (const char* name : {"Text6", "Text4", "Text5"}) {
        Box(name)->setFocus();
        Box(name)->selectAll();
        QTest::keyClick(Box(name), Qt::Key_X, Qt::ControlModifier);
    }
    EXPECT_EQ(exits, 4);
    EXPECT_EQ(Text("Text6"), QStringLiteral("/data/points.csv"));
    EXPECT_EQ(Text("Text4"), QStringLiteral("123.456"));
    QTest::mouseClick(Get<QPushButton>("Command5"), Qt::LeftButton);
    Item("mnuexit")->trigger();
    EXPECT_EQ(exits, 6);
}

TEST_F(UtmWindow, ComboBoxesTakeNoTypedKeys) {
    QTest::keyClicks(Get<QComboBox>("Combo2"), QStringLiteral("Multiple"));
    EXPECT_EQ(Get<QComboBox>("Combo2")->currentText(), QStringLiteral(" Drop me"));
    EXPECT_EQ(Get<QComboBox>("Combo2")->currentIndex(), -1);
    QTest::keyClicks(Get<QComboBox>("Combo3"), QStringLiteral("ft"));
    EXPECT_EQ(Get<QComboBox>("Combo3")->currentText(), QStringLiteral(" \u00b0, m"));
    // The units are a list: no text to type into, and a typed "0" does not
    // pick "0.00000001°, m" either; the arrow keys choose.
    auto* units = Get<QComboBox>("Combo3");
    EXPECT_FALSE(units->isEditable());
    ASSERT_EQ(units->count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(units->itemText(i), QString::fromUtf8(kUnitCaptions[i]));
    QTest::keyClicks(units, QStringLiteral("0.d"));
    EXPECT_EQ(units->currentIndex(), 0);
    EXPECT_EQ(window_.ChosenUnits(), Units::DegreesMetres);
    QTest::keyClick(units, Qt::Key_Down);
    EXPECT_EQ(window_.ChosenUnits(), Units::Degrees8);
    QTest::keyClick(units, Qt::Key_Down);
    EXPECT_EQ(window_.ChosenUnits(), Units::Dms);
}

TEST_F(UtmWindow, ClearEmptiesThePointBoxesOnly) {
    PickMode(0);
    for (const char* name : {"Text2", "Text3", "Text4", "Text5"}) Box(name)->setText("5");
    Box("Text6")->setText(QStringLiteral("/data/points.csv"));
    Box("Text1")->setText(QStringLiteral("87"));
    QTest::mouseClick(Get<QPushButton>("Command3"), Qt::LeftButton);
    for (const char* name : {"Text2", "Text3", "Text4", "Text5"}) EXPECT_TRUE(Text(name).isEmpty());
    EXPECT_EQ(Text("Text1"), QStringLiteral("87"));
    EXPECT_EQ(Text("Text6"), QStringLiteral("/data/points.csv"));
}

TEST_F(UtmWindow, AlwaysOnTopTwiceLeavesTheWindowNotTopmostAtTheTopLeft) {
    window_.move(120, 90);
    const QPoint corner = window_.screen()->geometry().topLeft();
    Item("FileTop")->trigger();
    EXPECT_TRUE(Item("FileTop")->isChecked());
    EXPECT_TRUE(window_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(window_.pos(), corner);
    window_.move(120, 90);
    Item("FileTop")->trigger();
    EXPECT_FALSE(Item("FileTop")->isChecked());
    EXPECT_FALSE(window_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(window_.pos(), corner);
}

TEST_F(UtmWindow, MenuItemsWorkWhileTheirButtonsAreHiddenOrDisabled) {
    const std::string data = TempPath("points.csv");
    WriteFile(data, "27.7,85.3\r\n27.5,84\r\n28,86\r\n");
    int retrieved = 0, transfers = 0;
    // With no hooks set, Retrieve and MERIDEX do nothing.
    Item("mnuexcelret")->trigger();
    Item("Meridex")->trigger();
    window_.retrieve = [&] { ++retrieved; };
    window_.openTransferWindow = [&] { ++transfers; };

    PickMode(2);
    ASSERT_TRUE(Get<QPushButton>("Command1")->isVisible());
    ASSERT_FALSE(Get<QPushButton>("Command1")->isEnabled());
    dialogs_.choices.push_back(data);
    // The data-file box names the file while its count is shown.
    QString shownWithCount;
    messages_.beforeAnswer.push_back([&] { shownWithCount = Text("Text6"); });
    Item("mnubrowse")->trigger();
    EXPECT_EQ(shownWithCount.toStdString(), data);
    EXPECT_EQ(Text("Text6").toStdString(), data);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "No of Data = 3");

    PickMode(0);  // Retrieve button disabled, the menu item still runs it
    Item("mnuexcelret")->trigger();
    Item("Meridex")->trigger();
    QTest::mouseClick(Get<QPushButton>("Command6"), Qt::LeftButton);  // disabled: no effect
    EXPECT_EQ(retrieved, 1);
    EXPECT_EQ(transfers, 1);
}

TEST_F(UtmWindow, BrowseThenBatchWritesTheOutputFileExactly) {
    const std::string data = TempPath("points.csv");
    const std::string out = TempPath("out.xls");
    WriteFile(data, "27.7,85.3\r\n27.5,84\r\n28,86\r\n");
    PickMode(1);
    dialogs_.choices = {data, out};
    QTest::mouseClick(Get<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(Text("Text6").toStdString(), data);
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    ASSERT_EQ(dialogs_.requests.size(), 2u);
    EXPECT_EQ(dialogs_.requests[0].action, FileDialogAction::Open);
    EXPECT_EQ(dialogs_.requests[1].action, FileDialogAction::Save);
    EXPECT_EQ(dialogs_.requests[1].title, "Save the file for Output");
    // The save dialog opens on the text files' entry: tab-separated text is written.
    EXPECT_EQ(dialogs_.requests[0].filterIndex, 1);
    EXPECT_EQ(dialogs_.requests[1].filterIndex, 2);
    EXPECT_EQ(dialogs_.requests[1].fileName, data);  // one file name for both dialogs
    EXPECT_EQ(ReadFile(out),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27.7\t85.3\t628198.193\t3065307.732\r\n"
              "27.5\t84\t500000\t3042473.351\r\n"
              "28\t86\t696698.79\t3099482.324\r\n");
    ASSERT_EQ(messages_.shown.size(), 1u);  // "No of Data = 3" only
    EXPECT_EQ(window_.Columns().DataCount, 0u);
    // Done: said in the status line, no box to close.
    EXPECT_TRUE(window_.statusBar()->currentMessage().startsWith(
        QStringLiteral("3 points written to out.xls in ")))
        << window_.statusBar()->currentMessage().toStdString();

    // A cancelled save dialog keeps the last name, here the output file: a
    // second run rewrites it identically.
    const std::string first = ReadFile(out);
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(out), first);
}

TEST_F(UtmWindow, TheDataFileIsRefusedAsOutputEvenAfterYes) {
    // Browse, Convert, Enter, Enter: the save dialog offers the data file's
    // own name, and the data file must survive.
    const std::string data = TempPath("points.csv");
    const std::string bytes = "27.7,85.3\r\n";
    WriteFile(data, bytes);
    PickMode(1);
    dialogs_.choices = {data};  // Browse picks it; the save dialog is cancelled
    window_.Command1_Click();
    messages_.answers = {MsgAnswer::OK, MsgAnswer::Yes};
    window_.Command2_Click();
    ASSERT_EQ(messages_.shown.size(), 2u);
    EXPECT_NE(messages_.shown[1].text.find("is the data file itself"), std::string::npos)
        << messages_.shown[1].text;
    EXPECT_EQ(messages_.shown[1].buttons, MsgButtons::OK);
    EXPECT_EQ(ReadFile(data), bytes);
}

TEST_F(UtmWindow, OverwriteQuestionDefaultsToNoAndNoKeepsTheFile) {
    const std::string data = TempPath("points.csv");
    const std::string out = TempPath("result.txt");
    WriteFile(data, "27.7,85.3\r\n");
    WriteFile(out, "previous");
    PickMode(1);
    dialogs_.choices = {data, out};
    window_.Command1_Click();
    messages_.answers = {MsgAnswer::OK, MsgAnswer::No};
    window_.Command2_Click();
    ASSERT_EQ(messages_.shown.size(), 2u);
    EXPECT_EQ(messages_.shown[1].text, "Do you want to overwrite file.");
    EXPECT_EQ(messages_.shown[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages_.shown[1].title, "Confirmation");
    EXPECT_EQ(messages_.shown[1].defaultButton, utm::MsgDefault::Second);
    EXPECT_EQ(ReadFile(out), "previous");
}

// --- Frames, button row, keys and clipboard ------------------------------------------

/// The scale the run was asked for through QT_SCALE_FACTOR (1 without).
double AskedScale() {
    bool ok = false;
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? scale : 1.0;
}

TEST_F(UtmWindow, CaptionsAndBoxesStayInsideTheirFramesBelowTheTitle) {
    // The run at 1.5 scale is the same test with QT_SCALE_FACTOR=1.5 set.
    EXPECT_DOUBLE_EQ(window_.devicePixelRatioF(), AskedScale());
    PickMode(0);
    for (const char* option : {"Option1", "Option2"}) {
        Get<QRadioButton>(option)->setChecked(true);  // one-line and two-line captions
        QCoreApplication::processEvents();
        // Side by side, equally high, inside the window.
        const QRect input = Get<QGroupBox>("Frame1")->geometry();
        const QRect output = Get<QGroupBox>("Frame2")->geometry();
        EXPECT_LT(input.right(), output.left());
        EXPECT_EQ(input.top(), output.top());
        EXPECT_EQ(input.height(), output.height());
        EXPECT_TRUE(window_.centralWidget()->rect().contains(input.united(output)));
        for (const char* name : {"Frame1", "Frame2"}) {
            SCOPED_TRACE(std::string(option) + " " + name);
            auto* frame = Get<QGroupBox>(name);
            QStyleOptionGroupBox opt;
            opt.initFrom(frame);
            opt.text = frame->title();
            opt.lineWidth = 1;
            opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &opt,
                                                               QStyle::SC_GroupBoxLabel, frame);
            const QRect inside = frame->contentsRect();
            ASSERT_GT(inside.top(), title.bottom());
            QList<QWidget*> parts = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            ASSERT_EQ(parts.size(), 4);
            for (QWidget* part : parts) {
                EXPECT_TRUE(inside.contains(part->geometry()))
                    << part->objectName().toStdString() << " at " << part->geometry().top() << ".."
                    << part->geometry().bottom() << " inside " << inside.top() << ".."
                    << inside.bottom();
                EXPECT_GE(part->height(), part->minimumSizeHint().height())
                    << part->objectName().toStdString();
                for (QWidget* other : parts) {
                    if (other != part) {
                        EXPECT_FALSE(part->geometry().intersects(other->geometry()));
                    }
                }
            }
        }
    }
}

TEST_F(UtmWindow, ButtonRowKeepsItsPartsApartAndShowsTheLongestUnitWhole) {
    auto* units = Get<QComboBox>("Combo3");
    QString longest;
    for (const char* caption : kUnitCaptions) {
        const QString text = QString::fromUtf8(caption);
        if (units->fontMetrics().horizontalAdvance(text) >
            units->fontMetrics().horizontalAdvance(longest))
            longest = text;
    }
    for (int mode : {0, 1}) {
        PickMode(mode);
        const QRect client = window_.centralWidget()->rect();
        QWidget* previous = nullptr;
        for (const char* name :
             {"Command2", "Command6", "Command3", "Command5", "Label7", "Combo3"}) {
            auto* part = window_.findChild<QWidget*>(QString::fromLatin1(name));
            EXPECT_TRUE(client.contains(part->geometry())) << name;
            if (previous != nullptr) {
                EXPECT_LT(previous->geometry().right(), part->x()) << name;
            }
            previous = part;
            if (auto* button = qobject_cast<QPushButton*>(part)) {
                const QString text = button->text().remove(QChar('&'));
                EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(text) + 6)
                    << name;
            }
        }
        units->setCurrentText(longest);
        QStyleOptionComboBox opt;
        opt.initFrom(units);
        const QRect field = units->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                           QStyle::SC_ComboBoxEditField, units);
        EXPECT_GE(field.width(), units->fontMetrics().horizontalAdvance(longest)) << mode;
    }
}

TEST_F(UtmWindow, EnterOrReturnOnAFocusedButtonPressesIt) {
    window_.activateWindow();
    PickMode(0);
    Box("Text2")->setText(QStringLiteral("27.7"));
    auto* clear = Get<QPushButton>("Command3");
    clear->setFocus();
    QTest::keyClick(clear, Qt::Key_Return);
    EXPECT_TRUE(Text("Text2").isEmpty());

    PickMode(1);
    auto* browse = Get<QPushButton>("Command1");
    browse->setFocus();
    QTest::keyClick(browse, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialogs_.requests.size(), 1u);
    // With Ctrl or Alt held it is no press of the button.
    QTest::keyClick(browse, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dialogs_.requests.size(), 1u);

    int exits = 0;
    window_.exitProgram = [&] { ++exits; };
    Get<QPushButton>("Command5")->setFocus();
    QTest::keyClick(Get<QPushButton>("Command5"), Qt::Key_Return);
    EXPECT_EQ(exits, 1);
}

TEST_F(UtmWindow, OutputsAreReadOnlyAndCopyOneByOneOrBothTogether) {
    PickMode(0);
    Type("Text2", QStringLiteral("27.7"));
    Type("Text3", QStringLiteral("85.3"));
    window_.Command2_Click();
    ASSERT_EQ(Text("Text4"), QStringLiteral("628198.193"));
    window_.activateWindow();
    for (const char* name : {"Text4", "Text5"}) {
        EXPECT_TRUE(Box(name)->isReadOnly()) << name;
        Box(name)->setFocus();
        QTest::keyClicks(Box(name), QStringLiteral("12"));
        QTest::keyClick(Box(name), Qt::Key_Backspace);
    }
    EXPECT_EQ(Text("Text4"), QStringLiteral("628198.193"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("3065307.732"));

    Box("Text5")->setFocus();
    Box("Text5")->setSelection(0, 7);
    QTest::keyClick(Box("Text5"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("3065307"));
    // Ctrl+A selects the whole result there, as in any box, not About.
    QTest::keyClick(Box("Text5"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Box("Text5")->selectedText(), QStringLiteral("3065307.732"));
    EXPECT_EQ(window_.AboutDialog(), nullptr);

    auto copyBoth = [this](const char* name) {
        QLineEdit* box = Box(name);
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(4, 4),
                                  box->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(box, &request);
        auto* menu = box->findChild<QMenu*>(QStringLiteral("OutputMenu"));
        if (menu == nullptr) return QStringList{};
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible()) continue;
            entries << action->text().section(QChar('\t'), 0, 0);
            if (entries.last() == QStringLiteral("Select All")) {
                const QString hint = action->text().section(QChar('\t'), 1);
                if (!hint.isEmpty()) {
                    EXPECT_EQ(QKeySequence(hint), QKeySequence::SelectAll);
                }
            }
        }
        menu->findChild<QAction*>(QStringLiteral("CopyXY"))->trigger();
        menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return entries;
    };
    // The box's own entries (Select All keeps Ctrl+A in a box), then both
    // results at once.
    const QStringList expected{"&Copy", "Select All", "Copy X and Y"};
    EXPECT_EQ(copyBoth("Text4"), expected);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("628198.193\t3065307.732"));
    // In the other direction the two outputs are the latitude and longitude.
    QTest::mouseClick(Get<QRadioButton>("Option2"), Qt::LeftButton);
    Type("Text2", QStringLiteral("500000"));
    Type("Text3", QStringLiteral("3000000"));
    window_.Command2_Click();
    EXPECT_EQ(copyBoth("Text5"), expected);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("27.117\t84.000"));
}

TEST_F(UtmWindow, FixedSizeWithoutAMaximiseButtonAndWithTheProgramsIcon) {
    for (int mode : {0, 1}) {
        PickMode(mode);
        EXPECT_EQ(window_.minimumSize(), window_.maximumSize()) << mode;
    }
    const Qt::WindowFlags flags = window_.windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    // Its own icon, not the application's (the tests set none).
    EXPECT_TRUE(window_.testAttribute(Qt::WA_SetWindowIcon));
    EXPECT_FALSE(window_.windowIcon().pixmap(64, 64).isNull());
    // Kept on top and back, the flags stay.
    Item("FileTop")->trigger();
    Item("FileTop")->trigger();
    EXPECT_FALSE(window_.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window_.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

// --- Units ---------------------------------------------------------------------------

TEST_F(UtmWindow, EachUnitShowsTheWorkedPointBackInItsNotation) {
    PickMode(0);
    QTest::mouseClick(Get<QRadioButton>("Option2"), Qt::LeftButton);
    Type("Text2", QStringLiteral("628198.193"));
    Type("Text3", QStringLiteral("3065307.732"));
    const struct {
        int index;
        const char* latitude;
        const char* longitude;
    } cases[] = {{0, "27.700", "85.300"},
                 {1, "27.70000000", "85.30000000"},
                 {2, "27\u00b042\u203200.0000\u2033", "85\u00b018\u203200.0000\u2033"}};
    for (const auto& c : cases) {
        Get<QComboBox>("Combo3")->setCurrentIndex(c.index);
        QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
        EXPECT_EQ(Text("Text4"), QString::fromUtf8(c.latitude)) << c.index;
        EXPECT_EQ(Text("Text5"), QString::fromUtf8(c.longitude)) << c.index;
        // Each shows whole: the box is wider than its text and its frame.
        for (const char* name : {"Text4", "Text5"}) {
            QLineEdit* box = Box(name);
            const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
            EXPECT_GE(box->width() - 2 * frame - 4,
                      box->fontMetrics().horizontalAdvance(box->text()))
                << name << " " << c.index;
        }
    }
    // Eastings and northings typed keep to digits and points in every unit.
    Type("Text2", QStringLiteral("628 198.1\u00b0"));
    EXPECT_EQ(Text("Text2"), QStringLiteral("628198.1"));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(UtmWindow, LatitudeAndLongitudeAreTypedInDegreesMinutesSecondsWithDms) {
    PickMode(0);
    Get<QComboBox>("Combo3")->setCurrentIndex(static_cast<int>(Units::Dms));
    EXPECT_TRUE(window_.TakesDmsInput());
    Type("Text2", QStringLiteral("27 42 0 N"));
    Type("Text3", QStringLiteral("85\u00b018\u20320\u2033"));
    EXPECT_EQ(Text("Text2"), QStringLiteral("27 42 0 N"));
    EXPECT_EQ(Text("Text3"), QStringLiteral("85\u00b018\u20320\u2033"));
    // The central meridian stays a number of degrees.
    Type("Text1", QStringLiteral("84 0"));
    EXPECT_EQ(Text("Text1"), QStringLiteral("840"));
    Type("Text1", QStringLiteral("84"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(Text("Text4"), QStringLiteral("628198.193"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("3065307.732"));
    EXPECT_TRUE(messages_.shown.empty());
    // In degrees the blank and the marks are dropped as before.
    Get<QComboBox>("Combo3")->setCurrentIndex(static_cast<int>(Units::DegreesMetres));
    EXPECT_FALSE(window_.TakesDmsInput());
    Type("Text2", QStringLiteral("27 42\u2032"));
    EXPECT_EQ(Text("Text2"), QStringLiteral("2742"));
}

TEST_F(UtmWindow, MultipleDataWritesAnglesRoundedByTheChosenUnits) {
    const std::string data = TempPath("grid.csv");
    const std::string out = TempPath("angles.txt");
    WriteFile(data, "500000,3000000\r\n");
    QTest::mouseClick(Get<QRadioButton>("Option2"), Qt::LeftButton);
    Get<QComboBox>("Combo3")->setCurrentIndex(static_cast<int>(Units::Degrees8));
    PickMode(1);
    dialogs_.choices = {data, out};
    window_.Command1_Click();
    window_.Command2_Click();
    EXPECT_EQ(ReadFile(out),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "500000\t3000000\t27.11662043\t84\r\n");
}

// --- The datum of the latitude/longitude side ---------------------------------------

TEST_F(UtmWindow, DatumChoiceStartsOnEverest1830InTheTopRow) {
    auto* datum = Get<QComboBox>("Combo4");
    ASSERT_EQ(datum->count(), 2);
    EXPECT_EQ(datum->itemText(0), QStringLiteral("Everest 1830"));
    EXPECT_EQ(datum->itemText(1), QStringLiteral("WGS 84 (GPS)"));
    EXPECT_EQ(window_.Datum(), LatLongDatum::Everest1830);
    EXPECT_EQ(Get<QLabel>("Label8")->text(), QStringLiteral("Datum:"));
    EXPECT_TRUE(datum->isEnabled());  // usable before a mode is chosen, as the direction is
    for (int index : {1, 0}) {
        datum->setCurrentIndex(index);
        PickMode(index);
        // Beside the direction, none over another, all inside the window.
        const QRect label = Get<QLabel>("Label8")->geometry();
        EXPECT_LT(Get<QRadioButton>("Option1")->geometry().right(),
                  Get<QRadioButton>("Option2")->x());
        EXPECT_LT(Get<QRadioButton>("Option2")->geometry().right(), label.left());
        EXPECT_LT(label.right(), datum->x());
        EXPECT_GE(label.width(), Get<QLabel>("Label8")->sizeHint().width());
        EXPECT_GE(datum->width(), datum->sizeHint().width());
        EXPECT_LE(datum->geometry().bottom(), Box("Text1")->y());
        EXPECT_TRUE(window_.centralWidget()->rect().contains(datum->geometry()));
        EXPECT_EQ(window_.size(), window_.minimumSize());
    }
}

TEST_F(UtmWindow, Wgs84ConvertsTheGpsExampleInSingleAndMultipleData) {
    PickMode(0);
    Get<QComboBox>("Combo4")->setCurrentIndex(1);
    Type("Text2", QStringLiteral("27.7"));
    Type("Text3", QStringLiteral("85.3"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(Text("Text4"), QStringLiteral("628431.102"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("3065289.567"));
    QTest::mouseClick(Get<QRadioButton>("Option2"), Qt::LeftButton);
    Type("Text2", QStringLiteral("628431.102"));
    Type("Text3", QStringLiteral("3065289.567"));
    QTest::mouseClick(Get<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(Text("Text4"), QStringLiteral("27.700"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("85.300"));

    const std::string data = TempPath("gps.csv");
    const std::string out = TempPath("gps.txt");
    WriteFile(data, "27.7,85.3\r\n");
    QTest::mouseClick(Get<QRadioButton>("Option1"), Qt::LeftButton);
    PickMode(1);
    dialogs_.choices = {data, out};
    window_.Command1_Click();
    window_.Command2_Click();
    EXPECT_EQ(ReadFile(out),
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n"
              "27.7\t85.3\t628431.102\t3065289.567\r\n");
    window_.Command3_Click();  // Clear leaves the choice alone
    EXPECT_EQ(window_.Datum(), LatLongDatum::WGS84);
}

TEST_F(UtmWindow, ExitByDefaultClosesEveryWindow) {
    Item("AboutUTM")->trigger();
    ASSERT_NE(window_.AboutTextWindow(), nullptr);
    window_.Command5_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(window_.AboutTextWindow(), nullptr);
    // Ending the event loop with none running leaves a request to quit that
    // would end the next dialog at once: let one loop run and consume it.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST_F(UtmWindow, BrowseShowsTheFileAsATableAndConvertRunsWithWhatWasPicked) {
    const std::string data = TempPath("survey.txt");
    WriteFile(data, "Name;Code;Lat;Long\r\nP1;BM;27.7;85.3\r\n\r\n# checked\r\nP2;BM;28;86\r\n");
    PickMode(1);
    dialogs_.choices = {data};
    window_.Command1_Click();
    // Only the rows that hold points are counted.
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "No of Data = 2");

    DataTableDialog* table = window_.DataTableWindow();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_FALSE(table->isModal());
    auto* preview = table->findChild<QTableWidget*>("Preview");
    auto* separator = table->findChild<QComboBox*>("Separator");
    auto* first = table->findChild<QComboBox*>("FirstColumn");
    auto* second = table->findChild<QComboBox*>("SecondColumn");
    ASSERT_TRUE(preview && separator && first && second);
    EXPECT_EQ(preview->rowCount(), 5);
    EXPECT_EQ(preview->columnCount(), 4);
    EXPECT_EQ(preview->item(1, 2)->text(), QStringLiteral("27.7"));
    EXPECT_TRUE(preview->item(0, 2)->font().bold());  // the header row
    EXPECT_EQ(preview->item(3, 0)->text(), QStringLiteral("# checked"));
    EXPECT_EQ(preview->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(separator->currentText(), QStringLiteral("Semicolon ;"));
    EXPECT_EQ(first->currentText(), QStringLiteral("3: Lat"));
    EXPECT_EQ(second->currentText(), QStringLiteral("4: Long"));
    EXPECT_EQ(table->RequestFor(data).columns, "");  // nothing picked: the run finds them

    // Another separator reads the preview again: by commas each row is one field.
    separator->setCurrentIndex(0);
    emit separator->activated(0);
    EXPECT_EQ(preview->item(1, 0)->text(), QStringLiteral("P1;BM;27.7;85.3"));
    EXPECT_EQ(table->RequestFor(data).separator, FieldSeparator::Comma);
    separator->setCurrentIndex(1);
    emit separator->activated(1);
    EXPECT_EQ(preview->columnCount(), 4);

    // Picking the longitude's column for the latitude swaps the two: the
    // run reads longitude as latitude.
    first->setCurrentIndex(3);
    emit first->activated(3);
    EXPECT_EQ(table->RequestFor(data).columns, "4,3");
    EXPECT_EQ(second->currentText(), QStringLiteral("3: Lat"));
    EXPECT_EQ(table->RequestFor(TempPath("other.txt")).columns, "");
    second->setCurrentIndex(1);
    emit second->activated(1);
    EXPECT_EQ(table->RequestFor(data).columns, "4,2");
    second->setCurrentIndex(2);
    emit second->activated(2);
    EXPECT_EQ(messages_.shown.size(), 1u);  // no message on the way

    const std::string out = TempPath("out.txt");
    dialogs_.choices = {out};
    window_.Command2_Click();
    const std::string written = ReadFile(out);
    EXPECT_EQ(written.find("628198.193"), std::string::npos) << written;
    EXPECT_NE(written.find("P1"), std::string::npos) << written;

    // The direction decides which named columns the preview marks.
    Get<QRadioButton>("Option2")->click();
    EXPECT_EQ(table->Choice().Kind(), CoordinateKind::Grid);
}

TEST_F(UtmWindow, BrowseOnAGisFileShowsNoTableAndConvertWritesTheChosenFormat) {
    const std::string gpx = TempPath("walk.gpx");
    WriteFile(gpx,
              "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
              "<wpt lat=\"27.7\" lon=\"85.3\"/></gpx>");
    PickMode(1);
    Get<QComboBox>("Combo4")->setCurrentIndex(1);  // WGS 84 (GPS)
    dialogs_.choices = {gpx, TempPath("walk.gpkg")};
    window_.Command1_Click();
    EXPECT_EQ(window_.DataTableWindow(), nullptr);
    window_.Command2_Click();
    ASSERT_EQ(messages_.shown.size(), 1u);  // "No of Data = 1", and nothing after the run
    EXPECT_EQ(ReadFile(TempPath("walk.gpkg")).substr(0, 15), "SQLite format 3");
}

}  // namespace
}  // namespace utm

namespace utm {
namespace {

/// The entries of a box's context menu, as the person sees them: caption and
/// key hint, separators left out. Deletes the menu.
QStringList MenuOf(QLineEdit* box, const char* menuName, const char* trigger = nullptr) {
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(4, 4),
                              box->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(box, &request);
    auto* menu = box->findChild<QMenu*>(QString::fromLatin1(menuName));
    if (menu == nullptr) return {};
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible()) continue;
        entries << action->text();
        if (trigger != nullptr && action->text().section(QChar('\t'), 0, 0) == trigger) {
            action->trigger();
        }
    }
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return entries;
}

TEST_F(UtmWindow, EnterInThePointsBoxesConvertsAsTheButtonDoes) {
    window_.activateWindow();
    PickMode(0);
    struct Case {
        const char* box;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    for (const Case& c : {Case{"Text2", Qt::Key_Return, Qt::NoModifier},
                          Case{"Text3", Qt::Key_Return, Qt::NoModifier},
                          Case{"Text3", Qt::Key_Enter, Qt::KeypadModifier}}) {
        SCOPED_TRACE(c.box);
        window_.Command3_Click();
        Type("Text2", QStringLiteral("27.7"));
        Type("Text3", QStringLiteral("85.3"));
        ASSERT_TRUE(Text("Text4").isEmpty());
        Box(c.box)->setFocus();
        QTest::keyClick(Box(c.box), c.key, c.modifiers);
        EXPECT_EQ(Text("Text4"), QStringLiteral("628198.193"));
        EXPECT_EQ(Text("Text5"), QStringLiteral("3065307.732"));
        // The Enter is no character of the box.
        EXPECT_EQ(Text("Text2"), QStringLiteral("27.7"));
    }
    // With Ctrl held Enter converts nothing.
    window_.Command3_Click();
    Type("Text2", QStringLiteral("27.7"));
    Type("Text3", QStringLiteral("85.3"));
    QTest::keyClick(Box("Text3"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(Text("Text4").isEmpty());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(UtmWindow, EveryMnemonicIsUniqueInTheWindow) {
    QMap<QChar, QString> owners;
    auto take = [&owners](const QString& caption) {
        const qsizetype at = caption.indexOf(QChar('&'));
        if (at < 0 || at + 1 >= caption.size()) return;
        const QChar letter = caption.at(at + 1).toLower();
        EXPECT_FALSE(owners.contains(letter))
            << caption.toStdString() << " and " << owners.value(letter).toStdString();
        owners.insert(letter, caption);
    };
    for (auto* button : window_.findChildren<QAbstractButton*>()) take(button->text());
    for (auto* label : window_.findChildren<QLabel*>()) take(label->text());
    for (auto* group : window_.findChildren<QGroupBox*>()) take(group->title());
    for (QAction* menu : window_.menuBar()->actions()) take(menu->text());
    EXPECT_EQ(Get<QPushButton>("Command3")->text(), QStringLiteral("C&lear"));
    EXPECT_EQ(Get<QPushButton>("Command2")->text(), QStringLiteral("&Convert"));
}

TEST_F(UtmWindow, CopyPasteAndSelectAllWorkInEveryBoxAndPasteKeepsWhatTypingKeeps) {
    window_.activateWindow();
    PickMode(1);
    PickMode(0);
    struct Case {
        const char* box;
        QString clipboard;
        QString pasted;
    };
    // Decimal boxes keep digits and points, as typing does; Text6 takes any path.
    for (const Case& c : {Case{"Text1", "8a7,\n", "87"}, Case{"Text2", "27.7\t", "27.7"},
                          Case{"Text3", "-85.3 E", "85.3"},
                          Case{"Text6", "/data/points.csv", "/data/points.csv"}}) {
        SCOPED_TRACE(c.box);
        QLineEdit* box = Box(c.box);
        box->clear();
        box->setFocus();
        QApplication::clipboard()->setText(c.clipboard);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), c.pasted);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(box->selectedText(), c.pasted);
        QApplication::clipboard()->clear();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), c.pasted);
        // The menu's Paste filters as Ctrl+V does.
        box->clear();
        QApplication::clipboard()->setText(c.clipboard);
        const QStringList entries = MenuOf(box, "InputMenu", "&Paste");
        EXPECT_EQ(box->text(), c.pasted);
        // Cut names no key (Ctrl+X is Exit); Paste and Select All name theirs.
        for (const QString& entry : entries) {
            const QString caption = entry.section(QChar('\t'), 0, 0);
            const QKeySequence keys(entry.section(QChar('\t'), 1));
            if (caption == QStringLiteral("Cu&t")) {
                EXPECT_TRUE(keys.isEmpty());
            }
            if (caption == QStringLiteral("&Paste")) {
                EXPECT_EQ(keys, QKeySequence(QKeySequence::Paste));
            }
            // Qt names Select All's key on some platforms only.
            if (caption == QStringLiteral("Select All") && !keys.isEmpty()) {
                EXPECT_EQ(keys, QKeySequence(QKeySequence::SelectAll));
            }
        }
    }
    // In degrees, minutes and seconds the marks are kept, control codes not.
    Get<QComboBox>("Combo3")->setCurrentIndex(static_cast<int>(Units::Dms));
    Box("Text2")->clear();
    Box("Text2")->setFocus();
    QApplication::clipboard()->setText(QString::fromUtf8("27\u00b042\u203200\u2033\r\n"));
    QTest::keyClick(Box("Text2"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text("Text2"), QString::fromUtf8("27\u00b042\u203200\u2033"));
    // Ctrl+A in a box selects; elsewhere it is About.
    EXPECT_EQ(window_.AboutDialog(), nullptr);
    Get<QPushButton>("Command3")->setFocus();
    QTest::keyClick(Get<QPushButton>("Command3"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_NE(window_.AboutDialog(), nullptr);
}

TEST_F(UtmWindow, TabGoesThroughTheChoicesAndBoxesThenTheActionsThenTheResults) {
    window_.activateWindow();
    PickMode(1);
    PickMode(0);
    Get<QRadioButton>("Option1")->setFocus();
    QStringList visited;
    for (int i = 0; i < 13; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Browse and the data-file box are hidden in Single Data; Retrieve is
    // disabled; the radio buttons are one stop.
    const QStringList expected{"Option1", "Combo4",   "Text1",    "Combo2",   "Text2",
                               "Text3",   "Command2", "Command3", "Command5", "Combo3",
                               "Text4",   "Text5",    "Option1"};
    EXPECT_EQ(visited, expected);
}

TEST_F(UtmWindow, ResultsEmptyOnEveryChangeOfWhatTheyWereConvertedFrom) {
    struct Change {
        const char* what;
        std::function<void()> make;
    };
    const std::vector<Change> changes{
        {"central meridian", [this] { QTest::keyClick(Box("Text1"), Qt::Key_Backspace); }},
        {"latitude", [this] { QTest::keyClick(Box("Text2"), '1'); }},
        {"longitude", [this] { Box("Text3")->setText(QStringLiteral("85.4")); }},
        {"datum", [this] { Get<QComboBox>("Combo4")->setCurrentIndex(1); }},
        {"units", [this] { Get<QComboBox>("Combo3")->setCurrentIndex(1); }},
        {"direction", [this] { Get<QRadioButton>("Option2")->click(); }},
    };
    PickMode(0);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        Get<QRadioButton>("Option1")->click();
        Get<QComboBox>("Combo4")->setCurrentIndex(0);
        Get<QComboBox>("Combo3")->setCurrentIndex(0);
        Box("Text1")->setText(QStringLiteral("84"));
        Type("Text2", QStringLiteral("27.7"));
        Type("Text3", QStringLiteral("85.3"));
        window_.Command2_Click();
        ASSERT_FALSE(Text("Text4").isEmpty());
        ASSERT_FALSE(Text("Text5").isEmpty());
        change.make();
        EXPECT_TRUE(Text("Text4").isEmpty());
        EXPECT_TRUE(Text("Text5").isEmpty());
    }
}

TEST_F(UtmWindow, EachUnitNamesItsResolutionOnTheGround) {
    auto* units = Get<QComboBox>("Combo3");
    const QStringList expected{QString::fromUtf8("0.001\u00b0 \u2248 110 m"),
                               QString::fromUtf8("0.00000001\u00b0 \u2248 1 mm"),
                               QString::fromUtf8("0.0001\u2033 \u2248 3 mm")};
    ASSERT_EQ(units->count(), expected.size());
    for (int i = 0; i < units->count(); ++i) {
        EXPECT_EQ(units->itemData(i, Qt::ToolTipRole).toString(), expected[i]) << i;
    }
}

}  // namespace
}  // namespace utm

namespace utm {
namespace {

constexpr std::size_t kLargeFileLines = 5000000;

/// A data file of kLargeFileLines points with a height each, written once
/// for the test program: its count takes the worker thread a good second.
const std::string& LargeDataFile() {
    static QTemporaryDir dir;
    static const std::string path = [] {
        const std::string file = dir.filePath(QStringLiteral("large.csv")).toStdString();
        std::string block;
        for (int i = 0; i < 10000; ++i) block += "27.7172,85.3240,1337.2\n";
        std::ofstream out(file, std::ios::binary);
        for (std::size_t i = 0; i < kLargeFileLines / 10000; ++i) out << block;
        return file;
    }();
    return path;
}

using test::WaitUntil;

TEST_F(UtmWindow, BrowseCountsALargeFileWhileTheWindowGoesOnThenSaysTheCount) {
    const std::string& data = LargeDataFile();
    PickMode(1);
    dialogs_.choices = {data};
    bool tickedWhileCounting = false;
    QTimer::singleShot(0, &window_, [&] { tickedWhileCounting = window_.Counting(); });
    window_.Command1_Click();
    // Back in the event loop at once, a busy cursor, nothing that would run
    // on the file before its count.
    ASSERT_TRUE(window_.Counting());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    for (const char* name : {"Command1", "Command2", "Combo2", "Option1", "Option2"}) {
        EXPECT_FALSE(window_.findChild<QWidget*>(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Item("mnubrowse")->isEnabled());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(WaitUntil([&] { return tickedWhileCounting; }));

    ASSERT_TRUE(WaitUntil([this] { return !window_.Counting(); }, 120000));
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "No of Data = " + std::to_string(kLargeFileLines));
    EXPECT_EQ(window_.Columns().DataCount, kLargeFileLines);
    EXPECT_EQ(Text("Text6").toStdString(), data);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (const char* name : {"Command1", "Command2", "Combo2", "Option1", "Option2"}) {
        EXPECT_TRUE(window_.findChild<QWidget*>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Item("mnubrowse")->isEnabled());
}

TEST_F(UtmWindow, CancellingACountKeepsTheFileAndTheCountThatWereThere) {
    const std::string small = TempPath("points.csv");
    WriteFile(small, "27.7,85.3\r\n27.5,84\r\n28,86\r\n");
    const std::string& large = LargeDataFile();
    PickMode(1);
    dialogs_.choices = {small};
    window_.Command1_Click();
    ASSERT_TRUE(WaitUntil([this] { return !window_.Counting(); }));
    ASSERT_EQ(messages_.shown.size(), 1u);

    // Esc stops the count wherever the focus is in the window.
    window_.activateWindow();
    for (const char* focus : {"Text6", "Combo3"}) {
        SCOPED_TRACE(focus);
        dialogs_.choices = {large};
        window_.Command1_Click();
        ASSERT_TRUE(window_.Counting());
        auto* box = window_.findChild<QWidget*>(QString::fromLatin1(focus));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_FALSE(window_.Counting());
        EXPECT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(window_.Columns().DataCount, 3u);
        EXPECT_EQ(Text("Text6").toStdString(), small);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(Get<QPushButton>("Command2")->isEnabled());
        EXPECT_EQ(window_.findChild<QProgressDialog*>("CountProgress"), nullptr);
    }
    // Esc with no count running does nothing of the kind.
    QTest::keyClick(Box("Text6"), Qt::Key_Escape);
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(Text("Text6").toStdString(), small);
}

}  // namespace
}  // namespace utm
