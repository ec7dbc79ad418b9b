// Levenberg–Marquardt fits of caller-supplied models.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <limits>
#include <thread>

#include "fit_test_support.h"

namespace {

using fit_test::kSentinel;
using fit_test::kTooBig;
using fit_test::MaxRelError;
using fit_test::Ref;
using fit_test::Vec;

std::atomic<long> g_calls{0};

double Rational(double x, const double* a, int32_t) {
  ++g_calls;
  return a[0] / (1.0 + a[1] * x) + a[2] * x;
}
double Line(double x, const double* a, int32_t) { return a[0] + a[1] * x; }
// Never improves on its start: every step away from a = 0 is worse.
double Spike(double x, const double* a, int32_t) { return x + (a[0] == 0.0 ? 0.0 : 1e6); }
double NotFinite(double, const double*, int32_t) {
  return std::numeric_limits<double>::quiet_NaN();
}
double Counting(double x, const double* a, int32_t) {
  ++g_calls;
  return a[0] * x;
}

TEST(NonlinearFit, RationalModelMatchesLeastSquaresInEveryShape) {
  const Vec& x = Ref("nl_x");
  const Vec& y = Ref("nl_y");
  const int64_t n = static_cast<int64_t>(x.size());
  using Unlimited = int32_t (*)(const double*, const double*, double*, int64_t, QmFitModel, double*,
                                int64_t, double*);
  for (Unlimited f : {ZMXFunc130, ZMXFunc338}) {
    Vec a = {1.0, 1.0, 0.0}, fitted(x.size());
    double mse = -1.0;
    ASSERT_EQ(f(x.data(), y.data(), fitted.data(), n, Rational, a.data(), 3, &mse), 0);
    EXPECT_LT(MaxRelError(a, Ref("nl_ls")), 1e-8);
    double sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      EXPECT_DOUBLE_EQ(fitted[i], Rational(x[i], a.data(), 3));
      sum += (fitted[i] - y[i]) * (fitted[i] - y[i]);
    }
    EXPECT_NEAR(mse, sum / n, 1e-15);
  }
  for (auto f : {ZMXFunc131, ZMXFunc339}) {
    Vec a = {1.0, 1.0, 0.0}, fitted(x.size());
    double mse = -1.0;
    ASSERT_EQ(f(x.data(), y.data(), fitted.data(), n, 200, Rational, a.data(), 3, &mse), 0);
    EXPECT_LT(MaxRelError(a, Ref("nl_ls")), 1e-8);
  }
  const Vec& w = Ref("nl_w");
  for (auto f : {ZMXFunc374, ZMXFunc375}) {
    Vec a = {1.0, 1.0, 0.0}, fitted(x.size());
    double mse = -1.0;
    int32_t iterations = -1;
    ASSERT_EQ(f(x.data(), y.data(), w.data(), fitted.data(), n, 200, Rational, a.data(), 3, &mse,
                &iterations),
              0);
    EXPECT_LT(MaxRelError(a, Ref("nl_wls")), 1e-8);
    EXPECT_GT(iterations, 1);
    EXPECT_LT(iterations, 200);
    double sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i)
      sum += w[i] * (fitted[i] - y[i]) * (fitted[i] - y[i]);
    EXPECT_NEAR(mse, sum / n, 1e-15);
  }
}

TEST(NonlinearFit, LinearModelConvergesQuicklyFromZero) {
  const double x[] = {0, 1, 2, 3, 4, 5};
  const double y[] = {1, 3, 5, 7, 9, 11};
  double a[2] = {0.0, 0.0};  // zero still gets a step of √ε·3e-6
  int32_t iterations = 0;
  double mse = -1.0;
  ASSERT_EQ(ZMXFunc374(x, y, nullptr, nullptr, 6, 50, Line, a, 2, &mse, &iterations), 0);
  EXPECT_NEAR(a[0], 1.0, 1e-8);
  EXPECT_NEAR(a[1], 2.0, 1e-8);
  EXPECT_LE(iterations, 10);
  EXPECT_LT(mse, 1e-16);
}

