// Bessel functions of real order: J, Y and the modified I (with K inside),
// the spherical j and y, and the Airy functions.
//
// Methods, by region (v >= 0, x > 0; negative orders by the reflection
// formulas with exact sin(πv), cos(πv)):
//   x^2 <= v + 1         power series (J, I): no cancellation there;
//   x >= max(22, v^2/2)  Hankel's asymptotic expansion (J, Y, I);
//   otherwise            Temme's method: the continued fraction CF1 for
//                        J'/J (I'/I) at v, recurrence down to an order
//                        μ = v - n with |μ| <= 1/2 (x < 2) or near x, then
//                        Y_μ, Y_μ+1 (K_μ, K_μ+1) from Temme's series
//                        (x < 2) or Steed's complex continued fraction CF2
//                        (x >= 2), the Wronskian for the normalisation and
//                        upward recurrence for Y (K). Y never passes through
//                        (cos(vπ) J_v - J_-v) / sin(vπ), so orders near an
//                        integer keep their digits.
// Orders where J underflows and Y overflows are recognised from the leading
// exponent of Debye's expansion before any recurrence runs; the continued
// fraction CF1 is bounded, so no argument runs for long.
#include <cmath>
#include <cstdint>
#include <limits>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

constexpr double kFpMin = 1e-300;
constexpr double kTwoOverPi = 0.63661977236758134308;
// CF1 takes about max(x - v, v^(1/3)) steps; beyond this bound (only for
// orders above ~7000 with 5e7 < x < v^2/2) the value is NaN.
constexpr int kMaxCf1 = 50000000;

// Taylor coefficients of 1/Γ(1 + z).
const double kRecipGamma[23] = {1.0,
                                0.577215664901532860607,
                                -0.655878071520253881077,
                                -0.042002635034095235529,
                                0.166538611382291489502,
                                -0.0421977345555443367482,
                                -0.00962197152787697356211,
                                0.0072189432466630995424,
                                -0.00116516759185906511211,
                                -0.000215241674114950972816,
                                0.000128050282388116186153,
                                -0.0000201348547807882386557,
                                -0.00000125049348214267065735,
                                0.00000113302723198169588237,
                                -2.05633841697760710345e-7,
                                6.11609510448141581786e-9,
                                5.00200764446922293006e-9,
                                -1.18127457048702014459e-9,
                                1.04342671169110051049e-10,
                                7.78226343990507125405e-12,
                                -3.69680561864220570819e-12,
                                5.10037028745447597902e-13,
                                -2.05832605356650678322e-14};

// Temme's γ1 = (1/Γ(1-μ) - 1/Γ(1+μ)) / (2μ), γ2 = (1/Γ(1-μ) + 1/Γ(1+μ)) / 2,
// and 1/Γ(1+μ), 1/Γ(1-μ), for |μ| <= 1/2.
template <class R>
void TemmeGammas(R mu, R* gam1, R* gam2, R* gampl, R* gammi) {
  const R m2 = mu * mu;
  R odd = 0.0, even = 0.0;
  for (int k = 21; k >= 1; k -= 2) odd = odd * m2 + kRecipGamma[k];
  for (int k = 22; k >= 0; k -= 2) even = even * m2 + kRecipGamma[k];
  *gam1 = -odd;
  *gam2 = even;
  *gampl = even + mu * odd;
  *gammi = even - mu * odd;
}

// The start of Temme's series at x < 2 (the same for J/Y and I/K):
// pimu = π μ, fct = π μ / sin(π μ), d = -ln(x/2), inner = γ1 cosh(μ d) +
// γ2 d sinh(μ d)/(μ d), exp_mu_d = e^(μ d), and 1/Γ(1 ± μ).
template <class R>
struct TemmeStart {
  R x2, pimu, fct, d, inner, exp_mu_d, gampl, gammi;
  TemmeStart(R mu, R x) {
    x2 = 0.5 * x;
    pimu = R(kPi) * mu;
    fct = std::fabs(pimu) < kEpsilon ? 1.0 : pimu / std::sin(pimu);
    d = -std::log(x2);
    const R e = mu * d;
    const R fct2 = std::fabs(e) < kEpsilon ? 1.0 : std::sinh(e) / e;
    R gam1, gam2;
    TemmeGammas(mu, &gam1, &gam2, &gampl, &gammi);
    inner = gam1 * std::cosh(e) + gam2 * fct2 * d;
    exp_mu_d = std::exp(e);
  }
};

struct JY {
  double j, jp, y, yp;
};

