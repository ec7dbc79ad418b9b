// Regularised incomplete gamma and beta functions.
//
// Both are a prefactor (x^a e^-x / Γ(a), x^a (1-x)^b / B(a, b)) times a
// power series or a continued fraction. For large parameters the prefactor
// is formed from Stirling's series with ln(1 + t) - t, so that its error
// grows with its logarithm only (about |ln prefactor| ulps), never with the
// parameters themselves.
#include <cmath>
#include <utility>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

constexpr double kTiny = 1e-300;
// Bounds on the series and continued fractions: they converge in about
// 10 √max(a, b) terms, so these bounds are reached only far beyond the range
// where the large-parameter expansion takes over.
constexpr int kMaxTerms = 5000000;
// Above this a, P and Q come from the uniform expansion in erfc.
constexpr double kLargeShape = 1e9;

// x^a e^-x / Γ(a).
double GammaPrefix(double a, double x) {
  if (a >= 10.0) {
    // √(a/2π) (x/a)^a e^(a - x) e^(-S(a)); each power from an exactly known
    // base and exponent while both stay in range, so that the error does not
    // grow with their size.
    const double q = x / a;
    double d, d_lo;
    TwoSum(a, -x, &d, &d_lo);
    // Formed as the square of its square root, so that each factor stays in
    // range while the product is a normal double.
    const double log_power = a * std::log(q);
    if (std::fabs(log_power) < 1400.0 && std::fabs(d) < 1400.0) {
      const double q_lo = std::fma(-q, a, x) / a;  // x/a = q + q_lo
      const double half = PowSum(q, q_lo, 0.5 * a) * std::exp(0.5 * d) *
                          std::exp(0.5 * (d_lo - StirlingCorrection(a)));
      return std::sqrt(a / kTwoPi) * half * half;
    }
    const double t = (x - a) / a;
    return std::sqrt(a / kTwoPi) * std::exp(a * Log1pMinusX(t) - StirlingCorrection(a));
  }
  if (x <= 700.0) {
    const double p = std::pow(x, a);
    if (p > 1e-290 && p < 1e290) return p * std::exp(-x) / Gamma(a);
  }
  return std::exp(a * std::log(x) - x - LogGamma(a));
}

// Σ x^n / ((a+1)...(a+n)), n >= 0.
double GammaSeries(double a, double x) {
  double sum = 1.0, term = 1.0;
  for (int n = 1; n < kMaxTerms; ++n) {
    term *= x / (a + n);
    sum += term;
    if (term <= kEpsilon * 0.5 * sum) break;
  }
  return sum;
}

// Continued fraction of Γ(a, x) e^x x^-a (modified Lentz).
double GammaContinuedFraction(double a, double x) {
  double b = x + 1.0 - a;
  double c = 1.0 / kTiny;
  double d = 1.0 / b;
  double h = d;
  for (int i = 1; i < kMaxTerms; ++i) {
    const double an = -i * (i - a);
    b += 2.0;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double del = d * c;
    h *= del;
    if (std::fabs(del - 1.0) <= kEpsilon) break;
  }
  return h;
}

// Uniform expansion for very large a (Temme): with λ = x/a and
// η = sign(λ - 1) √(2(λ - 1 - ln λ)),
// Q = erfc(η √(a/2)) / 2 + e^(-a η²/2) / √(2πa) (C0(η) + O(1/a)).
// Only |η| < 40/√a matters at these a, where C0 is its Taylor polynomial.
double GammaUpperUniform(double a, double x, bool upper) {
  const double t = (x - a) / a;  // x - a exact here (x within 2a)
  const double eta = std::copysign(std::sqrt(-2.0 * Log1pMinusX(t)), t);
  const double c0 = -1.0 / 3.0 + eta * (1.0 / 12.0 + eta * (-2.0 / 135.0 + eta / 864.0));
  const double corr = std::exp(-0.5 * a * eta * eta) / std::sqrt(kTwoPi * a) * c0;
  const double s = eta * std::sqrt(0.5 * a);
  return upper ? 0.5 * Erfc(s) + corr : 0.5 * Erfc(-s) - corr;
}

// P (upper = false) or Q (upper = true).
double IncompleteGamma(double a, double x, bool upper) {
  if (std::isnan(a) || std::isnan(x)) return kNaN;
  if (!(a > 0.0) || x < 0.0 || a == kInf) return DomainError();
  if (x == 0.0) return upper ? 1.0 : 0.0;
  if (x == kInf) return upper ? 0.0 : 1.0;
  if (a > kLargeShape) return GammaUpperUniform(a, x, upper);
  if (x < a + 1.0) {
    const double prefix = a >= 10.0    ? GammaPrefix(a, x) / a
                          : x <= 700.0 ? std::pow(x, a) * std::exp(-x) / Gamma(a + 1.0)
                                       : std::exp(a * std::log(x) - x - LogGamma(a + 1.0));
    const double p = prefix * GammaSeries(a, x);
    return upper ? 1.0 - p : p;
  }
  const double q = GammaPrefix(a, x) * GammaContinuedFraction(a, x);
  return upper ? q : 1.0 - q;
}

