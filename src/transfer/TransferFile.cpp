#include "transfer/TransferFile.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>
#include <thread>

#include "common/FastNumberFormat.h"
#include "common/FileIO.h"
#include "common/LineReader.h"

namespace utm {

namespace {

constexpr const char* kNothingWritten = " No result file was written.";

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

/// True when `c` starts a character of a UTF-8 text (not a continuation byte).
bool StartsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

/// Writes one value of a text-mode line: the sign position, the digits, one blank.
char* WriteTextValue(char* out, double value, char decimalSeparator) {
    if (!(value < 0)) *out++ = ' ';
    out = WritePlainDecimal(out, value, decimalSeparator);
    *out++ = ' ';
    return out;
}

/// The longest result line: four values with sign position and blank, CR LF.
constexpr std::size_t kMaxLineLength = 4 * (kMaxPlainDecimalTextLength + 2) + 2;

/// Writes the result line of one row at `out` (room for kMaxLineLength).
char* WriteResultLine(char* out, const PointRow& point, const ResultRow& result, DataFileMode mode,
                      char decimalSeparator) {
    if (mode == DataFileMode::Csv) {
        out = WritePlainDecimal(out, point[0]);
        *out++ = ',';
        out = WritePlainDecimal(out, point[1]);
        *out++ = ',';
        if (result[0]) out = WritePlainDecimal(out, *result[0]);
        *out++ = ',';
        if (result[1]) out = WritePlainDecimal(out, *result[1]);
    } else {
        out = WriteTextValue(out, point[0], decimalSeparator);
        out = WriteTextValue(out, point[1], decimalSeparator);
        if (result[0]) out = WriteTextValue(out, *result[0], decimalSeparator);
        if (result[1]) out = WriteTextValue(out, *result[1], decimalSeparator);
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

/// Files from this size on are read, transferred and formatted in two halves,
/// the second half on a second thread when the machine has more than one core.
constexpr std::size_t kParallelBytes = std::size_t{1} << 20;
constexpr std::size_t kParallelRows = 20000;

/// Runs work(0) and work(1), at the same time when `parallel` and the machine
/// has a second core. Errors come back in part order: part 0's first.
template <typename Work>
void RunTwoParts(bool parallel, Work work) {
    if (!parallel || std::thread::hardware_concurrency() < 2) {
        work(0);
        work(1);
        return;
    }
    std::exception_ptr secondError;
    std::thread second([&] {
        try {
            work(1);
        } catch (...) {
            secondError = std::current_exception();
        }
    });
    try {
        work(0);
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (secondError) std::rethrow_exception(secondError);
}

/// The pairs of the lines of `text` into `out` (room for CountLines(text)).
/// One pass finds the line ends (as LineReader: CR LF, CR, LF) and the
/// delimiters of each line together.
void ParseLines(std::string_view text, char delimiter, char decimalSeparator, PointRow* out) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* const lineStart = p;
        const char* firstDelimiter = nullptr;
        int delimiters = 0;
        for (; p < end && *p != '\r' && *p != '\n'; ++p) {
            if (*p == delimiter && delimiters++ == 0) firstDelimiter = p;
        }
        if (delimiters == 1) {
            *out++ = PointFromFields(
                std::string_view(lineStart, static_cast<std::size_t>(firstDelimiter - lineStart)),
                std::string_view(firstDelimiter + 1,
                                 static_cast<std::size_t>(p - firstDelimiter - 1)),
                decimalSeparator);
        } else {
            *out++ = {0.0, 0.0};
        }
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
}

/// Writes the result lines of rows `first` to `last` - 1, handing every
/// megabyte to `sink`.
template <typename Sink>
void WriteResultLines(const PointBlock& points, const ResultBlock& results, std::size_t first,
                      std::size_t last, DataFileMode mode, char decimalSeparator, Sink sink) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    const auto block = std::make_unique<char[]>(kBlock + kMaxLineLength);
    char* p = block.get();
    for (std::size_t i = first; i < last; ++i) {
        p = WriteResultLine(p, points[i], results[i], mode, decimalSeparator);
        if (static_cast<std::size_t>(p - block.get()) >= kBlock) {
            sink(std::string_view(block.get(), static_cast<std::size_t>(p - block.get())));
            p = block.get();
        }
    }
    sink(std::string_view(block.get(), static_cast<std::size_t>(p - block.get())));
}

bool IsExistingFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace

DataFileMode ModeOfPath(std::string_view path) {
    if (path.size() < 3) return DataFileMode::Text;
    const std::string_view tail = path.substr(path.size() - 3);
    const bool csv =
        UpperAscii(tail[0]) == 'C' && UpperAscii(tail[1]) == 'S' && UpperAscii(tail[2]) == 'V';
    return csv ? DataFileMode::Csv : DataFileMode::Text;
}

char DelimiterOf(DataFileMode mode) {
    return mode == DataFileMode::Csv ? ',' : '\t';
}

std::optional<std::string> ResultFilePath(std::string_view dataPath) {
    // Walk back four characters, each possibly several bytes long.
    std::size_t end = dataPath.size();
    for (int removed = 0; removed < 4; ++removed) {
        if (end == 0) return std::nullopt;
        --end;
        while (end > 0 && !StartsCharacter(dataPath[end])) --end;
    }
    std::string result(dataPath.substr(0, end));
    result += ModeOfPath(dataPath) == DataFileMode::Csv ? "Out.csv" : "Out.txt";
    return result;
}

PointBlock ReadPointBlock(std::string_view content, DataFileMode mode, char decimalSeparator) {
    // Two halves split after a line feed, which always ends a line.
    std::size_t split = content.size();
    if (content.size() >= kParallelBytes) {
        const std::size_t lf = content.find('\n', content.size() / 2);
        if (lf != std::string_view::npos) split = lf + 1;
    }
    const std::string_view halves[2] = {content.substr(0, split), content.substr(split)};
    const std::size_t firstCount = CountLines(halves[0]);
    PointBlock points(firstCount + CountLines(halves[1]));
    const char delimiter = DelimiterOf(mode);
    // A CSV field cannot hold a decimal comma (it would split the field), so
    // CSV files are read with "." as their result files are written.
    const char separator = mode == DataFileMode::Csv ? '.' : decimalSeparator;
    RunTwoParts(split < content.size(), [&](int half) {
        ParseLines(halves[half], delimiter, separator,
                   points.data() + (half == 0 ? 0 : firstCount));
    });
    return points;
}

void AppendResultLine(std::string& out, const PointRow& point, const ResultRow& result,
                      DataFileMode mode, char decimalSeparator) {
    char line[kMaxLineLength];
    const char* end = WriteResultLine(line, point, result, mode, decimalSeparator);
    out.append(line, static_cast<std::size_t>(end - line));
}

std::string FormatResultFile(const PointBlock& points, const ResultBlock& results,
                             DataFileMode mode, char decimalSeparator) {
    std::string out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        AppendResultLine(out, points[i], results.at(i), mode, decimalSeparator);
    }
    return out;
}

std::size_t TransferFile(const std::string& dataPath, const std::string& resultPath, int kind,
                         char decimalSeparator) {
    if (!IsExistingFile(dataPath)) {
        throw TransferFileError("There is no data file " + Quoted(dataPath) + "." +
                                kNothingWritten);
    }
    std::optional<std::string> content = ReadWholeFile(dataPath);
    if (!content) {
        throw TransferFileError("The data file " + Quoted(dataPath) + " cannot be read." +
                                kNothingWritten);
    }
    const DataFileMode mode = ModeOfPath(dataPath);
    const PointBlock points = ReadPointBlock(*content, mode, decimalSeparator);
    content.reset();  // the text is no longer needed: keep the peak memory down
    if (points.empty()) {
        throw TransferFileError("The data file " + Quoted(dataPath) + " holds no lines." +
                                kNothingWritten);
    }

    const std::size_t n = points.size();
    const bool parallel = n >= kParallelRows;
    const std::size_t middle = parallel ? n / 2 : n;
    ResultBlock results(n);
    try {
        RunTwoParts(parallel, [&](int half) {
            TransferPointRows(kind, points, half == 0 ? 0 : middle, half == 0 ? middle : n,
                              results);
        });
    } catch (const PointTransferError& e) {
        throw TransferFileError("Line " + std::to_string(e.row() + 1) + " of the data file " +
                                Quoted(dataPath) + ": " + e.what() + "." + kNothingWritten);
    }

    try {
        SafeFileWriter writer(resultPath);
        // The first half goes to the file while the second half is formatted
        // into memory, then follows.
        std::string secondHalf;
        RunTwoParts(parallel, [&](int half) {
            if (half == 0) {
                WriteResultLines(points, results, 0, middle, mode, decimalSeparator,
                                 [&](std::string_view bytes) { writer.Write(bytes); });
            } else {
                secondHalf.reserve((n - middle) * 64);
                WriteResultLines(points, results, middle, n, mode, decimalSeparator,
                                 [&](std::string_view bytes) { secondHalf.append(bytes); });
            }
        });
        writer.Write(secondHalf);
        writer.Commit();
    } catch (const FileWriteError& e) {
        std::string message = e.what();
        if (!message.empty() && message.back() != '.') message.push_back('.');
        throw TransferFileError(message + kNothingWritten);
    }
    return points.size();
}

FileTransferOutcome TransferDataFile(const std::string& dataPath, int kind, char decimalSeparator,
                                     MessageBoxPort& messages) {
    FileTransferOutcome outcome;
    if (dataPath.empty() || !IsExistingFile(dataPath)) return outcome;

    const std::optional<std::string> resultPath = ResultFilePath(dataPath);
    if (!resultPath) {
        outcome.status = FileTransferStatus::Failed;
        messages.Inform("The data file name " + Quoted(dataPath) +
                        " is too short to name a result file beside it." + kNothingWritten);
        return outcome;
    }
    outcome.resultPath = *resultPath;
    try {
        outcome.lines = TransferFile(dataPath, *resultPath, kind, decimalSeparator);
        outcome.status = FileTransferStatus::Written;
    } catch (const TransferFileError& e) {
        outcome.status = FileTransferStatus::Failed;
        messages.Inform(e.what());
    }
    return outcome;
}

}  // namespace utm
