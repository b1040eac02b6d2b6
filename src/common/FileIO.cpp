#include "common/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace utm {

namespace {

std::string SystemError(int error) {
    return std::strerror(error);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content;
    // Regular files are read in one go; others (pipes) grow as they come.
    std::size_t capacity = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 65536;
    content.resize(capacity);
    std::size_t used = 0;
    for (;;) {
        if (used == content.size()) content.resize(content.size() * 2);
        const ssize_t n = ::read(fd, content.data() + used, content.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    content.resize(used);
    return content;
}

SafeFileWriter::SafeFileWriter(const std::string& targetPath) : target_(targetPath) {
    namespace fs = std::filesystem;
    if (target_.empty()) throw FileWriteError("No output file name given");
    // Write through a symbolic link to the file it names, so the link survives.
    finalPath_ = target_;
    std::error_code ec;
    if (fs::is_symlink(fs::path(target_), ec)) {
        const fs::path resolved = fs::weakly_canonical(fs::path(target_), ec);
        if (!ec) finalPath_ = resolved.string();
    }
    const fs::path finalPath(finalPath_);
    if (fs::is_directory(finalPath, ec)) {
        throw FileWriteError("Cannot write \"" + target_ + "\": it is a folder");
    }
    // A target that exists but is no regular file (a device such as /dev/null,
    // a named pipe) is written in place: renaming a file over it would replace
    // the device or pipe itself with an ordinary file.
    struct stat targetStat {};
    const bool targetExists = ::stat(finalPath_.c_str(), &targetStat) == 0;
    if (targetExists && !S_ISREG(targetStat.st_mode)) {
        fd_ = ::open(finalPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) {
            const int error = errno;
            throw FileWriteError("Cannot write \"" + target_ + "\": " + SystemError(error));
        }
        buffer_.reserve(kBlockSize + 4096);
        return;
    }
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
        throw FileWriteError("Cannot create \"" + target_ + "\": " + SystemError(error));
    }
    tempPath_ = name.data();
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
    if (fd_ < 0) Fail("Cannot write \"" + target_ + "\": the file is closed");
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            Fail("Cannot write \"" + target_ + "\": " + SystemError(error));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

void SafeFileWriter::Commit() {
    Flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        Fail("Cannot write \"" + target_ + "\": " + SystemError(error));
    }
    if (tempPath_.empty()) return;  // written in place
    if (::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        const int error = errno;
        Fail("Cannot replace \"" + target_ + "\": " + SystemError(error));
    }
    tempPath_.clear();
}

}  // namespace utm