// A value given as hi + lo (lo the rounding error of hi, possibly 0).
struct Split {
  double hi;
  double lo;
};

// x^a y^b / B(a, b) with x + y = 1, both given with their low parts.
double BetaPrefix(double a, double b, Split x, Split y) {
  // Directly while the powers and B(a, b) are normal doubles: pow and B are
  // accurate to a few ulps whatever the size of a and b. The square root is
  // formed and squared, so that each factor stays in range.
  const double beta = Beta(a, b);
  if (beta > 1e-290 && beta < 1e290) {
    const double hx = PowSum(x.hi, x.lo, 0.5 * a);
    const double hy = PowSum(y.hi, y.lo, 0.5 * b);
    if (hx > 1e-300 && hy > 1e-300) {
      const double h = hx / std::sqrt(beta) * hy;
      return h * h;
    }
  }
  if (a >= 10.0 && b >= 10.0) {
    // x^a y^b / B = √(ab / (2πc)) (xc/a)^a (yc/b)^b e^(S(c) - S(a) - S(b)),
    // and with xc/a = 1 + da, yc/b = 1 + db, a da + b db = 0, so the
    // exponent is a (ln(1+da) - da) + b (ln(1+db) - db) without cancellation.
    // x b - y a is formed exactly (two-product) before its one rounding.
    double p1, e1, p2, e2;
    TwoProduct(x.hi, b, &p1, &e1);
    TwoProduct(y.hi, a, &p2, &e2);
    const double diff = (p1 - p2) + (e1 - e2) + (x.lo * b - y.lo * a);
    const double c = a + b;
    const double da = diff / a;
    const double db = -diff / b;
    const double e = a * Log1pMinusX(da) + b * Log1pMinusX(db) + StirlingCorrection(c) -
                     StirlingCorrection(a) - StirlingCorrection(b);
    return std::sqrt(a / kTwoPi * (b / c)) * std::exp(e);
  }
  const double log_beta = (beta > 0.0 && std::isfinite(beta))
                              ? std::log(beta)
                              : LogGamma(a) + LogGamma(b) - LogGamma(a + b);
  return std::exp(a * std::log(x.hi) + a * std::log1p(x.lo / x.hi) + b * std::log(y.hi) +
                  b * std::log1p(y.lo / y.hi) - log_beta);
}

// Continued fraction of I_x(a, b) a B(a, b) / (x^a y^b), converging for
// x < (a + 1) / (a + b + 2).
double BetaContinuedFraction(double a, double b, double x) {
  const double qab = a + b, qap = a + 1.0, qam = a - 1.0;
  double c = 1.0;
  double d = 1.0 - qab * x / qap;
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m < kMaxTerms; ++m) {
    const double m2 = 2.0 * m;
    double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1.0 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1.0 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double del = d * c;
    h *= del;
    if (std::fabs(del - 1.0) <= kEpsilon) break;
  }
  return h;
}

// I_x(a, b) (complement = false) or 1 - I_x(a, b) (complement = true).
double IncompleteBetaImpl(double a, double b, double x, bool complement) {
  if (std::isnan(a) || std::isnan(b) || std::isnan(x)) return kNaN;
  if (!(a > 0.0) || !(b > 0.0) || a == kInf || b == kInf || x < 0.0 || x > 1.0) {
    return DomainError();
  }
  if (x == 0.0) return complement ? 1.0 : 0.0;
  if (x == 1.0) return complement ? 0.0 : 1.0;
  // y = 1 - x exactly as hi + lo.
  Split xs{x, 0.0};
  Split ys;
  TwoSum(1.0, -x, &ys.hi, &ys.lo);
  bool swapped = false;
  if (x > (a + 1.0) / (a + b + 2.0)) {
    std::swap(a, b);
    std::swap(xs, ys);
    swapped = true;
  }
  const double w = BetaPrefix(a, b, xs, ys) * BetaContinuedFraction(a, b, xs.hi) / a;
  // w is I of the (possibly swapped) problem; the other one is 1 - w.
  return swapped != complement ? 1.0 - w : w;
}

}  // namespace

double IncompleteGammaP(double a, double x) { return IncompleteGamma(a, x, false); }
double IncompleteGammaQ(double a, double x) { return IncompleteGamma(a, x, true); }
double IncompleteBeta(double a, double b, double x) { return IncompleteBetaImpl(a, b, x, false); }
double IncompleteBetaComplement(double a, double b, double x) {
  return IncompleteBetaImpl(a, b, x, true);
}

}  // namespace qm::special
