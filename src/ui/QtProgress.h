// The progress dialog of the long runs of every window: it appears when a run
// has taken about a second, shows how much of the data file is done and offers
// Cancel.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <memory>

#include "common/OperationError.h"

class QWidget;

namespace utm {

/// The steps of a progress dialog's bar.
inline constexpr int kProgressSteps = 1000;

/// The progress dialog of the windows' long work, over `parent`: `label`, a
/// Cancel button, window-modal, titled with the application's name, steps 0
/// to kProgressSteps; shown by the caller.
std::unique_ptr<QProgressDialog> MakeProgressDialog(QWidget* parent, const QString& label);

class QtProgress {
  public:
    /// A dialog over `parent` with `label` ("Converting the data file…").
    QtProgress(QWidget* parent, QString label);
    ~QtProgress();
    QtProgress(const QtProgress&) = delete;
    QtProgress& operator=(const QtProgress&) = delete;

    /// The callback to hand to an operation; valid while this object lives.
    Progress Callback();

    /// Called by the callback: shows the part done once the run has taken
    /// about a second; false once the person pressed Cancel.
    bool Report(double done);

  private:
    QPointer<QWidget> parent_;
    QString label_;
    QElapsedTimer timer_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace utm
