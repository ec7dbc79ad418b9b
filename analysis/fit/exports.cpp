// Exports of the curve-fitting family: interpolation, the general linear
// fit, the model and polynomial fits, the smoothing spline and the
// Levenberg–Marquardt fits.
#include "fit/fit.h"
#include "frame/boundary.h"

using namespace qm::boundary;

namespace {

// The caller's model function: required like an input array (-20008).
Required<double(double, const double*, int32_t)> Model(QmFitModel f) {
  return Required<double(double, const double*, int32_t)>(f);
}

}  // namespace

QM_EXPORT int32_t ZMXFunc138(const double* x, const double* y, int64_t n, double x_value,
                             double* y_value, double* error_estimate) {
  return Call(qm::fit::PolynomialInterpolate, In(x), In(y), Size(n), x_value, Out(y_value),
              Out(error_estimate));
}
QM_EXPORT int32_t ZMXFunc146(const double* x, const double* y, int64_t n, double x_value,
                             double* y_value, double* error_estimate) {
  return Call(qm::fit::RationalInterpolate, In(x), In(y), Size(n), x_value, Out(y_value),
              Out(error_estimate));
}
QM_EXPORT int32_t ZMXFunc164(const double* x, const double* y, int64_t n,
                             double first_derivative_start, double first_derivative_end,
                             double* y2) {
  return Call(qm::fit::SplineSecondDerivatives, In(x), In(y), Size(n), first_derivative_start,
              first_derivative_end, Out(y2));
}
QM_EXPORT int32_t ZMXFunc163(const double* x, const double* y, const double* y2, int64_t n,
                             double x_value, double* y_value) {
  return Call(qm::fit::SplineInterpolate, In(x), In(y), In(y2), Size(n), x_value, Out(y_value));
}

QM_EXPORT int32_t ZMXFunc86(const double* h, int64_t n, int64_t k, const double* y,
                            const double* std_dev, int32_t algorithm, double* fitted,
                            double* coefficients, double* covariance, double* residue) {
  return Call(qm::fit::GeneralLinearFit, In(h), Size(n), Size(k), In(y), Maybe(std_dev), algorithm,
              Maybe(fitted), Out(coefficients), Maybe(covariance), Maybe(residue));
}
QM_EXPORT int32_t ZMXFunc239(const double* h, int64_t n, int64_t k, const double* y,
                             double* coefficients, int32_t algorithm) {
  return Call(qm::fit::GeneralLinearFitSimple, In(h), Size(n), Size(k), In(y), Out(coefficients),
              algorithm);
}
QM_EXPORT int32_t ZMXFunc284(const double* y, const double* fitted, const double* w, int64_t n,
                             int32_t degrees_of_freedom, double* sse, double* r_square,
                             double* rmse) {
  return Call(qm::fit::GoodnessOfFit, In(y), In(fitted), Maybe(w), Size(n), degrees_of_freedom,
              Out(sse), Out(r_square), Out(rmse));
}

