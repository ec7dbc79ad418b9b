// Elliptic integrals of the first and second kind and the Jacobi elliptic
// functions. Complete integrals from the published polynomial pairs in
// m1 = 1 - m (with the logarithmic form K = ln 4 - ln(m1)/2 for m1 <= 7e-6),
// incomplete ones from Carlson's symmetric integrals R_F and R_D after an
// exact reduction of φ by multiples of π.
#include <algorithm>
#include <cmath>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

constexpr double kLn4 = 1.3862943611198906;
constexpr double kPiHi = 3.141592653589793, kPiLo = 1.2246467991473532e-16;

const double kKP[] = {
    1.37982864606273237150E-4, 2.28025724005875567385E-3, 7.97404013220415179367E-3,
    9.85821379021226008714E-3, 6.87489687449949877925E-3, 6.18901033637687613229E-3,
    8.79078273952743772254E-3, 1.49380448916805252718E-2, 3.08851465246711995998E-2,
    9.65735902811690126535E-2, 1.38629436111989062502E0};
const double kKQ[] = {
    2.94078955048598507511E-5, 9.14184723865917226571E-4, 5.94058303753167793257E-3,
    1.54850516649762399335E-2, 2.39089602715924892727E-2, 3.01204715227604046988E-2,
    3.73774314173823228969E-2, 4.88280347570998239232E-2, 7.03124996963957469739E-2,
    1.24999999999870820058E-1, 4.99999999999999999821E-1};
const double kEP[] = {
    1.53552577301013293365E-4, 2.50888492163602060990E-3, 8.68786816565889628429E-3,
    1.07350949056076193403E-2, 7.77395492516787092951E-3, 7.58395289413514708519E-3,
    1.15688436810574127319E-2, 2.18317996015557253103E-2, 5.68051945617860553470E-2,
    4.43147180560990850618E-1, 1.00000000000000000299E0};
const double kEQ[] = {3.27954898576485872656E-5, 1.00962792679356715133E-3,
                      6.50609489976927491433E-3, 1.68862163993311317300E-2,
                      2.61769742454493659583E-2, 3.34833904888224918614E-2,
                      4.27180926518931511717E-2, 5.85936634471101055642E-2,
                      9.37499997197644278445E-2, 2.49999999999888314361E-1};

// Carlson's R_F(x, y, z) by duplication, the last step's Taylor series to
// seventh order (relative error below 1e-16 with the tolerance used).
double CarlsonRF(double x, double y, double z) {
  const double a0 = (x + y + z) / 3.0;
  const double q = std::pow(3.0 * kEpsilon, -1.0 / 6.0) *
                   std::max({std::fabs(a0 - x), std::fabs(a0 - y), std::fabs(a0 - z)});
  double a = a0, scale = 1.0;
  for (int n = 0; n < 100 && q * scale >= std::fabs(a); ++n) {
    const double sx = std::sqrt(x), sy = std::sqrt(y), sz = std::sqrt(z);
    const double lambda = sx * sy + sx * sz + sy * sz;
    a = 0.25 * (a + lambda);
    x = 0.25 * (x + lambda);
    y = 0.25 * (y + lambda);
    z = 0.25 * (z + lambda);
    scale *= 0.25;
  }
  // X = (A0 - x0) / (4^n A_n), formed as (A_n - x_n) / A_n.
  const double X = (a - x) / a, Y = (a - y) / a;
  const double Z = -X - Y;
  const double e2 = X * Y - Z * Z;
  const double e3 = X * Y * Z;
  return (1.0 - e2 / 10.0 + e3 / 14.0 + e2 * e2 / 24.0 - 3.0 * e2 * e3 / 44.0 -
          5.0 * e2 * e2 * e2 / 208.0 + 3.0 * e3 * e3 / 104.0 + e2 * e2 * e3 / 16.0) /
         std::sqrt(a);
}

