#include "common/FileIO.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "common/RunReport.h"

namespace utm {

namespace {

std::string SystemError(int error) {
    return std::strerror(error);
}

std::string Quoted(const std::string& text) {
    return QuotedText(text);
}

std::atomic<bool> g_namedTemporaryFiles{false};

// Named temporary files that exist right now, for the signal handlers: a
// fixed table of C strings so that the handler needs no locks and no
// allocation.
constexpr int kTempSlots = 32;
std::array<std::atomic<char*>, kTempSlots> g_tempFiles{};
// Every signal whose default action ends the program and that a program may
// catch, but those of a fault in the program itself (SIGSEGV, SIGABRT, ...),
// which belong to debuggers and sanitizers. The first three are taken over
// unless ignored (nohup); the others only while they keep their default
// action, so that a program using SIGALRM or SIGUSR1 keeps its own handler.
constexpr std::array<int, 13> kCleanupSignals = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1,
                                                 SIGUSR2, SIGALRM, SIGPIPE, SIGXCPU, SIGVTALRM,
                                                 SIGPROF, SIGIO,   SIGPWR};
constexpr std::size_t kTakenUnlessIgnored = 3;
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
            if (i >= kTakenUnlessIgnored &&
                ((previous.sa_flags & SA_SIGINFO) != 0 || previous.sa_handler != SIG_DFL)) {
                continue;
            }
            g_previousActions[i] = previous;
            struct sigaction action {};
            action.sa_handler = RemoveTemporaryFilesAndReraise;
            sigemptyset(&action.sa_mask);
            for (const int s : kCleanupSignals) sigaddset(&action.sa_mask, s);
            ::sigaction(kCleanupSignals[i], &action, nullptr);
        }
    });
}

/// A file size limit (ulimit -f) raises SIGXFSZ, which ends the program by
/// default before the write can fail: ignored, the write fails with EFBIG and
/// is reported like a full disk. A handler of the program's own stays.
/// Looked at by every writer, as the program may have set the default again.
void IgnoreFileSizeSignal() {
    struct sigaction previous {};
    if (::sigaction(SIGXFSZ, nullptr, &previous) != 0) return;
    if ((previous.sa_flags & SA_SIGINFO) != 0 || previous.sa_handler != SIG_DFL) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

/// Six letters or digits for a temporary name.
std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<unsigned> counter{0};
    unsigned char bytes[6] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Without the random source: the process, a counter and the clock.
        unsigned long long mix = static_cast<unsigned long long>(::getpid()) * 2654435761u +
                                 counter.fetch_add(1) * 40503u +
                                 static_cast<unsigned long long>(std::time(nullptr));
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(mix);
            mix = mix * 6364136223846793005ull + 1442695040888963407ull;
            b ^= static_cast<unsigned char>(mix >> 56);
        }
    }
    std::string suffix;
    for (const unsigned char b : bytes) suffix.push_back(kLetters[b % (sizeof kLetters - 1)]);
    return suffix;
}

