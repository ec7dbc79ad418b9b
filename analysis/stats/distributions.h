// Distribution functions of the F, Student t, chi-square and normal
// distributions, their inverses and the chi-square test of independence.
//
// The routines keep no state and allocate nothing (except the contingency
// test), so they may run on any thread. A NaN argument x gives a NaN result
// and -20104; a NaN probability is outside [0, 1] (-20053).
#pragma once

#include <cmath>
#include <cstdint>

#include "frame/status.h"

namespace qm::stats {

// ---- Values for the families (no status) ----------------------------------
// The distribution functions for positive (real) degrees of freedom and their
// upper tails 1 - P, each computed directly (not as a difference from 1).
// NaN x gives NaN; +infinity gives 1 (upper tail 0).
double FCdf(double x, double m, double k);
double FUpperTail(double x, double m, double k);
double TCdf(double x, double df);
// df = 0 is the point mass at 0: 1 for every x > 0.
double ChiSquareCdf(double x, double df);
double ChiSquareUpperTail(double x, double df);

// ---- The searches of the inverses -------------------------------------------
// Bisection on a distribution function: while the bracket is wider than
// 0.0001, mid = (lo + hi)/2 replaces lo when p > cdf(mid), else hi; the
// result is lo. It also ends where doubles are coarser than the tolerance
// (mid equal to an end), so that a wide bracket cannot loop for ever.
template <class Cdf>
double Bisect(double p, double lo, double hi, Cdf cdf) {
  constexpr double kTolerance = 0.0001;
  while (std::fabs(hi - lo) > kTolerance) {
    const double mid = (lo + hi) / 2;
    if (!(mid > lo && mid < hi)) break;
    if (p > cdf(mid)) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

// An upper end for that bisection: hi = start, widened by `step` while
// cdf(hi) < p. Far below a large mean cdf(hi) is 0 and grows; once it is
// positive and a step no longer increases it (it has reached the largest value
// short of p that it can give), or it is NaN, no further step can reach p and
// the widening stops.
template <class Cdf>
double GrowUpperEnd(double p, double start, double step, Cdf cdf) {
  double hi = start;
  double at_hi = cdf(hi);
  while (at_hi < p) {
    const double next = cdf(hi + step);
    hi += step;
    if (std::isnan(next) || (at_hi > 0 && next <= at_hi)) break;
    at_hi = next;
  }
  return hi;
}

// ---- Routines of the exports -----------------------------------------------
// P(F <= x) with m numerator and k denominator degrees of freedom. m < 1 or
// k < 1 gives -20052, then NaN x gives NaN and -20104; x <= 0 gives 0.
Status FDistribution(double x, std::int32_t m, std::int32_t k, double* out);
// x with P(F <= x) = p by bisection over [1e-6, 10000] (quantiles above
// 10000 come back just below it). -20052, then p outside [0, 1] or NaN
// -20053; p = 0 gives 0, p = 1 +infinity.
Status InverseFDistribution(double p, std::int32_t m, std::int32_t k, double* out);
// P(T <= x). df < 1 gives -20052, then NaN x gives NaN and -20104; x = 0 gives
// exactly 0.5.
Status TDistribution(double x, std::int32_t df, double* out);
// x with P(T <= x) = p by bisection over [-10000, 10000] to 0.0001, returning
// the lower end of the last bracket (a quantile below -10000 comes back as
// -10000, one above 10000 just below 10000). df < 1 gives -20052, then p
// outside [0, 1] or NaN -20053; p = 0 gives -infinity, p = 1 +infinity.
Status InverseTDistribution(double p, std::int32_t df, double* out);
// P(chi-square <= x). df < 0 gives -20052 (df = 0, the point mass at 0, gives
// 1 for x > 0), then NaN x gives NaN and -20104; x <= 0 gives 0.
Status ChiSquareDistribution(double x, std::int32_t df, double* out);
// x with P(chi-square <= x) = p. p outside [0, 1] or NaN gives -20053 (before
// the df), then df < 1 -20052; p = 0 gives 0, p = 1 +infinity. The upper end
// starts at 5000 and grows by 5000 while P(hi) < p, stopping as well once
// P(hi) no longer increases; bisection then runs from lo = 0.
Status InverseChiSquareDistribution(double p, std::int32_t df, double* out);
// P(Z <= x) for the standard normal by the three-term rational approximation
// of Abramowitz and Stegun 26.2.16 (absolute error below 1e-5). NaN gives
// NaN; there is no error case.
Status NormalDistribution(double x, double* out);
// z with P(Z <= z) = p by the rational approximation of Abramowitz and Stegun
// 26.2.23 (absolute error below 4.5e-4). p outside [0, 1] or NaN gives
// -20053; p = 0 gives -infinity, p = 1 +infinity.
Status InverseNormalDistribution(double p, double* out);
// Chi-square test of independence on a rows x cols table of counts (row by
// row): the statistic sum (O - E)^2 / E with E = row sum * column sum / N and
// its p-value with (rows - 1)(cols - 1) degrees of freedom. rows or cols < 0
// gives -20056, then rows or cols < 2 -20055, scratch -20001, a negative count
// -20056. A zero row or column sum (or N = 0) is not an error: the expected
// count 0 makes the statistic and the p-value NaN with status 0, which callers
// may test for.
Status ContingencyTableTest(std::int32_t rows, std::int32_t cols, const std::int32_t* table,
                            double* statistic, double* p_value);

}  // namespace qm::stats
