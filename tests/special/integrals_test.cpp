// Exponential and trigonometric-type integrals: limits, thresholds, the
// symmetry conventions and the pointer outputs, through the exports.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "qmanlys.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kHalfPi = 1.5707963267948966;

TEST(ExponentialIntegral, DomainZeroInfinityAndExtremeOrders) {
  EXPECT_TRUE(std::isnan(ZMXFunc321(1.0, -1)));
  EXPECT_TRUE(std::isnan(ZMXFunc321(1.0, INT32_MIN)));
  EXPECT_TRUE(std::isnan(ZMXFunc321(-1.0, 2)));
  EXPECT_TRUE(std::isnan(ZMXFunc321(kNaN, 2)));
  EXPECT_EQ(ZMXFunc321(0.0, 0), kInf);
  EXPECT_EQ(ZMXFunc321(0.0, 1), kInf);
  EXPECT_EQ(ZMXFunc321(0.0, 2), 1.0);
  EXPECT_EQ(ZMXFunc321(0.0, 5), 0.25);
  EXPECT_EQ(ZMXFunc321(0.0, INT32_MAX), 1.0 / 2147483646.0);
  EXPECT_EQ(ZMXFunc321(kInf, 3), 0.0);
  EXPECT_EQ(ZMXFunc321(710.0, 1), 0.0);
  EXPECT_EQ(ZMXFunc321(2.0, 0), std::exp(-2.0) / 2.0);
  // The largest order: e^-x / (x + n) to the leading term.
  const double big = ZMXFunc321(3.0, INT32_MAX);
  EXPECT_NEAR(big * (3.0 + 2147483647.0) / std::exp(-3.0), 1.0, 1e-9);
  // The series (x <= 1) and the continued fraction meet at x = 1.
  for (int n : {1, 2, 7, 300}) {
    const double below = ZMXFunc321(std::nextafter(1.0, 0.0), n);
    const double above = ZMXFunc321(std::nextafter(1.0, 2.0), n);
    EXPECT_NEAR(below / above, 1.0, 1e-14) << n;
  }
}

TEST(SineCosineIntegrals, ZeroInfinitySymmetry) {
  EXPECT_EQ(ZMXFunc323(0.0), 0.0);
  EXPECT_EQ(ZMXFunc322(0.0), -kInf);
  EXPECT_EQ(ZMXFunc323(kInf), kHalfPi);
  EXPECT_EQ(ZMXFunc323(-kInf), -kHalfPi);
  EXPECT_EQ(ZMXFunc322(kInf), 0.0);
  EXPECT_TRUE(std::isnan(ZMXFunc322(kNaN)));
  EXPECT_TRUE(std::isnan(ZMXFunc323(kNaN)));
  for (double x : {0.3, 3.999, 4.0, 4.001, 7.99, 8.0, 1e3, 1e12}) {
    EXPECT_EQ(ZMXFunc323(-x), -ZMXFunc323(x)) << x;
    EXPECT_EQ(ZMXFunc322(-x), ZMXFunc322(x)) << x;  // the real part
  }
  // Far out Ci keeps its digits relative to its envelope 1/x.
  const double x = 1e12;
  EXPECT_NEAR(ZMXFunc322(x) * x, std::sin(x) - std::cos(x) / x, 1e-14);
}

