// Analysis of variance: tables against exact projections and SciPy
// (tests/stats/data/anova_golden.py), the model rules, data with a large
// offset, constant data, and the statuses in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"
#include "stats/distributions.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kSentinel = -12345.5;
const int64_t kTooBig = int64_t{1} << 31;
using Vec = std::vector<double>;
using Levels = std::vector<int64_t>;

// One line of the golden file, read field by field.
class Line {
 public:
  explicit Line(const std::string& text) : in_(text) {}
  int64_t Int() {
    int64_t v;
    in_ >> v;
    return v;
  }
  Levels Ints(int64_t n) {
    Levels v(static_cast<size_t>(n));
    for (auto& x : v) in_ >> x;
    return v;
  }
  Vec Doubles(int64_t n) {
    Vec v(static_cast<size_t>(n));
    for (auto& x : v) in_ >> x;
    return v;
  }

 private:
  std::istringstream in_;
};

std::vector<std::string> Golden(const std::string& kind) {
  std::vector<std::string> rows;
  std::ifstream in(QM_TEST_DATA_DIR "/anova_golden.txt");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(kind + " ", 0) == 0) rows.push_back(line.substr(kind.size() + 1));
  return rows;
}

// Sums of squares and mean squares to 1e-11 of the total sum of squares;
// F ratios and p-values to 1e-9 relative (-1 for "no test" exactly).
void ExpectEntry(double got, double want, double scale, const std::string& what) {
  EXPECT_NEAR(got, want, 1e-11 * (std::fabs(want) + scale)) << what;
}
void ExpectRatio(double got, double want, const std::string& what) {
  if (want == -1) {
    EXPECT_EQ(got, -1.0) << what;
  } else {
    EXPECT_NEAR(got, want, 1e-9 * std::fabs(want) + 1e-12) << what;
  }
}
// A table of rows (SS, df, MS, F) then the error (SS, df, MS).
void ExpectTable(const double* got, const Vec& want, int rows, const std::string& what) {
  double scale = want[4 * rows];
  for (int e = 0; e < rows; ++e) scale += std::fabs(want[4 * e]);
  for (int e = 0; e < rows; ++e) {
    const std::string row = what + " row " + std::to_string(e);
    ExpectEntry(got[4 * e], want[4 * e], scale, row + " SS");
    EXPECT_EQ(got[4 * e + 1], want[4 * e + 1]) << row << " df";
    ExpectEntry(got[4 * e + 2], want[4 * e + 2], scale, row + " MS");
    ExpectRatio(got[4 * e + 3], want[4 * e + 3], row + " F");
  }
  ExpectEntry(got[4 * rows], want[4 * rows], scale, what + " error SS");
  EXPECT_EQ(got[4 * rows + 1], want[4 * rows + 1]) << what << " error df";
  ExpectEntry(got[4 * rows + 2], want[4 * rows + 2], scale, what + " error MS");
}

TEST(OneWayAnova, MatchesExactSumsAndScipy) {
  const auto rows = Golden("oneway");
  ASSERT_EQ(rows.size(), 4u);
  for (const auto& text : rows) {
    Line line(text);
    const int64_t n = line.Int(), k = line.Int();
    const Levels levels = line.Ints(n);
    const Vec y = line.Doubles(n), want = line.Doubles(7);
    Vec got(7, kSentinel);
    ASSERT_EQ(ZMXFunc6(y.data(), levels.data(), n, k, &got[0], &got[1], &got[2], &got[3], &got[4],
                       &got[5], &got[6]),
              0);
    const std::string what = "n " + std::to_string(n) + " k " + std::to_string(k);
    const double scale = want[6];
    for (int i : {0, 1, 4, 5, 6}) ExpectEntry(got[i], want[i], scale, what);
    ExpectRatio(got[2], want[2], what + " F");
    ExpectRatio(got[3], want[3], what + " p");
  }
}

TEST(TwoWayAnova, MatchesProjectionsForEveryModelAndR) {
  const auto rows = Golden("twoway");
  ASSERT_EQ(rows.size(), 15u);
  for (const auto& text : rows) {
    Line line(text);
    const int64_t n = line.Int(), r = line.Int(), a = line.Int(), b = line.Int();
    const Levels la = line.Ints(n), lb = line.Ints(n);
    const Vec y = line.Doubles(n), want = line.Doubles(15), want_p = line.Doubles(3);
    Vec table(15, kSentinel), p(3, kSentinel);
    ASSERT_EQ(
        ZMXFunc7(y.data(), la.data(), lb.data(), n, r, a, b, table.data(), &p[0], &p[1], &p[2]), 0);
    const std::string what =
        "r " + std::to_string(r) + " a " + std::to_string(a) + " b " + std::to_string(b);
    ExpectTable(table.data(), want, 3, what);
    for (int i = 0; i < 3; ++i) ExpectRatio(p[i], want_p[i], what + " p" + std::to_string(i));
    if (r == 1) {
      for (int i = 8; i < 12; ++i) EXPECT_EQ(table[i], 0.0) << what;
      EXPECT_EQ(p[2], 0.0);
      EXPECT_EQ(table[13], static_cast<double>((a - 1) * (b - 1)));
    }
  }
}

