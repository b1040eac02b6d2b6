// The About dialog: program title, version and description. Modeless; Enter
// and Esc close it like its OK button; closing it deletes it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace utm {

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    /// Builds the dialog and runs Form_Load. `owner` is the main window.
    explicit frmAbout(QWidget* owner);

    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblDescription() const { return lblDescription_; }
    QLabel* lblDisclaimer() const { return lblDisclaimer_; }
    QPushButton* cmdOK() const { return cmdOK_; }

  public slots:
    void cmdOK_Click();

  private:
    void Form_Load();

    QLabel* picIcon_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* lblDescription_;
    QLabel* lblDisclaimer_;
    QPushButton* cmdOK_;
};

}  // namespace utm
