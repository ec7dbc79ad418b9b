// Distribution functions and their inverses: against closed forms evaluated
// by mpmath and SciPy's quantiles (tests/stats/data/distributions_golden.py),
// the search rules of the inverses and the statuses in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/golden_rows.h"
#include "frame/workspace.h"
#include "qmanlys.h"
#include "stats/distributions.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kSentinel = -12345.5;

// The lines of one kind of the golden file, as numbers.
std::vector<std::vector<double>> Golden(const std::string& kind) {
  return test_common::GoldenRows("distributions_golden.txt", kind);
}

// A bisection result lo must satisfy q - 0.0001 <= lo <= q (a hair above q
// only by the rounding of the distribution function at q).
void ExpectLowerEndOfBracket(double lo, double q, const std::string& what) {
  EXPECT_LE(lo, q + 1e-9 * std::max(1.0, std::fabs(q))) << what;
  EXPECT_GE(lo, q - 1e-4) << what;
}

// mpmath at 40 digits: 1e-13 relative above 1e-3, 1e-15 absolute below;
// SciPy (itself accurate to some 1e-12 for large df) 1e-11 and 1e-14. With
// 1e5 degrees of freedom the incomplete beta (parameters near 5e4) is good to
// some 1e-12 only, the bound there.
void ExpectCdf(double got, double mp, double scipy, const std::string& what, double df = 1) {
  if (mp > 1e-3) {
    EXPECT_NEAR(got / mp, 1.0, df >= 1e5 ? 2e-12 : 1e-13) << what;
    EXPECT_NEAR(got / scipy, 1.0, 1e-11) << what;
  } else {
    EXPECT_NEAR(got, mp, 1e-15) << what;
    EXPECT_NEAR(got, scipy, 1e-14) << what;
  }
}

std::string Args(const std::vector<double>& r, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += std::to_string(r[i]) + " ";
  return s;
}

TEST(DistributionFunctions, MatchTheClosedFormsAndScipy) {
  const auto f = Golden("f"), t = Golden("t"), chi2 = Golden("chi2");
  ASSERT_GT(f.size(), 500u);
  ASSERT_GT(t.size(), 100u);
  ASSERT_GT(chi2.size(), 100u);
  for (const auto& r : f) {
    double p = kSentinel;
    ASSERT_EQ(ZMXFunc83(r[0], static_cast<int32_t>(r[1]), static_cast<int32_t>(r[2]), &p), 0);
    ExpectCdf(p, r[3], r[4], "F " + Args(r, 3));
  }
  for (const auto& r : t) {
    double p = kSentinel;
    ASSERT_EQ(ZMXFunc181(r[0], static_cast<int32_t>(r[1]), &p), 0);
    ExpectCdf(p, r[2], r[3], "t " + Args(r, 2), r[1]);
  }
  for (const auto& r : chi2) {
    double p = kSentinel;
    ASSERT_EQ(ZMXFunc190(r[0], static_cast<int32_t>(r[1]), &p), 0);
    ExpectCdf(p, r[2], r[3], "chi2 " + Args(r, 2));
  }
}

TEST(DistributionFunctions, SpecialArguments) {
  double p = kSentinel;
  for (int32_t df : {1, 2, 7, 1000, 2147483647}) {
    ASSERT_EQ(ZMXFunc181(0.0, df, &p), 0);
    EXPECT_EQ(p, 0.5) << df;
    ASSERT_EQ(ZMXFunc181(-0.0, df, &p), 0);
    EXPECT_EQ(p, 0.5) << df;
    ASSERT_EQ(ZMXFunc181(kInf, df, &p), 0);
    EXPECT_EQ(p, 1.0);
    ASSERT_EQ(ZMXFunc181(-kInf, df, &p), 0);
    EXPECT_EQ(p, 0.0);
  }
  for (double x : {0.0, -0.0, -1.0, -kInf}) {
    ASSERT_EQ(ZMXFunc83(x, 3, 4, &p), 0);
    EXPECT_EQ(p, 0.0);
    ASSERT_EQ(ZMXFunc190(x, 3, &p), 0);
    EXPECT_EQ(p, 0.0);
  }
  ASSERT_EQ(ZMXFunc83(kInf, 3, 4, &p), 0);
  EXPECT_EQ(p, 1.0);
  ASSERT_EQ(ZMXFunc83(1e300, 2147483647, 1, &p), 0);  // m x overflows
  EXPECT_EQ(p, 1.0);
  ASSERT_EQ(ZMXFunc190(kInf, 3, &p), 0);
  EXPECT_EQ(p, 1.0);
  // F(1; m, m) = 1/2 by symmetry.
  ASSERT_EQ(ZMXFunc83(1.0, 9, 9, &p), 0);
  EXPECT_NEAR(p, 0.5, 1e-15);
  // Chi-square with two degrees of freedom: 1 - exp(-x/2).
  ASSERT_EQ(ZMXFunc190(3.0, 2, &p), 0);
  EXPECT_NEAR(p, -std::expm1(-1.5), 3e-16);
  // Zero degrees of freedom: all mass at 0.
  ASSERT_EQ(ZMXFunc190(1e-300, 0, &p), 0);
  EXPECT_EQ(p, 1.0);
  ASSERT_EQ(ZMXFunc190(5.0, 0, &p), 0);
  EXPECT_EQ(p, 1.0);
  ASSERT_EQ(ZMXFunc190(0.0, 0, &p), 0);
  EXPECT_EQ(p, 0.0);
}