TEST(TwoWayAnova, RandomFactorPValuesTakeTheInteractionDf) {
  // With B random, F A = MSA/MSAB: its p-value has (a-1)(b-1) denominator df,
  // not the N - ab of the error.
  for (const auto& text : Golden("twoway")) {
    Line line(text);
    const int64_t n = line.Int(), r = line.Int(), a = line.Int(), b = line.Int();
    if (b > 0 || r < 2) continue;
    const Levels la = line.Ints(n), lb = line.Ints(n);
    const Vec y = line.Doubles(n);
    Vec table(15), p(3);
    ASSERT_EQ(
        ZMXFunc7(y.data(), la.data(), lb.data(), n, r, a, b, table.data(), &p[0], &p[1], &p[2]), 0);
    const double df_ab = table[9], df_error = table[13];
    EXPECT_NEAR(table[3], table[2] / table[10], 1e-12 * table[3]);
    EXPECT_DOUBLE_EQ(p[0], qm::stats::FUpperTail(table[3], table[1], df_ab));
    EXPECT_NE(p[0], qm::stats::FUpperTail(table[3], table[1], df_error));
  }
}

TEST(ThreeWayAnova, MatchesProjectionsForEveryModel) {
  const auto rows = Golden("threeway");
  ASSERT_EQ(rows.size(), 25u);
  int untestable = 0;
  for (const auto& text : rows) {
    Line line(text);
    const int64_t n = line.Int(), r = line.Int(), a = line.Int(), b = line.Int(), c = line.Int();
    const Levels la = line.Ints(n), lb = line.Ints(n), lc = line.Ints(n);
    const Vec y = line.Doubles(n), want = line.Doubles(32), want_p = line.Doubles(7);
    Vec table(32, kSentinel), p(7, kSentinel);
    ASSERT_EQ(ZMXFunc8(y.data(), la.data(), lb.data(), lc.data(), n, r, a, b, c, table.data(),
                       &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6]),
              0);
    const std::string what = "r " + std::to_string(r) + " a " + std::to_string(a) + " b " +
                             std::to_string(b) + " c " + std::to_string(c);
    ExpectTable(table.data(), want, 7, what);
    EXPECT_EQ(table[31], 0.0);
    for (int i = 0; i < 7; ++i) ExpectRatio(p[i], want_p[i], what + " p" + std::to_string(i));
    untestable += static_cast<int>(std::count(p.begin(), p.end(), -1.0));
    if (a < 0 && b < 0 && c < 0) {
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(table[4 * i + 3], -1.0);
        EXPECT_EQ(p[i], -1.0);
      }
    }
  }
  // Models 3, 5, 6 one effect each, model 7 three, for r = 2, 3, 4; and the
  // offset case of model 5.
  EXPECT_EQ(untestable, 3 * (3 + 3) + 1);
}

