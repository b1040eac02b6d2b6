// Pictures of the program's windows for its documentation: when the program
// is started with UTM_SCREENSHOT_DIR set, it puts its windows through their
// states, saves each as a PNG in that folder and ends.
#pragma once

#include <QString>

namespace utm {

class Utm;

/// Saves the PNGs of `window` (after Form_Load) and of the About windows into
/// `folder`; returns false when a picture could not be written.
bool SaveScreenshots(Utm& window, const QString& folder);

}  // namespace utm
