// The threshold-run detector.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
using Idx = std::vector<int64_t>;

// Start indices of the runs (and a second call without the index array
// gives the same count).
Idx Runs(const Vec& x, double threshold, int64_t width) {
  Idx idx(x.size() / static_cast<std::size_t>(width) + 1, -5);
  int64_t count = -1, count_only = -1;
  EXPECT_EQ(
      ZMXFunc237(x.data(), static_cast<int64_t>(x.size()), threshold, width, idx.data(), &count),
      0);
  EXPECT_EQ(
      ZMXFunc237(x.data(), static_cast<int64_t>(x.size()), threshold, width, nullptr, &count_only),
      0);
  EXPECT_EQ(count, count_only);
  for (std::size_t k = static_cast<std::size_t>(count); k < idx.size(); ++k)
    EXPECT_EQ(idx[k], -5);  // nothing beyond the count is written
  idx.resize(static_cast<std::size_t>(count));
  return idx;
}

TEST(ThresholdRuns, Runs) {
  EXPECT_EQ(Runs({0, 5, 5, 0, 5, 0}, 1, 2), (Idx{1}));
  EXPECT_EQ(Runs({5, 5, 0, 5, 5, 5}, 1, 2), (Idx{0, 3}));   // the end of x ends a run
  EXPECT_EQ(Runs({1, 1, 0.999, 1, 1}, 1, 2), (Idx{0, 3}));  // >= threshold
  EXPECT_EQ(Runs({5, NAN, 5, 5, 0, 5}, 1, 2), (Idx{2}));    // NaN ends a run
  EXPECT_EQ(Runs({5, 5, 5, 5, 5, 5, 5}, 1, 3), (Idx{0}));   // one long run
  EXPECT_EQ(Runs({0, 0, 0, 0}, 1, 1), (Idx{}));
  EXPECT_EQ(Runs({0, 0, 0, 0}, NAN, 1), (Idx{}));
  EXPECT_EQ(Runs({-1e300, 0}, -INFINITY, 1), (Idx{0}));
  // The most runs possible: n/width + 1 of width 1.
  Vec alternating(9);
  for (int i = 0; i < 9; ++i) alternating[i] = i % 2 ? 0 : 1;
  EXPECT_EQ(Runs(alternating, 1, 1), (Idx{0, 2, 4, 6, 8}));
}

TEST(ThresholdRuns, Statuses) {
  const Vec x = {0, 5, 5, 0, 5, 0};
  int64_t idx[8] = {-5}, count = 7;
  EXPECT_EQ(ZMXFunc237(x.data(), int64_t{1} << 31, 1, 2, idx, &count), -20046);
  EXPECT_EQ(ZMXFunc237(x.data(), 6, 1, int64_t{1} << 32, idx, &count), -20046);
  EXPECT_EQ(ZMXFunc237(nullptr, 6, 1, 2, idx, &count), -20008);
  EXPECT_EQ(ZMXFunc237(x.data(), 6, 1, 2, idx, nullptr), -20008);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(ZMXFunc237(nullptr, 0, 1, 2, idx, &count), -20003);
  EXPECT_EQ(count, 0);
  count = 7;
  EXPECT_EQ(ZMXFunc237(x.data(), 6, 1, 0, idx, &count), -20013);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ZMXFunc237(x.data(), 6, 1, 6, idx, &count), -20013);  // width = n
  EXPECT_EQ(ZMXFunc237(x.data(), 6, 1, 5, idx, &count), 0);
  EXPECT_EQ(count, 0);
  qm::SetWorkspaceFailureCountdown(1);
  count = 7;
  EXPECT_EQ(ZMXFunc237(x.data(), 6, 1, 2, idx, &count), -20001);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(idx[0], -5);  // the caller's array is not written
  qm::SetWorkspaceFailureCountdown(0);
}

}  // namespace
