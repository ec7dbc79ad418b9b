// Exports of the FFT transforms and spectra.
#include "fft/fft_transforms.h"
#include "frame/boundary.h"

using namespace qm::boundary;

QM_EXPORT int32_t ZMXFunc147(double* x, double* y, int64_t n) {
  return Call(qm::RealFft, Out(x), Out(y), Size(n));
}

QM_EXPORT int32_t ZMXFunc148(double* re, double* im, int64_t n) {
  return Call(qm::InverseRealFft, Out(re), Out(im), Size(n));
}

QM_EXPORT int32_t ZMXFunc77(double* re, double* im, int64_t n) {
  return Call(qm::ComplexFft, Out(re), Out(im), Size(n));
}

QM_EXPORT int32_t ZMXFunc102(double* re, double* im, int64_t n) {
  return Call(qm::InverseComplexFft, Out(re), Out(im), Size(n));
}

QM_EXPORT int32_t ZMXFunc161(double* x, int64_t n) {
  return Call(qm::PowerSpectrumTwoSided, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc10(const double* x, int64_t n, double dt, double* spectrum, double* df) {
  return Call(qm::PowerSpectrum, In(x), Size(n), dt, Out(spectrum), Opt(df));
}

QM_EXPORT int32_t ZMXFunc36(const double* x, const double* y, int64_t n, double* re, double* im) {
  return Call(qm::CrossPowerSpectrumTwoSided, In(x), In(y), Size(n), Out(re), Out(im));
}

QM_EXPORT int32_t ZMXFunc37(const double* x, const double* y, int64_t n, double dt, double* magnitude,
                            double* phase, double* df) {
  return Call(qm::CrossPowerSpectrum, In(x), In(y), Size(n), dt, Out(magnitude), Out(phase), Opt(df));
}

QM_EXPORT int32_t ZMXFunc176(const double* stimulus, const double* response, int64_t n, double dt,
                             double* magnitude, double* phase, double* df) {
  return Call(qm::TransferFunction, In(stimulus), In(response), Size(n), dt, Out(magnitude), Out(phase),
              Opt(df));
}

QM_EXPORT int32_t ZMXFunc94(const double* divisor, const double* dividend, int64_t n, double* out) {
  return Call(qm::Deconvolve, In(divisor), In(dividend), Size(n), Out(out));
}

QM_EXPORT int32_t ZMXFunc75(double* x, int64_t n) { return Call(qm::HilbertTransform, Out(x), Size(n)); }

QM_EXPORT int32_t ZMXFunc76(double* x, int64_t n) {
  return Call(qm::InverseHilbertTransform, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc78(double* x, int64_t n) { return Call(qm::HartleyTransform, Out(x), Size(n)); }

QM_EXPORT int32_t ZMXFunc103(double* x, int64_t n) {
  return Call(qm::InverseHartleyTransform, Out(x), Size(n));
}
