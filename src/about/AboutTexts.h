// What the two About windows say. Lines are separated by CR LF, as the
// windows store them; the windows display them line by line.
#pragma once

#include <string>
#include <vector>

namespace utm {

/// Caption of both About windows: "About " followed by the program's name.
inline constexpr const char* kAboutCaption = "About UTM";

/// The ten lines of the description window `Aboutfrm`, in order.
std::vector<std::string> AboutDescriptionLines();

/// The description text: the ten lines joined by CR LF, none after the last.
std::string AboutDescriptionText();

/// The revision part of the program's version (1.0.0.0: 0).
int ProgramVersionRevision();

/// "Version .01./04." followed by `revision` in decimal: "Version .01./04.0".
std::string VersionText(int revision);

/// The two-line description label of `frmAbout`.
std::string AboutDialogDescription();

/// The rights line, CR LF, and the rights holder in double quotation marks.
std::string AboutDialogDisclaimer();

/// Splits `text` at CR LF into its lines (a text without CR LF is one line).
std::vector<std::string> SplitCrLf(const std::string& text);

}  // namespace utm
