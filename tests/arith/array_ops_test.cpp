// Array exports: random data against reference loops (separate, null and
// same-array outputs), the documented edge cases, and the boundary statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "arith/array_ops.h"
#include "qmanlys.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSentinel = -12345.5;
constexpr int64_t kTooBig = int64_t{1} << 31;
using Vec = std::vector<double>;

Vec RandomArray(int n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-100.0, 100.0);
  Vec v(n);
  for (double& e : v) e = dist(gen);
  return v;
}

uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

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

TEST(ArrayBinary, MatchReferenceInEveryOutputForm) {
  const int n = 1003;  // 17 x 59, not a multiple of any vector width
  const Vec x = RandomArray(n, 1), y = RandomArray(n, 2);
  for (const Binary& op : kBinary) {
    SCOPED_TRACE(op.name);
    Vec want(n), z(n, kSentinel), a = x, b = y, m(n);
    for (int i = 0; i < n; ++i) want[i] = op.ref(x[i], y[i]);
    ASSERT_EQ(op.one(x.data(), y.data(), n, z.data()), 0);
    ASSERT_EQ(op.one(a.data(), y.data(), n, a.data()), 0);  // over the first operand
    ASSERT_EQ(op.one(x.data(), b.data(), n, b.data()), 0);  // over the second
    ASSERT_EQ(op.two(x.data(), y.data(), 17, 59, m.data()), 0);
    EXPECT_EQ(z, want);
    EXPECT_EQ(a, want);
    EXPECT_EQ(b, want);
    EXPECT_EQ(m, want);
    // 65536 x 65537 fits each dimension but wraps the product: refused.
    EXPECT_EQ(op.two(x.data(), y.data(), 65536, 65537, z.data()), -20046);
    EXPECT_EQ(op.two(x.data(), y.data(), 2, -3, z.data()), -20003);
  }
  EXPECT_EQ(ZMXFunc58(x.data(), y.data(), 0, kTooBig, nullptr), -20003);  // before narrowing
}

