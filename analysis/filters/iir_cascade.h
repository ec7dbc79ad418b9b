// The IIR cascade filter record: a caller-owned record holding the sections
// of a classical IIR design and their delay lines, so that a long signal can
// be filtered block by block; its expansion into one transfer function; and
// one-shot designs that return the expanded coefficients.
#pragma once

#include <cstdint>

#include "filters/iir_design.h"
#include "frame/status.h"
#include "qmanlys.h"

namespace qm::filters {

// A new record for a band type (0..3) and a prototype order (>= 1), with a
// zeroed delay line; null when the arguments are out of range or memory is
// short. One malloc block (record, a, b, state), released with ZMXFunc234.
IirCascadeRecord* IirCascadeCreate(std::int32_t type, std::int32_t order);

// Makes the next filtering call start from rest. A null record is ignored.
void IirCascadeReset(IirCascadeRecord* record);

// Designs the record's type and order with the family, edges and dB values
// of `params` (its type and order are taken from the record) and stores the
// coefficients; the delay line is left alone. For lowpass and highpass only
// fl is used.
Status IirCascadeDesign(const IirParameters& params, IirCascadeRecord* record);

Status LinearOrdinateDesign(double fs, double fl, double fh, IirCascadeRecord* record);
Status ButterworthDesign(double fs, double fl, double fh, IirCascadeRecord* record);
Status ChebyshevDesign(double fs, double fl, double fh, double ripple, IirCascadeRecord* record);
Status InverseChebyshevDesign(double fs, double fl, double fh, double attenuation,
                              IirCascadeRecord* record);
Status EllipticDesign(double fs, double fl, double fh, double ripple, double attenuation,
                      IirCascadeRecord* record);

// y[0 .. n-1] = x filtered by the record's sections (direct form II each),
// continuing from the stored state. y may equal x.
Status IirCascadeFilter(const double* x, std::int32_t n, IirCascadeRecord* record, double* y);

// The record's cascade as one transfer function: den[0 .. L-1] (den[0] = 1)
// and num[0 .. L-1], L = N + 1 (lowpass, highpass) or 2N + 1 (bands). The
// expanded form is ill-conditioned for high orders and narrow bands; the
// cascade is the reliable form to filter with.
Status IirCascadeExpand(const IirCascadeRecord* record, double* den, std::int32_t den_length,
                        double* num, std::int32_t num_length);

// Design plus expansion through a temporary record.
Status IirCoefficients(const IirParameters& params, double* den, std::int32_t den_length,
                       double* num, std::int32_t num_length);
// IirCoefficients for one family, by band type and prototype order.
Status LinearOrdinateCoefficients(std::int32_t type, std::int32_t order, double fs, double fl,
                                  double fh, double* den, std::int32_t den_length, double* num,
                                  std::int32_t num_length);
Status ButterworthCoefficients(std::int32_t type, std::int32_t order, double fs, double fl,
                               double fh, double* den, std::int32_t den_length, double* num,
                               std::int32_t num_length);
Status ChebyshevCoefficients(std::int32_t type, std::int32_t order, double fs, double fl, double fh,
                             double ripple, double* den, std::int32_t den_length, double* num,
                             std::int32_t num_length);
Status InverseChebyshevCoefficients(std::int32_t type, std::int32_t order, double fs, double fl,
                                    double fh, double attenuation, double* den,
                                    std::int32_t den_length, double* num, std::int32_t num_length);
Status EllipticCoefficients(std::int32_t type, std::int32_t order, double fs, double fl, double fh,
                            double ripple, double attenuation, double* den, std::int32_t den_length,
                            double* num, std::int32_t num_length);

}  // namespace qm::filters
