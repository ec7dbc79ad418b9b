// IIR filters on 1e6 samples: the one-call Butterworth order 8 and elliptic
// order 6 lowpass filters and the cascade record's filter, each against a
// plain hand-written cascade of the same sections timed in the same run.
// Counters: ns per sample per section for ours and the peer, and their ratio
// (target <= 1.1).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr int64_t kSamples = 1000000;

std::vector<double> Input() {
  std::vector<double> x(kSamples);
  for (int64_t i = 0; i < kSamples; ++i) x[i] = std::sin(0.001 * i) + 0.25 * std::sin(1.1 * i);
  return x;
}

// The peer for the one-call filters: copy, then each section as a direct
// form I recursion over the whole array.
void HandDirectForm1(const IirCascadeRecord& r, const double* x, double* y, int64_t n) {
  std::memcpy(y, x, n * sizeof(double));
  const int64_t sections = (r.order + 1) / 2;
  for (int64_t k = 0; k < sections; ++k) {
    const double* a = r.a + 2 * k;
    const double* b = r.b + 3 * k;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int64_t i = 0; i < n; ++i) {
      const double x0 = y[i];
      const double out = b[0] * x0 + b[1] * x1 + b[2] * x2 - a[0] * y1 - a[1] * y2;
      x2 = x1;
      x1 = x0;
      y2 = y1;
      y1 = out;
      y[i] = out;
    }
  }
}

// The peer for the record: each section as a direct form II recursion.
void HandDirectForm2(const IirCascadeRecord& r, const double* x, double* y, int64_t n,
                     double* state) {
  const int64_t sections = (r.order + 1) / 2;
  const double* in = x;
  for (int64_t k = 0; k < sections; ++k) {
    const double* a = r.a + 2 * k;
    const double* b = r.b + 3 * k;
    double z1 = state[2 * k], z2 = state[2 * k + 1];
    for (int64_t i = 0; i < n; ++i) {
      const double w = in[i] - a[0] * z1 - a[1] * z2;
      y[i] = b[0] * w + b[1] * z1 + b[2] * z2;
      z2 = z1;
      z1 = w;
    }
    state[2 * k] = z1;
    state[2 * k + 1] = z2;
    in = y;
  }
}

double Seconds(const std::function<void()>& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Report(benchmark::State& state, double ours, double peer, int64_t sections) {
  const double per = 1e9 / (static_cast<double>(state.iterations()) * kSamples * sections);
  state.counters["ns_per_sample_section"] = ours * per;
  state.counters["peer_ns_per_sample_section"] = peer * per;
  state.counters["ratio"] = ours / peer;
}

enum class Family { kButterworth8, kElliptic6 };

IirCascadeRecord* DesignLowpass(Family f) {
  IirCascadeRecord* r = ZMXFunc233(0, f == Family::kButterworth8 ? 8 : 6);
  if (f == Family::kButterworth8) {
    ZMXFunc18(48000, 4000, 0, r);
  } else {
    ZMXFunc61(48000, 4000, 0, 0.5, 60, r);
  }
  return r;
}

void BM_OneCall(benchmark::State& state, Family f) {
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples);
  IirCascadeRecord* r = DesignLowpass(f);
  double ours = 0, peer = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      if (f == Family::kButterworth8) {
        ZMXFunc21(x.data(), kSamples, 48000, 4000, 8, y.data());
      } else {
        ZMXFunc64(x.data(), kSamples, 48000, 4000, 0.5, 60, 6, y.data());
      }
    });
    ours += t;
    peer += Seconds([&] { HandDirectForm1(*r, x.data(), z.data(), kSamples); });
    state.SetIterationTime(t);
    benchmark::DoNotOptimize(y.data());
    benchmark::DoNotOptimize(z.data());
  }
  Report(state, ours, peer, (r->order + 1) / 2);
  ZMXFunc234(r);
}

void BM_RecordFilter(benchmark::State& state, Family f) {
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples), hand_state(8, 0.0);
  IirCascadeRecord* r = DesignLowpass(f);
  double ours = 0, peer = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { ZMXFunc91(x.data(), kSamples, r, y.data()); });
    ours += t;
    peer += Seconds([&] { HandDirectForm2(*r, x.data(), z.data(), kSamples, hand_state.data()); });
    state.SetIterationTime(t);
    benchmark::DoNotOptimize(y.data());
    benchmark::DoNotOptimize(z.data());
  }
  Report(state, ours, peer, (r->order + 1) / 2);
  ZMXFunc234(r);
}

BENCHMARK_CAPTURE(BM_OneCall, butterworth_lowpass_8, Family::kButterworth8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OneCall, elliptic_lowpass_6, Family::kElliptic6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecordFilter, butterworth_lowpass_8, Family::kButterworth8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecordFilter, elliptic_lowpass_6, Family::kElliptic6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
