// The mixed-radix FFT engine and its plan cache.
//
// Every FFT-based operation of the library runs on this engine: the
// transforms and spectra, convolution and correlation, the cosine and sine
// transforms, the chirp-Z transform and the interleaved front ends.
//
// Contract
//  - Plans: `FftPlanAcquire(n)` returns the shared plan of length n (built on
//    the first request, then reference-counted in a cache guarded by the
//    process-wide mutex); every successful acquisition is paired with one
//    `FftPlanRelease`, most simply through an `FftPlanHold`. A plan is
//    read-only for the transforms, so any number of threads may run
//    transforms of one plan at once; acquiring and releasing is thread-safe
//    too.
//  - Idle plans: a plan whose last reference is released stays in the cache
//    as idle, so that the next acquisition of its length is a lookup. At
//    most 16 idle plans and 64 MiB of idle plan memory are kept (the idle
//    plan used last is kept whatever its size); beyond, the least recently
//    used idle plans are freed. A plan counts with the sub-plans it holds
//    (Rader stages, the half-length plan of its real transforms): they are
//    referenced by it, so never idle while it exists. Referenced plans are
//    never freed. Unloading the library frees every plan.
//  - Data: complex data are two parallel arrays (real parts, imaginary parts)
//    addressed with an element stride (any non-zero stride, negative allowed);
//    real spectra use the half-complex layout of length n: element 0 is bin 0,
//    element k (1 ≤ k ≤ n/2) the real part of bin k, element n − k
//    (1 ≤ k < n/2) its imaginary part.
//  - Outputs must not overlap inputs (the transforms are out of place);
//    `FftRealInverse` also overwrites its input (it is used as work space).
//  - Forward transforms are unscaled, X[k] = Σ x[j]·e^(−2πi·jk/n); inverse
//    transforms carry the factor 1/n.
//  - Status: 0, -20001 when work space for a Rader stage or an odd real
//    length cannot be obtained, -20999 when n is not the plan's length or the
//    plan is null (internal misuse only; the exports always pass a plan of
//    the right length, so they never return it from here).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "fft/fft_kernels.h"
#include "frame/status.h"
#include "frame/workspace.h"

namespace qm::fft {

inline constexpr int kFftMaxFactors = 20;

// Doubles left between the real and the imaginary parts of a scratch
// transform: for a power of two n, parts exactly n apart would share cache
// sets row for row in every stage.
inline constexpr std::int32_t kFftScratchGap = 40;

// Stage kinds.
enum : std::int32_t {
  kFftFixedKernel = 0,   // generated straight-line kernel
  kFftGenericPrime = 1,  // generic prime butterfly (primes below 50 without a kernel)
  kFftRader = 2,         // Rader's algorithm (primes from 50)
};

struct FftPlan;

// A table of a plan: a workspace block owned by the plan, freed with it. It
// reads like the pointer it holds (null until allocated).
template <class T>
class FftTable {
 public:
  FftTable() = default;
  FftTable(const FftTable&) = delete;
  FftTable& operator=(const FftTable&) = delete;
  ~FftTable() { WorkspaceFree(data_); }
  // Room for `count` elements (uninitialised); false when memory is short.
  bool Allocate(std::size_t count) {
    WorkspaceFree(data_);
    data_ = nullptr;
    if (count > SIZE_MAX / sizeof(T)) return false;
    void* block = nullptr;
    if (WorkspaceAlloc(&block, count * sizeof(T)) != kSuccess) return false;
    data_ = static_cast<T*>(block);
    return true;
  }
  operator T*() const { return data_; }
  T* get() const { return data_; }

