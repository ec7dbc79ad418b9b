// Interleaved and 2-D front ends on the engine's strided transforms.
//
// Interleaved complex data (real parts at even, imaginary parts at odd
// indexes) go through FftComplexInterleaved, which splits them into work
// space and reads all of its input before writing its output; a copy is made
// only for zero padding or for a centring that must be undone before
// transforming. The centring of a forward result is a rotation in place.
//
// Real input: the real forward transform writes its half-complex result into
// the real slots of out and the pairs k, m − k are unfolded in place by
// X[m − k] = conj X[k]; in the centred layout each bin is written at its
// rotated index from a half-complex scratch instead (any m, odd or even).
//
// 2-D: rows first (zero-padded or truncated to the transform column count,
// rows beyond the input zero), then columns in batches of kColumnBatch,
// gathered into contiguous scratch (eight complex values of a row span two
// cache lines), transformed, and scattered back. Real input transforms only
// columns 0 … ⌊C/2⌋ and fills the others from X[r][c] = conj X[R − r][C − c]
// (indexes mod R and C).
#include "fft/interleaved_fft.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fft/fft_engine.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

using Size = std::size_t;

constexpr std::int32_t kColumnBatch = 8;

// Whether the blocks of na and nb doubles at a and b share memory.
bool Overlap(const double* a, Size na, const double* b, Size nb) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a);
  const auto pb = reinterpret_cast<std::uintptr_t>(b);
  return pa < pb + nb * sizeof(double) && pb < pa + na * sizeof(double);
}

// The plan of one call: the caller's handle (of the right length) or a plan
// held from the cache for the call.
class CallPlan {
 public:
  // -20070 for a handle of another length.
  Status Check(const FftHandle* handle, std::int32_t m) {
    handle_ = handle;
    return handle && handle->length != m ? kMatrixSizesDiffer : kSuccess;
  }
  // -20001 when no plan of length m can be had.
  Status Acquire(std::int32_t m) {
    if (handle_) {
      plan_ = handle_->plan;
      return kSuccess;
    }
    if (!hold_.Acquire(m)) return kOutOfMemory;
    plan_ = hold_.get();
    return kSuccess;
  }
  const FftPlan* get() const { return plan_; }

 private:
  const FftHandle* handle_ = nullptr;
  FftPlanHold hold_;
  const FftPlan* plan_ = nullptr;
};

// Bin 0 to index ⌊m/2⌋: new[j] = old[(j + m − ⌊m/2⌋) mod m].
void CentreInPlace(double* z, Size m) {
  const Size h = m / 2;
  if (h > 0) std::rotate(z, z + 2 * (m - h), z + 2 * m);
}

// Both dimensions of an R × C complex array.
void Centre2D(double* z, Size rows, Size cols) {
  const Size hr = rows / 2;
  if (hr > 0) std::rotate(z, z + 2 * (rows - hr) * cols, z + 2 * rows * cols);
  for (Size r = 0; r < rows; ++r) CentreInPlace(z + 2 * r * cols, cols);
}

// Bin k of the half-complex spectrum hc of length m.
void HalfComplexBin(const double* hc, std::int32_t m, std::int32_t k, double* re, double* im) {
  if (k == 0) {
    *re = hc[0];
    *im = 0.0;
  } else if (k < m - k) {
    *re = hc[k];
    *im = hc[m - k];
  } else if (k > m - k) {
    *re = hc[m - k];
    *im = -hc[k];
  } else {
    *re = hc[k];
    *im = 0.0;
  }
}

// Doubles of scratch for the column pass of columns of length len: a batch
// of columns gathered as real and imaginary parts, and their transforms,
// each block kFftScratchGap past the one before.
Size ColumnScratch(std::int32_t len) {
  return 4 * (static_cast<Size>(kColumnBatch) * len + kFftScratchGap);
}

