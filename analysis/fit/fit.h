// Curve fitting: point interpolation, the general weighted linear
// least-squares solver and the model fits built on it, the smoothing spline,
// fit intervals and the Levenberg–Marquardt fit of a caller's model.
//
// Counts are 32-bit, pointers valid unless marked optional (null allowed).
// Weights w[n] are optional everywhere: null means all weights 1; they enter
// every sum through |w|. Every routine returns a status and never throws.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::fit {

// A boundary first derivative above this selects the natural spline end.
inline constexpr double kNaturalEndDerivative = 9.9e29;

// ---------------------------------------------------------------------------
// Interpolation (interpolate.cpp).

// Neville's scheme: the degree n-1 polynomial through (x, y) at xv, and the
// last correction as an error estimate (0 for n = 1). -20003 n < 1, -20049
// equal x values met in the tableau.
Status PolynomialInterpolate(const double* x, const double* y, std::int32_t n, double xv,
                             double* yv, double* error_estimate);
// Bulirsch–Stoer diagonal rational interpolation. A tabulated x returns its
// y exactly with estimate 0. The tableau adds 1e-10 to y to keep 0/0 away
// from zero values, so data whose magnitude is near 1e-10 or below is
// distorted by it. -20003 n < 1, -20050 a pole (zero denominator).
Status RationalInterpolate(const double* x, const double* y, std::int32_t n, double xv, double* yv,
                           double* error_estimate);
// Cubic-spline second derivatives; an end derivative above 9.9e29 gives the
// natural end. -20003 n < 1, -20006 n = 1, -20049 equal neighbouring x.
Status SplineSecondDerivatives(const double* x, const double* y, std::int32_t n, double d_start,
                               double d_end, double* y2);
// Spline value at xv (x ascending or descending; outside the table the end
// interval's cubic). -20003 n < 1, -20006 n = 1, -20049 zero-width interval.
Status SplineInterpolate(const double* x, const double* y, const double* y2, std::int32_t n,
                         double xv, double* yv);

// ---------------------------------------------------------------------------
// General linear fit and goodness of fit (general_linear.cpp).

// The weight rules of the fits: NaN or infinity -20068; all zero counts as
// no weights; exactly n - 1 zeros -20141. *effective becomes w or null.
Status PrepareWeights(const double* w, std::int32_t n, const double** effective);

// Coefficients b (k) minimising Σ|wᵢ|·(yᵢ - (H·b)ᵢ)² for the row-major n x k
// design H. Algorithm: 0 SVD (drops zero singular values), 1..3 Householder
// QR, 4 LU on the normal equations, 5 Cholesky on them, 6 SVD with the
// tolerance n·σ₁·ε. covariance (k x k), fitted (n) and residue are optional;
// fitted and residue (weighted mean squared error) are written only when
// both are given. -20021 k < 1, -20037 n < k, -20061 algorithm outside 0..6,
// -20068 non-finite H, y or weights.
Status LinearLeastSquares(const double* h, std::int32_t n, std::int32_t k, const double* y,
                          const double* w, std::int32_t algorithm, double* coefficients,
                          double* covariance, double* fitted, double* residue);
// The same with weights 1/σᵢ² from standard deviations (σᵢ = 0: weight 1).
Status GeneralLinearFit(const double* h, std::int32_t n, std::int32_t k, const double* y,
                        const double* std_dev, std::int32_t algorithm, double* fitted,
                        double* coefficients, double* covariance, double* residue);
Status GeneralLinearFitSimple(const double* h, std::int32_t n, std::int32_t k, const double* y,
                              double* coefficients, std::int32_t algorithm);
// SSE, R² and RMSE; weights used with their sign. dof < 1 means n - 2.
Status GoodnessOfFit(const double* y, const double* fitted, const double* w, std::int32_t n,
                     std::int32_t dof, double* sse, double* r_square, double* rmse);

// ---------------------------------------------------------------------------
// Model fits (model_fits.cpp). Method 0 least squares, 1 least absolute
// residual, 2 bisquare; a tolerance ≤ 0 means 1e-4.

Status ExponentialFitSimple(const double* x, const double* y, std::int32_t n, double* fitted,
                            double* amplitude, double* damping, double* residue);
Status ExponentialFit(const double* x, const double* y, const double* w, std::int32_t n,
                      std::int32_t method, double tolerance, double* fitted, double* amplitude,
                      double* damping, double* residue);
