// Distribution functions of the F, Student t, chi-square and normal
// distributions, their inverses and the chi-square test of independence.
//
// The routines keep no state and allocate nothing (except the contingency
// test), so they may run on any thread. A NaN argument x gives a NaN result
// and -20104; a NaN probability is outside [0, 1] (-20053).
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::stats {

// ---- Values for the families (no status) ----------------------------------
// P(T <= x) for df > 0 degrees of freedom; NaN for NaN x.
double TCdf(double x, double df);

// ---- Routines of the exports -----------------------------------------------
// P(T <= x). df < 1 gives -20052, then NaN x gives NaN and -20104; x = 0 gives
// exactly 0.5.
Status TDistribution(double x, std::int32_t df, double* out);
// x with P(T <= x) = p by bisection over [-10000, 10000] to 0.0001, returning
// the lower end of the last bracket (a quantile below -10000 comes back as
// -10000, one above 10000 just below 10000). df < 1 gives -20052, then p
// outside [0, 1] or NaN -20053; p = 0 gives -infinity, p = 1 +infinity.
Status InverseTDistribution(double p, std::int32_t df, double* out);

}  // namespace qm::stats
