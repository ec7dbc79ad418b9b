// Analysis of variance for one-, two- and three-factor experiments.
//
// Levels are 0-based. The two- and three-factor designs are balanced (r
// observations in every cell); the sign of a level count carries the model:
// positive for a fixed factor, negative for a random one with |count| levels.
// Every p-value is P(F > F ratio) for the effect's and its denominator's
// degrees of freedom, written after the table. Sums of squares are formed
// about the first observation (equal to the textbook sums in exact
// arithmetic), so a large common offset costs no digits. A zero denominator
// (constant data) gives the IEEE quotients: F infinite (p 0) or NaN (p NaN),
// status 0; NaN observations give a NaN table. Checks return before any
// output is written; work memory is taken per call (-20001).
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::stats {

// One-way: n < 1 gives -20003, k < 2 or k >= n -20042, scratch -20001, a level
// outside 0..k-1 -20043, a level without observations -20044 (in level order).
// SS within = SS total - SS between; F = MS between / MS within.
Status OneWayAnova(const double* y, const std::int32_t* level, std::int32_t n, std::int32_t k,
                   double* ss_between, double* ms_between, double* f, double* p, double* ss_within,
                   double* ms_within, double* ss_total);

// Two-way table of 15 doubles: (SS, df, MS, F) of A [0-3], B [4-7], AB [8-11],
// then error SS, df, MS [12-14]. Checks in order: |a| |b| r != n (-20045,
// formed without overflow), |a| < 2 or |b| < 2 (-20042), r < 1 (-20044),
// scratch (-20001), a level out of range (-20043), a cell without exactly r
// observations (-20047), r = 1 with a random factor (-20048). With r = 1 the
// interaction row is 0, the error is the interaction (df (a-1)(b-1)) and
// p AB = 0. F A is over MSAB when B is random, F B over MSAB when A is
// random, else over MS error; each p-value takes the df of its F ratio's
// denominator.
Status TwoWayAnova(const double* y, const std::int32_t* level_a, const std::int32_t* level_b,
                   std::int32_t n, std::int32_t r, std::int32_t a, std::int32_t b, double* table,
                   double* p_a, double* p_b, double* p_ab);

// Three-way table of 32 doubles: (SS, df, MS, F) of A, B, C, AB, AC, BC, ABC
// [0-27], then error SS, df, MS [28-30]; [31] = 0. Checks in order:
// |a| |b| |c| r != n (-20045), r < 2 (-20044), |a|, |b| or |c| < 2 (-20042),
// scratch (-20001), a level out of range (-20043), a cell without exactly r
// observations (-20047). The random factors select each F ratio's
// denominator; where no exact test exists F and p are -1. The seven p-values
// are A, B, C, AB, AC, BC, ABC.
Status ThreeWayAnova(const double* y, const std::int32_t* level_a, const std::int32_t* level_b,
                     const std::int32_t* level_c, std::int32_t n, std::int32_t r, std::int32_t a,
                     std::int32_t b, std::int32_t c, double* table, double* p_a, double* p_b,
                     double* p_c, double* p_ab, double* p_ac, double* p_bc, double* p_abc);

}  // namespace qm::stats
