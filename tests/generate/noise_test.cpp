// Noise generators against an independent Wichmann-Hill (AS 183) and polar
// method written here, their statistics, and their per-thread state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "frame/platform.h"  // the library's private generator (rand_r on Linux)
#include "qmanlys.h"

namespace {

// AS 183 in its original integer form (Schrage's decomposition, so that no
// product exceeds 16 bits times 8 bits), starting from three seeds.
struct ReferenceUniform {
  long s1, s2, s3;
  ReferenceUniform(unsigned long a, unsigned long b, unsigned long c)
      : s1(a % 30269), s2(b % 30307), s3(c % 30323) {}
  // The seed expansion of the library: s, (s*8191) & 16383, (that*8191) & 16383.
  static ReferenceUniform FromSeed(unsigned long s) {
    const unsigned long b = (s * 8191) & 16383;
    return ReferenceUniform(s, b, (b * 8191) & 16383);
  }
  static ReferenceUniform Initial() { return ReferenceUniform(1234, 2345, 3456); }
  double Next() {
    s1 = 171 * (s1 % 177) - 2 * (s1 / 177);
    if (s1 < 0) s1 += 30269;
    s2 = 172 * (s2 % 176) - 35 * (s2 / 176);
    if (s2 < 0) s2 += 30307;
    s3 = 170 * (s3 % 178) - 63 * (s3 / 178);
    if (s3 < 0) s3 += 30323;
    return std::fmod(s1 / 30269.0 + s2 / 30307.0 + s3 / 30323.0, 1.0);
  }
};

// Marsaglia's polar method on the reference uniform sequence: of each
// accepted pair (a, b) the value from b is returned first and the one from a
// is kept for the next draw.
struct ReferenceGaussian {
  ReferenceUniform u;
  bool cached = false;
  double keep = 0;
  double Next() {
    if (cached) {
      cached = false;
      return keep;
    }
    double a, b, s;
    do {
      a = 2 * u.Next() - 1;
      b = 2 * u.Next() - 1;
      s = a * a + b * b;
    } while (s >= 1 || s == 0);
    const double r = std::sqrt(-2 * std::log(s) / s);
    keep = r * a;
    cached = true;
    return r * b;
  }
};

std::vector<double> Uniform01(int64_t n, int32_t seed) {
  std::vector<double> out(n);
  EXPECT_EQ(ZMXFunc182(n, seed, out.data()), 0);
  return out;
}

std::vector<double> Gaussian(int64_t n, double sd, int32_t seed) {
  std::vector<double> out(n);
  EXPECT_EQ(ZMXFunc84(n, sd, seed, out.data()), 0);
  return out;
}

// Runs `body` on a new thread, which starts with a fresh generator record.
template <class F>
void OnNewThread(F body) {
  std::thread t(body);
  t.join();
}

TEST(UniformNoise, FollowsWichmannHillFromTheSeed) {
  // 16384 and 495927296 leave two seeds, or all three, at zero: the first
  // runs on one generator, the second would freeze and restarts from the
  // initial seeds instead.
  for (int32_t seed : {1, 7, 12345, 16383, 16384, 30269, 2147483647, 495927296}) {
    ReferenceUniform ref =
        seed == 495927296 ? ReferenceUniform::Initial() : ReferenceUniform::FromSeed(seed);
    ReferenceUniform ref_c = ref;
    const std::vector<double> got = Uniform01(1000, seed);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(got[i], ref.Next()) << seed << " i=" << i;
    // 0 and negative seeds continue the sequence.
    for (int32_t more : {0, -1, -123}) {
      const std::vector<double> next = Uniform01(10, more);
      for (double v : next) ASSERT_EQ(v, ref.Next()) << seed;
    }
    // The +-amplitude generator is a separate one with the same rule.
    std::vector<double> scaled(300);
    ASSERT_EQ(ZMXFunc185(300, 2.5, seed, scaled.data()), 0);
    for (double v : scaled) ASSERT_EQ(v, (ref_c.Next() - 0.5) * 2 * 2.5) << seed;
  }
}

TEST(UniformNoise, FirstCallWithoutSeedUsesInitialSeeds) {
  OnNewThread([] {
    ReferenceUniform ref = ReferenceUniform::Initial();
    const std::vector<double> got = Uniform01(100, 0);
    for (double v : got) ASSERT_EQ(v, ref.Next());
  });
  OnNewThread([] {
    ReferenceGaussian ref{ReferenceUniform::Initial()};
    const std::vector<double> got = Gaussian(11, 1.0, 0);
    for (double v : got) ASSERT_EQ(v, ref.Next());
  });
}

// A negative seed on a thread's first call starts from the clock: a 14-bit
// start value is drawn from a generator seeded with seed + time(), expanded
// like a seed (a draw of 0 keeps the initial seeds).
TEST(UniformNoise, FirstCallWithNegativeSeedStartsFromTheClock) {
  for (int32_t seed : {-1, -977}) {
    OnNewThread([seed] {
      const std::time_t before = std::time(nullptr);
      const std::vector<double> got = Uniform01(50, seed);
      const std::time_t after = std::time(nullptr);
      bool matched = false;
      ReferenceUniform ref = ReferenceUniform::Initial();
      for (std::time_t t = before; t <= after && !matched; ++t) {
        unsigned state = static_cast<unsigned>(seed) + static_cast<unsigned>(t);
        const unsigned long s = static_cast<unsigned>(qm::platform::PrivateRandom(&state)) & 16383u;
        ref = s ? ReferenceUniform::FromSeed(s) : ReferenceUniform::Initial();
        matched = true;
        for (double v : got) matched = matched && v == ref.Next();
      }
      ASSERT_TRUE(matched) << seed;
      // The clock is read only on the first call: the next one continues.
      const std::vector<double> next = Uniform01(5, seed);
      for (double v : next) EXPECT_EQ(v, ref.Next());
    });
  }
}

TEST(UniformNoise, FailedCallLeavesTheSequenceAlone) {
  OnNewThread([] {
    ReferenceUniform ref = ReferenceUniform::FromSeed(77);
    (void)Uniform01(3, 77);
    for (int i = 0; i < 3; ++i) ref.Next();
    double out[2] = {9, 9};
    EXPECT_EQ(ZMXFunc182(0, 5, out), -20003);
    EXPECT_EQ(ZMXFunc182(int64_t{1} << 31, 5, out), -20046);
    EXPECT_EQ(ZMXFunc182(2, 5, nullptr), -20008);
    EXPECT_EQ(ZMXFunc185(-1, 1.0, 5, out), -20003);
    EXPECT_EQ(ZMXFunc84(0, 1.0, 5, out), -20003);
    EXPECT_EQ(ZMXFunc84(2, 1.0, 5, nullptr), -20008);
    EXPECT_EQ(out[0], 9.0);
    const std::vector<double> next = Uniform01(4, -1);
    for (double v : next) ASSERT_EQ(v, ref.Next());
  });
}

TEST(GaussianNoise, FollowsThePolarMethodAcrossCalls) {
  ReferenceGaussian ref{ReferenceUniform::FromSeed(42)};
  // Odd lengths leave a cached value between calls; seeds <= 0 continue.
  std::vector<double> got = Gaussian(7, 1.5, 42);
  for (int32_t seed : {0, -1, 0}) {
    const std::vector<double> more = Gaussian(3, 1.5, seed);
    got.insert(got.end(), more.begin(), more.end());
  }
  for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], 1.5 * ref.Next()) << i;

  // A positive seed restarts and forgets the cached value.
  (void)Gaussian(1, 1.0, 3);
  ReferenceGaussian restart{ReferenceUniform::FromSeed(3)};
  const std::vector<double> again = Gaussian(4, 1.0, 3);
  for (double v : again) ASSERT_EQ(v, restart.Next());

  // The cached value takes the standard deviation of the call that returns it.
  ReferenceGaussian scaled{ReferenceUniform::FromSeed(5)};
  (void)Gaussian(1, 1.0, 5);
  (void)scaled.Next();
  EXPECT_EQ(Gaussian(1, -4.0, 0)[0], -4.0 * scaled.Next());
}

