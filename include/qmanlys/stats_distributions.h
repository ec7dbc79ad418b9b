/* Distribution functions, their inverses and the contingency-table test. Included by qmanlys.h
 * inside its extern "C" block.
 *
 * Degrees of freedom are 32-bit; -20052 when they are out of range, checked before x or p
 * (except for the inverse chi-square, which checks p first). A NaN x gives a NaN result and
 * -20104. A probability outside [0, 1], or NaN, gives -20053. The inverses search by bisection
 * to a bracket of width 0.0001 and return its lower end, so they lie within 0.0001 below the
 * exact quantile. */

/* InverseTDistribution(p, df, x): x with P(T <= x) = p, bisection over [-10000, 10000]
 * (quantiles below -10000 give -10000, above 10000 a value just below 10000); p = 0: -infinity,
 * p = 1: +infinity. -20052 df < 1, then -20053. */
int32_t ZMXFunc107(double p, int32_t df, double* x);
