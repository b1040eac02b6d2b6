// The Browse command and the batch conversion of the main window ("Multiple
// Data"): a data file of points converted into a tab-separated output file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "common/DataTable.h"
#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"
#include "common/OperationError.h"
#include "common/RunReport.h"
#include "operations/ConversionDirection.h"
#include "operations/DataLoad.h"
#include "operations/LatLongDatum.h"
#include "operations/Units.h"

namespace utm {

/// The Browse and save filters: the text files, then the GIS files.
inline constexpr const char* kBrowseFilter =
    "*.csv (Excel Files)|*.csv|*.txt (Text Files)|*.txt|*.rtf (Richtextformat Files)|*.rtf|"
    "*.doc (Word Files)|*.doc|*.xls (Excel File)|*.xls|"
    "GIS Files (*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf)|"
    "*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf";
inline constexpr const char* kBrowseTitle = "Select the data file for Sorting";
inline constexpr const char* kSaveFilter =
    "*.xls(Excel Files)|*.xls|*.txt(Text Files)|*.txt|*.rtf(Richtextformat Files)|*.rtf|"
    "*.doc(Word Files)|*.doc|"
    "GIS Files (*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf)|"
    "*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf";
/// The entry of kSaveFilter for the tab-separated text the run writes ("*.txt").
inline constexpr int kSaveFilterTextIndex = 2;
inline constexpr const char* kSaveTitle = "Save the file for Output";
/// The initial text of `Text6`, before any file was browsed.
inline constexpr const char* kNoDataFileText = "Load data file";
/// Header line of every output file (without its CR LF).
inline constexpr const char* kOutputHeader = "Latitude\tLongitude\tEasting(X)\tNorthing(Y)";

/// The Browse command (`Command1_Click`, `mnubrowse_Click`): shows `dialog` as
/// an Open dialog with the data-file filter and title, counts the rows of the
/// chosen file that hold points (CountDataRows for `kind` coordinates: blank
/// lines, comments and header rows are not counted) into `loader`'s columns
/// and shows "No of Data = N"; a GIS file (by its ending, see GisFormat.h)
/// counts the features a run converts (CountFeatures). `showPath` receives the chosen
/// path before the file is read, so `Text6` names it while the count is shown.
/// Returns the path, or an empty text when no file name was chosen (after the
/// message "Select the data file") or the dialog failed (no message); `Text6`
/// then stays as it was. A file that cannot be read or is no text file of
/// numbers is named in a message instead of the count.
std::string Browse(CommonDialog& dialog, MessageBoxPort& messages, dataload& loader,
                   const std::function<void(const std::string&)>& showPath = {},
                   CoordinateKind kind = CoordinateKind::LatLong);

/// Browse in three steps, for a window that counts on a worker thread. First
/// the Open dialog: the path chosen, or an empty text when no name was chosen
/// (after "Select the data file") or the dialog failed (no message).
std::string ChooseDataFile(CommonDialog& dialog, MessageBoxPort& messages);
/// Then the count Browse shows for the file at `path`: the features of a GIS
/// file, else the rows that hold `kind` coordinates; 0 for a name typed for a
/// file that does not exist. Touches no port, so it may run on any thread.
/// Throws OperationError when the file cannot be counted, OperationCancelled
/// once `progress` returns false (a GIS file's count does not stop).
std::size_t CountForBrowse(const std::string& path, CoordinateKind kind,
                           const Progress& progress = {});
/// Last, the count into `loader`'s columns and "No of Data = N".
void ShowBrowseCount(MessageBoxPort& messages, dataload& loader, std::size_t count);

/// How a batch run ended.
struct BatchRunResult {
    enum class Status {
        Written,     ///< the output file was written
        NoFileName,  ///< the save dialog gave no name ("Type the File Name" shown)
        Declined,    ///< No to the overwrite question: nothing written
        Failed,      ///< nothing written; `message` was shown
        Cancelled,   ///< stopped by the person; nothing written; `message` was shown
    };
    Status status = Status::Failed;
    std::string message;         ///< the message shown, when Failed or Cancelled
    std::size_t pointCount = 0;  ///< points written, when Written
    RunReport report;            ///< what the run found on its way, when Written
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
    /// Refuse the run (nothing written) at the first field that is not a
    /// number, line without two fields or latitude outside -90 to 90.
    bool Strict = false;
    /// A point the projection cannot compute: stop (nothing written), leave
    /// it out, or write "*" as its results; the last two count it in the report.
    OnError OnFailure = OnError::Mark;
    /// Asked when the output file exists: true replaces it. Empty: replace.
    std::function<bool()> ConfirmReplace;
    /// Told how far the run is; false from it cancels the run.
    Progress OnProgress;
    /// The datum of the latitudes and longitudes, read or written.
    LatLongDatum Datum = LatLongDatum::Everest1830;
    /// `Combo3`: latitudes and longitudes written are rounded to three
    /// decimals (DegreesMetres) or to eight (Degrees8 and Dms: a file is read
    /// by machines, so it gets decimal degrees); eastings and northings always
    /// to three. FullPrecision overrides it.
    Units OutputUnits = Units::DegreesMetres;
    /// How the data file's rows are read: separator and coordinate columns,
    /// each found from the file's first lines unless given.
    TableRequest Table{};
    /// End the output's lines with LF instead of CR LF (utmconv sets it for
    /// the standard output only; files keep CR LF).
    bool LfLineEnds = false;
};

/// Converts every point of the data file on the Everest 1830 grid with the
/// given central meridian, the latitudes and longitudes on the request's
/// datum (WGS 84: shifted to Nepal 1981 with EPSG:6208 before the forward
/// projection, back after the inverse), and writes the output file: the header line, then
/// per line of the data file the two inputs and the two results in general
/// form, TAB between fields, CR LF after every line. Results are rounded
/// through "##.000" (latitudes and longitudes by RoundAngleForUnits of
/// OutputUnits) unless FullPrecision is set. With no direction selected
/// the results are written as 0.
///
/// Each line of the data file gives one point and one output line, so output
/// and data file stay aligned: a line without two comma-separated fields
/// takes a missing number as 0 and leaves extra fields out, a field that is
/// not a number is taken as 0; both are counted in the result's report, as
/// are latitudes outside -90 to 90 and points farther from the central
/// meridian than the series keep 1 cm.
///
/// The file is read and written in blocks: memory does not grow with its
/// size. The output appears complete or not at all. Throws OperationError
/// (nothing written, the data file and any previous output untouched) when
/// the data file cannot be read, is no text file of numbers or holds no
/// lines, the central meridian lies outside -180 to 360 degrees, the output
/// is the data file (by any name or link) or cannot be
/// written, a point cannot be converted, Strict finds something, or the run
/// is cancelled (OperationCancelled). Returns Declined when ConfirmReplace
/// says no.
///
/// When the data file or the output is a GIS file (IsGisRun), RunGisFile
/// writes the format the output's name says, every vertex converted as a
/// text line is (so the numbers agree to the last bit), unrounded; the
/// grid is {Everest 1830, the central meridian, k0 0.9999} and the latitudes
/// and longitudes are on the request's datum. The result counts features
/// (points from a text data file) and carries RunGisFile's report. Refused
/// before the question, with nothing written: no direction, and a GPX, KML
/// or GeoJSON file (WGS 84 latitudes and longitudes only) read as eastings
/// and northings, written with them, or with the datum on Everest 1830.
BatchRunResult ConvertDataFile(const ConvertDataFileRequest& request);

/// The reading of one data-file line: the point and what was wrong with it.
struct DataLine {
    double first = 0.0;
    double second = 0.0;
    bool fieldCount = false;    ///< not exactly two fields
    int notNumbers = 0;         ///< fields (of the first two) taken as 0
    std::string_view badField;  ///< the first such field
    /// The first number's field, without blanks, when it is already written
    /// as the output writes the number (general form): copied through then.
    std::string_view firstText;
    std::string_view secondText;  ///< the same for the second number
    /// The whole row when it is written with its fields (a table row, or one
    /// that is not two numbers); empty for a row of two numbers, written as
    /// the two inputs in general form.
    std::string_view row;
    /// The row came through the fast scanner (no quotes, no blanks at field edges).
    bool scannedRow = false;
};

/// Reads one line of a main-window data file: two comma-separated numbers,
/// blanks around them ignored, "." as decimal point.
DataLine ReadDataLine(std::string_view line);

/// Convert in "Multiple Data" mode (`Command2_Click`, list index 1).
struct MultipleDataRequest {
    std::string CentralMeridianText;  ///< `Text1`
    std::string DataFilePath;         ///< `Text6`
    ConversionDirection Direction = ConversionDirection::LatLongToXY;
    char DecimalSeparator = '.';
    Progress OnProgress;                             ///< the window's progress dialog
    LatLongDatum Datum = LatLongDatum::Everest1830;  ///< of the latitudes and longitudes
    Units OutputUnits = Units::DegreesMetres;        ///< `Combo3`, as in ConvertDataFileRequest
    TableRequest Table{};  ///< separator and columns chosen in the preview, if any
};

/// The overwrite question: Yes/No, no icon, title "Confirmation", No the default.
inline constexpr const char* kOverwriteQuestion = "Do you want to overwrite file.";

/// Refuses a central meridian outside -180 to 360 degrees with a message
/// naming it and the bounds (Failed, before any dialog). Otherwise shows
/// `dialog` as a Save dialog (output filter and title, initial folder
/// `initialFolder`), shows "Type the File Name" when it gives no name, else runs
/// ConvertDataFile with the dialog's file name as output path. An output that
/// is the data file is refused before anything is read; an existing output is
/// replaced only after Yes to "Do you want to overwrite file." (No is the
/// default). Every failure is shown through `messages`; after a run that
/// found fields taken as 0 or other findings, they are shown too (a GIS
/// file's by its features).
/// `loader.Reset()` ends every run that read the data file.
BatchRunResult ConvertMultipleData(const MultipleDataRequest& request, CommonDialog& dialog,
                                   MessageBoxPort& messages, dataload& loader,
                                   const std::string& initialFolder);

/// The initial folder of the save dialog: the user's home folder ($HOME, else
/// the password database), or "/" when there is none.
std::string HomeFolder();

}  // namespace utm
