// Time-based pulse shapes: sinc, periodic sinc (Dirichlet kernel), Gaussian
// monopulse, Gaussian-modulated sinusoid and triangular pulse.
//
// Sample i is the shape at t_i = i*dt - delay, so `delay` moves the centre
// (or start) of the pulse to that time and dt is the sampling interval in the
// same unit.
#include <cmath>
#include <limits>

#include "frame/math_constants.h"
#include "generate/generate.h"

namespace qm::generate {
namespace {

template <class Shape>
void FillAtTimes(std::int32_t n, double delay, double dt, double* out, Shape shape) {
  for (std::int32_t i = 0; i < n; ++i) out[i] = shape(static_cast<double>(i) * dt - delay);
}

}  // namespace

// A*sin(pi t)/(pi t), A at t = 0.
Status SincPattern(std::int32_t n, double amplitude, double delay, double dt, double* out) {
  if (n < 1) return kCountNotPositive;
  if (!(dt > 0)) return kDtNotPositive;
  FillAtTimes(n, delay, dt, out, [amplitude](double t) {
    const double x = t * kPi;
    return x == 0.0 ? amplitude : amplitude * std::sin(x) / x;
  });
  return kSuccess;
}

// A*sin(N u)/(N sin u) with u = t/2: period 2*pi in t for odd N, 4*pi for
// even N. Where sin u vanishes (|sin u| <= machine epsilon) the value is the
// limit A*cos(N u)/cos(u): +A at u = 0, and (-1)^(N-1)*A at u = pi.
Status PeriodicSinc(std::int32_t n, double amplitude, double delay, double dt, std::int32_t order,
                    double* out) {
  if (order < 1) return kNotPositiveOrZero;
  if (n < 1) return kCountNotPositive;
  if (!(dt > 0)) return kDtNotPositive;
  const double big_n = static_cast<double>(order);
  FillAtTimes(n, delay, dt, out, [amplitude, big_n](double t) {
    const double u = t / 2.0;
    const double s = std::sin(u);
    if (std::fabs(s) <= std::numeric_limits<double>::epsilon())
      return amplitude * std::cos(big_n * u) / std::cos(u);
    return amplitude * std::sin(big_n * u) / (big_n * s);
  });
  return kSuccess;
}

// First derivative of a Gaussian, scaled so that its peaks are +-A:
// 2*A*sqrt(e)*x*exp(-2x^2) with x = pi*fc*t (extremes at x = +-1/2).
Status GaussianMonopulse(std::int32_t n, double amplitude, double delay, double dt, double fc,
                         double* out) {
  if (!(fc > 0)) return kNotPositiveOrZero;
  if (n < 1) return kCountNotPositive;
  if (!(dt > 0)) return kDtNotPositive;
  const double scale = 2.0 * amplitude * std::sqrt(std::exp(1.0));
  FillAtTimes(n, delay, dt, out, [scale, fc](double t) {
    const double x = kPi * fc * t;
    return scale * x * std::exp(-2.0 * x * x);
  });
  return kSuccess;
}

// cos(2 pi fc t) under a Gaussian envelope whose width follows from the
// fractional bandwidth and the attenuation (dB) at which it is measured:
// A*exp(-5*bw^2*x^2/(att*ln 10))*cos(2x), x = pi*fc*t.
Status GaussianModulatedSine(std::int32_t n, double amplitude, double delay, double dt, double fc,
                             double bandwidth, double attenuation, double* out) {
  if (!(fc > 0) || !(bandwidth > 0) || !(attenuation > 0)) return kNotPositiveOrZero;
  if (n < 1) return kCountNotPositive;
  if (!(dt > 0)) return kDtNotPositive;
  const double rate = 5.0 * bandwidth * bandwidth / (attenuation * kLn10);
  FillAtTimes(n, delay, dt, out, [amplitude, fc, rate](double t) {
    const double x = kPi * fc * t;
    return amplitude * std::exp(-rate * x * x) * std::cos(2.0 * x);
  });
  return kSuccess;
}

// A triangle on 0 <= t <= width that peaks (value A) at t = skew*width:
// skew 0 falls from A, skew 1 rises to A; zero outside.
Status TriangularPulse(std::int32_t n, double amplitude, double delay, double dt, double width,
                       double skew, double* out) {
  if (n < 1) return kCountNotPositive;
  if (!(width > 0)) return kNotPositiveOrZero;
  if (!(dt > 0)) return kDtNotPositive;
  if (!(skew >= 0 && skew <= 1)) return kProbabilityNotInUnit;
  const double peak = width * skew;
  FillAtTimes(n, delay, dt, out, [=](double t) {
    if (!(t >= 0 && t <= width)) return 0.0;
    // A peak that rounds to 0 (a denormal skew) is the falling edge alone.
    if (skew == 0 || peak == 0) return (width - t) * amplitude / width;
    if (skew == 1) return t * amplitude / width;
    if (t <= peak) return t * amplitude / peak;
    return (width - t) * amplitude / (width - peak);
  });
  return kSuccess;
}

}  // namespace qm::generate
