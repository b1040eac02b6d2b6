// Reading a whole file at once, and writing a file so that it is either
// complete or not there: the bytes go to a temporary file in the target's
// folder, which is renamed over the target only when everything was written.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace utm {

/// The whole content of the file at `path`, or nothing when it cannot be opened
/// or read (missing, a folder, no permission).
std::optional<std::string> ReadWholeFile(const std::string& path);

/// A file could not be created, written or put in place. The message names the path.
class FileWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Writes a file through a temporary file beside it. Until Commit() the target
/// is untouched; Commit() renames the temporary file over the target (through a
/// symbolic link to the file it points to) and keeps the target's permissions
/// when it existed. Destroying the writer without a successful Commit() removes
/// the temporary file, so a failure never leaves a half-written file behind.
/// A target that exists but is no regular file (a device, a named pipe) is
/// written in place instead, so that the device or pipe itself survives.
/// Small writes are gathered and handed to the system in large blocks.
class SafeFileWriter {
  public:
    /// Creates the temporary file. Throws FileWriteError naming `targetPath`
    /// when the folder does not exist or cannot be written.
    explicit SafeFileWriter(const std::string& targetPath);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Appends bytes. Throws FileWriteError when the system refuses them (disk full).
    void Write(std::string_view bytes);

    /// Writes what is buffered, closes the file and renames it over the target. Throws
    /// FileWriteError naming the target on failure (the target then keeps its previous content).
    void Commit();

  private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    void Flush();
    void WriteAll(const char* bytes, std::size_t size);
    [[noreturn]] void Fail(const std::string& what);
    void Discard();

    std::string target_;     // the file the user named
    std::string finalPath_;  // where the rename goes (a symlink resolved)
    std::string tempPath_;
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace utm
