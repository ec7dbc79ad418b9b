// Convolution and correlation through the exports: worked values, long-double
// sums at random and awkward lengths (the FFT path within 1e-13 |x|_2 |y|_2),
// references from data/convolution_golden.txt (made by
// data/convolution_golden_gen.py with NumPy), in-place calls, the FFT length
// rule, the autocorrelation shortcut and the statuses in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fft/fft_engine.h"
#include "frame/workspace.h"
#include "qmanlys.h"
#include "signal/convolution.h"
#include "common/golden_rows.h"

namespace {

using Vec = std::vector<double>;
constexpr double kSentinel = -777.25;
constexpr int64_t kTooBig = int64_t{1} << 31;

// The defining sums in long double, and the sums of the magnitudes of their
// products (the scale of the rounding error of a direct sum).
struct Reference {
  Vec value, magnitude;
};
Reference Sums(const Vec& x, const Vec& y, bool correlation) {
  const int n = static_cast<int>(x.size()), m = static_cast<int>(y.size());
  std::vector<long double> v(n + m - 1, 0.0L), a(n + m - 1, 0.0L);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j) {
      // correlation: out[d] += x[k] y[k + d - (n-1)], i.e. d = j - i + n - 1
      const int d = correlation ? j - i + n - 1 : i + j;
      const long double p = static_cast<long double>(x[i]) * y[j];
      v[d] += p;
      a[d] += std::fabs(p);
    }
  return {Vec(v.begin(), v.end()), Vec(a.begin(), a.end())};
}

double Norm2(const Vec& v) {
  long double s = 0;
  for (double e : v) s += static_cast<long double>(e) * e;
  return static_cast<double>(std::sqrt(s));
}

Vec Random(std::mt19937_64& rng, int n) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Vec v(n);
  for (double& e : v) e = u(rng);
  return v;
}

int32_t Transform(bool correlation, int algorithm, const Vec& x, const Vec& y, double* out) {
  const int64_t n = static_cast<int64_t>(x.size()), m = static_cast<int64_t>(y.size());
  return correlation ? ZMXFunc373(x.data(), n, y.data(), m, algorithm, out)
                     : ZMXFunc372(x.data(), n, y.data(), m, algorithm, out);
}

TEST(Convolution, WorkedValues) {
  const Vec x = {1, 2}, y = {1, 1, 1};
  for (int algorithm = 0; algorithm < 2; ++algorithm) {
    Vec out(4, kSentinel);
    ASSERT_EQ(ZMXFunc372(x.data(), 2, y.data(), 3, algorithm, out.data()), 0);
    for (int d = 0; d < 4; ++d) EXPECT_NEAR(out[d], (Vec{1, 3, 3, 2})[d], 1e-15) << algorithm;
  }
  Vec out(4, kSentinel);
  ASSERT_EQ(ZMXFunc32(x.data(), 2, y.data(), 3, out.data()), 0);
  for (int d = 0; d < 4; ++d) EXPECT_NEAR(out[d], (Vec{1, 3, 3, 2})[d], 1e-15);
  // Correlation: x leads y for d < n - 1.
  const Vec a = {1, 0, 0}, b = {0, 0, 1, 0};
  Vec c(6, kSentinel);
  ASSERT_EQ(ZMXFunc373(a.data(), 3, b.data(), 4, 0, c.data()), 0);
  EXPECT_EQ(c, (Vec{0, 0, 0, 0, 1, 0}));  // y lags x by 2: out[n - 1 + 2]
  ASSERT_EQ(ZMXFunc33(a.data(), 3, b.data(), 4, c.data()), 0);
  for (int d = 0; d < 6; ++d) EXPECT_NEAR(c[d], d == 4 ? 1 : 0, 1e-15);
  // n = m = 1.
  const double p = 3, q = -2.5;
  for (int algorithm = 0; algorithm < 2; ++algorithm) {
    double o = kSentinel;
    ASSERT_EQ(ZMXFunc372(&p, 1, &q, 1, algorithm, &o), 0);
    EXPECT_EQ(o, -7.5);
    o = kSentinel;
    ASSERT_EQ(ZMXFunc376(&p, 1, &q, 1, algorithm, 1, &o), 0);
    EXPECT_EQ(o, -7.5);
  }
}

