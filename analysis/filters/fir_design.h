// Windowed-sinc FIR design: the truncated ideal impulse response of a
// lowpass, highpass, bandpass or bandstop filter, multiplied by a symmetric
// window of the window catalogue (analysis/signal/windows.h).
//
// Checks, in this order: type outside 0..3 (-20061); taps < 1 (-20021);
// f1 or f2 above fs/2 (-20020); fs not positive and finite, f1 not positive,
// for bands f2 not positive or f1 >= f2, NaN anywhere (-20023); highpass
// and bandstop with an even taps (-20033); then the window's own codes. For
// lowpass and highpass f2 is ignored: it is replaced by (fs/2 + f1)/2.
// The coefficients are exactly symmetric; on failure coef is untouched.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::filters {

enum FirType : std::int32_t {
  kFirLowpass = 0,
  kFirHighpass = 1,
  kFirBandpass = 2,
  kFirBandstop = 3,
};

// The ideal response alone (rectangular window).
Status FirIdealCoefficients(std::int32_t type, double fs, double f1, double f2, std::int32_t taps,
                            double* coef);
// The ideal response times the symmetric window of `window_code` with its
// parameter (mapped as the by-code window entry points map it). One tap
// takes no window.
Status FirWindowedCoefficients(std::int32_t type, double fs, double f1, double f2,
                               std::int32_t taps, std::int32_t window_code, double window_parameter,
                               double* coef);

// Kaiser window (code 60) of shape beta; a negative or NaN beta means 4.5.
Status KaiserLowpassFir(double fs, double fc, std::int32_t taps, double* coef, double beta);
Status KaiserHighpassFir(double fs, double fc, std::int32_t taps, double* coef, double beta);
Status KaiserBandpassFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                         double beta);
Status KaiserBandstopFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                         double beta);

// Window selector: 1 rectangular, 2 triangle, 3 Hanning, 4 Hamming,
// 5 Blackman; any other value Hamming.
std::int32_t FirSelectorWindowCode(std::int32_t selector);
Status WindowedLowpassFir(double fs, double fc, std::int32_t taps, double* coef,
                          std::int32_t window);
Status WindowedHighpassFir(double fs, double fc, std::int32_t taps, double* coef,
                           std::int32_t window);
Status WindowedBandpassFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                           std::int32_t window);
Status WindowedBandstopFir(double fs, double fl, double fh, std::int32_t taps, double* coef,
                           std::int32_t window);

}  // namespace qm::filters
