// Discrete cosine and sine transforms of real data, in one and two
// dimensions, through the real FFT of symmetrically extended data.
//
//   Dct        y[k] = c_k·Σ_{j<m} x[j]·cos(π·k·(2j + 1)/(2m)),
//              c_0 = √(1/m), c_k = √(2/m) (orthonormal type II)
//   InverseDct the orthonormal type III, the exact inverse of Dct with m = n
//   Dst        y[k] = Σ_{j<m} x[j]·sin(π·(j + 1)·(k + 1)/(m + 1)) (type I, unscaled)
//   InverseDst the same sum over n values times 2/(n + 1)
//
// The forward 1-D transforms take a transform length m: m < 1 means n;
// beyond n the input is padded with zeros, below n only its first m values
// are used; the output has m values. Plans: the cosine transforms use length
// m (even m, by the reordering of the m-point real FFT) or 2m (odd m, the
// even extension); the sine transforms use 2m + 2 (the odd extension).
// Checks: n (rows, cols) < 1 → -20003, a plan length beyond 32 bits →
// -20046, no plan or scratch → -20001. Outputs may be the inputs. The 2-D
// transforms run the 1-D one over every row of x into y, then over every
// column of y in place.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::fft {

Status Dct(const double* x, std::int32_t n, std::int32_t m, double* y);
Status InverseDct(const double* x, std::int32_t n, double* y);
Status Dst(const double* x, std::int32_t n, std::int32_t m, double* y);
Status InverseDst(const double* x, std::int32_t n, double* y);

Status Dct2D(const double* x, std::int32_t rows, std::int32_t cols, double* y);
Status InverseDct2D(const double* x, std::int32_t rows, std::int32_t cols, double* y);
Status Dst2D(const double* x, std::int32_t rows, std::int32_t cols, double* y);
Status InverseDst2D(const double* x, std::int32_t rows, std::int32_t cols, double* y);

}  // namespace qm::fft