TEST(GaussianNoise, FrozenSeedStillProducesNoise) {
  ReferenceGaussian ref{ReferenceUniform::Initial()};
  const std::vector<double> got = Gaussian(10, 1.0, 495927296);
  for (double v : got) ASSERT_EQ(v, ref.Next());
}

double NormalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Largest distance between the empirical distribution of `x` and `cdf`.
template <class Cdf>
double KolmogorovDistance(std::vector<double> x, Cdf cdf) {
  std::sort(x.begin(), x.end());
  const double n = static_cast<double>(x.size());
  double d = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double f = cdf(x[i]);
    d = std::max({d, f - i / n, (i + 1) / n - f});
  }
  return d;
}

// 1e6 samples with fixed seeds. The bounds are five standard errors for the
// moments and the 1 % critical value 1.63/sqrt(n) for the distance.
TEST(NoiseStatistics, MillionSamples) {
  const int n = 1000000;
  const double sd = 2.0;
  const std::vector<double> g = Gaussian(n, sd, 2024);
  double mean = 0, m2 = 0;
  for (double v : g) mean += v;
  mean /= n;
  for (double v : g) m2 += (v - mean) * (v - mean);
  m2 /= n - 1;
  EXPECT_LT(std::fabs(mean), 5 * sd / std::sqrt(n));
  EXPECT_LT(std::fabs(m2 - sd * sd), 5 * sd * sd * std::sqrt(2.0 / n));
  EXPECT_LT(KolmogorovDistance(g, [sd](double x) { return NormalCdf(x / sd); }),
            1.63 / std::sqrt(n));

  const std::vector<double> u = Uniform01(n, 99);
  double umean = 0;
  for (double v : u) {
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
    umean += v;
  }
  EXPECT_LT(std::fabs(umean / n - 0.5), 5 * std::sqrt(1.0 / 12 / n));
  EXPECT_LT(KolmogorovDistance(u, [](double x) { return x; }), 1.63 / std::sqrt(n));

  std::vector<double> a(n / 4);
  ASSERT_EQ(ZMXFunc185(n / 4, 3.0, 11, a.data()), 0);
  for (double v : a) {
    ASSERT_GE(v, -3.0);
    ASSERT_LT(v, 3.0);
  }
}

