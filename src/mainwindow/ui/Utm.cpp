#include "mainwindow/ui/Utm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
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
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "about/AboutTexts.h"
#include "about/Aboutfrm.h"
#include "about/WindowTopmost.h"
#include "about/frmAbout.h"
#include "common/NumericText.h"
#include "geodesy/Angles.h"
#include "geodesy/Declaration.h"
#include "gis/GisFormat.h"
#include "operations/BatchConversion.h"
#include "operations/SinglePoint.h"
#include "operations/Units.h"
#include "ui/DataTableDialog.h"
#include "ui/WindowBasics.h"
#include "ui/WindowThreadRun.h"

namespace utm {

namespace {

std::string Str(const QLineEdit* box) {
    return box->text().toStdString();
}

const QString kEastingCaption = QStringLiteral("X-Co-ordinate :\n     (Easting)");
const QString kNorthingCaption = QStringLiteral("Y-Co-ordinate :\n     (Northing)");
const QString kLatitudeCaption = QStringLiteral("Latitude :");
const QString kLongitudeCaption = QStringLiteral("Longitude :");

/// A text box at least as wide as `sample`, in the box's own font: the
/// point's boxes show an angle in degrees, minutes and seconds whole, the
/// results a coordinate to the millimetre, at any font size.
class SampleWideBox : public QLineEdit {
  public:
    SampleWideBox(const QString& sample, QWidget* parent) : QLineEdit(parent), sample_(sample) {}

    QSize sizeHint() const override { return Widened(QLineEdit::sizeHint()); }
    QSize minimumSizeHint() const override { return Widened(QLineEdit::minimumSizeHint()); }

  private:
    QSize Widened(QSize hint) const {
        // QLineEdit's own hint holds 17 "x" and its frame and margins.
        const QSize base = QLineEdit::sizeHint();
        const int extra = fontMetrics().horizontalAdvance(sample_) -
                          fontMetrics().horizontalAdvance(QLatin1Char('x')) * 17;
        hint.setWidth(std::max(hint.width(), base.width() + extra));
        return hint;
    }

    QString sample_;
};

/// The widest text a point's box shows: an angle in degrees, minutes and
/// seconds to four decimals, with its hemisphere.
const QString kWidestPoint = QStringLiteral("888\u00b088\u203288.8888\u2033 N");

/// Lays a frame's two rows out inside it, below its title: each caption at the
/// left, its box taking the room right of the captions, the rows sharing the
/// frame's height.
void LayOutFrame(QGroupBox* frame, QLabel* topLabel, QLineEdit* topBox, QLabel* bottomLabel,
                 QLineEdit* bottomBox) {
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (auto [label, box] : {std::pair{topLabel, topBox}, std::pair{bottomLabel, bottomBox}}) {
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(box, row, 1, Qt::AlignVCenter);
        grid->setRowStretch(row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);
}

/// The editing keys a text box keeps even where a menu claims the same key
/// (Ctrl+A is also About): copy, paste, select all, undo and redo. Cut stays
/// Exit's Ctrl+X, so that a path or a result never vanishes by a slip.
bool IsEditingKey(const QKeyEvent& key) {
    for (QKeySequence::StandardKey editing :
         {QKeySequence::Copy, QKeySequence::Paste, QKeySequence::SelectAll, QKeySequence::Undo,
          QKeySequence::Redo}) {
        if (key.matches(editing)) return true;
    }
    return false;
}

bool IsEnterKey(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

int KeyAsciiOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Backspace:
            // Ctrl+Backspace is the DEL character (127), not a backspace.
            return (event.modifiers() & Qt::ControlModifier) ? 127 : 8;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        default:
            break;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && event.key() >= Qt::Key_A &&
        event.key() <= Qt::Key_Z) {
        return event.key() - Qt::Key_A + 1;
    }
    const QString text = event.text();
    if (text.isEmpty()) return -1;
    const char16_t c = text.at(0).unicode();
    // Tab and Delete move focus or edit; they type no character of their own.
    if (c == u'\t' || c == 0x7f) return -1;
    return c;
}

Utm::Utm(MessageBoxPort& messages, FileDialogPort& fileDialog, QWidget* parent)
    : QMainWindow(parent), messages_(messages), dialog_(fileDialog) {
    setObjectName(QStringLiteral("Utm"));
    setWindowTitle(QStringLiteral("UTM"));
    exitProgram = [] {
        QApplication::closeAllWindows();
        QCoreApplication::exit(0);
    };
    // Its size follows its controls: no maximise button.
    UseFixedSizeTitleBar(*this);
    UseAppIcon(*this);
    BuildControls();
    BuildMenus();
    // The line that says how a file run ended.
    statusBar()->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->setSizeGripEnabled(false);
    cancelCount_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelCount_->setEnabled(false);
    connect(cancelCount_, &QShortcut::activated, this, [this] {
        if (Counting()) count_->Cancel();
    });
    LayOutControls();
    EnterPressesButtons(*this);
}

Utm::~Utm() = default;

void Utm::BuildControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);

