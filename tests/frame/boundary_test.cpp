#include "frame/boundary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace qm::boundary;

// A routine with every kind of argument; it records what it received.
struct Seen {
  int calls = 0;
  int32_t n = 0;
};
Seen seen;

qm::Status Scale(const double* x, int32_t n, double factor, double* out, double* sum,
                 int32_t* last_index) {
  ++seen.calls;
  seen.n = n;
  if (n < 1) return qm::kCountNotPositive;
  *sum = 0;
  for (int32_t i = 0; i < n; ++i) {
    out[i] = factor * x[i];
    *sum += out[i];
  }
  *last_index = n - 1;
  return qm::kSuccess;
}

qm::Status CallScale(const double* x, int64_t n, double factor, double* out, double* sum,
                     int64_t* last) {
  return Call(Scale, In(x), Size(n), factor, OutOr(out, x), Opt(sum), IndexOut(last));
}

TEST(Boundary, LargestThirtyTwoBitSizePassesAndOneMoreOverflows) {
  double x[1] = {1}, out[1] = {42}, sum = 7;
  int64_t last = 99;
  // 2147483647 passes the boundary: the routine is called with that count.
  // (The routine here only records the count; it would read past the arrays.)
  seen = {};
  EXPECT_EQ(Call(
                [](int32_t n) {
                  seen.n = n;
                  return qm::kSuccess;
                },
                Size(2147483647)),
            0);
  EXPECT_EQ(seen.n, 2147483647);

  seen = {};
  for (int64_t n : {int64_t{2147483648}, int64_t{-2147483649}, INT64_MAX, INT64_MIN}) {
    EXPECT_EQ(CallScale(x, n, 2.0, out, &sum, &last), qm::kOverflow) << n;
  }
  EXPECT_EQ(seen.calls, 0);
  EXPECT_EQ(out[0], 42);  // nothing written
  EXPECT_EQ(sum, 7);
  EXPECT_EQ(last, 99);
}

TEST(Boundary, NullRequiredPointersAreRejectedBeforeTheRoutine) {
  double x[2] = {1, 2}, out[2];
  int64_t last = 0;
  seen = {};
  EXPECT_EQ(CallScale(nullptr, 2, 2.0, out, nullptr, &last), qm::kNullPointer);
  EXPECT_EQ(CallScale(x, 2, 2.0, out, nullptr, nullptr), qm::kNullPointer);
  EXPECT_EQ(seen.calls, 0);
  // Narrowing comes first, even with a null pointer.
  EXPECT_EQ(CallScale(nullptr, int64_t{1} << 40, 2.0, out, nullptr, &last), qm::kOverflow);
}

TEST(Boundary, OptionalOutputsAndIndexWriteBack) {
  double x[3] = {1, 2, 3}, out[3] = {0, 0, 0};
  int64_t last = -7;
  EXPECT_EQ(CallScale(x, 3, 2.0, out, nullptr, &last), 0);  // declined sum
  EXPECT_EQ(out[2], 6);
  EXPECT_EQ(last, 2);
  EXPECT_EQ(x[2], 3);

  double sum = 0;
  EXPECT_EQ(CallScale(x, 3, 10.0, nullptr, &sum, &last), 0);  // in place
  EXPECT_EQ(x[0], 10);
  EXPECT_EQ(x[2], 30);
  EXPECT_EQ(sum, 60);

  // The routine fails before writing the index: the caller's value stays.
  last = 123;
  EXPECT_EQ(CallScale(x, 0, 1.0, out, &sum, &last), qm::kCountNotPositive);
  EXPECT_EQ(last, 123);
}

TEST(Boundary, IndexOutputsAreSignExtended) {
  int64_t index = 0;
  EXPECT_EQ(Call(
                [](int32_t* i) {
                  *i = -1;
                  return qm::kSuccess;
                },
                IndexOut(&index)),
            0);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(Call(
                [](int32_t* i) {
                  *i = INT32_MAX;
                  return qm::kSuccess;
                },
                IndexOut(&index)),
            0);
  EXPECT_EQ(index, INT32_MAX);
  // An optional index may be null.
  EXPECT_EQ(Call(
                [](int32_t* i) {
                  *i = 5;
                  return qm::kSuccess;
                },
                OptIndexOut(nullptr)),
            0);
}

