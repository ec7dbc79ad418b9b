// The general linear fit, the goodness-of-fit report and the polynomial
// fits.
#include <gtest/gtest.h>

#include <cmath>

#include "fit_test_support.h"

namespace {

using fit_test::kSentinel;
using fit_test::kTooBig;
using fit_test::MaxRelError;
using fit_test::Ref;
using fit_test::Vec;

TEST(GeneralLinearFit, EveryAlgorithmMatchesWeightedLstsqAndCovariance) {
  const Vec& h = Ref("glf_h");
  const Vec& y = Ref("glf_y");
  const Vec& sigma = Ref("glf_sigma");
  const int64_t n = 30, k = 5;
  for (int32_t algorithm = 0; algorithm <= 6; ++algorithm) {
    Vec b(k), cov(k * k), fitted(n);
    double residue = -1.0;
    ASSERT_EQ(ZMXFunc86(h.data(), n, k, y.data(), sigma.data(), algorithm, fitted.data(), b.data(),
                        cov.data(), &residue),
              0)
        << algorithm;
    EXPECT_LT(MaxRelError(b, Ref("glf_coef")), 1e-12) << algorithm;
    EXPECT_LT(MaxRelError(cov, Ref("glf_cov")), 1e-12) << algorithm;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      double f = 0.0;
      for (int j = 0; j < k; ++j) f += h[i * k + j] * b[j];
      EXPECT_NEAR(fitted[i], f, 1e-13);
      sum += (y[i] - f) * (y[i] - f) / (sigma[i] * sigma[i]);
    }
    EXPECT_NEAR(residue, sum / n, 1e-13);
    Vec plain(k);
    ASSERT_EQ(ZMXFunc239(h.data(), n, k, y.data(), plain.data(), algorithm), 0);
    EXPECT_LT(MaxRelError(plain, Ref("glf_coef_plain")), 1e-12) << algorithm;
  }
}

TEST(GeneralLinearFit, OptionalOutputsAndZeroDeviations) {
  const Vec& h = Ref("glf_h");
  const Vec& y = Ref("glf_y");
  const int64_t n = 30, k = 5;
  // fitted and residue come only together.
  Vec b(k), fitted(n, kSentinel);
  ASSERT_EQ(
      ZMXFunc86(h.data(), n, k, y.data(), nullptr, 0, fitted.data(), b.data(), nullptr, nullptr),
      0);
  EXPECT_EQ(fitted[0], kSentinel);
  double residue = kSentinel;
  ASSERT_EQ(ZMXFunc86(h.data(), n, k, y.data(), nullptr, 0, nullptr, b.data(), nullptr, &residue),
            0);
  EXPECT_EQ(residue, kSentinel);
  EXPECT_LT(MaxRelError(b, Ref("glf_coef_plain")), 1e-12);
  // A zero deviation counts as weight 1.
  Vec zero(n, 0.0), bz(k);
  ASSERT_EQ(
      ZMXFunc86(h.data(), n, k, y.data(), zero.data(), 3, nullptr, bz.data(), nullptr, nullptr), 0);
  EXPECT_LT(MaxRelError(bz, Ref("glf_coef_plain")), 1e-12);
}

TEST(GeneralLinearFit, ExactAndRankDeficientDesigns) {
  // n = k: the exact solution.
  const double h[] = {2, 1, 1, 3};
  const double y[] = {5, 10};
  double b[2];
  for (int32_t algorithm = 0; algorithm <= 6; ++algorithm) {
    ASSERT_EQ(ZMXFunc239(h, 2, 2, y, b, algorithm), 0);
    EXPECT_NEAR(b[0], 1.0, 1e-14);
    EXPECT_NEAR(b[1], 3.0, 1e-14);
  }
  // Two identical columns: the minimum-norm solution splits the weight.
  const double d[] = {1, 1, 2, 2, 3, 3};
  const double yd[] = {2, 4, 6};
  ASSERT_EQ(ZMXFunc239(d, 3, 2, yd, b, 6), 0);
  EXPECT_NEAR(b[0], 1.0, 1e-12);
  EXPECT_NEAR(b[1], 1.0, 1e-12);
  // Algorithm 0 drops only exactly zero singular values: the rounded tiny
  // one stays and the result is not the minimum-norm split in general, but
  // it still reproduces the data.
  ASSERT_EQ(ZMXFunc239(d, 3, 2, yd, b, 0), 0);
  EXPECT_NEAR(b[0] + b[1], 2.0, 1e-6);
  // A zero column: a zero singular value (dropped by both SVD variants) and
  // an exactly zero diagonal element of R.
  const double z[] = {1, 0, 2, 0, 3, 0};
  for (int32_t algorithm : {0, 6}) {
    ASSERT_EQ(ZMXFunc239(z, 3, 2, yd, b, algorithm), 0);
    EXPECT_NEAR(b[0], 2.0, 1e-14);
    EXPECT_EQ(b[1], 0.0);
  }
  for (int32_t algorithm : {1, 2, 3}) EXPECT_EQ(ZMXFunc239(z, 3, 2, yd, b, algorithm), -20041);
}

