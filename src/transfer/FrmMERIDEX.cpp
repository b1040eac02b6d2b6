#include "transfer/FrmMERIDEX.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSizePolicy>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "common/NumericText.h"
#include "geodesy/ParameterError.h"
#include "gis/GisFormat.h"
#include "operations/PointBlock.h"
#include "operations/TransferFile.h"
#include "operations/TransferKind.h"
#include "ui/DataTableDialog.h"
#include "ui/WindowBasics.h"
#include "ui/WindowThreadRun.h"

namespace utm {

namespace {

constexpr const char* kBrowseFilter =
    "*.csv (CSV Files)|*.csv|*.txt (Text Files:Tab delimeted)|*.txt|"
    "GIS Files (*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf)|"
    "*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf";
constexpr const char* kBrowseTitle = "Select the data file for Conversion";

/// The entries of the "Datum shift" list, in the order of DatumShiftChoice.
constexpr const char* kDatumShiftCaptions[] = {
    "None",
    "EPSG:6208 (Nepal 1981 to WGS 84)",
    "Seven parameters, position vector",
    "Seven parameters, coordinate frame",
};

/// The seven parameters' names and units, in the order of the boxes.
constexpr const char* kParameterNames[7] = {"TX", "TY", "TZ", "RX", "RY", "RZ", "S"};
constexpr const char* kParameterUnits[7] = {"m", "m", "m", "\u2033", "\u2033", "\u2033", "ppm"};

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

FrmMERIDEX::FrmMERIDEX(MessageBoxPort& messages, FileDialogPort& dialogs,
                       std::function<void()> showMainWindow)
    : QWidget(nullptr, Qt::Window),
      messages_(messages),
      showMainWindow_(std::move(showMainWindow)),
      CommonDialog1(dialogs) {
    setObjectName("FrmMERIDEX");
    setWindowTitle("MERIDEX");
    // Closing unloads the window: a fresh one is made for every opening.
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QGroupBox("Conversion :-", this);
    Frame1->setObjectName("Frame1");
    Label1 = new QLabel("From :", Frame1);
    Label1->setObjectName("Label1");
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText("Combo1");
    Label2 = new QLabel("To :", Frame1);
    Label2->setObjectName("Label2");
    Combo2 = new QComboBox(Frame1);
    Combo2->setObjectName("Combo2");
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    Combo2->setEditText("Combo2");
    // The "To" list holds no entries of its own (the kind names both ends):
    // nothing for Tab to stop on.
    Combo2->setFocusPolicy(Qt::NoFocus);
    Label1->setBuddy(Combo1);
    Label2->setBuddy(Combo2);

    // The datum shift for the transfers between WGS 84 and Everest 1830: a
    // list, the seven parameters' boxes (shown for a seven-parameter choice)
    // and the line that says when such a transfer runs without a shift.
    Label3 = new QLabel("Datum shift :", Frame1);
    Label3->setObjectName("Label3");
    Combo3 = new QComboBox(Frame1);
    Combo3->setObjectName("Combo3");
    for (const char* caption : kDatumShiftCaptions) Combo3->addItem(QString::fromUtf8(caption));
    Label3->setBuddy(Combo3);

    auto* panel = new QGroupBox("Seven parameters, Nepal 1981 to WGS 84 :", Frame1);
    panel->setObjectName("Frame2");
    parameterPanel_ = panel;
    auto* panelLayout = new QGridLayout(panel);
    for (int i = 0; i < 7; ++i) {
        parameterLabels_[i] = new QLabel(QString::fromUtf8(kParameterNames[i]) + " (" +
                                             QString::fromUtf8(kParameterUnits[i]) + ")",
                                         panel);
        parameterLabels_[i]->setObjectName(QString("Label%1").arg(5 + i));
        parameterBoxes_[i] = new QLineEdit(panel);
        parameterBoxes_[i]->setObjectName(QString("Text%1").arg(7 + i));
        parameterBoxes_[i]->setMinimumWidth(48);
        parameterLabels_[i]->setBuddy(parameterBoxes_[i]);
        panelLayout->addWidget(parameterLabels_[i], 0, i);
        panelLayout->addWidget(parameterBoxes_[i], 1, i);
    }
    panel->setVisible(false);

    Label4 = new QLabel(Utf8(kNoDatumShiftWarning), Frame1);
    Label4->setObjectName("Label4");
    // The line keeps its place while hidden, so the window does not jump as
    // the choice changes.
    QSizePolicy keepPlace = Label4->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Label4->setSizePolicy(keepPlace);

    auto* frameLayout = new QGridLayout(Frame1);
    frameLayout->addWidget(Label1, 0, 0);
    frameLayout->addWidget(Combo1, 0, 1);
    frameLayout->addWidget(Label2, 1, 0);
    frameLayout->addWidget(Combo2, 1, 1);
    frameLayout->addWidget(Label3, 2, 0);
    frameLayout->addWidget(Combo3, 2, 1);
    frameLayout->addWidget(panel, 3, 0, 1, 2);
    frameLayout->addWidget(Label4, 4, 0, 1, 2);
    frameLayout->setColumnStretch(1, 1);
    frameLayout->setRowStretch(5, 1);  // room the window gains stays below the rows

    Text6 = new QLineEdit("Load data file", this);
    Text6->setObjectName("Text6");
    Command1 = new QPushButton("&Browse", this);
    Command1->setObjectName("Command1");
    Command2 = new QPushButton("Within Excel", this);
    Command2->setObjectName("Command2");
    Command3 = new QPushButton("OK", this);
    Command3->setObjectName("Command3");
    Command4 = new QPushButton("Cancel", this);
    Command4->setObjectName("Command4");

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Text6, 1);
    fileRow->addWidget(Command1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(Command2);
    buttonRow->addStretch(1);
    buttonRow->addWidget(Command3);
    buttonRow->addWidget(Command4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(fileRow);
    layout->addLayout(buttonRow);

    // The list position follows a choice from the list; typing into the list's
    // text leaves no entry selected.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int i) {
        listIndex_ = i;
        UpdateDatumShiftWarning();
    });
    connect(Combo1, &QComboBox::activated, this, [this](int i) {
        listIndex_ = i;
        UpdateDatumShiftWarning();
    });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] {
        listIndex_ = -1;
        UpdateDatumShiftWarning();
    });
    connect(Combo3, &QComboBox::currentIndexChanged, this, &FrmMERIDEX::Combo3_Click);
    // Enter in the text field would make the list pick the entry matching the
    // typed text (ignoring case); only a choice from the list picks one.
    Combo1->lineEdit()->installEventFilter(this);

    connect(Command1, &QPushButton::clicked, this, &FrmMERIDEX::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmMERIDEX::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FrmMERIDEX::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &FrmMERIDEX::Command4_Click);
    EnterPressesButtons(*this);
    UseAppIcon(*this);

    Form_Load();
    // The window opens at the size its rows ask for in the window's font and
    // can be made no smaller.
    adjustSize();
}

