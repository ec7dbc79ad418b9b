// Generalized eigenvalues of a complex matrix pair (A, B): the generalized
// Schur factorisation A = Q·S·Zᴴ, B = Q·T·Zᴴ with S and T upper triangular.
// B is first reduced to triangular form by a Householder QR (zgeqp3 with
// every column fixed in place, so no pivoting, and zungqr), A is taken
// along as Qᴴ·A (cblas_zgemm), then zgghrd and zhgeqz finish the pair.
// Reordering (ztgexc), eigenvectors (ztgevc) and the alternative mode are as
// for the real pair: orderings 0 to 4, an infinite eigenvalue keyed
// +infinity, and a refused exchange repeats the factorisation once with keys
// equal within √ε counting as equal. Left then right eigenvectors, columns
// of complex n x n matrices; eigenvalue j is alpha[j] / beta[j].
#include <cmath>
#include <complex>
#include <cstddef>

#include "arith/complex_ops.h"
#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/complex.h"
#include "linalg/finite.h"
#include "linalg/matrix_util.h"

namespace qm::linalg {

namespace {

struct ComplexPairWork {
  Scratch<fcomplex> s, t, q, z, alpha, beta, tau, work;
  Scratch<double> rwork;
  Scratch<fint> jpvt, start, size;
  fint lwork = 0;
};

inline fcomplex Quotient(const fcomplex& x, const fcomplex& y) {
  double re = 0.0, im = 0.0;
  arith::ComplexQuotient(x.real(), x.imag(), y.real(), y.imag(), &re, &im);
  return fcomplex(re, im);
}

double PairKey(std::int32_t ordering, const fcomplex& alpha, const fcomplex& beta) {
  if (beta == fcomplex(0.0)) return kInfinity;
  const fcomplex lambda = Quotient(alpha, beta);
  return EigenvalueKey(ordering, lambda.real(), lambda.imag());
}

inline fcomplex& Cm(fcomplex* x, std::int32_t n, std::int32_t i, std::int32_t j) {
  return x[i + static_cast<std::size_t>(j) * n];
}

// Factorises the pair and reorders it. `tolerant` selects the alternative
// mode.
Status FactorComplexPair(const LapackTable* la, const fcomplex* a, const fcomplex* b,
                         std::int32_t n, std::int32_t ordering, bool tolerant, ComplexPairWork* w) {
  const std::size_t count = static_cast<std::size_t>(n) * n;
  // Column-major copies: LAPACK sees A and B themselves.
  Transpose(a, n, n, n, w->z.data(), n);  // A, until Qᴴ·A is formed
  Transpose(b, n, n, n, w->t.data(), n);
  fint info = 0;
  for (std::int32_t j = 0; j < n; ++j) w->jpvt[j] = 1;  // every column stays in place
  la->zgeqp3(&n, &n, w->t.data(), &n, w->jpvt.data(), w->tau.data(), w->work.data(), &w->lwork,
             w->rwork.data(), &info);
  if (Status st = NegativeInfo(info)) return st;
  Copy(w->t.data(), count, w->q.data());
  la->zungqr(&n, &n, &n, w->q.data(), &n, w->tau.data(), w->work.data(), &w->lwork, &info);
  if (Status st = NegativeInfo(info)) return st;
  for (std::int32_t j = 0; j < n; ++j) {
    for (std::int32_t i = j + 1; i < n; ++i) Cm(w->t.data(), n, i, j) = 0.0;
  }
  const fcomplex one(1.0), zero(0.0);
  la->cblas_zgemm(kCblasColMajor, kCblasConjTrans, kCblasNoTrans, n, n, n, &one, w->q.data(), n,
                  w->z.data(), n, &zero, w->s.data(), n);

  const fint ilo = 1;
  la->zgghrd("V", "I", &n, &ilo, &n, w->s.data(), &n, w->t.data(), &n, w->q.data(), &n, w->z.data(),
             &n, &info, 1, 1);
  if (Status st = NegativeInfo(info)) return st;
  la->zhgeqz("S", "V", "V", &n, &ilo, &n, w->s.data(), &n, w->t.data(), &n, w->alpha.data(),
             w->beta.data(), w->q.data(), &n, w->z.data(), &n, w->work.data(), &w->lwork,
             w->rwork.data(), &info, 1, 1, 1);
  if (info > 0) return kIterationsExceeded;
  if (Status st = NegativeInfo(info)) return st;
  if (ordering == 0) return kSuccess;

  auto key = [&](std::int32_t k) {
    return PairKey(ordering, Cm(w->s.data(), n, k, k), Cm(w->t.data(), n, k, k));
  };
  const std::int64_t cap = 4 * static_cast<std::int64_t>(n) * n + 16;
  std::int64_t swaps = 0;
  const fint yes = 1;
  for (bool again = true; again;) {
    again = false;
    for (std::int32_t k = 0; k + 1 < n; ++k) {
      if (!MustExchange(ordering, key(k), key(k + 1), tolerant)) continue;
      if (++swaps > cap) return kEigenvaluesTooClose;
      const fint ifst = k + 2;
      fint ilst = k + 1;
      la->ztgexc(&yes, &yes, &n, w->s.data(), &n, w->t.data(), &n, w->q.data(), &n, w->z.data(), &n,
                 &ifst, &ilst, &info);
      if (info == 1) return kEigenvaluesTooClose;
      if (Status st = NegativeInfo(info)) return st;
      again = true;
    }
  }
  for (std::int32_t k = 0; k < n; ++k) {
    w->alpha[k] = Cm(w->s.data(), n, k, k);
    w->beta[k] = Cm(w->t.data(), n, k, k);
  }
  return kSuccess;
}

Status ComplexGeneralizedCore(const fcomplex* a, const fcomplex* b, std::int32_t n,
                              std::int32_t ordering, fcomplex* s, fcomplex* t, fcomplex* q,
                              fcomplex* z, fcomplex* alpha, fcomplex* beta, fcomplex* left,
                              fcomplex* right) {
  std::size_t count = 0;
  if (Status st = CheckPair(a, b, n, ordering, &count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;

  ComplexPairWork w;
  const std::size_t nn = static_cast<std::size_t>(n);
  if (Status st = AllocateEach<fcomplex>({&w.s, &w.t, &w.q, &w.z}, count)) return st;
  if (Status st = AllocateEach<fcomplex>({&w.alpha, &w.beta, &w.tau}, nn)) return st;
  if (Status st = AllocateEach<fint>({&w.jpvt, &w.start, &w.size}, nn)) return st;
  if (Status st = w.rwork.Allocate(2 * nn)) return st;
  // Workspace: the largest of the queries of zgeqp3, zungqr and zhgeqz and
  // of what ztgevc needs (2n).
  fint info = 0, lwork = -1;
  fint need = 2 * n + 1;
  fcomplex query(0.0);
  la->zgeqp3(&n, &n, w.t.data(), &n, w.jpvt.data(), w.tau.data(), &query, &lwork, w.rwork.data(),
             &info);
  if (Status st = NegativeInfo(info)) return st;
  need = QueriedLength(query.real(), need);
  la->zungqr(&n, &n, &n, w.q.data(), &n, w.tau.data(), &query, &lwork, &info);
  if (Status st = NegativeInfo(info)) return st;
  need = QueriedLength(query.real(), need);
  const fint ilo = 1;
  la->zhgeqz("S", "V", "V", &n, &ilo, &n, w.s.data(), &n, w.t.data(), &n, w.alpha.data(),
             w.beta.data(), w.q.data(), &n, w.z.data(), &n, &query, &lwork, w.rwork.data(), &info,
             1, 1, 1);
  if (Status st = NegativeInfo(info)) return st;
  w.lwork = QueriedLength(query.real(), need);
  if (Status st = w.work.Allocate(static_cast<std::size_t>(w.lwork))) return st;

  Status st = FactorComplexPair(la, a, b, n, ordering, false, &w);
  if (st == kEigenvaluesTooClose) st = FactorComplexPair(la, a, b, n, ordering, true, &w);
  if (st) return st;

  const auto tgevc = [&](const char* side, fcomplex* vl, fcomplex* vr, fint* info) {
    fint used = 0;
    la->ztgevc(side, "B", nullptr, &n, w.s.data(), &n, w.t.data(), &n, vl, &n, vr, &n, &n, &used,
               w.work.data(), w.rwork.data(), info, 1, 1);
  };
  const auto put = [n](const fcomplex* vectors, fcomplex* out) {
    Transpose(vectors, n, n, n, out, n);
  };
  if (Status s2 = FinishSchurPair(w, n, left, right, tgevc, put, s, t, q, z)) return s2;
  Copy(w.alpha.data(), nn, alpha);
  Copy(w.beta.data(), nn, beta);
  return kSuccess;
}

}  // namespace

Status ComplexGeneralizedEigen(const double* a, const double* b, std::int32_t n,
                               std::int32_t ordering, double* s, double* t, double* q, double* z,
                               double* alpha, double* beta, double* left, double* right) {
  return ComplexGeneralizedCore(AsComplex(a), AsComplex(b), n, ordering, AsComplex(s), AsComplex(t),
                                AsComplex(q), AsComplex(z), AsComplex(alpha), AsComplex(beta),
                                AsComplex(left), AsComplex(right));
}

Status ComplexGeneralizedEigenvalues(const double* a, const double* b, std::int32_t n,
                                     double* eigenvalues, double* left, double* right) {
  std::size_t count = 0;
  if (Status st = CheckShape(n, n, &count)) return st;
  if (Status st = CheckFiniteComplex(a, count)) return st;
  if (Status st = CheckFiniteComplex(b, count)) return st;
  Scratch<fcomplex> beta;
  if (Status st = beta.Allocate(static_cast<std::size_t>(n))) return st;
  // alpha is built in the eigenvalue array and divided in place.
  fcomplex* values = AsComplex(eigenvalues);
  if (Status st =
          ComplexGeneralizedCore(AsComplex(a), AsComplex(b), n, 0, nullptr, nullptr, nullptr,
                                 nullptr, values, beta.data(), AsComplex(left), AsComplex(right))) {
    return st;
  }
  for (std::int32_t j = 0; j < n; ++j) values[j] = Quotient(values[j], beta[j]);
  return kSuccess;
}

}  // namespace qm::linalg
