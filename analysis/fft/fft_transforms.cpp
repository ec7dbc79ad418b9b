// Whole-array Fourier transforms and spectra: forward and inverse FFT of
// real and complex data, power and cross-power spectra, the transfer function
// between two signals, deconvolution, and the Hilbert and Hartley transforms.
//
// Each routine holds the shared plan of its length for the call (a lookup
// once the length has been used: released plans stay cached as idle), runs
// one or two engine transforms on scratch from the thread's scratch area
// (no heap allocation in repeated calls), and post-processes the spectrum.
// Forward transforms are unscaled, inverse ones carry 1/n.
// Real spectra come from the engine in the half-complex layout: bin 0 at 0,
// Re of bin k at k (k ≤ n/2), Im of bin k at n − k (0 < k < n/2).
#include <cmath>
#include <cstring>

#include "fft/fft_engine.h"
#include "fft/fft_lanes.h"
#include "fft/fft_transforms.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

// Half-complex spectrum of the real signal x into hc (n doubles).
Status HalfComplexSpectrum(const FftPlanHold& plan, const double* x, double* hc, std::int32_t n) {
  if (!plan) return kOutOfMemory;
  return FftRealForward(plan, x, hc, 1, 1, n);
}

// Half-complex spectra of a and b, both of n > 1 points, into one scratch
// block: X = hc, Y = hc + n. Computed before any output is written, so that
// outputs may be the input arrays.
Status TwoSpectra(const FftPlanHold& plan, const double* a, const double* b, std::int32_t n,
                  ThreadScratch<double>* hc) {
  if (Status s = hc->Allocate(2 * static_cast<std::size_t>(n))) return s;
  if (Status s = HalfComplexSpectrum(plan, a, hc->data(), n)) return s;
  return HalfComplexSpectrum(plan, b, hc->data() + n, n);
}

double Square(double v) { return v * v; }

// The bin loops of the power and cross spectra four bins at a time, from the
// half-complex spectra X (and Y) of n points, with the scalar loops'
// operations in their order; each returns the first bin left to its scalar
// loop.

// out[k] = 2·((X[k]² + X[n−k]²)/nn) for k = 1 … while k + 3 < half.
[[gnu::target("avx2")]] std::int32_t OneSidedPowerWide(const double* X, std::int32_t n,
                                                       std::int32_t half, double nn, double* out) {
  std::int32_t k = 1;
  for (; k + 3 < half; k += 4) {
    const Lanes re = LoadLanes(X + k), im = LoadMirrored(X + n - k);
    StoreLanes(out + k, 2.0 * ((re * re + im * im) / nn));
  }
  return k;
}

// x[k] = x[n−k] = (X[k]² + X[n−k]²)/nn for k = 1 … while 2(k + 3) < n.
[[gnu::target("avx2")]] std::int32_t TwoSidedPowerWide(const double* X, std::int32_t n, double nn,
                                                       double* x) {
  std::int32_t k = 1;
  for (; 2 * (k + 3) < n; k += 4) {
    const Lanes re = LoadLanes(X + k), im = LoadMirrored(X + n - k);
    const Lanes p = (re * re + im * im) / nn;
    StoreLanes(x + k, p);
    StoreMirrored(x + n - k, p);
  }
  return k;
}

// conj(X)·Y/nn into re, im (with the conjugates above n/2) for k = 1 …
// while 2(k + 3) < n.
[[gnu::target("avx2")]] std::int32_t CrossWide(const double* X, const double* Y, std::int32_t n,
                                               double nn, double* re, double* im) {
  std::int32_t k = 1;
  for (; 2 * (k + 3) < n; k += 4) {
    const Lanes xr = LoadLanes(X + k), xi = LoadMirrored(X + n - k);
    const Lanes yr = LoadLanes(Y + k), yi = LoadMirrored(Y + n - k);
    const Lanes sr = (xr * yr + xi * yi) / nn, si = (xr * yi - xi * yr) / nn;
    StoreLanes(re + k, sr);
    StoreMirrored(re + n - k, sr);
    StoreLanes(im + k, si);
    StoreMirrored(im + n - k, -si);
  }
  return k;
}

}  // namespace

