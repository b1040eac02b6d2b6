#include "common/BlockRunner.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace utm {

namespace {

/// Two workers share one run. Each takes the next block from the reader
/// (one at a time, in file order), works on it while the other reads, works
/// or writes, and then waits for its turn to hand its output on, so the
/// output keeps the file's order. The calling thread is one of the workers
/// and the only one that reports progress, so a progress callback may touch
/// the user interface.
class Pipeline {
  public:
    Pipeline(DataFileReader& reader, const BlockWork& work,
             const std::function<void(std::string_view)>& sink, RunReport& report,
             const Progress& progress)
        : reader_(reader), work_(work), sink_(sink), report_(report), progress_(progress) {}

    std::size_t Run() {
        std::thread helper;
        if (std::thread::hardware_concurrency() >= 2) helper = std::thread([this] { Work(false); });
        Work(true);
        if (helper.joinable()) helper.join();
        if (error_) std::rethrow_exception(error_);
        // The last block may have been the helper's: the caller says the end.
        ReportProgress();
        return lines_;
    }

  private:
    void Work(bool caller) {
        std::string in;
        BlockOutput out;
        for (;;) {
            std::uint64_t sequence = 0;
            std::exception_ptr failure;
            {
                const std::lock_guard<std::mutex> lock(readMutex_);
                if (endOfFile_ || Stopped()) return;
                try {
                    if (!reader_.NextBlock(in)) {
                        // No later block exists: nobody waits for a turn after this.
                        endOfFile_ = true;
                        return;
                    }
                } catch (...) {
                    failure = std::current_exception();
                    endOfFile_ = true;
                }
                sequence = nextRead_++;
            }
            out.bytes.Clear();
            out.report = RunReport();
            out.lines = 0;
            if (!failure) {
                try {
                    work_(in, out);
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            std::unique_lock<std::mutex> lock(writeMutex_);
            turn_.wait(lock, [&] { return nextWrite_ == sequence || error_; });
            if (error_) return;
            if (failure) {
                error_ = WithLineOfFile(failure);
                turn_.notify_all();
                return;
            }
            try {
                sink_(out.bytes.View());
                report_.Merge(out.report, lines_);
                lines_ += out.lines;
                if (caller) ReportProgress();
            } catch (...) {
                error_ = std::current_exception();
            }
            ++nextWrite_;
            turn_.notify_all();
            if (error_) return;
        }
    }

    /// Tells the caller's progress callback how far the run is; false from it
    /// cancels the run.
    void ReportProgress() {
        if (progress_ && !progress_(reader_.Done())) throw OperationCancelled("Cancelled");
    }

    /// A LineError with its line counted in the file instead of the block.
    std::exception_ptr WithLineOfFile(std::exception_ptr failure) const {
        try {
            std::rethrow_exception(failure);
        } catch (const LineError& e) {
            return std::make_exception_ptr(LineError(lines_ + e.line(), e.what()));
        } catch (...) {
            return failure;
        }
    }

    bool Stopped() {
        const std::lock_guard<std::mutex> lock(writeMutex_);
        return error_ != nullptr;
    }

    DataFileReader& reader_;
    const BlockWork& work_;
    const std::function<void(std::string_view)>& sink_;
    RunReport& report_;
    const Progress& progress_;

    std::mutex readMutex_;
    std::uint64_t nextRead_ = 0;
    bool endOfFile_ = false;

    std::mutex writeMutex_;
    std::condition_variable turn_;
    std::uint64_t nextWrite_ = 0;
    std::size_t lines_ = 0;
    std::exception_ptr error_;
};

}  // namespace

void OutputBytes::Grow(std::size_t n) {
    // Doubling keeps the copies few; a block's output settles after the first.
    std::size_t capacity = capacity_ < (1u << 16) ? (1u << 16) : capacity_;
    while (capacity - size_ < n) capacity *= 2;
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ != 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
}

void OutputBytes::Append(std::string_view bytes) {
    char* p = Room(bytes.size());
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    Written(p + bytes.size());
}

std::size_t RunBlocks(DataFileReader& reader, const BlockWork& work,
                      const std::function<void(std::string_view)>& sink, RunReport& report,
                      const Progress& progress) {
    Pipeline pipeline(reader, work, sink, report, progress);
    return pipeline.Run();
}

}  // namespace utm
