// Real matrix operations against the same LAPACK/CBLAS routines called
// directly on column-major data, through the same function table.
//
// Each iteration times our export and the direct call back to back on the
// same matrix, so both see the same machine state; the counters give the
// mean times and the ratio ours / direct (1.0 = no overhead). Our side
// includes what callers pay: checks, the layout changes and per-call
// workspace; the direct side reuses workspace sized once by a query.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "frame/lapack.h"
#include "qmanlys.h"

namespace {

using Clock = std::chrono::steady_clock;

const qm::LapackTable* Table() {
  const qm::LapackTable* la = nullptr;
  qm::RequireLapack(&la);
  return la;
}

std::vector<double> RandomMatrix(int n, unsigned seed) {
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

void Determinant(benchmark::State& state) {
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

void Inverse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<double> a = RandomMatrix(n, 2), out(a.size()), work(a.size());
  std::vector<int> ipiv(n);
  int lwork = -1, info = 0;
  double query = 0;
  la->dgetri(&n, work.data(), &n, ipiv.data(), &query, &lwork, &info);
  lwork = static_cast<int>(query);
  std::vector<double> lw(lwork);
  Compare(
      state, [&] { ZMXFunc105(a.data(), n, out.data()); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(double));
        la->dgetrf(&n, &n, work.data(), &n, ipiv.data(), &info);
        la->dgetri(&n, work.data(), &n, ipiv.data(), lw.data(), &lwork, &info);
      });
}

void Solve(benchmark::State& state) {
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

void SingularValues(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<double> a = RandomMatrix(n, 4), work(a.size()), s(n), s2(n);
  std::vector<int> iwork(8 * n);
  int lwork = -1, info = 0, one = 1;
  double query = 0, dummy = 0;
  la->dgesdd("N", &n, &n, work.data(), &n, s.data(), &dummy, &one, &dummy, &one, &query, &lwork,
             iwork.data(), &info, 1);
  lwork = static_cast<int>(query);
  std::vector<double> lw(lwork);
  Compare(
      state, [&] { ZMXFunc195(a.data(), n, n, s.data()); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(double));
        la->dgesdd("N", &n, &n, work.data(), &n, s2.data(), &dummy, &one, &dummy, &one, lw.data(),
                   &lwork, iwork.data(), &info, 1);
      });
}

void Multiply(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<double> a = RandomMatrix(n, 5), b = RandomMatrix(n, 6), c(a.size()), c2(a.size());
  Compare(
      state, [&] { ZMXFunc119(a.data(), b.data(), n, n, n, c.data()); },
      [&] {
        la->cblas_dgemm(qm::kCblasColMajor, qm::kCblasNoTrans, qm::kCblasNoTrans, n, n, n, 1.0,
                        a.data(), n, b.data(), n, 0.0, c2.data(), n);
      });
}

#define QM_SIZES ->Arg(64)->Arg(256)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(Determinant) QM_SIZES;
BENCHMARK(Inverse) QM_SIZES;
BENCHMARK(Solve) QM_SIZES;
BENCHMARK(SingularValues) QM_SIZES;
BENCHMARK(Multiply) QM_SIZES;

}  // namespace

BENCHMARK_MAIN();
