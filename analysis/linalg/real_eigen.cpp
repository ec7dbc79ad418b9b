// Eigenvalues and eigenvectors, balancing, Hessenberg and Schur forms of real
// matrices, delegated to LAPACK.
#include <cmath>
#include <cstddef>

#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/finite.h"
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

Status IsPositiveDefinite(const double* a, std::int32_t n, std::int32_t* result) {
  *result = 0;
  if (n < 1) return kCountNotPositive;
  std::size_t count = 0;
  if (Status s = ElementCount(n, n, &count)) return s;
  for (std::int32_t i = 0; i < n; ++i) {
    for (std::int32_t j = i + 1; j < n; ++j) {
      // != is true for a NaN as well: such a matrix is not symmetric.
      if (a[static_cast<std::size_t>(i) * n + j] != a[static_cast<std::size_t>(j) * n + i]) {
        return kSuccess;
      }
    }
  }
  Scratch<double> w;
  if (Status s = w.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = EigenSymmetric(a, n, 0, w.data(), nullptr)) return s;
  const double first = std::fabs(w[0]), last = std::fabs(w[n - 1]);
  const double tol = (first > last ? first : last) * kEpsilon;
  for (std::int32_t i = 0; i < n; ++i) {
    if (!(w[i] > tol)) return kSuccess;
  }
  *result = 1;
  return kSuccess;
}

Status MatrixBalance(const double* a, std::int32_t n, std::int32_t job, std::int32_t* ilo,
                     std::int32_t* ihi, double* scale, double* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  const char* letter = BalanceLetter(job);
  if (!letter) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<double> x;
  if (Status s = x.Allocate(count)) return s;
  Transpose(a, n, n, n, x.data(), n);
  fint lo = 0, hi = 0, info = 0;
  la->dgebal(letter, &n, x.data(), &n, &lo, &hi, scale, &info, 1);
  if (info != 0) return kAlgorithmFailure;
  Transpose(x.data(), n, n, n, out, n);
  *ilo = lo - 1;
  *ihi = hi - 1;
  return kSuccess;
}

Status EigenvectorBackTransform(const double* v, std::int32_t n, std::int32_t side,
                                std::int32_t job, std::int32_t ilo, std::int32_t ihi,
                                const double* scale, double* out) {
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
  Scratch<double> x;
  if (Status s = x.Allocate(count)) return s;
  Transpose(v, n, n, n, x.data(), n);
  const fint lo = ilo + 1, hi = ihi + 1;
  fint info = 0;
  la->dgebak(letter, side != 0 ? "L" : "R", &n, &lo, &hi, scale, &n, x.data(), &n, &info, 1, 1);
  if (info != 0) return kAlgorithmFailure;
  Transpose(x.data(), n, n, n, out, n);
  return kSuccess;
}

Status HessenbergDecomposition(const double* a, std::int32_t n, double* h, double* q) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<double> x, tau;
  if (Status s = x.Allocate(count)) return s;
  if (Status s = tau.Allocate(static_cast<std::size_t>(n))) return s;
  Transpose(a, n, n, n, x.data(), n);
  const fint ilo = 1;
  fint info = 0, lwork = -1;
  double query = 0.0;
  la->dgehrd(&n, &ilo, &n, x.data(), &n, tau.data(), &query, &lwork, &info);
  if (Status s = NegativeInfo(info)) return s;
  fint need = QueriedLength(query, n);
  la->dorghr(&n, &ilo, &n, x.data(), &n, tau.data(), &query, &lwork, &info);
  if (Status s = NegativeInfo(info)) return s;
  const fint need_q = QueriedLength(query, n);
  if (need_q > need) need = need_q;
  Scratch<double> work;
  if (Status s = work.Allocate(static_cast<std::size_t>(need))) return s;
  la->dgehrd(&n, &ilo, &n, x.data(), &n, tau.data(), work.data(), &need, &info);
  if (Status s = NegativeInfo(info)) return s;
  for (std::int32_t i = 0; i < n; ++i) {
    double* row = h + static_cast<std::size_t>(i) * n;
    for (std::int32_t j = 0; j < n; ++j) row[j] = i <= j + 1 ? At(x.data(), n, i, j) : 0.0;
  }
  la->dorghr(&n, &ilo, &n, x.data(), &n, tau.data(), work.data(), &need, &info);
  if (Status s = NegativeInfo(info)) return s;
  Transpose(x.data(), n, n, n, q, n);
  return kSuccess;
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
// and sizes, returned count.
std::int32_t SchurBlocks(const double* t, std::int32_t n, std::int32_t* start, std::int32_t* size) {
  std::int32_t count = 0;
  for (std::int32_t k = 0; k < n;) {
    const bool pair = k + 1 < n && t[k + 1 + static_cast<std::size_t>(k) * n] != 0.0;
    start[count] = k;
    size[count] = pair ? 2 : 1;
    ++count;
    k += pair ? 2 : 1;
  }
  return count;
}

