// Reading whole files, and writing files that are complete or not there.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/FileIO.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace {

using utm::FileWriteError;
using utm::SafeFileWriter;
using utm::test::ReadFileBytes;
using utm::test::TempFolder;

TEST(FileIO, CommitReplacesTheFileAndKeepsItsPermissions) {
    TempFolder folder;
    const std::string target = folder.Write("out.txt", "old content");
    ::chmod(target.c_str(), 0640);
    {
        SafeFileWriter writer(target);
        writer.Write("new ");
        writer.Write(std::string(3 << 20, 'x'));  // larger than one block
        writer.Write("end");
        EXPECT_EQ(ReadFileBytes(target), "old content");  // untouched until Commit
        writer.Commit();
    }
    EXPECT_EQ(ReadFileBytes(target), "new " + std::string(3 << 20, 'x') + "end");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
}

TEST(FileIO, AbandonedWriteLeavesThePreviousFileAndNoTemporaryFile) {
    TempFolder folder;
    const std::string target = folder.Write("out.txt", "previous");
    {
        SafeFileWriter writer(target);
        writer.Write("half of the lines");
    }
    EXPECT_EQ(ReadFileBytes(target), "previous");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
    {
        SafeFileWriter writer(folder.File("new.txt"));
        writer.Write("never committed");
    }
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
}

TEST(FileIO, WritesThroughASymbolicLink) {
    TempFolder folder;
    const std::string real = folder.Write("real.txt", "old");
    const std::string link = folder.File("link.txt");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    SafeFileWriter writer(link);
    writer.Write("new");
    writer.Commit();
    EXPECT_EQ(ReadFileBytes(real), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(FileIO, ANamedPipeIsWrittenInPlaceAndStaysAPipe) {
    TempFolder folder;
    const std::string pipe = folder.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::optional<std::string> received;
    std::thread reader([&] { received = ReadFileBytes(pipe); });
    {
        SafeFileWriter writer(pipe);
        writer.Write("27.7\t85.3\r\n");
        writer.Commit();
    }
    reader.join();
    EXPECT_EQ(received, "27.7\t85.3\r\n");
    struct stat st {};
    ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"pipe"});
}

TEST(FileIO, ATargetWithTheLongestNameIsWritten) {
    TempFolder folder;
    const std::string target = folder.File(std::string(251, 'p') + ".csv");
    SafeFileWriter writer(target);
    writer.Write("x");
    writer.Commit();
    EXPECT_EQ(ReadFileBytes(target), "x");
    EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST(FileIO, UncreatableTargetsGiveAnErrorNamingThePath) {
    TempFolder folder;
    const std::string missingFolder = folder.File("no-such-folder/out.txt");
    try {
        SafeFileWriter writer(missingFolder);
        FAIL() << "no error";
    } catch (const FileWriteError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + missingFolder + "\""), std::string::npos);
    }
    EXPECT_THROW(SafeFileWriter writer(folder.Path()), FileWriteError);
    EXPECT_THROW(SafeFileWriter writer(""), FileWriteError);
}

}  // namespace

namespace {

TEST(FileIO, TheProtectedFileIsRefusedByEveryNameAndLink) {
    TempFolder folder;
    const std::string data = folder.Write("pts.csv", "27.7,85.3\r\n");
    const std::optional<utm::FileIdentity> identity = utm::IdentityOf(data);
    ASSERT_TRUE(identity);
    ASSERT_EQ(::symlink("pts.csv", folder.File("ptsOut.csv").c_str()), 0);
    ASSERT_EQ(::link(data.c_str(), folder.File("hard.csv").c_str()), 0);
    for (const std::string& target :
         {data,
          folder.Path() + "/../" + std::filesystem::path(folder.Path()).filename().string() +
              "/pts.csv",
          folder.File("ptsOut.csv"), folder.File("hard.csv")}) {
        try {
            SafeFileWriter writer(target, identity);
            ADD_FAILURE() << "accepted " << target;
        } catch (const FileWriteError& e) {
            EXPECT_NE(std::string(e.what()).find("is the data file itself"), std::string::npos)
                << e.what();
        }
        EXPECT_THROW(utm::CheckOutputTarget(target, identity), FileWriteError);
    }
    EXPECT_EQ(ReadFileBytes(data), "27.7,85.3\r\n");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"pts.csv", "ptsOut.csv", "hard.csv"}));
    // Another file is no problem.
    EXPECT_NO_THROW(utm::CheckOutputTarget(folder.File("other.txt"), identity));
}

