// Convolution, correlation, derivative and integral exports (through
// qmanlys.h) against their peers, in the same run on the same data:
//
//   fft/convolve      ZMXFunc32, x of 1e5 by y of 1e3, against FFTW: r2c of
//                     both zero-padded inputs, the bin products, c2r and the
//                     1/L scaling, at the same length L (FFTW_MEASURE plans
//                     made before the timing)
//   fft/correlate     ZMXFunc33, the same sizes; the peer reverses x first
//   direct/convolve   ZMXFunc372 algorithm 0, 1e4 by 32, against the plain
//                     double loop in the same order of accumulation
//   direct/correlate  ZMXFunc373 algorithm 0, likewise
//   derivative        ZMXFunc56 on 1e6 samples against the plain central
//                     difference loop
//   integral          ZMXFunc95 on 1e6 samples against the plain running
//                     Simpson loop
//
// Each iteration times one call of ours and one of the peer's, alternately,
// so both see the same machine state; counters give ns per call of each and
// their ratio (ours / peer). A table of the medians over the iterations is
// printed at the end.
//
//   bench_signal_convolution --benchmark_repetitions=5 --benchmark_min_time=0.5
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "qmanlys.h"
#include "signal/convolution.h"

// QM_HAVE_FFTW is defined by the build when FFTW was found.
#ifdef QM_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using Vec = std::vector<double>;

Vec Random(int n, unsigned seed) {
  std::mt19937_64 g(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  Vec v(n);
  for (double& e : v) e = u(g);
  return v;
}

// Ratios of every iteration, by benchmark, for the closing table.
std::map<std::string, std::vector<double>>& Ratios() {
  static std::map<std::string, std::vector<double>> r;
  return r;
}

double Seconds(const std::function<void()>& f) {
  const auto t0 = Clock::now();
  f();
  const auto t1 = Clock::now();
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(t1 - t0).count();
}

// Times `ours` and `peer` alternately; `check` compares their results once
// before the timing (largest difference relative to the largest magnitude).
void Compare(benchmark::State& state, const std::string& name, const std::function<void()>& ours,
             const std::function<void()>& peer, const std::function<double()>& check) {
  ours();
  peer();
  const double off = check();
  if (!(off < 1e-9)) {
    state.SkipWithError(("results differ from the peer's by " + std::to_string(off)).c_str());
    return;
  }
  double mine = 0, theirs = 0;
  long calls = 0;
  for (auto _ : state) {
    const double a = Seconds(ours), b = Seconds(peer);
    mine += a;
    theirs += b;
    ++calls;
    state.SetIterationTime(a);
    Ratios()[name].push_back(a / b);
  }
  state.counters["ours_ns"] = 1e9 * mine / calls;
  state.counters["peer_ns"] = 1e9 * theirs / calls;
  state.counters["ratio"] = mine / theirs;
}

double RelativeDifference(const double* a, const double* b, std::size_t n) {
  double scale = 0, diff = 0;
  for (std::size_t i = 0; i < n; ++i) {
    scale = std::max(scale, std::fabs(a[i]));
    diff = std::max(diff, std::fabs(a[i] - b[i]));
  }
  return diff / std::max(scale, 1e-300);
}

#ifdef QM_HAVE_FFTW
// FFTW's route to a linear convolution at length L: r2c, r2c, products, c2r.
struct FftwConvolution {
  int n, m, length;
  double *a, *b;
  fftw_complex *fa, *fb;
  fftw_plan forward_a, forward_b, inverse;
  FftwConvolution(int n_, int m_) : n(n_), m(m_) {
    length = static_cast<int>(qm::signal::ConvolutionFftLength(std::int64_t{n} + m - 1));
    const int bins = length / 2 + 1;
    a = fftw_alloc_real(length);
    b = fftw_alloc_real(length);
    fa = fftw_alloc_complex(bins);
    fb = fftw_alloc_complex(bins);
    forward_a = fftw_plan_dft_r2c_1d(length, a, fa, FFTW_MEASURE);
    forward_b = fftw_plan_dft_r2c_1d(length, b, fb, FFTW_MEASURE);
    inverse = fftw_plan_dft_c2r_1d(length, fa, a, FFTW_MEASURE);
  }
  ~FftwConvolution() {
    fftw_destroy_plan(forward_a);
    fftw_destroy_plan(forward_b);
    fftw_destroy_plan(inverse);
    fftw_free(a);
    fftw_free(b);
    fftw_free(fa);
    fftw_free(fb);
  }
  void Run(const double* x, bool reverse, const double* y, double* out) {
    if (reverse) {
      for (int k = 0; k < n; ++k) a[k] = x[n - 1 - k];
    } else {
      std::memcpy(a, x, sizeof(double) * n);
    }
    std::memset(a + n, 0, sizeof(double) * (length - n));
    std::memcpy(b, y, sizeof(double) * m);
    std::memset(b + m, 0, sizeof(double) * (length - m));
    fftw_execute(forward_a);
    fftw_execute(forward_b);
    for (int k = 0; k < length / 2 + 1; ++k) {
      const double re = fa[k][0] * fb[k][0] - fa[k][1] * fb[k][1];
      const double im = fa[k][0] * fb[k][1] + fa[k][1] * fb[k][0];
      fa[k][0] = re;
      fa[k][1] = im;
    }
    fftw_execute(inverse);
    const double scale = 1.0 / length;
    for (int d = 0; d < n + m - 1; ++d) out[d] = a[d] * scale;
  }
};

void FftConvolve(benchmark::State& state, bool correlation) {
  const int n = 100000, m = 1000;
  const Vec x = Random(n, 1), y = Random(m, 2);
  Vec mine(n + m - 1), theirs(n + m - 1);
  auto peer = std::make_shared<FftwConvolution>(n, m);
  state.SetLabel("L = " + std::to_string(peer->length));
  Compare(
      state, correlation ? "fft/correlate 1e5 x 1e3" : "fft/convolve 1e5 x 1e3",
      [&] {
        if (correlation) {
          ZMXFunc33(x.data(), n, y.data(), m, mine.data());
        } else {
          ZMXFunc32(x.data(), n, y.data(), m, mine.data());
        }
      },
      [&] { peer->Run(x.data(), correlation, y.data(), theirs.data()); },
      [&] { return RelativeDifference(mine.data(), theirs.data(), mine.size()); });
}
#endif

// The plain loops, in the library's order of accumulation (not inlined, so
// that they do not see the sizes as constants, as the library does not).
__attribute__((noinline)) void PlainConvolution(const double* x, int n, const double* y, int m,
                                                double* out) {
  std::memset(out, 0, sizeof(double) * (n + m - 1));
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j) out[i + j] += x[i] * y[j];
}
__attribute__((noinline)) void PlainCorrelation(const double* x, int n, const double* y, int m,
                                                double* out) {
  std::memset(out, 0, sizeof(double) * (n + m - 1));
  for (int j = 0; j < m; ++j)
    for (int k = 0; k < n; ++k) out[j + k] += x[n - 1 - k] * y[j];
}

