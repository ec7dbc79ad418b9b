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
#include "peer_runtime.h"
#include "qmanlys.h"

namespace linalg_bench {


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
  bench::CompareBackToBack(state, ours, direct, "direct_ms");
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
