// Determinants, inverses, linear systems, LU and Cholesky factors of real
// matrices, delegated to LAPACK.
//
// Two layout techniques are used. (a) The caller's row-major block is handed
// to LAPACK unchanged, so LAPACK sees the transpose; this serves wherever the
// transpose gives the wanted result directly (det(Aᵀ) = det(A),
// (Aᵀ)⁻¹ = (A⁻¹)ᵀ) or where only the triangle letter has to be swapped.
// (b) The matrix is copied transposed into a column-major work buffer.
#include <cmath>
#include <complex>
#include <cstddef>
#include <type_traits>

#include "frame/boundary.h"
#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/complex.h"
#include "linalg/finite.h"
#include "linalg/kernels.h"
#include "linalg/matrix_util.h"
#include "linalg/real.h"

namespace qm::linalg {

namespace {

using kernel::Dot;
using kernel::QueryValue;

bool IsTriangularType(std::int32_t type) {
  return type == kMatrixLowerTriangular || type == kMatrixUpperTriangular;
}

// (NaN, NaN) for complex results.
template <class T>
T NotANumber() {
  return T(kNaN);
}
template <>
fcomplex NotANumber<fcomplex>() {
  return fcomplex(kNaN, kNaN);
}

// The product of two elements; for complex ones
// (re·dre - im·dim, im·dre + re·dim), written out.
inline double Mul(double a, double b) { return a * b; }
inline fcomplex Mul(const fcomplex& p, const fcomplex& d) {
  return fcomplex(p.real() * d.real() - p.imag() * d.imag(),
                  p.imag() * d.real() + p.real() * d.imag());
}

// Sets the strictly lower (lower = true) or strictly upper triangle of the
// row-major n x n block to zero.
template <class T>
void ZeroTriangle(T* a, std::int32_t n, bool lower) {
  for (std::int32_t i = 0; i < n; ++i) {
    T* row = a + static_cast<std::size_t>(i) * n;
    if (lower) {
      for (std::int32_t j = 0; j < i; ++j) row[j] = T(0.0);
    } else {
      for (std::int32_t j = i + 1; j < n; ++j) row[j] = T(0.0);
    }
  }
}

// The working copy (MatrixScratch) filled from the caller's matrix by
// `fill`, which tests finiteness as it copies. The documented order of the codes holds:
// when LAPACK or the memory is missing, a scan decides whether -20068 comes
// first.
template <class T, class Fill>
Status PrepareChecked(const T* a, std::size_t count, std::size_t room, const LapackTable** la,
                      MatrixScratch<T>* work, Fill fill) {
  Status ready = RequireLapack(la);
  if (!ready) ready = work->Allocate(room);
  if (ready) {
    if (Status s = CheckFinite(a, count)) return s;
    return ready;
  }
  return fill(work->data());
}

template <class T>
Status InvertGeneral(const LapackTable* la, T* x, std::int32_t n) {
  Scratch<fint> ipiv;
  if (Status s = ipiv.Allocate(static_cast<std::size_t>(n))) return s;
  fint info = 0;
  kernel::Getrf(la, n, x, n, ipiv.data(), &info);
  if (info > 0) return kSingularMatrix;
  if (Status s = NegativeInfo(info)) return s;
  T query = T(0.0);
  kernel::Getri(la, n, x, ipiv.data(), &query, -1, &info);
  if (Status s = NegativeInfo(info)) return s;
  const fint lwork = QueriedLength(QueryValue(query), n);
  Scratch<T> work;
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  kernel::Getri(la, n, x, ipiv.data(), work.data(), lwork, &info);
  if (info > 0) return kSingularMatrix;
  return NegativeInfo(info);
}

template <class T>
Status DeterminantOf(const T* a, std::int32_t n, std::int32_t type, T* det) {
  *det = NotANumber<T>();
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (type < kMatrixGeneral || type > kMatrixUpperTriangular) return kBadSelection;

  if (n == 2 || IsTriangularType(type)) {
    if (Status s = CheckFinite(a, count)) return s;
    if (n == 2) {
      *det = Mul(a[0], a[3]) - Mul(a[1], a[2]);
      return kSuccess;
    }
    T p = T(1.0);
    for (std::int32_t i = 0; i < n; ++i) p = Mul(p, a[static_cast<std::size_t>(i) * n + i]);
    *det = p;
    return kSuccess;
  }

  // Technique (a): det(Aᵀ) = det(A).
  const LapackTable* la = nullptr;
  MatrixScratch<T> work;
  if (Status s = PrepareChecked(a, count, count, &la, &work,
                                [&](T* w) { return CopyChecked(a, count, w); })) {
    return s;
  }
  fint info = 0;
  if (type == kMatrixPositiveDefinite) {
    kernel::Potrf(la, "L", n, work.data(), &info);
    if (info > 0) {
      *det = T(0.0);
      return kNotPositiveDefinite;
    }
    if (Status s = NegativeInfo(info)) return s;
    T p = T(1.0);
    for (std::int32_t i = 0; i < n; ++i) p = Mul(p, work[static_cast<std::size_t>(i) * n + i]);
    *det = Mul(p, p);
    return kSuccess;
  }

  Scratch<fint> ipiv;
  if (Status s = ipiv.Allocate(static_cast<std::size_t>(n))) return s;
  kernel::Getrf(la, n, work.data(), n, ipiv.data(), &info);
  if (info > 0) {  // an exactly zero pivot
    *det = T(0.0);
    return kSuccess;
  }
  if (Status s = NegativeInfo(info)) return s;
  T p = T(1.0);
  bool negate = false;
  for (std::int32_t i = 0; i < n; ++i) {
    p = Mul(p, work[static_cast<std::size_t>(i) * n + i]);
    if (ipiv[i] != i + 1) negate = !negate;
  }
  *det = negate ? -p : p;
  return kSuccess;
}

template <class T>
Status InverseOf(const T* a, std::int32_t n, std::int32_t type, T* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (type < kMatrixGeneral || type > kMatrixUpperTriangular) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;

  Copy(a, count, out);
  fint info = 0;
  switch (type) {
    case kMatrixGeneral:
      return InvertGeneral(la, out, n);
    case kMatrixPositiveDefinite: {
      // LAPACK's lower triangle is the caller's upper one (LAPACK sees Aᵀ,
      // for a Hermitian matrix conj(A), whose inverse is conj(A⁻¹)).
      kernel::Potrf(la, "L", n, out, &info);
      if (info > 0) return kNotPositiveDefinite;
      if (Status s = NegativeInfo(info)) return s;
      kernel::Potri(la, "L", n, out, &info);
      if (info > 0) return kSingularMatrix;
      if (Status s = NegativeInfo(info)) return s;
      // The lower triangle mirrors the upper one, conjugated.
      for (std::int32_t i = 0; i < n; ++i) {
        for (std::int32_t j = i + 1; j < n; ++j) {
          out[static_cast<std::size_t>(j) * n + i] = Conj(out[static_cast<std::size_t>(i) * n + j]);
        }
      }
      return kSuccess;
    }
    default: {
      const bool lower = type == kMatrixLowerTriangular;
      kernel::Trtri(la, lower ? "U" : "L", n, out, &info);
      if (info > 0) return kSingularMatrix;
      if (Status s = NegativeInfo(info)) return s;
      // The inverse of a triangular matrix is triangular: whatever the
      // caller kept in the other triangle is not part of it.
      ZeroTriangle(out, n, !lower);
      return kSuccess;
    }
  }
}

}  // namespace

// In-place inverse of a general n x n block (either layout: the inverse of
// the transpose is the transpose of the inverse) by dgetrf and dgetri. The
// dgetri workspace comes from a query: the blocked path needs more than n.
Status InvertGeneralInPlace(const LapackTable* la, double* x, std::int32_t n) {
  return InvertGeneral(la, x, n);
}

Status InvertGeneralInPlace(const LapackTable* la, fcomplex* x, std::int32_t n) {
  return InvertGeneral(la, x, n);
}

Status Determinant(const double* a, std::int32_t n, double* det) {
  return DeterminantTyped(a, n, kMatrixGeneral, det);
}

Status DeterminantTyped(const double* a, std::int32_t n, std::int32_t type, double* det) {
  return DeterminantOf(a, n, type, det);
}

Status ComplexDeterminantTyped(const double* a, std::int32_t n, std::int32_t type, double* det) {
  fcomplex d;
  const Status s = DeterminantOf(AsComplex(a), n, type, &d);
  det[0] = d.real();
  det[1] = d.imag();
  return s;
}

Status MatrixInverse(const double* a, std::int32_t n, double* out) {
  return MatrixInverseTyped(a, n, kMatrixGeneral, out);
}

Status MatrixInverseTyped(const double* a, std::int32_t n, std::int32_t type, double* out) {
  return InverseOf(a, n, type, out);
}

Status ComplexMatrixInverseTyped(const double* a, std::int32_t n, std::int32_t type, double* out) {
  return InverseOf(AsComplex(a), n, type, AsComplex(out));
}

Status SolveSquare(const double* a, const double* b, std::int32_t n, double* x) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  // Technique (b), with the test of A fused into the transposed copy; b is
  // tested before any of it is copied.
  const LapackTable* la = nullptr;
  MatrixScratch<double> work;
  Status ready = RequireLapack(&la);
  if (!ready) ready = work.Allocate(count);
  if (ready) {
    if (Status s = CheckFinite(a, count)) return s;
    if (Status s = CheckFinite(b, static_cast<std::size_t>(n))) return s;
    return ready;
  }
  if (Status s = TransposeChecked(a, n, work.data(), static_cast<std::size_t>(n))) return s;
  if (Status s = CheckFinite(b, static_cast<std::size_t>(n))) return s;
  Scratch<fint> ipiv;
  if (Status s = ipiv.Allocate(static_cast<std::size_t>(n))) return s;

