// Time-domain windows: the shapes.
//
// References: F. J. Harris, "On the use of windows for harmonic analysis
// with the discrete Fourier transform", Proc. IEEE 66 (1978) 51-83 (cosine
// sums, Kaiser, Dolph-Chebyshev, Gaussian, Tukey); A. H. Nuttall, "Some
// windows with very good sidelobe behavior", IEEE Trans. ASSP 29 (1981)
// 84-91 (four-term Blackman-Nuttall).
//
// Every routine validates first and takes its scratch before it writes
// anything, so a failure leaves x as it was.
#include "signal/windows.h"

#include <cmath>
#include <cstdint>

#include "fft/fft_engine.h"
#include "frame/exact_trig.h"
#include "frame/math_constants.h"
#include "frame/workspace.h"

namespace qm::signal {
namespace {

// ===========================================================================
// cos(2*pi*j/N) tables.
//
// The cosine sums need cos(2*pi*k*i/n) for every point and term. Rather than
// running a trigonometric recurrence (whose error grows with the length) we
// split the angle index j = q*F + r (F a power of two near sqrt(N)) and use
// cos(a + b) = cos a cos b - sin a sin b over two short tables whose entries
// are correctly rounded: every value is within about two units in the last
// place of 1, whatever N, for O(sqrt(N)) set-up work and memory. The table
// entries come from CosSinTwoPiFraction (exact quarter turns, extended
// precision).

class TwoPiCosineTable {
 public:
  // Tables for the period `period` (>= 1).
  Status Build(std::int64_t period) {
    shift_ = 0;
    while ((std::int64_t{1} << (2 * shift_)) < period) ++shift_;
    const std::int64_t fine = std::int64_t{1} << shift_;
    const std::int64_t coarse = ((period - 1) >> shift_) + 1;
    if (Status s = block_.Allocate(static_cast<std::size_t>(2 * (fine + coarse)))) return s;
    fine_cos_ = block_.data();
    fine_sin_ = fine_cos_ + fine;
    coarse_cos_ = fine_sin_ + fine;
    coarse_sin_ = coarse_cos_ + coarse;
    for (std::int64_t r = 0; r < fine; ++r)
      CosSinTwoPiFraction(r, period, &fine_cos_[r], &fine_sin_[r]);
    for (std::int64_t q = 0; q < coarse; ++q)
      CosSinTwoPiFraction(q * fine, period, &coarse_cos_[q], &coarse_sin_[q]);
    mask_ = fine - 1;
    return kSuccess;
  }
  // cos(2*pi*j/period), 0 <= j < period.
  double Cos(std::int64_t j) const {
    const std::int64_t q = j >> shift_;
    const std::int64_t r = j & mask_;
    return coarse_cos_[q] * fine_cos_[r] - coarse_sin_[q] * fine_sin_[r];
  }

