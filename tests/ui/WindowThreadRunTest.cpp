#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/ScriptedPorts.h"
#include "ui/WindowThreadRun.h"

namespace utm {
namespace {

using namespace std::chrono_literals;

// A window with one box, closed and typed into only when its input is not held.
struct Window {
    QWidget widget;
    QLineEdit* box = new QLineEdit(&widget);
    Window() {
        (new QVBoxLayout(&widget))->addWidget(box);
        widget.show();
        box->setFocus();
    }
};

// Spins until `done` or about five seconds have passed.
template <class F>
void WaitFor(F done) {
    for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(10ms);
}

TEST(WindowThreadRun, WorkRunsOffTheWindowThreadWhileItsEventLoopGoesOn) {
    Window window;
    std::atomic<bool> timerFired{false};
    std::thread::id workThread;
    QTimer::singleShot(20, [&] { timerFired = true; });
    RunOffWindowThread(window.widget, "Working…", [&](const Progress& progress) {
        workThread = std::this_thread::get_id();
        // The window's thread runs its timer while the work waits for it.
        WaitFor([&] { return timerFired.load(); });
        EXPECT_TRUE(progress(0.5));
    });
    EXPECT_TRUE(timerFired);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone
}

TEST(WindowThreadRun, QuestionsAreAnsweredOnTheWindowThread) {
    Window window;
    test::ScriptedMessageBox scripted;
    test::ScriptedFileDialog files;
    files.choices.push_back("/data/out.txt");
    std::thread::id askedOn;
    scripted.beforeAnswer.push_back([&] { askedOn = std::this_thread::get_id(); });
    scripted.answers.push_back(MsgAnswer::Yes);
    WindowThreadMessageBox box(scripted);
    WindowThreadFileDialog dialog(files);
    MsgAnswer answer = MsgAnswer::No;
    std::optional<std::string> chosen;
    RunOffWindowThread(window.widget, "Working…", [&](const Progress&) {
        answer = box.Show("Replace it?", MsgButtons::YesNo, MsgIcon::None, "");
        chosen = dialog.Show({});
    });
    EXPECT_EQ(answer, MsgAnswer::Yes);
    EXPECT_EQ(chosen, "/data/out.txt");
    EXPECT_EQ(askedOn, std::this_thread::get_id());
    ASSERT_EQ(scripted.shown.size(), 1u);
    EXPECT_EQ(scripted.shown[0].text, "Replace it?");
}

TEST(WindowThreadRun, TheWindowHearsNoInputAndCannotBeClosedDuringTheRun) {
    Window window;
    QAction exit(&window.widget);
    exit.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    window.widget.addAction(&exit);
    int exits = 0;
    QObject::connect(&exit, &QAction::triggered, [&] { ++exits; });
    QApplication::setActiveWindow(&window.widget);
    std::atomic<bool> tried{false};
    QTimer::singleShot(10, [&] {
        QTest::keyClicks(window.box, "85");
        QTest::keyClick(window.box, Qt::Key_E, Qt::ControlModifier);
        EXPECT_FALSE(window.widget.close());
        tried = true;
    });
    RunOffWindowThread(window.widget, "Working…",
                       [&](const Progress&) { WaitFor([&] { return tried.load(); }); });
    EXPECT_TRUE(tried);
    EXPECT_EQ(window.box->text(), "");
    EXPECT_TRUE(window.widget.isVisible());
    EXPECT_EQ(exits, 0);
    // Afterwards the window takes input again.
    QTest::keyClicks(window.box, "85");
    EXPECT_EQ(window.box->text(), "85");
    QTest::keyClick(window.box, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(exits, 1);
}

TEST(WindowThreadRun, CancelInTheProgressDialogReachesTheWorkAndItsErrorComesBack) {
    Window window;
    std::atomic<bool> sawCancel{false};
    // The dialog appears after about a second; Cancel is pressed on it then.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        for (QProgressDialog* dialog : window.widget.findChildren<QProgressDialog*>()) {
            dialog->cancel();
        }
    });
    cancel.start(100);
    EXPECT_THROW(RunOffWindowThread(window.widget, "Working…",
                                    [&](const Progress& progress) {
                                        for (int i = 0; i < 1000; ++i) {
                                            if (!progress(i / 1000.0)) {
                                                sawCancel = true;
                                                throw OperationCancelled("cancelled");
                                            }
                                            std::this_thread::sleep_for(10ms);
                                        }
                                    }),
                 OperationCancelled);
    EXPECT_TRUE(sawCancel);

    // Any other error of the work comes back to the caller too.
    EXPECT_THROW(RunOffWindowThread(window.widget, "Working…",
                                    [](const Progress&) { throw std::runtime_error("disk"); }),
                 std::runtime_error);
}

}  // namespace
}  // namespace utm
