// Singular values and the operations built on them (norms, condition, rank,
// pseudo-inverse), and QR decompositions: LAPACK's Householder routines and
// two plane-rotation methods of our own.
//
// The singular value decomposition works on LAPACK's view of the row-major
// block (technique a): LAPACK factors Aᵀ = U'·S·V'ᵀ, so A = V'·S·U'ᵀ. The
// row-major U of A is then V'ᵀ as LAPACK stores it, written straight into the
// caller's array, and only V needs a transpose.
#include <algorithm>
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

enum SvdJob { kValuesOnly, kEconomy, kFull };

// Elements of slack after each scratch matrix handed to the SVD and LQ
// drivers: the BLAS's complex matrix-vector kernels (its AVX2 and AVX-512
// sets, called from zlarf) were seen under the fuzzer to read a little past
// the end of the matrix they were given, which must stay inside a block of
// ours.
constexpr std::size_t kLapackSlack = 8;

// Singular values of the m x n block into s (min(m, n), descending) and, for
// kEconomy / kFull, the row-major U (m x p or m x m) and V (n x p or n x n).
// For complex blocks LAPACK's Aᵀ = U'·S·V'ᴴ gives A = conj(V')·S·conj(U')ᴴ:
// U is again V'ᴴ as LAPACK stores it, and V the conjugate of U'.
template <class T>
Status SvdCore(const LapackTable* la, const T* a, std::int32_t m, std::int32_t n, SvdJob job,
               double* s, T* u, T* v) {
  const std::size_t count = static_cast<std::size_t>(m) * n;
  const std::int32_t p = m < n ? m : n;
  const std::int32_t big = m < n ? n : m;
  Scratch<T> x, uprime;
  Scratch<fint> iwork;
  Scratch<double> rwork;
  if (Status st = x.Allocate(count + kLapackSlack)) return st;
  if (Status st = iwork.Allocate(8 * static_cast<std::size_t>(p))) return st;
  if constexpr (!std::is_same_v<T, double>) {
    // zgesdd: 7·p values only, else p·max(5p + 7, 2·max + 2p + 1).
    const std::size_t pp = static_cast<std::size_t>(p);
    const std::size_t vec = std::max(5 * pp + 7, 2 * static_cast<std::size_t>(big) + 2 * pp + 1);
    if (Status st = rwork.Allocate(job == kValuesOnly ? 7 * pp : pp * vec)) return st;
  }
  Copy(a, count, x.data());

  const char* letter = job == kValuesOnly ? "N" : job == kEconomy ? "S" : "A";
  // LAPACK's U' is n x ucols, its V'ᵀ is vtrows x m.
  const std::int32_t ucols = job == kFull ? n : p;
  const std::int32_t vtrows = job == kFull ? m : p;
  T dummy[1] = {T(0.0)};
  T* up = dummy;
  T* vt = dummy;
  fint ldu = 1, ldvt = 1;
  if (job != kValuesOnly) {
    const std::size_t ucount = static_cast<std::size_t>(n) * ucols;
    if (Status st = uprime.Allocate(ucount + kLapackSlack)) return st;
    up = uprime.data();
    vt = u;
    ldu = n;
    ldvt = vtrows;
  }
  fint info = 0;
  T query = T(0.0);
  kernel::Gesdd(la, letter, n, m, x.data(), n, s, up, ldu, vt, ldvt, &query, -1, rwork.data(),
                iwork.data(), &info);
  if (Status st = NegativeInfo(info)) return st;
  const fint lwork = QueriedLength(kernel::QueryValue(query), 1);
  Scratch<T> work;
  if (Status st = work.Allocate(static_cast<std::size_t>(lwork) + kLapackSlack)) return st;
  kernel::Gesdd(la, letter, n, m, x.data(), n, s, up, ldu, vt, ldvt, work.data(), lwork,
                rwork.data(), iwork.data(), &info);
  if (info > 0) return kIterationsExceeded;
  if (Status st = NegativeInfo(info)) return st;
  if (job != kValuesOnly) Transpose<true>(up, n, ucols, n, v, ucols);
  return kSuccess;
}

