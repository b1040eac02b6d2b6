// Small pieces shared by the utmconv commands.
#pragma once

#include <string>

#include "common/OperationError.h"
#include "common/RunReport.h"

namespace utm::cli {

/// Exit status of every failed utmconv run (bad arguments, unreadable files,
/// results that cannot be computed).
inline constexpr int kFailureExit = 2;

/// A bad argument: reported like every failed operation, as one line on
/// stderr and exit status 2.
class CommandError : public OperationError {
  public:
    using OperationError::OperationError;
};

/// Prints each line of `report` for `dataPath` on stderr as a warning.
void WarnAbout(const RunReport& report, const std::string& dataPath);

/// The value of a numeric argument (the numeric test of the windows, "." as
/// decimal point). Throws CommandError naming `what` when the text is not a number.
double ParseNumberArgument(const std::string& text, const std::string& what);

/// Writes `text` to stdout in one piece and flushes; throws CommandError when
/// the output cannot be written.
void WriteStdout(const std::string& text);

}  // namespace utm::cli
