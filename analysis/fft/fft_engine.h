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
//    `FftPlanRelease`. A plan is read-only for the transforms, so any number
//    of threads may run transforms of one plan at once; acquiring and
//    releasing is thread-safe too.
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

namespace qm::fft {

inline constexpr int kFftMaxFactors = 20;

// Stage kinds.
enum : std::int32_t {
  kFftFixedKernel = 0,   // generated straight-line kernel
  kFftGenericPrime = 1,  // generic prime butterfly (primes below 50 without a kernel)
  kFftRader = 2,         // Rader's algorithm (primes from 50)
};

struct FftPlan;

// Rader stage of prime p: a cyclic convolution of length p − 1.
struct FftRaderData {
  FftPlan* sub = nullptr;                 // plan of length p − 1, from the cache
  std::int32_t* power = nullptr;          // p entries: g^q mod p (q < p − 1)
  std::int32_t* inverse_power = nullptr;  // p entries: g^(−q) mod p
  double* kernel_re = nullptr;            // p − 1 entries: DFT of w^(g^(−q)) / (p − 1)
  double* kernel_im = nullptr;
};

struct FftStage {
  std::int32_t remaining = 0;     // L: the length this stage combines
  double* twiddle_cos = nullptr;  // (r − 1)·(L/r − 1): cos(2π·j·k/L)
  double* twiddle_sin = nullptr;  // the same count: −sin(2π·j·k/L)
  double* root_cos = nullptr;     // generic prime: cos(2π·q/r), q < r
  double* root_sin = nullptr;     // generic prime: sin(2π·q/r)
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
  FftPlan* half = nullptr;
  double* cos = nullptr;
  double* sin = nullptr;  // −sin(2π·k/n)
};

struct FftPlan {
  std::int32_t length = 0;
  std::int32_t references = 0;  // guarded by the process-wide mutex
  std::int32_t factors[kFftMaxFactors] = {};
  std::int32_t stage_kinds[kFftMaxFactors] = {};
  std::int32_t factor_count = 0;
  FftStage stage_data[kFftMaxFactors];
  FftKernels kernels[kFftMaxFactors];
  // Doubles of work space one complex transform needs (Rader stages, nested).
  std::size_t work_size = 0;
  mutable std::atomic<FftRealData*> real_data{nullptr};
  FftPlan* previous = nullptr;  // cache list, guarded by the mutex
  FftPlan* next = nullptr;
};

// Shared plan of length n (created on a miss); null when n < 1 or memory is
// short.
FftPlan* FftPlanAcquire(std::int32_t n);
// Drops one reference; the last one unlinks and frees the plan. Null is
// ignored.
void FftPlanRelease(FftPlan* plan);

Status FftComplexForward(const FftPlan* plan, const double* inRe, const double* inIm, double* outRe,
                         double* outIm, std::ptrdiff_t inStride, std::ptrdiff_t outStride,
                         std::int32_t n);
Status FftComplexInverse(const FftPlan* plan, const double* inRe, const double* inIm, double* outRe,
                         double* outIm, std::ptrdiff_t inStride, std::ptrdiff_t outStride,
                         std::int32_t n);
// Real data to the half-complex layout, unscaled.
Status FftRealForward(const FftPlan* plan, const double* in, double* out, std::ptrdiff_t inStride,
                      std::ptrdiff_t outStride, std::int32_t n);
// Half-complex to real data, scaled by 1/n; `data` is overwritten.
Status FftRealInverse(const FftPlan* plan, double* data, double* out, std::ptrdiff_t inStride,
                      std::ptrdiff_t outStride, std::int32_t n);

// Number of plans in the cache (for tests).
int FftCachedPlanCount();
// Reference count of a plan, read under the mutex (for tests).
std::int32_t FftPlanReferenceCount(const FftPlan* plan);

}  // namespace qm::fft

namespace qm::fft {

// The unfolding data of an even-length plan, built and published on first
// use (null when memory is short). For the engine's real transforms.
const FftRealData* RealDataOf(const FftPlan* plan);

}  // namespace qm::fft
