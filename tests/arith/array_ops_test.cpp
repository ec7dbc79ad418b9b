// Array operations through their exports: random data against reference
// loops (separate and in-place outputs), the documented edge cases, and the
// boundary statuses shared by every array export.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "arith/array_ops.h"
#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSentinel = -12345.5;
constexpr int64_t kTooBig = int64_t{1} << 31;

std::vector<double> RandomArray(int n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-100.0, 100.0);
  std::vector<double> v(n);
  for (double& e : v) e = dist(gen);
  return v;
}

bool SameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// ---------------------------------------------------------------------------
// Two-operand element-wise exports, 1-D and 2-D.

struct Binary {
  const char* name;
  int32_t (*one)(const double*, const double*, int64_t, double*);
  int32_t (*two)(const double*, const double*, int64_t, int64_t, double*);
  double (*ref)(double, double);
};

const Binary kBinary[] = {
    {"add", ZMXFunc3, ZMXFunc4, [](double a, double b) { return a + b; }},
    {"subtract", ZMXFunc167, ZMXFunc168, [](double a, double b) { return a - b; }},
    {"multiply", ZMXFunc126, ZMXFunc127, [](double a, double b) { return a * b; }},
    {"divide", ZMXFunc57, ZMXFunc58, [](double a, double b) { return a / b; }},
};

TEST(ArrayBinary, MatchReferenceSeparateInPlaceAnd2D) {
  const int n = 1003;  // not a multiple of any vector width
  const std::vector<double> x = RandomArray(n, 1), y = RandomArray(n, 2);
  for (const Binary& op : kBinary) {
    SCOPED_TRACE(op.name);
    std::vector<double> want(n), z(n, kSentinel);
    for (int i = 0; i < n; ++i) want[i] = op.ref(x[i], y[i]);
    ASSERT_EQ(op.one(x.data(), y.data(), n, z.data()), 0);
    EXPECT_EQ(z, want);
    // Output over the first, then over the second operand.
    std::vector<double> a = x;
    ASSERT_EQ(op.one(a.data(), y.data(), n, a.data()), 0);
    EXPECT_EQ(a, want);
    std::vector<double> b = y;
    ASSERT_EQ(op.one(x.data(), b.data(), n, b.data()), 0);
    EXPECT_EQ(b, want);
    // 17 x 59 = 1003 elements.
    std::vector<double> m(n, kSentinel);
    ASSERT_EQ(op.two(x.data(), y.data(), 17, 59, m.data()), 0);
    EXPECT_EQ(m, want);
  }
}

TEST(ArrayBinary, BoundaryStatuses) {
  double x[2] = {1, 2}, y[2] = {3, 4};
  for (const Binary& op : kBinary) {
    SCOPED_TRACE(op.name);
    double z[2] = {kSentinel, kSentinel};
    EXPECT_EQ(op.one(x, y, 0, z), -20003);
    EXPECT_EQ(op.one(x, y, -1, z), -20003);
    EXPECT_EQ(op.one(x, y, kTooBig, z), -20046);
    EXPECT_EQ(op.one(nullptr, y, 2, z), -20008);
    EXPECT_EQ(op.one(x, nullptr, 2, z), -20008);
    EXPECT_EQ(op.one(x, y, 2, nullptr), -20008);
    EXPECT_EQ(op.two(x, y, 0, 2, z), -20003);
    EXPECT_EQ(op.two(x, y, 2, -3, z), -20003);
    EXPECT_EQ(op.two(x, y, kTooBig, 1, z), -20046);
    // Each dimension fits in 32 bits but the product does not: refused, not
    // wrapped (65536 * 65537 would wrap to 65536).
    EXPECT_EQ(op.two(x, y, 65536, 65537, z), -20046);
    EXPECT_EQ(z[0], kSentinel);
    EXPECT_EQ(z[1], kSentinel);
  }
  // The 2-D divide reports dimensions below 1 before narrowing them.
  EXPECT_EQ(ZMXFunc58(x, y, 0, kTooBig, x), -20003);
  EXPECT_EQ(ZMXFunc4(x, y, 0, kTooBig, x), -20046);
}