    // The top row says what is converted: the direction, and the datum of the
    // latitude/longitude side. The two options sit left so that the datum
    // choice lines up with the mode list below it.
    Option1_ = Named(new QRadioButton(QStringLiteral("Lat-Long to XY"), client_), "Option1");
    Option2_ = Named(new QRadioButton(QStringLiteral("XY to LAT-Long"), client_), "Option2");
    Label8_ = Named(new QLabel(QStringLiteral("Datum:"), client_), "Label8");
    Combo4_ = Named(new QComboBox(client_), "Combo4");
    Combo4_->addItems(
        {QString::fromLatin1(kEverest1830Caption), QString::fromLatin1(kWGS84GpsCaption)});
    Combo4_->setToolTip(QStringLiteral(
        "Datum of the latitude and longitude. WGS 84 (GPS): shifted to and from Nepal 1981 "
        "(Everest 1830) with EPSG:6208, about 0.3 m"));
    Label8_->setBuddy(Combo4_);

    Label1_ = Named(new QLabel(QStringLiteral("CM (Longitude):"), client_), "Label1");
    Text1_ = Named(new QLineEdit(client_), "Text1");
    Label6_ = Named(new QLabel(QStringLiteral("Conversion:"), client_), "Label6");
    Combo2_ = Named(new QComboBox(client_), "Combo2");
    Combo2_->setEditable(true);
    Combo2_->setInsertPolicy(QComboBox::NoInsert);

    Frame1_ = Named(new QGroupBox(QStringLiteral("Input :"), client_), "Frame1");
    Label2_ = Named(new QLabel(Frame1_), "Label2");
    Text2_ = Named(new SampleWideBox(kWidestPoint, Frame1_), "Text2");
    Label3_ = Named(new QLabel(Frame1_), "Label3");
    Text3_ = Named(new SampleWideBox(kWidestPoint, Frame1_), "Text3");
    LayOutFrame(Frame1_, Label2_, Text2_, Label3_, Text3_);

