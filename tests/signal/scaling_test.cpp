// Array scaling, polynomial evaluation and coordinate conversion: worked
// values, reference values from data/scaling_golden.txt (made by
// data/scaling_golden_gen.py with mpmath), optional outputs and statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kPi = 3.141592653589793;
constexpr double kSentinel = -777.25;

// ---------------------------------------------------------------------------
// Scaling, 1-D and 2-D forms of each.

using ScaleMaxAbs = std::function<int32_t(const double*, int64_t, double*, double*)>;
using ScaleUnit = std::function<int32_t(const double*, int64_t, double*, double*, double*)>;

const ScaleMaxAbs kMaxAbs[] = {
    ZMXFunc143, [](const double* x, int64_t n, double* o, double* s) {
      return ZMXFunc144(x, 1, n, o, s);
    }};
const ScaleUnit kUnit[] = {
    ZMXFunc153, [](const double* x, int64_t n, double* o, double* off, double* s) {
      return ZMXFunc154(x, n, 1, o, off, s);
    }};

TEST(ScaleByMaxAbs, WorkedValuesAndInPlace) {
  for (const ScaleMaxAbs& f : kMaxAbs) {
    const double x[2] = {-4, 2};
    double out[2], scale = 0;
    ASSERT_EQ(f(x, 2, out, &scale), 0);
    EXPECT_EQ(out[0], -1.0);
    EXPECT_EQ(out[1], 0.5);
    EXPECT_EQ(scale, 4.0);
    double zeros[2] = {0.0, -0.0};
    ASSERT_EQ(f(zeros, 2, nullptr, &scale), 0);  // copied unchanged
    EXPECT_EQ(scale, 0.0);
    EXPECT_TRUE(std::signbit(zeros[1]));
    double withNaN[3] = {kNaN, 3, -6};  // NaN is never the maximum
    ASSERT_EQ(f(withNaN, 3, nullptr, &scale), 0);
    EXPECT_EQ(scale, 6.0);
    EXPECT_TRUE(std::isnan(withNaN[0]));
    EXPECT_EQ(withNaN[1], 0.5);
    EXPECT_EQ(withNaN[2], -1.0);
  }
}

TEST(ScaleToUnitRange, WorkedValues) {
  struct Case {
    std::vector<double> x;
    std::vector<double> out;
    double offset, scale;
  };
  const Case cases[] = {
      {{2, 4, 6}, {-1, 0, 1}, 4, 2},
      {{5, 5}, {0, 0}, 5, 1},
      {{3}, {0}, 3, 1},
      {{kNaN, 1, 3}, {kNaN, -1, 1}, 2, 1},
      // A range wider than the largest double still has a finite mid-range.
      {{1e308, -1e308}, {1, -1}, 0, 1e308},
  };
  for (const ScaleUnit& f : kUnit) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::PrintToString(c.x));
      const int n = static_cast<int>(c.x.size());
      std::vector<double> out(n, kSentinel);
      double offset = kSentinel, scale = kSentinel;
      ASSERT_EQ(f(c.x.data(), n, out.data(), &offset, &scale), 0);
      EXPECT_EQ(offset, c.offset);
      EXPECT_EQ(scale, c.scale);
      for (int i = 0; i < n; ++i) {
        if (std::isnan(c.out[i])) {
          EXPECT_TRUE(std::isnan(out[i]));
        } else {
          EXPECT_NEAR(out[i], c.out[i], 1e-15) << i;
        }
      }
      std::vector<double> in = c.x;  // null output: in place, same result
      ASSERT_EQ(f(in.data(), n, nullptr, &offset, &scale), 0);
      for (int i = 0; i < n; ++i) EXPECT_TRUE(in[i] == out[i] || std::isnan(out[i]));
    }
  }
}

