// Array scaling, polynomial evaluation and coordinate conversion: worked
// values, reference values from data/scaling_golden.txt (made by
// data/scaling_golden_gen.py with mpmath), optional outputs and statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"
#include "common/golden_rows.h"

namespace {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kSentinel = -777.25;

bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// Lines of the reference file that start with `kind`, as number lists.
std::vector<Vec> Golden(const std::string& kind) {
  return test_common::GoldenRows("scaling_golden.txt", kind);
}

TEST(Scaling, MaxAbsAndUnitRangeWorkedValues) {
  struct Case {
    Vec x, out;
    double offset, scale;  // offset unused by the max-abs scaling
    bool unitRange;
  };
  const Case cases[] = {
      {{-4, 2}, {-1, 0.5}, 0, 4, false},
      {{0, -0.0}, {0, -0.0}, 0, 0, false},            // copied unchanged
      {{kNaN, 3, -6}, {kNaN, 0.5, -1}, 0, 6, false},  // NaN is never the maximum
      {{2, 4, 6}, {-1, 0, 1}, 4, 2, true},
      {{5, 5}, {0, 0}, 5, 1, true},
      {{kNaN, 1, 3}, {kNaN, -1, 1}, 2, 1, true},
      {{kNaN, kNaN}, {kNaN, kNaN}, kNaN, kNaN, true},  // outputs NaN, no stale values
      {{1e308, -1e308}, {1, -1}, 0, 1e308, true},      // range beyond DBL_MAX: finite mid-range
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.x));
    const int n = static_cast<int>(c.x.size());
    for (int form = 0; form < 4; ++form) {  // 1-D, 2-D, each separate and in place
      Vec out(n, kSentinel), in = c.x;
      double* dest = form < 2 ? out.data() : nullptr;
      const Vec& result = form < 2 ? out : in;
      double offset = kSentinel, scale = kSentinel;
      const int32_t status = c.unitRange
                                 ? (form % 2 ? ZMXFunc154(in.data(), 1, n, dest, &offset, &scale)
                                             : ZMXFunc153(in.data(), n, dest, &offset, &scale))
                                 : (form % 2 ? ZMXFunc144(in.data(), n, 1, dest, &scale)
                                             : ZMXFunc143(in.data(), n, dest, &scale));
      ASSERT_EQ(status, 0) << form;
      EXPECT_TRUE(Same(scale, c.scale)) << form << ": " << scale;
      if (c.unitRange) {
        EXPECT_TRUE(Same(offset, c.offset)) << form << ": " << offset;
      }
      for (int i = 0; i < n; ++i) {
        EXPECT_TRUE(Same(result[i], c.out[i]) || std::fabs(result[i] - c.out[i]) < 1e-15)
            << form << " [" << i << "] " << result[i];
        if (!std::isnan(c.out[i])) {
          EXPECT_EQ(std::signbit(result[i]), std::signbit(c.out[i]));
        }
      }
    }
  }
}

TEST(Scaling, UnitRangeInvertsOnSmoothData) {
  Vec x(501), out(501);
  for (int i = 0; i < 501; ++i) x[i] = std::sin(0.37 * i) * 40 + 7;
  double offset, scale;
  ASSERT_EQ(ZMXFunc153(x.data(), 501, out.data(), &offset, &scale), 0);
  for (int i = 0; i < 501; ++i) EXPECT_NEAR(out[i] * scale + offset, x[i], 1e-13);
  EXPECT_NEAR(*std::min_element(out.begin(), out.end()), -1.0, 4 * kEps);
  EXPECT_NEAR(*std::max_element(out.begin(), out.end()), 1.0, 4 * kEps);
}

TEST(PolynomialEvaluate, WorkedValuesAndReference) {
  const double c[3] = {1, 2, 3};
  double x[3] = {2, 0, -1}, out[3];
  ASSERT_EQ(ZMXFunc135(x, 3, c, 3, out), 0);
  EXPECT_EQ(Vec(out, out + 3), (Vec{17, 1, 2}));
  double m[4] = {2, 0, -1, 1};
  ASSERT_EQ(ZMXFunc136(m, 2, 2, c, 3, nullptr), 0);  // in place
  EXPECT_EQ(Vec(m, m + 4), (Vec{17, 1, 2, 6}));
  const std::vector<Vec> rows = Golden("poly");  // m, c[0..m-1], x, value, sum |terms|
  ASSERT_GE(rows.size(), 50u) << "missing " << QM_TEST_DATA_DIR << "/scaling_golden.txt";
  for (const Vec& r : rows) {
    const int k = static_cast<int>(r[0]);
    double got = 0;
    ASSERT_EQ(ZMXFunc135(&r[k + 1], 1, &r[1], k, &got), 0);
    // Term by term: each term carries at most about k + 2 roundings.
    EXPECT_LE(std::fabs(got - r[k + 2]), 2.0 * (k + 2) * kEps * r[k + 3])
        << testing::PrintToString(r);
  }
}

