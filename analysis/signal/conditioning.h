// Sample-by-sample signal conditioning: numerical derivatives, the running
// Simpson integral, definite integrals by composite rules, decimation of real
// and interleaved complex sequences, phase unwrapping and the single-sided
// amplitude and phase spectrum.
//
// Counts are 32-bit (the export boundary has narrowed them and rejected null
// required pointers). Samples outside the record come from the caller's
// initial conditions (x[-2], x[-1]) and final conditions (x[n], x[n+1]), never
// from extrapolation. Outputs may be the input arrays: every output value is
// written after the inputs it needs have been read. Every check comes before
// anything is written.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::signal {

// Difference formulas of DerivativeWithMethod.
enum DerivativeMethod : std::int32_t {
  kCentral2 = 0,  // (x[i+1] - x[i-1]) / (2 dt); needs x[-1], x[n]
  kCentral4 = 1,  // (x[i-2] - 8 x[i-1] + 8 x[i+1] - x[i+2]) / (12 dt); x[-2], x[-1], x[n], x[n+1]
  kForward = 2,   // (x[i+1] - x[i]) / dt; needs x[n]
  kBackward = 3,  // (x[i] - x[i-1]) / dt; needs x[-1]
};

// Second-order central difference with x[-1] = initial, x[n] = final.
// n < 1: kCountNotPositive; dt <= 0: kDtNotPositive.
Status Derivative(const double* x, std::int32_t n, double dt, double initial, double final_value,
                  double* out);

// Derivative by `method`. initial holds x[-1] (x[-2] then x[-1] for the
// fourth-order formula), final x[n] (then x[n+1]); only the first one or two
// values are read, and an array the method does not read may be null. Checks
// in order: an unknown method (kBadSelection); the condition counts the
// method needs (kCountNotPositive below 1, kCountBelowTwo below 2 for the
// fourth-order formula); a null condition array the method reads
// (kNullPointer); then those of Derivative.
Status DerivativeWithMethod(const double* x, std::int32_t n, double dt, const double* initial,
                            std::int32_t initial_count, const double* final_values,
                            std::int32_t final_count, std::int32_t method, double* out);

// Running integral by Simpson's rule: y[i] = y[i-1] + (x[i-1] + 4 x[i] +
// x[i+1]) dt / 6 from y[-1] = 0, with x[-1] = initial and x[n] = final.
// n < 1: kCountNotPositive; dt <= 0: kDtNotPositive.
Status Integral(const double* x, std::int32_t n, double dt, double initial, double final_value,
                double* out);

// Composite rules of IntegrateArray.
enum IntegrationRule : std::int32_t {
  kTrapezoid = 0,  // at least 2 samples
  kSimpson = 1,    // at least 3
  kSimpson38 = 2,  // at least 4
  kBode = 3,       // at least 5
};

// Definite integral of the whole record with step |dt|; intervals that do
// not fill a panel at the end are covered by the lower-order rule that fits
// them. An unknown rule: kBadSelection; fewer samples than the rule needs:
// kWrongDataCount.
Status IntegrateArray(const double* x, std::int32_t n, double dt, std::int32_t rule,
                      double* result);

// out[k] = x[k f] (or, with a non-zero average flag, the mean of x[k f ...
// k f + f - 1]) for the floor(n/f) whole blocks; trailing samples are
// ignored. n < 1: kCountNotPositive; f < 1 or f > n: kBadDecimation (a factor
// beyond 32 bits arrives as a value below 1).
Status Decimate(const double* x, std::int32_t n, std::int32_t factor, std::int32_t average,
                double* out);
// The same on n interleaved complex samples (real and imaginary parts
// averaged separately).
Status ComplexDecimate(const double* x, std::int32_t n, std::int32_t factor, std::int32_t average,
                       double* out);

// Unit codes of UnwrapPhaseWithUnits; any other code is taken as radians.
enum PhaseUnits : std::int32_t {
  kRadians = 0,
  kRadiansToDegrees = 1,
  kDegrees = 2,
  kDegreesToRadians = 3,
};

// In place: each value moved by whole periods to within half a period of its
// unwrapped predecessor (a difference of exactly +P/2 becomes -P/2). n < 1:
// kCountNotPositive.
Status UnwrapPhase(double* p, std::int32_t n);
// Radians or degrees in, with the conversion of the unit code applied after
// unwrapping. n < 1: kWrongDataCount.
Status UnwrapPhaseWithUnits(double* p, std::int32_t n, std::int32_t units);

// Single-sided RMS amplitudes and phases of the floor(n/2) bins below the
// Nyquist bin (bin 0: |X0|/n, phase 0 or pi), the phases unwrapped when the
// flag is non-zero, and df = 1/(n dt). n < 1: kCountNotPositive; scratch or
// FFT failure: its status.
Status AmplitudePhaseSpectrum(const double* x, std::int32_t n, std::int32_t unwrap, double dt,
                              double* amplitude, double* phase, double* df);

}  // namespace qm::signal
