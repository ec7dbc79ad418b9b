// Exports of the time-domain windows.
#include <cstdint>

#include "frame/boundary.h"
#include "signal/windows.h"

namespace {

// The public properties record is two doubles: ENBW, then coherent gain.
void StoreProperties(const qm::WindowPropertiesRecord& p, double* out) {
  out[0] = p.enbw;
  out[1] = p.coherent_gain;
}

}  // namespace

using namespace qm::boundary;

QM_EXPORT int32_t ZMXFunc89(double* x, int64_t n) { return Call(qm::HanningWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc88(double* x, int64_t n) { return Call(qm::HammingWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc15(double* x, int64_t n) {
  return Call(qm::BlackmanHarrisWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc72(double* x, int64_t n) {
  return Call(qm::ExactBlackmanWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc14(double* x, int64_t n) { return Call(qm::BlackmanWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc80(double* x, int64_t n) { return Call(qm::FlatTopWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc336(double* x, int64_t n) {
  return Call(qm::BlackmanNuttallWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc85(double* x, int64_t n, const double* coefficients, int32_t count) {
  return Call(qm::GeneralCosineWindow, Out(x), Size(n), In(coefficients), count);
}
QM_EXPORT int32_t ZMXFunc180(double* x, int64_t n) { return Call(qm::TriangleWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc343(double* x, int64_t n) {
  return Call(qm::BartlettHannWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc344(double* x, int64_t n) { return Call(qm::BohmanWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc345(double* x, int64_t n) { return Call(qm::ParzenWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc346(double* x, int64_t n) { return Call(qm::WelchWindow, Out(x), Size(n)); }
QM_EXPORT int32_t ZMXFunc113(double* x, int64_t n, double beta) {
  return Call(qm::KaiserWindow, Out(x), Size(n), beta);
}
QM_EXPORT int32_t ZMXFunc279(double* x, int64_t n, double attenuation_db) {
  return Call(qm::ChebyshevWindow, Out(x), Size(n), attenuation_db);
}
QM_EXPORT int32_t ZMXFunc280(double* x, int64_t n, double sigma) {
  return Call(
      [](double* x, int32_t n, double sigma) {
        return qm::GaussianWindow(x, n, sigma, qm::WindowForm::kPeriodic);
      },
      Out(x), Size(n), sigma);
}
QM_EXPORT int32_t ZMXFunc35(double* x, int64_t n) {
  return Call(qm::CosineTaperedWindow, Out(x), Size(n));
}
QM_EXPORT int32_t ZMXFunc278(double* x, int64_t n, double ratio) {
  return Call(qm::TukeyWindow, Out(x), Size(n), ratio);
}
QM_EXPORT int32_t ZMXFunc74(double* x, int64_t n, double final_value) {
  return Call(qm::ExponentialWindow, Out(x), Size(n), final_value);
}
QM_EXPORT int32_t ZMXFunc81(double* x, int64_t n, double duty_percent) {
  return Call(qm::ForceWindow, Out(x), Size(n), duty_percent);
}

QM_EXPORT int32_t ZMXFunc283(const double* w, int32_t n, double* properties) {
  return Call(
      [](const double* w, int32_t n, double* out) {
        qm::WindowPropertiesRecord p;
        const qm::Status s = qm::ComputeWindowProperties(w, n, &p);
        if (s == qm::kSuccess) StoreProperties(p, out);
        return s;
      },
      In(w), n, Out(properties));
}

QM_EXPORT int32_t ZMXFunc282(int32_t code, double* properties) {
  return Call(
      [](int32_t code, double* out) {
        qm::WindowPropertiesRecord p;
        const qm::Status s = qm::WindowPropertiesByType(code, &p);
        if (s == qm::kSuccess) StoreProperties(p, out);
        return s;
      },
      code, Out(properties));
}

// The properties output of the scaled windows may be null (not wanted).
QM_EXPORT int32_t ZMXFunc337(double* x, int64_t n, int32_t code, double parameter,
                             double* properties) {
  return Call(
      [](double* x, int32_t n, int32_t code, double parameter, double* out) {
        qm::WindowPropertiesRecord p;
        const qm::Status s = qm::ScaledWindowWithParameter(x, n, code, parameter, &p);
        if (out && s != qm::kCountNegative) StoreProperties(p, out);
        return s;
      },
      Out(x), Size(n), code, parameter, Maybe(properties));
}

QM_EXPORT int32_t ZMXFunc152(double* x, int64_t n, int32_t code, double* properties) {
  return Call(
      [](double* x, int32_t n, int32_t code, double* out) {
        qm::WindowPropertiesRecord p;
        const qm::Status s = qm::ScaledWindow(x, n, code, &p);
        if (out && s != qm::kCountNegative) StoreProperties(p, out);
        return s;
      },
      Out(x), Size(n), code, Maybe(properties));
}

// The type code is 64 bits wide; its low 32 bits select the window.
QM_EXPORT int32_t ZMXFunc281(double* x, int64_t n, int64_t code, double parameter) {
  const auto low_bits = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(code)));
  return Call(qm::SymmetricWindow, Out(x), Size(n), low_bits, parameter);
}
