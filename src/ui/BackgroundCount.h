// Counting a data file on a worker thread while its window goes on: a busy
// cursor while it runs, after a moment a small dialog with the part done and
// Cancel, and the count (or why there is none) handed back on the window's
// thread.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "common/OperationError.h"

class QProgressDialog;
class QWidget;

namespace utm {

class BackgroundCount : public QObject {
    Q_OBJECT
  public:
    /// How a count ended.
    struct Outcome {
        enum class Status { Counted, Failed, Cancelled };
        Status status = Status::Cancelled;
        std::size_t count = 0;  ///< when Counted
        std::string message;    ///< the reason, when Failed
    };
    /// The counting itself, run on the worker thread: it calls `progress`
    /// now and then and throws OperationCancelled once `progress` returns
    /// false, OperationError when the file cannot be counted.
    using Work = std::function<std::size_t(const Progress& progress)>;
    using Done = std::function<void(const Outcome&)>;

    /// The dialog with Cancel appears once a count has run this long.
    static constexpr int kDialogAfterMs = 300;
    /// A count that ends within this time is handed over before the
    /// constructor returns: a small file shows no busy cursor for a blink,
    /// and the window's thread never waits longer than this.
    static constexpr int kQuickMs = 80;

    /// Starts `work` on a worker thread. `done` runs once on the window's
    /// thread with the outcome: at the end of the count, at once on Cancel
    /// (a count that cannot stop runs out unseen), or from Finish. The dialog
    /// is window-modal over `owner` and says `label`.
    BackgroundCount(QWidget* owner, QString label, Work work, Done done);
    /// Asks a running count to stop and waits for its thread.
    ~BackgroundCount() override;
    BackgroundCount(const BackgroundCount&) = delete;
    BackgroundCount& operator=(const BackgroundCount&) = delete;

    /// True until the outcome was handed over.
    bool Running() const { return !delivered_; }
    /// Stops the count: `done` gets Cancelled now.
    void Cancel();
    /// Waits for the count to end and hands its outcome over now.
    void Finish();

  private:
    struct Shared;
    void ShowDialog();
    void Deliver(const Outcome& outcome);

    std::shared_ptr<Shared> shared_;
    QPointer<QWidget> owner_;
    QString label_;
    Done done_;
    QFutureWatcher<Outcome> watcher_;
    QTimer dialogTimer_;
    QTimer progressTimer_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cursor_ = false;
    bool delivered_ = false;
};

}  // namespace utm
