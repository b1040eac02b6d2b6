// The About windows, opened from the main window's About menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <initializer_list>

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

TEST_F(AboutWindows, BothWindowsOpenCentredOnTheMainWindow) {
    window_.move(40, 60);
    for (const char* item : {"mnuAbout1", "AboutUTM"}) {
        SCOPED_TRACE(item);
        Trigger(item);
        QWidget* about = std::string(item) == "mnuAbout1"
                             ? static_cast<QWidget*>(window_.AboutDialog())
                             : static_cast<QWidget*>(window_.AboutTextWindow());
        ASSERT_NE(about, nullptr);
        const QPoint offset = about->frameGeometry().center() - window_.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2)
            << offset.x() << "," << offset.y() << " from the main window's centre";
    }
}

/// The icon's picture at `size` pixels and the picture the file `svg` gives
/// at that size.
bool IconIsTheFileAt(const QIcon& icon, const char* svg, int size) {
    QImageReader reader(QString::fromLatin1(svg));
    reader.setScaledSize(QSize(size, size));
    const QImage drawn = reader.read().convertToFormat(QImage::Format_ARGB32);
    const QImage shown =
        icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    return !drawn.isNull() && drawn == shown;
}

TEST_F(AboutWindows, TheIconIsDrawnFor16And24PixelsAndScaledAboveThat) {
    const QIcon icon = window_.windowIcon();
    struct Case {
        int size;
        const char* file;
    };
    for (const Case& c : {Case{16, ":/icons/utm-16.svg"}, Case{24, ":/icons/utm-24.svg"},
                          Case{64, ":/icons/utm.svg"}}) {
        SCOPED_TRACE(c.size);
        EXPECT_TRUE(IconIsTheFileAt(icon, c.file, c.size));
    }
    // The small ones are their own drawings, not the scalable icon shrunk.
    EXPECT_FALSE(IconIsTheFileAt(icon, ":/icons/utm.svg", 16));
    EXPECT_FALSE(IconIsTheFileAt(icon, ":/icons/utm.svg", 24));
}

TEST_F(AboutWindows, EscClosesTheTextWindow) {
    Trigger("AboutUTM");
    QPointer<Aboutfrm> about = window_.AboutTextWindow();
    ASSERT_FALSE(about.isNull());
    // Esc reaches the window from its read-only text box.
    QTest::keyClick(about->Text1Box(), Qt::Key_Escape);
    ProcessDeletes();
    EXPECT_TRUE(about.isNull());
    EXPECT_TRUE(window_.isVisible());
}

/// True when the picture shows the program's icon: the red central meridian
/// runs down its middle (Qt's stock icons have no such line).
bool ShowsTheRedMeridian(const QPixmap& picture) {
    const QImage image = picture.toImage();
    for (int x = image.width() / 2 - 2; x <= image.width() / 2 + 1; ++x) {
        const QColor c = image.pixelColor(x, image.height() / 4);
        if (c.red() - c.green() > 60 && c.red() - c.blue() > 60) return true;
    }
    return false;
}

TEST_F(AboutWindows, EachWindowCarriesTheProgramsIconAndTheDialogShowsIt) {
    Trigger("mnuAbout1");
    Trigger("AboutUTM");
    // Set on each window itself: the tests give the application no icon.
    for (QWidget* window : std::initializer_list<QWidget*>{&window_, window_.AboutDialog(),
                                                           window_.AboutTextWindow()}) {
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->testAttribute(Qt::WA_SetWindowIcon));
        EXPECT_TRUE(ShowsTheRedMeridian(window->windowIcon().pixmap(64, 64)));
    }
    auto* picture = window_.AboutDialog()->findChild<QLabel*>(QStringLiteral("picIcon"));
    ASSERT_NE(picture, nullptr);
    const QPixmap shown = picture->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.deviceIndependentSize().toSize(), QSize(32, 32));
    EXPECT_TRUE(ShowsTheRedMeridian(shown));
}

TEST_F(AboutWindows, TheDialogKeepsItsSizeAndHasNoMaximiseButton) {
    Trigger("mnuAbout1");
    frmAbout* about = window_.AboutDialog();
    ASSERT_NE(about, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_EQ(about->size(), about->minimumSize());
    const Qt::WindowFlags flags = about->windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    // The text window can be resized, and maximised.
    Trigger("AboutUTM");
    EXPECT_NE(window_.AboutTextWindow()->minimumSize(), window_.AboutTextWindow()->maximumSize());
}

}  // namespace
}  // namespace utm
