// Polynomial least-squares fits, with terms held at given coefficients.
//
// The Vandermonde columns are divided by their (weighted) Euclidean norms
// before the solve and the coefficients by the same factors afterwards, so
// that high orders on wide abscissas keep their accuracy.
#include <cmath>
#include <cstddef>

#include "fit/fit.h"
#include "frame/workspace.h"
#include "linalg/finite.h"

namespace qm::fit {

namespace {

constexpr std::int32_t kMaxFittedOrder = 25;

// General-linear algorithm of each polynomial algorithm: SVD, QR, LU and
// Cholesky on the normal equations.
constexpr std::int32_t kAlgorithmMap[] = {0, 3, 4, 5};

// w is null or the weights to use (|w|). fixed_index/fixed_value: the held
// terms, already validated.
Status FitPolynomial(const double* x, const double* y, const double* w, std::int32_t n,
                     std::int32_t order, const std::int32_t* fixed_index, const double* fixed_value,
                     std::int32_t n_fixed, std::int32_t algorithm, double* fitted,
                     double* coefficients, double* residue) {
  const std::int32_t top = order < kMaxFittedOrder ? order : kMaxFittedOrder;
  const std::size_t terms = static_cast<std::size_t>(order) + 1;
  Scratch<unsigned char> held;
  Scratch<double> target;
  if (Status s = held.Allocate(terms)) return s;
  if (Status s = target.Allocate(static_cast<std::size_t>(n))) return s;
  for (std::size_t j = 0; j < terms; ++j) held[j] = 0;
  for (std::int32_t t = 0; t < n_fixed; ++t) held[fixed_index[t]] = 1;
  // The held terms' contributions leave the targets.
  for (std::int32_t i = 0; i < n; ++i) {
    double v = y[i];
    for (std::int32_t t = 0; t < n_fixed; ++t) v -= fixed_value[t] * std::pow(x[i], fixed_index[t]);
    target[i] = v;
  }
  Scratch<std::int32_t> power;
  if (Status s = power.Allocate(static_cast<std::size_t>(top) + 1)) return s;
  std::int32_t k = 0;
  for (std::int32_t j = 0; j <= top; ++j)
    if (!held[j]) power[k++] = j;

  for (std::size_t j = 0; j < terms; ++j) coefficients[j] = 0.0;
  Status status = kSuccess;
  if (k > 0) {
    Scratch<double> h, scale, b;
    if (Status s = h.Allocate(static_cast<std::size_t>(n) * k)) return s;
    if (Status s = scale.Allocate(static_cast<std::size_t>(k))) return s;
    if (Status s = b.Allocate(static_cast<std::size_t>(k))) return s;
    for (std::int32_t j = 0; j < k; ++j) scale[j] = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
      double* row = h.data() + static_cast<std::size_t>(i) * k;
      const double wi = w ? std::fabs(w[i]) : 1.0;
      for (std::int32_t j = 0; j < k; ++j) {
        row[j] = std::pow(x[i], power[j]);
        scale[j] += wi * row[j] * row[j];
      }
    }
    for (std::int32_t j = 0; j < k; ++j) scale[j] = scale[j] > 0.0 ? std::sqrt(scale[j]) : 1.0;
    for (std::int32_t i = 0; i < n; ++i) {
      double* row = h.data() + static_cast<std::size_t>(i) * k;
      for (std::int32_t j = 0; j < k; ++j) row[j] /= scale[j];
    }
    status = LinearLeastSquares(h.data(), n, k, target.data(), w, kAlgorithmMap[algorithm],
                                b.data(), nullptr, nullptr, nullptr);
    if (status < 0) return status;
    for (std::int32_t j = 0; j < k; ++j) coefficients[power[j]] = b[j] / scale[j];
  }
  for (std::int32_t t = 0; t < n_fixed; ++t) coefficients[fixed_index[t]] = fixed_value[t];

  double sum = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    double f = 0.0;
    for (std::size_t j = terms; j-- > 0;) f = f * x[i] + coefficients[j];
    fitted[i] = f;
    const double r = y[i] - f;
    sum += (w ? std::fabs(w[i]) : 1.0) * r * r;
  }
  *residue = sum / n;
  if (order > kMaxFittedOrder) return kWarnOrderExceeded;
  return status;
}

}  // namespace

Status PolynomialFitSimple(const double* x, const double* y, std::int32_t n, std::int32_t order,
                           double* fitted, double* coefficients, double* residue) {
  if (order < 0) return kOrderNegative;
  if (n <= order) return kTooFewPointsForOrder;
  if (Status s = linalg::CheckFinite(x, static_cast<std::size_t>(n))) return s;
  if (Status s = linalg::CheckFinite(y, static_cast<std::size_t>(n))) return s;
  return FitPolynomial(x, y, nullptr, n, order, nullptr, nullptr, 0, 0, fitted, coefficients,
                       residue);
}

Status PolynomialFitWeighted(const double* x, const double* y, const double* w, std::int32_t n,
                             std::int32_t order, const std::int32_t* term_indexes,
                             const double* term_values, std::int32_t n_terms,
                             std::int32_t algorithm, double* fitted, double* coefficients,
                             double* residue) {
  if (order < 0 || n_terms < 0) return kOrderNegative;
  if (static_cast<std::int64_t>(n) <= static_cast<std::int64_t>(order) - n_terms)
    return kTooFewPointsForOrder;
  if (n < 1) return kCountNotPositive;
  if (algorithm < 0 || algorithm > 3) return kBadSelection;
  for (std::int32_t t = 0; t < n_terms; ++t) {
    if (term_indexes[t] < 0 || term_indexes[t] > order) return kBadSelection;
    for (std::int32_t u = 0; u < t; ++u)
      if (term_indexes[u] == term_indexes[t]) return kBadSelection;
  }
  if (Status s = linalg::CheckFinite(x, static_cast<std::size_t>(n))) return s;
  if (Status s = linalg::CheckFinite(y, static_cast<std::size_t>(n))) return s;
  if (n_terms > 0) {
    if (Status s = linalg::CheckFinite(term_values, static_cast<std::size_t>(n_terms))) return s;
  }
  const double* weights = nullptr;
  if (Status s = PrepareWeights(w, n, &weights)) return s;
  return FitPolynomial(x, y, weights, n, order, term_indexes, term_values, n_terms, algorithm,
                       fitted, coefficients, residue);
}

Status PolynomialFit(const double* x, const double* y, std::int32_t n, std::int32_t order,
                     const std::int32_t* term_indexes, const double* term_values,
                     std::int32_t n_terms, std::int32_t algorithm, double* fitted,
                     double* coefficients, double* residue) {
  return PolynomialFitWeighted(x, y, nullptr, n, order, term_indexes, term_values, n_terms,
                               algorithm, fitted, coefficients, residue);
}

}  // namespace qm::fit