/// The hidden name of a temporary file beside `finalPath`, without its
/// suffix: "FOLDER/.NAME.", or a short one when that would exceed the
/// longest name a folder entry can have.
std::string TemporaryPrefix(const std::filesystem::path& finalPath) {
    std::filesystem::path folder = finalPath.parent_path();
    if (folder.empty()) folder = ".";
    std::string tempName(1, '.');
    const std::string targetName = finalPath.filename().string();
    tempName.append(targetName.size() <= 200 ? targetName : std::string("utm-output"));
    tempName.push_back('.');
    return (folder / tempName).string();
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

/// Direct I/O for the temporary file: bytes are gathered in aligned buffers of
/// SafeFileWriter::kBlockSize; full ones queue up and a thread of their own
/// writes them in order while the caller fills the next, so the caller waits
/// for the disk only when every buffer is queued. A batch run hands over a
/// block's output of a few megabytes at once, so the queue holds several.
/// After a failed or short write the thread writes nothing more, and the
/// caller takes back every byte not written (Drain) to write it the ordinary
/// way, in order.
class SafeFileWriter::DirectWrites {
  public:
    /// Direct writes must start, end and sit in memory on multiples of the
    /// device's block size; 4096 covers the devices of today.
    static constexpr std::size_t kAlignment = 4096;
    static constexpr int kBuffers = 8;

    /// Null when `fd` is not on a local disk file system named below, when
    /// the file system refuses direct I/O for it (the flag is then left off)
    /// or the buffers cannot be had.
    static std::unique_ptr<DirectWrites> Start(int fd) {
        // Only where direct writes are known to be fast: on a network share
        // each would wait for the server in turn.
        struct statfs fs {};
        if (::fstatfs(fd, &fs) != 0) return nullptr;
        switch (static_cast<unsigned long>(fs.f_type)) {
            case 0xEF53:      // ext2, ext3, ext4
            case 0x58465342:  // XFS
            case 0x9123683E:  // Btrfs
            case 0xF2F52010:  // F2FS
                break;
            default:
                return nullptr;
        }
        auto writes = std::unique_ptr<DirectWrites>(new DirectWrites(fd));
        for (auto& buffer : writes->buffers_) {
            buffer.reset(static_cast<char*>(std::aligned_alloc(kAlignment, kBlockSize)));
            if (!buffer) return nullptr;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_DIRECT) != 0) return nullptr;
        return writes;
    }

    ~DirectWrites() {
        if (thread_.joinable()) {
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                quit_ = true;
            }
            changed_.notify_all();
            thread_.join();
        }
    }

    /// Copies as many of `bytes` into the buffer being filled as fit, and
    /// returns how many.
    std::size_t Gather(std::string_view bytes) {
        const std::size_t n = std::min(bytes.size(), kBlockSize - staged_);
        std::memcpy(buffers_[filling_].get() + staged_, bytes.data(), n);
        staged_ += n;
        return n;
    }
    bool Full() const { return staged_ == kBlockSize; }

    /// Queues the full buffer and waits until the next one is free. False
    /// when a write has failed: the caller then drains.
    bool Send() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            ++queued_;
        }
        if (thread_.joinable()) {
            changed_.notify_all();
        } else {
            try {
                thread_ = std::thread([this] { Loop(); });
            } catch (const std::system_error&) {
                // No thread to be had: the queue is written here and now.
                std::unique_lock<std::mutex> lock(mutex_);
                while (queued_ > 0 && !failed_) WriteFirst(lock);
            }
        }
        filling_ = (filling_ + 1) % kBuffers;
        staged_ = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return queued_ < kBuffers || failed_; });
        return !failed_;
    }

    /// Waits until the queue is written or a write has failed, and returns
    /// the bytes written to the file so far and, in file order, the bytes
    /// not written: the rest of a failed buffer, those queued after it and
    /// those gathered since.
    std::uint64_t Drain(std::string& unwritten) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return queued_ == 0 || failed_; });
        for (int i = 0; i < queued_; ++i) {
            const std::size_t skip = i == 0 ? failedDone_ : 0;
            unwritten.append(buffers_[(first_ + i) % kBuffers].get() + skip, kBlockSize - skip);
        }
        unwritten.append(buffers_[filling_].get(), staged_);
        return written_ + failedDone_;
    }

  private:
    explicit DirectWrites(int fd) : fd_(fd) {}

    void Loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return quit_ || (queued_ > 0 && !failed_); });
            if (quit_) return;  // a writer discarding its file does not wait for the queue
            WriteFirst(lock);
        }
    }

    /// Writes the first queued buffer, with `lock` released meanwhile.
    void WriteFirst(std::unique_lock<std::mutex>& lock) {
        const char* const buffer = buffers_[first_].get();
        lock.unlock();
        ssize_t n = 0;
        do {
            n = ::write(fd_, buffer, kBlockSize);
        } while (n < 0 && errno == EINTR);
        lock.lock();
        if (n == static_cast<ssize_t>(kBlockSize)) {
            written_ += kBlockSize;
            first_ = (first_ + 1) % kBuffers;
            --queued_;
        } else {
            failed_ = true;
            failedDone_ = n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        changed_.notify_all();
    }

    struct FreeAligned {
        void operator()(char* p) const { std::free(p); }
    };

    const int fd_;
    std::unique_ptr<char, FreeAligned> buffers_[kBuffers];
    int filling_ = 0;         // the caller's: the buffer being filled
    std::size_t staged_ = 0;  // and the bytes in it

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int first_ = 0;               // the first queued buffer; filling_ follows the last
    int queued_ = 0;              // buffers waiting to be written, the first one included
    bool failed_ = false;         // the first queued buffer's write failed
    std::size_t failedDone_ = 0;  // and wrote this many of its bytes
    std::uint64_t written_ = 0;   // bytes of the buffers written whole
    bool quit_ = false;
};

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

