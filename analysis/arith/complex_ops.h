// Complex arithmetic on scalar pairs and on pairs of parallel arrays (real
// parts, imaginary parts; never interleaved).
//
// Scalar routines return their result through two out-pointers; the array
// routines take 32-bit counts (kCountNotPositive below 1) and allow an output
// to be any of the inputs.
#pragma once

#include <cmath>
#include <cstdint>

#include "frame/status.h"

namespace qm::arith {

// x / y by scaled division, which never forms yr^2 + yi^2 (so it neither
// overflows nor underflows where the quotient itself is representable). A
// zero divisor is not detected: the result follows IEEE arithmetic. Used by
// every complex quotient of the library.
inline void ComplexQuotient(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  if (std::fabs(yr) >= std::fabs(yi)) {
    const double r = yi / yr;
    const double den = r * yi + yr;
    const double qr = (r * xi + xr) / den;
    const double qi = (xi - r * xr) / den;
    *zr = qr;
    *zi = qi;
  } else {
    const double r = yr / yi;
    const double den = r * yr + yi;
    const double qr = (r * xr + xi) / den;
    const double qi = (r * xi - xr) / den;
    *zr = qr;
    *zi = qi;
  }
}

// (xr + yr, xi + yi).
Status ComplexAdd(double xr, double xi, double yr, double yi, double* zr, double* zi);
// (xr - yr, xi - yi).
Status ComplexSubtract(double xr, double xi, double yr, double yi, double* zr, double* zi);
// (xr*yr - xi*yi, xi*yr + xr*yi).
Status ComplexMultiply(double xr, double xi, double yr, double yi, double* zr, double* zi);
// ComplexQuotient; always 0.
Status ComplexDivide(double xr, double xi, double yr, double yi, double* zr, double* zi);
// e^xr (cos xi, sin xi); (e^xr, 0) without trigonometry when xi is 0.
Status ComplexExp(double xr, double xi, double* zr, double* zi);
// (ln|x|, atan2(xi, xr)); kDivideByZero for x = 0.
Status ComplexLn(double xr, double xi, double* zr, double* zi);
// (log10|x|, atan2(xi, xr) * log10(e)); kDivideByZero for x = 0.
Status ComplexLog10(double xr, double xi, double* zr, double* zi);
// |x|^a (cos a*theta, sin a*theta) with theta = atan2(xi, xr). A zero base
// gives (0, 0) for a > 0 and kDivideByZero for a <= 0.
Status ComplexPower(double xr, double xi, double a, double* zr, double* zi);
// 1 / x; kDivideByZero for x = 0.
Status ComplexReciprocal(double xr, double xi, double* zr, double* zi);
// sqrt|x| (cos theta/2, sin theta/2); (0, 0) for x = 0.
Status ComplexSqrt(double xr, double xi, double* zr, double* zi);

// Element-wise over parallel arrays.
Status ComplexArrayAdd(const double* xr, const double* xi, const double* yr, const double* yi,
                       std::int32_t n, double* zr, double* zi);
Status ComplexArraySubtract(const double* xr, const double* xi, const double* yr, const double* yi,
                            std::int32_t n, double* zr, double* zi);
Status ComplexArrayMultiply(const double* xr, const double* xi, const double* yr, const double* yi,
                            std::int32_t n, double* zr, double* zi);
// Element-wise ComplexQuotient (no zero check).
Status ComplexArrayDivide(const double* xr, const double* xi, const double* yr, const double* yi,
                          std::int32_t n, double* zr, double* zi);
// z[i] = x[i] * a + b in complex arithmetic (multiply, then add).
Status ComplexArrayScaleOffset(const double* xr, const double* xi, std::int32_t n, double ar,
                               double ai, double br, double bi, double* zr, double* zi);

}  // namespace qm::arith
