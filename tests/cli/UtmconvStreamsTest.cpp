// utmconv's standard streams and messages: "-" reads descriptor 0 as it is
// and writes descriptor 1, LF line ends there unless asked otherwise, honest
// messages when output already went out, and messages a user can act on.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
const std::string kHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)";

/// Runs a shell command line with utmconv as $U.
ProcessResult Shell(const std::string& script) {
    return RunProcess("/bin/sh", {"-c", "U='" + kUtmconv + "'; " + script});
}

void ExpectRefused(const ProcessResult& r, const std::string& part) {
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

/// Runs utmconv with `input` sent through a socket as its standard input and
/// a socket as its standard output; returns the exit status and the output.
ProcessResult OverSockets(const std::vector<std::string>& args, const std::string& input) {
    int in[2];
    int out[2];
    ProcessResult result;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, in) != 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM, 0, out) != 0) {
        return result;
    }
    if (::write(in[0], input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
        return result;
    }
    ::shutdown(in[0], SHUT_WR);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[1], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> argv{const_cast<char*>(kUtmconv.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const bool spawned =
        ::posix_spawn(&pid, kUtmconv.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[1]);
    ::close(out[1]);
    char bytes[4096];
    for (ssize_t n; (n = ::read(out[0], bytes, sizeof bytes)) > 0;) {
        result.out.append(bytes, static_cast<std::size_t>(n));
    }
    ::close(in[0]);
    ::close(out[0]);
    int status = 0;
    if (spawned && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    return result;
}

// The standard input is read from where the shell left it: after a line the
// shell has read, from a socket; the standard output is written as it is.
TEST(UtmconvStreams, DashIsTheDescriptorAsTheShellLeftIt) {
    TempFolder folder;
    const std::string data = folder.Write("pts.csv", "Lat,Long\n27.7,85.3\n");
    const ProcessResult rest = Shell("{ read h; \"$U\" convert --to-xy - -; } < '" + data + "'");
    EXPECT_EQ(rest.status, 0) << rest.err;
    EXPECT_EQ(rest.out, kHeader + "\n27.7\t85.3\t628198.193\t3065307.732\n");
    EXPECT_EQ(rest.err, "");

    const ProcessResult socket = OverSockets({"convert", "--to-xy", "-", "-"}, "27.7,85.3\r\n");
    EXPECT_EQ(socket.status, 0);
    EXPECT_EQ(socket.out, kHeader + "\n27.7\t85.3\t628198.193\t3065307.732\n");
    const ProcessResult transfer =
        OverSockets({"transfer", "--kind", "0", "-"}, "426207.01\t3206261.5\n");
    EXPECT_EQ(transfer.status, 0);
    EXPECT_EQ(transfer.out.rfind(" 426207.01  3206261.5  133754.5409", 0), 0u) << transfer.out;

    // A redirected output file is written at its offset, not truncated.
    const std::string out = folder.Write("out.txt", "");
    const ProcessResult twice = Shell(
        "{ printf 'first\\n'; printf '27.7,85.3\\n' | \"$U\" "
        "convert --to-xy - -; } > '" +
        out + "'");
    EXPECT_EQ(twice.status, 0) << twice.err;
    EXPECT_EQ(ReadWholeFile(out), "first\n" + kHeader + "\n27.7\t85.3\t628198.193\t3065307.732\n");
}

// LF on the standard output unless --line-ends crlf; files keep CR LF
// whatever the option says.
TEST(UtmconvStreams, LineEndsOfTheStandardOutputAndOfFiles) {
    TempFolder folder;
    const std::string latlong = folder.Write("ll.csv", "27.7,85.3\r\n");
    const std::string grid = folder.Write("g.csv", "426207.01,3206261.5\r\n");
    const std::string convertLine = "27.7\t85.3\t628198.193\t3065307.732";
    struct Case {
        std::vector<std::string> args;
        std::string expected;  // empty: only the line ends are checked
        std::string lineEnd;
    };
    const std::vector<std::string> transform = {"transform", "--from",    "everest81",
                                                "--to",      "everest84", grid};
    std::vector<Case> cases = {
        {{"convert", "--to-xy", latlong, "-"}, kHeader + "\n" + convertLine + "\n", "\n"},
        {{"convert", "--to-xy", "--line-ends", "lf", latlong, "-"}, "", "\n"},
        {{"convert", "--to-xy", "--line-ends", "crlf", latlong, "-"},
         kHeader + "\r\n" + convertLine + "\r\n",
         "\r\n"},
        {{"transfer", "--kind", "0", grid, "--output", "-"}, "", "\n"},
        {{"transfer", "--kind", "0", "--line-ends", "crlf", grid, "--output", "-"}, "", "\r\n"},
    };
    cases.push_back({transform, "", "\n"});
    cases.back().args.push_back("-");
    cases.push_back({transform, "", "\r\n"});
    cases.back().args.insert(cases.back().args.begin() + 1, {"--line-ends", "crlf"});
    cases.back().args.push_back("-");
    for (const Case& c : cases) {
        const ProcessResult r = RunProcess(kUtmconv, c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        if (!c.expected.empty()) {
            EXPECT_EQ(r.out, c.expected);
        }
        ASSERT_FALSE(r.out.empty()) << c.args.front();
        EXPECT_TRUE(r.out.ends_with(c.lineEnd)) << c.args.front() << " " << c.lineEnd.size();
        EXPECT_EQ(r.out.find('\r') == std::string::npos, c.lineEnd == "\n") << c.args.front();
    }
    // Files: CR LF, whatever --line-ends says.
    for (const char* ends : {"lf", "crlf"}) {
        const ProcessResult r = RunProcess(
            kUtmconv, {"convert", "--to-xy", "--line-ends", ends, latlong, folder.File("o.txt")});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ReadWholeFile(folder.File("o.txt")), kHeader + "\r\n" + convertLine + "\r\n");
    }
    ExpectRefused(RunProcess(kUtmconv, {"convert", "--to-xy", "--line-ends", "cr", latlong, "-"}),
                  "--line-ends");
}

// A run that fails after output went to the standard output says where the
// output stopped, not that nothing was written; a file target is untouched.
TEST(UtmconvStreams, AFailureAfterOutputWentOutSaysWhereItStopped) {
    TempFolder folder;
    std::string data;
    constexpr int kGood = 200000;  // several megabytes of output before the bad point
    for (int i = 0; i < kGood; ++i) data += "500000,3000000\n";
    data += "1e300,0\n";
    const std::string path = folder.Write("xy.csv", data);
    const ProcessResult r =
        RunProcess(kUtmconv, {"convert", "--to-latlong", "--on-error", "stop", path, "-"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.out.empty());
    EXPECT_EQ(r.err.find("othing was written"), std::string::npos) << r.err;
    // Whole lines only go out before the end.
    EXPECT_TRUE(r.out.ends_with("\n"));
    const std::size_t linesOut =
        static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n'));
    EXPECT_NE(
        r.err.find("The output stopped at line " + std::to_string(linesOut + 1) + ": the " +
                   std::to_string(linesOut) + " lines before it went to the standard output."),
        std::string::npos)
        << r.err;
    // Into a file: all or nothing.
    const ProcessResult file = RunProcess(
        kUtmconv, {"convert", "--to-latlong", "--on-error", "stop", path, folder.File("out.txt")});
    EXPECT_EQ(file.status, 2);
    EXPECT_NE(file.err.find("Nothing was written."), std::string::npos) << file.err;
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"xy.csv"});
    // A failure before any output: nothing was written, said as such.
    const ProcessResult early =
        RunProcess(kUtmconv, {"convert", "--to-latlong", "--on-error", "stop",
                              folder.Write("bad.csv", "1e300,0\n"), "-"});
    EXPECT_EQ(early.status, 2);
    EXPECT_EQ(early.out, "");
    EXPECT_NE(early.err.find("Nothing was written."), std::string::npos) << early.err;
    EXPECT_NE(early.err.find("the data file"), std::string::npos) << early.err;
    const ProcessResult stdinFailure =
        Shell("printf '1e300\\t0\\n' | \"$U\" transfer --kind 0 --on-error stop -");
    EXPECT_EQ(stdinFailure.status, 2);
    EXPECT_NE(stdinFailure.err.find("Line 1 of the standard input"), std::string::npos)
        << stdinFailure.err;
    EXPECT_EQ(stdinFailure.err.find("/dev/stdin"), std::string::npos) << stdinFailure.err;
}

// A file size limit (ulimit -f) ends the run with an ordinary write error
// naming the file, and leaves no temporary file behind.
TEST(UtmconvStreams, AFileSizeLimitIsAWriteErrorAndLeavesNothing) {
    TempFolder folder;
    std::string data;
    for (int i = 0; i < 100000; ++i) data += "27.7,85.3\n";
    folder.Write("pts.csv", data);
    const ProcessResult r = Shell("cd '" + folder.Path() +
                                  "' && ulimit -f 64 && \"$U\" convert --to-xy pts.csv out.txt");
    ExpectRefused(r, "Cannot write \"out.txt\": File too large. Nothing was written.");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"pts.csv"});
}

