// The FFT exports a caller uses (through qmanlys.h) against the fastest FFTW
// route to the same result on the same split arrays: interleave, an
// out-of-place FFTW_MEASURE transform (c2c, r2c or c2r), split (and the
// same post-processing loop for the spectra). Also, labelled "overhead",
// each transform export against the same work on a plan held by the caller
// (what the export adds), and, labelled "engine", the library's internal
// engine on a held plan against FFTW's split and half-complex interfaces.
// Before timing, each pair's results are compared (a benchmark whose sides
// disagree beyond 1e-9 relative stops with an error).
//
// Each iteration times a batch of our calls, then a batch of the peer's, on
// fresh copies of the same inputs (copies made outside the timing; batches
// of several calls for the small sizes), so both see the same machine
// state. Counters: ns per call of ours and of the peer, their ratio, and the
// heap allocations made inside our calls (expected 0: plans are cached and
// scratch is per thread). A table of the ratios is printed at the end (the
// medians when run with --benchmark_repetitions).
//
//   bench_fft_vs_fftw --benchmark_repetitions=5 --benchmark_min_time=0.2
//   bench_fft_vs_fftw --benchmark_filter='export/(ComplexFft|RealFft)/'
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fft/fft_engine.h"
#include "qmanlys.h"

// QM_HAVE_FFTW is defined by the build when FFTW was found.
#ifdef QM_HAVE_FFTW
#include <fftw3.h>
#endif

#include "allocation_counter.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kSizes[] = {64,    256,    1000,    1024, 4096, 6000, 8192,
                      65536, 100000, 1 << 20, 97,   1009, 4097, 30030};

// Arrays on 64-byte boundaries for both sides (FFTW's new-array execute
// needs the alignment of the arrays it planned with).
template <class T>
struct Aligned {
  using value_type = T;
  Aligned() = default;
  template <class U>
  Aligned(const Aligned<U>&) {}
  T* allocate(std::size_t count) {
    const std::size_t bytes = (count * sizeof(T) + 63) / 64 * 64;
    return static_cast<T*>(std::aligned_alloc(64, bytes ? bytes : 64));
  }
  void deallocate(T* p, std::size_t) { std::free(p); }
  bool operator==(const Aligned&) const { return true; }
};
using Vec = std::vector<double, Aligned<double>>;

// Doubles from one array of a call to the next (whole cache lines).
std::size_t Stride(int n) { return (static_cast<std::size_t>(n) + 7) / 8 * 8; }

// The arrays of one call: two inputs (a, b) and two outputs (c, d) of n
// doubles, as the exports take them, at fixed distances in one block (FFTW's
// split interface executes new arrays only at the distances it planned with).
struct Arrays {
  Vec block;
  double *a, *b, *c, *d;
  explicit Arrays(int n) : block(4 * Stride(n)) { Place(static_cast<std::ptrdiff_t>(Stride(n))); }
  Arrays(const Arrays& o) : block(o.block) { Place(o.b - o.a); }
  Arrays& operator=(const Arrays&) = delete;

 private:
  void Place(std::ptrdiff_t stride) {
    a = block.data();
    b = a + stride;
    c = b + stride;
    d = c + stride;
  }
};

using Call = std::function<void(Arrays&)>;

// One side of a comparison: the call, and what it needs prepared (FFTW
// plans and buffers) kept alive with it.
struct Side {
  Call call;
  std::shared_ptr<void> keep;
};

// The results of an export, compared between the sides before timing: the
// arrays (bits a = 1, b = 2, c = 4, d = 8) and how many leading elements
// (0: all n, else n/2); d may hold phases (compared modulo 2π).
struct Results {
  int arrays;
  bool half;
  bool phases;
};

Results ResultsOf(const std::string& name) {
  if (name == "ComplexFft" || name == "InverseComplexFft" || name == "RealFft") return {3, 0, 0};
  if (name == "InverseRealFft" || name == "PowerSpectrumTwoSided") return {1, 0, 0};
  if (name == "PowerSpectrum") return {4, 1, 0};
  if (name == "CrossPowerSpectrumTwoSided") return {12, 0, 0};
  if (name == "CrossPowerSpectrum" || name == "TransferFunction") return {12, 1, 1};
  if (name == "engine/complex") return {12, 0, 0};
  return {4, 0, 0};  // engine/real: the half-complex spectrum
}