TEST(HyperbolicIntegrals, ZeroInfinityOverflowAndSymmetry) {
  EXPECT_EQ(ZMXFunc325(0.0), 0.0);
  EXPECT_EQ(ZMXFunc324(0.0), -kInf);
  EXPECT_EQ(ZMXFunc325(kInf), kInf);
  EXPECT_EQ(ZMXFunc325(-kInf), -kInf);
  EXPECT_EQ(ZMXFunc324(kInf), kInf);
  EXPECT_EQ(ZMXFunc325(880.5), kInf);
  EXPECT_EQ(ZMXFunc325(-880.5), -kInf);
  EXPECT_EQ(ZMXFunc324(880.5), kInf);
  EXPECT_EQ(ZMXFunc325(800.0), kInf);  // e^x/(2x) overflows
  EXPECT_TRUE(std::isfinite(ZMXFunc325(715.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc325(kNaN)));
  for (double x : {0.2, 7.99, 8.0, 8.01, 17.99, 18.0, 18.01, 87.99, 88.0, 88.01}) {
    EXPECT_EQ(ZMXFunc325(-x), -ZMXFunc325(x)) << x;
    EXPECT_EQ(ZMXFunc324(-x), ZMXFunc324(x)) << x;
  }
}

TEST(Fresnel, ThresholdLimitsSignsAndNullOutputs) {
  double s = 7, c = 7;
  EXPECT_EQ(ZMXFunc331(0.0, &s, &c), 0.0);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(c, 0.0);
  // Beyond |x| = 36974 both are 0.5 with the sign of x.
  ZMXFunc331(36974.5, &s, &c);
  EXPECT_EQ(s, 0.5);
  EXPECT_EQ(c, 0.5);
  ZMXFunc331(-36974.5, &s, &c);
  EXPECT_EQ(s, -0.5);
  EXPECT_EQ(c, -0.5);
  ZMXFunc331(kInf, &s, &c);
  EXPECT_EQ(s, 0.5);
  ZMXFunc331(-kInf, &s, &c);
  EXPECT_EQ(c, -0.5);
  // Just inside, within 1/(πx) of 0.5 but not equal.
  ZMXFunc331(36973.5, &s, &c);
  EXPECT_NE(s, 0.5);
  EXPECT_NEAR(s, 0.5, 1e-5);
  EXPECT_NEAR(c, 0.5, 1e-5);
  ZMXFunc331(kNaN, &s, &c);
  EXPECT_TRUE(std::isnan(s) && std::isnan(c));
  // Odd; either output may be null.
  double s1, c1, s2 = 7, c2 = 7;
  ZMXFunc331(2.5, &s1, &c1);
  EXPECT_EQ(ZMXFunc331(2.5, nullptr, &c2), 0.0);
  EXPECT_EQ(ZMXFunc331(2.5, &s2, nullptr), 0.0);
  EXPECT_EQ(ZMXFunc331(2.5, nullptr, nullptr), 0.0);
  EXPECT_EQ(s2, s1);
  EXPECT_EQ(c2, c1);
  ZMXFunc331(-2.5, &s2, &c2);
  EXPECT_EQ(s2, -s1);
  EXPECT_EQ(c2, -c1);
}

TEST(Dawson, OddZeroAndFarOut) {
  EXPECT_EQ(ZMXFunc320(0.0), 0.0);
  EXPECT_EQ(ZMXFunc320(kInf), 0.0);
  EXPECT_EQ(ZMXFunc320(-kInf), -0.0);
  EXPECT_EQ(ZMXFunc320(2e9), 0.25e-9);
  EXPECT_TRUE(std::isnan(ZMXFunc320(kNaN)));
  for (double x : {0.1, 3.2499, 3.25, 6.25, 100.0}) EXPECT_EQ(ZMXFunc320(-x), -ZMXFunc320(x)) << x;
}

TEST(Spence, DomainFixedPointsAndReflections) {
  EXPECT_TRUE(std::isnan(ZMXFunc326(-0.5)));
  EXPECT_TRUE(std::isnan(ZMXFunc326(kNaN)));
  EXPECT_EQ(ZMXFunc326(0.0), 1.6449340668482264);
  EXPECT_EQ(ZMXFunc326(1.0), 0.0);
  EXPECT_EQ(ZMXFunc326(kInf), -kInf);
  // Li2(1 - x) + Li2(1 - 1/x) = -ln^2(x)/2 ties the branches above and below 1.
  for (double x : {0.25, 0.7, 1.3, 1.6, 3.0, 40.0}) {
    const double l = std::log(x);
    EXPECT_NEAR(ZMXFunc326(x) + ZMXFunc326(1.0 / x), -0.5 * l * l, 1e-15 * (1 + l * l)) << x;
  }
}

}  // namespace