 private:
  Scratch<double> block_;
  double* fine_cos_ = nullptr;
  double* fine_sin_ = nullptr;
  double* coarse_cos_ = nullptr;
  double* coarse_sin_ = nullptr;
  int shift_ = 0;
  std::int64_t mask_ = 0;
};

// Multiplies x[i] and its mirror x[n-i] (i = 0 ... n/2) by weight(i): the
// periodic windows are symmetric about n/2, so half of them is computed.
template <class Weight>
void ApplyMirrored(double* x, std::int32_t n, Weight weight) {
  for (std::int32_t i = 0; i <= n / 2; ++i) {
    const double w = weight(i);
    x[i] *= w;
    const std::int32_t mirror = n - i;
    if (i != 0 && mirror != i) x[mirror] *= w;
  }
}

// The cosine sum with signed coefficients b_k = (-1)^k a_k / divisor given by
// `coefficient(k)`.
template <class Coefficient>
void ApplyCosineSum(double* x, std::int32_t n, std::int32_t m, const TwoPiCosineTable& table,
                    Coefficient coefficient) {
  const double b0 = coefficient(0);
  ApplyMirrored(x, n, [&](std::int32_t i) {
    double w = b0;
    std::int64_t j = 0;  // k*i mod n, advanced with k
    for (std::int32_t k = 1; k < m; ++k) {
      j += i;
      if (j >= n) j -= n;
      w += coefficient(k) * table.Cos(j);
    }
    return w;
  });
}

}  // namespace

// ===========================================================================
// Cosine sums.

Status CosineSumWindow(double* x, std::int32_t n, const double* a, std::int32_t m, bool scaled) {
  if (n < 1 || m < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  TwoPiCosineTable table;
  if (Status s = table.Build(n)) return s;
  const double divisor = scaled ? a[0] : 1.0;
  constexpr std::int32_t kLocal = 16;
  if (m <= kLocal) {
    // The usual case: the signed coefficients once, in a local table.
    double b[kLocal];
    for (std::int32_t k = 0; k < m; ++k) b[k] = ((k & 1) ? -a[k] : a[k]) / divisor;
    ApplyCosineSum(x, n, m, table, [&](std::int32_t k) { return b[k]; });
  } else {
    ApplyCosineSum(x, n, m, table,
                   [&](std::int32_t k) { return ((k & 1) ? -a[k] : a[k]) / divisor; });
  }
  return kSuccess;
}

Status CosineSumWindowByCode(double* x, std::int32_t n, std::int32_t code, bool scaled) {
  const double* a = nullptr;
  std::int32_t m = 0;
  if (!CosineSumCoefficients(code, &a, &m)) return kBadSelection;
  return CosineSumWindow(x, n, a, m, scaled);
}

Status HanningWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowHanning, false);
}
Status HammingWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowHamming, false);
}
Status BlackmanHarrisWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowBlackmanHarris3, false);
}
Status ExactBlackmanWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowExactBlackman, false);
}
Status BlackmanWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowBlackman, false);
}
Status FlatTopWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowFlatTop, false);
}
Status BlackmanNuttallWindow(double* x, std::int32_t n) {
  return CosineSumWindowByCode(x, n, kWindowBlackmanNuttall, false);
}
Status GeneralCosineWindow(double* x, std::int32_t n, const double* a, std::int32_t m) {
  return CosineSumWindow(x, n, a, m, false);
}

// ===========================================================================
// Polynomial and triangular windows (periodic, centred on n/2).

Status TriangleWindow(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) {
    x[0] = 0.0;
    return kSuccess;
  }
  ApplyMirrored(x, n, [n](std::int32_t i) { return 2.0 * i / n; });
  return kSuccess;
}

Status BartlettHannWindow(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  ApplyMirrored(x, n, [n](std::int32_t i) {
    const double f = static_cast<double>(i) / n;
    return 0.62 - 0.48 * std::fabs(f - 0.5) - 0.38 * std::cos(kTwoPi * f);
  });
  return kSuccess;
}

Status BohmanWindow(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  ApplyMirrored(x, n, [n](std::int32_t i) {
    const double u = std::fabs(2.0 * i / n - 1.0);
    return (1.0 - u) * std::cos(kPi * u) + std::sin(kPi * u) / kPi;
  });
  return kSuccess;
}

Status ParzenWindow(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  const double h = 0.5 * n;
  ApplyMirrored(x, n, [h](std::int32_t i) {
    const double d = std::fabs(i - h);
    const double r = d / h;
    if (d <= 0.5 * h) return 1.0 - 6.0 * r * r + 6.0 * r * r * r;
    const double c = 1.0 - r;
    return 2.0 * c * c * c;
  });
  return kSuccess;
}

Status WelchWindow(double* x, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  const double h = 0.5 * n;
  ApplyMirrored(x, n, [h](std::int32_t i) {
    const double r = (i - h) / h;
    return 1.0 - r * r;
  });
  return kSuccess;
}

// ===========================================================================
// Kaiser.

double KaiserBesselI0(double x) {
  // 1 + sum_k ((x/2)^k / k!)^2; the k-th term is formed from the previous
  // factor (x/2)^(k-1)/(k-1)!.
  const double half = 0.5 * x;
  double sum = 1.0;
  double factor = 1.0;
  for (int k = 1; k <= 25; ++k) {
    factor *= half / k;
    const double term = factor * factor;
    sum += term;
    if (!(term > 1e-8)) break;
  }
  return sum;
}

