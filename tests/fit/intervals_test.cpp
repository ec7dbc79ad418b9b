// Confidence and prediction bounds of fitted curves.
#include <gtest/gtest.h>

#include <cmath>

#include "fit_test_support.h"

namespace {

using fit_test::kSentinel;
using fit_test::kTooBig;
using fit_test::Ref;
using fit_test::Vec;

// Largest relative difference of the half-widths (upper - lower)/2 from the
// reference, and the largest distance of the midpoints from the curve.
struct Check {
  double width = 0, centre = 0;
};
Check Compare(const Vec& upper, const Vec& lower, const Vec& half, const Vec& curve) {
  Check c;
  for (std::size_t i = 0; i < half.size(); ++i) {
    c.width = std::fmax(c.width, std::fabs((upper[i] - lower[i]) / 2 - half[i]) / half[i]);
    c.centre = std::fmax(c.centre, std::fabs((upper[i] + lower[i]) / 2 - curve[i]));
  }
  return c;
}

TEST(FitIntervals, EveryModelMatchesNumpy) {
  // The Student quantile is found by bisection to 1e-4; the bounds scale
  // with it.
  constexpr double kTol = 1e-4;
  struct Case {
    const char* tag;
    const char* x;
    const char* y;
    const char* w;
    Vec c;
    double level;
  };
  const Case cases[] = {{"ci_exp", "exp_x", "exp_y", "exp_w", {2.4, -0.75}, 0.95},
                        {"ci_line", "x", "y", nullptr, {-0.6, 1.1}, 0.9},
                        {"ci_gauss", "gauss_x", "gauss_y", nullptr, {3.0, 1.2, 0.9}, 0.99},
                        {"ci_pow", "pow_x", "pow_y", nullptr, {1.7, 0.6}, 0.95},
                        {"ci_log", "pow_x", "pow_y", nullptr, {2.0, 3.0}, 0.8}};
  for (const Case& k : cases) {
    const Vec& x = Ref(k.x);
    const Vec& y = Ref(k.y);
    const double* w = k.w ? Ref(k.w).data() : nullptr;
    const std::string tag = k.tag;
    const int64_t n = static_cast<int64_t>(x.size());
    Vec curve(n);
    for (int64_t i = 0; i < n; ++i) {
      const double xi = x[i];
      const double* c = k.c.data();
      if (tag == "ci_exp") curve[i] = c[0] * std::exp(c[1] * xi);
      if (tag == "ci_line") curve[i] = c[0] * xi + c[1];
      if (tag == "ci_gauss") curve[i] = c[0] * std::exp(-0.5 * std::pow((xi - c[1]) / c[2], 2));
      if (tag == "ci_pow") curve[i] = c[0] * std::pow(xi, c[1]);
      if (tag == "ci_log") curve[i] = c[0] * std::log10(c[1] * xi);
    }
    for (int32_t selector : {0, 1}) {
      Vec upper(n), lower(n), half(k.c.size());
      int32_t s = -1;
      if (tag == "ci_exp")
        s = ZMXFunc291(x.data(), y.data(), w, n, k.c.data(), selector, k.level, upper.data(),
                       lower.data(), half.data());
      if (tag == "ci_line")
        s = ZMXFunc293(x.data(), y.data(), w, n, k.c.data(), selector, k.level, upper.data(),
                       lower.data(), half.data());
      if (tag == "ci_gauss")
        s = ZMXFunc292(x.data(), y.data(), w, n, k.c.data(), selector, k.level, upper.data(),
                       lower.data(), half.data());
      if (tag == "ci_pow")
        s = ZMXFunc295(x.data(), y.data(), w, n, k.c.data(), selector, k.level, upper.data(),
                       lower.data(), half.data());
      if (tag == "ci_log")
        s = ZMXFunc294(x.data(), y.data(), w, n, 10.0, k.c.data(), selector, k.level, upper.data(),
                       lower.data(), half.data());
      ASSERT_EQ(s, 0) << tag;
      const Check c = Compare(upper, lower, Ref(tag + (selector ? "_obs" : "_fit")), curve);
      EXPECT_LT(c.width, kTol) << tag << " " << selector;
      EXPECT_LT(c.centre, 1e-12) << tag << " " << selector;
      const Vec& coef = Ref(tag + "_coef");
      for (std::size_t j = 0; j < coef.size(); ++j)
        EXPECT_NEAR(half[j], coef[j], kTol * coef[j]) << tag << " " << j;
    }
  }
}

TEST(FitIntervals, Statuses) {
  const double x[] = {1, 2, 3, 4};
  const double y[] = {1, 2, 3, 4.5};
  const double c[] = {1, 0, 1};
  const double bad_c[] = {1, NAN, 1};
  double up[4] = {kSentinel}, lo[4] = {kSentinel};
  EXPECT_EQ(ZMXFunc293(x, y, nullptr, 2, c, 0, 0.9, up, lo, nullptr), -20007);
  EXPECT_EQ(ZMXFunc292(x, y, nullptr, 3, c, 0, 0.9, up, lo, nullptr), -20069);
  EXPECT_EQ(ZMXFunc293(x, y, nullptr, 4, bad_c + 1, 0, 0.9, up, lo, nullptr), -20068);
  EXPECT_EQ(ZMXFunc293(x, y, nullptr, 4, c, 0, 1.0, up, lo, nullptr), -20053);
  EXPECT_EQ(ZMXFunc293(x, y, nullptr, 4, c, 0, 0.0, up, lo, nullptr), -20053);
  EXPECT_EQ(ZMXFunc293(x, y, nullptr, 4, c, 0, NAN, up, lo, nullptr), -20053);
  EXPECT_EQ(ZMXFunc293(x, y, nullptr, 4, c, 2, 0.9, up, lo, nullptr), -20061);
  EXPECT_EQ(ZMXFunc291(x, y, nullptr, kTooBig, c, 0, 0.9, up, lo, nullptr), -20046);
  EXPECT_EQ(ZMXFunc291(x, y, nullptr, 4, nullptr, 0, 0.9, up, lo, nullptr), -20008);
  const double neg_x[] = {-1, 2, 3, 4};
  EXPECT_EQ(ZMXFunc295(neg_x, y, nullptr, 4, c, 0, 0.9, up, lo, nullptr), -20140);
  EXPECT_EQ(ZMXFunc294(neg_x, y, nullptr, 4, 10, c, 0, 0.9, up, lo, nullptr), -20036);
  EXPECT_EQ(up[0], kSentinel);
  EXPECT_EQ(lo[0], kSentinel);
  // A straight line through the points: zero width, both selectors.
  const double line[] = {3, 5, 7, 9};
  const double sl[] = {2, 1};
  ASSERT_EQ(ZMXFunc293(x, line, nullptr, 4, sl, 1, 0.95, up, lo, nullptr), 0);
  EXPECT_EQ(up[2], 7.0);
  EXPECT_EQ(lo[2], 7.0);
}

}  // namespace
