#include "mainwindow/BatchConversion.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "common/FastNumberFormat.h"
#include "common/FileIO.h"
#include "common/NumberFormat.h"
#include "common/NumericText.h"
#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/Declaration.h"

namespace utm {

namespace {

constexpr const char* kNothingWritten = " Nothing was written.";

BatchRunResult Failure(MessageBoxPort& messages, const std::string& message) {
    messages.Inform(message);
    BatchRunResult result;
    result.status = BatchRunResult::Status::Failed;
    result.message = message;
    return result;
}

/// Room for one output line: four numbers, three TABs, CR LF.
constexpr std::size_t kMaxLineLength = 4 * kMaxGeneralTextLength + 5;
/// Lines are gathered into blocks of about this size before they are written.
constexpr std::size_t kBlockSize = 1 << 20;

/// Writes the start of one output line at `out`: the two inputs in general
/// form, each followed by a TAB. Returns the end.
char* WriteInputs(char* out, double first, double second, char decimalSeparator) {
    out = WriteGeneral(out, first, decimalSeparator);
    *out++ = '\t';
    out = WriteGeneral(out, second, decimalSeparator);
    *out++ = '\t';
    return out;
}

}  // namespace

std::string Browse(CommonDialog& dialog, MessageBoxPort& messages, dataload& loader,
                   const std::function<void(const std::string&)>& showPath) {
    dialog.Filter = kBrowseFilter;
    dialog.DialogTitle = kBrowseTitle;
    try {
        dialog.ShowOpen();
    } catch (const std::exception&) {
        return {};  // a failing dialog ends the command without a message
    }
    const std::string path = dialog.FileName;
    if (path.empty()) {
        messages.Inform("Select the data file");
        return {};
    }
    if (showPath) showPath(path);
    loader.ReadData(path);
    messages.Inform("No of Data = " + std::to_string(loader.Columns().DataCount));
    return path;
}

BatchRunResult ConvertDataFile(const ConvertDataFileRequest& request, dataload& loader,
                               MessageBoxPort& messages) {
    Declaration::SharedCM = DegreesToRadians(Val(request.CentralMeridianText));
    BatchColumns& columns = loader.Columns();
    const std::string& dataPath = request.DataFilePath;

    // Read the whole data file before the output is opened, so that writing
    // over the data file loses no input.
    {
        const std::optional<std::string> bytes = ReadWholeFile(dataPath);
        if (!bytes) {
            loader.Reset();
            if (dataPath.empty() || dataPath == kNoDataFileText) {
                return Failure(messages,
                               std::string("No data file has been chosen: use Browse to choose "
                                           "one.") +
                                   kNothingWritten);
            }
            return Failure(
                messages, "The data file \"" + dataPath + "\" cannot be opened." + kNothingWritten);
        }
        loader.ReadBytes(*bytes);
    }
    const std::size_t count = columns.DataCount;
    if (count == 0) {
        loader.Reset();
        return Failure(messages,
                       "The data file \"" + dataPath + "\" holds no points." + kNothingWritten);
    }
    columns.ResultFirst.Recreate(count);
    columns.ResultSecond.Recreate(count);

    if (dataPath == request.OutputPath) {
        const MsgAnswer answer = messages.Show("Do you want to overwrite file.", MsgButtons::YesNo,
                                               MsgIcon::None, "Confirmation");
        if (answer != MsgAnswer::Yes) {
            BatchRunResult result;
            result.status = BatchRunResult::Status::Declined;
            return result;
        }
    }

    const char separator = request.DecimalSeparator;
    std::size_t i = 1;
    try {
        SafeFileWriter writer(request.OutputPath);
        writer.Write(kOutputHeader);
        writer.Write("\r\n");
        const std::unique_ptr<char[]> block(new char[kBlockSize + kMaxLineLength]);
        char* const blockEnd = block.get() + kBlockSize;
        char* out = block.get();
        for (; i <= count; ++i) {
            const double first = columns.DataFirst(i);
            const double second = columns.DataSecond(i);
            double resultFirst = 0.0;
            double resultSecond = 0.0;
            if (request.Direction == ConversionDirection::LatLongToXY) {
                ConvertLatLongToXY(DegreesToRadians(first), DegreesToRadians(second));
                resultFirst = Declaration::SharedX;
                resultSecond = Declaration::SharedY;
            } else if (request.Direction == ConversionDirection::XYToLatLong) {
                ConvertXYToLatLong(first, second);
                resultFirst = RadiansToDegrees(Declaration::SharedLat);
                resultSecond = RadiansToDegrees(Declaration::SharedLong);
            }
            out = WriteInputs(out, first, second, separator);
            if (request.FullPrecision) {
                out = WriteGeneral(out, resultFirst, separator);
                *out++ = '\t';
                out = WriteGeneral(out, resultSecond, separator);
            } else {
                // Each result is rounded through "##.000" and written as the
                // number read back.
                out = WriteRoundedFixed3(out, resultFirst, separator, resultFirst);
                *out++ = '\t';
                out = WriteRoundedFixed3(out, resultSecond, separator, resultSecond);
            }
            *out++ = '\r';
            *out++ = '\n';
            columns.ResultFirst(i) = resultFirst;
            columns.ResultSecond(i) = resultSecond;
            if (out >= blockEnd) {
                writer.Write(
                    std::string_view(block.get(), static_cast<std::size_t>(out - block.get())));
                out = block.get();
            }
        }
        writer.Write(std::string_view(block.get(), static_cast<std::size_t>(out - block.get())));
        writer.Commit();
    } catch (const FileWriteError& e) {
        loader.Reset();
        return Failure(messages, std::string(e.what()) + "." + kNothingWritten);
    } catch (const ArithmeticError&) {
        const std::string values = FormatGeneral(columns.DataFirst(i), separator) + "; " +
                                   FormatGeneral(columns.DataSecond(i), separator);
        loader.Reset();
        // Name the line the point's first number came from.
        std::size_t line = i;
        if (const std::optional<std::string> bytes = ReadWholeFile(dataPath)) {
            if (const std::size_t found = LineOfPoint(*bytes, i); found != 0) line = found;
        }
        return Failure(messages, "Line " + std::to_string(line) + " of the data file \"" +
                                     dataPath +
                                     "\" cannot be converted: the projection gives no "
                                     "finite result for " +
                                     values + "." + kNothingWritten);
    }
    loader.Reset();
    BatchRunResult result;
    result.status = BatchRunResult::Status::Written;
    result.pointCount = count;
    return result;
}

BatchRunResult ConvertMultipleData(const MultipleDataRequest& request, CommonDialog& dialog,
                                   MessageBoxPort& messages, dataload& loader,
                                   const std::string& initialFolder) {
    dialog.Filter = kSaveFilter;
    dialog.DialogTitle = kSaveTitle;
    dialog.InitDir = initialFolder;
    dialog.ShowSave();
    if (dialog.FileName.empty()) {
        messages.Inform("Type the File Name");
        BatchRunResult result;
        result.status = BatchRunResult::Status::NoFileName;
        return result;
    }
    ConvertDataFileRequest run;
    run.CentralMeridianText = request.CentralMeridianText;
    run.DataFilePath = request.DataFilePath;
    run.OutputPath = dialog.FileName;
    run.Direction = request.Direction;
    run.DecimalSeparator = request.DecimalSeparator;
    return ConvertDataFile(run, loader, messages);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

}  // namespace utm
