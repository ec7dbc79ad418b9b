// Bessel and Airy functions: the Wronskians across every method boundary,
// special points, domains, the integer path of Y and extreme orders.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>

#include "qmanlys.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;

// J_v Y_(v+1) - J_(v+1) Y_v = -2/(πx) over the series, Temme (x < 2 and
// x >= 2), Hankel-with-recurrence and Hankel regions, integer and fractional
// orders.
TEST(Bessel, WronskianAcrossTheMethods) {
  for (double v : {0.0, 0.25, 1.0, 2.0 + 1e-12, 7.5, 33.3, 120.0}) {
    for (double x : {0.05, 1.0, 1.99, 2.01, 9.0, 21.9, 22.1, 80.0, 400.0, 5000.0}) {
      if (!std::isfinite(ZMXFunc301(v + 1, x))) continue;  // Y overflows for x << v
      const double w =
          ZMXFunc302(v, x) * ZMXFunc301(v + 1, x) - ZMXFunc302(v + 1, x) * ZMXFunc301(v, x);
      const double expected = -2.0 / (kPi * x);
      // Relative to the size of the products (Y is huge for x << v).
      const double size = std::fabs(ZMXFunc302(v, x) * ZMXFunc301(v + 1, x)) +
                          std::fabs(ZMXFunc302(v + 1, x) * ZMXFunc301(v, x));
      EXPECT_NEAR(w, expected, 2e-14 * size) << v << " " << x;
    }
  }
}

TEST(Bessel, ModifiedWronskianAndIntegerReflection) {
  // I_v I_(-v-1) - I_(v+1) I_(-v) = -2 sin(πv)/(πx) (from the K relation).
  for (double v : {0.3, 1.7, 6.25}) {
    for (double x : {0.1, 1.5, 3.0, 25.0, 90.0}) {
      const double w =
          ZMXFunc305(v, x) * ZMXFunc305(-v - 1, x) - ZMXFunc305(v + 1, x) * ZMXFunc305(-v, x);
      const double size = std::fabs(ZMXFunc305(v, x) * ZMXFunc305(-v - 1, x));
      EXPECT_NEAR(w, -2.0 * std::sin(kPi * v) / (kPi * x), 1e-14 * size + 1e-300) << v << " " << x;
    }
  }
  for (double x : {0.5, 4.0, 40.0}) {
    EXPECT_EQ(ZMXFunc305(-3.0, x), ZMXFunc305(3.0, x));
    EXPECT_EQ(ZMXFunc305(3.0, -x), -ZMXFunc305(3.0, x));
    EXPECT_EQ(ZMXFunc305(4.0, -x), ZMXFunc305(4.0, x));
    EXPECT_EQ(ZMXFunc302(-3.0, x), -ZMXFunc302(3.0, x));
    EXPECT_EQ(ZMXFunc302(3.0, -x), -ZMXFunc302(3.0, x));
  }
}

