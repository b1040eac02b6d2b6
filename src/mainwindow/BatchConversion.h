// The Browse command and the batch conversion of the main window ("Multiple
// Data"): a data file of points converted into a tab-separated output file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "mainwindow/ConversionDirection.h"
#include "mainwindow/DataLoad.h"
#include "mainwindow/FileDialogPort.h"
#include "mainwindow/MessageBoxPort.h"

namespace utm {

inline constexpr const char* kBrowseFilter =
    "*.csv (Excel Files)|*.csv|*.txt (Text Files)|*.txt|*.rtf (Richtextformat Files)|*.rtf|"
    "*.doc (Word Files)|*.doc|*.xls (Excel File)|*.xls";
inline constexpr const char* kBrowseTitle = "Select the data file for Sorting";
inline constexpr const char* kSaveFilter =
    "*.xls(Excel Files)|*.xls|*.txt(Text Files)|*.txt|*.rtf(Richtextformat Files)|*.rtf|"
    "*.doc(Word Files)|*.doc";
inline constexpr const char* kSaveTitle = "Save the file for Output";
/// The initial text of `Text6`, before any file was browsed.
inline constexpr const char* kNoDataFileText = "Load data file";
/// Header line of every output file (without its CR LF).
inline constexpr const char* kOutputHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)";

/// The Browse command (`Command1_Click`, `mnubrowse_Click`): shows `dialog` as
/// an Open dialog with the data-file filter and title, reads the chosen file
/// with `loader` and shows "No of Data = N". `showPath` receives the chosen
/// path before the file is read, so `Text6` names it while the count is shown.
/// Returns the path, or an empty text when no file name was chosen (after the
/// message "Select the data file") or the dialog failed (no message); `Text6`
/// then stays as it was.
std::string Browse(CommonDialog& dialog, MessageBoxPort& messages, dataload& loader,
                   const std::function<void(const std::string&)>& showPath = {});

/// How a batch run ended.
struct BatchRunResult {
    enum class Status {
        Written,     ///< the output file was written
        NoFileName,  ///< the save dialog gave no name ("Type the File Name" shown)
        Declined,    ///< No to the overwrite question: nothing written
        Failed,      ///< nothing written; `message` was shown
    };
    Status status = Status::Failed;
    std::string message;         ///< the failure message shown, when Failed
    std::size_t pointCount = 0;  ///< points written, when Written
};

/// One batch run on an output path already chosen.
struct ConvertDataFileRequest {
    std::string CentralMeridianText;  ///< `Text1`, read with Val (no numeric test; empty gives 0)
    std::string DataFilePath;         ///< `Text6`
    std::string OutputPath;           ///< the save dialog's file name
    ConversionDirection Direction = ConversionDirection::LatLongToXY;
    char DecimalSeparator = '.';  ///< of the numbers written; the data file always reads "."
    /// Write the results unrounded instead of rounded to three decimals.
    bool FullPrecision = false;
};

/// Converts every point of the data file on the Everest 1830 grid with the
/// given central meridian, through the shared variables of `Declaration`, and
/// writes the output file: the header line, then per point the two inputs and
/// the two results in general form, TAB between fields, CR LF after every line.
/// Results are rounded through "##.000" unless FullPrecision is set; they are
/// kept in `ResultFirst` and `ResultSecond`. With no direction selected the
/// results are written as 0.
///
/// When the output path equals the data-file path (case-sensitive) it first
/// asks "Do you want to overwrite file." (Yes/No, no icon, title
/// "Confirmation"); No ends the run with nothing written.
///
/// The output is written completely to a temporary file beside the target and
/// only then renamed over it: on any failure (no point to convert, the data file
/// cannot be opened, a point the projection cannot compute, the output cannot be
/// created or written) a message is shown, the target and the data file keep
/// their contents and no partial file is left. `loader.Reset()` is called at the
/// end of every run that read the data file, except after No.
BatchRunResult ConvertDataFile(const ConvertDataFileRequest& request, dataload& loader,
                               MessageBoxPort& messages);

/// Convert in "Multiple Data" mode (`Command2_Click`, list index 1).
struct MultipleDataRequest {
    std::string CentralMeridianText;  ///< `Text1`
    std::string DataFilePath;         ///< `Text6`
    ConversionDirection Direction = ConversionDirection::LatLongToXY;
    char DecimalSeparator = '.';
};

/// Shows `dialog` as a Save dialog (output filter and title, initial folder
/// `initialFolder`), shows "Type the File Name" when it gives no name, else runs
/// ConvertDataFile with the dialog's file name as output path.
BatchRunResult ConvertMultipleData(const MultipleDataRequest& request, CommonDialog& dialog,
                                   MessageBoxPort& messages, dataload& loader,
                                   const std::string& initialFolder);

/// The initial folder of the save dialog: the user's home folder ($HOME, else
/// the password database), or "/" when there is none.
std::string HomeFolder();

}  // namespace utm
