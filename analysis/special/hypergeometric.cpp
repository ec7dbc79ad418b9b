// Gauss's 2F1 and Kummer's 1F1, and the Struve function H_v.
//
// 1F1(a; b; x): for x < 0 Kummer's transformation e^x 1F1(b - a; b; -x)
// (unless the series terminates), then the power series, or beyond x = 100
// the asymptotic series Γ(b)/Γ(a) e^x x^(a-b) Σ (b-a)_k (1-a)_k / (k! x^k)
// where it converges to full precision.
// 2F1(a, b; c; x): terminating series for any x; otherwise |x| < 1 only
// (Gauss's formula at x = 1): x < 0 through Pfaff's transformation to
// z = x/(x - 1), the series on [0, 0.9], and on (0.9, 1) the transformation
// to 1 - x (its two terms cancel to about 1/dist ulps as c - a - b comes
// within dist of an integer, so the series serves there up to 0.99999), with
// the logarithmic forms for an integer c - a - b. Γ and ψ serve these.
// H_v(x): the power series (in extended precision) while x^2 <= 32 (v + 3/2)
// or x <= 3; beyond, for v > -1/2, H_v = Y_v + K_v with
// K_v = 2 (x/2)^v / (√π Γ(v + 1/2)) ∫_0^∞ e^(-xt) (1 + t²)^(v - 1/2) dt by
// double-exponential quadrature; v <= -1/2 by the downward recurrence.
// Core domain of the 1e-12 accuracy: |a|, |b|, |c|, |v| <= 20, |x| <= 100
// (1F1 also beyond, through the asymptotic series), for 1F1 with a, b > 0
// and x >= 0 or b >= a: for x < 0 and a > b the function oscillates and both
// series forms cancel (error about e^|x| ulps of the result's scale).
#include <cmath>
#include <cstdint>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

constexpr int kMaxTerms = 10000000;

bool NonPositiveInteger(double v) { return v <= 0.0 && v == std::floor(v); }

// 1/Γ(x), 0 at the poles.
double RecipGamma(double x) { return NonPositiveInteger(x) ? 0.0 : 1.0 / Gamma(x); }

// Σ (a)_k x^k / ((b)_k k!) until the terms fall below the precision, or
// until it terminates.
double Series1F1(double a, double b, double x) {
  double term = 1.0, sum = 1.0;
  for (int k = 0; k < kMaxTerms; ++k) {
    term *= (a + k) / (b + k) * x / (k + 1);
    sum += term;
    if (term == 0.0) break;
    if (std::fabs(term) <= 0.25 * kEpsilon * std::fabs(sum) &&
        (a + k) * x / ((b + k) * (k + 1)) < 0.5 && k > 2) {
      break;
    }
  }
  return sum;
}

// e^scale 1F1(a; b; x) for x > 100 by the asymptotic series; false when it
// does not converge to full precision.
bool Asymptotic1F1(double a, double b, double x, double scale, double* out) {
  double term = 1.0, sum = 1.0;
  bool converged = false;
  for (int k = 0; k < 500; ++k) {
    const double next = term * (b - a + k) * (1.0 - a + k) / ((k + 1) * x);
    if (std::fabs(next) > std::fabs(term)) break;
    term = next;
    sum += term;
    if (std::fabs(term) <= 0.25 * kEpsilon * std::fabs(sum)) {
      converged = true;
      break;
    }
  }
  if (!converged) return false;
  if (NonPositiveInteger(a)) return false;  // a polynomial: the series serves
  const double ga = Gamma(a), gb = Gamma(b);
  const double sign = (ga < 0) != (gb < 0) ? -1.0 : 1.0;
  const double lg = std::log(std::fabs(gb)) - std::log(std::fabs(ga));
  *out = sign * std::exp(scale + x + lg + (a - b) * std::log(x)) * sum;
  return true;
}

// Γ(p) Γ(q) / (Γ(r) Γ(s)), 0 when a denominator argument is a pole.
double GammaQuotient(double p, double q, double r, double s) {
  const double d = RecipGamma(r) * RecipGamma(s);
  if (d == 0.0) return 0.0;
  const double gp = Gamma(p), gq = Gamma(q);
  if (std::isfinite(gp) && std::isfinite(gq) && std::fabs(gp * gq) < 1e300) return gp * gq * d;
  const double sign = ((gp < 0) != (gq < 0)) != (d < 0) ? -1.0 : 1.0;
  return sign *
         std::exp(std::log(std::fabs(gp)) + std::log(std::fabs(gq)) + std::log(std::fabs(d)));
}

