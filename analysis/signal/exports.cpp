// Exports of the time-domain signal conditioning: windows, array scaling,
// polynomial evaluation and coordinate conversion.
#include "frame/boundary.h"
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