// A balanced 3 x 2 layout with r = 2, observations in cell order.
struct Layout {
  Levels a{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
  Levels b{0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1};
  Vec y{3.1, 2.7, 4.4, 4.9, 1.2, 1.9, 3.3, 2.8, 5.5, 6.1, 4.0, 4.6};
};

TEST(Anova, ALargeOffsetCostsNoDigits) {
  const Layout l;
  Vec shifted = l.y;
  for (double& v : shifted) v += 1e8;
  Vec t0(15), t1(15), p0(3), p1(3);
  ASSERT_EQ(
      ZMXFunc7(l.y.data(), l.a.data(), l.b.data(), 12, 2, 3, 2, t0.data(), &p0[0], &p0[1], &p0[2]),
      0);
  ASSERT_EQ(ZMXFunc7(shifted.data(), l.a.data(), l.b.data(), 12, 2, 3, 2, t1.data(), &p1[0], &p1[1],
                     &p1[2]),
            0);
  // The offset observations are the originals rounded to 1.5e-8.
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(t1[i], t0[i], 1e-6 * (1 + std::fabs(t0[i]))) << i;
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(p1[i], p0[i], 1e-6) << i;
  // One way on the same data.
  Vec o0(7), o1(7);
  ASSERT_EQ(ZMXFunc6(l.y.data(), l.a.data(), 12, 3, &o0[0], &o0[1], &o0[2], &o0[3], &o0[4], &o0[5],
                     &o0[6]),
            0);
  ASSERT_EQ(ZMXFunc6(shifted.data(), l.a.data(), 12, 3, &o1[0], &o1[1], &o1[2], &o1[3], &o1[4],
                     &o1[5], &o1[6]),
            0);
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(o1[i], o0[i], 1e-6 * (1 + std::fabs(o0[i]))) << i;
}

TEST(Anova, ConstantDataGiveIeeeQuotientsWithStatusZero) {
  const Levels levels{0, 0, 1, 1, 2, 2};
  Vec o(7, kSentinel);
  const Vec constant(6, 4.25);
  ASSERT_EQ(ZMXFunc6(constant.data(), levels.data(), 6, 3, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5],
                     &o[6]),
            0);
  EXPECT_EQ(o[0], 0.0);
  EXPECT_EQ(o[6], 0.0);
  EXPECT_TRUE(std::isnan(o[2]));  // 0/0
  EXPECT_TRUE(std::isnan(o[3]));
  // Constant within the groups, different between them: F infinite, p 0.
  const Vec steps{1, 1, 2, 2, 5, 5};
  ASSERT_EQ(
      ZMXFunc6(steps.data(), levels.data(), 6, 3, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6]),
      0);
  EXPECT_EQ(o[4], 0.0);
  EXPECT_EQ(o[2], std::numeric_limits<double>::infinity());
  EXPECT_EQ(o[3], 0.0);
  // Two-way constant data: NaN ratios and p-values, status 0.
  const Layout l;
  const Vec flat(12, -7.5);
  Vec t(15), p(3, kSentinel);
  ASSERT_EQ(
      ZMXFunc7(flat.data(), l.a.data(), l.b.data(), 12, 2, 3, -2, t.data(), &p[0], &p[1], &p[2]),
      0);
  for (double v : p) EXPECT_TRUE(std::isnan(v));
}

TEST(Anova, NaNObservationsGiveNaNTables) {
  Layout l;
  l.y[5] = kNaN;
  Vec t(15), p(3, kSentinel);
  ASSERT_EQ(
      ZMXFunc7(l.y.data(), l.a.data(), l.b.data(), 12, 2, 3, 2, t.data(), &p[0], &p[1], &p[2]), 0);
  EXPECT_TRUE(std::isnan(t[0]));
  EXPECT_TRUE(std::isnan(t[12]));
  for (double v : p) EXPECT_TRUE(std::isnan(v));
  l.y[0] = kNaN;  // the first observation is the reference of the sums
  Vec o(7, kSentinel);
  ASSERT_EQ(
      ZMXFunc6(l.y.data(), l.a.data(), 12, 3, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6]), 0);
  for (double v : o) EXPECT_TRUE(std::isnan(v));
}

TEST(OneWayAnova, StatusesInOrder) {
  const Vec y{1, 2, 3, 4, 5, 6};
  const Levels good{0, 1, 2, 0, 1, 2};
  struct Case {
    Levels levels;
    int64_t n, k;
    int32_t status;
  };
  const Case cases[] = {
      {good, 0, 2, -20003},
      {good, -1, 2, -20003},
      {good, 6, 1, -20042},
      {good, 6, 6, -20042},
      {good, 3, 3, -20042},
      {{0, 1, 2, 3, 4, 0}, 6, 5, 0},
      {{0, 1, 3, 0, 1, 2}, 6, 3, -20043},  // level k
      {{0, 0, 2, -1, 1, 2}, 6, 3, -20043},
      {{0, 0, 2, 0, 0, 5}, 6, 3, -20043},  // out of range before the empty level 1
      {{0, 0, 2, 0, 0, 2}, 6, 3, -20044},
      {{0, 1, 2, 0, kTooBig, 2}, 6, 3, -20046},
      {{0, 1, 2, 0, -kTooBig - 1, 2}, 6, 3, -20046},
      {good, kTooBig, 3, -20046},
      {good, 6, kTooBig, -20046},
  };
  for (const Case& c : cases) {
    Vec o(7, kSentinel);
    EXPECT_EQ(ZMXFunc6(y.data(), c.levels.data(), c.n, c.k, &o[0], &o[1], &o[2], &o[3], &o[4],
                       &o[5], &o[6]),
              c.status)
        << c.n << " " << c.k;
    if (c.status != 0) {
      for (double v : o) EXPECT_EQ(v, kSentinel);
    }
  }
  double o[7];
  EXPECT_EQ(ZMXFunc6(nullptr, good.data(), 6, 3, o, o + 1, o + 2, o + 3, o + 4, o + 5, o + 6),
            -20008);
  EXPECT_EQ(ZMXFunc6(y.data(), nullptr, 6, 3, o, o + 1, o + 2, o + 3, o + 4, o + 5, o + 6), -20008);
  EXPECT_EQ(ZMXFunc6(y.data(), good.data(), 6, 3, o, o + 1, o + 2, nullptr, o + 4, o + 5, o + 6),
            -20008);
  // The pointer checks come before the copy of the levels.
  const Levels wide{0, 1, 2, 0, kTooBig, 2};
  EXPECT_EQ(ZMXFunc6(y.data(), wide.data(), 6, 3, o, o + 1, o + 2, o + 3, o + 4, o + 5, nullptr),
            -20008);
  for (int countdown : {1, 2, 3}) {  // the level copy, then the two work arrays
    qm::SetWorkspaceFailureCountdown(countdown);
    EXPECT_EQ(ZMXFunc6(y.data(), good.data(), 6, 3, o, o + 1, o + 2, o + 3, o + 4, o + 5, o + 6),
              -20001)
        << countdown;
    qm::SetWorkspaceFailureCountdown(0);
  }
}

