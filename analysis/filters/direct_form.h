// Direct-form filtering with caller-held state: an FIR filter b, or a general
// IIR filter b/a, run over one block of a stream whose memory lives in the
// caller's arrays.
//
// Per sample, in this order of summation:
//   acc  = b[0] x[i] + b[1] x[i-1] + ... + b[nb-1] x[i-nb+1]
//   FIR: y[i] = acc
//   IIR: y[i] = (acc - (a[1] y[i-1] + ... + a[na-1] y[i-na+1])) / a[0]
// The past inputs of the first nb - 1 samples come from the input state and
// the past outputs of the first na - 1 from the output state; both hold the
// latest values, oldest first, and are left holding the latest values of the
// block. Blocks filtered one after the other therefore give the samples of
// one block, bit for bit. y may be x; the states must not overlap x or y.
//
// Complex signals are interleaved (re, im) pairs (x, y and the states hold
// 2n, 2(nb-1), 2(na-1) doubles); the coefficients stay real and the two parts
// are filtered by the same rule.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::filters {

// n < 1 or nb < 1: -20003; scratch failure: -20001 (nothing written). The
// input state may be null when nb = 1.
Status FirFilterWithState(const double* x, std::int32_t n, const double* b, double* input_state,
                          std::int32_t nb, double* y);
Status ComplexFirFilterWithState(const double* x, std::int32_t n, const double* b,
                                 double* input_state, std::int32_t nb, double* y);

// As the FIR routines, with feedback a. The FIR computation is used when
// na < 1, when a is null, or when the output state is null while na > 1
// (there are past outputs but nowhere to keep them). Otherwise a[0] = 0 or
// a non-finite a[0] gives -20060 before anything is written.
Status IirFilterWithState(const double* x, std::int32_t n, const double* a, double* output_state,
                          std::int32_t na, const double* b, double* input_state, std::int32_t nb,
                          double* y);
Status ComplexIirFilterWithState(const double* x, std::int32_t n, const double* a,
                                 double* output_state, std::int32_t na, const double* b,
                                 double* input_state, std::int32_t nb, double* y);

}  // namespace qm::filters
