#include "common/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

namespace utm {

namespace {

std::string SystemError(int error) {
    return std::strerror(error);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Temporary files open right now, for the signal handlers: a fixed table of
// C strings so that the handler needs no locks and no allocation.
constexpr int kTempSlots = 32;
std::array<std::atomic<char*>, kTempSlots> g_tempFiles{};
constexpr std::array<int, 3> kCleanupSignals = {SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kCleanupSignals.size()> g_previousActions{};

extern "C" void RemoveTemporaryFilesAndReraise(int signal) {
    for (auto& slot : g_tempFiles) {
        if (char* path = slot.load()) ::unlink(path);
    }
    // Give the signal its previous meaning (normally: end the program) and
    // deliver it again.
    for (std::size_t i = 0; i < kCleanupSignals.size(); ++i) {
        if (kCleanupSignals[i] == signal) ::sigaction(signal, &g_previousActions[i], nullptr);
    }
    ::raise(signal);
}

void InstallCleanupHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (std::size_t i = 0; i < kCleanupSignals.size(); ++i) {
            struct sigaction previous {};
            if (::sigaction(kCleanupSignals[i], nullptr, &previous) != 0) continue;
            // A signal the program was told to ignore (nohup) stays ignored.
            if (previous.sa_handler == SIG_IGN) continue;
            g_previousActions[i] = previous;
            struct sigaction action {};
            action.sa_handler = RemoveTemporaryFilesAndReraise;
            sigemptyset(&action.sa_mask);
            for (const int s : kCleanupSignals) sigaddset(&action.sa_mask, s);
            ::sigaction(kCleanupSignals[i], &action, nullptr);
        }
    });
}

/// Puts `path` into a free slot of the table; -1 when the table is full.
int RegisterTemporaryFile(const std::string& path) {
    InstallCleanupHandlers();
    char* copy = ::strdup(path.c_str());
    if (copy == nullptr) return -1;
    for (int i = 0; i < kTempSlots; ++i) {
        char* expected = nullptr;
        if (g_tempFiles[static_cast<std::size_t>(i)].compare_exchange_strong(expected, copy)) {
            return i;
        }
    }
    std::free(copy);
    return -1;
}

void UnregisterTemporaryFile(int slot) {
    if (slot < 0) return;
    std::free(g_tempFiles[static_cast<std::size_t>(slot)].exchange(nullptr));
}

/// Syncs the folder that holds `path`, so that a rename into it survives a crash.
void SyncFolderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

/// Where a write to `target` lands: the file a symbolic link points to, so
/// that the link survives.
std::string FinalPathOf(const std::string& target) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_symlink(fs::path(target), ec)) {
        const fs::path resolved = fs::weakly_canonical(fs::path(target), ec);
        if (!ec) return resolved.string();
    }
    return target;
}