TEST(Boundary, ElementwiseTwoDimensionalCounts) {
  auto count = [](int64_t rows, int64_t cols) {
    int32_t got = -1;
    const qm::Status s = Call(
        [&](int32_t n) {
          got = n;
          return qm::kSuccess;
        },
        Elements2D(rows, cols));
    return std::make_pair(s, got);
  };
  EXPECT_EQ(count(3, 4), std::make_pair(qm::kSuccess, 12));
  EXPECT_EQ(count(1, 2147483647), std::make_pair(qm::kSuccess, 2147483647));
  // Dimensions below 1 are caught before the product (which could be
  // positive for two negative dimensions).
  EXPECT_EQ(count(0, 5).first, qm::kCountNotPositive);
  EXPECT_EQ(count(-1, -1).first, qm::kCountNotPositive);
  EXPECT_EQ(count(5, 0).first, qm::kCountNotPositive);
  // A product beyond 32 bits is rejected rather than wrapped.
  EXPECT_EQ(count(65536, 65536).first, qm::kOverflow);
  EXPECT_EQ(count(46341, 46341).first, qm::kOverflow);
  EXPECT_EQ(count(46340, 46340), std::make_pair(qm::kSuccess, 46340 * 46340));
  // Each dimension is narrowed first.
  EXPECT_EQ(count(int64_t{1} << 32, 0).first, qm::kOverflow);
}

TEST(Boundary, CapacityInCountOut) {
  int64_t count = 10;
  EXPECT_EQ(Call(
                [](int32_t* c) {
                  *c -= 3;
                  return qm::kSuccess;
                },
                SizeInOut(&count)),
            0);
  EXPECT_EQ(count, 7);
  count = int64_t{1} << 31;
  EXPECT_EQ(Call([](int32_t*) { return qm::kSuccess; }, SizeInOut(&count)), qm::kOverflow);
  EXPECT_EQ(count, int64_t{1} << 31);
  EXPECT_EQ(Call([](int32_t*) { return qm::kSuccess; }, SizeInOut(nullptr)), qm::kNullPointer);
}

TEST(Boundary, RoutineStatusIsReturnedUnchanged) {
  for (qm::Status s : {qm::kSuccess, qm::kWarnSingular, qm::kAlgorithmFailure, qm::kOutOfMemory}) {
    EXPECT_EQ(Call([s](int32_t) { return s; }, Size(1)), s);
  }
}

TEST(Boundary, JudgedPositionsAreHandedOnNotNarrowed) {
  // In range: the value itself. Beyond 32 bits: a value the routine rejects
  // in its own order (an index as -1, a shift as INT32_MIN), never -20046.
  int32_t got = 0;
  auto take = [&got](int32_t v) {
    got = v;
    return qm::kSuccess;
  };
  for (int64_t v : {int64_t{0}, int64_t{-5}, int64_t{INT32_MAX}, int64_t{INT32_MIN}}) {
    EXPECT_EQ(Call(take, Index(v)), qm::kSuccess);
    EXPECT_EQ(got, v);
    EXPECT_EQ(Call(take, Shift(v)), qm::kSuccess);
    EXPECT_EQ(got, v);
  }
  for (int64_t v : {int64_t{1} << 31, -(int64_t{1} << 31) - 1, INT64_MAX, INT64_MIN}) {
    EXPECT_EQ(Call(take, Index(v)), qm::kSuccess);
    EXPECT_EQ(got, -1) << v;
    EXPECT_EQ(Call(take, Shift(v)), qm::kSuccess);
    EXPECT_EQ(got, INT32_MIN) << v;
  }
  // A 64-bit selector keeps its low word, sign included.
  for (auto [wide, low] : {std::pair<int64_t, int32_t>{5, 5},
                           {(int64_t{7} << 32) | 3, 3},
                           {int64_t{0xffffffff}, -1},
                           {-1, -1}}) {
    EXPECT_EQ(Call(take, LowWord(wide)), qm::kSuccess);
    EXPECT_EQ(got, low) << wide;
  }
}

TEST(Boundary, DimensionsFirstReportsSignBeforeWidth) {
  auto count = [](const double*, int32_t) { return qm::kSuccess; };
  const double x[1] = {0};
  const int64_t wide = int64_t{1} << 40;
  EXPECT_EQ(Call(count, In(x), Elements2D(0, wide)), qm::kOverflow);
  EXPECT_EQ(Call(count, In(x), Elements2D::SignFirst(0, wide)), qm::kCountNotPositive);
  EXPECT_EQ(Call(count, In(x), Elements2D::SignFirst(wide, 1)), qm::kOverflow);
  EXPECT_EQ(Call(count, In(x), Elements2D::SignFirst(1 << 16, 1 << 16)), qm::kOverflow);
  // Width before pointers in both forms.
  EXPECT_EQ(Call(count, In<double>(nullptr), Elements2D::SignFirst(wide, 1)), qm::kOverflow);
}

