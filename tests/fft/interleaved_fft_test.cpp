// Interleaved and 2-D front ends: worked values, NumPy golden values
// (fft, fft2 with s=, fftshift/ifftshift), round trips with and without the
// centred layout, plan handles (lengths, repeated and unknown destroys, one
// handle shared by threads), what the inverse transforms read, and the
// status codes.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "fft/plan_handles.h"
#include "frame/status.h"
#include "frame/workspace.h"
#include "more_golden.h"
#include "qmanlys.h"

namespace {

using fft_test::ExpectNearVec;
using fft_test::MoreGold;
using fft_test::SeqComplex;
using fft_test::SeqX;
using fft_test::Vec;

constexpr int64_t kTooBig = int64_t{1} << 32;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Key(int n, int m) { return std::to_string(n) + "to" + std::to_string(m); }
std::string Key2(int r, int c) { return std::to_string(r) + "x" + std::to_string(c); }

TEST(InterleavedFftTest, WorkedValues) {
  const double impulse[4] = {1, 0, 0, 0};
  Vec out(8, 7.0);
  ASSERT_EQ(ZMXFunc262(impulse, 4, 4, nullptr, 0, out.data()), 0);
  EXPECT_EQ(out, (Vec{1, 0, 1, 0, 1, 0, 1, 0}));
  const double ramp[4] = {1, 2, 3, 4};
  ASSERT_EQ(ZMXFunc262(ramp, 4, 0, nullptr, 0, out.data()), 0);
  EXPECT_EQ(out, (Vec{10, 0, -2, 2, -2, 0, -2, -2}));
  ASSERT_EQ(ZMXFunc262(ramp, 4, 0, nullptr, 1, out.data()), 0);
  EXPECT_EQ(out, (Vec{-2, 0, -2, -2, 10, 0, -2, 2}));
  // 2 x 2 of ones: 4 at (0, 0), centred at (1, 1).
  const double ones[4] = {1, 1, 1, 1};
  ASSERT_EQ(ZMXFunc266(ones, 2, 2, 0, 0, 0, out.data()), 0);
  EXPECT_EQ(out, (Vec{4, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(ZMXFunc266(ones, 2, 2, 0, 0, 1, out.data()), 0);
  EXPECT_EQ(out, (Vec{0, 0, 0, 0, 0, 0, 4, 0}));
}

TEST(InterleavedFftTest, OneDimensionalForwardMatchesNumpy) {
  struct Case {
    int n, m;
  };
  for (Case c :
       {Case{7, 7}, Case{16, 16}, Case{5, 8}, Case{10, 3}, Case{9, 9}, Case{1, 1}, Case{1, 4}}) {
    const std::string key = Key(c.n, c.m);
    const Vec x = SeqX(c.n), z = SeqComplex(c.n);
    for (int shift : {0, 1}) {
      const std::string suffix = shift ? "_shift" : "";
      Vec out(2 * c.m + 1, -3.0);
      ASSERT_EQ(ZMXFunc262(x.data(), c.n, c.m, nullptr, shift, out.data()), 0) << key;
      EXPECT_EQ(out.back(), -3.0) << "writes m bins " << key;
      out.pop_back();
      ExpectNearVec(out, MoreGold("rfft" + suffix, key), 1e-14,
                    "RealFftInterleaved " + key + suffix);
      out.assign(2 * c.m, 0.0);
      ASSERT_EQ(ZMXFunc263(z.data(), c.n, c.m, nullptr, shift, out.data()), 0) << key;
      ExpectNearVec(out, MoreGold("cfft" + suffix, key), 1e-14,
                    "ComplexFftInterleaved " + key + suffix);
    }
  }
}

// The interleaved real spectrum is the split one, bit for bit, with exact
// conjugates above n/2: every route of the engine (one kernel, odd lengths,
// the half-length transform with h even and odd, prime factors, large n).
TEST(InterleavedFftTest, RealSpectrumEqualsTheSplitSpectrumBitForBit) {
  std::vector<int> lengths;
  for (int n = 1; n <= 80; ++n) lengths.push_back(n);
  for (int n : {97, 128, 210, 254, 1000, 1009, 2048, 4097, 6000, 30030, 65536, 100000, 1 << 17})
    lengths.push_back(n);
  for (int n : lengths) {
    Vec x(n);
    for (int i = 0; i < n; ++i) x[i] = std::sin(0.37 * i) + 0.25 * std::cos(1.9 * i * i);
    Vec re = x, im(n), out(2 * n + 1, -7.0);
    ASSERT_EQ(ZMXFunc147(re.data(), im.data(), n), 0) << n;
    ASSERT_EQ(ZMXFunc262(x.data(), n, 0, nullptr, 0, out.data()), 0) << n;
    ASSERT_EQ(out[2 * n], -7.0) << "writes n pairs, n = " << n;
    int differ = 0;
    for (int k = 0; k < n; ++k) {
      differ += out[2 * k] != re[k] || out[2 * k + 1] != im[k];
      differ += out[2 * k] != out[2 * ((n - k) % n)] || out[2 * k + 1] != -out[2 * ((n - k) % n) + 1];
    }
    EXPECT_EQ(differ, 0) << "n = " << n;
  }
}

TEST(InterleavedFftTest, OneDimensionalInverseMatchesNumpyAndReadsHalfTheRealSpectrum) {
  for (int n : {7, 16, 9, 1}) {
    const std::string key = std::to_string(n);
    const Vec z = SeqComplex(n);
    Vec out(2 * n);
    ASSERT_EQ(ZMXFunc265(z.data(), n, nullptr, 0, out.data()), 0);
    ExpectNearVec(out, MoreGold("icfft", key), 1e-14, "InverseComplexFftInterleaved " + key);
    ASSERT_EQ(ZMXFunc265(z.data(), n, nullptr, 1, out.data()), 0);
    ExpectNearVec(out, MoreGold("icfft_shift", key), 1e-14, "centred " + key);
    for (int shift : {0, 1}) {
      // Bins above n/2 (in the layout given) are poisoned: they are not read.
      Vec X = MoreGold(shift ? "hermitian_shift" : "hermitian", key);
      const int h = n / 2;
      for (int k = n / 2 + 1; k < n; ++k) {
        const int at = shift ? (k + h) % n : k;
        X[2 * at] = X[2 * at + 1] = kNaN;
      }
      Vec real(n);
      ASSERT_EQ(ZMXFunc264(X.data(), n, nullptr, shift, real.data()), 0);
      ExpectNearVec(real, SeqX(n), 1e-14, "InverseRealFftInterleaved " + key);
    }
  }
}

TEST(InterleavedFftTest, RoundTripsInPlaceWithAndWithoutCentring) {
  for (int n : {1, 2, 5, 8, 15, 64, 97, 1000}) {
    for (int shift : {0, 1}) {
      const std::string tag = " n=" + std::to_string(n) + " shift=" + std::to_string(shift);
      const Vec z = SeqComplex(n);
      Vec y = z;
      ASSERT_EQ(ZMXFunc263(y.data(), n, 0, nullptr, shift, y.data()), 0);
      ASSERT_EQ(ZMXFunc265(y.data(), n, nullptr, shift, y.data()), 0);
      ExpectNearVec(y, z, 1e-14, "complex round trip" + tag);
      // Real data in place: the n doubles at the front of a 2n buffer.
      Vec r(2 * n);
      const Vec x = SeqX(n);
      std::copy(x.begin(), x.end(), r.begin());
      ASSERT_EQ(ZMXFunc262(r.data(), n, 0, nullptr, shift, r.data()), 0);
      ASSERT_EQ(ZMXFunc264(r.data(), n, nullptr, shift, r.data()), 0);
      r.resize(n);
      ExpectNearVec(r, x, 1e-14, "real round trip" + tag);
    }
  }
}

TEST(InterleavedFftTest, TwoDimensionalForwardMatchesNumpy) {
  struct Case {
    int r, c, tr, tc;
  };
  for (Case k : {Case{3, 5, 3, 5}, Case{4, 6, 6, 4}, Case{5, 3, 2, 7}, Case{1, 8, 1, 8},
                 Case{7, 1, 3, 1}, Case{6, 7, 6, 7}, Case{9, 10, 9, 10}}) {
    const std::string key = Key2(k.r, k.c) + "to" + Key2(k.tr, k.tc);
    const Vec x = SeqX(k.r * k.c), z = SeqComplex(k.r * k.c);
    const bool same = k.r == k.tr && k.c == k.tc;
    for (int shift : {0, 1}) {
      const std::string suffix = shift ? "_shift" : "";
      Vec out(2 * k.tr * k.tc);
      ASSERT_EQ(
          ZMXFunc266(x.data(), k.r, k.c, same ? 0 : k.tr, same ? -1 : k.tc, shift, out.data()), 0);
      ExpectNearVec(out, MoreGold("rfft2" + suffix, key), 1e-14, "RealFft2D " + key + suffix);
      ASSERT_EQ(ZMXFunc267(z.data(), k.r, k.c, k.tr, k.tc, shift, out.data()), 0);
      ExpectNearVec(out, MoreGold("cfft2" + suffix, key), 1e-14, "ComplexFft2D " + key + suffix);
      if (same) {  // over the input
        Vec y = z;
        ASSERT_EQ(ZMXFunc267(y.data(), k.r, k.c, 0, 0, shift, y.data()), 0);
        ExpectNearVec(y, MoreGold("cfft2" + suffix, key), 1e-14, "in place " + key);
        Vec w(2 * k.r * k.c);
        std::copy(x.begin(), x.end(), w.begin());
        ASSERT_EQ(ZMXFunc266(w.data(), k.r, k.c, 0, 0, shift, w.data()), 0);
        ExpectNearVec(w, MoreGold("rfft2" + suffix, key), 1e-14, "real in place " + key);
      }
    }
  }
  // Wider and taller than a batch of gathered columns.
  const int rows = 20, cols = 19;
  const Vec z = SeqComplex(rows * cols);
  Vec out(2 * rows * cols), back(2 * rows * cols);
  ASSERT_EQ(ZMXFunc267(z.data(), rows, cols, 0, 0, 1, out.data()), 0);
  ASSERT_EQ(ZMXFunc269(out.data(), rows, cols, 1, back.data()), 0);
  ExpectNearVec(back, z, 1e-14, "2-D round trip 20x19");
}

TEST(InterleavedFftTest, TwoDimensionalInverseMatchesNumpy) {
  for (auto [r, c] : {std::pair{3, 5}, std::pair{4, 6}, std::pair{6, 7}, std::pair{1, 8}}) {
    const std::string key = Key2(r, c);
    const Vec z = SeqComplex(r * c);
    for (int shift : {0, 1}) {
      const std::string suffix = shift ? "_shift" : "";
      Vec out(2 * r * c);
      ASSERT_EQ(ZMXFunc269(z.data(), r, c, shift, out.data()), 0);
      ExpectNearVec(out, MoreGold("icfft2" + suffix, key), 1e-14, "InverseComplexFft2D " + key);
      Vec y = z;
      ASSERT_EQ(ZMXFunc269(y.data(), r, c, shift, y.data()), 0);
      EXPECT_EQ(y, out) << "in place " << key;
      Vec real(r * c + 1, -5.0);
      ASSERT_EQ(ZMXFunc268(z.data(), r, c, shift, real.data()), 0);
      EXPECT_EQ(real.back(), -5.0);
      real.pop_back();
      ExpectNearVec(real, MoreGold("irfft2" + suffix, key), 1e-14, "InverseRealFft2D " + key);
      y = z;
      ASSERT_EQ(ZMXFunc268(y.data(), r, c, shift, y.data()), 0);
      y.resize(r * c);
      EXPECT_EQ(y, real) << "real in place " << key;
    }
  }
}

TEST(InterleavedFftTest, PlanHandlesCarryTheirLengthAndSurviveRepeatedDestroys) {
  EXPECT_EQ(ZMXFunc260(0), nullptr);
  EXPECT_EQ(ZMXFunc260(-4), nullptr);
  EXPECT_EQ(ZMXFunc260(kTooBig), nullptr);
  const int before = qm::fft::FftHandleCount();
  QmFftPlanHandle* h1024 = ZMXFunc260(1024);
  QmFftPlanHandle* h12 = ZMXFunc260(12);
  ASSERT_NE(h1024, nullptr);
  ASSERT_NE(h12, nullptr);
  EXPECT_EQ(*reinterpret_cast<const int32_t*>(h1024), 1024);  // the first field is the length
  EXPECT_EQ(qm::fft::FftHandleCount(), before + 2);

  const Vec x = SeqX(1024), z = SeqComplex(1024);
  Vec out(2 * 1024, -1.0);
  const Vec untouched = out;
  EXPECT_EQ(ZMXFunc262(x.data(), 1024, 512, h1024, 0, out.data()), -20070);
  EXPECT_EQ(ZMXFunc263(z.data(), 1024, 0, h12, 0, out.data()), -20070);
  EXPECT_EQ(ZMXFunc264(z.data(), 1000, h1024, 0, out.data()), -20070);
  EXPECT_EQ(ZMXFunc265(z.data(), 0, h1024, 0, out.data()), -20070);
  EXPECT_EQ(out, untouched);

  // With and without the handle: the same bits.
  Vec a(2 * 1024), b(2 * 1024);
  for (int shift : {0, 1}) {
    ASSERT_EQ(ZMXFunc263(z.data(), 1024, 0, h1024, shift, a.data()), 0);
    ASSERT_EQ(ZMXFunc263(z.data(), 1024, 0, nullptr, shift, b.data()), 0);
    EXPECT_EQ(a, b);
    ASSERT_EQ(ZMXFunc262(x.data(), 1024, 0, h1024, shift, a.data()), 0);
    ASSERT_EQ(ZMXFunc262(x.data(), 1024, 0, nullptr, shift, b.data()), 0);
    EXPECT_EQ(a, b);
    ASSERT_EQ(ZMXFunc265(z.data(), 1024, h1024, shift, a.data()), 0);
    ASSERT_EQ(ZMXFunc265(z.data(), 1024, nullptr, shift, b.data()), 0);
    EXPECT_EQ(a, b);
    ASSERT_EQ(ZMXFunc264(z.data(), 12, h12, shift, a.data()), 0);
    ASSERT_EQ(ZMXFunc264(z.data(), 12, nullptr, shift, b.data()), 0);
    EXPECT_EQ(Vec(a.begin(), a.begin() + 12), Vec(b.begin(), b.begin() + 12));
  }
  // A padded call with a handle of the transform length.
  ASSERT_EQ(ZMXFunc263(z.data(), 700, 1024, h1024, 0, a.data()), 0);

  // The handle holds one plan reference; a second destroy of the same handle
  // must not drop the reference that another handle of the length holds.
  QmFftPlanHandle* other = ZMXFunc260(1024);
  ASSERT_NE(other, nullptr);
  const int32_t refs = qm::fft::FftPlanReferenceCount(other->plan);
  ZMXFunc261(h1024);
  EXPECT_EQ(qm::fft::FftPlanReferenceCount(other->plan), refs - 1);
  ZMXFunc261(h1024);  // repeated: ignored
  int32_t bogus[8] = {1024};
  ZMXFunc261(reinterpret_cast<QmFftPlanHandle*>(bogus));  // unknown: ignored
  ZMXFunc261(nullptr);
  EXPECT_EQ(qm::fft::FftPlanReferenceCount(other->plan), refs - 1);
  ASSERT_EQ(ZMXFunc263(z.data(), 1024, 0, other, 0, a.data()), 0);
  ZMXFunc261(other);
  ZMXFunc261(h12);
  EXPECT_EQ(qm::fft::FftHandleCount(), before);
}

TEST(InterleavedFftTest, OneHandleSharedByThreadsGivesTheSerialValues) {
  const int n = 360;
  QmFftPlanHandle* h = ZMXFunc260(n);
  ASSERT_NE(h, nullptr);
  const Vec z = SeqComplex(n);
  Vec want(2 * n), want_back(2 * n);
  ASSERT_EQ(ZMXFunc263(z.data(), n, 0, h, 1, want.data()), 0);
  ASSERT_EQ(ZMXFunc265(want.data(), n, h, 1, want_back.data()), 0);
  std::vector<int> bad(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      Vec out(2 * n), back(2 * n);
      for (int rep = 0; rep < 50; ++rep) {
        if (ZMXFunc263(z.data(), n, 0, h, 1, out.data()) != 0 || out != want) ++bad[t];
        if (ZMXFunc265(out.data(), n, h, 1, back.data()) != 0 || back != want_back) ++bad[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  ZMXFunc261(h);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(bad[t], 0) << "thread " << t;
}

TEST(InterleavedFftTest, StatusCodesInTheirOrderLeaveTheOutputAlone) {
  const double x[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  struct Case {
    const char* what;
    std::function<int32_t(double*)> call;
    int32_t status;
  };
  const Case cases[] = {
      {"rfft n=0", [&](double* o) { return ZMXFunc262(x, 0, 4, nullptr, 0, o); }, -20003},
      {"rfft n big", [&](double* o) { return ZMXFunc262(x, kTooBig, 4, nullptr, 0, o); }, -20046},
      {"rfft m big", [&](double* o) { return ZMXFunc262(x, 4, kTooBig, nullptr, 0, o); }, -20046},
      {"rfft null x", [&](double* o) { return ZMXFunc262(nullptr, 4, 4, nullptr, 0, o); }, -20008},
      {"rfft null out", [&](double*) { return ZMXFunc262(x, 4, 4, nullptr, 0, nullptr); }, -20008},
      {"cfft n<0", [&](double* o) { return ZMXFunc263(x, -2, 4, nullptr, 0, o); }, -20003},
      {"cfft null", [&](double* o) { return ZMXFunc263(nullptr, 2, 2, nullptr, 0, o); }, -20008},
      {"irfft n<0", [&](double* o) { return ZMXFunc264(x, -1, nullptr, 0, o); }, -20003},
      // n = 0: no plan exists, X is not read (null is accepted).
      {"irfft n=0", [&](double* o) { return ZMXFunc264(nullptr, 0, nullptr, 0, o); }, -20001},
      {"icfft n=0", [&](double* o) { return ZMXFunc265(nullptr, 0, nullptr, 1, o); }, -20001},
      {"icfft n<0", [&](double* o) { return ZMXFunc265(nullptr, -1, nullptr, 1, o); }, -20003},
      {"icfft null X", [&](double* o) { return ZMXFunc265(nullptr, 2, nullptr, 0, o); }, -20008},
      {"icfft n big", [&](double* o) { return ZMXFunc265(x, kTooBig, nullptr, 0, o); }, -20046},
      {"rfft2 rows=0", [&](double* o) { return ZMXFunc266(x, 0, 2, 0, 0, 0, o); }, -20003},
      {"rfft2 cols<0", [&](double* o) { return ZMXFunc266(x, 2, -1, 0, 0, 0, o); }, -20003},
      {"rfft2 tr big", [&](double* o) { return ZMXFunc266(x, 2, 2, kTooBig, 0, 0, o); }, -20046},
      {"cfft2 null", [&](double* o) { return ZMXFunc267(nullptr, 2, 2, 0, 0, 0, o); }, -20008},
      {"cfft2 rows=0", [&](double* o) { return ZMXFunc267(x, 0, 2, 2, 2, 0, o); }, -20003},
      {"irfft2 cols=0", [&](double* o) { return ZMXFunc268(x, 2, 0, 0, o); }, -20003},
      {"irfft2 null", [&](double*) { return ZMXFunc268(x, 2, 2, 0, nullptr); }, -20008},
      {"icfft2 rows big", [&](double* o) { return ZMXFunc269(x, kTooBig, 2, 0, o); }, -20046},
      {"icfft2 rows<0", [&](double* o) { return ZMXFunc269(x, -2, 2, 0, o); }, -20003},
  };
  for (const Case& c : cases) {
    Vec out(16, -8.0);
    EXPECT_EQ(c.call(out.data()), c.status) << c.what;
    EXPECT_EQ(out, Vec(16, -8.0)) << c.what;
  }
}

TEST(InterleavedFftTest, MemoryFailuresGiveMinus20001) {
  // Lengths no other test uses, so that plan building can fail too.
  struct Run {
    const char* name;
    std::function<int32_t(const double*, double*)> call;
  };
  const Run runs[] = {
      {"rfft padded",
       [](const double* x, double* o) { return ZMXFunc262(x, 30, 74, nullptr, 1, o); }},
      {"cfft padded",
       [](const double* x, double* o) { return ZMXFunc263(x, 30, 78, nullptr, 1, o); }},
      {"irfft", [](const double* x, double* o) { return ZMXFunc264(x, 82, nullptr, 1, o); }},
      {"icfft", [](const double* x, double* o) { return ZMXFunc265(x, 86, nullptr, 1, o); }},
      {"rfft2", [](const double* x, double* o) { return ZMXFunc266(x, 9, 9, 11, 13, 1, o); }},
      {"irfft2", [](const double* x, double* o) { return ZMXFunc268(x, 14, 15, 1, o); }},
  };
  const Vec x = SeqComplex(400);
  for (const Run& r : runs) {
    bool succeeded = false;
    for (int k = 1; k < 60 && !succeeded; ++k) {
      Vec out(800, -1.0);
      qm::SetWorkspaceFailureCountdown(k);
      const int32_t s = r.call(x.data(), out.data());
      qm::SetWorkspaceFailureCountdown(0);
      if (s == 0) {
        succeeded = true;
        Vec want(800, -1.0);
        ASSERT_EQ(r.call(x.data(), want.data()), 0);
        EXPECT_EQ(out, want) << r.name;
      } else {
        ASSERT_EQ(s, qm::kOutOfMemory) << r.name << " k=" << k;
      }
    }
    EXPECT_TRUE(succeeded) << r.name;
  }
  // Handle creation under memory failure: null, and nothing is leaked.
  const int before = qm::fft::FftHandleCount();
  for (int k = 1; k < 40; ++k) {
    qm::SetWorkspaceFailureCountdown(k);
    QmFftPlanHandle* h = ZMXFunc260(94);
    qm::SetWorkspaceFailureCountdown(0);
    if (h) {
      ZMXFunc261(h);
      break;
    }
  }
  EXPECT_EQ(qm::fft::FftHandleCount(), before);
}

}  // namespace