FrmMERIDEX::~FrmMERIDEX() = default;

char FrmMERIDEX::LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) {
        return static_cast<char>(point.at(0).unicode());
    }
    return '.';
}

void FrmMERIDEX::Form_Load() {
    Combo1->clear();
    for (std::string_view caption : kTransferKindCaptions) Combo1->addItem(Utf8(caption));
    Combo1->setCurrentIndex(0);
    listIndex_ = 0;
    Combo3->setCurrentIndex(static_cast<int>(DatumShiftChoice::None));
    Combo3_Click();
}

void FrmMERIDEX::Combo3_Click() {
    const auto choice = static_cast<DatumShiftChoice>(Combo3->currentIndex());
    parameterPanel_->setVisible(choice == DatumShiftChoice::PositionVector ||
                                choice == DatumShiftChoice::CoordinateFrame);
    UpdateDatumShiftWarning();
    // The window grows to show the seven boxes at their full height.
    layout()->activate();
    resize(size().expandedTo(minimumSizeHint()));
}

bool FrmMERIDEX::ShowsNoDatumShiftWarning() const {
    return KindCrossesDatum(listIndex_) &&
           static_cast<DatumShiftChoice>(Combo3->currentIndex()) == DatumShiftChoice::None;
}

void FrmMERIDEX::UpdateDatumShiftWarning() {
    // A datum shift acts only on a transfer between WGS 84 and Everest 1830:
    // for any other kind its choice and parameters are greyed.
    const bool crosses = KindCrossesDatum(listIndex_);
    for (QWidget* part :
         {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Combo3), parameterPanel_}) {
        part->setEnabled(crosses);
    }
    Label4->setVisible(ShowsNoDatumShiftWarning());
}

DatumShift FrmMERIDEX::ChosenDatumShift() const {
    if (!KindCrossesDatum(listIndex_)) return DatumShift::None();
    HelmertParameters p;
    switch (static_cast<DatumShiftChoice>(Combo3->currentIndex())) {
        case DatumShiftChoice::Epsg6208:
            return DatumShift::Epsg6208();
        case DatumShiftChoice::PositionVector:
            p.convention = HelmertConvention::PositionVector;
            break;
        case DatumShiftChoice::CoordinateFrame:
            p.convention = HelmertConvention::CoordinateFrame;
            break;
        case DatumShiftChoice::None:
        default:
            return DatumShift::None();
    }
    double* const values[7] = {&p.tx, &p.ty, &p.tz, &p.rx, &p.ry, &p.rz, &p.scalePpm};
    const char separator = LocaleDecimalSeparator();
    for (int i = 0; i < 7; ++i) {
        const std::string text = parameterBoxes_[i]->text().toStdString();
        const std::string name = kParameterNames[i];
        if (TrimBlanks(text).empty()) {
            throw ParameterError("The seven parameters of the datum shift are incomplete: " + name +
                                 " is empty.");
        }
        if (!ParseLocaleNumber(text, separator, *values[i])) {
            throw ParameterError("The seven parameters of the datum shift cannot be read: " + name +
                                 " \"" + text + "\" is not a number.");
        }
    }
    return DatumShift::SevenParameters(p);
}

