// The main window `Utm`: single-point conversion, the data-file row of the
// batch conversion, the Retrieve command and the menus. A thin shell: every
// command copies the boxes' texts into an operation's request and the
// operation's result back into the boxes.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "common/DataTable.h"
#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"
#include "operations/ConversionDirection.h"
#include "operations/DataLoad.h"
#include "operations/LatLongDatum.h"
#include "operations/Units.h"
#include "ui/BackgroundCount.h"

class QAction;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QShortcut;

namespace utm {

class Aboutfrm;
class DataTableDialog;
class frmAbout;

/// The key code a key press delivers to a box's KeyPress handler: the
/// character typed (backspace 8, Enter 13, Esc 27, Ctrl+letter 1 to 26), or -1
/// for keys that type no character (arrows, Delete, Home, Tab, function keys).
int KeyAsciiOf(const QKeyEvent& event);

class Utm : public QMainWindow {
    Q_OBJECT
  public:
    /// Every message and file dialog of the window goes through the two ports.
    Utm(MessageBoxPort& messages, FileDialogPort& fileDialog, QWidget* parent = nullptr);
    ~Utm() override;

    /// The MERIDEX menu item opens the transfer window through this, when set.
    std::function<void()> openTransferWindow;
    /// The Retrieve command (button and menu) runs this, when set.
    std::function<void()> retrieve;
    /// Exit runs this; by default it closes every window and ends the event loop.
    std::function<void()> exitProgram;

    /// The window's file dialog control, shared by Browse, the batch save and Retrieve.
    CommonDialog& CommonDialog1() { return dialog_; }
    MessageBoxPort& Messages() { return messages_; }
    /// The data columns of the batch path.
    BatchColumns& Columns() { return columns_; }
    /// The direction selected by the option buttons.
    ConversionDirection Direction() const;
    /// The datum of the latitude/longitude side chosen in `Combo4`: Everest
    /// 1830 (the default, no shift) or WGS 84 (GPS). Convert and Retrieve follow it.
    LatLongDatum Datum() const;
    /// The units chosen in `Combo3`: the list position as `Units`.
    Units ChosenUnits() const;
    /// True while `Text2` and `Text3` take degrees, minutes and seconds: the
    /// units are Dms and the latitude and longitude are the input.
    bool TakesDmsInput() const;
    /// The central-meridian text of `Text1`.
    std::string CentralMeridianText() const;
    /// Empties the data-file box `Text6` (Retrieve does so before converting).
    void ClearDataFileBox();
    /// True while the data-file row (Browse and the data-file box) is shown:
    /// "Multiple Data" and "Within Excel".
    bool ShowsDataFileRow() const;
    /// True while Browse counts the chosen file's points on its worker thread.
    bool Counting() const;
    /// The decimal separator of the user's locale, for results shown and written.
    static char DecimalSeparator();

    frmAbout* AboutDialog() const;
    Aboutfrm* AboutTextWindow() const;
    /// The window that shows the browsed data file as a table and takes the
    /// separator and columns for "Multiple Data"; nothing before the first Browse.
    DataTableDialog* DataTableWindow() const;
    /// The coordinates a data file holds for the direction chosen: latitude
    /// and longitude for "Lat-Long to XY", a grid for "XY to LAT-Long".
    CoordinateKind DataKind() const;

  public slots:
    void Form_Load();
    void Combo2_Click();
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();
    void mnubrowse_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void mnuexit_Click();
    void Command6_Click();
    void mnuexcelret_Click();
    void FileTop_Click();
    void Meridex_Click();
    void mnuAbout1_Click();
    void AboutUTM_Click();
    /// "Copy X and Y": the texts of `Text4` and `Text5`, separated by a tab,
    /// to the clipboard.
    void CopyOutputs();

  public:
    void Text1_KeyPress(int& KeyAscii);
    void Text2_KeyPress(int& KeyAscii);
    void Text3_KeyPress(int& KeyAscii);
    void Combo2_KeyPress(int& KeyAscii);
    void Combo3_KeyPress(int& KeyAscii);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildMenus();
    /// Lays the controls out in rows; the window's size follows from them.
    void LayOutControls();
    /// Lays the controls out again at once after rows were shown or hidden
    /// or captions changed.
    void Relayout();
    /// Enables the buttons, the mode list and the Browse item for the chosen
    /// mode, or disables those that would start with a stale count while
    /// Browse counts.
    void EnableForMode();
    /// The count of a Browse arrived: the data-file box names the file, the
    /// count is said and the file's first rows are shown as a table.
    void BrowseCounted(const std::string& path, const BackgroundCount::Outcome& outcome);
    dataload& Loader();
    /// The context menu of an output box: its Copy and Select All, and
    /// "Copy X and Y".
    QMenu* OutputMenu(QLineEdit* box);
    /// The context menu of an input or data-file box: the box's own entries,
    /// a paste that keeps only what typing keeps.
    QMenu* InputMenu(QLineEdit* box);
    /// Takes the key hint off a menu entry whose key a menu item claims.
    void DropClaimedKeyHints(QMenu* menu) const;
    /// Inserts the clipboard's text into `box`, each character kept or dropped
    /// as the box's key filter keeps or drops it when typed.
    void PasteInto(QLineEdit* box);
    /// The key filter of `box` (Text1, Text2, Text3 or a list) on one key code.
    void FilterKey(const QObject* box, int& KeyAscii);

    MessageBoxPort& messages_;
    CommonDialog dialog_;
    BatchColumns columns_;
    std::unique_ptr<dataload> loader_;
    /// The count of the file Browse chose, while it runs.
    std::unique_ptr<BackgroundCount> count_;
    /// Esc anywhere in the window stops a count, as Cancel in its dialog does.
    QShortcut* cancelCount_ = nullptr;

    QWidget* client_ = nullptr;
    QRadioButton* Option1_ = nullptr;
    QRadioButton* Option2_ = nullptr;
    QLabel* Label8_ = nullptr;     ///< "Datum:"
    QComboBox* Combo4_ = nullptr;  ///< the datum of the latitude/longitude side
    QLabel* Label1_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    QLabel* Label6_ = nullptr;
    QComboBox* Combo2_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLineEdit* Text3_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLineEdit* Text4_ = nullptr;
    QLabel* Label5_ = nullptr;
    QLineEdit* Text5_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QLineEdit* Text6_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QPushButton* Command6_ = nullptr;
    QPushButton* Command3_ = nullptr;
    QPushButton* Command5_ = nullptr;
    QLabel* Label7_ = nullptr;
    QComboBox* Combo3_ = nullptr;
    QAction* FileTop_ = nullptr;
    QAction* mnubrowse_ = nullptr;
    QList<QAction*> menuShortcuts_;

    QPointer<DataTableDialog> dataTable_;
    QPointer<frmAbout> frmAbout_;
    QPointer<Aboutfrm> aboutfrm_;
};

}  // namespace utm
