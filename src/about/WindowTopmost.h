// Keeping a window above all others, as every window of the program that asks
// for it does: the window keeps its size and moves to the top-left corner of
// its screen.
#pragma once

#include <QPoint>
#include <QScreen>
#include <QWidget>

namespace utm {

inline void SetWindowTopmost(QWidget& window, bool topmost) {
    const bool visible = window.isVisible();
    // Changing a window flag hides a shown window; show it again afterwards.
    window.setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    const QScreen* screen = window.screen();
    window.move(screen != nullptr ? screen->geometry().topLeft() : QPoint(0, 0));
    if (visible) window.show();
}

}  // namespace utm