TEST(DistributionFunctions, UpperTailsKeepTheirDigits) {
  // The p-value engines of the tests compute 1 - P directly.
  EXPECT_NEAR(qm::stats::ChiSquareUpperTail(200.0, 2) / std::exp(-100.0), 1.0, 1e-13);
  // P(F > x) with m = 2: (k / (k + 2x))^(k/2).
  const double x = 300.0, k = 10.0;
  EXPECT_NEAR(qm::stats::FUpperTail(x, 2, k) / std::pow(k / (k + 2 * x), k / 2), 1.0, 1e-13);
  EXPECT_NEAR(qm::stats::FCdf(x, 2, k) + qm::stats::FUpperTail(x, 2, k), 1.0, 1e-15);
  EXPECT_EQ(qm::stats::FUpperTail(kInf, 2, k), 0.0);
  EXPECT_EQ(qm::stats::FUpperTail(0.0, 2, k), 1.0);
  EXPECT_TRUE(std::isnan(qm::stats::FUpperTail(kNaN, 2, k)));
}

TEST(DistributionFunctions, StatusesInOrder) {
  struct Case {
    int32_t (*call)(double, int32_t, int32_t, double*);
    double x;
    int32_t m, k;
    int32_t status;
  };
  // Degrees of freedom are judged before x.
  const Case cases[] = {
      {[](double x, int32_t m, int32_t k, double* p) { return ZMXFunc83(x, m, k, p); }, kNaN, 0, 3,
       -20052},
      {[](double x, int32_t m, int32_t k, double* p) { return ZMXFunc83(x, m, k, p); }, 1.0, 3, -1,
       -20052},
      {[](double x, int32_t m, int32_t, double* p) { return ZMXFunc181(x, m, p); }, kNaN, 0, 0,
       -20052},
      {[](double x, int32_t m, int32_t, double* p) { return ZMXFunc190(x, m, p); }, kNaN, -1, 0,
       -20052},
  };
  for (const Case& c : cases) {
    double p = kSentinel;
    EXPECT_EQ(c.call(c.x, c.m, c.k, &p), c.status);
    EXPECT_EQ(p, kSentinel);
  }
  // NaN x: a NaN result and -20104.
  double p = kSentinel;
  EXPECT_EQ(ZMXFunc83(kNaN, 2, 3, &p), -20104);
  EXPECT_TRUE(std::isnan(p));
  p = kSentinel;
  EXPECT_EQ(ZMXFunc181(kNaN, 2, &p), -20104);
  EXPECT_TRUE(std::isnan(p));
  p = kSentinel;
  EXPECT_EQ(ZMXFunc190(kNaN, 0, &p), -20104);
  EXPECT_TRUE(std::isnan(p));
  EXPECT_EQ(ZMXFunc83(1.0, 1, 1, nullptr), -20008);
  EXPECT_EQ(ZMXFunc181(1.0, 1, nullptr), -20008);
  EXPECT_EQ(ZMXFunc190(1.0, 1, nullptr), -20008);
}

TEST(NormalApproximations, ReproduceTheirFormulasWithinTheirErrorBounds) {
  const auto normal = Golden("normal"), inverse = Golden("invnormal");
  ASSERT_EQ(normal.size(), 161u);
  ASSERT_GT(inverse.size(), 15u);
  double worst = 0;
  for (const auto& r : normal) {
    double p = kSentinel;
    ASSERT_EQ(ZMXFunc134(r[0], &p), 0);
    EXPECT_NEAR(p, r[1], 2e-16 + 1e-14 * r[1]) << r[0];
    // The handbook (Abramowitz-Stegun 26.2.16) gives |error| < 1e-5; with
    // these coefficients the formula itself reaches 1.15e-5 near |x| = 0.5.
    EXPECT_LE(std::fabs(p - r[2]), 1.15e-5) << r[0];
    worst = std::max(worst, std::fabs(p - r[2]));
  }
  EXPECT_GT(worst, 1e-6);  // it is the approximation, not the exact function
  for (const auto& r : inverse) {
    double z = kSentinel;
    ASSERT_EQ(ZMXFunc106(r[0], &z), 0);
    EXPECT_NEAR(z, r[1], 1e-13 * std::max(1.0, std::fabs(r[1]))) << r[0];
    EXPECT_LE(std::fabs(z - r[2]), 4.5e-4) << r[0];  // Abramowitz-Stegun 26.2.23
  }
}