// J_v, J'_v, Y_v, Y'_v for v >= 0, x > 0 by Temme's method. Returns false
// when CF1 did not converge within its bound.
template <class R>
bool TemmeJYImpl(R v, R x, JY* out) {
  const R tol = std::numeric_limits<R>::epsilon() / 2;
  const std::int64_t nl = x < 2.0
                              ? static_cast<std::int64_t>(v + 0.5)
                              : static_cast<std::int64_t>(std::fmax(0.0, std::floor(v - x + 1.5)));
  const R mu = v - nl;
  const R mu2 = mu * mu;
  const R xi = 1.0 / x;
  const R xi2 = 2.0 * xi;
  const R w = xi2 / R(kPi);
  // CF1: h = J'_v / J_v; isign the sign of J_v relative to J_v+1.
  int isign = 1;
  R h = v * xi;
  if (h < kFpMin) h = kFpMin;
  R b = xi2 * v;
  R d = 0.0;
  R c = h;
  int i = 1;
  for (; i <= kMaxCf1; ++i) {
    b += xi2;
    d = b - d;
    if (std::fabs(d) < kFpMin) d = kFpMin;
    c = b - 1.0 / c;
    if (std::fabs(c) < kFpMin) c = kFpMin;
    d = 1.0 / d;
    const R del = c * d;
    h *= del;
    if (d < 0.0) isign = -isign;
    if (std::fabs(del - 1.0) < tol) break;
  }
  if (i > kMaxCf1) return false;
  // Downward recurrence from v to μ, rescaled against overflow.
  R rjl = isign * 1e-200;
  R rjpl = h * rjl;
  R rjl1 = rjl;
  R rjp1 = rjpl;
  R fact = v * xi;
  for (std::int64_t l = nl; l >= 1; --l) {
    const R t = fact * rjl + rjpl;
    fact -= xi;
    rjpl = fact * t - rjl;
    rjl = t;
    if (std::fabs(rjl) > 1e200) {
      rjl *= 1e-200;
      rjpl *= 1e-200;
      rjl1 *= 1e-200;
      rjp1 *= 1e-200;
    }
  }
  if (rjl == 0.0) rjl = kEpsilon;
  const R f = rjpl / rjl;  // J'_μ / J_μ
  R rjmu, rymu, rymup, ry1;
  if (x < 2.0) {
    // Temme's series for Y_μ and Y_μ+1.
    const TemmeStart<R> t0(mu, x);
    const R x2 = t0.x2, pimu = t0.pimu, gampl = t0.gampl, gammi = t0.gammi;
    d = t0.d;
    R ff = R(kTwoOverPi) * t0.fct * t0.inner;
    R e = t0.exp_mu_d;
    R p = e / (gampl * R(kPi));
    R q = 1.0 / (e * R(kPi) * gammi);
    const R pimu2 = 0.5 * pimu;
    const R fct3 = std::fabs(pimu2) < kEpsilon ? 1.0 : std::sin(pimu2) / pimu2;
    const R r = R(kPi) * pimu2 * fct3 * fct3;
    c = 1.0;
    d = -x2 * x2;
    R sum = ff + r * q;
    R sum1 = p;
    for (int k = 1; k < 10000; ++k) {
      ff = (k * ff + p + q) / (k * static_cast<R>(k) - mu2);
      c *= d / k;
      p /= k - mu;
      q /= k + mu;
      const R del = c * (ff + r * q);
      sum += del;
      sum1 += c * p - k * del;
      if (std::fabs(del) < (1.0 + std::fabs(sum)) * tol) break;
    }
    rymu = -sum;
    ry1 = -sum1 * xi2;
    rymup = mu * xi * rymu - ry1;
    rjmu = w / (rymup - f * rymu);
  } else {
    // Steed's CF2: p + iq = (J'_μ + iY'_μ) / (J_μ + iY_μ).
    R a = 0.25 - mu2;
    R p = -0.5 * xi;
    R q = 1.0;
    const R br = 2.0 * x;
    R bi = 2.0;
    R fc = a * xi / (p * p + q * q);
    R cr = br + q * fc;
    R ci = bi + p * fc;
    R den = br * br + bi * bi;
    R dr = br / den;
    R di = -bi / den;
    R dlr = cr * dr - ci * di;
    R dli = cr * di + ci * dr;
    R t = p * dlr - q * dli;
    q = p * dli + q * dlr;
    p = t;
    for (int k = 2; k < 100000; ++k) {
      a += 2 * (k - 1);
      bi += 2.0;
      dr = a * dr + br;
      di = a * di + bi;
      if (std::fabs(dr) + std::fabs(di) < kFpMin) dr = kFpMin;
      fc = a / (cr * cr + ci * ci);
      cr = br + cr * fc;
      ci = bi - ci * fc;
      if (std::fabs(cr) + std::fabs(ci) < kFpMin) cr = kFpMin;
      den = dr * dr + di * di;
      dr /= den;
      di = -di / den;
      dlr = cr * dr - ci * di;
      dli = cr * di + ci * dr;
      t = p * dlr - q * dli;
      q = p * dli + q * dlr;
      p = t;
      if (std::fabs(dlr - 1.0) + std::fabs(dli) < tol) break;
    }
    const R gam = (p - f) / q;
    rjmu = std::sqrt(w / ((p - f) * gam + q));
    rjmu = std::copysign(rjmu, rjl);
    rymu = rjmu * gam;
    rymup = rymu * (p + q / gam);
    ry1 = mu * xi * rymu - rymup;
  }
  const R scale = rjmu / rjl;
  out->j = static_cast<double>(rjl1 * scale);
  out->jp = static_cast<double>(rjp1 * scale);
  // Upward recurrence for Y from μ to v, stopped at overflow.
  for (std::int64_t k = 1; k <= nl; ++k) {
    const R t = (mu + k) * xi2 * ry1 - rymu;
    rymu = ry1;
    ry1 = t;
    if (std::fabs(ry1) > 1e300) {
      out->y = -kInf;
      out->yp = kInf;
      return true;
    }
  }
  out->y = static_cast<double>(rymu);
  out->yp = static_cast<double>(v * xi * rymu - ry1);
  return true;
}

