// The description window: one multi-line text box filling the window.
// Modeless; closed by its title bar or Esc, which delete it.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

class QKeyEvent;
class QPlainTextEdit;

namespace utm {

class Aboutfrm : public QWidget {
    Q_OBJECT
  public:
    /// Builds the window and runs Form_Load. `owner` is the main window.
    explicit Aboutfrm(QWidget* owner);

    /// The text box's text exactly as set (lines separated by CR LF).
    const std::string& Text1() const { return text1_; }
    /// Sets the text box's text; each CR LF starts a new line on screen.
    void SetText1(const std::string& text);

    QPlainTextEdit* Text1Box() const { return box_; }

  protected:
    /// Esc closes the window, as it closes the About dialog.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Form_Load();

    std::string text1_;
    QPlainTextEdit* box_;
};

}  // namespace utm