TEST(Bessel, ZeroInfinityAndDomain) {
  EXPECT_EQ(ZMXFunc302(0.0, 0.0), 1.0);
  EXPECT_EQ(ZMXFunc302(2.5, 0.0), 0.0);
  EXPECT_EQ(ZMXFunc302(-2.0, 0.0), 0.0);
  EXPECT_EQ(ZMXFunc302(-0.5, 0.0), kInf);
  EXPECT_EQ(ZMXFunc302(-1.5, 0.0), -kInf);
  EXPECT_EQ(ZMXFunc302(1.0, kInf), 0.0);
  EXPECT_TRUE(std::isnan(ZMXFunc302(0.5, -1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc302(kNaN, 1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc302(kInf, 1.0)));
  EXPECT_EQ(ZMXFunc305(0.0, 0.0), 1.0);
  EXPECT_EQ(ZMXFunc305(1.5, 0.0), 0.0);
  EXPECT_EQ(ZMXFunc305(2.0, kInf), kInf);
  EXPECT_TRUE(std::isnan(ZMXFunc305(0.5, -1.0)));
  EXPECT_EQ(ZMXFunc305(0.0, 800.0), kInf);
  // Y: x <= 0, v < -200 and integer orders above 2^31 - 1 are outside.
  EXPECT_TRUE(std::isnan(ZMXFunc301(2.0, 0.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc301(2.0, -1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc301(-250.0, 1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc301(-200.5, 1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc301(2147483648.0, 1.0)));
  EXPECT_FALSE(std::isnan(ZMXFunc301(-199.5, 1.0)));
  EXPECT_EQ(ZMXFunc301(1.0, kInf), 0.0);
}

TEST(Bessel, YNearAnIntegerOrderKeepsItsDigits) {
  // The integer path and orders 1e-14 away agree to the size of the step
  // (dY/dv is O(1) here), where the sin(vπ) quotient would keep two digits.
  for (double x : {0.5, 3.0, 30.0}) {
    const double y2 = ZMXFunc301(2.0, x);
    const double up = ZMXFunc301(2.0 + 1e-14, x);
    const double down = ZMXFunc301(2.0 - 1e-14, x);
    EXPECT_NEAR(up, y2, 1e-12 * std::fabs(y2)) << x;
    EXPECT_NEAR(down, y2, 1e-12 * std::fabs(y2)) << x;
    EXPECT_EQ(ZMXFunc301(-2.0, x), y2);
    EXPECT_EQ(ZMXFunc301(-3.0, x), -ZMXFunc301(3.0, x));
  }
}

TEST(Bessel, ExtremeOrdersAndArgumentsEndQuickly) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ZMXFunc302(2147483647.0, 1.0), 0.0);
  EXPECT_EQ(ZMXFunc301(2147483647.0, 1.0), -kInf);
  EXPECT_EQ(ZMXFunc302(1e6, 5e5), 0.0);
  EXPECT_EQ(ZMXFunc301(1e6, 5e5), -kInf);
  EXPECT_TRUE(std::isfinite(ZMXFunc302(1e6, 1e6)));
  EXPECT_TRUE(std::isfinite(ZMXFunc301(1e6, 1e6)));
  EXPECT_TRUE(std::isfinite(ZMXFunc302(3.5, 1e15)));
  EXPECT_LE(std::fabs(ZMXFunc302(1e5, 3e6)), 1e-3);
  EXPECT_EQ(ZMXFunc303(INT32_MAX, 1.0), 0.0);
  EXPECT_EQ(ZMXFunc304(INT32_MIN, 1.0), 0.0);
  EXPECT_TRUE(std::isinf(ZMXFunc303(INT32_MIN, 1.0)));
  EXPECT_EQ(ZMXFunc304(INT32_MAX, 1.0), -kInf);
  EXPECT_EQ(ZMXFunc305(1e9, 10.0), 0.0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Orders beyond 32 bits with an argument larger still: the recurrences of
// J_v, Y_v and I_v would take floor(v) steps (once an order beyond 64 bits
// was converted to an integer, undefined); they give NaN at once. Below the
// argument the underflowing values stay as they were.
TEST(Bessel, OrdersBeyond32BitsBelowTheArgumentEndQuickly) {
  const auto start = std::chrono::steady_clock::now();
  for (double v : {1e300, 8.9e298, 1e20, 3e9 + 0.5}) {
    EXPECT_TRUE(std::isnan(ZMXFunc302(v, 2.0 * v))) << v;
    EXPECT_TRUE(std::isnan(ZMXFunc302(-v, 2.0 * v))) << v;
    EXPECT_TRUE(std::isnan(ZMXFunc305(v, 2.0 * v))) << v;
    EXPECT_EQ(ZMXFunc302(v, 1.0), 0.0) << v;
    EXPECT_EQ(ZMXFunc305(v, 1.0), 0.0) << v;
  }
  EXPECT_TRUE(std::isnan(ZMXFunc301(3e9 + 0.5, 6e9)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(SphericalBessel, ClosedFormsZeroAndDomain) {
  EXPECT_EQ(ZMXFunc303(0, 0.0), 1.0);
  EXPECT_EQ(ZMXFunc303(2, 0.0), 0.0);
  EXPECT_EQ(ZMXFunc303(-1, 0.0), kInf);  // cos(x)/x
  EXPECT_EQ(ZMXFunc303(3, kInf), 0.0);
  EXPECT_TRUE(std::isnan(ZMXFunc303(1, -1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc304(1, 0.0)));
  for (double x : {0.3, 2.0, 17.0, 300.0}) {
    const double s = std::sin(x), c = std::cos(x);
    EXPECT_NEAR(ZMXFunc303(1, x), s / (x * x) - c / x, 2e-15 / x) << x;
    EXPECT_NEAR(ZMXFunc304(1, x), -c / (x * x) - s / x, 2e-15 / x) << x;
    EXPECT_NEAR(ZMXFunc303(-1, x), c / x, 2e-15 / x) << x;
    EXPECT_NEAR(ZMXFunc304(-1, x), s / x, 2e-15 / x) << x;
    // y_(-m-1) = (-1)^m j_m, through the reflection below order -200.
    EXPECT_NEAR(ZMXFunc304(-301, x), ZMXFunc303(300, x), 1e-14 * std::fabs(ZMXFunc303(300, x)))
        << x;
  }
}

TEST(Airy, WronskianSpecialValuesAndOutputs) {
  for (double x : {-500.0, -10.01, -9.99, -3.0, -1.0001, -0.9999, 0.0, 0.9999, 1.0001, 4.0, 9.99,
                   10.01, 50.0}) {
    double ai, aip, bi, bip;
    ASSERT_EQ(ZMXFunc330(x, &ai, &aip, &bi, &bip), 0.0);
    const double size = std::fabs(ai * bip) + std::fabs(aip * bi);
    EXPECT_NEAR(ai * bip - aip * bi, 1.0 / kPi, 2e-14 * size) << x;
  }
  double ai, aip, bi, bip;
  ZMXFunc330(0.0, &ai, &aip, &bi, &bip);
  EXPECT_NEAR(ai, 0.35502805388781724, 1e-17);
  EXPECT_NEAR(aip, -0.25881940379280680, 1e-17);
  EXPECT_NEAR(bi, 0.61492662744600074, 2e-16);
  EXPECT_NEAR(bip, 0.44828835735382636, 2e-16);
  ZMXFunc330(kInf, &ai, &aip, &bi, &bip);
  EXPECT_EQ(ai, 0.0);
  EXPECT_EQ(bi, kInf);
  ZMXFunc330(-kInf, &ai, &aip, &bi, &bip);
  EXPECT_EQ(ai, 0.0);
  EXPECT_EQ(bip, 0.0);
  ZMXFunc330(kNaN, &ai, &aip, &bi, &bip);
  EXPECT_TRUE(std::isnan(ai) && std::isnan(bip));
  ZMXFunc330(200.0, &ai, &aip, &bi, &bip);
  EXPECT_EQ(ai, 0.0);  // underflow, not NaN
  EXPECT_EQ(bi, kInf);
  double only = 7;
  EXPECT_EQ(ZMXFunc330(2.0, nullptr, nullptr, &only, nullptr), 0.0);
  ZMXFunc330(2.0, &ai, &aip, &bi, &bip);
  EXPECT_EQ(only, bi);
}

}  // namespace
