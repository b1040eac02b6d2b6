// The one way every window asks a person something or tells them something.
// The desktop program shows a QMessageBox; tests answer from a script.
#pragma once

#include <string>

namespace utm {

/// The application title, shown by every message box without a title of its own.
inline constexpr const char* kAppTitle = "UTM";

enum class MsgButtons { OK, OKCancel, YesNo };
enum class MsgIcon { None, Information };

/// The answers, with the numbers callers compare them by.
enum class MsgAnswer { OK = 1, Cancel = 2, Yes = 6, No = 7 };

/// Which button Enter presses: the first (OK, Yes) or the second (Cancel, No).
/// A question whose Yes destroys something defaults to the second.
enum class MsgDefault { First, Second };

class MessageBoxPort {
  public:
    virtual ~MessageBoxPort() = default;
    /// Shows `text` modally and returns the button pressed. An empty `title`
    /// shows the application title.
    virtual MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& title, MsgDefault defaultButton) = 0;

    /// Enter presses the first button.
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) {
        return Show(text, buttons, icon, title, MsgDefault::First);
    }

    /// OK button, no icon, application title.
    void Inform(const std::string& text) { Show(text, MsgButtons::OK, MsgIcon::None, ""); }
};

}  // namespace utm
