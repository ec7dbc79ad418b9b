// AmplitudeAndLevels, PulseMeasurements and TransitionMeasurements on a
// 1e6-sample trapezoid train against a plain loop doing the same passes:
// min/max, the histogram counter fill with the level search, and one scan
// for the crossings or transitions (the pulse and edge numbers are chosen
// near the end of the record, so the scans cover it).
//
// Each benchmark times the export and its peer on the same data in the same
// iteration and reports both times and their ratio (library / peer) as
// counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "peer_runtime.h"
#include "qmanlys.h"

namespace {

constexpr int kCount = 1000000;
constexpr int kPeriod = 1000;  // 1000 pulses
constexpr int kBins = 256;
constexpr int kNumber = 990;  // pulse and edge number

// Low 0 for 300 samples, a ramp of 200, high 1 for 300, a ramp of 200; a
// little noise so that the histogram is not two bins.
std::vector<double> Train() {
  std::mt19937_64 rng(42);
  std::normal_distribution<double> noise(0.0, 0.01);
  std::vector<double> y(kCount);
  for (int i = 0; i < kCount; ++i) {
    const int p = (i + 150) % kPeriod;
    const double v = p < 300   ? 0.0
                     : p < 500 ? (p - 300) / 200.0
                     : p < 800 ? 1.0
                               : (1000 - p) / 200.0;
    y[i] = v + noise(rng);
  }
  return y;
}

using bench::Seconds;

void Report(benchmark::State& state, double ours, double peer) {
  const double iterations = static_cast<double>(state.iterations());
  state.counters["library_ms"] = 1e3 * ours / iterations;
  state.counters["peer_ms"] = 1e3 * peer / iterations;
  state.counters["ratio"] = ours / peer;
}

// ---- The plain loops --------------------------------------------------------

struct PlainLevels {
  double low, high;
};

PlainLevels PlainHistogramLevels(const std::vector<double>& y, std::vector<uint32_t>& counts) {
  const int n = static_cast<int>(y.size());
  double mn = y[0], mx = y[0];
  for (int i = 1; i < n; ++i) {
    if (y[i] > mx) mx = y[i];
    if (y[i] < mn) mn = y[i];
  }
  std::fill(counts.begin(), counts.end(), 0u);
  const double w = (mx - mn) / kBins, scale = 1.0 / w;
  for (int i = 0; i < n; ++i) {
    const double f = (y[i] - mn) * scale;
    ++counts[f < kBins ? static_cast<int>(f) : kBins - 1];
  }
  int lo = 0, hi = static_cast<int>(0.6 * kBins);
  for (int k = 1; k <= static_cast<int>(0.4 * kBins); ++k)
    if (counts[k] > counts[lo]) lo = k;
  for (int k = hi + 1; k < kBins; ++k)
    if (counts[k] >= counts[hi]) hi = k;
  return {mn + lo * w + w / 2, mn + hi * w + w / 2};
}

// The mid-reference crossings with hysteresis; returns the width of pulse
// `c` (rising first) and its period.
double PlainPulse(const std::vector<double>& y, double mid, double h, int c, double* period) {
  const int n = static_cast<int>(y.size());
  std::vector<double> times;
  times.reserve(2 * c + 1);
  int state = 0;
  bool armed = false;
  for (int i = 0; i + 1 < n && static_cast<int>(times.size()) < 2 * c + 1; ++i) {
    if (y[i] >= mid + h && state != 2) {
      state = 2;
      armed = true;
    } else if (y[i] <= mid - h && state != 1) {
      state = 1;
      armed = true;
    }
    if (armed && (y[i + 1] - mid) * (y[i] - mid) <= 0) {
      times.push_back((y[i] - mid) / (y[i] - y[i + 1]) + i);
      armed = false;
    }
  }
  *period = times[2 * c] - times[2 * c - 2];
  return times[2 * c - 1] - times[2 * c - 2];
}

// The low/high transitions; returns the duration of rising edge `c`.
double PlainTransition(const std::vector<double>& y, double lo, double hi, int c) {
  const int n = static_cast<int>(y.size());
  int state = 0, records = 0, rising = 0;
  unsigned seen = 0;
  double t_lo = 0, t_hi = 0, duration = 0;
  for (int i = 0; i + 1 < n && records < 2 * c + 1; ++i) {
    if (y[i] >= hi && state != 2) {
      state = 2;
      seen |= 1;
    } else if (y[i] <= lo && state != 1) {
      state = 1;
      seen |= 1;
    }
    if (!seen) continue;
    if ((y[i + 1] - lo) * (y[i] - lo) <= 0) {
      t_lo = (y[i] - lo) / (y[i] - y[i + 1]) + i;
      seen |= 2;
    }
    if ((y[i + 1] - hi) * (y[i] - hi) <= 0) {
      t_hi = (y[i] - hi) / (y[i] - y[i + 1]) + i;
      seen |= 4;
    }
    if (seen == 7) {
      if (state == 1 && ++rising == c) duration = t_hi - t_lo;
      ++records;
      seen = 0;
    }
  }
  return duration;
}

// ---- Benchmarks -------------------------------------------------------------

void BM_AmplitudeAndLevelsVsPlainLoop(benchmark::State& state) {
  const std::vector<double> y = Train();
  std::vector<uint32_t> counts(kBins);
  double high = 0, low = 0, amplitude = 0, ours = 0, peer = 0;
  PlainLevels p{};
  for (auto _ : state) {
    ours += Seconds([&] { ZMXFunc363(y.data(), kCount, 0, kBins, &high, &low, &amplitude); });
    peer += Seconds([&] { p = PlainHistogramLevels(y, counts); });
    benchmark::DoNotOptimize(amplitude);
    benchmark::DoNotOptimize(p);
  }
  if (high != p.high || low != p.low) state.SkipWithError("levels differ from the plain loop");
  Report(state, ours, peer);
}
BENCHMARK(BM_AmplitudeAndLevelsVsPlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PulseMeasurementsVsPlainLoop(benchmark::State& state) {
  const std::vector<double> y = Train();
  std::vector<uint32_t> counts(kBins);
  double r[7] = {}, width = 0, period = 0, ours = 0, peer = 0;
  for (auto _ : state) {
    ours += Seconds([&] {
      ZMXFunc364(y.data(), kCount, 1, kNumber, 90, 50, 10, 1, 0, kBins, r, r + 1, r + 2, r + 3,
                 r + 4, r + 5, r + 6);
    });
    peer += Seconds([&] {
      const PlainLevels p = PlainHistogramLevels(y, counts);
      const double a = p.high - p.low, mid = p.low + a * 50 / 100;
      const double h = std::min(mid - (p.low + a * 10 / 100), p.low + a * 90 / 100 - mid);
      width = PlainPulse(y, mid, h, kNumber, &period);
    });
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(width);
  }
  if (r[1] != width || r[0] != period) state.SkipWithError("pulse differs from the plain loop");
  Report(state, ours, peer);
}
BENCHMARK(BM_PulseMeasurementsVsPlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TransitionMeasurementsVsPlainLoop(benchmark::State& state) {
  const std::vector<double> y = Train();
  std::vector<uint32_t> counts(kBins);
  double r[11] = {}, duration = 0, ours = 0, peer = 0;
  for (auto _ : state) {
    ours += Seconds([&] {
      ZMXFunc366(y.data(), kCount, 1, kNumber, 90, 50, 10, 1, 0, kBins, r, r + 1, r + 2, r + 3,
                 r + 4, r + 5, r + 6, r + 7, r + 8, r + 9, r + 10);
    });
    peer += Seconds([&] {
      const PlainLevels p = PlainHistogramLevels(y, counts);
      const double a = p.high - p.low;
      duration = PlainTransition(y, p.low + a * 10 / 100, p.low + a * 90 / 100, kNumber);
    });
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(duration);
  }
  if (r[1] != duration) state.SkipWithError("duration differs from the plain loop");
  Report(state, ours, peer);
}
BENCHMARK(BM_TransitionMeasurementsVsPlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
