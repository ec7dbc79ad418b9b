// Time-based pulse shapes against mpmath references (data/pulse_shapes.txt,
// made by data/gen_pulse_shapes.py), the triangular pulse against its
// closed form, and the argument checks in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

using Generator = std::function<int32_t(int64_t n, double* out)>;

struct Case {
  std::string name;
  int64_t n;
  double amplitude;
  Generator generate;
};

// Must match CASES in data/gen_pulse_shapes.py.
std::vector<Case> Cases() {
  const double dt16 = 2 * std::numbers::pi / 16;
  return {
      {"sinc", 41, 1.5, [](int64_t n, double* o) { return ZMXFunc157(n, 1.5, 2.0, 0.1, o); }},
      {"sinc_shifted", 64, 0.8,
       [](int64_t n, double* o) { return ZMXFunc157(n, -0.8, 3.3, 0.173, o); }},
      {"psinc4", 33, 2.0,
       [=](int64_t n, double* o) { return ZMXFunc349(n, 2.0, 0.0, dt16, 4, o); }},
      {"psinc5", 33, 1.0,
       [=](int64_t n, double* o) { return ZMXFunc349(n, 1.0, 0.0, dt16, 5, o); }},
      {"psinc7_offset", 50, 1.25,
       [](int64_t n, double* o) { return ZMXFunc349(n, 1.25, 3.0, 0.37, 7, o); }},
      {"monopulse", 101, 2.0,
       [](int64_t n, double* o) { return ZMXFunc347(n, 2.0, 0.5, 0.01, 2.5, o); }},
      {"gausssine", 201, 1.0,
       [](int64_t n, double* o) { return ZMXFunc348(n, 1.0, 0.5, 0.005, 5.0, 0.5, 6.0, o); }},
      {"gausssine_narrow", 120, 3.0,
       [](int64_t n, double* o) { return ZMXFunc348(n, 3.0, 0.3, 0.005, 20.0, 0.2, 20.0, o); }},
  };
}

std::map<std::string, std::vector<double>> LoadReferences() {
  std::map<std::string, std::vector<double>> refs;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/pulse_shapes.txt");
  std::string name;
  int i;
  double v;
  while (in >> name >> i >> v) {
    auto& values = refs[name];
    if (static_cast<int>(values.size()) <= i) values.resize(i + 1);
    values[i] = v;
  }
  return refs;
}

TEST(PulseShapes, MatchHighPrecisionReferences) {
  const auto refs = LoadReferences();
  ASSERT_FALSE(refs.empty()) << "missing " << QM_TEST_DATA_DIR << "/pulse_shapes.txt";
  for (const Case& c : Cases()) {
    const auto it = refs.find(c.name);
    ASSERT_NE(it, refs.end()) << c.name;
    ASSERT_EQ(static_cast<int64_t>(it->second.size()), c.n) << c.name;
    std::vector<double> out(c.n);
    ASSERT_EQ(c.generate(c.n, out.data()), 0) << c.name;
    for (int64_t i = 0; i < c.n; ++i)
      ASSERT_NEAR(out[i], it->second[i], 2e-14 * c.amplitude * 10) << c.name << " i=" << i;
  }
}

// Where sin(t/2) vanishes the periodic sinc takes its limit, which for an
// even order alternates in sign from one period to the next.
TEST(PulseShapes, PeriodicSincLimitKeepsItsSign) {
  const double dt = 2 * std::numbers::pi / 16;  // sample 16 is t = 2*pi, sample 32 is t = 4*pi
  for (int order : {1, 2, 3, 4, 9, 10}) {
    double out[33];
    ASSERT_EQ(ZMXFunc349(33, 1.0, 0.0, dt, order, out), 0);
    EXPECT_EQ(out[0], 1.0) << order;
    EXPECT_NEAR(out[16], order % 2 ? 1.0 : -1.0, 1e-15) << order;
    EXPECT_NEAR(out[32], 1.0, 1e-15) << order;
  }
}

double TriangleReference(double t, double a, double width, double skew) {
  if (t < 0 || t > width) return 0;
  const double peak = width * skew;
  if (peak == 0) return a * (width - t) / width;
  if (t <= peak) return a * t / peak;
  return a * (width - t) / (width - peak);
}

