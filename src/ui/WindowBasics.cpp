#include "ui/WindowBasics.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace utm {

namespace {

/// Clicks the push button that receives Enter or Return (main keyboard or
/// keypad, no other modifier). A held key clicks once.
class EnterClicks : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button == nullptr || !button->isEnabled()) return false;
        if (!key->isAutoRepeat()) button->click();
        return true;
    }
};

}  // namespace

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/icons/utm.svg"));
}

void UseAppIcon(QWidget& window) {
    window.setWindowIcon(AppIcon());
}

void EnterPressesButtons(QWidget& window) {
    auto* filter = new EnterClicks(&window);
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        button->installEventFilter(filter);
    }
}

QString FileRunSummary(std::size_t count, bool features, const std::string& path, qint64 ms) {
    const char* noun =
        features ? (count == 1 ? "feature" : "features") : (count == 1 ? "point" : "points");
    const QString name = QFileInfo(QFile::decodeName(path.c_str())).fileName();
    return QStringLiteral("%1 %2 written to %3 in %4 s")
        .arg(count)
        .arg(QString::fromLatin1(noun), name, QString::number(ms / 1000.0, 'f', 1));
}

void UseFixedSizeTitleBar(QWidget& window) {
    const Qt::WindowFlags type = window.windowFlags() & Qt::WindowType_Mask;
    Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (type == Qt::Window) flags |= Qt::WindowMinimizeButtonHint;
    // Keep the flags the window already asked for (kept on top, for one).
    flags |= window.windowFlags() & Qt::WindowStaysOnTopHint;
    window.setWindowFlags(flags);
}

}  // namespace utm