TEST(ArrayDivide, StopsAtFirstZeroDivisor) {
  const double x[3] = {6, 8, 10};
  for (double zero : {0.0, -0.0}) {
    const double y[3] = {2, zero, 1};
    double z[3] = {kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(ZMXFunc57(x, y, 3, z), -20060);
    EXPECT_EQ(z[0], 3.0);
    EXPECT_EQ(z[1], kSentinel);
    EXPECT_EQ(z[2], kSentinel);
    double m[3] = {kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(ZMXFunc58(x, y, 1, 3, m), -20060);
    EXPECT_EQ(m[0], 3.0);
    EXPECT_EQ(m[1], kSentinel);
  }
  const double nanDivisor[2] = {kNaN, 2};  // a NaN divisor is not zero
  double z[2];
  EXPECT_EQ(ZMXFunc57(x, nanDivisor, 2, z), 0);
  EXPECT_TRUE(std::isnan(z[0]));
  EXPECT_EQ(z[1], 4.0);
}

// ---------------------------------------------------------------------------
// One-operand exports with an optional output.

struct Unary {
  const char* name;
  std::function<int32_t(const double*, int64_t, double*)> call;
  std::function<double(const std::vector<double>&, int)> ref;  // element i of the result
};

std::vector<Unary> UnaryOps() {
  return {
      {"abs", ZMXFunc1, [](const std::vector<double>& x, int i) { return std::fabs(x[i]); }},
      {"negate", ZMXFunc128, [](const std::vector<double>& x, int i) { return -x[i]; }},
      {"reverse", ZMXFunc149,
       [](const std::vector<double>& x, int i) { return x[x.size() - 1 - i]; }},
      {"clip", [](const double* x, int64_t n, double* o) { return ZMXFunc30(x, n, 50, -25, o); },
       [](const std::vector<double>& x, int i) { return std::clamp(x[i], -25.0, 50.0); }},
      {"scale offset",
       [](const double* x, int64_t n, double* o) { return ZMXFunc115(x, n, -1.5, 3, o); },
       [](const std::vector<double>& x, int i) { return -1.5 * x[i] + 3; }},
      {"scale offset 2D",
       [](const double* x, int64_t n, double* o) { return ZMXFunc116(x, 1, n, -1.5, 3, o); },
       [](const std::vector<double>& x, int i) { return -1.5 * x[i] + 3; }},
      {"shift +7", [](const double* x, int64_t n, double* o) { return ZMXFunc156(x, n, 7, o); },
       [](const std::vector<double>& x, int i) { return i < 7 ? 0.0 : x[i - 7]; }},
      {"shift -7", [](const double* x, int64_t n, double* o) { return ZMXFunc156(x, n, -7, o); },
       [](const std::vector<double>& x, int i) {
         return i + 7 < static_cast<int>(x.size()) ? x[i + 7] : 0.0;
       }},
  };
}

TEST(ArrayUnary, SeparateNullAndSameOutput) {
  for (int n : {7, 8, 1001}) {
    const std::vector<double> x = RandomArray(n, 10 + n);
    for (const Unary& op : UnaryOps()) {
      SCOPED_TRACE(std::string(op.name) + " n=" + std::to_string(n));
      std::vector<double> want(n);
      for (int i = 0; i < n; ++i) want[i] = op.ref(x, i);
      std::vector<double> out(n, kSentinel);
      ASSERT_EQ(op.call(x.data(), n, out.data()), 0);
      EXPECT_EQ(out, want);
      std::vector<double> a = x;
      ASSERT_EQ(op.call(a.data(), n, nullptr), 0);  // null: in place
      EXPECT_EQ(a, want);
      std::vector<double> b = x;
      ASSERT_EQ(op.call(b.data(), n, b.data()), 0);  // out == x
      EXPECT_EQ(b, want);
    }
  }
}

TEST(ArrayUnary, BoundaryStatuses) {
  double x[2] = {1, 2};
  for (const Unary& op : UnaryOps()) {
    SCOPED_TRACE(op.name);
    double out[2] = {kSentinel, kSentinel};
    EXPECT_EQ(op.call(x, 0, out), -20003);
    EXPECT_EQ(op.call(x, -5, out), -20003);
    EXPECT_EQ(op.call(x, kTooBig, out), -20046);
    EXPECT_EQ(op.call(nullptr, 2, out), -20008);
    EXPECT_EQ(out[0], kSentinel);
    EXPECT_EQ(x[0], 1.0);
  }
}

TEST(ArrayAbs, ClearsTheSignBitOnly) {
  const double payloadNaN = std::bit_cast<double>(uint64_t{0xFFF8'0000'0000'1234});
  const double x[4] = {-0.0, -3.5, payloadNaN, -std::numeric_limits<double>::infinity()};
  double out[4];
  ASSERT_EQ(ZMXFunc1(x, 4, out), 0);
  EXPECT_TRUE(SameBits(out[0], 0.0));
  EXPECT_EQ(out[1], 3.5);
  EXPECT_EQ(std::bit_cast<uint64_t>(out[2]), uint64_t{0x7FF8'0000'0000'1234});
  EXPECT_EQ(out[3], std::numeric_limits<double>::infinity());
}

TEST(ArrayNegate, SignedZeros) {
  const double x[2] = {0.0, -0.0};
  double out[2];
  ASSERT_EQ(ZMXFunc128(x, 2, out), 0);
  EXPECT_TRUE(SameBits(out[0], -0.0));
  EXPECT_TRUE(SameBits(out[1], 0.0));
}

TEST(ArrayClip, BoundsAndNaN) {
  const double x[4] = {-5, 0.5, kNaN, 9};
  double out[4];
  ASSERT_EQ(ZMXFunc30(x, 4, 2.0, 2.0, out), 0);  // lower = upper
  EXPECT_EQ(out[0], 2.0);
  EXPECT_EQ(out[1], 2.0);
  EXPECT_TRUE(std::isnan(out[2]));  // copied unchanged
  EXPECT_EQ(out[3], 2.0);
  out[0] = kSentinel;
  EXPECT_EQ(ZMXFunc30(x, 4, 1.0, 2.0, out), -20019);
  EXPECT_EQ(ZMXFunc30(x, 4, kNaN, 0.0, out), -20019);  // a NaN bound clips nothing
  EXPECT_EQ(ZMXFunc30(x, 4, 1.0, kNaN, out), -20019);
  EXPECT_EQ(ZMXFunc30(x, 0, 1.0, 2.0, out), -20003);  // count first
  EXPECT_EQ(out[0], kSentinel);
}

TEST(ArrayShift, EdgesAndRefusals) {
  const double x[4] = {1, 2, 3, 4};
  for (int64_t s : {int64_t{4}, int64_t{-4}}) {
    double out[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
    ASSERT_EQ(ZMXFunc156(x, 4, s, out), 0);
    for (double v : out) EXPECT_EQ(v, 0.0);
  }
  double out[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
  ASSERT_EQ(ZMXFunc156(x, 4, 0, out), 0);
  EXPECT_EQ(out[3], 4.0);
  out[0] = kSentinel;
  for (int64_t s : {int64_t{5}, int64_t{-5}, kTooBig, -kTooBig, INT64_MIN,
                    int64_t{std::numeric_limits<int32_t>::min()}}) {
    SCOPED_TRACE(s);
    EXPECT_EQ(ZMXFunc156(x, 4, s, out), -20102);
  }
  EXPECT_EQ(out[0], kSentinel);
  EXPECT_EQ(ZMXFunc156(x, 0, kTooBig, out), -20003);
}

TEST(ArraySubset, ChecksInOrder) {
  const double x[5] = {0, 1, 2, 3, 4};
  double out[5] = {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel};
  ASSERT_EQ(ZMXFunc169(x, 5, 2, 3, out), 0);  // index + length = n is accepted
  EXPECT_EQ(out[0], 2.0);
  EXPECT_EQ(out[2], 4.0);
  EXPECT_EQ(out[3], kSentinel);
  struct Case {
    int64_t n, index, length;
    int32_t status;
  };
  const Case cases[] = {
      {5, 2, 4, -20018},       {5, 5, 1, -20017},          {5, -1, 1, -20017},
      {5, 0, 0, -20003},       {0, 9, 0, -20003},          {5, kTooBig, 1, -20017},
      {5, -kTooBig, 1, -20017}, {5, 0, kTooBig, -20046},   {kTooBig, 0, 1, -20046},
      {5, 4, 2147483647, -20018},  // index + length overflows 32 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.n << " " << c.index << " " << c.length);
    double o[1] = {kSentinel};
    EXPECT_EQ(ZMXFunc169(x, c.n, c.index, c.length, o), c.status);
    EXPECT_EQ(o[0], kSentinel);
  }
}

TEST(ArrayFillClearCopy, WriteEveryElement) {
  std::vector<double> x(37, kSentinel);
  ASSERT_EQ(ZMXFunc155(x.data(), 37, -0.25), 0);
  for (double v : x) EXPECT_EQ(v, -0.25);
  x.assign(37, -0.0);
  ASSERT_EQ(ZMXFunc29(x.data(), 37), 0);
  for (double v : x) EXPECT_TRUE(SameBits(v, 0.0));  // +0, not -0
  const std::vector<double> src = RandomArray(37, 5);
  std::vector<double> dst(37);
  ASSERT_EQ(ZMXFunc34(src.data(), 37, dst.data()), 0);
  EXPECT_EQ(dst, src);
  EXPECT_EQ(ZMXFunc29(nullptr, 3), -20008);
  EXPECT_EQ(ZMXFunc155(x.data(), 0, 1.0), -20003);
  EXPECT_EQ(ZMXFunc34(src.data(), 37, nullptr), -20008);
}

TEST(ArrayCopyAndShift, OverlappingBlocks) {
  std::vector<double> v = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZMXFunc34(v.data(), 4, v.data() + 2), 0);  // forward overlap
  EXPECT_EQ(v, (std::vector<double>{1, 2, 1, 2, 3, 4}));
  v = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZMXFunc156(v.data(), 6, 2, nullptr), 0);
  EXPECT_EQ(v, (std::vector<double>{0, 0, 1, 2, 3, 4}));
  v = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZMXFunc156(v.data(), 6, -2, nullptr), 0);
  EXPECT_EQ(v, (std::vector<double>{3, 4, 5, 6, 0, 0}));
}

// ---------------------------------------------------------------------------
// Reductions.

TEST(ArrayReductions, SumAndProductInIndexOrder) {
  const int n = 1001;
  const std::vector<double> x = RandomArray(n, 7);
  double want = 0.0;
  for (double v : x) want += v;
  double sum = kSentinel;
  ASSERT_EQ(ZMXFunc170(x.data(), n, &sum), 0);
  EXPECT_EQ(sum, want);  // same order as the plain loop: bit-identical
  ASSERT_EQ(ZMXFunc171(x.data(), 7, 143, &sum), 0);
  EXPECT_EQ(sum, want);
  // Left to right: (1e16 + 1) + 1 - 1e16 loses both ones, a pairwise or
  // reordered sum would not.
  const double order[4] = {1e16, 1.0, 1.0, -1e16};
  ASSERT_EQ(ZMXFunc170(order, 4, &sum), 0);
  EXPECT_EQ(sum, 0.0);

  const double f[5] = {1.5, -2, 4, 0.5, 3};
  double product = kSentinel;
  ASSERT_EQ(ZMXFunc140(f, 5, &product), 0);
  EXPECT_EQ(product, -18.0);
  ASSERT_EQ(ZMXFunc140(f, 1, &product), 0);
  EXPECT_EQ(product, 1.5);

  EXPECT_EQ(ZMXFunc170(x.data(), 0, &sum), -20003);
  EXPECT_EQ(ZMXFunc170(x.data(), 3, nullptr), -20008);
  EXPECT_EQ(ZMXFunc171(x.data(), 65536, 65536, &sum), -20046);
  EXPECT_EQ(ZMXFunc140(x.data(), -1, &product), -20003);
  EXPECT_EQ(product, 1.5);
}

TEST(ArrayMaxMin1D, NaNSkippingAndFirstOccurrence) {
  struct Case {
    std::vector<double> x;
    double max;
    int64_t maxIndex;
    double min;
    int64_t minIndex;
  };
  const Case cases[] = {
      {{kNaN, 3, 1, 3, 1}, 3, 1, 1, 2},
      {{2, 2, 2}, 2, 0, 2, 0},
      {{5, kNaN, -1, 7, -1}, 7, 3, -1, 2},
      {{-0.0, 0.0}, -0.0, 0, -0.0, 0},  // zeros compare equal: first wins
      {{4}, 4, 0, 4, 0},
      {{kNaN, kNaN}, kNaN, -1, kNaN, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.x));
    double max = kSentinel, min = kSentinel;
    int64_t maxIndex = 99, minIndex = 99;
    ASSERT_EQ(ZMXFunc120(c.x.data(), c.x.size(), &max, &maxIndex, &min, &minIndex), 0);
    EXPECT_TRUE(SameBits(max, c.max) || (std::isnan(max) && std::isnan(c.max)));
    EXPECT_TRUE(SameBits(min, c.min) || (std::isnan(min) && std::isnan(c.min)));
    EXPECT_EQ(maxIndex, c.maxIndex);
    EXPECT_EQ(minIndex, c.minIndex);
  }
  // Against a reference search on random data.
  const std::vector<double> x = RandomArray(5000, 3);
  double max, min;
  int64_t maxIndex, minIndex;
  ASSERT_EQ(ZMXFunc120(x.data(), x.size(), &max, &maxIndex, &min, &minIndex), 0);
  const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
  EXPECT_EQ(max, *hi);
  EXPECT_EQ(maxIndex, hi - x.begin());
  EXPECT_EQ(min, *lo);
  EXPECT_EQ(minIndex, lo - x.begin());

  int64_t untouched = 42;
  EXPECT_EQ(ZMXFunc120(x.data(), 0, &max, &untouched, &min, &minIndex), -20003);
  EXPECT_EQ(untouched, 42);
  EXPECT_EQ(ZMXFunc120(x.data(), 3, &max, nullptr, &min, &minIndex), -20008);
}

TEST(ArrayMaxMin2D, RowAndColumnIndexes) {
  // 2 x 3: min at (0, 1), max at (1, 2).
  const double x[6] = {4, -2, kNaN, 0, -2, 9};
  double max, min;
  int64_t maxRow, maxCol, minRow, minCol;
  ASSERT_EQ(ZMXFunc121(x, 2, 3, &max, &maxRow, &maxCol, &min, &minRow, &minCol), 0);
  EXPECT_EQ(max, 9.0);
  EXPECT_EQ(maxRow, 1);
  EXPECT_EQ(maxCol, 2);
  EXPECT_EQ(min, -2.0);
  EXPECT_EQ(minRow, 0);
  EXPECT_EQ(minCol, 1);

  const double allNaN[4] = {kNaN, kNaN, kNaN, kNaN};
  ASSERT_EQ(ZMXFunc121(allNaN, 2, 2, &max, &maxRow, &maxCol, &min, &minRow, &minCol), 0);
  EXPECT_TRUE(std::isnan(max) && std::isnan(min));
  EXPECT_EQ(maxRow, -1);
  EXPECT_EQ(minCol, -1);

  // The index outputs are set to -1 before the dimensions are checked.
  maxRow = maxCol = minRow = minCol = 7;
  EXPECT_EQ(ZMXFunc121(x, 0, 3, &max, &maxRow, &maxCol, &min, &minRow, &minCol), -20003);
  EXPECT_EQ(maxRow, -1);
  EXPECT_EQ(minCol, -1);
  EXPECT_EQ(ZMXFunc121(x, 65536, 65536, &max, &maxRow, &maxCol, &min, &minRow, &minCol), -20046);
  // Narrowing comes before anything is written.
  maxRow = 7;
  EXPECT_EQ(ZMXFunc121(x, kTooBig, 3, &max, &maxRow, &maxCol, &min, &minRow, &minCol), -20046);
  EXPECT_EQ(maxRow, 7);
}

// ---------------------------------------------------------------------------
// Internal helpers.

TEST(ArrayHelpers, FirstDifferenceInPlace) {
  std::vector<double> x = {1, 4, 9, 16};
  std::vector<double> d(3);
  ASSERT_EQ(qm::ArrayFirstDifference(x.data(), 4, d.data()), 0);
  EXPECT_EQ(d, (std::vector<double>{3, 5, 7}));
  ASSERT_EQ(qm::ArrayFirstDifference(x.data(), 4, x.data()), 0);
  EXPECT_EQ(x[0], 3.0);
  EXPECT_EQ(x[2], 7.0);
  EXPECT_EQ(qm::ArrayFirstDifference(x.data(), 1, d.data()), 0);  // no outputs
  EXPECT_EQ(qm::ArrayFirstDifference(x.data(), 0, d.data()), qm::kCountNotPositive);
  EXPECT_EQ(qm::MaxAbs(std::vector<double>{kNaN, -3, 2}.data(), 3), 3.0);
}

TEST(ArrayHelpers, NoScratchMemory) {
  // Every element-wise operation runs with the workspace refusing memory.
  std::vector<double> x = RandomArray(64, 9), y = RandomArray(64, 10), z(64);
  double s;
  int64_t i, j;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc3(x.data(), y.data(), 64, z.data()), 0);
  EXPECT_EQ(ZMXFunc149(x.data(), 64, nullptr), 0);
  EXPECT_EQ(ZMXFunc156(x.data(), 64, 3, nullptr), 0);
  EXPECT_EQ(ZMXFunc170(x.data(), 64, &s), 0);
  EXPECT_EQ(ZMXFunc120(x.data(), 64, &s, &i, &s, &j), 0);
  qm::SetWorkspaceFailureCountdown(0);
}

}  // namespace