// In extended precision where CF1, CF2 or the recurrences run long (x or v
// beyond 20, where their rounding errors would accumulate to tens or hundreds
// of ulps in double).
bool TemmeJY(double v, double x, JY* out) {
  if (x > 20.0 || v > 20.0) return TemmeJYImpl<long double>(v, x, out);
  return TemmeJYImpl<double>(v, x, out);
}

// The terms of Hankel's expansion: t_k = Π_{j<=k} (4v² - (2j-1)²) / (k! (8x)^k).
// Sums sign_k t_k with the signs of P and Q (J, Y) or of the modified
// functions (alternating for I, all positive for K).
struct HankelSums {
  double p, q;  // P = t0 - t2 + t4 - ..., Q = t1 - t3 + ...
  double alt;   // t0 - t1 + t2 - ...
  double pos;   // t0 + t1 + t2 + ...
};

HankelSums Hankel(double v, double x) {
  const double mu = 4.0 * v * v;
  HankelSums s{1.0, 0.0, 1.0, 1.0};
  double term = 1.0;
  for (int k = 1; k < 200; ++k) {
    const double odd = 2.0 * k - 1.0;
    const double next = term * (mu - odd * odd) / (k * 8.0 * x);
    if (std::fabs(next) > std::fabs(term) && k > 2) break;  // past the smallest term
    term = next;
    switch (k % 4) {
      case 0:
        s.p += term;
        break;
      case 1:
        s.q += term;
        break;
      case 2:
        s.p -= term;
        break;
      case 3:
        s.q -= term;
        break;
    }
    s.alt += (k % 2 ? -term : term);
    s.pos += term;
    if (std::fabs(term) < 0.25 * kEpsilon) break;
  }
  return s;
}

bool UseHankel(double v, double x) { return x >= 22.0 && x >= 0.5 * v * v; }

// J and Y by Hankel's expansion, the phase x - (v/2 + 1/4)π with exact
// sin and cos of the constant part.
void HankelJY(double v, double x, double* j, double* y) {
  const HankelSums s = Hankel(v, x);
  const double phase = 0.5 * v + 0.25;
  const double cp = CosPi(phase), sp = SinPi(phase);
  const double cx = std::cos(x), sx = std::sin(x);
  const double cchi = cx * cp + sx * sp;  // cos(x - phase π)
  const double schi = sx * cp - cx * sp;
  const double amp = std::sqrt(kTwoOverPi / x);
  *j = amp * (s.p * cchi - s.q * schi);
  *y = amp * (s.p * schi + s.q * cchi);
}