// Messages a user can act on: what was wrong, in words of the command line.
TEST(UtmconvStreams, MessagesSayWhatIsWrongAndWhereToLook) {
    TempFolder folder;
    const std::string data = folder.Write("pts.csv", "27.7,85.3\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\": give a subcommand"},
        {{"conver", "--to-xy", data, "-"},
         "unknown subcommand \"conver\": give point, convert, "
         "transfer, transform or crs; see utmconv --help"},
        {{}, "give a subcommand: point, convert, transfer, transform or crs; see utmconv --help"},
        {{"convert", "--to-xy", "--bogus", data, "-"},
         "unknown option \"--bogus\" for convert: see utmconv convert --help"},
        {{"convert", "--to-xy", data, "-", "extra"}, "\"extra\" is left over; see utmconv convert"},
        {{"convert", "--cm=", "--to-xy", data, "-"}, "--cm= gives --cm no value"},
        {{"point", "--ellipsoid", "everest", "--cm=", "--to-xy", "1", "2"},
         "--cm= gives --cm no value"},
        {{"convert", "--cm", "--to-xy", data, "-"}, "--cm is not a number: \"--to-xy\""},
        {{"convert", "--to-xy", "", "-"}, "the DATAFILE argument is empty and names no file"},
        {{"convert", "--to-xy", "Load data file", "-"},
         "The data file \"Load data file\" cannot be opened: it does not exist."},
        {{"convert", "--to-xy", folder.File("missing.csv"), "-"},
         "cannot be opened: it does not exist."},
        {{"convert", "--to-xy", folder.File("\x1b[2Jx.csv"), "-"},
         "\"" + folder.File("\\x1b[2Jx.csv")},
        {{"convert", "--to-xy", "--on-error", "\x1b]0;t\x07", data, "-"}, "\\x1b]0;t\\x07"},
        {{"point", "--ellipsoid", "everest", "--cm", "84", "--to-latlong", "1e15", "3065307"},
         "the point has no latitude: the easting 1e15 lies"},
        {{"point", "--ellipsoid", "everest", "--cm", "84", "--to-latlong", "500000", "3e7"},
         "the point has no latitude: the northing 3e7"},
    };
    for (const Case& c : cases) {
        const ProcessResult r = RunProcess(kUtmconv, c.args);
        ExpectRefused(r, c.message);
        EXPECT_EQ(r.err.find("Browse"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("A subcommand is required"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    }
    // Help and version to a device that takes nothing: an error, not a silent 0.
    for (const char* args : {"--help", "--version", "convert --help"}) {
        const ProcessResult r = Shell("\"$U\" " + std::string(args) + " > /dev/full");
        ExpectRefused(r, "cannot write to the standard output");
    }
}

}  // namespace
