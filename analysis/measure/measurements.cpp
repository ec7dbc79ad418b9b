// The routines of the four exported measurements: the histogram counters
// are taken first (also for the peak method), then the measurement runs;
// the three level outputs receive the reference levels as they stand
// (converted or not) whatever the status.
#include <cmath>
#include <cstddef>

#include "frame/workspace.h"
#include "measure/waveform.h"
#include "stats/descriptive.h"

namespace qm::measure {
namespace {

Status AllocateCounters(std::int32_t bins, Scratch<std::uint32_t>* counts) {
  if (bins < 1) return kHistogramSizeNotPositive;
  return counts->Allocate(static_cast<std::size_t>(bins));
}

void Echo(const References& refs, double* abs_low, double* abs_middle, double* abs_high) {
  *abs_low = refs.low;
  *abs_middle = refs.middle;
  *abs_high = refs.high;
}

}  // namespace

Status AmplitudeAndLevels(const double* y, std::int32_t n, std::int32_t method, std::int32_t bins,
                          double* high, double* low, double* amplitude) {
  Scratch<std::uint32_t> counts;
  if (Status s = AllocateCounters(bins, &counts)) return s;
  StateLevels levels;
  const Status s = EstimateStateLevels({y, n, 0.0, 1.0}, method, {counts.data(), bins}, &levels);
  *high = levels.high;
  *low = levels.low;
  *amplitude = levels.amplitude;
  return s;
}

Status PulseMeasurements(const double* y, std::int32_t n, std::int32_t polarity, std::int32_t pulse,
                         double high_ref, double middle_ref, double low_ref, std::int32_t unit,
                         std::int32_t method, std::int32_t bins, double* period, double* width,
                         double* duty_cycle, double* centre, double* abs_low, double* abs_middle,
                         double* abs_high) {
  References refs{high_ref, middle_ref, low_ref};
  const Status s = [&]() -> Status {
    Scratch<std::uint32_t> counts;
    if (Status a = AllocateCounters(bins, &counts)) return a;
    PulseResult r;
    const Status m = MeasurePulse({y, n, 0.0, 1.0}, polarity, pulse, &refs, unit, method,
                                  {counts.data(), bins}, &r);
    *period = r.period;
    *width = r.width;
    *duty_cycle = r.duty_cycle;
    *centre = r.centre;
    return m;
  }();
  Echo(refs, abs_low, abs_middle, abs_high);
  return s;
}

Status CycleAverageAndRms(const double* y, std::int32_t n, std::int32_t pulse, double high_ref,
                          double middle_ref, double low_ref, std::int32_t unit, std::int32_t method,
                          std::int32_t bins, double* mean, double* rms, double* cycle_start,
                          double* cycle_end, double* abs_low, double* abs_middle,
                          double* abs_high) {
  References refs{high_ref, middle_ref, low_ref};
  const Status s = [&]() -> Status {
    Scratch<std::uint32_t> counts;
    if (Status a = AllocateCounters(bins, &counts)) return a;
    *mean = *rms = *cycle_start = *cycle_end = 0.0;
    const Waveform w{y, n, 0.0, 1.0};
    PulseResult p;
    if (Status m = MeasurePulse(w, -1, pulse, &refs, unit, method, {counts.data(), bins}, &p))
      return m;
    *cycle_start = p.first_crossing;
    *cycle_end = p.first_crossing + p.period;
    // L samples from the one nearest the start; the period (at least one
    // sample: crossings 2c-2 and 2c are two samples apart) never exceeds the
    // record, so only the end needs moving back.
    const double length = std::trunc(p.period / w.dt + 0.5);
    if (!(length >= 1.0)) return kPeriodTooShort;
    const auto count = static_cast<std::int32_t>(std::fmin(length, n));
    auto first = static_cast<std::int32_t>(std::trunc((p.first_crossing - w.t0) / w.dt + 0.5));
    if (std::int64_t{first} + count > n) first = n - count;
    stats::Mean(y + first, count, mean);
    stats::Rms(y + first, count, rms);
    return kSuccess;
  }();
  Echo(refs, abs_low, abs_middle, abs_high);
  return s;
}

Status TransitionMeasurements(const double* y, std::int32_t n, std::int32_t slope,
                              std::int32_t edge, double high_ref, double middle_ref, double low_ref,
                              std::int32_t unit, std::int32_t method, std::int32_t bins,
                              double* slew_rate, double* duration, double* start, double* end,
                              double* abs_low, double* abs_middle, double* abs_high,
                              double* pre_below, double* pre_above, double* post_below,
                              double* post_above) {
  References refs{high_ref, middle_ref, low_ref};
  const Status s = [&]() -> Status {
    Scratch<std::uint32_t> counts;
    if (Status a = AllocateCounters(bins, &counts)) return a;
    TransitionResult r;
    const Status m = MeasureTransition({y, n, 0.0, 1.0}, slope, edge, &refs, unit, method,
                                       {counts.data(), bins}, &r);
    *slew_rate = r.slew_rate;
    *duration = r.duration;
    *start = r.start;
    *end = r.end;
    *pre_below = r.pre_below;
    *pre_above = r.pre_above;
    *post_below = r.post_below;
    *post_above = r.post_above;
    return m;
  }();
  Echo(refs, abs_low, abs_middle, abs_high);
  return s;
}

}  // namespace qm::measure