// Transforms columns 0 … count − 1 (length len) of the complex array z of
// `width` columns in place, a batch at a time through `work`, gathered into
// split parts for the engine's unit-stride paths.
Status Columns(const FftPlan* plan, double* z, std::int32_t len, Size width, std::int32_t count,
               bool inverse, double* work) {
  const Size block = static_cast<Size>(kColumnBatch) * len + kFftScratchGap;
  double* gr = work;
  double* gi = gr + block;
  double* dr = gi + block;
  double* di = dr + block;
  for (std::int32_t c0 = 0; c0 < count; c0 += kColumnBatch) {
    const std::int32_t b = std::min(kColumnBatch, count - c0);
    for (std::int32_t r = 0; r < len; ++r) {
      const double* src = z + 2 * (r * width + c0);
      for (std::int32_t i = 0; i < b; ++i) {
        gr[static_cast<Size>(i) * len + r] = src[2 * i];
        gi[static_cast<Size>(i) * len + r] = src[2 * i + 1];
      }
    }
    for (std::int32_t i = 0; i < b; ++i) {
      const Size at = static_cast<Size>(i) * len;
      if (Status s = inverse
                         ? FftComplexInverse(plan, gr + at, gi + at, dr + at, di + at, 1, 1, len)
                         : FftComplexForward(plan, gr + at, gi + at, dr + at, di + at, 1, 1, len))
        return s;
    }
    for (std::int32_t r = 0; r < len; ++r) {
      double* dst = z + 2 * (r * width + c0);
      for (std::int32_t i = 0; i < b; ++i) {
        dst[2 * i] = dr[static_cast<Size>(i) * len + r];
        dst[2 * i + 1] = di[static_cast<Size>(i) * len + r];
      }
    }
  }
  return kSuccess;
}

}  // namespace

Status RealFftInterleaved(const double* x, std::int32_t n, std::int32_t m, const FftHandle* handle,
                          std::int32_t shift, double* out) {
  if (n < 1) return kCountNotPositive;
  if (m < 1) m = n;
  CallPlan plan;
  if (Status s = plan.Check(handle, m)) return s;
  const std::int32_t used = std::min(n, m);
  const Size ms = static_cast<Size>(m);
  const bool copy = m > n || (!shift && Overlap(x, used, out, 2 * ms));
  ThreadScratch<double> scratch;
  if (Status s = scratch.Allocate((copy ? ms : 0) + (shift ? ms : 0))) return s;
  const double* src = x;
  if (copy) {
    std::memcpy(scratch.data(), x, sizeof(double) * used);
    std::memset(scratch.data() + used, 0, sizeof(double) * (ms - used));
    src = scratch.data();
  }
  if (Status s = plan.Acquire(m)) return s;
  if (shift) {
    double* hc = scratch.data() + (copy ? ms : 0);
    if (Status s = FftRealForward(plan.get(), src, hc, 1, 1, m)) return s;
    const std::int32_t h = m / 2;
    for (std::int32_t k = 0; k < m; ++k) {
      const Size j = k < m - h ? k + h : k - (m - h);
      HalfComplexBin(hc, m, k, &out[2 * j], &out[2 * j + 1]);
    }
    return kSuccess;
  }
  return FftRealForwardInterleaved(plan.get(), src, out, m);
}

Status ComplexFftInterleaved(const double* x, std::int32_t n, std::int32_t m,
                             const FftHandle* handle, std::int32_t shift, double* out) {
  if (n < 1) return kCountNotPositive;
  if (m < 1) m = n;
  CallPlan plan;
  if (Status s = plan.Check(handle, m)) return s;
  const Size used = std::min(n, m), ms = static_cast<Size>(m);
  const bool copy = m > n;
  ThreadScratch<double> scratch;
  const double* src = x;
  if (copy) {
    if (Status s = scratch.Allocate(2 * ms)) return s;
    std::memcpy(scratch.data(), x, 2 * sizeof(double) * used);
    std::memset(scratch.data() + 2 * used, 0, 2 * sizeof(double) * (ms - used));
    src = scratch.data();
  }
  if (Status s = plan.Acquire(m)) return s;
  if (Status s = FftComplexInterleaved(plan.get(), src, out, m, false)) return s;
  if (shift) CentreInPlace(out, ms);
  return kSuccess;
}