// Largest difference between the sides' results, relative to the largest
// magnitude of ours.
double Disagreement(const Arrays& x, const Arrays& y, int n, Results r) {
  const int count = r.half ? n / 2 : n;
  const double* ours[] = {x.a, x.b, x.c, x.d};
  const double* theirs[] = {y.a, y.b, y.c, y.d};
  double worst = 0;
  for (int i = 0; i < 4; ++i) {
    if (!(r.arrays & (1 << i))) continue;
    const bool angle = r.phases && i == 3;
    double scale = 0, diff = 0;
    for (int k = 0; k < count; ++k) {
      scale = std::max(scale, std::fabs(ours[i][k]));
      double d = ours[i][k] - theirs[i][k];
      if (angle) d = std::remainder(d, 2 * 3.141592653589793);
      diff = std::max(diff, std::fabs(d));
    }
    worst = std::max(worst, angle ? diff : diff / std::max(scale, 1e-300));
  }
  return worst;
}

// Calls per timed batch: enough work per clock reading for the small sizes.
int Batch(int n) { return n >= 4096 ? 1 : 4096 / n; }

double TimeBatch(const Call& f, std::vector<Arrays>& sets, const Vec& a0, const Vec& b0,
                 bool count) {
  for (Arrays& s : sets) {
    std::memcpy(s.a, a0.data(), a0.size() * sizeof(double));
    std::memcpy(s.b, b0.data(), b0.size() * sizeof(double));
  }
  g_counting = count;
  const auto t0 = Clock::now();
  for (Arrays& s : sets) f(s);
  const auto t1 = Clock::now();
  g_counting = false;
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(t1 - t0).count();
}

void Compare(benchmark::State& state, int n, const Side& ours, const Side& peer, Results results) {
  std::mt19937_64 g(n);
  std::uniform_real_distribution<double> u(-1, 1);
  Vec a0(n), b0(n);
  for (int i = 0; i < n; ++i) {
    a0[i] = u(g);
    b0[i] = u(g);
  }
  const int batch = Batch(n);
  std::vector<Arrays> mine(batch, Arrays(n)), theirs(batch, Arrays(n));
  // Warm-up, untimed: our plan is built and cached, scratch grown.
  TimeBatch(ours.call, mine, a0, b0, false);
  if (peer.call) {
    TimeBatch(peer.call, theirs, a0, b0, false);
    const double off = Disagreement(mine[0], theirs[0], n, results);
    if (!(off < 1e-9)) {
      state.SkipWithError(("results differ from the peer's by " + std::to_string(off)).c_str());
      return;
    }
  }
  const long before = g_allocations;
  double t_ours = 0, t_peer = 0;
  for (auto _ : state) {
    const double t = TimeBatch(ours.call, mine, a0, b0, true);
    t_ours += t;
    if (peer.call) t_peer += TimeBatch(peer.call, theirs, a0, b0, false);
    state.SetIterationTime(t);
  }
  const double calls = static_cast<double>(state.iterations()) * batch;
  state.counters["ours_ns"] = t_ours / calls * 1e9;
  state.counters["peer_ns"] = t_peer / calls * 1e9;
  state.counters["ratio"] = t_peer > 0 ? t_ours / t_peer : 0.0;
  state.counters["allocations"] = static_cast<double>(g_allocations - before);
}

// --- Our side: the exports, and the engine on a held plan ------------------

