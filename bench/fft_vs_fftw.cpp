// Complex FFT on split real/imaginary arrays: the library's engine against
// FFTW (guru split interface, out of place, same inputs), with FFTW_MEASURE
// and FFTW_ESTIMATE plans. Prints a table of times and ratios at the end.
// Also the real-input transform against FFTW's r2r half-complex transform.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fft/fft_engine.h"

// QM_HAVE_FFTW is defined by the build when FFTW was found.
#ifdef QM_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

const int kSizes[] = {64,    256,    1000,    1024, 4096, 6000, 8192,
                      65536, 100000, 1 << 20, 97,   1009, 4097, 30030};

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

void Ours(benchmark::State& state, int n, bool real) {
  Data d(n);
  qm::fft::FftPlan* plan = qm::fft::FftPlanAcquire(n);
  for (auto _ : state) {
    if (real)
      qm::fft::FftRealForward(plan, d.re.data(), d.outRe.data(), 1, 1, n);
    else
      qm::fft::FftComplexForward(plan, d.re.data(), d.im.data(), d.outRe.data(), d.outIm.data(), 1,
                                 1, n);
    benchmark::DoNotOptimize(d.outRe.data());
    benchmark::ClobberMemory();
  }
  qm::fft::FftPlanRelease(plan);
}

#ifdef QM_HAVE_FFTW
void Fftw(benchmark::State& state, int n, unsigned flags, bool real) {
  Data d(n);
  fftw_plan p;
  if (real) {
    fftw_r2r_kind kind = FFTW_R2HC;
    p = fftw_plan_many_r2r(1, &n, 1, d.re.data(), nullptr, 1, n, d.outRe.data(), nullptr, 1, n,
                           &kind, flags);
  } else {
    fftw_iodim dim = {n, 1, 1};
    p = fftw_plan_guru_split_dft(1, &dim, 0, nullptr, d.re.data(), d.im.data(), d.outRe.data(),
                                 d.outIm.data(), flags);
  }
  Data fresh(n);  // planning with MEASURE overwrites the arrays
  d.re = fresh.re;
  d.im = fresh.im;
  for (auto _ : state) {
    if (real)
      fftw_execute_r2r(p, d.re.data(), d.outRe.data());
    else
      fftw_execute_split_dft(p, d.re.data(), d.im.data(), d.outRe.data(), d.outIm.data());
    benchmark::DoNotOptimize(d.outRe.data());
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(p);
}
#endif

// Collects the per-iteration times for the closing table.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

std::string Name(const char* impl, bool real, int n) {
  return std::string(real ? "real/" : "complex/") + impl + "/" + std::to_string(n);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (bool real : {false, true}) {
    for (int n : kSizes) {
      benchmark::RegisterBenchmark(Name("qmanlys", real, n).c_str(),
                                   [n, real](benchmark::State& s) { Ours(s, n, real); });
#ifdef QM_HAVE_FFTW
      benchmark::RegisterBenchmark(
          Name("fftw_measure", real, n).c_str(),
          [n, real](benchmark::State& s) { Fftw(s, n, FFTW_MEASURE, real); });
      benchmark::RegisterBenchmark(
          Name("fftw_estimate", real, n).c_str(),
          [n, real](benchmark::State& s) { Fftw(s, n, FFTW_ESTIMATE, real); });
#endif
    }
  }
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-8s %8s %12s %12s %12s %10s %10s\n", "kind", "n", "ours (ns)", "measure",
              "estimate", "ours/meas", "ours/est");
  for (bool real : {false, true}) {
    for (int n : kSizes) {
      auto get = [&](const char* impl) {
        auto it = reporter.times.find(Name(impl, real, n));
        return it == reporter.times.end() ? 0.0 : it->second;
      };
      const double o = get("qmanlys"), m = get("fftw_measure"), e = get("fftw_estimate");
      if (o == 0.0) continue;
      std::printf("%-8s %8d %12.0f %12.0f %12.0f %10.2f %10.2f\n", real ? "real" : "complex", n, o,
                  m, e, m > 0 ? o / m : 0.0, e > 0 ? o / e : 0.0);
    }
  }
  benchmark::Shutdown();
  return 0;
}
