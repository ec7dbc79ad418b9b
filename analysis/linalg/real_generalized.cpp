// Generalized eigenvalues of a real matrix pair (A, B): the generalized Schur
// factorisation A = Q·S·Zᵀ, B = Q·T·Zᵀ by LAPACK's QZ driver, an optional
// reordering of the diagonal blocks with dtgexc, and the eigenvectors from
// dtgevc, back-transformed to the original pair.
//
// Eigenvalue j is alpha[j] / beta[j]; beta = 0 marks an infinite eigenvalue.
// Right eigenvectors satisfy A·x = λ·B·x, left ones yᴴ·A = λ·yᴴ·B; both are
// columns of complex n x n matrices (row-major, interleaved).
//
// Orderings 0 to 4 as for the Schur form: 0 as LAPACK returns it, 1 and 2
// ascending and descending real part, 3 and 4 ascending and descending
// modulus; an infinite eigenvalue has the key +infinity under every ordering.
// When LAPACK refuses an exchange because two eigenvalues are too close, the
// factorisation is repeated once in the alternative mode, in which keys that
// agree to within √ε (relative) count as equal and are left in place.
#include <cmath>
#include <cstddef>

#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/finite.h"
#include "linalg/matrix_util.h"
#include "linalg/real.h"

namespace qm::linalg {

double EigenvalueKey(std::int32_t ordering, double re, double im) {
  return ordering <= 2 ? re : std::hypot(re, im);
}

bool MustExchange(std::int32_t ordering, double earlier, double later, bool tolerant) {
  if (!OutOfOrder(ordering, earlier, later)) return false;
  if (!tolerant || std::isinf(earlier) || std::isinf(later)) return true;
  const double big = std::fabs(earlier) > std::fabs(later) ? std::fabs(earlier) : std::fabs(later);
  return std::fabs(earlier - later) > std::sqrt(kEpsilon) * big;
}

namespace {

struct PairWork {
  Scratch<double> s, t, q, z, alphar, alphai, beta, work;
  Scratch<fint> bwork, start, size;
  fint lwork = 0;
};

inline double Cm(const double* x, std::int32_t n, std::int32_t i, std::int32_t j) {
  return x[i + static_cast<std::size_t>(j) * n];
}

// Eigenvalue (re, im with im >= 0) and a (alpha, beta) representation of the
// block of (S, T) that starts at k. beta = 0 for an infinite eigenvalue.
void PairBlockEigenvalue(const double* s, const double* t, std::int32_t n, std::int32_t k,
                         std::int32_t size, double* alpha_re, double* alpha_im, double* beta) {
  if (size == 1) {
    double al = Cm(s, n, k, k), be = Cm(t, n, k, k);
    if (be < 0) {
      al = -al;
      be = -be;
    }
    *alpha_re = al;
    *alpha_im = 0.0;
    *beta = be;
    return;
  }
  // det(S_b - λ·T_b) = p·λ² - q·λ + r for the 2 x 2 block (T_b upper triangular).
  const double s11 = Cm(s, n, k, k), s12 = Cm(s, n, k, k + 1);
  const double s21 = Cm(s, n, k + 1, k), s22 = Cm(s, n, k + 1, k + 1);
  const double t11 = Cm(t, n, k, k), t12 = Cm(t, n, k, k + 1), t22 = Cm(t, n, k + 1, k + 1);
  const double p = t11 * t22;
  const double q = s11 * t22 + s22 * t11 - s21 * t12;
  const double r = s11 * s22 - s12 * s21;
  const double scale = std::sqrt(std::fabs(p));
  if (p == 0.0) {
    *alpha_re = 1.0;
    *alpha_im = 0.0;
    *beta = 0.0;
    return;
  }
  const double re = q / (2 * p);
  const double disc = 4 * p * r - q * q;
  const double im = disc > 0 ? std::sqrt(disc) / (2 * std::fabs(p)) : 0.0;
  *alpha_re = re * scale;
  *alpha_im = im * scale;
  *beta = scale;
}

double OrderingKey(std::int32_t ordering, double are, double aim, double beta) {
  if (beta == 0.0) return kInfinity;
  return EigenvalueKey(ordering, are / beta, aim / beta);
}

// Factorises the pair and reorders it. `tolerant` selects the alternative mode.
Status FactorPair(const LapackTable* la, const double* a, const double* b, std::int32_t n,
                  std::int32_t ordering, bool tolerant, PairWork* w) {
  Transpose(a, n, n, n, w->s.data(), n);
  Transpose(b, n, n, n, w->t.data(), n);
  fint sdim = 0, info = 0;
  la->dgges("V", "V", "N", nullptr, &n, w->s.data(), &n, w->t.data(), &n, &sdim, w->alphar.data(),
            w->alphai.data(), w->beta.data(), w->q.data(), &n, w->z.data(), &n, w->work.data(),
            &w->lwork, w->bwork.data(), &info, 1, 1, 1);
  if (info >= 1 && info <= n + 1) return kIterationsExceeded;
  if (info == n + 2) return kReorderChangedComplex;
  if (info == n + 3) return kEigenvaluesTooClose;
  if (Status s = NegativeInfo(info)) return s;
  if (ordering == 0) return kSuccess;

  auto key = [&](std::int32_t blk) {
    double are = 0.0, aim = 0.0, be = 0.0;
    PairBlockEigenvalue(w->s.data(), w->t.data(), n, w->start[blk], w->size[blk], &are, &aim, &be);
    return OrderingKey(ordering, are, aim, be);
  };
  auto differ = [&](double earlier, double later) {
    return MustExchange(ordering, earlier, later, tolerant);
  };
  const std::int64_t cap = 4 * static_cast<std::int64_t>(n) * n + 16;
  std::int64_t swaps = 0;
  const fint yes = 1;
  for (bool again = true; again;) {
    again = false;
    const std::int32_t blocks = SchurBlocks(w->s.data(), n, w->start.data(), w->size.data());
    for (std::int32_t blk = 0; blk + 1 < blocks; ++blk) {
      if (!differ(key(blk), key(blk + 1))) continue;
      if (++swaps > cap) return kEigenvaluesTooClose;
      fint ifst = w->start[blk + 1] + 1, ilst = w->start[blk] + 1;
      la->dtgexc(&yes, &yes, &n, w->s.data(), &n, w->t.data(), &n, w->q.data(), &n, w->z.data(), &n,
                 &ifst, &ilst, w->work.data(), &w->lwork, &info);
      if (info == 1) return kEigenvaluesTooClose;
      if (Status s = NegativeInfo(info)) return s;
      again = true;
      if (SchurBlocks(w->s.data(), n, w->start.data(), w->size.data()) != blocks) break;
    }
  }
  // alpha and beta of the reordered form.
  const std::int32_t blocks = SchurBlocks(w->s.data(), n, w->start.data(), w->size.data());
  for (std::int32_t blk = 0; blk < blocks; ++blk) {
    const std::int32_t k = w->start[blk];
    double are = 0.0, aim = 0.0, be = 0.0;
    PairBlockEigenvalue(w->s.data(), w->t.data(), n, k, w->size[blk], &are, &aim, &be);
    w->alphar[k] = are;
    w->alphai[k] = aim;
    w->beta[k] = be;
    if (w->size[blk] == 2) {
      w->alphar[k + 1] = are;
      w->alphai[k + 1] = -aim;
      w->beta[k + 1] = be;
    }
  }
  return kSuccess;
}

// Writes the real eigenvector columns of dtgevc (pairs as real and imaginary
// part columns) as complex columns.
void ComplexColumns(const double* v, std::int32_t n, const double* alphai, double* out) {
  auto put = [&](std::int32_t i, std::int32_t j, double re, double im) {
    const std::size_t at = 2 * (static_cast<std::size_t>(i) * n + j);
    out[at] = re;
    out[at + 1] = im;
  };
  for (std::int32_t j = 0; j < n; ++j) {
    if (alphai[j] == 0.0 || j + 1 == n) {
      for (std::int32_t i = 0; i < n; ++i) put(i, j, Cm(v, n, i, j), 0.0);
      continue;
    }
    for (std::int32_t i = 0; i < n; ++i) {
      const double re = Cm(v, n, i, j), im = Cm(v, n, i, j + 1);
      put(i, j, re, im);
      put(i, j + 1, re, -im);
    }
    ++j;
  }
}

Status GeneralizedCore(const double* a, const double* b, std::int32_t n, std::int32_t ordering,
                       double* s, double* t, double* q, double* z, double* alpha, double* beta,
                       double* left, double* right) {
  std::size_t count = 0;
  if (Status st = CheckPair(a, b, n, ordering, &count)) return st;
  const LapackTable* la = nullptr;
  if (Status st = RequireLapack(&la)) return st;

  PairWork w;
  const std::size_t nn = static_cast<std::size_t>(n);
  if (Status st = AllocateEach<double>({&w.s, &w.t, &w.q, &w.z}, count)) return st;
  if (Status st = AllocateEach<double>({&w.alphar, &w.alphai, &w.beta}, nn)) return st;
  if (Status st = AllocateEach<fint>({&w.bwork, &w.start, &w.size}, nn)) return st;
  // Workspace: the larger of the driver's optimum and what dtgexc and
  // dtgevc need (4n + 16 and 6n).
  fint info = 0, sdim = 0, lwork = -1;
  double query = 0.0;
  la->dgges("V", "V", "N", nullptr, &n, w.s.data(), &n, w.t.data(), &n, &sdim, w.alphar.data(),
            w.alphai.data(), w.beta.data(), w.q.data(), &n, w.z.data(), &n, &query, &lwork,
            w.bwork.data(), &info, 1, 1, 1);
  if (Status st = NegativeInfo(info)) return st;
  w.lwork = QueriedLength(query, 8 * n + 16);
  if (Status st = w.work.Allocate(static_cast<std::size_t>(w.lwork))) return st;

  Status st = FactorPair(la, a, b, n, ordering, false, &w);
  if (st == kEigenvaluesTooClose) st = FactorPair(la, a, b, n, ordering, true, &w);
  if (st) return st;

  const auto tgevc = [&](const char* side, double* vl, double* vr, fint* info) {
    fint used = 0;
    la->dtgevc(side, "B", nullptr, &n, w.s.data(), &n, w.t.data(), &n, vl, &n, vr, &n, &n, &used,
               w.work.data(), info, 1, 1);
  };
  const auto put = [&](const double* vectors, double* out) {
    ComplexColumns(vectors, n, w.alphai.data(), out);
  };
  if (Status s2 = FinishSchurPair(w, n, left, right, tgevc, put, s, t, q, z)) return s2;
  for (std::int32_t j = 0; j < n; ++j) {
    alpha[2 * j] = w.alphar[j];
    alpha[2 * j + 1] = w.alphai[j];
    beta[j] = w.beta[j];
  }
  return kSuccess;
}

}  // namespace

Status GeneralizedEigen(const double* a, const double* b, std::int32_t n, std::int32_t ordering,
                        double* s, double* t, double* q, double* z, double* alpha, double* beta,
                        double* left, double* right) {
  return GeneralizedCore(a, b, n, ordering, s, t, q, z, alpha, beta, left, right);
}

Status GeneralizedEigenvalues(const double* a, const double* b, std::int32_t n, double* eigenvalues,
                              double* left, double* right) {
  std::size_t count = 0;
  if (Status st = CheckShape(n, n, &count)) return st;
  if (Status st = CheckFinite(a, count)) return st;
  if (Status st = CheckFinite(b, count)) return st;
  Scratch<double> beta;
  if (Status st = beta.Allocate(static_cast<std::size_t>(n))) return st;
  // alpha is built in the eigenvalue array and divided in place.
  if (Status st = GeneralizedCore(a, b, n, 0, nullptr, nullptr, nullptr, nullptr, eigenvalues,
                                  beta.data(), left, right)) {
    return st;
  }
  for (std::int32_t j = 0; j < n; ++j) {
    const double re = eigenvalues[2 * j], im = eigenvalues[2 * j + 1];
    eigenvalues[2 * j] = re / beta[j];
    // A real infinite eigenvalue keeps a zero imaginary part (0/0 is no value).
    eigenvalues[2 * j + 1] = im == 0.0 ? 0.0 : im / beta[j];
  }
  return kSuccess;
}

}  // namespace qm::linalg
