#include "about/Aboutfrm.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "about/AboutTexts.h"
#include "about/WindowTopmost.h"
#include "ui/WindowBasics.h"

namespace utm {

Aboutfrm::Aboutfrm(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("Aboutfrm"));
    setAttribute(Qt::WA_DeleteOnClose);
    UseAppIcon(*this);
    box_ = new QPlainTextEdit(this);
    box_->setObjectName(QStringLiteral("Text1"));
    box_->setReadOnly(true);
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box_);
    SetText1("Text1");
    resize(420, 230);
    Form_Load();
}

void Aboutfrm::Form_Load() {
    SetWindowTopmost(*this, true);
}

void Aboutfrm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Aboutfrm::SetText1(const std::string& text) {
    text1_ = text;
    // QPlainTextEdit starts a block only at LF; show the stored lines one per block.
    QStringList lines;
    for (const std::string& line : SplitCrLf(text)) lines << QString::fromStdString(line);
    box_->setPlainText(lines.join(QChar('\n')));
}

}  // namespace utm