std::optional<DatumShift> FrmMERIDEX::CheckedDatumShift() {
    try {
        return ChosenDatumShift();
    } catch (const ParameterError& e) {
        // A sentence for the message box: capital first, full stop last.
        std::string text = e.what();
        if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') text.front() -= 'a' - 'A';
        if (!text.empty() && text.back() != '.') text += '.';
        messages_.Inform(text + " Nothing was transferred.");
        return std::nullopt;
    }
}

void FrmMERIDEX::Command1_Click() {
    CommonDialog1.Filter = kBrowseFilter;
    CommonDialog1.DialogTitle = kBrowseTitle;
    CommonDialog1.CancelError = true;
    try {
        CommonDialog1.ShowOpen();
    } catch (const std::exception&) {
        // Cancel (or any other dialog error) leaves the name the dialog holds.
    }
    Text6->setText(QString::fromStdString(CommonDialog1.FileName));
    if (CommonDialog1.FileName.empty()) return;
    delete dataTable_.data();
    // A GIS file has no rows to pick columns from: its features are transferred.
    if (IsGisFormat(FormatOfPath(CommonDialog1.FileName))) return;
    // The first rows of the file as a table, where the separator and the X
    // and Y columns can be changed before OK. The file is read as the
    // transfer reads it: by its mode's separator when the rows show none, a
    // text file's numbers by the locale. Every transfer of the list starts
    // from a grid.
    const bool csv = ModeOfPath(CommonDialog1.FileName) == DataFileMode::Csv;
    TableRequest base;
    base.fallback = csv ? FieldSeparator::Comma : FieldSeparator::Tab;
    base.decimalSeparator = csv ? '.' : LocaleDecimalSeparator();
    dataTable_ = new DataTableDialog(CoordinateKind::Grid, base, messages_, this);
    dataTable_->ShowFile(CommonDialog1.FileName);
}

DataTableDialog* FrmMERIDEX::DataTableWindow() const {
    return dataTable_.data();
}

void FrmMERIDEX::Command2_Click() {
    // Parameters that cannot be read stop the transfer before the spreadsheet
    // is touched; the window stays open for them to be corrected.
    if (!WithinExcel || !CheckedDatumShift()) return;
    WithinExcel();
}

void FrmMERIDEX::Command3_Click() {
    // Parameters that cannot be read write nothing and keep the window open,
    // with what was typed, for them to be corrected.
    const std::optional<DatumShift> shift = CheckedDatumShift();
    if (!shift) return;
    const std::string path = Text6->text().toStdString();
    // Without a data file there is nothing to transfer: the window stays for one.
    if (!QFileInfo(QFile::decodeName(path.c_str())).isFile()) {
        messages_.Inform("Select the data file");
        return;
    }
    const TableRequest table = dataTable_.isNull() ? TableRequest() : dataTable_->RequestFor(path);
    const char decimalSeparator = LocaleDecimalSeparator();
    QElapsedTimer clock;
    clock.start();
    // The transfer works off the window's thread; its questions are still
    // shown on it.
    WindowThreadMessageBox messages(messages_);
    FileTransferOutcome outcome;
    RunOffWindowThread(*this, QStringLiteral("Transferring the data file…"),
                       [&](const Progress& progress) {
                           outcome = TransferDataFile(path, listIndex_, decimalSeparator, messages,
                                                      progress, *shift, table);
                       });
    if (outcome.status == FileTransferStatus::Written && ReportRun) {
        ReportRun(FileRunSummary(outcome.lines, IsGisFormat(FormatOfPath(path)), outcome.resultPath,
                                 clock.elapsed()));
    }
    close();
}

void FrmMERIDEX::Command4_Click() {
    close();
}

void FrmMERIDEX::closeEvent(QCloseEvent* event) {
    // Every way of closing (OK, Cancel, the title bar) brings the main window back.
    if (showMainWindow_) {
        auto show = std::move(showMainWindow_);
        showMainWindow_ = nullptr;
        show();
    }
    event->accept();
}

void FrmMERIDEX::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command4_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FrmMERIDEX::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Combo1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QWidget::eventFilter(watched, event);
}

FrmMERIDEX* OpenMeridex(QWidget* mainWindow, MessageBoxPort& messages, FileDialogPort& dialogs) {
    QPointer<QWidget> owner(mainWindow);
    auto* window = new FrmMERIDEX(messages, dialogs, [owner] {
        if (owner) owner->show();
    });
    if (qobject_cast<QMainWindow*>(mainWindow) != nullptr) {
        window->ReportRun = [owner](const QString& text) {
            if (auto* shown = qobject_cast<QMainWindow*>(owner.data()))
                shown->statusBar()->showMessage(text);
        };
    }
    window->show();
    if (mainWindow) mainWindow->hide();
    return window;
}

}  // namespace utm
