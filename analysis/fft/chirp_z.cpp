// Chirp-Z transform by the direct sum and by Bluestein's method.
//
// Bluestein: with c[t] = W^(−t²/2), j·k = (j² + k² − (k − j)²)/2 gives
// W^(j·k) = c[k − j]/(c[j]·c[k]), so
//   X[k] = (1/c[k])·Σ_j y[j]·c[k − j],   y[j] = x[j]·A^(−j)/c[j],
// the convolution of y (n values) with the chirp h[u] = c[u − (n − 1)],
// u = 0 … n + m − 2, read at index k + n − 1. c is even in t, so the chirp is
// computed for t = 0 … max(n, m) − 1 and read at |t|. The convolution is
// circular on the FFT length L >= n + m − 1: the wrapped terms land on the
// indexes below n − 1 only, which are never read.
#include "fft/chirp_z.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "arith/complex_ops.h"
#include "fft/fft_engine.h"
#include "frame/workspace.h"
#include "signal/convolution.h"

namespace qm::fft {
namespace {

bool IsExtreme(double v) {
  const double a = std::fabs(v);
  return !std::isfinite(v) || a == DBL_MAX || a == DBL_MIN;
}

// -20068 for an extreme part, -20141 for |z|² = 0.
Status CheckPoint(const double* z) {
  if (IsExtreme(z[0]) || IsExtreme(z[1])) return kNotFinite;
  if (z[0] * z[0] + z[1] * z[1] == 0.0) return kZeroNumber;
  return kSuccess;
}

Status CheckArguments(std::int32_t n, const double* a, const double* w, std::int32_t method) {
  if (n < 1) return kCountNotPositive;
  if (method != kChirpZDirect && method != kChirpZBluestein) return kBadSelection;
  if (Status s = CheckPoint(a)) return s;
  return CheckPoint(w);
}

// Input sample j as a complex pair.
inline void Sample(const double* x, bool complex_input, std::int32_t j, double* re, double* im) {
  if (complex_input) {
    *re = x[2 * static_cast<std::size_t>(j)];
    *im = x[2 * static_cast<std::size_t>(j) + 1];
  } else {
    *re = x[j];
    *im = 0.0;
  }
}

Status Direct(const double* x, bool complex_input, std::int32_t n, double ar, double ai, double wr,
              double wi, std::int32_t m, double* out) {
  // y[j] = x[j]·A^(−j), A^(−j) by the backward recurrence from A^(1 − n).
  Scratch<double> work;
  if (Status s = work.Allocate(2 * static_cast<std::size_t>(n))) return s;
  double* y = work.data();
  double pr = 0.0, pi = 0.0;
  if (Status s = arith::ComplexPower(ar, ai, 1.0 - static_cast<double>(n), &pr, &pi)) return s;
  for (std::int32_t j = n - 1;; --j) {
    double xr = 0.0, xi = 0.0;
    Sample(x, complex_input, j, &xr, &xi);
    y[2 * j] = xr * pr - xi * pi;
    y[2 * j + 1] = xr * pi + xi * pr;
    if (j == 0) break;
    const double qr = ar * pr - ai * pi;
    pi = ar * pi + ai * pr;
    pr = qr;
  }
  for (std::int32_t k = 0; k < m; ++k) {
    double sr = 0.0, si = 0.0;
    for (std::int32_t j = 0; j < n; ++j) {
      double er = 0.0, ei = 0.0;
      if (Status s = ChirpZPowerOfProduct(wr, wi, j, k, &er, &ei)) return s;
      sr += y[2 * j] * er - y[2 * j + 1] * ei;
      si += y[2 * j] * ei + y[2 * j + 1] * er;
    }
    out[2 * static_cast<std::size_t>(k)] = sr;
    out[2 * static_cast<std::size_t>(k) + 1] = si;
  }
  return kSuccess;
}

Status Bluestein(const double* x, bool complex_input, std::int32_t n, double ar, double ai,
                 double wr, double wi, std::int32_t m, double* out) {
  const std::int64_t wide = signal::ConvolutionFftLength(std::int64_t{n} + m - 1);
  if (wide == 0) return kOverflow;
  const std::int32_t length = static_cast<std::int32_t>(wide);
  const std::size_t l = static_cast<std::size_t>(length);
  const std::int32_t span = std::max(n, m);
  // One block: the chirp (span pairs), then six arrays of L.
  ThreadScratch<double> work;
  if (Status s = work.Allocate(2 * static_cast<std::size_t>(span) + 6 * l)) return s;
  FftPlanHold plan(length);
  if (!plan) return kOutOfMemory;
  double* c = work.data();
  double* yr = c + 2 * static_cast<std::size_t>(span);
  double* yi = yr + l;
  double* hr = yi + l;
  double* hi = hr + l;
  double* fr = hi + l;
  double* fi = fr + l;

  for (std::int32_t t = 0; t < span; ++t) {
    const double tt = static_cast<double>(std::int64_t{t} * t);
    if (Status s = arith::ComplexPower(wr, wi, -0.5 * tt, &c[2 * t], &c[2 * t + 1])) return s;
  }
  for (std::int32_t j = 0; j < n; ++j) {
    double pr = 0.0, pi = 0.0;
    if (Status s = arith::ComplexPower(ar, ai, -static_cast<double>(j), &pr, &pi)) return s;
    double xr = 0.0, xi = 0.0;
    Sample(x, complex_input, j, &xr, &xi);
    arith::ComplexQuotient(xr * pr - xi * pi, xr * pi + xi * pr, c[2 * j], c[2 * j + 1], &yr[j],
                           &yi[j]);
  }
  std::fill(yr + n, yr + l, 0.0);
  std::fill(yi + n, yi + l, 0.0);
  // h[u] = c[|u − (n − 1)|] for u ≤ n + m − 2, zero beyond.
  const std::size_t chirp_count = static_cast<std::size_t>(n) + m - 1;
  for (std::size_t u = 0; u < chirp_count; ++u) {
    const std::int64_t t = static_cast<std::int64_t>(u) - (n - 1);
    const std::size_t at = static_cast<std::size_t>(t < 0 ? -t : t);
    hr[u] = c[2 * at];
    hi[u] = c[2 * at + 1];
  }
  std::fill(hr + chirp_count, hr + l, 0.0);
  std::fill(hi + chirp_count, hi + l, 0.0);

  if (Status s = FftComplexForward(plan, yr, yi, fr, fi, 1, 1, length)) return s;
  if (Status s = FftComplexForward(plan, hr, hi, yr, yi, 1, 1, length)) return s;
  for (std::size_t q = 0; q < l; ++q) {
    const double pr = fr[q] * yr[q] - fi[q] * yi[q];
    const double pi = fr[q] * yi[q] + fi[q] * yr[q];
    hr[q] = pr;
    hi[q] = pi;
  }
  if (Status s = FftComplexInverse(plan, hr, hi, fr, fi, 1, 1, length)) return s;
  for (std::int32_t k = 0; k < m; ++k) {
    const std::size_t at = static_cast<std::size_t>(k) + n - 1;
    arith::ComplexQuotient(fr[at], fi[at], c[2 * k], c[2 * k + 1],
                           &out[2 * static_cast<std::size_t>(k)],
                           &out[2 * static_cast<std::size_t>(k) + 1]);
  }
  return kSuccess;
}

Status Run(const double* x, bool complex_input, std::int32_t n, const double* a, const double* w,
           std::int32_t method, std::int32_t m, double* out) {
  if (Status s = CheckArguments(n, a, w, method)) return s;
  if (m < 1) m = n;
  // A and W may lie in the output: take them first.
  const double ar = a[0], ai = a[1], wr = w[0], wi = w[1];
  if (method == kChirpZDirect) return Direct(x, complex_input, n, ar, ai, wr, wi, m, out);
  return Bluestein(x, complex_input, n, ar, ai, wr, wi, m, out);
}

}  // namespace

Status ChirpZPowerOfProduct(double wr, double wi, std::int32_t j, std::int32_t k, double* zr,
                            double* zi) {
  const std::int64_t e = std::int64_t{j} * k;
  return arith::ComplexPower(wr, wi, static_cast<double>(e), zr, zi);
}

Status ChirpZ(const double* x, std::int32_t n, const double* a, const double* w,
              std::int32_t method, std::int32_t m, double* out) {
  return Run(x, false, n, a, w, method, m, out);
}

Status ComplexChirpZ(const double* x, std::int32_t n, const double* a, const double* w,
                     std::int32_t method, std::int32_t m, double* out) {
  return Run(x, true, n, a, w, method, m, out);
}

}  // namespace qm::fft
