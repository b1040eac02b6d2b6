// The transfer window "MERIDEX": moves the grid coordinates of a data file, or
// of a spreadsheet selection, from one grid to another.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"
#include "geodesy/DatumShift.h"

class QComboBox;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace utm {

class DataTableDialog;

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

    /// Told what a file run that wrote its result file did ("12 points written
    /// to ... in 0.4 s"), as the window closes; OpenMeridex shows it in the
    /// main window's status line.
    std::function<void(const QString&)> ReportRun;

    /// Run by "Within Excel"; the window stays open. Nothing happens while unset.
    std::function<void()> WithinExcel;

    /// The `TransferKind`: the list position chosen in Combo1, -1 when text was
    /// typed into the list so that no entry is selected.
    int TransferKindPosition() const { return listIndex_; }

    /// The entries of the "Datum shift" list (Combo3), by position.
    enum class DatumShiftChoice { None = 0, Epsg6208 = 1, PositionVector = 2, CoordinateFrame = 3 };

    /// The datum shift the transfer of the chosen kind runs with: the choice
    /// of "Datum shift" for a kind that crosses between WGS 84 and Everest 1830
    /// (positions 2, 3, 6, 7), none for every other kind (the shift would not
    /// act on it). The seven parameters are read from their boxes by the
    /// locale's number rules. Throws ParameterError, with a message for the
    /// user naming the box and what is wrong, when they are needed and a box is
    /// empty or holds no number, or the scale is -1000000 ppm or less.
    DatumShift ChosenDatumShift() const;

    /// True while the line "No datum shift: ..." shows under the list: the
    /// chosen kind crosses datums and the datum shift is none.
    bool ShowsNoDatumShiftWarning() const;

    /// The decimal separator of the user's locale, as the file transfer uses it
    /// for reading fields and writing text-mode result files.
    static char LocaleDecimalSeparator();

    /// The window that shows the browsed data file as a table and takes the
    /// separator and columns for OK's transfer; nothing before the first Browse.
    DataTableDialog* DataTableWindow() const;

    void Form_Load();
    void Command1_Click();  ///< Browse
    void Command2_Click();  ///< Within Excel
    /// OK: transfer the data file, then close. Without a data file it says so
    /// and the window stays open with what was typed.
    void Command3_Click();
    void Command4_Click();  ///< Cancel: close
    /// The datum shift's list changed: the seven boxes show for a
    /// seven-parameter choice, and the warning line follows.
    void Combo3_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    /// Esc is Cancel.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// Shows or hides the line under the list for the chosen kind and shift.
    void UpdateDatumShiftWarning();
    /// ChosenDatumShift, or, when it cannot be formed, nothing after the
    /// reason was shown through the message port.
    std::optional<DatumShift> CheckedDatumShift();

    MessageBoxPort& messages_;
    std::function<void()> showMainWindow_;
    CommonDialog CommonDialog1;
    int listIndex_ = -1;
    QPointer<DataTableDialog> dataTable_;

    QGroupBox* Frame1;
    QLabel* Label1;
    QComboBox* Combo1;
    QLabel* Label2;
    QComboBox* Combo2;
    QLabel* Label3;            ///< "Datum shift :"
    QComboBox* Combo3;         ///< the datum shift choice
    QWidget* parameterPanel_;  ///< the seven parameters' captions and boxes
    QLabel* parameterLabels_[7];
    QLineEdit* parameterBoxes_[7];  ///< TX, TY, TZ (m), RX, RY, RZ (″), S (ppm)
    QLabel* Label4;                 ///< the no-datum-shift line under the list
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