// Singular values into a scratch block of min(m, n) values.
template <class T>
Status SingularValuesInto(const LapackTable* la, const T* a, std::int32_t m, std::int32_t n,
                          Scratch<double>* s) {
  if (Status st = s->Allocate(static_cast<std::size_t>(m < n ? m : n))) return st;
  return SvdCore(la, a, m, n, kValuesOnly, s->data(), static_cast<T*>(nullptr),
                 static_cast<T*>(nullptr));
}

// Modulus of an element; for complex ones by hypot, which does not
// overflow where re² + im² would.
inline double Magnitude(double v) { return std::fabs(v); }
inline double Magnitude(const fcomplex& v) { return std::hypot(v.real(), v.imag()); }

// Norm types 0 to 3 of a checked m x n block.
template <class T>
Status NormOf(const LapackTable* la, const T* a, std::int32_t m, std::int32_t n, std::int32_t type,
              double* norm) {
  switch (type) {
    case 0: {
      Scratch<double> s;
      if (Status st = SingularValuesInto(la, a, m, n, &s)) return st;
      *norm = s[0];
      return kSuccess;
    }
    case 1: {
      double best = 0.0;
      for (std::int32_t j = 0; j < n; ++j) {
        double sum = 0.0;
        for (std::int32_t i = 0; i < m; ++i)
          sum += Magnitude(a[static_cast<std::size_t>(i) * n + j]);
        if (sum > best) best = sum;
      }
      *norm = best;
      return kSuccess;
    }
    case 2:
      *norm = kernel::Nrm2(la, m * n, a);
      return kSuccess;
    default: {
      double best = 0.0;
      for (std::int32_t i = 0; i < m; ++i) {
        const T* row = a + static_cast<std::size_t>(i) * n;
        double sum = 0.0;
        for (std::int32_t j = 0; j < n; ++j) sum += Magnitude(row[j]);
        if (sum > best) best = sum;
      }
      *norm = best;
      return kSuccess;
    }
  }
}

// The tolerance of rank and pseudo-inverse: a negative request selects
// max(m, n)·σ₁·ε.
double EffectiveTolerance(double tolerance, std::int32_t m, std::int32_t n, double sigma1) {
  return tolerance < 0 ? static_cast<double>(m > n ? m : n) * sigma1 * kEpsilon : tolerance;
}

