// Eigenvalues and eigenvectors, balancing, Hessenberg and Schur forms of real
// matrices, delegated to LAPACK.
#include <cmath>
#include <complex>
#include <cstddef>
#include <type_traits>

#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/complex.h"
#include "linalg/finite.h"
#include "linalg/kernels.h"
#include "linalg/matrix_util.h"
#include "linalg/real.h"

namespace qm::linalg {

namespace {

// Balancing job codes 0 to 3 and their LAPACK letters.
const char* BalanceLetter(std::int32_t job) {
  static const char* const kLetters[] = {"N", "P", "S", "B"};
  return job >= 0 && job <= 3 ? kLetters[job] : nullptr;
}

inline double& At(double* cm, std::int32_t ld, std::int32_t i, std::int32_t j) {
  return cm[i + static_cast<std::size_t>(j) * ld];
}

}  // namespace

Status EigenGeneral(const double* a, std::int32_t n, std::int32_t output_type, double* values,
                    double* vectors) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (output_type < 0 || output_type > 1) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const bool want = output_type == 1;
  if (want && !vectors) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;

  Scratch<double> x, wr, wi, vl;
  if (Status s = x.Allocate(count)) return s;
  if (Status s = wr.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = wi.Allocate(static_cast<std::size_t>(n))) return s;
  if (want) {
    if (Status s = vl.Allocate(count)) return s;
  }
  Copy(a, count, x.data());
  // LAPACK sees Aᵀ: its left eigenvectors are the caller's right ones.
  const char* jobvl = want ? "V" : "N";
  double dummy[1] = {0.0};
  double* vlp = want ? vl.data() : dummy;
  const fint ldvl = want ? n : 1, one = 1;
  fint info = 0, lwork = -1;
  double query = 0.0;
  la->dgeev(jobvl, "N", &n, x.data(), &n, wr.data(), wi.data(), vlp, &ldvl, dummy, &one, &query,
            &lwork, &info, 1, 1);
  if (Status s = NegativeInfo(info)) return s;
  lwork = QueriedLength(query, want ? 4 * n : 3 * n);
  Scratch<double> work;
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  la->dgeev(jobvl, "N", &n, x.data(), &n, wr.data(), wi.data(), vlp, &ldvl, dummy, &one,
            work.data(), &lwork, &info, 1, 1);
  if (info > 0) return kIterationsExceeded;
  if (Status s = NegativeInfo(info)) return s;

  for (std::int32_t j = 0; j < n; ++j) {
    values[2 * j] = wr[j];
    values[2 * j + 1] = wi[j];
  }
  if (!want) return kSuccess;
  // Column j of the complex n x n output, row-major interleaved.
  auto put = [&](std::int32_t i, std::int32_t j, double re, double im) {
    const std::size_t at = 2 * (static_cast<std::size_t>(i) * n + j);
    vectors[at] = re;
    vectors[at + 1] = im;
  };
  for (std::int32_t j = 0; j < n; ++j) {
    if (wi[j] == 0.0 || j + 1 == n) {
      for (std::int32_t i = 0; i < n; ++i) put(i, j, At(vl.data(), n, i, j), 0.0);
      continue;
    }
    // A pair λ, conj(λ) with Im λ > 0 first: LAPACK's left vector of Aᵀ for λ
    // is u = re + i·im, and A·conj(u) = λ·conj(u).
    for (std::int32_t i = 0; i < n; ++i) {
      const double re = At(vl.data(), n, i, j), im = At(vl.data(), n, i, j + 1);
      put(i, j, re, -im);
      put(i, j + 1, re, im);
    }
    ++j;
  }
  return kSuccess;
}