Side Export(const std::string& name, int n) {
  const int64_t m = n;
  if (name == "ComplexFft") return {[m](Arrays& s) { ZMXFunc77(s.a, s.b, m); }, {}};
  if (name == "InverseComplexFft") return {[m](Arrays& s) { ZMXFunc102(s.a, s.b, m); }, {}};
  if (name == "RealFft") return {[m](Arrays& s) { ZMXFunc147(s.a, s.b, m); }, {}};
  if (name == "InverseRealFft") return {[m](Arrays& s) { ZMXFunc148(s.a, s.b, m); }, {}};
  if (name == "PowerSpectrumTwoSided") return {[m](Arrays& s) { ZMXFunc161(s.a, m); }, {}};
  if (name == "PowerSpectrum")
    return {[m](Arrays& s) {
              double df;
              ZMXFunc10(s.a, m, 0.001, s.c, &df);
            },
            {}};
  if (name == "CrossPowerSpectrumTwoSided")
    return {[m](Arrays& s) { ZMXFunc36(s.a, s.b, m, s.c, s.d); }, {}};
  if (name == "CrossPowerSpectrum")
    return {[m](Arrays& s) {
              double df;
              ZMXFunc37(s.a, s.b, m, 0.001, s.c, s.d, &df);
            },
            {}};
  if (name == "TransferFunction")
    return {[m](Arrays& s) {
              double df;
              ZMXFunc176(s.a, s.b, m, 0.001, s.c, s.d, &df);
            },
            {}};
  std::abort();
}

Side Engine(bool real, int n) {
  auto plan =
      std::shared_ptr<qm::fft::FftPlan>(qm::fft::FftPlanAcquire(n), qm::fft::FftPlanRelease);
  qm::fft::FftPlan* p = plan.get();
  if (real) return {[p, n](Arrays& s) { qm::fft::FftRealForward(p, s.a, s.c, 1, 1, n); }, plan};
  return {[p, n](Arrays& s) { qm::fft::FftComplexForward(p, s.a, s.b, s.c, s.d, 1, 1, n); }, plan};
}

// The least an export could cost: the engine on a plan held by the caller,
// with the same copies and unfolding as the export (the peer of the
// "overhead" rows, which measure what holding the plan for the call, the
// scratch and the boundary checks add).
Side BareEngine(const std::string& name, int n) {
  auto plan =
      std::shared_ptr<qm::fft::FftPlan>(qm::fft::FftPlanAcquire(n), qm::fft::FftPlanRelease);
  qm::fft::FftPlan* p = plan.get();
  if (name == "ComplexFft" || name == "InverseComplexFft") {
    const bool inverse = name == "InverseComplexFft";
    return {[p, n, inverse](Arrays& s) {
              if (inverse)
                qm::fft::FftComplexInverse(p, s.a, s.b, s.c, s.d, 1, 1, n);
              else
                qm::fft::FftComplexForward(p, s.a, s.b, s.c, s.d, 1, 1, n);
              std::memcpy(s.a, s.c, n * sizeof(double));
              std::memcpy(s.b, s.d, n * sizeof(double));
            },
            plan};
  }
  if (name == "RealFft")
    return {[p, n](Arrays& s) {
              double* x = s.a;
              double* y = s.b;
              qm::fft::FftRealForward(p, x, y, 1, 1, n);
              x[0] = y[0];
              y[0] = 0.0;
              for (int k = 1; 2 * k < n; ++k) {
                const double re = y[k], im = y[n - k];
                x[k] = x[n - k] = re;
                y[k] = im;
                y[n - k] = -im;
              }
              if (n % 2 == 0) {
                x[n / 2] = y[n / 2];
                y[n / 2] = 0.0;
              }
            },
            plan};
  return {[p, n](Arrays& s) {  // InverseRealFft
            double* re = s.a;
            double* im = s.b;
            for (int j = n / 2 + 1; j < n; ++j) im[j] = -im[j];
            std::memcpy(im, re, sizeof(double) * (n / 2 + 1));
            qm::fft::FftRealInverse(p, im, re, 1, 1, n);
          },
          plan};
}

// --- The peer: FFTW -------------------------------------------------------

#ifdef QM_HAVE_FFTW

// An FFTW_MEASURE plan with the buffers it was made for.
struct FftwPlan {
  fftw_plan plan = nullptr;
  fftw_complex* cin = nullptr;   // complex input (c2c, c2r)
  fftw_complex* cout = nullptr;  // complex output (c2c, r2c), or a second r2c output
  double* rin = nullptr;         // real input (r2c)
  double* rout = nullptr;        // real output (c2r)
  ~FftwPlan() {
    if (plan) fftw_destroy_plan(plan);
    fftw_free(cin);
    fftw_free(cout);
    fftw_free(rin);
    fftw_free(rout);
  }
};

enum class FftwKind { kForward, kBackward, kRealToComplex, kComplexToReal, kSplit, kHalfComplex };

