// Cosine and sine transforms: long-double direct sums over many lengths
// (even, odd, primes, padded, truncated), SciPy golden values, round trips,
// closed forms, the 2-D transforms and the status codes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "frame/status.h"
#include "frame/workspace.h"
#include "more_golden.h"
#include "qmanlys.h"

namespace {

using fft_test::ExpectNearVec;
using fft_test::MoreGold;
using fft_test::SeqX;
using fft_test::Vec;

constexpr long double kPiL = std::numbers::pi_v<long double>;
constexpr int64_t kTooBig = int64_t{1} << 32;

// cos and sin of 2π·t/turn in long double, for t < turn (the direct sums
// index them with exact integer products instead of calling cosl m² times).
struct Circle {
  explicit Circle(long turn) : turn(turn), c(turn), s(turn) {
    for (long t = 0; t < turn; ++t) {
      c[t] = cosl(2 * kPiL * t / turn);
      s[t] = sinl(2 * kPiL * t / turn);
    }
  }
  long turn;
  std::vector<long double> c, s;
};

// The defining sums in long double over the first min(n, m) inputs.
std::vector<long double> DirectDct(const Vec& x, int m) {
  const Circle circle(4L * m);  // π·k(2j + 1)/(2m) = 2π·k(2j + 1)/(4m)
  std::vector<long double> y(m);
  const int used = std::min<int>(x.size(), m);
  for (int k = 0; k < m; ++k) {
    long double s = 0;
    for (int j = 0; j < used; ++j) s += x[j] * circle.c[(long(k) * (2 * j + 1)) % circle.turn];
    y[k] = s * sqrtl((k == 0 ? 1.0L : 2.0L) / m);
  }
  return y;
}
std::vector<long double> DirectInverseDct(const Vec& x) {
  const int n = x.size();
  const Circle circle(4L * n);
  std::vector<long double> y(n);
  for (int j = 0; j < n; ++j) {
    long double s = 0;
    for (int k = 0; k < n; ++k)
      s += sqrtl((k == 0 ? 1.0L : 2.0L) / n) * x[k] *
           circle.c[(long(k) * (2 * j + 1)) % circle.turn];
    y[j] = s;
  }
  return y;
}
std::vector<long double> DirectDst(const Vec& x, int m, long double factor) {
  const Circle circle(2L * m + 2);  // π·(j + 1)(k + 1)/(m + 1)
  std::vector<long double> y(m);
  const int used = std::min<int>(x.size(), m);
  for (int k = 0; k < m; ++k) {
    long double s = 0;
    for (int j = 0; j < used; ++j) s += x[j] * circle.s[(long(j + 1) * (k + 1)) % circle.turn];
    y[k] = s * factor;
  }
  return y;
}

// rms(got − want)/rms(want) below 5·ε·log2(2L), L the FFT length.
void ExpectRmsClose(const Vec& got, const std::vector<long double>& want, long plan_length,
                    const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  long double err = 0, ref = 0;
  for (size_t i = 0; i < want.size(); ++i) {
    err += (got[i] - want[i]) * (got[i] - want[i]);
    ref += want[i] * want[i];
  }
  const double bound = 5 * std::numeric_limits<double>::epsilon() * std::log2(2.0 * plan_length);
  EXPECT_LT(static_cast<double>(sqrtl(err / ref)), bound) << what;
}

long DctPlan(int m) { return m % 2 == 0 ? m : 2L * m; }

std::vector<int> Lengths() {
  std::vector<int> v;
  for (int m = 1; m <= 64; ++m) v.push_back(m);
  for (int p : {67, 97, 101, 127, 211, 257, 509, 1009}) v.push_back(p);
  for (int m : {100, 1000, 1024, 1536}) v.push_back(m);
  return v;
}

TEST(CosineTransformsTest, OneDimensionalTransformsMatchLongDoubleSums) {
  for (int m : Lengths()) {
    const std::string tag = " m=" + std::to_string(m);
    Vec x = SeqX(m);
    x[0] += 0.75;  // a mean, so that bin 0 matters
    Vec y(m);
    ASSERT_EQ(ZMXFunc270(x.data(), m, m, y.data()), 0) << tag;
    ExpectRmsClose(y, DirectDct(x, m), DctPlan(m), "Dct" + tag);
    ASSERT_EQ(ZMXFunc271(x.data(), m, y.data()), 0) << tag;
    ExpectRmsClose(y, DirectInverseDct(x), DctPlan(m), "InverseDct" + tag);
    ASSERT_EQ(ZMXFunc272(x.data(), m, m, y.data()), 0) << tag;
    ExpectRmsClose(y, DirectDst(x, m, 1), 2L * m + 2, "Dst" + tag);
    ASSERT_EQ(ZMXFunc273(x.data(), m, y.data()), 0) << tag;
    ExpectRmsClose(y, DirectDst(x, m, 2.0L / (m + 1)), 2L * m + 2, "InverseDst" + tag);
  }
}

TEST(CosineTransformsTest, PaddingAndTruncationUseTheFirstMinValues) {
  struct Case {
    int n, m;
  };
  for (Case c : {Case{5, 12}, Case{5, 11}, Case{7, 64}, Case{16, 7}, Case{16, 8}, Case{101, 50},
                 Case{64, 63}, Case{3, 1}}) {
    const std::string tag = " n=" + std::to_string(c.n) + " m=" + std::to_string(c.m);
    const Vec x = SeqX(c.n);
    Vec y(c.m + 1, -9.0);
    ASSERT_EQ(ZMXFunc270(x.data(), c.n, c.m, y.data()), 0) << tag;
    EXPECT_EQ(y[c.m], -9.0) << "Dct writes m values" << tag;
    y.pop_back();
    ExpectRmsClose(y, DirectDct(x, c.m), DctPlan(c.m), "Dct" + tag);
    y.assign(c.m + 1, -9.0);
    ASSERT_EQ(ZMXFunc272(x.data(), c.n, c.m, y.data()), 0) << tag;
    EXPECT_EQ(y[c.m], -9.0) << "Dst writes m values" << tag;
    y.pop_back();
    ExpectRmsClose(y, DirectDst(x, c.m, 1), 2L * c.m + 2, "Dst" + tag);
  }
  // m < 1 means n, bit for bit.
  const Vec x = SeqX(15);
  for (int64_t m : {0, -1, -7}) {
    Vec a(15), b(15);
    ASSERT_EQ(ZMXFunc270(x.data(), 15, m, a.data()), 0);
    ASSERT_EQ(ZMXFunc270(x.data(), 15, 15, b.data()), 0);
    EXPECT_EQ(a, b);
    ASSERT_EQ(ZMXFunc272(x.data(), 15, m, a.data()), 0);
    ASSERT_EQ(ZMXFunc272(x.data(), 15, 15, b.data()), 0);
    EXPECT_EQ(a, b);
  }
}

TEST(CosineTransformsTest, OneDimensionalTransformsMatchScipy) {
  for (int n : {1, 2, 3, 4, 7, 16, 53, 100, 101}) {
    const std::string key = std::to_string(n);
    const Vec x = SeqX(n);
    Vec y(n);
    ASSERT_EQ(ZMXFunc270(x.data(), n, 0, y.data()), 0);
    ExpectNearVec(y, MoreGold("dct", key), 1e-14, "Dct n=" + key);
    ASSERT_EQ(ZMXFunc271(x.data(), n, y.data()), 0);
    ExpectNearVec(y, MoreGold("idct", key), 1e-14, "InverseDct n=" + key);
    ASSERT_EQ(ZMXFunc272(x.data(), n, 0, y.data()), 0);
    ExpectNearVec(y, MoreGold("dst", key), 1e-14, "Dst n=" + key);
    ASSERT_EQ(ZMXFunc273(x.data(), n, y.data()), 0);
    ExpectNearVec(y, MoreGold("idst", key), 1e-14, "InverseDst n=" + key);
  }
  struct Case {
    int n, m;
  };
  for (Case c : {Case{5, 12}, Case{5, 11}, Case{16, 7}, Case{16, 8}, Case{9, 9}}) {
    const std::string key = std::to_string(c.n) + "to" + std::to_string(c.m);
    const Vec x = SeqX(c.n);
    Vec y(c.m);
    ASSERT_EQ(ZMXFunc270(x.data(), c.n, c.m, y.data()), 0);
    ExpectNearVec(y, MoreGold("dct", key), 1e-14, "Dct " + key);
    ASSERT_EQ(ZMXFunc272(x.data(), c.n, c.m, y.data()), 0);
    ExpectNearVec(y, MoreGold("dst", key), 1e-14, "Dst " + key);
  }
}

TEST(CosineTransformsTest, InversesUndoTheForwardTransformsInPlace) {
  for (int n : {1, 2, 3, 8, 15, 64, 97, 1000}) {
    const Vec x = SeqX(n);
    Vec y = x;
    ASSERT_EQ(ZMXFunc270(y.data(), n, n, y.data()), 0);  // output over the input
    ASSERT_EQ(ZMXFunc271(y.data(), n, y.data()), 0);
    ExpectNearVec(y, x, 1e-14, "Dct then InverseDct n=" + std::to_string(n));
    y = x;
    ASSERT_EQ(ZMXFunc272(y.data(), n, n, y.data()), 0);
    ASSERT_EQ(ZMXFunc273(y.data(), n, y.data()), 0);
    ExpectNearVec(y, x, 1e-14, "Dst then InverseDst n=" + std::to_string(n));
  }
}

TEST(CosineTransformsTest, DctOfAConstantIsItsScaledMean) {
  for (int m : {1, 2, 5, 8, 33}) {
    const Vec x(m, 1.5);
    Vec y(m);
    ASSERT_EQ(ZMXFunc270(x.data(), m, m, y.data()), 0);
    EXPECT_NEAR(y[0], 1.5 * std::sqrt(m), 1e-14 * m);
    for (int k = 1; k < m; ++k) EXPECT_NEAR(y[k], 0.0, 1e-14 * m) << "m=" << m << " k=" << k;
  }
}

// Row-by-row then column-by-column with the 1-D export, for comparison.
Vec Separable(const std::function<int32_t(const double*, int64_t, double*)>& f, const Vec& x,
              int rows, int cols) {
  Vec y(x.size()), col(rows);
  for (int r = 0; r < rows; ++r) f(x.data() + r * cols, cols, y.data() + r * cols);
  for (int c = 0; c < cols; ++c) {
    for (int r = 0; r < rows; ++r) col[r] = y[r * cols + c];
    f(col.data(), rows, col.data());
    for (int r = 0; r < rows; ++r) y[r * cols + c] = col[r];
  }
  return y;
}

struct TwoD {
  const char* name;
  int32_t (*f2)(const double*, int64_t, int64_t, double*);
  std::function<int32_t(const double*, int64_t, double*)> f1;
};
std::vector<TwoD> TwoDExports() {
  return {
      {"dct2", ZMXFunc274,
       [](const double* x, int64_t n, double* y) { return ZMXFunc270(x, n, n, y); }},
      {"idct2", ZMXFunc275, ZMXFunc271},
      {"dst2", ZMXFunc276,
       [](const double* x, int64_t n, double* y) { return ZMXFunc272(x, n, n, y); }},
      {"idst2", ZMXFunc277, ZMXFunc273},
  };
}

TEST(CosineTransformsTest, TwoDimensionalTransformsMatchScipyAndTheRowColumnDefinition) {
  struct Shape {
    int rows, cols;
  };
  for (const TwoD& e : TwoDExports()) {
    for (Shape s : {Shape{3, 5}, Shape{4, 4}, Shape{1, 7}, Shape{6, 1}, Shape{8, 6}, Shape{7, 9}}) {
      const std::string key = std::to_string(s.rows) + "x" + std::to_string(s.cols);
      const Vec x = SeqX(s.rows * s.cols);
      Vec y(x.size());
      ASSERT_EQ(e.f2(x.data(), s.rows, s.cols, y.data()), 0) << e.name << " " << key;
      ExpectNearVec(y, MoreGold(e.name, key), 1e-14, std::string(e.name) + " " + key);
      ExpectNearVec(y, Separable(e.f1, x, s.rows, s.cols), 1e-15,
                    std::string(e.name) + " rows/cols");
      Vec z = x;  // in place
      ASSERT_EQ(e.f2(z.data(), s.rows, s.cols, z.data()), 0);
      EXPECT_EQ(z, y) << e.name << " in place " << key;
    }
    // Wider than one batch of gathered columns, and not a multiple of it.
    const int rows = 12, cols = 27;
    const Vec x = SeqX(rows * cols);
    Vec y(x.size());
    ASSERT_EQ(e.f2(x.data(), rows, cols, y.data()), 0);
    ExpectNearVec(y, Separable(e.f1, x, rows, cols), 1e-15, std::string(e.name) + " 12x27");
  }
  // A 1 x n array is the 1-D transform of its row, up to the last bit: the
  // column transforms of length 1 scale by a product of roundings of 1/√2.
  const Vec x = SeqX(10);
  Vec a(10), b(10);
  ASSERT_EQ(ZMXFunc274(x.data(), 1, 10, a.data()), 0);
  ASSERT_EQ(ZMXFunc270(x.data(), 10, 10, b.data()), 0);
  ExpectNearVec(a, b, 1e-15, "dct2 1x10");
}

TEST(CosineTransformsTest, TwoDimensionalInversesUndoTheForwardOnes) {
  const int rows = 10, cols = 13;
  const Vec x = SeqX(rows * cols);
  Vec y(x.size()), z(x.size());
  ASSERT_EQ(ZMXFunc274(x.data(), rows, cols, y.data()), 0);
  ASSERT_EQ(ZMXFunc275(y.data(), rows, cols, z.data()), 0);
  ExpectNearVec(z, x, 1e-14, "Dct2D round trip");
  ASSERT_EQ(ZMXFunc276(x.data(), rows, cols, y.data()), 0);
  ASSERT_EQ(ZMXFunc277(y.data(), rows, cols, z.data()), 0);
  ExpectNearVec(z, x, 1e-14, "Dst2D round trip");
}

TEST(CosineTransformsTest, StatusCodesInTheirOrderLeaveTheOutputAlone) {
  const double x[4] = {1, 2, 3, 4};
  const double kSentinel = -12345.0;
  const int64_t kOddTooLong = (int64_t{1} << 30) + 1;  // 2m does not fit
  const int64_t kSineTooLong = int64_t{1} << 30;       // 2m + 2 does not fit
  struct Case {
    const char* what;
    std::function<int32_t(double*)> call;
    int32_t status;
  };
  const Case cases[] = {
      {"dct n=0", [&](double* y) { return ZMXFunc270(x, 0, 4, y); }, -20003},
      {"dct n<0", [&](double* y) { return ZMXFunc270(x, -3, 4, y); }, -20003},
      {"dct n big", [&](double* y) { return ZMXFunc270(x, kTooBig, 4, y); }, -20046},
      {"dct m big", [&](double* y) { return ZMXFunc270(x, 4, kTooBig, y); }, -20046},
      {"dct m very negative", [&](double* y) { return ZMXFunc270(x, 4, -kTooBig, y); }, -20046},
      {"dct odd plan", [&](double* y) { return ZMXFunc270(x, 4, kOddTooLong, y); }, -20046},
      {"dct null x", [&](double* y) { return ZMXFunc270(nullptr, 4, 4, y); }, -20008},
      {"dct null y", [&](double*) { return ZMXFunc270(x, 4, 4, nullptr); }, -20008},
      {"idct n=0", [&](double* y) { return ZMXFunc271(x, 0, y); }, -20003},
      {"idct n big", [&](double* y) { return ZMXFunc271(x, kTooBig, y); }, -20046},
      {"idct null", [&](double* y) { return ZMXFunc271(nullptr, 4, y); }, -20008},
      {"dst n=0", [&](double* y) { return ZMXFunc272(x, 0, 4, y); }, -20003},
      {"dst plan", [&](double* y) { return ZMXFunc272(x, 4, kSineTooLong, y); }, -20046},
      {"dst null", [&](double*) { return ZMXFunc272(x, 4, 4, nullptr); }, -20008},
      {"idst n<0", [&](double* y) { return ZMXFunc273(x, -1, y); }, -20003},
      {"idst plan", [&](double* y) { return ZMXFunc273(x, kSineTooLong, y); }, -20046},
      {"dct2 rows=0", [&](double* y) { return ZMXFunc274(x, 0, 4, y); }, -20003},
      {"dct2 cols<0", [&](double* y) { return ZMXFunc274(x, 2, -2, y); }, -20003},
      {"dct2 rows big", [&](double* y) { return ZMXFunc274(x, kTooBig, 2, y); }, -20046},
      {"dct2 odd cols plan", [&](double* y) { return ZMXFunc274(x, 1, kOddTooLong, y); }, -20046},
      {"idct2 null", [&](double* y) { return ZMXFunc275(nullptr, 2, 2, y); }, -20008},
      {"dst2 cols=0", [&](double* y) { return ZMXFunc276(x, 2, 0, y); }, -20003},
      {"idst2 null", [&](double*) { return ZMXFunc277(x, 2, 2, nullptr); }, -20008},
      {"idst2 rows=0", [&](double* y) { return ZMXFunc277(x, 0, 2, y); }, -20003},
  };
  for (const Case& c : cases) {
    double y[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(c.call(y), c.status) << c.what;
    for (double v : y) EXPECT_EQ(v, kSentinel) << c.what;
  }
}

TEST(CosineTransformsTest, MemoryFailuresGiveMinus20001) {
  // Lengths no other test uses, so that the plans and rotation tables are
  // built here and every allocation can be made to fail.
  struct Run {
    const char* name;
    std::function<int32_t(const double*, double*)> call;
    int size;
  };
  const Run runs[] = {
      {"dct even", [](const double* x, double* y) { return ZMXFunc270(x, 346, 346, y); }, 346},
      {"dct odd", [](const double* x, double* y) { return ZMXFunc270(x, 347, 347, y); }, 347},
      {"idct", [](const double* x, double* y) { return ZMXFunc271(x, 358, y); }, 358},
      {"dst", [](const double* x, double* y) { return ZMXFunc272(x, 353, 353, y); }, 353},
      {"dct2", [](const double* x, double* y) { return ZMXFunc274(x, 19, 23, y); }, 19 * 23},
  };
  for (const Run& r : runs) {
    const Vec x = SeqX(r.size);
    bool succeeded = false;
    for (int k = 1; k < 60 && !succeeded; ++k) {
      Vec y(r.size, -1.0);
      qm::SetWorkspaceFailureCountdown(k);
      const int32_t s = r.call(x.data(), y.data());
      qm::SetWorkspaceFailureCountdown(0);
      if (s == 0) {
        succeeded = true;
        Vec want(r.size);
        ASSERT_EQ(r.call(x.data(), want.data()), 0);
        EXPECT_EQ(y, want) << r.name;
      } else {
        ASSERT_EQ(s, qm::kOutOfMemory) << r.name << " k=" << k;
        EXPECT_GT(k, 0);
      }
    }
    EXPECT_TRUE(succeeded) << r.name;
  }
}

TEST(CosineTransformsTest, ConcurrentCallsGiveTheSerialValues) {
  // Threads share plans and build their own rotation tables.
  const int lengths[] = {96, 97, 250, 251};
  std::vector<Vec> want;
  for (int m : lengths) {
    Vec y(m);
    ASSERT_EQ(ZMXFunc270(SeqX(m).data(), m, m, y.data()), 0);
    want.push_back(y);
  }
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int rep = 0; rep < 20; ++rep) {
        for (size_t i = 0; i < want.size(); ++i) {
          const int m = lengths[(i + t) % want.size()];
          Vec y(m);
          if (ZMXFunc270(SeqX(m).data(), m, m, y.data()) != 0 || y != want[(i + t) % want.size()])
            ++mismatches[t];
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
