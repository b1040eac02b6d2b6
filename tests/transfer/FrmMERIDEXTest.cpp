// The transfer window on the offscreen platform, driven through scripted ports
// with a plain widget standing in for the main window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>
#include <set>

#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"
#include "transfer/FrmMERIDEX.h"

namespace {

class FrmMERIDEXTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mainWindow_.show();
        Open();
    }
    void TearDown() override { delete window_.data(); }

    void Open() { window_ = utm::OpenMeridex(&mainWindow_, messages_, dialogs_); }
    template <typename T>
    T* Child(const char* name) {
        T* child = window_->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char* button) { Child<QPushButton>(button)->click(); }
    QString Text6() { return Child<QLineEdit>("Text6")->text(); }
    void ExpectClosedAndMainWindowBack() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window_.isNull());
        EXPECT_TRUE(mainWindow_.isVisible());
    }

    QWidget mainWindow_;
    utm::test::ScriptedMessageBox messages_;
    utm::test::ScriptedFileDialog dialogs_;
    QPointer<utm::FrmMERIDEX> window_;
    utm::test::TempFolder folder_;
};

TEST_F(FrmMERIDEXTest, StartState) {
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(mainWindow_.isVisible());
    EXPECT_TRUE(window_->isWindow() && window_->parent() == nullptr && !window_->isModal());
    EXPECT_EQ(window_->windowTitle(), "MERIDEX");
    EXPECT_EQ(Child<QGroupBox>("Frame1")->title(), "Conversion :-");
    EXPECT_EQ(Child<QLabel>("Label1")->text() + Child<QLabel>("Label2")->text(), "From :To :");
    EXPECT_EQ(Text6(), "Load data file");
    QStringList buttons;
    for (const char* name : {"Command1", "Command2", "Command3", "Command4"}) {
        buttons << Child<QPushButton>(name)->text();
    }
    EXPECT_EQ(buttons, (QStringList{"&Browse", "Within Excel", "OK", "Cancel"}));
    auto* combo2 = Child<QComboBox>("Combo2");
    EXPECT_TRUE(combo2->isEditable() && combo2->count() == 0);
    EXPECT_EQ(combo2->currentText(), "Combo2");

    auto* combo1 = Child<QComboBox>("Combo1");
    EXPECT_TRUE(combo1->isEditable());
    QStringList items;
    for (int i = 0; i < combo1->count(); ++i) items << combo1->itemText(i);
    EXPECT_EQ(items, (QStringList{"Everest-81 to Everest-84", "Everest-87 to Everest-84",
                                  "WGS84-44 to Everest-84", "WGS84-45 to Everest-84",
                                  "Everest-84 to Everest-81", "Everest-84 to Everest-87"}));
    EXPECT_EQ(combo1->currentText(), "Everest-81 to Everest-84");
    EXPECT_EQ(window_->TransferKindPosition(), 0);
    combo1->setCurrentIndex(3);
    EXPECT_EQ(window_->TransferKindPosition(), 3);
    QTest::keyClicks(combo1->lineEdit(), "x");  // typed text selects no entry, adds none
    EXPECT_EQ(window_->TransferKindPosition(), -1);
    EXPECT_EQ(combo1->count(), 6);
    // Typing a caption (in other case) and pressing Enter picks no entry.
    combo1->lineEdit()->clear();
    QTest::keyClicks(combo1->lineEdit(), "everest-87 to everest-84");
    QTest::keyClick(combo1->lineEdit(), Qt::Key_Return);
    QTest::keyClick(combo1->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(window_->TransferKindPosition(), -1);
    EXPECT_EQ(combo1->currentText(), "everest-87 to everest-84");
}

TEST_F(FrmMERIDEXTest, BrowseCancelledConfirmedCancelled) {
    dialogs_.choices = {std::nullopt, std::string("/data/pts.csv"), std::nullopt};
    Click("Command1");
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].action, utm::FileDialogAction::Open);
    EXPECT_EQ(dialogs_.requests[0].filter,
              "*.csv (CSV Files)|*.csv|*.txt (Text Files:Tab delimeted)|*.txt");
    EXPECT_EQ(dialogs_.requests[0].title, "Select the data file for Conversion");
    EXPECT_EQ(Text6(), "");  // no earlier choice in this window
    Click("Command1");
    EXPECT_EQ(Text6(), "/data/pts.csv");
    Click("Command1");
    EXPECT_EQ(dialogs_.requests[2].fileName, "/data/pts.csv");
    EXPECT_EQ(Text6(), "/data/pts.csv");
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FrmMERIDEXTest, OkTransfersTheBrowsedFileThenClosesAndShowsTheMainWindow) {
    dialogs_.choices = {folder_.Write("pts.csv", "426207.01,3206261.5\r\n1,2\r\n")};
    Click("Command1");
    QTest::keyClicks(Child<QComboBox>("Combo1")->lineEdit(), " typed");
    Click("Command3");
    std::ifstream result(folder_.File("ptsOut.csv"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(result), {}),
              "426207.01,3206261.5,,\r\n1,2,,\r\n");
    EXPECT_TRUE(messages_.shown.empty());
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, OkWithoutFileOrWithAFailureStillCloses) {
    Click("Command3");
    EXPECT_TRUE(messages_.shown.empty());
    ExpectClosedAndMainWindowBack();

    Open();
    Child<QLineEdit>("Text6")->setText(QString::fromStdString(folder_.Write("empty.csv", "")));
    Click("Command3");
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find("holds no lines"), std::string::npos);
    EXPECT_EQ(folder_.Entries(), std::set<std::string>{"empty.csv"});
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, CancelAndTitleBarCloseBringTheMainWindowBack) {
    Child<QLineEdit>("Text6")->setText("/data/x.csv");
    Click("Command4");
    ExpectClosedAndMainWindowBack();
    Open();
    EXPECT_FALSE(mainWindow_.isVisible());
    EXPECT_EQ(Text6(), "Load data file");  // a fresh window
    window_->close();                      // the close request the title bar sends
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, WithinExcelRunsItsHookAndLeavesTheWindowOpen) {
    Click("Command2");  // no hook: nothing happens
    int calls = 0;
    window_->WithinExcel = [&] { ++calls; };
    Click("Command2");
    EXPECT_EQ(calls, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window_.isNull());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(mainWindow_.isVisible());
}

}  // namespace
