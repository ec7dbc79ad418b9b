// Descriptive statistics, sort, median, histogram and modes: against golden
// values (tests/stats/data, made with mpmath), straightforward references
// and the documented edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const int64_t kTooBig = int64_t{1} << 31;

struct Golden {
  std::vector<double> x;
  std::map<std::string, double> value;
};

Golden LoadGolden() {
  Golden g;
  std::ifstream in(QM_TEST_DATA_DIR "/descriptive_golden.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string name;
    s >> name;
    if (name == "data") {
      size_t n;
      s >> n;
      g.x.resize(n);
      for (double& v : g.x) s >> v;
    } else {
      s >> g.value[name];
    }
  }
  return g;
}

TEST(Descriptive, GoldenStatistics) {
  const Golden g = LoadGolden();
  ASSERT_EQ(g.x.size(), 1001u);
  const double* x = g.x.data();
  const int64_t n = 1001;
  auto rel = [](double got, double want, double tol) { EXPECT_NEAR(got / want, 1.0, tol) << want; };
  double mean, var, sd, rms, m;
  ASSERT_EQ(ZMXFunc122(x, n, &mean), 0);
  rel(mean, g.value.at("mean"), 1e-15);
  ASSERT_EQ(ZMXFunc184(x, n, &mean, &var), 0);
  rel(var, g.value.at("variance"), 1e-7);  // one-pass: cancellation of 1e6 against 12
  ASSERT_EQ(ZMXFunc166(x, n, &mean, &sd), 0);
  rel(sd, g.value.at("stddev"), 1e-13);
  ASSERT_EQ(ZMXFunc150(x, n, &rms), 0);
  rel(rms, g.value.at("rms"), 1e-15);
  for (int k : {2, 3, 4, 5}) {
    ASSERT_EQ(ZMXFunc125(x, n, k, &m), 0);
    rel(m, g.value.at("moment" + std::to_string(k)), 1e-11);
  }
  ASSERT_EQ(ZMXFunc123(x, n, &m), 0);
  EXPECT_EQ(m, g.value.at("median_odd"));
  ASSERT_EQ(ZMXFunc123(x, n - 1, &m), 0);
  EXPECT_EQ(m, g.value.at("median_even"));
}

TEST(Descriptive, ConstantAndSmallSamples) {
  const std::vector<double> c(10, 0.1);
  double mean, var, sd, moment, ac, dc;
  ASSERT_EQ(ZMXFunc184(c.data(), 10, &mean, &var), 0);
  EXPECT_GE(var, 0.0);
  EXPECT_LT(var, 1e-17);
  ASSERT_EQ(ZMXFunc166(c.data(), 10, &mean, &sd), 0);
  EXPECT_EQ(mean, 0.1);
  EXPECT_EQ(sd, 0.0);
  ASSERT_EQ(ZMXFunc125(c.data(), 10, 3, &moment), 0);
  EXPECT_EQ(moment, 0.0);
  ASSERT_EQ(ZMXFunc2(c.data(), 10, &ac, &dc), 0);
  EXPECT_EQ(ac, 0.0);
  EXPECT_EQ(dc, 0.1);

  const double z[] = {3, 4, 0, -2, 1, 1};
  double rms = 0;
  ASSERT_EQ(ZMXFunc369(z, 3, &rms), 0);
  EXPECT_DOUBLE_EQ(rms, std::sqrt((25.0 + 4 + 2) / 3));
  EXPECT_EQ(ZMXFunc369(z, 0, &rms), -20003);
  EXPECT_TRUE(std::isnan(rms));

  EXPECT_EQ(ZMXFunc125(z, 3, 0, &moment), -20021);
  EXPECT_EQ(ZMXFunc125(z, 0, 0, &moment), -20003);
  // A huge order finishes at once (and |d| < 1 underflows to 0).
  const double small[] = {0.25, -0.25};
  ASSERT_EQ(ZMXFunc125(small, 2, 2000000000, &moment), 0);
  EXPECT_EQ(moment, 0.0);
  ASSERT_EQ(ZMXFunc125(small, 2, 4, &moment), 0);
  EXPECT_EQ(moment, std::pow(0.25, 4));
}

