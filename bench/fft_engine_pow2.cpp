// Internal routine: the FFT engine's complex transform with a held plan at
// the powers of two 64 … 2^20 (split arrays, out of place), next to FFTW
// 3.3 FFTW_MEASURE by its two routes to split data: the guru split-array
// interface, and interleave → out-of-place c2c → split. The closing table
// gives the engine's time over the faster FFTW route.
//
// Run with --benchmark_enable_random_interleaving=true and repetitions so
// that the engine and its peer share the machine's load.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fft/fft_engine.h"

#ifdef QM_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

struct Data {
  std::vector<double> re, im, outRe, outIm;
  explicit Data(int n) : re(n), im(n), outRe(n), outIm(n) {
    std::mt19937_64 g(n);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < n; ++i) {
      re[i] = u(g);
      im[i] = u(g);
    }
  }
};

void Engine(benchmark::State& state, int n) {
  Data d(n);
  qm::fft::FftPlan* plan = qm::fft::FftPlanAcquire(n);
  for (auto _ : state) {
    qm::fft::FftComplexForward(plan, d.re.data(), d.im.data(), d.outRe.data(), d.outIm.data(), 1, 1,
                               n);
    benchmark::DoNotOptimize(d.outRe.data());
    benchmark::ClobberMemory();
  }
  qm::fft::FftPlanRelease(plan);
}

#ifdef QM_HAVE_FFTW
void FftwSplit(benchmark::State& state, int n) {
  Data d(n);
  fftw_iodim dim = {n, 1, 1};
  fftw_plan p = fftw_plan_guru_split_dft(1, &dim, 0, nullptr, d.re.data(), d.im.data(),
                                         d.outRe.data(), d.outIm.data(), FFTW_MEASURE);
  Data fresh(n);  // planning with FFTW_MEASURE overwrites the arrays
  d.re = fresh.re;
  d.im = fresh.im;
  for (auto _ : state) {
    fftw_execute_split_dft(p, d.re.data(), d.im.data(), d.outRe.data(), d.outIm.data());
    benchmark::DoNotOptimize(d.outRe.data());
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(p);
}

void FftwInterleaved(benchmark::State& state, int n) {
  Data d(n);
  fftw_complex* in = fftw_alloc_complex(n);
  fftw_complex* out = fftw_alloc_complex(n);
  fftw_plan p = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_MEASURE);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) {
      in[i][0] = d.re[i];
      in[i][1] = d.im[i];
    }
    fftw_execute(p);
    for (int i = 0; i < n; ++i) {
      d.outRe[i] = out[i][0];
      d.outIm[i] = out[i][1];
    }
    benchmark::DoNotOptimize(d.outRe.data());
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(p);
  fftw_free(in);
  fftw_free(out);
}
#endif

// Median per-iteration time of each benchmark over its repetitions.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, std::vector<double>> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration)
        times[r.run_name.function_name].push_back(r.GetAdjustedRealTime());
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) {
    auto it = times.find(name);
    if (it == times.end() || it->second.empty()) return 0.0;
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
};

std::string Name(const char* impl, int n) { return std::string(impl) + "/" + std::to_string(n); }

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<int> sizes;
  for (int n = 64; n <= (1 << 20); n *= 2) sizes.push_back(n);
  for (int n : sizes) {
    benchmark::RegisterBenchmark(Name("engine", n).c_str(),
                                 [n](benchmark::State& s) { Engine(s, n); });
#ifdef QM_HAVE_FFTW
    benchmark::RegisterBenchmark(Name("fftw_split", n).c_str(),
                                 [n](benchmark::State& s) { FftwSplit(s, n); });
    benchmark::RegisterBenchmark(Name("fftw_interleaved", n).c_str(),
                                 [n](benchmark::State& s) { FftwInterleaved(s, n); });
#endif
  }
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%8s %12s %12s %12s %8s\n", "n", "engine (ns)", "fftw split", "fftw interl",
              "ratio");
  for (int n : sizes) {
    const double e = reporter.Median(Name("engine", n));
    const double s = reporter.Median(Name("fftw_split", n));
    const double i = reporter.Median(Name("fftw_interleaved", n));
    double best = s > 0 && i > 0 ? std::min(s, i) : std::max(s, i);
    if (e == 0.0) continue;
    std::printf("%8d %12.0f %12.0f %12.0f %8.2f\n", n, e, s, i, best > 0 ? e / best : 0.0);
  }
  benchmark::Shutdown();
  return 0;
}