Status InverseRealFftInterleaved(const double* X, std::int32_t n, const FftHandle* handle,
                                 std::int32_t shift, double* out) {
  if (n < 0) return kCountNotPositive;
  CallPlan plan;
  if (Status s = plan.Check(handle, n)) return s;
  if (n == 0) return kOutOfMemory;  // there is no plan of length 0
  ThreadScratch<double> hc;
  if (Status s = hc.Allocate(n)) return s;
  const std::int32_t h = n / 2;
  // Bin k (0 ≤ k ≤ n/2) of X, from its centred index when shifted.
  auto bin = [&](std::int32_t k) { return X + 2 * static_cast<Size>(shift ? (k + h) % n : k); };
  hc[0] = bin(0)[0];
  for (std::int32_t k = 1; k < n - k; ++k) {
    hc[k] = bin(k)[0];
    hc[n - k] = bin(k)[1];
  }
  if (n % 2 == 0 && n > 1) hc[h] = bin(h)[0];
  if (Status s = plan.Acquire(n)) return s;
  return FftRealInverse(plan.get(), hc.data(), out, 1, 1, n);
}

Status InverseComplexFftInterleaved(const double* X, std::int32_t n, const FftHandle* handle,
                                    std::int32_t shift, double* out) {
  if (n < 0) return kCountNotPositive;
  CallPlan plan;
  if (Status s = plan.Check(handle, n)) return s;
  if (n == 0) return kOutOfMemory;  // there is no plan of length 0
  const Size ns = static_cast<Size>(n), h = ns / 2;
  const bool copy = shift;
  ThreadScratch<double> scratch;
  const double* src = X;
  if (copy) {
    if (Status s = scratch.Allocate(2 * ns)) return s;
    if (shift) {
      std::rotate_copy(X, X + 2 * h, X + 2 * ns, scratch.data());  // X[(k + h) mod n] at k
    } else {
      std::memcpy(scratch.data(), X, 2 * sizeof(double) * ns);
    }
    src = scratch.data();
  }
  if (Status s = plan.Acquire(n)) return s;
  return FftComplexInterleaved(plan.get(), src, out, n, true);
}

