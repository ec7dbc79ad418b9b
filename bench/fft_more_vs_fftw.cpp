// The cosine and sine transforms and the interleaved and 2-D FFT exports
// (through qmanlys.h) against FFTW's equivalent plans (FFTW_MEASURE, made
// outside the timing, executed on the arrays they were planned with):
//
//   Dct (ZMXFunc270) n = 1000, 1001, 1024, 65536      r2r REDFT10
//   Dst (ZMXFunc272) n = 1000, 1023                   r2r RODFT00
//   Dct2D (ZMXFunc274) 512 x 512                      r2r_2d REDFT10
//   ComplexFftInterleaved (ZMXFunc263, a plan handle) 4096    fftw_plan_dft_1d
//   ComplexFft2D (ZMXFunc267) 512 x 512, 1000 x 1000  fftw_plan_dft_2d
//   ComplexChirpZ (ZMXFunc342) on the DFT contour: Bluestein n = 1000, 4096,
//     direct n = 64                                   fftw_plan_dft_1d
//     (reported only: its complex powers dominate)
//
// Each iteration times a batch of our calls and then a batch of FFTW's on
// the same input, so both see the same machine state; the counters are ns
// per call of each and their ratio (ours/FFTW), and min_ratio, the ratio of
// the fastest batches (the figure to read on a loaded machine). Before timing, the results
// are compared (after FFTW's scaling: REDFT10 and RODFT00 are twice the
// unnormalised sums) and a disagreement skips the case.
//
//   bench_fft_more_vs_fftw --benchmark_repetitions=5 --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "qmanlys.h"

#ifdef QM_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

#ifdef QM_HAVE_FFTW

// One comparison: our call and FFTW's, each on its own buffers, and a check
// of our result against FFTW's. The lambdas share the case's data, which is
// freed with the last of them.
struct Case {
  std::function<void()> ours;
  std::function<void()> peer;
  std::function<double()> disagreement;  // relative, after scaling
  double tolerance = 1e-12;              // of the disagreement
};