TEST(ArrayDivide, StopsAtFirstZeroDivisor) {
  const double x[3] = {6, 8, 10};
  for (double zero : {0.0, -0.0}) {
    const double y[3] = {2, zero, 1};
    double z[3] = {kSentinel, kSentinel, kSentinel}, m[3] = {kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(ZMXFunc57(x, y, 3, z), -20060);
    EXPECT_EQ(ZMXFunc58(x, y, 1, 3, m), -20060);
    EXPECT_EQ(Vec(z, z + 3), (Vec{3, kSentinel, kSentinel}));
    EXPECT_EQ(Vec(m, m + 3), (Vec{3, kSentinel, kSentinel}));
  }
  const double nanDivisor[2] = {kNaN, 2};  // NaN is not zero
  double z[2];
  EXPECT_EQ(ZMXFunc57(x, nanDivisor, 2, z), 0);
  EXPECT_EQ(z[1], 4.0);
}

// One-operand exports with an optional output.
struct Unary {
  const char* name;
  std::function<int32_t(const double*, int64_t, double*)> call;
  std::function<double(const Vec&, int)> ref;  // element i of the result
};
std::vector<Unary> UnaryOps() {
  const auto at = [](const Vec& x, int i) { return i >= 0 && i < int(x.size()) ? x[i] : 0.0; };
  return {
      {"abs", ZMXFunc1, [](const Vec& x, int i) { return std::fabs(x[i]); }},
      {"negate", ZMXFunc128, [](const Vec& x, int i) { return -x[i]; }},
      {"reverse", ZMXFunc149, [](const Vec& x, int i) { return x[x.size() - 1 - i]; }},
      {"clip", [](const double* x, int64_t n, double* o) { return ZMXFunc30(x, n, 50, -25, o); },
       [](const Vec& x, int i) { return std::clamp(x[i], -25.0, 50.0); }},
      {"scale offset",
       [](const double* x, int64_t n, double* o) { return ZMXFunc115(x, n, -1.5, 3, o); },
       [](const Vec& x, int i) { return -1.5 * x[i] + 3; }},
      {"scale offset 2D",
       [](const double* x, int64_t n, double* o) { return ZMXFunc116(x, 1, n, -1.5, 3, o); },
       [](const Vec& x, int i) { return -1.5 * x[i] + 3; }},
      {"shift +7", [](const double* x, int64_t n, double* o) { return ZMXFunc156(x, n, 7, o); },
       [at](const Vec& x, int i) { return at(x, i - 7); }},
      {"shift -7", [](const double* x, int64_t n, double* o) { return ZMXFunc156(x, n, -7, o); },
       [at](const Vec& x, int i) { return at(x, i + 7); }},
      {"copy", ZMXFunc34, [](const Vec& x, int i) { return x[i]; }},
  };
}

TEST(ArrayUnary, SeparateNullAndSameOutputAndStatuses) {
  for (const Unary& op : UnaryOps()) {
    for (int n : {7, 8, 1001}) {  // n = 7: a shift of 7 leaves only zeros
      SCOPED_TRACE(testing::Message() << op.name << " n=" << n);
      const Vec x = RandomArray(n, 10 + n);
      Vec want(n), out(n, kSentinel), a = x, b = x;
      for (int i = 0; i < n; ++i) want[i] = op.ref(x, i);
      ASSERT_EQ(op.call(x.data(), n, out.data()), 0);
      EXPECT_EQ(out, want);
      if (op.name != std::string("copy")) {  // the only output that is required
        ASSERT_EQ(op.call(a.data(), n, nullptr), 0);
        EXPECT_EQ(a, want);
      }
      ASSERT_EQ(op.call(b.data(), n, b.data()), 0);
      EXPECT_EQ(b, want);
    }
    double x[2] = {1, 2}, out[2] = {kSentinel, kSentinel};
    EXPECT_EQ(op.call(x, 0, out), -20003);
    EXPECT_EQ(op.call(x, -5, out), -20003);
    EXPECT_EQ(op.call(x, kTooBig, out), -20046);
    EXPECT_EQ(op.call(nullptr, 2, out), -20008);
    EXPECT_EQ(out[0], kSentinel);
  }
}

TEST(ArrayUnary, SignBitsNaNAndBounds) {
  const double payloadNaN = std::bit_cast<double>(uint64_t{0xFFF8'0000'0000'1234});
  const double x[3] = {-0.0, payloadNaN, 0.0};
  double out[3];
  ASSERT_EQ(ZMXFunc1(x, 3, out), 0);
  EXPECT_EQ(Bits(out[0]), Bits(0.0));
  EXPECT_EQ(Bits(out[1]), uint64_t{0x7FF8'0000'0000'1234});  // payload kept, sign cleared
  ASSERT_EQ(ZMXFunc128(x, 3, out), 0);
  EXPECT_EQ(Bits(out[0]), Bits(0.0));
  EXPECT_EQ(Bits(out[2]), Bits(-0.0));
  const double c[3] = {-5, kNaN, 9};
  ASSERT_EQ(ZMXFunc30(c, 3, 2.0, 2.0, out), 0);  // lower = upper
  EXPECT_EQ(out[0], 2.0);
  EXPECT_TRUE(std::isnan(out[1]));  // copied
  EXPECT_EQ(out[2], 2.0);
  EXPECT_EQ(ZMXFunc30(c, 3, 1.0, 2.0, out), -20019);
  EXPECT_EQ(ZMXFunc30(c, 3, kNaN, 0.0, out), -20019);  // a NaN bound would clip nothing
  EXPECT_EQ(ZMXFunc30(c, 0, 1.0, 2.0, out), -20003);
}

TEST(ArrayShiftAndSubset, LimitsAndOverlap) {
  const double x[5] = {0, 1, 2, 3, 4};
  double out[5] = {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel};
  for (int64_t s : {5, -5}) {
    ASSERT_EQ(ZMXFunc156(x, 5, s, out), 0);
    EXPECT_EQ(Vec(out, out + 5), Vec(5, 0.0));
  }
  for (int64_t s : {int64_t{6}, int64_t{-6}, kTooBig, -kTooBig, INT64_MIN, int64_t{INT32_MIN}}) {
    EXPECT_EQ(ZMXFunc156(x, 5, s, out), -20102) << s;
  }
  Vec v = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZMXFunc34(v.data(), 4, v.data() + 2), 0);  // overlapping copy
  EXPECT_EQ(v, (Vec{1, 2, 1, 2, 3, 4}));

  ASSERT_EQ(ZMXFunc169(x, 5, 2, 3, out), 0);  // index + length = n is accepted
  EXPECT_EQ(Vec(out, out + 3), (Vec{2, 3, 4}));
  struct Case {
    int64_t n, index, length;
    int32_t status;
  };
  const Case cases[] = {{5, 2, 4, -20018},       {5, 5, 1, -20017},        {5, -1, 1, -20017},
                        {5, 0, 0, -20003},       {0, 9, 0, -20003},        {5, kTooBig, 1, -20017},
                        {5, 0, kTooBig, -20046}, {5, 4, INT32_MAX, -20018}};  // last: 32-bit wrap
  for (const Case& c : cases) {
    double o = kSentinel;
    EXPECT_EQ(ZMXFunc169(x, c.n, c.index, c.length, &o), c.status) << c.index << " " << c.length;
    EXPECT_EQ(o, kSentinel);
  }
}

TEST(ArrayFillClear, EveryElement) {
  Vec x(37, -0.0);
  ASSERT_EQ(ZMXFunc29(x.data(), 37), 0);
  for (double v : x) EXPECT_EQ(Bits(v), Bits(0.0));
  ASSERT_EQ(ZMXFunc155(x.data(), 37, -0.25), 0);
  EXPECT_EQ(x, Vec(37, -0.25));
  EXPECT_EQ(ZMXFunc29(nullptr, 3), -20008);
  EXPECT_EQ(ZMXFunc155(x.data(), 0, 1.0), -20003);
}

TEST(ArrayReductions, SumAndProductInIndexOrder) {
  const Vec x = RandomArray(1001, 7);
  double want = 0.0, sum = kSentinel, product = kSentinel;
  for (double v : x) want += v;
  ASSERT_EQ(ZMXFunc170(x.data(), 1001, &sum), 0);
  EXPECT_EQ(sum, want);  // same order as the plain loop: bit-identical
  ASSERT_EQ(ZMXFunc171(x.data(), 7, 143, &sum), 0);
  EXPECT_EQ(sum, want);
  const double order[4] = {1e16, 1.0, 1.0, -1e16};  // left to right loses both ones
  ASSERT_EQ(ZMXFunc170(order, 4, &sum), 0);
  EXPECT_EQ(sum, 0.0);
  const double f[5] = {1.5, -2, 4, 0.5, 3};
  ASSERT_EQ(ZMXFunc140(f, 5, &product), 0);
  EXPECT_EQ(product, -18.0);
  EXPECT_EQ(ZMXFunc170(x.data(), 3, nullptr), -20008);
  EXPECT_EQ(ZMXFunc171(x.data(), 65536, 65536, &sum), -20046);
  EXPECT_EQ(ZMXFunc140(x.data(), -1, &product), -20003);
}

TEST(ArrayMaxMin, NaNSkippingFirstOccurrenceAndMatrixIndexes) {
  struct Case {
    Vec x;
    double max;
    int64_t max_index;
    double min;
    int64_t min_index;
  };
  const Case cases[] = {{{kNaN, 3, 1, 3, 1}, 3, 1, 1, 2},
                        {{2, 2, 2}, 2, 0, 2, 0},
                        {{5, kNaN, -1, 7, -1}, 7, 3, -1, 2},
                        {{4}, 4, 0, 4, 0},
                        {{kNaN, kNaN}, kNaN, -1, kNaN, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.x));
    double max, min;
    int64_t maxIndex = 99, minIndex = 99;
    ASSERT_EQ(ZMXFunc120(c.x.data(), c.x.size(), &max, &maxIndex, &min, &minIndex), 0);
    EXPECT_TRUE(max == c.max || (std::isnan(max) && std::isnan(c.max)));
    EXPECT_TRUE(min == c.min || (std::isnan(min) && std::isnan(c.min)));
    EXPECT_EQ(maxIndex, c.max_index);
    EXPECT_EQ(minIndex, c.min_index);
  }
  const Vec x = RandomArray(5000, 3);
  double max, min;
  int64_t maxIndex, minIndex = 42;
  ASSERT_EQ(ZMXFunc120(x.data(), x.size(), &max, &maxIndex, &min, &minIndex), 0);
  const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
  EXPECT_EQ(maxIndex, hi - x.begin());
  EXPECT_EQ(minIndex, lo - x.begin());
  EXPECT_EQ(ZMXFunc120(x.data(), 3, &max, nullptr, &min, &minIndex), -20008);

  // 2 x 3: min at (0, 1), max at (1, 2).
  const double m[6] = {4, -2, kNaN, 0, -2, 9};
  int64_t r[4];
  ASSERT_EQ(ZMXFunc121(m, 2, 3, &max, &r[0], &r[1], &min, &r[2], &r[3]), 0);
  EXPECT_EQ(max, 9.0);
  EXPECT_EQ(min, -2.0);
  EXPECT_EQ(std::vector<int64_t>(r, r + 4), (std::vector<int64_t>{1, 2, 0, 1}));
  const double allNaN[2] = {kNaN, kNaN};
  ASSERT_EQ(ZMXFunc121(allNaN, 1, 2, &max, &r[0], &r[1], &min, &r[2], &r[3]), 0);
  EXPECT_EQ(std::vector<int64_t>(r, r + 4), std::vector<int64_t>(4, -1));
  // Index outputs are set to -1 before the dimensions are checked, but not
  // before narrowing.
  std::fill(r, r + 4, 7);
  EXPECT_EQ(ZMXFunc121(m, kTooBig, 3, &max, &r[0], &r[1], &min, &r[2], &r[3]), -20046);
  EXPECT_EQ(r[0], 7);
  EXPECT_EQ(ZMXFunc121(m, 0, 3, &max, &r[0], &r[1], &min, &r[2], &r[3]), -20003);
  EXPECT_EQ(r[0], -1);
  EXPECT_EQ(ZMXFunc121(m, 65536, 65536, &max, &r[0], &r[1], &min, &r[2], &r[3]), -20046);
}

TEST(ArrayHelpers, FirstDifferenceInPlace) {
  Vec x = {1, 4, 9, 16};
  ASSERT_EQ(qm::arith::ArrayFirstDifference(x.data(), 4, x.data()), 0);
  EXPECT_EQ(Vec(x.begin(), x.begin() + 3), (Vec{3, 5, 7}));
  EXPECT_EQ(qm::arith::ArrayFirstDifference(x.data(), 1, nullptr), 0);  // no outputs
  EXPECT_EQ(qm::arith::ArrayFirstDifference(x.data(), 0, x.data()), qm::kCountNotPositive);
}

}  // namespace
