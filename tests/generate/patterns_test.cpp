// One-shot patterns: worked values, formulas in long double and the checks.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr long double kPiL = std::numbers::pi_v<long double>;

TEST(Patterns, TriangleWorkedValues) {
  struct Case {
    int64_t n;
    double amplitude;
    std::vector<double> expected;
  } cases[] = {
      {5, 2.0, {0, 1, 2, 1, 0}}, {4, 2.0, {0, 1, 2, 1}},          {2, 3.0, {0, 3}},
      {3, -1.0, {0, -1, 0}},     {7, 3.0, {0, 1, 2, 3, 2, 1, 0}},
  };
  for (const Case& c : cases) {
    std::vector<double> out(c.n, 99.0);
    ASSERT_EQ(ZMXFunc178(c.n, c.amplitude, out.data()), 0);
    EXPECT_EQ(out, c.expected) << c.n;
  }
  double out[2] = {99, 99};
  EXPECT_EQ(ZMXFunc178(1, 1.0, out), -20006);
  EXPECT_EQ(ZMXFunc178(0, 1.0, out), -20006);
  EXPECT_EQ(out[0], 99.0);
}

TEST(Patterns, Ramp) {
  double out[5];
  ASSERT_EQ(ZMXFunc145(5, 1.0, 3.0, out), 0);
  const double expected[5] = {1.0, 1.5, 2.0, 2.5, 3.0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], expected[i]);

  // The last sample is exact even when the step is not.
  std::vector<double> long_ramp(1001);
  ASSERT_EQ(ZMXFunc145(1001, 0.1, -0.7, long_ramp.data()), 0);
  EXPECT_EQ(long_ramp[0], 0.1);
  EXPECT_EQ(long_ramp[1000], -0.7);
  EXPECT_NEAR(long_ramp[500], -0.3, 1e-15);

  double one = 0;
  EXPECT_EQ(ZMXFunc145(1, 3.0, 3.0, &one), 0);
  EXPECT_EQ(one, 3.0);
  one = 7;
  EXPECT_EQ(ZMXFunc145(1, 3.0, 4.0, &one), -20006);
  EXPECT_EQ(ZMXFunc145(0, 3.0, 3.0, &one), -20006);
  EXPECT_EQ(ZMXFunc145(-2, 3.0, 3.0, &one), -20006);
  EXPECT_EQ(one, 7.0);
}

TEST(Patterns, ImpulseAndPulse) {
  double out[6] = {9, 9, 9, 9, 9, 9};
  ASSERT_EQ(ZMXFunc93(6, 2.5, 3, out), 0);
  EXPECT_EQ(std::vector<double>(out, out + 6), (std::vector<double>{0, 0, 0, 2.5, 0, 0}));

  std::fill(out, out + 6, 9.0);
  EXPECT_EQ(ZMXFunc93(6, 2.5, 6, out), -20017);
  EXPECT_EQ(ZMXFunc93(6, 2.5, -1, out), -20017);
  EXPECT_EQ(ZMXFunc93(6, 2.5, int64_t{1} << 32, out), -20017);
  EXPECT_EQ(ZMXFunc93(0, 2.5, 0, out), -20003);
  EXPECT_EQ(ZMXFunc93(6, 2.5, 0, nullptr), -20008);
  for (double v : out) EXPECT_EQ(v, 9.0);  // nothing written on failure

  struct Pulse {
    int64_t delay, width;
    int32_t status;
    std::vector<double> expected;
  } pulses[] = {
      {1, 3, 0, {0, 1, 1, 1, 0, 0}},
      {0, 6, 0, {1, 1, 1, 1, 1, 1}},
      {4, 2, 0, {0, 0, 0, 0, 1, 1}},
      {2, 0, 0, {0, 0, 0, 0, 0, 0}},
      {5, 2, -20014, {}},
      {-1, 2, -20014, {}},
      {1, -1, -20014, {}},
      {2147483647, 2147483647, -20014, {}},  // the sum must not wrap
      {int64_t{1} << 31, 1, -20046, {}},
  };
  for (const Pulse& p : pulses) {
    std::fill(out, out + 6, 9.0);
    ASSERT_EQ(ZMXFunc141(6, 1.0, p.delay, p.width, out), p.status) << p.delay << " " << p.width;
    if (p.status == 0) {
      EXPECT_EQ(std::vector<double>(out, out + 6), p.expected);
    }
  }
  EXPECT_EQ(ZMXFunc141(0, 1.0, 0, 0, out), -20003);
}

TEST(Patterns, Chirp) {
  for (auto [f1, f2] : {std::pair{0.0, 0.5}, {0.05, 0.01}, {0.1, 0.1}}) {
    const int n = 500;
    std::vector<double> out(n);
    ASSERT_EQ(ZMXFunc28(n, 1.5, f1, f2, out.data()), 0);
    for (int i = 0; i < n; ++i) {
      const long double li = i;
      const long double expected =
          1.5L * std::sin((li * (f2 - f1) * kPiL / n + 2 * kPiL * f1) * li);
      ASSERT_NEAR(out[i], expected, 1e-11) << f1 << " " << f2 << " i=" << i;
    }
  }
  double out[1];
  EXPECT_EQ(ZMXFunc28(0, 1, 0, 0.5, out), -20003);
}

TEST(Patterns, SinePattern) {
  struct Case {
    int64_t n;
    double phase, cycles;
  } cases[] = {{100, 0.0, 1.0}, {256, 30.0, 7.5}, {50, -90.0, 50.0}, {1, 45.0, 1.0}};
  for (const Case& c : cases) {
    std::vector<double> out(c.n);
    ASSERT_EQ(ZMXFunc158(c.n, 2.0, c.phase, c.cycles, out.data()), 0);
    for (int64_t i = 0; i < c.n; ++i) {
      const long double arg = (c.phase + 360.0L * c.cycles * i / c.n) * kPiL / 180;
      ASSERT_NEAR(out[i], 2.0L * std::sin(arg), 1e-12) << c.cycles << " i=" << i;
    }
  }
  double out[10] = {};
  EXPECT_EQ(ZMXFunc158(10, 1, 0, 0.0, out), -20012);
  EXPECT_EQ(ZMXFunc158(10, 1, 0, -1.0, out), -20012);
  EXPECT_EQ(ZMXFunc158(10, 1, 0, 10.5, out), -20012);
  EXPECT_EQ(ZMXFunc158(10, 1, 0, NAN, out), -20012);
  EXPECT_EQ(ZMXFunc158(0, 1, 0, 0.0, out), -20003);
  EXPECT_EQ(ZMXFunc158(int64_t{1} << 31, 1, 0, 1.0, out), -20046);
}

}  // namespace
