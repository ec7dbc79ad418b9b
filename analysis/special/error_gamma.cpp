// Error functions and the gamma family: Γ, Stirling's Γ, ln Γ, factorials,
// ψ and the complete beta function.
#include <cmath>
#include <cstdint>
#include <utility>

#include "frame/math_constants.h"
#include "special/kernels.h"
#include "special/special.h"

namespace qm::special {

namespace {

// erf on |x| <= 1: x T(x^2) / U(x^2).
const double kErfT[] = {9.60497373987051638749E0, 9.00260197203842689217E1,
                        2.23200534594684319226E3, 7.00332514112805075473E3,
                        5.55923013010394962768E4};
const double kErfU[] = {3.35617141647503099647E1, 5.21357949780152679795E2,
                        4.59432382970980127987E3, 2.26290000613890934246E4,
                        4.92673942608635921086E4};
// erfc on 1 <= |x| < 8: exp(-x^2) P(x) / Q(x).
const double kErfcP[] = {
    2.46196981473530512524E-10, 5.64189564831068821977E-1, 7.46321056442269912687E0,
    4.86371970985681366614E1,   1.96520832956077098242E2,  5.26445194995477358631E2,
    9.34528527171957607540E2,   1.02755188689515710272E3,  5.57535335369399327526E2};
const double kErfcQ[] = {1.32281951154744992508E1, 8.67072140885989742329E1,
                         3.54937778887819891062E2, 9.75708501743205489753E2,
                         1.82390916687909736289E3, 2.24633760818710981792E3,
                         1.65666309194161350182E3, 5.57535340817727675546E2};
// erfc on |x| >= 8: exp(-x^2) R(x) / S(x).
const double kErfcR[] = {5.64189583547755073984E-1, 1.27536670759978104416E0,
                         5.01905042251180477414E0,  6.16021097993053585195E0,
                         7.40974269950448939160E0,  2.97886665372100240670E0};
const double kErfcS[] = {2.26052863220117276590E0, 9.39603524938001434673E0,
                         1.20489539808096656605E1, 1.70814450747565897222E1,
                         9.60896809063285878198E0, 3.36907645100081516050E0};

double ErfSmall(double x) {
  const double z = x * x;
  return x * Polevl(z, kErfT) / P1evl(z, kErfU);
}

// exp(-x^2) with x^2 split into an exactly squared head (x rounded to a
// multiple of 1/16, whose square is exact below 2^21) and a small tail, so
// that the rounding of x^2 is not amplified by the exponential.
double ExpMinusSquare(double x) {
  const double head = std::trunc(x * 16.0) / 16.0;
  const double tail = (x - head) * (x + head);  // x^2 - head^2, small
  return std::exp(-head * head) * std::exp(-tail);
}

// Γ on [2, 3): P(x - 2) / Q(x - 2), degrees 6 and 7.
const double kGammaP[] = {1.60119522476751861407E-4, 1.19135147006586384913E-3,
                          1.04213797561761569935E-2, 4.76367800457137231464E-2,
                          2.07448227648435975150E-1, 4.94214826801497100753E-1,
                          9.99999999999999996796E-1};
const double kGammaQ[] = {-2.31581873324120129819E-5, 5.39605580493303397842E-4,
                          -4.45641913851797240494E-3, 1.18139785222060435552E-2,
                          3.58236398605498653373E-2,  -2.34591795718243348568E-1,
                          7.14304917030273074085E-2,  1.00000000000000000320E0};
// Stirling correction polynomial in 1/x, degree 4.
const double kStirling[] = {7.87311395793093628397E-4, -2.29549961613378126380E-4,
                            -2.68132617805781232825E-3, 3.47222221605458667310E-3,
                            8.33333333333482257126E-2};
constexpr double kStirlingSplit = 143.01608;
constexpr double kMaxGamma = 171.624376956302725;

// ln Γ: Stirling series in 1/x^2 for 33 <= x < 1000, and the rational
// approximation of ln Γ(2 + t), t in [0, 1).
const double kLogGammaA[] = {8.11614167470508450300E-4, -5.95061904284301438324E-4,
                             7.93650340457716943945E-4, -2.77777777730099687205E-3,
                             8.33333333333331927722E-2};
const double kLogGammaB[] = {-1.37825152569120859100E3, -3.88016315134637840924E4,
                             -3.31612992738871184744E5, -1.16237097492762307383E6,
                             -1.72173700820839662146E6, -8.53555664245765465627E5};
const double kLogGammaC[] = {-3.51815701436523470549E2, -1.70642106651881159223E4,
                             -2.20528590553854454839E5, -1.13933444367982507207E6,
                             -2.53252307177582951285E6, -2.01889141433532773231E6};

const double kFactorials[34] = {1.0,
                                1.0,
                                2.0,
                                6.0,
                                24.0,
                                120.0,
                                720.0,
                                5040.0,
                                40320.0,
                                362880.0,
                                3628800.0,
                                39916800.0,
                                479001600.0,
                                6227020800.0,
                                87178291200.0,
                                1307674368000.0,
                                20922789888000.0,
                                355687428096000.0,
                                6402373705728000.0,
                                1.21645100408832e+17,
                                2.43290200817664e+18,
                                5.109094217170944e+19,
                                1.1240007277776077e+21,
                                2.585201673888498e+22,
                                6.204484017332394e+23,
                                1.5511210043330986e+25,
                                4.0329146112660565e+26,
                                1.0888869450418352e+28,
                                3.0488834461171387e+29,
                                8.841761993739702e+30,
                                2.6525285981219107e+32,
                                8.222838654177922e+33,
                                2.631308369336935e+35,
                                8.683317618811886e+36};

// ψ on [1, 2]: (x - x0) (Y + R(x - 1)), x0 the positive root split in three
// parts, R a rational function of degrees 5 and 6.
double DigammaOneTwo(double x) {
  static const double kP[] = {-0.0020713321167745952, -0.045251321448739056, -0.28919126444774784,
                              -0.65031853770896507,   -0.32555031186804491,  0.25479851061131551};
  static const double kQ[] = {-0.55789841321675513e-6,
                              0.0021284987017821144,
                              0.054151797245674225,
                              0.43593529692665969,
                              1.4606242909763515,
                              2.0767117023730469,
                              1.0};
  constexpr double kY = 0.99558162689208984;
  constexpr double kRoot1 = 1569415565.0 / 1073741824.0;
  constexpr double kRoot2 = (381566830.0 / 1073741824.0) / 1073741824.0;
  constexpr double kRoot3 = 0.9016312093258695918615325266959189453125e-19;
  const double g = ((x - kRoot1) - kRoot2) - kRoot3;
  const double r = Polevl(x - 1.0, kP) / Polevl(x - 1.0, kQ);
  return g * kY + g * r;
}

// Asymptotic ψ(x) for x >= 10.
double DigammaLarge(double x) {
  static const double kA[] = {8.33333333333333333333E-2, -2.10927960927960927961E-2,
                              7.57575757575757575758E-3, -4.16666666666666666667E-3,
                              3.96825396825396825397E-3, -8.33333333333333333333E-3,
                              8.33333333333333333333E-2};
  double y = 0.0;
  if (x < 1.0e17) {
    const double z = 1.0 / (x * x);
    y = z * Polevl(z, kA);
  }
  return std::log(x) - 0.5 / x - y;
}

}  // namespace

// ---- Error functions ----------------------------------------------------------

double Erf(double x) {
  if (std::isnan(x)) return x;
  if (std::fabs(x) > 1.0) return x > 0 ? 1.0 - Erfc(x) : Erfc(-x) - 1.0;
  return ErfSmall(x);
}

double Erfc(double x) {
  if (std::isnan(x)) return x;
  const double ax = std::fabs(x);
  if (ax < 1.0) return 1.0 - ErfSmall(x);
  if (-x * x < -kMaxLog) return x > 0 ? 0.0 : 2.0;
  const double e = ExpMinusSquare(ax);
  const double y = ax < 8.0 ? e * Polevl(ax, kErfcP) / P1evl(ax, kErfcQ)
                            : e * Polevl(ax, kErfcR) / P1evl(ax, kErfcS);
  return x < 0 ? 2.0 - y : y;
}

Status ErfToResult(double x, double* result) {
  *result = Erf(x);
  return kSuccess;
}

Status ErfcToResult(double x, double* result) {
  *result = Erfc(x);
  return kSuccess;
}

// ---- Gamma ---------------------------------------------------------------------

double GammaStirling(double x) {
  if (std::isnan(x)) return x;
  if (x == kInf) return kInf;
  if (!(x > 0.0)) return DomainError();
  if (x >= kMaxLog) return kInf;
  const double w = 1.0 / x;
  const double correction = 1.0 + w * Polevl(w, kStirling);
  if (!std::isfinite(correction)) return kInf;
  const double ex = std::exp(x);
  double y;
  if (x > kStirlingSplit) {
    const double v = std::pow(x, 0.5 * x - 0.25);
    y = v * (v / ex);
  } else {
    y = std::pow(x, x - 0.5) / ex;
  }
  return kSqrtTwoPi * y * correction;
}

double Gamma(double x) {
  if (std::isnan(x)) return x;
  if (x == kInf) return kInf;
  if (x == -kInf) return DomainError();
  const double q = std::fabs(x);
  if (q > 33.0) {
    if (x > 0.0) return GammaStirling(x);
    // Reflection: Γ(x) = π / (|x| |sin(π f)| Γ(|x|)), f the distance of |x|
    // to the nearest integer, the sign from the parity of the integer part.
    double p = std::floor(q);
    if (p == q) return DomainError();
    const double sign = std::fmod(p, 2.0) == 0.0 ? -1.0 : 1.0;
    double f = q - p;
    if (f > 0.5) {
      p += 1.0;
      f = q - p;
    }
    const double s = q * std::fabs(std::sin(kPi * f));
    if (q < kMaxGamma) return sign * kPi / (s * GammaStirling(q));
    // Γ(|x|) overflows while the quotient may still be a (subnormal) double.
    return sign * std::exp(std::log(kPi / s) - LogGamma(q));
  }
  double z = 1.0;
  while (x >= 3.0) {
    x -= 1.0;
    z *= x;
  }
  while (x < 0.0) {
    if (x > -1e-9) goto small;
    z /= x;
    x += 1.0;
  }
  while (x < 2.0) {
    if (x < 1e-9) goto small;
    z /= x;
    x += 1.0;
  }
  if (x == 2.0) return z;
  x -= 2.0;
  return z * Polevl(x, kGammaP) / Polevl(x, kGammaQ);
small:
  if (x == 0.0) return DomainError();
  return z / ((1.0 + kEulerGamma * x) * x);
}

double LogGamma(double x) {
  if (std::isnan(x)) return x;
  if (x < 0.0) return DomainError();
  if (x == kInf) return kInf;
  if (x == 0.0) return kInf;
  if (x >= 33.0) {
    const double q = (x - 0.5) * std::log(x) - x + kLnSqrtTwoPi;
    const double p = 1.0 / (x * x);
    if (x >= 1000.0) {
      return q + ((1.0 / 1260.0 * p - 1.0 / 360.0) * p + 1.0 / 12.0) / x;
    }
    return q + Polevl(p, kLogGammaA) / x;
  }
  // Below 2^-54 ln Γ(x) = -ln x - γ x + O(x^2) to full precision, and 1/x
  // would overflow for subnormal x.
  if (x < 0x1p-54) return -std::log(x) - kEulerGamma * x;
  double z = 1.0;
  double u = x;
  while (u >= 3.0) {
    u -= 1.0;
    z *= u;
  }
  while (u < 2.0) {
    z /= u;
    u += 1.0;
  }
  if (u == 2.0) return std::log(z);
  u -= 2.0;
  return std::log(z) + u * Polevl(u, kLogGammaB) / P1evl(u, kLogGammaC);
}

double Factorial(std::int32_t n) {
  if (n < 0) return DomainError();
  if (n < 34) return kFactorials[n];
  if (n <= 50) {
    // 33! times 34 .. n, in products of up to eight exact integer factors.
    double result = kFactorials[33];
    std::int32_t k = 34;
    while (k <= n) {
      double block = 1.0;
      for (int i = 0; i < 8 && k <= n; ++i, ++k) block *= k;
      result *= block;
    }
    return result;
  }
  return Gamma(static_cast<double>(n) + 1.0);
}

double LogFactorial(std::int32_t n) {
  if (n < 0) return DomainError();
  if (n <= 1) return 0.0;
  return LogGamma(static_cast<double>(n) + 1.0);
}

double Digamma(double x) {
  if (std::isnan(x)) return x;
  if (x == kInf) return x;
  if (x == -kInf) return DomainError();
  double y = 0.0;
  if (x <= 0.0) {
    // ψ(x) = ψ(1 - x) - π / tan(πx), tan reduced by its period first.
    const double r = x - std::nearbyint(x);  // exact, |r| <= 1/2
    if (r == 0.0) return DomainError();
    y = -kPi / std::tan(kPi * r);
    x = 1.0 - x;
  }
  if (x <= 10.0 && x == std::floor(x)) {
    const int n = static_cast<int>(x);
    for (int i = 1; i < n; ++i) y += 1.0 / i;
    return y - kEulerGamma;
  }
  if (x < 1.0) {
    y -= 1.0 / x;
    x += 1.0;
  } else if (x < 10.0) {
    while (x > 2.0) {
      x -= 1.0;
      y += 1.0 / x;
    }
  }
  if (x >= 1.0 && x <= 2.0) return y + DigammaOneTwo(x);
  return y + DigammaLarge(x);
}

// ---- Beta ------------------------------------------------------------------------

namespace {

// Γ(b) / Γ(b + a) for b >= 10 and small a > 0, by Stirling's series:
// e^a (b / (b + a))^(b - 1/2) (b + a)^(-a) e^(S(b) - S(b + a)).
double GammaRatioLarge(double a, double b) {
  double c;
  double lo;
  TwoSum(a, b, &c, &lo);  // a + b = c + lo exactly
  // The rounding of c moves (b - 1/2) ln(1 - a/c) by about a ulp of a only.
  const double log_term = (b - 0.5) * std::log1p(-a / c);
  return std::exp(a + log_term + StirlingCorrection(b) - StirlingCorrection(c)) * PowSum(c, lo, -a);
}

}  // namespace

double Beta(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return kNaN;
  if (a <= 0.0 && a == std::floor(a)) return DomainError();
  if (b <= 0.0 && b == std::floor(b)) return DomainError();
  if (a > b) std::swap(a, b);  // a <= b
  const double c = a + b;
  if (a > 0.0 && b >= 10.0 && c >= kMaxGamma - 1.0) {
    if (a < 10.0) return Gamma(a) * GammaRatioLarge(a, b);
    // Both large: √(2π) (a/c)^a (b/c)^b √(c/(ab)) e^(S(a) + S(b) - S(c)),
    // each power corrected for the rounding of its base.
    double chi, clo;
    TwoSum(a, b, &chi, &clo);
    const double qa = a / chi;
    const double qb = b / chi;
    // a/c = qa (1 + da) with da from the exact remainder of the division.
    const double da = (std::fma(-qa, chi, a) - qa * clo) / a;
    const double db = (std::fma(-qb, chi, b) - qb * clo) / b;
    const double log_size = a * std::log(qa) + b * std::log(qb);
    const double corr = StirlingCorrection(a) + StirlingCorrection(b) - StirlingCorrection(c);
    const double root = kSqrtTwoPi * std::sqrt(chi / a) / std::sqrt(b);
    if (log_size < -700.0) {
      return root * std::exp(log_size + a * std::log1p(da) + b * std::log1p(db) + corr);
    }
    return root * std::pow(qa, a) * std::pow(qb, b) *
           std::exp(a * std::log1p(da) + b * std::log1p(db) + corr);
  }
  if (c < kMaxGamma && (a > 1e-300 || a < 0.0)) {
    const double gc = Gamma(c);
    if (gc == 0.0 || std::isnan(gc)) return DomainError();  // a + b a pole
    const double ga = Gamma(a);
    const double gb = Gamma(b);
    const double r = std::fabs(ga) > std::fabs(gb) ? ga / gc * gb : gb / gc * ga;
    // a + b = c + lo: Γ(c + lo) = Γ(c) (1 + ψ(c) lo), which matters once
    // ψ(c) lo is above an ulp (large c, b much larger than a). The
    // correction is itself a few ulps, so ψ to a few percent serves:
    // ln c - 1/(2c) from 1 on, -1/c - γ below.
    double hi, lo;
    TwoSum(a, b, &hi, &lo);
    if (lo == 0.0) return r;
    const double psi = c >= 1.0 ? std::log(c) - 0.5 / c : -1.0 / c - kEulerGamma;
    return r * (1.0 - psi * lo);
  }
  if (a > 0.0 && a <= 1e-300) return 1.0 / a;  // B(a, b) = 1/a - ψ(b) + γ + ...
  // Negative non-integer arguments with a large sum: through logarithms.
  const double sign = (std::signbit(Gamma(a)) != std::signbit(Gamma(b))) ? -1.0 : 1.0;
  const double la = a > 0 ? LogGamma(a) : std::log(std::fabs(Gamma(a)));
  const double lb = b > 0 ? LogGamma(b) : std::log(std::fabs(Gamma(b)));
  const double lc = c > 0 ? LogGamma(c) : std::log(std::fabs(Gamma(c)));
  const double sc = c > 0 ? 1.0 : (std::signbit(Gamma(c)) ? -1.0 : 1.0);
  return sign * sc * std::exp(la + lb - lc);
}

}  // namespace qm::special