    Frame2_ = Named(new QGroupBox(QStringLiteral("Output :"), client_), "Frame2");
    Label4_ = Named(new QLabel(Frame2_), "Label4");
    Text4_ = Named(new SampleWideBox(kWidestPoint, Frame2_), "Text4");
    Label5_ = Named(new QLabel(Frame2_), "Label5");
    Text5_ = Named(new SampleWideBox(kWidestPoint, Frame2_), "Text5");
    LayOutFrame(Frame2_, Label4_, Text4_, Label5_, Text5_);
    // The results can be selected and copied, not edited; their menu also
    // copies both at once.
    for (QLineEdit* box : {Text4_, Text5_}) {
        box->setReadOnly(true);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QLineEdit::customContextMenuRequested, this, [this, box](const QPoint& at) {
            QMenu* menu = OutputMenu(box);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(box->mapToGlobal(at));
        });
    }

    Command1_ = Named(new QPushButton(QStringLiteral("&Browse"), client_), "Command1");
    Text6_ = Named(new QLineEdit(QString::fromLatin1(kNoDataFileText), client_), "Text6");

    // The input boxes and the data-file box: the box's own entries, with a
    // paste that keeps only what typing would keep.
    for (QLineEdit* box : {Text1_, Text2_, Text3_, Text6_}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QLineEdit::customContextMenuRequested, this, [this, box](const QPoint& at) {
            QMenu* menu = InputMenu(box);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(box->mapToGlobal(at));
        });
    }

    Command2_ = Named(new QPushButton(QStringLiteral("&Convert"), client_), "Command2");
    Command6_ = Named(new QPushButton(QStringLiteral("&Retrieve"), client_), "Command6");
    Command3_ = Named(new QPushButton(QStringLiteral("C&lear"), client_), "Command3");
    Command5_ = Named(new QPushButton(QStringLiteral("&Exit"), client_), "Command5");
    Label7_ = Named(new QLabel(QStringLiteral("Units :"), client_), "Label7");
    // The units are a list to choose from; its width follows its longest caption.
    Combo3_ = Named(new QComboBox(client_), "Combo3");
    Combo3_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Label7_->setBuddy(Combo3_);

    for (QPushButton* button : {Command1_, Command2_, Command6_, Command3_, Command5_}) {
        button->setAutoDefault(false);
    }

    connect(Option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(Combo2_, &QComboBox::currentIndexChanged, this, &Utm::Combo2_Click);
    connect(Command1_, &QPushButton::clicked, this, &Utm::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &Utm::Command2_Click);
    connect(Command6_, &QPushButton::clicked, this, &Utm::Command6_Click);
    connect(Command3_, &QPushButton::clicked, this, &Utm::Command3_Click);
    connect(Command5_, &QPushButton::clicked, this, &Utm::Command5_Click);

    for (QObject* box :
         {static_cast<QObject*>(Text1_), static_cast<QObject*>(Text2_),
          static_cast<QObject*>(Text3_), static_cast<QObject*>(Combo2_),
          static_cast<QObject*>(Combo2_->lineEdit()), static_cast<QObject*>(Combo3_)}) {
        box->installEventFilter(this);
    }
    // The output and data-file boxes take every key, but the menu shortcuts
    // must still win there (Ctrl+X must not cut the data-file path).
    for (QLineEdit* box : {Text4_, Text5_, Text6_}) box->installEventFilter(this);

    // A result stands only for the inputs it was converted from: any change
    // of them, the datum, the direction or the units empties it.
    const auto clearResults = [this] {
        Text4_->clear();
        Text5_->clear();
    };
    for (QLineEdit* box : {Text1_, Text2_, Text3_}) {
        connect(box, &QLineEdit::textChanged, this, clearResults);
    }
    connect(Combo4_, &QComboBox::currentIndexChanged, this, clearResults);
    connect(Combo3_, &QComboBox::currentIndexChanged, this, clearResults);
    connect(Option1_, &QRadioButton::toggled, this, clearResults);

    // Tab goes through what is chosen and typed, then the actions; the results
    // are last, reachable for copying.
    const QList<QWidget*> chain{Option1_,  Option2_,  Combo4_, Text1_,    Combo2_,   Text2_,
                                Text3_,    Command1_, Text6_,  Command2_, Command6_, Command3_,
                                Command5_, Combo3_,   Text4_,  Text5_};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
}

