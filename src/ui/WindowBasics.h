// What every window of the program shares: the program's icon, Enter on a
// focused push button pressing it, and the title-bar buttons of a window whose
// size is fixed.
#pragma once

#include <QIcon>
#include <QString>
#include <cstddef>
#include <string>

class QWidget;

namespace utm {

/// The program's icon (a map sheet with its grid and the red central
/// meridian): at 16 and 24 pixels the icons drawn for those sizes, larger
/// from the scalable SVG, all compiled into the program.
QIcon AppIcon();

/// Sets the program's icon on `window` itself, so that it shows whatever the
/// application's icon is.
void UseAppIcon(QWidget& window);

/// Enter or Return on a focused push button of `window` presses it, as Space
/// does. Acts on the push buttons `window` holds when this is called; once
/// per window.
void EnterPressesButtons(QWidget& window);

/// The status line after a file run that wrote its file: how many points (or
/// features, of a GIS file) went into which file, by name, and how long it
/// took: "12 points written to out.txt in 0.4 s".
QString FileRunSummary(std::size_t count, bool features, const std::string& path, qint64 ms);

/// Moves `window` (shown) so that its centre is the centre of `owner`'s frame.
void CentreOn(QWidget& window, const QWidget& owner);

/// Title-bar buttons of a window whose size never changes: minimise (for a
/// top-level window) and close, no maximise. Keeps the window's type
/// (Qt::Window or Qt::Dialog).
void UseFixedSizeTitleBar(QWidget& window);

}  // namespace utm