TEST(FileIO, AReadOnlyTargetIsRefusedNotReplaced) {
    // Refused even for a user the system would let write (root): the mark
    // says the file is not to be changed.
    TempFolder folder;
    const std::string target = folder.Write("locked.txt", "keep");
    ::chmod(target.c_str(), 0444);
    try {
        SafeFileWriter writer(target);
        ADD_FAILURE() << "accepted a read-only file";
    } catch (const FileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "The output file \"" + target +
                                             "\" exists and is read-only for you: it was "
                                             "not replaced");
    }
    EXPECT_EQ(ReadFileBytes(target), "keep");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"locked.txt"});
}

TEST(FileIO, ATerminatingSignalRemovesTheTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempFolder folder;
        const std::string target = folder.Write("out.txt", "previous");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SafeFileWriter writer(target);
            writer.Write(std::string(3 << 20, 'x'));
            ::raise(signal);
            ::_exit(0);  // not reached: the signal ends the process
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << signal;
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), signal);
        }
        EXPECT_EQ(ReadFileBytes(target), "previous");
        EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"}) << signal;
    }
}

// Large outputs are gathered into whole blocks that go to the disk on their
// own; the file must hold exactly the bytes written, in order, whatever the
// sizes of the pieces and wherever the end falls against the blocks.
TEST(FileIO, EveryByteArrivesWhereverTheBlocksEnd) {
    constexpr std::size_t kBlock = 1 << 20;
    const std::size_t totals[] = {0,
                                  1,
                                  4095,
                                  4096,
                                  kBlock - 1,
                                  kBlock,
                                  kBlock + 1,
                                  2 * kBlock,
                                  2 * kBlock + 4097,
                                  5 * kBlock + 123};
    const std::size_t pieces[] = {1, 7, 4096, 65535, kBlock + 3, 3 * kBlock};
    for (const std::size_t total : totals) {
        for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{4}}) {
            TempFolder folder;
            const std::string target = folder.File("out.txt");
            std::string expected(total, '\0');
            unsigned state = static_cast<unsigned>(total + piece);
            for (char& c : expected) {
                state = state * 1103515245u + 12345u;
                c = static_cast<char>(state >> 23);
            }
            {
                SafeFileWriter writer(target);
                std::size_t done = 0;
                for (std::size_t i = piece; done < total; ++i) {
                    const std::size_t n = std::min(pieces[i % std::size(pieces)], total - done);
                    writer.Write(std::string_view(expected).substr(done, n));
                    done += n;
                }
                writer.Commit();
            }
            const std::string written = ReadFileBytes(target).value_or("(no file)");
            ASSERT_EQ(written.size(), total) << piece;
            EXPECT_TRUE(written == expected) << "total " << total << ", pieces from " << piece;
            EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
        }
    }
}

// A write the system cuts short or refuses in the middle of a large output
// (here the process's file size limit, which behaves like a full disk) is an
// error naming the file, and the previous file stays as it was.
TEST(FileIO, AWriteRefusedMidwayIsAnErrorAndTheOldFileStays) {
    constexpr rlim_t kBlock = 1 << 20;
    for (const rlim_t limit : {rlim_t{12293}, kBlock, kBlock + kBlock / 2, 2 * kBlock + 100}) {
        TempFolder folder;
        const std::string target = folder.Write("out.txt", "previous");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
            const struct rlimit cap = {limit, limit};
            if (::setrlimit(RLIMIT_FSIZE, &cap) != 0) ::_exit(3);
            try {
                SafeFileWriter writer(target);
                for (int i = 0; i < 64; ++i) writer.Write(std::string(65536, 'x'));
                writer.Commit();
            } catch (const FileWriteError& e) {
                const bool named = std::strstr(e.what(), "out.txt") != nullptr &&
                                   std::strstr(e.what(), std::strerror(EFBIG)) != nullptr;
                ::_exit(named ? 0 : 2);
            }
            ::_exit(1);  // no error: the cut went unnoticed
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << limit;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "limit " << limit;
        EXPECT_EQ(ReadFileBytes(target), "previous");
        EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"}) << limit;
    }
}

