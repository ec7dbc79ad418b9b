// Levenberg–Marquardt fit of a caller-supplied model with central-difference
// derivatives.
#include <cmath>
#include <cstddef>

#include "fit/fit.h"
#include "frame/workspace.h"
#include "linalg/finite.h"
#include "linalg/real.h"

namespace qm::fit {

namespace {

constexpr double kSqrtEpsilon = 1.4901161193847656e-08;  // √2.220446049250313e-16
constexpr double kStepFactor = 3e-6;
constexpr double kStartLambda = 0.001;
// Accepted steps with a small gain since the last large one after which the
// fit has converged, however the rejected steps between them fall: a fit
// whose accepted steps gain nothing while every other step is rejected would
// otherwise alternate for ever when it has no iteration limit.
constexpr std::int32_t kMaxStalledSteps = 10;

struct Problem {
  const double* x;
  const double* y;
  const double* var;  // σᵢ² per point, null: all 1
  std::int32_t n;
  ModelFunction model;
  std::int32_t m;
};

double InverseVariance(const Problem& p, std::int32_t i) { return p.var ? 1.0 / p.var[i] : 1.0; }

double ChiSquare(const Problem& p, const double* a) {
  double chi2 = 0.0;
  for (std::int32_t i = 0; i < p.n; ++i) {
    const double r = p.y[i] - p.model(p.x[i], a, p.m);
    chi2 += r * r * InverseVariance(p, i);
  }
  return chi2;
}

// α, β and χ² at the coefficients a; `work` (m) holds the perturbed copy,
// `grad` (m) one point's derivatives.
double Curvature(const Problem& p, const double* a, double* work, double* grad, double* alpha,
                 double* beta) {
  const std::int32_t m = p.m;
  for (std::int32_t j = 0; j < m; ++j) {
    beta[j] = 0.0;
    for (std::int32_t k = 0; k < m; ++k) alpha[static_cast<std::size_t>(j) * m + k] = 0.0;
    work[j] = a[j];
  }
  double chi2 = 0.0;
  for (std::int32_t i = 0; i < p.n; ++i) {
    const double xi = p.x[i];
    const double f = p.model(xi, work, m);
    for (std::int32_t j = 0; j < m; ++j) {
      const double h = std::fmax(std::fabs(a[j]), kSqrtEpsilon) * kStepFactor;
      work[j] = a[j] + h;
      const double up = p.model(xi, work, m);
      work[j] = a[j] - h;
      const double down = p.model(xi, work, m);
      work[j] = a[j];
      grad[j] = (up - down) / (2.0 * h);
    }
    const double iv = InverseVariance(p, i);
    const double r = p.y[i] - f;
    chi2 += r * r * iv;
    for (std::int32_t j = 0; j < m; ++j) {
      const double gj = grad[j] * iv;
      beta[j] += r * gj;
      double* row = alpha + static_cast<std::size_t>(j) * m;
      for (std::int32_t k = 0; k <= j; ++k) row[k] += gj * grad[k];
    }
  }
  for (std::int32_t j = 0; j < m; ++j)
    for (std::int32_t k = j + 1; k < m; ++k)
      alpha[static_cast<std::size_t>(j) * m + k] = alpha[static_cast<std::size_t>(k) * m + j];
  return chi2;
}

// The solver proper. `a` is updated after every accepted step.
Status Marquardt(const Problem& p, std::int32_t limit, double* a, std::int32_t* iterations) {
  const std::int32_t m = p.m;
  const std::size_t mm = static_cast<std::size_t>(m) * m;
  Scratch<double> alpha, trial_alpha, beta, trial, delta, work, grad;
  if (Status s = alpha.Allocate(mm)) return s;
  if (Status s = trial_alpha.Allocate(mm)) return s;
  if (Status s = beta.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = trial.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = delta.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = work.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = grad.Allocate(static_cast<std::size_t>(m))) return s;

  double lambda = kStartLambda;
  double chi2 = Curvature(p, a, work.data(), grad.data(), alpha.data(), beta.data());
  // A model that is not finite at the start cannot be fitted.
  if (!std::isfinite(chi2)) return kNotFinite;

  // The final test at the limit compares the χ² before the last iteration
  // with that iteration's trial χ², accepted or not.
  double chi2_before = chi2, chi2_last_trial = chi2;
  std::int32_t counter = 0, small = 0, stalled = 0;
  bool at_limit = true;
  while (limit < 0 || counter < limit) {
    Status step = kSuccess;
    for (std::size_t i = 0; i < mm; ++i) trial_alpha[i] = alpha[i];
    for (std::int32_t j = 0; j < m; ++j) {
      double& d = trial_alpha[static_cast<std::size_t>(j) * m + j];
      d *= 1.0 + lambda;
      if (!std::isfinite(d)) step = kNotFinite;
    }
    if (step == kSuccess) {
      step = linalg::SolveLinearEquations(trial_alpha.data(), m, m, beta.data(),
                                          linalg::kMatrixGeneral, delta.data());
    }
    if (step < 0) {
      if (step != kNotFinite) return step;
      at_limit = false;  // no further step can be taken: converged
      break;
    }
    for (std::int32_t j = 0; j < m; ++j) trial[j] = a[j] + delta[j];
    const double chi2_trial = ChiSquare(p, trial.data());
    chi2_before = chi2;
    chi2_last_trial = chi2_trial;
    if (chi2_trial <= chi2) {
      Curvature(p, trial.data(), work.data(), grad.data(), alpha.data(), beta.data());
      lambda *= 0.1;
      for (std::int32_t j = 0; j < m; ++j) a[j] = trial[j];
      const double gain = chi2 - chi2_trial;
      chi2 = chi2_trial;
      if (gain < 0.001 || gain < 1e-5 * chi2_before) {
        if (small >= 1 || ++stalled >= kMaxStalledSteps) {
          at_limit = false;
          break;
        }
        small = 1;
      } else {
        stalled = 0;
      }
    } else {
      lambda *= 10.0;
      small = 0;
    }
    ++counter;
  }
  if (!at_limit || limit < 0) {
    *iterations = counter + 1;
    return kSuccess;
  }
  *iterations = limit;
  const double lower = std::fmin(chi2_before, chi2_last_trial);
  return std::fabs(chi2_before - chi2_last_trial) < 1e-6 * lower ? kSuccess : kIterationsExceeded;
}

}  // namespace

Status NonlinearFitWeighted(const double* x, const double* y, const double* w, double* fitted,
                            std::int32_t n, std::int32_t max_iterations, ModelFunction model,
                            double* coefficients, std::int32_t m, double* mse,
                            std::int32_t* iterations) {
  if (n < 1) return kCountNotPositive;
  if (m < 1) return kOrderNotPositive;
  if (n < m) return kTooFewPointsForOrder;
  const std::size_t count = static_cast<std::size_t>(n);
  if (Status s = linalg::CheckFinite(x, count)) return s;
  if (Status s = linalg::CheckFinite(y, count)) return s;
  if (Status s = linalg::CheckFinite(coefficients, static_cast<std::size_t>(m))) return s;
  std::int32_t kept = 0;
  if (w) {
    for (std::int32_t i = 0; i < n; ++i) {
      if (!std::isfinite(w[i])) return kNotFinite;
      if (w[i] != 0.0) ++kept;
    }
  }
  Problem p{x, y, nullptr, n, model, m};
  Scratch<double> cx, cy, var;
  if (kept > 0) {
    if (kept < m) return kTooFewPointsForOrder;
    if (Status s = cx.Allocate(static_cast<std::size_t>(kept))) return s;
    if (Status s = cy.Allocate(static_cast<std::size_t>(kept))) return s;
    if (Status s = var.Allocate(static_cast<std::size_t>(kept))) return s;
    std::int32_t j = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      if (w[i] == 0.0) continue;
      cx[j] = x[i];
      cy[j] = y[i];
      var[j] = 1.0 / std::fabs(w[i]);  // σᵢ² = 1/|wᵢ|
      ++j;
    }
    p = Problem{cx.data(), cy.data(), var.data(), kept, model, m};
  }
  std::int32_t used = 0;
  const Status status = Marquardt(p, max_iterations, coefficients, &used);
  if (status < 0 && status != kIterationsExceeded) return status;
  if (iterations) *iterations = used;
  // Fitted values and the mean squared error cover all n points.
  double sum = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double f = model(x[i], coefficients, m);
    if (fitted) fitted[i] = f;
    const double r = f - y[i];
    sum += (kept > 0 ? std::fabs(w[i]) : 1.0) * r * r;
  }
  if (mse) *mse = sum / n;
  return status;
}

Status NonlinearFitLimited(const double* x, const double* y, double* fitted, std::int32_t n,
                           std::int32_t max_iterations, ModelFunction model, double* coefficients,
                           std::int32_t m, double* mse) {
  return NonlinearFitWeighted(x, y, nullptr, fitted, n, max_iterations, model, coefficients, m, mse,
                              nullptr);
}

Status NonlinearFit(const double* x, const double* y, double* fitted, std::int32_t n,
                    ModelFunction model, double* coefficients, std::int32_t m, double* mse) {
  return NonlinearFitWeighted(x, y, nullptr, fitted, n, -1, model, coefficients, m, mse, nullptr);
}

}  // namespace qm::fit
