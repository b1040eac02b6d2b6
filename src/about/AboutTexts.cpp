#include "about/AboutTexts.h"

#include <string>

namespace utm {

namespace {
constexpr const char* kCrLf = "\r\n";

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += lines[i];
    }
    return text;
}
}  // namespace

std::vector<std::string> AboutDescriptionLines() {
    return {
        "WELCOME TO",
        "UTM: UNIVERSAL TRANVERSE MERCATOR",
        "Converting UTM to Latitude and Longitude ( or Vice Versa)",
        "",
        "ELLIPSOID: Everest 1830",
        "",
        " Default Data for Central Meridian (CM):",
        " Longitude = 84\u00b0      Latitude = 0.0\u00b0",
        "",
        "Programmed by the UTM project team",
    };
}

std::string AboutDescriptionText() {
    return JoinCrLf(AboutDescriptionLines());
}

int ProgramVersionRevision() {
    return UTM_VERSION_REVISION;
}

std::string VersionText(int revision) {
    return std::string("Version ") + ".01" + "." + "/04" + "." + std::to_string(revision);
}

std::string AboutDialogDescription() {
    return JoinCrLf({"UTM: UNIVERSAL TRANVERSE MERCATOR",
                     "Converting UTM to Latitude and Longitude ( or Vice Versa)"});
}

std::string AboutDialogDisclaimer() {
    return JoinCrLf(
        {"Copyright (C) the UTM project team. All rights reserved.", "\"The UTM project team\""});
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(kCrLf, start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

}  // namespace utm
