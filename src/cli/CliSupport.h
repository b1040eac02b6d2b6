// Small pieces shared by the utmconv commands.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "cli/OptionHelp.h"
#include "common/DataTable.h"
#include "common/OperationError.h"
#include "common/RunReport.h"
#include "geodesy/AngleNotation.h"
#include "geodesy/DatumShift.h"
#include "geodesy/GridTransform.h"

namespace utm::cli {

/// Exit status of every failed utmconv run (bad arguments, unreadable files,
/// results that cannot be computed): nothing was done.
inline constexpr int kFailureExit = 2;
/// Exit status of a run that was done but left out or marked points it could
/// not compute (--on-error skip or mark).
inline constexpr int kPointsReportedExit = 1;

/// The exit status the commands so far ask for: 0, or kPointsReportedExit
/// once a run reported points it could not compute.
int ExitStatus();

/// Warns about `report` (WarnAbout) and asks for kPointsReportedExit when it
/// counts points that could not be computed.
void FinishRun(const RunReport& report, const std::string& dataPath);

/// The path of a DATAFILE argument: "-" is the standard input
/// (kStandardInput). Throws CommandError on an empty argument, which names
/// no file.
std::string InputPath(const std::string& argument);
/// The path of an OUTFILE argument: "-" is the standard output.
std::string OutputPath(const std::string& argument);

/// The --on-error texts, and what each does with a point that cannot be computed.
inline constexpr const char* kOnErrorHelp =
    "A point that cannot be computed or a row whose coordinate column holds no number (text, "
    "empty, missing): mark (the default; write * as its results, report its line on stderr, "
    "exit 1), skip (leave it out, report its line, exit 1) or stop (exit 2, nothing written)";
OnError ParseOnError(const std::string& text);

/// Adds the --on-error option (stop, skip or mark; mark by default) to `command`.
void AddOnErrorOption(CLI::App& command, std::string& onError);

/// Adds --separator (comma, semicolon, tab, blank) and --columns A,B to `command`.
void AddTableOptions(CLI::App& command, std::string& separator, std::string& columns);

/// The TableRequest of the --separator and --columns texts.
TableRequest ParseTableOptions(const std::string& separator, const std::string& columns);
/// Adds the --line-ends option (lf or crlf; empty when not given) to `command`.
void AddLineEndsOption(CLI::App& command, std::string& lineEnds);
/// Whether output to `outputPath` ends its lines with LF alone: for the
/// standard output unless --line-ends crlf; files always get CR LF.
bool LfLineEnds(const std::string& lineEnds, const std::string& outputPath);

/// A bad argument: reported like every failed operation, as one line on
/// stderr and exit status 2.
class CommandError : public OperationError {
  public:
    using OperationError::OperationError;
};

/// Prints `message` on stderr as one line after "utmconv: ", control
/// characters escaped.
void PrintError(const std::string& message);

/// Prints each line of `report` for `dataPath` on stderr as a warning.
void WarnAbout(const RunReport& report, const std::string& dataPath);

/// The value of a numeric argument (the numeric test of the windows, "." as
/// decimal point). Throws CommandError naming `what` when the text is not a number.
double ParseNumberArgument(const std::string& text, const std::string& what);

/// The value of a --cm argument: a number within -180 to 360 degrees.
/// Throws CommandError naming the text, or the value and the bounds.
double ParseCentralMeridianArgument(const std::string& text);

/// The marks of angles written for the terminal: ° ′ ″ where the locale's
/// character set (LC_ALL, LC_CTYPE, LANG) is UTF-8, d ' " where it is not
/// (the C locale, a Latin-1 one), which could not show them.
DmsMarks TerminalDmsMarks();

/// Writes `text` to stdout in one piece and flushes; throws CommandError when
/// the output cannot be written.
void WriteStdout(const std::string& text);

/// The shift named by a --datum-shift text (none, epsg6208,
/// helmert-pv:TX,TY,TZ,RX,RY,RZ,S or helmert-cf:...). Throws CommandError
/// with the reason, naming the text, when it names no shift.
DatumShift ParseDatumShiftArgument(const std::string& text);

/// The coordinate system named by the text of `option` (--from, --to).
/// Throws CommandError naming the option, the text and the seven names.
CoordinateSystem ParseSystemArgument(const std::string& text, const std::string& option);

/// Warns on stderr about what a run between `from` and `to` does with the
/// datum: the line the transfer window shows when the path crosses between
/// WGS 84 and Everest 1830 without a shift, and a note when a shift was given
/// that does not act on the path.
void WarnAboutDatum(CoordinateSystem from, CoordinateSystem to, const DatumShift& shift);

}  // namespace utm::cli
