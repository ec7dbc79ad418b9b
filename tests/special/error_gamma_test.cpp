// Error functions and the gamma family: thresholds, special values and the
// cruder branches, through the exports.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>

#include "qmanlys.h"
#include "special/special.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEuler = 0.5772156649015329;

double Erf(double x) {
  double r = -7;
  EXPECT_EQ(ZMXFunc70(x, &r), 0);
  return r;
}
double Erfc(double x) {
  double r = -7;
  EXPECT_EQ(ZMXFunc71(x, &r), 0);
  return r;
}
double Gamma(double x) { return ZMXFunc309(x, nullptr); }

TEST(ErrorFunctions, LimitsNaNAndNullResult) {
  EXPECT_EQ(Erf(kInf), 1.0);
  EXPECT_EQ(Erf(-kInf), -1.0);
  EXPECT_EQ(Erf(0.0), 0.0);
  EXPECT_EQ(Erfc(kInf), 0.0);
  EXPECT_EQ(Erfc(-kInf), 2.0);
  EXPECT_TRUE(std::isnan(Erf(kNaN)));
  EXPECT_TRUE(std::isnan(Erfc(kNaN)));
  EXPECT_EQ(ZMXFunc70(1.0, nullptr), -20008);
  EXPECT_EQ(ZMXFunc71(1.0, nullptr), -20008);
  // Odd erf, erfc(-x) = 2 - erfc(x) on both sides of the branch points 1 and 8.
  for (double x : {0.3, 0.999999, 1.0, 1.000001, 7.99, 8.0, 8.01}) {
    EXPECT_EQ(Erf(-x), -Erf(x)) << x;
    EXPECT_NEAR(Erfc(-x), 2.0 - Erfc(x), 4e-16) << x;
  }
}

TEST(ErrorFunctions, ErfcIsExactlyZeroOrTwoOnceMinusXSquaredIsBelowTheLogLimit) {
  EXPECT_EQ(Erfc(27.0), 0.0);
  EXPECT_EQ(Erfc(-27.0), 2.0);
  // -x^2 against -709.782712893384 on both sides: subnormal but non-zero
  // just inside, exactly 0 just outside.
  const double edge = std::sqrt(709.782712893384);
  const double inside = std::nextafter(edge, 0.0) - 1e-12;
  const double outside = edge + 1e-12;
  ASSERT_GE(-inside * inside, -709.782712893384);
  ASSERT_LT(-outside * outside, -709.782712893384);
  EXPECT_GT(Erfc(inside), 0.0);
  EXPECT_LT(Erfc(inside), 1e-300);
  EXPECT_EQ(Erfc(outside), 0.0);
  EXPECT_EQ(Erfc(-outside), 2.0);
  EXPECT_EQ(Erf(outside), 1.0);
}

TEST(Gamma, PolesZeroSmallArgumentsAndInfinity) {
  EXPECT_TRUE(std::isnan(Gamma(0.0)));
  EXPECT_TRUE(std::isnan(Gamma(-3.0)));
  EXPECT_TRUE(std::isnan(Gamma(-40.0)));  // beyond the reflection threshold
  EXPECT_TRUE(std::isnan(Gamma(-kInf)));
  EXPECT_TRUE(std::isnan(Gamma(kNaN)));
  EXPECT_EQ(Gamma(kInf), kInf);
  EXPECT_EQ(Gamma(172.0), kInf);
  // Below 1e-9 the upward reduction finishes as product / ((1 + γx) x).
  for (double x : {1e-10, 5e-10, -5e-10, 1e-300}) {
    EXPECT_EQ(Gamma(x), 1.0 / ((1.0 + kEuler * x) * x)) << x;
  }
  EXPECT_NEAR(Gamma(1e-10), 1e10, 1.0);
  // From -1 + 5e-10 one division, then the finish at (-1 + 5e-10) + 1.
  const double x = -1.0 + 5e-10;
  const double t = x + 1.0;
  EXPECT_EQ(Gamma(x), (1.0 / x) / ((1.0 + kEuler * t) * t));
  // Exact integers from the [2, 3) reduction.
  EXPECT_EQ(Gamma(2.0), 1.0);
  EXPECT_EQ(Gamma(5.0), 24.0);
  EXPECT_EQ(Gamma(1.0), 1.0);
}

TEST(Gamma, ReflectionSignAndUnderflowBelowMinus33) {
  // Γ(-33.5) > 0 (integer part 33 odd), Γ(-34.5) < 0.
  EXPECT_GT(Gamma(-33.5), 0.0);
  EXPECT_LT(Gamma(-34.5), 0.0);
  EXPECT_LT(Gamma(-32.5), 0.0);  // the recurrence side agrees on the sign
  EXPECT_GT(Gamma(-31.5), 0.0);
  // Beyond the overflow of Γ(|x|) the quotient is still a subnormal double,
  // then 0 with the sign.
  EXPECT_GT(std::fabs(Gamma(-175.5)), 0.0);
  EXPECT_LT(std::fabs(Gamma(-175.5)), 1e-300);
  EXPECT_EQ(Gamma(-300.5), 0.0);
}

