// Complex matrix operations against the same z-routines called directly on
// column-major data, through the same function table, and the real
// determinant and square solve again (their checked copies are shared with
// the complex operations).
//
// Each iteration times our export and the direct call back to back on the
// same matrix, so both see the same machine state; the counters give the
// mean times and the ratio ours / direct (1.0 = no overhead). Our side
// includes what callers pay: checks, the layout changes and per-call
// workspace; the direct side reuses workspace sized once by a query.
#include <algorithm>
#include <complex>
#include <cstring>
#include <vector>

#include "linalg_harness.h"

namespace {

using namespace linalg_bench;

using cplx = std::complex<double>;

// n x n complex, both parts in [-0.5, 0.5), the diagonal weighted.
std::vector<cplx> RandomComplex(int n, unsigned seed) {
  std::vector<cplx> a(static_cast<std::size_t>(n) * n);
  unsigned s = seed;
  auto next = [&] {
    s = s * 1664525u + 1013904223u;
    return static_cast<double>(s >> 8) / 16777216.0 - 0.5;
  };
  for (cplx& x : a) {
    const double re = next();
    x = cplx(re, next());
  }
  for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(i) * n + i] += n / 4.0;
  return a;
}

double* D(std::vector<cplx>& v) { return reinterpret_cast<double*>(v.data()); }

void ComplexDeterminant(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<cplx> a = RandomComplex(n, 11), work(a.size());
  std::vector<int> ipiv(n);
  double det[2];
  Compare(
      state, [&] { ZMXFunc220(D(a), n, 0, det); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(cplx));
        int info = 0;
        la->zgetrf(&n, &n, work.data(), &n, ipiv.data(), &info);
        cplx p = 1;
        for (int i = 0; i < n; ++i) p *= ipiv[i] != i + 1 ? -work[i * (n + 1)] : work[i * (n + 1)];
        benchmark::DoNotOptimize(p);
      });
}

void ComplexInverse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<cplx> a = RandomComplex(n, 12), out(a.size()), work(a.size());
  std::vector<int> ipiv(n);
  int lwork = -1, info = 0;
  cplx query = 0;
  la->zgetri(&n, work.data(), &n, ipiv.data(), &query, &lwork, &info);
  lwork = static_cast<int>(query.real());
  std::vector<cplx> lw(lwork);
  Compare(
      state, [&] { ZMXFunc212(D(a), n, 0, D(out)); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(cplx));
        la->zgetrf(&n, &n, work.data(), &n, ipiv.data(), &info);
        la->zgetri(&n, work.data(), &n, ipiv.data(), lw.data(), &lwork, &info);
      });
}

// Type 0: the minimum-norm solution by the economy SVD, x = V·S⁻¹·Uᴴ·b.
void ComplexSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<cplx> a = RandomComplex(n, 13), work(a.size()), u(a.size()), vt(a.size());
  std::vector<cplx> b(n, cplx(1, 0.5)), x(n), c(n), x2(n);
  std::vector<double> s(n);
  const std::size_t pp = static_cast<std::size_t>(n);
  std::vector<double> rwork(pp * std::max(5 * pp + 7, 4 * pp + 1));
  std::vector<int> iwork(8 * n);
  int lwork = -1, info = 0;
  cplx query = 0;
  la->zgesdd("S", &n, &n, work.data(), &n, s.data(), u.data(), &n, vt.data(), &n, &query, &lwork,
             rwork.data(), iwork.data(), &info, 1);
  lwork = static_cast<int>(query.real());
  std::vector<cplx> lw(lwork);
  const cplx one = 1, zero = 0;
  Compare(
      state, [&] { ZMXFunc218(D(a), n, n, D(b), 0, D(x)); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(cplx));
        la->zgesdd("S", &n, &n, work.data(), &n, s.data(), u.data(), &n, vt.data(), &n, lw.data(),
                   &lwork, rwork.data(), iwork.data(), &info, 1);
        la->cblas_zgemv(qm::kCblasColMajor, qm::kCblasConjTrans, n, n, &one, u.data(), n, b.data(),
                        1, &zero, c.data(), 1);
        for (int i = 0; i < n; ++i) c[i] /= s[i];
        la->cblas_zgemv(qm::kCblasColMajor, qm::kCblasConjTrans, n, n, &one, vt.data(), n, c.data(),
                        1, &zero, x2.data(), 1);
      });
}

void ComplexSingularValues(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<cplx> a = RandomComplex(n, 14), work(a.size());
  std::vector<double> s(n), s2(n), rwork(7 * static_cast<std::size_t>(n));
  std::vector<int> iwork(8 * n);
  int lwork = -1, info = 0, one = 1;
  cplx query = 0, dummy = 0;
  la->zgesdd("N", &n, &n, work.data(), &n, s.data(), &dummy, &one, &dummy, &one, &query, &lwork,
             rwork.data(), iwork.data(), &info, 1);
  lwork = static_cast<int>(query.real());
  std::vector<cplx> lw(lwork);
  Compare(
      state, [&] { ZMXFunc216(D(a), n, n, s.data()); },
      [&] {
        std::memcpy(work.data(), a.data(), a.size() * sizeof(cplx));
        la->zgesdd("N", &n, &n, work.data(), &n, s2.data(), &dummy, &one, &dummy, &one, lw.data(),
                   &lwork, rwork.data(), iwork.data(), &info, 1);
      });
}

void ComplexMultiply(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto* la = Table();
  std::vector<cplx> a = RandomComplex(n, 15), b = RandomComplex(n, 16), c(a.size()), c2(a.size());
  const cplx one = 1, zero = 0;
  Compare(
      state, [&] { ZMXFunc214(D(a), D(b), n, n, n, D(c)); },
      [&] {
        la->cblas_zgemm(qm::kCblasColMajor, qm::kCblasNoTrans, qm::kCblasNoTrans, n, n, n, &one,
                        a.data(), n, b.data(), n, &zero, c2.data(), n);
      });
}

#define QM_SIZES ->Arg(64)->Arg(256)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(Determinant) QM_SIZES;
BENCHMARK(Solve) QM_SIZES;
BENCHMARK(ComplexDeterminant) QM_SIZES;
BENCHMARK(ComplexInverse) QM_SIZES;
BENCHMARK(ComplexSolve) QM_SIZES;
BENCHMARK(ComplexSingularValues) QM_SIZES;
BENCHMARK(ComplexMultiply) QM_SIZES;

}  // namespace

BENCHMARK_MAIN();
