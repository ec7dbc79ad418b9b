// Savitzky-Golay smoothing: the rows of H against SciPy's savgol_coeffs, the
// weighted operators against NumPy least squares, the filters against
// savgol_filter, polynomials kept, in place, complex parts, and the checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
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

struct Block {
  std::string kind;  // matrix, weighted, filter
  int32_t frame = 0, order = 0;
  std::vector<Vec> rows, scipy, c;
  Vec w, x, y, exact;
};

std::vector<Block> LoadBlocks() {
  std::vector<Block> blocks;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/fir_savgol.txt");
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string tag;
    line >> tag;
    Vec v;
    if (tag == "matrix" || tag == "weighted" || tag == "filter") {
      Block b;
      b.kind = tag;
      line >> b.frame >> b.order;
      blocks.push_back(b);
      continue;
    }
    for (double d; line >> d;) v.push_back(d);
    Block& b = blocks.back();
    if (tag == "row") b.rows.push_back(v);
    if (tag == "scipy") b.scipy.push_back(v);
    if (tag == "c") b.c.push_back(v);
    if (tag == "w") b.w = v;
    if (tag == "x") b.x = v;
    if (tag == "y") b.y = v;
    if (tag == "exact") b.exact = v;
  }
  return blocks;
}

double MaxAbs(const Vec& v) {
  double m = 0;
  for (double d : v) m = std::fmax(m, std::fabs(d));
  return m;
}

TEST(SavitzkyGolay, MatrixRowsMatchScipyAndWeightedLeastSquares) {
  int matrices = 0, weighted = 0;
  for (const Block& b : LoadBlocks()) {
    if (b.kind == "filter") continue;
    SCOPED_TRACE(b.kind + " F " + std::to_string(b.frame) + " p " + std::to_string(b.order));
    const int32_t f = b.frame, m = f / 2, k = b.order + 1;
    ASSERT_EQ(static_cast<int32_t>(b.rows.size()), f);
    Vec h(f * f, kSentinel), c(k * f, kSentinel);
    const double* w = b.w.empty() ? nullptr : b.w.data();
    ASSERT_EQ(ZMXFunc355(b.order, m, w, 1, h.data(), c.data()), 0);
    // (J'WJ)^-1 = R^-1 R^-T carries the square of J's condition: the
    // interpolating p = F - 1 = 8 (t^8 up to 65536) keeps 1e-10.
    const double tolerance = b.order <= 5 ? 1e-12 : 1e-10;
    for (int32_t r = 0; r < f; ++r) {
      for (int32_t i = 0; i < f; ++i)
        EXPECT_NEAR(h[r * f + i], b.rows[r][i], tolerance) << r << "," << i;
    }
    // SciPy's rows: the centre row to the same accuracy, the others to the
    // rounding of its least-squares solutions.
    for (size_t r = 0; r < b.scipy.size(); ++r) {
      for (int32_t i = 0; i < f; ++i) {
        EXPECT_NEAR(h[r * f + i], b.scipy[r][i], static_cast<int32_t>(r) == m ? tolerance : 1e-8)
            << r << "," << i;
      }
    }
    if (w) {
      ++weighted;
      for (int32_t q = 0; q < k; ++q) {
        const double scale = MaxAbs(b.c[q]);
        for (int32_t i = 0; i < f; ++i)
          EXPECT_NEAR(c[q * f + i], b.c[q][i], 1e-12 * scale) << q << "," << i;
      }
      EXPECT_EQ(c[1 * f + 1], 0.0) << "a zero weight drops its sample";
    } else {
      ++matrices;
    }
    // H without C leaves C's array alone and gives the same H.
    Vec h2(f * f), untouched(k * f, kSentinel);
    ASSERT_EQ(ZMXFunc355(b.order, m, w, 0, h2.data(), untouched.data()), 0);
    EXPECT_EQ(h2, h);
    EXPECT_EQ(untouched, Vec(k * f, kSentinel));
    ASSERT_EQ(ZMXFunc355(b.order, m, w, 0, h2.data(), nullptr), 0);
  }
  EXPECT_EQ(matrices, 8);
  EXPECT_EQ(weighted, 3);
}

TEST(SavitzkyGolay, SmallFramesByHand) {
  Vec h(9), c(6);
  ASSERT_EQ(ZMXFunc355(1, 1, nullptr, 1, h.data(), c.data()), 0);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(h[3 + i], 1.0 / 3, 1e-15);  // moving average
  EXPECT_NEAR(h[0], 5.0 / 6, 1e-15);
  EXPECT_NEAR(h[1], 2.0 / 6, 1e-15);
  EXPECT_NEAR(h[2], -1.0 / 6, 1e-15);
  // C: mean and slope of the frame (t = -1, 0, 1).
  EXPECT_NEAR(c[3], -0.5, 1e-15);
  EXPECT_NEAR(c[4], 0.0, 1e-15);
  EXPECT_NEAR(c[5], 0.5, 1e-15);
  // p = 2 on three points: the fit passes through them.
  ASSERT_EQ(ZMXFunc355(2, 1, nullptr, 0, h.data(), nullptr), 0);
  for (int r = 0; r < 3; ++r)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(h[r * 3 + i], r == i ? 1 : 0, 1e-14);
}

