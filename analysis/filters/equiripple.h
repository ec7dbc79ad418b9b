// Equiripple (minimax) linear-phase FIR design by the Remez exchange on a
// dense grid, after the published McClellan-Parks-Rabiner design program:
// grid density 16, at most 100 exchanges.
//
// Checks, in this order: taps < 3 (-20031); nbands < 1 (-20003); fs NaN or
// infinite (-20031), not positive (-20023); each edge NaN or infinite
// (-20031), negative (-20023); each band's weight NaN or infinite (-20031),
// not positive (-20023), its gain NaN or infinite (-20031), negative
// (-20023); last edge above fs/2 (-20020); edges not strictly increasing
// (-20023); type outside 1..3 (-20061); the type's own edge rules (-20031)
// and, for a multiband design of even length, a nonzero last gain (-20033);
// taps/2 + 2 >= 2048 (-20001); the exchange unable to proceed or to settle
// within 100 iterations (-20031). coef and ripple are written only on
// success.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::filters {

enum EquirippleType : std::int32_t {
  kEquirippleMultiband = 1,
  kEquirippleDifferentiator = 2,
  kEquirippleHilbert = 3,
};

// nbands bands of 2 nbands edges (Hz, lower and upper, strictly increasing
// from 0 to fs/2), a gain (>= 0) and a weight (> 0) each. Odd taps give
// symmetric (type 2 and 3: antisymmetric) filters about the centre tap.
// ripple: the absolute final deviation.
Status EquirippleFir(std::int32_t nbands, const double* gains, const double* weights, double fs,
                     const double* edges, std::int32_t type, std::int32_t taps, double* coef,
                     double* ripple);

Status EquirippleLowpass(double fs, double fpass, double fstop, std::int32_t taps, double* coef,
                         double* ripple);
// Odd taps only (-20033 first).
Status EquirippleHighpass(double fs, double fstop, double fpass, std::int32_t taps, double* coef,
                          double* ripple);
Status EquirippleBandpass(double fs, double fstop1, double fpass1, double fpass2, double fstop2,
                          std::int32_t taps, double* coef, double* ripple);
// Odd taps only (-20033 first).
Status EquirippleBandstop(double fs, double fpass1, double fstop1, double fstop2, double fpass2,
                          std::int32_t taps, double* coef, double* ripple);

}  // namespace qm::filters