// Direct I/O is for the local disk file systems; a device or pipe written in
// place and a memory file system are written the ordinary way.
TEST(FileIO, OnlyLocalDiskFilesAreWrittenDirectly) {
    TempFolder folder;
    struct statfs fs {};
    ASSERT_EQ(::statfs(folder.Path().c_str(), &fs), 0);
    const bool localDisk = fs.f_type == 0xEF53 || fs.f_type == 0x58465342 ||
                           fs.f_type == 0x9123683E || fs.f_type == 0xF2F52010;
    {
        SafeFileWriter writer(folder.File("out.txt"));
        EXPECT_EQ(writer.WritesDirectly(), localDisk) << std::hex << fs.f_type;
    }
    {
        SafeFileWriter writer("/dev/null");
        EXPECT_FALSE(writer.WritesDirectly());
    }
    constexpr long kTmpfs = 0x01021994;
    if (::statfs("/dev/shm", &fs) == 0 && fs.f_type == kTmpfs) {
        const std::string path = "/dev/shm/utm-direct-test-" + std::to_string(::getpid());
        SafeFileWriter writer(path);
        EXPECT_FALSE(writer.WritesDirectly());
    }
}

extern "C" void LiftFileSizeLimit(int) {
    const struct rlimit none = {RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &none);
}

/// How a write run by WriteUnderSizeLimit ended.
enum class LimitedRun { Committed, FailedWritingDirectly, FailedWritingOrdinarily, Broken };

/// Writes `target` through a SafeFileWriter in a child process whose file
/// size limit is `limit` (a soft limit, which the child may lift), with
/// SIGXFSZ handled by `onSignal`: `write(writer)` writes the bytes, then the
/// writer commits.
template <typename Write>
LimitedRun WriteUnderSizeLimit(const std::string& target, rlim_t limit, void (*onSignal)(int),
                               Write&& write) {
    const pid_t child = ::fork();
    if (child < 0) return LimitedRun::Broken;
    if (child == 0) {
        ::signal(SIGXFSZ, onSignal);
        const struct rlimit cap = {limit, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_FSIZE, &cap) != 0) ::_exit(3);
        bool direct = false;
        try {
            SafeFileWriter writer(target);
            direct = writer.WritesDirectly();
            write(writer);
            writer.Commit();
        } catch (const FileWriteError&) {
            ::_exit(direct ? 1 : 2);
        }
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return LimitedRun::Broken;
    switch (WEXITSTATUS(status)) {
        case 0:
            return LimitedRun::Committed;
        case 1:
            return LimitedRun::FailedWritingDirectly;
        case 2:
            return LimitedRun::FailedWritingOrdinarily;
        default:
            return LimitedRun::Broken;
    }
}

/// The end of a run whose refusal the writer can recover from only while it
/// writes directly: committed with every byte of `expected`, or, with
/// ordinary writes (which report a refusal instead of trying again), the
/// previous "previous" left as it was. No temporary file is left either way.
void ExpectCompleteOrUntouched(LimitedRun run, const TempFolder& folder, const std::string& target,
                               const std::string& expected) {
    if (run == LimitedRun::FailedWritingOrdinarily) {
        EXPECT_EQ(ReadFileBytes(target), "previous");
    } else {
        EXPECT_EQ(run, LimitedRun::Committed);
        EXPECT_TRUE(ReadFileBytes(target) == expected);
    }
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
}

// A block the disk refuses once, written again the ordinary way: the output
// keeps every byte in order (the refused block, then those gathered while it
// was being written, then the rest). The refusal here is the file size limit,
// which the signal it raises lifts right away.
TEST(FileIO, ABlockRefusedOnceIsWrittenAgainWithNothingLostOrMoved) {
    TempFolder folder;
    const std::string target = folder.Write("out.txt", "previous");
    std::string expected;
    for (std::uint64_t i = 0; expected.size() < (std::size_t{7} << 19); ++i) {
        expected += std::to_string(i * 7919) + "\r\n";
    }
    const LimitedRun run =
        WriteUnderSizeLimit(target, 1 << 20, LiftFileSizeLimit, [&](SafeFileWriter& writer) {
            for (std::size_t done = 0; done < expected.size(); done += 1000) {
                writer.Write(std::string_view(expected).substr(done, 1000));
            }
        });
    ExpectCompleteOrUntouched(run, folder, target, expected);
}

