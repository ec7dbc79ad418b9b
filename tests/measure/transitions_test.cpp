// Transition measurements through the export: exact trapezoid edges, the
// aberration windows on either side, records that end after an edge, and
// the statuses in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>

#include "frame/workspace.h"
#include "waveforms.h"

namespace {

using namespace measure_test;

TEST(TransitionMeasurements, TrapezoidEdgesAreExact) {
  const Vec y = Trapezoids(400);  // rising 12.5 -> 19.5, falling 32.5 -> 39.5, period 40
  for (int c = 1; c <= 9; ++c) {
    SCOPED_TRACE(c);
    for (int32_t method : {0, 1, 2}) {
      const Edge up = EdgeOf(y, 1, c, kTrapezoidRefs, method, 16);
      ASSERT_EQ(up.status, 0);
      EXPECT_EQ(up.start, 12.5 + 40 * (c - 1));
      EXPECT_EQ(up.end, 19.5 + 40 * (c - 1));
      EXPECT_EQ(up.duration, 7);
      EXPECT_EQ(up.slew, 1);
      // 16 bins over [0, 8]: states 0.25 and 7.75 (the maximum is in the
      // last bin) for every method; the windows hold plateau samples only.
      EXPECT_DOUBLE_EQ(up.pre_below, 0.25 * 100 / 7.5);
      EXPECT_DOUBLE_EQ(up.pre_above, -0.25 * 100 / 7.5);
      EXPECT_DOUBLE_EQ(up.post_above, 0.25 * 100 / 7.5);
      EXPECT_DOUBLE_EQ(up.post_below, -0.25 * 100 / 7.5);
      const Edge down = EdgeOf(y, 0, c, kTrapezoidRefs, method, 16);
      ASSERT_EQ(down.status, 0);
      EXPECT_EQ(down.start, 32.5 + 40 * (c - 1));
      EXPECT_EQ(down.end, 39.5 + 40 * (c - 1));
      EXPECT_EQ(down.slew, 1);
      EXPECT_DOUBLE_EQ(down.pre_above, 0.25 * 100 / 7.5);  // against the high state
      EXPECT_DOUBLE_EQ(down.post_below, 0.25 * 100 / 7.5);
    }
  }
  // An edge that starts at sample 0: the pre-transition window is y[0]
  // alone (start index 1 minus three edge lengths stays at 0).
  const Edge first = EdgeOf(Trapezoids(100, 12), 1, 1, kTrapezoidRefs, 0, 16);
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.start, 0.5);
  EXPECT_DOUBLE_EQ(first.pre_above, -0.25 * 100 / 7.5);
}

TEST(TransitionMeasurements, OvershootAndTheWindowLimits) {
  // A spike of 10 two samples after rising edge 2 (window 60..66, halfway
  // to the falling edge that starts at 73): 20 bins over [0, 10] put the
  // states at 0.25 and 8.25, amplitude 8.
  Vec y = Trapezoids(400);
  y[62] = 10;
  const Edge up = EdgeOf(y, 1, 2, kTrapezoidRefs, 0, 20);
  ASSERT_EQ(up.status, 0);
  EXPECT_EQ(up.post_above, (10 - 8.25) * 100 / 8);
  EXPECT_EQ(up.post_below, 0.25 * 100 / 8);
  EXPECT_EQ(EdgeOf(y, 1, 1, kTrapezoidRefs, 0, 20).post_above, -0.25 * 100 / 8);
  EXPECT_EQ(EdgeOf(y, 0, 2, kTrapezoidRefs, 0, 20).pre_above, -0.25 * 100 / 8);  // from 66 on

  // Record ending in the plateau after rising edge 2: no following
  // transition, the post window ends at n-1 = 64 (inside end + 3*7).
  Vec cut = Trapezoids(65);
  cut[64] = 10;
  const Edge last = EdgeOf(cut, 1, 2, kTrapezoidRefs, 0, 20);
  ASSERT_EQ(last.status, 0);
  EXPECT_EQ(last.post_above, (10 - 8.25) * 100 / 8);
  EXPECT_EQ(EdgeOf(cut, 0, 2, kTrapezoidRefs, 0, 20).status, -20310);

  // A long low plateau before the first edge: the pre window starts three
  // edge lengths (21 samples) before the start index 43.
  Vec lead(30, 0.0);
  const Vec tail = Trapezoids(100);
  lead.insert(lead.end(), tail.begin(), tail.end());
  for (int bump : {21, 22}) {
    Vec b = lead;
    b[bump] = 0.4;  // below the low reference: nothing else changes
    const Edge e = EdgeOf(b, 1, 1, kTrapezoidRefs, 0, 16);
    ASSERT_EQ(e.status, 0);
    EXPECT_EQ(e.start, 42.5);
    EXPECT_DOUBLE_EQ(e.pre_above, ((bump == 22 ? 0.4 : 0.0) - 0.25) * 100 / 7.5) << bump;
  }
}

TEST(TransitionMeasurements, LaterCrossingsOverwriteAndSteepEdges) {
  // The signal crosses the low reference three times before it reaches the
  // high one: the edge starts at the last of them.
  Vec y = {0, 0, 0, 1, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 8, 8, 8, 8, 8, 8};
  const Edge e = EdgeOf(y, 1, 1, kTrapezoidRefs, 1, 16);
  ASSERT_EQ(e.status, 0);
  EXPECT_EQ(e.start, 5.5);
  EXPECT_EQ(e.end, 12.5);
  // A step whose two crossings round to the same position has no slope.
  const Vec step = {-1e300, 1e300, 1e300, 1e300};
  const Edge s = EdgeOf(step, 1, 1, {1, 0, -1, 0}, 0, 2);
  EXPECT_EQ(s.status, -20326);
  EXPECT_EQ(s.start, 0.5);
  EXPECT_EQ(s.duration, 0.0);
}

