// Finiteness test shared by the linear-algebra and fitting routines.
//
// An element is rejected when it is infinite or NaN, equals the largest
// finite double, or is at most -1.7976931348623e308. The lower bound sits a
// shade above the most negative double, so the values within about 1.6e294
// of -DBL_MAX are rejected too; that is the established behaviour callers
// see and it is kept.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/status.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm::linalg {

inline constexpr double kFiniteUpperReject = 1.7976931348623157e308;
inline constexpr double kFiniteLowerReject = -1.7976931348623e308;

// True when `v` fails the test. NaN fails every comparison, so the first
// clause also catches it.
inline bool IsRejectedElement(double v) {
  return !(v < kFiniteUpperReject) || v <= kFiniteLowerReject;
}

// True when any of the `count` elements at a fails, with no early exit
// (callers scan in blocks): two elements per compare where SSE2 is there,
// the same two comparisons as IsRejectedElement, so NaN fails as well.
inline bool AnyRejected(const double* a, std::size_t count) {
  std::size_t i = 0;
  bool bad = false;
#if defined(__SSE2__)
  const __m128d upper = _mm_set1_pd(kFiniteUpperReject), lower = _mm_set1_pd(kFiniteLowerReject);
  __m128d acc0 = _mm_setzero_pd(), acc1 = _mm_setzero_pd();
  for (; i + 4 <= count; i += 4) {
    const __m128d x = _mm_loadu_pd(a + i), y = _mm_loadu_pd(a + i + 2);
    acc0 = _mm_or_pd(acc0, _mm_or_pd(_mm_cmpnlt_pd(x, upper), _mm_cmple_pd(x, lower)));
    acc1 = _mm_or_pd(acc1, _mm_or_pd(_mm_cmpnlt_pd(y, upper), _mm_cmple_pd(y, lower)));
  }
  bad = _mm_movemask_pd(_mm_or_pd(acc0, acc1)) != 0;
#endif
  for (; i < count; ++i) bad |= IsRejectedElement(a[i]);
  return bad;
}

// Scans `count` elements in index order and stops at the first failing
// block: -20068 when an element fails, else 0.
inline Status CheckFinite(const double* a, std::size_t count) {
  constexpr std::size_t kBlock = 256;
  for (std::size_t i0 = 0; i0 < count; i0 += kBlock) {
    const std::size_t len = i0 + kBlock < count ? kBlock : count - i0;
    if (AnyRejected(a + i0, len)) return kNotFinite;
  }
  return kSuccess;
}

// Complex elements stored as interleaved (re, im) pairs: either part fails.
inline Status CheckFiniteComplex(const double* interleaved, std::size_t count) {
  return CheckFinite(interleaved, 2 * count);
}

inline Status CheckFinite(const std::complex<double>* a, std::size_t count) {
  return CheckFiniteComplex(reinterpret_cast<const double*>(a), count);
}

// dst = src (count elements) with the test fused into the copy: -20068 when
// an element fails (dst then holds an unspecified part of src), else 0.
template <class T>
Status CopyChecked(const T* src, std::size_t count, T* dst) {
  constexpr std::size_t kBlock = 256;
  const double* s = reinterpret_cast<const double*>(src);
  double* d = reinterpret_cast<double*>(dst);
  const std::size_t doubles = count * (sizeof(T) / sizeof(double));
  for (std::size_t i0 = 0; i0 < doubles; i0 += kBlock) {
    const std::size_t len = i0 + kBlock < doubles ? kBlock : doubles - i0;
    if (AnyRejected(s + i0, len)) return kNotFinite;
    std::memcpy(d + i0, s + i0, len * sizeof(double));
  }
  return kSuccess;
}

// The row-major n x n block a copied transposed into the column-major dst
// (leading dimension ld), with the test fused into the tiled pass.
template <class T>
Status TransposeChecked(const T* a, std::int32_t n, T* dst, std::size_t ld) {
  constexpr std::int32_t kTile = 32;
  constexpr std::size_t kParts = sizeof(T) / sizeof(double);
  for (std::int32_t i0 = 0; i0 < n; i0 += kTile) {
    const std::int32_t i1 = i0 + kTile < n ? i0 + kTile : n;
    // The rows i0..i1 are tested as they are read, contiguously.
    const double* rows = reinterpret_cast<const double*>(a + static_cast<std::size_t>(i0) * n);
    const std::size_t doubles = static_cast<std::size_t>(i1 - i0) * n * kParts;
    if (AnyRejected(rows, doubles)) return kNotFinite;
    for (std::int32_t j0 = 0; j0 < n; j0 += kTile) {
      const std::int32_t j1 = j0 + kTile < n ? j0 + kTile : n;
      for (std::int32_t j = j0; j < j1; ++j) {
        T* d = dst + static_cast<std::size_t>(j) * ld;
        for (std::int32_t i = i0; i < i1; ++i) d[i] = a[static_cast<std::size_t>(i) * n + j];
      }
    }
  }
  return kSuccess;
}

}  // namespace qm::linalg