// A block the disk takes only in part: the rest of it is written the
// ordinary way from where the part ended, then the bytes after it. The file
// size limit cuts the block's write short at 512 KB and is lifted once that
// part is on the disk, before the writer finishes. When the writer notices
// the cut before the limit is lifted, the run ends in an error instead, and
// the attempt is repeated.
TEST(FileIO, ABlockTakenInPartIsCompletedFromWhereItEnded) {
    constexpr rlim_t kPart = 512 * 1024;
    std::string expected;
    for (std::uint64_t i = 0; expected.size() < (std::size_t{1} << 20) + 100000; ++i) {
        expected += std::to_string(i * 104729) + ",";
    }
    for (int attempt = 0; attempt < 5; ++attempt) {
        TempFolder folder;
        const std::string target = folder.Write("out.txt", "previous");
        const LimitedRun run =
            WriteUnderSizeLimit(target, kPart, SIG_IGN, [&](SafeFileWriter& writer) {
                writer.Write(expected);
                if (!writer.WritesDirectly()) return;
                // Wait for the part to arrive, then lift the limit.
                struct stat st {};
                for (int i = 0; i < 10000; ++i) {
                    if (::stat(writer.TemporaryPath().c_str(), &st) == 0 &&
                        static_cast<rlim_t>(st.st_size) >= kPart) {
                        break;
                    }
                    ::usleep(1000);
                }
                LiftFileSizeLimit(0);
            });
        if (run == LimitedRun::FailedWritingDirectly) {
            EXPECT_EQ(ReadFileBytes(target), "previous");
            continue;
        }
        ExpectCompleteOrUntouched(run, folder, target, expected);
        return;
    }
    ADD_FAILURE() << "the cut was noticed before the limit was lifted in every attempt";
}

/// Makes the writers of one scope use named temporary files (as on file
/// systems without unnamed ones) or unnamed ones, and restores the default.
class TemporaryFileKind {
  public:
    explicit TemporaryFileKind(bool named) { SafeFileWriter::UseNamedTemporaryFiles(named); }
    ~TemporaryFileKind() { SafeFileWriter::UseNamedTemporaryFiles(false); }
    TemporaryFileKind(const TemporaryFileKind&) = delete;
    TemporaryFileKind& operator=(const TemporaryFileKind&) = delete;
};

// Until Commit the target's name shows nothing new: an unnamed temporary file
// has no entry at all, a named one only its hidden entry.
TEST(FileIO, ATemporaryFileIsVisibleOnlyUntilCommit) {
    for (const bool named : {false, true}) {
        const TemporaryFileKind kind(named);
        TempFolder folder;
        SafeFileWriter writer(folder.File("out.txt"));
        EXPECT_EQ(writer.TemporaryFileUnnamed(), !named);
        EXPECT_EQ(folder.Entries().size(), named ? 1u : 0u);
        EXPECT_EQ(folder.Entries().count("out.txt"), 0u);
        if (named) {
            EXPECT_EQ(folder.Entries().begin()->rfind(".out.txt.", 0), 0u);
        }
        struct stat st {};
        EXPECT_EQ(::stat(writer.TemporaryPath().c_str(), &st), 0) << named;
        writer.Write("done\r\n");
        writer.Commit();
        EXPECT_TRUE(writer.TemporaryPath().empty());
        EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"});
        EXPECT_EQ(ReadFileBytes(folder.File("out.txt")), "done\r\n");
    }
}

// Whatever signal ends the program while it writes, the folder holds what it
// held: no unnamed file outlives its process (not even after SIGKILL), and a
// named one is removed by every signal that can be caught.
TEST(FileIO, NoSignalThatEndsTheRunLeavesATemporaryFile) {
    struct Case {
        bool named;
        int signal;
    };
    const Case cases[] = {
        {false, SIGKILL}, {false, SIGQUIT}, {true, SIGQUIT}, {true, SIGUSR1},
        {true, SIGUSR2},  {true, SIGALRM},  {true, SIGPIPE}, {true, SIGTERM},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string target = folder.Write("out.txt", "previous");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SafeFileWriter::UseNamedTemporaryFiles(c.named);
            SafeFileWriter writer(target);
            writer.Write(std::string(3 << 20, 'x'));
            ::raise(c.signal);
            ::_exit(0);  // not reached: the signal ends the process
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.signal;
        EXPECT_EQ(ReadFileBytes(target), "previous");
        EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"})
            << "signal " << c.signal << (c.named ? ", named" : ", unnamed");
    }
}