TEST(NormalApproximations, EndsAndStatuses) {
  double v = kSentinel;
  ASSERT_EQ(ZMXFunc134(kInf, &v), 0);
  EXPECT_EQ(v, 1.0);
  ASSERT_EQ(ZMXFunc134(-kInf, &v), 0);
  EXPECT_EQ(v, 0.0);
  ASSERT_EQ(ZMXFunc134(kNaN, &v), 0);  // no error case
  EXPECT_TRUE(std::isnan(v));
  ASSERT_EQ(ZMXFunc134(0.0, &v), 0);
  EXPECT_NEAR(v, 0.5, 1e-5);
  ASSERT_EQ(ZMXFunc106(0.5, &v), 0);
  EXPECT_NEAR(v, 0.0, 4.5e-4);
  ASSERT_EQ(ZMXFunc106(0.0, &v), 0);
  EXPECT_EQ(v, -kInf);
  ASSERT_EQ(ZMXFunc106(1.0, &v), 0);
  EXPECT_EQ(v, kInf);
  for (double p : {-1e-300, 1.0000000000000002, kNaN, kInf, -kInf}) {
    v = kSentinel;
    EXPECT_EQ(ZMXFunc106(p, &v), -20053) << p;
    EXPECT_EQ(v, kSentinel);
  }
  EXPECT_EQ(ZMXFunc134(0.0, nullptr), -20008);
  EXPECT_EQ(ZMXFunc106(0.5, nullptr), -20008);
}

TEST(InverseFDistribution, LiesWithinTheToleranceBelowTheQuantile) {
  const auto rows = Golden("finv");
  ASSERT_GT(rows.size(), 80u);
  for (const auto& r : rows) {
    double x = kSentinel;
    ASSERT_EQ(ZMXFunc104(r[0], static_cast<int32_t>(r[1]), static_cast<int32_t>(r[2]), &x), 0);
    ExpectLowerEndOfBracket(x, r[3], "F " + Args(r, 3));
  }
}

TEST(InverseFDistribution, EndsCapsAndStatuses) {
  double x = kSentinel;
  ASSERT_EQ(ZMXFunc104(0.0, 2, 3, &x), 0);
  EXPECT_EQ(x, 0.0);
  ASSERT_EQ(ZMXFunc104(1.0, 2, 3, &x), 0);
  EXPECT_EQ(x, kInf);
  // The 0.9999 quantile of F(1, 1) is about 4.05e7: capped just below 10000.
  ASSERT_EQ(ZMXFunc104(0.9999, 1, 1, &x), 0);
  EXPECT_LT(x, 10000.0);
  EXPECT_GE(x, 10000.0 - 1e-4);
  // A quantile below the lower end 1e-6 gives that end.
  ASSERT_EQ(ZMXFunc104(1e-12, 1, 1, &x), 0);
  EXPECT_EQ(x, 1e-6);
  struct Case {
    double p;
    int32_t m, k, status;
  };
  const Case cases[] = {{2.0, 0, 1, -20052}, {kNaN, 1, 0, -20052}, {-0.5, 1, 1, -20053},
                        {1.5, 1, 1, -20053}, {kNaN, 1, 1, -20053}, {kInf, 4, 4, -20053}};
  for (const Case& c : cases) {
    x = kSentinel;
    EXPECT_EQ(ZMXFunc104(c.p, c.m, c.k, &x), c.status) << c.p;
    EXPECT_EQ(x, kSentinel);
  }
  EXPECT_EQ(ZMXFunc104(0.5, 1, 1, nullptr), -20008);
}