Status EigenSymmetric(const double* a, std::int32_t n, std::int32_t output_type, double* values,
                      double* vectors) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (output_type < 0 || output_type > 1) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const bool want = output_type == 1;
  if (want && !vectors) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<double> x, w;
  if (Status s = x.Allocate(count)) return s;
  if (Status s = w.Allocate(static_cast<std::size_t>(n))) return s;
  Copy(a, count, x.data());
  const char* job = want ? "V" : "N";
  fint info = 0, lwork = -1, liwork = -1, iquery = 0;
  double query = 0.0;
  la->dsyevd(job, "U", &n, x.data(), &n, w.data(), &query, &lwork, &iquery, &liwork, &info, 1, 1);
  if (Status s = NegativeInfo(info)) return s;
  lwork = QueriedLength(query, want ? 1 + 6 * n + 2 * n * n : 2 * n + 1);
  liwork = iquery > (want ? 3 + 5 * n : 1) ? iquery : (want ? 3 + 5 * n : 1);
  Scratch<double> work;
  Scratch<fint> iwork;
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  if (Status s = iwork.Allocate(static_cast<std::size_t>(liwork))) return s;
  la->dsyevd(job, "U", &n, x.data(), &n, w.data(), work.data(), &lwork, iwork.data(), &liwork,
             &info, 1, 1);
  if (info > 0) return kIterationsExceeded;
  if (Status s = NegativeInfo(info)) return s;
  Copy(w.data(), static_cast<std::size_t>(n), values);
  if (want) Transpose(x.data(), n, n, n, vectors, n);  // eigenvectors as columns
  return kSuccess;
}