Status LinearFitSimple(const double* x, const double* y, const double* w, std::int32_t n,
                       double* fitted, double* slope, double* intercept, double* residue);
Status LinearFit(const double* x, const double* y, const double* w, std::int32_t n,
                 std::int32_t method, double tolerance, double* fitted, double* slope,
                 double* intercept, double* residue);
Status LogarithmFit(const double* x, const double* y, const double* w, std::int32_t n, double base,
                    std::int32_t method, double tolerance, double* fitted, double* amplitude,
                    double* scale, double* residue);
Status PowerFit(const double* x, const double* y, const double* w, std::int32_t n,
                std::int32_t method, double tolerance, double* fitted, double* amplitude,
                double* power, double* residue);
Status GaussianPeakFit(const double* x, const double* y, const double* w, std::int32_t n,
                       std::int32_t method, double tolerance, const double* initial_guess,
                       double* fitted, double* amplitude, double* center, double* std_dev,
                       double* residue);

// ---------------------------------------------------------------------------
// Polynomial fits (polynomial.cpp). coefficients[j] multiplies x^j.

Status PolynomialFitSimple(const double* x, const double* y, std::int32_t n, std::int32_t order,
                           double* fitted, double* coefficients, double* residue);
Status PolynomialFitWeighted(const double* x, const double* y, const double* w, std::int32_t n,
                             std::int32_t order, const std::int32_t* term_indexes,
                             const double* term_values, std::int32_t n_terms,
                             std::int32_t algorithm, double* fitted, double* coefficients,
                             double* residue);
Status PolynomialFit(const double* x, const double* y, std::int32_t n, std::int32_t order,
                     const std::int32_t* term_indexes, const double* term_values,
                     std::int32_t n_terms, std::int32_t algorithm, double* fitted,
                     double* coefficients, double* residue);

// ---------------------------------------------------------------------------
// Smoothing spline (smoothing_spline.cpp): values and second derivatives of
// the cubic smoothing spline at x.
Status SmoothingSplineFit(const double* x, const double* y, const double* w, std::int32_t n,
                          double p, double* values, double* second_derivatives);

// ---------------------------------------------------------------------------
// Bounds of fitted curves (intervals.cpp). coefficients as the fits return
// them: (amplitude, damping), (slope, intercept), (amplitude, scale),
// (amplitude, power), (amplitude, center, stdDev). Selector 0 bounds the
// fitted curve, 1 a new observation; upper and lower have n entries,
// half_widths (optional) one per coefficient. -20007 n < 3 (-20069 n < 4 for
// the Gaussian), -20068 a coefficient not finite, -20053 level outside
// (0, 1), -20061 another selector.
Status ExponentialFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                              const double* coefficients, std::int32_t selector, double level,
                              double* upper, double* lower, double* half_widths);
Status LinearFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                         const double* coefficients, std::int32_t selector, double level,
                         double* upper, double* lower, double* half_widths);
Status LogarithmFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                            double base, const double* coefficients, std::int32_t selector,
                            double level, double* upper, double* lower, double* half_widths);
Status PowerFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                        const double* coefficients, std::int32_t selector, double level,
                        double* upper, double* lower, double* half_widths);
Status GaussianPeakFitInterval(const double* x, const double* y, const double* w, std::int32_t n,
                               const double* coefficients, std::int32_t selector, double level,
                               double* upper, double* lower, double* half_widths);

// ---------------------------------------------------------------------------
// Levenberg–Marquardt fit of a caller's model (nonlinear.cpp).

using ModelFunction = double (*)(double x, const double* a, std::int32_t m);

// max_iterations < 0: no limit. fitted, mse and iterations are optional.
Status NonlinearFitWeighted(const double* x, const double* y, const double* w, double* fitted,
                            std::int32_t n, std::int32_t max_iterations, ModelFunction model,
                            double* coefficients, std::int32_t m, double* mse,
                            std::int32_t* iterations);
Status NonlinearFitLimited(const double* x, const double* y, double* fitted, std::int32_t n,
                           std::int32_t max_iterations, ModelFunction model, double* coefficients,
                           std::int32_t m, double* mse);
Status NonlinearFit(const double* x, const double* y, double* fitted, std::int32_t n,
                    ModelFunction model, double* coefficients, std::int32_t m, double* mse);

}  // namespace qm::fit
