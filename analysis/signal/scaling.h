// Array scaling, polynomial evaluation and coordinate conversion.
//
// Element-wise routines on arrays of doubles with 32-bit counts (the export
// boundary has narrowed the sizes and rejected null pointers). A count below
// 1 gives kCountNotPositive with nothing written; an output array may be the
// input array. No state, no allocation.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::signal {

// s = max |x[i]| (NaN elements are never the maximum); out[i] = x[i] * (1/s),
// or a plain copy when s = 0. *scale = s.
Status ScaleByMaxAbs1D(const double* x, std::int32_t n, double* out, double* scale);

// Maps the minimum of x to -1 and the maximum to +1: *scale is half the
// range, *offset the mid-range and out[i] = (x[i] - offset) * (1/scale).
// When 1/scale is not finite (constant data) *scale = 1, *offset = max and
// out[i] = x[i] - max. When every element is NaN both outputs are NaN and
// out is a copy of x.
Status ScaleToUnitRange1D(const double* x, std::int32_t n, double* out, double* offset,
                          double* scale);

// out[i] = sum over k < m of c[k] * x[i]^k (ascending powers), the powers
// built by repeated multiplication. m < 1 gives kCountNotPositive.
Status PolynomialEvaluate1D(const double* x, std::int32_t n, const double* c, std::int32_t m,
                            double* out);

// magnitude = |re + i im|, phase = atan2(im, re) in radians; (0, 0) (with
// either zero sign) gives (0, 0).
Status RectToPolar(double re, double im, double* magnitude, double* phase);

// Element-wise RectToPolar; magnitude may be re and phase may be im.
Status RectToPolarArray(const double* re, const double* im, std::int32_t n, double* magnitude,
                        double* phase);

// re = magnitude cos(phase), im = magnitude sin(phase).
Status PolarToRect(double magnitude, double phase, double* re, double* im);

// Element-wise PolarToRect; re may be magnitude and im may be phase.
Status PolarToRectArray(const double* magnitude, const double* phase, std::int32_t n, double* re,
                        double* im);

}  // namespace qm::signal
