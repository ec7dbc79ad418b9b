// Neville and rational interpolation, cubic-spline second derivatives and
// evaluation.
#include <gtest/gtest.h>

#include <cmath>

#include "fit_test_support.h"

namespace {

using fit_test::kSentinel;
using fit_test::kTooBig;
using fit_test::Ref;
using fit_test::Vec;

TEST(PolynomialInterpolate, ReproducesTheCubicThroughItsPoints) {
  const double x[] = {-1.0, 0.5, 2.0, 3.0, 4.5};
  double y[5];
  auto p = [](double t) { return 2.0 - t + 0.5 * t * t - 0.25 * t * t * t; };
  for (int i = 0; i < 5; ++i) y[i] = p(x[i]);
  for (double xv : {-2.0, 0.0, 1.3, 2.0, 5.0}) {
    double v = 0.0, err = 0.0;
    ASSERT_EQ(ZMXFunc138(x, y, 5, xv, &v, &err), 0);
    EXPECT_NEAR(v, p(xv), 1e-12 * std::fmax(1.0, std::fabs(p(xv)))) << xv;
    EXPECT_LT(std::fabs(err), 1e-10) << xv;  // degree 3 < 4: the last correction vanishes
  }
}

TEST(PolynomialInterpolate, SinglePointAndStatuses) {
  const double x[] = {1.0, 2.0, 2.0};
  const double y[] = {4.0, 5.0, 6.0};
  double v = 0.0, err = 1.0;
  ASSERT_EQ(ZMXFunc138(x, y, 1, 10.0, &v, &err), 0);
  EXPECT_EQ(v, 4.0);
  EXPECT_EQ(err, 0.0);
  v = err = kSentinel;
  EXPECT_EQ(ZMXFunc138(x, y, 3, 1.5, &v, &err), -20049);
  EXPECT_EQ(ZMXFunc138(x, y, 0, 1.5, &v, &err), -20003);
  EXPECT_EQ(ZMXFunc138(x, y, kTooBig, 1.5, &v, &err), -20046);
  EXPECT_EQ(ZMXFunc138(nullptr, y, 3, 1.5, &v, &err), -20008);
  EXPECT_EQ(v, kSentinel);
  EXPECT_EQ(err, kSentinel);
}

TEST(RationalInterpolate, ExactForARationalFunction) {
  // (1 + x) / (2 + x²) is a diagonal rational function of degree (1, 2): five
  // points determine it up to rounding.
  auto r = [](double t) { return (1.0 + t) / (2.0 + t * t); };
  const double x[] = {-2.0, -0.5, 0.3, 1.0, 2.5};
  double y[5];
  for (int i = 0; i < 5; ++i) y[i] = r(x[i]);
  for (double xv : {-1.0, 0.0, 0.7, 2.0, 3.0}) {
    double v = 0.0, err = 0.0;
    ASSERT_EQ(ZMXFunc146(x, y, 5, xv, &v, &err), 0);
    EXPECT_NEAR(v, r(xv), 1e-9) << xv;
  }
  double v = 0.0, err = 1.0;
  ASSERT_EQ(ZMXFunc146(x, y, 5, 0.3, &v, &err), 0);  // a tabulated x: exactly its y
  EXPECT_EQ(v, y[2]);
  EXPECT_EQ(err, 0.0);
}

TEST(RationalInterpolate, PoleAndCounts) {
  const double x[] = {-1.0, 1.0};
  const double y[] = {0.0, 0.0};
  double v = kSentinel, err = kSentinel;
  EXPECT_EQ(ZMXFunc146(x, y, 2, 0.5, &v, &err), 0);  // the 1e-10 shift keeps 0/0 away
  EXPECT_NEAR(v, 0.0, 1e-9);
  // The first column's denominator (x0 - xv)·(y0 + 1e-10)/(x1 - xv) - y1
  // vanishes exactly for these values at the midpoint.
  const double xp[] = {0.0, 1.0};
  const double yp[] = {1.0, -(1.0 + 1e-10)};
  v = err = kSentinel;
  EXPECT_EQ(ZMXFunc146(xp, yp, 2, 0.5, &v, &err), -20050);
  EXPECT_EQ(ZMXFunc146(xp, yp, 0, 0.5, &v, &err), -20003);
  EXPECT_EQ(v, kSentinel);
}

TEST(Spline, NaturalAndClampedMatchReference) {
  const Vec& x = Ref("spl_x");
  const Vec& y = Ref("spl_y");
  const Vec& xe = Ref("spl_eval");
  const int64_t n = static_cast<int64_t>(x.size());
  struct Case {
    double d0, d1;
    const char* y2;
    const char* values;
  } cases[] = {{1e30, 1e30, "spl_natural_y2", "spl_natural"},
               {0.3, -1.2, "spl_clamped_y2", "spl_clamped"}};
  for (const Case& c : cases) {
    Vec y2(x.size());
    ASSERT_EQ(ZMXFunc164(x.data(), y.data(), n, c.d0, c.d1, y2.data()), 0);
    EXPECT_LT(fit_test::MaxRelError(y2, Ref(c.y2)), 1e-12) << c.y2;
    Vec v(xe.size());
    for (std::size_t i = 0; i < xe.size(); ++i)  // includes points outside the table
      ASSERT_EQ(ZMXFunc163(x.data(), y.data(), y2.data(), n, xe[i], &v[i]), 0);
    EXPECT_LT(fit_test::MaxRelError(v, Ref(c.values)), 1e-12) << c.values;
  }
}

TEST(Spline, DescendingTableGivesTheSameCurve) {
  const Vec& x = Ref("spl_x");
  const Vec& y = Ref("spl_y");
  const int64_t n = static_cast<int64_t>(x.size());
  Vec rx(x.rbegin(), x.rend()), ry(y.rbegin(), y.rend()), y2(x.size()), ry2(x.size());
  ASSERT_EQ(ZMXFunc164(x.data(), y.data(), n, 1e30, 1e30, y2.data()), 0);
  ASSERT_EQ(ZMXFunc164(rx.data(), ry.data(), n, 1e30, 1e30, ry2.data()), 0);
  for (double xv : {0.2, 1.5, 3.9, 4.99}) {
    double a = 0.0, b = 0.0;
    ASSERT_EQ(ZMXFunc163(x.data(), y.data(), y2.data(), n, xv, &a), 0);
    ASSERT_EQ(ZMXFunc163(rx.data(), ry.data(), ry2.data(), n, xv, &b), 0);
    EXPECT_NEAR(a, b, 1e-13) << xv;
  }
}

TEST(Spline, TwoPointsAndDegenerateTables) {
  const double x[] = {1.0, 3.0};
  const double y[] = {2.0, 6.0};
  double y2[2] = {kSentinel, kSentinel};
  // Clamped with the chord's own slope: a straight line, zero curvature.
  ASSERT_EQ(ZMXFunc164(x, y, 2, 2.0, 2.0, y2), 0);
  EXPECT_NEAR(y2[0], 0.0, 1e-15);
  EXPECT_NEAR(y2[1], 0.0, 1e-15);
  double v = 0.0;
  ASSERT_EQ(ZMXFunc163(x, y, y2, 2, 2.5, &v), 0);
  EXPECT_NEAR(v, 5.0, 1e-15);

  // Two equal x: the clamped ends would divide by zero.
  const double xe[] = {1.0, 1.0};
  double out[2] = {kSentinel, kSentinel};
  EXPECT_EQ(ZMXFunc164(xe, y, 2, 0.0, 0.0, out), -20049);
  EXPECT_EQ(ZMXFunc164(xe, y, 2, 1e30, 1e30, out), -20049);
  const double x3[] = {0.0, 1.0, 1.0};
  const double y3[] = {0.0, 1.0, 2.0};
  double o3[3];
  EXPECT_EQ(ZMXFunc164(x3, y3, 3, 1e30, 1e30, o3), -20049);
  // One point is not a spline: the sweep would read x[1].
  EXPECT_EQ(ZMXFunc164(x, y, 1, 1e30, 1e30, out), -20006);
  EXPECT_EQ(ZMXFunc163(x, y, y2, 1, 1.0, &v), -20006);
  EXPECT_EQ(ZMXFunc164(x, y, 0, 1e30, 1e30, out), -20003);
  EXPECT_EQ(out[0], kSentinel);
  double zero_y2[2] = {0.0, 0.0};
  v = kSentinel;
  EXPECT_EQ(ZMXFunc163(xe, y, zero_y2, 2, 1.0, &v), -20049);
  EXPECT_EQ(ZMXFunc163(x, y, y2, 0, 1.0, &v), -20003);
  EXPECT_EQ(ZMXFunc163(x, y, y2, kTooBig, 1.0, &v), -20046);
  EXPECT_EQ(v, kSentinel);
}

}  // namespace
