// Shared pieces of the benchmarks that time the library against a peer in
// the same run: a wall-clock timer and GSL bound by name at run time (the
// cases that need it are skipped when libgsl is not installed).
#pragma once

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <vector>

namespace bench {

// Seconds f() takes, once.
template <class F>
double Seconds(F f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Times ours() and peer() back to back in every iteration, alternating which
// runs first so that neither inherits the other's cache state, after one
// untimed round of each; the iteration time is ours. Counters: ours_ms, the
// peer's mean under `peer_counter`, and ratio = ours / peer.
template <class Ours, class Peer>
void CompareBackToBack(benchmark::State& state, Ours ours, Peer peer,
                       const char* peer_counter = "peer_ms") {
  double ours_s = 0, peer_s = 0;
  bool ours_first = true;
  ours();
  peer();
  for (auto _ : state) {
    double a = 0, b = 0;
    if (ours_first) {
      a = Seconds(ours);
      b = Seconds(peer);
    } else {
      b = Seconds(peer);
      a = Seconds(ours);
    }
    ours_first = !ours_first;
    ours_s += a;
    peer_s += b;
    state.SetIterationTime(a);
  }
  const double iters = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1e3 * ours_s / iters;
  state.counters[peer_counter] = 1e3 * peer_s / iters;
  state.counters["ratio"] = ours_s / peer_s;
}

// GSL, bound by name at run time; Get returns null without the library.
struct Gsl {
  void* lib = nullptr;
  template <class T>
  T Get(const char* name) const {
    return lib ? reinterpret_cast<T>(dlsym(lib, name)) : nullptr;
  }
  Gsl() {
    dlopen("libgslcblas.so.0", RTLD_NOW | RTLD_GLOBAL);
    lib = dlopen("libgsl.so.27", RTLD_NOW);
    if (!lib) lib = dlopen("libgsl.so", RTLD_NOW);
    if (auto off = Get<void* (*)()>("gsl_set_error_handler_off")) off();
  }
};

// The process's one binding.
inline const Gsl& GslLibrary() {
  static const Gsl gsl;
  return gsl;
}

// Registers one benchmark per case (3 timed iterations, real time, ms);
// `cases` must outlive the run. Returns true, for a namespace-scope
// initialiser.
template <class Case>
bool RegisterCases(const std::vector<Case>& cases, void (*run)(benchmark::State&, const Case*)) {
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name.c_str(), run, &c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
  }
  return true;
}

}  // namespace bench
