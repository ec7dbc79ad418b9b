// Direct-form filtering with caller-held state and Savitzky-Golay smoothing
// on 1e6 samples, called through the public header as a caller calls them,
// each against a plain loop timed in the same iteration and compiled like
// the filters (this file, like analysis/filters, without fused multiply-add
// contraction), and the time of a 255-tap equiripple design.
//
//   state/fir_32        ZMXFunc352, 32 taps, blocks of 4096, state carried
//   state/fir_255       ZMXFunc352, 255 taps, blocks of 4096
//   state/iir_8         ZMXFunc92, order 8 (9 + 9 coefficients), blocks of 4096
//   savgol/frame_31     ZMXFunc356, F = 31, p = 3, one call
//   design/equiripple_255  ZMXFunc65, 255-tap lowpass (no peer)
//
// The peers keep a history buffer of the state followed by the block and
// run the direct sums over it. Counters: ns per sample for ours and the peer
// and the ratio ours / peer (target <= 1.1). Run with
// --benchmark_repetitions=5 and read the medians: the machine is shared.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr int64_t kSamples = 1000000;
constexpr int64_t kBlock = 4096;

std::vector<double> Input() {
  std::vector<double> x(kSamples);
  for (int64_t i = 0; i < kSamples; ++i) x[i] = std::sin(0.001 * i) + 0.25 * std::sin(1.1 * i);
  return x;
}

double Seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Times ours and the peer back to back in every iteration; the outputs must
// agree (they are the same sums, so exactly).
template <class Ours, class Peer>
void Interleaved(benchmark::State& state, const std::vector<double>& y,
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
  const double per = 1e9 / (static_cast<double>(state.iterations()) * kSamples);
  state.counters["ns_per_sample"] = ours * per;
  state.counters["peer_ns_per_sample"] = peer * per;
  state.counters["ratio"] = ours / peer;
  double diff = 0, scale = 0;
  for (size_t i = 0; i < y.size(); ++i) {
    diff = std::max(diff, std::fabs(y[i] - z[i]));
    scale = std::max(scale, std::fabs(z[i]));
  }
  if (!(diff <= 1e-12 * scale)) state.SkipWithError("ours and the peer disagree");
}

// The peer: direct-form sums over a history buffer (past inputs, then the
// block; past outputs, then the block's outputs).
struct PlainDirectForm {
  std::vector<double> b, a, xs, ys;
  PlainDirectForm(std::vector<double> bb, std::vector<double> aa)
      : b(std::move(bb)),
        a(std::move(aa)),
        xs(b.size() - 1, 0.0),
        ys(a.empty() ? 0 : a.size() - 1, 0.0) {}
  void Block(const double* x, int64_t n, double* y) {
    const int64_t nb = static_cast<int64_t>(b.size()), l = nb - 1;
    const int64_t na = static_cast<int64_t>(a.size()), k = na > 0 ? na - 1 : 0;
    xs.resize(l);
    xs.insert(xs.end(), x, x + n);
    ys.resize(k);
    ys.resize(k + n);
    for (int64_t i = 0; i < n; ++i) {
      const double* p = xs.data() + l + i;
      double acc = b[0] * p[0];
      for (int64_t j = 1; j < nb; ++j) acc += b[j] * p[-j];
      if (na > 0) {
        double* q = ys.data() + k + i;
        if (k > 0) {
          double fb = a[1] * q[-1];
          for (int64_t j = 2; j < na; ++j) fb += a[j] * q[-j];
          acc = (acc - fb) / a[0];
        } else {
          acc = acc / a[0];
        }
        *q = acc;
      }
      y[i] = acc;
    }
    xs.erase(xs.begin(), xs.end() - l);
    if (k > 0) ys.erase(ys.begin(), ys.end() - k);
  }
};

std::vector<double> Lowpass(int32_t taps) {
  std::vector<double> h(taps);
  ZMXFunc189(48000, 4000, taps, h.data(), 4);
  return h;
}

void RunState(benchmark::State& state, std::vector<double> b, std::vector<double> a) {
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples);
  const int32_t nb = static_cast<int32_t>(b.size()), na = static_cast<int32_t>(a.size());
  std::vector<double> is(nb - 1), os(na > 0 ? na - 1 : 0);
  Interleaved(
      state, y, z,
      [&] {
        std::fill(is.begin(), is.end(), 0.0);
        std::fill(os.begin(), os.end(), 0.0);
        for (int64_t at = 0; at < kSamples; at += kBlock) {
          const int64_t n = std::min(kBlock, kSamples - at);
          if (na == 0) {
            ZMXFunc352(x.data() + at, n, b.data(), is.data(), nb, y.data() + at);
          } else {
            ZMXFunc92(x.data() + at, n, a.data(), os.data(), na, b.data(), is.data(), nb,
                      y.data() + at);
          }
        }
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        PlainDirectForm peer(b, a);
        for (int64_t at = 0; at < kSamples; at += kBlock) {
          peer.Block(x.data() + at, std::min(kBlock, kSamples - at), z.data() + at);
        }
        benchmark::DoNotOptimize(z.data());
      });
}

void BM_Fir32(benchmark::State& state) { RunState(state, Lowpass(32), {}); }
void BM_Fir255(benchmark::State& state) { RunState(state, Lowpass(255), {}); }

void BM_Iir8(benchmark::State& state) {
  double den[9], num[9];
  ZMXFunc19(0, 8, 48000, 4000, 0, den, 9, num, 9);  // Butterworth lowpass, expanded
  RunState(state, std::vector<double>(num, num + 9), std::vector<double>(den, den + 9));
}

void BM_SavitzkyGolay31(benchmark::State& state) {
  constexpr int32_t kM = 15, kF = 2 * kM + 1, kOrder = 3;
  const std::vector<double> x = Input();
  std::vector<double> y(kSamples), z(kSamples), h(kF * kF);
  ZMXFunc355(kOrder, kM, nullptr, 0, h.data(), nullptr);
  Interleaved(
      state, y, z,
      [&] {
        ZMXFunc356(x.data(), kSamples, kOrder, kM, nullptr, y.data());
        benchmark::DoNotOptimize(y.data());
      },
      [&] {
        // The peer takes H as given (ours builds it in the call).
        auto row = [&](int r, const double* p) {
          const double* c = h.data() + r * kF;
          double s = c[0] * p[0];
          for (int j = 1; j < kF; ++j) s += c[j] * p[j];
          return s;
        };
        for (int i = 0; i < kM; ++i) z[i] = row(i, x.data());
        for (int64_t i = kM; i < kSamples - kM; ++i) z[i] = row(kM, x.data() + i - kM);
        for (int i = 0; i < kM; ++i)
          z[kSamples - kM + i] = row(kM + 1 + i, x.data() + kSamples - kF);
        benchmark::DoNotOptimize(z.data());
      });
}

void BM_Equiripple255(benchmark::State& state) {
  const double edges[] = {0, 4000, 5000, 24000}, gains[] = {1, 0}, weights[] = {1, 10};
  std::vector<double> h(255);
  double ripple = 0;
  for (auto _ : state) {
    if (ZMXFunc65(2, gains, weights, 48000, edges, 1, 255, h.data(), &ripple) != 0) {
      state.SkipWithError("design failed");
    }
    benchmark::DoNotOptimize(h.data());
  }
  state.counters["ripple"] = ripple;
}

BENCHMARK(BM_Fir32)->Name("state/fir_32")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fir255)->Name("state/fir_255")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iir8)->Name("state/iir_8")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavitzkyGolay31)
    ->Name("savgol/frame_31")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equiripple255)->Name("design/equiripple_255")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
