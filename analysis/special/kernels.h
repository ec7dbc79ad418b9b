// Building blocks shared by the special functions: polynomial evaluators for
// the coefficient tables, the domain-error hook, exact-reduction
// trigonometry and error-free products.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>

namespace qm::special {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kEpsilon = 2.220446049250313e-16;
// The largest argument of exp that does not overflow, ln(DBL_MAX).
inline constexpr double kMaxLog = 709.782712893384;
inline constexpr double kEulerGamma = 0.5772156649015329;
inline constexpr double kLnSqrtTwoPi = 0.9189385332046728;
inline constexpr double kSqrtTwoPi = 2.5066282746310007;

// Called wherever an argument lies outside a function's domain or at a pole
// that gives NaN. It does nothing; it is the one place a diagnostic could be
// attached. Returns the quiet NaN the caller returns.
double DomainError();

// Horner's rule, coefficients from the highest power down:
// c[0] x^n + c[1] x^(n-1) + ... + c[n]. N = n + 1 coefficients.
template <std::size_t N>
inline double Polevl(double x, const double (&c)[N]) {
  double r = c[0];
  for (std::size_t i = 1; i < N; ++i) r = r * x + c[i];
  return r;
}
// The same with an implicit leading coefficient 1:
// x^N + c[0] x^(N-1) + ... + c[N-1].
template <std::size_t N>
inline double P1evl(double x, const double (&c)[N]) {
  double r = x + c[0];
  for (std::size_t i = 1; i < N; ++i) r = r * x + c[i];
  return r;
}
// Chebyshev series sum' c_k T_k(x/2) in the Clenshaw form used by the
// published tables: coefficients from the highest order down, the last one
// halved by the evaluation.
template <std::size_t N>
inline double Chebyshev(double x, const double (&c)[N]) {
  double b0 = c[0], b1 = 0.0, b2 = 0.0;
  for (std::size_t i = 1; i < N; ++i) {
    b2 = b1;
    b1 = b0;
    b0 = x * b1 - b2 + c[i];
  }
  return 0.5 * (b0 - b2);
}

// sin(πx) and cos(πx) with the argument reduced exactly (x - 2k is exact for
// doubles), so that zeros at integers and half-integers are exact.
double SinPi(double x);
double CosPi(double x);

// a*b = hi + lo exactly.
inline void TwoProduct(double a, double b, double* hi, double* lo) {
  *hi = a * b;
  *lo = std::fma(a, b, -*hi);
}
// a+b = hi + lo exactly.
inline void TwoSum(double a, double b, double* hi, double* lo) {
  const double s = a + b;
  const double bb = s - a;
  *lo = (a - (s - bb)) + (b - bb);
  *hi = s;
}

// ln(1 + t) - t without cancellation, t > -1.
double Log1pMinusX(double t);
// The Stirling correction ln Γ(x) - ((x - 0.5) ln x - x + ln √(2π)), x >= 10.
double StirlingCorrection(double x);
// (hi + lo)^p for a base given as an unevaluated sum with |lo| << hi, with
// the error of pow(hi, p) only (the rounding of the base is not amplified by
// p).
inline double PowSum(double hi, double lo, double p) {
  return std::pow(hi, p) * std::exp(p * std::log1p(lo / hi));
}

}  // namespace qm::special
