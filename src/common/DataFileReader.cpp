#include "common/DataFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/RunReport.h"

namespace utm {

namespace {

/// Why a file could not be opened, for "... cannot be opened: REASON."
std::string OpenFailure(int error) {
    switch (error) {
        case ENOENT:
            return "it does not exist";
        case ENOTDIR:
            return "a part of its path is no folder";
        case EACCES:
        case EPERM:
            return "you have no permission to read it";
        case EBADF:
            return "it is closed";
        default:
            return std::strerror(error);
    }
}

}  // namespace

DataFileReader::DataFileReader(const std::string& path, std::string what)
    : path_(path), what_(std::move(what)) {
    // Messages start with the name: "The data file "pts.csv" ...".
    name_ = path_ == kStandardInput ? std::string("The standard input")
                                    : what_ + " " + QuotedText(path_);
    int error = ENOENT;
    if (path_ == kStandardInput) {
        // Descriptor 0 as the shell left it: a pipe, a socket, or a file
        // read on from where it stands (opening /dev/stdin again would start
        // a file over at its first byte, and fails for a socket).
        fd_ = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) error = errno;
    } else if (!path_.empty()) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) error = errno;
    }
    if (fd_ < 0) {
        throw OperationError(name_ + " cannot be opened: " + OpenFailure(error) + ".");
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw OperationError(name_ + " cannot be opened: it is a folder.");
    }
    identity_ = FileIdentity{st.st_dev, st.st_ino};
    regular_ = S_ISREG(st.st_mode);
    if (regular_) {
        // The bytes from where the descriptor stands to the end: all of a
        // file opened here, the rest of a standard input already read in part.
        const off_t at = ::lseek(fd_, 0, SEEK_CUR);
        const off_t from = at > 0 && at <= st.st_size ? at : 0;
        size_ = static_cast<std::uint64_t>(st.st_size - from);
        fileSize_ = static_cast<std::uint64_t>(st.st_size);
    }
    buffer_.reserve(kBlockSize);
}

void DataFileReader::CheckUnchanged(bool atEnd) const {
    if (!regular_) return;
    // More bytes than the file had, or the end reached early or at a size
    // that is no longer the file's: another program is writing or cutting it.
    struct stat st {};
    const bool grown = read_ > size_;
    const bool changed = atEnd && (read_ != size_ || ::fstat(fd_, &st) != 0 ||
                                   static_cast<std::uint64_t>(st.st_size) != fileSize_);
    if (grown || changed) {
        throw OperationError(name_ +
                             " changed while it was read (another program wrote to it or cut it "
                             "short): run again once it is complete.");
    }
}

DataFileReader::~DataFileReader() {
    if (fd_ >= 0) ::close(fd_);
}

double DataFileReader::Done() const {
    if (size_ == 0) return 0.0;
    const double done = static_cast<double>(consumed_) / static_cast<double>(size_);
    return done < 1.0 ? done : 1.0;
}

void DataFileReader::NotText(const std::string& why) const {
    throw OperationError(name_ + " is not a text file of numbers: " + why + ".");
}

void DataFileReader::Fill() {
    const std::size_t before = buffer_.size();
    while (!atEnd_ && buffer_.size() < kBlockSize) {
        const std::size_t used = buffer_.size();
        buffer_.resize(kBlockSize);
        const ssize_t n = ::read(fd_, buffer_.data() + used, kBlockSize - used);
        if (n < 0) {
            const int error = errno;
            buffer_.resize(used);
            if (error == EINTR) continue;
            throw OperationError(name_ + " cannot be read: " + std::strerror(error) + ".");
        }
        buffer_.resize(used + static_cast<std::size_t>(n));
        read_ += static_cast<std::uint64_t>(n);
        if (n == 0) atEnd_ = true;
        CheckUnchanged(atEnd_);
    }
    std::size_t checkFrom = before;
    if (atStart_ && (buffer_.size() >= 3 || atEnd_)) {
        atStart_ = false;
        const auto byte = [&](std::size_t i) {
            return i < buffer_.size() ? static_cast<unsigned char>(buffer_[i]) : 0x100u;
        };
        if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)) {
            NotText("it is UTF-16 text (save it as UTF-8 or plain text)");
        }
        if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
            // The UTF-8 byte-order mark that spreadsheet programs put before
            // "CSV UTF-8": not part of the first number.
            buffer_.erase(0, 3);
            consumed_ += 3;
            checkFrom = 0;
        }
    }
    if (checkFrom < buffer_.size() &&
        std::memchr(buffer_.data() + checkFrom, '\0', buffer_.size() - checkFrom) != nullptr) {
        NotText("it holds NUL bytes (UTF-16 or binary data)");
    }
}

std::string_view DataFileReader::Peek() {
    Fill();
    return buffer_;
}

bool DataFileReader::NextBlock(std::string& block) {
    Fill();
    if (buffer_.empty()) return false;
    std::size_t cut = buffer_.size();
    if (!atEnd_) {
        // Up to the last line end that is certainly complete: an LF, or a CR
        // whose next byte is known (not an LF, as there is none after it).
        cut = buffer_.rfind('\n');
        if (cut == std::string::npos && buffer_.size() >= 2) {
            cut = buffer_.rfind('\r', buffer_.size() - 2);
        }
        if (cut == std::string::npos) {
            NotText("it has a line longer than " + std::to_string(kMaxLineLength) + " bytes");
        }
        ++cut;
    }
    // The caller's string takes the whole buffer, and the reader keeps only
    // the bytes after the cut (a line not yet complete), in the caller's old
    // string: the block itself is not copied.
    block.swap(buffer_);
    buffer_.assign(block, cut, std::string::npos);
    block.resize(cut);
    consumed_ += cut;
    return true;
}

std::size_t SplitFields(std::string_view line, char delimiter, std::string_view* fields,
                        std::size_t max) {
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(delimiter, start);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (count < max) fields[count] = line.substr(start, stop - start);
        ++count;
        if (end == std::string_view::npos) return count;
        start = end + 1;
    }
}

}  // namespace utm
