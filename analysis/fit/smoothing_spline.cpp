// Cubic smoothing spline by Reinsch's method.
//
// The spline f minimises p·Σ|wᵢ|·(yᵢ - fᵢ)² + (1 - p)·∫f''². With the
// spacings hᵢ = x[i+1] - x[i], Q the n x (n-2) second-difference matrix
// (column j: 1/h_j, -1/h_j - 1/h_{j+1}, 1/h_{j+1} in rows j..j+2), R the
// (n-2) x (n-2) tridiagonal matrix with 2(h_j + h_{j+1}) on the diagonal and
// h_{j+1} beside it, and D = diag(√(6(1 - p))/√|wᵢ|), the pentadiagonal
// system
//   (p·R + (D·Q)ᵀ·(D·Q))·u = Qᵀ·y
// gives the values f = y - D²·Q·u and the interior second derivatives 6p·u
// (zero at both ends: the natural spline).
#include <cmath>
#include <cstddef>

#include "fit/fit.h"
#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/finite.h"

namespace qm::fit {

Status SmoothingSplineFit(const double* x, const double* y, const double* w, std::int32_t n,
                          double p, double* values, double* second_derivatives) {
  if (n < 2) return kCountBelowTwo;
  const std::size_t count = static_cast<std::size_t>(n);
  if (Status s = linalg::CheckFinite(x, count)) return s;
  if (Status s = linalg::CheckFinite(y, count)) return s;
  for (std::int32_t i = 1; i < n; ++i)
    if (!(x[i] > x[i - 1])) return kXNotDistinct;
  if (w) {
    if (Status s = linalg::CheckFinite(w, count)) return s;
    for (std::int32_t i = 0; i < n; ++i)
      if (w[i] == 0.0) return kZeroNumber;
  }
  if (!(p >= 0.0 && p <= 1.0)) {
    const double h = (x[n - 1] - x[0]) / n;
    p = 8.0 / (8.0 + h * h * h);
  }
  if (n == 2) {  // every p leaves the line through both points
    values[0] = y[0];
    values[1] = y[1];
    second_derivatives[0] = second_derivatives[1] = 0.0;
    return kSuccess;
  }
  if (p == 1.0) {
    for (std::int32_t i = 0; i < n; ++i) values[i] = y[i];
    return SplineSecondDerivatives(x, y, n, 1e30, 1e30, second_derivatives);
  }
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;

  const std::int32_t m = n - 2;
  constexpr fint kl = 2, ku = 2, ldab = 2 * kl + ku + 1;
  Scratch<double> h, d2, band, rhs;
  Scratch<fint> pivots;
  if (Status s = h.Allocate(count - 1)) return s;
  if (Status s = d2.Allocate(count)) return s;
  if (Status s = band.Allocate(static_cast<std::size_t>(ldab) * m)) return s;
  if (Status s = rhs.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = pivots.Allocate(static_cast<std::size_t>(m))) return s;
  for (std::int32_t i = 0; i + 1 < n; ++i) h[i] = x[i + 1] - x[i];
  const double smooth = 6.0 * (1.0 - p);
  for (std::int32_t i = 0; i < n; ++i) d2[i] = w ? smooth / std::fabs(w[i]) : smooth;

  // Column j of Q has the entries q(j, r) in rows j + r, r = 0..2.
  auto q = [&](std::int32_t j, std::int32_t r) {
    if (r == 0) return 1.0 / h[j];
    if (r == 1) return -1.0 / h[j] - 1.0 / h[j + 1];
    return 1.0 / h[j + 1];
  };
  // A(i, j) in LAPACK's band layout: row kl + ku + i - j of column j.
  for (std::size_t e = 0; e < static_cast<std::size_t>(ldab) * m; ++e) band[e] = 0.0;
  auto at = [&](std::int32_t i, std::int32_t j) -> double& {
    return band[static_cast<std::size_t>(j) * ldab + kl + ku + i - j];
  };
  for (std::int32_t j = 0; j < m; ++j) {
    at(j, j) = 2.0 * p * (h[j] + h[j + 1]);
    if (j + 1 < m) at(j, j + 1) = at(j + 1, j) = p * h[j + 1];
    // (Qᵀ·D²·Q)(j, k) for k = j..j+2: rows shared by columns j and k.
    for (std::int32_t k = j; k < m && k <= j + 2; ++k) {
      double sum = 0.0;
      for (std::int32_t r = k - j; r <= 2; ++r) sum += q(j, r) * d2[j + r] * q(k, r - (k - j));
      at(j, k) += sum;
      if (k != j) at(k, j) += sum;
    }
    rhs[j] = (y[j + 2] - y[j + 1]) / h[j + 1] - (y[j + 1] - y[j]) / h[j];
  }
  const fint order = m, nrhs = 1;
  fint info = 0;
  la->dgbsv(&order, &kl, &ku, &nrhs, band.data(), &ldab, pivots.data(), rhs.data(), &order, &info);
  if (info > 0) return kSingularMatrix;
  if (info < 0) return kAlgorithmFailure;

  second_derivatives[0] = second_derivatives[n - 1] = 0.0;
  for (std::int32_t j = 0; j < m; ++j) second_derivatives[j + 1] = 6.0 * p * rhs[j];
  for (std::int32_t i = 0; i < n; ++i) {
    double qu = 0.0;  // (Q·u)ᵢ: the columns i-2, i-1, i touch row i
    for (std::int32_t j = i - 2; j <= i; ++j)
      if (j >= 0 && j < m) qu += q(j, i - j) * rhs[j];
    values[i] = y[i] - d2[i] * qu;
  }
  return kSuccess;
}

}  // namespace qm::fit
