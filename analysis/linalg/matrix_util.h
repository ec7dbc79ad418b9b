// Small helpers of the real matrix routines: shape checks, layout changes
// between the caller's row-major blocks and LAPACK's column-major ones, and
// the mapping of LAPACK's `info` results.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "frame/lapack.h"
#include "frame/status.h"
#include "frame/workspace.h"
#include "linalg/finite.h"

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

// The conjugate of an element: the element itself for real matrices.
inline double Conj(double v) { return v; }
inline fcomplex Conj(const fcomplex& v) { return std::conj(v); }

// The checks of a generalized eigenvalue operation on the n x n pair (a, b),
// in order: the shape, the ordering 0 to 4 (-20061), both matrices (-20068).
template <class T>
Status CheckPair(const T* a, const T* b, std::int32_t n, std::int32_t ordering,
                 std::size_t* count) {
  if (Status s = CheckShape(n, n, count)) return s;
  if (ordering < 0 || ordering > 4) return kBadSelection;
  if (Status s = CheckFinite(a, *count)) return s;
  return CheckFinite(b, *count);
}

// dst[j*dst_ld + i] = src[i*src_ld + j] for i < rows, j < cols (conjugated
// as well when kConjugate is set).
// Row-major to column-major: Transpose(a, cols, rows, cols, work, ld).
// Column-major (leading dimension ld) to row-major:
//   Transpose(work, ld, cols, rows, out, cols).
template <bool kConjugate = false, class T>
void Transpose(const T* src, std::size_t src_ld, std::int32_t rows, std::int32_t cols, T* dst,
               std::size_t dst_ld) {
  // 16 x 16 tiles, writing contiguous runs of the destination: with
  // power-of-two leading dimensions, strided writes over larger tiles keep
  // evicting each other from the cache.
  constexpr std::int32_t kTile = 16;
  for (std::int32_t j0 = 0; j0 < cols; j0 += kTile) {
    const std::int32_t j1 = j0 + kTile < cols ? j0 + kTile : cols;
    for (std::int32_t i0 = 0; i0 < rows; i0 += kTile) {
      const std::int32_t i1 = i0 + kTile < rows ? i0 + kTile : rows;
      for (std::int32_t j = j0; j < j1; ++j) {
        T* d = dst + static_cast<std::size_t>(j) * dst_ld;
        for (std::int32_t i = i0; i < i1; ++i) {
          const T& v = src[static_cast<std::size_t>(i) * src_ld + j];
          if constexpr (kConjugate) {
            d[i] = Conj(v);
          } else {
            d[i] = v;
          }
        }
      }
    }
  }
}

template <class T>
void Copy(const T* src, std::size_t count, T* dst) {
  if (src != dst && count) std::memmove(dst, src, count * sizeof(T));
}

template <class T>
void Fill(T* dst, std::size_t count, T v) {
  for (std::size_t i = 0; i < count; ++i) dst[i] = v;
}

// True when the byte ranges [a, a+na) and [b, b+nb) (in elements) overlap.
template <class T>
bool Overlaps(const T* a, std::size_t na, const T* b, std::size_t nb) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a);
  const auto pb = reinterpret_cast<std::uintptr_t>(b);
  return pa < pb + nb * sizeof(T) && pb < pa + na * sizeof(T);
}

// Scratch for the working copy of a large matrix. Blocks of at least
// kAreaBytes come from the calling thread's scratch area, whose pages stay
// mapped from one call to the next (a fresh heap block of that size is
// mapped anew and page-faulted on first touch every call); the area is
// capped (kThreadScratchKeep, beyond it the heap serves) and released when
// the thread ends. Smaller blocks come from the heap.
template <class T>
class MatrixScratch {
 public:
  static constexpr std::size_t kAreaBytes = std::size_t{64} << 10;
  Status Allocate(std::size_t count) {
    area_used_ = count >= kAreaBytes / sizeof(T);
    return area_used_ ? area_.Allocate(count) : heap_.Allocate(count);
  }
  T* data() const { return area_used_ ? area_.data() : heap_.data(); }
  T& operator[](std::size_t i) const { return data()[i]; }

 private:
  bool area_used_ = false;
  Scratch<T> heap_;
  ThreadScratch<T> area_;
};

// The caller's interleaved (re, im) blocks seen as complex elements (the
// layouts are the same).
inline fcomplex* AsComplex(double* p) { return reinterpret_cast<fcomplex*>(p); }
inline const fcomplex* AsComplex(const double* p) { return reinterpret_cast<const fcomplex*>(p); }

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

// Ordering of Schur and generalized Schur forms (orderings 1 to 4). The
// diagonal blocks of a quasi-triangular column-major block (complex
// triangular ones have 1 x 1 blocks only), the key of an eigenvalue (real
// part for 1 and 2, modulus for 3 and 4), whether the earlier key must move
// behind the later one, and the same in the alternative mode in which keys
// equal within √ε (relative) count as equal.
std::int32_t SchurBlocks(const double* t, std::int32_t n, std::int32_t* start, std::int32_t* size);
bool OutOfOrder(std::int32_t ordering, double earlier, double later);
double EigenvalueKey(std::int32_t ordering, double re, double im);
bool MustExchange(std::int32_t ordering, double earlier, double later, bool tolerant);

// In-place inverse of a general n x n block by dgetrf and dgetri (either
// layout). -20041 when the matrix is singular.
Status InvertGeneralInPlace(const LapackTable* la, double* x, std::int32_t n);
Status InvertGeneralInPlace(const LapackTable* la, fcomplex* x, std::int32_t n);

// x (n x k) = pinv(A)·B for the complex m x n A and B (m x k) by the economy
// singular value decomposition; singular values at or below
// max(m, n)·σ₁·ε are dropped (ε the tolerance when positive, else machine
// epsilon), with the warning 20001 when any is.
Status SolveBySvd(const LapackTable* la, const fcomplex* a, std::int32_t m, std::int32_t n,
                  const fcomplex* b, std::int32_t k, double tolerance, fcomplex* x);

// The end of a generalized Schur decomposition held in a workspace `w`
// (column-major S, T, Q, Z): the eigenvectors asked for (left, right not
// null) from `tgevc(side, vl, vr, &info)`, which back-transforms copies of
// Q and Z, each set stored by `put(vectors, destination)`; then S, T, Q, Z
// into the caller's row-major arrays that are not null.
template <class W, class Out, class Tgevc, class Put>
Status FinishSchurPair(const W& w, std::int32_t n, Out* left, Out* right, Tgevc tgevc, Put put,
                       Out* s, Out* t, Out* q, Out* z) {
  using T = std::remove_pointer_t<decltype(w.q.data())>;
  if (left || right) {
    const std::size_t count = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    Scratch<T> vl, vr;
    if (Status st = vl.Allocate(count)) return st;
    if (Status st = vr.Allocate(count)) return st;
    Copy(w.q.data(), count, vl.data());
    Copy(w.z.data(), count, vr.data());
    fint info = 0;
    tgevc(left && right ? "B" : left ? "L" : "R", vl.data(), vr.data(), &info);
    if (info > 0) return kIterationsExceeded;
    if (Status st = NegativeInfo(info)) return st;
    if (left) put(vl.data(), left);
    if (right) put(vr.data(), right);
  }
  if (s) Transpose(w.s.data(), n, n, n, s, n);
  if (t) Transpose(w.t.data(), n, n, n, t, n);
  if (q) Transpose(w.q.data(), n, n, n, q, n);
  if (z) Transpose(w.z.data(), n, n, n, z, n);
  return kSuccess;
}

}  // namespace qm::linalg