Status RealFft(double* x, double* y, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) {
    y[0] = 0.0;
    return kSuccess;
  }
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  return FftRealForwardFull(plan, x, y, n);
}

Status InverseRealFft(double* re, double* im, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  return FftRealInverseFull(plan, re, im, re, n);
}

namespace {

// dst[k] = src[k]·scale (the arrays do not overlap); in blocks of four,
// which the compiler turns into vector operations.
void ScaledCopy(double* __restrict dst, const double* __restrict src, std::int32_t n,
                double scale) {
  std::int32_t k = 0;
  for (; k + 4 <= n; k += 4) {
    dst[k] = src[k] * scale;
    dst[k + 1] = src[k + 1] * scale;
    dst[k + 2] = src[k + 2] * scale;
    dst[k + 3] = src[k + 3] * scale;
  }
  for (; k < n; ++k) dst[k] = src[k] * scale;
}

Status ComplexTransform(double* re, double* im, std::int32_t n, bool inverse) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  // The imaginary parts a few cache lines past the real ones: for a power
  // of two n, parts exactly n apart would share cache sets row for row.
  constexpr std::int32_t kGap = 40;
  ThreadScratch<double> out;
  if (Status s = out.Allocate(2 * static_cast<std::size_t>(n) + kGap)) return s;
  double* outRe = out.data();
  double* outIm = outRe + n + kGap;
  if (!inverse) {
    // The input copied into scratch and transformed back into place, or
    // transformed into scratch and copied back: the same work, but measured
    // here the first is 5–7 % faster at 6000 and 100000 and the second at
    // the powers of two (8192), where the scratch parts sit kGap apart.
    if ((n & (n - 1)) != 0) {
      std::memcpy(outRe, re, sizeof(double) * n);
      std::memcpy(outIm, im, sizeof(double) * n);
      return FftComplexForward(plan, outRe, outIm, re, im, 1, 1, n);
    }
    if (Status s = FftComplexForward(plan, re, im, outRe, outIm, 1, 1, n)) return s;
    std::memcpy(re, outRe, sizeof(double) * n);
    std::memcpy(im, outIm, sizeof(double) * n);
    return kSuccess;
  }
  // The unscaled inverse is the forward transform with the real and
  // imaginary parts exchanged (as FftComplexInverse runs it); the factor 1/n
  // is applied while copying back, saving a pass over the data.
  if (Status s = FftComplexForward(plan, im, re, outIm, outRe, 1, 1, n)) return s;
  const double scale = 1.0 / n;
  ScaledCopy(re, outRe, n, scale);
  ScaledCopy(im, outIm, n, scale);
  return kSuccess;
}

}  // namespace

Status ComplexFft(double* re, double* im, std::int32_t n) {
  return ComplexTransform(re, im, n, false);
}
Status InverseComplexFft(double* re, double* im, std::int32_t n) {
  return ComplexTransform(re, im, n, true);
}

Status PowerSpectrumTwoSided(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) {
    x[0] = x[0] * x[0];
    return kSuccess;
  }
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  ThreadScratch<double> hc;
  if (Status s = hc.Allocate(n)) return s;
  if (Status s = HalfComplexSpectrum(plan, x, hc.data(), n)) return s;
  const double nn = static_cast<double>(n) * static_cast<double>(n);
  x[0] = Square(hc[0]) / nn;
  for (std::int32_t k = FftWideLanes() ? TwoSidedPowerWide(hc.data(), n, nn, x) : 1; 2 * k < n;
       ++k)
    x[k] = x[n - k] = (Square(hc[k]) + Square(hc[n - k])) / nn;
  if (n % 2 == 0) x[n / 2] = Square(hc[n / 2]) / nn;
  return kSuccess;
}

