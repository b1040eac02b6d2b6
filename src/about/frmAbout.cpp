#include "about/frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "about/AboutTexts.h"
#include "about/WindowTopmost.h"
#include "ui/WindowBasics.h"

namespace utm {

namespace {

/// A label shows a CR LF separated text as separate lines.
QString ForLabel(const std::string& crLfText) {
    return QString::fromStdString(crLfText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString ApplicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("UTM") : name;
}

}  // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    // Its size follows its texts and never changes: no maximise button.
    UseFixedSizeTitleBar(*this);
    UseAppIcon(*this);

    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    picIcon_->setPixmap(AppIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    picIcon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle_->setFont(titleFont);

    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblDescription_ = new QLabel(this);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));

    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);

    lblDisclaimer_ = new QLabel(this);
    lblDisclaimer_->setObjectName(QStringLiteral("lblDisclaimer"));

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    // Enter presses the default button; QDialog closes on Esc by itself.
    cmdOK_->setDefault(true);
    cmdOK_->setAutoDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(this, &QDialog::rejected, this, &frmAbout::cmdOK_Click);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon_, 0, 0, 3, 1);
    grid->addWidget(lblTitle_, 0, 1, 1, 2);
    grid->addWidget(lblVersion_, 1, 1, 1, 2);
    grid->addWidget(lblDescription_, 2, 1, 1, 2);
    grid->addWidget(line1, 3, 0, 1, 3);
    grid->addWidget(lblDisclaimer_, 4, 0, 1, 2);
    grid->addWidget(cmdOK_, 4, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    EnterPressesButtons(*this);

    Form_Load();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + QStringLiteral("UTM"));
    lblVersion_->setText(QString::fromStdString(VersionText(ProgramVersionRevision())));
    lblTitle_->setText(ApplicationTitle());
    lblDisclaimer_->setText(ForLabel(AboutDialogDisclaimer()));
    lblDescription_->setText(ForLabel(AboutDialogDescription()));
    SetWindowTopmost(*this, true);
}

void frmAbout::cmdOK_Click() {
    close();
}

}  // namespace utm
