// Element-wise array operations and sums through their exports, against the
// plain loop that does the same work, compiled here with the same flags.
//
// Each operation runs on 1e3, 1e5 and 1e7 doubles, library first and loop
// second on the same arrays. After the run a table prints the ratio of
// library to loop CPU time for every pair (CPU rather than wall time: the
// build machines are shared; the goal is <= 1.1 at 1e7, where both are bound
// by memory) and the number of heap allocations made inside the library
// calls, which must be 0.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "qmanlys.h"

#include "allocation_counter.h"

namespace {

// Shared operands, largest size; smaller runs use a prefix.
constexpr int kMax = 10'000'000;
struct Arrays {
  std::vector<double> x, y, z;
  Arrays() : x(kMax), y(kMax), z(kMax) {
    for (int i = 0; i < kMax; ++i) {
      x[i] = std::sin(0.001 * i) * 3 - 0.5;
      y[i] = 1.5 + std::cos(0.002 * i);
    }
  }
};
Arrays& Data() {
  static Arrays a;
  return a;
}

struct Op {
  const char* name;
  void (*library)(const double* x, const double* y, int64_t n, double* z);
  void (*loop)(const double* x, const double* y, int64_t n, double* z);
};

double g_sink = 0;

// The plain loop over four separate operand arrays, as the export sees them.
__attribute__((noinline)) void PlainComplexMultiply(const double* xr, const double* xi,
                                                    const double* yr, const double* yi, int64_t n,
                                                    double* zr, double* zi) {
  for (int64_t i = 0; i < n; ++i) {
    const double ar = xr[i], ai = xi[i], br = yr[i], bi = yi[i];
    zr[i] = ar * br - ai * bi;
    zi[i] = ai * br + ar * bi;
  }
}

const Op kOps[] = {
    {"add", [](const double* x, const double* y, int64_t n, double* z) { ZMXFunc3(x, y, n, z); },
     [](const double* x, const double* y, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = x[i] + y[i];
     }},
    {"multiply",
     [](const double* x, const double* y, int64_t n, double* z) { ZMXFunc126(x, y, n, z); },
     [](const double* x, const double* y, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = x[i] * y[i];
     }},
    {"divide",
     [](const double* x, const double* y, int64_t n, double* z) { ZMXFunc57(x, y, n, z); },
     [](const double* x, const double* y, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = x[i] / y[i];
     }},
    {"scale_offset",
     [](const double* x, const double*, int64_t n, double* z) { ZMXFunc115(x, n, 2.5, -1, z); },
     [](const double* x, const double*, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = 2.5 * x[i] - 1;
     }},
    {"abs", [](const double* x, const double*, int64_t n, double* z) { ZMXFunc1(x, n, z); },
     [](const double* x, const double*, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = std::fabs(x[i]);
     }},
    {"clip",
     [](const double* x, const double*, int64_t n, double* z) { ZMXFunc30(x, n, 1, -1, z); },
     [](const double* x, const double*, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = x[i] > 1 ? 1 : (x[i] < -1 ? -1 : x[i]);
     }},
    {"copy", [](const double* x, const double*, int64_t n, double* z) { ZMXFunc34(x, n, z); },
     [](const double* x, const double*, int64_t n, double* z) {
       for (int64_t i = 0; i < n; ++i) z[i] = x[i];
     }},
    {"sum",
     [](const double* x, const double*, int64_t n, double*) {
       double s;
       ZMXFunc170(x, n, &s);
       g_sink += s;
     },
     [](const double* x, const double*, int64_t n, double*) {
       double s = 0;
       for (int64_t i = 0; i < n; ++i) s += x[i];
       g_sink += s;
     }},
    {"complex_multiply",
     [](const double* x, const double* y, int64_t n, double* z) {
       // (x + iy) * (y + ix) over half-length arrays, results in z and z + n/2.
       ZMXFunc47(x, y, y, x, n / 2, z, z + n / 2);
     },
     [](const double* x, const double* y, int64_t n, double* z) {
       PlainComplexMultiply(x, y, y, x, n / 2, z, z + n / 2);
     }},
};

void Run(benchmark::State& state, const Op* op, bool library) {
  Arrays& a = Data();
  const int64_t n = state.range(0);
  const auto fn = library ? op->library : op->loop;
  long before = g_allocations;
  for (auto _ : state) {
    g_counting = library;
    fn(a.x.data(), a.y.data(), n, a.z.data());
    g_counting = false;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * n * static_cast<int64_t>(sizeof(double)));
  state.counters["allocations"] = static_cast<double>(g_allocations - before);
}

// Collects the per-iteration time of every run for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration) times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nratio library/loop, CPU time per call (goal <= 1.10 at n = 10000000)\n");
    std::printf("%-18s %10s %10s %10s\n", "operation", "1000", "100000", "10000000");
    bool ok = true;
    for (const Op& op : kOps) {
      std::printf("%-18s", op.name);
      for (int n : {1000, 100000, kMax}) {
        const std::string suffix = std::string(op.name) + "/" + std::to_string(n);
        const auto lib = times_.find("library/" + suffix);
        const auto loop = times_.find("loop/" + suffix);
        if (lib == times_.end() || loop == times_.end()) {
          std::printf(" %10s", "-");
          continue;
        }
        const double ratio = lib->second / loop->second;
        if (n == kMax && ratio > 1.1) ok = false;
        std::printf(" %10.3f", ratio);
      }
      std::printf("\n");
    }
    std::printf("heap allocations inside library calls: %ld\n", g_allocations);
    std::printf("%s\n", ok && g_allocations == 0 ? "PASS" : "CHECK");
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  for (const Op& op : kOps) {
    for (int n : {1000, 100000, kMax}) {
      for (bool library : {true, false}) {
        // The argument is appended: "library/add/1000".
        const std::string name = std::string(library ? "library/" : "loop/") + op.name;
        benchmark::RegisterBenchmark(name.c_str(), Run, &op, library)->Arg(n);
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  Data();  // touch the operands before the first measurement
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  std::printf("(checksum %g)\n", g_sink);
  return 0;
}
