// Point removal: compaction in order, duplicates, capacity, and that every
// refusal leaves the arrays as they were.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
using Idx = std::vector<int64_t>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Six points with y = x + 10 and z = x + 20, so alignment is easy to check.
struct Points {
  Vec x = {0, 1, 2, 3, 4, 5}, y = {10, 11, 12, 13, 14, 15}, z = {20, 21, 22, 23, 24, 25};
  bool Unchanged() const { return *this == Points(); }
  bool operator==(const Points&) const = default;
  Vec Kept(int64_t count) const {
    for (int64_t i = 0; i < count; ++i) {
      if (y[i] != x[i] + 10 || z[i] != x[i] + 20) return {kNaN};  // misaligned
    }
    return Vec(x.begin(), x.begin() + count);
  }
};

TEST(RemovePointsByIndex, RemovesListedPointsOnce) {
  Points p;
  int64_t count = 6;
  const int64_t indexes[] = {4, 1, 4, 0, 1};  // duplicates count once
  ASSERT_EQ(ZMXFunc296(p.x.data(), p.y.data(), p.z.data(), &count, indexes, 5), 0);
  EXPECT_EQ(p.Kept(count), (Vec{2, 3, 5}));
  count = 3;
  ASSERT_EQ(ZMXFunc296(p.x.data(), p.y.data(), nullptr, &count, indexes + 3, 2), 0);  // no z
  EXPECT_EQ(count, 1);
  EXPECT_EQ(p.x[0], 5.0);
}

TEST(RemovePointsByIndex, FailuresLeaveArraysAndZeroTheCount) {
  struct Case {
    int64_t count;
    Idx indexes;
    int64_t nIndexes;
    int32_t status;
  };
  const Case cases[] = {{0, {0}, 1, -20003},
                        {6, {0}, 0, -20003},
                        {6, {1, 6}, 2, -20017},
                        {6, {-1}, 1, -20017},
                        {6, {int64_t{1} << 40}, 1, -20017}};
  for (const Case& c : cases) {
    Points p;
    int64_t count = c.count;
    EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), p.z.data(), &count, c.indexes.data(), c.nIndexes),
              c.status);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(p.Unchanged());
  }
  Points p;
  int64_t count = 6;
  const int64_t one[] = {2};
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), p.z.data(), &count, one, 1), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_TRUE(p.Unchanged());
  // Boundary refusals come first and leave the count alone.
  count = int64_t{1} << 31;
  EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), nullptr, &count, one, 1), -20046);
  EXPECT_EQ(count, int64_t{1} << 31);
  count = 6;
  EXPECT_EQ(ZMXFunc296(p.x.data(), nullptr, nullptr, &count, one, 1), -20008);
  EXPECT_EQ(count, 6);
}

TEST(RemovePointsOutsideRange, KeepsPointsStrictlyInside) {
  struct Case {
    int32_t type;
    Vec limits, kept;
    Idx removed;
  };
  const Case cases[] = {
      {0, {11, 14}, {2, 3}, {0, 1, 4, 5}},  // on y; limits in either order
      {0, {14, 11}, {2, 3}, {0, 1, 4, 5}},
      {1, {4.5, 0.5}, {1, 2, 3, 4}, {0, 5}},              // on x
      {2, {0.5, 4.5, 13, 10, 99}, {1, 2}, {0, 3, 4, 5}},  // on both; fifth limit unused
      {1, {-1, 6}, {0, 1, 2, 3, 4, 5}, {}},
      {1, {2, 2}, {}, {0, 1, 2, 3, 4, 5}},  // empty interval keeps nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << testing::PrintToString(c.limits));
    Points p;
    int64_t count = 6, removed = 6;
    Idx idx(6, -7);
    ASSERT_EQ(ZMXFunc297(p.x.data(), p.y.data(), p.z.data(), &count, c.type, c.limits.data(),
                         c.limits.size(), idx.data(), &removed),
              0);
    EXPECT_EQ(p.Kept(count), c.kept);
    EXPECT_EQ(Idx(idx.begin(), idx.begin() + removed), c.removed);
  }
  // NaN data is never inside; without an index array *removed is not read.
  Vec x = {1, kNaN, 3}, y = {0, 0, 0};
  int64_t count = 3, removed = -999;
  const double limits[2] = {0, 5};
  ASSERT_EQ(ZMXFunc297(x.data(), y.data(), nullptr, &count, 1, limits, 2, nullptr, &removed), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(removed, 1);
}

TEST(RemovePointsOutsideRange, RefusalsInOrderChangeNothing) {
  struct Case {
    int64_t count;
    int32_t type;
    Vec limits;
    int64_t capacity;
    int32_t status;
  };
  const Case cases[] = {
      {0, 0, {1, 2}, 6, -20003},     {6, 0, {}, 6, -20003},          {6, 3, {1, 2}, 6, -20061},
      {6, -1, {1, 2}, 6, -20061},    {6, 9, {kNaN}, 6, -20061},      {6, 0, {1, kNaN}, 6, -20068},
      {6, 1, {kNaN}, 6, -20068},     {6, 1, {1}, 6, -20006},         {6, 2, {1, 2, 3}, 6, -20069},
      {6, 1, {0.5, 4.5}, 1, -20010}, {6, 1, {0.5, 4.5}, -3, -20010},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    Points p;
    int64_t count = c.count, removed = c.capacity;
    Idx idx(6, -7);
    const double none = 0;  // a valid pointer for the zero-length case
    EXPECT_EQ(ZMXFunc297(p.x.data(), p.y.data(), p.z.data(), &count, c.type,
                         c.limits.empty() ? &none : c.limits.data(), c.limits.size(), idx.data(),
                         &removed),
              c.status);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(removed, c.capacity);
    EXPECT_TRUE(p.Unchanged());
    EXPECT_EQ(idx, Idx(6, -7));
  }
  Points p;  // exactly enough capacity is enough
  int64_t count = 6, removed = 2, idx[2];
  const double limits[2] = {0.5, 4.5};
  EXPECT_EQ(ZMXFunc297(p.x.data(), p.y.data(), nullptr, &count, 1, limits, 2, idx, &removed), 0);
  EXPECT_EQ(idx[1], 5);
}

}  // namespace
