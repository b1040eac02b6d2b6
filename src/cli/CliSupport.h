// Small pieces shared by the utmconv commands.
#pragma once

#include <stdexcept>
#include <string>

namespace utm::cli {

/// Exit status of every failed utmconv run (bad arguments, unreadable files,
/// results that cannot be computed).
inline constexpr int kFailureExit = 2;

/// A failure that utmconv reports as one line on stderr and exit status 2.
class CommandError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The value of a numeric argument (the numeric test of the windows, "." as
/// decimal point). Throws CommandError naming `what` when the text is not a number.
double ParseNumberArgument(const std::string& text, const std::string& what);

/// Writes `text` to stdout in one piece and flushes; throws CommandError when
/// the output cannot be written.
void WriteStdout(const std::string& text);

}  // namespace utm::cli