// For 22 <= x and v < x (the oscillatory side): Hankel's expansion at the
// orders μ and μ + 1, μ = v - floor(v), then the forward recurrence, which is
// stable for orders below x (in extended precision, so that its rounding
// does not accumulate). Continued fractions converge slowly and unsteadily
// there.
void HankelRecurrenceJY(double v, double x, double* j, double* y) {
  const double mu = v - std::floor(v);
  const std::int64_t n = static_cast<std::int64_t>(std::floor(v));
  double j0, y0;
  HankelJY(mu, x, &j0, &y0);
  if (n == 0) {
    if (j) *j = j0;
    if (y) *y = y0;
    return;
  }
  double j1d, y1d;
  HankelJY(mu + 1.0, x, &j1d, &y1d);
  long double ja = j0, jb = j1d, ya = y0, yb = y1d;
  const long double two_over_x = 2.0L / x;
  for (std::int64_t k = 1; k < n; ++k) {
    const long double f = (mu + k) * two_over_x;
    const long double jn = f * jb - ja;
    const long double yn = f * yb - ya;
    ja = jb;
    jb = jn;
    ya = yb;
    yb = yn;
  }
  if (j) *j = static_cast<double>(jb);
  if (y) *y = static_cast<double>(yb);
}

// (x/2)^v / Γ(v + 1), accurate to a few ulps for every v >= 0.
double SeriesPrefactor(double v, double x) {
  if (v <= 170.0) return std::pow(0.5 * x, v) / Gamma(v + 1.0);
  // 1/Γ(v+1) by Stirling: (e x / (2(v+1)))^v e / √(2π(v+1)) e^(-S(v+1)),
  // the base formed with its rounding error carried (e as two doubles).
  constexpr double kEHi = 2.718281828459045, kELo = 1.4456468917292502e-16;
  const double v1 = v + 1.0;
  double p, p_lo;
  TwoProduct(kEHi, x, &p, &p_lo);
  p_lo += kELo * x;
  const double den = 2.0 * v1;
  const double q = p / den;
  const double q_lo = (std::fma(-q, den, p) + p_lo) / den;
  const double log_size = v * std::log(q);
  if (log_size < -740.0) return 0.0;
  return PowSum(q, q_lo, v) * (kEHi / std::sqrt(kTwoPi * v1)) * std::exp(-StirlingCorrection(v1));
}

// Σ (∓x²/4)^k / (k! (v+1)_k): sign -1 for J, +1 for I.
double BesselSeries(double v, double x, double sign) {
  const double z = sign * 0.25 * x * x;
  double term = 1.0, sum = 1.0;
  for (int k = 1; k < 500; ++k) {
    term *= z / (k * (v + k));
    sum += term;
    if (std::fabs(term) < 0.25 * kEpsilon * std::fabs(sum)) break;
  }
  return sum;
}

// True when J_v(x) underflows (and Y_v(x) overflows): the leading exponent
// of Debye's expansion, v (acosh(v/x) - √(1 - (x/v)²)), beyond 750.
bool BeyondUnderflow(double v, double x) {
  if (v < 50.0 || x >= v) return false;
  const double r = x / v;
  return v * (std::acosh(1.0 / r) - std::sqrt((1.0 - r) * (1.0 + r))) > 750.0;
}

// J_v(x) and Y_v(x) for v >= 0, x > 0 (either output may be null).
void BesselJYPositive(double v, double x, double* j, double* y) {
  if (UseHankel(v, x)) {
    double jv, yv;
    HankelJY(v, x, &jv, &yv);
    if (j) *j = jv;
    if (y) *y = yv;
    return;
  }
  if (x >= 22.0 && v < x) {
    // The recurrence takes floor(v) steps: orders beyond 32 bits are out of
    // reach (as the integer orders of BesselY).
    if (v > 2147483647.0) {
      const double nan = DomainError();
      if (j) *j = nan;
      if (y) *y = nan;
      return;
    }
    HankelRecurrenceJY(v, x, j, y);
    return;
  }
  if (BeyondUnderflow(v, x)) {
    if (j) *j = 0.0;
    if (y) *y = -kInf;
    return;
  }
  // The alternating series loses about x^2 / (2(v + 1)) / ln 10 digits.
  if (j && x * x <= 4.0 * (v + 1.0)) {
    *j = SeriesPrefactor(v, x) * BesselSeries(v, x, -1.0);
    if (!y) return;
    j = nullptr;
  }
  JY r;
  if (!TemmeJY(v, x, &r)) {
    if (j) *j = kNaN;
    if (y) *y = kNaN;
    return;
  }
  if (j) *j = r.j;
  if (y) *y = r.y;
}

bool IsInteger(double v) { return v == std::floor(v); }

// I_v, I'_v, K_v, K'_v for v >= 0, x > 0 by Temme's method. With x > 2 the
// results carry the factors e^-x (I) and e^x (K), reported in *scaled.
struct IK {
  double i, ip, k, kp;
};