// The series; NaN if it has not converged within its bound.
double Series2F1(double a, double b, double c, double x) {
  double term = 1.0, sum = 1.0;
  for (int k = 0; k < kMaxTerms; ++k) {
    term *= (a + k) * (b + k) / ((c + k) * (k + 1)) * x;
    sum += term;
    if (term == 0.0) return sum;
    if (std::fabs(term) <= 0.25 * kEpsilon * std::fabs(sum) && k > 2) return sum;
  }
  return kNaN;
}

// c - a - b = m an integer, 0 < x < 1: the logarithmic forms (Abramowitz and
// Stegun 15.3.10-12) in y = 1 - x, with ψ advanced by ψ(z + 1) = ψ(z) + 1/z.
double Hyp2F1IntegerGap(double a, double b, double c, double x) {
  const double y = 1.0 - x;
  const double ly = std::log(y);
  const int m = static_cast<int>(std::nearbyint(c - a - b));
  if (m >= 0) {
    // Finite part: Γ(m) Γ(c) / (Γ(a+m) Γ(b+m)) Σ_(n<m) (a)_n (b)_n / (n! (1-m)_n) y^n.
    double finite = 0.0;
    if (m > 0) {
      double t = 1.0, s = 1.0;
      for (int n = 0; n < m - 1; ++n) {
        t *= (a + n) * (b + n) / ((n + 1) * (1.0 - m + n)) * y;
        s += t;
      }
      finite = GammaQuotient(m, c, a + m, b + m) * s;
    }
    // Series: -(x-1)^m Γ(c)/(Γ(a)Γ(b)) Σ (a+m)_n (b+m)_n / (n! (n+m)!) y^n
    //   [ln y - ψ(n+1) - ψ(n+m+1) + ψ(a+n+m) + ψ(b+n+m)].
    double p1 = Digamma(1.0), p2 = Digamma(m + 1.0), pa = Digamma(a + m), pb = Digamma(b + m);
    double t = 1.0 / Gamma(m + 1.0), s = 0.0;
    for (int n = 0; n < kMaxTerms; ++n) {
      const double add = t * (ly - p1 - p2 + pa + pb);
      s += add;
      if (std::fabs(add) <= 0.25 * kEpsilon * std::fabs(s) && n > 2) break;
      t *= (a + m + n) * (b + m + n) / ((n + 1.0) * (n + m + 1.0)) * y;
      p1 += 1.0 / (n + 1.0);
      p2 += 1.0 / (n + m + 1.0);
      pa += 1.0 / (a + n + m);
      pb += 1.0 / (b + n + m);
    }
    const double sign = (m % 2 == 0) ? 1.0 : -1.0;  // (x - 1)^m = (-1)^m y^m
    return finite - sign * std::pow(y, m) * Gamma(c) * RecipGamma(a) * RecipGamma(b) * s;
  }
  // c = a + b - k, k > 0.
  const int k = -m;
  double t = 1.0, s = 1.0;
  for (int n = 0; n < k - 1; ++n) {
    t *= (a - k + n) * (b - k + n) / ((n + 1) * (1.0 - k + n)) * y;
    s += t;
  }
  const double finite = GammaQuotient(k, c, a, b) * std::pow(y, -k) * s;
  double p1 = Digamma(1.0), p2 = Digamma(k + 1.0), pa = Digamma(a), pb = Digamma(b);
  double u = 1.0 / Gamma(k + 1.0), sum = 0.0;
  for (int n = 0; n < kMaxTerms; ++n) {
    const double add = u * (ly - p1 - p2 + pa + pb);
    sum += add;
    if (std::fabs(add) <= 0.25 * kEpsilon * std::fabs(sum) && n > 2) break;
    u *= (a + n) * (b + n) / ((n + 1.0) * (n + k + 1.0)) * y;
    p1 += 1.0 / (n + 1.0);
    p2 += 1.0 / (n + k + 1.0);
    pa += 1.0 / (a + n);
    pb += 1.0 / (b + n);
  }
  const double sign = (k % 2 == 0) ? 1.0 : -1.0;
  return finite - sign * Gamma(c) * RecipGamma(a - k) * RecipGamma(b - k) * sum;
}

