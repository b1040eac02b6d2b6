#include "cli/CliSupport.h"

#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "common/FileIO.h"
#include "common/NumericText.h"
#include "geodesy/ParameterError.h"
#include "geodesy/ProjectionDomain.h"
#include "operations/TransferKind.h"

namespace utm::cli {

double ParseNumberArgument(const std::string& text, const std::string& what) {
    if (!IsNumeric(text)) {
        throw CommandError(what + " is not a number: " + QuotedText(text));
    }
    return Val(text);
}

double ParseCentralMeridianArgument(const std::string& text) {
    const double value = ParseNumberArgument(text, "--cm");
    if (const std::string problem = CentralMeridianProblem(value); !problem.empty()) {
        throw CommandError("--cm: " + problem);
    }
    return value;
}

namespace {
int g_exitStatus = 0;
}  // namespace

int ExitStatus() {
    return g_exitStatus;
}

void FinishRun(const RunReport& report, const std::string& dataPath) {
    WarnAbout(report, dataPath);
    if (report.Count(Finding::Failed) != 0 || report.Count(Finding::NoNumber) != 0)
        g_exitStatus = kPointsReportedExit;
}

std::string InputPath(const std::string& argument) {
    if (argument.empty()) {
        throw CommandError(
            "the DATAFILE argument is empty and names no file: give the data file's path, or - "
            "for the standard input");
    }
    return argument == "-" ? std::string(kStandardInput) : argument;
}

std::string OutputPath(const std::string& argument) {
    return argument == "-" ? std::string(kStandardOutput) : argument;
}

OnError ParseOnError(const std::string& text) {
    if (text == "stop") return OnError::Stop;
    if (text == "skip") return OnError::Skip;
    if (text == "mark") return OnError::Mark;
    throw CommandError("unknown --on-error " + QuotedText(text) + ": give stop, skip or mark");
}

void AddOnErrorOption(CLI::App& command, std::string& onError) {
    command.add_option("--on-error", onError, kOnErrorHelp)
        ->capture_default_str()
        ->check(CLI::IsMember({"stop", "skip", "mark"}));
}

void AddTableOptions(CLI::App& command, std::string& separator, std::string& columns) {
    command
        .add_option("--separator", separator,
                    "Field separator of the data file: comma, semicolon, tab or blank (one or "
                    "more spaces or tabs); found from its first lines when not given")
        ->check(CLI::IsMember({"comma", "semicolon", "tab", "blank"}))
        ->type_name("SEP");
    command
        .add_option("--columns", columns,
                    "The two coordinate columns, by 1-based number or header name (3,4 or "
                    "Lat,Lon); by default the columns the header names (Lat, Latitude, Lon, "
                    "Long, Longitude; E, East, Easting, X, N, North, Northing, Y), else 1 and 2")
        ->type_name("A,B");
}

TableRequest ParseTableOptions(const std::string& separator, const std::string& columns) {
    TableRequest request;
    if (!separator.empty()) {
        request.separator = ParseFieldSeparator(separator);
        if (!request.separator) {
            throw CommandError("unknown --separator \"" + separator +
                               "\": give comma, semicolon, tab or blank");
        }
    }
    request.columns = columns;
    return request;
}

void AddLineEndsOption(CLI::App& command, std::string& lineEnds) {
    command
        .add_option("--line-ends", lineEnds,
                    "Line ends of the output written to the standard output: lf (the default) "
                    "or crlf; files always get CR LF")
        ->check(CLI::IsMember({"lf", "crlf"}));
}

bool LfLineEnds(const std::string& lineEnds, const std::string& outputPath) {
    return outputPath == kStandardOutput && lineEnds != "crlf";
}

void PrintError(const std::string& message) {
    // CLI11's messages can span lines; utmconv reports every failure on one line.
    std::string line = message;
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(stderr, "utmconv: %s\n", EscapeControls(line).c_str());
}

void WarnAbout(const RunReport& report, const std::string& dataPath) {
    for (const std::string& sentence : report.Sentences(dataPath)) {
        std::fprintf(stderr, "utmconv: warning: %s\n", EscapeControls(sentence).c_str());
    }
}

void WriteStdout(const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        const int error = errno;
        throw CommandError(std::string("cannot write the standard output") +
                           (error != 0 ? std::string(": ") + std::strerror(error) : ""));
    }
}

DatumShift ParseDatumShiftArgument(const std::string& text) {
    try {
        return DatumShift::Parse(text);
    } catch (const ParameterError& e) {
        throw CommandError(std::string("--datum-shift: ") + e.what());
    }
}

CoordinateSystem ParseSystemArgument(const std::string& text, const std::string& option) {
    try {
        return ParseCoordinateSystem(text);
    } catch (const ParameterError& e) {
        throw CommandError(option + ": " + e.what());
    }
}

void WarnAboutDatum(CoordinateSystem from, CoordinateSystem to, const DatumShift& shift) {
    if (!CrossesDatum(from, to)) {
        if (!shift.IsNone()) {
            std::fprintf(stderr,
                         "utmconv: warning: the datum shift %s does not act on %s to %s, which "
                         "stays on one datum\n",
                         shift.ToString().c_str(), std::string(NameOf(from)).c_str(),
                         std::string(NameOf(to)).c_str());
        }
        return;
    }
    if (shift.IsNone()) {
        std::fprintf(stderr, "utmconv: warning: %s\n", std::string(kNoDatumShiftWarning).c_str());
    }
}

DmsMarks TerminalDmsMarks() {
    // The environment's character set, read once; the program itself keeps
    // the C locale for everything else (numbers, file names).
    static const DmsMarks marks = [] {
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        const std::string saved = current != nullptr ? current : "C";
        if (std::setlocale(LC_CTYPE, "") == nullptr) return DmsMarks::Ascii;
        const std::string codeset = nl_langinfo(CODESET);
        std::setlocale(LC_CTYPE, saved.c_str());
        return codeset == "UTF-8" ? DmsMarks::Unicode : DmsMarks::Ascii;
    }();
    return marks;
}

}  // namespace utm::cli
