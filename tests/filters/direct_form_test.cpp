// Direct-form filtering with caller-held state: SciPy's lfilter of a whole
// signal against random block splits, blocks that join bit for bit, y = x,
// the FIR fallback of the IIR forms, and the checks that leave everything
// untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSentinel = -777.25;

struct LfilterCase {
  std::string name;
  bool complex = false;
  Vec b, a;
  Vec x, y;  // interleaved (re, im) for complex cases
};

Vec Numbers(std::istringstream& in) {
  Vec v;
  double d;
  while (in >> d) v.push_back(d);
  return v;
}

Vec Interleave(const Vec& re, const Vec& im) {
  Vec z;
  for (size_t i = 0; i < re.size(); ++i) {
    z.push_back(re[i]);
    z.push_back(im[i]);
  }
  return z;
}

std::vector<LfilterCase> LoadCases() {
  std::vector<LfilterCase> cases;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/direct_form_lfilter.txt");
  std::string text;
  Vec xre, xim, yre, yim;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string tag;
    line >> tag;
    if (tag == "case") {
      LfilterCase c;
      std::string kind;
      line >> c.name >> kind;
      c.complex = kind == "complex";
      cases.push_back(c);
      continue;
    }
    LfilterCase& c = cases.back();
    if (tag == "b") c.b = Numbers(line);
    if (tag == "a") c.a = Numbers(line);
    if (tag == "x") c.x = Numbers(line);
    if (tag == "y") c.y = Numbers(line);
    if (tag == "xre") xre = Numbers(line);
    if (tag == "xim") c.x = Interleave(xre, Numbers(line));
    if (tag == "yre") yre = Numbers(line);
    if (tag == "yim") c.y = Interleave(yre, Numbers(line));
  }
  return cases;
}

// Filters `x` (n samples of `width` doubles) in blocks of the given sizes,
// carrying the states; IIR when `a` is not empty. Returns the statuses' sum.
int32_t FilterInBlocks(const Vec& b, const Vec& a, const Vec& x, int width,
                       const std::vector<int64_t>& blocks, Vec* y, bool in_place = false) {
  const int32_t nb = static_cast<int32_t>(b.size()), na = static_cast<int32_t>(a.size());
  Vec in_state((nb - 1) * width, 0.0), out_state(std::max(na - 1, 0) * width, 0.0);
  y->assign(x.size(), kSentinel);
  if (in_place) *y = x;
  int32_t status = 0;
  size_t at = 0;
  for (int64_t len : blocks) {
    const double* src = (in_place ? y->data() : x.data()) + at;
    double* dst = y->data() + at;
    double* is = nb > 1 ? in_state.data() : nullptr;
    if (a.empty()) {
      status += width == 1 ? ZMXFunc352(src, len, b.data(), is, nb, dst)
                           : ZMXFunc353(src, len, b.data(), is, nb, dst);
    } else {
      double* os = na > 1 ? out_state.data() : nullptr;
      status += width == 1 ? ZMXFunc92(src, len, a.data(), os, na, b.data(), is, nb, dst)
                           : ZMXFunc354(src, len, a.data(), os, na, b.data(), is, nb, dst);
    }
    at += static_cast<size_t>(len * width);
  }
  return status;
}

std::vector<int64_t> RandomBlocks(int64_t n, std::mt19937& gen) {
  std::vector<int64_t> blocks;
  std::uniform_int_distribution<int64_t> size(1, 40);
  for (int64_t left = n; left > 0;) {
    const int64_t len = std::min(left, size(gen));
    blocks.push_back(len);
    left -= len;
  }
  return blocks;
}

double MaxAbs(const Vec& v) {
  double m = 0;
  for (double d : v) m = std::max(m, std::fabs(d));
  return m;
}

