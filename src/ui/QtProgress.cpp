#include "ui/QtProgress.h"

#include <QCoreApplication>

namespace utm {

namespace {
constexpr qint64 kShowAfterMs = 1000;
}  // namespace

std::unique_ptr<QProgressDialog> MakeProgressDialog(QWidget* parent, const QString& label) {
    auto dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0,
                                                    kProgressSteps, parent);
    dialog->setWindowTitle(QStringLiteral("UTM"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    return dialog;
}

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
        dialog_ = MakeProgressDialog(parent_.data(), label_);
        dialog_->show();
    }
    dialog_->setValue(static_cast<int>(done * kProgressSteps));
    // The run holds the event loop: let the dialog paint and hear Cancel.
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

}  // namespace utm