TEST(Correlation, AutocorrelationAndNormalisations) {
  const Vec x = {1, 2, 3};
  const Vec copy = x;  // the same values at another address: no shortcut
  const Vec want[3] = {
      {3, 8, 14, 8, 3}, {3, 4, 14.0 / 3, 4, 3}, {1, 8.0 / 3, 14.0 / 3, 8.0 / 3, 1}};
  for (int algorithm = 0; algorithm < 2; ++algorithm) {
    for (int norm = 0; norm < 3; ++norm) {
      for (const Vec* other : {&x, &copy}) {
        Vec out(5, kSentinel);
        ASSERT_EQ(ZMXFunc376(x.data(), 3, other->data(), 3, algorithm, norm, out.data()), 0);
        for (int d = 0; d < 5; ++d)
          EXPECT_NEAR(out[d], want[norm][d], 1e-14) << algorithm << " " << norm << " " << d;
      }
    }
  }
  // Unbiased with n != m: each lag over the number of products in it.
  std::mt19937_64 rng(5);
  for (auto [n, m] : {std::pair{4, 9}, std::pair{9, 4}, std::pair{1, 5}, std::pair{6, 6}}) {
    const Vec a = Random(rng, n), b = Random(rng, m);
    const Reference r = Sums(a, b, true);
    Vec out(n + m - 1), biased(n + m - 1);
    ASSERT_EQ(ZMXFunc376(a.data(), n, b.data(), m, 0, 1, out.data()), 0);
    ASSERT_EQ(ZMXFunc376(a.data(), n, b.data(), m, 1, 2, biased.data()), 0);
    for (int d = 0; d < n + m - 1; ++d) {
      int products = 0;
      for (int k = 0; k < n; ++k) products += (k + d - (n - 1) >= 0 && k + d - (n - 1) < m);
      EXPECT_NEAR(out[d], r.value[d] / products, 1e-15) << n << " " << m << " " << d;
      EXPECT_NEAR(biased[d], r.value[d] / std::max(n, m), 1e-14);
    }
  }
  // The shortcut at lengths whose FFT length is even, odd, and prime-rich.
  for (int n : {1, 2, 5, 12, 40, 257, 1000}) {
    const Vec a = Random(rng, n);
    const Reference r = Sums(a, a, true);
    Vec out(2 * n - 1, kSentinel);
    ASSERT_EQ(ZMXFunc33(a.data(), n, a.data(), n, out.data()), 0);
    const double tol = 1e-13 * Norm2(a) * Norm2(a);
    for (int d = 0; d < 2 * n - 1; ++d) EXPECT_NEAR(out[d], r.value[d], tol) << n << " " << d;
  }
}

TEST(Convolution, LongDoubleSumsAtRandomAndAwkwardLengths) {
  std::mt19937_64 rng(19);
  std::vector<std::pair<int, int>> sizes = {
      {1, 1},  {1, 2},   {2, 1},  {3, 21},  {12, 12}, {24, 24}, {23, 2},  {47, 1},
      {1, 47}, {31, 17}, {43, 1}, {64, 65}, {97, 89}, {500, 7}, {7, 500}, {1000, 1001}};
  std::uniform_int_distribution<int> len(1, 400);
  for (int i = 0; i < 20; ++i) sizes.emplace_back(len(rng), len(rng));
  for (auto [n, m] : sizes) {
    const Vec x = Random(rng, n), y = Random(rng, m);
    const double fft_tol = 1e-13 * Norm2(x) * Norm2(y);
    for (bool correlation : {false, true}) {
      const Reference r = Sums(x, y, correlation);
      for (int algorithm = 0; algorithm < 2; ++algorithm) {
        Vec out(n + m + 1, kSentinel);
        ASSERT_EQ(Transform(correlation, algorithm, x, y, out.data()), 0);
        for (int d = 0; d < n + m - 1; ++d) {
          const double tol =
              algorithm == 0 ? 4 * (n + m) * 1.1e-16 * r.magnitude[d] + 1e-300 : fft_tol;
          ASSERT_NEAR(out[d], r.value[d], tol)
              << n << " " << m << " corr " << correlation << " alg " << algorithm << " d " << d;
        }
        EXPECT_EQ(out[n + m - 1], kSentinel);  // exactly n + m - 1 values
      }
    }
  }
}