// Plans are made once per kind and length (MEASURE planning is slow).
std::shared_ptr<FftwPlan> Plan(FftwKind kind, int n) {
  static std::map<std::pair<int, int>, std::shared_ptr<FftwPlan>> plans;
  auto& slot = plans[{static_cast<int>(kind), n}];
  if (slot) return slot;
  auto p = std::make_shared<FftwPlan>();
  const int h = n / 2 + 1;
  switch (kind) {
    case FftwKind::kForward:
    case FftwKind::kBackward:
      p->cin = fftw_alloc_complex(n);
      p->cout = fftw_alloc_complex(n);
      p->plan =
          fftw_plan_dft_1d(n, p->cin, p->cout,
                           kind == FftwKind::kForward ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_MEASURE);
      break;
    case FftwKind::kRealToComplex:
      p->rin = fftw_alloc_real(n);
      p->cout = fftw_alloc_complex(h);
      p->cin = fftw_alloc_complex(h);  // a second output, for two spectra
      p->plan = fftw_plan_dft_r2c_1d(n, p->rin, p->cout, FFTW_MEASURE);
      break;
    case FftwKind::kComplexToReal:
      p->cin = fftw_alloc_complex(h);
      p->rout = fftw_alloc_real(n);
      p->plan = fftw_plan_dft_c2r_1d(n, p->cin, p->rout, FFTW_MEASURE);
      break;
    case FftwKind::kSplit: {
      // Split arrays in and out, laid out as in Arrays (a, b in; c, d out).
      const std::size_t stride = Stride(n);
      p->rin = fftw_alloc_real(4 * stride);
      fftw_iodim dim = {n, 1, 1};
      p->plan = fftw_plan_guru_split_dft(1, &dim, 0, nullptr, p->rin, p->rin + stride,
                                         p->rin + 2 * stride, p->rin + 3 * stride, FFTW_MEASURE);
      break;
    }
    case FftwKind::kHalfComplex: {
      p->rin = fftw_alloc_real(n);
      p->rout = fftw_alloc_real(n);
      fftw_r2r_kind k = FFTW_R2HC;
      p->plan = fftw_plan_r2r_1d(n, p->rin, p->rout, k, FFTW_MEASURE);
      break;
    }
  }
  return slot = p;
}

double Sq(double v) { return v * v; }

