// utm --help and utm --version: answered on a console, with no display and no
// Qt platform, and the program ends at once.
#include <gtest/gtest.h>

#include <string>

#include "support/RunProcess.h"

namespace {

using utm::test::ProcessResult;
using utm::test::RunProcess;

/// Runs utm with `arguments` where no window system is reachable: no X or
/// Wayland display, no Qt platform named.
ProcessResult RunWithoutDisplay(const std::string& arguments) {
    return RunProcess("/bin/sh",
                      {"-c", "unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; exec timeout 20 '" +
                                 std::string(UTM_PATH) + "' " + arguments});
}

TEST(UtmOptions, VersionPrintsTheVersionWithoutADisplay) {
    for (const char* option : {"--version", "-v"}) {
        const ProcessResult r = RunWithoutDisplay(option);
        EXPECT_EQ(r.status, 0) << option << ": " << r.err;
        EXPECT_EQ(r.out, std::string("utm ") + UTM_VERSION + "\n") << option;
    }
}

TEST(UtmOptions, HelpNamesTheOptionsWithoutADisplay) {
    for (const char* option : {"--help", "-h"}) {
        const ProcessResult r = RunWithoutDisplay(option);
        EXPECT_EQ(r.status, 0) << option << ": " << r.err;
        EXPECT_EQ(r.out.rfind("Usage: ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("--version"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("--help"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("utmconv"), std::string::npos) << r.out;
    }
}

TEST(UtmOptions, QtOptionsBesideHelpAreNoError) {
    const ProcessResult r = RunWithoutDisplay("-platform offscreen -reverse --version");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("utm ") + UTM_VERSION + "\n");
}

TEST(UtmOptions, WithoutTheOptionsItStillWantsADisplay) {
    // The window needs a platform: with none reachable, Qt refuses to start
    // (it does not hang, and does not pretend to have run).
    const ProcessResult r = RunWithoutDisplay("");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.status, 124) << "utm waited instead of giving up";
}

}  // namespace
