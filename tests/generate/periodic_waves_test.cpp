// Periodic waves against their definitions evaluated in long double, phase
// continuity across calls, and the argument checks.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "generate/generate.h"
#include "qmanlys.h"

namespace {

constexpr long double kPiL = std::numbers::pi_v<long double>;

// Phase of sample i in long double, reduced to [0, 360).
long double PhaseL(double phase, double f, int i) {
  long double p = std::fmod(phase + static_cast<long double>(i) * 360.0L * f, 360.0L);
  return p < 0 ? p + 360.0L : p;
}

struct Wave {
  std::string name;
  // The export under test (square with a fixed duty of 30 %).
  std::function<int32_t(int64_t, double, double, double*, double*)> generate;
  std::function<long double(long double)> shape;
  std::vector<double> breakpoints;  // phases where the shape jumps or kinks
};

std::vector<Wave> Waves() {
  return {
      {"sine", ZMXFunc159, [](long double p) { return std::sin(p * kPiL / 180.0L); }, {}},
      {"square",
       [](int64_t n, double a, double f, double* ph, double* o) {
         return ZMXFunc165(n, a, f, ph, 30.0, o);
       },
       [](long double p) { return p < 108.0L ? 1.0L : -1.0L; },
       {0.0, 108.0, 360.0}},
      {"sawtooth",
       ZMXFunc151,
       [](long double p) { return p < 180.0L ? p / 180.0L : p / 180.0L - 2.0L; },
       {0.0, 180.0, 360.0}},
      {"triangle",
       ZMXFunc179,
       [](long double p) {
         if (p < 90.0L) return p / 90.0L;
         if (p < 270.0L) return 2.0L - p / 90.0L;
         return p / 90.0L - 4.0L;
       },
       {0.0, 90.0, 270.0, 360.0}},
  };
}

struct Setting {
  double amplitude, f, phase;
};

const Setting kSettings[] = {
    {1.0, 0.01, 0.0},   {2.5, 0.013, 10.0}, {-1.5, 0.1234, 359.5},
    {3.0, 0.4, -725.0}, {1.0, -0.07, 45.0}, {0.75, 1.3, 123.456},
};

TEST(PeriodicWaves, MatchTheirDefinitions) {
  const int n = 1000;
  for (const Wave& wave : Waves()) {
    for (const Setting& s : kSettings) {
      std::vector<double> out(n);
      double phase = s.phase;
      ASSERT_EQ(wave.generate(n, s.amplitude, s.f, &phase, out.data()), 0) << wave.name;
      double worst = 0;
      for (int i = 0; i < n; ++i) {
        const long double p = PhaseL(s.phase, s.f, i);
        bool near_jump = false;
        for (double b : wave.breakpoints) near_jump |= std::fabs(p - b) < 1e-7L;
        if (near_jump) continue;
        const long double expected = s.amplitude * wave.shape(p);
        worst = std::fmax(worst, static_cast<double>(std::fabs(out[i] - expected)));
      }
      // The sine recurrence accumulates a few ulps per sample.
      EXPECT_LT(worst, 1e-11 * std::fabs(s.amplitude))
          << wave.name << " f=" << s.f << " phase=" << s.phase;
      const double next = static_cast<double>(PhaseL(s.phase, s.f, n));
      EXPECT_GE(phase, 0.0);
      EXPECT_LT(phase, 360.0);
      EXPECT_NEAR(std::remainder(phase - next, 360.0), 0.0, 1e-9) << wave.name;
    }
  }
}

// Two calls of n/2 samples continue the wave exactly where one call of n
// would be. With a binary fraction for f the phases are exact, so the
// non-recursive waves match bit for bit; the sine restarts its recurrence
// from the returned phase and matches to rounding.
TEST(PeriodicWaves, ContinueAcrossCalls) {
  const int n = 512;
  const double table[] = {0.0, 2.0, -1.0, 0.5, 3.0};
  std::vector<Wave> waves = Waves();
  waves.push_back({"arbitrary",
                   [&](int64_t count, double a, double f, double* ph, double* o) {
                     return ZMXFunc9(count, a, f, ph, table, 5, 1, o);
                   },
                   {},
                   {}});
  for (const Wave& wave : waves) {
    for (double f : {0.0078125, 0.0390625, 0.3046875}) {
      std::vector<double> whole(n), parts(n);
      double phase_whole = 22.5, phase_parts = 22.5;
      ASSERT_EQ(wave.generate(n, 2.0, f, &phase_whole, whole.data()), 0);
      ASSERT_EQ(wave.generate(n / 2, 2.0, f, &phase_parts, parts.data()), 0);
      ASSERT_EQ(wave.generate(n / 2, 2.0, f, &phase_parts, parts.data() + n / 2), 0);
      const double tolerance = wave.name == "sine" ? 1e-12 : 0.0;
      for (int i = 0; i < n; ++i)
        ASSERT_NEAR(parts[i], whole[i], tolerance) << wave.name << " f=" << f << " i=" << i;
      EXPECT_EQ(phase_parts, phase_whole) << wave.name;
    }
  }
}

TEST(PeriodicWaves, SineStaysWithinTheAmplitude) {
  for (double amplitude : {1.0, -3.0}) {
    for (double f : {0.25, 0.5, 0.01, 0.499}) {
      std::vector<double> out(20000);
      double phase = 90.0;
      ASSERT_EQ(ZMXFunc159(20000, amplitude, f, &phase, out.data()), 0);
      for (double v : out) ASSERT_LE(std::fabs(v), std::fabs(amplitude)) << f;
    }
  }
}

TEST(PeriodicWaves, SawtoothQuarterSteps) {
  double out[4];
  double phase = 0.0;
  ASSERT_EQ(ZMXFunc151(4, 1.0, 0.25, &phase, out), 0);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[1], 0.5);
  EXPECT_EQ(out[2], -1.0);
  EXPECT_EQ(out[3], -0.5);
  EXPECT_EQ(phase, 0.0);
}