TEST(TwoWayAnova, StatusesInOrder) {
  const Layout l;
  Levels skewed_a = l.a;
  skewed_a[1] = 1;  // cell (0, 0) holds 1, cell (1, 0) 3
  Levels bad_b = l.b;
  bad_b[7] = 2;
  struct Case {
    const Levels* la;
    const Levels* lb;
    int64_t n, r, a, b;
    int32_t status;
  };
  const Case cases[] = {
      {&l.a, &l.b, 12, 2, 3, 3, -20045},
      {&l.a, &l.b, 12, 3, 2, 1, -20045},  // product before levels
      {&l.a, &l.b, 12, 12, 1, 1, -20042},
      {&l.a, &l.b, 12, 6, 2, 1, -20042},
      {&l.a, &l.b, 12, 1, 12, -1, -20042},
      {&l.a, &l.b, 0, 0, 3, 2, -20044},
      {&l.a, &l.b, -12, -2, 3, 2, -20044},
      // 65536 * 65536 * 1 wraps to 0 in 32 bits; -2^31 has no 32-bit magnitude.
      {&l.a, &l.b, 0, 1, 65536, 65536, -20045},
      {&l.a, &l.b, 0, 1, INT32_MIN, 2, -20045},
      {&l.a, &bad_b, 12, 2, 3, 2, -20043},
      {&skewed_a, &l.b, 12, 2, 3, 2, -20047},
      {&l.a, &l.b, 12, 2, kTooBig, 2, -20046},
      {&l.a, &l.b, 12, kTooBig, 3, 2, -20046},
  };
  for (const Case& c : cases) {
    Vec t(15, kSentinel), p(3, kSentinel);
    EXPECT_EQ(ZMXFunc7(l.y.data(), c.la->data(), c.lb->data(), c.n, c.r, c.a, c.b, t.data(), &p[0],
                       &p[1], &p[2]),
              c.status)
        << c.n << " " << c.r << " " << c.a << " " << c.b;
    for (double v : t) EXPECT_EQ(v, kSentinel);
    for (double v : p) EXPECT_EQ(v, kSentinel);
  }
  // r = 1 with a random factor: -20048 after the balance check.
  const Levels a1{0, 0, 1, 1, 2, 2}, b1{0, 1, 0, 1, 0, 1};
  const Vec y1{1, 2, 4, 3, 7, 5};
  Vec t(15), p(3);
  EXPECT_EQ(ZMXFunc7(y1.data(), a1.data(), b1.data(), 6, 1, -3, 2, t.data(), &p[0], &p[1], &p[2]),
            -20048);
  EXPECT_EQ(ZMXFunc7(y1.data(), a1.data(), b1.data(), 6, 1, 3, -2, t.data(), &p[0], &p[1], &p[2]),
            -20048);
  const Levels a1_bad{0, 0, 1, 1, 2, 3};
  EXPECT_EQ(
      ZMXFunc7(y1.data(), a1_bad.data(), b1.data(), 6, 1, -3, 2, t.data(), &p[0], &p[1], &p[2]),
      -20043);
  ASSERT_EQ(ZMXFunc7(y1.data(), a1.data(), b1.data(), 6, 1, 3, 2, t.data(), &p[0], &p[1], &p[2]),
            0);
  EXPECT_EQ(p[2], 0.0);
  EXPECT_EQ(ZMXFunc7(y1.data(), a1.data(), nullptr, 6, 1, 3, 2, t.data(), &p[0], &p[1], &p[2]),
            -20008);
  EXPECT_EQ(ZMXFunc7(y1.data(), a1.data(), b1.data(), 6, 1, 3, 2, t.data(), &p[0], &p[1], nullptr),
            -20008);
  for (int countdown : {1, 2, 3, 4}) {  // two level copies, then the work arrays
    qm::SetWorkspaceFailureCountdown(countdown);
    EXPECT_EQ(ZMXFunc7(y1.data(), a1.data(), b1.data(), 6, 1, 3, 2, t.data(), &p[0], &p[1], &p[2]),
              -20001)
        << countdown;
    qm::SetWorkspaceFailureCountdown(0);
  }
}