// The FFTW route to each export's result, in the export's layout.
Side Peer(const std::string& name, int n) {
  const double nn = static_cast<double>(n) * n;
  const int half = n / 2;
  if (name == "ComplexFft" || name == "InverseComplexFft") {
    const bool inverse = name == "InverseComplexFft";
    auto p = Plan(inverse ? FftwKind::kBackward : FftwKind::kForward, n);
    const double scale = inverse ? 1.0 / n : 1.0;
    return {[p, n, inverse, scale](Arrays& s) {
              double* re = s.a;
              double* im = s.b;
              for (int j = 0; j < n; ++j) {
                p->cin[j][0] = re[j];
                p->cin[j][1] = im[j];
              }
              fftw_execute(p->plan);
              if (inverse) {
                for (int k = 0; k < n; ++k) {
                  re[k] = p->cout[k][0] * scale;
                  im[k] = p->cout[k][1] * scale;
                }
              } else {
                for (int k = 0; k < n; ++k) {
                  re[k] = p->cout[k][0];
                  im[k] = p->cout[k][1];
                }
              }
            },
            p};
  }
  if (name == "InverseRealFft") {
    auto p = Plan(FftwKind::kComplexToReal, n);
    return {[p, n](Arrays& s) {
              double* re = s.a;
              const double* im = s.b;
              p->cin[0][0] = re[0];
              p->cin[0][1] = 0.0;
              for (int k = 1; 2 * k < n; ++k) {
                p->cin[k][0] = re[k];
                p->cin[k][1] = -im[n - k];
              }
              if (n % 2 == 0) {
                p->cin[n / 2][0] = re[n / 2];
                p->cin[n / 2][1] = 0.0;
              }
              fftw_execute(p->plan);
              const double scale = 1.0 / n;
              for (int j = 0; j < n; ++j) re[j] = p->rout[j] * scale;
            },
            p};
  }
  auto p = Plan(FftwKind::kRealToComplex, n);
  // X into p->cout (and Y into p->cin) from the real inputs.
  auto spectra = [p](const double* x, const double* y) {
    fftw_execute_dft_r2c(p->plan, const_cast<double*>(x), p->cout);
    if (y) fftw_execute_dft_r2c(p->plan, const_cast<double*>(y), p->cin);
  };
  if (name == "RealFft")
    return {[p, n, spectra](Arrays& s) {
              double* x = s.a;
              double* y = s.b;
              spectra(x, nullptr);
              const fftw_complex* X = p->cout;
              x[0] = X[0][0];
              y[0] = 0.0;
              for (int k = 1; 2 * k < n; ++k) {
                x[k] = x[n - k] = X[k][0];
                y[k] = X[k][1];
                y[n - k] = -X[k][1];
              }
              if (n % 2 == 0) {
                x[n / 2] = X[n / 2][0];
                y[n / 2] = 0.0;
              }
            },
            p};
  if (name == "PowerSpectrumTwoSided")
    return {[p, n, nn, spectra](Arrays& s) {
              double* x = s.a;
              spectra(x, nullptr);
              const fftw_complex* X = p->cout;
              for (int k = 0; 2 * k <= n; ++k) x[k] = (Sq(X[k][0]) + Sq(X[k][1])) / nn;
              for (int k = 1; 2 * k < n; ++k) x[n - k] = x[k];
            },
            p};
  if (name == "PowerSpectrum")
    return {[p, n, nn, half, spectra](Arrays& s) {
              spectra(s.a, nullptr);
              const fftw_complex* X = p->cout;
              double* out = s.c;
              for (int k = 0; k < half; ++k) {
                const double v = (Sq(X[k][0]) + Sq(X[k][1])) / nn;
                out[k] = k == 0 ? v : 2.0 * v;
              }
              benchmark::DoNotOptimize(1.0 / (n * 0.001));
            },
            p};
  if (name == "CrossPowerSpectrumTwoSided")
    return {[p, n, nn, spectra](Arrays& s) {
              spectra(s.a, s.b);
              const fftw_complex* X = p->cout;
              const fftw_complex* Y = p->cin;
              double* re = s.c;
              double* im = s.d;
              for (int k = 0; 2 * k <= n; ++k) {
                re[k] = (X[k][0] * Y[k][0] + X[k][1] * Y[k][1]) / nn;
                im[k] = (X[k][0] * Y[k][1] - X[k][1] * Y[k][0]) / nn;
              }
              for (int k = 1; 2 * k < n; ++k) {
                re[n - k] = re[k];
                im[n - k] = -im[k];
              }
            },
            p};
  if (name == "CrossPowerSpectrum" || name == "TransferFunction") {
    const bool transfer = name == "TransferFunction";
    return {[p, nn, half, transfer, spectra](Arrays& s) {
              spectra(s.a, s.b);
              const fftw_complex* X = p->cout;
              const fftw_complex* Y = p->cin;
              double* mag = s.c;
              double* phase = s.d;
              for (int k = 0; k < half; ++k) {
                const double xr = X[k][0], xi = X[k][1], yr = Y[k][0], yi = Y[k][1];
                double re, im;
                if (transfer) {
                  const double d = xr * xr + xi * xi;
                  re = (yr * xr + yi * xi) / d;
                  im = (yi * xr - yr * xi) / d;
                } else {
                  re = (xr * yr + xi * yi) / nn;
                  im = (xr * yi - xi * yr) / nn;
                }
                const double m = std::sqrt(re * re + im * im);
                mag[k] = transfer || k == 0 ? m : 2.0 * m;
                phase[k] = std::atan2(im, re);
              }
            },
            p};
  }
  std::abort();
}

Side EnginePeer(bool real, int n) {
  if (real) {
    auto p = Plan(FftwKind::kHalfComplex, n);
    return {[p](Arrays& s) { fftw_execute_r2r(p->plan, s.a, s.c); }, p};
  }
  auto p = Plan(FftwKind::kSplit, n);
  return {[p](Arrays& s) { fftw_execute_split_dft(p->plan, s.a, s.b, s.c, s.d); }, p};
}

