// The one output writer of every file path: a file is either complete or not
// there. The bytes go to a temporary file in the target's folder, which is
// synced and put in the target's place only when everything was written.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/OperationError.h"

namespace utm {

/// Which file a path reaches (device and inode): two paths, links of any kind
/// included, name the same file exactly when their identities are equal.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

/// The identity of the file `path` reaches (through symbolic links), or
/// nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string& path);

/// The target that names the standard output (utmconv's "-"): descriptor 1
/// written in place, as the shell opened it (a file at its offset, a pipe, a
/// socket), never opened again.
inline constexpr const char* kStandardOutput = "/dev/stdout";
/// The data file that names the standard input (utmconv's "-"): descriptor 0
/// read from where it stands, never opened again.
inline constexpr const char* kStandardInput = "/dev/stdin";

/// A file could not be created, written or put in place, or was refused as a
/// target. The message names the path.
class FileWriteError : public OperationError {
  public:
    using OperationError::OperationError;
};

/// Writes a file through a temporary file beside it. Until Commit() the target
/// is untouched; Commit() syncs the temporary file, puts it over the target
/// (through a symbolic link to the file it points to) in one rename, and syncs
/// the folder. The new file keeps the target's permissions and, where the
/// system allows, its owner.
///
/// The temporary file has no name until Commit() (O_TMPFILE): whatever ends
/// the program before, even SIGKILL or a power cut, leaves nothing behind.
/// On file systems without unnamed files it is a hidden file beside the
/// target instead; destroying the writer without a successful Commit()
/// removes it, and so does any signal that ends the program and can be
/// caught (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, ...) arriving
/// while it exists. SIGXFSZ is ignored (unless the program handles it), so
/// that a file size limit (ulimit -f) is a write error naming the file.
///
/// Refused before anything is written (FileWriteError):
/// - a target that is the file `protect` names (the data file being read),
///   reached by any path: the same text, a relative path, a symbolic or hard link;
/// - a target that exists and could not be written in place: without write
///   permission for this user, or marked read-only (no write bit at all), even
///   for a user the system would let through;
/// - a folder, or a folder that does not exist or cannot be written.
///
/// A target that exists but is no regular file (a device, a named pipe) is
/// written in place, so that the device or pipe itself survives.
/// Small writes are gathered and handed to the system in large blocks. On
/// the common local disk file systems (ext2/3/4, XFS, Btrfs, F2FS) the
/// temporary file's blocks go straight to the disk (direct I/O) from a thread
/// of the writer's own, instead of being copied into the system's file cache
/// first; any refusal of that falls back to ordinary writes, so the bytes and
/// the errors reported are the same either way. Elsewhere (network shares,
/// memory file systems, removable media) writes are ordinary.
class SafeFileWriter {
  public:
    explicit SafeFileWriter(const std::string& targetPath,
                            std::optional<FileIdentity> protect = std::nullopt);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Appends bytes. Throws FileWriteError when the system refuses them (disk full).
    void Write(std::string_view bytes);

    /// From now on every CR LF written is written as LF alone (a terminal or
    /// a Unix filter reading the standard output). Off by default: files
    /// keep the CR LF they are given.
    void WriteLfLineEnds() { lfLineEnds_ = true; }

    /// For a run that failed: what already went to a target written in place
    /// (the standard output, a pipe or device), as a sentence naming the line
    /// where the output stopped; empty when nothing reached the target, which
    /// then is as it was.
    std::string WrittenBeforeFailure() const;

    /// Writes what is buffered, syncs and closes the file and renames it over
    /// the target. Throws FileWriteError naming the target on failure (the
    /// target then keeps its previous content).
    void Commit();

    /// A path that reaches the temporary file while one is open (for an
    /// unnamed one its /proc/self/fd entry); empty when writing in place.
    const std::string& TemporaryPath() const { return tempPath_; }
    /// Whether the temporary file is unnamed (O_TMPFILE).
    bool TemporaryFileUnnamed() const { return unnamed_; }

    /// Makes the writers created from now on use named temporary files, as
    /// on file systems without unnamed ones (true), or unnamed ones where the
    /// system has them (false, the default). For tests of the named files.
    static void UseNamedTemporaryFiles(bool named);

    /// Whether whole blocks go to the disk by direct I/O right now.
    bool WritesDirectly() const { return direct_ != nullptr; }

  private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    class DirectWrites;
    void Flush();
    void WriteBytes(std::string_view bytes);
    void WriteAll(const char* bytes, std::size_t size);
    void LinkUnnamed();
    void WriteStaged(std::string_view bytes);
    void LeaveDirect();
    [[noreturn]] void Fail(const std::string& what);
    void Discard();

    std::string target_;     // the file the user named
    std::string name_;       // how messages name it: quoted, or "the standard output"
    std::string finalPath_;  // where the rename goes (a symlink resolved)
    std::string tempPath_;
    int tempSlot_ = -1;  // where the signal handlers find tempPath_
    int fd_ = -1;
    bool unnamed_ = false;  // tempPath_ is the /proc entry of an O_TMPFILE file
    bool inPlace_ = false;  // written straight into the target
    bool lfLineEnds_ = false;
    bool pendingCr_ = false;          // a CR held back until the next byte is known
    std::uint64_t linesWritten_ = 0;  // LFs that reached a target written in place
    bool partialLine_ = false;        // and bytes after the last of them
    std::string buffer_;
    std::unique_ptr<DirectWrites> direct_;  // while direct I/O is on
    static constexpr std::uint64_t kSyncStep = std::uint64_t{8} << 20;
    std::uint64_t written_ = 0;      // bytes handed to the system
    std::uint64_t syncStarted_ = 0;  // bytes whose disk write has been started
};

/// Refuses (FileWriteError) a target that SafeFileWriter would refuse, without
/// creating anything: for questions asked before a run ("the output is the data
/// file", "the output is read-only").
void CheckOutputTarget(const std::string& targetPath, std::optional<FileIdentity> protect);

}  // namespace utm