void SafeFileWriter::UseNamedTemporaryFiles(bool named) {
    g_namedTemporaryFiles = named;
}

SafeFileWriter::SafeFileWriter(const std::string& targetPath, std::optional<FileIdentity> protect)
    : target_(targetPath),
      name_(targetPath == kStandardOutput ? std::string("the standard output")
                                          : Quoted(targetPath)) {
    namespace fs = std::filesystem;
    IgnoreFileSizeSignal();
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
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) {
            const int error = errno;
            throw FileWriteError("Cannot write the standard output: " + SystemError(error));
        }
        inPlace_ = true;
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
            throw FileWriteError("Cannot write " + name_ + ": " + SystemError(error));
        }
        inPlace_ = true;
        buffer_.reserve(kBlockSize + 4096);
        return;
    }
    const fs::path finalPath(finalPath_);
    fs::path folder = finalPath.parent_path();
    if (folder.empty()) folder = ".";
    // An unnamed file in the target's folder, where the file system has them;
    // else a hidden name beside the target.
    int error = EOPNOTSUPP;
    if (!g_namedTemporaryFiles) {
        fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        error = fd_ < 0 ? errno : 0;
    }
    if (fd_ >= 0) {
        unnamed_ = true;
        tempPath_ = "/proc/self/fd/" + std::to_string(fd_);
    } else if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL) {
        const std::string pattern = TemporaryPrefix(finalPath) + "XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ < 0) error = errno;
        if (fd_ >= 0) {
            tempPath_ = name.data();
            tempSlot_ = RegisterTemporaryFile(tempPath_);
        }
    }
    if (fd_ < 0) {
        throw FileWriteError("Cannot create " + name_ + ": " + SystemError(error));
    }
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
    // Large outputs pass through the file cache only to be flushed to the
    // disk by the sync before the rename; copying them into freshly taken
    // cache pages can cost more than working out the numbers did.
    direct_ = DirectWrites::Start(fd_);
}

void SafeFileWriter::WriteStaged(std::string_view bytes) {
    while (!bytes.empty()) {
        bytes.remove_prefix(direct_->Gather(bytes));
        if (direct_->Full() && !direct_->Send()) {
            // Refused: what was not written and the rest go the ordinary way.
            LeaveDirect();
            WriteBytes(bytes);
            return;
        }
    }
}

void SafeFileWriter::LeaveDirect() {
    // A refusal (a device with larger blocks, a full disk) is best reported
    // by the ordinary write, and a short write leaves the file position
    // unaligned: from here on every byte goes that way, starting with those
    // the thread did not write.
    std::string unwritten;
    written_ += direct_->Drain(unwritten);
    syncStarted_ = written_;  // on the disk already
    direct_.reset();
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_DIRECT);
    WriteAll(unwritten.data(), unwritten.size());
}

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

void SafeFileWriter::Discard() {
    direct_.reset();  // waits for the write in progress
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        // An unnamed file went with its descriptor.
        if (!unnamed_) ::unlink(tempPath_.c_str());
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
    if (!lfLineEnds_) {
        WriteBytes(bytes);
        return;
    }
    // Each CR LF becomes LF; a CR at the end of a piece waits for the first
    // byte of the next one.
    if (bytes.empty()) return;
    if (pendingCr_) {
        pendingCr_ = false;
        if (bytes.front() != '\n') WriteBytes("\r");
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            WriteBytes(bytes.substr(start));
            return;
        }
        if (cr + 1 == bytes.size()) {
            WriteBytes(bytes.substr(start, cr - start));
            pendingCr_ = true;
            return;
        }
        const bool crlf = bytes[cr + 1] == '\n';
        WriteBytes(bytes.substr(start, cr - start + (crlf ? 0 : 1)));
        start = cr + 1;
    }
}