TEST(DirectForm, RandomBlockSplitsMatchLfilterOfTheWholeSignal) {
  const std::vector<LfilterCase> cases = LoadCases();
  ASSERT_EQ(cases.size(), 14u);
  std::mt19937 gen(7);
  for (const LfilterCase& c : cases) {
    SCOPED_TRACE(c.name + (c.complex ? " complex" : " real"));
    const int width = c.complex ? 2 : 1;
    const int64_t n = static_cast<int64_t>(c.x.size()) / width;
    Vec whole, split, in_place;
    ASSERT_EQ(FilterInBlocks(c.b, c.a, c.x, width, {n}, &whole), 0);
    const double scale = MaxAbs(c.y);
    for (size_t i = 0; i < c.y.size(); ++i)
      ASSERT_NEAR(whole[i], c.y[i], 1e-12 * scale) << "sample " << i / width;
    for (int trial = 0; trial < 5; ++trial) {
      const std::vector<int64_t> blocks = RandomBlocks(n, gen);
      ASSERT_EQ(FilterInBlocks(c.b, c.a, c.x, width, blocks, &split), 0);
      EXPECT_EQ(split, whole) << "blocks join bit for bit";
      ASSERT_EQ(FilterInBlocks(c.b, c.a, c.x, width, blocks, &in_place, true), 0);
      EXPECT_EQ(in_place, whole) << "y = x";
    }
    // Single samples: every block shorter than either state.
    ASSERT_EQ(FilterInBlocks(c.b, c.a, c.x, width, std::vector<int64_t>(n, 1), &split), 0);
    EXPECT_EQ(split, whole);
  }
}

TEST(DirectForm, StatesHoldTheLatestValuesOldestFirst) {
  const Vec b = {1, 2, 3, 4}, a = {2, 0.5, 0.25};
  const Vec x = {1, -2, 3, 5, 7};
  Vec y(5), is = {10, 20, 30}, os = {-1, -3};
  ASSERT_EQ(ZMXFunc92(x.data(), 5, a.data(), os.data(), 3, b.data(), is.data(), 4, y.data()), 0);
  EXPECT_EQ(is, (Vec{3, 5, 7}));
  EXPECT_EQ(os, (Vec{y[3], y[4]}));
  // The first sample from the given states, by the rule.
  const double acc = 1 * 1 + 2 * 30 + 3 * 20 + 4 * 10;
  EXPECT_DOUBLE_EQ(y[0], (acc - (0.5 * -3 + 0.25 * -1)) / 2);
  // A block shorter than the states keeps the older state values.
  Vec is2 = {10, 20, 30}, os2 = {-1, -3}, y2(1);
  ASSERT_EQ(ZMXFunc92(x.data(), 1, a.data(), os2.data(), 3, b.data(), is2.data(), 4, y2.data()), 0);
  EXPECT_EQ(is2, (Vec{20, 30, 1}));
  EXPECT_EQ(os2, (Vec{-3, y[0]}));
  EXPECT_EQ(y2[0], y[0]);
}

