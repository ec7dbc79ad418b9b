// Point interpolation: Neville's polynomial tableau, the Bulirsch–Stoer
// rational tableau and the two halves of cubic-spline interpolation.
#include <cmath>
#include <cstddef>

#include "fit/fit.h"
#include "frame/workspace.h"

namespace qm::fit {

namespace {

// Index of the x nearest to xv, the first one on ties.
std::int32_t Nearest(const double* x, std::int32_t n, double xv) {
  std::int32_t ns = 0;
  double best = std::fabs(xv - x[0]);
  for (std::int32_t i = 1; i < n; ++i) {
    const double d = std::fabs(xv - x[i]);
    if (d < best) {
      best = d;
      ns = i;
    }
  }
  return ns;
}

// The correction after column m of a tableau; ns moves down a row when the
// lower path is taken.
double Correction(const double* c, const double* d, std::int32_t n, std::int32_t m,
                  std::int32_t* ns) {
  if (2 * (*ns + 1) < n - m) return c[*ns + 1];
  const double dy = d[*ns];
  --*ns;
  return dy;
}

}  // namespace

Status PolynomialInterpolate(const double* x, const double* y, std::int32_t n, double xv,
                             double* yv, double* error_estimate) {
  if (n < 1) return kCountNotPositive;
  Scratch<double> c, d;
  if (Status s = c.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = d.Allocate(static_cast<std::size_t>(n))) return s;
  for (std::int32_t i = 0; i < n; ++i) c[i] = d[i] = y[i];
  std::int32_t ns = Nearest(x, n, xv);
  double value = y[ns];
  double dy = 0.0;
  --ns;
  for (std::int32_t m = 1; m < n; ++m) {
    for (std::int32_t i = 0; i < n - m; ++i) {
      const double ho = x[i] - xv;
      const double hp = x[i + m] - xv;
      const double w = c[i + 1] - d[i];
      double den = ho - hp;
      if (den == 0.0) return kXNotDistinct;
      den = w / den;
      d[i] = hp * den;
      c[i] = ho * den;
    }
    dy = Correction(c.data(), d.data(), n, m, &ns);
    value += dy;
  }
  *yv = value;
  *error_estimate = dy;
  return kSuccess;
}

Status RationalInterpolate(const double* x, const double* y, std::int32_t n, double xv, double* yv,
                           double* error_estimate) {
  constexpr double kTiny = 1e-10;
  if (n < 1) return kCountNotPositive;
  Scratch<double> c, d;
  if (Status s = c.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = d.Allocate(static_cast<std::size_t>(n))) return s;
  std::int32_t ns = 0;
  double best = std::fabs(xv - x[0]);
  for (std::int32_t i = 0; i < n; ++i) {
    const double h = std::fabs(xv - x[i]);
    if (h == 0.0) {
      *yv = y[i];
      *error_estimate = 0.0;
      return kSuccess;
    }
    if (h < best) {
      best = h;
      ns = i;
    }
    c[i] = y[i];
    d[i] = y[i] + kTiny;
  }
  double value = y[ns];
  double dy = 0.0;
  --ns;
  for (std::int32_t m = 1; m < n; ++m) {
    for (std::int32_t i = 0; i < n - m; ++i) {
      const double w = c[i + 1] - d[i];
      const double h = x[i + m] - xv;
      const double t = (x[i] - xv) * d[i] / h;
      double dd = t - c[i + 1];
      if (dd == 0.0) return kInterpolationPole;
      dd = w / dd;
      d[i] = c[i + 1] * dd;
      c[i] = t * dd;
    }
    dy = Correction(c.data(), d.data(), n, m, &ns);
    value += dy;
  }
  *yv = value;
  *error_estimate = dy;
  return kSuccess;
}

Status SplineSecondDerivatives(const double* x, const double* y, std::int32_t n, double d_start,
                               double d_end, double* y2) {
  if (n < 1) return kCountNotPositive;
  if (n < 2) return kCountBelowTwo;
  // The sweep below compares only interior triples; two points need their
  // own check, or a clamped end divides by zero.
  if (n == 2 && x[0] == x[1]) return kXNotDistinct;
  Scratch<double> u;
  if (Status s = u.Allocate(static_cast<std::size_t>(n))) return s;
  if (d_start > kNaturalEndDerivative) {
    y2[0] = u[0] = 0.0;
  } else {
    const double h = x[1] - x[0];
    y2[0] = -0.5;
    u[0] = (3.0 / h) * ((y[1] - y[0]) / h - d_start);
  }
  for (std::int32_t i = 1; i < n - 1; ++i) {
    if (x[i - 1] == x[i] || x[i] == x[i + 1] || x[i - 1] == x[i + 1]) return kXNotDistinct;
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    const double slope_diff =
        (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
    u[i] = (6.0 * slope_diff / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
  }
  double qn = 0.0, un = 0.0;
  if (!(d_end > kNaturalEndDerivative)) {
    const double h = x[n - 1] - x[n - 2];
    qn = 0.5;
    un = (3.0 / h) * (d_end - (y[n - 1] - y[n - 2]) / h);
  }
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
  for (std::int32_t k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
  return kSuccess;
}

Status SplineInterpolate(const double* x, const double* y, const double* y2, std::int32_t n,
                         double xv, double* yv) {
  if (n < 1) return kCountNotPositive;
  if (n < 2) return kCountBelowTwo;
  const bool ascending = x[n - 1] > x[0];
  std::int32_t lo = 0, hi = n - 1;
  while (hi - lo > 1) {
    const std::int32_t k = lo + (hi - lo) / 2;
    if ((x[k] > xv) == ascending) {
      hi = k;
    } else {
      lo = k;
    }
  }
  const double h = x[hi] - x[lo];
  if (h == 0.0) return kXNotDistinct;
  const double a = (x[hi] - xv) / h;
  const double b = (xv - x[lo]) / h;
  *yv =
      a * y[lo] + b * y[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
  return kSuccess;
}

}  // namespace qm::fit
