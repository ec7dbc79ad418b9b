// Linear convolution and cross-correlation, direct and through the FFT.
#include "signal/convolution.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "frame/workspace.h"

namespace qm::signal {
namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// True when the doubles [a, a + na) and [b, b + nb) share an element.
bool Overlap(const double* a, std::int64_t na, const double* b, std::int64_t nb) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a), pb = reinterpret_cast<std::uintptr_t>(b);
  return pa < pb + static_cast<std::uintptr_t>(nb) * sizeof(double) &&
         pb < pa + static_cast<std::uintptr_t>(na) * sizeof(double);
}

// out[i + j] += x[i] y[j], j inside i, on a cleared out.
void DirectConvolution(const double* __restrict x, std::int32_t n, const double* __restrict y,
                       std::int32_t m, double* __restrict out) {
  std::memset(out, 0, sizeof(double) * (static_cast<std::size_t>(n) + m - 1));
  for (std::int32_t i = 0; i < n; ++i) {
    const double xi = x[i];
    double* o = out + i;
    // In blocks of four, which the compiler turns into vector operations;
    // each output still receives its products in the order of i.
    std::int32_t j = 0;
    for (; j + 4 <= m; j += 4) {
      o[j] += xi * y[j];
      o[j + 1] += xi * y[j + 1];
      o[j + 2] += xi * y[j + 2];
      o[j + 3] += xi * y[j + 3];
    }
    for (; j < m; ++j) o[j] += xi * y[j];
  }
}

// For each y[j] in turn, out[j + k] += x[n-1-k] y[j], on a cleared out.
void DirectCorrelation(const double* __restrict x, std::int32_t n, const double* __restrict y,
                       std::int32_t m, double* __restrict out) {
  std::memset(out, 0, sizeof(double) * (static_cast<std::size_t>(n) + m - 1));
  const double* last = x + (n - 1);
  for (std::int32_t j = 0; j < m; ++j) {
    const double yj = y[j];
    double* o = out + j;
    std::int32_t k = 0;
    for (; k + 4 <= n; k += 4) {
      o[k] += last[-k] * yj;
      o[k + 1] += last[-k - 1] * yj;
      o[k + 2] += last[-k - 2] * yj;
      o[k + 3] += last[-k - 3] * yj;
    }
    for (; k < n; ++k) o[k] += last[-k] * yj;
  }
}

// n + m - 1, formed without an intermediate overflow (n + m may exceed 32
// bits when the result does not); callers have checked that it fits.
std::int32_t Outputs(std::int32_t n, std::int32_t m) {
  return static_cast<std::int32_t>(std::int64_t{n} + m - 1);
}

using DirectKernel = void (*)(const double*, std::int32_t, const double*, std::int32_t, double*);

// The direct sums into out, or into scratch first when out overlaps an
// input (the sums clear out before they read the inputs).
Status RunDirect(DirectKernel kernel, const double* x, std::int32_t n, const double* y,
                 std::int32_t m, double* out) {
  const std::int32_t count = Outputs(n, m);
  if (!Overlap(out, count, x, n) && !Overlap(out, count, y, m)) {
    kernel(x, n, y, m, out);
    return kSuccess;
  }
  Scratch<double> sums;
  if (Status s = sums.Allocate(static_cast<std::size_t>(count))) return s;
  kernel(x, n, y, m, sums.data());
  std::memcpy(out, sums.data(), sizeof(double) * count);
  return kSuccess;
}

// Length and plan of an FFT convolution of `count` outputs.
Status FftLength(std::int32_t count, std::int32_t* length) {
  const std::int64_t l = ConvolutionFftLength(count);
  if (l == 0) return kOverflow;
  *length = static_cast<std::int32_t>(l);
  return kSuccess;
}

// Autocorrelation of x through one transform: the inverse of the power
// spectrum holds the lags 0 … n-1 at its start and the lags -(n-1) … -1 at
// its end.
Status FftAutocorrelation(const double* x, std::int32_t n, double* out) {
  std::int32_t length = 0;
  if (Status s = FftLength(Outputs(n, n), &length)) return s;
  const std::size_t l = static_cast<std::size_t>(length);
  ThreadScratch<double> work;
  if (Status s = work.Allocate(2 * l)) return s;
  fft::FftPlanHold plan(length);
  if (!plan) return kOutOfMemory;
  double* a = work.data();
  double* b = a + l;
  std::memcpy(a, x, sizeof(double) * n);
  std::memset(a + n, 0, sizeof(double) * (l - n));
  if (Status s = fft::FftRealForward(plan, a, b, 1, 1, length)) return s;
  b[0] = b[0] * b[0];
  for (std::int32_t k = 1; 2 * k < length; ++k) {
    const double re = b[k], im = b[length - k];
    b[k] = re * re + im * im;
    b[length - k] = 0.0;
  }
  if (length % 2 == 0) b[length / 2] = b[length / 2] * b[length / 2];
  if (Status s = fft::FftRealInverse(plan, b, a, 1, 1, length)) return s;
  std::memcpy(out + (n - 1), a, sizeof(double) * n);
  std::memcpy(out, a + (length - n + 1), sizeof(double) * (n - 1));
  return kSuccess;
}

