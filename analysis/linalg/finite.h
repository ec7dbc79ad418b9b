// Finiteness test shared by the linear-algebra and fitting routines.
//
// An element is rejected when it is infinite or NaN, equals the largest
// finite double, or is at most -1.7976931348623e308. The lower bound sits a
// shade above the most negative double, so the values within about 1.6e294
// of -DBL_MAX are rejected too; that is the established behaviour callers
// see and it is kept.
#pragma once

#include <cstddef>

#include "frame/status.h"

namespace qm::linalg {

inline constexpr double kFiniteUpperReject = 1.7976931348623157e308;
inline constexpr double kFiniteLowerReject = -1.7976931348623e308;

// True when `v` fails the test. NaN fails every comparison, so the first
// clause also catches it.
inline bool IsRejectedElement(double v) {
  return !(v < kFiniteUpperReject) || v <= kFiniteLowerReject;
}

// Scans `count` elements in index order and stops at the first failing
// block: -20068 when an element fails, else 0.
inline Status CheckFinite(const double* a, std::size_t count) {
  // Blocks without an early exit let the compiler vectorise the scan.
  constexpr std::size_t kBlock = 256;
  for (std::size_t i0 = 0; i0 < count; i0 += kBlock) {
    const std::size_t i1 = i0 + kBlock < count ? i0 + kBlock : count;
    bool bad = false;
    for (std::size_t i = i0; i < i1; ++i) bad |= IsRejectedElement(a[i]);
    if (bad) return kNotFinite;
  }
  return kSuccess;
}

// Complex elements stored as interleaved (re, im) pairs: either part fails.
inline Status CheckFiniteComplex(const double* interleaved, std::size_t count) {
  return CheckFinite(interleaved, 2 * count);
}

}  // namespace qm::linalg