template <class R>
bool TemmeIKImpl(R v, R x, IK* out, bool* scaled) {
  const R tol = std::numeric_limits<R>::epsilon() / 2;
  const std::int64_t nl = static_cast<std::int64_t>(v + 0.5);
  const R mu = v - nl;
  const R mu2 = mu * mu;
  const R xi = 1.0 / x;
  const R xi2 = 2.0 * xi;
  R h = v * xi;
  if (h < kFpMin) h = kFpMin;
  R b = xi2 * v;
  R d = 0.0;
  R c = h;
  int i = 1;
  for (; i <= kMaxCf1; ++i) {
    b += xi2;
    d = 1.0 / (b + d);
    c = b + 1.0 / c;
    const R del = c * d;
    h *= del;
    if (std::fabs(del - 1.0) < tol) break;
  }
  if (i > kMaxCf1) return false;
  R ril = 1e-200;
  R ripl = h * ril;
  R ril1 = ril;
  R rip1 = ripl;
  R fact = v * xi;
  for (std::int64_t l = nl; l >= 1; --l) {
    const R t = fact * ril + ripl;
    fact -= xi;
    ripl = fact * t + ril;
    ril = t;
    if (std::fabs(ril) > 1e200) {
      ril *= 1e-200;
      ripl *= 1e-200;
      ril1 *= 1e-200;
      rip1 *= 1e-200;
    }
  }
  const R f = ripl / ril;
  R rkmu, rk1;
  if (x < 2.0) {
    *scaled = false;
    const TemmeStart<R> t0(mu, x);
    const R x2 = t0.x2, gampl = t0.gampl, gammi = t0.gammi;
    d = t0.d;
    R ff = t0.fct * t0.inner;
    R sum = ff;
    const R e = t0.exp_mu_d;
    R p = 0.5 * e / gampl;
    R q = 0.5 / (e * gammi);
    c = 1.0;
    d = x2 * x2;
    R sum1 = p;
    for (int k = 1; k < 10000; ++k) {
      ff = (k * ff + p + q) / (k * static_cast<R>(k) - mu2);
      c *= d / k;
      p /= k - mu;
      q /= k + mu;
      const R del = c * ff;
      sum += del;
      sum1 += c * (p - k * ff);
      if (std::fabs(del) < std::fabs(sum) * tol) break;
    }
    rkmu = sum;
    rk1 = sum1 * xi2;
  } else {
    // Steed's CF2 for K_μ, scaled by e^x.
    *scaled = true;
    b = 2.0 * (1.0 + x);
    d = 1.0 / b;
    R hh = d, delh = d;
    R q1 = 0.0, q2 = 1.0;
    const R a1 = 0.25 - mu2;
    R q = a1;
    c = a1;
    R a = -a1;
    R s = 1.0 + q * delh;
    for (int k = 2; k < 100000; ++k) {
      a -= 2 * (k - 1);
      c = -a * c / k;
      const R qnew = (q1 - b * q2) / a;
      q1 = q2;
      q2 = qnew;
      q += c * qnew;
      b += 2.0;
      d = 1.0 / (b + a * d);
      delh = (b * d - 1.0) * delh;
      hh += delh;
      const R dels = q * delh;
      s += dels;
      if (std::fabs(dels / s) < tol) break;
    }
    hh = a1 * hh;
    rkmu = std::sqrt(R(kPi) / (2.0 * x)) / s;
    rk1 = rkmu * (mu + x + 0.5 - hh) * xi;
  }
  const R rkmup = mu * xi * rkmu - rk1;
  const R rimu = xi / (f * rkmu - rkmup);
  out->i = static_cast<double>(rimu * ril1 / ril);
  out->ip = static_cast<double>(rimu * rip1 / ril);
  for (std::int64_t k = 1; k <= nl; ++k) {
    const R t = (mu + k) * xi2 * rk1 + rkmu;
    rkmu = rk1;
    rk1 = t;
    if (std::fabs(rk1) > 1e300) {
      out->k = kInf;
      out->kp = -kInf;
      return true;
    }
  }
  out->k = static_cast<double>(rkmu);
  out->kp = static_cast<double>(v * xi * rkmu - rk1);
  return true;
}

bool TemmeIK(double v, double x, IK* out, bool* scaled) {
  // Its recurrence takes v steps: orders beyond 32 bits are out of reach.
  if (v > 2147483647.0) return false;
  if (x > 20.0 || v > 20.0) return TemmeIKImpl<long double>(v, x, out, scaled);
  return TemmeIKImpl<double>(v, x, out, scaled);
}

// e^x * s without overflowing e^x first.
double TimesExp(double s, double x) {
  if (x < 700.0) return s * std::exp(x);
  const double h = std::exp(0.5 * x);
  return (s * h) * h;
}