  Copy(b, static_cast<std::size_t>(n), x);
  const fint nrhs = 1;
  fint info = 0;
  la->dgesv(&n, &nrhs, work.data(), &n, ipiv.data(), x, &n, &info);
  if (info > 0) return kSingularMatrix;
  return NegativeInfo(info);
}

namespace {

// Type 0: minimum-norm least squares by dgelsd.
Status SolveLeastSquares(const LapackTable* la, const double* a, std::int32_t m, std::int32_t n,
                         const double* b, std::int32_t k, double* x) {
  const std::int32_t ldb = m > n ? m : n;
  const std::int32_t minmn = m < n ? m : n;
  std::size_t bcount = 0;
  if (Status s = ElementCount(ldb, k, &bcount)) return s;
  Scratch<double> acm, bcm, sv;
  if (Status s = acm.Allocate(static_cast<std::size_t>(m) * n)) return s;
  if (Status s = bcm.Allocate(bcount)) return s;
  if (Status s = sv.Allocate(static_cast<std::size_t>(minmn))) return s;
  Transpose(a, n, m, n, acm.data(), m);
  Transpose(b, k, m, k, bcm.data(), ldb);

  const double rcond = static_cast<double>(ldb) * kEpsilon;
  fint rank = 0, info = 0, lwork = -1, iquery = 0;
  double query = 0.0;
  la->dgelsd(&m, &n, &k, acm.data(), &m, bcm.data(), &ldb, sv.data(), &rcond, &rank, &query, &lwork,
             &iquery, &info);
  if (Status s = NegativeInfo(info)) return s;
  lwork = QueriedLength(query, 1);
  // (3·⌊log2 min(m, n)⌋ + 14)·min(m, n) covers LAPACK's minimum for any
  // block size; a larger answer from the query wins.
  std::int32_t log2 = 0;
  while ((std::int64_t{2} << log2) <= minmn) ++log2;
  std::int64_t liwork = (3 * static_cast<std::int64_t>(log2) + 14) * minmn;
  if (iquery > liwork) liwork = iquery;
  Scratch<double> work;
  Scratch<fint> iwork;
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  if (Status s = iwork.Allocate(static_cast<std::size_t>(liwork))) return s;
  la->dgelsd(&m, &n, &k, acm.data(), &m, bcm.data(), &ldb, sv.data(), &rcond, &rank, work.data(),
             &lwork, iwork.data(), &info);
  if (info > 0) return kIterationsExceeded;
  if (Status s = NegativeInfo(info)) return s;
  Transpose(bcm.data(), ldb, k, n, x, k);
  return rank < minmn ? kWarnRankDeficient : kSuccess;
}

// Type 1: positive definite by dposv / zposv. LAPACK reads the copy as its
// transpose; for a Hermitian matrix that is conj(A), so the complex copy is
// conjugated and LAPACK sees A itself.
template <class T>
Status SolvePositiveDefinite(const LapackTable* la, const T* a, std::int32_t n, const T* b,
                             std::int32_t k, T* x) {
  const std::size_t count = static_cast<std::size_t>(n) * n;
  Scratch<T> acopy, bcm;
  if (Status s = acopy.Allocate(count)) return s;
  if (Status s = bcm.Allocate(static_cast<std::size_t>(n) * k)) return s;
  if constexpr (std::is_same_v<T, double>) {
    Copy(a, count, acopy.data());
  } else {
    for (std::size_t i = 0; i < count; ++i) acopy[i] = std::conj(a[i]);
  }
  Transpose(b, k, n, k, bcm.data(), n);
  fint info = 0;
  kernel::Posv(la, n, k, acopy.data(), bcm.data(), &info);
  if (info > 0) return kNotPositiveDefinite;
  if (Status s = NegativeInfo(info)) return s;
  Transpose(bcm.data(), n, k, n, x, k);
  return kSuccess;
}

// Index of the packed element of largest magnitude (cblas_idamax for real
// elements; the complex one compares moduli).
std::size_t LargestPacked(const LapackTable* la, const double* ap, std::size_t packed) {
  const int packed_count = static_cast<int>(packed < 2147483647u ? packed : 2147483647u);
  return la->cblas_idamax(packed_count, ap, 1);
}
std::size_t LargestPacked(const LapackTable*, const fcomplex* ap, std::size_t packed) {
  std::size_t best = 0;
  double big = -1.0;
  for (std::size_t i = 0; i < packed; ++i) {
    const double v = std::abs(ap[i]);
    if (v > big) {
      big = v;
      best = i;
    }
  }
  return best;
}

// Types 2 and 3: the triangle packed column by column, then dtptrs / ztptrs.
template <class T>
Status SolveTriangular(const LapackTable* la, const T* a, std::int32_t n, bool lower, const T* b,
                       std::int32_t k, T* x) {
  const std::size_t packed = static_cast<std::size_t>(n) * (static_cast<std::size_t>(n) + 1) / 2;
  Scratch<T> ap, bcm;
  if (Status s = ap.Allocate(packed)) return s;
  if (Status s = bcm.Allocate(static_cast<std::size_t>(n) * k)) return s;
  std::size_t p = 0;
  for (std::int32_t j = 0; j < n; ++j) {
    const std::int32_t i0 = lower ? j : 0;
    const std::int32_t i1 = lower ? n : j + 1;
    for (std::int32_t i = i0; i < i1; ++i) ap[p++] = a[static_cast<std::size_t>(i) * n + j];
  }
  const std::size_t big = LargestPacked(la, ap.data(), packed);
  const double tol = std::abs(ap[big]) * kEpsilon;
  for (std::int32_t i = 0; i < n; ++i) {
    if (std::abs(a[static_cast<std::size_t>(i) * n + i]) <= tol) return kSingularMatrix;
  }
  Transpose(b, k, n, k, bcm.data(), n);
  fint info = 0;
  kernel::Tptrs(la, lower ? "L" : "U", n, k, ap.data(), bcm.data(), &info);
  if (info > 0) return kSingularMatrix;
  if (Status s = NegativeInfo(info)) return s;
  Transpose(bcm.data(), n, k, n, x, k);
  return kSuccess;
}

Status SolveGeneral(const LapackTable* la, const double* a, std::int32_t m, std::int32_t n,
                    const double* b, std::int32_t k, double* x) {
  return SolveLeastSquares(la, a, m, n, b, k, x);
}
Status SolveGeneral(const LapackTable* la, const fcomplex* a, std::int32_t m, std::int32_t n,
                    const fcomplex* b, std::int32_t k, fcomplex* x) {
  return SolveBySvd(la, a, m, n, b, k, -1.0, x);
}

template <class T>
Status SolveMulti(const T* a, std::int32_t m, std::int32_t n, std::int32_t type, const T* b,
                  std::int32_t k, T* x) {
  std::size_t acount = 0, bcount = 0;
  if (Status s = CheckShape(m, n, &acount)) return s;
  if (Status s = CheckShape(m, k, &bcount)) return s;
  if (Status s = ElementCount(n, k, &bcount)) return s;
  if (type < kMatrixGeneral || type > kMatrixUpperTriangular) return kBadSelection;
  // Every type but the least-squares one solves a square system: reading an
  // m x m matrix out of an m x n block with n < m would overrun it.
  if (type != kMatrixGeneral && m != n) return kInnerDimensionMismatch;
  if (Status s = CheckFinite(a, acount)) return s;
  if (Status s = CheckFinite(b, static_cast<std::size_t>(m) * k)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  switch (type) {
    case kMatrixGeneral:
      return SolveGeneral(la, a, m, n, b, k, x);
    case kMatrixPositiveDefinite:
      return SolvePositiveDefinite(la, a, n, b, k, x);
    default:
      return SolveTriangular(la, a, n, type == kMatrixLowerTriangular, b, k, x);
  }
}

template <class T>
Status LuOf(T* a, std::int32_t n, std::int64_t* pivots, std::int32_t* parity) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  // Columns start on 128-byte boundaries relative to the block.
  const std::int32_t ld = static_cast<std::int32_t>((static_cast<std::int64_t>(n) + 15) / 16 * 16);
  Scratch<T> work;
  Scratch<fint> ipiv;
  if (Status s = work.Allocate(static_cast<std::size_t>(ld) * n)) return s;
  if (Status s = ipiv.Allocate(static_cast<std::size_t>(n))) return s;
  Transpose(a, n, n, n, work.data(), ld);
  fint info = 0;
  kernel::Getrf(la, n, work.data(), ld, ipiv.data(), &info);
  if (Status s = NegativeInfo(info)) return s;
  Transpose(work.data(), ld, n, n, a, n);
  std::int32_t odd = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int64_t p = ipiv[i] - 1;
    if (pivots) pivots[i] = p;
    if (p != i) odd ^= 1;
  }
  *parity = odd;
  return info > 0 ? kWarnSingular : kSuccess;
}