// Lines of the reference file that start with `kind`, as number lists.
std::vector<Vec> Golden(const std::string& kind) {
  return test_common::GoldenRows("convolution_golden.txt", kind);
}

TEST(Convolution, MatchesNumpy) {
  for (bool correlation : {false, true}) {
    const auto rows = Golden(correlation ? "corr" : "conv");
    ASSERT_GT(rows.size(), 20u);
    for (const Vec& row : rows) {
      const int n = static_cast<int>(row[0]), m = static_cast<int>(row[1]);
      const Vec x(row.begin() + 2, row.begin() + 2 + n);
      const Vec y(row.begin() + 2 + n, row.begin() + 2 + n + m);
      const Vec want(row.begin() + 2 + n + m, row.end());
      ASSERT_EQ(static_cast<int>(want.size()), n + m - 1);
      const Reference r = Sums(x, y, correlation);
      const double fft_tol = 1e-13 * Norm2(x) * Norm2(y);
      for (int algorithm = 0; algorithm < 2; ++algorithm) {
        Vec out(n + m - 1);
        ASSERT_EQ(Transform(correlation, algorithm, x, y, out.data()), 0);
        for (int d = 0; d < n + m - 1; ++d) {
          // Both are double sums in their own order: compare at the scale
          // of the products.
          const double tol = algorithm == 0 ? 4 * (n + m) * 1.1e-16 * r.magnitude[d] : fft_tol;
          EXPECT_NEAR(out[d], want[d], tol) << n << " " << m << " " << correlation << " " << d;
        }
      }
    }
  }
}

TEST(Convolution, OutputMayBeAnInput) {
  std::mt19937_64 rng(7);
  for (auto [n, m] :
       {std::pair{5, 3}, std::pair{3, 5}, std::pair{1, 1}, std::pair{40, 40}, std::pair{200, 17}}) {
    const Vec x = Random(rng, n), y = Random(rng, m);
    for (bool correlation : {false, true}) {
      for (int algorithm = 0; algorithm < 2; ++algorithm) {
        SCOPED_TRACE(testing::Message() << n << " " << m << " " << correlation << algorithm);
        Vec separate(n + m - 1);
        ASSERT_EQ(Transform(correlation, algorithm, x, y, separate.data()), 0);
        // out == x, out == y, out inside x: arrays with room for the result.
        Vec bx = x, by = y;
        bx.resize(n + m - 1, kSentinel);
        by.resize(n + m - 1, kSentinel);
        const auto call = [&](const double* a, const double* b, double* out) {
          return correlation ? ZMXFunc373(a, n, b, m, algorithm, out)
                             : ZMXFunc372(a, n, b, m, algorithm, out);
        };
        ASSERT_EQ(call(bx.data(), y.data(), bx.data()), 0);
        EXPECT_EQ(bx, separate);
        ASSERT_EQ(call(x.data(), by.data(), by.data()), 0);
        EXPECT_EQ(by, separate);
        Vec shifted(n + m + 2, kSentinel);
        std::copy(x.begin(), x.end(), shifted.begin() + 2);
        ASSERT_EQ(call(shifted.data() + 2, y.data(), shifted.data()), 0);
        EXPECT_EQ(Vec(shifted.begin(), shifted.begin() + n + m - 1), separate);
      }
    }
  }
  // The autocorrelation shortcut in place.
  Vec a = {1, 2, 3, 0, 0};
  ASSERT_EQ(ZMXFunc33(a.data(), 3, a.data(), 3, a.data()), 0);
  for (int d = 0; d < 5; ++d) EXPECT_NEAR(a[d], (Vec{3, 8, 14, 8, 3})[d], 1e-14);
}

