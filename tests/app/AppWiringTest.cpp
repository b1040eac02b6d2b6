// The main window connected to the transfer window and to a spreadsheet:
// MERIDEX, Retrieve and the transfer window's "Within Excel".
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/AppWiring.h"
#include "geodesy/Angles.h"
#include "geodesy/Declaration.h"
#include "mainwindow/ui/Utm.h"
#include "operations/PointBlock.h"
#include "spreadsheet/MemorySpreadsheet.h"
#include "spreadsheet/TransferWithinExcel.h"
#include "support/ScriptedPorts.h"
#include "transfer/FrmMERIDEX.h"

namespace utm {
namespace {

class AppWiringTest : public ::testing::Test {
  protected:
    test::ScriptedMessageBox box;
    test::ScriptedFileDialog files;
    test::MemorySpreadsheet sheet;
    AppConnections connections;
    Utm window{box, files};

    void SetUp() override {
        ConnectWindows(window, box, files, sheet, connections);
        window.Form_Load();
        window.show();
    }

    template <typename T>
    T* Child(QWidget* parent, const char* name) {
        T* w = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    static FrmMERIDEX* OpenTransferWindow() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<FrmMERIDEX*>(w); f && f->isVisible()) return f;
        }
        return nullptr;
    }
};

TEST_F(AppWiringTest, MeridexHidesTheMainWindowUntilTheTransferWindowCloses) {
    window.Meridex_Click();
    FrmMERIDEX* transfer = OpenTransferWindow();
    ASSERT_NE(transfer, nullptr);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(transfer->windowTitle(), QStringLiteral("MERIDEX"));

    QTest::mouseClick(Child<QPushButton>(transfer, "Command4"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(OpenTransferWindow(), nullptr);

    // A fresh window the next time, back at its first transfer.
    window.Meridex_Click();
    transfer = OpenTransferWindow();
    ASSERT_NE(transfer, nullptr);
    EXPECT_EQ(Child<QComboBox>(transfer, "Combo1")->currentIndex(), 0);
    transfer->close();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(AppWiringTest, WithinExcelReachesTheSpreadsheetAndLeavesTheWindowOpen) {
    sheet.running = false;
    sheet.canStart = false;
    window.Meridex_Click();
    FrmMERIDEX* transfer = OpenTransferWindow();
    ASSERT_NE(transfer, nullptr);
    QTest::mouseClick(Child<QPushButton>(transfer, "Command2"), Qt::LeftButton);
    EXPECT_GE(sheet.Count("BindRunning"), 1u);
    ASSERT_FALSE(box.shown.empty());  // no Calc: said so
    EXPECT_TRUE(transfer->isVisible());
    transfer->close();
    QApplication::processEvents();
}

TEST_F(AppWiringTest, WithinExcelTakesTheWindowsTransferAndDatumShift) {
    // No transfer chosen (text typed into the list): said, nothing asked or written.
    sheet.Sheet().At(2, 4) = std::string("the user's");
    window.Meridex_Click();
    FrmMERIDEX* transfer = OpenTransferWindow();
    ASSERT_NE(transfer, nullptr);
    QTest::keyClicks(Child<QComboBox>(transfer, "Combo1")->lineEdit(), "x");
    QTest::mouseClick(Child<QPushButton>(transfer, "Command2"), Qt::LeftButton);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, kNoTransferChosen);
    EXPECT_EQ(sheet.Count("Selection"), 0u);
    EXPECT_EQ(std::get<std::string>(sheet.Sheet().Get(2, 4)), "the user's");

    // WGS84-44 to Everest-84 with the EPSG:6208 shift: the results are those
    // of the file transfer with that shift.
    sheet.Sheet().At(2, 1) = 426207.01;
    sheet.Sheet().At(2, 2) = 3206261.5;
    Child<QComboBox>(transfer, "Combo1")->setCurrentIndex(2);
    Child<QComboBox>(transfer, "Combo3")->setCurrentIndex(1);
    box.shown.clear();
    box.beforeAnswer = {[this] { sheet.SelectByHand("R2C1:R2C2"); }, nullptr, nullptr,
                        [this] { sheet.SelectByHand("R2C4:R3C4"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
    QTest::mouseClick(Child<QPushButton>(transfer, "Command2"), Qt::LeftButton);
    ASSERT_EQ(box.shown.size(), 5u) << box.shown.back().text;
    const ResultBlock shifted =
        TransferPoints(2, PointBlock{{426207.01, 3206261.5}}, DatumShift::Epsg6208());
    const ResultBlock plain = TransferPoints(2, PointBlock{{426207.01, 3206261.5}});
    ASSERT_TRUE(std::holds_alternative<double>(sheet.Sheet().Get(2, 4)));
    EXPECT_EQ(std::get<double>(sheet.Sheet().Get(2, 4)), *shifted[0][0]);
    EXPECT_EQ(std::get<double>(sheet.Sheet().Get(2, 5)), *shifted[0][1]);
    EXPECT_NE(*shifted[0][0], *plain[0][0]);
    transfer->close();
    QApplication::processEvents();
}

TEST_F(AppWiringTest, RetrieveConvertsTheSelectedBlockWithTheTypedCentralMeridian) {
    Child<QComboBox>(&window, "Combo2")->setCurrentIndex(2);  // "Within Excel"
    window.Combo2_Click();
    Child<QLineEdit>(&window, "Text1")->setText(QStringLiteral("84"));
    sheet.files.insert("/data/points.ods");
    sheet.Sheet().At(2, 1) = 27.7;
    sheet.Sheet().At(2, 2) = 85.3;
    files.choices.push_back("/data/points.ods");
    box.beforeAnswer = {nullptr, [this] { sheet.SelectByHand("R2C1:R2C2"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};

    QTest::mouseClick(Child<QPushButton>(&window, "Command6"), Qt::LeftButton);

    EXPECT_DOUBLE_EQ(Declaration::SharedCM, DegreesToRadians(84));
    ASSERT_TRUE(std::holds_alternative<double>(sheet.Sheet().Get(2, 3)));
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.Sheet().Get(2, 3)), 628198.193);
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.Sheet().Get(2, 4)), 3065307.732);
    EXPECT_EQ(Child<QLineEdit>(&window, "Text6")->text(), QString());
    ASSERT_NE(connections.selectRangePaste, nullptr);

    // The menu item runs the same command on the same object.
    SelectRangePaste* first = connections.selectRangePaste.get();
    box.answers = {MsgAnswer::Cancel};
    window.mnuexcelret_Click();
    EXPECT_EQ(connections.selectRangePaste.get(), first);
    EXPECT_EQ(box.shown.back().text, " Select your Excel Data file.");
}

TEST_F(AppWiringTest, RetrieveFollowsTheWindowsDatumChoice) {
    Child<QComboBox>(&window, "Combo2")->setCurrentIndex(2);  // "Within Excel"
    window.Combo2_Click();
    Child<QComboBox>(&window, "Combo4")->setCurrentIndex(1);  // "WGS 84 (GPS)"
    Child<QLineEdit>(&window, "Text1")->setText(QStringLiteral("84"));
    sheet.files.insert("/data/points.ods");
    sheet.Sheet().At(2, 1) = 27.7;
    sheet.Sheet().At(2, 2) = 85.3;
    files.choices.push_back("/data/points.ods");
    box.beforeAnswer = {nullptr, [this] { sheet.SelectByHand("R2C1:R2C2"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};

    QTest::mouseClick(Child<QPushButton>(&window, "Command6"), Qt::LeftButton);

    ASSERT_TRUE(std::holds_alternative<double>(sheet.Sheet().Get(2, 3)));
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.Sheet().Get(2, 3)), 628431.102);
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.Sheet().Get(2, 4)), 3065289.567);
}

TEST_F(AppWiringTest, RetrieveRoundsAnglesByTheWindowsUnits) {
    Child<QComboBox>(&window, "Combo2")->setCurrentIndex(2);  // "Within Excel"
    window.Combo2_Click();
    window.findChild<QRadioButton*>(QStringLiteral("Option2"))->setChecked(true);
    Child<QComboBox>(&window, "Combo3")->setCurrentIndex(static_cast<int>(Units::Degrees8));
    Child<QLineEdit>(&window, "Text1")->setText(QStringLiteral("84"));
    sheet.files.insert("/data/grid.ods");
    sheet.Sheet().At(2, 1) = 500000.0;
    sheet.Sheet().At(2, 2) = 3000000.0;
    files.choices.push_back("/data/grid.ods");
    box.beforeAnswer = {nullptr, [this] { sheet.SelectByHand("R2C1:R2C2"); }, nullptr};
    box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};

    window.Command6_Click();

    // Eight decimals (about 1 mm), not the three of " °, m" (27.117).
    ASSERT_TRUE(std::holds_alternative<double>(sheet.Sheet().Get(2, 3)));
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.Sheet().Get(2, 3)), 27.11662043);
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.Sheet().Get(2, 4)), 84.0);
}

}  // namespace
}  // namespace utm