TEST(Boundary, PointerChecksWithCountsAndFamilyCodes) {
  constexpr qm::Status kBadRecord = qm::kBadIirRecord;
  int record = 0;
  double out[1];
  const double table[1] = {1};
  auto routine = [](const double*, int32_t, int*, double*) { return qm::kSuccess; };
  // A table read only for a positive count may be null otherwise.
  EXPECT_EQ(
      Call(routine, InIfCount<double>(nullptr, 0), Size(0), Out(&record, kBadRecord), Out(out)),
      qm::kSuccess);
  EXPECT_EQ(
      Call(routine, InIfCount<double>(nullptr, -3), Size(-3), Out(&record, kBadRecord), Out(out)),
      qm::kSuccess);
  EXPECT_EQ(
      Call(routine, InIfCount<double>(nullptr, 1), Size(1), Out(&record, kBadRecord), Out(out)),
      qm::kNullPointer);
  EXPECT_EQ(Call(routine, InIfCount(table, 1), Size(1), Out(&record, kBadRecord), Out(out)),
            qm::kSuccess);
  // A null record gives the family's code, but only after the plain
  // pointers and never before the narrowing.
  EXPECT_EQ(Call(routine, In(table), Size(1), Out<int>(nullptr, kBadRecord), Out(out)), kBadRecord);
  EXPECT_EQ(Call(routine, In(table), Size(1), Out<int>(nullptr, kBadRecord), Out<double>(nullptr)),
            qm::kNullPointer);
  EXPECT_EQ(
      Call(routine, In(table), Size(int64_t{1} << 32), Out<int>(nullptr, kBadRecord), Out(out)),
      qm::kOverflow);
}

struct Pair {
  double first, second;
};
void StorePair(const Pair& p, double* out) {
  out[0] = p.first;
  out[1] = p.second;
}

TEST(Boundary, RecordsAreStoredOnlyWhenTheRoutineWroteThem) {
  auto fill = [](int32_t mode, Pair* p) {
    if (mode == 0) return qm::kCountNotPositive;  // fails before writing
    *p = {1.5, std::numeric_limits<double>::quiet_NaN()};
    return mode == 1 ? qm::kSuccess : qm::kBadSelection;  // or fails after writing
  };
  double out[2] = {7, 8};
  EXPECT_EQ(Call(fill, 0, RecordOut<StorePair>(out)), qm::kCountNotPositive);
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(out[1], 8);
  EXPECT_EQ(Call(fill, 2, RecordOut<StorePair>(out)), qm::kBadSelection);
  EXPECT_EQ(out[0], 1.5);
  EXPECT_TRUE(std::isnan(out[1]));
  out[0] = 0;
  EXPECT_EQ(Call(fill, 1, OptRecordOut<StorePair>(out)), qm::kSuccess);
  EXPECT_EQ(out[0], 1.5);
  // Required records reject null; optional ones run the routine anyway.
  EXPECT_EQ(Call(fill, 1, RecordOut<StorePair>(nullptr)), qm::kNullPointer);
  EXPECT_EQ(Call(fill, 1, OptRecordOut<StorePair>(nullptr)), qm::kSuccess);
}

}  // namespace

namespace {

TEST(Boundary, Int32CopyNarrowsEachEntryAfterThePointerChecks) {
  int calls = 0;
  int32_t got[3] = {0, 0, 0};
  const auto routine = [&](const int32_t* v, int32_t n, double* out) {
    ++calls;
    for (int32_t i = 0; i < n; ++i) got[i] = v[i];
    *out = n;
    return qm::kSuccess;
  };
  double out = 0;
  const int64_t ok[3] = {-2147483648LL, 0, 2147483647};
  ASSERT_EQ(Call(routine, Int32Copy(ok, 3), Size(3), Out(&out)), 0);
  EXPECT_EQ(got[0], INT32_MIN);
  EXPECT_EQ(got[2], INT32_MAX);
  const int64_t wide[3] = {1, 2147483648LL, 3};
  EXPECT_EQ(Call(routine, Int32Copy(wide, 3), Size(3), Out(&out)), qm::kOverflow);
  // Null pointers come first, then the copy; the count is narrowed before all.
  EXPECT_EQ(Call(routine, Int32Copy(wide, 3), Size(3), Out<double>(nullptr)), qm::kNullPointer);
  EXPECT_EQ(Call(routine, Int32Copy(nullptr, 3), Size(3), Out(&out)), qm::kNullPointer);
  EXPECT_EQ(Call(routine, Int32Copy(nullptr, int64_t{1} << 32), Size(3), Out(&out)), qm::kOverflow);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(Call(routine, Int32Copy(ok, 3), Size(3), Out(&out)), qm::kOutOfMemory);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(calls, 1);
  // Nothing to copy for a count below 1: the routine judges the count.
  EXPECT_EQ(Call(routine, Int32Copy(ok, 0), Size(0), Out(&out)), 0);
  EXPECT_EQ(calls, 2);
}

}  // namespace