TEST(Descriptive, BoundaryStatuses) {
  double x[4] = {1, 2, 3, 4}, a = 7, b = 7;
  int64_t counts[2], count = 1;
  const struct {
    const char* name;
    int32_t got;
    int32_t want;
  } rows[] = {
      {"mean n=0", ZMXFunc122(x, 0, &a), -20003},
      {"mean big", ZMXFunc122(x, kTooBig, &a), -20046},
      {"mean null", ZMXFunc122(nullptr, 4, &a), -20008},
      {"var big", ZMXFunc184(x, kTooBig, &a, &b), -20046},
      {"sd n<0", ZMXFunc166(x, -1, &a, &b), -20003},
      {"rms big", ZMXFunc150(x, kTooBig, &a), -20046},
      {"crms big", ZMXFunc369(x, kTooBig, &a), -20046},
      {"median big", ZMXFunc123(x, kTooBig, &a), -20046},
      {"median 0", ZMXFunc123(x, 0, &a), -20003},
      {"sort 0", ZMXFunc160(x, 0, 0, nullptr), -20003},
      {"sort big", ZMXFunc160(x, kTooBig, 0, nullptr), -20046},
      {"norm2d rows 0", ZMXFunc133(x, 0, 4, nullptr, &a, &b), -20003},
      {"norm2d big", ZMXFunc133(x, kTooBig, 1, nullptr, &a, &b), -20046},
      {"norm 0", ZMXFunc132(x, 0, nullptr, &a, &b), -20003},
      {"acdc big", ZMXFunc2(x, kTooBig, &a, &b), -20046},
      {"acdc 0", ZMXFunc2(x, 0, &a, &b), -20003},
      {"mode base>top", ZMXFunc124(x, 4, 2, 1, 3, &a), -20101},
      {"mode m=0", ZMXFunc124(x, 4, 0, 1, 0, &a), -20003},
      {"mode m big", ZMXFunc124(x, 4, 0, 1, kTooBig, &a), -20046},
      {"modes 0", ZMXFunc340(x, 0, 0, &a, &count), -20003},
      {"hist base>top", ZMXFunc90(x, 4, 1, 0, counts, nullptr, 2), -20101},
      {"hist n=0", ZMXFunc90(x, 0, 0, 1, counts, nullptr, 2), -20003},
      {"hist m=0", ZMXFunc90(x, 4, 0, 1, counts, nullptr, 0), -20003},
      {"hist m big", ZMXFunc90(x, 4, 0, 1, counts, nullptr, kTooBig), -20046},
      {"hist x null", ZMXFunc90(nullptr, 4, 0, 1, counts, nullptr, 2), -20008},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.name;
  EXPECT_EQ(a, 7);  // no error wrote an output
  EXPECT_EQ(b, 7);
  EXPECT_EQ(x[0], 1);
}

// Checks that `got` is `input` sorted with its NaNs first.
void ExpectNaNsFirstThenSorted(const std::vector<double>& input, const std::vector<double>& got,
                               bool descending) {
  std::vector<double> values;
  for (double v : input)
    if (!std::isnan(v)) values.push_back(v);
  std::sort(values.begin(), values.end());
  if (descending) std::reverse(values.begin(), values.end());
  const size_t nans = input.size() - values.size();
  ASSERT_EQ(got.size(), input.size());
  for (size_t i = 0; i < nans; ++i) ASSERT_TRUE(std::isnan(got[i])) << i;
  for (size_t i = 0; i < values.size(); ++i) ASSERT_EQ(got[nans + i], values[i]) << i;
}

TEST(Sort, NaNsFirstInBothDirections) {
  std::vector<double> x = {3, kNaN, 1, kNaN, 2};
  std::vector<double> out(5);
  ASSERT_EQ(ZMXFunc160(x.data(), 5, 0, out.data()), 0);
  ExpectNaNsFirstThenSorted(x, out, false);
  EXPECT_EQ(x[0], 3);                                  // input kept when an output is given
  ASSERT_EQ(ZMXFunc160(x.data(), 5, -7, nullptr), 0);  // in place, descending
  EXPECT_TRUE(std::isnan(x[0]) && std::isnan(x[1]));
  EXPECT_EQ(std::vector<double>(x.begin() + 2, x.end()), (std::vector<double>{3, 2, 1}));

  std::mt19937_64 rng(7);
  for (int trial = 0; trial < 20; ++trial) {
    const size_t n = 1 + rng() % 3000;
    std::vector<double> in(n);
    for (double& v : in) {
      const unsigned r = rng() % 10;
      v = r < 3 ? kNaN : r < 4 ? kInf * (rng() % 2 ? 1 : -1) : static_cast<double>(rng() % 50);
    }
    for (int dir : {0, 1}) {
      std::vector<double> got = in;
      ASSERT_EQ(ZMXFunc160(got.data(), static_cast<int64_t>(n), dir, got.data()), 0);
      ExpectNaNsFirstThenSorted(in, got, dir != 0);
    }
  }
  const std::vector<double> all_nan(9, kNaN);
  std::vector<double> got = all_nan;
  ASSERT_EQ(ZMXFunc160(got.data(), 9, 0, nullptr), 0);
  ExpectNaNsFirstThenSorted(all_nan, got, false);
}

TEST(Median, OddEvenNaNAndMemory) {
  const double x[] = {4, 1, 3, 2};
  double m = 0;
  ASSERT_EQ(ZMXFunc123(x, 4, &m), 0);
  EXPECT_EQ(m, 2.5);
  ASSERT_EQ(ZMXFunc123(x, 3, &m), 0);
  EXPECT_EQ(m, 3);
  ASSERT_EQ(ZMXFunc123(x, 1, &m), 0);
  EXPECT_EQ(m, 4);
  const double big[] = {1.5e308, 1.7e308};
  ASSERT_EQ(ZMXFunc123(big, 2, &m), 0);
  EXPECT_EQ(m, 1.6e308);
  const double with_nan[] = {1, 2, kNaN, 4, 5};
  EXPECT_EQ(ZMXFunc123(with_nan, 5, &m), -20104);
  EXPECT_TRUE(std::isnan(m));
  m = 9;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc123(x, 4, &m), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(m, 9);

  std::mt19937_64 rng(11);
  for (int n : {2, 5, 6, 101, 1000}) {
    std::vector<double> v(n);
    for (double& e : v) e = static_cast<double>(rng() % 37) - 18.5;
    std::vector<double> s = v;
    std::sort(s.begin(), s.end());
    const double want = n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
    ASSERT_EQ(ZMXFunc123(v.data(), n, &m), 0);
    EXPECT_EQ(m, want) << n;
  }
}

TEST(Normalize, ZeroMeanUnitDeviation) {
  std::vector<double> x = {1, 2, 3, 4, 5, 6};
  std::vector<double> out(6);
  double mean, sd;
  ASSERT_EQ(ZMXFunc133(x.data(), 2, 3, out.data(), &mean, &sd), 0);
  EXPECT_EQ(mean, 3.5);
  EXPECT_DOUBLE_EQ(sd, std::sqrt(17.5 / 6));
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(out[i], (x[i] - 3.5) / sd);
  ASSERT_EQ(ZMXFunc132(x.data(), 6, nullptr, &mean, &sd), 0);  // in place
  EXPECT_EQ(x, out);
  std::vector<double> c(4, 2.0);
  ASSERT_EQ(ZMXFunc133(c.data(), 2, 2, nullptr, &mean, &sd), 0);
  EXPECT_EQ(sd, 0.0);
  for (double v : c) EXPECT_TRUE(std::isnan(v));
}

TEST(AcDc, SineOnOffset) {
  const int n = 1000;
  std::vector<double> x(n);
  for (double cycles : {5.0, 12.37}) {
    for (int i = 0; i < n; ++i)
      x[i] = 1.25 + 2.0 * std::sin(2 * std::numbers::pi * cycles * i / n + 0.3);
    double ac, dc;
    ASSERT_EQ(ZMXFunc2(x.data(), n, &ac, &dc), 0);
    const double tol = cycles == 5.0 ? 1e-12 : 2e-3;
    EXPECT_NEAR(dc, 1.25, tol) << cycles;
    EXPECT_NEAR(ac, 2.0 / std::sqrt(2.0), tol) << cycles;
  }
  double ac = 3, dc = 3;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc2(x.data(), n, &ac, &dc), -20001);
  qm::SetWorkspaceFailureCountdown(2);  // the window's own tables
  EXPECT_EQ(ZMXFunc2(x.data(), n, &ac, &dc), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(ac, 3);
}

TEST(Histogram, EdgesCentresAndNullOutputs) {
  const double x[] = {0, 0.5, 1, 1.5};
  int64_t counts[2] = {-1, -1};
  double centres[2];
  ASSERT_EQ(ZMXFunc90(x, 4, 0, 1, counts, centres, 2), 0);
  EXPECT_EQ(counts[0], 1);
  EXPECT_EQ(counts[1], 2);
  EXPECT_EQ(centres[0], 0.25);
  EXPECT_EQ(centres[1], 0.75);
  EXPECT_EQ(ZMXFunc90(x, 4, 0, 1, nullptr, centres, 2), 0);
  EXPECT_EQ(ZMXFunc90(x, 4, 0, 1, counts, nullptr, 2), 0);
  EXPECT_EQ(counts[1], 2);

  // base = top: everything in the last interval.
  int64_t c3[3];
  double m3[3];
  ASSERT_EQ(ZMXFunc90(x, 4, 2, 2, c3, m3, 3), 0);
  EXPECT_EQ(std::vector<int64_t>(c3, c3 + 3), (std::vector<int64_t>{0, 0, 4}));
  EXPECT_EQ(std::vector<double>(m3, m3 + 3), (std::vector<double>{2, 2, 2}));

  // NaN, infinities and far values are ignored; just below top is counted.
  const double top = 5 / 97.0;  // (top - ulp) * 10 / top rounds to 10
  const double odd[] = {kNaN, kInf, -kInf, 1e308, -1e308, std::nextafter(top, 0), top, 0.01};
  int64_t c10[10];
  ASSERT_EQ(ZMXFunc90(odd, 8, 0, top, c10, nullptr, 10), 0);
  int64_t total = 0;
  for (int64_t c : c10) total += c;
  EXPECT_EQ(total, 3);
  EXPECT_EQ(c10[9], 2);

  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc90(x, 4, 0, 1, counts, centres, 2), -20001);
  qm::SetWorkspaceFailureCountdown(0);
}

