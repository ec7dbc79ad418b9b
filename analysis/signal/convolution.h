// Linear convolution, cross-correlation and deconvolution of real sequences.
//
// Definitions (terms outside an input are zero; d = 0 … n+m-2):
//   convolution  out[d] = sum_i x[i] y[d-i]
//   correlation  out[d] = sum_k x[k] y[k+d-(n-1)]   (out[n-1] is lag 0)
// computed directly (the defining sums, in a fixed order of accumulation) or
// through zero-padded real FFTs on the shared engine.
//
// The FFT convolution is also an internal building block (the chirp-Z
// transform runs on it): ConvolutionFftLength picks the length, and
// FftConvolveOnPlan convolves on a plan and work space the caller holds, so
// repeated convolutions of one length acquire nothing.
//
// Counts are 32-bit; outputs hold n + m - 1 doubles (deconvolution: n - m +
// 1) and may overlap the inputs. Every check comes before anything is
// written.
#pragma once

#include <cstdint>

#include "fft/fft_engine.h"
#include "frame/status.h"

namespace qm::signal {

// Algorithm codes.
enum ConvolutionAlgorithm : std::int32_t {
  kDirect = 0,
  kFrequencyDomain = 1,
};

// Normalisation codes of the correlation.
enum CorrelationNormalization : std::int32_t {
  kNoNormalization = 0,
  kUnbiased = 1,  // each lag divided by the number of products in it
  kBiased = 2,    // every lag divided by max(n, m)
};

// The smallest length >= count (count >= 1) whose prime factors all lie in
// {2, 3, 5, 7, 11, 13, 17, 19, 29, 31, 37, 41, 43}; 0 when that length does
// not fit in 32 bits.
std::int64_t ConvolutionFftLength(std::int64_t count);

// out = a * b bin by bin for half-complex spectra of `length` (bin 0 and the
// Nyquist bin of an even length real, the other bins complex); out may be a
// or b.
void MultiplyHalfComplex(const double* a, const double* b, double* out, std::int32_t length);

// Full linear convolution out[0 … n+m-2] of x (taken in reverse order when
// reverse_x: the correlation of x with y) with y, through real FFTs on
// `plan`, of length `length` >= n + m - 1. work holds 3 * length doubles and
// must not overlap x, y or out; out may overlap x or y. Returns the engine's
// status.
Status FftConvolveOnPlan(const fft::FftPlan* plan, std::int32_t length, const double* x,
                         std::int32_t n, bool reverse_x, const double* y, std::int32_t m,
                         double* work, double* out);

// Convolution by the chosen algorithm. Checks in order: n < 1 or m < 1
// (kCountNotPositive); n + m - 1 beyond 32 bits (kOverflow); an algorithm
// other than kDirect and kFrequencyDomain (kBadSelection); for the FFT an
// FFT length beyond 32 bits (kOverflow); then scratch and plan (kOutOfMemory).
Status ConvolveWithAlgorithm(const double* x, std::int32_t n, const double* y, std::int32_t m,
                             std::int32_t algorithm, double* out);
// Through the FFT.
Status Convolve(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out);

// Cross-correlation of x with y by the chosen algorithm, then the
// normalisation; an unknown normalisation code gives kBadSelection with the
// other checks, before anything is computed. The correlation of an array
// with itself (same pointer and count) by the FFT takes one transform.
Status CorrelateNormalized(const double* x, std::int32_t n, const double* y, std::int32_t m,
                           std::int32_t algorithm, std::int32_t normalization, double* out);
Status CorrelateWithAlgorithm(const double* x, std::int32_t n, const double* y, std::int32_t m,
                              std::int32_t algorithm, double* out);
// Through the FFT, no normalisation.
Status Correlate(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out);

// out[0 … n-m] = x with x * h = y (y of n samples, kernel h of m): spectral
// division on real FFTs of the power of two L >= n, or, when a bin of H is
// below min(1e-9, L * eps) in both parts, the all-pole recursion with the
// kernel (its leading zeros skipped) as feedback coefficients. Checks in
// order: n < 1 or m < 1 (kCountNotPositive); n < m (kWrongDataCount); an
// all-zero kernel (kAllZero); L beyond 32 bits (kOverflow); scratch and plan
// (kOutOfMemory).
Status DeconvolveLinear(const double* y, std::int32_t n, const double* h, std::int32_t m,
                        double* out);

}  // namespace qm::signal
