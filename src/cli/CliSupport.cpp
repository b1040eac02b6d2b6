#include "cli/CliSupport.h"

#include <cstdio>

#include "common/FileIO.h"
#include "common/NumericText.h"
#include "geodesy/ParameterError.h"
#include "geodesy/ProjectionDomain.h"
#include "transfer/TransferKind.h"

namespace utm::cli {

double ParseNumberArgument(const std::string& text, const std::string& what) {
    if (!IsNumeric(text)) {
        throw CommandError(what + " is not a number: \"" + text + "\"");
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
    WarnAbout(report, dataPath == "/dev/stdin" ? std::string("-") : dataPath);
    if (report.Count(Finding::Failed) != 0) g_exitStatus = kPointsReportedExit;
}

std::string InputPath(const std::string& argument) {
    return argument == "-" ? std::string("/dev/stdin") : argument;
}

std::string OutputPath(const std::string& argument) {
    return argument == "-" ? std::string(kStandardOutput) : argument;
}

OnError ParseOnError(const std::string& text) {
    if (text == "stop") return OnError::Stop;
    if (text == "skip") return OnError::Skip;
    if (text == "mark") return OnError::Mark;
    throw CommandError("unknown --on-error \"" + text + "\": give stop, skip or mark");
}

void AddOnErrorOption(CLI::App& command, std::string& onError) {
    command.add_option("--on-error", onError, kOnErrorHelp)
        ->capture_default_str()
        ->check(CLI::IsMember({"stop", "skip", "mark"}));
}

void WarnAbout(const RunReport& report, const std::string& dataPath) {
    for (const std::string& sentence : report.Sentences(dataPath)) {
        std::fprintf(stderr, "utmconv: warning: %s\n", sentence.c_str());
    }
}

void WriteStdout(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        throw CommandError("cannot write to standard output");
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

}  // namespace utm::cli