TEST(NonlinearFit, IterationLimit) {
  const Vec& x = Ref("nl_x");
  const Vec& y = Ref("nl_y");
  const int64_t n = static_cast<int64_t>(x.size());
  // No step at all: the start stands and the unchanged χ² passes the final test.
  Vec a = {1.0, 1.0, 0.0}, fitted(x.size(), kSentinel);
  double mse = kSentinel;
  ASSERT_EQ(ZMXFunc131(x.data(), y.data(), fitted.data(), n, 0, Rational, a.data(), 3, &mse), 0);
  EXPECT_EQ(a, (Vec{1.0, 1.0, 0.0}));
  EXPECT_EQ(fitted[0], 1.0);
  // One rejected step is no convergence; six steps (four rejected, two
  // accepted from this start) are far from it: -20062 with the results
  // delivered.
  ASSERT_EQ(ZMXFunc131(x.data(), y.data(), fitted.data(), n, 1, Rational, a.data(), 3, &mse),
            -20062);
  int32_t iterations = 0;
  ASSERT_EQ(ZMXFunc374(x.data(), y.data(), nullptr, fitted.data(), n, 6, Rational, a.data(), 3,
                       &mse, &iterations),
            -20062);
  EXPECT_EQ(iterations, 6);
  EXPECT_NE(a, (Vec{1.0, 1.0, 0.0}));
  EXPECT_DOUBLE_EQ(fitted[5], Rational(x[5], a.data(), 3));
}

TEST(NonlinearFit, ModelsThatNeverImproveOrAreNotFiniteEnd) {
  const double x[] = {0, 1, 2, 3};
  const double y[] = {0, 1, 2, 3};
  double a[1] = {0.0};
  double mse = kSentinel;
  // Every step is rejected: the damping grows until the step fails, which
  // ends the unlimited fit as converged.
  ASSERT_EQ(ZMXFunc130(x, y, nullptr, 4, Spike, a, 1, &mse), 0);
  EXPECT_EQ(a[0], 0.0);
  EXPECT_EQ(mse, 0.0);
  // A model that is not finite at the start cannot be fitted.
  double b[1] = {1.0};
  Vec fitted(4, kSentinel);
  EXPECT_EQ(ZMXFunc130(x, y, fitted.data(), 4, NotFinite, b, 1, &mse), -20068);
  EXPECT_EQ(fitted[0], kSentinel);
}

// Eight coefficients that enter as one weighted sum: the curvature has rank
// one and, from this start, accepted steps gain nothing while the steps
// between them are rejected by the last bit of χ².
double OneDirection(double x, const double* a, int32_t m) {
  double r = 0.25 * 0.5 + x * 1e-3;
  for (int32_t k = 0; k < m; ++k) r = r * 0.5 + a[k] * 1e-3;
  return r * 0.5 + m * 1e-3;
}

TEST(NonlinearFit, FitsThatStopGainingEndWithoutAnIterationLimit) {
  Vec x(8), y(8), start(8);
  for (int i = 0; i < 8; ++i) {
    x[i] = start[i] = std::sin(0.3 * i) + 0.2 * std::cos(1.7 * i);
    y[i] = i;
  }
  // The fits run on their own thread: one that never ends fails here
  // instead of hanging the suite.
  auto finishes = [](auto fit) {
    std::packaged_task<int32_t()> task(fit);
    std::future<int32_t> done = task.get_future();
    std::thread(std::move(task)).detach();
    if (done.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      ADD_FAILURE() << "the fit does not end";
      std::fflush(nullptr);
      std::_Exit(1);
    }
    return done.get();
  };
  Vec a = start;
  double mse = kSentinel;
  EXPECT_EQ(finishes([&] { return ZMXFunc130(x.data(), y.data(), nullptr, 8, OneDirection, a.data(), 8, &mse); }), 0);
  EXPECT_LT(mse, 42.0 / 8);
  Vec b = start;
  EXPECT_EQ(finishes([&] { return ZMXFunc338(x.data(), y.data(), nullptr, 8, OneDirection, b.data(), 8, &mse); }), 0);
  EXPECT_EQ(a, b);
  // An unlimited count (negative) or the largest one ends the same way.
  for (int32_t limit : {-1, INT32_MAX}) {
    Vec c = start;
    int32_t iterations = 0;
    EXPECT_EQ(finishes([&] {
      return ZMXFunc374(x.data(), y.data(), nullptr, nullptr, 8, limit, OneDirection, c.data(), 8, &mse,
                        &iterations);
    }), 0) << limit;
    EXPECT_EQ(c, a) << limit;
    EXPECT_LT(iterations, 100) << limit;
    Vec d = start;
    EXPECT_EQ(finishes([&] { return ZMXFunc131(x.data(), y.data(), nullptr, 8, limit, OneDirection, d.data(), 8, &mse); }), 0);
  }
}

