#include "transfer/FrmMERIDEX.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "transfer/TransferFile.h"
#include "transfer/TransferKind.h"
#include "ui/QtProgress.h"

namespace utm {

namespace {

constexpr const char* kBrowseFilter =
    "*.csv (CSV Files)|*.csv|*.txt (Text Files:Tab delimeted)|*.txt";
constexpr const char* kBrowseTitle = "Select the data file for Conversion";

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
    Label1->setBuddy(Combo1);
    Label2->setBuddy(Combo2);

    auto* frameLayout = new QGridLayout(Frame1);
    frameLayout->addWidget(Label1, 0, 0);
    frameLayout->addWidget(Combo1, 0, 1);
    frameLayout->addWidget(Label2, 1, 0);
    frameLayout->addWidget(Combo2, 1, 1);
    frameLayout->setColumnStretch(1, 1);

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
    resize(420, 200);

    // The list position follows a choice from the list; typing into the list's
    // text leaves no entry selected.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int i) { listIndex_ = i; });
    connect(Combo1, &QComboBox::activated, this, [this](int i) { listIndex_ = i; });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { listIndex_ = -1; });
    // Enter in the text field would make the list pick the entry matching the
    // typed text (ignoring case); only a choice from the list picks one.
    Combo1->lineEdit()->installEventFilter(this);

    connect(Command1, &QPushButton::clicked, this, &FrmMERIDEX::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmMERIDEX::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FrmMERIDEX::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &FrmMERIDEX::Command4_Click);

    Form_Load();
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
    for (std::string_view caption : kTransferKindCaptions) {
        Combo1->addItem(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
    Combo1->setCurrentIndex(0);
    listIndex_ = 0;
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
}

void FrmMERIDEX::Command2_Click() {
    if (WithinExcel) WithinExcel();
}

void FrmMERIDEX::Command3_Click() {
    QtProgress progress(this, QStringLiteral("Transferring the data file…"));
    TransferDataFile(Text6->text().toStdString(), listIndex_, LocaleDecimalSeparator(), messages_,
                     progress.Callback());
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
    window->show();
    if (mainWindow) mainWindow->hide();
    return window;
}

}  // namespace utm
