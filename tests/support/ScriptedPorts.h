// Test doubles of the message-box and file-dialog ports: they record what was
// shown and answer from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"

namespace utm::test {

struct ShownMessage {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
    std::string title;  ///< as shown: the application title when none was given
    MsgDefault defaultButton = MsgDefault::First;
};

class ScriptedMessageBox : public MessageBoxPort {
  public:
    /// Answers used in order; when the script runs out, OK/Yes buttons get OK,
    /// Yes/No buttons get No.
    std::deque<MsgAnswer> answers;
    /// Optional action run before answering (e.g. select cells in a test sheet).
    std::deque<std::function<void()>> beforeAnswer;
    std::vector<ShownMessage> shown;

    using MessageBoxPort::Show;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title, MsgDefault defaultButton) override {
        shown.push_back(
            {text, buttons, icon, title.empty() ? std::string(kAppTitle) : title, defaultButton});
        if (!beforeAnswer.empty()) {
            auto action = beforeAnswer.front();
            beforeAnswer.pop_front();
            if (action) action();
        }
        if (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::OK;
    }
};

class ScriptedFileDialog : public FileDialogPort {
  public:
    /// Paths chosen in order; std::nullopt stands for Cancel. An exhausted
    /// script cancels.
    std::deque<std::optional<std::string>> choices;
    std::vector<FileDialogRequest> requests;

    std::optional<std::string> Show(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (choices.empty()) return std::nullopt;
        auto c = choices.front();
        choices.pop_front();
        return c;
    }
};

}  // namespace utm::test
