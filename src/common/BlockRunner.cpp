#include "common/BlockRunner.h"

#include <array>
#include <exception>
#include <thread>

namespace utm {

namespace {

/// Runs `work` on `in`, keeping what it throws instead of letting it go.
std::exception_ptr RunCaught(const BlockWork& work, std::string_view in, BlockOutput& out) {
    out.bytes.clear();
    out.report = RunReport();
    out.lines = 0;
    try {
        work(in, out);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

}  // namespace

std::size_t RunBlocks(DataFileReader& reader, const BlockWork& work,
                      const std::function<void(std::string_view)>& sink, RunReport& report,
                      const Progress& progress) {
    const bool twoCores = std::thread::hardware_concurrency() >= 2;
    std::array<std::string, 2> in;
    std::array<BlockOutput, 2> out;
    std::array<std::exception_ptr, 2> error;
    std::size_t lines = 0;
    for (bool more = true; more;) {
        std::size_t blocks = 0;
        while (blocks < 2 && (more = reader.NextBlock(in[blocks]))) ++blocks;
        if (blocks == 0) break;
        if (blocks == 2 && twoCores) {
            std::thread second([&] { error[1] = RunCaught(work, in[1], out[1]); });
            error[0] = RunCaught(work, in[0], out[0]);
            second.join();
        } else {
            for (std::size_t i = 0; i < blocks; ++i) error[i] = RunCaught(work, in[i], out[i]);
        }
        for (std::size_t i = 0; i < blocks; ++i) {
            if (error[i]) {
                try {
                    std::rethrow_exception(error[i]);
                } catch (const LineError& e) {
                    throw LineError(lines + e.line(), e.what());
                }
            }
            sink(out[i].bytes);
            report.Merge(out[i].report, lines);
            lines += out[i].lines;
        }
        if (progress && !progress(reader.Done())) throw OperationCancelled("Cancelled");
    }
    return lines;
}

}  // namespace utm