QM_EXPORT int32_t ZMXFunc73(const double* x, const double* y, int64_t n, double* fitted,
                            double* amplitude, double* damping, double* residue) {
  return Call(qm::fit::ExponentialFitSimple, In(x), In(y), Size(n), Out(fitted), Out(amplitude),
              Out(damping), Out(residue));
}
QM_EXPORT int32_t ZMXFunc286(const double* x, const double* y, const double* w, int64_t n,
                             int32_t method, double tolerance, double* fitted, double* amplitude,
                             double* damping, double* residue) {
  return Call(qm::fit::ExponentialFit, In(x), In(y), Maybe(w), Size(n), method, tolerance,
              Out(fitted), Out(amplitude), Out(damping), Out(residue));
}
QM_EXPORT int32_t ZMXFunc117(const double* x, const double* y, const double* w, int64_t n,
                             double* fitted, double* slope, double* intercept, double* residue) {
  return Call(qm::fit::LinearFitSimple, In(x), In(y), Maybe(w), Size(n), Out(fitted), Out(slope),
              Out(intercept), Out(residue));
}
QM_EXPORT int32_t ZMXFunc288(const double* x, const double* y, const double* w, int64_t n,
                             int32_t method, double tolerance, double* fitted, double* slope,
                             double* intercept, double* residue) {
  return Call(qm::fit::LinearFit, In(x), In(y), Maybe(w), Size(n), method, tolerance, Out(fitted),
              Out(slope), Out(intercept), Out(residue));
}
QM_EXPORT int32_t ZMXFunc289(const double* x, const double* y, const double* w, int64_t n,
                             double base, int32_t method, double tolerance, double* fitted,
                             double* amplitude, double* scale, double* residue) {
  return Call(qm::fit::LogarithmFit, In(x), In(y), Maybe(w), Size(n), base, method, tolerance,
              Out(fitted), Out(amplitude), Out(scale), Out(residue));
}
QM_EXPORT int32_t ZMXFunc290(const double* x, const double* y, const double* w, int64_t n,
                             int32_t method, double tolerance, double* fitted, double* amplitude,
                             double* power, double* residue) {
  return Call(qm::fit::PowerFit, In(x), In(y), Maybe(w), Size(n), method, tolerance, Out(fitted),
              Out(amplitude), Out(power), Out(residue));
}
QM_EXPORT int32_t ZMXFunc287(const double* x, const double* y, const double* w, int64_t n,
                             int32_t method, double tolerance, const double* initial_guess,
                             double* fitted, double* amplitude, double* center, double* std_dev,
                             double* residue) {
  return Call(qm::fit::GaussianPeakFit, In(x), In(y), Maybe(w), Size(n), method, tolerance,
              Maybe(initial_guess), Out(fitted), Out(amplitude), Out(center), Out(std_dev),
              Out(residue));
}

QM_EXPORT int32_t ZMXFunc137(const double* x, const double* y, int64_t n, int32_t order,
                             double* fitted, double* coefficients, double* residue) {
  return Call(qm::fit::PolynomialFitSimple, In(x), In(y), Size(n), order, Out(fitted),
              Out(coefficients), Out(residue));
}
QM_EXPORT int32_t ZMXFunc298(const double* x, const double* y, int64_t n, int32_t order,
                             const int32_t* term_indexes, const double* term_values,
                             int64_t n_terms, int32_t algorithm, double* fitted,
                             double* coefficients, double* residue) {
  return Call(qm::fit::PolynomialFit, In(x), In(y), Size(n), order,
              InIfCount(term_indexes, n_terms), InIfCount(term_values, n_terms), Size(n_terms),
              algorithm, Out(fitted), Out(coefficients), Out(residue));
}
QM_EXPORT int32_t ZMXFunc361(const double* x, const double* y, const double* w, int64_t n,
                             int32_t order, const int32_t* term_indexes, const double* term_values,
                             int64_t n_terms, int32_t algorithm, double* fitted,
                             double* coefficients, double* residue) {
  return Call(qm::fit::PolynomialFitWeighted, In(x), In(y), Maybe(w), Size(n), order,
              InIfCount(term_indexes, n_terms), InIfCount(term_values, n_terms), Size(n_terms),
              algorithm, Out(fitted), Out(coefficients), Out(residue));
}

QM_EXPORT int32_t ZMXFunc285(const double* x, const double* y, const double* w, int64_t n, double p,
                             double* values, double* second_derivatives) {
  return Call(qm::fit::SmoothingSplineFit, In(x), In(y), Maybe(w), Size(n), p, Out(values),
              Out(second_derivatives));
}