#else

Side Peer(const std::string&, int) { return {}; }
Side EnginePeer(bool, int) { return {}; }

#endif

const char* const kExports[] = {"ComplexFft",
                                "InverseComplexFft",
                                "RealFft",
                                "InverseRealFft",
                                "PowerSpectrum",
                                "PowerSpectrumTwoSided",
                                "CrossPowerSpectrum",
                                "CrossPowerSpectrumTwoSided",
                                "TransferFunction"};

std::string Name(const std::string& group, const std::string& what, int n) {
  return group + "/" + what + "/" + std::to_string(n);
}

// Keeps the counters of each benchmark: of its median over the repetitions
// when there are several, else of its one run.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  struct Row {
    double ours = 0, peer = 0, ratio = 0, allocations = 0;
  };
  std::map<std::string, Row> rows;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type != Run::RT_Iteration && !median) continue;
      auto get = [&](const char* key) {
        auto it = r.counters.find(key);
        return it == r.counters.end() ? 0.0 : it->second.value;
      };
      Row row{get("ours_ns"), get("peer_ns"), get("ratio"), get("allocations")};
      Row& slot = rows[r.run_name.function_name];
      if (median) {
        slot.ours = row.ours;
        slot.peer = row.peer;
        slot.ratio = row.ratio;
      } else {
        slot = Row{row.ours, row.peer, row.ratio, slot.allocations + row.allocations};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

void PrintTable(const TableReporter& reporter) {
  std::printf("\nours / FFTW route (FFTW_MEASURE), ns per call; medians over repetitions\n");
  std::printf("%-34s", "export \\ n");
  for (int n : kSizes) std::printf(" %7d", n);
  std::printf("\n");
  auto line = [&](const std::string& group, const std::string& what) {
    std::printf("%-34s", (group == "export" ? what : group + " " + what).c_str());
    for (int n : kSizes) {
      auto it = reporter.rows.find(Name(group, what, n));
      if (it == reporter.rows.end() || it->second.ratio == 0) {
        std::printf(" %7s", "-");
      } else {
        std::printf(" %7.2f", it->second.ratio);
      }
    }
    std::printf("\n");
  };
  for (const char* e : kExports) line("export", e);
  line("engine", "complex");
  line("engine", "real");
  std::printf("\nexport / the same work on a plan held by the caller (the export's overhead)\n");
  for (const char* e : {"ComplexFft", "InverseComplexFft", "RealFft", "InverseRealFft"})
    line("overhead", e);
  double allocations = 0;
  for (const auto& [name, row] : reporter.rows)
    if (name.rfind("export/", 0) == 0) allocations += row.allocations;
  std::printf("heap allocations inside timed export calls: %.0f\n", allocations);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (const char* e : kExports) {
    for (int n : kSizes) {
      const std::string what = e;
      benchmark::RegisterBenchmark(Name("export", what, n).c_str(), [what, n](benchmark::State& s) {
        Compare(s, n, Export(what, n), Peer(what, n), ResultsOf(what));
      })->UseManualTime();
    }
  }
  // What the exports add to the engine they run (ours: the export; peer:
  // the same work on a plan held by the caller).
  for (const char* e : {"ComplexFft", "InverseComplexFft", "RealFft", "InverseRealFft"}) {
    for (int n : kSizes) {
      const std::string what = e;
      benchmark::RegisterBenchmark(Name("overhead", what, n).c_str(), [what,
                                                                       n](benchmark::State& s) {
        Compare(s, n, Export(what, n), BareEngine(what, n), ResultsOf(what));
      })->UseManualTime();
    }
  }
  // The internal engine on a held plan (out of place, no unfolding), for
  // reference: not what callers see.
  for (bool real : {false, true}) {
    for (int n : kSizes) {
      benchmark::RegisterBenchmark(Name("engine", real ? "real" : "complex", n).c_str(),
                                   [real, n](benchmark::State& s) {
                                     Compare(s, n, Engine(real, n), EnginePeer(real, n),
                                             ResultsOf(real ? "engine/real" : "engine/complex"));
                                   })
          ->UseManualTime();
    }
  }
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintTable(reporter);
  benchmark::Shutdown();
  return 0;
}