TEST(InverseChiSquareDistribution, LiesWithinTheToleranceBelowTheQuantile) {
  // The lines include quantiles far above 5000 (df up to 60000), reached by
  // widening the bracket in steps of 5000.
  const auto rows = Golden("chi2inv");
  ASSERT_GT(rows.size(), 100u);
  int beyond_first_bracket = 0;
  for (const auto& r : rows) {
    double x = kSentinel;
    ASSERT_EQ(ZMXFunc108(r[0], static_cast<int32_t>(r[1]), &x), 0);
    ExpectLowerEndOfBracket(x, r[2], "chi2 " + Args(r, 2));
    beyond_first_bracket += r[2] > 10000;
  }
  EXPECT_GT(beyond_first_bracket, 20);
}

TEST(InverseChiSquareDistribution, EndsAndStatuses) {
  double x = kSentinel;
  ASSERT_EQ(ZMXFunc108(0.0, 3, &x), 0);
  EXPECT_EQ(x, 0.0);
  ASSERT_EQ(ZMXFunc108(1.0, 3, &x), 0);
  EXPECT_EQ(x, kInf);
  // The largest probability below 1 ends, as every p does (the quantile for
  // 10 degrees of freedom is near 97.6).
  ASSERT_EQ(ZMXFunc108(std::nextafter(1.0, 0.0), 10, &x), 0);
  EXPECT_GT(x, 90.0);
  EXPECT_LT(x, 105.0);
  // The probability is judged before the degrees of freedom.
  struct Case {
    double p;
    int32_t df, status;
  };
  const Case cases[] = {{-0.1, 0, -20053}, {kNaN, -4, -20053}, {1.1, 3, -20053},
                        {0.5, 0, -20052},  {0.0, 0, -20052},   {1.0, -1, -20052}};
  for (const Case& c : cases) {
    x = kSentinel;
    EXPECT_EQ(ZMXFunc108(c.p, c.df, &x), c.status) << c.p << " " << c.df;
    EXPECT_EQ(x, kSentinel);
  }
  EXPECT_EQ(ZMXFunc108(0.5, 1, nullptr), -20008);
}

TEST(QuantileSearch, EndsWhereDoublesAreCoarserThanTheTolerance) {
  // Between 2^40 and 2^40 + 1 doubles are 2^-12 apart, wider than 0.0001:
  // the bisection ends on the first midpoint that equals an end.
  const double lo = 1099511627776.0;
  const double x =
      qm::stats::Bisect(0.5, lo, lo + 1, [lo](double v) { return v < lo + 0.3 ? 0.0 : 1.0; });
  EXPECT_GE(x, lo + 0.3 - std::ldexp(1.0, -12));
  EXPECT_LE(x, lo + 0.3);
}

TEST(QuantileSearch, StopsWideningWhenTheDistributionStopsIncreasing) {
  int calls = 0;
  // A distribution function that saturates at 0.9 short of p = 0.95, after
  // being 0 for a while (as far below a large mean).
  const auto saturating = [&calls](double x) {
    ++calls;
    return x < 20000 ? 0.0 : std::min(0.9, 0.5 + x * 1e-5);
  };
  const double hi = qm::stats::GrowUpperEnd(0.95, 5000, 5000, saturating);
  EXPECT_EQ(hi, 45000.0);  // 40000 reaches 0.9, 45000 no longer increases it
  EXPECT_LT(calls, 12);
  // A reachable p stops at the first end where the function reaches it.
  EXPECT_EQ(qm::stats::GrowUpperEnd(0.7, 5000, 5000, saturating), 20000.0);
  // NaN stops it too.
  EXPECT_EQ(qm::stats::GrowUpperEnd(0.7, 5000, 5000, [](double) { return kNaN; }), 5000.0);
}

TEST(ContingencyTableTest, MatchesScipy) {
  const auto rows = Golden("table");
  ASSERT_EQ(rows.size(), 6u);
  for (const auto& r : rows) {
    const int32_t nr = static_cast<int32_t>(r[0]), nc = static_cast<int32_t>(r[1]);
    std::vector<int32_t> table(r.begin() + 2, r.begin() + 2 + nr * nc);
    const double want_chi = r[2 + nr * nc], want_p = r[3 + nr * nc];
    double chi = kSentinel, p = kSentinel;
    ASSERT_EQ(ZMXFunc31(nr, nc, table.data(), &chi, &p), 0);
    EXPECT_NEAR(chi / want_chi, 1.0, 1e-12) << nr << "x" << nc;
    if (want_p > 1e-300) {
      EXPECT_NEAR(p / want_p, 1.0, 1e-10) << nr << "x" << nc;
    } else {
      EXPECT_EQ(p, 0.0);
    }
  }
}