void SafeFileWriter::WriteBytes(std::string_view bytes) {
    if (direct_) {
        WriteStaged(bytes);
        return;
    }
    if (inPlace_) {
        // What is read as it comes (a pipe, a terminal) gets whole lines
        // only, until the end: a run that fails midway stops after a line.
        buffer_.append(bytes);
        if (buffer_.size() < kBlockSize) return;
        const std::size_t lineEnd = buffer_.rfind('\n');
        // A line longer than a block goes out as it is.
        const std::size_t cut =
            lineEnd == std::string::npos || buffer_.size() - lineEnd > kBlockSize ? buffer_.size()
                                                                                  : lineEnd + 1;
        WriteAll(buffer_.data(), cut);
        buffer_.erase(0, cut);
        return;
    }
    if (bytes.size() >= kBlockSize) {
        Flush();
        WriteAll(bytes.data(), bytes.size());
        return;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kBlockSize) Flush();
}

void SafeFileWriter::Flush() {
    // The last part, shorter than a block, is written the ordinary way
    // (direct writes must cover whole device blocks).
    if (direct_) LeaveDirect();
    WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void SafeFileWriter::WriteAll(const char* p, std::size_t left) {
    if (fd_ < 0) Fail("Cannot write " + name_ + ": the file is closed");
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            Fail("Cannot write " + name_ + ": " + SystemError(error));
        }
        if (inPlace_ && n > 0) {
            // What the target has received, for WrittenBeforeFailure.
            const auto end = p + n;
            linesWritten_ += static_cast<std::uint64_t>(std::count(p, end, '\n'));
            partialLine_ = end[-1] != '\n';
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
    }
    // Start the disk writes of what is written so far without waiting for
    // them, so that the sync before the rename has little left to do.
    if (!inPlace_ && written_ - syncStarted_ >= kSyncStep) {
        ::sync_file_range(fd_, static_cast<off64_t>(syncStarted_),
                          static_cast<off64_t>(written_ - syncStarted_), SYNC_FILE_RANGE_WRITE);
        syncStarted_ = written_;
    }
}

void SafeFileWriter::Commit() {
    if (pendingCr_) {
        pendingCr_ = false;
        WriteBytes("\r");
    }
    Flush();
    // The bytes reach the disk before the name does: a crash right after the
    // rename must not leave an empty or partial file under the target's name.
    if (!inPlace_ && ::fsync(fd_) != 0) {
        const int error = errno;
        Fail("Cannot write " + name_ + ": " + SystemError(error));
    }
    if (unnamed_) LinkUnnamed();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        Fail("Cannot write " + name_ + ": " + SystemError(error));
    }
    if (inPlace_) return;
    if (::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        const int error = errno;
        Fail("Cannot replace " + name_ + ": " + SystemError(error));
    }
    tempPath_.clear();
    UnregisterTemporaryFile(tempSlot_);
    tempSlot_ = -1;
    SyncFolderOf(finalPath_);
}

void SafeFileWriter::LinkUnnamed() {
    // The unnamed file gets a hidden name beside the target, which the
    // rename then moves over the target in one step (a link cannot replace
    // a file). The name is known to the signal handlers before it exists.
    const std::string prefix = TemporaryPrefix(std::filesystem::path(finalPath_));
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        const std::string name = prefix + RandomSuffix();
        const int slot = RegisterTemporaryFile(name);
        // Through /proc (any user), else by the descriptor itself (needs
        // CAP_DAC_READ_SEARCH on older systems).
        error =
            ::linkat(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0
                ? 0
                : errno;
        if (error != 0 && error != EEXIST) {
            error = ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
        }
        if (error == 0) {
            unnamed_ = false;
            tempPath_ = name;
            tempSlot_ = slot;
            return;
        }
        UnregisterTemporaryFile(slot);
    }
    Fail("Cannot create " + name_ + ": " + SystemError(error));
}

std::string SafeFileWriter::WrittenBeforeFailure() const {
    if (!inPlace_ || written_ == 0) return {};
    const std::uint64_t stop = linesWritten_ + 1;
    const std::string where = name_ == "the standard output" ? name_ : "the output file " + name_;
    std::string text = std::string("The output stopped ") + (partialLine_ ? "in" : "at") +
                       " line " + std::to_string(stop) + ": ";
    if (linesWritten_ == 0) {
        text += "part of it";
    } else {
        text += linesWritten_ == 1 ? "the line" : "the " + std::to_string(linesWritten_) + " lines";
        text += " before it";
        if (partialLine_) text += " and part of it";
    }
    return text + " went to " + where + ".";
}

}  // namespace utm
