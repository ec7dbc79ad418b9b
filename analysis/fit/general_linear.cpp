// The general weighted linear least-squares solver and the goodness-of-fit
// report.
#include <cmath>
#include <cstddef>
#include <limits>

#include "fit/fit.h"
#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/finite.h"
#include "linalg/real.h"
#include "stats/descriptive.h"

namespace qm::fit {

namespace {

constexpr double kEpsilon = 2.220446049250313e-16;

// b = V·diag(1/σ)·Uᵀ·y over the singular values above the tolerance;
// covariance V·diag(1/σ²)·Vᵀ over the same values.
Status SolveBySvd(const LapackTable* la, const double* a, std::int32_t n, std::int32_t k,
                  const double* b, bool drop_small, double* coefficients, double* covariance) {
  Scratch<double> u, s, v, t;
  if (Status st = u.Allocate(static_cast<std::size_t>(n) * k)) return st;
  if (Status st = s.Allocate(static_cast<std::size_t>(k))) return st;
  if (Status st = v.Allocate(static_cast<std::size_t>(k) * k)) return st;
  if (Status st = t.Allocate(static_cast<std::size_t>(k))) return st;
  if (Status st = linalg::SvdDecomposition(a, n, k, u.data(), s.data(), v.data())) return st;
  const double tolerance = drop_small ? static_cast<double>(n) * s[0] * kEpsilon : 0.0;
  std::int32_t r = 0;
  while (r < k && s[r] > tolerance) ++r;
  // t = Uᵀ·y, divided by σ over the kept values.
  la->cblas_dgemv(kCblasRowMajor, kCblasTrans, n, k, 1.0, u.data(), k, b, 1, 0.0, t.data(), 1);
  for (std::int32_t j = 0; j < k; ++j) t[j] = j < r ? t[j] / s[j] : 0.0;
  la->cblas_dgemv(kCblasRowMajor, kCblasNoTrans, k, k, 1.0, v.data(), k, t.data(), 1, 0.0,
                  coefficients, 1);
  if (covariance) {
    for (std::int32_t i = 0; i < k; ++i) {
      for (std::int32_t j = 0; j < k; ++j) {
        double sum = 0.0;
        for (std::int32_t l = 0; l < r; ++l) {
          sum += v[static_cast<std::size_t>(i) * k + l] * v[static_cast<std::size_t>(j) * k + l] /
                 (s[l] * s[l]);
        }
        covariance[static_cast<std::size_t>(i) * k + j] = sum;
      }
    }
  }
  return kSuccess;
}

// Householder QR (economy): R·b = Qᵀ·y by back substitution; covariance
// pinv(RᵀR).
Status SolveByQr(const LapackTable* la, const double* a, std::int32_t n, std::int32_t k,
                 const double* b, double* coefficients, double* covariance) {
  Scratch<double> q, r, t;
  if (Status st = q.Allocate(static_cast<std::size_t>(n) * k)) return st;
  if (Status st = r.Allocate(static_cast<std::size_t>(k) * k)) return st;
  if (Status st = t.Allocate(static_cast<std::size_t>(k))) return st;
  if (Status st = linalg::QrDecomposition(a, n, k, 0, 1, nullptr, q.data(), r.data())) return st;
  la->cblas_dgemv(kCblasRowMajor, kCblasTrans, n, k, 1.0, q.data(), k, b, 1, 0.0, t.data(), 1);
  if (Status st = linalg::BackSubstitution(r.data(), t.data(), k, coefficients)) return st;
  if (covariance) {
    Scratch<double> rtr;
    if (Status st = rtr.Allocate(static_cast<std::size_t>(k) * k)) return st;
    la->cblas_dgemm(kCblasRowMajor, kCblasTrans, kCblasNoTrans, k, k, k, 1.0, r.data(), k, r.data(),
                    k, 0.0, rtr.data(), k);
    return linalg::PseudoInverse(rtr.data(), k, k, -1.0, covariance);
  }
  return kSuccess;
}

// Normal equations HᵀWH·b = HᵀWy of the row-scaled design, by LU (4) or
// Cholesky (5); covariance pinv(HᵀWH).
Status SolveByNormalEquations(const LapackTable* la, const double* a, std::int32_t n,
                              std::int32_t k, const double* b, bool cholesky, double* coefficients,
                              double* covariance) {
  Scratch<double> ata, atb;
  if (Status st = ata.Allocate(static_cast<std::size_t>(k) * k)) return st;
  if (Status st = atb.Allocate(static_cast<std::size_t>(k))) return st;
  la->cblas_dgemm(kCblasRowMajor, kCblasTrans, kCblasNoTrans, k, k, n, 1.0, a, k, a, k, 0.0,
                  ata.data(), k);
  la->cblas_dgemv(kCblasRowMajor, kCblasTrans, n, k, 1.0, a, k, b, 1, 0.0, atb.data(), 1);
  Status st = cholesky ? linalg::SolveLinearEquations(ata.data(), k, k, atb.data(),
                                                      linalg::kMatrixPositiveDefinite, coefficients)
                       : linalg::SolveSquare(ata.data(), atb.data(), k, coefficients);
  if (st < 0) return st;
  if (covariance) {
    if (Status c = linalg::PseudoInverse(ata.data(), k, k, -1.0, covariance)) return c;
  }
  return st;
}

}  // namespace

Status PrepareWeights(const double* w, std::int32_t n, const double** effective) {
  *effective = nullptr;
  if (!w) return kSuccess;
  if (Status s = linalg::CheckFinite(w, static_cast<std::size_t>(n))) return s;
  std::int32_t zeros = 0;
  for (std::int32_t i = 0; i < n; ++i) zeros += w[i] == 0.0 ? 1 : 0;
  if (zeros == n) return kSuccess;
  if (zeros == n - 1) return kZeroNumber;
  *effective = w;
  return kSuccess;
}

Status LinearLeastSquares(const double* h, std::int32_t n, std::int32_t k, const double* y,
                          const double* w, std::int32_t algorithm, double* coefficients,
                          double* covariance, double* fitted, double* residue) {
  if (k < 1) return kOrderNotPositive;
  if (n < k) return kTooFewPointsForOrder;
  if (algorithm < 0 || algorithm > 6) return kBadSelection;
  const std::size_t count = static_cast<std::size_t>(n) * k;
  if (Status s = linalg::CheckFinite(h, count)) return s;
  if (Status s = linalg::CheckFinite(y, static_cast<std::size_t>(n))) return s;
  if (w) {
    if (Status s = linalg::CheckFinite(w, static_cast<std::size_t>(n))) return s;
  }
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;

  // Rows and targets scaled by √|wᵢ|.
  Scratch<double> a, b;
  const double* design = h;
  const double* target = y;
  if (w) {
    if (Status s = a.Allocate(count)) return s;
    if (Status s = b.Allocate(static_cast<std::size_t>(n))) return s;
    for (std::int32_t i = 0; i < n; ++i) {
      const double r = std::sqrt(std::fabs(w[i]));
      const double* src = h + static_cast<std::size_t>(i) * k;
      double* dst = a.data() + static_cast<std::size_t>(i) * k;
      for (std::int32_t j = 0; j < k; ++j) dst[j] = src[j] * r;
      b[i] = y[i] * r;
    }
    design = a.data();
    target = b.data();
  }
  Status st = kSuccess;
  switch (algorithm) {
    case 0:
    case 6:
      st = SolveBySvd(la, design, n, k, target, algorithm == 6, coefficients, covariance);
      break;
    case 4:
    case 5:
      st = SolveByNormalEquations(la, design, n, k, target, algorithm == 5, coefficients,
                                  covariance);
      break;
    default:
      st = SolveByQr(la, design, n, k, target, coefficients, covariance);
      break;
  }
  if (st < 0) return st;
  if (fitted && residue) {
    la->cblas_dgemv(kCblasRowMajor, kCblasNoTrans, n, k, 1.0, h, k, coefficients, 1, 0.0, fitted,
                    1);
    double sum = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
      const double r = y[i] - fitted[i];
      sum += (w ? std::fabs(w[i]) : 1.0) * r * r;
    }
    *residue = sum / n;
  }
  return st;
}