namespace {

// 1 when every eigenvalue w[i·stride] (ascending) exceeds
// max(|first|, |last|)·ε, else 0.
std::int32_t AllAboveTolerance(const double* w, std::int32_t n, std::int32_t stride) {
  const double first = std::fabs(w[0]),
               last = std::fabs(w[static_cast<std::size_t>(n - 1) * stride]);
  const double tol = (first > last ? first : last) * kEpsilon;
  for (std::int32_t i = 0; i < n; ++i) {
    if (!(w[static_cast<std::size_t>(i) * stride] > tol)) return 0;
  }
  return 1;
}

// The symmetry test of the positive-definiteness check: A[j][i] must equal
// A[i][j], for complex matrices its conjugate (so a diagonal element must
// have a zero imaginary part). != is true for a NaN as well: such a matrix is
// not symmetric.
inline bool IsRealElement(double) { return true; }
inline bool IsRealElement(const fcomplex& v) { return v.imag() == 0.0; }

template <class T>
bool IsSelfAdjoint(const T* a, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    if (!IsRealElement(a[static_cast<std::size_t>(i) * n + i])) return false;
    for (std::int32_t j = i + 1; j < n; ++j) {
      if (a[static_cast<std::size_t>(i) * n + j] != Conj(a[static_cast<std::size_t>(j) * n + i])) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

Status IsPositiveDefinite(const double* a, std::int32_t n, std::int32_t* result) {
  *result = 0;
  if (n < 1) return kCountNotPositive;
  std::size_t count = 0;
  if (Status s = ElementCount(n, n, &count)) return s;
  if (!IsSelfAdjoint(a, n)) return kSuccess;
  Scratch<double> w;
  if (Status s = w.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = EigenSymmetric(a, n, 0, w.data(), nullptr)) return s;
  *result = AllAboveTolerance(w.data(), n, 1);
  return kSuccess;
}

Status ComplexIsPositiveDefinite(const double* a, std::int32_t n, std::int32_t* result) {
  *result = 0;
  if (n < 1) return kCountNotPositive;
  std::size_t count = 0;
  if (Status s = ElementCount(n, n, &count)) return s;
  if (!IsSelfAdjoint(AsComplex(a), n)) return kSuccess;
  Scratch<double> w;
  if (Status s = w.Allocate(2 * static_cast<std::size_t>(n))) return s;
  if (Status s = ComplexEigen(a, n, 1, 0, w.data(), nullptr)) return s;
  *result = AllAboveTolerance(w.data(), n, 2);
  return kSuccess;
}

// matrixType 0: zgeev on LAPACK's view Aᵀ; a left eigenvector u of Aᵀ
// (uᴴ·Aᵀ = λ·uᴴ) gives A·conj(u) = λ·conj(u). matrixType 1: zheevd on
// Aᵀ = conj(A), whose eigenvectors are the conjugates of A's. Either way
// the caller's eigenvectors are LAPACK's, conjugated, as columns.
Status ComplexEigen(const double* a, std::int32_t n, std::int32_t matrix_type,
                    std::int32_t output_type, double* values, double* vectors) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (matrix_type < 0 || matrix_type > 1) return kBadSelection;
  if (output_type < 0 || output_type > 1) return kBadSelection;
  if (Status s = CheckFiniteComplex(a, count)) return s;
  const bool want = output_type == 1;
  if (want && !vectors) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;

  const std::size_t nn = static_cast<std::size_t>(n);
  Scratch<fcomplex> x, work;
  Scratch<double> rwork;
  if (Status s = x.Allocate(count)) return s;
  Copy(AsComplex(a), count, x.data());
  fint info = 0, lwork = -1;
  fcomplex query(0.0);
  const char* job = want ? "V" : "N";
  if (matrix_type == 0) {
    Scratch<fcomplex> w, vl;
    if (Status s = w.Allocate(nn)) return s;
    if (Status s = rwork.Allocate(2 * nn)) return s;
    if (want) {
      if (Status s = vl.Allocate(count)) return s;
    }
    fcomplex dummy[1] = {fcomplex(0.0)};
    fcomplex* vlp = want ? vl.data() : dummy;
    const fint ldvl = want ? n : 1, one = 1;
    la->zgeev(job, "N", &n, x.data(), &n, w.data(), vlp, &ldvl, dummy, &one, &query, &lwork,
              rwork.data(), &info, 1, 1);
    if (Status s = NegativeInfo(info)) return s;
    lwork = QueriedLength(query.real(), 2 * n);
    if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
    la->zgeev(job, "N", &n, x.data(), &n, w.data(), vlp, &ldvl, dummy, &one, work.data(), &lwork,
              rwork.data(), &info, 1, 1);
    if (info > 0) return kIterationsExceeded;
    if (Status s = NegativeInfo(info)) return s;
    Copy(w.data(), nn, AsComplex(values));
    if (want) Transpose<true>(vl.data(), n, n, n, AsComplex(vectors), n);
    return kSuccess;
  }

  Scratch<double> w;
  Scratch<fint> iwork;
  if (Status s = w.Allocate(nn)) return s;
  fint lrwork = -1, liwork = -1, iquery = 0;
  double rquery = 0.0;
  la->zheevd(job, "U", &n, x.data(), &n, w.data(), &query, &lwork, &rquery, &lrwork, &iquery,
             &liwork, &info, 1, 1);
  if (Status s = NegativeInfo(info)) return s;
  lwork = QueriedLength(query.real(), want ? 2 * n + n * n : n + 1);
  lrwork = QueriedLength(rquery, want ? 1 + 5 * n + 2 * n * n : n);
  liwork = iquery > (want ? 3 + 5 * n : 1) ? iquery : (want ? 3 + 5 * n : 1);
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  if (Status s = rwork.Allocate(static_cast<std::size_t>(lrwork))) return s;
  if (Status s = iwork.Allocate(static_cast<std::size_t>(liwork))) return s;
  la->zheevd(job, "U", &n, x.data(), &n, w.data(), work.data(), &lwork, rwork.data(), &lrwork,
             iwork.data(), &liwork, &info, 1, 1);
  if (info > 0) return kIterationsExceeded;
  if (Status s = NegativeInfo(info)) return s;
  for (std::int32_t j = 0; j < n; ++j) {
    values[2 * j] = w[j];
    values[2 * j + 1] = 0.0;
  }
  if (want) Transpose<true>(x.data(), n, n, n, AsComplex(vectors), n);
  return kSuccess;
}

namespace {

template <class T>
Status BalanceOf(const T* a, std::int32_t n, std::int32_t job, std::int32_t* ilo, std::int32_t* ihi,
                 double* scale, T* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  const char* letter = BalanceLetter(job);
  if (!letter) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<T> x;
  if (Status s = x.Allocate(count)) return s;
  Transpose(a, n, n, n, x.data(), n);
  fint lo = 0, hi = 0, info = 0;
  kernel::Gebal(la, letter, n, x.data(), &lo, &hi, scale, &info);
  if (info != 0) return kAlgorithmFailure;
  Transpose(x.data(), n, n, n, out, n);
  *ilo = lo - 1;
  *ihi = hi - 1;
  return kSuccess;
}

template <class T>
Status BackTransformOf(const T* v, std::int32_t n, std::int32_t side, std::int32_t job,
                       std::int32_t ilo, std::int32_t ihi, const double* scale, T* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  const char* letter = BalanceLetter(job);
  if (!letter) return kBadSelection;
  if (ilo < 0 || ilo > ihi || ihi >= n) return kBadIndex;
  if (Status s = CheckFinite(v, count)) return s;
  if (Status s = CheckFinite(scale, static_cast<std::size_t>(n))) return s;
  // Outside ilo..ihi the scale entries are the 1-based rows that were
  // interchanged; LAPACK indexes with them, so they must name a row.
  if (job == 1 || job == 3) {
    for (std::int32_t i = 0; i < n; ++i) {
      if (i >= ilo && i <= ihi) continue;
      const double k = scale[i];
      if (!(k >= 1.0 && k <= n) || k != std::floor(k)) return kBadIndex;
    }
  }
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<T> x;
  if (Status s = x.Allocate(count)) return s;
  Transpose(v, n, n, n, x.data(), n);
  const fint lo = ilo + 1, hi = ihi + 1;
  fint info = 0;
  kernel::Gebak(la, letter, side != 0 ? "L" : "R", n, lo, hi, scale, x.data(), &info);
  if (info != 0) return kAlgorithmFailure;
  Transpose(x.data(), n, n, n, out, n);
  return kSuccess;
}

template <class T>
Status HessenbergOf(const T* a, std::int32_t n, T* h, T* q) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<T> x, tau;
  if (Status s = x.Allocate(count)) return s;
  if (Status s = tau.Allocate(static_cast<std::size_t>(n))) return s;
  Transpose(a, n, n, n, x.data(), n);
  fint info = 0;
  T query = T(0.0);
  kernel::Gehrd(la, n, x.data(), tau.data(), &query, -1, &info);
  if (Status s = NegativeInfo(info)) return s;
  fint need = QueriedLength(kernel::QueryValue(query), n);
  kernel::Unghr(la, n, x.data(), tau.data(), &query, -1, &info);
  if (Status s = NegativeInfo(info)) return s;
  const fint need_q = QueriedLength(kernel::QueryValue(query), n);
  if (need_q > need) need = need_q;
  Scratch<T> work;
  if (Status s = work.Allocate(static_cast<std::size_t>(need))) return s;
  kernel::Gehrd(la, n, x.data(), tau.data(), work.data(), need, &info);
  if (Status s = NegativeInfo(info)) return s;
  for (std::int32_t i = 0; i < n; ++i) {
    T* row = h + static_cast<std::size_t>(i) * n;
    for (std::int32_t j = 0; j < n; ++j)
      row[j] = i <= j + 1 ? x[i + static_cast<std::size_t>(j) * n] : T(0.0);
  }
  kernel::Unghr(la, n, x.data(), tau.data(), work.data(), need, &info);
  if (Status s = NegativeInfo(info)) return s;
  Transpose(x.data(), n, n, n, q, n);
  return kSuccess;
}

}  // namespace

Status MatrixBalance(const double* a, std::int32_t n, std::int32_t job, std::int32_t* ilo,
                     std::int32_t* ihi, double* scale, double* out) {
  return BalanceOf(a, n, job, ilo, ihi, scale, out);
}

Status ComplexMatrixBalance(const double* a, std::int32_t n, std::int32_t job, std::int32_t* ilo,
                            std::int32_t* ihi, double* scale, double* out) {
  return BalanceOf(AsComplex(a), n, job, ilo, ihi, scale, AsComplex(out));
}

Status EigenvectorBackTransform(const double* v, std::int32_t n, std::int32_t side,
                                std::int32_t job, std::int32_t ilo, std::int32_t ihi,
                                const double* scale, double* out) {
  return BackTransformOf(v, n, side, job, ilo, ihi, scale, out);
}

Status ComplexEigenvectorBackTransform(const double* v, std::int32_t n, std::int32_t side,
                                       std::int32_t job, std::int32_t ilo, std::int32_t ihi,
                                       const double* scale, double* out) {
  return BackTransformOf(AsComplex(v), n, side, job, ilo, ihi, scale, AsComplex(out));
}

Status HessenbergDecomposition(const double* a, std::int32_t n, double* h, double* q) {
  return HessenbergOf(a, n, h, q);
}

Status ComplexHessenbergDecomposition(const double* a, std::int32_t n, double* h, double* q) {
  return HessenbergOf(AsComplex(a), n, AsComplex(h), AsComplex(q));
}

// Eigenvalue of the Schur block of T (column-major, ld n) that starts at k:
// the one with the non-negative imaginary part for a 2 x 2 block.
void SchurBlockEigenvalue(const double* t, std::int32_t n, std::int32_t k, std::int32_t size,
                          double* re, double* im) {
  const double a = t[k + static_cast<std::size_t>(k) * n];
  if (size == 1) {
    *re = a;
    *im = 0.0;
    return;
  }
  const double b = t[k + static_cast<std::size_t>(k + 1) * n];
  const double c = t[k + 1 + static_cast<std::size_t>(k) * n];
  const double d = t[k + 1 + static_cast<std::size_t>(k + 1) * n];
  const double half = 0.5 * (a - d);
  const double disc = half * half + b * c;  // negative for a complex pair
  *re = 0.5 * (a + d);
  *im = disc < 0 ? std::sqrt(std::fabs(b)) * std::sqrt(std::fabs(c)) : 0.0;
  if (disc < 0 && half != 0.0) *im = std::sqrt(-disc);
}

// Diagonal blocks of a quasi-triangular matrix (column-major, ld n): starts
// and sizes, returned count. A complex triangular matrix has 1 x 1 blocks
// only.
template <class T>
std::int32_t SchurBlocksOf(const T* t, std::int32_t n, std::int32_t* start, std::int32_t* size) {
  std::int32_t count = 0;
  for (std::int32_t k = 0; k < n;) {
    const bool pair = k + 1 < n && t[k + 1 + static_cast<std::size_t>(k) * n] != T(0.0);
    start[count] = k;
    size[count] = pair ? 2 : 1;
    ++count;
    k += pair ? 2 : 1;
  }
  return count;
}

std::int32_t SchurBlocks(const double* t, std::int32_t n, std::int32_t* start, std::int32_t* size) {
  return SchurBlocksOf(t, n, start, size);
}

// The eigenvalue of a diagonal element of a complex triangular matrix.
void SchurBlockEigenvalue(const fcomplex* t, std::int32_t n, std::int32_t k, std::int32_t,
                          double* re, double* im) {
  const fcomplex v = t[k + static_cast<std::size_t>(k) * n];
  *re = v.real();
  *im = v.imag();
}

// True when the block keyed `earlier` must move behind the one keyed `later`:
// ascending for orderings 1 and 3, descending for 2 and 4; ties stay.
bool OutOfOrder(std::int32_t ordering, double earlier, double later) {
  return ordering == 1 || ordering == 3 ? earlier > later : earlier < later;
}

namespace {

// The Schur factorisation by dgees / zgees (no sorting); w1 and w2 are the
// real and imaginary eigenvalue parts (real) or the eigenvalues and the
// real workspace of n values (complex).
void Gees(const LapackTable* la, const char* jobvs, fint n, double* a, double* w1, double* w2,
          double* vs, fint ldvs, double* work, fint lwork, fint* bwork, fint* info) {
  fint sdim = 0;
  la->dgees(jobvs, "N", nullptr, &n, a, &n, &sdim, w1, w2, vs, &ldvs, work, &lwork, bwork, info, 1,
            1);
}
void Gees(const LapackTable* la, const char* jobvs, fint n, fcomplex* a, fcomplex* w1, double* w2,
          fcomplex* vs, fint ldvs, fcomplex* work, fint lwork, fint* bwork, fint* info) {
  fint sdim = 0;
  la->zgees(jobvs, "N", nullptr, &n, a, &n, &sdim, w1, vs, &ldvs, work, &lwork, w2, bwork, info, 1,
            1);
}

// Moves the block at ifst to ilst (1-based), updating Q when compq is "V".
void Trexc(const LapackTable* la, const char* compq, fint n, double* t, double* q, fint ldq,
           fint ifst, fint ilst, double* work, fint* info) {
  la->dtrexc(compq, &n, t, &n, q, &ldq, &ifst, &ilst, work, info, 1);
}
void Trexc(const LapackTable* la, const char* compq, fint n, fcomplex* t, fcomplex* q, fint ldq,
           fint ifst, fint ilst, fcomplex*, fint* info) {
  la->ztrexc(compq, &n, t, &n, q, &ldq, &ifst, &ilst, info, 1);
}

template <class T>
Status SchurOf(const T* a, std::int32_t n, std::int32_t ordering, T* q, T* t, double* eigenvalues) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (ordering < 0 || ordering > 4) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  const bool want_q = q != nullptr;
  constexpr bool kReal = std::is_same_v<T, double>;
  Scratch<T> x, vs, w1, work;
  Scratch<double> w2;
  Scratch<fint> bwork, start, size;
  if (Status s = x.Allocate(count)) return s;
  if (want_q) {
    if (Status s = vs.Allocate(count)) return s;
  }
  if (Status s = w1.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = w2.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = bwork.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = start.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = size.Allocate(static_cast<std::size_t>(n))) return s;
  Transpose(a, n, n, n, x.data(), n);