void Utm::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* mnufile = bar->addMenu(QStringLiteral("File"));
    mnufile->setObjectName(QStringLiteral("mnufile"));
    mnufile->menuAction()->setObjectName(QStringLiteral("mnufile"));

    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            menuShortcuts_ << action;
        }
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    mnubrowse_ =
        item(mnufile, "mnubrowse", QStringLiteral("Browse"), QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(mnubrowse_, &QAction::triggered, this, &Utm::mnubrowse_Click);
    connect(item(mnufile, "mnuexcelret", QStringLiteral("Excel Retrieve"),
                 QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, &Utm::mnuexcelret_Click);
    separator(mnufile, "brr");
    connect(item(mnufile, "Meridex", QStringLiteral("MERIDEX"), QKeySequence()),
            &QAction::triggered, this, &Utm::Meridex_Click);
    separator(mnufile, "br");
    FileTop_ = item(mnufile, "FileTop", QStringLiteral("Always on Top"), QKeySequence());
    FileTop_->setCheckable(true);
    // Qt flips the check mark before `triggered`; FileTop_Click flips it itself.
    connect(FileTop_, &QAction::triggered, this, [this](bool checked) {
        FileTop_->setChecked(!checked);
        FileTop_Click();
    });
    separator(mnufile, "bre");
    connect(item(mnufile, "mnuexit", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, this, &Utm::mnuexit_Click);

    QMenu* mnuAbout = bar->addMenu(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAbout->menuAction()->setObjectName(QStringLiteral("mnuAbout"));
    connect(
        item(mnuAbout, "mnuAbout1", QStringLiteral("About..."), QKeySequence(Qt::CTRL | Qt::Key_A)),
        &QAction::triggered, this, &Utm::mnuAbout1_Click);
    connect(item(mnuAbout, "AboutUTM", QStringLiteral("UTM"), QKeySequence()), &QAction::triggered,
            this, &Utm::AboutUTM_Click);
}

void Utm::Form_Load() {
    Command1_->setVisible(false);
    Command2_->setEnabled(false);
    Command6_->setEnabled(false);
    Frame1_->setEnabled(false);
    Frame2_->setEnabled(false);

    if (Option1_->isChecked()) {
        Option1_Click();
    } else {
        Option1_->setChecked(true);
    }
    Text6_->setVisible(false);
    // The units first: the button row makes room for the longest caption.
    Combo3_->clear();
    for (const char* caption : kUnitCaptions) Combo3_->addItem(QString::fromUtf8(caption));
    // What each notation resolves on the ground.
    for (int i = 0; i < Combo3_->count(); ++i) {
        Combo3_->setItemData(i, QString::fromUtf8(kUnitResolutions[i]), Qt::ToolTipRole);
    }
    Combo3_->setCurrentIndex(static_cast<int>(Units::DegreesMetres));

    {
        const QSignalBlocker block(Combo2_);
        Combo2_->clear();
        Combo2_->addItems({QStringLiteral("Single Data"), QStringLiteral("Multiple Data"),
                           QStringLiteral("Within Excel")});
        Combo2_->setCurrentIndex(-1);
        Combo2_->setEditText(QStringLiteral(" Drop me"));
    }
    Combo4_->setCurrentIndex(static_cast<int>(LatLongDatum::Everest1830));
    Text1_->setText(QStringLiteral("84"));
}

void Utm::LayOutControls() {
    // The top rows say what is converted: the direction and the datum of the
    // latitude/longitude side, then the central meridian and the mode. The
    // datum list lines up with the mode list below it.
    auto* top = new QGridLayout;
    top->addWidget(Option1_, 0, 0);
    top->addWidget(Option2_, 0, 1);
    top->addWidget(Label8_, 0, 2);
    top->addWidget(Combo4_, 0, 3);
    top->addWidget(Label1_, 1, 0);
    top->addWidget(Text1_, 1, 1);
    top->addWidget(Label6_, 1, 2);
    top->addWidget(Combo2_, 1, 3);
    top->setColumnStretch(1, 1);
    top->setColumnStretch(3, 1);

    // The point's boxes and the results side by side, equally wide.
    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1_, 1);
    frames->addWidget(Frame2_, 1);

    // The data file of Multiple Data and Within Excel: hidden in Single Data,
    // when the row takes no room.
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Command1_);
    fileRow->addWidget(Text6_, 1);

    // The actions at the left, the units at the right edge.
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {Command2_, Command6_, Command3_, Command5_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(Label7_);
    buttons->addWidget(Combo3_);

    auto* rows = new QVBoxLayout(client_);
    rows->addLayout(top);
    rows->addLayout(frames, 1);
    rows->addLayout(fileRow);
    rows->addLayout(buttons);

    // The window is as large as its controls ask, in any font and at any
    // scale, and follows them when a mode shows or hides the data-file row.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Utm::Relayout() {
    // The rows take their new sizes, and the window its own, now rather than
    // when the event loop next runs: each level's size follows the one inside.
    for (QLayout* level : {Frame1_->layout(), Frame2_->layout(), client_->layout(), layout()})
        level->activate();
}

bool Utm::ShowsDataFileRow() const {
    return !Text6_->isHidden();
}

void Utm::Combo2_Click() {
    const int index = Combo2_->currentIndex();
    if (index < 0 || index > 2) return;
    const bool single = index == 0;
    Command1_->setVisible(!single);
    Text6_->setVisible(!single);
    Frame1_->setEnabled(single);
    Frame2_->setEnabled(single);
    EnableForMode();
    Relayout();
}

void Utm::EnableForMode() {
    const int index = Combo2_->currentIndex();
    // While Browse counts, nothing starts a run on the file before its count
    // nor another Browse, nor changes what is counted; Retrieve does not read
    // the file.
    const bool counting = Counting();
    Command2_->setEnabled(index >= 0 && index != 2 && !counting);
    Command6_->setEnabled(index == 2);
    Command1_->setEnabled(index == 1 && !counting);
    mnubrowse_->setEnabled(!counting);
    Combo2_->setEnabled(!counting);
    // The direction decides which rows hold points: it stays while they are counted.
    Option1_->setEnabled(!counting);
    Option2_->setEnabled(!counting);
    cancelCount_->setEnabled(counting);
}

bool Utm::Counting() const {
    return count_ && count_->Running();
}

void Utm::Option1_Click() {
    if (!Option1_->isChecked()) return;
    if (!dataTable_.isNull()) dataTable_->SetKind(DataKind());
    Label2_->setText(kLatitudeCaption);
    Label3_->setText(kLongitudeCaption);
    Label4_->setText(kEastingCaption);
    Label5_->setText(kNorthingCaption);
    Relayout();
    Text1_->setCursorPosition(2);
}

void Utm::Option2_Click() {
    if (!Option2_->isChecked()) return;
    if (!dataTable_.isNull()) dataTable_->SetKind(DataKind());
    Label2_->setText(kEastingCaption);
    Label3_->setText(kNorthingCaption);
    Label4_->setText(kLatitudeCaption);
    Label5_->setText(kLongitudeCaption);
    Relayout();
    Text1_->setFocus();
    Text1_->setCursorPosition(2);
}

ConversionDirection Utm::Direction() const {
    if (Option1_->isChecked()) return ConversionDirection::LatLongToXY;
    if (Option2_->isChecked()) return ConversionDirection::XYToLatLong;
    return ConversionDirection::None;
}

LatLongDatum Utm::Datum() const {
    return Combo4_->currentIndex() == static_cast<int>(LatLongDatum::WGS84)
               ? LatLongDatum::WGS84
               : LatLongDatum::Everest1830;
}

char Utm::DecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) return point.at(0).toLatin1();
    return '.';
}

