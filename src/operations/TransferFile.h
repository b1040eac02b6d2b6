// The file transfer of the transfer window: a data file of (X, Y) pairs is
// read, every pair is moved by the chosen transfer, and a result file beside
// the data file receives X, Y, X' and Y' per line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/DataTable.h"
#include "common/MessageBoxPort.h"
#include "common/OperationError.h"
#include "common/RunReport.h"
#include "geodesy/DatumShift.h"
#include "geodesy/GridTransform.h"
#include "operations/PointBlock.h"

namespace utm {

/// CSV mode (comma-separated, result "Out.csv") or text mode (tab-separated,
/// result "Out.txt").
enum class DataFileMode { Csv, Text };

/// CSV mode when the last three characters of `path` are "CSV" in any letter
/// case, else text mode.
DataFileMode ModeOfPath(std::string_view path);

/// The field delimiter of a mode: a comma or a tab.
char DelimiterOf(DataFileMode mode);

/// The result file of a data file, in the data file's own folder. A name
/// that ends in a dot and three characters ("pts.csv", "pts.dat") loses its
/// last four characters and gets "Out.csv" (CSV mode) or "Out.txt" (text
/// mode): "ptsOut.csv", "ptsOut.txt". Any other name keeps all of itself and
/// gets "Out.txt" ("abc" gives "abcOut.txt"). A GIS file's name (by its
/// ending, see GisFormat.h, of any length) gets "Out" before its ending,
/// kept as it is: "parcels.shp" gives "parcelsOut.shp", "sites.gpkg"
/// "sitesOut.gpkg". Nothing when the path names no file inside a folder
/// (empty, ".", "..", ending in "/").
std::optional<std::string> ResultFilePath(std::string_view dataPath);

/// The pair of one data-file line and what was wrong with it: exactly two
/// fields give X and Y, each field that is not a number (see
/// ParseLocaleNumber) giving 0; any other number of fields gives (0, 0).
struct TransferLine {
    PointRow point{0.0, 0.0};
    bool fieldCount = false;    ///< not exactly two fields
    int notNumbers = 0;         ///< fields taken as 0
    std::string_view badField;  ///< the first such field
    /// The whole row when it is written with its fields (a table row); empty
    /// for a row of two numbers, written as the two inputs.
    std::string_view row;
    /// The row came through the fast scanner (no quotes, no blanks at field edges).
    bool scannedRow = false;
};
TransferLine ReadTransferLine(std::string_view line, char delimiter, char decimalSeparator);

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

/// How a file transfer runs.
struct TransferOptions {
    char decimalSeparator = '.';  ///< of text-mode files; CSV files always use "."
    /// Refuse the run (nothing written) at the first field that is not a
    /// number, line without two fields or northing beyond the pole (latitude
    /// outside -90 to 90 on a latitude/longitude source).
    bool strict = false;
    /// Applied where the transfer crosses between WGS 84 and Everest 1830;
    /// none (the default) gives the pure re-projection of ClsUTM's transfers.
    DatumShift datumShift;
    /// A point that cannot be transferred: stop (nothing written), leave it
    /// out, or write "*" as its results; the last two count it in the report.
    OnError onError = OnError::Mark;
    Progress onProgress;  ///< false from it cancels the run
    /// How the data file's rows are read: separator and coordinate columns,
    /// each found from the file's first lines unless given. Its fallback and
    /// decimal separator are set from the data file's mode.
    TableRequest table{};
    /// End the result's lines with LF instead of CR LF (utmconv sets it for
    /// the standard output only; files keep CR LF).
    bool lfLineEnds = false;
};

struct TransferFileResult {
    std::size_t lines = 0;  ///< lines written (features, of a GIS file)
    RunReport report;       ///< what the run found on its way
};

/// Transfers the data file `dataPath` into `resultPath` with the transfer at
/// list position `kind` (-1: the result columns stay empty). The mode comes
/// from `dataPath`. The file is read, transferred and written block by block,
/// so memory does not grow with its size, and the result file appears
/// complete or not at all. Fields taken as 0, lines without two fields,
/// northings beyond the pole and points farther from the central meridian
/// than the series keep 1 cm are counted in the report. Throws OperationError
/// (OperationCancelled when cancelled), with nothing written, when the data
/// file cannot be read, is no text file of numbers or holds no lines, the
/// result file is the data file or cannot be written, a point cannot be
/// transferred (naming its line) or strict finds something.
TransferFileResult TransferFile(const std::string& dataPath, const std::string& resultPath,
                                int kind, const TransferOptions& options = {});

/// TransferFile between any two coordinate systems: the same reading, checks,
/// result format and all-or-nothing writing, with the transformation from
/// `from` to `to` (and the options' datum shift where it crosses datums). A
/// latitude/longitude source gives latitude then longitude per line, in
/// degrees, and a latitude outside -90 to 90 is counted (or refused under
/// strict) instead of a northing beyond the pole; a latitude/longitude target
/// gets latitude then longitude. Points are checked against the 1 cm reach of
/// the series only on the ends that are grids.
TransferFileResult TransformFile(const std::string& dataPath, const std::string& resultPath,
                                 CoordinateSystem from, CoordinateSystem to,
                                 const TransferOptions& options = {});

enum class FileTransferStatus {
    Skipped,    ///< no path, or no file at the path: nothing done, no message
    Written,    ///< the result file was written
    Failed,     ///< a message told the user why; no result file was written
    Cancelled,  ///< the person stopped it; a message said so; nothing written
};

struct FileTransferOutcome {
    FileTransferStatus status = FileTransferStatus::Skipped;
    std::string resultPath;  ///< set when a result path could be formed
    std::size_t lines = 0;   ///< lines written (features, of a GIS file)
    RunReport report;        ///< findings of a written run
};

/// The OK command's file transfer for the path typed in the window, with the
/// window's datum `shift`: skipped silently without a path or a file at it;
/// else the result file beside the data file is written. Every failure, and the findings of a
/// written run, are shown through `messages` (OK button, application title).
/// `table` is how the data file's rows are read (the separator and columns
/// picked in the window's preview; by default found from the file).
/// A GIS data file (shapefile, GeoPackage, DXF) is written by RunGisFile into
/// a result file of its own format, every vertex moved by the kind's
/// transformation with `shift`; a feature that cannot be moved is written
/// without geometry and named after the run. GPX, KML and GeoJSON files (WGS
/// 84 latitudes and longitudes) and a run without a chosen kind are refused.
FileTransferOutcome TransferDataFile(const std::string& dataPath, int kind, char decimalSeparator,
                                     MessageBoxPort& messages, const Progress& progress = {},
                                     const DatumShift& shift = {}, const TableRequest& table = {});

}  // namespace utm
