// Long runs off the window's thread. A file run can take minutes; while it
// runs on a worker thread the window's thread keeps its event loop, so the
// windows repaint, the progress dialog hears Cancel, and every question the
// run asks is still shown on the window's thread, where Qt needs it.
#pragma once

#include <QString>
#include <functional>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"
#include "common/OperationError.h"

class QWidget;

namespace utm {

/// Shows every box of `port` on the window's thread, whichever thread asks;
/// the asking thread waits for the answer.
class WindowThreadMessageBox : public MessageBoxPort {
  public:
    explicit WindowThreadMessageBox(MessageBoxPort& port) : port_(port) {}
    using MessageBoxPort::Show;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title, MsgDefault defaultButton) override;

  private:
    MessageBoxPort& port_;
};

/// Shows every file dialog of `port` on the window's thread, whichever
/// thread asks; the asking thread waits for the choice.
class WindowThreadFileDialog : public FileDialogPort {
  public:
    explicit WindowThreadFileDialog(FileDialogPort& port) : port_(port) {}
    std::optional<std::string> Show(const FileDialogRequest& request) override;

  private:
    FileDialogPort& port_;
};

/// Calls `f` on the window's thread and waits for it; directly when already there.
void RunOnWindowThread(const std::function<void()>& f);

/// Runs `work` on a worker thread and returns once it is done, with the
/// exception it threw, if any. Meanwhile the window's thread keeps its event
/// loop; input to `window` (clicks, keys, closing it) is held back under a
/// busy cursor, so that no setting changes under the run, while boxes and
/// dialogs stay usable. `work` gets the progress callback for its operation:
/// the dialog with `progressLabel` and Cancel appears after about a second,
/// and the callback returns false once Cancel is pressed. An empty label
/// shows neither that dialog nor the busy cursor: for work that mostly waits
/// for a person answering its questions. Called on the window's thread;
/// `work` asks its questions through the ports above.
void RunOffWindowThread(QWidget& window, const QString& progressLabel,
                        const std::function<void(const Progress&)>& work);

}  // namespace utm
