// Signal generation speed on 1e6 samples: SineWave against a plain std::sin
// loop, UniformNoise and GaussianNoise against std::mt19937_64 with the
// standard uniform and normal distributions. The ratios (library time / peer
// time; below 1 means the library is faster) are printed after the table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr int64_t kSamples = 1000000;
constexpr double kPi = std::numbers::pi;

void BM_SineWave(benchmark::State& state) {
  std::vector<double> out(kSamples);
  double phase = 10.0;
  for (auto _ : state) {
    if (ZMXFunc159(kSamples, 1.0, 0.0123, &phase, out.data()) != 0) state.SkipWithError("status");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

void BM_StdSinLoop(benchmark::State& state) {
  std::vector<double> out(kSamples);
  double phase = 10.0;
  const double f = 0.0123;
  for (auto _ : state) {
    const double phi = phase * kPi / 180.0, w = 2.0 * kPi * f;
    for (int64_t i = 0; i < kSamples; ++i) out[i] = std::sin(phi + w * static_cast<double>(i));
    phase = std::fmod(phase + 360.0 * f * kSamples, 360.0);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

void BM_UniformNoise(benchmark::State& state) {
  std::vector<double> out(kSamples);
  int32_t seed = 17;
  for (auto _ : state) {
    if (ZMXFunc185(kSamples, 1.0, seed, out.data()) != 0) state.SkipWithError("status");
    seed = -1;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

void BM_Mt19937Uniform(benchmark::State& state) {
  std::vector<double> out(kSamples);
  std::mt19937_64 engine(17);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  for (auto _ : state) {
    for (int64_t i = 0; i < kSamples; ++i) out[i] = uniform(engine);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

void BM_GaussianNoise(benchmark::State& state) {
  std::vector<double> out(kSamples);
  int32_t seed = 17;
  for (auto _ : state) {
    if (ZMXFunc84(kSamples, 1.0, seed, out.data()) != 0) state.SkipWithError("status");
    seed = -1;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

void BM_Mt19937Normal(benchmark::State& state) {
  std::vector<double> out(kSamples);
  std::mt19937_64 engine(17);
  std::normal_distribution<double> normal(0.0, 1.0);
  for (auto _ : state) {
    for (int64_t i = 0; i < kSamples; ++i) out[i] = normal(engine);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

BENCHMARK(BM_SineWave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSinLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniformNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mt19937Uniform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GaussianNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mt19937Normal)->Unit(benchmark::kMillisecond);

// The console table, plus the time per iteration of every run for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration)
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void PrintRatio(const char* label, const std::string& ours, const std::string& peer) const {
    const auto a = times_.find(ours), b = times_.find(peer);
    if (a == times_.end() || b == times_.end() || b->second <= 0) return;
    std::printf("ratio %-40s %.3f\n", label, a->second / b->second);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("SineWave / std::sin loop", "BM_SineWave", "BM_StdSinLoop");
  reporter.PrintRatio("UniformNoise / mt19937_64 uniform", "BM_UniformNoise", "BM_Mt19937Uniform");
  reporter.PrintRatio("GaussianNoise / mt19937_64 normal", "BM_GaussianNoise", "BM_Mt19937Normal");
  benchmark::Shutdown();
  return 0;
}
