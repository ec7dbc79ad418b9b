// IIR filters on 1e6 samples, called through the public header as a caller
// calls them, each against a peer timed in the same iteration: a plain
// transposed-direct-form-II biquad cascade that runs all sections for one
// sample before the next, with the same coefficients (taken from a record
// designed by the library), written here and compiled like this file (-O2).
//
//   one_call/butterworth_lowpass_8    ZMXFunc21, order 8 (4 biquads)
//   one_call/butterworth_lowpass_9    ZMXFunc21, order 9 (a first-order section
//                                     and 4 biquads; the peer runs the first
//                                     as a biquad with b2 = a2 = 0)
//   one_call/elliptic_lowpass_6       ZMXFunc64, order 6 (3 biquads)
//   record/butterworth_lowpass_16     ZMXFunc91, a lowpass record of order 16
//                                     (8 biquad sections), state carried on
//
// Counters: ns per sample per section for ours and the peer, and the ratio
// ours / peer (target <= 1.1). Run with --benchmark_repetitions=5 and read
// the medians: the machine is shared.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr int64_t kSamples = 1000000;

std::vector<double> Input() {
  std::vector<double> x(kSamples);
  for (int64_t i = 0; i < kSamples; ++i) x[i] = std::sin(0.001 * i) + 0.25 * std::sin(1.1 * i);
  return x;
}

// The peer: kSections biquads of a lowpass record (a: a1 a2, b: b0 b1 b2 per
// section), transposed direct form II, state s[2 k], s[2 k + 1] carried on.
template <int kSections>
void BiquadCascade(const IirCascadeRecord& r, const double* x, double* y, int64_t n, double* s) {
  double b0[kSections], b1[kSections], b2[kSections], a1[kSections], a2[kSections];
  double z1[kSections], z2[kSections];
  for (int k = 0; k < kSections; ++k) {
    b0[k] = r.b[3 * k];
    b1[k] = r.b[3 * k + 1];
    b2[k] = r.b[3 * k + 2];
    a1[k] = r.a[2 * k];
    a2[k] = r.a[2 * k + 1];
    z1[k] = s[2 * k];
    z2[k] = s[2 * k + 1];
  }
  for (int64_t i = 0; i < n; ++i) {
    double v = x[i];
    for (int k = 0; k < kSections; ++k) {
      const double out = b0[k] * v + z1[k];
      z1[k] = b1[k] * v - a1[k] * out + z2[k];
      z2[k] = b2[k] * v - a2[k] * out;
      v = out;
    }
    y[i] = v;
  }
  for (int k = 0; k < kSections; ++k) {
    s[2 * k] = z1[k];
    s[2 * k + 1] = z2[k];
  }
}

double Seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Report(benchmark::State& state, double ours, double peer, int64_t sections) {
  const double per = 1e9 / (static_cast<double>(state.iterations()) * kSamples * sections);
  state.counters["ns_per_sample_section"] = ours * per;
  state.counters["peer_ns_per_sample_section"] = peer * per;
  state.counters["ratio"] = ours / peer;
}

// Times `ours` and `peer` back to back in every iteration; the benchmark's
// time is ours. The two outputs must agree (the peer filters with the same
// coefficients, in another form), or the run is reported as an error.
template <class Ours, class Peer>
void Interleaved(benchmark::State& state, int64_t sections, const std::vector<double>& y,
                 const std::vector<double>& z, Ours ours_call, Peer peer_call) {
  double ours = 0, peer = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    ours_call();
    const double t = Seconds(t0);
    t0 = std::chrono::steady_clock::now();
    peer_call();
    peer += Seconds(t0);
    ours += t;
    state.SetIterationTime(t);
  }
  Report(state, ours, peer, sections);
  double scale = 0, diff = 0;
  for (size_t i = 0; i < y.size(); ++i) {
    scale = std::max(scale, std::fabs(z[i]));
    diff = std::max(diff, std::fabs(y[i] - z[i]));
  }
  if (!(diff <= 1e-9 * scale)) state.SkipWithError("ours and the peer disagree");
}

// The sections of a lowpass design as a record (same designer as the
// one-call filters, so the same coefficients).
IirCascadeRecord* Lowpass(bool elliptic, int32_t order) {
  IirCascadeRecord* r = ZMXFunc233(0, order);
  if (elliptic) {
    ZMXFunc61(48000, 4000, 0, 0.5, 60, r);
  } else {
    ZMXFunc18(48000, 4000, 0, r);
  }
  return r;
}

template <int kOrder>
void BM_OneCallButterworthLowpass(benchmark::State& state) {
  constexpr int kSections = (kOrder + 1) / 2;
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples), s(2 * kSections);
  IirCascadeRecord* r = Lowpass(false, kOrder);
  Interleaved(
      state, kSections, y, z,
      [&] {
        ZMXFunc21(x.data(), kSamples, 48000, 4000, kOrder, y.data());
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        s.assign(2 * kSections, 0.0);  // from rest, like the one-call filter
        BiquadCascade<kSections>(*r, x.data(), z.data(), kSamples, s.data());
        benchmark::DoNotOptimize(z.data());
      });
  ZMXFunc234(r);
}

void BM_OneCallEllipticLowpass6(benchmark::State& state) {
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples), s(6);
  IirCascadeRecord* r = Lowpass(true, 6);
  Interleaved(
      state, 3, y, z,
      [&] {
        ZMXFunc64(x.data(), kSamples, 48000, 4000, 0.5, 60, 6, y.data());
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        s.assign(6, 0.0);
        BiquadCascade<3>(*r, x.data(), z.data(), kSamples, s.data());
        benchmark::DoNotOptimize(z.data());
      });
  ZMXFunc234(r);
}

void BM_RecordButterworthLowpass16(benchmark::State& state) {
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples), s(16, 0.0);
  IirCascadeRecord* r = Lowpass(false, 16);
  Interleaved(
      state, 8, y, z,
      [&] {
        ZMXFunc91(x.data(), kSamples, r, y.data());
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        BiquadCascade<8>(*r, x.data(), z.data(), kSamples, s.data());
        benchmark::DoNotOptimize(z.data());
      });
  ZMXFunc234(r);
}

BENCHMARK(BM_OneCallButterworthLowpass<8>)
    ->Name("one_call/butterworth_lowpass_8")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneCallButterworthLowpass<9>)
    ->Name("one_call/butterworth_lowpass_9")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneCallEllipticLowpass6)
    ->Name("one_call/elliptic_lowpass_6")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordButterworthLowpass16)
    ->Name("record/butterworth_lowpass_16")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
