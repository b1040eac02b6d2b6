#include "ui/BackgroundCount.h"

#include <QApplication>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "ui/QtProgress.h"

namespace utm {

namespace {
constexpr int kProgressEveryMs = 100;
}  // namespace

/// What the worker and the window's thread both see: the stop request, the
/// part done and the end of the work.
struct BackgroundCount::Shared {
    std::atomic<bool> cancel{false};
    std::atomic<int> steps{0};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
};

BackgroundCount::BackgroundCount(QWidget* owner, QString label, Work work, Done done)
    : shared_(std::make_shared<Shared>()),
      owner_(owner),
      label_(std::move(label)),
      done_(std::move(done)) {
    const std::shared_ptr<Shared> shared = shared_;
    QFuture<Outcome> future = QtConcurrent::run([shared, work = std::move(work)] {
        Outcome outcome;
        const Progress progress = [&shared](double part) {
            shared->steps = static_cast<int>(part * kProgressSteps);
            return !shared->cancel.load();
        };
        try {
            outcome.count = work(progress);
            outcome.status = Outcome::Status::Counted;
        } catch (const OperationCancelled&) {
            outcome.status = Outcome::Status::Cancelled;
        } catch (const std::exception& e) {
            outcome.status = Outcome::Status::Failed;
            outcome.message = e.what();
        }
        {
            const std::lock_guard lock(shared->mutex);
            shared->finished = true;
        }
        shared->ended.notify_all();
        return outcome;
    });
    connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, [this] {
        if (!delivered_) Deliver(watcher_.result());
    });
    watcher_.setFuture(future);

    {
        std::unique_lock lock(shared_->mutex);
        shared_->ended.wait_for(lock, std::chrono::milliseconds(kQuickMs),
                                [this] { return shared_->finished; });
        if (shared_->finished) {
            lock.unlock();
            Finish();
            return;
        }
    }
    // A longer count: the cursor says so at once, the dialog a little later.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    cursor_ = true;
    dialogTimer_.setSingleShot(true);
    connect(&dialogTimer_, &QTimer::timeout, this, &BackgroundCount::ShowDialog);
    dialogTimer_.start(kDialogAfterMs - kQuickMs);
}

BackgroundCount::~BackgroundCount() {
    shared_->cancel = true;
    watcher_.disconnect(this);
    watcher_.waitForFinished();
    if (cursor_) QApplication::restoreOverrideCursor();
}

void BackgroundCount::ShowDialog() {
    if (delivered_) return;
    dialog_ = MakeProgressDialog(owner_.data(), label_);
    dialog_->setObjectName(QStringLiteral("CountProgress"));
    dialog_->setValue(shared_->steps);
    // Cancel and Esc both end the count: Esc is the dialog's shortcut while
    // it is the active window, and its rejection otherwise.
    connect(dialog_.get(), &QProgressDialog::canceled, this, &BackgroundCount::Cancel);
    connect(dialog_.get(), &QDialog::rejected, this, &BackgroundCount::Cancel);
    dialog_->show();
    connect(&progressTimer_, &QTimer::timeout, this, [this] {
        if (dialog_) dialog_->setValue(shared_->steps);
    });
    progressTimer_.start(kProgressEveryMs);
}

void BackgroundCount::Cancel() {
    if (delivered_) return;
    shared_->cancel = true;
    Deliver(Outcome{});
}

void BackgroundCount::Finish() {
    if (delivered_) return;
    watcher_.waitForFinished();
    Deliver(watcher_.result());
}

void BackgroundCount::Deliver(const Outcome& outcome) {
    delivered_ = true;
    dialogTimer_.stop();
    progressTimer_.stop();
    if (dialog_) {
        dialog_->disconnect(this);
        dialog_->hide();
        dialog_.release()->deleteLater();
    }
    if (cursor_) {
        QApplication::restoreOverrideCursor();
        cursor_ = false;
    }
    // Last: `done` may show a message, even start another count.
    if (const Done done = std::move(done_)) done(outcome);
}

}  // namespace utm