TEST(Mode, FullestIntervalLowestOnTies) {
  const double x[] = {0.1, 0.15, 0.9, 0.95, 0.5};
  double mode = 0;
  ASSERT_EQ(ZMXFunc124(x, 5, 0, 1, 4, &mode), 0);  // intervals 0 and 3 tie
  EXPECT_EQ(mode, 0.125);
  ASSERT_EQ(ZMXFunc124(x, 4, 0, 1, 4, &mode), 0);
  EXPECT_EQ(mode, 0.125);
  ASSERT_EQ(ZMXFunc124(x + 2, 3, 0, 1, 4, &mode), 0);
  EXPECT_EQ(mode, 0.875);
  ASSERT_EQ(ZMXFunc124(x, 5, 3, 3, 4, &mode), 0);
  EXPECT_EQ(mode, 3);
}

TEST(Modes, ExactValuesIntervalsAndCapacity) {
  struct Row {
    std::vector<double> x;
    int64_t intervals;
    std::vector<double> modes;
  };
  const Row rows[] = {
      {{3, 2, 3, 1, 2, 5}, 0, {2, 3}},
      {{1, 2, 3, 4}, 0, {}},
      {{7, 7, 7}, -4, {7}},
      {{1e-300, 1e-300, 0, 0, 0}, 0, {0}},
      {{1, 1.0000000000000002, 5, 5}, 0, {1, 5}},  // one ulp apart: the same value
      {{0.1, 0.2, 0.25, 0.9, 1.0}, 4, {0.2125}},
      {{0, 0.1, 0.9, 1.0}, 2, {0.25, 0.75}},
      {{0, 0.5, 1.0}, 3, {}},  // greatest count 1
      {{4, 4, 4, 4}, 3, {4}},
      {{2.5}, 0, {}},
  };
  for (const Row& r : rows) {
    std::vector<double> buffer(8, -1);
    int64_t count = 8;
    ASSERT_EQ(ZMXFunc340(r.x.data(), static_cast<int64_t>(r.x.size()), r.intervals, buffer.data(),
                         &count),
              0);
    ASSERT_EQ(count, static_cast<int64_t>(r.modes.size())) << r.x[0];
    for (size_t i = 0; i < r.modes.size(); ++i) EXPECT_DOUBLE_EQ(buffer[i], r.modes[i]) << r.x[0];
  }
  // Capacity below the number of modes: the count is still the total.
  const double x[] = {1, 1, 2, 2, 3, 3};
  double one = -1;
  int64_t count = 1;
  ASSERT_EQ(ZMXFunc340(x, 6, 0, &one, &count), 0);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(one, 1);
  count = 5;
  ASSERT_EQ(ZMXFunc340(x, 6, 0, nullptr, &count), 0);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(ZMXFunc340(x, 6, 0, &one, nullptr), -20008);
  count = 4;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc340(x, 6, 0, &one, &count), -20001);
  qm::SetWorkspaceFailureCountdown(0);
}

}  // namespace
