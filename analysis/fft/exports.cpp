// Exports of the FFT transforms and spectra.
#include "fft/chirp_z.h"
#include "fft/cosine_transforms.h"
#include "fft/fft_transforms.h"
#include "fft/interleaved_fft.h"
#include "fft/plan_handles.h"
#include "fft/spectrum_units.h"
#include "frame/boundary.h"

using namespace qm::boundary;

QM_EXPORT int32_t ZMXFunc147(double* x, double* y, int64_t n) {
  return Call(qm::fft::RealFft, Out(x), Out(y), Size(n));
}

QM_EXPORT int32_t ZMXFunc148(double* re, double* im, int64_t n) {
  return Call(qm::fft::InverseRealFft, Out(re), Out(im), Size(n));
}

QM_EXPORT int32_t ZMXFunc77(double* re, double* im, int64_t n) {
  return Call(qm::fft::ComplexFft, Out(re), Out(im), Size(n));
}

QM_EXPORT int32_t ZMXFunc102(double* re, double* im, int64_t n) {
  return Call(qm::fft::InverseComplexFft, Out(re), Out(im), Size(n));
}

QM_EXPORT int32_t ZMXFunc161(double* x, int64_t n) {
  return Call(qm::fft::PowerSpectrumTwoSided, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc10(const double* x, int64_t n, double dt, double* spectrum, double* df) {
  return Call(qm::fft::PowerSpectrum, In(x), Size(n), dt, Out(spectrum), Opt(df));
}

QM_EXPORT int32_t ZMXFunc36(const double* x, const double* y, int64_t n, double* re, double* im) {
  return Call(qm::fft::CrossPowerSpectrumTwoSided, In(x), In(y), Size(n), Out(re), Out(im));
}

QM_EXPORT int32_t ZMXFunc37(const double* x, const double* y, int64_t n, double dt,
                            double* magnitude, double* phase, double* df) {
  return Call(qm::fft::CrossPowerSpectrum, In(x), In(y), Size(n), dt, Out(magnitude), Out(phase),
              Opt(df));
}

QM_EXPORT int32_t ZMXFunc176(const double* stimulus, const double* response, int64_t n, double dt,
                             double* magnitude, double* phase, double* df) {
  return Call(qm::fft::TransferFunction, In(stimulus), In(response), Size(n), dt, Out(magnitude),
              Out(phase), Opt(df));
}

QM_EXPORT int32_t ZMXFunc94(const double* divisor, const double* dividend, int64_t n, double* out) {
  return Call(qm::fft::Deconvolve, In(divisor), In(dividend), Size(n), Out(out));
}

QM_EXPORT int32_t ZMXFunc75(double* x, int64_t n) {
  return Call(qm::fft::HilbertTransform, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc76(double* x, int64_t n) {
  return Call(qm::fft::InverseHilbertTransform, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc78(double* x, int64_t n) {
  return Call(qm::fft::HartleyTransform, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc103(double* x, int64_t n) {
  return Call(qm::fft::InverseHartleyTransform, Out(x), Size(n));
}

// Cosine and sine transforms.

QM_EXPORT int32_t ZMXFunc270(const double* x, int64_t n, int64_t m, double* y) {
  return Call(qm::fft::Dct, In(x), Size(n), Size(m), Out(y));
}

QM_EXPORT int32_t ZMXFunc271(const double* x, int64_t n, double* y) {
  return Call(qm::fft::InverseDct, In(x), Size(n), Out(y));
}

QM_EXPORT int32_t ZMXFunc272(const double* x, int64_t n, int64_t m, double* y) {
  return Call(qm::fft::Dst, In(x), Size(n), Size(m), Out(y));
}

QM_EXPORT int32_t ZMXFunc273(const double* x, int64_t n, double* y) {
  return Call(qm::fft::InverseDst, In(x), Size(n), Out(y));
}

QM_EXPORT int32_t ZMXFunc274(const double* x, int64_t rows, int64_t cols, double* y) {
  return Call(qm::fft::Dct2D, In(x), Size(rows), Size(cols), Out(y));
}

QM_EXPORT int32_t ZMXFunc275(const double* x, int64_t rows, int64_t cols, double* y) {
  return Call(qm::fft::InverseDct2D, In(x), Size(rows), Size(cols), Out(y));
}

QM_EXPORT int32_t ZMXFunc276(const double* x, int64_t rows, int64_t cols, double* y) {
  return Call(qm::fft::Dst2D, In(x), Size(rows), Size(cols), Out(y));
}

QM_EXPORT int32_t ZMXFunc277(const double* x, int64_t rows, int64_t cols, double* y) {
  return Call(qm::fft::InverseDst2D, In(x), Size(rows), Size(cols), Out(y));
}

// Interleaved and 2-D front ends with plan handles.

QM_EXPORT QmFftPlanHandle* ZMXFunc260(int64_t length) {
  if (!qm::FitsInt32(length)) return nullptr;
  return qm::fft::FftPlanCreate(static_cast<int32_t>(length));
}

QM_EXPORT void ZMXFunc261(QmFftPlanHandle* plan) { qm::fft::FftPlanDestroy(plan); }

QM_EXPORT int32_t ZMXFunc262(const double* x, int64_t n, int64_t m, const QmFftPlanHandle* plan,
                             int32_t shift, double* out) {
  return Call(qm::fft::RealFftInterleaved, In(x), Size(n), Size(m), Maybe(plan), shift, Out(out));
}

QM_EXPORT int32_t ZMXFunc263(const double* x, int64_t n, int64_t m, const QmFftPlanHandle* plan,
                             int32_t shift, double* out) {
  return Call(qm::fft::ComplexFftInterleaved, In(x), Size(n), Size(m), Maybe(plan), shift,
              Out(out));
}

QM_EXPORT int32_t ZMXFunc264(const double* X, int64_t n, const QmFftPlanHandle* plan, int32_t shift,
                             double* out) {
  return Call(qm::fft::InverseRealFftInterleaved, InIfCount(X, n), Size(n), Maybe(plan), shift,
              Out(out));
}

QM_EXPORT int32_t ZMXFunc265(const double* X, int64_t n, const QmFftPlanHandle* plan, int32_t shift,
                             double* out) {
  return Call(qm::fft::InverseComplexFftInterleaved, InIfCount(X, n), Size(n), Maybe(plan), shift,
              Out(out));
}

QM_EXPORT int32_t ZMXFunc266(const double* x, int64_t rows, int64_t cols, int64_t transform_rows,
                             int64_t transform_cols, int32_t shift, double* out) {
  return Call(qm::fft::RealFft2D, In(x), Size(rows), Size(cols), Size(transform_rows),
              Size(transform_cols), shift, Out(out));
}

QM_EXPORT int32_t ZMXFunc267(const double* x, int64_t rows, int64_t cols, int64_t transform_rows,
                             int64_t transform_cols, int32_t shift, double* out) {
  return Call(qm::fft::ComplexFft2D, In(x), Size(rows), Size(cols), Size(transform_rows),
              Size(transform_cols), shift, Out(out));
}

QM_EXPORT int32_t ZMXFunc268(const double* X, int64_t rows, int64_t cols, int32_t shift,
                             double* out) {
  return Call(qm::fft::InverseRealFft2D, In(X), Size(rows), Size(cols), shift, Out(out));
}

QM_EXPORT int32_t ZMXFunc269(const double* X, int64_t rows, int64_t cols, int32_t shift,
                             double* out) {
  return Call(qm::fft::InverseComplexFft2D, In(X), Size(rows), Size(cols), shift, Out(out));
}

// Spectrum unit conversion.

QM_EXPORT int32_t ZMXFunc162(const double* x, int64_t n, int32_t kind, int32_t scale, int32_t flags,
                             double df, const double* w, double* out, char* label) {
  return Call(qm::fft::SpectrumUnitConversion, In(x), Size(n), kind, scale, flags, df, Maybe(w),
              Out(out), Out(label));
}

// Chirp-Z transform.

QM_EXPORT int32_t ZMXFunc341(const double* x, int64_t n, const double* A, const double* W,
                             int32_t method, int64_t m, double* X) {
  return Call(qm::fft::ChirpZ, In(x), Size(n), In(A), In(W), method, Size(m), Out(X));
}

QM_EXPORT int32_t ZMXFunc342(const double* x, int64_t n, const double* A, const double* W,
                             int32_t method, int64_t m, double* X) {
  return Call(qm::fft::ComplexChirpZ, In(x), Size(n), In(A), In(W), method, Size(m), Out(X));
}