template <class T>
Status SingularValuesOf(const T* a, std::int32_t m, std::int32_t n, double* s) {
  std::size_t count = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (Status st = CheckFinite(a, count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;
  return SvdCore(la, a, m, n, kValuesOnly, s, static_cast<T*>(nullptr), static_cast<T*>(nullptr));
}

template <class T>
Status SvdTypedOf(const T* a, std::int32_t m, std::int32_t n, std::int32_t type, T* u, double* s,
                  T* v) {
  std::size_t count = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (type < 0 || type > 1) return kBadSelection;
  if (type == 0) {  // full U (m x m) and V (n x n)
    std::size_t unused = 0;
    if (Status st = ElementCount(m, m, &unused)) return st;
    if (Status st = ElementCount(n, n, &unused)) return st;
  }
  if (Status st = CheckFinite(a, count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;
  if (!u || !v)
    return SvdCore(la, a, m, n, kValuesOnly, s, static_cast<T*>(nullptr), static_cast<T*>(nullptr));
  return SvdCore(la, a, m, n, type == 0 ? kFull : kEconomy, s, u, v);
}

template <class T>
Status NormValueOf(const T* a, std::int32_t m, std::int32_t n, std::int32_t type, double* norm) {
  *norm = kNaN;
  std::size_t count = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (type < 0 || type > 3) return kBadSelection;
  if (Status st = CheckFinite(a, count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;
  double value = kNaN;
  if (Status st = NormOf(la, a, m, n, type, &value)) return st;
  *norm = value;
  return kSuccess;
}

template <class T>
Status ConditionOf(const T* a, std::int32_t m, std::int32_t n, std::int32_t norm_type,
                   double* cond) {
  *cond = kNaN;
  std::size_t count = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (norm_type < 0 || norm_type > 3) return kBadSelection;
  if (norm_type != 0 && m != n) return kInnerDimensionMismatch;
  if (Status st = CheckFinite(a, count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;

  if (norm_type == 0) {
    Scratch<double> s;
    if (Status st = SingularValuesInto(la, a, m, n, &s)) return st;
    const double smallest = s[(m < n ? m : n) - 1];
    *cond = smallest == 0.0 ? kInfinity : s[0] / smallest;
    return kSuccess;
  }
  double norm = 0.0, inverse_norm = 0.0;
  if (Status st = NormOf(la, a, m, n, norm_type, &norm)) return st;
  Scratch<T> inverse;
  if (Status st = inverse.Allocate(count)) return st;
  Copy(a, count, inverse.data());
  const Status st = InvertGeneralInPlace(la, inverse.data(), n);
  if (st == kSingularMatrix) {
    *cond = kInfinity;
    return kSuccess;
  }
  if (st) return st;
  if (Status s2 = NormOf(la, inverse.data(), n, n, norm_type, &inverse_norm)) return s2;
  *cond = norm * inverse_norm;
  return kSuccess;
}

template <class T>
Status RankOf(const T* a, std::int32_t m, std::int32_t n, double tolerance, std::int32_t* rank) {
  *rank = -1;
  std::size_t count = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (Status st = CheckFinite(a, count)) return st;
  if (std::isnan(tolerance)) return kNotFinite;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;
  Scratch<double> s;
  if (Status st = SingularValuesInto(la, a, m, n, &s)) return st;
  const double tol = EffectiveTolerance(tolerance, m, n, s[0]);
  const std::int32_t p = m < n ? m : n;
  std::int32_t r = 0;
  for (std::int32_t i = 0; i < p; ++i) r += s[i] > tol ? 1 : 0;
  *rank = r;
  return kSuccess;
}

template <class T>
Status PseudoInverseOf(const T* a, std::int32_t m, std::int32_t n, double tolerance, T* out) {
  std::size_t count = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (Status st = CheckFinite(a, count)) return st;
  if (std::isnan(tolerance)) return kNotFinite;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;
  const std::int32_t p = m < n ? m : n;
  Scratch<T> u, v;
  Scratch<double> s;
  if (Status st = u.Allocate(static_cast<std::size_t>(m) * p)) return st;
  if (Status st = s.Allocate(static_cast<std::size_t>(p))) return st;
  if (Status st = v.Allocate(static_cast<std::size_t>(n) * p)) return st;
  if (Status st = SvdCore(la, a, m, n, kEconomy, s.data(), u.data(), v.data())) return st;
  const double tol = EffectiveTolerance(tolerance, m, n, s[0]);
  std::int32_t r = 0;
  while (r < p && s[r] > tol) ++r;
  if (r == 0) {
    Fill(out, count, T(0.0));
    return kSuccess;
  }
  // pinv(A) = V·diag(1/σ)·Uᴴ over the r retained values.
  for (std::int32_t i = 0; i < n; ++i) {
    T* row = v.data() + static_cast<std::size_t>(i) * p;
    for (std::int32_t j = 0; j < r; ++j) row[j] /= s[j];
  }
  // The transpose of U, conjugated for complex blocks.
  const int adjoint = std::is_same_v<T, double> ? kCblasTrans : kCblasConjTrans;
  kernel::Gemm(la, kCblasNoTrans, adjoint, n, m, r, v.data(), p, u.data(), p, out, m);
  return kSuccess;
}

// x = pinv(A)·B with the dropping rule of the complex least-squares solve.
Status SolveBySvdCore(const LapackTable* la, const fcomplex* a, std::int32_t m, std::int32_t n,
                      const fcomplex* b, std::int32_t k, double tolerance, fcomplex* x) {
  const std::int32_t p = m < n ? m : n;
  Scratch<fcomplex> u, v, c;
  Scratch<double> s;
  if (Status st = u.Allocate(static_cast<std::size_t>(m) * p)) return st;
  if (Status st = s.Allocate(static_cast<std::size_t>(p))) return st;
  if (Status st = v.Allocate(static_cast<std::size_t>(n) * p)) return st;
  if (Status st = c.Allocate(static_cast<std::size_t>(p) * k)) return st;
  if (Status st = SvdCore(la, a, m, n, kEconomy, s.data(), u.data(), v.data())) return st;
  const double eps = tolerance > 0 ? tolerance : kEpsilon;
  const double tol = static_cast<double>(m > n ? m : n) * s[0] * eps;
  std::int32_t r = 0;
  while (r < p && s[r] > tol) ++r;
  const std::size_t xcount = static_cast<std::size_t>(n) * k;
  if (r == 0) {
    Fill(x, xcount, fcomplex(0.0));
  } else {
    // C = diag(1/σ)·Uᴴ·B over the retained values, then X = V·C.
    kernel::Gemm(la, kCblasConjTrans, kCblasNoTrans, r, k, m, u.data(), p, b, k, c.data(), k);
    for (std::int32_t i = 0; i < r; ++i) {
      fcomplex* row = c.data() + static_cast<std::size_t>(i) * k;
      for (std::int32_t j = 0; j < k; ++j) row[j] /= s[i];
    }
    kernel::Gemm(la, kCblasNoTrans, kCblasNoTrans, n, k, r, v.data(), p, c.data(), k, x, k);
  }
  return r < p ? kWarnRankDeficient : kSuccess;
}

}  // namespace

Status SolveBySvd(const LapackTable* la, const fcomplex* a, std::int32_t m, std::int32_t n,
                  const fcomplex* b, std::int32_t k, double tolerance, fcomplex* x) {
  return SolveBySvdCore(la, a, m, n, b, k, tolerance, x);
}

Status MatrixSingularValues(const double* a, std::int32_t m, std::int32_t n, double* s) {
  return SingularValuesOf(a, m, n, s);
}

Status SvdDecomposition(const double* a, std::int32_t m, std::int32_t n, double* u, double* s,
                        double* v) {
  return SvdDecompositionTyped(a, m, n, 1, u, s, v);
}

Status SvdDecompositionTyped(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                             double* u, double* s, double* v) {
  return SvdTypedOf(a, m, n, type, u, s, v);
}

Status MatrixNorm(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                  double* norm) {
  return NormValueOf(a, m, n, type, norm);
}

Status ConditionNumber(const double* a, std::int32_t m, std::int32_t n, std::int32_t norm_type,
                       double* cond) {
  return ConditionOf(a, m, n, norm_type, cond);
}

Status MatrixRank(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                  std::int32_t* rank) {
  return RankOf(a, m, n, tolerance, rank);
}

Status PseudoInverse(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                     double* out) {
  return PseudoInverseOf(a, m, n, tolerance, out);
}

Status ComplexSingularValues(const double* a, std::int32_t m, std::int32_t n, double* s) {
  return SingularValuesOf(AsComplex(a), m, n, s);
}

Status ComplexSvdDecomposition(const double* a, std::int32_t m, std::int32_t n, double* u,
                               double* s, double* v) {
  return ComplexSvdDecompositionTyped(a, m, n, 1, u, s, v);
}

Status ComplexSvdDecompositionTyped(const double* a, std::int32_t m, std::int32_t n,
                                    std::int32_t type, double* u, double* s, double* v) {
  return SvdTypedOf(AsComplex(a), m, n, type, AsComplex(u), s, AsComplex(v));
}

Status ComplexMatrixNorm(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                         double* norm) {
  return NormValueOf(AsComplex(a), m, n, type, norm);
}

Status ComplexConditionNumber(const double* a, std::int32_t m, std::int32_t n,
                              std::int32_t norm_type, double* cond) {
  return ConditionOf(AsComplex(a), m, n, norm_type, cond);
}

Status ComplexMatrixRank(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                         std::int32_t* rank) {
  return RankOf(AsComplex(a), m, n, tolerance, rank);
}

Status ComplexPseudoInverse(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                            double* out) {
  return PseudoInverseOf(AsComplex(a), m, n, tolerance, AsComplex(out));
}

// ---------------------------------------------------------------------------
// QR by LAPACK.

namespace {

// pivoting 0: the LQ factors of LAPACK's view Aᵀ = L·Q' are the transposed
// QR factors of A: Q = Q'ᵀ, R = Lᵀ.
template <class T>
Status QrWithoutPivoting(const LapackTable* la, const T* a, std::int32_t m, std::int32_t n,
                         bool full, T* q, T* r) {
  const std::int32_t k = m < n ? m : n;
  const std::size_t count = static_cast<std::size_t>(m) * n;
  Scratch<T> x, tau;
  if (Status st = x.Allocate(count + kLapackSlack)) return st;
  if (Status st = tau.Allocate(static_cast<std::size_t>(k))) return st;
  Copy(a, count, x.data());
  fint info = 0, lwork = -1;
  T query = T(0.0);
  kernel::Gelqf(la, n, m, x.data(), n, tau.data(), &query, lwork, &info);
  if (Status st = NegativeInfo(info)) return st;
  fint need = QueriedLength(kernel::QueryValue(query), m > 1 ? m : 1);
  const std::int32_t qrows = full ? m : k;  // rows of Q' that are generated
  T* qbuf = x.data();
  fint ldq = n;
  Scratch<T> qfull;
  if (q && full) {
    // Q' (m x m, column-major) read row-major is Q itself; it is generated in
    // scratch with slack (see kLapackSlack) and copied to q.
    const std::size_t qcount = static_cast<std::size_t>(m) * m;
    if (Status st = qfull.Allocate(qcount + kLapackSlack)) return st;
    qbuf = qfull.data();
    ldq = m;
  }
  if (q) {
    lwork = -1;
    kernel::Unglq(la, qrows, m, k, qbuf, ldq, tau.data(), &query, lwork, &info);
    if (Status st = NegativeInfo(info)) return st;
    const fint need_q = QueriedLength(kernel::QueryValue(query), m > 1 ? m : 1);
    if (need_q > need) need = need_q;
  }
  Scratch<T> work;
  if (Status st = work.Allocate(static_cast<std::size_t>(need) + kLapackSlack)) return st;
  kernel::Gelqf(la, n, m, x.data(), n, tau.data(), work.data(), need, &info);
  if (Status st = NegativeInfo(info)) return st;

  const std::int32_t rrows = full ? m : k;
  for (std::int32_t i = 0; i < rrows; ++i) {
    T* row = r + static_cast<std::size_t>(i) * n;
    for (std::int32_t j = 0; j < n; ++j) {
      row[j] = i < k && j >= i ? x[static_cast<std::size_t>(i) * n + j] : T(0.0);
    }
  }
  if (!q) return kSuccess;
  if (full) {
    for (std::int32_t c = 0; c < m; ++c) {
      for (std::int32_t i = 0; i < k; ++i) {
        qbuf[static_cast<std::size_t>(c) * m + i] = x[static_cast<std::size_t>(c) * n + i];
      }
    }
  }
  kernel::Unglq(la, qrows, m, k, qbuf, ldq, tau.data(), work.data(), need, &info);
  if (Status st = NegativeInfo(info)) return st;
  if (full) Copy(qbuf, static_cast<std::size_t>(m) * m, q);
  if (!full) {
    for (std::int32_t i = 0; i < m; ++i) {
      for (std::int32_t j = 0; j < k; ++j) {
        q[static_cast<std::size_t>(i) * k + j] = x[static_cast<std::size_t>(i) * n + j];
      }
    }
  }
  return kSuccess;
}

// pivoting 1 and 2: dgeqp3 and dorgqr on a transposed copy, A·P = Q·R.
template <class T>
Status QrWithPivoting(const LapackTable* la, const T* a, std::int32_t m, std::int32_t n, bool full,
                      bool matrix_p, std::int64_t* p, T* q, T* r) {
  const std::int32_t k = m < n ? m : n;
  const std::int32_t wcols = full && m > n ? m : n;
  Scratch<T> w, tau;
  Scratch<double> rwork;
  Scratch<fint> jpvt;
  if (Status st = w.Allocate(static_cast<std::size_t>(m) * wcols)) return st;
  if (Status st = tau.Allocate(static_cast<std::size_t>(k))) return st;
  if (Status st = jpvt.Allocate(static_cast<std::size_t>(n))) return st;
  if constexpr (!std::is_same_v<T, double>) {
    if (Status st = rwork.Allocate(2 * static_cast<std::size_t>(n))) return st;
  }
  Transpose(a, n, m, n, w.data(), m);
  for (std::int32_t j = 0; j < n; ++j) jpvt[j] = 0;  // every column is free

  const std::int32_t qcols = full ? m : k;
  fint info = 0, lwork = -1;
  T query = T(0.0);
  kernel::Geqp3(la, m, n, w.data(), m, jpvt.data(), tau.data(), &query, lwork, rwork.data(), &info);
  if (Status st = NegativeInfo(info)) return st;
  fint need = QueriedLength(kernel::QueryValue(query), 3 * n + 1);
  if (q) {
    lwork = -1;
    kernel::Ungqr(la, m, qcols, k, w.data(), m, tau.data(), &query, lwork, &info);
    if (Status st = NegativeInfo(info)) return st;
    const fint need_q = QueriedLength(kernel::QueryValue(query), qcols > 1 ? qcols : 1);
    if (need_q > need) need = need_q;
  }
  Scratch<T> work;
  if (Status st = work.Allocate(static_cast<std::size_t>(need))) return st;
  kernel::Geqp3(la, m, n, w.data(), m, jpvt.data(), tau.data(), work.data(), need, rwork.data(),
                &info);
  if (Status st = NegativeInfo(info)) return st;

  const std::int32_t rrows = full ? m : k;
  for (std::int32_t i = 0; i < rrows; ++i) {
    T* row = r + static_cast<std::size_t>(i) * n;
    for (std::int32_t j = 0; j < n; ++j) {
      row[j] = i < k && j >= i ? w[i + static_cast<std::size_t>(j) * m] : T(0.0);
    }
  }
  if (p) {
    if (matrix_p) {
      for (std::size_t i = 0; i < static_cast<std::size_t>(n) * n; ++i) p[i] = 0;
      for (std::int32_t j = 0; j < n; ++j) p[static_cast<std::size_t>(jpvt[j] - 1) * n + j] = 1;
    } else {
      for (std::int32_t j = 0; j < n; ++j) p[j] = jpvt[j] - 1;
    }
  }
  if (!q) return kSuccess;
  kernel::Ungqr(la, m, qcols, k, w.data(), m, tau.data(), work.data(), need, &info);
  if (Status st = NegativeInfo(info)) return st;
  Transpose(w.data(), m, qcols, m, q, qcols);
  return kSuccess;
}

template <class T>
Status QrOf(const T* a, std::int32_t m, std::int32_t n, std::int32_t pivoting, std::int32_t size,
            std::int64_t* p, T* q, T* r) {
  std::size_t count = 0, unused = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (Status st = ElementCount(m, m, &unused)) return st;
  if (pivoting < 0 || pivoting > 2) return kBadSelection;
  if (pivoting == 2) {
    if (Status st = ElementCount(n, n, &unused)) return st;
  }
  if (Status st = CheckFinite(a, count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;
  const bool full = size == 0;
  if (pivoting == 0) return QrWithoutPivoting(la, a, m, n, full, q, r);
  return QrWithPivoting(la, a, m, n, full, pivoting == 2, p, q, r);
}

}  // namespace

Status QrDecomposition(const double* a, std::int32_t m, std::int32_t n, std::int32_t pivoting,
                       std::int32_t size, std::int64_t* p, double* q, double* r) {
  return QrOf(a, m, n, pivoting, size, p, q, r);
}

Status ComplexQrDecompositionPivoting(const double* a, std::int32_t m, std::int32_t n,
                                      std::int32_t pivoting, std::int32_t size, std::int64_t* p,
                                      double* q, double* r) {
  return QrOf(AsComplex(a), m, n, pivoting, size, p, AsComplex(q), AsComplex(r));
}

// The twin of method 0 of the real routine: full Q (m x m) and R (m x n).
Status ComplexQrDecomposition(const double* a, std::int32_t m, std::int32_t n, double* q,
                              double* r) {
  std::size_t count = 0, qcount = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (Status st = ElementCount(m, m, &qcount)) return st;
  return ComplexQrDecompositionPivoting(a, m, n, 0, 0, nullptr, q, r);
}

// ---------------------------------------------------------------------------
// QR by plane rotations. Both methods produce the full factors: Q (m x m) and
// R (m x n) with A = Q·R.

namespace {

// The plane rotation (c, s) with -s·a + c·b = 0.
void Givens(double a, double b, double* c, double* s) {
  if (b == 0.0) {
    *c = 1.0;
    *s = 0.0;
  } else if (std::fabs(b) > std::fabs(a)) {
    const double t = a / b;
    *s = 1.0 / std::sqrt(1.0 + t * t);
    *c = t * *s;
  } else {
    const double t = b / a;
    *c = 1.0 / std::sqrt(1.0 + t * t);
    *s = t * *c;
  }
}

void SetIdentity(double* q, std::int32_t m) {
  Fill(q, static_cast<std::size_t>(m) * m, 0.0);
  for (std::int32_t i = 0; i < m; ++i) q[static_cast<std::size_t>(i) * m + i] = 1.0;
}

// An element below the diagonal of column j counts as zero below
// ε·(j + 1)·‖column‖/√m (the column index taken 1-based, so that the first
// column has a threshold as well).
double ZeroThreshold(double column_norm, std::int32_t j, std::int32_t m) {
  return kEpsilon * (j + 1) * column_norm / std::sqrt(static_cast<double>(m));
}

void QrGivens(std::int32_t m, std::int32_t n, double* q, double* r) {
  const std::int32_t steps = m - 1 < n ? m - 1 : n;
  for (std::int32_t j = 0; j < steps; ++j) {
    double norm2 = 0.0;
    for (std::int32_t i = 0; i < m; ++i) {
      const double e = r[static_cast<std::size_t>(i) * n + j];
      norm2 += e * e;
    }
    const double threshold = ZeroThreshold(std::sqrt(norm2), j, m);
    double* rj = r + static_cast<std::size_t>(j) * n;
    for (std::int32_t i = m - 1; i > j; --i) {
      double* ri = r + static_cast<std::size_t>(i) * n;
      if (std::fabs(ri[j]) <= threshold) {
        ri[j] = 0.0;
        continue;
      }
      double c = 1.0, s = 0.0;
      Givens(rj[j], ri[j], &c, &s);
      for (std::int32_t col = j; col < n; ++col) {
        const double x = rj[col], y = ri[col];
        rj[col] = c * x + s * y;
        ri[col] = -s * x + c * y;
      }
      ri[j] = 0.0;
      for (std::int32_t row = 0; row < m; ++row) {  // Q ← Q·Gᵀ
        double* qr = q + static_cast<std::size_t>(row) * m;
        const double x = qr[j], y = qr[i];
        qr[j] = c * x + s * y;
        qr[i] = -s * x + c * y;
      }
    }
  }
}

// Square-root-free ("fast") rotations: M and a diagonal D are kept with
// MᵀM = D and Mᵀ·A = T, each step zeroing one element of T without a square
// root. At the end Q = M·D^(-1/2) and R = D^(-1/2)·T.
void QrScaledGivens(std::int32_t m, std::int32_t n, double* q, double* r, double* d) {
  constexpr double kGrowthLimit = 0x1p200;  // rescale before d can overflow
  constexpr double kRowScale = 0x1p-100;
  for (std::int32_t i = 0; i < m; ++i) d[i] = 1.0;
  const std::int32_t steps = m - 1 < n ? m - 1 : n;
  for (std::int32_t j = 0; j < steps; ++j) {
    double norm2 = 0.0;
    for (std::int32_t i = 0; i < m; ++i) {
      const double e = r[static_cast<std::size_t>(i) * n + j];
      norm2 += e * e / d[i];
    }
    const double threshold = ZeroThreshold(std::sqrt(norm2), j, m);
    double* rj = r + static_cast<std::size_t>(j) * n;
    for (std::int32_t i = m - 1; i > j; --i) {
      double* ri = r + static_cast<std::size_t>(i) * n;
      if (std::fabs(ri[j]) / std::sqrt(d[i]) <= threshold) {
        ri[j] = 0.0;
        continue;
      }
      double alpha = -rj[j] / ri[j];
      double beta = -alpha * d[i] / d[j];
      const double gamma = -alpha * beta;
      // Rows (j, i) ← Mₖᵀ·rows, columns (j, i) of M ← M·Mₖ, with
      // Mₖ = [[beta, 1], [1, alpha]] (first kind) or [[1, alpha], [beta, 1]].
      double m00, m01, m10, m11;
      if (gamma <= 1.0) {
        const double t = d[j];
        d[j] = (1.0 + gamma) * d[i];
        d[i] = (1.0 + gamma) * t;
        m00 = beta, m01 = 1.0, m10 = 1.0, m11 = alpha;
      } else {
        alpha = 1.0 / alpha;
        beta = 1.0 / beta;
        const double g = 1.0 / gamma;
        d[j] *= 1.0 + g;
        d[i] *= 1.0 + g;
        m00 = 1.0, m01 = alpha, m10 = beta, m11 = 1.0;
      }
      for (std::int32_t col = j; col < n; ++col) {
        const double x = rj[col], y = ri[col];
        rj[col] = m00 * x + m10 * y;
        ri[col] = m01 * x + m11 * y;
      }
      ri[j] = 0.0;
      for (std::int32_t row = 0; row < m; ++row) {
        double* qr = q + static_cast<std::size_t>(row) * m;
        const double x = qr[j], y = qr[i];
        qr[j] = x * m00 + y * m10;
        qr[i] = x * m01 + y * m11;
      }
      for (const std::int32_t k : {j, i}) {
        if (d[k] < kGrowthLimit) continue;
        double* rk = r + static_cast<std::size_t>(k) * n;
        for (std::int32_t col = 0; col < n; ++col) rk[col] *= kRowScale;
        for (std::int32_t row = 0; row < m; ++row)
          q[static_cast<std::size_t>(row) * m + k] *= kRowScale;
        d[k] *= kRowScale * kRowScale;
      }
    }
  }
  // Remove the scale factors.
  for (std::int32_t k = 0; k < m; ++k) {
    const double f = 1.0 / std::sqrt(d[k]);
    double* rk = r + static_cast<std::size_t>(k) * n;
    for (std::int32_t col = 0; col < n; ++col) rk[col] *= f;
    for (std::int32_t row = 0; row < m; ++row) q[static_cast<std::size_t>(row) * m + k] *= f;
  }
}

}  // namespace

Status QrDecompositionByMethod(const double* a, std::int32_t m, std::int32_t n, std::int32_t method,
                               double* q, double* r) {
  std::size_t count = 0, qcount = 0;
  if (Status st = CheckShape(m, n, &count)) return st;
  if (Status st = ElementCount(m, m, &qcount)) return st;
  if (method < 0 || method > 2) return kBadSelection;
  if (method == 0) return QrDecomposition(a, m, n, 0, 0, nullptr, q, r);
  if (Status st = CheckFinite(a, count)) return st;
  Scratch<double> d, rwork;
  if (Status st = d.Allocate(static_cast<std::size_t>(m))) return st;
  // Q and R are built aside when either shares memory with A.
  double* rr = r;
  if (Overlaps(r, count, a, count) || Overlaps(q, qcount, a, count) ||
      Overlaps(q, qcount, r, count)) {
    if (Status st = rwork.Allocate(count + qcount)) return st;
    rr = rwork.data();
  }
  double* qq = rr == r ? q : rwork.data() + count;
  Copy(a, count, rr);
  SetIdentity(qq, m);
  if (method == 1) {
    QrGivens(m, n, qq, rr);
  } else {
    QrScaledGivens(m, n, qq, rr, d.data());
  }
  if (rr != r) {
    Copy(rr, count, r);
    Copy(qq, qcount, q);
  }
  return kSuccess;
}

}  // namespace qm::linalg
