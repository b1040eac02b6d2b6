#include "geodesy/ArithmeticError.h"

#include <cmath>

namespace utm {

ArithmeticError::ArithmeticError(const std::string& what) : std::runtime_error(what) {}

void RequireFinite(const char* operation, double first, double second) {
    if (!std::isfinite(first) || !std::isfinite(second)) {
        throw ArithmeticError(std::string("arithmetic overflow or invalid value in ") + operation);
    }
}

}  // namespace utm
