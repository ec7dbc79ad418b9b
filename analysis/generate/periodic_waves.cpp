// Periodic waves: sine, square, sawtooth, triangle and an arbitrary
// one-period table.
//
// The frequency is in cycles per sample and the phase in degrees. The phase of
// sample i is computed afresh from the entry phase, phase + i*360*f, so that
// rounding does not build up along the array; only the sine uses a
// recurrence (two sines per call instead of one per sample). Each call
// returns the phase of the sample after its last one, so consecutive calls
// continue the same wave.
#include <cmath>
#include <limits>

#include "frame/math_constants.h"
#include "generate/generate.h"

namespace qm::generate {

double ReducePeriodic(double x, double period) {
  double r = x - std::floor(x / period) * period;
  if (r < 0) r += period;
  // Far beyond 2^53 periods the product above is not exact and the
  // difference can be anything: the exact remainder instead.
  if (r < 0) {
    r = std::fmod(x, period);
    if (r < 0) r += period;
  }
  if (r >= period) r = 0;
  return r;
}

namespace {

// Phase of sample i, reduced to [0, 360).
inline double SamplePhase(double phase, double f, std::int32_t i) {
  return ReducePeriodic(phase + (static_cast<double>(i) * 360.0 * f), 360.0);
}

// Fills out[i] = amplitude * shape(p_i) and returns the phase after the last
// sample.
template <class Shape>
void FillPeriodic(std::int32_t n, double amplitude, double f, double* phase, double* out,
                  Shape shape) {
  const double start = *phase;
  for (std::int32_t i = 0; i < n; ++i) out[i] = amplitude * shape(SamplePhase(start, f, i));
  *phase = SamplePhase(start, f, n);
}

}  // namespace

// Sine by the rotation recurrence
//   s_i = s_(i-2) + k*c_(i-1),  c_i = c_(i-2) - k*s_(i-1),  k = 2 sin(2*pi*f),
// which follows from sin(a + 2w) - sin(a) = 2 cos(a + w) sin(w) and the
// matching cosine identity. The sine track is clipped to [-|A|, |A|] so that
// rounding never pushes a sample past the amplitude.
Status SineWave(std::int32_t n, double amplitude, double f, double* phase, double* out) {
  if (n < 1) return kCountNotPositive;
  const double w = 2.0 * kPi * f;
  const double phi = *phase * kPi / 180.0;
  const double k = 2.0 * std::sin(w);
  const double limit = std::fabs(amplitude);
  double s_older = amplitude * std::sin(phi);
  double c_older = amplitude * std::cos(phi);
  out[0] = s_older;
  if (n > 1) {
    double s_old = amplitude * std::sin(phi + w);
    double c_old = amplitude * std::cos(phi + w);
    out[1] = s_old;
    for (std::int32_t i = 2; i < n; ++i) {
      double s = s_older + k * c_old;
      if (s > limit)
        s = limit;
      else if (s < -limit)
        s = -limit;
      const double c = c_older - k * s_old;
      out[i] = s;
      s_older = s_old;
      s_old = s;
      c_older = c_old;
      c_old = c;
    }
  }
  *phase = ReducePeriodic(360.0 * f * n + *phase, 360.0);
  return kSuccess;
}

Status SquareWave(std::int32_t n, double amplitude, double f, double* phase, double duty,
                  double* out) {
  if (n < 1) return kCountNotPositive;
  if (duty < 0) duty = 0;
  if (duty > 100) duty = 100;
  const double edge = 3.6 * duty;
  FillPeriodic(n, amplitude, f, phase, out, [edge](double p) { return edge > p ? 1.0 : -1.0; });
  return kSuccess;
}

// Rises from 0 to 1 over the first half period, jumps to -1 and rises to 0.
Status SawtoothWave(std::int32_t n, double amplitude, double f, double* phase, double* out) {
  if (n < 1) return kCountNotPositive;
  FillPeriodic(n, amplitude, f, phase, out, [](double p) {
    const double v = p / 180.0;
    return p < 180.0 ? v : v - 2.0;
  });
  return kSuccess;
}

// 0 at phase 0, 1 at 90, -1 at 270.
Status TriangleWave(std::int32_t n, double amplitude, double f, double* phase, double* out) {
  if (n < 1) return kCountNotPositive;
  FillPeriodic(n, amplitude, f, phase, out, [](double p) {
    const double v = p / 180.0;
    if (v < 0.5) return 2.0 * v;
    if (v < 1.5) return 2.0 * (1.0 - v);
    return 2.0 * (v - 2.0);
  });
  return kSuccess;
}

// The table position starts at phase*m/360 and advances by m*f per sample
// (accumulated); each sample reads the table at the position reduced to
// [0, m), either the entry below it or, with interpolation 1, the straight
// line to the next entry (wrapping to the first).
Status ArbitraryWave(std::int32_t n, double amplitude, double f, double* phase, const double* table,
                     std::int32_t m, std::int32_t interpolation, double* out) {
  if (n < 1) return kCountNotPositive;
  if (!std::isfinite(*phase) || !std::isfinite(f)) return kNotFinite;
  if (m < 1) {
    for (std::int32_t i = 0; i < n; ++i) out[i] = 0.0;
    *phase = 0.0;
    return kSuccess;
  }
  const double period = static_cast<double>(m);
  double x = *phase * period / 360.0;
  const double step = period * f;
  // The position must stay finite along the whole array; otherwise no table
  // entry can be chosen.
  const double reach = std::fabs(x) + std::fabs(step) * (static_cast<double>(n) + 1.0);
  if (!(reach <= std::numeric_limits<double>::max() / 4)) return kOverflow;
  const bool linear = interpolation == 1;
  for (std::int32_t i = 0; i < n; ++i) {
    const double y = ReducePeriodic(x, period);
    const double below = std::floor(y);
    std::int32_t k = static_cast<std::int32_t>(below);
    if (k < 0) k = 0;
    if (k >= m) k = m - 1;
    double value = table[k];
    if (linear) {
      const std::int32_t next = k + 1 == m ? 0 : k + 1;
      value += (y - below) * (table[next] - table[k]);
    }
    out[i] = amplitude * value;
    x += step;
  }
  *phase = ReducePeriodic(360.0 / period * x, 360.0);
  return kSuccess;
}

}  // namespace qm::generate