Status KaiserWindow(double* x, std::int32_t n, double beta) {
  if (n < 1) return kCountNotPositive;
  const double i0_beta = KaiserBesselI0(beta);
  x[0] *= 1.0 / i0_beta;
  if (n == 1) return kSuccess;
  // Points 1 ... p and their mirrors; for even n the centre keeps weight 1.
  const std::int32_t p = (n % 2 == 0) ? n / 2 - 1 : (n - 1) / 2;
  for (std::int32_t i = 1; i <= p; ++i) {
    const double t = 1.0 - 2.0 * i / n;
    const double w = KaiserBesselI0(beta * std::sqrt(1.0 - t * t)) / i0_beta;
    x[i] *= w;
    x[n - i] *= w;
  }
  return kSuccess;
}

// ===========================================================================
// Dolph-Chebyshev.
//
// The window of L points is the inverse DFT of the Chebyshev polynomial
// T_{L-1}(x0 cos(pi k / L)) sampled at the L bins, evaluated directly:
//   w[i] = (r + 2 sum_{k=1..m} T_k cos(2 pi k (i - (L-1)/2) / L)) / L,
// m = (L-1)/2, which holds for odd and even L (for even L the bin L/2 is a
// zero of T_{L-1}). Short windows take the direct sum (O(L^2/4) table
// look-ups); from kChebyshevFftLength points on, the same sum is one inverse
// real FFT of the phase-shifted spectrum
//   A_k = T_k e^(-2 pi i k (L-1)/2 / L) = (-1)^k T_k (cos(pi k/L) + i sin(pi k/L)),
// so that long windows cost O(L log L).

constexpr std::int64_t kChebyshevFftLength = 128;

// Weights w[0 ... m] of the L-point window (before the peak normalisation)
// from T_1 ... T_m by one inverse real FFT.
static Status ChebyshevWeightsByFft(const double* chebyshev, double ratio, std::int32_t length,
                                    double* w) {
  Scratch<double> work;  // the half-complex spectrum, then the L weights
  if (Status s = work.Allocate(2 * static_cast<std::size_t>(length))) return s;
  double* spectrum = work.data();
  double* weights = work.data() + length;
  const std::int32_t m = (length - 1) / 2;
  spectrum[0] = ratio;
  auto set = [&](std::int32_t k, double c, double s) {
    const double t = (k % 2 == 0) ? chebyshev[k - 1] : -chebyshev[k - 1];
    spectrum[k] = t * c;
    spectrum[length - k] = t * s;
  };
  // Angle pi k / L. For even L, k and L/2 - k exchange cosine and sine
  // exactly, so the angles up to pi/4 give all of them.
  const bool even = length % 2 == 0;
  const std::int32_t direct = even ? length / 4 : m;
  for (std::int32_t k = 1; k <= direct; ++k) {
    double c, s;
    CosSinTwoPiFraction(k, 2 * std::int64_t{length}, &c, &s);
    set(k, c, s);
    if (even && length / 2 - k != k) set(length / 2 - k, s, c);
  }
  if (length % 2 == 0) spectrum[length / 2] = 0.0;
  fft::FftPlan* plan = fft::FftPlanAcquire(length);
  if (!plan) return kOutOfMemory;
  const Status status = fft::FftRealInverse(plan, spectrum, weights, 1, 1, length);
  fft::FftPlanRelease(plan);
  if (status != kSuccess) return status;
  // The inverse carries the 1/L of the sum.
  for (std::int32_t i = 0; i <= m; ++i) w[i] = weights[i];
  return kSuccess;
}

