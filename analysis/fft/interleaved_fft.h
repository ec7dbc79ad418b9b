// FFT front ends on interleaved complex data (real, imaginary pairs), with
// an optional caller-held plan handle, a transform length other than the
// data length (zero padding or truncation), a centred layout and 2-D forms.
//
// Centred layout (shift ≠ 0) of length m: bin 0 at index ⌊m/2⌋, new[j] =
// old[(j + m − ⌊m/2⌋) mod m] (per dimension in 2-D); the inverse transforms
// undo it before transforming. Forward transforms are unscaled, inverse ones
// carry 1/n (1/(rows·cols) in 2-D). Outputs may be the inputs.
//
// Status: -20003 for n < 1 (forward), n < 0 (inverse), rows or cols < 1;
// -20070 for a handle of another length; -20001 when no plan or scratch can
// be had (so an inverse of n = 0 without a handle, which reads nothing).
#pragma once

#include <cstdint>

#include "fft/plan_handles.h"
#include "frame/status.h"

namespace qm::fft {

// out: the m complex bins of the real x (n values; m ≤ 0 means n).
Status RealFftInterleaved(const double* x, std::int32_t n, std::int32_t m, const FftHandle* plan,
                          std::int32_t shift, double* out);
// out: the m complex bins of the complex x (n values).
Status ComplexFftInterleaved(const double* x, std::int32_t n, std::int32_t m, const FftHandle* plan,
                             std::int32_t shift, double* out);
// out: n real values from the full spectrum X, of which only bins
// 0 … ⌊n/2⌋ are read (the other half is taken as their conjugates).
Status InverseRealFftInterleaved(const double* X, std::int32_t n, const FftHandle* plan,
                                 std::int32_t shift, double* out);
Status InverseComplexFftInterleaved(const double* X, std::int32_t n, const FftHandle* plan,
                                    std::int32_t shift, double* out);

// out: the transform_rows × transform_cols spectrum (≤ 0 means rows, cols)
// of the zero-padded or truncated array.
Status RealFft2D(const double* x, std::int32_t rows, std::int32_t cols, std::int32_t transform_rows,
                 std::int32_t transform_cols, std::int32_t shift, double* out);
Status ComplexFft2D(const double* x, std::int32_t rows, std::int32_t cols,
                    std::int32_t transform_rows, std::int32_t transform_cols, std::int32_t shift,
                    double* out);
// out: the real parts (rows × cols doubles) of the 2-D inverse of X.
Status InverseRealFft2D(const double* X, std::int32_t rows, std::int32_t cols, std::int32_t shift,
                        double* out);
Status InverseComplexFft2D(const double* X, std::int32_t rows, std::int32_t cols,
                           std::int32_t shift, double* out);

}  // namespace qm::fft