TEST(GeneralLinearFit, Statuses) {
  const double h[] = {1, 2, 3, 4, 5, 6};
  const double y[] = {1, 2, 3};
  const double bad[] = {1, 2, NAN, 4, 5, 6};
  const double bad_y[] = {1, INFINITY, 3};
  double b[3] = {kSentinel, kSentinel, kSentinel};
  EXPECT_EQ(ZMXFunc239(h, 3, 0, y, b, 0), -20021);
  EXPECT_EQ(ZMXFunc239(h, 2, 3, y, b, 0), -20037);
  EXPECT_EQ(ZMXFunc239(h, 3, 2, y, b, 7), -20061);
  EXPECT_EQ(ZMXFunc239(h, 3, 2, y, b, -1), -20061);
  EXPECT_EQ(ZMXFunc239(bad, 3, 2, y, b, 0), -20068);
  EXPECT_EQ(ZMXFunc239(h, 3, 2, bad_y, b, 0), -20068);
  EXPECT_EQ(ZMXFunc86(h, 3, 2, y, bad_y, 0, nullptr, b, nullptr, nullptr), -20068);
  EXPECT_EQ(ZMXFunc239(h, kTooBig, 2, y, b, 0), -20046);
  EXPECT_EQ(ZMXFunc239(nullptr, 3, 2, y, b, 0), -20008);
  EXPECT_EQ(ZMXFunc86(h, 3, 2, y, nullptr, 0, nullptr, nullptr, nullptr, nullptr), -20008);
  EXPECT_EQ(b[0], kSentinel);
}

TEST(GoodnessOfFit, SumsAndConstantData) {
  const double y[] = {1, 2, 3, 4};
  const double f[] = {1.1, 1.9, 3.2, 3.8};
  double sse = 0, r2 = 0, rmse = 0;
  ASSERT_EQ(ZMXFunc284(y, f, nullptr, 4, 0, &sse, &r2, &rmse), 0);  // dof 0 → n - 2
  EXPECT_NEAR(sse, 0.1, 1e-14);
  EXPECT_NEAR(r2, 1.0 - 0.1 / 5.0, 1e-14);
  EXPECT_NEAR(rmse, std::sqrt(0.1 / 2.0), 1e-14);
  // Signed weights enter as they are.
  const double w[] = {1, -1, 2, 1};
  ASSERT_EQ(ZMXFunc284(y, f, w, 4, 3, &sse, &r2, &rmse), 0);
  EXPECT_NEAR(sse, 0.01 - 0.01 + 0.08 + 0.04, 1e-14);
  EXPECT_NEAR(r2, 1.0 - 0.12 / (2.25 - 0.25 + 0.5 + 2.25), 1e-14);
  const double c[] = {2, 2, 2};
  const double c_off[] = {2, 2.5, 2};
  ASSERT_EQ(ZMXFunc284(c, c, nullptr, 3, 1, &sse, &r2, &rmse), 0);
  EXPECT_EQ(r2, 1.0);
  ASSERT_EQ(ZMXFunc284(c, c_off, nullptr, 3, 1, &sse, &r2, &rmse), 0);
  EXPECT_EQ(r2, INFINITY);
  // n = 2 leaves no degree of freedom by default: the IEEE quotient.
  ASSERT_EQ(ZMXFunc284(y, f, nullptr, 2, 0, &sse, &r2, &rmse), 0);
  EXPECT_EQ(rmse, INFINITY);
  sse = kSentinel;
  EXPECT_EQ(ZMXFunc284(y, f, nullptr, 1, 0, &sse, &r2, &rmse), -20006);
  EXPECT_EQ(ZMXFunc284(y, f, nullptr, 4, 4, &sse, &r2, &rmse), -20052);
  EXPECT_EQ(ZMXFunc284(y, f, nullptr, kTooBig, 1, &sse, &r2, &rmse), -20046);
  EXPECT_EQ(sse, kSentinel);
}

TEST(PolynomialFit, OrdersZeroToNineMatchPolyfit) {
  const Vec& x = Ref("x");
  const Vec& y = Ref("y");
  const Vec& w = Ref("w");
  const int64_t n = static_cast<int64_t>(x.size());
  for (int32_t order = 0; order <= 9; ++order) {
    Vec c(order + 1), fitted(n);
    double residue = 0;
    ASSERT_EQ(ZMXFunc137(x.data(), y.data(), n, order, fitted.data(), c.data(), &residue), 0);
    EXPECT_LT(MaxRelError(c, Ref("poly" + std::to_string(order))), 1e-10) << order;
    for (int32_t algorithm = 0; algorithm <= 3; ++algorithm) {
      Vec cw(order + 1);
      ASSERT_EQ(ZMXFunc361(x.data(), y.data(), w.data(), n, order, nullptr, nullptr, 0, algorithm,
                           fitted.data(), cw.data(), &residue),
                0);
      // The normal equations square the condition number.
      const double tol = algorithm >= 2 ? 1e-7 : 1e-10;
      EXPECT_LT(MaxRelError(cw, Ref("wpoly" + std::to_string(order))), tol)
          << order << " " << algorithm;
    }
  }
}

