// utmconv as a Linux command: --version, "-" for the standard streams (a
// filter that streams), --on-error and the exit statuses 0, 1 and 2.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using utm::test::ReadWholeFile;
using utm::test::RunProcess;
using utm::test::TempFolder;

const std::string kUtmconv = UTMCONV_PATH;

/// Runs a shell command line (pipes and redirections) with utmconv as $U.
ProcessResult Shell(const std::string& script) {
    return RunProcess("/bin/sh", {"-c", "U='" + kUtmconv + "'; " + script});
}

TEST(UtmconvConventions, VersionAndHelpSayWhatTheyShould) {
    const ProcessResult version = RunProcess(kUtmconv, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("utmconv ") + UTM_VERSION + "\n");
    const ProcessResult help = RunProcess(kUtmconv, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("0 all done"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("1 done with points"), std::string::npos);
    EXPECT_NE(help.out.find("2 nothing done"), std::string::npos);
}

TEST(UtmconvConventions, DashReadsStandardInputAndWritesStandardOutput) {
    TempFolder folder;
    const ProcessResult filter =
        Shell("printf '27.7,85.3\\r\\n27.5,84\\r\\n' | \"$U\" convert --to-xy - -");
    EXPECT_EQ(filter.status, 0) << filter.err;
    EXPECT_EQ(filter.out,
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\n"
              "27.7\t85.3\t628198.193\t3065307.732\n27.5\t84\t500000\t3042473.351\n");
    // transfer from the standard input (tab-separated) writes the standard output.
    const ProcessResult transfer =
        Shell("printf '426207.01\\t3206261.5\\r\\n' | \"$U\" transfer --kind 0 -");
    EXPECT_EQ(transfer.status, 0) << transfer.err;
    EXPECT_EQ(transfer.out.rfind(" 426207.01  3206261.5  133754.5409", 0), 0u) << transfer.out;
    // Appending through the shell works: the standard output is written as it is.
    const std::string out = folder.Write("out.txt", "kept\r\n");
    const ProcessResult append =
        Shell("printf '27.7,85.3\\r\\n' | \"$U\" convert --to-xy - - >>'" + out + "'");
    EXPECT_EQ(append.status, 0) << append.err;
    EXPECT_EQ(ReadWholeFile(out),
              "kept\r\nLatitude\tLongitude\tEasting(X)\tNorthing(Y)\n"
              "27.7\t85.3\t628198.193\t3065307.732\n");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
}

TEST(UtmconvConventions, AFilterStreamsAndStopsWithItsReader) {
    // Three million lines through a pipe that is closed after two lines: the
    // run ends at once instead of converting everything first.
    const ProcessResult r = Shell(
        "yes 27.7,85.3 | head -n 3000000 | \"$U\" convert --to-xy - - | head -n 2; echo done");
    EXPECT_EQ(r.out,
              "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\n"
              "27.7\t85.3\t628198.193\t3065307.732\ndone\n");
#if !UTM_SANITIZED
    // Larger than the memory the run may use: 12 million lines (120 MB)
    // under a limit of 120 MB of address space.
    const ProcessResult limited = Shell(
        "ulimit -v 120000; yes 27.7,85.3 | head -n 12000000 | \"$U\" convert --to-xy - - | "
        "tail -n 1");
    EXPECT_EQ(limited.out, "27.7\t85.3\t628198.193\t3065307.732\n") << limited.err;
#endif
}

TEST(UtmconvConventions, OnErrorStopsSkipsOrMarksAndTheStatusSaysSo) {
    TempFolder folder;
    const std::string data = folder.Write("xy.csv", "1e300,0\r\n500000,3000000\r\n");
    const std::string header = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\n";
    const ProcessResult stop =
        RunProcess(kUtmconv, {"convert", "--to-latlong", "--on-error", "stop", data, "-"});
    EXPECT_EQ(stop.status, 2);
    EXPECT_NE(stop.err.find("Line 1 of the data file"), std::string::npos) << stop.err;

    const ProcessResult skip =
        RunProcess(kUtmconv, {"convert", "--to-latlong", "--on-error", "skip", data, "-"});
    EXPECT_EQ(skip.status, 1);
    EXPECT_EQ(skip.out, header + "500000\t3000000\t27.117\t84\n");
    EXPECT_NE(skip.err.find("(line 1) cannot be computed"), std::string::npos) << skip.err;

    const ProcessResult mark =
        RunProcess(kUtmconv, {"convert", "--to-latlong", "--on-error", "mark", data, "-"});
    EXPECT_EQ(mark.status, 1);
    EXPECT_EQ(mark.out, header + "1E+300\t0\t*\t*\n500000\t3000000\t27.117\t84\n");

    const std::string grid = folder.Write("g.csv", "1e300,0\r\n426207.01,3206261.5\r\n");
    const ProcessResult marked = RunProcess(
        kUtmconv, {"transfer", "--kind", "0", "--on-error", "mark", grid, "--output", "-"});
    EXPECT_EQ(marked.status, 1);
    EXPECT_EQ(marked.out.find(",0,*,*\n426207.01,3206261.5,133754.5409"),
              marked.out.find(",0,*,*"));
    EXPECT_NE(marked.out.find(",0,*,*\n"), std::string::npos) << marked.out;
    const ProcessResult skipped = RunProcess(
        kUtmconv,
        {"transform", "--from", "everest81", "--to", "everest84", "--on-error", "skip", grid, "-"});
    EXPECT_EQ(skipped.status, 1);
    EXPECT_EQ(skipped.out.rfind("426207.01,3206261.5,133754.5409", 0), 0u) << skipped.out;
    // No point failed: 0, even with warnings.
    const std::string good = folder.Write("good.csv", "Lat,Long\r\n27.7°,85.3\r\n");
    const ProcessResult warned =
        RunProcess(kUtmconv, {"convert", "--to-xy", "--on-error", "skip", good, "-"});
    EXPECT_EQ(warned.status, 0);
    EXPECT_NE(warned.err.find("warning"), std::string::npos);
    EXPECT_EQ(RunProcess(kUtmconv, {"convert", "--to-xy", "--on-error", "maybe", good, "-"}).status,
              2);
}

// Angles on the terminal follow the locale's character set: ° ′ ″ in UTF-8,
// d ' " where the character set has no such marks.
TEST(UtmconvConventions, DmsMarksFollowTheLocalesCharacterSet) {
    const std::string point = "\"$U\" point --ellipsoid everest --cm 84 --units dms ";
    const ProcessResult ascii = Shell("LC_ALL=C " + point + "--to-latlong 628198.193 3065307.732");
    EXPECT_EQ(ascii.status, 0) << ascii.err;
    EXPECT_EQ(ascii.out, "27d42'00.0000\"\t85d18'00.0000\"\n");
    const ProcessResult unicode =
        Shell("LC_ALL=C.UTF-8 " + point + "--to-latlong 628198.193 3065307.732");
    EXPECT_EQ(unicode.status, 0) << unicode.err;
    EXPECT_EQ(unicode.out, "27\u00b042\u203200.0000\u2033\t85\u00b018\u203200.0000\u2033\n");
    // LANG alone names the character set when LC_ALL and LC_CTYPE are unset.
    const ProcessResult lang = Shell("unset LC_ALL LC_CTYPE; LANG=C.UTF-8 " + point +
                                     "--to-latlong 628198.193 3065307.732");
    EXPECT_EQ(lang.out, unicode.out);
}

TEST(UtmconvConventions, DmsInputTakesBothNotationsInAnyLocale) {
    const std::string point = "\"$U\" point --ellipsoid everest --cm 84 --units dms --to-xy ";
    for (const char* locale : {"C", "C.UTF-8"}) {
        const std::string env = std::string("LC_ALL=") + locale + " ";
        const ProcessResult ascii = Shell(env + point + "\"27d42'00.0000\\\"\" \"85d18'0\\\"\"");
        EXPECT_EQ(ascii.status, 0) << locale << ": " << ascii.err;
        EXPECT_EQ(ascii.out, "628198.193\t3065307.732\n") << locale;
        const ProcessResult unicode =
            Shell(env + point + "'27\u00b042\u203200\u2033' '85\u00b018\u2032'");
        EXPECT_EQ(unicode.status, 0) << locale << ": " << unicode.err;
        EXPECT_EQ(unicode.out, ascii.out) << locale;
    }
}

}  // namespace