Status DolphChebyshevWindow(double* x, std::int32_t n, double ratio, WindowForm form) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  const std::int64_t length = (form == WindowForm::kPeriodic) ? std::int64_t{n} + 1 : n;
  const std::int64_t m = (length - 1) / 2;
  if (ratio < 1.0) ratio = 1.0;

  Scratch<double> work;  // T_1 ... T_m, then the weights w[0 ... m]
  if (Status s = work.Allocate(static_cast<std::size_t>(2 * m + 1))) return s;
  TwoPiCosineTable table;  // period 2L: cos(pi * j / L)
  if (Status s = table.Build(2 * length)) return s;
  double* chebyshev = work.data();  // chebyshev[k - 1] = T_k
  double* w = work.data() + m;

  const double order = static_cast<double>(length - 1);
  const double x0 = std::cosh(std::acosh(ratio) / order);
  for (std::int64_t k = 1; k <= m; ++k) {
    const double t = x0 * table.Cos(k);
    chebyshev[k - 1] =
        std::fabs(t) <= 1.0 ? std::cos(order * std::acos(t)) : std::cosh(order * std::acosh(t));
  }
  double peak = 0.0;
  const bool by_fft = length >= kChebyshevFftLength && length <= INT32_MAX;
  if (by_fft) {
    if (Status s = ChebyshevWeightsByFft(chebyshev, ratio, static_cast<std::int32_t>(length), w))
      return s;
    for (std::int64_t i = 0; i <= m; ++i) {
      if (w[i] > peak) peak = w[i];
    }
  }
  const std::int64_t period = 2 * length;
  for (std::int64_t i = 0; !by_fft && i <= m; ++i) {
    // Angle pi*k*(2i - L + 1)/L = 2*pi*k*step/(2L), step taken mod 2L.
    const std::int64_t step = 2 * i - length + 1 + period;
    std::int64_t j = 0;
    double sum = 0.0;
    for (std::int64_t k = 1; k <= m; ++k) {
      j += step;
      while (j >= period) j -= period;
      sum += chebyshev[k - 1] * table.Cos(j);
    }
    w[i] = (ratio + 2.0 * sum) / static_cast<double>(length);
    if (w[i] > peak) peak = w[i];
  }
  if (!(peak > 0.0)) peak = w[m];  // a degenerate (NaN) window stays NaN
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int64_t mirror = length - 1 - i;
    x[i] *= w[i <= m ? i : mirror] / peak;
  }
  return kSuccess;
}

Status ChebyshevWindow(double* x, std::int32_t n, double attenuation_db) {
  return DolphChebyshevWindow(x, n, std::pow(10.0, attenuation_db / 20.0), WindowForm::kPeriodic);
}

// ===========================================================================
// Gaussian, Tukey, exponential, force.

Status GaussianWindow(double* x, std::int32_t n, double sigma, WindowForm form) {
  if (n < 1) return kCountNotPositive;
  if (n == 1) return kSuccess;
  if (sigma <= 0.0) sigma = 0.2;
  const bool periodic = form == WindowForm::kPeriodic;
  const double span = periodic ? n + 1.0 : static_cast<double>(n);
  const double centre = periodic ? 0.5 * n : 0.5 * (n - 1.0);
  const double c = -0.5 / (sigma * sigma * span * span);
  for (std::int32_t i = 0; i < n; ++i) {
    const double d = i - centre;
    x[i] *= std::exp(c * d * d);
  }
  return kSuccess;
}

Status TukeyWindow(double* x, std::int32_t n, double ratio) {
  if (n < 1) return kCountNotPositive;
  if (!(ratio > 0.0) || n == 1) return kSuccess;
  if (ratio >= 1.0) return HanningWindow(x, n);
  const double taper = std::trunc(ratio * n / 2.0);  // < n/2
  if (taper < 1.0) return kSuccess;
  const auto m = static_cast<std::int32_t>(taper);
  x[0] = 0.0;
  x[n - 1] = 0.0;
  for (std::int32_t i = 1; i < m; ++i) {
    const double s = std::sin(kPi * i / (2.0 * m));
    const double w = s * s;
    x[i] *= w;
    x[n - 1 - i] *= w;
  }
  return kSuccess;
}

Status CosineTaperedWindow(double* x, std::int32_t n) { return TukeyWindow(x, n, 0.2); }

Status ExponentialWindow(double* x, std::int32_t n, double final_value) {
  if (n < 2) return kCountBelowTwo;
  if (!(final_value > 0.0)) return kFinalNotPositive;
  const double rate = std::log(final_value) / (n - 1);
  // The end points are exactly 1 and f (also for an infinite f, where
  // 0*log(f) would be NaN).
  for (std::int32_t i = 1; i < n - 1; ++i) x[i] *= std::exp(i * rate);
  x[n - 1] *= final_value;
  return kSuccess;
}

Status ForceWindow(double* x, std::int32_t n, double duty_percent) {
  if (n < 2) return kCountBelowTwo;
  const double end = std::trunc(duty_percent * 0.01 * n);
  // Clamped to 0 ... n in the floating-point domain (a NaN duty clamps to 0,
  // as fmax would).
  std::int32_t k = 0;
  if (end >= n) {
    k = n;
  } else if (end > 0.0) {
    k = static_cast<std::int32_t>(end);
  }
  for (std::int32_t i = k; i < n; ++i) x[i] = 0.0;
  return kSuccess;
}

}  // namespace qm::signal
