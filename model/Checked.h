// Checked arithmetic: 16-bit counts whose overflow is an error, and floating-point results
// that must be finite before they are stored or used further.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "model/RuntimeFailure.h"

namespace varsel {

/// Adds `delta` to a 16-bit count; a result outside -32768 .. 32767 is an overflow failure and
/// leaves the count unchanged.
inline void CheckedAdd(std::int16_t& count, int delta) {
    const int result = static_cast<int>(count) + delta;
    if (result > std::numeric_limits<std::int16_t>::max() ||
        result < std::numeric_limits<std::int16_t>::min()) {
        throw RuntimeFailure(kOverflow, "Overflow");
    }
    count = static_cast<std::int16_t>(result);
}

/// Converts an int to a 16-bit value, failing with an overflow when it does not fit.
inline std::int16_t CheckedInt16(long long value) {
    if (value > std::numeric_limits<std::int16_t>::max() ||
        value < std::numeric_limits<std::int16_t>::min()) {
        throw RuntimeFailure(kOverflow, "Overflow");
    }
    return static_cast<std::int16_t>(value);
}

/// Returns `value` when it is finite; a NaN is an invalid operation, an infinity an overflow.
inline double Finite(double value) {
    if (std::isnan(value))
        throw RuntimeFailure(kInvalidOperation, "Invalid floating-point operation");
    if (std::isinf(value)) throw RuntimeFailure(kOverflow, "Overflow");
    return value;
}

/// Converts a double to the 32-bit float that the model stores; a value that is not finite
/// or too large for a float is a failure rather than an infinity in the model.
inline float ToStoredFloat(double value) {
    Finite(value);
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw RuntimeFailure(kOverflow, "Overflow");
    }
    return static_cast<float>(value);
}

/// Checked division: a zero divisor is a division-by-zero failure, a non-finite quotient
/// an overflow or invalid operation.
inline double CheckedDivide(double numerator, double denominator) {
    if (denominator == 0.0) throw RuntimeFailure(kDivisionByZero, "Division by zero");
    return Finite(numerator / denominator);
}

/// Checked exponential: a result beyond the double range is an overflow failure that names
/// the argument.
inline double CheckedExp(double x) {
    const double result = std::exp(Finite(x));
    if (std::isinf(result)) {
        throw RuntimeFailure(kOverflow, "exp(" + std::to_string(x) + ") overflows");
    }
    return result;
}

}  // namespace varsel