// 2F1 on 0 <= x < 1 (no terminating case).
double Hyp2F1Unit(double a, double b, double c, double x) {
  if (x <= 0.9) return Series2F1(a, b, c, x);
  const double s = c - a - b;
  const double gap = std::fabs(s - std::nearbyint(s));
  // An integer to the rounding of a + b and c, or exactly.
  if (gap <= 4.0 * kEpsilon * (std::fabs(a) + std::fabs(b) + std::fabs(c))) {
    // A gap beyond the series bound has no logarithmic form of sane length
    // (nor one whose order fits an int): the series, NaN unless it converges.
    if (std::fabs(s) > kMaxTerms) return Series2F1(a, b, c, x);
    return Hyp2F1IntegerGap(a, b, c, x);
  }
  if (gap < 0.05 && x <= 0.99999) return Series2F1(a, b, c, x);
  const double y = 1.0 - x;
  const double t1 = GammaQuotient(c, s, c - a, c - b) * Series2F1(a, b, 1.0 - s, y);
  const double t2 =
      GammaQuotient(c, -s, a, b) * std::pow(y, s) * Series2F1(c - a, c - b, 1.0 + s, y);
  return t1 + t2;
}

}  // namespace

double Hypergeometric1F1(double a, double b, double x) {
  if (std::isnan(a) || std::isnan(b) || std::isnan(x)) return kNaN;
  const bool terminates = NonPositiveInteger(a) && (!NonPositiveInteger(b) || a > b);
  if (NonPositiveInteger(b) && !terminates) return DomainError();
  if (a == 0.0 || x == 0.0) return 1.0;
  if (std::isinf(x) || std::isinf(a) || std::isinf(b)) return DomainError();
  if (a == b) return std::exp(x);
  if (terminates) return Series1F1(a, b, x);
  double scale = 0.0;
  if (x < 0.0) {
    // Kummer: 1F1(a; b; x) = e^x 1F1(b - a; b; -x).
    const double a2 = b - a;
    if (NonPositiveInteger(a2)) return std::exp(x) * Series1F1(a2, b, -x);
    a = a2;
    x = -x;
    scale = -x;
  }
  double r;
  if (x > 100.0 && Asymptotic1F1(a, b, x, scale, &r)) return r;
  if (scale == 0.0) return Series1F1(a, b, x);
  if (scale < -700.0) return std::exp(0.5 * scale) * (Series1F1(a, b, x) * std::exp(0.5 * scale));
  return std::exp(scale) * Series1F1(a, b, x);
}

double Hypergeometric2F1(double a, double b, double c, double x) {
  if (std::isnan(a) || std::isnan(b) || std::isnan(c) || std::isnan(x)) return kNaN;
  if (std::isinf(a) || std::isinf(b) || std::isinf(c) || std::isinf(x)) return DomainError();
  const bool term_a = NonPositiveInteger(a), term_b = NonPositiveInteger(b);
  const bool terminates = (term_a && (!NonPositiveInteger(c) || a > c)) ||
                          (term_b && (!NonPositiveInteger(c) || b > c));
  if (NonPositiveInteger(c) && !terminates) return DomainError();
  if (a == 0.0 || b == 0.0 || x == 0.0) return 1.0;
  if (terminates) return Series2F1(a, b, c, x);
  if (x > 1.0) return DomainError();
  if (x == 1.0) {
    const double s = c - a - b;
    if (s <= 0.0) return DomainError();
    return GammaQuotient(c, s, c - a, c - b);
  }
  if (x >= 0.0) return Hyp2F1Unit(a, b, c, x);
  // Pfaff: (1 - x)^(-a) 2F1(a, c - b; c; x/(x - 1)), or the same with a and
  // b exchanged, whichever series is the shorter.
  const double z = x / (x - 1.0);
  if (std::fabs(c - b) < std::fabs(c - a) || NonPositiveInteger(c - b)) {
    return std::pow(1.0 - x, -a) *
           (NonPositiveInteger(c - b) ? Series2F1(a, c - b, c, z) : Hyp2F1Unit(a, c - b, c, z));
  }
  return std::pow(1.0 - x, -b) *
         (NonPositiveInteger(c - a) ? Series2F1(b, c - a, c, z) : Hyp2F1Unit(b, c - a, c, z));
}