TEST(NonlinearFitWeighted, ZeroWeightsLeavePointsOutButResultsCoverAll) {
  const double x[] = {0, 1, 2, 3, 4};
  const double y[] = {0, 2, 4, 100, 8};  // the outlier carries no weight
  const double w[] = {1, 1, 1, 0, 2};
  double a[1] = {1.0};
  Vec fitted(5);
  double mse = -1.0;
  ASSERT_EQ(ZMXFunc374(x, y, w, fitted.data(), 5, 100, Counting, a, 1, &mse, nullptr), 0);
  EXPECT_NEAR(a[0], 2.0, 1e-9);
  EXPECT_NEAR(fitted[3], 6.0, 1e-8);  // all n points are delivered
  EXPECT_NEAR(mse, 0.0, 1e-14);       // the zero weight removes the outlier from the mse too
  // All weights zero: every point counts, unweighted.
  const double zero[] = {0, 0, 0, 0, 0};
  const double yl[] = {0, 2, 4, 6, 8};
  a[0] = 1.0;
  ASSERT_EQ(ZMXFunc375(x, yl, zero, fitted.data(), 5, 100, Counting, a, 1, &mse, nullptr), 0);
  EXPECT_NEAR(a[0], 2.0, 1e-9);
}

TEST(NonlinearFit, Statuses) {
  const double x[] = {0, 1, 2};
  const double y[] = {0, 1, 2};
  const double inf_w[] = {1, INFINITY, 1};
  const double nan_w[] = {1, NAN, 1};
  const double nan_x[] = {0, NAN, 2};
  double a[2] = {kSentinel, kSentinel};
  double mse = kSentinel;
  g_calls = 0;
  EXPECT_EQ(ZMXFunc374(x, y, inf_w, nullptr, 3, 10, Counting, a, 1, &mse, nullptr), -20068);
  EXPECT_EQ(ZMXFunc374(x, y, nan_w, nullptr, 3, 10, Counting, a, 1, &mse, nullptr), -20068);
  EXPECT_EQ(ZMXFunc130(nan_x, y, nullptr, 3, Counting, a, 1, &mse), -20068);
  EXPECT_EQ(g_calls.load(), 0);  // rejected before any model call
  EXPECT_EQ(ZMXFunc130(x, y, nullptr, 0, Line, a, 2, &mse), -20003);
  EXPECT_EQ(ZMXFunc130(x, y, nullptr, 3, Line, a, 0, &mse), -20021);
  EXPECT_EQ(ZMXFunc130(x, y, nullptr, 1, Line, a, 2, &mse), -20037);
  EXPECT_EQ(ZMXFunc130(x, y, nullptr, 3, nullptr, a, 2, &mse), -20008);
  EXPECT_EQ(ZMXFunc130(x, y, nullptr, 3, Line, nullptr, 2, &mse), -20008);
  EXPECT_EQ(ZMXFunc131(x, y, nullptr, kTooBig, 5, Line, a, 2, &mse), -20046);
  EXPECT_EQ(ZMXFunc374(x, y, nullptr, nullptr, 3, 5, Line, a, kTooBig, &mse, nullptr), -20046);
  EXPECT_EQ(a[0], kSentinel);
  EXPECT_EQ(mse, kSentinel);
}

}  // namespace
