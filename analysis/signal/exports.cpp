// Exports of the time-domain signal conditioning: windows, array scaling,
// polynomial evaluation and coordinate conversion, derivatives, integrals,
// decimation, phase unwrapping, convolution and correlation.
#include "frame/boundary.h"
#include "signal/conditioning.h"
#include "signal/convolution.h"
#include "signal/scaling.h"
#include "signal/windows.h"

namespace {

// The public window properties record is two doubles: ENBW, then coherent
// gain.
void StoreWindowProperties(const qm::signal::WindowPropertiesRecord& p, double* out) {
  out[0] = p.enbw;
  out[1] = p.coherent_gain;
}

}  // namespace

using namespace qm::boundary;

// ---- Windows --------------------------------------------------------------------

QM_EXPORT int32_t ZMXFunc89(double* x, int64_t n) {
  return Call(qm::signal::HanningWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc88(double* x, int64_t n) {
  return Call(qm::signal::HammingWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc15(double* x, int64_t n) {
  return Call(qm::signal::BlackmanHarrisWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc72(double* x, int64_t n) {
  return Call(qm::signal::ExactBlackmanWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc14(double* x, int64_t n) {
  return Call(qm::signal::BlackmanWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc80(double* x, int64_t n) {
  return Call(qm::signal::FlatTopWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc336(double* x, int64_t n) {
  return Call(qm::signal::BlackmanNuttallWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc85(double* x, int64_t n, const double* coefficients, int32_t count) {
  return Call(qm::signal::GeneralCosineWindow, Out(x), Size(n), In(coefficients), count);
}
QM_EXPORT int32_t ZMXFunc180(double* x, int64_t n) {
  return Call(qm::signal::TriangleWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc343(double* x, int64_t n) {
  return Call(qm::signal::BartlettHannWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc344(double* x, int64_t n) {
  return Call(qm::signal::BohmanWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc345(double* x, int64_t n) {
  return Call(qm::signal::ParzenWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc346(double* x, int64_t n) {
  return Call(qm::signal::WelchWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc113(double* x, int64_t n, double beta) {
  return Call(qm::signal::KaiserWindow, Out(x), Size(n), beta);
}
QM_EXPORT int32_t ZMXFunc279(double* x, int64_t n, double attenuation_db) {
  return Call(qm::signal::ChebyshevWindow, Out(x), Size(n), attenuation_db);
}
QM_EXPORT int32_t ZMXFunc280(double* x, int64_t n, double sigma) {
  return Call(qm::signal::PeriodicGaussianWindow, Out(x), Size(n), sigma);
}
QM_EXPORT int32_t ZMXFunc35(double* x, int64_t n) {
  return Call(qm::signal::CosineTaperedWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc278(double* x, int64_t n, double ratio) {
  return Call(qm::signal::TukeyWindow, Out(x), Size(n), ratio);
}
QM_EXPORT int32_t ZMXFunc74(double* x, int64_t n, double final_value) {
  return Call(qm::signal::ExponentialWindow, Out(x), Size(n), final_value);
}
QM_EXPORT int32_t ZMXFunc81(double* x, int64_t n, double duty_percent) {
  return Call(qm::signal::ForceWindow, Out(x), Size(n), duty_percent);
}

QM_EXPORT int32_t ZMXFunc283(const double* w, int32_t n, double* properties) {
  return Call(qm::signal::ComputeWindowProperties, In(w), n,
              RecordOut<StoreWindowProperties>(properties));
}

QM_EXPORT int32_t ZMXFunc282(int32_t code, double* properties) {
  return Call(qm::signal::WindowPropertiesByType, code,
              RecordOut<StoreWindowProperties>(properties));
}

// The properties output of the scaled windows may be null (not wanted).
QM_EXPORT int32_t ZMXFunc337(double* x, int64_t n, int32_t code, double parameter,
                             double* properties) {
  return Call(qm::signal::ScaledWindowWithParameter, Out(x), Size(n), code, parameter,
              OptRecordOut<StoreWindowProperties>(properties));
}

QM_EXPORT int32_t ZMXFunc152(double* x, int64_t n, int32_t code, double* properties) {
  return Call(qm::signal::ScaledWindow, Out(x), Size(n), code,
              OptRecordOut<StoreWindowProperties>(properties));
}

QM_EXPORT int32_t ZMXFunc281(double* x, int64_t n, int64_t code, double parameter) {
  return Call(qm::signal::SymmetricWindow, Out(x), Size(n), LowWord(code), parameter);
}

// ---- Scaling, polynomial evaluation, coordinate conversion ----------------------

QM_EXPORT int32_t ZMXFunc143(const double* x, int64_t n, double* out, double* scale) {
  return Call(qm::signal::ScaleByMaxAbs1D, In(x), Size(n), OutOr(out, x), Out(scale));
}

QM_EXPORT int32_t ZMXFunc144(const double* x, int64_t rows, int64_t cols, double* out,
                             double* scale) {
  return Call(qm::signal::ScaleByMaxAbs1D, In(x), Elements2D(rows, cols), OutOr(out, x),
              Out(scale));
}

QM_EXPORT int32_t ZMXFunc153(const double* x, int64_t n, double* out, double* offset,
                             double* scale) {
  return Call(qm::signal::ScaleToUnitRange1D, In(x), Size(n), OutOr(out, x), Out(offset),
              Out(scale));
}

QM_EXPORT int32_t ZMXFunc154(const double* x, int64_t rows, int64_t cols, double* out,
                             double* offset, double* scale) {
  return Call(qm::signal::ScaleToUnitRange1D, In(x), Elements2D(rows, cols), OutOr(out, x),
              Out(offset), Out(scale));
}

QM_EXPORT int32_t ZMXFunc135(const double* x, int64_t n, const double* c, int32_t m, double* out) {
  return Call(qm::signal::PolynomialEvaluate1D, In(x), Size(n), In(c), m, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc136(const double* x, int64_t rows, int64_t cols, const double* c,
                             int32_t m, double* out) {
  return Call(qm::signal::PolynomialEvaluate1D, In(x), Elements2D(rows, cols), In(c), m,
              OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc172(double re, double im, double* magnitude, double* phase) {
  return Call(qm::signal::RectToPolar, re, im, Out(magnitude), Out(phase));
}

QM_EXPORT int32_t ZMXFunc173(const double* re, const double* im, int64_t n, double* magnitude,
                             double* phase) {
  return Call(qm::signal::RectToPolarArray, In(re), In(im), Size(n), OutOr(magnitude, re),
              OutOr(phase, im));
}

QM_EXPORT int32_t ZMXFunc174(double magnitude, double phase, double* re, double* im) {
  return Call(qm::signal::PolarToRect, magnitude, phase, Out(re), Out(im));
}

QM_EXPORT int32_t ZMXFunc232(const double* magnitude, const double* phase, int64_t n, double* re,
                             double* im) {
  return Call(qm::signal::PolarToRectArray, In(magnitude), In(phase), Size(n), OutOr(re, magnitude),
              OutOr(im, phase));
}

// ---- Derivative, integral, decimation, phase unwrapping ---------------------------

QM_EXPORT int32_t ZMXFunc56(const double* x, int64_t n, double dt, double initial,
                            double final_value, double* out) {
  return Call(qm::signal::Derivative, In(x), Size(n), dt, initial, final_value, OutOr(out, x));
}

// The condition arrays are judged by the routine: one the method does not
// read may be null.
QM_EXPORT int32_t ZMXFunc367(const double* x, int64_t n, double dt, const double* initial,
                             int64_t initial_count, const double* final_values, int64_t final_count,
                             int32_t method, double* out) {
  return Call(qm::signal::DerivativeWithMethod, In(x), Size(n), dt, Maybe(initial),
              Size(initial_count), Maybe(final_values), Size(final_count), method, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc95(const double* x, int64_t n, double dt, double initial,
                            double final_value, double* out) {
  return Call(qm::signal::Integral, In(x), Size(n), dt, initial, final_value, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc230(const double* x, int64_t n, double dt, int32_t rule, double* result) {
  return Call(qm::signal::IntegrateArray, In(x), Size(n), dt, rule, Out(result));
}

// The factor is judged against n by the routine: beyond 32 bits it exceeds
// every n and arrives as a value below 1 (-20022, not a wrapped factor). A
// null output decimates in place.
QM_EXPORT int32_t ZMXFunc53(const double* x, int64_t n, int64_t factor, int32_t average,
                            double* out) {
  return Call(qm::signal::Decimate, In(x), Size(n), Index(factor), average, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc360(const double* x, int64_t n, int64_t factor, int32_t average,
                             double* out) {
  return Call(qm::signal::ComplexDecimate, In(x), Size(n), Index(factor), average, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc183(double* p, int64_t n) {
  return Call(qm::signal::UnwrapPhase, Out(p), Size(n));
}

QM_EXPORT int32_t ZMXFunc368(double* p, int64_t n, int32_t units) {
  return Call(qm::signal::UnwrapPhaseWithUnits, Out(p), Size(n), units);
}

QM_EXPORT int32_t ZMXFunc5(const double* x, int64_t n, int32_t unwrap, double dt, double* amplitude,
                           double* phase, double* df) {
  return Call(qm::signal::AmplitudePhaseSpectrum, In(x), Size(n), unwrap, dt, Out(amplitude),
              Out(phase), Out(df));
}

// ---- Convolution, correlation, deconvolution ------------------------------------

QM_EXPORT int32_t ZMXFunc32(const double* x, int64_t n, const double* y, int64_t m, double* out) {
  return Call(qm::signal::Convolve, In(x), Size(n), In(y), Size(m), Out(out));
}

QM_EXPORT int32_t ZMXFunc372(const double* x, int64_t n, const double* y, int64_t m,
                             int32_t algorithm, double* out) {
  return Call(qm::signal::ConvolveWithAlgorithm, In(x), Size(n), In(y), Size(m), algorithm,
              Out(out));
}

QM_EXPORT int32_t ZMXFunc33(const double* x, int64_t n, const double* y, int64_t m, double* out) {
  return Call(qm::signal::Correlate, In(x), Size(n), In(y), Size(m), Out(out));
}

QM_EXPORT int32_t ZMXFunc373(const double* x, int64_t n, const double* y, int64_t m,
                             int32_t algorithm, double* out) {
  return Call(qm::signal::CorrelateWithAlgorithm, In(x), Size(n), In(y), Size(m), algorithm,
              Out(out));
}

QM_EXPORT int32_t ZMXFunc376(const double* x, int64_t n, const double* y, int64_t m,
                             int32_t algorithm, int32_t normalization, double* out) {
  return Call(qm::signal::CorrelateNormalized, In(x), Size(n), In(y), Size(m), algorithm,
              normalization, Out(out));
}

QM_EXPORT int32_t ZMXFunc54(const double* y, int64_t n, const double* h, int64_t m, double* out) {
  return Call(qm::signal::DeconvolveLinear, In(y), Size(n), In(h), Size(m), Out(out));
}
