// Counts inside the library are 32-bit; 64-bit values from callers are
// narrowed with this test (at the boundary, and by routines that size their
// own blocks).
#pragma once

#include <cstdint>
#include <limits>

namespace qm {

// True when v is representable as a 32-bit signed count.
constexpr bool FitsInt32(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace qm
