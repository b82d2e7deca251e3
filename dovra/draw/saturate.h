// Saturating conversion of 64-bit coordinate arithmetic back to int: values
// beyond the range stay at its ends, where drawing clips them away.
#pragma once

#include <climits>
#include <cstdint>

namespace dovra {

inline int saturate(int64_t v) {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

} // namespace dovra