// ---- Struve ------------------------------------------------------------------------

namespace {

constexpr double kSqrtPi = 1.7724538509055160273;

// (x/2)^(v+1) Σ (-1)^k (x/2)^(2k) / (Γ(k + 3/2) Γ(k + v + 3/2)).
double StruveSeries(double v, double x) {
  const long double h = 0.5L * x;
  const long double z = -h * h;
  // The first term from the reciprocal gammas (0 at their poles).
  long double term = static_cast<long double>(RecipGamma(1.5)) * RecipGamma(v + 1.5);
  long double sum = 0.0L;
  int start = 0;
  if (term == 0.0L) {
    // v + 3/2 a non-positive integer: the series starts where Γ(k + v + 3/2)
    // is finite.
    start = static_cast<int>(-(v + 1.5)) + 1;
    term = static_cast<long double>(RecipGamma(start + 1.5)) * RecipGamma(start + v + 1.5);
    for (int k = 0; k < start; ++k) term *= z;
  }
  for (int k = start; k < 100000; ++k) {
    sum += term;
    term *= z / ((k + 1.5L) * (k + v + 1.5L));
    if (std::fabs(term) <= 1e-20L * std::fabs(sum) && k > start + 2) break;
  }
  return static_cast<double>(std::pow(h, static_cast<long double>(v) + 1.0L) * sum);
}

// K_v(x) = H_v(x) - Y_v(x), v > -1/2, by double-exponential quadrature of
// (2 (x/2)^v / (√π Γ(v + 1/2))) (1/x) ∫_0^∞ e^(-u) (1 + (u/x)^2)^(v - 1/2) du.
double StruveMinusY(double v, double x) {
  constexpr double kH = 1.0 / 16.0;
  const double p = v - 0.5;
  double sum = 0.0;
  for (int k = -80; k <= 48; ++k) {
    const double tau = k * kH;
    const double sh = 0.5 * kPi * std::sinh(tau);
    const double u = std::exp(sh);
    const double w = u * 0.5 * kPi * std::cosh(tau);
    const double r = u / x;
    sum += w * std::exp(-u + p * std::log1p(r * r));
  }
  const double integral = sum * kH / x;
  return 2.0 * std::pow(0.5 * x, v) / (kSqrtPi * Gamma(v + 0.5)) * integral;
}

double StruvePositive(double v, double x) {
  if (x <= 3.0 || x * x <= 32.0 * (v + 1.5)) return StruveSeries(v, x);
  if (v > -0.5) return BesselY(v, x) + StruveMinusY(v, x);
  // Downward: H_(μ-1) = (2μ/x) H_μ - H_(μ+1) + (x/2)^μ / (√π Γ(μ + 3/2)).
  const int n = static_cast<int>(std::ceil(-0.5 - v)) + 1;
  double mu = v + n;  // > -1/2
  double hi = BesselY(mu + 1.0, x) + StruveMinusY(mu + 1.0, x);
  double h = BesselY(mu, x) + StruveMinusY(mu, x);
  for (int k = 0; k < n; ++k) {
    const double lower =
        2.0 * mu / x * h - hi + std::pow(0.5 * x, mu) / kSqrtPi * RecipGamma(mu + 1.5);
    hi = h;
    h = lower;
    mu -= 1.0;
  }
  return h;
}

}  // namespace

double Struve(double v, double x) {
  if (std::isnan(v) || std::isnan(x)) return kNaN;
  if (std::isinf(v) || std::isinf(x)) return DomainError();
  if (x < 0.0) {
    if (v != std::floor(v)) return DomainError();
    if (v < -200.0 || v > 200.0) return DomainError();  // as for x > 0
    const double r = StruvePositive(v, -x);
    return std::fmod(std::fabs(v), 2.0) == 1.0 ? r : -r;  // (-1)^(v+1)
  }
  if (x == 0.0) {
    if (v > -1.0) return 0.0;
    if (v == -1.0) return 2.0 / kPi;
    return DomainError();
  }
  if (v < -200.0 || v > 200.0) return DomainError();
  return StruvePositive(v, x);
}

}  // namespace qm::special