TEST(ThreeWayAnova, StatusesInOrder) {
  // 2 x 2 x 2 cells with r = 2 in cell order.
  Levels la, lb, lc;
  Vec y;
  for (int k = 0; k < 16; ++k) {
    la.push_back(k / 8);
    lb.push_back(k / 4 % 2);
    lc.push_back(k / 2 % 2);
    y.push_back(std::sin(k + 1.0));
  }
  Levels bad_c = lc;
  bad_c[3] = -1;
  Levels skewed = la;
  skewed[0] = 1;
  struct Case {
    const Levels* lc;
    const Levels* la;
    int64_t n, r, a, b, c;
    int32_t status;
  };
  const Case cases[] = {
      {&lc, &la, 16, 2, 2, 2, 3, -20045},
      {&lc, &la, 1, 1, 1, 1, 1, -20044},  // r < 2 before the levels
      {&lc, &la, 8, 1, 2, 2, 2, -20044},
      {&lc, &la, 16, 2, 1, 4, 2, -20042},
      {&lc, &la, 16, 2, 2, -4, 1, -20042},
      // 65536^4 wraps to 0 in 64 bits.
      {&lc, &la, 0, 65536, 65536, 65536, 65536, -20045},
      {&bad_c, &la, 16, 2, 2, 2, 2, -20043},
      {&lc, &skewed, 16, 2, 2, 2, 2, -20047},
      {&lc, &la, 16, 2, 2, 2, kTooBig, -20046},
  };
  for (const Case& c : cases) {
    Vec t(32, kSentinel), p(7, kSentinel);
    EXPECT_EQ(ZMXFunc8(y.data(), c.la->data(), lb.data(), c.lc->data(), c.n, c.r, c.a, c.b, c.c,
                       t.data(), &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6]),
              c.status)
        << c.n << " " << c.r << " " << c.a << " " << c.b << " " << c.c;
    for (double v : t) EXPECT_EQ(v, kSentinel);
    for (double v : p) EXPECT_EQ(v, kSentinel);
  }
  Vec t(32), p(7);
  ASSERT_EQ(ZMXFunc8(y.data(), la.data(), lb.data(), lc.data(), 16, 2, -2, -2, -2, t.data(), &p[0],
                     &p[1], &p[2], &p[3], &p[4], &p[5], &p[6]),
            0);
  EXPECT_EQ(t[3], -1.0);
  EXPECT_EQ(p[0], -1.0);
  EXPECT_EQ(t[31], 0.0);
  EXPECT_EQ(ZMXFunc8(y.data(), la.data(), lb.data(), nullptr, 16, 2, 2, 2, 2, t.data(), &p[0],
                     &p[1], &p[2], &p[3], &p[4], &p[5], &p[6]),
            -20008);
  EXPECT_EQ(ZMXFunc8(y.data(), la.data(), lb.data(), lc.data(), 16, 2, 2, 2, 2, t.data(), &p[0],
                     &p[1], &p[2], &p[3], &p[4], &p[5], nullptr),
            -20008);
  for (int countdown : {1, 3, 4, 5}) {
    qm::SetWorkspaceFailureCountdown(countdown);
    EXPECT_EQ(ZMXFunc8(y.data(), la.data(), lb.data(), lc.data(), 16, 2, 2, 2, 2, t.data(), &p[0],
                       &p[1], &p[2], &p[3], &p[4], &p[5], &p[6]),
              -20001)
        << countdown;
    qm::SetWorkspaceFailureCountdown(0);
  }
}

}  // namespace