void Fill(double* p, std::size_t count, unsigned seed) {
  std::mt19937_64 g(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  for (std::size_t i = 0; i < count; ++i) p[i] = u(g);
}

// The data of one case: our input x and output y, FFTW's input and output
// (the same `doubles` values, x copied in), its plan and our plan handle.
struct Data {
  std::vector<double> x, y;
  double* in = nullptr;
  double* out = nullptr;
  fftw_plan plan = nullptr;
  QmFftPlanHandle* handle = nullptr;
  Data(std::size_t doubles, unsigned seed)
      : x(doubles), y(doubles), in(fftw_alloc_real(doubles)), out(fftw_alloc_real(doubles)) {
    Fill(x.data(), doubles, seed);
  }
  Data(const Data&) = delete;
  Data& operator=(const Data&) = delete;
  ~Data() {
    ZMXFunc261(handle);
    if (plan != nullptr) fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
  }
  fftw_complex* cin() { return reinterpret_cast<fftw_complex*>(in); }
  fftw_complex* cout() { return reinterpret_cast<fftw_complex*>(out); }
  // After planning (FFTW_MEASURE overwrites the buffers): FFTW's input.
  void Planned(fftw_plan p) {
    plan = p;
    std::memcpy(in, x.data(), sizeof(double) * x.size());
  }
};

// max |ours·factor(i) − theirs| / max |theirs|.
double Relative(const double* ours, const double* theirs, std::size_t count,
                const std::function<double(std::size_t)>& factor) {
  double diff = 0, scale = 0;
  for (std::size_t i = 0; i < count; ++i) {
    diff = std::max(diff, std::fabs(ours[i] * factor(i) - theirs[i]));
    scale = std::max(scale, std::fabs(theirs[i]));
  }
  return diff / std::max(scale, 1e-300);
}

// Our result against FFTW's, unscaled.
std::function<double()> SameAsPeer(const std::shared_ptr<Data>& d) {
  return [d] { return Relative(d->y.data(), d->out, d->y.size(), [](std::size_t) { return 1.0; }); };
}

// 1-D r2r (REDFT10 for the Dct, RODFT00 for the Dst).
Case RealToReal(bool cosine, int n) {
  auto d = std::make_shared<Data>(n, n);
  d->Planned(fftw_plan_r2r_1d(n, d->in, d->out, cosine ? FFTW_REDFT10 : FFTW_RODFT00,
                              FFTW_MEASURE));
  Case c;
  if (cosine)
    c.ours = [d, n] { ZMXFunc270(d->x.data(), n, n, d->y.data()); };
  else
    c.ours = [d, n] { ZMXFunc272(d->x.data(), n, n, d->y.data()); };
  c.peer = [d] { fftw_execute(d->plan); };
  c.disagreement = [d, n, cosine] {
    return Relative(d->y.data(), d->out, n, [=](std::size_t k) {
      if (!cosine) return 2.0;
      return 2.0 / std::sqrt((k == 0 ? 1.0 : 2.0) / n);
    });
  };
  return c;
}

Case Dct2D(int rows, int cols) {
  const std::size_t count = static_cast<std::size_t>(rows) * cols;
  auto d = std::make_shared<Data>(count, 7);
  d->Planned(fftw_plan_r2r_2d(rows, cols, d->in, d->out, FFTW_REDFT10, FFTW_REDFT10,
                              FFTW_MEASURE));
  Case c;
  c.ours = [d, rows, cols] { ZMXFunc274(d->x.data(), rows, cols, d->y.data()); };
  c.peer = [d] { fftw_execute(d->plan); };
  c.disagreement = [d, count, rows, cols] {
    return Relative(d->y.data(), d->out, count, [=](std::size_t i) {
      const std::size_t r = i / cols, k = i % cols;
      return 4.0 / std::sqrt((r == 0 ? 1.0 : 2.0) / rows) / std::sqrt((k == 0 ? 1.0 : 2.0) / cols);
    });
  };
  return c;
}

// Interleaved complex: 1-D (rows = 1, through a plan handle) or 2-D.
Case Complex(int rows, int cols) {
  const std::size_t count = static_cast<std::size_t>(rows) * cols;
  auto d = std::make_shared<Data>(2 * count, 11);
  d->Planned(rows == 1
                 ? fftw_plan_dft_1d(cols, d->cin(), d->cout(), FFTW_FORWARD, FFTW_MEASURE)
                 : fftw_plan_dft_2d(rows, cols, d->cin(), d->cout(), FFTW_FORWARD, FFTW_MEASURE));
  Case c;
  if (rows == 1) {
    d->handle = ZMXFunc260(cols);
    c.ours = [d, cols] { ZMXFunc263(d->x.data(), cols, cols, d->handle, 0, d->y.data()); };
  } else {
    c.ours = [d, rows, cols] { ZMXFunc267(d->x.data(), rows, cols, 0, 0, 0, d->y.data()); };
  }
  c.peer = [d] { fftw_execute(d->plan); };
  c.disagreement = SameAsPeer(d);
  return c;
}

// The chirp-Z transform on the DFT contour (A = 1, W = e^(−2πi/n), m = n),
// so FFTW's DFT of the same input checks it.
Case ChirpZ(int n, int32_t method) {
  auto d = std::make_shared<Data>(2 * static_cast<std::size_t>(n), 7);
  d->Planned(fftw_plan_dft_1d(n, d->cin(), d->cout(), FFTW_FORWARD, FFTW_MEASURE));
  const double t = 2.0 * 3.14159265358979323846 / n;
  Case c;
  c.ours = [d, n, method, t] {
    const double a[2] = {1.0, 0.0};
    const double w[2] = {std::cos(t), -std::sin(t)};
    ZMXFunc342(d->x.data(), n, a, w, method, n, d->y.data());
  };
  c.peer = [d] { fftw_execute(d->plan); };
  // The chirp W^(−t²/2) carries the rounding of W's angle times t²/2.
  c.tolerance = 1e-15 * n;
  c.disagreement = SameAsPeer(d);
  return c;
}

double TimeBatch(const std::function<void()>& f, int batch) {
  const auto t0 = Clock::now();
  for (int i = 0; i < batch; ++i) f();
  const auto t1 = Clock::now();
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(t1 - t0).count();
}

void Run(benchmark::State& state, const std::function<Case()>& make, std::size_t work) {
  Case c = make();
  const int batch = std::max<int>(1, static_cast<int>(8192 / std::max<std::size_t>(work, 1)));
  TimeBatch(c.ours, batch);  // warm-up: plans cached, scratch grown
  TimeBatch(c.peer, batch);
  const double off = c.disagreement();
  if (!(off < c.tolerance)) {
    state.SkipWithError(("results differ from FFTW's by " + std::to_string(off)).c_str());
    return;
  }
  double t_ours = 0, t_peer = 0, min_ours = 1e30, min_peer = 1e30;
  for (auto _ : state) {
    const double t = TimeBatch(c.ours, batch);
    const double u = TimeBatch(c.peer, batch);
    t_ours += t;
    t_peer += u;
    min_ours = std::min(min_ours, t);
    min_peer = std::min(min_peer, u);
    state.SetIterationTime(t);
  }
  const double calls = static_cast<double>(state.iterations()) * batch;
  state.counters["ours_ns"] = t_ours / calls * 1e9;
  state.counters["fftw_ns"] = t_peer / calls * 1e9;
  state.counters["ratio"] = t_ours / t_peer;
  // The fastest batch of each side: robust against the time slices a loaded
  // machine takes away.
  state.counters["min_ratio"] = min_ours / min_peer;
}

void Register() {
  auto add = [](const std::string& name, std::function<Case()> make, std::size_t work) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [make, work](benchmark::State& s) { Run(s, make, work); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  };
  for (int n : {1000, 1001, 1024, 65536})
    add(
        "Dct/" + std::to_string(n), [n] { return RealToReal(true, n); }, n);
  for (int n : {1000, 1023})
    add(
        "Dst/" + std::to_string(n), [n] { return RealToReal(false, n); }, n);
  add(
      "Dct2D/512x512", [] { return Dct2D(512, 512); }, 512 * 512);
  add(
      "ComplexFftInterleaved/4096", [] { return Complex(1, 4096); }, 4096);
  add(
      "ComplexFft2D/512x512", [] { return Complex(512, 512); }, 512 * 512);
  add(
      "ComplexFft2D/1000x1000", [] { return Complex(1000, 1000); }, 1000 * 1000);
  for (int n : {1000, 4096})
    add(
        "ChirpZBluestein/" + std::to_string(n), [n] { return ChirpZ(n, 1); }, 16 * n);
  add(
      "ChirpZDirect/64", [] { return ChirpZ(64, 0); }, 64 * 64);
}

#else

void Register() { std::printf("FFTW was not found: nothing to compare with\n"); }

#endif

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