TEST(PolynomialFit, ExactPolynomialAndConstrainedTerms) {
  Vec x(12), y(12);
  for (int i = 0; i < 12; ++i) {
    x[i] = -1.5 + 0.3 * i;
    y[i] = 3.0 - 2.0 * x[i] + 0.5 * x[i] * x[i] * x[i];
  }
  Vec c(4), fitted(12);
  double residue = 1;
  ASSERT_EQ(ZMXFunc137(x.data(), y.data(), 12, 3, fitted.data(), c.data(), &residue), 0);
  EXPECT_LT(MaxRelError(c, {3.0, -2.0, 0.0, 0.5}), 1e-12);
  EXPECT_LT(residue, 1e-25);
  // Holding the constant at a wrong value leaves the others to absorb it.
  const int32_t idx[] = {0};
  const double val[] = {3.0};
  ASSERT_EQ(
      ZMXFunc298(x.data(), y.data(), 12, 3, idx, val, 1, 1, fitted.data(), c.data(), &residue), 0);
  EXPECT_LT(MaxRelError(c, {3.0, -2.0, 0.0, 0.5}), 1e-12);
  // Every term held: no solve, the given polynomial.
  const int32_t all[] = {3, 1, 0, 2};
  const double vals[] = {0.5, -2.0, 3.0, 0.0};
  ASSERT_EQ(
      ZMXFunc298(x.data(), y.data(), 12, 3, all, vals, 4, 0, fitted.data(), c.data(), &residue), 0);
  EXPECT_EQ(c, (Vec{3.0, -2.0, 0.0, 0.5}));
  EXPECT_LT(residue, 1e-25);
}

TEST(PolynomialFit, HighOrdersAreCapped) {
  Vec x(1001), y(1001);
  for (int i = 0; i < 1001; ++i) {
    x[i] = -1.0 + 0.002 * i;
    y[i] = 1.0 + x[i];
  }
  Vec c(1001, kSentinel), fitted(1001);
  double residue = 0;
  EXPECT_EQ(ZMXFunc137(x.data(), y.data(), 1001, 1000, fitted.data(), c.data(), &residue), 20031);
  EXPECT_NEAR(c[0], 1.0, 1e-8);
  EXPECT_NEAR(c[1], 1.0, 1e-8);
  for (int j = 26; j <= 1000; ++j) ASSERT_EQ(c[j], 0.0) << j;
  EXPECT_LT(residue, 1e-16);
  // The requested order counts against n.
  EXPECT_EQ(ZMXFunc137(x.data(), y.data(), 1000, 1000, fitted.data(), c.data(), &residue), -20037);
}

TEST(PolynomialFit, Statuses) {
  const double x[] = {0, 1, 2, 3};
  const double y[] = {1, 2, 3, 4};
  const double nan_w[] = {1, NAN, 1, 1};
  const double one_w[] = {0, 0, 0, 2};
  const double zero_w[] = {0, 0, 0, 0};
  double c[4] = {kSentinel, kSentinel, kSentinel, kSentinel}, f[4];
  double residue = 0;
  EXPECT_EQ(ZMXFunc137(x, y, 4, -1, f, c, &residue), -20103);
  EXPECT_EQ(ZMXFunc137(x, y, 3, 3, f, c, &residue), -20037);
  const int32_t idx[] = {1};
  const int32_t out_of_range[] = {4};
  const int32_t repeated[] = {1, 1};
  const double val[] = {0.5, 0.5};
  EXPECT_EQ(ZMXFunc298(x, y, 4, 2, idx, val, -1, 0, f, c, &residue), -20103);
  EXPECT_EQ(ZMXFunc298(x, y, 2, 3, idx, val, 1, 0, f, c, &residue), -20037);
  EXPECT_EQ(ZMXFunc298(x, y, 4, 2, idx, val, 1, 4, f, c, &residue), -20061);
  EXPECT_EQ(ZMXFunc298(x, y, 4, 2, idx, val, 1, -1, f, c, &residue), -20061);
  EXPECT_EQ(ZMXFunc298(x, y, 4, 3, out_of_range, val, 1, 0, f, c, &residue), -20061);
  EXPECT_EQ(ZMXFunc298(x, y, 4, 3, repeated, val, 2, 0, f, c, &residue), -20061);
  EXPECT_EQ(ZMXFunc298(x, y, 4, 2, nullptr, val, 1, 0, f, c, &residue), -20008);
  EXPECT_EQ(ZMXFunc361(x, y, nan_w, 4, 1, nullptr, nullptr, 0, 0, f, c, &residue), -20068);
  EXPECT_EQ(ZMXFunc361(x, y, one_w, 4, 1, nullptr, nullptr, 0, 0, f, c, &residue), -20141);
  EXPECT_EQ(c[0], kSentinel);
  ASSERT_EQ(ZMXFunc361(x, y, zero_w, 4, 1, nullptr, nullptr, 0, 0, f, c, &residue), 0);
  EXPECT_NEAR(c[0], 1.0, 1e-14);  // all-zero weights: unweighted
  EXPECT_NEAR(c[1], 1.0, 1e-14);
}

}  // namespace
