// The transfer window "MERIDEX": moves the grid coordinates of a data file, or
// of a spreadsheet selection, from one grid to another.
#pragma once

#include <QWidget>
#include <functional>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace utm {

class FrmMERIDEX : public QWidget {
    Q_OBJECT

  public:
    /// A top-level window without owner. `showMainWindow` makes the main window
    /// visible again; it runs whenever the window closes (OK, Cancel or the
    /// title bar). The window fills its list at construction (Form_Load) and
    /// deletes itself when it closes: every opening makes a fresh window.
    FrmMERIDEX(MessageBoxPort& messages, FileDialogPort& dialogs,
               std::function<void()> showMainWindow);
    ~FrmMERIDEX() override;

    /// Run by "Within Excel"; the window stays open. Nothing happens while unset.
    std::function<void()> WithinExcel;

    /// The `TransferKind`: the list position chosen in Combo1, -1 when text was
    /// typed into the list so that no entry is selected.
    int TransferKindPosition() const { return listIndex_; }

    /// The decimal separator of the user's locale, as the file transfer uses it
    /// for reading fields and writing text-mode result files.
    static char LocaleDecimalSeparator();

    void Form_Load();
    void Command1_Click();  ///< Browse
    void Command2_Click();  ///< Within Excel
    void Command3_Click();  ///< OK: transfer the data file, then close
    void Command4_Click();  ///< Cancel: close

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MessageBoxPort& messages_;
    std::function<void()> showMainWindow_;
    CommonDialog CommonDialog1;
    int listIndex_ = -1;

    QGroupBox* Frame1;
    QLabel* Label1;
    QComboBox* Combo1;
    QLabel* Label2;
    QComboBox* Combo2;
    QLineEdit* Text6;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
};

/// The main window's Meridex_Click: creates a fresh transfer window (deleted
/// when it closes), shows it and hides `mainWindow`, which the transfer
/// window shows again when it closes.
FrmMERIDEX* OpenMeridex(QWidget* mainWindow, MessageBoxPort& messages, FileDialogPort& dialogs);

}  // namespace utm
