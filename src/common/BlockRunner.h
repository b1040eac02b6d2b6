// The engine of every file run: a data file goes through in blocks of whole
// lines (read, parse, convert, format, write), so memory stays the same
// whatever the size of the file. On a machine with two cores two workers take
// blocks in turn, one working while the other reads or writes; the output
// keeps the file's order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/DataFileReader.h"
#include "common/OperationError.h"
#include "common/RunReport.h"

namespace utm {

/// A line that stops the run. Block work throws it with the line counted from
/// 1 within its block; RunBlocks passes it on with the line of the file.
class LineError : public OperationError {
  public:
    LineError(std::size_t line, const std::string& what) : OperationError(what), line_(line) {}
    std::size_t line() const { return line_; }

  private:
    std::size_t line_;
};

/// The output bytes of one block, written straight into a buffer that each
/// worker keeps from block to block: no zero filling and no second copy.
class OutputBytes {
  public:
    /// Makes room for `n` more bytes after those written and returns where
    /// they go (the bytes written so far may move).
    char* Room(std::size_t n) {
        if (capacity_ - size_ < n) Grow(n);
        return data_.get() + size_;
    }
    /// Marks the bytes up to `end`, within the last room, as written.
    void Written(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void Append(std::string_view bytes);
    void Clear() { size_ = 0; }
    std::string_view View() const { return {data_.get(), size_}; }

  private:
    void Grow(std::size_t n);

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

/// Lines written straight into an OutputBytes: the writer keeps its own
/// position and hands it in after every line; a new room of at least
/// `roomSize` bytes is taken once fewer than `maxLine` bytes are left, or
/// fewer than a long row asks for.
class LineRooms {
  public:
    LineRooms(OutputBytes& bytes, std::size_t roomSize, std::size_t maxLine)
        : bytes_(bytes), roomSize_(roomSize), maxLine_(maxLine) {}

    /// Where the first line goes.
    char* Start() { return Take(nullptr, roomSize_); }
    /// `p`, or the start of a new room when a line of the longest kind may
    /// no longer fit after `p`.
    char* Flush(char* p) { return p >= flushAt_ ? Take(p, roomSize_) : p; }
    /// `p`, or the start of a new room when `n` bytes more than a line of the
    /// longest kind may no longer fit after `p`.
    char* Need(char* p, std::size_t n) {
        if (p < flushAt_ && static_cast<std::size_t>(flushAt_ - p) >= n) return p;
        return Take(p, std::max(roomSize_, n + 2 * maxLine_));
    }
    /// Marks everything up to `p` as written.
    void Finish(char* p) { bytes_.Written(p); }

  private:
    char* Take(char* p, std::size_t size) {
        if (p != nullptr) bytes_.Written(p);
        char* room = bytes_.Room(size);
        flushAt_ = room + size - maxLine_;
        return room;
    }

    OutputBytes& bytes_;
    std::size_t roomSize_;
    std::size_t maxLine_;
    char* flushAt_ = nullptr;
};

/// What block work makes of one block.
struct BlockOutput {
    OutputBytes bytes;      ///< written to the output in file order
    RunReport report;       ///< line numbers counted from 1 within the block
    std::size_t lines = 0;  ///< the number of lines of the block
};

/// Turns one block of whole lines into output. It is called from two threads
/// at once, on different blocks, so it must not touch shared state.
using BlockWork = std::function<void(std::string_view block, BlockOutput& out)>;

/// Runs every block of `reader` through `work` and hands the outputs to
/// `sink` in file order; findings go into `report` with the lines of the
/// file. Returns the number of lines. Now and then, and at the end,
/// `progress` gets the part of the file read, always on the calling thread;
/// false from it throws OperationCancelled. A LineError from `work` comes out
/// with its line in the file; of two failing blocks, the earlier one's.
std::size_t RunBlocks(DataFileReader& reader, const BlockWork& work,
                      const std::function<void(std::string_view)>& sink, RunReport& report,
                      const Progress& progress);

/// Walks the lines of a block: calls `line(text, number)` for each, without
/// its line end (CR LF, CR or LF), numbered from 1. Returns the number of lines.
template <typename LineFn>
std::size_t ForEachLine(std::string_view block, LineFn&& line) {
    const char* p = block.data();
    const char* const end = p + block.size();
    std::size_t number = 0;
    while (p < end) {
        const char* stop = p;
        while (stop < end && *stop != '\n' && *stop != '\r') ++stop;
        line(std::string_view(p, static_cast<std::size_t>(stop - p)), ++number);
        p = stop;
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
    return number;
}

}  // namespace utm