// Threads seeded alike draw the same values while running at the same time,
// and a thread's sequence is not disturbed by another thread drawing from its
// own generators.
TEST(NoiseThreads, SameSeedSameSequenceAndNoSharing) {
  const int chunks = 200, chunk = 37;
  auto draw = [&](int32_t seed, std::vector<double>* gauss, std::vector<double>* unif) {
    for (int c = 0; c < chunks; ++c) {
      std::vector<double> g = Gaussian(chunk, 1.0, c == 0 ? seed : 0);
      std::vector<double> u = Uniform01(chunk, c == 0 ? seed : -1);
      gauss->insert(gauss->end(), g.begin(), g.end());
      unif->insert(unif->end(), u.begin(), u.end());
    }
  };
  std::vector<double> g1, u1, g2, u2, g3, u3;
  std::thread t1(draw, 31, &g1, &u1), t2(draw, 31, &g2, &u2), t3(draw, 8, &g3, &u3);
  t1.join();
  t2.join();
  t3.join();
  EXPECT_EQ(g1, g2);
  EXPECT_EQ(u1, u2);
  EXPECT_NE(g1, g3);
  ReferenceGaussian ref{ReferenceUniform::FromSeed(31)};
  ReferenceUniform uref = ReferenceUniform::FromSeed(31);
  for (size_t i = 0; i < g1.size(); ++i) {
    ASSERT_EQ(g1[i], ref.Next()) << i;
    ASSERT_EQ(u1[i], uref.Next()) << i;
  }
}

}  // namespace