dataload& Utm::Loader() {
    if (!loader_) loader_ = std::make_unique<dataload>(columns_);
    return *loader_;
}

void Utm::Command1_Click() {
    if (Counting()) return;
    const std::string path = ChooseDataFile(dialog_, messages_);
    if (path.empty()) return;
    // The count runs on a worker thread: the window keeps answering, the
    // person can cancel, and a run waits for the count.
    const CoordinateKind kind = DataKind();
    count_.reset();
    count_ = std::make_unique<BackgroundCount>(
        this,
        QStringLiteral("Counting the points of %1…")
            .arg(QFileInfo(QFile::decodeName(path.c_str())).fileName()),
        [path, kind](const Progress& progress) { return CountForBrowse(path, kind, progress); },
        [this, path](const BackgroundCount::Outcome& outcome) { BrowseCounted(path, outcome); });
    EnableForMode();
}

void Utm::BrowseCounted(const std::string& path, const BackgroundCount::Outcome& outcome) {
    EnableForMode();
    // A cancelled count leaves the file that was there and its count.
    if (outcome.status == BackgroundCount::Outcome::Status::Cancelled) return;
    Text6_->setText(QString::fromStdString(path));
    if (outcome.status == BackgroundCount::Outcome::Status::Failed) {
        // The file is named as what it is instead of being counted.
        Loader().Columns().DataCount = 0;
        messages_.Inform(outcome.message);
    } else {
        ShowBrowseCount(messages_, Loader(), outcome.count);
    }
    // A GIS file has no rows to pick columns from: its features are converted.
    if (IsGisFormat(FormatOfPath(path))) {
        if (!dataTable_.isNull()) dataTable_->hide();
        return;
    }
    // The first rows of the file as a table, where the separator and the
    // coordinate columns can be changed before Convert.
    if (dataTable_.isNull()) {
        TableRequest base;  // the main window's data files: "." decimals, comma fallback
        dataTable_ = new DataTableDialog(DataKind(), base, messages_, this);
    }
    dataTable_->ShowFile(path);
}

