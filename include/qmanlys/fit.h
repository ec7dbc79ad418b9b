/* Curve fitting: interpolation, linear and robust fits, the smoothing spline,
 * fit intervals and the Levenberg–Marquardt fit. Included by qmanlys.h
 * inside its extern "C" block.
 *
 * Arrays are x[n], y[n]; weights w[n] are optional (null: all 1) and enter
 * every sum through |w|; a weight array holding a NaN or infinity gives
 * -20068, one of all zeros counts as absent, one with exactly n - 1 zeros
 * gives -20141. NaN or infinity in x, y or a design matrix gives -20068
 * before any output is written. Method codes of the model fits: 0 least
 * squares, 1 least absolute residual (residue: mean absolute residual), 2
 * bisquare (residue: mean squared error); others -20061. A tolerance <= 0
 * means 1e-4. Null required pointers give -20008, counts beyond 32 bits
 * -20046. */

/* Model function of the nonlinear fits: f(x; a[0..m-1]). */
typedef double (*QmFitModel)(double x, const double* a, int32_t m);

/* PolynomialInterpolate(x, y, n, xValue, yValue, errorEstimate): Neville's degree n-1 polynomial at xValue, errorEstimate the last correction (0 for n = 1); -20003 n < 1, -20049 equal x values. */
int32_t ZMXFunc138(const double* x, const double* y, int64_t n, double x_value, double* y_value, double* error_estimate);
/* RationalInterpolate(x, y, n, xValue, yValue, errorEstimate): diagonal rational function (Bulirsch–Stoer); a tabulated x returns its y with estimate 0; 1e-10 is added to y inside the tableau, which distorts data of magnitude near 1e-10 or below; -20003 n < 1, -20050 pole. */
int32_t ZMXFunc146(const double* x, const double* y, int64_t n, double x_value, double* y_value, double* error_estimate);
/* SplineSecondDerivatives(x, y, n, firstDerivativeStart, firstDerivativeEnd, y2): cubic-spline second derivatives; an end derivative > 9.9e29 gives the natural end; -20003 n < 1, -20006 n = 1, -20049 equal neighbouring x. */
int32_t ZMXFunc164(const double* x, const double* y, int64_t n, double first_derivative_start, double first_derivative_end, double* y2);
/* SplineInterpolate(x, y, y2, n, xValue, yValue): the spline at xValue (x ascending or descending; the end cubics outside); -20003 n < 1, -20006 n = 1, -20049 zero-width interval. */
int32_t ZMXFunc163(const double* x, const double* y, const double* y2, int64_t n, double x_value, double* y_value);

/* GeneralLinearFit(H, n, k, y, stdDev, algorithm, fitted, coefficients, covariance, residue): b minimising sum |w|(y - H b)^2 for the row-major n x k H, weights 1/stdDev^2 (stdDev optional, 0 means weight 1); algorithm 0 SVD, 1-3 QR, 4 LU and 5 Cholesky on the normal equations, 6 SVD with tolerance n*s1*eps; covariance (k x k) optional; fitted and residue (weighted mean squared error) written only when both are given (either may be null); -20021 k < 1, -20037 n < k, -20061 algorithm outside 0..6, -20041 singular R or normal matrix. */
int32_t ZMXFunc86(const double* h, int64_t n, int64_t k, const double* y, const double* std_dev, int32_t algorithm, double* fitted, double* coefficients, double* covariance, double* residue);
/* GeneralLinearFitSimple(H, n, k, y, coefficients, algorithm): as ZMXFunc86 without weights and the optional outputs. */
int32_t ZMXFunc239(const double* h, int64_t n, int64_t k, const double* y, double* coefficients, int32_t algorithm);
/* GoodnessOfFit(y, fitted, w, n, degreesOfFreedom, sse, rSquare, rmse): weights (optional) used with their sign; degreesOfFreedom < 1 means n - 2 (for n = 2 the RMSE is then the IEEE quotient of sse and 0); rSquare 1 or +infinity for a constant y; -20006 n < 2, -20052 degreesOfFreedom >= n. */
int32_t ZMXFunc284(const double* y, const double* fitted, const double* w, int64_t n, int32_t degrees_of_freedom, double* sse, double* r_square, double* rmse);