TEST(PeriodicWaves, SquareDutyIsClamped) {
  struct Case {
    double duty;
    std::vector<double> expected;  // f = 1/8 from phase 0: 0, 45, ..., 315 degrees
  } cases[] = {
      {50.0, {1, 1, 1, 1, -1, -1, -1, -1}},      {150.0, {1, 1, 1, 1, 1, 1, 1, 1}},
      {100.0, {1, 1, 1, 1, 1, 1, 1, 1}},         {0.0, {-1, -1, -1, -1, -1, -1, -1, -1}},
      {-20.0, {-1, -1, -1, -1, -1, -1, -1, -1}}, {12.5, {1, -1, -1, -1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    double out[8];
    double phase = 0.0;
    ASSERT_EQ(ZMXFunc165(8, 2.0, 0.125, &phase, c.duty, out), 0);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], 2.0 * c.expected[i]) << c.duty << " " << i;
  }
}

// Table lookup and linear interpolation against a direct evaluation of the
// position i*m*f + phase*m/360 in long double.
TEST(ArbitraryWave, ReadsTheTable) {
  const std::vector<double> table = {1.0, 4.0, -2.0, 0.5, 3.0, -1.0, 2.0};
  const int m = static_cast<int>(table.size());
  for (int interpolation : {0, 1, 7}) {
    for (double f : {0.0123, 0.31, -0.047}) {
      const int n = 300;
      std::vector<double> out(n);
      double phase = 100.0;
      ASSERT_EQ(ZMXFunc9(n, 1.5, f, &phase, table.data(), m, interpolation, out.data()), 0);
      for (int i = 0; i < n; ++i) {
        long double x = std::fmod(100.0L * m / 360.0L + static_cast<long double>(i) * m * f,
                                  static_cast<long double>(m));
        if (x < 0) x += m;
        const int k = static_cast<int>(std::floor(x));
        if (std::fabs(x - std::round(x)) < 1e-9L) continue;  // on an entry boundary
        long double v = table[k];
        if (interpolation == 1) v += (x - k) * (table[(k + 1) % m] - table[k]);
        ASSERT_NEAR(out[i], 1.5L * v, 1e-9) << interpolation << " f=" << f << " i=" << i;
      }
    }
  }
}