// I_v(x) and K_v(x) for v >= 0, x > 0 (either output may be null).
void BesselIKPositive(double v, double x, double* iv, double* kv) {
  if (UseHankel(v, x)) {
    const HankelSums s = Hankel(v, x);
    if (iv) *iv = TimesExp(s.alt / std::sqrt(kTwoPi * x), x);
    if (kv) *kv = std::sqrt(kPi / (2.0 * x)) * std::exp(-x) * s.pos;
    return;
  }
  // All terms positive: the series serves while it is short.
  if (iv && !kv && (x <= 30.0 || x <= v)) {
    *iv = SeriesPrefactor(v, x) * BesselSeries(v, x, 1.0);
    return;
  }
  if (BeyondUnderflow(v, x)) {
    if (iv) *iv = 0.0;
    if (kv) *kv = kInf;
    return;
  }
  IK r;
  bool scaled = false;
  if (!TemmeIK(v, x, &r, &scaled)) {
    if (iv) *iv = kNaN;
    if (kv) *kv = kNaN;
    return;
  }
  if (iv) *iv = scaled ? TimesExp(r.i, x) : r.i;
  if (kv) *kv = scaled ? r.k * std::exp(-x) : r.k;
}

}  // namespace

// ---- Exported values ----------------------------------------------------------------

double BesselJ(double v, double x) {
  if (std::isnan(v) || std::isnan(x)) return kNaN;
  if (std::isinf(v)) return DomainError();
  if (x < 0.0) {
    if (!IsInteger(v)) return DomainError();
    const double r = BesselJ(v, -x);
    return std::fmod(std::fabs(v), 2.0) == 1.0 ? -r : r;
  }
  if (x == kInf) return 0.0;
  if (x == 0.0) {
    if (v == 0.0) return 1.0;
    if (v > 0.0 || IsInteger(v)) return 0.0;
    return Gamma(v + 1.0) > 0.0 ? kInf : -kInf;  // (x/2)^v / Γ(v + 1) as x -> 0+
  }
  if (v >= 0.0) {
    double j;
    BesselJYPositive(v, x, &j, nullptr);
    return j;
  }
  // J_-a = cos(πa) J_a - sin(πa) Y_a, a = -v > 0.
  const double a = -v;
  const double s = SinPi(a), c = CosPi(a);
  double j, y;
  BesselJYPositive(a, x, &j, s == 0.0 ? nullptr : &y);
  if (s == 0.0) return c * j;
  if (c == 0.0) return -s * y;
  return c * j - s * y;
}

double BesselY(double v, double x) {
  if (std::isnan(v) || std::isnan(x)) return kNaN;
  if (x <= 0.0 || v < -200.0 || std::isinf(v)) return DomainError();
  if (IsInteger(v) && std::fabs(v) > 2147483647.0) return DomainError();
  if (x == kInf) return 0.0;
  if (v >= 0.0) {
    double y;
    BesselJYPositive(v, x, nullptr, &y);
    return y;
  }
  // Y_-a = sin(πa) J_a + cos(πa) Y_a.
  const double a = -v;
  const double s = SinPi(a), c = CosPi(a);
  double j, y;
  BesselJYPositive(a, x, s == 0.0 ? nullptr : &j, c == 0.0 ? nullptr : &y);
  if (s == 0.0) return c * y;
  if (c == 0.0) return s * j;
  return s * j + c * y;
}

double BesselI(double v, double x) {
  if (std::isnan(v) || std::isnan(x)) return kNaN;
  if (std::isinf(v)) return DomainError();
  if (x < 0.0) {
    if (!IsInteger(v)) return DomainError();
    const double r = BesselI(v, -x);
    return std::fmod(std::fabs(v), 2.0) == 1.0 ? -r : r;
  }
  if (x == kInf) return kInf;
  if (x == 0.0) {
    if (v == 0.0) return 1.0;
    if (v > 0.0 || IsInteger(v)) return 0.0;
    return Gamma(v + 1.0) > 0.0 ? kInf : -kInf;
  }
  if (v >= 0.0) {
    double i;
    BesselIKPositive(v, x, &i, nullptr);
    return i;
  }
  // I_-a = I_a + (2/π) sin(πa) K_a.
  const double a = -v;
  const double s = SinPi(a);
  double i, k;
  BesselIKPositive(a, x, &i, s == 0.0 ? nullptr : &k);
  return s == 0.0 ? i : i + kTwoOverPi * s * k;
}

