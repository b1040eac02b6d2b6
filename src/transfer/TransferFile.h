// The file transfer of the transfer window: a data file of (X, Y) pairs is
// read, every pair is moved by the chosen transfer, and a result file beside
// the data file receives X, Y, X' and Y' per line.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "mainwindow/MessageBoxPort.h"
#include "transfer/PointBlock.h"

namespace utm {

/// CSV mode (comma-separated, result "Out.csv") or text mode (tab-separated,
/// result "Out.txt").
enum class DataFileMode { Csv, Text };

/// CSV mode when the last three characters of `path` are "CSV" in any letter
/// case, else text mode.
DataFileMode ModeOfPath(std::string_view path);

/// The field delimiter of a mode: a comma or a tab.
char DelimiterOf(DataFileMode mode);

/// The result file of a data file: its path without the last four characters,
/// then "Out.csv" (CSV mode) or "Out.txt" (text mode). Nothing when the path
/// has fewer than four characters (characters, not bytes, of a UTF-8 path).
std::optional<std::string> ResultFilePath(std::string_view dataPath);

/// The point block of a data file's content: one row per line (CR LF, CR and
/// LF each end a line), each from SplitPointLine with the mode's delimiter.
/// Text-mode fields are read with `decimalSeparator`, CSV fields with "."
/// (a decimal comma would split a CSV field).
PointBlock ReadPointBlock(std::string_view content, DataFileMode mode, char decimalSeparator);

/// Appends the result-file line of one row, ended by CR LF. CSV mode: the four
/// values in general form with "." separated by commas, an empty result cell
/// written as nothing. Text mode: each value as a sign position (blank or "-"),
/// the general form with `decimalSeparator`, then one blank; the values follow
/// each other directly; an empty result cell is written as nothing.
void AppendResultLine(std::string& out, const PointRow& point, const ResultRow& result,
                      DataFileMode mode, char decimalSeparator);

/// The whole result file of a block (used by tests and small callers).
std::string FormatResultFile(const PointBlock& points, const ResultBlock& results,
                             DataFileMode mode, char decimalSeparator);

/// A file transfer that could not be done; the message says what and where and
/// that no result file was written.
class TransferFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Transfers the data file `dataPath` into `resultPath` with the transfer at
/// list position `kind` (-1: the result columns stay empty). The mode comes
/// from `dataPath`. The result file appears complete or not at all: an
/// existing one is replaced only when the new one is fully written. Throws
/// TransferFileError when the data file cannot be read or holds no lines, a
/// point cannot be transferred (naming its line) or the result file cannot be
/// written. Returns the number of lines written.
std::size_t TransferFile(const std::string& dataPath, const std::string& resultPath, int kind,
                         char decimalSeparator = '.');

enum class FileTransferStatus {
    Skipped,  ///< no path, or no file at the path: nothing done, no message
    Written,  ///< the result file was written
    Failed,   ///< a message told the user why; no result file was written
};

struct FileTransferOutcome {
    FileTransferStatus status = FileTransferStatus::Skipped;
    std::string resultPath;  ///< set when a result path could be formed
    std::size_t lines = 0;   ///< lines written
};

/// The OK command's file transfer for the path typed in the window: skipped
/// silently without a path or a file at it; else the result file beside the
/// data file is written. Every failure is shown through `messages` (OK button,
/// application title).
FileTransferOutcome TransferDataFile(const std::string& dataPath, int kind, char decimalSeparator,
                                     MessageBoxPort& messages);

}  // namespace utm