template <class T>
Status CholeskyOf(const T* a, std::int32_t n, T* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Copy(a, count, out);
  fint info = 0;
  // LAPACK's lower factor L of Aᵀ is, read row-major, the upper factor R
  // with A = Rᵀ·R in the caller's upper triangle (for a Hermitian A, LAPACK
  // sees conj(A) = L·Lᴴ, so A = Rᴴ·R).
  kernel::Potrf(la, "L", n, out, &info);
  if (info > 0) return kNotPositiveDefinite;
  if (Status s = NegativeInfo(info)) return s;
  ZeroTriangle(out, n, true);
  return kSuccess;
}

}  // namespace

Status SolveLinearEquationsMulti(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                                 const double* b, std::int32_t k, double* x) {
  return SolveMulti(a, m, n, type, b, k, x);
}

Status SolveLinearEquations(const double* a, std::int32_t m, std::int32_t n, const double* b,
                            std::int32_t type, double* x) {
  return SolveLinearEquationsMulti(a, m, n, type, b, 1, x);
}

Status ComplexSolveLinearEquationsMulti(const double* a, std::int32_t m, std::int32_t n,
                                        std::int32_t type, const double* b, std::int32_t k,
                                        double* x) {
  return SolveMulti(AsComplex(a), m, n, type, AsComplex(b), k, AsComplex(x));
}