CoordinateKind Utm::DataKind() const {
    return Direction() == ConversionDirection::XYToLatLong ? CoordinateKind::Grid
                                                           : CoordinateKind::LatLong;
}

DataTableDialog* Utm::DataTableWindow() const {
    return dataTable_.data();
}

void Utm::mnubrowse_Click() {
    Command1_Click();
}

void Utm::Command2_Click() {
    Declaration::SharedCM = DegreesToRadians(Val(Str(Text1_)));
    switch (Combo2_->currentIndex()) {
        case 0: {
            SinglePointRequest request;
            request.CentralMeridianText = Str(Text1_);
            request.FirstText = Str(Text2_);
            request.SecondText = Str(Text3_);
            request.Direction = Direction();
            request.Datum = Datum();
            request.OutputUnits = ChosenUnits();
            const SinglePointResult result =
                ConvertSinglePoint(request, messages_, DecimalSeparator());
            if (result.Converted()) {
                // Shown from their first character, should one not fit.
                Text4_->setText(QString::fromStdString(result.FirstOutput));
                Text5_->setText(QString::fromStdString(result.SecondOutput));
                Text4_->setCursorPosition(0);
                Text5_->setCursorPosition(0);
            }
            if (result.FocusToText1()) Text1_->setFocus();
            break;
        }
        case 1: {
            // A run on a file being counted starts once the count is in.
            if (Counting()) count_->Finish();
            MultipleDataRequest request;
            request.CentralMeridianText = Str(Text1_);
            request.DataFilePath = Text6_->text().toStdString();
            request.Direction = Direction();
            request.Datum = Datum();
            request.OutputUnits = ChosenUnits();
            request.DecimalSeparator = DecimalSeparator();
            if (!dataTable_.isNull()) request.Table = dataTable_->RequestFor(request.DataFilePath);
            statusBar()->clearMessage();
            QElapsedTimer clock;
            clock.start();
            // The run works off the window's thread; its questions and file
            // dialogs are still shown on it.
            dataload& loader = Loader();
            const std::string home = HomeFolder();
            WindowThreadMessageBox messages(messages_);
            FileDialogPort& windowFiles = dialog_.Port();
            WindowThreadFileDialog files(windowFiles);
            dialog_.SetPort(files);
            BatchRunResult result;
            try {
                RunOffWindowThread(*this, QStringLiteral("Converting the data file…"),
                                   [&](const Progress& progress) {
                                       request.OnProgress = progress;
                                       result = ConvertMultipleData(request, dialog_, messages,
                                                                    loader, home);
                                   });
            } catch (...) {
                dialog_.SetPort(windowFiles);
                throw;
            }
            dialog_.SetPort(windowFiles);
            if (result.status == BatchRunResult::Status::Written) {
                statusBar()->showMessage(FileRunSummary(
                    result.pointCount, IsGisFormat(FormatOfPath(request.DataFilePath)),
                    dialog_.FileName, clock.elapsed()));
            }
            break;
        }
        default:
            break;
    }
}