Status GeneralLinearFit(const double* h, std::int32_t n, std::int32_t k, const double* y,
                        const double* std_dev, std::int32_t algorithm, double* fitted,
                        double* coefficients, double* covariance, double* residue) {
  if (k < 1) return kOrderNotPositive;
  if (n < k) return kTooFewPointsForOrder;
  if (algorithm < 0 || algorithm > 6) return kBadSelection;
  Scratch<double> w;
  if (std_dev) {
    if (Status s = linalg::CheckFinite(std_dev, static_cast<std::size_t>(n))) return s;
    if (Status s = w.Allocate(static_cast<std::size_t>(n))) return s;
    for (std::int32_t i = 0; i < n; ++i) {
      w[i] = std_dev[i] == 0.0 ? 1.0 : 1.0 / (std_dev[i] * std_dev[i]);
    }
  }
  return LinearLeastSquares(h, n, k, y, w.data(), algorithm, coefficients, covariance, fitted,
                            residue);
}

Status GeneralLinearFitSimple(const double* h, std::int32_t n, std::int32_t k, const double* y,
                              double* coefficients, std::int32_t algorithm) {
  return LinearLeastSquares(h, n, k, y, nullptr, algorithm, coefficients, nullptr, nullptr,
                            nullptr);
}

Status GoodnessOfFit(const double* y, const double* fitted, const double* w, std::int32_t n,
                     std::int32_t dof, double* sse, double* r_square, double* rmse) {
  if (n < 2) return kCountBelowTwo;
  if (dof >= n) return kBadDegreesOfFreedom;
  if (dof < 1) dof = n - 2;  // n = 2 leaves 0: the RMSE is then the IEEE quotient
  const std::size_t count = static_cast<std::size_t>(n);
  if (Status s = linalg::CheckFinite(y, count)) return s;
  if (Status s = linalg::CheckFinite(fitted, count)) return s;
  if (w) {
    if (Status s = linalg::CheckFinite(w, count)) return s;
  }
  double mean = 0.0;
  if (Status s = stats::Mean(y, n, &mean)) return s;
  double e = 0.0, t = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double wi = w ? w[i] : 1.0;
    const double r = y[i] - fitted[i];
    const double d = y[i] - mean;
    e += wi * r * r;
    t += wi * d * d;
  }
  *sse = e;
  *rmse = std::sqrt(e / dof);
  if (t == 0.0) {
    *r_square = e == 0.0 ? 1.0 : std::numeric_limits<double>::infinity();
  } else {
    *r_square = 1.0 - e / t;
  }
  return kSuccess;
}

}  // namespace qm::fit
