// Exports of the digital filters: the classical IIR filters applied in one
// call, and the IIR cascade filter record with its one-shot coefficient
// designs.
#include "filters/direct_form.h"
#include "filters/equiripple.h"
#include "filters/fir_design.h"
#include "filters/iir_cascade.h"
#include "filters/iir_filters.h"
#include "filters/savitzky_golay.h"
#include "frame/boundary.h"

using namespace qm::boundary;

// ---- Classical IIR filters applied to a signal --------------------------------

QM_EXPORT int32_t ZMXFunc21(const double* x, int64_t n, double fs, double fc, int32_t order,
                            double* y) {
  return Call(qm::filters::ButterworthLowpass, In(x), Size(n), fs, fc, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc20(const double* x, int64_t n, double fs, double fc, int32_t order,
                            double* y) {
  return Call(qm::filters::ButterworthHighpass, In(x), Size(n), fs, fc, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc16(const double* x, int64_t n, double fs, double fl, double fh,
                            int32_t order, double* y) {
  return Call(qm::filters::ButterworthBandpass, In(x), Size(n), fs, fl, fh, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc17(const double* x, int64_t n, double fs, double fl, double fh,
                            int32_t order, double* y) {
  return Call(qm::filters::ButterworthBandstop, In(x), Size(n), fs, fl, fh, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc27(const double* x, int64_t n, double fs, double fc, double ripple,
                            int32_t order, double* y) {
  return Call(qm::filters::ChebyshevLowpass, In(x), Size(n), fs, fc, ripple, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc26(const double* x, int64_t n, double fs, double fc, double ripple,
                            int32_t order, double* y) {
  return Call(qm::filters::ChebyshevHighpass, In(x), Size(n), fs, fc, ripple, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc22(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, int32_t order, double* y) {
  return Call(qm::filters::ChebyshevBandpass, In(x), Size(n), fs, fl, fh, ripple, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc23(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, int32_t order, double* y) {
  return Call(qm::filters::ChebyshevBandstop, In(x), Size(n), fs, fl, fh, ripple, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc101(const double* x, int64_t n, double fs, double fc, double attenuation,
                             int32_t order, double* y) {
  return Call(qm::filters::InverseChebyshevLowpass, In(x), Size(n), fs, fc, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc100(const double* x, int64_t n, double fs, double fc, double attenuation,
                             int32_t order, double* y) {
  return Call(qm::filters::InverseChebyshevHighpass, In(x), Size(n), fs, fc, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc96(const double* x, int64_t n, double fs, double fl, double fh,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::filters::InverseChebyshevBandpass, In(x), Size(n), fs, fl, fh, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc97(const double* x, int64_t n, double fs, double fl, double fh,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::filters::InverseChebyshevBandstop, In(x), Size(n), fs, fl, fh, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc64(const double* x, int64_t n, double fs, double fc, double ripple,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::filters::EllipticLowpass, In(x), Size(n), fs, fc, ripple, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc63(const double* x, int64_t n, double fs, double fc, double ripple,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::filters::EllipticHighpass, In(x), Size(n), fs, fc, ripple, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc59(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, double attenuation, int32_t order, double* y) {
  return Call(qm::filters::EllipticBandpass, In(x), Size(n), fs, fl, fh, ripple, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc60(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, double attenuation, int32_t order, double* y) {
  return Call(qm::filters::EllipticBandstop, In(x), Size(n), fs, fl, fh, ripple, attenuation, order,
              OutOr(y, x));
}

// ---- IIR cascade filter record ------------------------------------------------

// Record handles: not status exports (see frame/boundary.h).
QM_EXPORT IirCascadeRecord* ZMXFunc233(int32_t type, int32_t order) {
  return qm::filters::IirCascadeCreate(type, order);
}
QM_EXPORT void ZMXFunc235(IirCascadeRecord* record) { qm::filters::IirCascadeReset(record); }

QM_EXPORT int32_t ZMXFunc12(double fs, double fl, double fh, IirCascadeRecord* record) {
  return Call(qm::filters::LinearOrdinateDesign, fs, fl, fh, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc18(double fs, double fl, double fh, IirCascadeRecord* record) {
  return Call(qm::filters::ButterworthDesign, fs, fl, fh, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc24(double fs, double fl, double fh, double ripple,
                            IirCascadeRecord* record) {
  return Call(qm::filters::ChebyshevDesign, fs, fl, fh, ripple, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc98(double fs, double fl, double fh, double attenuation,
                            IirCascadeRecord* record) {
  return Call(qm::filters::InverseChebyshevDesign, fs, fl, fh, attenuation,
              Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc61(double fs, double fl, double fh, double ripple, double attenuation,
                            IirCascadeRecord* record) {
  return Call(qm::filters::EllipticDesign, fs, fl, fh, ripple, attenuation,
              Out(record, qm::kBadIirRecord));
}

QM_EXPORT int32_t ZMXFunc91(const double* x, int64_t n, IirCascadeRecord* record, double* y) {
  return Call(qm::filters::IirCascadeFilter, In(x), Size(n), Out(record, qm::kBadIirRecord),
              Out(y));
}

QM_EXPORT int32_t ZMXFunc236(const IirCascadeRecord* record, double* den, int32_t denLength,
                             double* num, int32_t numLength) {
  return Call(qm::filters::IirCascadeExpand, In(record, qm::kBadIirRecord), Out(den), denLength,
              Out(num), numLength);
}

// ---- One-shot designs returning the expanded coefficients ----------------------

QM_EXPORT int32_t ZMXFunc13(int32_t type, int32_t order, double fs, double fl, double fh,
                            double* den, int32_t denLength, double* num, int32_t numLength) {
  return Call(qm::filters::LinearOrdinateCoefficients, type, order, fs, fl, fh, Out(den), denLength,
              Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc19(int32_t type, int32_t order, double fs, double fl, double fh,
                            double* den, int32_t denLength, double* num, int32_t numLength) {
  return Call(qm::filters::ButterworthCoefficients, type, order, fs, fl, fh, Out(den), denLength,
              Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc25(int32_t type, int32_t order, double fs, double fl, double fh,
                            double ripple, double* den, int32_t denLength, double* num,
                            int32_t numLength) {
  return Call(qm::filters::ChebyshevCoefficients, type, order, fs, fl, fh, ripple, Out(den),
              denLength, Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc99(int32_t type, int32_t order, double fs, double fl, double fh,
                            double attenuation, double* den, int32_t denLength, double* num,
                            int32_t numLength) {
  return Call(qm::filters::InverseChebyshevCoefficients, type, order, fs, fl, fh, attenuation,
              Out(den), denLength, Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc62(int32_t type, int32_t order, double fs, double fl, double fh,
                            double ripple, double attenuation, double* den, int32_t denLength,
                            double* num, int32_t numLength) {
  return Call(qm::filters::EllipticCoefficients, type, order, fs, fl, fh, ripple, attenuation,
              Out(den), denLength, Out(num), numLength);
}

// ---- Direct-form filtering with caller-held state -----------------------------

namespace {
// The input state has nb - 1 elements: null is accepted when it has none.
RequiredIfCount<double> InputState(double* state, int32_t nb) {
  return RequiredIfCount<double>(state, int64_t{nb} - 1);
}
}  // namespace

QM_EXPORT int32_t ZMXFunc352(const double* x, int64_t n, const double* b, double* inputState,
                             int32_t nb, double* y) {
  return Call(qm::filters::FirFilterWithState, In(x), Size(n), In(b), InputState(inputState, nb),
              nb, Out(y));
}
QM_EXPORT int32_t ZMXFunc92(const double* x, int64_t n, const double* a, double* outputState,
                            int32_t na, const double* b, double* inputState, int32_t nb,
                            double* y) {
  return Call(qm::filters::IirFilterWithState, In(x), Size(n), Maybe(a), Maybe(outputState), na,
              In(b), InputState(inputState, nb), nb, Out(y));
}
QM_EXPORT int32_t ZMXFunc353(const double* x, int64_t n, const double* b, double* inputState,
                             int32_t nb, double* y) {
  return Call(qm::filters::ComplexFirFilterWithState, In(x), Size(n), In(b),
              InputState(inputState, nb), nb, Out(y));
}
QM_EXPORT int32_t ZMXFunc354(const double* x, int64_t n, const double* a, double* outputState,
                             int32_t na, const double* b, double* inputState, int32_t nb,
                             double* y) {
  return Call(qm::filters::ComplexIirFilterWithState, In(x), Size(n), Maybe(a), Maybe(outputState),
              na, In(b), InputState(inputState, nb), nb, Out(y));
}

// ---- Windowed-sinc FIR design -----------------------------------------------------

QM_EXPORT int32_t ZMXFunc79(int32_t type, double fs, double f1, double f2, int32_t taps,
                            double* coef) {
  return Call(qm::filters::FirIdealCoefficients, type, fs, f1, f2, taps, Out(coef));
}
QM_EXPORT int32_t ZMXFunc335(int32_t type, double fs, double f1, double f2, int32_t taps,
                             int32_t windowCode, double windowParameter, double* coef) {
  return Call(qm::filters::FirWindowedCoefficients, type, fs, f1, f2, taps, windowCode,
              windowParameter, Out(coef));
}
QM_EXPORT int32_t ZMXFunc112(double fs, double fc, int32_t taps, double* coef, double beta) {
  return Call(qm::filters::KaiserLowpassFir, fs, fc, taps, Out(coef), beta);
}
QM_EXPORT int32_t ZMXFunc111(double fs, double fc, int32_t taps, double* coef, double beta) {
  return Call(qm::filters::KaiserHighpassFir, fs, fc, taps, Out(coef), beta);
}
QM_EXPORT int32_t ZMXFunc109(double fs, double fl, double fh, int32_t taps, double* coef,
                             double beta) {
  return Call(qm::filters::KaiserBandpassFir, fs, fl, fh, taps, Out(coef), beta);
}
QM_EXPORT int32_t ZMXFunc110(double fs, double fl, double fh, int32_t taps, double* coef,
                             double beta) {
  return Call(qm::filters::KaiserBandstopFir, fs, fl, fh, taps, Out(coef), beta);
}
QM_EXPORT int32_t ZMXFunc189(double fs, double fc, int32_t taps, double* coef, int32_t window) {
  return Call(qm::filters::WindowedLowpassFir, fs, fc, taps, Out(coef), window);
}
QM_EXPORT int32_t ZMXFunc188(double fs, double fc, int32_t taps, double* coef, int32_t window) {
  return Call(qm::filters::WindowedHighpassFir, fs, fc, taps, Out(coef), window);
}
QM_EXPORT int32_t ZMXFunc186(double fs, double fl, double fh, int32_t taps, double* coef,
                             int32_t window) {
  return Call(qm::filters::WindowedBandpassFir, fs, fl, fh, taps, Out(coef), window);
}
QM_EXPORT int32_t ZMXFunc187(double fs, double fl, double fh, int32_t taps, double* coef,
                             int32_t window) {
  return Call(qm::filters::WindowedBandstopFir, fs, fl, fh, taps, Out(coef), window);
}

// ---- Savitzky-Golay smoothing -------------------------------------------------------

QM_EXPORT int32_t ZMXFunc355(int32_t p, int32_t m, const double* weights, int32_t wantCoefficients,
                             double* H, double* C) {
  return Call(qm::filters::SavitzkyGolayMatrix, p, m, Maybe(weights), wantCoefficients, Out(H),
              RequiredIfCount<double>(C, wantCoefficients != 0));
}
QM_EXPORT int32_t ZMXFunc356(const double* x, int64_t n, int32_t p, int32_t m,
                             const double* weights, double* y) {
  return Call(qm::filters::SavitzkyGolayFilter, In(x), Size(n), p, m, Maybe(weights), Out(y));
}
QM_EXPORT int32_t ZMXFunc357(const double* x, int64_t n, int32_t p, int32_t m,
                             const double* weights, double* y) {
  return Call(qm::filters::ComplexSavitzkyGolayFilter, In(x), Size(n), p, m, Maybe(weights),
              Out(y));
}

// ---- Equiripple FIR design ----------------------------------------------------------

QM_EXPORT int32_t ZMXFunc65(int32_t nbands, const double* gains, const double* weights, double fs,
                            const double* edges, int32_t type, int32_t taps, double* coef,
                            double* ripple) {
  return Call(qm::filters::EquirippleFir, nbands, In(gains), In(weights), fs, In(edges), type, taps,
              Out(coef), Out(ripple));
}
QM_EXPORT int32_t ZMXFunc69(double fs, double fpass, double fstop, int32_t taps, double* coef,
                            double* ripple) {
  return Call(qm::filters::EquirippleLowpass, fs, fpass, fstop, taps, Out(coef), Out(ripple));
}
QM_EXPORT int32_t ZMXFunc68(double fs, double fstop, double fpass, int32_t taps, double* coef,
                            double* ripple) {
  return Call(qm::filters::EquirippleHighpass, fs, fstop, fpass, taps, Out(coef), Out(ripple));
}
QM_EXPORT int32_t ZMXFunc66(double fs, double fstop1, double fpass1, double fpass2, double fstop2,
                            int32_t taps, double* coef, double* ripple) {
  return Call(qm::filters::EquirippleBandpass, fs, fstop1, fpass1, fpass2, fstop2, taps, Out(coef),
              Out(ripple));
}
QM_EXPORT int32_t ZMXFunc67(double fs, double fpass1, double fstop1, double fstop2, double fpass2,
                            int32_t taps, double* coef, double* ripple) {
  return Call(qm::filters::EquirippleBandstop, fs, fpass1, fstop1, fstop2, fpass2, taps, Out(coef),
              Out(ripple));
}
