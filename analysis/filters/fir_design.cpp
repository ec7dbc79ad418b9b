// Windowed-sinc FIR design.
//
// h[i] for m = i - (taps-1)/2 is sin(w m)/(pi m) (lowpass), its negative
// (highpass), and the difference of two of them for the bands, w = 2 pi f/fs;
// the centre tap of an odd length is the limit (w/pi, 1 - w/pi, ...). The
// sine arguments and the divisor advance by w and pi per tap from their
// first values, and each value is written to i and taps-1-i together.
#include "filters/fir_design.h"

#include <cmath>
#include <cstddef>

#include "frame/math_constants.h"
#include "frame/workspace.h"
#include "signal/windows.h"

namespace qm::filters {
namespace {

// The checks of the ideal stage; `f2` is already the one to test.
Status CheckIdeal(std::int32_t type, double fs, double f1, double f2, std::int32_t taps) {
  if (type < kFirLowpass || type > kFirBandstop) return kBadSelection;
  if (taps < 1) return kOrderNotPositive;
  const double nyquist = fs / 2;
  if (f1 > nyquist || f2 > nyquist) return kBadCutoff;
  const bool band = type == kFirBandpass || type == kFirBandstop;
  // Written so that a NaN fails: a NaN or infinite fs and a NaN edge are no
  // frequencies, and would otherwise give NaN or zero taps.
  if (!(fs > 0) || !std::isfinite(fs) || !(f1 > 0)) return kBadBandEdges;
  if (band && (!(f2 > 0) || !(f1 < f2))) return kBadBandEdges;
  if ((type == kFirHighpass || type == kFirBandstop) && taps % 2 == 0) return kCoefficientsNotOdd;
  return kSuccess;
}

// Writes the ideal response (the arguments are valid).
void WriteIdeal(std::int32_t type, double fs, double f1, double f2, std::int32_t taps,
                double* coef) {
  const double w1 = kTwoPi * f1 / fs, w2 = kTwoPi * f2 / fs;
  const double half = -static_cast<double>(taps - 1) / 2;
  double arg1 = half * w1, arg2 = half * w2, divisor = half * kPi;
  for (std::int32_t i = 0; i < taps / 2; ++i) {
    double h = 0;
    switch (type) {
      case kFirLowpass:
        h = std::sin(arg1) / divisor;
        break;
      case kFirHighpass:
        h = -std::sin(arg1) / divisor;
        break;
      case kFirBandpass:
        h = (std::sin(arg2) - std::sin(arg1)) / divisor;
        break;
      default:
        h = (std::sin(arg1) - std::sin(arg2)) / divisor;
        break;
    }
    coef[i] = h;
    coef[taps - 1 - i] = h;
    arg1 += w1;
    arg2 += w2;
    divisor += kPi;
  }
  if (taps % 2 == 1) {
    double centre = 0;
    switch (type) {
      case kFirLowpass:
        centre = w1 / kPi;
        break;
      case kFirHighpass:
        centre = 1 - w1 / kPi;
        break;
      case kFirBandpass:
        centre = (w2 - w1) / kPi;
        break;
      default:
        centre = 1 - (w2 - w1) / kPi;
        break;
    }
    coef[taps / 2] = centre;
  }
}

double SecondEdge(std::int32_t type, double fs, double f1, double f2) {
  return type == kFirLowpass || type == kFirHighpass ? (fs / 2 + f1) / 2 : f2;
}

}  // namespace

Status FirIdealCoefficients(std::int32_t type, double fs, double f1, double f2, std::int32_t taps,
                            double* coef) {
  f2 = SecondEdge(type, fs, f1, f2);
  if (Status s = CheckIdeal(type, fs, f1, f2, taps)) return s;
  WriteIdeal(type, fs, f1, f2, taps, coef);
  return kSuccess;
}

Status FirWindowedCoefficients(std::int32_t type, double fs, double f1, double f2,
                               std::int32_t taps, std::int32_t window_code, double window_parameter,
                               double* coef) {
  f2 = SecondEdge(type, fs, f1, f2);
  if (Status s = CheckIdeal(type, fs, f1, f2, taps)) return s;
  if (taps == 1) {
    WriteIdeal(type, fs, f1, f2, taps, coef);
    return kSuccess;
  }
  // The window is made aside first, so that its failures leave coef alone.
  Scratch<double> window;
  if (Status s = window.Allocate(static_cast<std::size_t>(taps))) return s;
  for (std::int32_t i = 0; i < taps; ++i) window[i] = 1.0;
  if (Status s = signal::SymmetricWindow(window.data(), taps, window_code, window_parameter)) {
    return s;
  }
  WriteIdeal(type, fs, f1, f2, taps, coef);
  for (std::int32_t i = 0; i < (taps + 1) / 2; ++i) {
    const double h = coef[i] * window[i];
    coef[i] = h;
    coef[taps - 1 - i] = h;
  }
  return kSuccess;
}

namespace {
Status Kaiser(std::int32_t type, double fs, double f1, double f2, std::int32_t taps, double* coef,
              double beta) {
  if (!(beta >= 0)) beta = 4.5;  // negative or NaN
  return FirWindowedCoefficients(type, fs, f1, f2, taps, signal::kWindowKaiser, beta, coef);
}
Status Selected(std::int32_t type, double fs, double f1, double f2, std::int32_t taps, double* coef,
                std::int32_t selector) {
  return FirWindowedCoefficients(type, fs, f1, f2, taps, FirSelectorWindowCode(selector), 0.0,
                                 coef);
}
}  // namespace

Status KaiserLowpassFir(double fs, double fc, std::int32_t taps, double* coef, double beta) {
  return Kaiser(kFirLowpass, fs, fc, 0.0, taps, coef, beta);
}
Status KaiserHighpassFir(double fs, double fc, std::int32_t taps, double* coef, double beta) {
  return Kaiser(kFirHighpass, fs, fc, 0.0, taps, coef, beta);
}
Status KaiserBandpassFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                         double beta) {
  return Kaiser(kFirBandpass, fs, fl, fh, taps, coef, beta);
}
Status KaiserBandstopFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                         double beta) {
  return Kaiser(kFirBandstop, fs, fl, fh, taps, coef, beta);
}

std::int32_t FirSelectorWindowCode(std::int32_t selector) {
  switch (selector) {
    case 1:
      return signal::kWindowRectangle;
    case 2:
      return signal::kWindowTriangle;
    case 3:
      return signal::kWindowHanning;
    case 5:
      return signal::kWindowBlackman;
    default:
      return signal::kWindowHamming;
  }
}

Status WindowedLowpassFir(double fs, double fc, std::int32_t taps, double* coef,
                          std::int32_t window) {
  return Selected(kFirLowpass, fs, fc, 0.0, taps, coef, window);
}
Status WindowedHighpassFir(double fs, double fc, std::int32_t taps, double* coef,
                           std::int32_t window) {
  return Selected(kFirHighpass, fs, fc, 0.0, taps, coef, window);
}
Status WindowedBandpassFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                           std::int32_t window) {
  return Selected(kFirBandpass, fs, fl, fh, taps, coef, window);
}
Status WindowedBandstopFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                           std::int32_t window) {
  return Selected(kFirBandstop, fs, fl, fh, taps, coef, window);
}

}  // namespace qm::filters
