// The one way an operation fails: it throws OperationError with a message for
// the person who asked for it. The windows show the message in a message box,
// utmconv prints it on stderr.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace utm {

/// An operation could not be done, or was refused before it did anything. The
/// message is complete: it says what, where, and what became of the files.
class OperationError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The person cancelled a running operation; nothing was written.
class OperationCancelled : public OperationError {
  public:
    using OperationError::OperationError;
};

/// The progress of a long operation: called now and then with the part done
/// (0 to 1); returning false asks the operation to stop. An empty one never stops it.
using Progress = std::function<bool(double done)>;

}  // namespace utm