TEST(ArbitraryWave, EmptyTableGivesZeros) {
  for (int64_t m : {0, -3}) {
    double out[3] = {7, 7, 7};
    double phase = 123.0;
    ASSERT_EQ(ZMXFunc9(3, 1.0, 0.1, &phase, nullptr, m, 1, out), 0);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[2], 0.0);
    EXPECT_EQ(phase, 0.0);
  }
}

TEST(ArbitraryWave, RejectsPositionsItCannotPlace) {
  const double table[2] = {1.0, -1.0};
  double out[4] = {};
  const double inf = INFINITY, nan = NAN;
  double phase = nan;
  EXPECT_EQ(ZMXFunc9(4, 1.0, 0.1, &phase, table, 2, 0, out), -20068);
  phase = inf;
  EXPECT_EQ(ZMXFunc9(4, 1.0, 0.1, &phase, table, 2, 0, out), -20068);
  phase = 0.0;
  EXPECT_EQ(ZMXFunc9(4, 1.0, nan, &phase, table, 2, 0, out), -20068);
  EXPECT_EQ(ZMXFunc9(4, 1.0, -inf, &phase, table, 2, 0, out), -20068);
  // Finite but so fast that the table position overflows along the array.
  EXPECT_EQ(ZMXFunc9(4, 1.0, 1e308, &phase, table, 2, 0, out), -20046);
  EXPECT_EQ(ZMXFunc9(4, 1.0, 0.1, &phase, nullptr, 2, 0, out), -20008);
  EXPECT_EQ(ZMXFunc9(4, 1.0, 0.1, &phase, table, int64_t{1} << 31, 0, out), -20046);
}

TEST(ArbitraryWave, PositionsFarFromZeroStayInTheTable) {
  // A phase of -1e300 degrees and a frequency of -1e300 cycles per sample:
  // finite positions some 1e298 periods from zero, reduced into the table.
  const double table[6] = {1, 2, 3, 4, 5, 6};
  for (int32_t interpolation : {0, 1}) {
    double out[7] = {};
    double phase = -1e300;
    ASSERT_EQ(ZMXFunc9(7, 1.0, -1e300, &phase, table, 6, interpolation, out), 0);
    for (double v : out) {
      EXPECT_GE(v, 1.0) << interpolation;
      EXPECT_LE(v, 6.0) << interpolation;
    }
    EXPECT_GE(phase, 0.0);
    EXPECT_LT(phase, 360.0);
  }
  for (double x : {-2.3001405509309199e+20, -1.3045436014363381e+157, -5.8333119962227706e+221,
                   -1e300, 0x1p60 + 3.0}) {
    const double r = qm::generate::ReducePeriodic(x, 6.0);
    EXPECT_GE(r, 0.0) << x;
    EXPECT_LT(r, 6.0) << x;
  }
}

TEST(PeriodicWaves, BoundaryAndCountChecks) {
  using Generate = int32_t (*)(int64_t, double, double, double*, double*);
  const Generate generators[] = {ZMXFunc159, ZMXFunc151, ZMXFunc179};
  for (Generate generate : generators) {
    double out[2] = {5.0, 5.0};
    double phase = 30.0;
    EXPECT_EQ(generate(0, 1.0, 0.1, &phase, out), -20003);
    EXPECT_EQ(generate(-4, 1.0, 0.1, &phase, out), -20003);
    EXPECT_EQ(generate(int64_t{1} << 31, 1.0, 0.1, &phase, out), -20046);
    EXPECT_EQ(generate(2, 1.0, 0.1, nullptr, out), -20008);
    EXPECT_EQ(generate(2, 1.0, 0.1, &phase, nullptr), -20008);
    EXPECT_EQ(out[0], 5.0);
    EXPECT_EQ(phase, 30.0);
  }
  double out[2] = {5.0, 5.0};
  double phase = 30.0;
  EXPECT_EQ(ZMXFunc165(0, 1.0, 0.1, &phase, 50.0, out), -20003);
  EXPECT_EQ(ZMXFunc165(int64_t{1} << 31, 1.0, 0.1, &phase, 50.0, out), -20046);
  EXPECT_EQ(ZMXFunc9(0, 1.0, 0.1, &phase, out, 2, 0, out), -20003);
  EXPECT_EQ(out[0], 5.0);
  EXPECT_EQ(phase, 30.0);
}

}  // namespace