TEST(ScaleToUnitRange, RandomDataSpansMinusOneToOne) {
  std::vector<double> x(501);
  for (int i = 0; i < 501; ++i) x[i] = std::sin(0.37 * i) * 40 + 7;
  std::vector<double> out(501);
  double offset, scale;
  ASSERT_EQ(ZMXFunc153(x.data(), 501, out.data(), &offset, &scale), 0);
  double lo = 2, hi = -2;
  for (int i = 0; i < 501; ++i) {
    lo = std::min(lo, out[i]);
    hi = std::max(hi, out[i]);
    EXPECT_NEAR(out[i] * scale + offset, x[i], 1e-13);
  }
  EXPECT_NEAR(lo, -1.0, 4 * kEps);
  EXPECT_NEAR(hi, 1.0, 4 * kEps);
}

TEST(ScaleToUnitRange, AllNaNLeavesDataAndReportsNaN) {
  const double x[2] = {kNaN, kNaN};
  double out[2] = {kSentinel, kSentinel}, offset = 0, scale = 0;
  ASSERT_EQ(ZMXFunc153(x, 2, out, &offset, &scale), 0);
  EXPECT_TRUE(std::isnan(offset));
  EXPECT_TRUE(std::isnan(scale));
  EXPECT_TRUE(std::isnan(out[0]) && std::isnan(out[1]));  // no stale values
}

// ---------------------------------------------------------------------------
// Polynomial evaluation.

TEST(PolynomialEvaluate, WorkedValueAndForms) {
  const double c[3] = {1, 2, 3};
  double x[3] = {2, 0, -1};
  double out[3];
  ASSERT_EQ(ZMXFunc135(x, 3, c, 3, out), 0);
  EXPECT_EQ(out[0], 17.0);
  EXPECT_EQ(out[1], 1.0);
  EXPECT_EQ(out[2], 2.0);
  double m[4] = {2, 0, -1, 1};
  ASSERT_EQ(ZMXFunc136(m, 2, 2, c, 3, nullptr), 0);  // in place
  EXPECT_EQ(m[0], 17.0);
  EXPECT_EQ(m[3], 6.0);
  ASSERT_EQ(ZMXFunc135(x, 3, c, 1, out), 0);  // constant polynomial
  EXPECT_EQ(out[2], 1.0);
}

TEST(PolynomialEvaluate, MatchesHighPrecisionReference) {
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/scaling_golden.txt");
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind != "poly") continue;
    int m;
    s >> m;
    std::vector<double> c(m);
    for (double& v : c) s >> v;
    double x, want, absSum;
    s >> x >> want >> absSum;
    double got = 0;
    ASSERT_EQ(ZMXFunc135(&x, 1, c.data(), m, &got), 0);
    // Term-by-term evaluation: each of the m terms carries at most about
    // (k + 2) roundings.
    EXPECT_LE(std::fabs(got - want), 2.0 * (m + 2) * kEps * absSum) << line;
    ++checked;
  }
  EXPECT_GE(checked, 50) << "missing " << QM_TEST_DATA_DIR << "/scaling_golden.txt";
}

// ---------------------------------------------------------------------------
// Coordinate conversion.

TEST(RectToPolar, MatchesReferenceAndRoundTrips) {
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/scaling_golden.txt");
  std::string line;
  std::vector<double> re, im, mag, phase;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind != "polar") continue;
    double a, b, m, p;
    s >> a >> b >> m >> p;
    re.push_back(a), im.push_back(b), mag.push_back(m), phase.push_back(p);
  }
  const int n = static_cast<int>(re.size());
  ASSERT_GE(n, 40);
  for (int i = 0; i < n; ++i) {
    double m, p;
    ASSERT_EQ(ZMXFunc172(re[i], im[i], &m, &p), 0);
    EXPECT_LE(std::fabs(m - mag[i]), 2 * kEps * mag[i]) << re[i] << " " << im[i];
    EXPECT_LE(std::fabs(p - phase[i]), 2 * kEps * std::fabs(phase[i])) << re[i] << " " << im[i];
  }
  // Array forms: in place over (re, im), then back.
  std::vector<double> a = re, b = im;
  ASSERT_EQ(ZMXFunc173(a.data(), b.data(), n, nullptr, nullptr), 0);
  for (int i = 0; i < n; ++i) {
    double m, p;
    ZMXFunc172(re[i], im[i], &m, &p);
    EXPECT_EQ(a[i], m);
    EXPECT_EQ(b[i], p);
  }
  ASSERT_EQ(ZMXFunc232(a.data(), b.data(), n, nullptr, nullptr), 0);
  for (int i = 0; i < n; ++i) {
    const double scale = std::hypot(re[i], im[i]);
    EXPECT_LE(std::fabs(a[i] - re[i]), 4 * kEps * scale) << i;
    EXPECT_LE(std::fabs(b[i] - im[i]), 4 * kEps * scale) << i;
  }
  // Separate outputs, crossed over the other input.
  std::vector<double> r = re, j = im;
  ASSERT_EQ(ZMXFunc173(r.data(), j.data(), n, j.data(), r.data()), 0);
  for (int i = 0; i < n; ++i) {
    double m, p;
    ZMXFunc172(re[i], im[i], &m, &p);
    EXPECT_EQ(j[i], m);
    EXPECT_EQ(r[i], p);
  }
}