void Utm::Command3_Click() {
    Text2_->clear();
    Text3_->clear();
    Text4_->clear();
    Text5_->clear();
}

void Utm::Command5_Click() {
    if (exitProgram) exitProgram();
}

void Utm::mnuexit_Click() {
    Command5_Click();
}

std::string Utm::CentralMeridianText() const {
    return Text1_->text().toStdString();
}

void Utm::ClearDataFileBox() {
    Text6_->clear();
}

void Utm::Command6_Click() {
    if (retrieve) retrieve();
}

void Utm::mnuexcelret_Click() {
    Command6_Click();
}

void Utm::FileTop_Click() {
    FileTop_->setChecked(!FileTop_->isChecked());
    SetWindowTopmost(*this, FileTop_->isChecked());
}

void Utm::Meridex_Click() {
    if (openTransferWindow) openTransferWindow();
}

void Utm::mnuAbout1_Click() {
    if (frmAbout_.isNull()) frmAbout_ = new frmAbout(this);
    frmAbout_->show();
    CentreOn(*frmAbout_, *this);
    frmAbout_->raise();
    frmAbout_->activateWindow();
}

void Utm::AboutUTM_Click() {
    if (aboutfrm_.isNull()) aboutfrm_ = new Aboutfrm(this);
    aboutfrm_->SetText1(AboutDescriptionText());
    aboutfrm_->setWindowTitle(QString::fromLatin1(kAboutCaption));
    aboutfrm_->show();
    CentreOn(*aboutfrm_, *this);
    aboutfrm_->raise();
    aboutfrm_->activateWindow();
}

Units Utm::ChosenUnits() const {
    const int index = Combo3_->currentIndex();
    return index == static_cast<int>(Units::Degrees8) || index == static_cast<int>(Units::Dms)
               ? static_cast<Units>(index)
               : Units::DegreesMetres;
}

void Utm::DropClaimedKeyHints(QMenu* menu) const {
    // An entry whose key a menu item claims in the boxes (Ctrl+X is Exit, so
    // Cut) names no key; the editing keys the boxes keep stay named.
    for (QAction* action : menu->actions()) {
        const QString hint = action->text().section(QChar('\t'), 1);
        if (hint.isEmpty()) continue;
        const QKeySequence keys(hint);
        if (keys.count() == 1) {
            const QKeyEvent press(QEvent::KeyPress, keys[0].key(), keys[0].keyboardModifiers());
            if (IsEditingKey(press)) continue;
        }
        for (const QAction* item : std::as_const(menuShortcuts_)) {
            if (item->shortcut() == keys)
                action->setText(action->text().section(QChar('\t'), 0, 0));
        }
    }
}

QMenu* Utm::OutputMenu(QLineEdit* box) {
    // The box's own Copy and Select All, then both results at once.
    QMenu* menu = box->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("OutputMenu"));
    DropClaimedKeyHints(menu);
    menu->addSeparator();
    QAction* both = menu->addAction(QStringLiteral("Copy X and Y"));
    both->setObjectName(QStringLiteral("CopyXY"));
    connect(both, &QAction::triggered, this, &Utm::CopyOutputs);
    return menu;
}

