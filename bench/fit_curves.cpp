// Curve fitting against its peers, each timed back to back with our export
// in the same iteration:
//   GeneralLinearFit (algorithms 0, 3, 5) against the LAPACK drivers it
//   rests on called directly through the same function table (dgesdd; the
//   Householder LQ of the row-major view with dorglq; dgemm + dposv);
//   NonlinearFit against the same number of model calls in a plain loop;
//   SplineInterpolate at 1e6 points against gsl_spline_eval.
// Counters: mean times and the ratio ours / peer (1.0 = no overhead).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "frame/lapack.h"
#include "peer_runtime.h"
#include "qmanlys.h"

#ifdef QM_HAVE_GSL
#include <gsl/gsl_spline.h>
#endif

namespace {


const qm::LapackTable* Table() {
  const qm::LapackTable* la = nullptr;
  qm::RequireLapack(&la);
  return la;
}

std::vector<double> Random(std::size_t count, unsigned seed) {
  std::vector<double> a(count);
  unsigned s = seed;
  for (double& x : a) {
    s = s * 1664525u + 1013904223u;
    x = static_cast<double>(s >> 8) / 16777216.0 - 0.5;
  }
  return a;
}

template <class Ours, class Peer>
void Compare(benchmark::State& state, Ours ours, Peer peer) {
  bench::CompareBackToBack(state, ours, peer);
}

// b = V·diag(1/σ)·Uᵀ·y from dgesdd on the row-major block read as Hᵀ.
void LinearSvd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), k = static_cast<int>(state.range(1));
  const auto* la = Table();
  const std::vector<double> h = Random(static_cast<std::size_t>(n) * k, 1), y = Random(n, 2);
  std::vector<double> b(k), a(h.size()), s(k), u(static_cast<std::size_t>(k) * k),
      vt(static_cast<std::size_t>(k) * n), t(k), b2(k);
  std::vector<int> iwork(8 * k);
  int lwork = -1, info = 0;
  double query = 0;
  la->dgesdd("S", &k, &n, a.data(), &k, s.data(), u.data(), &k, vt.data(), &k, &query, &lwork,
             iwork.data(), &info, 1);
  lwork = static_cast<int>(query);
  std::vector<double> work(lwork);
  Compare(
      state, [&] { ZMXFunc239(h.data(), n, k, y.data(), b.data(), 0); },
      [&] {
        std::memcpy(a.data(), h.data(), h.size() * sizeof(double));
        la->dgesdd("S", &k, &n, a.data(), &k, s.data(), u.data(), &k, vt.data(), &k, work.data(),
                   &lwork, iwork.data(), &info, 1);
        // Hᵀ = U'·S·V'ᵀ: H = V'·S·U'ᵀ, so b = U'·S⁻¹·V'ᵀ·y.
        la->cblas_dgemv(qm::kCblasColMajor, qm::kCblasNoTrans, k, n, 1.0, vt.data(), k, y.data(),
                        1, 0.0, t.data(), 1);
        for (int j = 0; j < k; ++j) t[j] = s[j] > 0 ? t[j] / s[j] : 0.0;
        la->cblas_dgemv(qm::kCblasColMajor, qm::kCblasNoTrans, k, k, 1.0, u.data(), k, t.data(), 1,
                        0.0, b2.data(), 1);
        benchmark::DoNotOptimize(b2.data());
      });
}

// Householder QR: the LQ factors of Hᵀ, Q formed, Qᵀ·y, back substitution.
void LinearQr(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), k = static_cast<int>(state.range(1));
  const auto* la = Table();
  const std::vector<double> h = Random(static_cast<std::size_t>(n) * k, 3), y = Random(n, 4);
  std::vector<double> b(k), a(h.size()), tau(k), t(k), b2(k);
  int lwork = -1, info = 0;
  double query = 0;
  la->dgelqf(&k, &n, a.data(), &k, tau.data(), &query, &lwork, &info);
  int need = static_cast<int>(query);
  la->dorglq(&k, &n, &k, a.data(), &k, tau.data(), &query, &lwork, &info);
  if (static_cast<int>(query) > need) need = static_cast<int>(query);
  std::vector<double> work(need), r(static_cast<std::size_t>(k) * k);
  Compare(
      state, [&] { ZMXFunc239(h.data(), n, k, y.data(), b.data(), 3); },
      [&] {
        std::memcpy(a.data(), h.data(), h.size() * sizeof(double));
        la->dgelqf(&k, &n, a.data(), &k, tau.data(), work.data(), &need, &info);
        for (int i = 0; i < k; ++i)
          for (int j = 0; j < k; ++j) r[i * k + j] = j >= i ? a[i + j * k] : 0.0;  // R = Lᵀ
        la->dorglq(&k, &n, &k, a.data(), &k, tau.data(), work.data(), &need, &info);
        la->cblas_dgemv(qm::kCblasColMajor, qm::kCblasNoTrans, k, n, 1.0, a.data(), k, y.data(),
                        1, 0.0, t.data(), 1);
        for (int i = k - 1; i >= 0; --i) {
          double sum = t[i];
          for (int j = i + 1; j < k; ++j) sum -= r[i * k + j] * b2[j];
          b2[i] = sum / r[i * k + i];
        }
        benchmark::DoNotOptimize(b2.data());
      });
}

