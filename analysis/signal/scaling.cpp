// Array scaling, polynomial evaluation and coordinate conversion, with the
// export rows at the bottom of the file.
#include "signal/scaling.h"

#include <cmath>
#include <limits>

#include "arith/array_ops.h"

namespace qm::signal {

Status ScaleByMaxAbs1D(const double* x, std::int32_t n, double* out, double* scale) {
  if (n < 1) return kCountNotPositive;
  const double s = arith::MaxAbs(x, n);
  *scale = s;
  if (s == 0.0) return arith::ArrayCopy(x, n, out);
  const double r = 1.0 / s;
  for (std::int32_t i = 0; i < n; ++i) out[i] = x[i] * r;
  return kSuccess;
}

Status ScaleToUnitRange1D(const double* x, std::int32_t n, double* out, double* offset,
                          double* scale) {
  if (n < 1) return kCountNotPositive;
  const arith::Extremes e = arith::FindExtremes(x, n);
  if (e.max_index < 0) {  // every element NaN: the NaNs are the result
    *offset = e.max;
    *scale = e.max;
    return arith::ArrayCopy(x, n, out);
  }
  // Half the range; halved first when the difference itself overflows
  // (data spanning more than DBL_MAX), so the mid-range stays finite.
  double half = (e.max - e.min) / 2.0;
  if (std::isinf(half) && std::isfinite(e.max) && std::isfinite(e.min)) {
    half = e.max / 2.0 - e.min / 2.0;
  }
  const double r = 1.0 / half;
  if (std::isfinite(r)) {
    const double mid = e.min + half;
    *offset = mid;
    *scale = half;
    for (std::int32_t i = 0; i < n; ++i) out[i] = (x[i] - mid) * r;
    return kSuccess;
  }
  // Constant data (or a range too small to invert).
  *offset = e.max;
  *scale = 1.0;
  for (std::int32_t i = 0; i < n; ++i) out[i] = x[i] - e.max;
  return kSuccess;
}

Status PolynomialEvaluate1D(const double* x, std::int32_t n, const double* c, std::int32_t m,
                            double* out) {
  if (n < 1 || m < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double v = x[i];
    // Explicit powers, term by term from c[0] (not the nested form).
    double power = 1.0;
    double sum = c[0];
    for (std::int32_t k = 1; k < m; ++k) {
      power *= v;
      sum += c[k] * power;
    }
    out[i] = sum;
  }
  return kSuccess;
}

namespace {

void ToPolar(double re, double im, double* magnitude, double* phase) {
  if (re == 0.0 && im == 0.0) {  // atan2 of signed zeros would give +-pi
    *magnitude = 0.0;
    *phase = 0.0;
    return;
  }
  // hypot: sqrt(re^2 + im^2) without the overflow or underflow of the squares.
  *magnitude = std::hypot(re, im);
  *phase = std::atan2(im, re);
}

}  // namespace

Status RectToPolar(double re, double im, double* magnitude, double* phase) {
  ToPolar(re, im, magnitude, phase);
  return kSuccess;
}

Status RectToPolarArray(const double* re, const double* im, std::int32_t n, double* magnitude,
                        double* phase) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    double m, p;
    ToPolar(re[i], im[i], &m, &p);
    magnitude[i] = m;
    phase[i] = p;
  }
  return kSuccess;
}

Status PolarToRect(double magnitude, double phase, double* re, double* im) {
  *re = magnitude * std::cos(phase);
  *im = magnitude * std::sin(phase);
  return kSuccess;
}

Status PolarToRectArray(const double* magnitude, const double* phase, std::int32_t n, double* re,
                        double* im) {
  if (n < 1) return kCountNotPositive;
  for (std::int32_t i = 0; i < n; ++i) {
    const double m = magnitude[i], p = phase[i];
    const double r = m * std::cos(p);
    const double s = m * std::sin(p);
    re[i] = r;
    im[i] = s;
  }
  return kSuccess;
}

}  // namespace qm::signal