// A file size limit (ulimit -f) with SIGXFSZ left at its default: the write
// fails with an error naming the file instead of the signal ending the
// program, and nothing is left behind.
TEST(FileIO, AFileSizeLimitIsAnErrorNamingTheFile) {
    for (const bool named : {false, true}) {
        TempFolder folder;
        const std::string target = folder.Write("out.txt", "previous");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SafeFileWriter::UseNamedTemporaryFiles(named);
            ::signal(SIGXFSZ, SIG_DFL);
            const struct rlimit cap = {100000, 100000};
            if (::setrlimit(RLIMIT_FSIZE, &cap) != 0) ::_exit(3);
            try {
                SafeFileWriter writer(target);
                writer.Write(std::string(3 << 20, 'x'));
                writer.Commit();
            } catch (const FileWriteError& e) {
                const bool named = std::strstr(e.what(), "out.txt") != nullptr &&
                                   std::strstr(e.what(), std::strerror(EFBIG)) != nullptr;
                ::_exit(named ? 0 : 2);
            }
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(ReadFileBytes(target), "previous");
        EXPECT_EQ(folder.Entries(), std::set<std::string>{"out.txt"}) << named;
    }
}

// Both kinds of temporary file give the new file the old one's permissions,
// and the new file replaces the old one, not a link to it.
TEST(FileIO, BothTemporaryFileKindsKeepPermissionsAndLinks) {
    for (const bool named : {false, true}) {
        const TemporaryFileKind kind(named);
        TempFolder folder;
        const std::string target = folder.Write("out.txt", "old");
        ::chmod(target.c_str(), 0604);
        const std::string link = folder.File("link.txt");
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        SafeFileWriter writer(link);
        writer.Write("new");
        writer.Commit();
        EXPECT_EQ(ReadFileBytes(target), "new");
        struct stat st {};
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0604u) << named;
        EXPECT_EQ(folder.Entries(), (std::set<std::string>{"link.txt", "out.txt"}));
    }
}

// CR LF written as LF when asked, wherever the pieces are cut (a CR at the
// end of one piece and its LF at the start of the next); a CR alone stays.
TEST(FileIO, LfLineEndsTurnEveryCrLfIntoLf) {
    struct Case {
        std::vector<std::string> pieces;
        std::string expected;
    };
    const Case cases[] = {
        {{"a\tb\r\n", "c\r\n"}, "a\tb\nc\n"},
        {{"a\r", "\nb\r", "\n"}, "a\nb\n"},
        {{"a\r", "b\r\r\n"}, "a\rb\r\n"},
        {{"end\r"}, "end\r"},
        {{"\r\n\r\n", "", "x"}, "\n\nx"},
        {{std::string(3 << 20, 'y') + "\r", "\n"}, std::string(3 << 20, 'y') + "\n"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string target = folder.File("out.txt");
        SafeFileWriter writer(target);
        writer.WriteLfLineEnds();
        for (const std::string& piece : c.pieces) writer.Write(piece);
        writer.Commit();
        EXPECT_TRUE(ReadFileBytes(target) == c.expected) << c.pieces.front().substr(0, 10);
    }
    // Without the option the bytes go as they are.
    TempFolder folder;
    SafeFileWriter writer(folder.File("out.txt"));
    writer.Write("a\r\nb\r\n");
    writer.Commit();
    EXPECT_EQ(ReadFileBytes(folder.File("out.txt")), "a\r\nb\r\n");
}

// A target written in place that refuses bytes midway: the failure says
// which line the output stopped at, since the lines before it are out.
TEST(FileIO, AnOutputWrittenInPlaceSaysWhereItStopped) {
    {
        SafeFileWriter writer("/dev/full");
        writer.Write("a\r\n");
        EXPECT_THROW(writer.Commit(), FileWriteError);
        EXPECT_EQ(writer.WrittenBeforeFailure(), "");  // nothing reached it
    }
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        // Takes two whole lines and a part of the third, then stops reading.
        FILE* f = std::fopen(fifo.c_str(), "r");
        char bytes[12];
        received.assign(bytes, std::fread(bytes, 1, sizeof bytes, f));
        std::fclose(f);
    });
    const auto previous = ::signal(SIGPIPE, SIG_IGN);
    {
        SafeFileWriter writer(fifo);
        writer.Write("1234\n5678\n");
        // A long line the reader cuts off.
        EXPECT_THROW(writer.Write(std::string(3 << 20, 'z')), FileWriteError);
        reader.join();
        EXPECT_EQ(received, "1234\n5678\nzz");
        EXPECT_NE(writer.WrittenBeforeFailure().find("stopped in line 3: the 2 lines before it "
                                                     "and part of it went to the output file"),
                  std::string::npos)
            << writer.WrittenBeforeFailure();
    }
    ::signal(SIGPIPE, previous);
}

}  // namespace