  T dummy[1] = {T(0.0)};
  T* vsp = want_q ? vs.data() : dummy;
  const fint ldvs = want_q ? n : 1;
  const char* jobvs = want_q ? "V" : "N";
  fint info = 0, lwork = -1;
  T query = T(0.0);
  Gees(la, jobvs, n, x.data(), w1.data(), w2.data(), vsp, ldvs, &query, lwork, bwork.data(), &info);
  if (Status s = NegativeInfo(info)) return s;
  lwork = QueriedLength(kernel::QueryValue(query), kReal ? 3 * n : 2 * n);
  if (lwork < n) lwork = n;  // dtrexc reuses the block
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  Gees(la, jobvs, n, x.data(), w1.data(), w2.data(), vsp, ldvs, work.data(), lwork, bwork.data(),
       &info);
  if (info >= 1 && info <= n) return kIterationsExceeded;
  if (info == n + 1) return kEigenvaluesTooClose;
  if (info == n + 2) return kReorderChangedComplex;
  if (Status s = NegativeInfo(info)) return s;

  if (ordering != 0) {
    auto key = [&](std::int32_t b) {
      double re = 0.0, im = 0.0;
      SchurBlockEigenvalue(x.data(), n, start[b], size[b], &re, &im);
      return ordering <= 2 ? re : la->dlapy2(&re, &im);
    };
    // Adjacent exchanges (a bubble sort over the blocks). The cap only
    // guards against keys that rounding keeps changing.
    const std::int64_t cap = 4 * static_cast<std::int64_t>(n) * n + 16;
    std::int64_t swaps = 0;
    const char* compq = want_q ? "V" : "N";
    for (bool again = true; again;) {
      again = false;
      std::int32_t blocks = SchurBlocksOf(x.data(), n, start.data(), size.data());
      for (std::int32_t b = 0; b + 1 < blocks; ++b) {
        if (!OutOfOrder(ordering, key(b), key(b + 1))) continue;
        if (++swaps > cap) return kEigenvaluesTooClose;
        fint ifst = start[b + 1] + 1, ilst = start[b] + 1;
        Trexc(la, compq, n, x.data(), vsp, ldvs, ifst, ilst, work.data(), &info);
        if (info == 1) return kEigenvaluesTooClose;  // the exchange was refused
        if (Status s = NegativeInfo(info)) return s;
        again = true;
        const std::int32_t now = SchurBlocksOf(x.data(), n, start.data(), size.data());
        if (now != blocks) break;  // a pair split: start the pass again
      }
    }
  }

  Transpose(x.data(), n, n, n, t, n);
  if (want_q) Transpose(vs.data(), n, n, n, q, n);
  const std::int32_t blocks = SchurBlocksOf(x.data(), n, start.data(), size.data());
  for (std::int32_t b = 0; b < blocks; ++b) {
    double re = 0.0, im = 0.0;
    SchurBlockEigenvalue(x.data(), n, start[b], size[b], &re, &im);
    const std::size_t at = 2 * static_cast<std::size_t>(start[b]);
    eigenvalues[at] = re;
    eigenvalues[at + 1] = im;
    if (size[b] == 2) {
      eigenvalues[at + 2] = re;
      eigenvalues[at + 3] = -im;
    }
  }
  return kSuccess;
}

}  // namespace

Status SchurDecomposition(const double* a, std::int32_t n, std::int32_t ordering, double* q,
                          double* t, double* eigenvalues) {
  return SchurOf(a, n, ordering, q, t, eigenvalues);
}

Status ComplexSchurDecomposition(const double* a, std::int32_t n, std::int32_t ordering, double* q,
                                 double* t, double* eigenvalues) {
  return SchurOf(AsComplex(a), n, ordering, AsComplex(q), AsComplex(t), eigenvalues);
}

}  // namespace qm::linalg
