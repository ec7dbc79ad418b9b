// Chirp-Z transform: the z-transform of a finite sequence on the spiral
// z_k = A·W^(−k),
//   X[k] = Σ_{j<n} x[j]·A^(−j)·W^(j·k),   k = 0 … m − 1,
// by direct summation (method 0) or by Bluestein's convolution (method 1).
// A = 1, W = e^(−2πi/n), m = n is the DFT.
//
// A and W are (real, imaginary) pairs; complex input and the output are
// interleaved. m < 1 means m = n. X may be x (every input is read before X is
// written). Checks in order: n < 1 (kCountNotPositive); a method other than
// 0 and 1 (kBadSelection); A with an infinity, a NaN or ±DBL_MAX or ±DBL_MIN
// in a part (kNotFinite), |A|² = 0 (kZeroNumber); the same two for W; for
// Bluestein an FFT length beyond 32 bits (kOverflow); scratch and plan
// (kOutOfMemory); then the status of a failing complex power.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::fft {

enum ChirpZMethod : std::int32_t {
  kChirpZDirect = 0,
  kChirpZBluestein = 1,
};

Status ChirpZ(const double* x, std::int32_t n, const double* a, const double* w,
              std::int32_t method, std::int32_t m, double* out);
Status ComplexChirpZ(const double* x, std::int32_t n, const double* a, const double* w,
                     std::int32_t method, std::int32_t m, double* out);

// W^(j·k) by one complex power, the exponent j·k formed in 64 bits (a 32-bit
// product wraps once it passes 2^31). The building block of the direct sum.
Status ChirpZPowerOfProduct(double wr, double wi, std::int32_t j, std::int32_t k, double* zr,
                            double* zi);

}  // namespace qm::fft
