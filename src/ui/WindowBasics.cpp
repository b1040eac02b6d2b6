#include "ui/WindowBasics.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QPixmap>
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
    // Pictures at fixed sizes: 16 and 24 pixels from the icons drawn for them,
    // the larger ones from the scalable icon. (An SVG icon engine would draw
    // one file at every size.)
    QIcon icon;
    const auto add = [&icon](const QString& file, int size) {
        QImageReader reader(file);
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    };
    add(QStringLiteral(":/icons/utm-16.svg"), 16);
    add(QStringLiteral(":/icons/utm-24.svg"), 24);
    for (int size : {32, 48, 64, 96, 128, 256, 512}) add(QStringLiteral(":/icons/utm.svg"), size);
    return icon;
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

void CentreOn(QWidget& window, const QWidget& owner) {
    window.move(owner.frameGeometry().center() - window.frameGeometry().center() + window.pos());
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
