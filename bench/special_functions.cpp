// Each special-function export on 1e6 arguments against a peer in the same
// run: the C library (erf, erfc, tgamma, lgamma), the C++17 special
// functions of libstdc++ (Bessel, elliptic, zeta, beta) and, where neither
// has the function, GSL (loaded at run time when libgsl is installed;
// otherwise those cases are skipped). Both times and the ratio library/peer
// are reported as counters. (Zeta on x > 1: the peer takes about 0.1 ms a
// call for negative arguments.)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "peer_runtime.h"
#include "qmanlys.h"

namespace {

constexpr int kCount = 1000000;

using bench::Seconds;

using bench::Gsl;
using bench::GslLibrary;
using D1 = double (*)(double);
using D2 = double (*)(double, double);
using D3 = double (*)(double, double, double);
using D4 = double (*)(double, double, double, double);

struct Case {
  std::string name;
  int arity;
  double lo[4], hi[4];
  std::function<double(const double*)> ours, peer;
};

std::vector<double> Arguments(const Case& c) {
  std::mt19937_64 rng(15);
  std::vector<double> a(static_cast<size_t>(kCount) * c.arity);
  for (int i = 0; i < kCount; ++i) {
    for (int k = 0; k < c.arity; ++k) {
      a[static_cast<size_t>(i) * c.arity + k] =
          std::uniform_real_distribution<double>(c.lo[k], c.hi[k])(rng);
    }
  }
  return a;
}

void BM_Special(benchmark::State& state, const Case* c) {
  const std::vector<double> args = Arguments(*c);
  double ours = 0, peer = 0, sink = 0;
  for (auto _ : state) {
    ours += Seconds([&] {
      for (int i = 0; i < kCount; ++i) sink += c->ours(&args[static_cast<size_t>(i) * c->arity]);
    });
    peer += Seconds([&] {
      for (int i = 0; i < kCount; ++i) sink += c->peer(&args[static_cast<size_t>(i) * c->arity]);
    });
  }
  benchmark::DoNotOptimize(sink);
  const double iterations = static_cast<double>(state.iterations());
  state.counters["library_ms"] = 1e3 * ours / iterations;
  state.counters["peer_ms"] = 1e3 * peer / iterations;
  state.counters["ratio"] = ours / peer;
}

double Erf(double x) {
  double r;
  ZMXFunc70(x, &r);
  return r;
}
double Erfc(double x) {
  double r;
  ZMXFunc71(x, &r);
  return r;
}

std::vector<Case> Cases() {
  const Gsl& gsl = GslLibrary();
  std::vector<Case> cases = {
      {"erf/std::erf",
       1,
       {-5},
       {5},
       [](const double* a) { return Erf(a[0]); },
       [](const double* a) { return std::erf(a[0]); }},
      {"erfc/std::erfc",
       1,
       {-5},
       {27},
       [](const double* a) { return Erfc(a[0]); },
       [](const double* a) { return std::erfc(a[0]); }},
      {"gamma/std::tgamma",
       1,
       {-30},
       {170},
       [](const double* a) { return ZMXFunc309(a[0], nullptr); },
       [](const double* a) { return std::tgamma(a[0]); }},
      {"gamma_stirling/std::tgamma",
       1,
       {33},
       {171},
       [](const double* a) { return ZMXFunc314(a[0]); },
       [](const double* a) { return std::tgamma(a[0]); }},
      {"lgamma/std::lgamma",
       1,
       {0.01},
       {1000},
       [](const double* a) { return ZMXFunc312(a[0]); },
       [](const double* a) { return std::lgamma(a[0]); }},
      {"beta/std::beta",
       2,
       {0.1, 0.1},
       {50, 50},
       [](const double* a) { return ZMXFunc307(a[0], a[1], nullptr); },
       [](const double* a) { return std::beta(a[0], a[1]); }},
      {"bessel_j/std::cyl_bessel_j",
       2,
       {0, 0.01},
       {20, 50},
       [](const double* a) { return ZMXFunc302(a[0], a[1]); },
       [](const double* a) { return std::cyl_bessel_j(a[0], a[1]); }},
      {"bessel_y/std::cyl_neumann",
       2,
       {0, 0.01},
       {20, 50},
       [](const double* a) { return ZMXFunc301(a[0], a[1]); },
       [](const double* a) { return std::cyl_neumann(a[0], a[1]); }},
      {"bessel_i/std::cyl_bessel_i",
       2,
       {0, 0.01},
       {20, 50},
       [](const double* a) { return ZMXFunc305(a[0], a[1]); },
       [](const double* a) { return std::cyl_bessel_i(a[0], a[1]); }},
      {"sph_j/std::sph_bessel",
       2,
       {0, 0.01},
       {20.99, 50},
       [](const double* a) { return ZMXFunc303(static_cast<int32_t>(a[0]), a[1]); },
       [](const double* a) { return std::sph_bessel(static_cast<unsigned>(a[0]), a[1]); }},
      {"sph_y/std::sph_neumann",
       2,
       {0, 0.01},
       {20.99, 50},
       [](const double* a) { return ZMXFunc304(static_cast<int32_t>(a[0]), a[1]); },
       [](const double* a) { return std::sph_neumann(static_cast<unsigned>(a[0]), a[1]); }},
      {"ellip_k/std::comp_ellint_1",
       1,
       {0},
       {0.999},
       [](const double* a) { return ZMXFunc318(a[0], nullptr); },
       [](const double* a) { return std::comp_ellint_1(std::sqrt(a[0])); }},
      {"ellip_e/std::comp_ellint_2",
       1,
       {0},
       {0.999},
       [](const double* a) { return ZMXFunc319(a[0], nullptr); },
       [](const double* a) { return std::comp_ellint_2(std::sqrt(a[0])); }},
      {"ellip_f/std::ellint_1",
       2,
       {0, -1.5},
       {0.999, 1.5},
       [](const double* a) { return ZMXFunc318(a[0], &a[1]); },
       [](const double* a) { return std::ellint_1(std::sqrt(a[0]), a[1]); }},
      {"ellip_e_inc/std::ellint_2",
       2,
       {0, -1.5},
       {0.999, 1.5},
       [](const double* a) { return ZMXFunc319(a[0], &a[1]); },
       [](const double* a) { return std::ellint_2(std::sqrt(a[0]), a[1]); }},
      {"zeta/std::riemann_zeta",
       1,
       {1.01},
       {40},
       [](const double* a) { return ZMXFunc329(a[0]); },
       [](const double* a) { return std::riemann_zeta(a[0]); }},
  };
  auto add1 = [&](const char* name, const char* sym, double lo, double hi, double (*ours)(double),
                  std::function<double(D1, double)> call = nullptr) {
    const D1 f = gsl.Get<D1>(sym);
    if (!f) return;
    cases.push_back({name,
                     1,
                     {lo},
                     {hi},
                     [ours](const double* a) { return ours(a[0]); },
                     [f, call](const double* a) { return call ? call(f, a[0]) : f(a[0]); }});
  };
  add1("digamma/gsl_sf_psi", "gsl_sf_psi", 0.01, 100, ZMXFunc313);
  add1("ci/gsl_sf_Ci", "gsl_sf_Ci", 0.01, 100, ZMXFunc322);
  add1("si/gsl_sf_Si", "gsl_sf_Si", 0.01, 100, ZMXFunc323);
  add1("shi/gsl_sf_Shi", "gsl_sf_Shi", 0.01, 700, ZMXFunc325);
  add1("chi/gsl_sf_Chi", "gsl_sf_Chi", 0.01, 700, ZMXFunc324);
  add1("dawson/gsl_sf_dawson", "gsl_sf_dawson", -20, 20, ZMXFunc320);
  add1("spence/gsl_sf_dilog(1-x)", "gsl_sf_dilog", 0, 10, ZMXFunc326,
       [](D1 f, double x) { return f(1.0 - x); });
  if (const auto f = gsl.Get<double (*)(int, double)>("gsl_sf_expint_En")) {
    cases.push_back({"expn/gsl_sf_expint_En",
                     2,
                     {0, 0.01},
                     {30.99, 50},
                     [](const double* a) { return ZMXFunc321(a[1], static_cast<int32_t>(a[0])); },
                     [f](const double* a) { return f(static_cast<int>(a[0]), a[1]); }});
  }
  if (const auto f = gsl.Get<D2>("gsl_sf_gamma_inc_P")) {
    cases.push_back({"gammainc_p/gsl_sf_gamma_inc_P",
                     2,
                     {0.1, 0.01},
                     {100, 150},
                     [](const double* a) { return ZMXFunc309(a[0], &a[1]); },
                     [f](const double* a) { return f(a[0], a[1]); }});
  }
  if (const auto f = gsl.Get<D3>("gsl_sf_beta_inc")) {
    cases.push_back({"betainc/gsl_sf_beta_inc",
                     3,
                     {0.1, 0.1, 0},
                     {100, 100, 1},
                     [](const double* a) { return ZMXFunc307(a[0], a[1], &a[2]); },
                     [f](const double* a) { return f(a[0], a[1], a[2]); }});
  }
  if (const auto f = gsl.Get<D3>("gsl_sf_hyperg_1F1")) {
    cases.push_back({"hyp1f1/gsl_sf_hyperg_1F1",
                     3,
                     {0.1, 0.5, -30},
                     {10, 10, 30},
                     [](const double* a) { return ZMXFunc316(a[0], a[1], a[2]); },
                     [f](const double* a) { return f(a[0], a[1], a[2]); }});
  }
  if (const auto f = gsl.Get<D4>("gsl_sf_hyperg_2F1")) {
    cases.push_back({"hyp2f1/gsl_sf_hyperg_2F1",
                     4,
                     {0.1, 0.1, 0.5, -0.95},
                     {5, 5, 10, 0.95},
                     [](const double* a) { return ZMXFunc315(a[0], a[1], a[2], a[3]); },
                     [f](const double* a) { return f(a[0], a[1], a[2], a[3]); }});
  }
  using Elljac = int (*)(double, double, double*, double*, double*);
  if (const auto f = gsl.Get<Elljac>("gsl_sf_elljac_e")) {
    cases.push_back({"jacobi/gsl_sf_elljac_e",
                     2,
                     {-10, 0},
                     {10, 0.999},
                     [](const double* a) {
                       double s, c, d;
                       return ZMXFunc332(a[0], a[1], &s, &c, &d, nullptr) + s + c + d;
                     },
                     [f](const double* a) {
                       double s, c, d;
                       f(a[0], a[1], &s, &c, &d);
                       return s + c + d;
                     }});
  }
  using Airy1 = double (*)(double, unsigned);
  const auto ai = gsl.Get<Airy1>("gsl_sf_airy_Ai"), aip = gsl.Get<Airy1>("gsl_sf_airy_Ai_deriv");
  const auto bi = gsl.Get<Airy1>("gsl_sf_airy_Bi"), bip = gsl.Get<Airy1>("gsl_sf_airy_Bi_deriv");
  if (ai && aip && bi && bip) {
    cases.push_back(
        {"airy(4 values)/gsl_sf_airy_*",
         1,
         {-30},
         {30},
         [](const double* a) {
           double v[4];
           ZMXFunc330(a[0], &v[0], &v[1], &v[2], &v[3]);
           return v[0] + v[1] + v[2] + v[3];
         },
         [=](const double* a) { return ai(a[0], 0) + aip(a[0], 0) + bi(a[0], 0) + bip(a[0], 0); }});
  }
  return cases;
}

const std::vector<Case>& AllCases() {
  static const std::vector<Case> cases = Cases();
  return cases;
}

const bool kRegistered = bench::RegisterCases(AllCases(), BM_Special);

}  // namespace

BENCHMARK_MAIN();