Status PowerSpectrum(const double* x, std::int32_t n, double dt, double* spectrum, double* df) {
  if (n < 1) return kCountNotPositive;
  // Twice the two-sided spectrum below n/2 (bin 0 once), from one scratch
  // spectrum; n = 1 has no bin below n/2.
  if (n > 1) {
    FftPlanHold plan(n);
    if (!plan) return kOutOfMemory;
    ThreadScratch<double> hc;
    if (Status s = hc.Allocate(n)) return s;
    if (Status s = HalfComplexSpectrum(plan, x, hc.data(), n)) return s;
    const double nn = static_cast<double>(n) * static_cast<double>(n);
    const std::int32_t half = n / 2;
    spectrum[0] = Square(hc[0]) / nn;
    for (std::int32_t k = FftWideLanes() ? OneSidedPowerWide(hc.data(), n, half, nn, spectrum) : 1;
         k < half; ++k)
      spectrum[k] = 2.0 * ((Square(hc[k]) + Square(hc[n - k])) / nn);
  }
  *df = 1.0 / (n * dt);
  return kSuccess;
}

namespace {

// Two-sided cross spectrum conj(X)·Y/n² of real signals, into re and im.
Status CrossSpectrum(const double* x, const double* y, std::int32_t n, double* re, double* im) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) {
    re[0] = x[0] * y[0];
    im[0] = 0.0;
    return kSuccess;
  }
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  // Both spectra first, so that re and im may be the input arrays.
  ThreadScratch<double> hc;
  if (Status s = TwoSpectra(plan, x, y, n, &hc)) return s;
  double* X = hc.data();
  double* Y = X + n;
  const double nn = static_cast<double>(n) * static_cast<double>(n);
  re[0] = X[0] * Y[0] / nn;
  im[0] = 0.0;
  for (std::int32_t k = FftWideLanes() ? CrossWide(X, Y, n, nn, re, im) : 1; 2 * k < n; ++k) {
    const double xr = X[k], xi = X[n - k], yr = Y[k], yi = Y[n - k];
    const double sr = (xr * yr + xi * yi) / nn, si = (xr * yi - xi * yr) / nn;
    re[k] = re[n - k] = sr;
    im[k] = si;
    im[n - k] = -si;
  }
  if (n % 2 == 0) {
    re[n / 2] = X[n / 2] * Y[n / 2] / nn;
    im[n / 2] = 0.0;
  }
  return kSuccess;
}

}  // namespace

Status CrossPowerSpectrumTwoSided(const double* x, const double* y, std::int32_t n, double* re,
                                  double* im) {
  return CrossSpectrum(x, y, n, re, im);
}

Status CrossPowerSpectrum(const double* x, const double* y, std::int32_t n, double dt,
                          double* magnitude, double* phase, double* df) {
  if (n < 1) return kCountNotPositive;
  // The two-sided cross spectrum below n/2, bin by bin as CrossSpectrum
  // forms it; n = 1 has no bin below n/2.
  if (n > 1) {
    FftPlanHold plan(n);
    if (!plan) return kOutOfMemory;
    ThreadScratch<double> hc;
    if (Status s = TwoSpectra(plan, x, y, n, &hc)) return s;
    const double* X = hc.data();
    const double* Y = X + n;
    const double nn = static_cast<double>(n) * static_cast<double>(n);
    const std::int32_t half = n / 2;
    {
      const double re = X[0] * Y[0] / nn, im = 0.0;
      magnitude[0] = std::sqrt(re * re + im * im);
      phase[0] = std::atan2(im, re);
    }
    // (Bin 0 outside the loop: a test in it cost 4 % of the loop's time.)
    for (std::int32_t k = 1; k < half; ++k) {
      const double xr = X[k], xi = X[n - k], yr = Y[k], yi = Y[n - k];
      const double re = (xr * yr + xi * yi) / nn, im = (xr * yi - xi * yr) / nn;
      magnitude[k] = 2.0 * std::sqrt(re * re + im * im);
      phase[k] = std::atan2(im, re);
    }
  }
  *df = 1.0 / (n * dt);
  return kSuccess;
}