TEST(TransitionMeasurements, NoisyEdges) {
  std::mt19937_64 gen(23);
  std::normal_distribution<double> noise(0.0, 0.05);
  Vec y = Trapezoids(2000, 3);
  for (double& v : y) v += noise(gen);
  for (int32_t slope : {0, 1}) {
    const Edge e = EdgeOf(y, slope, 20, kPercent, 0, 200);
    ASSERT_EQ(e.status, 0);
    EXPECT_NEAR(e.duration, 6.4, 0.3);  // 80 % of 8 at one unit per sample
    EXPECT_NEAR(e.slew, 1, 0.05);
    EXPECT_NEAR(e.high - e.low, 6.4, 0.1);
  }
}

TEST(TransitionMeasurements, ConcurrentCallsOnOneRecord) {
  const Vec y = Trapezoids(4000, 5);
  const Edge want = EdgeOf(y, 0, 60, kPercent, 2, 64);
  const Pulse want_pulse = PulseOf(y, 1, 60, kPercent, 0, 64);
  ASSERT_EQ(want.status, 0);
  ASSERT_EQ(want_pulse.status, 0);
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int k = 0; k < 50; ++k) {
        const Edge e = EdgeOf(y, 0, 60, kPercent, 2, 64);
        const Pulse p = PulseOf(y, 1, 60, kPercent, 0, 64);
        mismatches[t] +=
            e.start != want.start || e.post_above != want.post_above || p.width != want_pulse.width;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(TransitionMeasurements, StatusesInOrderAndTheReferenceEcho) {
  const Vec y = Trapezoids(200);
  struct Case {
    int32_t slope;
    int64_t c;
    Refs refs;
    int32_t method;
    int64_t bins;
    int32_t status;
  };
  const Case cases[] = {
      {1, 1, kTrapezoidRefs, 0, 0, -20317},       {1, 0, kTrapezoidRefs, 0, 16, -20323},
      {2, -3, kTrapezoidRefs, 0, 16, -20323},     {-1, 1, kTrapezoidRefs, 0, 16, -20061},
      {2, 1, {7.5, 4.5, 0.5, 2}, 0, 16, -20061},  {1, 1, {7.5, 4.5, 0.5, 2}, 0, 16, -20314},
      {1, 1, kTrapezoidRefs, 3, 16, -20316},      {1, 1, {7.5, 8, 0.5, 0}, 0, 16, -20313},
      {1, 1, {7.5, 4.5, kNaN, 0}, 0, 16, -20313}, {1, 1, kTrapezoidRefs, 1, 1, -20309},
      {1, 1, {4, 4, 4, 0}, 0, 16, -20313},        {1, 6, kTrapezoidRefs, 0, 16, -20310},
      {0, 5, kTrapezoidRefs, 0, 16, -20310}};
  for (const Case& k : cases) {
    const Edge e = EdgeOf(y, k.slope, k.c, k.refs, k.method, k.bins);
    EXPECT_EQ(e.status, k.status) << k.slope << " " << k.c << " " << k.method;
    EXPECT_EQ(e.start, 0.0);  // also when too few edges of the slope exist
    EXPECT_EQ(e.slew, 0.0);
    EXPECT_EQ(e.high, k.refs.high);
  }
  // Edge numbers beyond what a record can hold: no 2^32 records, no wrap.
  for (int64_t c : {int64_t{1} << 30, int64_t{INT32_MAX}})
    EXPECT_EQ(EdgeOf(y, 1, c).status, -20310) << c;
  EXPECT_EQ(EdgeOf(y, 1, kTooBig).status, -20046);
  // Percent references are echoed converted when a later step fails.
  const Edge late = EdgeOf(y, 1, 6, kPercent, 1, 16);
  EXPECT_EQ(late.status, -20310);
  EXPECT_EQ(late.low, 0.8);
  EXPECT_EQ(late.high, 7.2);
  EXPECT_EQ(EdgeOf(Vec(50, 1.0), 1, 1, kTrapezoidRefs, 1, 16).status, -20309);
  Vec bad = y;
  bad[7] = INFINITY;
  EXPECT_EQ(EdgeOf(bad, 1, 1).status, -20068);
  double o[11];
  EXPECT_EQ(ZMXFunc366(nullptr, 200, 1, 1, 7.5, 4.5, 0.5, 0, 0, 16, o, o + 1, o + 2, o + 3, o + 4,
                       o + 5, o + 6, o + 7, o + 8, o + 9, o + 10),
            -20312);
  EXPECT_EQ(o[4], 0.5);
  EXPECT_EQ(ZMXFunc366(y.data(), 200, 1, 1, 7.5, 4.5, 0.5, 0, 0, 16, o, o + 1, o + 2, o + 3, o + 4,
                       o + 5, o + 6, o + 7, o + 8, o + 9, nullptr),
            -20008);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(EdgeOf(y, 1, 1).status, -20001);
  qm::SetWorkspaceFailureCountdown(2);
  EXPECT_EQ(EdgeOf(y, 1, 1).status, -20311);
  EXPECT_EQ(EdgeOf(y, 1, 1).status, 0);
}

}  // namespace
