#pragma once

#include <cmath>
#include <limits>

namespace platform {

// Converts toward zero, saturating at the ends of int's range (and giving 0 for NaN): a
// float beyond int's range has no defined conversion of its own.
inline int TruncToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0f) {
        return std::numeric_limits<int>::max();
    }
    if (value <= -2147483648.0f) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

} // namespace platform