Status TransferFunction(const double* stimulus, const double* response, std::int32_t n, double dt,
                        double* magnitude, double* phase, double* df) {
  if (n < 1) return kCountNotPositive;
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  ThreadScratch<double> hc;
  if (n == 1) {
    if (Status s = hc.Allocate(2)) return s;
    hc[0] = stimulus[0];
    hc[1] = response[0];
  } else if (Status s = TwoSpectra(plan, stimulus, response, n, &hc)) {
    return s;
  }
  double* X = hc.data();
  double* Y = X + n;
  const std::int32_t half = n / 2;
  auto bin = [&](std::int32_t k, double hr, double hi) {
    magnitude[k] = std::sqrt(hr * hr + hi * hi);
    phase[k] = std::atan2(hi, hr);
  };
  if (half > 0) bin(0, Y[0] / X[0], 0.0);
  for (std::int32_t k = 1; k < half; ++k) {
    // No test for X[k] = 0: the division gives infinities or NaN.
    const double xr = X[k], xi = X[n - k], yr = Y[k], yi = Y[n - k];
    const double d = xr * xr + xi * xi;
    bin(k, (yr * xr + yi * xi) / d, (yi * xr - yr * xi) / d);
  }
  *df = 1.0 / (n * dt);
  return kSuccess;
}

Status Deconvolve(const double* divisor, const double* dividend, std::int32_t n, double* out) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) {
    out[0] = dividend[0] / divisor[0];
    return kSuccess;
  }
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  ThreadScratch<double> hc;
  if (Status s = TwoSpectra(plan, divisor, dividend, n, &hc)) return s;
  double* X = hc.data();
  double* Y = X + n;
  // Z = Y/X bin by bin, written over Y (no test for X[k] = 0).
  Y[0] = Y[0] / X[0];
  for (std::int32_t k = 1; 2 * k < n; ++k) {
    const double xr = X[k], xi = X[n - k], yr = Y[k], yi = Y[n - k];
    const double inv = 1.0 / (xr * xr + xi * xi);
    Y[k] = (yr * xr + yi * xi) * inv;
    Y[n - k] = (yi * xr - yr * xi) * inv;
  }
  if (n % 2 == 0) Y[n / 2] = Y[n / 2] / X[n / 2];
  return FftRealInverse(plan, Y, out, 1, 1, n);
}

Status HilbertTransform(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) {
    x[0] = 0.0;
    return kSuccess;
  }
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  ThreadScratch<double> hc;
  if (Status s = hc.Allocate(n)) return s;
  double* X = hc.data();
  if (Status s = HalfComplexSpectrum(plan, x, X, n)) return s;
  // Multiply by −i: (re, im) → (im, −re); bins 0 and n/2 vanish.
  X[0] = 0.0;
  for (std::int32_t k = 1; 2 * k < n; ++k) {
    const double re = X[k], im = X[n - k];
    X[k] = im;
    X[n - k] = -re;
  }
  if (n % 2 == 0) X[n / 2] = 0.0;
  return FftRealInverse(plan, X, x, 1, 1, n);
}

Status InverseHilbertTransform(double* x, std::int32_t n) {
  if (Status s = HilbertTransform(x, n)) return s;
  for (std::int32_t i = 0; i < n; ++i) x[i] = -x[i];
  return kSuccess;
}

Status HartleyTransform(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  FftPlanHold plan(n);
  if (!plan) return kOutOfMemory;
  ThreadScratch<double> hc;
  if (Status s = hc.Allocate(n)) return s;
  double* X = hc.data();
  if (Status s = HalfComplexSpectrum(plan, x, X, n)) return s;
  x[0] = X[0];
  for (std::int32_t k = 1; 2 * k < n; ++k) {
    x[k] = X[k] - X[n - k];
    x[n - k] = X[k] + X[n - k];
  }
  if (n % 2 == 0) x[n / 2] = X[n / 2];
  return kSuccess;
}

Status InverseHartleyTransform(double* x, std::int32_t n) {
  if (Status s = HartleyTransform(x, n)) return s;
  const double scale = 1.0 / n;
  for (std::int32_t i = 0; i < n; ++i) x[i] *= scale;
  return kSuccess;
}

}  // namespace qm::fft
