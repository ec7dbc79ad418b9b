// Time-domain windows: the window generator shared by the statistics, FIR
// design and spectral families.
//
// Every routine multiplies a signal in place by a window, x[i] <- x[i]*w[i];
// a window's weights are obtained by applying it to an array of ones.
// Windows are periodic (DFT-even) unless said otherwise: a window of n points
// is the first n points of a period-n function, so w[0] is the edge value and
// w[i] = w[n-i]. The symmetric form of n points is the periodic window of n-1
// points followed by a copy of its first point (Dolph-Chebyshev and Gaussian
// have their own symmetric formulas).
//
// Entry points for other families:
//   - ScaledWindowWithParameter / ScaledWindow: a periodic window chosen by
//     type code, scaled to unit coherent gain, with its properties;
//   - SymmetricWindow: the unscaled symmetric window chosen by type code;
//   - ApplyWindowByCode: the raw generator (no parameter mapping, no
//     scaling) for either form;
//   - WindowPropertiesByType / ComputeWindowProperties.
// The by-code entry points take the caller's type code and parameter
// unchanged and map the parameter themselves (see MapWindowParameter).
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::signal {

// Window type codes. Any other value is rejected with -20061.
enum WindowCode : std::int32_t {
  kWindowRectangle = 0,
  kWindowHanning = 1,
  kWindowHamming = 2,
  kWindowBlackmanHarris3 = 3,
  kWindowExactBlackman = 4,
  kWindowBlackman = 5,
  kWindowFlatTop = 6,
  kWindowBlackmanHarris4 = 7,
  kWindowBlackmanHarris7 = 8,
  kWindowLowSidelobe = 9,
  kWindowBlackmanNuttall = 11,
  kWindowTriangle = 30,
  kWindowBartlettHann = 31,
  kWindowBohman = 32,
  kWindowParzen = 33,
  kWindowWelch = 34,
  kWindowKaiser = 60,     // parameter: beta
  kWindowChebyshev = 61,  // parameter: main-lobe to side-lobe ratio (linear)
  kWindowGaussian = 62,   // parameter: sigma relative to the length
};

// Equivalent noise bandwidth (in bins) and coherent gain of a window; the
// same two doubles, in this order, as the public properties record.
struct WindowPropertiesRecord {
  double enbw;
  double coherent_gain;
};

enum class WindowForm { kPeriodic, kSymmetric };

// True for the codes listed in WindowCode.
bool IsWindowCode(std::int32_t code);
// True for the cosine-sum codes 0-9 and 11.
bool IsCosineSumCode(std::int32_t code);
// The coefficient table of a cosine-sum code (a0, a1, ...): stores a pointer
// to the coefficients and their count. False for other codes.
bool CosineSumCoefficients(std::int32_t code, const double** coefficients, std::int32_t* count);

// The parameter mapping of the by-code entry points: for code 61 a parameter
// >= 0 is a side-lobe attenuation in dB (ratio 10^(dB/20)) and a negative
// one means 60 dB (ratio 1000); for code 62 a negative sigma becomes 0.2.
// Other codes keep the parameter.
double MapWindowParameter(std::int32_t code, double parameter);

// ---------------------------------------------------------------------------
// Individual windows. n < 1 gives -20003; n = 1 leaves x unchanged except
// where noted. Scratch failures give -20001 with x unchanged.

// Cosine sum w[i] = sum_k (-1)^k a_k cos(2 pi k i / n), m coefficients
// (m < 1: -20003). `scaled` divides every coefficient by a0 first.
Status CosineSumWindow(double* x, std::int32_t n, const double* a, std::int32_t m, bool scaled);
// The cosine sum of a tabulated code (0-9, 11); other codes: -20061.
Status CosineSumWindowByCode(double* x, std::int32_t n, std::int32_t code, bool scaled);

Status HanningWindow(double* x, std::int32_t n);
Status HammingWindow(double* x, std::int32_t n);
Status BlackmanHarrisWindow(double* x, std::int32_t n);
Status ExactBlackmanWindow(double* x, std::int32_t n);
Status BlackmanWindow(double* x, std::int32_t n);
Status FlatTopWindow(double* x, std::int32_t n);
Status BlackmanNuttallWindow(double* x, std::int32_t n);
Status GeneralCosineWindow(double* x, std::int32_t n, const double* a, std::int32_t m);

// w[i] = 2i/n up to n/2, mirrored; a single point is set to 0.
Status TriangleWindow(double* x, std::int32_t n);
Status BartlettHannWindow(double* x, std::int32_t n);
Status BohmanWindow(double* x, std::int32_t n);
Status ParzenWindow(double* x, std::int32_t n);
Status WelchWindow(double* x, std::int32_t n);

// Modified Bessel function I0 by its power series: terms are added while
// the last one exceeds 1e-8, at most 25 of them.
double KaiserBesselI0(double x);
// Kaiser window with shape beta (not checked); a single point is
// multiplied by 1/I0(beta).
Status KaiserWindow(double* x, std::int32_t n, double beta);
// Dolph-Chebyshev window for a main-lobe to side-lobe amplitude ratio
// (below 1 raised to 1), normalised to its peak: periodic (length n+1,
// first n points kept) or symmetric (length n).
Status DolphChebyshevWindow(double* x, std::int32_t n, double ratio, WindowForm form);
// Side-lobe attenuation in dB, periodic form.
Status ChebyshevWindow(double* x, std::int32_t n, double attenuation_db);
// Gaussian window, sigma relative to the length (sigma <= 0 means 0.2).
Status GaussianWindow(double* x, std::int32_t n, double sigma, WindowForm form);
// The periodic Gaussian window.
Status PeriodicGaussianWindow(double* x, std::int32_t n, double sigma);
// Cosine taper over trunc(ratio*n/2) points at each end; ratio <= 0 (or
// NaN) leaves x unchanged, ratio >= 1 applies the Hanning window.
Status TukeyWindow(double* x, std::int32_t n, double ratio);
Status CosineTaperedWindow(double* x, std::int32_t n);
// w[i] = f^(i/(n-1)); n < 2: -20006; f <= 0 or NaN: -20027.
Status ExponentialWindow(double* x, std::int32_t n, double final_value);
// Clears x[k..n-1], k = trunc(duty*0.01*n) clamped to 0..n; n < 2: -20006.
Status ForceWindow(double* x, std::int32_t n, double duty_percent);

// ---------------------------------------------------------------------------
// Windows by type code.

// Multiplies x by window `code` in the given form, unscaled, with the
// parameter taken as it stands (beta, linear ratio, sigma). Code 0 leaves x
// unchanged. n < 1: -20003; invalid code: -20061.
Status ApplyWindowByCode(double* x, std::int32_t n, std::int32_t code, double parameter,
                         WindowForm form);

// CG = sum(w)/n and ENBW = n*sum(w^2)/sum(w)^2 of a window's weights.
Status ComputeWindowProperties(const double* w, std::int32_t n, WindowPropertiesRecord* properties);
// Tabulated properties of codes 0-9, 11 and 31-34; other codes: -20061.
Status WindowPropertiesByType(std::int32_t code, WindowPropertiesRecord* properties);

// Applies the periodic window `code` scaled to unit coherent gain and
// reports its properties (`properties` may be null). The parameter is mapped
// as MapWindowParameter says. n < 0: -20004 (n = 0 only reports the
// properties); on any later failure both properties are NaN.
Status ScaledWindowWithParameter(double* x, std::int32_t n, std::int32_t code, double parameter,
                                 WindowPropertiesRecord* properties);
// The same with parameter 0.0 and no mapping.
Status ScaledWindow(double* x, std::int32_t n, std::int32_t code,
                    WindowPropertiesRecord* properties);
// Multiplies x by the unscaled symmetric window `code` (parameter mapped).
// n < 1: -20003; invalid code: -20061; n = 1 leaves x unchanged.
Status SymmetricWindow(double* x, std::int32_t n, std::int32_t code, double parameter);

}  // namespace qm::signal
