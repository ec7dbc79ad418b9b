// Classical IIR filters applied to a whole signal in one call: designed,
// run from rest over the signal, all sections sample by sample, and
// forgotten.
#pragma once

#include <cstdint>

#include "filters/iir_design.h"
#include "frame/status.h"

namespace qm::filters {

// Checks the arguments of a one-call filter in the documented order and, when
// they pass, writes x filtered into y (y may equal x, or overlap it). No
// memory is taken.
Status IirFilterSignal(const IirParameters& params, const double* x, std::int32_t n, double* y);

Status ButterworthLowpass(const double* x, std::int32_t n, double fs, double fc, std::int32_t order,
                          double* y);
Status ButterworthHighpass(const double* x, std::int32_t n, double fs, double fc,
                           std::int32_t order, double* y);
Status ButterworthBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                           std::int32_t order, double* y);
Status ButterworthBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                           std::int32_t order, double* y);
Status ChebyshevLowpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                        std::int32_t order, double* y);
Status ChebyshevHighpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                         std::int32_t order, double* y);
Status ChebyshevBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                         double ripple, std::int32_t order, double* y);
Status ChebyshevBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                         double ripple, std::int32_t order, double* y);
Status InverseChebyshevLowpass(const double* x, std::int32_t n, double fs, double fc,
                               double attenuation, std::int32_t order, double* y);
Status InverseChebyshevHighpass(const double* x, std::int32_t n, double fs, double fc,
                                double attenuation, std::int32_t order, double* y);
Status InverseChebyshevBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                                double attenuation, std::int32_t order, double* y);
Status InverseChebyshevBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                                double attenuation, std::int32_t order, double* y);
Status EllipticLowpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                       double attenuation, std::int32_t order, double* y);
Status EllipticHighpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                        double attenuation, std::int32_t order, double* y);
Status EllipticBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                        double ripple, double attenuation, std::int32_t order, double* y);
Status EllipticBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                        double ripple, double attenuation, std::int32_t order, double* y);

}  // namespace qm::filters
