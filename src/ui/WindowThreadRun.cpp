#include "ui/WindowThreadRun.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <exception>
#include <thread>

#include "ui/QtProgress.h"

namespace utm {

namespace {

// Calls `f` on the application's thread and waits for its result; directly
// when already there.
template <class F>
auto OnWindowThread(F f) -> decltype(f()) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) return f();
    decltype(f()) result{};
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        app,
        [&] {
            try {
                result = f();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
    return result;
}

// Holds back a person's input to one window while a run works on its data:
// clicks, keys, the wheel and closing it. Other windows (the progress
// dialog, message boxes, file dialogs) get theirs as always.
class InputHold : public QObject {
  public:
    InputHold(QWidget& window, bool busy) : window_(&window), busy_(busy) {
        if (busy_) QApplication::setOverrideCursor(Qt::BusyCursor);
        qApp->installEventFilter(this);
    }
    ~InputHold() override {
        qApp->removeEventFilter(this);
        if (busy_) QApplication::restoreOverrideCursor();
    }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
            case QEvent::Close:
                break;
            default:
                return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || window_.isNull() || widget->window() != window_.data()) {
            return false;
        }
        // An accepted shortcut override makes the key a plain key press,
        // which is then held back: no menu shortcut of the window fires.
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        if (event->type() == QEvent::Close) event->ignore();
        return true;
    }

  private:
    QPointer<QWidget> window_;
    bool busy_;
};

}  // namespace

void RunOnWindowThread(const std::function<void()>& f) {
    OnWindowThread([&] {
        f();
        return true;
    });
}

MsgAnswer WindowThreadMessageBox::Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                       const std::string& title, MsgDefault defaultButton) {
    return OnWindowThread([&] { return port_.Show(text, buttons, icon, title, defaultButton); });
}

std::optional<std::string> WindowThreadFileDialog::Show(const FileDialogRequest& request) {
    return OnWindowThread([&] { return port_.Show(request); });
}

void RunOffWindowThread(QWidget& window, const QString& progressLabel,
                        const std::function<void(const Progress&)>& work) {
    // The worker leaves the part done here; the window's thread shows it and
    // leaves Cancel here.
    std::atomic<double> done{0.0};
    std::atomic<bool> cancelled{false};
    std::exception_ptr failure;

    const bool showProgress = !progressLabel.isEmpty();
    InputHold hold(window, showProgress);
    QtProgress progress(&window, progressLabel);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!progress.Report(done.load())) cancelled = true;
    });
    if (showProgress) poll.start();

    std::thread worker([&] {
        try {
            work([&](double part) {
                done = part;
                return !cancelled.load();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    poll.stop();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace utm