QMenu* Utm::InputMenu(QLineEdit* box) {
    QMenu* menu = box->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("InputMenu"));
    DropClaimedKeyHints(menu);
    if (box == Text6_) return menu;
    // Paste keeps what typing would keep, as Ctrl+V does.
    for (QAction* paste : menu->actions()) {
        if (paste->objectName() != QLatin1String("edit-paste") &&
            paste->text().section(QChar('\t'), 0, 0) != QLineEdit::tr("&Paste"))
            continue;
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this, box] { PasteInto(box); });
    }
    return menu;
}

void Utm::PasteInto(QLineEdit* box) {
    QString kept;
    for (QChar c : QApplication::clipboard()->text()) {
        int code = c.unicode();
        if (code == 8) continue;  // a backspace in the clipboard deletes nothing
        FilterKey(box, code);
        if (code != 0) kept += QChar(static_cast<char16_t>(code));
    }
    box->insert(kept);
}

void Utm::FilterKey(const QObject* box, int& KeyAscii) {
    if (box == Text1_) {
        Text1_KeyPress(KeyAscii);
    } else if (box == Text2_) {
        Text2_KeyPress(KeyAscii);
    } else if (box == Text3_) {
        Text3_KeyPress(KeyAscii);
    } else if (box == Combo2_ || box == Combo2_->lineEdit()) {
        Combo2_KeyPress(KeyAscii);
    } else {
        Combo3_KeyPress(KeyAscii);
    }
}

void Utm::CopyOutputs() {
    QApplication::clipboard()->setText(Text4_->text() + QChar('\t') + Text5_->text());
}

frmAbout* Utm::AboutDialog() const {
    return frmAbout_.data();
}

Aboutfrm* Utm::AboutTextWindow() const {
    return aboutfrm_.data();
}

void Utm::Text1_KeyPress(int& KeyAscii) {
    validation(KeyAscii);
}
bool Utm::TakesDmsInput() const {
    return ChosenUnits() == Units::Dms && Direction() == ConversionDirection::LatLongToXY;
}
void Utm::Text2_KeyPress(int& KeyAscii) {
    if (TakesDmsInput()) {
        DmsValidation(KeyAscii);
    } else {
        validation(KeyAscii);
    }
}
void Utm::Text3_KeyPress(int& KeyAscii) {
    if (TakesDmsInput()) {
        DmsValidation(KeyAscii);
    } else {
        validation(KeyAscii);
    }
}
void Utm::Combo2_KeyPress(int& KeyAscii) {
    KeyAscii = 0;
}
void Utm::Combo3_KeyPress(int& KeyAscii) {
    KeyAscii = 0;
}

bool Utm::eventFilter(QObject* watched, QEvent* event) {
    const bool textBox = watched == Text1_ || watched == Text2_ || watched == Text3_ ||
                         watched == Text4_ || watched == Text5_ || watched == Text6_;
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu shortcuts win over the boxes' own editing shortcuts, but
        // for copy, paste, select all, undo and redo in a box of text.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (textBox && IsEditingKey(*key)) return QMainWindow::eventFilter(watched, event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* action : std::as_const(menuShortcuts_)) {
            if (action->shortcut() == pressed) return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    if (watched == Text4_ || watched == Text5_ || watched == Text6_) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Text1_ || watched == Text2_ || watched == Text3_) {
        // Enter in the point's boxes converts, as the Convert button does.
        if (IsEnterKey(*key) && watched != Text1_) {
            if (Command2_->isEnabled() && !key->isAutoRepeat()) Command2_->click();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            PasteInto(static_cast<QLineEdit*>(watched));
            return true;
        }
        if (IsEditingKey(*key)) return false;
    }
    // Space opens the units list, as it opens any list; typed characters are
    // dropped below, so they neither pick an entry nor type text.
    if (watched == Combo3_ && key->key() == Qt::Key_Space) return false;
    int code = KeyAsciiOf(*key);
    if (code < 0) return false;
    FilterKey(watched, code);
    return code == 0;
}

}  // namespace utm