double SphericalBesselJ(std::int32_t n, double x) {
  if (std::isnan(x)) return x;
  if (x < 0.0) return DomainError();
  if (x == kInf) return 0.0;
  const double v = static_cast<double>(n) + 0.5;
  if (x == 0.0) {
    if (n == 0) return 1.0;
    if (n > 0) return 0.0;
    // j_(-m-1) = (-1)^(m+1) y_m and y_m(0+) = -infinity.
    const std::int64_t m = -static_cast<std::int64_t>(n) - 1;
    return m % 2 == 0 ? kInf : -kInf;
  }
  if (n == 0) return std::sin(x) / x;
  return std::sqrt(kPi / (2.0 * x)) * BesselJ(v, x);
}

double SphericalBesselY(std::int32_t n, double x) {
  if (std::isnan(x)) return x;
  if (x <= 0.0) return DomainError();
  if (x == kInf) return 0.0;
  if (n == 0) return -std::cos(x) / x;
  const double v = static_cast<double>(n) + 0.5;
  if (v < -200.0) {
    // y_(-m-1) = (-1)^m j_m: the half-integer Y below -200 is outside
    // BesselY's range, but the spherical function is defined through it.
    const std::int64_t m = -static_cast<std::int64_t>(n) - 1;
    const double jm = std::sqrt(kPi / (2.0 * x)) * BesselJ(static_cast<double>(m) + 0.5, x);
    return m % 2 == 0 ? jm : -jm;
  }
  return std::sqrt(kPi / (2.0 * x)) * BesselY(v, x);
}

// ---- Airy ------------------------------------------------------------------------------

namespace {

constexpr double kAi0 = 0.355028053887817239260;   // Ai(0)
constexpr double kAip0 = 0.258819403792806798405;  // -Ai'(0)
constexpr double kSqrt3 = 1.7320508075688772935;
constexpr double kSqrtPi = 1.7724538509055160273;

// Maclaurin series: f = Σ 3^k (1/3)_k x^(3k) / (3k)!, g = Σ 3^k (2/3)_k
// x^(3k+1) / (3k+1)!, and their derivatives.
void AiryMaclaurin(double x, double* ai, double* aip, double* bi, double* bip) {
  if (x == 0.0) {
    *ai = kAi0;
    *aip = -kAip0;
    *bi = kSqrt3 * kAi0;
    *bip = kSqrt3 * kAip0;
    return;
  }
  const double z = x * x * x;
  double f = 1.0, g = x, df = 0.0, dg = 1.0;
  double tf = 1.0, tg = x;
  for (int k = 1; k < 100; ++k) {
    const double k3 = 3.0 * k;
    tf *= z / ((k3 - 1.0) * k3);
    tg *= z / (k3 * (k3 + 1.0));
    f += tf;
    g += tg;
    df += k3 * tf / x;
    dg += (k3 + 1.0) * tg / x;
    if (std::fabs(tf) + std::fabs(tg) < 0.25 * kEpsilon * (std::fabs(f) + std::fabs(g))) break;
  }
  *ai = kAi0 * f - kAip0 * g;
  *aip = kAi0 * df - kAip0 * dg;
  *bi = kSqrt3 * (kAi0 * f + kAip0 * g);
  *bip = kSqrt3 * (kAi0 * df + kAip0 * dg);
}

// ζ = (2/3) t^(3/2) as hi + lo.
void Zeta(double t, double* hi, double* lo) {
  const double s = std::sqrt(t);
  const double s_lo = std::fma(-s, s, t) / (2.0 * s);
  double p, p_lo;
  TwoProduct(t, s, &p, &p_lo);
  p_lo += t * s_lo;
  const double q = 2.0 * p / 3.0;
  *hi = q;
  *lo = (std::fma(-q, 3.0, 2.0 * p) + 2.0 * p_lo) / 3.0;
}

// Asymptotic expansions for |x| >= 10 with u_k, v_k of the Airy series.
void AiryAsymptotic(double x, double* ai, double* aip, double* bi, double* bip) {
  const double t = std::fabs(x);
  double zh, zl;
  Zeta(t, &zh, &zl);
  const double iz = 1.0 / zh;
  // u_k = (6k-5)(6k-3)(6k-1) / ((2k-1) 216 k) u_(k-1), v_k = -(6k+1)/(6k-1) u_k.
  double u = 1.0, vv = 1.0, zp = 1.0;
  double su_alt = 1.0, sv_alt = 1.0, su = 1.0, sv = 1.0;  // x > 0 sums
  double ue = 1.0, uo = 0.0, ve = 1.0, vo = 0.0;          // x < 0: even/odd parts
  for (int k = 1; k < 60; ++k) {
    u *= (6.0 * k - 5.0) * (6.0 * k - 3.0) * (6.0 * k - 1.0) / ((2.0 * k - 1.0) * 216.0 * k);
    vv = -(6.0 * k + 1.0) / (6.0 * k - 1.0) * u;
    zp *= iz;
    const double tu = u * zp, tv = vv * zp;
    const double sg = (k % 2) ? -1.0 : 1.0;
    su_alt += sg * tu;
    sv_alt += sg * tv;
    su += tu;
    sv += tv;
    // (-1)^j on u_2j / ζ^2j and on u_(2j+1) / ζ^(2j+1).
    const int j = k / 2;
    const double sj = (j % 2) ? -1.0 : 1.0;
    if (k % 2 == 0) {
      ue += sj * tu;
      ve += sj * tv;
    } else {
      uo += sj * tu;
      vo += sj * tv;
    }
    if (std::fabs(tu) + std::fabs(tv) < 0.1 * kEpsilon) break;
  }
  const double q = std::sqrt(std::sqrt(t));  // t^(1/4)
  if (x > 0.0) {
    const double em = std::exp(-zh) * (1.0 - zl);
    const double ep = TimesExp(1.0 + zl, zh);
    *ai = em / (2.0 * kSqrtPi * q) * su_alt;
    *aip = -q * em / (2.0 * kSqrtPi) * sv_alt;
    *bi = ep / (kSqrtPi * q) * su;
    *bip = q * ep / kSqrtPi * sv;
    return;
  }
  // sin and cos of ζ - π/4 from ζ = hi + lo.
  const double s0 = std::sin(zh), c0 = std::cos(zh);
  const double s1 = s0 + zl * c0, c1 = c0 - zl * s0;
  const double sm = (s1 - c1) * kSqrtHalf;  // sin(ζ - π/4)
  const double cm = (c1 + s1) * kSqrtHalf;  // cos(ζ - π/4)
  *ai = (cm * ue + sm * uo) / (kSqrtPi * q);
  *bi = (-sm * ue + cm * uo) / (kSqrtPi * q);
  *aip = q * (sm * ve - cm * vo) / kSqrtPi;
  *bip = q * (cm * ve + sm * vo) / kSqrtPi;
}

}  // namespace