TEST(Convolution, FftLengthRuleSkipsTwentyThree) {
  using qm::signal::ConvolutionFftLength;
  const int64_t cases[][2] = {{1, 1},     {22, 22},         {23, 24},        {46, 48},
                              {47, 48},   {43, 43},         {53, 54},        {59, 60},
                              {61, 62},   {67, 68},         {71, 72},        {73, 74},
                              {529, 532}, {100999, 101007}, {2147483647, 0}, {2147483600, 0}};
  for (const auto& c : cases) EXPECT_EQ(ConvolutionFftLength(c[0]), c[1]) << c[0];
  // n + m - 1 = 23 and 47 run on plans of 24 and 48.
  const Vec x(12, 1.0), y(12, 0.5), z(36, 1.0);
  Vec out(47);
  ASSERT_EQ(ZMXFunc32(x.data(), 12, y.data(), 12, out.data()), 0);
  EXPECT_TRUE(qm::fft::FftPlanIsCached(24));
  ASSERT_EQ(ZMXFunc33(x.data(), 12, z.data(), 36, out.data()), 0);
  EXPECT_TRUE(qm::fft::FftPlanIsCached(48));
  for (int d = 0; d < 47; ++d) EXPECT_NEAR(out[d], std::min({d + 1, 12, 47 - d}), 1e-13) << d;
}

TEST(Convolution, StatusesInOrderWithOutputUntouched) {
  const Vec x = {1, 2, 3}, y = {4, 5};
  struct Case {
    int64_t n, m;
    int algorithm, normalization;
    int32_t status;
  };
  const Case cases[] = {
      {0, 2, 0, 0, -20003},
      {3, 0, 1, 0, -20003},
      {-1, 2, 9, 9, -20003},  // counts before the selectors
      {3, 2, 2, 0, -20061},   // an unknown algorithm computes nothing
      {3, 2, -1, 0, -20061},
      {3, 2, 0, 3, -20061},  // an unknown normalisation, before any sum
      {3, 2, 1, -1, -20061},
      {kTooBig, 2, 0, 0, -20046},
      {3, -kTooBig - 1, 0, 0, -20046},
      // n + m - 1 beyond 32 bits, before the selectors; the FFT length of
      // 2^31 - 1 (a prime) beyond 32 bits. Nothing is read.
      {int64_t{1} << 30, (int64_t{1} << 30) + 1, 9, 0, -20046},
      {int64_t{1} << 30, int64_t{1} << 30, 1, 0, -20046},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.n << " " << c.m << " " << c.algorithm);
    Vec out(4, kSentinel);
    EXPECT_EQ(ZMXFunc376(x.data(), c.n, y.data(), c.m, c.algorithm, c.normalization, out.data()),
              c.status);
    if (c.normalization == 0) {
      EXPECT_EQ(ZMXFunc372(x.data(), c.n, y.data(), c.m, c.algorithm, out.data()), c.status);
      EXPECT_EQ(ZMXFunc373(x.data(), c.n, y.data(), c.m, c.algorithm, out.data()), c.status);
    }
    EXPECT_EQ(out, Vec(4, kSentinel));
  }
  Vec out(4, kSentinel);
  EXPECT_EQ(ZMXFunc32(nullptr, 3, y.data(), 2, out.data()), -20008);
  EXPECT_EQ(ZMXFunc33(x.data(), 3, nullptr, 2, out.data()), -20008);
  EXPECT_EQ(ZMXFunc372(x.data(), 3, y.data(), 2, 0, nullptr), -20008);
  EXPECT_EQ(ZMXFunc32(x.data(), 0, y.data(), 2, out.data()), -20003);
  EXPECT_EQ(ZMXFunc33(x.data(), 3, y.data(), kTooBig, out.data()), -20046);
  EXPECT_EQ(out, Vec(4, kSentinel));
}