namespace {

Status Forward2D(const double* x, std::int32_t rows, std::int32_t cols, std::int32_t tr,
                 std::int32_t tc, std::int32_t shift, double* out, bool real) {
  if (rows < 1 || cols < 1) return kCountNotPositive;
  if (tr < 1) tr = rows;
  if (tc < 1) tc = cols;
  const Size per = real ? 1 : 2;  // doubles per input value
  const Size in_doubles = per * rows * static_cast<Size>(cols);
  const Size width = static_cast<Size>(tc);
  const Size out_doubles = 2 * static_cast<Size>(tr) * width;
  FftPlanHold row_plan, column_plan;
  if (!row_plan.Acquire(tc) || !column_plan.Acquire(tr)) return kOutOfMemory;
  const bool copy = Overlap(x, in_doubles, out, out_doubles);
  const Size row_need = 2 * width;  // a padded row (real: and its half-complex spectrum)
  ThreadScratch<double> scratch;
  if (Status s = scratch.Allocate((copy ? in_doubles : 0) + row_need + ColumnScratch(tr))) return s;
  double* row_buffer = scratch.data();
  double* column_work = row_buffer + row_need;
  const double* src = x;
  if (copy) {
    double* kept = column_work + ColumnScratch(tr);
    std::memcpy(kept, x, sizeof(double) * in_doubles);
    src = kept;
  }
  const std::int32_t used_rows = std::min(rows, tr);
  const std::int32_t used_cols = std::min(cols, tc);
  const std::int32_t half = tc / 2;
  for (std::int32_t r = 0; r < used_rows; ++r) {
    const double* row = src + per * r * static_cast<Size>(cols);
    double* dst = out + 2 * width * r;
    const double* in = row;
    if (cols < tc) {
      std::memcpy(row_buffer, row, sizeof(double) * per * used_cols);
      std::memset(row_buffer + per * used_cols, 0, sizeof(double) * per * (tc - used_cols));
      in = row_buffer;
    }
    if (!real) {
      if (Status s = FftComplexInterleaved(row_plan, in, dst, tc, false)) return s;
      continue;
    }
    double* hc = row_buffer + width;
    if (Status s = FftRealForward(row_plan, in, hc, 1, 1, tc)) return s;
    for (std::int32_t k = 0; k <= half; ++k)
      HalfComplexBin(hc, tc, k, &dst[2 * k], &dst[2 * k + 1]);
  }
  for (std::int32_t r = used_rows; r < tr; ++r)
    std::memset(out + 2 * width * r, 0, 2 * sizeof(double) * width);
  const std::int32_t transformed = real ? half + 1 : tc;
  if (Status s = Columns(column_plan, out, tr, width, transformed, false, column_work)) return s;
  if (real) {
    for (std::int32_t r = 0; r < tr; ++r) {
      const Size mirror = r == 0 ? 0 : static_cast<Size>(tr - r);
      double* dst = out + 2 * width * r;
      const double* from = out + 2 * mirror * width;
      for (std::int32_t c = half + 1; c < tc; ++c) {
        dst[2 * c] = from[2 * (tc - c)];
        dst[2 * c + 1] = -from[2 * (tc - c) + 1];
      }
    }
  }
  if (shift) Centre2D(out, tr, width);
  return kSuccess;
}

Status Inverse2D(const double* X, std::int32_t rows, std::int32_t cols, std::int32_t shift,
                 double* out, bool real) {
  if (rows < 1 || cols < 1) return kCountNotPositive;
  const Size width = static_cast<Size>(cols);
  const Size count = static_cast<Size>(rows) * width;
  FftPlanHold row_plan, column_plan;
  if (!row_plan.Acquire(cols) || !column_plan.Acquire(rows)) return kOutOfMemory;
  // Real output: the whole complex result in a working array, then its real
  // parts. Complex output: the working copy only when the centring is undone
  // or out overlaps X.
  const bool copy = real || shift || Overlap(X, 2 * count, out, 2 * count);
  ThreadScratch<double> scratch;
  if (Status s = scratch.Allocate((copy ? 2 * count : 0) + ColumnScratch(rows))) return s;
  double* column_work = scratch.data();
  double* work = column_work + ColumnScratch(rows);
  const double* src = X;
  if (copy) {
    const Size hr = static_cast<Size>(rows) / 2, hc = width / 2;
    for (Size r = 0; r < static_cast<Size>(rows); ++r) {
      double* dst = work + 2 * r * width;
      if (shift) {
        const double* from = X + 2 * ((r + hr) % rows) * width;
        std::rotate_copy(from, from + 2 * hc, from + 2 * width, dst);
      } else {
        std::memcpy(dst, X + 2 * r * width, 2 * sizeof(double) * width);
      }
    }
    src = work;
  }
  double* z = real ? work : out;  // where the result is built
  // Row by row, in place when z is the working copy (the interleaved
  // transform reads its whole row before writing it).
  for (std::int32_t r = 0; r < rows; ++r) {
    const Size at = 2 * width * r;
    if (Status s = FftComplexInterleaved(row_plan, src + at, z + at, cols, true)) return s;
  }
  if (Status s = Columns(column_plan, z, rows, width, cols, true, column_work)) return s;
  if (real) {
    for (Size i = 0; i < count; ++i) out[i] = z[2 * i];
  }
  return kSuccess;
}

}  // namespace

Status RealFft2D(const double* x, std::int32_t rows, std::int32_t cols, std::int32_t transform_rows,
                 std::int32_t transform_cols, std::int32_t shift, double* out) {
  return Forward2D(x, rows, cols, transform_rows, transform_cols, shift, out, true);
}
Status ComplexFft2D(const double* x, std::int32_t rows, std::int32_t cols,
                    std::int32_t transform_rows, std::int32_t transform_cols, std::int32_t shift,
                    double* out) {
  return Forward2D(x, rows, cols, transform_rows, transform_cols, shift, out, false);
}
Status InverseRealFft2D(const double* X, std::int32_t rows, std::int32_t cols, std::int32_t shift,
                        double* out) {
  return Inverse2D(X, rows, cols, shift, out, true);
}
Status InverseComplexFft2D(const double* X, std::int32_t rows, std::int32_t cols,
                           std::int32_t shift, double* out) {
  return Inverse2D(X, rows, cols, shift, out, false);
}

}  // namespace qm::fft