// Carlson's R_D(x, y, z) = R_J(x, y, z, z).
double CarlsonRD(double x, double y, double z) {
  const double a0 = (x + y + 3.0 * z) / 5.0;
  const double q = std::pow(0.25 * kEpsilon, -1.0 / 6.0) *
                   std::max({std::fabs(a0 - x), std::fabs(a0 - y), std::fabs(a0 - z)});
  double a = a0, scale = 1.0, sum = 0.0;
  for (int n = 0; n < 100 && q * scale >= std::fabs(a); ++n) {
    const double sx = std::sqrt(x), sy = std::sqrt(y), sz = std::sqrt(z);
    const double lambda = sx * sy + sx * sz + sy * sz;
    sum += scale / (sz * (z + lambda));
    a = 0.25 * (a + lambda);
    x = 0.25 * (x + lambda);
    y = 0.25 * (y + lambda);
    z = 0.25 * (z + lambda);
    scale *= 0.25;
  }
  const double X = (a - x) / a, Y = (a - y) / a;
  const double Z = -(X + Y) / 3.0;
  const double xy = X * Y, z2 = Z * Z;
  const double e2 = xy - 6.0 * z2;
  const double e3 = (3.0 * xy - 8.0 * z2) * Z;
  const double e4 = 3.0 * (xy - z2) * z2;
  const double e5 = xy * z2 * Z;
  const double series = 1.0 - 3.0 * e2 / 14.0 + e3 / 6.0 + 9.0 * e2 * e2 / 88.0 - 3.0 * e4 / 22.0 -
                        9.0 * e2 * e3 / 52.0 + 3.0 * e5 / 26.0 - e2 * e2 * e2 / 16.0 +
                        3.0 * e3 * e3 / 40.0 + 3.0 * e2 * e4 / 20.0 + 45.0 * e2 * e2 * e3 / 272.0 -
                        9.0 * (e3 * e4 + e2 * e5) / 68.0;
  return scale * series / (a * std::sqrt(a)) + 3.0 * sum;
}

// φ = kπ + r, |r| <= π/2, r exact to a rounding.
double ReducePhi(double phi, double* k) {
  *k = std::nearbyint(phi / kPiHi);
  return std::fma(-*k, kPiHi, phi) - *k * kPiLo;
}

// F(r | m) and E(r | m) for |r| <= π/2 (E only when e is not null). NaN
// where 1 - m sin^2 r < 0 (m > 1).
double IncompleteFirst(double r, double m, double* e) {
  const double s = std::sin(r), c = std::cos(r);
  const double s2 = s * s;
  // 1 - m s^2 = (1 - m) + m c^2 without cancellation for m <= 1.
  const double delta = m <= 1.0 && m >= 0.5 ? (1.0 - m) + m * c * c : 1.0 - m * s2;
  if (delta < 0.0) {
    if (e) *e = DomainError();
    return DomainError();
  }
  const double c2 = c * c;
  const double rf = CarlsonRF(c2, delta, 1.0);
  if (e) *e = s * rf - m / 3.0 * s * s2 * CarlsonRD(c2, delta, 1.0);
  return s * rf;
}

}  // namespace

double EllipticK(double m) {
  if (std::isnan(m)) return m;
  if (m < 0.0 || m > 1.0) return DomainError();
  const double m1 = 1.0 - m;
  if (m1 == 0.0) return kInf;
  if (m1 <= 7e-6) return kLn4 - 0.5 * std::log(m1);
  return Polevl(m1, kKP) - std::log(m1) * Polevl(m1, kKQ);
}

double EllipticE(double m) {
  if (std::isnan(m)) return m;
  if (m < 0.0 || m > 1.0) return DomainError();
  const double m1 = 1.0 - m;
  if (m1 == 0.0) return 1.0;
  return Polevl(m1, kEP) - std::log(m1) * (m1 * Polevl(m1, kEQ));
}