QM_EXPORT int32_t ZMXFunc291(const double* x, const double* y, const double* w, int64_t n,
                             const double* coefficients, int32_t selector, double level,
                             double* upper, double* lower, double* half_widths) {
  return Call(qm::fit::ExponentialFitInterval, In(x), In(y), Maybe(w), Size(n), In(coefficients),
              selector, level, Out(upper), Out(lower), Maybe(half_widths));
}
QM_EXPORT int32_t ZMXFunc292(const double* x, const double* y, const double* w, int64_t n,
                             const double* coefficients, int32_t selector, double level,
                             double* upper, double* lower, double* half_widths) {
  return Call(qm::fit::GaussianPeakFitInterval, In(x), In(y), Maybe(w), Size(n), In(coefficients),
              selector, level, Out(upper), Out(lower), Maybe(half_widths));
}
QM_EXPORT int32_t ZMXFunc293(const double* x, const double* y, const double* w, int64_t n,
                             const double* coefficients, int32_t selector, double level,
                             double* upper, double* lower, double* half_widths) {
  return Call(qm::fit::LinearFitInterval, In(x), In(y), Maybe(w), Size(n), In(coefficients),
              selector, level, Out(upper), Out(lower), Maybe(half_widths));
}
QM_EXPORT int32_t ZMXFunc294(const double* x, const double* y, const double* w, int64_t n,
                             double base, const double* coefficients, int32_t selector,
                             double level, double* upper, double* lower, double* half_widths) {
  return Call(qm::fit::LogarithmFitInterval, In(x), In(y), Maybe(w), Size(n), base,
              In(coefficients), selector, level, Out(upper), Out(lower), Maybe(half_widths));
}
QM_EXPORT int32_t ZMXFunc295(const double* x, const double* y, const double* w, int64_t n,
                             const double* coefficients, int32_t selector, double level,
                             double* upper, double* lower, double* half_widths) {
  return Call(qm::fit::PowerFitInterval, In(x), In(y), Maybe(w), Size(n), In(coefficients),
              selector, level, Out(upper), Out(lower), Maybe(half_widths));
}

QM_EXPORT int32_t ZMXFunc130(const double* x, const double* y, double* fitted, int64_t n,
                             QmFitModel model, double* coefficients, int64_t m, double* mse) {
  return Call(qm::fit::NonlinearFit, In(x), In(y), Maybe(fitted), Size(n), Model(model),
              Out(coefficients), Size(m), Maybe(mse));
}
QM_EXPORT int32_t ZMXFunc338(const double* x, const double* y, double* fitted, int64_t n,
                             QmFitModel model, double* coefficients, int64_t m, double* mse) {
  return Call(qm::fit::NonlinearFit, In(x), In(y), Maybe(fitted), Size(n), Model(model),
              Out(coefficients), Size(m), Maybe(mse));
}
QM_EXPORT int32_t ZMXFunc131(const double* x, const double* y, double* fitted, int64_t n,
                             int32_t max_iterations, QmFitModel model, double* coefficients,
                             int64_t m, double* mse) {
  return Call(qm::fit::NonlinearFitLimited, In(x), In(y), Maybe(fitted), Size(n), max_iterations,
              Model(model), Out(coefficients), Size(m), Maybe(mse));
}
QM_EXPORT int32_t ZMXFunc339(const double* x, const double* y, double* fitted, int64_t n,
                             int32_t max_iterations, QmFitModel model, double* coefficients,
                             int64_t m, double* mse) {
  return Call(qm::fit::NonlinearFitLimited, In(x), In(y), Maybe(fitted), Size(n), max_iterations,
              Model(model), Out(coefficients), Size(m), Maybe(mse));
}
QM_EXPORT int32_t ZMXFunc374(const double* x, const double* y, const double* w, double* fitted,
                             int64_t n, int32_t max_iterations, QmFitModel model,
                             double* coefficients, int64_t m, double* mse, int32_t* iterations) {
  return Call(qm::fit::NonlinearFitWeighted, In(x), In(y), Maybe(w), Maybe(fitted), Size(n),
              max_iterations, Model(model), Out(coefficients), Size(m), Maybe(mse),
              Maybe(iterations));
}
QM_EXPORT int32_t ZMXFunc375(const double* x, const double* y, const double* w, double* fitted,
                             int64_t n, int32_t max_iterations, QmFitModel model,
                             double* coefficients, int64_t m, double* mse, int32_t* iterations) {
  return Call(qm::fit::NonlinearFitWeighted, In(x), In(y), Maybe(w), Maybe(fitted), Size(n),
              max_iterations, Model(model), Out(coefficients), Size(m), Maybe(mse),
              Maybe(iterations));
}
