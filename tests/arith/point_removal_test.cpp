// Point removal: compaction in order, duplicates, capacity, and that every
// refusal leaves the arrays as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Points {
  std::vector<double> x = {0, 1, 2, 3, 4, 5};
  std::vector<double> y = {10, 11, 12, 13, 14, 15};
  std::vector<double> z = {20, 21, 22, 23, 24, 25};
};

TEST(RemovePointsByIndex, RemovesListedPointsOnceKeepingOrder) {
  Points p;
  int64_t count = 6;
  const int64_t indexes[] = {4, 1, 4, 0, 1};  // duplicates count once
  ASSERT_EQ(ZMXFunc296(p.x.data(), p.y.data(), p.z.data(), &count, indexes, 5), 0);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(std::vector<double>(p.x.begin(), p.x.begin() + 3), (std::vector<double>{2, 3, 5}));
  EXPECT_EQ(std::vector<double>(p.y.begin(), p.y.begin() + 3), (std::vector<double>{12, 13, 15}));
  EXPECT_EQ(std::vector<double>(p.z.begin(), p.z.begin() + 3), (std::vector<double>{22, 23, 25}));

  Points q;  // without z, every point removed
  count = 6;
  const int64_t all[] = {5, 4, 3, 2, 1, 0};
  ASSERT_EQ(ZMXFunc296(q.x.data(), q.y.data(), nullptr, &count, all, 6), 0);
  EXPECT_EQ(count, 0);
}

TEST(RemovePointsByIndex, FailuresLeaveArraysAndZeroTheCount) {
  struct Case {
    int64_t count;
    std::vector<int64_t> indexes;
    int64_t nIndexes;
    int32_t status;
  };
  const Case cases[] = {
      {0, {0}, 1, -20003},        {6, {0}, 0, -20003},       {6, {1, 6}, 2, -20017},
      {6, {-1}, 1, -20017},       {6, {int64_t{1} << 40}, 1, -20017},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    Points p;
    int64_t count = c.count;
    EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), p.z.data(), &count, c.indexes.data(), c.nIndexes),
              c.status);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(p.x, Points().x);
    EXPECT_EQ(p.y, Points().y);
    EXPECT_EQ(p.z, Points().z);
  }
  Points p;
  int64_t count = 6;
  const int64_t one[] = {2};
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), p.z.data(), &count, one, 1), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(p.x, Points().x);
  // Boundary refusals come before the routine and leave the count alone.
  count = int64_t{1} << 31;
  EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), nullptr, &count, one, 1), -20046);
  EXPECT_EQ(count, int64_t{1} << 31);
  count = 6;
  EXPECT_EQ(ZMXFunc296(p.x.data(), nullptr, nullptr, &count, one, 1), -20008);
  EXPECT_EQ(ZMXFunc296(p.x.data(), p.y.data(), nullptr, nullptr, one, 1), -20008);
  EXPECT_EQ(count, 6);
}

TEST(RemovePointsOutsideRange, KeepsPointsStrictlyInside) {
  struct Case {
    int32_t type;
    std::vector<double> limits;
    std::vector<double> keptX;
    std::vector<int64_t> removed;
  };
  const Case cases[] = {
      // y strictly between 11 and 14 (limits in either order): x = 2, 3.
      {0, {11, 14}, {2, 3}, {0, 1, 4, 5}},
      {0, {14, 11}, {2, 3}, {0, 1, 4, 5}},
      // x strictly between 0.5 and 4.5.
      {1, {4.5, 0.5}, {1, 2, 3, 4}, {0, 5}},
      // x in (0.5, 4.5) and y in (10, 13): x = 1, 2.
      {2, {0.5, 4.5, 13, 10, 99}, {1, 2}, {0, 3, 4, 5}},
      // Nothing removed; equal limits keep nothing.
      {1, {-1, 6}, {0, 1, 2, 3, 4, 5}, {}},
      {1, {2, 2}, {}, {0, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " " << testing::PrintToString(c.limits));
    Points p;
    int64_t count = 6;
    std::vector<int64_t> idx(6, -7);
    int64_t removed = 6;
    ASSERT_EQ(ZMXFunc297(p.x.data(), p.y.data(), p.z.data(), &count, c.type, c.limits.data(),
                         c.limits.size(), idx.data(), &removed),
              0);
    ASSERT_EQ(count, static_cast<int64_t>(c.keptX.size()));
    EXPECT_EQ(std::vector<double>(p.x.begin(), p.x.begin() + count), c.keptX);
    for (int64_t i = 0; i < count; ++i) {
      EXPECT_EQ(p.y[i], p.x[i] + 10);  // the three arrays stay aligned
      EXPECT_EQ(p.z[i], p.x[i] + 20);
    }
    ASSERT_EQ(removed, static_cast<int64_t>(c.removed.size()));
    EXPECT_EQ(std::vector<int64_t>(idx.begin(), idx.begin() + removed), c.removed);
  }
}

TEST(RemovePointsOutsideRange, NaNDataIsRemovedAndIndexArrayIsOptional) {
  std::vector<double> x = {1, kNaN, 3}, y = {0, 0, 0};
  int64_t count = 3;
  int64_t removed = -999;  // not read without an index array
  const double limits[2] = {0, 5};
  ASSERT_EQ(ZMXFunc297(x.data(), y.data(), nullptr, &count, 1, limits, 2, nullptr, &removed), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(x[1], 3.0);
}

TEST(RemovePointsOutsideRange, RefusalsInOrderChangeNothing) {
  struct Case {
    int64_t count;
    int32_t type;
    std::vector<double> limits;
    int64_t capacity;
    int32_t status;
  };
  const Case cases[] = {
      {0, 0, {1, 2}, 6, -20003},     {6, 0, {}, 6, -20003},        {6, 3, {1, 2}, 6, -20061},
      {6, -1, {1, 2}, 6, -20061},    {6, 0, {1, kNaN}, 6, -20068}, {6, 9, {kNaN}, 6, -20061},
      {6, 1, {kNaN}, 6, -20068},     {6, 1, {1}, 6, -20006},       {6, 2, {1, 2, 3}, 6, -20069},
      {6, 1, {0.5, 4.5}, 1, -20010}, {6, 1, {0.5, 4.5}, -3, -20010},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    Points p;
    int64_t count = c.count, removed = c.capacity;
    std::vector<int64_t> idx(6, -7);
    const double none = 0;  // a valid pointer for the zero-length case
    const double* limits = c.limits.empty() ? &none : c.limits.data();
    EXPECT_EQ(ZMXFunc297(p.x.data(), p.y.data(), p.z.data(), &count, c.type, limits,
                         c.limits.size(), idx.data(), &removed),
              c.status);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(removed, c.capacity);
    EXPECT_EQ(p.x, Points().x);
    EXPECT_EQ(p.y, Points().y);
    EXPECT_EQ(idx, std::vector<int64_t>(6, -7));
  }
  // Exactly enough capacity is enough.
  Points p;
  int64_t count = 6, removed = 2;
  int64_t idx[2];
  const double limits[2] = {0.5, 4.5};
  EXPECT_EQ(ZMXFunc297(p.x.data(), p.y.data(), nullptr, &count, 1, limits, 2, idx, &removed), 0);
  EXPECT_EQ(removed, 2);
  EXPECT_EQ(idx[1], 5);
}

}  // namespace