Status ComplexSolveLinearEquations(const double* a, std::int32_t m, std::int32_t n, const double* b,
                                   std::int32_t type, double* x) {
  return ComplexSolveLinearEquationsMulti(a, m, n, type, b, 1, x);
}

Status LuDecomposition(double* a, std::int32_t n, std::int64_t* pivots, std::int32_t* parity) {
  return LuOf(a, n, pivots, parity);
}

Status ComplexLuDecomposition(double* a, std::int32_t n, std::int64_t* pivots,
                              std::int32_t* parity) {
  return LuOf(AsComplex(a), n, pivots, parity);
}

Status CholeskyFactor(const double* a, std::int32_t n, double* out) {
  return CholeskyOf(a, n, out);
}

Status ComplexCholeskyFactor(const double* a, std::int32_t n, double* out) {
  return CholeskyOf(AsComplex(a), n, AsComplex(out));
}

Status LuForwardSubstitution(const double* lu, const double* b, std::int32_t n, double* y,
                             const std::int64_t* pivots) {
  if (n < 1) return kCountNotPositive;
  std::size_t count = 0;
  if (Status s = ElementCount(n, n, &count)) return s;
  // Pivots are checked before anything is written: an index outside the
  // vector would read and write out of bounds.
  for (std::int32_t i = 0; i < n; ++i) {
    if (!FitsInt32(pivots[i])) return kOverflow;
    if (pivots[i] < 0 || pivots[i] >= n) return kBadIndex;
  }
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Copy(b, static_cast<std::size_t>(n), y);
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int64_t p = pivots[i];
    const double t = y[i];
    y[i] = y[p];
    y[p] = t;
  }
  for (std::int32_t i = 1; i < n; ++i) {
    y[i] -= la->cblas_ddot(i, lu + static_cast<std::size_t>(i) * n, 1, y, 1);
  }
  return kSuccess;
}

Status BackSubstitution(const double* u, const double* b, std::int32_t n, double* x) {
  if (n < 1) return kCountNotPositive;
  std::size_t count = 0;
  if (Status s = ElementCount(n, n, &count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Copy(b, static_cast<std::size_t>(n), x);
  for (std::int32_t i = n - 1; i >= 0; --i) {
    const double* row = u + static_cast<std::size_t>(i) * n;
    if (row[i] == 0.0) return kSingularMatrix;
    const double sum = i + 1 < n ? la->cblas_ddot(n - 1 - i, row + i + 1, 1, x + i + 1, 1) : 0.0;
    x[i] = (x[i] - sum) / row[i];
  }
  return kSuccess;
}

}  // namespace qm::linalg