TEST(RectToPolar, Zeros) {
  for (double re : {0.0, -0.0}) {
    for (double im : {0.0, -0.0}) {
      double m = kSentinel, p = kSentinel;
      ASSERT_EQ(ZMXFunc172(re, im, &m, &p), 0);
      EXPECT_EQ(m, 0.0);
      EXPECT_EQ(p, 0.0);
      EXPECT_FALSE(std::signbit(p));
    }
  }
  double m, p;
  ASSERT_EQ(ZMXFunc172(-1, 0, &m, &p), 0);
  EXPECT_EQ(m, 1.0);
  EXPECT_EQ(p, kPi);
  double re, im;
  ASSERT_EQ(ZMXFunc174(2, kPi / 2, &re, &im), 0);
  EXPECT_NEAR(re, 0.0, 1e-15);
  EXPECT_EQ(im, 2.0);
}

// ---------------------------------------------------------------------------
// Statuses shared by every export here.

TEST(ScalingExports, BoundaryStatuses) {
  double x[2] = {1, 2}, y[2] = {3, 4}, a = kSentinel, b = kSentinel;
  const double c[1] = {1};
  const int64_t big = int64_t{1} << 31;
  struct Case {
    const char* name;
    std::function<int32_t(int64_t)> call;  // the count argument varies
  };
  const Case cases[] = {
      {"143", [&](int64_t n) { return ZMXFunc143(x, n, y, &a); }},
      {"144", [&](int64_t n) { return ZMXFunc144(x, n, 1, y, &a); }},
      {"153", [&](int64_t n) { return ZMXFunc153(x, n, y, &a, &b); }},
      {"154", [&](int64_t n) { return ZMXFunc154(x, 1, n, y, &a, &b); }},
      {"135", [&](int64_t n) { return ZMXFunc135(x, n, c, 1, y); }},
      {"136", [&](int64_t n) { return ZMXFunc136(x, n, 1, c, 1, y); }},
      {"173", [&](int64_t n) { return ZMXFunc173(x, x, n, y, y); }},
      {"232", [&](int64_t n) { return ZMXFunc232(x, x, n, y, y); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(k.call(0), -20003);
    EXPECT_EQ(k.call(-2), -20003);
    EXPECT_EQ(k.call(big), -20046);
    EXPECT_EQ(y[0], 3.0);
    EXPECT_EQ(a, kSentinel);
  }
  EXPECT_EQ(ZMXFunc144(x, 65536, 65536, y, &a), -20046);
  EXPECT_EQ(ZMXFunc135(x, 2, c, 0, y), -20003);
  EXPECT_EQ(ZMXFunc135(x, 2, nullptr, 1, y), -20008);
  EXPECT_EQ(ZMXFunc143(nullptr, 2, y, &a), -20008);
  EXPECT_EQ(ZMXFunc143(x, 2, y, nullptr), -20008);
  EXPECT_EQ(ZMXFunc153(x, 2, y, &a, nullptr), -20008);
  EXPECT_EQ(ZMXFunc172(1, 2, nullptr, &b), -20008);
  EXPECT_EQ(ZMXFunc174(1, 2, &a, nullptr), -20008);
  EXPECT_EQ(ZMXFunc232(x, nullptr, 2, y, y), -20008);
  EXPECT_EQ(y[0], 3.0);
}

}  // namespace
