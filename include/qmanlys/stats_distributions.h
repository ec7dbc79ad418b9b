/* Distribution functions, their inverses and the contingency-table test. Included by qmanlys.h
 * inside its extern "C" block.
 *
 * Degrees of freedom are 32-bit; -20052 when they are out of range, checked before x or p
 * (except for the inverse chi-square, which checks p first). A NaN x gives a NaN result and
 * -20104. A probability outside [0, 1], or NaN, gives -20053. The inverses search by bisection
 * to a bracket of width 0.0001 and return its lower end, so they lie within 0.0001 below the
 * exact quantile. */

/* FDistribution(x, m, k, p): P(F <= x) with m numerator and k denominator degrees of freedom;
 * 0 for x <= 0. -20052 m < 1 or k < 1, then NaN x: NaN and -20104. */
int32_t ZMXFunc83(double x, int32_t m, int32_t k, double* p);
/* InverseFDistribution(p, m, k, x): x with P(F <= x) = p, bisection over [1e-6, 10000]
 * (quantiles above 10000 give a value just below 10000); p = 0: 0, p = 1: +infinity. -20052,
 * then -20053. */
int32_t ZMXFunc104(double p, int32_t m, int32_t k, double* x);
/* TDistribution(x, df, p): P(T <= x), exactly 0.5 at x = 0. -20052 df < 1, then NaN x: NaN and
 * -20104. */
int32_t ZMXFunc181(double x, int32_t df, double* p);
/* InverseTDistribution(p, df, x): x with P(T <= x) = p, bisection over [-10000, 10000]
 * (quantiles below -10000 give -10000, above 10000 a value just below 10000); p = 0: -infinity,
 * p = 1: +infinity. -20052 df < 1, then -20053. */
int32_t ZMXFunc107(double p, int32_t df, double* x);
/* ChiSquareDistribution(x, df, p): P(chi-square <= x); 0 for x <= 0; df = 0 is the point mass at
 * 0 (1 for x > 0). -20052 df < 0, then NaN x: NaN and -20104. */
int32_t ZMXFunc190(double x, int32_t df, double* p);
/* InverseChiSquareDistribution(p, df, x): x with P(chi-square <= x) = p; the upper end of the
 * search starts at 5000 and grows by 5000 until the distribution function reaches p (or stops
 * increasing), then bisection from 0; p = 0: 0, p = 1: +infinity. -20053 first, then -20052
 * df < 1. */
int32_t ZMXFunc108(double p, int32_t df, double* x);
/* NormalDistribution(x, p): P(Z <= x) by the rational approximation of Abramowitz and Stegun
 * 26.2.16 (absolute error below 1e-5); NaN gives NaN with status 0. */
int32_t ZMXFunc134(double x, double* p);
/* InverseNormalDistribution(p, z): z with P(Z <= z) = p by the rational approximation of
 * Abramowitz and Stegun 26.2.23 (absolute error below 4.5e-4); p = 0: -infinity, p = 1:
 * +infinity. -20053. */
int32_t ZMXFunc106(double p, double* z);
/* ContingencyTableTest(rows, cols, table, statistic, p): chi-square test of independence on a
 * rows x cols table of counts stored row by row: statistic = sum (O - E)^2 / E with
 * E = row sum * column sum / N, p = P(chi-square > statistic) with (rows - 1)(cols - 1) degrees
 * of freedom. -20056 rows or cols < 0, then -20055 rows or cols < 2, -20001, then -20056 for a
 * negative count. A zero row or column sum (or an all-zero table) is not an error: the statistic
 * and p are NaN with status 0. */
int32_t ZMXFunc31(int32_t rows, int32_t cols, const int32_t* table, double* statistic, double* p);
