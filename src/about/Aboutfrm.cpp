#include "about/Aboutfrm.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

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
    // Large enough to show every line whole in the box's font, and no smaller
    // than the usual 420 by 230.
    const QFontMetrics metrics = box_->fontMetrics();
    int widest = 0;
    for (const QString& line : std::as_const(lines))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margins =
        2 * (box_->frameWidth() + static_cast<int>(box_->document()->documentMargin()));
    resize(std::max(420, widest + margins + metrics.averageCharWidth()),
           std::max(230, static_cast<int>(lines.size() + 1) * metrics.lineSpacing() + margins));
}

}  // namespace utm