/// The refusals shared by CheckOutputTarget and the writer. `targetStat` is
/// filled when the target exists.
bool CheckTarget(const std::string& target, const std::string& finalPath,
                 const std::optional<FileIdentity>& protect, struct stat& targetStat) {
    if (target.empty()) throw FileWriteError("No output file name was given");
    const bool exists = ::stat(finalPath.c_str(), &targetStat) == 0;
    if (!exists) return false;
    if (S_ISDIR(targetStat.st_mode)) {
        throw FileWriteError("Cannot write " + Quoted(target) + ": it is a folder");
    }
    if (protect && protect->device == targetStat.st_dev && protect->inode == targetStat.st_ino) {
        throw FileWriteError("The output file " + Quoted(target) +
                             " is the data file itself (the same file by another name or "
                             "link): choose another output file");
    }
    if (S_ISREG(targetStat.st_mode) &&
        (::access(finalPath.c_str(), W_OK) != 0 || (targetStat.st_mode & 0222) == 0)) {
        throw FileWriteError("The output file " + Quoted(target) +
                             " exists and is read-only for you: it was not replaced");
    }
    return true;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

void CheckOutputTarget(const std::string& targetPath, std::optional<FileIdentity> protect) {
    if (targetPath == kStandardOutput) return;  // checked when it is opened
    struct stat st {};
    CheckTarget(targetPath, FinalPathOf(targetPath), protect, st);
}

SafeFileWriter::SafeFileWriter(const std::string& targetPath, std::optional<FileIdentity> protect)
    : target_(targetPath) {
    namespace fs = std::filesystem;
    // Standard output is written as it is: a filter's output goes where the
    // shell sent it, appending or into a pipe, never through a renamed file.
    if (target_ == kStandardOutput) {
        struct stat out {};
        if (::fstat(STDOUT_FILENO, &out) == 0 && protect && protect->device == out.st_dev &&
            protect->inode == out.st_ino && S_ISREG(out.st_mode)) {
            throw FileWriteError(
                "The standard output is the data file itself: choose another "
                "output file");
        }
        fd_ = ::dup(STDOUT_FILENO);
        if (fd_ < 0) {
            const int error = errno;
            throw FileWriteError("Cannot write the standard output: " + SystemError(error));
        }
        buffer_.reserve(kBlockSize + 4096);
        return;
    }
    finalPath_ = target_.empty() ? target_ : FinalPathOf(target_);
    struct stat targetStat {};
    const bool targetExists = CheckTarget(target_, finalPath_, protect, targetStat);
    // A target that exists but is no regular file (a device such as /dev/null,
    // a named pipe) is written in place: renaming a file over it would replace
    // the device or pipe itself with an ordinary file.
    if (targetExists && !S_ISREG(targetStat.st_mode)) {
        fd_ = ::open(finalPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) {
            const int error = errno;
            throw FileWriteError("Cannot write " + Quoted(target_) + ": " + SystemError(error));
        }
        buffer_.reserve(kBlockSize + 4096);
        return;
    }
    const fs::path finalPath(finalPath_);
    fs::path folder = finalPath.parent_path();
    if (folder.empty()) folder = ".";
    // A hidden name beside the target: ".NAME.XXXXXX", or a short one when
    // that would exceed the longest name a folder entry can have.
    std::string tempName(1, '.');
    const std::string targetName = finalPath.filename().string();
    tempName.append(targetName.size() <= 200 ? targetName : std::string("utm-output"));
    tempName.append(".XXXXXX");
    const std::string pattern = (folder / tempName).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw FileWriteError("Cannot create " + Quoted(target_) + ": " + SystemError(error));
    }
    tempPath_ = name.data();
    tempSlot_ = RegisterTemporaryFile(tempPath_);
    // The file gets the permissions and, where the system allows it, the owner
    // of the file it replaces, or the permissions a newly created file would get.
    mode_t mode;
    if (targetExists) {
        mode = targetStat.st_mode & 07777;
        if (targetStat.st_uid != ::geteuid() || targetStat.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored =
                ::fchown(fd_, targetStat.st_uid, targetStat.st_gid);
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    buffer_.reserve(kBlockSize + 4096);
}

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

void SafeFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    UnregisterTemporaryFile(tempSlot_);
    tempSlot_ = -1;
}

void SafeFileWriter::Fail(const std::string& what) {
    Discard();
    throw FileWriteError(what);
}

void SafeFileWriter::Write(std::string_view bytes) {
    if (bytes.size() >= kBlockSize) {
        Flush();
        WriteAll(bytes.data(), bytes.size());
        return;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kBlockSize) Flush();
}

void SafeFileWriter::Flush() {
    WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void SafeFileWriter::WriteAll(const char* p, std::size_t left) {
    if (fd_ < 0) Fail("Cannot write " + Quoted(target_) + ": the file is closed");
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            Fail("Cannot write " + Quoted(target_) + ": " + SystemError(error));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
    }
    // Start the disk writes of what is written so far without waiting for
    // them, so that the sync before the rename has little left to do.
    if (!tempPath_.empty() && written_ - syncStarted_ >= kSyncStep) {
        ::sync_file_range(fd_, static_cast<off64_t>(syncStarted_),
                          static_cast<off64_t>(written_ - syncStarted_), SYNC_FILE_RANGE_WRITE);
        syncStarted_ = written_;
    }
}

void SafeFileWriter::Commit() {
    Flush();
    // The bytes reach the disk before the name does: a crash right after the
    // rename must not leave an empty or partial file under the target's name.
    if (!tempPath_.empty() && ::fsync(fd_) != 0) {
        const int error = errno;
        Fail("Cannot write " + Quoted(target_) + ": " + SystemError(error));
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        Fail("Cannot write " + Quoted(target_) + ": " + SystemError(error));
    }
    if (tempPath_.empty()) return;  // written in place
    if (::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        const int error = errno;
        Fail("Cannot replace " + Quoted(target_) + ": " + SystemError(error));
    }
    tempPath_.clear();
    UnregisterTemporaryFile(tempSlot_);
    tempSlot_ = -1;
    SyncFolderOf(finalPath_);
}

}  // namespace utm