TEST(DirectForm, DegenerateLengthsAndTheFirFallback) {
  const Vec x = {1, -2, 3, 5, 7, -11};
  Vec y(6), z(6);
  const double b0 = 0.75;
  // nb = 1: y = b0 x, no input state needed.
  ASSERT_EQ(ZMXFunc352(x.data(), 6, &b0, nullptr, 1, y.data()), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(y[i], b0 * x[i]);
  // na = 1 without an output state still divides by a[0].
  const double a0 = 4;
  ASSERT_EQ(ZMXFunc92(x.data(), 6, &a0, nullptr, 1, &b0, nullptr, 1, z.data()), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(z[i], b0 * x[i] / 4);

  const Vec b = {0.5, -1, 0.25}, a = {0, 1};  // a[0] = 0 would fail if used
  Vec is = {1, 2}, fir(6);
  ASSERT_EQ(ZMXFunc352(x.data(), 6, b.data(), is.data(), 3, fir.data()), 0);
  struct Fallback {
    const char* what;
    const double* a;
    double* os;
    int32_t na;
  };
  double os[1] = {9};
  for (const Fallback& f : {Fallback{"null a", nullptr, os, 2}, Fallback{"na 0", a.data(), os, 0},
                            Fallback{"na negative", a.data(), os, -3},
                            Fallback{"null output state", a.data(), nullptr, 2}}) {
    SCOPED_TRACE(f.what);
    Vec is2 = {1, 2};
    ASSERT_EQ(ZMXFunc92(x.data(), 6, f.a, f.os, f.na, b.data(), is2.data(), 3, z.data()), 0);
    EXPECT_EQ(z, fir);
    EXPECT_EQ(is2, is);
    EXPECT_EQ(os[0], 9);
  }
  // The complex IIR falls back alike.
  const Vec zx = {1, 2, 3, 4}, zb = {2, 1};
  Vec zs = {0, 0}, zs2 = {0, 0}, zy(4), zy2(4);
  ASSERT_EQ(ZMXFunc353(zx.data(), 2, zb.data(), zs.data(), 2, zy.data()), 0);
  ASSERT_EQ(ZMXFunc354(zx.data(), 2, nullptr, nullptr, 3, zb.data(), zs2.data(), 2, zy2.data()), 0);
  EXPECT_EQ(zy, (Vec{2, 4, 7, 10}));
  EXPECT_EQ(zy2, zy);
  EXPECT_EQ(zs2, (Vec{3, 4}));
}

TEST(DirectForm, FailuresLeaveOutputsAndStatesUntouched) {
  const Vec x = {1, 2, 3, 4}, b = {1, 1, 1};
  struct Case {
    const char* what;
    int32_t expected;
    const double* x;
    int64_t n;
    const double* a;
    int32_t na;
    const double* b;
    int32_t nb;
    bool in_state, out_state, y;
  };
  const double a_zero[] = {0, 0.5}, a_nan[] = {kNaN, 0.5}, a_inf[] = {-kInf}, a_ok[] = {1, 0.5};
  const Case cases[] = {
      {"n beyond 32 bits first", -20046, nullptr, int64_t{1} << 32, a_ok, 2, b.data(), 0, 1, 1, 1},
      {"null x", -20008, nullptr, 4, a_ok, 2, b.data(), 3, 1, 1, 1},
      {"null b", -20008, x.data(), 4, a_ok, 2, nullptr, 3, 1, 1, 1},
      {"null input state with nb 3", -20008, x.data(), 4, a_ok, 2, b.data(), 3, 0, 1, 1},
      {"null y", -20008, x.data(), 4, a_ok, 2, b.data(), 3, 1, 1, 0},
      {"n 0", -20003, x.data(), 0, a_ok, 2, b.data(), 3, 1, 1, 1},
      {"nb 0", -20003, x.data(), 4, a_ok, 2, b.data(), 0, 1, 1, 1},
      {"nb 0 needs no input state", -20003, x.data(), 4, a_ok, 2, b.data(), 0, 0, 1, 1},
      {"a[0] zero", -20060, x.data(), 4, a_zero, 2, b.data(), 3, 1, 1, 1},
      {"a[0] NaN", -20060, x.data(), 4, a_nan, 2, b.data(), 3, 1, 1, 1},
      {"a[0] infinite, na 1", -20060, x.data(), 4, a_inf, 1, b.data(), 3, 1, 0, 1},
  };
  for (const Case& c : cases) {
    for (int width : {1, 2}) {
      SCOPED_TRACE(std::string(c.what) + (width == 2 ? " complex" : " real"));
      Vec is(4, kSentinel), os(2, kSentinel), y(8, kSentinel);
      double* isp = c.in_state ? is.data() : nullptr;
      double* osp = c.out_state ? os.data() : nullptr;
      double* yp = c.y ? y.data() : nullptr;
      const int32_t s = width == 1 ? ZMXFunc92(c.x, c.n, c.a, osp, c.na, c.b, isp, c.nb, yp)
                                   : ZMXFunc354(c.x, c.n, c.a, osp, c.na, c.b, isp, c.nb, yp);
      EXPECT_EQ(s, c.expected);
      EXPECT_EQ(is, Vec(4, kSentinel));
      EXPECT_EQ(os, Vec(2, kSentinel));
      EXPECT_EQ(y, Vec(8, kSentinel));
      if (c.a != a_ok || c.expected == -20060) continue;
      // The FIR exports share the checks that do not concern a.
      y.assign(8, kSentinel);
      const int32_t f = width == 1 ? ZMXFunc352(c.x, c.n, c.b, isp, c.nb, yp)
                                   : ZMXFunc353(c.x, c.n, c.b, isp, c.nb, yp);
      EXPECT_EQ(f, c.expected);
      EXPECT_EQ(y, Vec(8, kSentinel));
    }
  }
  // A scratch failure: -20001 before anything is written.
  Vec is(4, kSentinel), os(2, kSentinel), y(8, kSentinel);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc354(x.data(), 2, a_ok, os.data(), 2, b.data(), is.data(), 3, y.data()), -20001);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc352(x.data(), 4, b.data(), is.data(), 3, y.data()), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(is, Vec(4, kSentinel));
  EXPECT_EQ(os, Vec(2, kSentinel));
  EXPECT_EQ(y, Vec(8, kSentinel));
}

}  // namespace
