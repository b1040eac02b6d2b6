#include "cli/CliSupport.h"

#include <cstdio>

#include "common/NumericText.h"

namespace utm::cli {

double ParseNumberArgument(const std::string& text, const std::string& what) {
    if (!IsNumeric(text)) {
        throw CommandError(what + " is not a number: \"" + text + "\"");
    }
    return Val(text);
}

void WarnAbout(const RunReport& report, const std::string& dataPath) {
    for (const std::string& sentence : report.Sentences(dataPath)) {
        std::fprintf(stderr, "utmconv: warning: %s\n", sentence.c_str());
    }
}

void WriteStdout(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        throw CommandError("cannot write to standard output");
    }
}

}  // namespace utm::cli
