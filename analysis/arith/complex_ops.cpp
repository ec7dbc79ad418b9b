// Complex scalar and split-array arithmetic.
//
// Moduli are formed with hypot rather than sqrt(xr^2 + xi^2): the squares
// overflow above about 1e154 and underflow below about 1e-154, which would
// turn ln, log10, powers, roots and reciprocals of perfectly ordinary
// numbers into infinities, zeros or spurious divide-by-zero errors. The zero
// tests are therefore on the number itself (both parts zero).
#include "arith/complex_ops.h"

#include <cmath>

namespace qm::arith {
namespace {

// log10(e): turns the natural-log phase into the base-10 one.
constexpr double kLog10E = 0.434294481903252;

bool IsZero(double xr, double xi) { return xr == 0.0 && xi == 0.0; }

}  // namespace

Status ComplexAdd(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  *zr = xr + yr;
  *zi = xi + yi;
  return kSuccess;
}

Status ComplexSubtract(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  *zr = xr - yr;
  *zi = xi - yi;
  return kSuccess;
}

Status ComplexMultiply(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  *zr = xr * yr - xi * yi;
  *zi = xi * yr + xr * yi;
  return kSuccess;
}

Status ComplexDivide(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  ComplexQuotient(xr, xi, yr, yi, zr, zi);
  return kSuccess;
}

Status ComplexExp(double xr, double xi, double* zr, double* zi) {
  const double m = std::exp(xr);
  if (xi == 0.0) {
    *zr = m;
    *zi = 0.0;
    return kSuccess;
  }
  *zr = m * std::cos(xi);
  *zi = m * std::sin(xi);
  return kSuccess;
}

Status ComplexLn(double xr, double xi, double* zr, double* zi) {
  if (IsZero(xr, xi)) return kDivideByZero;
  *zr = std::log(std::hypot(xr, xi));
  *zi = std::atan2(xi, xr);
  return kSuccess;
}

Status ComplexLog10(double xr, double xi, double* zr, double* zi) {
  if (IsZero(xr, xi)) return kDivideByZero;
  *zr = std::log10(std::hypot(xr, xi));
  *zi = std::atan2(xi, xr) * kLog10E;
  return kSuccess;
}

Status ComplexPower(double xr, double xi, double a, double* zr, double* zi) {
  if (IsZero(xr, xi)) {
    // 0^a is 0 for a > 0; 0^0 is undefined and 0^a for a < 0 is a division
    // by zero. A NaN exponent falls through to the general formula (NaN).
    if (a > 0.0) {
      *zr = 0.0;
      *zi = 0.0;
      return kSuccess;
    }
    if (a <= 0.0) return kDivideByZero;
  }
  const double m = std::pow(std::hypot(xr, xi), a);
  const double theta = a * std::atan2(xi, xr);
  *zr = m * std::cos(theta);
  *zi = m * std::sin(theta);
  return kSuccess;
}

Status ComplexReciprocal(double xr, double xi, double* zr, double* zi) {
  if (IsZero(xr, xi)) return kDivideByZero;
  // 1 / x by the scaled quotient: d = xr^2 + xi^2 itself would overflow or
  // underflow far inside the range where 1/x is representable.
  ComplexQuotient(1.0, 0.0, xr, xi, zr, zi);
  return kSuccess;
}

Status ComplexSqrt(double xr, double xi, double* zr, double* zi) {
  if (IsZero(xr, xi)) {
    *zr = 0.0;
    *zi = 0.0;
    return kSuccess;
  }
  const double m = std::sqrt(std::hypot(xr, xi));
  const double theta = 0.5 * std::atan2(xi, xr);
  *zr = m * std::cos(theta);
  *zi = m * std::sin(theta);
  return kSuccess;
}

// ---------------------------------------------------------------------------
// Parallel arrays. Both parts of z[i] are computed into locals before either
// is stored, so any output may be any input.

Status ComplexArrayAdd(const double* xr, const double* xi, const double* yr, const double* yi,
                       std::int32_t n, double* zr, double* zi) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double re = xr[i] + yr[i];
    const double im = xi[i] + yi[i];
    zr[i] = re;
    zi[i] = im;
  }
  return kSuccess;
}

Status ComplexArraySubtract(const double* xr, const double* xi, const double* yr, const double* yi,
                            std::int32_t n, double* zr, double* zi) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double re = xr[i] - yr[i];
    const double im = xi[i] - yi[i];
    zr[i] = re;
    zi[i] = im;
  }
  return kSuccess;
}

Status ComplexArrayMultiply(const double* xr, const double* xi, const double* yr, const double* yi,
                            std::int32_t n, double* zr, double* zi) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double ar = xr[i], ai = xi[i], br = yr[i], bi = yi[i];
    zr[i] = ar * br - ai * bi;
    zi[i] = ai * br + ar * bi;
  }
  return kSuccess;
}

Status ComplexArrayDivide(const double* xr, const double* xi, const double* yr, const double* yi,
                          std::int32_t n, double* zr, double* zi) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    double re, im;
    ComplexQuotient(xr[i], xi[i], yr[i], yi[i], &re, &im);
    zr[i] = re;
    zi[i] = im;
  }
  return kSuccess;
}

Status ComplexArrayScaleOffset(const double* xr, const double* xi, std::int32_t n, double ar,
                               double ai, double br, double bi, double* zr, double* zi) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double pr = xr[i], pi = xi[i];
    const double re = pr * ar - pi * ai;
    const double im = pi * ar + pr * ai;
    zr[i] = re + br;
    zi[i] = im + bi;
  }
  return kSuccess;
}

}  // namespace qm::arith
