// Element-wise operations on arrays of doubles.
//
// Plain loops over the elements: each output element is computed from the
// inputs of the same index into a local before it is stored, so an output may
// be one of the inputs. The compiler vectorises these loops (with its own
// run-time overlap checks), which is what keeps them at memory speed.
#include "arith/array_ops.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace qm::arith {

Status ArrayAbs(const double* x, std::int32_t n, double* out) {
  if (n < 1) return kCountNotPositive;
  // fabs is the IEEE sign-bit clear: quiet, payload-preserving.
  for (std::int32_t i = 0; i < n; ++i) out[i] = std::fabs(x[i]);
  return kSuccess;
}

Status ArrayAdd1D(const double* x, const double* y, std::int32_t n, double* z) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) z[i] = x[i] + y[i];
  return kSuccess;
}

Status ArraySubtract1D(const double* x, const double* y, std::int32_t n, double* z) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) z[i] = x[i] - y[i];
  return kSuccess;
}

Status ArrayMultiply1D(const double* x, const double* y, std::int32_t n, double* z) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) z[i] = x[i] * y[i];
  return kSuccess;
}

Status ArrayDivide1D(const double* x, const double* y, std::int32_t n, double* z) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double d = y[i];
    if (d == 0.0) return kDivideByZero;  // +0 and -0; NaN compares unequal
    z[i] = x[i] / d;
  }
  return kSuccess;
}

Status ArrayScaleOffset1D(const double* x, std::int32_t n, double a, double b, double* out) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) out[i] = a * x[i] + b;
  return kSuccess;
}

Status ArrayClip(const double* x, std::int32_t n, double upper, double lower, double* out) {
  if (n < 1) return kCountNotPositive;
  // Written as "not (upper >= lower)" so that a NaN bound is refused too: it
  // would otherwise silently disable one side of the clip.
  if (!(upper >= lower)) return kUpperBelowLower;
  for (std::int32_t i = 0; i < n; ++i) {
    const double v = x[i];
    out[i] = v > upper ? upper : (v < lower ? lower : v);  // NaN fails both tests
  }
  return kSuccess;
}

Status ArrayNegate(const double* x, std::int32_t n, double* out) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) out[i] = -0.0 - x[i];
  return kSuccess;
}

Status ArrayReverse(const double* x, std::int32_t n, double* out) {
  if (n < 1) return kCountNotPositive;
  if (out == x) {
    for (std::int32_t i = 0, j = n - 1; i < j; ++i, --j) {
      const double t = out[i];
      out[i] = out[j];
      out[j] = t;
    }
    return kSuccess;
  }
  for (std::int32_t i = 0; i < n; ++i) out[i] = x[n - 1 - i];
  return kSuccess;
}

Status ArrayClear(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  std::memset(x, 0, static_cast<std::size_t>(n) * sizeof(double));
  return kSuccess;
}

Status ArrayFill(double* x, std::int32_t n, double value) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) x[i] = value;
  return kSuccess;
}

Status ArrayCopy(const double* x, std::int32_t n, double* out) {
  if (n < 1) return kCountNotPositive;
  if (out != x) std::memmove(out, x, static_cast<std::size_t>(n) * sizeof(double));
  return kSuccess;
}

Status ArrayShift(const double* x, std::int32_t n, std::int32_t shifts, double* out) {
  if (n < 1) return kCountNotPositive;
  // |shifts| in 64 bits: -INT32_MIN does not fit in 32.
  const std::int64_t magnitude = std::llabs(static_cast<long long>(shifts));
  if (magnitude > n) return kBadShifts;
  const auto kept = static_cast<std::size_t>(n - magnitude);
  const auto vacated = static_cast<std::size_t>(magnitude);
  // Move first (memmove: overlap-safe, so in place works), then zero-fill the
  // vacated places, which the move has finished reading by then.
  if (shifts >= 0) {
    if (kept > 0 && out + vacated != x) std::memmove(out + vacated, x, kept * sizeof(double));
    for (std::size_t i = 0; i < vacated; ++i) out[i] = 0.0;
  } else {
    if (kept > 0) std::memmove(out, x + vacated, kept * sizeof(double));
    for (std::size_t i = kept; i < static_cast<std::size_t>(n); ++i) out[i] = 0.0;
  }
  return kSuccess;
}