TEST(SavitzkyGolay, FiltersMatchSavgolFilterInPlaceAndComplex) {
  int filters = 0;
  for (const Block& b : LoadBlocks()) {
    if (b.kind != "filter") continue;
    ++filters;
    SCOPED_TRACE("F " + std::to_string(b.frame) + " p " + std::to_string(b.order));
    const int64_t n = static_cast<int64_t>(b.x.size());
    const int32_t m = b.frame / 2;
    Vec y(n, kSentinel);
    ASSERT_EQ(ZMXFunc356(b.x.data(), n, b.order, m, nullptr, y.data()), 0);
    // savgol_filter convolves with its own rounded coefficients; the exact
    // smoothing (rational H applied to x) is met to 1e-12.
    for (int64_t i = 0; i < n; ++i) {
      EXPECT_NEAR(y[i], b.exact[i], 1e-12) << i;
      EXPECT_NEAR(y[i], b.y[i], 1e-10) << i;
    }
    Vec in_place = b.x;
    ASSERT_EQ(ZMXFunc356(in_place.data(), n, b.order, m, nullptr, in_place.data()), 0);
    EXPECT_EQ(in_place, y);
    // Complex: the real parts are x, the imaginary parts 2 - x.
    Vec z(2 * n), zy(2 * n);
    for (int64_t i = 0; i < n; ++i) {
      z[2 * i] = b.x[i];
      z[2 * i + 1] = 2 - b.x[i];
    }
    ASSERT_EQ(ZMXFunc357(z.data(), n, b.order, m, nullptr, zy.data()), 0);
    ASSERT_EQ(ZMXFunc357(z.data(), n, b.order, m, nullptr, z.data()), 0);
    EXPECT_EQ(z, zy);
    for (int64_t i = 0; i < n; ++i) {
      EXPECT_EQ(zy[2 * i], y[i]);
      EXPECT_NEAR(zy[2 * i + 1], 2 - y[i], 1e-12);
    }
  }
  EXPECT_EQ(filters, 4);
}

TEST(SavitzkyGolay, PolynomialsOfDegreeAtMostPPassUnchanged) {
  const int n = 40;
  const Vec weights = {1, 0.5, -2, 3, 0.25, 1, 4, -1, 2};  // F = 9, signs ignored
  for (int32_t p : {1, 2, 3, 4}) {
    for (const double* w : {static_cast<const double*>(nullptr), weights.data()}) {
      SCOPED_TRACE("p " + std::to_string(p) + (w ? " weighted" : ""));
      Vec x(n), y(n);
      for (int i = 0; i < n; ++i) {
        const double t = (i - 17.5) / 10;
        double v = 0, power = 1;
        for (int q = 0; q <= p; ++q, power *= t) v += (q + 1) * power;
        x[i] = v;
      }
      ASSERT_EQ(ZMXFunc356(x.data(), n, p, 4, w, y.data()), 0);
      for (int i = 0; i < n; ++i) EXPECT_NEAR(y[i], x[i], 1e-12 * MaxAbs(x)) << i;
    }
  }
}

TEST(SavitzkyGolay, ChecksComeInTheirOrderAndLeaveOutputsUntouched) {
  const Vec x(20, 1.0);
  Vec good_w(5, 1.0), nan_w(5, 1.0), inf_w(5, 1.0), sparse_w(5, 0.0);
  nan_w[3] = kNaN;
  inf_w[0] = -kInf;
  sparse_w[0] = 1;
  sparse_w[4] = 1;  // two nonzero rows for a quadratic
  struct Case {
    const char* what;
    int64_t n;
    int32_t p, m;
    const double* w;
    int32_t expected;
  };
  const Case cases[] = {
      {"p 0 before the frame", 20, 0, 0, nullptr, -20063},
      {"p 3 on three points", 20, 3, 1, nullptr, -20037},
      {"m negative", 20, 1, -4, nullptr, -20037},
      {"n below F", 4, 2, 2, nullptr, -20008},
      {"n below F before the weights", 4, 2, 2, nan_w.data(), -20008},
      {"NaN weight", 20, 2, 2, nan_w.data(), -20068},
      {"infinite weight", 20, 2, 2, inf_w.data(), -20068},
      {"two usable rows for three coefficients", 20, 2, 2, sparse_w.data(), -20041},
      {"n beyond 32 bits", int64_t{1} << 32, 2, 2, nullptr, -20046},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vec y(40, kSentinel);
    EXPECT_EQ(ZMXFunc356(x.data(), c.n, c.p, c.m, c.w, y.data()), c.expected);
    EXPECT_EQ(ZMXFunc357(x.data(), c.n, c.p, c.m, c.w, y.data()), c.expected);
    EXPECT_EQ(y, Vec(40, kSentinel));
    if (c.n != 20) continue;
    Vec h(25, kSentinel), cc(25, kSentinel);
    EXPECT_EQ(ZMXFunc355(c.p, c.m, c.w, 1, h.data(), cc.data()), c.expected);
    EXPECT_EQ(h, Vec(25, kSentinel));
    EXPECT_EQ(cc, Vec(25, kSentinel));
  }
  Vec h(25);
  EXPECT_EQ(ZMXFunc355(2, 2, nullptr, 1, h.data(), nullptr), -20008);
  EXPECT_EQ(ZMXFunc355(2, 2, nullptr, 0, nullptr, nullptr), -20008);
  EXPECT_EQ(ZMXFunc356(nullptr, 20, 2, 2, nullptr, h.data()), -20008);
  // A frame whose F*F does not fit in 32 bits, and F itself beyond 32 bits.
  EXPECT_EQ(ZMXFunc355(2, 40000, nullptr, 0, h.data(), nullptr), -20046);
  EXPECT_EQ(ZMXFunc355(2, 2000000000, nullptr, 0, h.data(), nullptr), -20046);
  // Scratch failures.
  for (int countdown : {1, 2}) {
    Vec y(20, kSentinel);
    qm::SetWorkspaceFailureCountdown(countdown);
    EXPECT_EQ(ZMXFunc356(x.data(), 20, 2, 2, nullptr, y.data()), -20001) << countdown;
    qm::SetWorkspaceFailureCountdown(0);
    EXPECT_EQ(y, Vec(20, kSentinel));
  }
}

}  // namespace