 private:
  T* data_ = nullptr;
};

// Shared plan of length n (created on a miss); null when n < 1 or memory is
// short.
FftPlan* FftPlanAcquire(std::int32_t n);
// Drops one reference; the last one leaves the plan idle in the cache. Null
// is ignored.
void FftPlanRelease(FftPlan* plan);

// One reference to a shared plan, released when the holder goes: the
// transforms hold their plan for one call with it, plans hold their
// sub-plans with it. Reads like the plan pointer (null when the acquisition
// failed).
class FftPlanHold {
 public:
  FftPlanHold() = default;
  explicit FftPlanHold(std::int32_t n) : plan_(FftPlanAcquire(n)) {}
  ~FftPlanHold() { FftPlanRelease(plan_); }
  FftPlanHold(const FftPlanHold&) = delete;
  FftPlanHold& operator=(const FftPlanHold&) = delete;
  // Holds the plan of length n instead (the former one is released); false
  // when it cannot be had.
  bool Acquire(std::int32_t n) {
    FftPlanRelease(plan_);
    plan_ = FftPlanAcquire(n);
    return plan_ != nullptr;
  }
  // Gives up the reference without releasing it (the caller takes it over).
  FftPlan* Forget() {
    FftPlan* p = plan_;
    plan_ = nullptr;
    return p;
  }
  FftPlan* get() const { return plan_; }
  operator FftPlan*() const { return plan_; }
  FftPlan* operator->() const { return plan_; }

 private:
  FftPlan* plan_ = nullptr;
};

// Rader stage of prime p: a cyclic convolution of length p − 1.
struct FftRaderData {
  FftPlanHold sub;                       // plan of length p − 1, from the cache
  FftTable<std::int32_t> power;          // p entries: g^q mod p (q < p − 1)
  FftTable<std::int32_t> inverse_power;  // p entries: g^(−q) mod p
  FftTable<double> kernel_re;            // p − 1 entries: DFT of w^(g^(−q)) / (p − 1)
  FftTable<double> kernel_im;
};

struct FftStage {
  std::int32_t remaining = 0;    // L: the length this stage combines
  FftTable<double> twiddle_cos;  // (r − 1)·(L/r − 1): cos(2π·j·k/L)
  FftTable<double> twiddle_sin;  // the same count: −sin(2π·j·k/L)
  FftTable<double> root_cos;     // generic prime: cos(2π·q/r), q < r
  FftTable<double> root_sin;     // generic prime: sin(2π·q/r)
  FftRaderData rader;
};

struct FftKernels {
  fft::RealFirstKernel real_first = nullptr;
  fft::RealTwiddleKernel real_twiddle = nullptr;
  fft::ComplexFirstKernel complex_first = nullptr;
  fft::ComplexTwiddleKernel complex_twiddle = nullptr;
};

// Unfolding data of an even real length n = 2h: the complex plan of h and
// the factors e^(−2πi·k/n), k = 0 … h/2. Built on the first real transform.
struct FftRealData {
  FftPlanHold half;
  FftTable<double> cos;
  FftTable<double> sin;   // −sin(2π·k/n)
  std::size_t bytes = 0;  // of this record and its tables
  bool wide = false;      // unfold and fold four bins at a time (AVX2; the same bits)
};

// Cache bookkeeping of a plan, guarded by the process-wide mutex.
struct FftCacheEntry {
  FftPlan* previous = nullptr;  // every plan of the cache, most recently acquired first
  FftPlan* next = nullptr;
  FftPlan* idle_older = nullptr;  // idle plans, by last use
  FftPlan* idle_newer = nullptr;
  bool idle = false;
  std::uint64_t last_use = 0;  // stamp of the last acquisition or release by a caller
  std::size_t idle_bytes = 0;  // charged to the idle budget while idle
};

struct FftPlan {
  FftPlan() = default;
  FftPlan(const FftPlan&) = delete;
  FftPlan& operator=(const FftPlan&) = delete;
  ~FftPlan();  // frees the real data and, through the members, every table

