// State levels of a two-level waveform (histogram, peak and automatic
// methods) and the histogram they are read from.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "arith/array_ops.h"
#include "measure/waveform.h"

namespace qm::measure {

Status CheckWaveform(const Waveform& w) {
  if (w.n < 1) return kNoWaveform;
  if (!(w.dt > 0.0)) return kWaveformDtNotPositive;
  if (!w.y) return kNoWaveform;
  return kSuccess;
}

Status CheckFiniteSamples(const double* y, std::int32_t n) {
  // The exponent field plus one reaches bit 11 only for an all-ones
  // exponent (NaN or infinity); one pass without branches, so that the
  // compiler can vectorise it.
  std::uint64_t seen = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    std::uint64_t bits;
    std::memcpy(&bits, y + i, sizeof bits);
    seen |= ((bits >> 52) & 0x7ff) + 1;
  }
  return seen >> 11 ? kNotFinite : kSuccess;
}

void FillLevelHistogram(const double* y, std::int32_t n, double min, double max,
                        const LevelHistogram& histogram) {
  std::uint32_t* counts = histogram.counts;
  const std::int32_t bins = histogram.bins;
  std::fill_n(counts, bins, 0u);
  const double scale = 1.0 / ((max - min) / bins);
  const double limit = bins;
  const std::int32_t last = bins - 1;
  for (std::int32_t i = 0; i < n; ++i) {
    // (y - min) >= 0, so the conversion truncates toward zero as required;
    // the maximum (and a NaN from an overflowing range) goes to the last bin.
    const double f = (y[i] - min) * scale;
    ++counts[f < limit ? static_cast<std::int32_t>(f) : last];
  }
}

LevelBins FindLevelBins(const LevelHistogram& histogram) {
  const std::uint32_t* counts = histogram.counts;
  const std::int32_t bins = histogram.bins;
  const auto low_end = static_cast<std::int32_t>(0.4 * bins);
  const auto high_start = static_cast<std::int32_t>(0.6 * bins);
  LevelBins b{0, high_start};
  for (std::int32_t k = 1; k <= low_end; ++k)
    if (counts[k] > counts[b.low]) b.low = k;  // ties keep the lowest bin
  for (std::int32_t k = high_start + 1; k < bins; ++k)
    if (counts[k] >= counts[b.high]) b.high = k;  // ties move to the highest bin
  return b;
}

double BinCentre(double min, double max, std::int32_t bins, std::int32_t k) {
  const double w = (max - min) / bins;
  return min + k * w + w / 2;
}

Status EstimateStateLevels(const Waveform& w, std::int32_t method, const LevelHistogram& histogram,
                           StateLevels* levels) {
  *levels = StateLevels{};
  if (Status s = CheckWaveform(w)) return s;
  if (method != kHistogramMethod && method != kPeakMethod && method != kAutoMethod)
    return kBadLevelMethod;
  if (Status s = CheckFiniteSamples(w.y, w.n)) return s;
  const arith::Extremes e = arith::FindExtremes(w.y, w.n);
  levels->min = e.min;
  levels->max = e.max;
  auto take = [levels](double high, double low, std::int32_t used) {
    levels->high = high;
    levels->low = low;
    levels->amplitude = high - low;
    levels->method_used = used;
  };
  if (method == kPeakMethod) {
    take(e.max, e.min, kPeakMethod);
    return kSuccess;
  }
  if (histogram.bins < 1) return kHistogramSizeNotPositive;
  if (method == kAutoMethod) levels->method_used = kAutoMethod;
  if (!(e.max - e.min > 0.0)) return kZeroAmplitude;
  FillLevelHistogram(w.y, w.n, e.min, e.max, histogram);
  levels->histogram_filled = true;
  const LevelBins b = FindLevelBins(histogram);
  if (method == kAutoMethod) {
    // Each state must hold more than 5 % of the samples for its histogram
    // level to count; otherwise the extremes are the levels.
    const double enough = 0.05 * w.n;
    if (!(histogram.counts[b.low] > enough && histogram.counts[b.high] > enough)) {
      take(e.max, e.min, kAutoMethod);
      return kSuccess;
    }
  }
  // One bin for both states (1 or 3 bins) has no amplitude to measure with.
  if (b.low == b.high) return kZeroAmplitude;
  take(BinCentre(e.min, e.max, histogram.bins, b.high),
       BinCentre(e.min, e.max, histogram.bins, b.low), kHistogramMethod);
  return kSuccess;
}

void ConvertToAbsolute(const StateLevels& levels, References* refs) {
  refs->high = levels.low + levels.amplitude * refs->high / 100;
  refs->middle = levels.low + levels.amplitude * refs->middle / 100;
  refs->low = levels.low + levels.amplitude * refs->low / 100;
}

}  // namespace qm::measure