TEST(ContingencyTableTest, ZeroMarginsGiveNaNWithStatusZero) {
  const int32_t zero_row[] = {0, 0, 3, 4};
  const int32_t zero_col[] = {0, 5, 0, 6, 0, 7};
  const int32_t empty[] = {0, 0, 0, 0};
  for (auto [rows, cols, table] :
       {std::tuple{2, 2, zero_row}, std::tuple{3, 2, zero_col}, std::tuple{2, 2, empty}}) {
    double chi = kSentinel, p = kSentinel;
    EXPECT_EQ(ZMXFunc31(rows, cols, table, &chi, &p), 0);
    EXPECT_TRUE(std::isnan(chi));
    EXPECT_TRUE(std::isnan(p));
  }
}

TEST(ContingencyTableTest, StatusesInOrder) {
  const int32_t table[] = {3, 4, 5, 6, 7, 8};
  const int32_t negative[] = {3, 4, 5, -1};
  struct Case {
    int32_t rows, cols;
    const int32_t* t;
    int32_t status;
  };
  const Case cases[] = {{-1, 1, table, -20056},   {1, -2, table, -20056}, {1, 2, table, -20055},
                        {2, 1, table, -20055},    {0, 0, table, -20055},  {2, 2, negative, -20056},
                        {-2, 3, nullptr, -20008}, {2, 2, nullptr, -20008}};
  for (const Case& c : cases) {
    double chi = kSentinel, p = kSentinel;
    EXPECT_EQ(ZMXFunc31(c.rows, c.cols, c.t, &chi, &p), c.status) << c.rows << " " << c.cols;
    EXPECT_EQ(chi, kSentinel);
    EXPECT_EQ(p, kSentinel);
  }
  double chi = kSentinel, p = kSentinel;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc31(2, 3, table, &chi, &p), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(chi, kSentinel);
  EXPECT_EQ(ZMXFunc31(2, 3, table, &chi, nullptr), -20008);
  EXPECT_EQ(ZMXFunc31(2, 3, table, nullptr, &p), -20008);
}

TEST(InverseTDistribution, LiesWithinTheToleranceBelowTheQuantile) {
  const auto rows = Golden("tinv");
  ASSERT_GT(rows.size(), 50u);
  for (const auto& r : rows) {
    double x = kSentinel;
    ASSERT_EQ(ZMXFunc107(r[0], static_cast<int32_t>(r[1]), &x), 0);
    ExpectLowerEndOfBracket(x, r[2], "p " + std::to_string(r[0]) + " df " + std::to_string(r[1]));
  }
}

TEST(InverseTDistribution, EndsAndCaps) {
  double x = kSentinel;
  ASSERT_EQ(ZMXFunc107(0.0, 3, &x), 0);
  EXPECT_EQ(x, -kInf);
  ASSERT_EQ(ZMXFunc107(1.0, 3, &x), 0);
  EXPECT_EQ(x, kInf);
  // The median is 0: the result is within the tolerance below it.
  ASSERT_EQ(ZMXFunc107(0.5, 7, &x), 0);
  EXPECT_LE(x, 0.0);
  EXPECT_GE(x, -1e-4);
  // Quantiles beyond the search interval [-10000, 10000]: with one degree of
  // freedom P(T <= 1e6) = 1 - 3.2e-7, P(T <= -1e6) = 3.2e-7.
  ASSERT_EQ(ZMXFunc107(1 - 1e-7, 1, &x), 0);
  EXPECT_LT(x, 10000.0);
  EXPECT_GE(x, 10000.0 - 1e-4);
  ASSERT_EQ(ZMXFunc107(1e-7, 1, &x), 0);
  EXPECT_EQ(x, -10000.0);
  // Symmetry: both results lie within 0.0001 below +-q.
  double lo, hi;
  ASSERT_EQ(ZMXFunc107(0.9, 4, &hi), 0);
  ASSERT_EQ(ZMXFunc107(0.1, 4, &lo), 0);
  EXPECT_NEAR(hi + lo, 0.0, 1e-4);
}

TEST(InverseTDistribution, StatusesInOrder) {
  struct Case {
    double p;
    int32_t df;
    int32_t status;
  };
  const Case cases[] = {{0.5, 0, -20052},   {kNaN, 0, -20052},   {2.0, -3, -20052},
                        {-0.1, 1, -20053},  {1.0001, 1, -20053}, {kNaN, 5, -20053},
                        {-kInf, 5, -20053}, {kInf, 5, -20053}};
  for (const Case& c : cases) {
    double x = kSentinel;
    EXPECT_EQ(ZMXFunc107(c.p, c.df, &x), c.status) << c.p << " " << c.df;
    EXPECT_EQ(x, kSentinel);
  }
  EXPECT_EQ(ZMXFunc107(0.5, 1, nullptr), -20008);
}

}  // namespace
