// Whole-array Fourier transforms and spectra (internal routines behind the
// exports). Counts are 32-bit; n < 1 gives -20003, a failed plan or scratch
// allocation -20001.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::fft {

// Full spectrum of the real signal x: real parts over x, imaginary parts in y.
Status RealFft(double* x, double* y, std::int32_t n);
// Real signal into re from a Hermitian spectrum (re[0 … n/2], im[n/2+1 … n−1]);
// im is overwritten.
Status InverseRealFft(double* re, double* im, std::int32_t n);
Status ComplexFft(double* re, double* im, std::int32_t n);
Status InverseComplexFft(double* re, double* im, std::int32_t n);
// x[k] = |X[k]|²/n².
Status PowerSpectrumTwoSided(double* x, std::int32_t n);
// One-sided power spectrum (n/2 values) and df = 1/(n·dt).
Status PowerSpectrum(const double* x, std::int32_t n, double dt, double* spectrum, double* df);
// S[k] = conj(X[k])·Y[k]/n².
Status CrossPowerSpectrumTwoSided(const double* x, const double* y, std::int32_t n, double* re,
                                  double* im);
Status CrossPowerSpectrum(const double* x, const double* y, std::int32_t n, double dt,
                          double* magnitude, double* phase, double* df);
// H[k] = Y[k]/X[k] for k < n/2: magnitude and phase.
Status TransferFunction(const double* stimulus, const double* response, std::int32_t n, double dt,
                        double* magnitude, double* phase, double* df);
// Inverse FFT of FFT(dividend)/FFT(divisor).
Status Deconvolve(const double* divisor, const double* dividend, std::int32_t n, double* out);
Status HilbertTransform(double* x, std::int32_t n);
Status InverseHilbertTransform(double* x, std::int32_t n);
Status HartleyTransform(double* x, std::int32_t n);
Status InverseHartleyTransform(double* x, std::int32_t n);

}  // namespace qm::fft
