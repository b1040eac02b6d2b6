// What every window of the program shares: the program's icon, Enter on a
// focused push button pressing it, and the title-bar buttons of a window whose
// size is fixed.
#pragma once

#include <QIcon>

class QWidget;

namespace utm {

/// The program's icon (a map sheet with its grid and the red central
/// meridian), drawn from the SVG compiled into the program.
QIcon AppIcon();

/// Sets the program's icon on `window` itself, so that it shows whatever the
/// application's icon is.
void UseAppIcon(QWidget& window);

/// Enter or Return on a focused push button of `window` presses it, as Space
/// does. Acts on the push buttons `window` holds when this is called; once
/// per window.
void EnterPressesButtons(QWidget& window);

/// Title-bar buttons of a window whose size never changes: minimise (for a
/// top-level window) and close, no maximise. Keeps the window's type
/// (Qt::Window or Qt::Dialog).
void UseFixedSizeTitleBar(QWidget& window);

}  // namespace utm
