// The About windows, opened from the main window's About menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "about/AboutTexts.h"
#include "about/Aboutfrm.h"
#include "about/frmAbout.h"
#include "mainwindow/ui/Utm.h"
#include "support/ScriptedPorts.h"

namespace utm {
namespace {

void ProcessDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class AboutWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.Form_Load();
        window_.show();
    }
    void Trigger(const char* name) {
        window_.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }

    test::ScriptedMessageBox messages_;
    test::ScriptedFileDialog dialogs_;
    Utm window_{messages_, dialogs_};
};

TEST_F(AboutWindows, UtmItemShowsOneTextWindowWithTheTenLinesHoweverOftenChosen) {
    Trigger("AboutUTM");
    Trigger("AboutUTM");
    const QList<Aboutfrm*> windows = window_.findChildren<Aboutfrm*>();
    ASSERT_EQ(windows.size(), 1);
    Aboutfrm* about = windows.first();
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->isWindow());
    EXPECT_EQ(about->parentWidget(), &window_);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About UTM"));
    EXPECT_EQ(about->Text1(), AboutDescriptionText());
    // On screen: ten lines, the CR LF pairs shown as line breaks.
    QPlainTextEdit* box = about->Text1Box();
    EXPECT_EQ(box->objectName(), QStringLiteral("Text1"));
    EXPECT_EQ(box->blockCount(), 10);
    QStringList lines;
    for (const std::string& line : AboutDescriptionLines()) lines << QString::fromStdString(line);
    EXPECT_EQ(box->toPlainText(), lines.join(QChar('\n')));
    EXPECT_TRUE(about->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window_.isVisible());
}

TEST_F(AboutWindows, TextWindowClosedByItsTitleBarIsCreatedAnewNextTime) {
    Trigger("AboutUTM");
    QPointer<Aboutfrm> first = window_.AboutTextWindow();
    first->close();
    ProcessDeletes();
    EXPECT_TRUE(first.isNull());
    Trigger("AboutUTM");
    ASSERT_NE(window_.AboutTextWindow(), nullptr);
    EXPECT_EQ(window_.AboutTextWindow()->Text1(), AboutDescriptionText());
}

TEST_F(AboutWindows, AboutDialogShowsTitleVersionAndDescription) {
    Trigger("mnuAbout1");
    Trigger("mnuAbout1");
    ASSERT_EQ(window_.findChildren<frmAbout*>().size(), 1);
    frmAbout* about = window_.AboutDialog();
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->parentWidget(), &window_);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About UTM"));
    EXPECT_EQ(about->lblTitle()->text(), QStringLiteral("UTM"));
    EXPECT_EQ(about->lblVersion()->text(), QStringLiteral("Version .01./04.0"));
    EXPECT_EQ(about->lblDescription()->text(),
              QStringLiteral("UTM: UNIVERSAL TRANVERSE MERCATOR\n"
                             "Converting UTM to Latitude and Longitude ( or Vice Versa)"));
    EXPECT_EQ(about->cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(about->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    about->close();
    ProcessDeletes();

    // The caption stays "About UTM" whatever the application title is.
    QApplication::setApplicationName(QStringLiteral("Surveyor"));
    Trigger("mnuAbout1");
    QApplication::setApplicationName(QStringLiteral("UTM"));
    ASSERT_NE(window_.AboutDialog(), nullptr);
    EXPECT_EQ(window_.AboutDialog()->windowTitle(), QStringLiteral("About UTM"));
    EXPECT_EQ(window_.AboutDialog()->lblTitle()->text(), QStringLiteral("Surveyor"));
}

TEST_F(AboutWindows, EnterEscAndOkEachCloseTheAboutDialog) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        Trigger("mnuAbout1");
        QPointer<frmAbout> about = window_.AboutDialog();
        ASSERT_FALSE(about.isNull());
        QTest::keyClick(about.data(), key);
        ProcessDeletes();
        EXPECT_TRUE(about.isNull()) << "key " << key;
    }
    Trigger("mnuAbout1");
    QPointer<frmAbout> about = window_.AboutDialog();
    QTest::mouseClick(about->cmdOK(), Qt::LeftButton);
    ProcessDeletes();
    EXPECT_TRUE(about.isNull());
    EXPECT_TRUE(window_.isVisible());
}

}  // namespace
}  // namespace utm
