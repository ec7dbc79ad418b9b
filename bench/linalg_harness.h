// The harness of the matrix benchmarks (bench/linalg_*.cpp): the function
// table, test matrices, the back-to-back comparison of an export with the
// direct LAPACK call, and the real determinant and square solve rows, which
// every linalg benchmark program reports.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "frame/lapack.h"
#include "qmanlys.h"

namespace linalg_bench {

using Clock = std::chrono::steady_clock;

inline const qm::LapackTable* Table() {
  const qm::LapackTable* la = nullptr;
  qm::RequireLapack(&la);
  return la;
}

inline std::vector<double> RandomMatrix(int n, unsigned seed) {
  std::vector<double> a(static_cast<std::size_t>(n) * n);
  unsigned s = seed;
  for (double& x : a) {
    s = s * 1664525u + 1013904223u;
    x = static_cast<double>(s >> 8) / 16777216.0 - 0.5;
  }
  for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(i) * n + i] += n / 4.0;
  return a;
}

template <class Ours, class Direct>
void Compare(benchmark::State& state, Ours ours, Direct direct) {
  double ours_s = 0, direct_s = 0;
  bool ours_first = true;
  auto timed = [](auto&& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
  };
  // One untimed round so that both sides start with warm caches and threads.
  ours();
  direct();
  for (auto _ : state) {
    // Alternate which side runs first so that neither inherits the other's
    // cache state systematically.
    double a = 0, b = 0;
    if (ours_first) {
      a = timed(ours);
      b = timed(direct);
    } else {
      b = timed(direct);
      a = timed(ours);
    }
    ours_first = !ours_first;
    ours_s += a;
    direct_s += b;
    state.SetIterationTime(a);
  }
  const double iters = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1e3 * ours_s / iters;
  state.counters["direct_ms"] = 1e3 * direct_s / iters;
  state.counters["ratio"] = ours_s / direct_s;
}

inline void Determinant(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  const std::vector<double> a = RandomMatrix(n, 1);
  std::vector<double> work(a.size());
  std::vector<int> ipiv(n);
  double det = 0;
  Compare(
      state, [&] { ZMXFunc55(a.data(), n, &det); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(double));
        int info = 0;
        la->dgetrf(&n, &n, work.data(), &n, ipiv.data(), &info);
        double p = 1;
        for (int i = 0; i < n; ++i) p *= ipiv[i] != i + 1 ? -work[i * (n + 1)] : work[i * (n + 1)];
        benchmark::DoNotOptimize(p);
      });
}

inline void Solve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<double> a = RandomMatrix(n, 3), work(a.size()), b(n, 1.0), x(n), xb(n);
  std::vector<int> ipiv(n);
  const int one = 1;
  Compare(
      state, [&] { ZMXFunc114(a.data(), b.data(), n, x.data()); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(double));
        std::memcpy(xb.data(), b.data(), b.size() * sizeof(double));
        int info = 0;
        la->dgesv(&n, &one, work.data(), &n, ipiv.data(), xb.data(), &n, &info);
      });
}

}  // namespace linalg_bench
