// Exponential, straight-line, logarithm, power and Gaussian-peak fits by
// least squares, least absolute residual and bisquare.
#include <gtest/gtest.h>

#include <cmath>

#include "fit_test_support.h"

namespace {

using fit_test::kSentinel;
using fit_test::kTooBig;
using fit_test::MaxRelError;
using fit_test::Ref;
using fit_test::Vec;

Vec Range(int n, double start, double step) {
  Vec v(n);
  for (int i = 0; i < n; ++i) v[i] = start + step * i;
  return v;
}

TEST(ExponentialFit, ExactDataEveryMethod) {
  const Vec x = Range(20, -1.0, 0.25);
  Vec y(20), f(20);
  for (int i = 0; i < 20; ++i) y[i] = 2.5 * std::exp(-0.8 * x[i]);
  double a = 0, b = 0, r = 1;
  ASSERT_EQ(ZMXFunc73(x.data(), y.data(), 20, f.data(), &a, &b, &r), 0);
  EXPECT_NEAR(a, 2.5, 1e-12);
  EXPECT_NEAR(b, -0.8, 1e-12);
  EXPECT_LT(r, 1e-24);
  for (int32_t method = 0; method <= 2; ++method) {
    ASSERT_EQ(ZMXFunc286(x.data(), y.data(), nullptr, 20, method, 0, f.data(), &a, &b, &r), 0);
    EXPECT_NEAR(a, 2.5, 1e-12) << method;
    EXPECT_NEAR(b, -0.8, 1e-12) << method;
    EXPECT_NEAR(f[7], y[7], 1e-12) << method;
  }
}

TEST(ExponentialFit, LeastSquaresMatchesScipy) {
  const Vec& x = Ref("exp_x");
  const Vec& y = Ref("exp_y");
  const Vec& w = Ref("exp_w");
  const int64_t n = static_cast<int64_t>(x.size());
  Vec f(n);
  double a = 0, b = 0, r = 0;
  ASSERT_EQ(ZMXFunc286(x.data(), y.data(), nullptr, n, 0, 1e-12, f.data(), &a, &b, &r), 0);
  EXPECT_LT(MaxRelError({a, b}, Ref("exp_ls")), 1e-8);
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += (y[i] - f[i]) * (y[i] - f[i]);
  EXPECT_NEAR(r, sum / n, 1e-15);
  ASSERT_EQ(ZMXFunc286(x.data(), y.data(), w.data(), n, 0, 1e-12, f.data(), &a, &b, &r), 0);
  EXPECT_LT(MaxRelError({a, b}, Ref("exp_wls")), 1e-8);
  // All-zero weights fit as no weights.
  Vec zero(n, 0.0);
  ASSERT_EQ(ZMXFunc286(x.data(), y.data(), zero.data(), n, 0, 1e-12, f.data(), &a, &b, &r), 0);
  EXPECT_LT(MaxRelError({a, b}, Ref("exp_ls")), 1e-8);
}

TEST(ExponentialFit, EstimateUsesThePrevailingSign) {
  const Vec x = Range(7, 0.0, 0.5);
  Vec y(7), f(7);
  for (int i = 0; i < 7; ++i) y[i] = -3.0 * std::exp(0.2 * x[i]);
  y[3] = 5.0;  // the lone positive point is left out of the estimate
  double a = 0, b = 0, r = 0;
  ASSERT_EQ(ZMXFunc73(x.data(), y.data(), 7, f.data(), &a, &b, &r), 0);
  EXPECT_NEAR(a, -3.0, 1e-12);
  EXPECT_NEAR(b, 0.2, 1e-12);
  // A tie counts as positive: the two positive points decide.
  const double xt[] = {0, 1, 2, 3};
  const double yt[] = {1, -7, std::exp(2.0), -4};
  ASSERT_EQ(ZMXFunc73(xt, yt, 4, f.data(), &a, &b, &r), 0);
  EXPECT_NEAR(a, 1.0, 1e-12);
  EXPECT_NEAR(b, 1.0, 1e-12);
}

TEST(LinearFit, ClosedFormAndWeightedPolyfit) {
  const Vec& x = Ref("x");
  const Vec& y = Ref("y");
  const Vec& w = Ref("w");
  const int64_t n = static_cast<int64_t>(x.size());
  Vec f(n);
  double slope = 0, intercept = 0, r = 0;
  ASSERT_EQ(ZMXFunc117(x.data(), y.data(), nullptr, n, f.data(), &slope, &intercept, &r), 0);
  EXPECT_LT(MaxRelError({intercept, slope}, Ref("poly1")), 1e-12);
  ASSERT_EQ(ZMXFunc117(x.data(), y.data(), w.data(), n, f.data(), &slope, &intercept, &r), 0);
  EXPECT_LT(MaxRelError({intercept, slope}, Ref("wpoly1")), 1e-12);
  double s2 = 0, i2 = 0, r2 = 0;
  ASSERT_EQ(ZMXFunc288(x.data(), y.data(), w.data(), n, 0, 0, f.data(), &s2, &i2, &r2), 0);
  EXPECT_EQ(s2, slope);
  EXPECT_EQ(i2, intercept);
  EXPECT_EQ(r2, r);
}

TEST(LinearFit, RobustMethodsShrugOffAnOutlier) {
  const Vec x = Range(15, 0.0, 1.0);
  Vec y(15), f(15);
  for (int i = 0; i < 15; ++i) y[i] = 1.0 + 2.0 * x[i] + 0.01 * std::sin(3.0 * i);
  y[11] += 40.0;
  double ls_s = 0, ls_i = 0, r = 0;
  ASSERT_EQ(ZMXFunc288(x.data(), y.data(), nullptr, 15, 0, 0, f.data(), &ls_s, &ls_i, &r), 0);
  const double ls_error = std::fabs(ls_s - 2.0) + std::fabs(ls_i - 1.0);
  for (int32_t method : {1, 2}) {
    double s = 0, i = 0;
    ASSERT_EQ(ZMXFunc288(x.data(), y.data(), nullptr, 15, method, 1e-8, f.data(), &s, &i, &r), 0);
    const double error = std::fabs(s - 2.0) + std::fabs(i - 1.0);
    EXPECT_LT(error, 0.05) << method;
    EXPECT_LT(error, 0.1 * ls_error) << method;
    if (method == 1) {  // the residue is the mean absolute residual
      double mar = 0;
      for (int k = 0; k < 15; ++k) mar += std::fabs(y[k] - f[k]);
      EXPECT_NEAR(r, mar / 15, 1e-12);
    }
  }
  // The same outlier on an exponential.
  Vec ye(15);
  for (int k = 0; k < 15; ++k) ye[k] = 4.0 * std::exp(-0.2 * x[k]);
  ye[4] *= 3.0;
  double a = 0, b = 0, als = 0, bls = 0;
  ASSERT_EQ(ZMXFunc286(x.data(), ye.data(), nullptr, 15, 0, 0, f.data(), &als, &bls, &r), 0);
  for (int32_t method : {1, 2}) {
    ASSERT_EQ(ZMXFunc286(x.data(), ye.data(), nullptr, 15, method, 0, f.data(), &a, &b, &r), 0);
    EXPECT_LT(std::fabs(b + 0.2), 0.2 * std::fabs(bls + 0.2)) << method;
    EXPECT_LT(std::fabs(a - 4.0), 0.2 * std::fabs(als - 4.0)) << method;
  }
}

TEST(PowerFit, ExactAndLeastSquares) {
  const Vec x = Range(10, 0.5, 0.5);
  Vec y(10), f(10);
  for (int i = 0; i < 10; ++i) y[i] = 1.7 * std::pow(x[i], 0.6);
  double a = 0, p = 0, r = 0;
  for (int32_t method = 0; method <= 2; ++method) {
    ASSERT_EQ(ZMXFunc290(x.data(), y.data(), nullptr, 10, method, 0, f.data(), &a, &p, &r), 0);
    EXPECT_NEAR(a, 1.7, 1e-12);
    EXPECT_NEAR(p, 0.6, 1e-12);
  }
  const Vec& xp = Ref("pow_x");
  const Vec& yp = Ref("pow_y");
  Vec fp(xp.size());
  ASSERT_EQ(ZMXFunc290(xp.data(), yp.data(), nullptr, static_cast<int64_t>(xp.size()), 0, 1e-12,
                       fp.data(), &a, &p, &r),
            0);
  EXPECT_LT(MaxRelError({a, p}, Ref("pow_ls")), 1e-8);
  Vec bad = x;
  bad[3] = 0.0;
  EXPECT_EQ(ZMXFunc290(bad.data(), y.data(), nullptr, 10, 0, 0, f.data(), &a, &p, &r), -20140);
}

TEST(LogarithmFit, BasesAndSigns) {
  const Vec x = Range(12, 0.5, 0.75);
  Vec y(12), f(12);
  struct Case {
    double base;
    double (*log)(double);
  } cases[] = {{10.0, std::log10}, {2.71828, std::log}, {0.0, std::log}, {-3.0, std::log}};
  for (const Case& c : cases) {
    for (int i = 0; i < 12; ++i) y[i] = 2.0 * c.log(3.0 * x[i]);
    for (int32_t method = 0; method <= 2; ++method) {
      double a = 0, s = 0, r = 0;
      ASSERT_EQ(
          ZMXFunc289(x.data(), y.data(), nullptr, 12, c.base, method, 0, f.data(), &a, &s, &r), 0);
      EXPECT_NEAR(a, 2.0, 1e-12) << c.base;
      EXPECT_NEAR(s, 3.0, 1e-11) << c.base;
      EXPECT_NEAR(f[5], y[5], 1e-12);
    }
  }
  // Base 2 through ln(x)/ln(2); negative abscissas give a negative scale.
  Vec xn(12);
  for (int i = 0; i < 12; ++i) {
    xn[i] = -x[i];
    y[i] = 1.5 * std::log2(0.5 * x[i]);
  }
  double a = 0, s = 0, r = 0;
  ASSERT_EQ(ZMXFunc289(xn.data(), y.data(), nullptr, 12, 2.0, 0, 0, f.data(), &a, &s, &r), 0);
  EXPECT_NEAR(a, 1.5, 1e-12);
  EXPECT_NEAR(s, -0.5, 1e-12);
  xn[4] = 1.0;
  EXPECT_EQ(ZMXFunc289(xn.data(), y.data(), nullptr, 12, 2.0, 0, 0, f.data(), &a, &s, &r), -20036);
  EXPECT_EQ(ZMXFunc289(x.data(), y.data(), nullptr, 12, 1.0, 0, 0, f.data(), &a, &s, &r), -20061);
}

TEST(GaussianPeakFit, StartsAndLeastSquares) {
  const Vec& x = Ref("gauss_x");
  const Vec& y = Ref("gauss_y");
  const int64_t n = static_cast<int64_t>(x.size());
  Vec f(n);
  double a = 0, mu = 0, sigma = 0, r = 0;
  ASSERT_EQ(
      ZMXFunc287(x.data(), y.data(), nullptr, n, 0, 1e-12, nullptr, f.data(), &a, &mu, &sigma, &r),
      0);
  EXPECT_LT(MaxRelError({a, mu, sigma}, Ref("gauss_ls")), 1e-8);
  const double guess[] = {2.0, 1.0, 1.5};
  ASSERT_EQ(
      ZMXFunc287(x.data(), y.data(), nullptr, n, 0, 1e-12, guess, f.data(), &a, &mu, &sigma, &r),
      0);
  EXPECT_LT(MaxRelError({a, mu, sigma}, Ref("gauss_ls")), 1e-8);
  const double bad_guess[] = {2.0, NAN, 1.5};
  ASSERT_EQ(ZMXFunc287(x.data(), y.data(), nullptr, n, 0, 1e-12, bad_guess, f.data(), &a, &mu,
                       &sigma, &r),
            20030);
  EXPECT_LT(MaxRelError({a, mu, sigma}, Ref("gauss_ls")), 1e-8);
}

TEST(GaussianPeakFit, NarrowPeakUsesThreePoints) {
  // Only the peak sample exceeds a tenth of the amplitude: the start is the
  // Gaussian through the peak and its neighbours, exact for exact data.
  const Vec x = Range(9, -4.0, 1.0);
  Vec y(9), f(9);
  for (int i = 0; i < 9; ++i) y[i] = -2.0 * std::exp(-0.5 * std::pow((x[i] - 0.1) / 0.4, 2));
  for (int32_t method = 0; method <= 2; ++method) {
    double a = 0, mu = 0, sigma = 0, r = 0;
    ASSERT_EQ(ZMXFunc287(x.data(), y.data(), nullptr, 9, method, 0, nullptr, f.data(), &a, &mu,
                         &sigma, &r),
              0)
        << method;
    EXPECT_NEAR(a, -2.0, 1e-8) << method;
    EXPECT_NEAR(mu, 0.1, 1e-8) << method;
    EXPECT_NEAR(sigma, 0.4, 1e-8) << method;
  }
  // No width can be estimated from a flat record.
  Vec zero(9, 0.0);
  double a = kSentinel, mu = 0, sigma = 0, r = 0;
  EXPECT_EQ(
      ZMXFunc287(x.data(), zero.data(), nullptr, 9, 0, 0, nullptr, f.data(), &a, &mu, &sigma, &r),
      -20026);
  EXPECT_EQ(a, kSentinel);
  EXPECT_EQ(
      ZMXFunc287(x.data(), y.data(), nullptr, 2, 0, 0, nullptr, f.data(), &a, &mu, &sigma, &r),
      -20007);
}

TEST(ModelFits, Statuses) {
  const double x[] = {0, 1, 2, 3};
  const double y[] = {1, 2, 4, 8};
  const double nan_w[] = {1, NAN, 1, 1};
  const double three_zero[] = {0, 0, 5, 0};
  const double nan_y[] = {1, 2, NAN, 8};
  const double zero_y[] = {0, 0, 0, 0};
  const double same_x[] = {2, 2, 2, 2};
  double f[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
  double a = kSentinel, b = kSentinel, r = kSentinel;
  EXPECT_EQ(ZMXFunc286(x, y, nan_w, 4, 0, 0, f, &a, &b, &r), -20068);
  EXPECT_EQ(ZMXFunc286(x, y, three_zero, 4, 0, 0, f, &a, &b, &r), -20141);
  EXPECT_EQ(ZMXFunc286(x, nan_y, nullptr, 4, 0, 0, f, &a, &b, &r), -20068);
  EXPECT_EQ(ZMXFunc286(x, y, nullptr, 4, 3, 0, f, &a, &b, &r), -20061);
  EXPECT_EQ(ZMXFunc286(x, y, nullptr, 4, -1, 0, f, &a, &b, &r), -20061);
  EXPECT_EQ(ZMXFunc286(x, y, nullptr, 1, 0, 0, f, &a, &b, &r), -20006);
  EXPECT_EQ(ZMXFunc286(x, zero_y, nullptr, 4, 0, 0, f, &a, &b, &r), -20036);
  EXPECT_EQ(ZMXFunc73(x, y, 1, f, &a, &b, &r), -20006);
  EXPECT_EQ(ZMXFunc73(x, y, kTooBig, f, &a, &b, &r), -20046);
  EXPECT_EQ(ZMXFunc117(x, y, three_zero, 4, f, &a, &b, &r), -20141);
  EXPECT_EQ(ZMXFunc117(x, y, nan_w, 4, f, &a, &b, &r), -20068);
  EXPECT_EQ(ZMXFunc117(same_x, y, nullptr, 4, f, &a, &b, &r), -20049);
  EXPECT_EQ(ZMXFunc288(x, y, nullptr, 4, 9, 0, f, &a, &b, &r), -20061);
  EXPECT_EQ(ZMXFunc290(x, y, nullptr, 4, 0, 0, nullptr, &a, &b, &r), -20008);
  EXPECT_EQ(ZMXFunc289(nullptr, y, nullptr, 4, 10, 0, 0, f, &a, &b, &r), -20008);
  EXPECT_EQ(f[0], kSentinel);
  EXPECT_EQ(a, kSentinel);
  EXPECT_EQ(r, kSentinel);
  // A constant y is a fit, not a NaN.
  const double flat[] = {3, 3, 3, 3};
  ASSERT_EQ(ZMXFunc288(x, flat, nullptr, 4, 2, 0, f, &a, &b, &r), 0);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 3.0);
  ASSERT_EQ(ZMXFunc286(x, flat, nullptr, 4, 1, 0, f, &a, &b, &r), 0);
  EXPECT_NEAR(a, 3.0, 1e-12);
  EXPECT_NEAR(b, 0.0, 1e-12);
}

}  // namespace
