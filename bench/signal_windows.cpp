// Applying a window to 1e6 samples against a plain loop that multiplies by
// precomputed weights (the cost of generating the weights on the fly).
//
// Library and peer run on the same data in the same iteration; both times
// and their ratio (library / peer) are reported as counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "peer_runtime.h"
#include "signal/windows.h"

namespace {

constexpr int kCount = 1000000;

using bench::Seconds;

void BM_WindowVsPrecomputedWeights(benchmark::State& state) {
  const auto code = static_cast<std::int32_t>(state.range(0));
  std::vector<double> weights(kCount, 1.0);
  qm::signal::ApplyWindowByCode(weights.data(), kCount, code, 8.0,
                                qm::signal::WindowForm::kPeriodic);
  std::vector<double> a(kCount, 1.0), b(kCount, 1.0);
  double ours = 0, peer = 0;
  for (auto _ : state) {
    // Fresh data each round (repeated windowing would run into subnormals).
    std::fill(a.begin(), a.end(), 1.0);
    std::fill(b.begin(), b.end(), 1.0);
    ours += Seconds([&] {
      qm::signal::ApplyWindowByCode(a.data(), kCount, code, 8.0, qm::signal::WindowForm::kPeriodic);
    });
    peer += Seconds([&] {
      for (int i = 0; i < kCount; ++i) b[i] *= weights[i];
    });
    benchmark::DoNotOptimize(a.data());
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["library_ms"] = 1e3 * ours / iterations;
  state.counters["peer_ms"] = 1e3 * peer / iterations;
  state.counters["ratio"] = ours / peer;
}
// Hanning, 7-term Blackman-Harris, Kaiser (beta 8).
BENCHMARK(BM_WindowVsPrecomputedWeights)
    ->Arg(qm::signal::kWindowHanning)
    ->Arg(qm::signal::kWindowBlackmanHarris7)
    ->Arg(qm::signal::kWindowKaiser)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
