#include "ui/QtProgress.h"

#include <QCoreApplication>

namespace utm {

namespace {
constexpr int kSteps = 1000;
constexpr qint64 kShowAfterMs = 1000;
}  // namespace

QtProgress::QtProgress(QWidget* parent, QString label) : parent_(parent), label_(std::move(label)) {
    timer_.start();
}

QtProgress::~QtProgress() = default;

Progress QtProgress::Callback() {
    return [this](double done) { return Report(done); };
}

bool QtProgress::Report(double done) {
    if (!dialog_) {
        if (timer_.elapsed() < kShowAfterMs) return true;
        dialog_ = std::make_unique<QProgressDialog>(label_, QStringLiteral("Cancel"), 0, kSteps,
                                                    parent_.data());
        dialog_->setWindowTitle(QStringLiteral("UTM"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    dialog_->setValue(static_cast<int>(done * kSteps));
    // The run holds the event loop: let the dialog paint and hear Cancel.
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

}  // namespace utm
