// Elliptic integrals and Jacobi elliptic functions for the elliptic filter
// design.
//
// References: R. Bulirsch, "Numerical calculation of elliptic integrals and
// elliptic functions", Numer. Math. 7 (1965) 78-90 (the el1 algorithm behind
// InverseJacobi, and the descending Landen transformation of JacobiSnCnDn);
// M. Abramowitz and I. Stegun, Handbook of Mathematical Functions, 16.4 and
// 17.6 (arithmetic-geometric mean), 16.38 (theta series of the modulus).
#include "filters/elliptic.h"

#include <cmath>
#include <cstdint>

#include "frame/math_constants.h"

namespace qm::filters {
namespace {

constexpr int kMaxAgmSteps = 25;

}  // namespace

double CompleteEllipticK(double kc) {
  double a = 1.0;
  double b = kc;
  for (int step = 0; step < kMaxAgmSteps; ++step) {
    if (std::fabs(a - b) / a < 1e-15) break;
    const double mean = (a + b) / 2.0;
    b = std::sqrt(a * b);
    a = mean;
  }
  return kPi / (2.0 * a);
}

JacobiValues JacobiSnCnDn(double u, double kc) {
  if (u == 0.0) return {0.0, 1.0, 1.0};
  // Descending AGM from (1, kc); every level is kept for the way back.
  double arith[kMaxAgmSteps];
  double geom[kMaxAgmSteps];
  int levels = 0;
  double a = 1.0;
  double b = kc;
  double mean = 1.0;
  for (int step = 0; step < kMaxAgmSteps; ++step) {
    arith[step] = a;
    geom[step] = b;
    levels = step + 1;
    mean = (a + b) / 2.0;
    if (std::fabs(a - b) / a < 1e-15) break;
    b = std::sqrt(a * b);
    a = mean;
  }
  const double phase = mean * u;
  const double tangent = std::tan(phase);
  if (tangent == 0.0) return {0.0, 1.0, 1.0};
  // t = mean * cot(mean * u), carried back through the stored levels.
  double cot = 1.0 / tangent;
  double t = mean / tangent;
  double dn = 1.0;
  for (int level = levels - 1; level >= 0; --level) {
    cot *= t;
    t *= dn;
    dn = (geom[level] + cot) / (arith[level] + cot);
    cot = t / arith[level];
  }
  double sn = 1.0 / std::sqrt(t * t + 1.0);
  if (std::sin(phase) < 0.0) sn = -sn;
  return {sn, t * sn, dn};
}

double InverseJacobi(double x, double kc) {
  if (x == 0.0) return 0.0;
  kc = std::fabs(kc);
  if (kc == 0.0) return std::asinh(x);  // modulus 1: F(atan x) = asinh x
  double d = std::fabs(1.0 / x);
  double a = 1.0;
  double wraps = 0.0;  // a power of two at most 2^25: exact in a double
  for (int step = 0; step < kMaxAgmSteps; ++step) {
    const double product = a * kc;
    const double previous = a;
    a = kc + a;
    d = -(product / d) + d;
    if (d == 0.0) d = std::sqrt(product) * 1e-15;
    if (std::fabs(previous - kc) < 1.2e-7 * previous) break;
    kc = 2.0 * std::sqrt(product);
    wraps = wraps + wraps;
    if (d < 0.0) wraps += 1.0;
  }
  if (d < 0.0) wraps += 1.0;
  const double u = (std::atan(a / d) + wraps * kPi) / a;
  return x < 0.0 ? -u : u;
}

double ModulusFromNome(double tau) {
  const double q = std::exp(-kPi * tau);
  // The series are cut when the newest power of q drops below 1e-15; the
  // term cap only matters for a nome within 1e-11 of 1 (orders near 2^31).
  constexpr std::int64_t kMaxTerms = std::int64_t{1} << 21;
  double num = 1.0;  // sum over n >= 0 of q^(n(n+1))
  for (std::int64_t n = 1; n < kMaxTerms; ++n) {
    const double term = std::pow(q, static_cast<double>(n * (n + 1)));
    if (term < 1e-15) break;
    num += term;
  }
  double den = 0.0;  // sum over n >= 1 of q^(n^2)
  for (std::int64_t n = 1; n < kMaxTerms; ++n) {
    const double term = std::pow(q, static_cast<double>(n * n));
    if (term < 1e-15) break;
    den += term;
  }
  den = 1.0 + 2.0 * den;
  const double ratio = num / den;
  // Near q = 1 the rounded series can put k a few ulps above 1.
  const double k = 4.0 * std::sqrt(q) * ratio * ratio;
  return k < 1.0 ? k : 1.0;
}

}  // namespace qm::filters