void Airy(double x, double* ai, double* aip, double* bi, double* bip) {
  if (std::isnan(x)) {
    *ai = *aip = *bi = *bip = x;
    return;
  }
  if (x == kInf) {
    *ai = 0.0;
    *aip = 0.0;
    *bi = kInf;
    *bip = kInf;
    return;
  }
  if (x == -kInf) {
    *ai = *aip = *bi = *bip = 0.0;
    return;
  }
  if (std::fabs(x) <= 1.0) {
    AiryMaclaurin(x, ai, aip, bi, bip);
    return;
  }
  if (std::fabs(x) >= 10.0) {
    AiryAsymptotic(x, ai, aip, bi, bip);
    return;
  }
  constexpr double kThird = 1.0 / 3.0;
  const double t = std::fabs(x);
  const double zeta = 2.0 / 3.0 * t * std::sqrt(t);
  if (x > 0.0) {
    IK r{};
    bool scaled = false;
    TemmeIK(kThird, zeta, &r, &scaled);
    const double es = scaled ? std::exp(zeta) : 1.0;  // undo the scaling
    const double i13 = r.i * es, ip13 = r.ip * es;
    const double k13 = r.k / es, kp13 = r.kp / es;
    const double k23 = -kp13 - kThird / zeta * k13;      // K_-2/3 = K_2/3
    const double im23 = ip13 + kThird / zeta * i13;      // I_-2/3
    const double sin23 = kSqrt3 / 2.0;                   // sin(2π/3) = sin(π/3)
    const double i23 = im23 - kTwoOverPi * sin23 * k23;  // I_2/3
    const double im13 = i13 + kTwoOverPi * sin23 * k13;  // I_-1/3
    *ai = std::sqrt(t / 3.0) / kPi * k13;
    *aip = -t / (kPi * kSqrt3) * k23;
    *bi = std::sqrt(t / 3.0) * (im13 + i13);
    *bip = t / kSqrt3 * (im23 + i23);
    return;
  }
  JY r;
  TemmeJY(kThird, zeta, &r);
  const double jm23 = r.jp + kThird / zeta * r.j;  // J_-2/3
  const double ym23 = r.yp + kThird / zeta * r.y;  // Y_-2/3
  const double st = std::sqrt(t);
  *ai = 0.5 * st * (r.j - r.y / kSqrt3);
  *bi = -0.5 * st * (r.j / kSqrt3 + r.y);
  *aip = 0.5 * t * (ym23 / kSqrt3 - jm23);
  *bip = 0.5 * t * (jm23 / kSqrt3 + ym23);
}

}  // namespace qm::special
