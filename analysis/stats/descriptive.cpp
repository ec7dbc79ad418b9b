// Descriptive statistics: mean, variance, deviation, RMS, central moments,
// normalisation and the windowed AC/DC estimate.
#include "stats/descriptive.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "frame/workspace.h"
#include "signal/windows.h"

namespace qm::stats {
namespace {

// The mean for the two-pass statistics: the running sum divided by n, except
// that a constant array has exactly its value as mean (so that its
// deviations are exactly 0 and not the rounding error of the sum).
double CarefulMean(const double* x, std::int32_t n) {
  double sum = 0.0;
  bool constant = true;
  for (std::int32_t i = 0; i < n; ++i) {
    sum += x[i];
    constant = constant && x[i] == x[0];
  }
  return constant ? x[0] : sum / n;
}

// d^k formed by k-1 repeated multiplications. For very high orders (where
// the loop would take longer than any caller waits) the power function
// gives the same value to within rounding.
double IntegerPower(double d, std::int32_t k) {
  constexpr std::int32_t kRepeatedLimit = 1024;
  if (k > kRepeatedLimit) return std::pow(d, static_cast<double>(k));
  double p = d;
  for (std::int32_t j = 1; j < k; ++j) p *= d;
  return p;
}

}  // namespace

Status Mean(const double* x, std::int32_t n, double* mean) {
  if (n < 1) return kCountNotPositive;
  double sum = 0.0;
  for (std::int32_t i = 0; i < n; ++i) sum += x[i];
  *mean = sum / n;
  return kSuccess;
}

Status MeanAndVariance(const double* x, std::int32_t n, double* mean, double* variance) {
  if (n < 1) return kCountNotPositive;
  double sum = 0.0, sum_squares = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    sum += x[i];
    sum_squares += x[i] * x[i];
  }
  const double m = sum / n;
  const double v = sum_squares / n - m * m;
  *mean = m;
  // The one-pass difference can come out slightly negative by rounding.
  *variance = v < 0.0 ? 0.0 : v;
  return kSuccess;
}

Status MeanAndStdDev(const double* x, std::int32_t n, double* mean, double* std_dev) {
  if (n < 1) return kCountNotPositive;
  const double m = CarefulMean(x, n);
  double sum_squares = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double d = x[i] - m;
    sum_squares += d * d;
  }
  *mean = m;
  *std_dev = std::sqrt(sum_squares / n);
  return kSuccess;
}

Status Rms(const double* x, std::int32_t n, double* rms) {
  if (n < 1) return kCountNotPositive;
  double sum_squares = 0.0;
  for (std::int32_t i = 0; i < n; ++i) sum_squares += x[i] * x[i];
  *rms = std::sqrt(sum_squares / n);
  return kSuccess;
}

Status ComplexRms(const double* z, std::int32_t n, double* rms) {
  if (n < 1) {
    *rms = std::numeric_limits<double>::quiet_NaN();
    return kCountNotPositive;
  }
  double sum_squares = 0.0;
  for (std::int64_t i = 0; i < 2 * std::int64_t{n}; i += 2)
    sum_squares += z[i] * z[i] + z[i + 1] * z[i + 1];
  *rms = std::sqrt(sum_squares / n);
  return kSuccess;
}

Status CentralMoment(const double* x, std::int32_t n, std::int32_t order, double* moment) {
  if (n < 1) return kCountNotPositive;
  if (order < 1) return kOrderNotPositive;
  const double m = CarefulMean(x, n);
  double sum = 0.0;
  for (std::int32_t i = 0; i < n; ++i) sum += IntegerPower(x[i] - m, order);
  *moment = sum / n;
  return kSuccess;
}

Status Normalize(const double* x, std::int32_t n, double* out, double* mean, double* std_dev) {
  double m = 0.0, s = 0.0;
  if (Status status = MeanAndStdDev(x, n, &m, &s)) return status;
  for (std::int32_t i = 0; i < n; ++i) out[i] = (x[i] - m) / s;
  *mean = m;
  *std_dev = s;
  return kSuccess;
}

// The mean-free copy y = x - m0 is multiplied by the periodic Hanning
// window (coherent gain 0.5, mean square 0.375). With mu and v the mean and
// variance of the windowed copy, E[y^2] = 0.375 (AC^2 + (2 mu)^2) gives
// AC = sqrt((v - 0.5 mu^2) / 0.375) and DC = m0 + 2 mu.
Status AcDcEstimator(const double* x, std::int32_t n, double* ac, double* dc) {
  if (n < 1) return kCountNotPositive;
  const double m0 = CarefulMean(x, n);
  Scratch<double> y;
  if (Status s = y.Allocate(static_cast<std::size_t>(n))) return s;
  for (std::int32_t i = 0; i < n; ++i) y[i] = x[i] - m0;
  if (Status s = signal::HanningWindow(y.data(), n)) return s;
  double mu = 0.0, v = 0.0;
  if (Status s = MeanAndVariance(y.data(), n, &mu, &v)) return s;
  const double ac_squared = (v - 0.5 * mu * mu) / 0.375;
  // Rounding can leave a tiny negative value for a constant signal.
  *ac = ac_squared < 0.0 ? 0.0 : std::sqrt(ac_squared);
  *dc = m0 + 2.0 * mu;
  return kSuccess;
}

}  // namespace qm::stats
