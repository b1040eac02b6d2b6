// The count on a worker thread that Browse runs: what reaches the window's
// thread, when, and how it is stopped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "support/QtWait.h"
#include "ui/BackgroundCount.h"

namespace utm {
namespace {

using Status = BackgroundCount::Outcome::Status;

using test::WaitUntil;

/// Work that goes on, telling half done, until it is asked to stop.
std::size_t UntilStopped(const Progress& progress) {
    while (progress(0.5)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    throw OperationCancelled("stopped");
}

TEST(BackgroundCount, AQuickCountArrivesBeforeTheWindowGoesOnAndAFailureSaysWhy) {
    const struct {
        const char* name;
        BackgroundCount::Work work;
        Status status;
        std::size_t count;
        const char* message;
    } cases[] = {
        {"counted", [](const Progress&) { return std::size_t{42}; }, Status::Counted, 42, ""},
        {"failed", [](const Progress&) -> std::size_t { throw OperationError("No such file."); },
         Status::Failed, 0, "No such file."},
    };
    QWidget owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BackgroundCount::Outcome> seen;
        BackgroundCount count(&owner, QStringLiteral("Counting"), c.work,
                              [&](const BackgroundCount::Outcome& o) { seen.push_back(o); });
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_FALSE(count.Running());
        EXPECT_EQ(seen[0].status, c.status);
        EXPECT_EQ(seen[0].count, c.count);
        EXPECT_EQ(seen[0].message, c.message);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        QCoreApplication::processEvents();
        EXPECT_EQ(seen.size(), 1u);  // once only
    }
}

TEST(BackgroundCount, ALongCountShowsABusyCursorThenADialogThatStopsIt) {
    const struct {
        const char* how;
        std::function<void(QProgressDialog*)> stop;
    } ways[] = {
        {"Esc",
         [](QProgressDialog* d) {
             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(d, &esc);
         }},
        {"Cancel", [](QProgressDialog* d) { d->findChild<QPushButton*>()->click(); }},
    };
    QWidget owner;
    owner.show();
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        std::vector<BackgroundCount::Outcome> seen;
        BackgroundCount count(&owner, QStringLiteral("Counting the points…"), UntilStopped,
                              [&](const BackgroundCount::Outcome& o) { seen.push_back(o); });
        EXPECT_TRUE(count.Running());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        EXPECT_EQ(owner.findChild<QProgressDialog*>(), nullptr);  // not at once
        QProgressDialog* dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            dialog = owner.findChild<QProgressDialog*>(QStringLiteral("CountProgress"));
            return dialog != nullptr && dialog->isVisible();
        }));
        EXPECT_EQ(dialog->labelText(), QStringLiteral("Counting the points…"));
        EXPECT_TRUE(WaitUntil([&] { return dialog->value() == 500; }));
        EXPECT_TRUE(seen.empty());
        way.stop(dialog);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].status, Status::Cancelled);
        EXPECT_FALSE(count.Running());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(owner.findChild<QProgressDialog*>(), nullptr);
    }
}

TEST(BackgroundCount, FinishWaitsForTheCountAndClosingStopsIt) {
    QWidget owner;
    std::atomic<bool> release{false};
    std::vector<BackgroundCount::Outcome> seen;
    {
        BackgroundCount count(
            &owner, QStringLiteral("Counting"),
            [&](const Progress&) {
                while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                return std::size_t{7};
            },
            [&](const BackgroundCount::Outcome& o) { seen.push_back(o); });
        ASSERT_TRUE(count.Running());
        std::thread later([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            release = true;
        });
        count.Finish();
        later.join();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].count, 7u);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    // A count still running when its owner goes is stopped and waited for,
    // and hands nothing over.
    {
        BackgroundCount count(&owner, QStringLiteral("Counting"), UntilStopped,
                              [&](const auto& o) { seen.push_back(o); });
    }
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace utm