// True when the block keyed `earlier` must move behind the one keyed `later`:
// ascending for orderings 1 and 3, descending for 2 and 4; ties stay.
bool OutOfOrder(std::int32_t ordering, double earlier, double later) {
  return ordering == 1 || ordering == 3 ? earlier > later : earlier < later;
}

Status SchurDecomposition(const double* a, std::int32_t n, std::int32_t ordering, double* q,
                          double* t, double* eigenvalues) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  if (ordering < 0 || ordering > 4) return kBadSelection;
  if (Status s = CheckFinite(a, count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  const bool want_q = q != nullptr;
  Scratch<double> x, vs, wr, wi, work;
  Scratch<fint> bwork, start, size;
  if (Status s = x.Allocate(count)) return s;
  if (want_q) {
    if (Status s = vs.Allocate(count)) return s;
  }
  if (Status s = wr.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = wi.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = bwork.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = start.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = size.Allocate(static_cast<std::size_t>(n))) return s;
  Transpose(a, n, n, n, x.data(), n);

  double dummy[1] = {0.0};
  double* vsp = want_q ? vs.data() : dummy;
  const fint ldvs = want_q ? n : 1;
  const char* jobvs = want_q ? "V" : "N";
  fint sdim = 0, info = 0, lwork = -1;
  double query = 0.0;
  la->dgees(jobvs, "N", nullptr, &n, x.data(), &n, &sdim, wr.data(), wi.data(), vsp, &ldvs, &query,
            &lwork, bwork.data(), &info, 1, 1);
  if (Status s = NegativeInfo(info)) return s;
  lwork = QueriedLength(query, 3 * n);
  if (lwork < n) lwork = n;  // dtrexc reuses the block
  if (Status s = work.Allocate(static_cast<std::size_t>(lwork))) return s;
  la->dgees(jobvs, "N", nullptr, &n, x.data(), &n, &sdim, wr.data(), wi.data(), vsp, &ldvs,
            work.data(), &lwork, bwork.data(), &info, 1, 1);
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
      std::int32_t blocks = SchurBlocks(x.data(), n, start.data(), size.data());
      for (std::int32_t b = 0; b + 1 < blocks; ++b) {
        if (!OutOfOrder(ordering, key(b), key(b + 1))) continue;
        if (++swaps > cap) return kEigenvaluesTooClose;
        fint ifst = start[b + 1] + 1, ilst = start[b] + 1;
        la->dtrexc(compq, &n, x.data(), &n, vsp, &ldvs, &ifst, &ilst, work.data(), &info, 1);
        if (info == 1) return kEigenvaluesTooClose;  // the exchange was refused
        if (Status s = NegativeInfo(info)) return s;
        again = true;
        const std::int32_t now = SchurBlocks(x.data(), n, start.data(), size.data());
        if (now != blocks) break;  // a pair split: start the pass again
      }
    }
  }

  Transpose(x.data(), n, n, n, t, n);
  if (want_q) Transpose(vs.data(), n, n, n, q, n);
  const std::int32_t blocks = SchurBlocks(x.data(), n, start.data(), size.data());
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

}  // namespace qm::linalg
