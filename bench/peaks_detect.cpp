// The peak detector on 1e6 samples of a noisy multi-tone signal, widths 7
// and 31, in one call and fed in blocks of 4096, against a plain loop that
// forms every window's three fit coefficients by the same 3 x w product
// (the operator from the library's pseudo-inverse), all timed in the same
// iteration. Counters: ns per sample of each, the ratios to the plain loop
// (target <= 1.1) and of the block-fed run to the one call (target <= 1.05).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr int64_t kSamples = 1000000;
constexpr int64_t kBlock = 4096;

std::vector<double> Input() {
  std::vector<double> x(kSamples);
  std::uint64_t s = 12345;
  for (int64_t i = 0; i < kSamples; ++i) {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    const double noise = static_cast<double>(s >> 11) / 9007199254740992.0 - 0.5;
    x[i] = std::sin(0.0123 * i) + 0.5 * std::sin(0.0871 * i + 1) + 0.25 * std::sin(0.31 * i) +
           0.2 * noise;
  }
  return x;
}

// The least-squares operator of width w: pinv of the rows [1, t, t^2].
std::vector<double> Operator(int w) {
  std::vector<double> a(3 * w), p(3 * w);
  for (int i = 0; i < w; ++i) {
    const double t = i - (w - 1) / 2.0;
    a[3 * i] = 1;
    a[3 * i + 1] = t;
    a[3 * i + 2] = t * t;
  }
  ZMXFunc200(a.data(), w, 3, -1.0, p.data());
  return p;
}

// The peer: every window's coefficients, summed so that none is dropped.
double PlainWindows(const double* x, int64_t n, const double* p, int w) {
  const double *p0 = p, *p1 = p + w, *p2 = p + 2 * w;
  double sink = 0;
  for (int64_t i = 0; i + w <= n; ++i) {
    const double* win = x + i;
    double c0 = 0, c1 = 0, c2 = 0;
    for (int j = 0; j < w; ++j) {
      c0 += p0[j] * win[j];
      c1 += p1[j] * win[j];
      c2 += p2[j] * win[j];
    }
    sink += c0 + c1 + c2;
  }
  return sink;
}

int64_t Detect(const double* x, int64_t n, int w, int initialize, int end) {
  int64_t count = 0;
  double *l = nullptr, *a = nullptr, *d = nullptr;
  if (ZMXFunc194(x, n, 0.0, w, 0, initialize, end, &count, &l, &a, &d) != 0) return -1;
  ZMXFunc234(l);
  ZMXFunc234(a);
  ZMXFunc234(d);
  return count;
}

int64_t DetectInBlocks(const double* x, int w) {
  int64_t found = 0;
  for (int64_t at = 0; at < kSamples; at += kBlock) {
    const int64_t size = kSamples - at < 2 * kBlock ? kSamples - at : kBlock;
    found += Detect(x + at, size, w, at == 0, at + size == kSamples);
    if (at + size == kSamples) break;
  }
  return found;
}

double Seconds(const std::function<void()>& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_DetectPeaks(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const std::vector<double> x = Input();
  const std::vector<double> p = Operator(w);
  double one = 0, blocks = 0, plain = 0;
  int64_t found_one = 0, found_blocks = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { found_one = Detect(x.data(), kSamples, w, 1, 1); });
    one += t;
    blocks += Seconds([&] { found_blocks = DetectInBlocks(x.data(), w); });
    double sink = 0;
    plain += Seconds([&] { sink = PlainWindows(x.data(), kSamples, p.data(), w); });
    benchmark::DoNotOptimize(sink);
    state.SetIterationTime(t);
  }
  if (found_one != found_blocks || found_one < 1) state.SkipWithError("block-fed results differ");
  const double per = 1e9 / (static_cast<double>(state.iterations()) * kSamples);
  state.counters["ns_per_sample"] = one * per;
  state.counters["blocks_ns_per_sample"] = blocks * per;
  state.counters["plain_ns_per_sample"] = plain * per;
  state.counters["ratio"] = one / plain;
  state.counters["blocks_ratio"] = blocks / plain;
  state.counters["blocks_vs_one"] = blocks / one;
  state.counters["peaks"] = static_cast<double>(found_one);
}

BENCHMARK(BM_DetectPeaks)->Arg(7)->Arg(31)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
