// One-shot patterns: sine pattern, ramp, triangle, impulse, pulse and chirp.
#include <cmath>
#include <cstdint>

#include "frame/math_constants.h"
#include "generate/generate.h"

namespace qm::generate {
namespace {

void Fill(std::int32_t n, double value, double* out) {
  for (std::int32_t i = 0; i < n; ++i) out[i] = value;
}

}  // namespace

// `cycles` whole or fractional periods over n samples, starting at `phase`
// degrees.
Status SinePattern(std::int32_t n, double amplitude, double phase, double cycles, double* out) {
  if (n < 1) return kCountNotPositive;
  if (!(cycles > 0 && cycles <= n)) return kBadCycles;
  double local_phase = phase;
  return SineWave(n, amplitude, cycles / n, &local_phase, out);
}

// Evenly spaced from `first` to `last`; the last sample is `last` exactly.
Status RampPattern(std::int32_t n, double first, double last, double* out) {
  if (n == 1 && first == last) {
    out[0] = last;
    return kSuccess;
  }
  if (n < 2) return kCountBelowTwo;
  const double span = last - first;
  for (std::int32_t i = 0; i < n - 1; ++i) out[i] = first + i * span / (n - 1);
  out[n - 1] = last;
  return kSuccess;
}

// Rises by amplitude/h per sample from 0 at index 0 to amplitude at index
// h = n/2 and falls back symmetrically: 0, 1, 2, 1, 0 for n = 5 and
// 0, 1, 2, 1 for n = 4 (amplitude 2).
Status TrianglePattern(std::int32_t n, double amplitude, double* out) {
  if (n < 2) return kCountBelowTwo;
  Fill(n, 0.0, out);
  const std::int32_t h = n / 2;
  const double step = amplitude / h;
  const bool even = n % 2 == 0;
  double level = 0.0;
  for (std::int32_t k = 1; k <= h; ++k) {
    level += step;
    out[k] = level;
    out[even ? n - k : n - 1 - k] = level;
  }
  return kSuccess;
}

Status ImpulsePattern(std::int32_t n, double amplitude, std::int32_t index, double* out) {
  if (n < 1) return kCountNotPositive;
  if (index < 0 || index >= n) return kBadIndex;
  Fill(n, 0.0, out);
  out[index] = amplitude;
  return kSuccess;
}

// `amplitude` on samples delay .. delay + width - 1, zero elsewhere.
Status PulsePattern(std::int32_t n, double amplitude, std::int32_t delay, std::int32_t width,
                    double* out) {
  if (n < 1) return kCountNotPositive;
  if (delay < 0 || width < 0 || static_cast<std::int64_t>(delay) + width > n) return kBadDelayWidth;
  Fill(n, 0.0, out);
  for (std::int32_t i = delay; i < delay + width; ++i) out[i] = amplitude;
  return kSuccess;
}

// Linear chirp whose instantaneous frequency goes from f1 at the first sample
// towards f2 at sample n (cycles per sample).
Status ChirpPattern(std::int32_t n, double amplitude, double f1, double f2, double* out) {
  if (n < 1) return kCountNotPositive;
  const double sweep = (f2 - f1) * kPi / n;
  const double start = 2.0 * kPi * f1;
  for (std::int32_t i = 0; i < n; ++i) {
    const double di = static_cast<double>(i);
    out[i] = amplitude * std::sin((di * sweep + start) * di);
  }
  return kSuccess;
}

}  // namespace qm::generate
