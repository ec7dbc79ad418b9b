// Sort and Median on 1e6 doubles against std::sort and std::nth_element.
//
// Each benchmark times the library routine and its peer on the same data in
// the same iteration and reports both times and their ratio
// (library / peer) as counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

#include "peer_runtime.h"
#include "stats/descriptive.h"

namespace {

constexpr int kCount = 1000000;

std::vector<double> RandomData() {
  std::mt19937_64 rng(42);
  std::normal_distribution<double> dist(0.0, 1.0);
  std::vector<double> v(kCount);
  for (double& x : v) x = dist(rng);
  return v;
}

using bench::Seconds;

void Report(benchmark::State& state, double ours, double peer) {
  const double iterations = static_cast<double>(state.iterations());
  state.counters["library_ms"] = 1e3 * ours / iterations;
  state.counters["peer_ms"] = 1e3 * peer / iterations;
  state.counters["ratio"] = ours / peer;
}

void BM_SortVsStdSort(benchmark::State& state) {
  const std::vector<double> data = RandomData();
  std::vector<double> a(kCount), b(kCount);
  double ours = 0, peer = 0;
  for (auto _ : state) {
    ours += Seconds([&] { qm::stats::Sort(data.data(), kCount, 0, a.data()); });
    peer += Seconds([&] {
      std::copy(data.begin(), data.end(), b.begin());
      std::sort(b.begin(), b.end());
    });
    benchmark::DoNotOptimize(a.data());
    benchmark::DoNotOptimize(b.data());
  }
  Report(state, ours, peer);
}
BENCHMARK(BM_SortVsStdSort)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MedianVsNthElement(benchmark::State& state) {
  const std::vector<double> data = RandomData();
  std::vector<double> b(kCount);
  double ours = 0, peer = 0, m = 0;
  for (auto _ : state) {
    ours += Seconds([&] { qm::stats::Median(data.data(), kCount, &m); });
    peer += Seconds([&] {
      std::copy(data.begin(), data.end(), b.begin());
      std::nth_element(b.begin(), b.begin() + kCount / 2, b.end());
      const double hi = b[kCount / 2];
      const double lo = *std::max_element(b.begin(), b.begin() + kCount / 2);
      m = 0.5 * (lo + hi);
    });
    benchmark::DoNotOptimize(m);
  }
  Report(state, ours, peer);
}
BENCHMARK(BM_MedianVsNthElement)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