/* ExponentialFitSimple(x, y, n, fitted, amplitude, damping, residue): y = a e^(b x) by the log-linear estimate on the points of the prevailing sign; -20006 n < 2, -20036 fewer than two such points. */
int32_t ZMXFunc73(const double* x, const double* y, int64_t n, double* fitted, double* amplitude, double* damping, double* residue);
/* ExponentialFit(x, y, w, n, method, tolerance, fitted, amplitude, damping, residue): y = a e^(b x), the estimate refined by Gauss-Newton (least squares, 100 steps) or reweighted (LAR, bisquare, 50 rounds). */
int32_t ZMXFunc286(const double* x, const double* y, const double* w, int64_t n, int32_t method, double tolerance, double* fitted, double* amplitude, double* damping, double* residue);
/* LinearFitSimple(x, y, w, n, fitted, slope, intercept, residue): the weighted straight line in closed form; -20006 n < 2, -20049 all x equal. */
int32_t ZMXFunc117(const double* x, const double* y, const double* w, int64_t n, double* fitted, double* slope, double* intercept, double* residue);
/* LinearFit(x, y, w, n, method, tolerance, fitted, slope, intercept, residue): the straight line by the three methods. */
int32_t ZMXFunc288(const double* x, const double* y, const double* w, int64_t n, int32_t method, double tolerance, double* fitted, double* slope, double* intercept, double* residue);
/* LogarithmFit(x, y, w, n, base, method, tolerance, fitted, amplitude, scale, residue): y = a log_base(c x) (base <= 0: e); x all positive or all negative, else -20036. */
int32_t ZMXFunc289(const double* x, const double* y, const double* w, int64_t n, double base, int32_t method, double tolerance, double* fitted, double* amplitude, double* scale, double* residue);
/* PowerFit(x, y, w, n, method, tolerance, fitted, amplitude, power, residue): y = a x^b; x <= 0 gives -20140. */
int32_t ZMXFunc290(const double* x, const double* y, const double* w, int64_t n, int32_t method, double tolerance, double* fitted, double* amplitude, double* power, double* residue);
/* GaussianPeakFit(x, y, w, n, method, tolerance, initialGuess, fitted, amplitude, center, stdDev, residue): y = a e^(-((x - mu)/sigma)^2/2); initialGuess (a, mu, sigma) optional, a non-finite guess gives the automatic start and the warning 20030; -20007 n < 3, -20026 no positive width. */
int32_t ZMXFunc287(const double* x, const double* y, const double* w, int64_t n, int32_t method, double tolerance, const double* initial_guess, double* fitted, double* amplitude, double* center, double* std_dev, double* residue);

/* PolynomialFitSimple(x, y, n, order, fitted, coefficients, residue): coefficients[j] of x^j (order + 1 of them), least squares by SVD on the column-scaled Vandermonde matrix; -20103 order < 0, -20037 n <= order; an order above 25 fits 0..25, zeroes the rest and returns 20031. */
int32_t ZMXFunc137(const double* x, const double* y, int64_t n, int32_t order, double* fitted, double* coefficients, double* residue);
/* PolynomialFit(x, y, n, order, termIndexes, termValues, nTerms, algorithm, fitted, coefficients, residue): terms termIndexes[i] (powers 0..order, distinct, else -20061) keep the coefficients termValues[i]; algorithm 0 SVD, 1 QR, 2 LU, 3 Cholesky (others -20061); -20103 order or nTerms < 0, -20037 n <= order - nTerms. */
int32_t ZMXFunc298(const double* x, const double* y, int64_t n, int32_t order, const int32_t* term_indexes, const double* term_values, int64_t n_terms, int32_t algorithm, double* fitted, double* coefficients, double* residue);
/* PolynomialFitWeighted(x, y, w, n, order, termIndexes, termValues, nTerms, algorithm, fitted, coefficients, residue): ZMXFunc298 with weights. */
int32_t ZMXFunc361(const double* x, const double* y, const double* w, int64_t n, int32_t order, const int32_t* term_indexes, const double* term_values, int64_t n_terms, int32_t algorithm, double* fitted, double* coefficients, double* residue);

/* SmoothingSplineFit(x, y, w, n, p, values, secondDerivatives): cubic smoothing spline minimising p sum |w|(y - f)^2 + (1 - p) integral f''^2, its values and second derivatives at x; p = 1 interpolates, p outside [0, 1] means 8/(8 + h^3) with h = (x[n-1] - x[0])/n; -20006 n < 2, -20049 x not strictly increasing, -20141 a zero weight; n = 2 gives the line through both points. */
int32_t ZMXFunc285(const double* x, const double* y, const double* w, int64_t n, double p, double* values, double* second_derivatives);

