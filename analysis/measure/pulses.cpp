// Mid-reference crossings with hysteresis and the pulse measurement built on
// them.
#include <cmath>
#include <cstddef>

#include "frame/workspace.h"
#include "measure/waveform.h"

namespace qm::measure {

double CrossingTime(const double* y, std::int32_t i, double r, double t0) {
  double a = y[i] - r;
  double d = y[i] - y[i + 1];
  if (d == 0.0) return a + i + t0;  // d replaced by 1.0 (then a is 0: the level is met)
  if (!std::isfinite(a) || !std::isfinite(d)) {
    a = y[i] * 0.5 - r * 0.5;
    d = y[i] * 0.5 - y[i + 1] * 0.5;
  }
  return a / d + i + t0;
}

namespace {

struct Crossing {
  double time;
  std::int32_t direction;  // 1 rising (came from below middle - h), 0 falling
  std::int32_t index;      // the sample just after the crossing
};

enum class State { kUnknown, kLow, kHigh };

// Crossings of `middle` with hysteresis h, at most `capacity` of them.
// Leaving the band [middle - h, middle + h] on one side arms the detector;
// the next sign change (or touch) of y - middle is stored and disarms it,
// so the stored directions alternate.
std::int64_t FindCrossings(const Waveform& w, double middle, double h, Crossing* out,
                           std::int64_t capacity) {
  const double* y = w.y;
  const double upper = middle + h;
  const double lower = middle - h;
  State state = State::kUnknown;
  bool armed = false;
  std::int64_t count = 0;
  for (std::int32_t i = 0; i + 1 < w.n; ++i) {
    const double v = y[i];
    if (v >= upper && state != State::kHigh) {
      state = State::kHigh;
      armed = true;
    } else if (v <= lower && state != State::kLow) {
      state = State::kLow;
      armed = true;
    }
    if (armed && (y[i + 1] - middle) * (v - middle) <= 0.0) {
      out[count++] = {CrossingTime(y, i, middle, w.t0), state == State::kHigh ? 0 : 1, i + 1};
      armed = false;
      if (count == capacity) break;
    }
  }
  return count;
}

}  // namespace

Status MeasurePulse(const Waveform& w, std::int32_t polarity, std::int32_t pulse, References* refs,
                    std::int32_t unit, std::int32_t method, const LevelHistogram& histogram,
                    PulseResult* result) {
  *result = PulseResult{};
  if (pulse < 1) return kBadEdgeNumber;
  if (polarity < -1 || polarity > 1) return kBadSelection;
  if (unit != kAbsoluteUnit && unit != kPercentUnit) return kBadReferenceUnit;
  if (unit == kPercentUnit) {
    StateLevels levels;
    if (Status s = EstimateStateLevels(w, method, histogram, &levels)) return s;
    ConvertToAbsolute(levels, refs);
  } else {
    if (Status s = CheckWaveform(w)) return s;
    if (Status s = CheckFiniteSamples(w.y, w.n)) return s;
  }
  // The differences also catch NaN levels (and inf - inf).
  const double below = refs->middle - refs->low;
  const double above = refs->high - refs->middle;
  if (!(below >= 0.0 && above >= 0.0)) return kBadReferenceOrder;
  const double h = above < below ? above : below;

  // Crossings 0 .. 2c; a record of n samples holds at most n - 1.
  const std::int64_t needed = 2 * std::int64_t{pulse} + 1;
  if (needed > std::int64_t{w.n} - 1) return kNotEnoughCrosspoints;
  Scratch<Crossing> crossings;
  if (crossings.Allocate(static_cast<std::size_t>(needed)) != kSuccess) return kNoSpaceLeft;
  const Crossing* c = crossings.data();
  if (FindCrossings(w, refs->middle, h, crossings.data(), needed) < needed)
    return kNotEnoughCrosspoints;

  const std::int64_t last = needed - 1;  // crossing 2c
  std::int64_t k = last - 2;             // polarity -1: the pulse of crossings 2c-2, 2c-1
  if (polarity != -1) {
    // The c-th crossing of the polarity's direction (directions alternate,
    // so it is 2c-2 or 2c-1 and crossing k+1 exists).
    std::int64_t seen = 0;
    for (k = 0; k < last; ++k)
      if (c[k].direction == polarity && ++seen == pulse) break;
    if (k >= last) return kNotEnoughCrosspoints;
  }
  const double period = c[last].time - c[last - 2].time;
  const double width = c[k + 1].time - c[k].time;
  const double centre = (c[k + 1].time + c[k].time) / 2;
  result->duty_cycle = width / period;
  result->period = period * w.dt;
  result->width = width * w.dt;
  result->centre = (centre - w.t0) * w.dt + w.t0;
  result->first_crossing = (c[last - 2].time - w.t0) * w.dt + w.t0;
  return kSuccess;
}

}  // namespace qm::measure
