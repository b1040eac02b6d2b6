// The standard open/save file dialog, and the per-window dialog control that
// remembers the last confirmed file name.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace utm {

enum class FileDialogAction { Open = 1, Save = 2 };

struct FileDialogRequest {
    FileDialogAction action = FileDialogAction::Open;
    /// Pairs of description and pattern separated by '|', first pair selected:
    /// "*.csv (Excel Files)|*.csv|*.txt (Text Files)|*.txt".
    std::string filter;
    std::string title;
    std::string initialFolder;  ///< empty: the platform's choice
    std::string fileName;       ///< the name the dialog starts from
    /// The filter entry shown first, counted from 1 (the first pair); an
    /// index out of range shows the first.
    int filterIndex = 1;
};

class FileDialogPort {
  public:
    virtual ~FileDialogPort() = default;
    /// Shows the dialog modally; the full path chosen, or nothing when cancelled.
    /// The Open dialog accepts the name of a file that does not exist; the Save
    /// dialog neither asks before replacing a file nor adds an extension.
    virtual std::optional<std::string> Show(const FileDialogRequest& request) = 0;
};

/// Raised by CommonDialog::Show on Cancel when CancelError is set.
class DialogCancelled : public std::runtime_error {
  public:
    DialogCancelled() : std::runtime_error("the file dialog was cancelled") {}
};

/// One dialog control per window: its `FileName` is one value for all uses of
/// the control. A confirmed choice replaces it; Cancel leaves it as it was.
class CommonDialog {
  public:
    explicit CommonDialog(FileDialogPort& port) : port_(&port) {}

    std::string Filter;
    /// The entry of `Filter` the dialog opens on, counted from 1.
    int FilterIndex = 1;
    std::string DialogTitle;
    std::string InitDir;
    bool CancelError = false;
    std::string FileName;

    /// Shows the dialog with the current settings. On Cancel: throws
    /// DialogCancelled when CancelError is set, else returns with FileName unchanged.
    void Show(FileDialogAction action) {
        FileDialogRequest request{action, Filter, DialogTitle, InitDir, FileName, FilterIndex};
        std::optional<std::string> chosen = port_->Show(request);
        if (chosen) {
            FileName = *chosen;
        } else if (CancelError) {
            throw DialogCancelled();
        }
    }
    void ShowOpen() { Show(FileDialogAction::Open); }
    void ShowSave() { Show(FileDialogAction::Save); }

    /// The port the dialogs are shown through, and its replacement (a
    /// run off the window's thread shows them through a forwarding port).
    FileDialogPort& Port() const { return *port_; }
    void SetPort(FileDialogPort& port) { port_ = &port; }

  private:
    FileDialogPort* port_;
};

}  // namespace utm