Status FftConvolution(const double* x, std::int32_t n, bool reverse_x, const double* y,
                      std::int32_t m, double* out) {
  std::int32_t length = 0;
  if (Status s = FftLength(Outputs(n, m), &length)) return s;
  ThreadScratch<double> work;
  if (Status s = work.Allocate(3 * static_cast<std::size_t>(length))) return s;
  fft::FftPlanHold plan(length);
  if (!plan) return kOutOfMemory;
  return FftConvolveOnPlan(plan, length, x, n, reverse_x, y, m, work.data(), out);
}

// Checks shared by convolution and correlation, in their order.
Status CheckCounts(std::int32_t n, std::int32_t m, std::int32_t algorithm) {
  if (n < 1 || m < 1) return kCountNotPositive;
  if (std::int64_t{n} + m - 1 > kMaxCount) return kOverflow;  // Outputs(n, m) fits from here
  if (algorithm != kDirect && algorithm != kFrequencyDomain) return kBadSelection;
  return kSuccess;
}

// Divides each lag of the correlation by the number of products in it, or
// every lag by max(n, m).
void Normalize(double* out, std::int32_t n, std::int32_t m, std::int32_t normalization) {
  const std::int32_t a = std::min(n, m), b = std::max(n, m);
  if (normalization == kBiased) {
    const double scale = b;
    for (std::int32_t d = 0; d < Outputs(n, m); ++d) out[d] /= scale;
    return;
  }
  for (std::int32_t d = 0; d < a - 1; ++d) out[d] /= d + 1;
  for (std::int32_t d = a - 1; d < b; ++d) out[d] /= a;
  for (std::int32_t k = 0; k < a - 1; ++k) out[b + k] /= a - 1 - k;
}

}  // namespace

std::int64_t ConvolutionFftLength(std::int64_t count) {
  static constexpr std::int64_t kPrimes[] = {2, 3, 5, 7, 11, 13, 17, 19, 29, 31, 37, 41, 43};
  for (std::int64_t l = std::max<std::int64_t>(count, 1); l <= kMaxCount; ++l) {
    std::int64_t rest = l;
    for (std::int64_t p : kPrimes)
      while (rest % p == 0) rest /= p;
    if (rest == 1) return l;
  }
  return 0;
}

void MultiplyHalfComplex(const double* a, const double* b, double* out, std::int32_t length) {
  out[0] = a[0] * b[0];
  for (std::int32_t k = 1; 2 * k < length; ++k) {
    const double ar = a[k], ai = a[length - k], br = b[k], bi = b[length - k];
    out[k] = ar * br - ai * bi;
    out[length - k] = ar * bi + ai * br;
  }
  if (length % 2 == 0) out[length / 2] = a[length / 2] * b[length / 2];
}

Status FftConvolveOnPlan(const fft::FftPlan* plan, std::int32_t length, const double* x,
                         std::int32_t n, bool reverse_x, const double* y, std::int32_t m,
                         double* work, double* out) {
  const std::size_t l = static_cast<std::size_t>(length);
  double* a = work;
  double* b = a + l;
  double* c = b + l;
  if (reverse_x) {
    for (std::int32_t k = 0; k < n; ++k) a[k] = x[n - 1 - k];
  } else {
    std::memcpy(a, x, sizeof(double) * n);
  }
  std::memset(a + n, 0, sizeof(double) * (l - n));
  std::memcpy(b, y, sizeof(double) * m);
  std::memset(b + m, 0, sizeof(double) * (l - m));
  if (Status s = fft::FftRealForward(plan, a, c, 1, 1, length)) return s;
  if (Status s = fft::FftRealForward(plan, b, a, 1, 1, length)) return s;
  MultiplyHalfComplex(c, a, c, length);
  if (Status s = fft::FftRealInverse(plan, c, b, 1, 1, length)) return s;
  std::memcpy(out, b, sizeof(double) * (static_cast<std::size_t>(n) + m - 1));
  return kSuccess;
}

Status ConvolveWithAlgorithm(const double* x, std::int32_t n, const double* y, std::int32_t m,
                             std::int32_t algorithm, double* out) {
  if (Status s = CheckCounts(n, m, algorithm)) return s;
  if (algorithm == kDirect) return RunDirect(DirectConvolution, x, n, y, m, out);
  return FftConvolution(x, n, false, y, m, out);
}

Status Convolve(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out) {
  return ConvolveWithAlgorithm(x, n, y, m, kFrequencyDomain, out);
}

Status CorrelateNormalized(const double* x, std::int32_t n, const double* y, std::int32_t m,
                           std::int32_t algorithm, std::int32_t normalization, double* out) {
  if (Status s = CheckCounts(n, m, algorithm)) return s;
  if (normalization != kNoNormalization && normalization != kUnbiased && normalization != kBiased)
    return kBadSelection;
  Status s = kSuccess;
  if (algorithm == kDirect) {
    s = RunDirect(DirectCorrelation, x, n, y, m, out);
  } else if (x == y && n == m) {
    s = FftAutocorrelation(x, n, out);
  } else {
    s = FftConvolution(x, n, true, y, m, out);
  }
  if (s != kSuccess) return s;
  if (normalization != kNoNormalization) Normalize(out, n, m, normalization);
  return kSuccess;
}

Status CorrelateWithAlgorithm(const double* x, std::int32_t n, const double* y, std::int32_t m,
                              std::int32_t algorithm, double* out) {
  return CorrelateNormalized(x, n, y, m, algorithm, kNoNormalization, out);
}

Status Correlate(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out) {
  return CorrelateNormalized(x, n, y, m, kFrequencyDomain, kNoNormalization, out);
}

}  // namespace qm::signal
