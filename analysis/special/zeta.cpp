// The Riemann zeta function.
//
// x >= 60: 1 + 2^-x + 3^-x. Otherwise, for x >= 0, the Euler-Maclaurin
// formula with 12 terms and 12 Bernoulli corrections. Below 0 the
// functional equation ζ(x) = 2 sin(πx/2) Γ(t) (2π)^-t ζ(t), t = 1 - x, with
// sin(πx/2) exactly reduced (exact zeros at the negative even integers) and,
// for t >= 10, Γ(t) (2π)^-t by Stirling's series as √(2π/t) (t/(2πe))^t
// e^(S(t)), the power formed as the square of a power of a corrected base:
// no overflow of Γ(1 - x) below -171, and ζ stays finite down to about -260.
#include <cmath>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

// B_2j / (2j)!, j = 1..12.
const double kBernoulliOverFactorial[12] = {
    0.08333333333333333,   -0.001388888888888889,  3.306878306878307e-05,  -8.267195767195768e-07,
    2.08767569878681e-08,  -5.284190138687493e-10, 1.3382536530684679e-11, -3.3896802963225827e-13,
    8.586062056277845e-15, -2.174868698558062e-16, 5.5090028283602295e-18, -1.3954464685812522e-19};

// s_minus_1 = s - 1 given exactly (it is not recomputed from a rounded s
// near the pole).
double EulerMaclaurin(double s, double s_minus_1) {
  constexpr int kN = 12;
  double sum = 0.0;
  for (int k = kN - 1; k >= 1; --k) sum += std::pow(static_cast<double>(k), -s);
  const double n = kN;
  const double ns = std::pow(n, -s);
  sum += n * ns / s_minus_1 + 0.5 * ns;
  // Σ B_2j/(2j)! s (s+1) ... (s+2j-2) N^(-s-2j+1).
  double rising = s;  // s (s+1) ... (s+2j-2)
  double power = ns / n;
  for (int j = 0; j < 12; ++j) {
    const double term = kBernoulliOverFactorial[j] * rising * power;
    sum += term;
    if (std::fabs(term) < 0.25 * kEpsilon * std::fabs(sum)) break;
    rising *= (s + 2.0 * j + 1.0) * (s + 2.0 * j + 2.0);
    power /= n * n;
  }
  return sum;
}

double ZetaPositive(double s, double s_minus_1) {  // s >= 0, s != 1
  if (s >= 60.0) return 1.0 + std::pow(2.0, -s) + std::pow(3.0, -s);
  return EulerMaclaurin(s, s_minus_1);
}

}  // namespace

double RiemannZeta(double x) {
  if (std::isnan(x)) return x;
  if (x == 1.0) return kInf;  // the pole
  if (x == kInf) return 1.0;
  if (x == -kInf) return DomainError();
  if (x >= 0.0) return ZetaPositive(x, x - 1.0);
  const double sine = SinPi(0.5 * x);
  if (sine == 0.0) return 0.0;  // trivial zeros
  const double t = 1.0 - x;
  const double zt = ZetaPositive(t, -x);  // t - 1 = -x exactly
  if (t < 10.0) {
    // 2^x π^(x-1) sin(πx/2) Γ(1-x) ζ(1-x) = 2 sin Γ(t) ζ(t) / (2π)^t.
    constexpr double kTwoPiHi = 6.283185307179586, kTwoPiLo = 2.4492935982947064e-16;
    return 2.0 * sine * Gamma(t) * zt / PowSum(kTwoPiHi, kTwoPiLo, t);
  }
  // Γ(t)/(2π)^t = √(2π/t) (t/(2πe))^t e^(S(t)).
  constexpr double kDenHi = 17.079468445347135, kDenLo = -1.3547630581004849e-15;  // 2πe
  const double q = t / kDenHi;
  const double q_lo = (std::fma(-q, kDenHi, t) - q * kDenLo) / kDenHi;
  const double half = PowSum(q, q_lo, 0.5 * t);
  const double coef = 2.0 * sine * zt * std::sqrt(kTwoPi / t) * std::exp(StirlingCorrection(t));
  return (coef * half) * half;
}

}  // namespace qm::special