  std::int32_t length = 0;
  std::int32_t references = 0;  // guarded by the process-wide mutex
  std::int32_t factors[kFftMaxFactors] = {};
  std::int32_t stage_kinds[kFftMaxFactors] = {};
  std::int32_t factor_count = 0;
  FftStage stage_data[kFftMaxFactors];
  FftKernels kernels[kFftMaxFactors];
  // Factors 2, r (4, r; 8, r) with a pair (quad, octet) kernel for r: the
  // whole unit-stride transform in one kernel.
  fft::ComplexPairKernel fused = nullptr;
  // Doubles of work space one complex transform needs (Rader stages, nested).
  std::size_t work_size = 0;
  mutable std::atomic<FftRealData*> real_data{nullptr};
  std::size_t table_bytes = 0;  // of this record and its own tables (not sub-plans)
  FftCacheEntry cache;
};

Status FftComplexForward(const FftPlan* plan, const double* inRe, const double* inIm, double* outRe,
                         double* outIm, std::ptrdiff_t inStride, std::ptrdiff_t outStride,
                         std::int32_t n);
Status FftComplexInverse(const FftPlan* plan, const double* inRe, const double* inIm, double* outRe,
                         double* outIm, std::ptrdiff_t inStride, std::ptrdiff_t outStride,
                         std::int32_t n);
// The DFT of n interleaved complex values (in[2j] real, in[2j + 1]
// imaginary) into out the same way; the inverse scaled by 1/n. in may be
// out.
Status FftComplexInterleaved(const FftPlan* plan, const double* in, double* out, std::int32_t n,
                             bool inverse);
// Real data to the half-complex layout, unscaled.
Status FftRealForward(const FftPlan* plan, const double* in, double* out, std::ptrdiff_t inStride,
                      std::ptrdiff_t outStride, std::int32_t n);
// Half-complex to real data, scaled by 1/n; `data` is overwritten.
Status FftRealInverse(const FftPlan* plan, double* data, double* out, std::ptrdiff_t inStride,
                      std::ptrdiff_t outStride, std::int32_t n);
// Real data x to its full spectrum (unit strides): real parts into x,
// imaginary parts into y, bin k at k for k = 0 … n − 1 (the upper half the
// conjugates of the lower).
Status FftRealForwardFull(const FftPlan* plan, double* x, double* y, std::int32_t n);
// Real data in to its full spectrum as n interleaved pairs in out (2n
// doubles, bin k at out[2k], out[2k + 1]); in and out do not overlap.
Status FftRealForwardInterleaved(const FftPlan* plan, const double* in, double* out,
                                 std::int32_t n);
// Real data into out (unit strides, scaled by 1/n) from a Hermitian
// spectrum: real parts of bins 0 … n/2 at re, imaginary parts of bins
// n/2 + 1 … n − 1 at im (nothing else is read); im is overwritten, out may
// be re.
Status FftRealInverseFull(const FftPlan* plan, const double* re, double* im, double* out,
                          std::int32_t n);

// Bounds of the idle plans: their number and their bytes (a plan with the
// sub-plans it holds).
struct FftIdleLimits {
  int plans = 16;
  std::size_t bytes = std::size_t{64} << 20;
};
// Sets the bounds and frees idle plans beyond them; returns the former
// bounds (for tests).
FftIdleLimits SetFftIdleLimits(FftIdleLimits limits);
// Frees every idle plan (and the sub-plans that become idle with them).
void FftReleaseIdlePlans();
// Frees every plan, referenced or not: the library's unload step (no
// transform may run any more).
void FftPlanCacheClose();

// Number of plans in the cache, referenced and idle (for tests).
int FftCachedPlanCount();
// Number of idle plans and the bytes charged for them (for tests).
int FftIdlePlanCount();
std::size_t FftIdlePlanBytes();
// Whether the cache holds a plan of length n, looked up without touching it
// (for tests).
bool FftPlanIsCached(std::int32_t n);
// Plans built since the library was loaded, including ones that lost a race
// to another thread's (for tests).
std::int64_t FftPlanBuildCount();
// Reference count of a plan, read under the mutex (for tests).
std::int32_t FftPlanReferenceCount(const FftPlan* plan);

}  // namespace qm::fft

namespace qm::fft {

// The unfolding data of an even-length plan, built and published on first
// use (null when memory is short). For the engine's real transforms.
const FftRealData* RealDataOf(const FftPlan* plan);

}  // namespace qm::fft
