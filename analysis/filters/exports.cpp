// Exports of the digital filters: the classical IIR filters applied in one
// call, and the IIR cascade filter record with its one-shot coefficient
// designs.
#include "filters/iir_cascade.h"
#include "filters/iir_filters.h"
#include "frame/boundary.h"

using namespace qm::boundary;

// ---- Classical IIR filters applied to a signal --------------------------------

QM_EXPORT int32_t ZMXFunc21(const double* x, int64_t n, double fs, double fc, int32_t order,
                            double* y) {
  return Call(qm::ButterworthLowpass, In(x), Size(n), fs, fc, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc20(const double* x, int64_t n, double fs, double fc, int32_t order,
                            double* y) {
  return Call(qm::ButterworthHighpass, In(x), Size(n), fs, fc, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc16(const double* x, int64_t n, double fs, double fl, double fh,
                            int32_t order, double* y) {
  return Call(qm::ButterworthBandpass, In(x), Size(n), fs, fl, fh, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc17(const double* x, int64_t n, double fs, double fl, double fh,
                            int32_t order, double* y) {
  return Call(qm::ButterworthBandstop, In(x), Size(n), fs, fl, fh, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc27(const double* x, int64_t n, double fs, double fc, double ripple,
                            int32_t order, double* y) {
  return Call(qm::ChebyshevLowpass, In(x), Size(n), fs, fc, ripple, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc26(const double* x, int64_t n, double fs, double fc, double ripple,
                            int32_t order, double* y) {
  return Call(qm::ChebyshevHighpass, In(x), Size(n), fs, fc, ripple, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc22(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, int32_t order, double* y) {
  return Call(qm::ChebyshevBandpass, In(x), Size(n), fs, fl, fh, ripple, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc23(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, int32_t order, double* y) {
  return Call(qm::ChebyshevBandstop, In(x), Size(n), fs, fl, fh, ripple, order, OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc101(const double* x, int64_t n, double fs, double fc,
                             double attenuation, int32_t order, double* y) {
  return Call(qm::InverseChebyshevLowpass, In(x), Size(n), fs, fc, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc100(const double* x, int64_t n, double fs, double fc,
                             double attenuation, int32_t order, double* y) {
  return Call(qm::InverseChebyshevHighpass, In(x), Size(n), fs, fc, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc96(const double* x, int64_t n, double fs, double fl, double fh,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::InverseChebyshevBandpass, In(x), Size(n), fs, fl, fh, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc97(const double* x, int64_t n, double fs, double fl, double fh,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::InverseChebyshevBandstop, In(x), Size(n), fs, fl, fh, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc64(const double* x, int64_t n, double fs, double fc, double ripple,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::EllipticLowpass, In(x), Size(n), fs, fc, ripple, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc63(const double* x, int64_t n, double fs, double fc, double ripple,
                            double attenuation, int32_t order, double* y) {
  return Call(qm::EllipticHighpass, In(x), Size(n), fs, fc, ripple, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc59(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, double attenuation, int32_t order, double* y) {
  return Call(qm::EllipticBandpass, In(x), Size(n), fs, fl, fh, ripple, attenuation, order,
              OutOr(y, x));
}
QM_EXPORT int32_t ZMXFunc60(const double* x, int64_t n, double fs, double fl, double fh,
                            double ripple, double attenuation, int32_t order, double* y) {
  return Call(qm::EllipticBandstop, In(x), Size(n), fs, fl, fh, ripple, attenuation, order,
              OutOr(y, x));
}

// ---- IIR cascade filter record ------------------------------------------------

// Record handles: not status exports (see frame/boundary.h).
QM_EXPORT IirCascadeRecord* ZMXFunc233(int32_t type, int32_t order) {
  return qm::IirCascadeCreate(type, order);
}
QM_EXPORT void ZMXFunc235(IirCascadeRecord* record) { qm::IirCascadeReset(record); }

QM_EXPORT int32_t ZMXFunc12(double fs, double fl, double fh, IirCascadeRecord* record) {
  return Call(qm::LinearOrdinateDesign, fs, fl, fh, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc18(double fs, double fl, double fh, IirCascadeRecord* record) {
  return Call(qm::ButterworthDesign, fs, fl, fh, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc24(double fs, double fl, double fh, double ripple,
                            IirCascadeRecord* record) {
  return Call(qm::ChebyshevDesign, fs, fl, fh, ripple, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc98(double fs, double fl, double fh, double attenuation,
                            IirCascadeRecord* record) {
  return Call(qm::InverseChebyshevDesign, fs, fl, fh, attenuation, Out(record, qm::kBadIirRecord));
}
QM_EXPORT int32_t ZMXFunc61(double fs, double fl, double fh, double ripple, double attenuation,
                            IirCascadeRecord* record) {
  return Call(qm::EllipticDesign, fs, fl, fh, ripple, attenuation, Out(record, qm::kBadIirRecord));
}

QM_EXPORT int32_t ZMXFunc91(const double* x, int64_t n, IirCascadeRecord* record, double* y) {
  return Call(qm::IirCascadeFilter, In(x), Size(n), Out(record, qm::kBadIirRecord), Out(y));
}

QM_EXPORT int32_t ZMXFunc236(const IirCascadeRecord* record, double* den, int32_t denLength,
                             double* num, int32_t numLength) {
  return Call(qm::IirCascadeExpand, In(record, qm::kBadIirRecord), Out(den), denLength, Out(num), numLength);
}

// ---- One-shot designs returning the expanded coefficients ----------------------

QM_EXPORT int32_t ZMXFunc13(int32_t type, int32_t order, double fs, double fl, double fh,
                            double* den, int32_t denLength, double* num, int32_t numLength) {
  return Call(qm::LinearOrdinateCoefficients, type, order, fs, fl, fh, Out(den), denLength,
              Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc19(int32_t type, int32_t order, double fs, double fl, double fh,
                            double* den, int32_t denLength, double* num, int32_t numLength) {
  return Call(qm::ButterworthCoefficients, type, order, fs, fl, fh, Out(den), denLength, Out(num),
              numLength);
}
QM_EXPORT int32_t ZMXFunc25(int32_t type, int32_t order, double fs, double fl, double fh,
                            double ripple, double* den, int32_t denLength, double* num,
                            int32_t numLength) {
  return Call(qm::ChebyshevCoefficients, type, order, fs, fl, fh, ripple, Out(den), denLength,
              Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc99(int32_t type, int32_t order, double fs, double fl, double fh,
                            double attenuation, double* den, int32_t denLength, double* num,
                            int32_t numLength) {
  return Call(qm::InverseChebyshevCoefficients, type, order, fs, fl, fh, attenuation, Out(den),
              denLength, Out(num), numLength);
}
QM_EXPORT int32_t ZMXFunc62(int32_t type, int32_t order, double fs, double fl, double fh,
                            double ripple, double attenuation, double* den, int32_t denLength,
                            double* num, int32_t numLength) {
  return Call(qm::EllipticCoefficients, type, order, fs, fl, fh, ripple, attenuation, Out(den),
              denLength, Out(num), numLength);
}