/* Fit intervals: bounds around a fitted curve at every x. coefficients as the fits return them; selector 0 bounds the fitted curve (f +- t sqrt(g'Cg s^2)), 1 a new observation (f +- t sqrt((g'Cg + 1) s^2)), with g the coefficient derivatives at x, C = pinv(J'WJ), s^2 = sum |w|(f - y)^2/(n - p) and t the Student quantile (ZMXFunc107) at 1 - (1 - level)/2 with n - p degrees of freedom; halfWidths (optional, p entries) t sqrt(C_jj s^2). -20007 n < 3, -20068 a coefficient not finite, -20053 level outside (0, 1), -20061 another selector. */
/* ExponentialFitInterval(x, y, w, n, coefficients (amplitude, damping), selector, level, upper, lower, halfWidths). */
int32_t ZMXFunc291(const double* x, const double* y, const double* w, int64_t n, const double* coefficients, int32_t selector, double level, double* upper, double* lower, double* half_widths);
/* GaussianPeakFitInterval(x, y, w, n, coefficients (amplitude, center, stdDev), selector, level, upper, lower, halfWidths): -20069 n < 4, -20026 stdDev 0. */
int32_t ZMXFunc292(const double* x, const double* y, const double* w, int64_t n, const double* coefficients, int32_t selector, double level, double* upper, double* lower, double* half_widths);
/* LinearFitInterval(x, y, w, n, coefficients (slope, intercept), selector, level, upper, lower, halfWidths). */
int32_t ZMXFunc293(const double* x, const double* y, const double* w, int64_t n, const double* coefficients, int32_t selector, double level, double* upper, double* lower, double* half_widths);
/* LogarithmFitInterval(x, y, w, n, base, coefficients (amplitude, scale), selector, level, upper, lower, halfWidths): base as ZMXFunc289; -20036 scale*x <= 0 somewhere. */
int32_t ZMXFunc294(const double* x, const double* y, const double* w, int64_t n, double base, const double* coefficients, int32_t selector, double level, double* upper, double* lower, double* half_widths);
/* PowerFitInterval(x, y, w, n, coefficients (amplitude, power), selector, level, upper, lower, halfWidths): -20140 x <= 0. */
int32_t ZMXFunc295(const double* x, const double* y, const double* w, int64_t n, const double* coefficients, int32_t selector, double level, double* upper, double* lower, double* half_widths);

/* NonlinearFit(x, y, fitted, n, model, coefficients, m, mse): Levenberg-Marquardt from the guess in coefficients (updated in place), without an iteration limit; fitted and mse optional; -20003 n < 1, -20021 m < 1, -20037 n < m, -20068 a model not finite at the start. */
int32_t ZMXFunc130(const double* x, const double* y, double* fitted, int64_t n, QmFitModel model, double* coefficients, int64_t m, double* mse);
/* Same as ZMXFunc130. */
int32_t ZMXFunc338(const double* x, const double* y, double* fitted, int64_t n, QmFitModel model, double* coefficients, int64_t m, double* mse);
/* NonlinearFitLimited(x, y, fitted, n, maxIterations, model, coefficients, m, mse): at most maxIterations steps (< 0: no limit); -20062 when the limit ends an unconverged fit (results delivered). */
int32_t ZMXFunc131(const double* x, const double* y, double* fitted, int64_t n, int32_t max_iterations, QmFitModel model, double* coefficients, int64_t m, double* mse);
/* Same as ZMXFunc131. */
int32_t ZMXFunc339(const double* x, const double* y, double* fitted, int64_t n, int32_t max_iterations, QmFitModel model, double* coefficients, int64_t m, double* mse);
/* NonlinearFitWeighted(x, y, w, fitted, n, maxIterations, model, coefficients, m, mse, iterations): points with w = 0 take no part (all zero: unweighted); fitted, mse (1/n sum |w|(f - y)^2 over all n) and iterations optional. */
int32_t ZMXFunc374(const double* x, const double* y, const double* w, double* fitted, int64_t n, int32_t max_iterations, QmFitModel model, double* coefficients, int64_t m, double* mse, int32_t* iterations);
/* Same as ZMXFunc374. */
int32_t ZMXFunc375(const double* x, const double* y, const double* w, double* fitted, int64_t n, int32_t max_iterations, QmFitModel model, double* coefficients, int64_t m, double* mse, int32_t* iterations);