void DirectConvolve(benchmark::State& state, bool correlation) {
  const int n = 10000, m = 32;
  const Vec x = Random(n, 3), y = Random(m, 4);
  Vec mine(n + m - 1), theirs(n + m - 1);
  Compare(
      state, correlation ? "direct/correlate 1e4 x 32" : "direct/convolve 1e4 x 32",
      [&] {
        if (correlation) {
          ZMXFunc373(x.data(), n, y.data(), m, 0, mine.data());
        } else {
          ZMXFunc372(x.data(), n, y.data(), m, 0, mine.data());
        }
      },
      [&] {
        if (correlation) {
          PlainCorrelation(x.data(), n, y.data(), m, theirs.data());
        } else {
          PlainConvolution(x.data(), n, y.data(), m, theirs.data());
        }
      },
      [&] { return RelativeDifference(mine.data(), theirs.data(), mine.size()); });
}

// Central differences and the running Simpson sum with zero conditions.
__attribute__((noinline)) void PlainDerivative(const double* p, int n, double dt, double* q) {
  q[0] = (p[1] - 0.0) / (2 * dt);
  for (int i = 1; i < n - 1; ++i) q[i] = (p[i + 1] - p[i - 1]) / (2 * dt);
  q[n - 1] = (0.0 - p[n - 2]) / (2 * dt);
}
__attribute__((noinline)) void PlainIntegral(const double* p, int n, double dt, double* q) {
  double s = 0;
  for (int i = 0; i < n; ++i) {
    const double before = i > 0 ? p[i - 1] : 0.0, after = i + 1 < n ? p[i + 1] : 0.0;
    s += (before + 4.0 * p[i] + after) * dt / 6.0;
    q[i] = s;
  }
}

void Derivative(benchmark::State& state) {
  const int n = 1000000;
  const double dt = 1e-3;
  const Vec x = Random(n, 5);
  Vec mine(n), theirs(n);
  Compare(
      state, "derivative 1e6", [&] { ZMXFunc56(x.data(), n, dt, 0.0, 0.0, mine.data()); },
      [&] { PlainDerivative(x.data(), n, dt, theirs.data()); },
      [&] { return RelativeDifference(mine.data(), theirs.data(), n); });
}

void Integral(benchmark::State& state) {
  const int n = 1000000;
  const double dt = 1e-3;
  const Vec x = Random(n, 6);
  Vec mine(n), theirs(n);
  Compare(
      state, "integral 1e6", [&] { ZMXFunc95(x.data(), n, dt, 0.0, 0.0, mine.data()); },
      [&] { PlainIntegral(x.data(), n, dt, theirs.data()); },
      [&] { return RelativeDifference(mine.data(), theirs.data(), n); });
}

void PrintTable() {
  std::printf("\n%-28s %8s %8s %8s %6s\n", "benchmark", "median", "min", "max", "n");
  for (auto& [name, r] : Ratios()) {
    if (r.empty()) continue;
    std::sort(r.begin(), r.end());
    std::printf("%-28s %8.3f %8.3f %8.3f %6zu\n", name.c_str(), r[r.size() / 2], r.front(),
                r.back(), r.size());
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef QM_HAVE_FFTW
  benchmark::RegisterBenchmark("fft/convolve", FftConvolve, false)->UseManualTime();
  benchmark::RegisterBenchmark("fft/correlate", FftConvolve, true)->UseManualTime();
#else
  std::printf("FFTW not found: the FFT comparisons are left out\n");
#endif
  benchmark::RegisterBenchmark("direct/convolve", DirectConvolve, false)->UseManualTime();
  benchmark::RegisterBenchmark("direct/correlate", DirectConvolve, true)->UseManualTime();
  benchmark::RegisterBenchmark("derivative", Derivative)->UseManualTime();
  benchmark::RegisterBenchmark("integral", Integral)->UseManualTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintTable();
  std::printf("ratio = ours / peer (below 1: the library is faster)\n");
  return 0;
}
