// Small helpers of the real matrix routines: shape checks, layout changes
// between the caller's row-major blocks and LAPACK's column-major ones, and
// the mapping of LAPACK's `info` results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "frame/lapack.h"
#include "frame/status.h"

namespace qm::linalg {

inline constexpr double kEpsilon = 2.220446049250313e-16;
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Element count of a rows x cols matrix. The dimensions must already be >= 1.
// -20046 when the count does not fit a 32-bit count (LAPACK indexes with
// 32-bit integers).
inline Status ElementCount(std::int32_t rows, std::int32_t cols, std::size_t* count) {
  const std::int64_t c = static_cast<std::int64_t>(rows) * cols;
  if (c > std::numeric_limits<std::int32_t>::max()) return kOverflow;
  *count = static_cast<std::size_t>(c);
  return kSuccess;
}

// Dimension checks of a rows x cols input: -20003 below 1, -20046 when the
// element count is too large.
inline Status CheckShape(std::int32_t rows, std::int32_t cols, std::size_t* count) {
  if (rows < 1 || cols < 1) return kCountNotPositive;
  return ElementCount(rows, cols, count);
}

// dst[j*dst_ld + i] = src[i*src_ld + j] for i < rows, j < cols.
// Row-major to column-major: Transpose(a, cols, rows, cols, work, ld).
// Column-major (leading dimension ld) to row-major:
//   Transpose(work, ld, cols, rows, out, cols).
inline void Transpose(const double* src, std::size_t src_ld, std::int32_t rows, std::int32_t cols,
                      double* dst, std::size_t dst_ld) {
  // 16 x 16 tiles, writing contiguous runs of the destination: with
  // power-of-two leading dimensions, strided writes over larger tiles keep
  // evicting each other from the cache.
  constexpr std::int32_t kTile = 16;
  for (std::int32_t j0 = 0; j0 < cols; j0 += kTile) {
    const std::int32_t j1 = j0 + kTile < cols ? j0 + kTile : cols;
    for (std::int32_t i0 = 0; i0 < rows; i0 += kTile) {
      const std::int32_t i1 = i0 + kTile < rows ? i0 + kTile : rows;
      for (std::int32_t j = j0; j < j1; ++j) {
        double* d = dst + static_cast<std::size_t>(j) * dst_ld;
        for (std::int32_t i = i0; i < i1; ++i) d[i] = src[static_cast<std::size_t>(i) * src_ld + j];
      }
    }
  }
}

inline void Copy(const double* src, std::size_t count, double* dst) {
  if (src != dst && count) std::memmove(dst, src, count * sizeof(double));
}

inline void Fill(double* dst, std::size_t count, double v) {
  for (std::size_t i = 0; i < count; ++i) dst[i] = v;
}

// True when the byte ranges [a, a+na) and [b, b+nb) (in doubles) overlap.
inline bool Overlaps(const double* a, std::size_t na, const double* b, std::size_t nb) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a);
  const auto pb = reinterpret_cast<std::uintptr_t>(b);
  return pa < pb + nb * sizeof(double) && pb < pa + na * sizeof(double);
}

// A negative `info` means LAPACK rejected an argument: the library never
// passes such arguments, so it is reported as an algorithm failure.
inline Status NegativeInfo(fint info) { return info < 0 ? kAlgorithmFailure : kSuccess; }

// Length of the optimal workspace a query returned, at least `minimum`.
inline fint QueriedLength(double query, fint minimum) {
  const double q = query + 0.5;
  if (!(q < static_cast<double>(std::numeric_limits<fint>::max()))) {
    return std::numeric_limits<fint>::max();
  }
  const fint len = static_cast<fint>(q);
  return len > minimum ? len : minimum;
}

// In-place inverse of a general n x n block by dgetrf and dgetri (either
// layout). -20041 when the matrix is singular.
Status InvertGeneralInPlace(const LapackTable* la, double* x, std::int32_t n);

}  // namespace qm::linalg
