// Pictures of the program's windows for its documentation: the windows are
// put through their states and each is saved as a PNG.
#pragma once

#include <QString>

namespace utm {

class Utm;

/// Saves the PNGs of `window` (after Form_Load) and of the About windows into
/// `folder`; returns false when a picture could not be written.
bool SaveScreenshots(Utm& window, const QString& folder);

}  // namespace utm
