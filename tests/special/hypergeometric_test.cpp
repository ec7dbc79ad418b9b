// Hypergeometric functions and Struve: closed forms, terminating cases,
// poles, the transformations' seams and domains.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "qmanlys.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;

TEST(Hypergeometric1F1, ClosedFormsPolynomialsAndPoles) {
  EXPECT_EQ(ZMXFunc316(0.0, 2.5, 3.0), 1.0);
  EXPECT_EQ(ZMXFunc316(1.5, 2.5, 0.0), 1.0);
  EXPECT_EQ(ZMXFunc316(2.5, 2.5, 1.7), std::exp(1.7));
  // 1F1(1; 2; x) = (e^x - 1)/x on both sides and through Kummer's
  // transformation; 1F1(-2; b; x) = 1 - 2x/b + x^2/(b(b+1)).
  for (double x : {-40.0, -3.0, -0.1, 0.1, 5.0, 150.0}) {
    const double expected = std::expm1(x) / x;
    EXPECT_NEAR(ZMXFunc316(1.0, 2.0, x), expected, 1e-13 * std::fabs(expected)) << x;
    const double b = 3.5;
    const double poly = 1.0 - 2.0 * x / b + x * x / (b * (b + 1.0));
    EXPECT_NEAR(ZMXFunc316(-2.0, b, x), poly,
                1e-14 * (1.0 + std::fabs(2.0 * x / b) + x * x / (b * b)))
        << x;
  }
  EXPECT_TRUE(std::isnan(ZMXFunc316(1.5, -2.0, 1.0)));    // pole of b
  EXPECT_FALSE(std::isnan(ZMXFunc316(-1.0, -2.0, 1.0)));  // terminates before the pole
  EXPECT_NEAR(ZMXFunc316(-1.0, -2.0, 1.0), 1.5, 1e-15);
  EXPECT_TRUE(std::isnan(ZMXFunc316(kNaN, 1.0, 1.0)));
}

TEST(Hypergeometric2F1, ClosedFormsGaussValueAndDomain) {
  // 2F1(1, 1; 2; x) = -ln(1 - x)/x over the Pfaff, series and 1 - x pieces.
  for (double x : {-20.0, -0.9, -0.3, 0.2, 0.7, 0.95, 0.999999}) {
    const double expected = -std::log1p(-x) / x;
    EXPECT_NEAR(ZMXFunc315(1.0, 1.0, 2.0, x), expected, 1e-13 * expected) << x;
  }
  // 2F1(a, b; b; x) = (1 - x)^-a, non-integer c - a - b.
  for (double x : {-3.0, 0.4, 0.93}) {
    EXPECT_NEAR(ZMXFunc315(0.3, 1.7, 1.7, x), std::pow(1.0 - x, -0.3), 1e-13) << x;
  }
  // Gauss at x = 1: Γ(c)Γ(c-a-b)/(Γ(c-a)Γ(c-b)); divergent when c - a - b <= 0.
  EXPECT_NEAR(ZMXFunc315(0.5, 0.5, 2.0, 1.0), 4.0 / kPi, 1e-14);
  EXPECT_TRUE(std::isnan(ZMXFunc315(1.0, 1.0, 2.0, 1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc315(0.5, 0.5, 2.0, 1.5)));
  EXPECT_TRUE(std::isnan(ZMXFunc315(0.5, 0.5, -3.0, 0.2)));
  // Terminating: any x, also beyond 1.
  EXPECT_NEAR(ZMXFunc315(-2.0, 1.5, 2.5, 3.0),
              1.0 - 2.0 * 1.5 * 3.0 / 2.5 + 1.5 * 2.5 * 9.0 / (2.5 * 3.5), 1e-14);
  EXPECT_EQ(ZMXFunc315(0.0, 1.5, 2.5, 0.7), 1.0);
}

// c - a - b an integer far beyond the series bound (here beyond any int):
// the logarithmic form is not tried; the answer comes from the series in
// bounded time, as it does for a large non-integer gap.
TEST(Hypergeometric2F1, IntegerGapBeyondTheSeriesBound) {
  for (double big : {1e300, 6.4e257, 1e12, 3e9}) {
    const double r = ZMXFunc315(1.0, big, 1.5, 0.95);
    EXPECT_FALSE(std::isfinite(r)) << big;
    // With c large the series converges at once: 1 + a b x / c + ...
    const double q = ZMXFunc315(1.0, 2.0, big, 0.95);
    EXPECT_NEAR(q, 1.0 + 2.0 * 0.95 / big, 1e-15) << big;
  }
  // A gap within the bound keeps the logarithmic form: 2F1(1, 1; 2; x) = -ln(1-x)/x.
  EXPECT_NEAR(ZMXFunc315(1.0, 1.0, 2.0, 0.95), -std::log(0.05) / 0.95, 1e-13);
}

TEST(Struve, ClosedFormsParityAndDomain) {
  // H_(1/2)(x) = √(2/(πx)) (1 - cos x); H_(-1/2)(x) = √(2/(πx)) sin x.
  for (double x : {0.1, 2.9, 3.1, 8.0, 40.0, 95.0}) {
    const double r = std::sqrt(2.0 / (kPi * x));
    EXPECT_NEAR(ZMXFunc328(0.5, x), r * (1.0 - std::cos(x)), 1e-14 * r) << x;
    EXPECT_NEAR(ZMXFunc328(-0.5, x), r * std::sin(x), 1e-14 * r) << x;
    const double h32 =
        std::sqrt(x / (2.0 * kPi)) * (1.0 + 2.0 / (x * x)) - r * (std::sin(x) + std::cos(x) / x);
    EXPECT_NEAR(ZMXFunc328(1.5, x), h32, 1e-13 * (std::fabs(h32) + r)) << x;
  }
  for (double x : {0.7, 5.0, 30.0}) {
    EXPECT_EQ(ZMXFunc328(0.0, -x), -ZMXFunc328(0.0, x));  // (-1)^(v+1)
    EXPECT_EQ(ZMXFunc328(1.0, -x), ZMXFunc328(1.0, x));
  }
  EXPECT_EQ(ZMXFunc328(2.5, 0.0), 0.0);
  EXPECT_NEAR(ZMXFunc328(-1.0, 0.0), 2.0 / kPi, 1e-16);
  EXPECT_TRUE(std::isnan(ZMXFunc328(0.5, -1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc328(250.0, 1.0)));
  EXPECT_TRUE(std::isnan(ZMXFunc328(kNaN, 1.0)));
}

// Integer orders beyond +-200 at negative x are out of the domain as at
// positive x; the most negative ones once reached the series with an order
// that does not fit an int (an undefined conversion, then a loop bounded by it).
TEST(Struve, IntegerOrdersOutOfRangeAtNegativeX) {
  for (double v : {-DBL_MAX, -1e300, -1e10, -250.0, 250.0, 1e300, DBL_MAX}) {
    EXPECT_TRUE(std::isnan(ZMXFunc328(v, -1.0))) << v;
    EXPECT_TRUE(std::isnan(ZMXFunc328(v, -40.0))) << v;
    EXPECT_TRUE(std::isnan(ZMXFunc328(v, 1.0))) << v;
  }
  EXPECT_EQ(ZMXFunc328(200.0, -1.0), -ZMXFunc328(200.0, 1.0));
  EXPECT_EQ(ZMXFunc328(-199.0, -3.0), ZMXFunc328(-199.0, 3.0));
}

}  // namespace