TEST(GammaStirling, FormulaBelow33DomainAndOverflow) {
  // Below 33 the value is the formula itself, not Γ.
  const double p[] = {7.87311395793093628397E-4, -2.29549961613378126380E-4,
                      -2.68132617805781232825E-3, 3.47222221605458667310E-3,
                      8.33333333333482257126E-2};
  for (double x : {0.5, 2.0, 7.25, 20.0, 32.99}) {
    const double w = 1.0 / x;
    const double poly = (((p[0] * w + p[1]) * w + p[2]) * w + p[3]) * w + p[4];
    const double formula =
        2.5066282746310007 * (std::pow(x, x - 0.5) / std::exp(x)) * (1.0 + w * poly);
    EXPECT_NEAR(ZMXFunc314(x), formula, 4e-16 * formula) << x;
  }
  EXPECT_GT(std::fabs(ZMXFunc314(2.0) - 1.0), 1e-6);  // crude there
  // Either side of the split of the power at 143.01608 agrees with Γ.
  for (double x : {143.0, 143.02}) EXPECT_NEAR(ZMXFunc314(x) / Gamma(x), 1.0, 1e-14) << x;
  EXPECT_EQ(ZMXFunc314(171.7), kInf);
  EXPECT_EQ(ZMXFunc314(709.79), kInf);
  EXPECT_EQ(ZMXFunc314(kInf), kInf);
  EXPECT_EQ(ZMXFunc314(1e-80), kInf);  // correction not finite
  EXPECT_TRUE(std::isnan(ZMXFunc314(0.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc314(-2.0)));
}

TEST(LogGamma, ExactZerosDomainAndExtremes) {
  EXPECT_EQ(ZMXFunc312(1.0), 0.0);
  EXPECT_EQ(ZMXFunc312(2.0), 0.0);
  EXPECT_EQ(ZMXFunc312(0.0), kInf);
  EXPECT_EQ(ZMXFunc312(kInf), kInf);
  EXPECT_TRUE(std::isnan(ZMXFunc312(-0.5)));
  EXPECT_TRUE(std::isnan(ZMXFunc312(-2.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc312(kNaN)));
  // The smallest subnormal: -ln x, no overflow of 1/x.
  EXPECT_NEAR(ZMXFunc312(4.9406564584124654e-324), 744.44007192138126, 1e-12);
  EXPECT_EQ(ZMXFunc312(1e306), kInf);
}

TEST(Factorial, TableProductsAndGamma) {
  EXPECT_EQ(ZMXFunc308(0), 1.0);
  EXPECT_EQ(ZMXFunc308(20), 2432902008176640000.0);
  EXPECT_EQ(ZMXFunc308(33), 8.683317618811886e36);
  EXPECT_EQ(ZMXFunc308(34), 8.683317618811886e36 * 34.0);
  // 35..42 is one block of eight exact factors.
  EXPECT_EQ(ZMXFunc308(42), 8.683317618811886e36 * (34.0 * 35 * 36 * 37 * 38 * 39 * 40 * 41) * 42);
  EXPECT_NEAR(ZMXFunc308(50) / 3.0414093201713376e64, 1.0, 1e-15);
  EXPECT_NEAR(ZMXFunc308(51) / 1.5511187532873822e66, 1.0, 1e-14);  // from Γ(52)
  EXPECT_EQ(ZMXFunc308(171), kInf);
  EXPECT_EQ(ZMXFunc308(INT32_MAX), kInf);
  EXPECT_TRUE(std::isnan(ZMXFunc308(-1)));
  EXPECT_TRUE(std::isnan(ZMXFunc308(INT32_MIN)));
}

TEST(LogFactorial, ZeroOneNegativeAndTheLargestOrder) {
  EXPECT_EQ(ZMXFunc311(0), 0.0);
  EXPECT_EQ(ZMXFunc311(1), 0.0);
  EXPECT_EQ(ZMXFunc311(2), std::log(2.0));
  EXPECT_TRUE(std::isnan(ZMXFunc311(-1)));
  EXPECT_TRUE(std::isnan(ZMXFunc311(INT32_MIN)));
  // ln(2147483647!) = 4.3997e10, no overflow of n + 1.
  EXPECT_NEAR(ZMXFunc311(INT32_MAX) / 43996705655.378524, 1.0, 1e-14);
}

TEST(Digamma, PolesIntegersAndInfinity) {
  for (double x : {0.0, -1.0, -2.0, -1e6}) EXPECT_TRUE(std::isnan(ZMXFunc313(x))) << x;
  EXPECT_TRUE(std::isnan(ZMXFunc313(-kInf)));
  EXPECT_EQ(ZMXFunc313(kInf), kInf);
  EXPECT_EQ(ZMXFunc313(1.0), -kEuler);
  EXPECT_NEAR(ZMXFunc313(2.0), 1.0 - kEuler, 1e-16);
  // The reflection is reduced by the period of tan: ψ(x) = -1/x - γ + O(x)
  // for tiny negative x.
  EXPECT_NEAR(ZMXFunc313(-1e-12), 1e12 - kEuler, 1e-3);
  const double near_pole = -3.0 + 1e-9;
  EXPECT_NEAR(ZMXFunc313(near_pole), -1.0 / (near_pole + 3.0), 2.0);
}

TEST(Beta, CompletePolesAndSymmetry) {
  EXPECT_EQ(ZMXFunc307(1.0, 1.0, nullptr), 1.0);
  EXPECT_NEAR(ZMXFunc307(0.5, 0.5, nullptr), 3.141592653589793, 1e-15);
  EXPECT_TRUE(std::isnan(ZMXFunc307(-1.0, 2.5, nullptr)));
  EXPECT_TRUE(std::isnan(ZMXFunc307(2.5, 0.0, nullptr)));
  EXPECT_TRUE(std::isnan(ZMXFunc307(kNaN, 2.0, nullptr)));
  for (double a : {0.3, 12.5, 150.0, 2000.0}) {
    for (double b : {0.7, 40.0, 1e5}) {
      EXPECT_EQ(ZMXFunc307(a, b, nullptr), ZMXFunc307(b, a, nullptr)) << a << " " << b;
    }
  }
}

TEST(IncompleteGamma, EndsDomainAndComplement) {
  const double zero = 0.0, inf = kInf, minus = -1.0, two = 2.0;
  EXPECT_EQ(ZMXFunc309(2.5, &zero), 0.0);
  EXPECT_EQ(ZMXFunc309(2.5, &inf), 1.0);
  EXPECT_TRUE(std::isnan(ZMXFunc309(0.0, &two)));
  EXPECT_TRUE(std::isnan(ZMXFunc309(-1.0, &two)));
  EXPECT_TRUE(std::isnan(ZMXFunc309(2.5, &minus)));
  EXPECT_EQ(ZMXFunc309(1.0, &two), 1.0 - std::exp(-2.0));
  for (double a : {0.01, 0.5, 3.0, 40.0, 1e4, 1e8, 1e12}) {
    for (double r : {0.5, 0.999, 1.0, 1.001, 2.0}) {
      const double x = a * r;
      const double p = qm::special::IncompleteGammaP(a, x);
      const double q = qm::special::IncompleteGammaQ(a, x);
      EXPECT_NEAR(p + q, 1.0, 2e-15) << a << " " << x;
      EXPECT_EQ(ZMXFunc309(a, &x), p);
    }
  }
}

TEST(IncompleteGamma, HugeShapesEndQuickly) {
  const auto start = std::chrono::steady_clock::now();
  for (double a : {1e9, 1e11, 1e15, 1e300}) {
    const double x = a;
    const double p = ZMXFunc309(a, &x);
    EXPECT_GE(p, 0.5) << a;  // the median lies below the mean
    EXPECT_LT(p, 0.51) << a;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(IncompleteBeta, EndsDomainSymmetryAndComplement) {
  const double zero = 0.0, one = 1.0, half = 0.5, bad = 1.5;
  EXPECT_EQ(ZMXFunc307(2.0, 3.0, &zero), 0.0);
  EXPECT_EQ(ZMXFunc307(2.0, 3.0, &one), 1.0);
  EXPECT_TRUE(std::isnan(ZMXFunc307(2.0, 3.0, &bad)));
  EXPECT_TRUE(std::isnan(ZMXFunc307(0.0, 3.0, &half)));
  EXPECT_TRUE(std::isnan(ZMXFunc307(2.0, -3.0, &half)));
  EXPECT_NEAR(ZMXFunc307(3.0, 3.0, &half), 0.5, 4e-16);
  EXPECT_NEAR(ZMXFunc307(1.0, 1.0, &half), 0.5, 4e-16);
  for (double a : {0.2, 2.0, 50.0, 3000.0}) {
    for (double b : {0.5, 7.0, 400.0}) {
      for (double x : {0.0078125, 0.25, 0.5, 0.9, 0.999}) {  // 1 - x exact
        const double i = qm::special::IncompleteBeta(a, b, x);
        const double ic = qm::special::IncompleteBetaComplement(a, b, x);
        EXPECT_NEAR(i + ic, 1.0, 2e-15) << a << " " << b << " " << x;
        EXPECT_EQ(ic, qm::special::IncompleteBeta(b, a, 1.0 - x)) << a << " " << b << " " << x;
      }
    }
  }
}

}  // namespace