TEST(RectPolar, ReferenceArraysAndZeros) {
  const std::vector<Vec> rows = Golden("polar");  // re, im, magnitude, phase
  const int n = static_cast<int>(rows.size());
  ASSERT_GE(n, 40);
  Vec re(n), im(n), a(n), b(n);
  for (int i = 0; i < n; ++i) {
    re[i] = rows[i][0], im[i] = rows[i][1];
    ASSERT_EQ(ZMXFunc172(re[i], im[i], &a[i], &b[i]), 0);
    EXPECT_LE(std::fabs(a[i] - rows[i][2]), 2 * kEps * rows[i][2]) << i;
    EXPECT_LE(std::fabs(b[i] - rows[i][3]), 2 * kEps * std::fabs(rows[i][3])) << i;
  }
  Vec r = re, j = im;  // array form over its inputs, crossed: magnitude over im
  ASSERT_EQ(ZMXFunc173(r.data(), j.data(), n, j.data(), r.data()), 0);
  EXPECT_EQ(j, a);
  EXPECT_EQ(r, b);
  ASSERT_EQ(ZMXFunc232(a.data(), b.data(), n, nullptr, nullptr), 0);  // and back, in place
  for (int i = 0; i < n; ++i) {
    const double tol = 4 * kEps * std::hypot(re[i], im[i]);
    EXPECT_LE(std::fabs(a[i] - re[i]), tol) << i;
    EXPECT_LE(std::fabs(b[i] - im[i]), tol) << i;
  }
  double pr, pi;
  ASSERT_EQ(ZMXFunc174(2, std::atan(1.0) * 2, &pr, &pi), 0);
  EXPECT_NEAR(pr, 0.0, 1e-15);
  EXPECT_EQ(pi, 2.0);
  for (double zr : {0.0, -0.0}) {  // atan2 would give +-pi for some signed zeros
    for (double zi : {0.0, -0.0}) {
      double m = kSentinel, p = kSentinel;
      ASSERT_EQ(ZMXFunc172(zr, zi, &m, &p), 0);
      EXPECT_EQ(m, 0.0);
      EXPECT_EQ(p, 0.0);
      EXPECT_FALSE(std::signbit(p));
    }
  }
}

TEST(ScalingExports, BoundaryStatuses) {
  double x[2] = {1, 2}, y[2] = {3, 4}, a = kSentinel, b = kSentinel;
  const double c[1] = {1};
  const std::function<int32_t(int64_t)> calls[] = {
      [&](int64_t n) { return ZMXFunc143(x, n, y, &a); },
      [&](int64_t n) { return ZMXFunc144(x, n, 1, y, &a); },
      [&](int64_t n) { return ZMXFunc153(x, n, y, &a, &b); },
      [&](int64_t n) { return ZMXFunc154(x, 1, n, y, &a, &b); },
      [&](int64_t n) { return ZMXFunc135(x, n, c, 1, y); },
      [&](int64_t n) { return ZMXFunc136(x, n, 1, c, 1, y); },
      [&](int64_t n) { return ZMXFunc173(x, x, n, y, y); },
      [&](int64_t n) { return ZMXFunc232(x, x, n, y, y); },
  };
  for (const auto& call : calls) {
    EXPECT_EQ(call(0), -20003);
    EXPECT_EQ(call(-2), -20003);
    EXPECT_EQ(call(int64_t{1} << 31), -20046);
  }
  EXPECT_EQ(ZMXFunc144(x, 65536, 65536, y, &a), -20046);
  EXPECT_EQ(ZMXFunc135(x, 2, c, 0, y), -20003);
  EXPECT_EQ(ZMXFunc135(x, 2, nullptr, 1, y), -20008);
  EXPECT_EQ(ZMXFunc143(x, 2, y, nullptr), -20008);
  EXPECT_EQ(ZMXFunc153(x, 2, y, &a, nullptr), -20008);
  EXPECT_EQ(ZMXFunc172(1, 2, nullptr, &b), -20008);
  EXPECT_EQ(ZMXFunc174(1, 2, &a, nullptr), -20008);
  EXPECT_EQ(ZMXFunc232(x, nullptr, 2, y, y), -20008);
  EXPECT_EQ(y[0], 3.0);  // nothing written by any refusal
  EXPECT_EQ(a, kSentinel);
}

}  // namespace
