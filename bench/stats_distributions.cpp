// The F, t and chi-square distribution exports (ZMXFunc83, 181, 190) and the
// inverse t (ZMXFunc107) on 1e5 arguments against GSL's cumulative
// distribution functions in the same run (GSL loaded at run time when
// libgsl is installed; otherwise the cases are skipped). Both times and the
// ratio library/peer are reported as counters. The inverse t searches by
// bisection (28 halvings of [-10000, 10000] to a width below 0.0001), so it
// is reported, not held to a target.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "peer_runtime.h"
#include "qmanlys.h"

namespace {

constexpr int kCount = 100000;

using bench::Seconds;

using bench::Gsl;
using D2 = double (*)(double, double);
using D3 = double (*)(double, double, double);

// An argument x (or p) and integer degrees of freedom m, k.
struct Arg {
  double x;
  int32_t m, k;
};

struct Case {
  std::string name;
  double lo, hi;   // x or p
  int32_t max_df;  // degrees of freedom 1..max_df
  std::function<double(const Arg&)> ours, peer;
};

std::vector<Arg> Arguments(const Case& c) {
  std::mt19937_64 rng(16);
  std::uniform_real_distribution<double> x(c.lo, c.hi);
  std::uniform_int_distribution<int32_t> df(1, c.max_df);
  std::vector<Arg> a(kCount);
  for (Arg& v : a) v = {x(rng), df(rng), df(rng)};
  return a;
}

void BM_Distribution(benchmark::State& state, const Case* c) {
  const std::vector<Arg> args = Arguments(*c);
  double ours = 0, peer = 0, sink = 0;
  for (auto _ : state) {
    ours += Seconds([&] {
      for (const Arg& a : args) sink += c->ours(a);
    });
    peer += Seconds([&] {
      for (const Arg& a : args) sink += c->peer(a);
    });
  }
  benchmark::DoNotOptimize(sink);
  const double iterations = static_cast<double>(state.iterations());
  state.counters["library_ms"] = 1e3 * ours / iterations;
  state.counters["peer_ms"] = 1e3 * peer / iterations;
  state.counters["ratio"] = ours / peer;
}

std::vector<Case> Cases() {
  const Gsl& gsl = bench::GslLibrary();
  std::vector<Case> cases;
  if (auto f = gsl.Get<D3>("gsl_cdf_fdist_P")) {
    cases.push_back({"f/gsl_cdf_fdist_P", 0.01, 10, 60,
                     [](const Arg& a) {
                       double p;
                       ZMXFunc83(a.x, a.m, a.k, &p);
                       return p;
                     },
                     [f](const Arg& a) { return f(a.x, a.m, a.k); }});
  }
  if (auto t = gsl.Get<D2>("gsl_cdf_tdist_P")) {
    cases.push_back({"t/gsl_cdf_tdist_P", -10, 10, 100,
                     [](const Arg& a) {
                       double p;
                       ZMXFunc181(a.x, a.m, &p);
                       return p;
                     },
                     [t](const Arg& a) { return t(a.x, a.m); }});
  }
  if (auto chi = gsl.Get<D2>("gsl_cdf_chisq_P")) {
    cases.push_back({"chisq/gsl_cdf_chisq_P", 0.1, 100, 60,
                     [](const Arg& a) {
                       double p;
                       ZMXFunc190(a.x, a.m, &p);
                       return p;
                     },
                     [chi](const Arg& a) { return chi(a.x, a.m); }});
  }
  if (auto tinv = gsl.Get<D2>("gsl_cdf_tdist_Pinv")) {
    cases.push_back({"t_inverse/gsl_cdf_tdist_Pinv", 0.001, 0.999, 100,
                     [](const Arg& a) {
                       double x;
                       ZMXFunc107(a.x, a.m, &x);
                       return x;
                     },
                     [tinv](const Arg& a) { return tinv(a.x, a.m); }});
  }
  return cases;
}

const std::vector<Case>& AllCases() {
  static const std::vector<Case> cases = Cases();
  return cases;
}

const bool kRegistered = bench::RegisterCases(AllCases(), BM_Distribution);

}  // namespace

BENCHMARK_MAIN();
