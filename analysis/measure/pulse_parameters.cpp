// Levels and timing of the first pulse of a record with fixed 10/50/90 %
// references (PulseParameters).
#include <cmath>
#include <cstddef>

#include "arith/array_ops.h"
#include "frame/workspace.h"
#include "measure/waveform.h"
#include "stats/descriptive.h"

namespace qm::measure {
namespace {

constexpr std::int32_t kIntervals = 101;

// Position of the crossing of level r just before sample i (between i-1
// and i); a crossing at sample 0 is at position 0.
double CrossingBefore(const double* x, std::int32_t i, double r) {
  if (i == 0) return 0.0;
  return i - (x[i] - r) / (x[i] - x[i - 1]);
}

struct Timing {
  double delay;
  double width;
  double rise_time;
  double fall_time;
};

// The four scans of a positive pulse over x[0..m], m = n - 1 >= 1, each
// continuing where the one before stopped and giving up at m.
Timing TimePulse(const double* x, std::int32_t n, double low, double middle, double high) {
  const std::int32_t m = n - 1;
  Timing t{};
  std::int32_t i = 0;
  std::int32_t last_below = 0;  // last sample below the 10 % level before the rise (0 if none)
  while (i < m && x[i] < middle) {
    if (x[i] < low) last_below = i;
    ++i;
  }
  t.delay = i < m ? CrossingBefore(x, i, middle) : m;
  while (i < m && x[i] < high) ++i;
  t.rise_time =
      i < m ? CrossingBefore(x, i, high) - CrossingBefore(x, last_below + 1, low) : n - last_below;
  std::int32_t last_above = 0;  // last sample above the 90 % level before the fall (0 if none)
  while (i < m && x[i] > middle) {
    if (x[i] > high) last_above = i;
    ++i;
  }
  t.width = (i < m ? CrossingBefore(x, i, middle) : m) - t.delay;
  while (i < m && x[i] > low) ++i;
  t.fall_time =
      i < m ? CrossingBefore(x, i, low) - CrossingBefore(x, last_above + 1, high) : n - last_above;
  return t;
}

// A time truncated toward zero when it is finite and within 0..limit.
bool InRange(double v, std::int32_t limit, std::int32_t* out) {
  if (!std::isfinite(v)) return false;
  const double whole = std::trunc(v);
  if (!(whole >= 0.0 && whole <= limit)) return false;
  *out = static_cast<std::int32_t>(whole);
  return true;
}

}  // namespace

Status PulseParameters(const double* x, std::int32_t n, double* amplitude, double* level90,
                       double* level50, double* level10, double* top, double* base,
                       double* overshoot, double* preshoot, std::int32_t* delay,
                       std::int32_t* width, std::int32_t* rise_time, std::int32_t* fall_time,
                       double* slew_rate) {
  if (n < 1) return kCountNotPositive;
  if (Status s = CheckFiniteSamples(x, n)) return s;
  const arith::Extremes e = arith::FindExtremes(x, n);
  if (e.max == e.min) {
    // A constant record has no pulse to time (its 50 % crossing would lie
    // before the first sample).
    *amplitude = *overshoot = *preshoot = *slew_rate = 0.0;
    *level90 = *level50 = *level10 = *top = *base = x[0];
    *delay = *width = *rise_time = *fall_time = 0;
    return kNoFeasibleSolution;
  }
  std::int32_t counts[kIntervals];
  double centres[kIntervals];
  stats::Histogram(x, n, e.min, e.max, kIntervals, counts, centres);
  std::int32_t base_bin = 0;
  for (std::int32_t k = 1; k < 50; ++k)
    if (counts[k] > counts[base_bin]) base_bin = k;  // ties keep the lowest
  std::int32_t top_bin = kIntervals - 1;
  for (std::int32_t k = kIntervals - 2; k >= 50; --k)
    if (counts[k] > counts[top_bin]) top_bin = k;  // ties keep the highest; bin 50 last
  const double top_level = centres[top_bin];
  const double base_level = centres[base_bin];
  const double a = top_level - base_level;
  const double l10 = base_level + 0.1 * a;
  const double l50 = base_level + 0.5 * a;
  const double l90 = base_level + 0.9 * a;

  // A record that starts above the 50 % level holds a negative pulse: it is
  // timed as the positive pulse of -x.
  const bool negative = x[0] > l50;
  Scratch<double> negated;
  Timing t;
  if (negative) {
    if (Status s = negated.Allocate(static_cast<std::size_t>(n))) return s;
    arith::ArrayNegate(x, n, negated.data());
    t = TimePulse(negated.data(), n, -l90, -l50, -l10);
  } else {
    t = TimePulse(x, n, l10, l50, l90);
  }
  const double signed_amplitude = negative ? -a : a;
  *amplitude = signed_amplitude;
  *level90 = l90;
  *level50 = l50;
  *level10 = l10;
  *top = negative ? base_level : top_level;
  *base = negative ? top_level : base_level;
  *overshoot = e.max - top_level;
  *preshoot = base_level - e.min;
  *slew_rate = t.rise_time == 0.0 ? 1e30 : 0.8 * signed_amplitude / t.rise_time;
  std::int32_t d, w, r, f;
  if (!(InRange(t.delay, n - 1, &d) && InRange(t.width, n, &w) && InRange(t.rise_time, n, &r) &&
        InRange(t.fall_time, n, &f))) {
    *delay = *width = *rise_time = *fall_time = 0;
    return kNoFeasibleSolution;
  }
  *delay = d;
  *width = w;
  *rise_time = r;
  *fall_time = f;
  return kSuccess;
}

}  // namespace qm::measure
