// The one reader of every data file: the main window's batch conversion and
// Browse, the transfer window and utmconv read through it. It hands out whole
// lines, a block of them at a time, so that memory stays the same whatever the
// size of the file, and it refuses what is no text file of numbers before any
// of it is taken for numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/FileIO.h"
#include "common/OperationError.h"

namespace utm {

/// Reads a data file block by block. A block holds one or more complete
/// lines with their line ends (CR LF, CR alone or LF alone); only the last
/// block may end without a line end.
///
/// - A UTF-8 byte-order mark at the start is skipped.
/// - A file that starts with a UTF-16 byte-order mark, or holds a NUL byte
///   anywhere (UTF-16 or UTF-32 text, a binary file, /dev/zero), is refused
///   with OperationError: "... is not a text file of numbers".
/// - A line longer than kMaxLineLength is refused the same way, so that a
///   file without line ends cannot fill the memory.
/// - A regular file that changes size while it is read (another program
///   appending to it or cutting it) is refused with OperationError, since
///   its lines would be a mix of two versions.
///
/// kStandardInput reads descriptor 0 from where it stands (a pipe, a
/// socket, a file the shell has already read in part); messages call it
/// "the standard input".
class DataFileReader {
  public:
    /// Bytes handed out per block (about).
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    /// The longest line accepted; a line of two numbers has less than 100 bytes.
    static constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

    /// Opens the file. Throws OperationError, with the reason, when it is
    /// missing, a folder or cannot be read; `what` names it in messages ("The
    /// data file").
    explicit DataFileReader(const std::string& path, std::string what = "The data file");
    ~DataFileReader();
    DataFileReader(const DataFileReader&) = delete;
    DataFileReader& operator=(const DataFileReader&) = delete;

    /// The next block of complete lines into `block` (its old content is
    /// replaced); false at the end of the file. Throws OperationError when the
    /// file turns out not to be text or cannot be read further.
    bool NextBlock(std::string& block);

    /// The first bytes of the file (about kBlockSize, the byte-order mark
    /// skipped) without handing them out: NextBlock still starts there. For
    /// finding the layout of a table before its rows are read.
    std::string_view Peek();
    /// True when what Peek() shows is the whole (rest of the) file.
    bool PeekIsWhole() const { return atEnd_; }

    /// The file the reader has open: an output must not be this file.
    FileIdentity Identity() const { return identity_; }
    const std::string& Path() const { return path_; }
    /// The size of the file in bytes; 0 when unknown (a pipe).
    std::uint64_t Size() const { return size_; }
    /// Bytes handed out so far (the skipped byte-order mark included).
    std::uint64_t Consumed() const { return consumed_; }
    /// The part of the file handed out, 0 to 1; 0 when the size is unknown.
    double Done() const;

  private:
    /// Reads until the buffer holds kBlockSize bytes or the file ends.
    void Fill();
    [[noreturn]] void NotText(const std::string& why) const;
    /// Throws OperationError when a regular file has grown past its size, or,
    /// `atEnd`, ended at another size than it had when opened.
    void CheckUnchanged(bool atEnd) const;

    std::string path_;
    std::string what_;
    std::string name_;  // the start of messages: what_ and the quoted path
    bool regular_ = false;
    std::uint64_t fileSize_ = 0;  // of a regular file when opened
    std::uint64_t read_ = 0;      // bytes read from the descriptor
    int fd_ = -1;
    FileIdentity identity_;
    std::uint64_t size_ = 0;
    std::uint64_t consumed_ = 0;
    bool atStart_ = true;
    bool atEnd_ = false;
    std::string buffer_;  // bytes read and not yet handed out
};

/// Splits `line` at every `delimiter`: the first `max` fields go to `fields`.
/// Returns the number of fields of the line (which may exceed `max`); an empty
/// line has one empty field.
std::size_t SplitFields(std::string_view line, char delimiter, std::string_view* fields,
                        std::size_t max);

}  // namespace utm