TEST(Convolution, ScratchAndPlanFailuresReported) {
  const Vec x = {1, 2, 3}, y = {4, 5};
  Vec warm(5);
  ASSERT_EQ(ZMXFunc33(x.data(), 3, x.data(), 3, warm.data()), 0);  // per-thread record made
  // FFT scratch: the first allocation of a thread whose scratch area is
  // empty (the autocorrelation shortcut takes its own).
  {
    Vec out(5, kSentinel);
    qm::ReleaseThreadScratch();
    qm::SetWorkspaceFailureCountdown(1);
    const int32_t conv = ZMXFunc372(x.data(), 3, y.data(), 2, 1, out.data());
    qm::ReleaseThreadScratch();
    qm::SetWorkspaceFailureCountdown(1);
    const int32_t corr = ZMXFunc373(x.data(), 3, x.data(), 3, 1, out.data());
    qm::SetWorkspaceFailureCountdown(0);
    EXPECT_EQ(conv, -20001);
    EXPECT_EQ(corr, -20001);
    EXPECT_EQ(out, Vec(5, kSentinel));
  }
  // Direct sums into an input: the scratch they take.
  Vec bx = {1, 2, 3, 0};
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc372(bx.data(), 3, y.data(), 2, 0, bx.data()), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(bx, (Vec{1, 2, 3, 0}));
  // A plan that cannot be built: a length no test has used (n + m - 1 =
  // 2431 = 11 * 13 * 17), with every allocation after the scratch failing.
  const Vec a(2000, 1.0), b(432, 1.0);
  ASSERT_FALSE(qm::fft::FftPlanIsCached(2431));
  Vec out(2431, kSentinel);
  int32_t status = 0;
  for (int countdown = 2; countdown < 6 && status == 0; ++countdown) {
    qm::ReleaseThreadScratch();
    qm::SetWorkspaceFailureCountdown(countdown);
    status = ZMXFunc32(a.data(), 2000, b.data(), 432, out.data());
    qm::SetWorkspaceFailureCountdown(0);
  }
  EXPECT_EQ(status, -20001);
  EXPECT_EQ(out, Vec(2431, kSentinel));
  ASSERT_EQ(ZMXFunc32(a.data(), 2000, b.data(), 432, out.data()), 0);
  EXPECT_NEAR(out[1000], 432, 1e-9);
}

TEST(Convolution, ThreadsShareThePlansAndKeepTheirScratch) {
  // Each thread convolves and correlates at lengths the others use too, on
  // its own data, and checks its own results against the direct sums.
  std::vector<std::thread> threads;
  std::vector<int> bad(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &bad] {
      std::mt19937_64 rng(100 + t);
      for (int round = 0; round < 20; ++round) {
        const int n = 50 + 37 * (round % 5), m = 20 + 11 * ((round + t) % 3);
        const Vec x = Random(rng, n), y = Random(rng, m);
        Vec fft(n + m - 1), direct(n + m - 1);
        const bool correlation = round % 2 == 1;
        if (Transform(correlation, 1, x, y, fft.data()) != 0 ||
            Transform(correlation, 0, x, y, direct.data()) != 0) {
          ++bad[t];
          continue;
        }
        for (int d = 0; d < n + m - 1; ++d)
          if (!(std::fabs(fft[d] - direct[d]) < 1e-12)) ++bad[t];
      }
    });
  }
  for (std::thread& th : threads) th.join();
  EXPECT_EQ(bad, std::vector<int>(4, 0));
}

}  // namespace