Status ArraySubset(const double* x, std::int32_t n, std::int32_t index, std::int32_t length,
                   double* out) {
  if (n < 1) return kCountNotPositive;
  if (index < 0 || index >= n) return kBadIndex;
  if (length < 1) return kCountNotPositive;
  // In 64 bits: index + length can pass INT32_MAX.
  if (static_cast<std::int64_t>(index) + length > n) return kBadIndexLength;
  std::memmove(out, x + index, static_cast<std::size_t>(length) * sizeof(double));
  return kSuccess;
}

double SumOf(const double* x, std::int32_t n) {
  // Unrolled by four with one accumulator: strictly left to right.
  double s = 0.0;
  std::int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    s += x[i];
    s += x[i + 1];
    s += x[i + 2];
    s += x[i + 3];
  }
  for (; i < n; ++i) s += x[i];
  return s;
}

Status ArraySum1D(const double* x, std::int32_t n, double* sum) {
  if (n < 1) return kCountNotPositive;
  *sum = SumOf(x, n);
  return kSuccess;
}

Status ArrayProduct(const double* x, std::int32_t n, double* product) {
  if (n < 1) return kCountNotPositive;
  double p = 1.0;
  std::int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    p *= x[i];
    p *= x[i + 1];
    p *= x[i + 2];
    p *= x[i + 3];
  }
  for (; i < n; ++i) p *= x[i];
  *product = p;
  return kSuccess;
}

Extremes FindExtremes(const double* x, std::int32_t n) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::int32_t k = 0;
  while (k < n && std::isnan(x[k])) ++k;
  if (k == n) return {nan, nan, -1, -1};
  Extremes e{x[k], x[k], k, k};
  for (std::int32_t i = k + 1; i < n; ++i) {
    const double v = x[i];
    // Strict comparisons: the first occurrence of an extreme wins, and a NaN
    // fails both.
    if (v > e.max) {
      e.max = v;
      e.max_index = i;
    } else if (v < e.min) {
      e.min = v;
      e.min_index = i;
    }
  }
  return e;
}

Status ArrayMaxMin1D(const double* x, std::int32_t n, double* max, std::int32_t* maxIndex,
                     double* min, std::int32_t* minIndex) {
  if (n < 1) return kCountNotPositive;
  const Extremes e = FindExtremes(x, n);
  *max = e.max;
  *maxIndex = e.max_index;
  *min = e.min;
  *minIndex = e.min_index;
  return kSuccess;
}

Status ArrayMaxMin2D(const double* x, std::int32_t rows, std::int32_t cols, double* max,
                     std::int32_t* maxRow, std::int32_t* maxCol, double* min, std::int32_t* minRow,
                     std::int32_t* minCol) {
  *maxRow = *maxCol = *minRow = *minCol = -1;
  if (rows < 1 || cols < 1) return kCountNotPositive;
  const std::int64_t count = static_cast<std::int64_t>(rows) * cols;
  if (count > std::numeric_limits<std::int32_t>::max()) return kOverflow;
  const Extremes e = FindExtremes(x, static_cast<std::int32_t>(count));
  *max = e.max;
  *min = e.min;
  if (e.max_index >= 0) {
    *maxRow = e.max_index / cols;
    *maxCol = e.max_index % cols;
    *minRow = e.min_index / cols;
    *minCol = e.min_index % cols;
  }
  return kSuccess;
}

Status ArrayFirstDifference(const double* x, std::int32_t n, double* d) {
  if (n < 1) return kCountNotPositive;
  // d[i] is written after x[i] and x[i+1] are read, and x[i] is not read
  // again: d may be x.
  for (std::int32_t i = 0; i + 1 < n; ++i) d[i] = x[i + 1] - x[i];
  return kSuccess;
}

double MaxAbs(const double* x, std::int32_t n) {
  double m = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double a = std::fabs(x[i]);
    if (a > m) m = a;  // NaN fails the test
  }
  return m;
}

}  // namespace qm::arith
