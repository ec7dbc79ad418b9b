// The cubic smoothing spline.
#include <gtest/gtest.h>

#include <cmath>

#include "fit_test_support.h"

namespace {

using fit_test::kSentinel;
using fit_test::kTooBig;
using fit_test::MaxRelError;
using fit_test::Ref;
using fit_test::Vec;

TEST(SmoothingSpline, MatchesScipyForBalanceAndWeights) {
  const Vec& x = Ref("x");
  const Vec& y = Ref("y");
  const Vec& w = Ref("w");
  const int64_t n = static_cast<int64_t>(x.size());
  struct Case {
    const char* tag;
    bool weighted;
  } cases[] = {{"ss1", false}, {"ss2", true}, {"ss3", true}};
  for (const Case& c : cases) {
    const std::string tag = c.tag;
    const double p = Ref(tag + "_p")[0];
    Vec values(n), y2(n);
    ASSERT_EQ(ZMXFunc285(x.data(), y.data(), c.weighted ? w.data() : nullptr, n, p, values.data(),
                         y2.data()),
              0);
    EXPECT_LT(MaxRelError(values, Ref(tag + "_values")), 1e-9) << tag;
    EXPECT_LT(MaxRelError(y2, Ref(tag + "_y2")), 1e-7) << tag;
  }
}

TEST(SmoothingSpline, LimitsOfTheBalance) {
  const Vec& x = Ref("x");
  const Vec& y = Ref("y");
  const int64_t n = static_cast<int64_t>(x.size());
  // p = 1: the natural interpolating spline.
  Vec values(n), y2(n), natural(n);
  ASSERT_EQ(ZMXFunc285(x.data(), y.data(), nullptr, n, 1.0, values.data(), y2.data()), 0);
  ASSERT_EQ(ZMXFunc164(x.data(), y.data(), n, 1e30, 1e30, natural.data()), 0);
  EXPECT_EQ(values, y);
  EXPECT_EQ(y2, natural);
  // p = 0: the least-squares line, no curvature.
  ASSERT_EQ(ZMXFunc285(x.data(), y.data(), nullptr, n, 0.0, values.data(), y2.data()), 0);
  const Vec& line = Ref("poly1");
  for (int64_t i = 0; i < n; ++i) {
    EXPECT_NEAR(values[i], line[0] + line[1] * x[i], 1e-10);
    EXPECT_EQ(y2[i], 0.0);
  }
  // Outside [0, 1]: 8/(8 + h³) with h = (x[n-1] - x[0])/n.
  const double h = (x[n - 1] - x[0]) / n;
  Vec by_default(n), d2(n);
  ASSERT_EQ(ZMXFunc285(x.data(), y.data(), nullptr, n, 2.0, by_default.data(), d2.data()), 0);
  ASSERT_EQ(
      ZMXFunc285(x.data(), y.data(), nullptr, n, 8.0 / (8.0 + h * h * h), values.data(), y2.data()),
      0);
  EXPECT_EQ(by_default, values);
}

TEST(SmoothingSpline, TwoPointsGiveTheLine) {
  const double x[] = {1.0, 2.0};
  const double y[] = {3.0, -1.0};
  double values[2] = {kSentinel, kSentinel}, y2[2] = {kSentinel, kSentinel};
  ASSERT_EQ(ZMXFunc285(x, y, nullptr, 2, 0.5, values, y2), 0);
  EXPECT_EQ(values[0], 3.0);
  EXPECT_EQ(values[1], -1.0);
  EXPECT_EQ(y2[0], 0.0);
  EXPECT_EQ(y2[1], 0.0);
}

TEST(SmoothingSpline, Statuses) {
  const double x[] = {0, 1, 2, 3};
  const double y[] = {1, 2, 0, 1};
  const double down[] = {0, 1, 1, 3};
  const double zero_w[] = {1, 0, 1, 1};
  const double nan_w[] = {1, NAN, 1, 1};
  double v[4] = {kSentinel}, d[4] = {kSentinel};
  EXPECT_EQ(ZMXFunc285(x, y, nullptr, 1, 0.5, v, d), -20006);
  EXPECT_EQ(ZMXFunc285(down, y, nullptr, 4, 0.5, v, d), -20049);
  EXPECT_EQ(ZMXFunc285(x, y, zero_w, 4, 0.5, v, d), -20141);
  EXPECT_EQ(ZMXFunc285(x, y, nan_w, 4, 0.5, v, d), -20068);
  EXPECT_EQ(ZMXFunc285(x, y, nullptr, kTooBig, 0.5, v, d), -20046);
  EXPECT_EQ(ZMXFunc285(x, y, nullptr, 4, 0.5, v, nullptr), -20008);
  EXPECT_EQ(v[0], kSentinel);
  EXPECT_EQ(d[0], kSentinel);
}

}  // namespace
