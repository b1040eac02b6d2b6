// The error a projection raises when a step overflows, divides by zero or
// produces an invalid value. Doubles do not trap, so the operations check their
// results and throw this instead of handing back inf or NaN.
#pragma once

#include <stdexcept>
#include <string>

namespace utm {

class ArithmeticError : public std::runtime_error {
  public:
    explicit ArithmeticError(const std::string& what);
};

/// Throws ArithmeticError naming `operation` unless every value is finite.
void RequireFinite(const char* operation, double first, double second);

}  // namespace utm
