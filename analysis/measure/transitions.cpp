// Transitions between the low and high references: detection, the duration
// and slew rate of one of them, and the aberrations before and after it.
#include <algorithm>
#include <cstddef>

#include "arith/array_ops.h"
#include "frame/workspace.h"
#include "measure/waveform.h"

namespace qm::measure {
namespace {

struct Transition {
  std::int32_t low_index;  // the sample just after each crossing
  std::int32_t high_index;
  std::int32_t start_index;
  std::int32_t end_index;
  double low_time;
  double high_time;
  double start_time;
  double end_time;
  std::int32_t direction;  // 1 rising, 0 falling
};

enum class State { kUnknown, kLow, kHigh };

// Transitions between `low` and `high` (low < high), at most `capacity`.
// Arming (reaching a state) sets bit 1 of an accumulator, a crossing of the
// low reference bit 2 and of the high reference bit 4, each crossing
// overwriting an earlier one of the same level; with all three bits the
// transition is complete and the next begins. At most one transition
// completes per sample pair, so a record holds at most n - 1.
std::int64_t FindTransitions(const Waveform& w, double low, double high, Transition* out,
                             std::int64_t capacity) {
  constexpr unsigned kArmed = 1, kLowCrossed = 2, kHighCrossed = 4;
  constexpr unsigned kComplete = kArmed | kLowCrossed | kHighCrossed;
  const double* y = w.y;
  State state = State::kUnknown;
  unsigned seen = 0;
  Transition t{};
  std::int64_t count = 0;
  for (std::int32_t i = 0; i + 1 < w.n; ++i) {
    const double v = y[i];
    if (v >= high && state != State::kHigh) {
      state = State::kHigh;
      seen |= kArmed;
    } else if (v <= low && state != State::kLow) {
      state = State::kLow;
      seen |= kArmed;
    }
    if (seen == 0) continue;
    const double next = y[i + 1];
    if ((next - low) * (v - low) <= 0.0) {
      t.low_index = i + 1;
      t.low_time = CrossingTime(y, i, low, w.t0);
      seen |= kLowCrossed;
    }
    if ((next - high) * (v - high) <= 0.0) {
      t.high_index = i + 1;
      t.high_time = CrossingTime(y, i, high, w.t0);
      seen |= kHighCrossed;
    }
    if (seen != kComplete) continue;
    const bool rising = state == State::kLow;
    t.direction = rising ? 1 : 0;
    t.start_index = rising ? t.low_index : t.high_index;
    t.end_index = rising ? t.high_index : t.low_index;
    t.start_time = rising ? t.low_time : t.high_time;
    t.end_time = rising ? t.high_time : t.low_time;
    out[count++] = t;
    seen = 0;
    if (count == capacity) break;
  }
  return count;
}

// Excursions of y[first..last] (inclusive, first <= last) above and below
// the reference state r, in percent of the amplitude.
void Excursions(const double* y, std::int64_t first, std::int64_t last, double r, double amplitude,
                double* below, double* above) {
  const arith::Extremes e =
      arith::FindExtremes(y + first, static_cast<std::int32_t>(last - first + 1));
  *above = (e.max - r) * 100 / amplitude;
  *below = (r - e.min) * 100 / amplitude;
}

}  // namespace

Status MeasureTransition(const Waveform& w, std::int32_t slope, std::int32_t edge, References* refs,
                         std::int32_t unit, std::int32_t method, const LevelHistogram& histogram,
                         TransitionResult* result) {
  *result = TransitionResult{};
  if (edge < 1) return kBadEdgeNumber;
  if (slope != 0 && slope != 1) return kBadSelection;
  if (unit != kAbsoluteUnit && unit != kPercentUnit) return kBadReferenceUnit;
  StateLevels levels;
  if (Status s = EstimateStateLevels(w, method, histogram, &levels)) return s;
  if (unit == kPercentUnit) ConvertToAbsolute(levels, refs);
  if (!(refs->low <= refs->middle && refs->middle <= refs->high)) return kBadReferenceOrder;

  // The aberrations are measured against histogram levels: the peak values
  // of the peak method (and of an automatic selection that fell back to
  // them) are replaced by the histogram levels over [min, max].
  double high_state = levels.high;
  double low_state = levels.low;
  if (levels.method_used != kHistogramMethod) {
    if (levels.method_used == kPeakMethod) {
      if (!(levels.amplitude > 0.0)) return kZeroAmplitude;
      FillLevelHistogram(w.y, w.n, levels.min, levels.max, histogram);
    }
    const LevelBins b = FindLevelBins(histogram);
    if (b.low == b.high) return kZeroAmplitude;
    high_state = BinCentre(levels.min, levels.max, histogram.bins, b.high);
    low_state = BinCentre(levels.min, levels.max, histogram.bins, b.low);
  }
  const double amplitude = high_state - low_state;
  if (!(amplitude > 0.0)) return kZeroAmplitude;

  // Transitions 0 .. 2c at most, and never more than the record can hold.
  const std::int64_t wanted = 2 * std::int64_t{edge} + 1;
  const std::int64_t capacity = std::max<std::int64_t>(1, std::min<std::int64_t>(wanted, w.n - 1));
  Scratch<Transition> transitions;
  if (transitions.Allocate(static_cast<std::size_t>(capacity)) != kSuccess) return kNoSpaceLeft;
  if (!(refs->low < refs->high)) return kBadReferenceOrder;
  const Transition* t = transitions.data();
  const std::int64_t count =
      FindTransitions(w, refs->low, refs->high, transitions.data(), capacity);

  // The c-th transition of the slope. Directions alternate, so it is
  // transition 2c-2 or 2c-1.
  std::int64_t m = 0;
  for (std::int64_t seen = 0; m < count; ++m)
    if (t[m].direction == slope && ++seen == edge) break;
  if (m == count) return kNotEnoughEdges;
  const Transition& tm = t[m];
  result->start = tm.start_time;
  result->end = tm.end_time;

  // Windows of up to three edge lengths on either side, each ending halfway
  // to the neighbouring transition (64-bit indexes: no wrap below 0).
  const std::int64_t start = tm.start_index;
  const std::int64_t end = tm.end_index;
  const std::int64_t e = end == start ? 1 : end - start;
  std::int64_t pre_first = m == 0 ? 0 : (t[m - 1].end_index + start) / 2;
  pre_first = std::max(pre_first, start - 3 * e);
  const std::int64_t pre_last = start - 1;
  if (pre_first > pre_last) return kNoWaveform;
  Excursions(w.y, pre_first, pre_last, slope == 1 ? low_state : high_state, amplitude,
             &result->pre_below, &result->pre_above);
  std::int64_t post_last = m + 1 < count ? (end + t[m + 1].start_index) / 2 : w.n - 1;
  post_last = std::min(post_last, end + 3 * e);
  if (end > post_last) return kNoWaveform;
  Excursions(w.y, end, post_last, slope == 1 ? high_state : low_state, amplitude,
             &result->post_below, &result->post_above);

  const double duration = tm.end_time - tm.start_time;
  if (!(duration > 0.0)) return kInfiniteSlope;
  result->slew_rate = (refs->high - refs->low) / duration / w.dt;
  result->duration = duration * w.dt;
  result->start = (tm.start_time - w.t0) * w.dt + w.t0;
  result->end = (tm.end_time - w.t0) * w.dt + w.t0;
  return kSuccess;
}

}  // namespace qm::measure