double EllipticF(double phi, double m) {
  if (std::isnan(phi) || std::isnan(m)) return kNaN;
  if (std::isinf(m)) return DomainError();
  if (std::isinf(phi)) return m <= 1.0 ? phi : DomainError();
  if (phi == 0.0) return phi;
  double k;
  const double r = ReducePhi(phi, &k);
  const double f = IncompleteFirst(r, m, nullptr);
  if (k == 0.0) return f;
  if (m >= 1.0) return m == 1.0 ? std::copysign(kInf, phi) : DomainError();
  // 2k K(m), K from R_F (the crude logarithmic branch is for the complete
  // export only).
  return 2.0 * k * CarlsonRF(0.0, 1.0 - m, 1.0) + f;
}

double EllipticEIncomplete(double phi, double m) {
  if (std::isnan(phi) || std::isnan(m)) return kNaN;
  if (std::isinf(m)) return DomainError();
  if (std::isinf(phi)) return m <= 1.0 ? phi : DomainError();
  if (phi == 0.0) return phi;
  double k;
  const double r = ReducePhi(phi, &k);
  double e;
  IncompleteFirst(r, m, &e);
  if (k == 0.0) return e;
  if (m > 1.0) return DomainError();
  const double ec =
      m == 1.0 ? 1.0 : CarlsonRF(0.0, 1.0 - m, 1.0) - m / 3.0 * CarlsonRD(0.0, 1.0 - m, 1.0);
  return 2.0 * k * ec + e;
}

double JacobiElliptic(double u, double m, double* sn, double* cn, double* dn) {
  if (std::isnan(u) || std::isnan(m) || m < 0.0 || m > 1.0 || std::isinf(u)) {
    const double nan = (std::isnan(u) || std::isnan(m)) ? kNaN : DomainError();
    *sn = *cn = *dn = nan;
    return nan;
  }
  if (m < 1e-12) {
    const double s = std::sin(u), c = std::cos(u);
    const double t = 0.25 * m * (u - s * c);
    *sn = s - t * c;
    *cn = c + t * s;
    *dn = 1.0 - 0.5 * m * s * s;
    return u - t;
  }
  if (m == 1.0) {
    // sn = tanh u, cn = dn = sech u, φ = gd(u).
    *sn = std::tanh(u);
    *cn = *dn = 1.0 / std::cosh(u);
    return std::atan(std::sinh(u));
  }
  // Descending Landen / AGM: a_(n+1) = (a + b)/2, b = √(ab), c = c_n^2 / (4 a_(n+1)).
  double a[41], c[41];
  a[0] = 1.0;
  double b = std::sqrt(1.0 - m);
  c[0] = std::sqrt(m);
  double twon = 1.0;
  int i = 0;
  while (std::fabs(c[i] / a[i]) > kEpsilon && i < 40) {
    const double ai = a[i];
    ++i;
    a[i] = 0.5 * (ai + b);
    c[i] = 0.25 * c[i - 1] * c[i - 1] / a[i];
    b = std::sqrt(ai * b);
    twon *= 2.0;
  }
  double phi = twon * a[i] * u;
  double prev = phi;
  do {
    const double t = c[i] * std::sin(phi) / a[i];
    prev = phi;
    phi = 0.5 * (std::asin(t) + phi);
  } while (--i);
  if (m < 0.9 && std::fabs(u) <= 10.0) {
    *sn = std::sin(phi);
    const double cs = std::cos(phi);
    *cn = cs;
    *dn = std::sqrt(1.0 - m * *sn * *sn);  // >= 0.3: no cancellation
    (void)prev;
    return phi;
  }
  // The backward steps lose digits as u grows and (taking asin near ±1) as
  // m nears 1: one Newton step on F(φ | m) = u (dF/dφ = 1/dn) restores them.
  const double f = EllipticF(phi, m);
  const double c0 = std::cos(phi);
  phi -= (f - u) * std::sqrt((1.0 - m) + m * c0 * c0);
  const double cs = std::cos(phi);
  *sn = std::sin(phi);
  *cn = cs;
  *dn = std::sqrt((1.0 - m) + m * cs * cs);
  return phi;
}

}  // namespace qm::special