// Cholesky on the normal equations: dgemm for HᵀH, dgemv, dposv.
void LinearCholesky(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), k = static_cast<int>(state.range(1));
  const auto* la = Table();
  const std::vector<double> h = Random(static_cast<std::size_t>(n) * k, 5), y = Random(n, 6);
  std::vector<double> b(k), ata(static_cast<std::size_t>(k) * k), atb(k);
  const int one = 1;
  Compare(
      state, [&] { ZMXFunc239(h.data(), n, k, y.data(), b.data(), 5); },
      [&] {
        la->cblas_dgemm(qm::kCblasRowMajor, qm::kCblasTrans, qm::kCblasNoTrans, k, k, n, 1.0,
                        h.data(), k, h.data(), k, 0.0, ata.data(), k);
        la->cblas_dgemv(qm::kCblasRowMajor, qm::kCblasTrans, n, k, 1.0, h.data(), k, y.data(), 1,
                        0.0, atb.data(), 1);
        int info = 0;
        la->dposv("U", &k, &one, ata.data(), &k, atb.data(), &k, &info, 1);
        benchmark::DoNotOptimize(atb.data());
      });
}

#define QM_LINEAR_SIZES                                                             \
  ->Args({1000, 10})->Args({100000, 20})->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(LinearSvd) QM_LINEAR_SIZES;
BENCHMARK(LinearQr) QM_LINEAR_SIZES;
BENCHMARK(LinearCholesky) QM_LINEAR_SIZES;

long g_model_calls = 0;
double Model(double x, const double* a, int32_t) {
  ++g_model_calls;
  return a[0] * std::exp(-a[1] * x) + a[2] * std::sin(a[3] * x);
}

void Nonlinear(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> x(n), y(n), fitted(n);
  const double truth[4] = {2.0, 0.7, 0.5, 3.0};
  for (int i = 0; i < n; ++i) {
    x[i] = 5.0 * i / n;
    y[i] = Model(x[i], truth, 4) + 0.01 * std::cos(37.0 * i);
  }
  // The number of model calls one fit makes, replayed in a plain loop.
  g_model_calls = 0;
  double a[4] = {1.5, 0.5, 0.4, 2.9}, mse = 0;
  ZMXFunc130(x.data(), y.data(), fitted.data(), n, Model, a, 4, &mse);
  const long calls = g_model_calls;
  Compare(
      state,
      [&] {
        double c[4] = {1.5, 0.5, 0.4, 2.9};
        ZMXFunc130(x.data(), y.data(), fitted.data(), n, Model, c, 4, &mse);
      },
      [&] {
        double c[4] = {1.5, 0.5, 0.4, 2.9}, sum = 0;
        for (long i = 0; i < calls; ++i) sum += Model(x[i % n], c, 4);
        benchmark::DoNotOptimize(sum);
      });
  state.counters["model_calls"] = static_cast<double>(calls);
}
BENCHMARK(Nonlinear)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

#ifdef QM_HAVE_GSL
// One million evaluations on a 1000-knot natural spline, each located by
// bisection on both sides (GSL without an accelerator).
void Spline(benchmark::State& state) {
  const int knots = 1000, points = 1000000;
  std::vector<double> x(knots), y(knots), y2(knots), xe(points), out(points), out2(points);
  for (int i = 0; i < knots; ++i) {
    x[i] = i * 0.01 + 0.001 * std::sin(i);
    y[i] = std::sin(x[i]);
  }
  ZMXFunc164(x.data(), y.data(), knots, 1e30, 1e30, y2.data());
  unsigned s = 7;
  for (double& v : xe) {
    s = s * 1664525u + 1013904223u;
    v = x[knots - 1] * static_cast<double>(s >> 8) / 16777216.0;
  }
  gsl_spline* spline = gsl_spline_alloc(gsl_interp_cspline, knots);
  gsl_spline_init(spline, x.data(), y.data(), knots);
  Compare(
      state,
      [&] {
        for (int i = 0; i < points; ++i)
          ZMXFunc163(x.data(), y.data(), y2.data(), knots, xe[i], &out[i]);
      },
      [&] {
        for (int i = 0; i < points; ++i) out2[i] = gsl_spline_eval(spline, xe[i], nullptr);
      });
  gsl_spline_free(spline);
}
BENCHMARK(Spline)->UseManualTime()->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
