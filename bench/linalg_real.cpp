// Real matrix operations against the same LAPACK/CBLAS routines called
// directly on column-major data, through the same function table.
//
// Each iteration times our export and the direct call back to back on the
// same matrix, so both see the same machine state; the counters give the
// mean times and the ratio ours / direct (1.0 = no overhead). Our side
// includes what callers pay: checks, the layout changes and per-call
// workspace; the direct side reuses workspace sized once by a query.
#include <cstring>
#include <vector>

#include "linalg_harness.h"

namespace {

using namespace linalg_bench;

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