TEST(PulseShapes, TriangularPulse) {
  struct Setting {
    double amplitude, delay, dt, width, skew;
  } settings[] = {
      {2.0, 0.0, 0.25, 2.0, 0.5},  {1.0, 1.0, 0.1, 3.0, 0.0},    {1.0, -0.5, 0.1, 3.0, 1.0},
      {-3.0, 0.3, 0.07, 1.1, 0.2}, {1.0, 0.0, 0.5, 2.0, 1e-320},
  };
  for (const Setting& s : settings) {
    const int n = 40;
    double out[n];
    ASSERT_EQ(ZMXFunc350(n, s.amplitude, s.delay, s.dt, s.width, s.skew, out), 0);
    for (int i = 0; i < n; ++i) {
      const double t = i * s.dt - s.delay;
      ASSERT_NEAR(out[i], TriangleReference(t, s.amplitude, s.width, s.skew), 1e-14)
          << "skew=" << s.skew << " i=" << i;
      ASSERT_TRUE(std::isfinite(out[i]));
    }
  }
  // Worked example: width 2, skew 0.5 sampled every 0.25.
  double out[10];
  ASSERT_EQ(ZMXFunc350(10, 2.0, 0.0, 0.25, 2.0, 0.5, out), 0);
  const double expected[10] = {0, 0.5, 1, 1.5, 2, 1.5, 1, 0.5, 0, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

// Each row lists one failing argument set and the status it must give; the
// order of the rows within an export follows the order of its checks.
TEST(PulseShapes, ChecksInOrder) {
  const double nan = NAN;
  double out[4] = {9, 9, 9, 9};
  struct Row {
    const char* what;
    int32_t got, expected;
  } rows[] = {
      {"sinc n", ZMXFunc157(0, 1, 0, 0.1, out), -20003},
      {"sinc n before dt", ZMXFunc157(-1, 1, 0, 0, out), -20003},
      {"sinc dt", ZMXFunc157(4, 1, 0, 0, out), -20016},
      {"sinc dt nan", ZMXFunc157(4, 1, 0, nan, out), -20016},
      {"sinc size", ZMXFunc157(int64_t{1} << 31, 1, 0, 0.1, out), -20046},
      {"sinc null", ZMXFunc157(4, 1, 0, 0.1, nullptr), -20008},
      {"psinc order before n", ZMXFunc349(0, 1, 0, 0.1, 0, out), -20140},
      {"psinc n", ZMXFunc349(0, 1, 0, 0, 3, out), -20003},
      {"psinc dt", ZMXFunc349(4, 1, 0, -1, 3, out), -20016},
      {"mono fc before n", ZMXFunc347(0, 1, 0, 0.1, 0, out), -20140},
      {"mono fc nan", ZMXFunc347(4, 1, 0, 0.1, nan, out), -20140},
      {"mono n", ZMXFunc347(0, 1, 0, 0, 1, out), -20003},
      {"mono dt", ZMXFunc347(4, 1, 0, 0, 1, out), -20016},
      {"gsine fc", ZMXFunc348(0, 1, 0, 0.1, -1, 1, 1, out), -20140},
      {"gsine bandwidth", ZMXFunc348(4, 1, 0, 0.1, 1, 0, 1, out), -20140},
      {"gsine attenuation", ZMXFunc348(4, 1, 0, 0.1, 1, 1, -6, out), -20140},
      {"gsine n", ZMXFunc348(0, 1, 0, 0, 1, 1, 1, out), -20003},
      {"gsine dt", ZMXFunc348(4, 1, 0, 0, 1, 1, 1, out), -20016},
      {"tri n first", ZMXFunc350(0, 1, 0, 0, 0, 2, out), -20003},
      {"tri width", ZMXFunc350(4, 1, 0, 0, 0, 2, out), -20140},
      {"tri dt", ZMXFunc350(4, 1, 0, 0, 1, 2, out), -20016},
      {"tri skew high", ZMXFunc350(4, 1, 0, 0.1, 1, 1.5, out), -20053},
      {"tri skew low", ZMXFunc350(4, 1, 0, 0.1, 1, -0.1, out), -20053},
      {"tri skew nan", ZMXFunc350(4, 1, 0, 0.1, 1, nan, out), -20053},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.expected) << r.what;
  for (double v : out) EXPECT_EQ(v, 9.0);
}

}  // namespace
