// Confidence and prediction bounds of fitted exponential, straight-line,
// logarithm, power and Gaussian-peak curves.
//
// With J the derivatives of the model with respect to its p coefficients at
// the samples, C = pinv(JᵀWJ), s² = Σ|wᵢ|·(fᵢ - yᵢ)²/(n - p) and t the
// Student quantile at 1 - (1 - level)/2 with n - p degrees of freedom, the
// bounds at a sample with derivative row g are f ± t·√(gᵀCg·s²) (selector 0,
// the fitted curve) or f ± t·√((gᵀCg + 1)·s²) (selector 1, a new
// observation); the coefficient half-widths are t·√(C_jj·s²).
#include <cmath>
#include <cstddef>

#include "fit/fit.h"
#include "frame/workspace.h"
#include "linalg/finite.h"
#include "linalg/real.h"
#include "stats/distributions.h"

namespace qm::fit {

namespace {

constexpr std::int32_t kMaxCoefficients = 3;

// Model value and derivative row at x; a status when the model is not
// defined there.
using Evaluate = Status (*)(double x, const double* c, double log_base, double* f, double* g);

Status ExponentialAt(double x, const double* c, double, double* f, double* g) {
  const double e = std::exp(c[1] * x);
  *f = c[0] * e;
  g[0] = e;
  g[1] = c[0] * x * e;
  return kSuccess;
}

Status LineAt(double x, const double* c, double, double* f, double* g) {
  *f = c[0] * x + c[1];  // (slope, intercept)
  g[0] = x;
  g[1] = 1.0;
  return kSuccess;
}

Status LogarithmAt(double x, const double* c, double log_base, double* f, double* g) {
  const double v = c[1] * x;
  if (!(v > 0.0)) return kBadYValues;
  const double l = std::log(v) / log_base;
  *f = c[0] * l;
  g[0] = l;
  g[1] = c[0] / (c[1] * log_base);
  return kSuccess;
}

Status PowerAt(double x, const double* c, double, double* f, double* g) {
  if (!(x > 0.0)) return kNotPositiveOrZero;
  const double e = std::pow(x, c[1]);
  *f = c[0] * e;
  g[0] = e;
  g[1] = c[0] * e * std::log(x);
  return kSuccess;
}

Status GaussianAt(double x, const double* c, double, double* f, double* g) {
  if (!(c[2] != 0.0)) return kWidthNotPositive;
  const double z = (x - c[1]) / c[2];
  const double e = std::exp(-0.5 * z * z);
  *f = c[0] * e;
  g[0] = e;
  g[1] = c[0] * e * z / c[2];
  g[2] = c[0] * e * z * z / c[2];
  return kSuccess;
}

Status Bounds(Evaluate model, std::int32_t p, const double* x, const double* y, const double* w,
              std::int32_t n, double log_base, const double* coefficients, std::int32_t selector,
              double level, double* upper, double* lower, double* half_widths) {
  const std::int32_t minimum = p + 1;
  if (n < minimum) return p == 3 ? kCountBelowFour : kCountBelowThree;
  if (Status s = linalg::CheckFinite(coefficients, static_cast<std::size_t>(p))) return s;
  if (!(level > 0.0 && level < 1.0)) return kProbabilityNotInUnit;
  if (selector != 0 && selector != 1) return kBadSelection;
  if (Status s = linalg::CheckFinite(x, static_cast<std::size_t>(n))) return s;
  if (Status s = linalg::CheckFinite(y, static_cast<std::size_t>(n))) return s;
  const double* weights = nullptr;
  if (Status s = PrepareWeights(w, n, &weights)) return s;

  Scratch<double> jac, value;
  if (Status s = jac.Allocate(static_cast<std::size_t>(n) * p)) return s;
  if (Status s = value.Allocate(static_cast<std::size_t>(n))) return s;
  double normal[kMaxCoefficients * kMaxCoefficients] = {0};
  double s2 = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    double* g = jac.data() + static_cast<std::size_t>(i) * p;
    if (Status s = model(x[i], coefficients, log_base, &value[i], g)) return s;
    const double wi = weights ? std::fabs(weights[i]) : 1.0;
    for (std::int32_t j = 0; j < p; ++j)
      for (std::int32_t k = 0; k < p; ++k) normal[j * p + k] += wi * g[j] * g[k];
    const double r = value[i] - y[i];
    s2 += wi * r * r;
  }
  const std::int32_t dof = n - p;
  s2 /= dof;
  double cov[kMaxCoefficients * kMaxCoefficients];
  if (Status s = linalg::PseudoInverse(normal, p, p, -1.0, cov)) return s;
  double t = 0.0;
  if (Status s = stats::InverseTDistribution(1.0 - (1.0 - level) / 2.0, dof, &t)) return s;

  const double extra = selector == 1 ? 1.0 : 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double* g = jac.data() + static_cast<std::size_t>(i) * p;
    double q = 0.0;
    for (std::int32_t j = 0; j < p; ++j)
      for (std::int32_t k = 0; k < p; ++k) q += g[j] * cov[j * p + k] * g[k];
    const double half = t * std::sqrt((q + extra) * s2);
    upper[i] = value[i] + half;
    lower[i] = value[i] - half;
  }
  if (half_widths) {
    for (std::int32_t j = 0; j < p; ++j) half_widths[j] = t * std::sqrt(cov[j * p + j] * s2);
  }
  return kSuccess;
}

}  // namespace

Status ExponentialFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                              const double* coefficients, std::int32_t selector, double level,
                              double* upper, double* lower, double* half_widths) {
  return Bounds(ExponentialAt, 2, x, y, w, n, 1.0, coefficients, selector, level, upper, lower,
                half_widths);
}

Status LinearFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                         const double* coefficients, std::int32_t selector, double level,
                         double* upper, double* lower, double* half_widths) {
  return Bounds(LineAt, 2, x, y, w, n, 1.0, coefficients, selector, level, upper, lower,
                half_widths);
}

Status LogarithmFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                            double base, const double* coefficients, std::int32_t selector,
                            double level, double* upper, double* lower, double* half_widths) {
  if (std::isnan(base) || std::isinf(base) || base == 1.0) return kBadSelection;
  const double log_base = base <= 0.0 || base == 2.71828 ? 1.0 : std::log(base);
  return Bounds(LogarithmAt, 2, x, y, w, n, log_base, coefficients, selector, level, upper, lower,
                half_widths);
}

Status PowerFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                        const double* coefficients, std::int32_t selector, double level,
                        double* upper, double* lower, double* half_widths) {
  return Bounds(PowerAt, 2, x, y, w, n, 1.0, coefficients, selector, level, upper, lower,
                half_widths);
}

Status GaussianPeakFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                               const double* coefficients, std::int32_t selector, double level,
                               double* upper, double* lower, double* half_widths) {
  return Bounds(GaussianAt, 3, x, y, w, n, 1.0, coefficients, selector, level, upper, lower,
                half_widths);
}

}  // namespace qm::fit
