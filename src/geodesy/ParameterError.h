// The error raised for a text that names no datum shift or coordinate system
// of the program, or gives a datum shift's parameters wrongly.
#pragma once

#include <stdexcept>
#include <string>

namespace utm {

/// A datum-shift or coordinate-system text that cannot be read. `what()` is a
/// complete sentence for the user, naming the text and what was expected.
class ParameterError : public std::invalid_argument {
  public:
    explicit ParameterError(const std::string& what) : std::invalid_argument(what) {}
};

}  // namespace utm
