// Deconvolution through the export: round trips on the spectral path and on
// the time-domain path (kernels with a spectral zero, leading zeros), in-place
// calls, and the statuses in their order with the output left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
constexpr double kSentinel = -777.25;
constexpr int64_t kTooBig = int64_t{1} << 31;

Vec Convolve(const Vec& x, const Vec& h) {
  Vec y(x.size() + h.size() - 1);
  EXPECT_EQ(ZMXFunc372(x.data(), static_cast<int64_t>(x.size()), h.data(),
                       static_cast<int64_t>(h.size()), 0, y.data()),
            0);
  return y;
}

Vec Deconvolve(const Vec& y, const Vec& h) {
  Vec x(y.size() - h.size() + 2, kSentinel);
  EXPECT_EQ(ZMXFunc54(y.data(), static_cast<int64_t>(y.size()), h.data(),
                      static_cast<int64_t>(h.size()), x.data()),
            0);
  EXPECT_EQ(x.back(), kSentinel);  // exactly n - m + 1 values
  x.pop_back();
  return x;
}

TEST(Deconvolution, RoundTripsOnBothPaths) {
  std::mt19937_64 rng(54);
  std::uniform_real_distribution<double> u(-1, 1);
  std::uniform_int_distribution<int> digit(-9, 9);
  struct Case {
    Vec h;
    bool integer;  // integer data, time-domain path: exact
    double tol;
  };
  const Case cases[] = {
      {{3, 0.5, -0.25, 0.4}, false, 1e-12},  // no spectral zero: division
      {{0, 2, 0.5}, false, 1e-12},           // leading zero, no spectral zero
      {{1.5}, false, 1e-14},                 // a single coefficient
      {{1, 1}, true, 0},                     // zero at the Nyquist bin
      {{1, -1}, true, 0},                    // zero at bin 0
      {{0, 0, 1, 1}, true, 0},               // leading zeros, time domain
      {{0, 1, 0, -1}, true, 0},
      {{1, 2, 1}, true, 0},
  };
  for (const Case& c : cases) {
    for (int count : {1, 2, 7, 64, 300}) {
      SCOPED_TRACE(testing::Message() << "h size " << c.h.size() << " count " << count);
      Vec x(count);
      for (double& v : x) v = c.integer ? digit(rng) : u(rng);
      const Vec y = Convolve(x, c.h);
      const Vec got = Deconvolve(y, c.h);
      ASSERT_EQ(got.size(), x.size());
      for (int i = 0; i < count; ++i) EXPECT_NEAR(got[i], x[i], c.tol) << i;
      // Convolving back reproduces y over its first n - m + 1 samples.
      const Vec back = Convolve(got, c.h);
      for (int i = 0; i < count; ++i) EXPECT_NEAR(back[i], y[i], 10 * c.tol) << i;
    }
  }
}

TEST(Deconvolution, WorkedValuesAndTruncatedSignals) {
  // n = m: one value, y[0] / h[0] of the leading non-zero coefficient.
  EXPECT_EQ(Deconvolve({6, 3, 9}, {2, 1, 3}), (Vec{3}));
  EXPECT_EQ(Deconvolve({0, 6, 3}, {0, 2, 1}), (Vec{3}));
  // n = m = 1 on the spectral path.
  EXPECT_EQ(Deconvolve({-7.5}, {2.5}), (Vec{-3}));
  // The recursion is causal: a signal longer than the full convolution of
  // its n - m + 1 samples (more samples follow) gives them exactly. (The
  // spectral division takes y as the full convolution of its result.)
  const Vec x = {1, -2, 3, 0, 5, 4};
  for (const Vec& h : {Vec{1, 1}, Vec{0, 1, 1}, Vec{1, 2, 1}}) {
    Vec y = Convolve(x, h);
    y.resize(x.size());
    const Vec got = Deconvolve(y, h);
    ASSERT_EQ(got.size(), x.size() - h.size() + 1);
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], x[i], 1e-13) << i;
  }
}

TEST(Deconvolution, OutputMayBeTheSignal) {
  for (const Vec& h : {Vec{2, 0.5}, Vec{1, 1}, Vec{0, 1, 1}}) {
    const Vec x = {1, 2, -3, 4, 0, 6, 7};
    const Vec y = Convolve(x, h);
    const Vec separate = Deconvolve(y, h);
    Vec in = y;
    ASSERT_EQ(ZMXFunc54(in.data(), static_cast<int64_t>(in.size()), h.data(),
                        static_cast<int64_t>(h.size()), in.data()),
              0);
    EXPECT_EQ(Vec(in.begin(), in.begin() + static_cast<long>(separate.size())), separate);
  }
}

TEST(Deconvolution, StatusesInOrderWithOutputUntouched) {
  const Vec y = {1, 2, 3, 4}, h = {1, 1}, zeros = {0, 0, 0};
  struct Case {
    const double* h;
    int64_t n, m;
    int32_t status;
  };
  const Case cases[] = {
      {h.data(), 0, 2, -20003},       {h.data(), 4, 0, -20003},     {h.data(), -1, -1, -20003},
      {h.data(), 1, 2, -20008},       {zeros.data(), 2, 3, -20008},  // n < m before the kernel
      {zeros.data(), 4, 3, -20065},   {zeros.data(), 4, 1, -20065}, {h.data(), kTooBig, 2, -20046},
      {h.data(), 4, kTooBig, -20046},
  };
  for (const Case& c : cases) {
    Vec out(4, kSentinel);
    EXPECT_EQ(ZMXFunc54(y.data(), c.n, c.h, c.m, out.data()), c.status) << c.n << " " << c.m;
    EXPECT_EQ(out, Vec(4, kSentinel));
  }
  Vec out(4, kSentinel);
  EXPECT_EQ(ZMXFunc54(nullptr, 4, h.data(), 2, out.data()), -20008);
  EXPECT_EQ(ZMXFunc54(y.data(), 4, nullptr, 2, out.data()), -20008);
  EXPECT_EQ(ZMXFunc54(y.data(), 4, h.data(), 2, nullptr), -20008);
  // Scratch: the FFT work space (spectral path) and the recursion's.
  Vec warm(3);
  ASSERT_EQ(ZMXFunc54(y.data(), 4, h.data(), 2, warm.data()), 0);
  for (const Vec& kernel : {Vec{2, 1}, Vec{1, 1, 1}}) {
    qm::ReleaseThreadScratch();
    qm::SetWorkspaceFailureCountdown(1);
    EXPECT_EQ(
        ZMXFunc54(y.data(), 4, kernel.data(), static_cast<int64_t>(kernel.size()), out.data()),
        -20001);
    qm::SetWorkspaceFailureCountdown(0);
  }
  EXPECT_EQ(out, Vec(4, kSentinel));
}

}  // namespace
