// Distribution functions and their inverses: against closed forms evaluated
// by mpmath and SciPy's quantiles (tests/stats/data/distributions_golden.py),
// the search rules of the inverses and the statuses in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kSentinel = -12345.5;

// The lines of one kind of the golden file, as numbers.
std::vector<std::vector<double>> Golden(const std::string& kind) {
  std::vector<std::vector<double>> rows;
  std::ifstream in(QM_TEST_DATA_DIR "/distributions_golden.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string k;
    s >> k;
    if (k != kind) continue;
    std::vector<double> row;
    for (double v; s >> v;) row.push_back(v);
    rows.push_back(row);
  }
  return rows;
}

// A bisection result lo must satisfy q - 0.0001 <= lo <= q (a hair above q
// only by the rounding of the distribution function at q).
void ExpectLowerEndOfBracket(double lo, double q, const std::string& what) {
  EXPECT_LE(lo, q + 1e-9 * std::max(1.0, std::fabs(q))) << what;
  EXPECT_GE(lo, q - 1e-4) << what;
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
