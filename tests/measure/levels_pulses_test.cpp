// State levels, pulse measurements and cycle mean/RMS through the exports:
// two-valued records, square waves and trapezoid trains with closed-form
// crossings, sines, noisy records, and the statuses in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "frame/workspace.h"
#include "measure/waveform.h"
#include "waveforms.h"

namespace {

using namespace measure_test;

struct Levels {
  int32_t status;
  double high, low, amplitude;
};
Levels LevelsOf(const Vec& y, int32_t method, int64_t bins) {
  Levels l{0, kSentinel, kSentinel, kSentinel};
  l.status = ZMXFunc363(y.data(), static_cast<int64_t>(y.size()), method, bins, &l.high, &l.low,
                        &l.amplitude);
  return l;
}

// n samples, the first `low_count` at a, the rest at b.
Vec TwoValued(int n, int low_count, double a, double b) {
  Vec y(n, b);
  for (int i = 0; i < low_count; ++i) y[i] = a;
  return y;
}

TEST(StateLevels, TwoValuedRecordsGiveTheOuterBinCentres) {
  const double a = -1.5, b = 2.5;
  const Vec y = TwoValued(200, 80, a, b);
  for (int64_t bins : {2, 3, 4, 5, 10, 64, 100, 1000, 4096}) {
    SCOPED_TRACE(bins);
    for (int32_t method : {0, 2}) {
      const Levels l = LevelsOf(y, method, bins);
      ASSERT_EQ(l.status, 0);
      EXPECT_NEAR(l.low, a + (b - a) / (2.0 * bins), 1e-14);
      EXPECT_NEAR(l.high, b - (b - a) / (2.0 * bins), 1e-14);
      EXPECT_EQ(l.amplitude, l.high - l.low);
    }
  }
  const Levels peak = LevelsOf(y, 1, 7);
  EXPECT_EQ(peak.status, 0);
  EXPECT_EQ(peak.high, b);
  EXPECT_EQ(peak.low, a);
  EXPECT_EQ(peak.amplitude, b - a);
}

TEST(StateLevels, TiesAndTheAutomaticFivePercentRule) {
  // 10 bins over [0, 10]: equal counts in bins 1 and 3 (low side) and in
  // bins 6 and 8 (high side): the lowest and the highest bin win.
  const Vec ties = {0.0, 1.2, 1.7, 3.3, 3.4, 6.5, 6.6, 8.1, 8.2, 10.0};
  const Levels t = LevelsOf(ties, 0, 10);
  EXPECT_EQ(t.status, 0);
  EXPECT_DOUBLE_EQ(t.low, 1.5);
  EXPECT_DOUBLE_EQ(t.high, 8.5);
  // Automatic: a state needs strictly more than 5 % of the samples.
  for (int low_count : {4, 5, 6}) {
    const Levels l = LevelsOf(TwoValued(100, low_count, 0.0, 1.0), 2, 10);
    EXPECT_EQ(l.status, 0);
    EXPECT_DOUBLE_EQ(l.low, low_count > 5 ? 0.05 : 0.0) << low_count;
    EXPECT_DOUBLE_EQ(l.high, low_count > 5 ? 0.95 : 1.0) << low_count;
  }
}

TEST(StateLevels, ConstantRecordsOneBinAndStatuses) {
  const Vec c(50, 3.25);
  const Levels peak = LevelsOf(c, 1, 10);
  EXPECT_EQ(peak.status, 0);
  EXPECT_EQ(peak.high, 3.25);
  EXPECT_EQ(peak.low, 3.25);
  EXPECT_EQ(peak.amplitude, 0.0);
  for (int32_t method : {0, 2}) {
    const Levels l = LevelsOf(c, method, 10);
    EXPECT_EQ(l.status, -20309);
    EXPECT_EQ(l.high, 0.0);  // outputs are cleared first
  }
  // One bin holds both states: no amplitude (the peak method needs no bins).
  const Vec y = TwoValued(20, 10, 0.0, 1.0);
  EXPECT_EQ(LevelsOf(y, 0, 1).status, -20309);
  EXPECT_EQ(LevelsOf(y, 1, 1).status, 0);

  Vec bad = y;
  bad[3] = kNaN;
  struct Case {
    const double* y;
    int64_t n;
    int32_t method;
    int64_t bins;
    int32_t status;
  };
  const Case cases[] = {{y.data(), kTooBig, 0, 10, -20046}, {y.data(), 20, 0, kTooBig, -20046},
                        {y.data(), 20, 0, 0, -20317},       {y.data(), 0, 0, 10, -20312},
                        {nullptr, 20, 0, 10, -20312},       {y.data(), 20, 3, 10, -20316},
                        {bad.data(), 20, 9, 10, -20316},    {bad.data(), 20, 1, 10, -20068}};
  for (const Case& k : cases) {
    double h = kSentinel, l, a;
    EXPECT_EQ(ZMXFunc363(k.y, k.n, k.method, k.bins, &h, &l, &a), k.status);
    EXPECT_EQ(h, k.status == -20046 || k.status == -20317 ? kSentinel : 0.0) << k.status;
  }
  double h, l;
  EXPECT_EQ(ZMXFunc363(y.data(), 20, 0, 10, &h, &l, nullptr), -20008);
  qm::SetWorkspaceFailureCountdown(1);  // the counters, also for the peak method
  EXPECT_EQ(ZMXFunc363(y.data(), 20, 1, 10, &h, &l, &l), -20001);
}

TEST(PulseMeasurements, SquareWaveInPercentReferences) {
  // Period 100, high for 30 samples; starts low.
  Vec y(1000);
  for (int i = 0; i < 1000; ++i) y[i] = (i + 50) % 100 < 30 ? 1.0 : 0.0;
  for (int32_t method : {0, 1, 2}) {
    SCOPED_TRACE(method);
    const Pulse pos = PulseOf(y, 1, 3, kPercent, method);
    ASSERT_EQ(pos.status, 0);
    EXPECT_NEAR(pos.period, 100, 1e-12);
    EXPECT_NEAR(pos.width, 30, 1e-12);
    EXPECT_NEAR(pos.duty, 0.3, 1e-14);
    const Pulse neg = PulseOf(y, 0, 3, kPercent, method);
    ASSERT_EQ(neg.status, 0);
    EXPECT_NEAR(neg.width, 70, 1e-12);
    EXPECT_NEAR(neg.duty, 0.7, 1e-14);
    EXPECT_NEAR(neg.centre, pos.centre + 50, 1e-12);
    // The levels used, converted from percent.
    const double low = method == 1 ? 0.0 : 0.005, amp = method == 1 ? 1.0 : 0.99;
    EXPECT_NEAR(pos.high, low + 0.9 * amp, 1e-15);
    EXPECT_NEAR(pos.middle, low + 0.5 * amp, 1e-15);
    EXPECT_NEAR(pos.low, low + 0.1 * amp, 1e-15);
  }
}

TEST(PulseMeasurements, TrapezoidCrossingsAreExact) {
  const Vec y = Trapezoids(400);  // rising mid crossings at 16.5 + 40k, falling at 35.5 + 40k
  for (int c = 1; c <= 9; ++c) {
    const Pulse pos = PulseOf(y, 1, c);
    ASSERT_EQ(pos.status, 0) << c;
    EXPECT_EQ(pos.period, 40);
    EXPECT_EQ(pos.width, 19);
    EXPECT_EQ(pos.duty, 19.0 / 40);
    EXPECT_EQ(pos.centre, 26 + 40 * (c - 1));
    const Pulse neg = PulseOf(y, 0, c);
    EXPECT_EQ(neg.width, 21);
    EXPECT_EQ(neg.centre, 46 + 40 * (c - 1));
    EXPECT_EQ(PulseOf(y, -1, c).centre, pos.centre);  // the first crossing is rising
  }
  // Starting inside the high plateau the first crossing falls: polarity -1
  // then measures the negative pulse.
  EXPECT_EQ(PulseOf(Trapezoids(400, 25), -1, 2).width, 21);
  // Hysteresis 0 (middle = low) is accepted; the references are echoed.
  const Pulse h0 = PulseOf(y, 1, 2, {7.5, 4.5, 4.5, 0});
  EXPECT_EQ(h0.status, 0);
  EXPECT_EQ(h0.width, 19);
  EXPECT_EQ(h0.low, 4.5);
  EXPECT_EQ(h0.high, 7.5);
}

TEST(PulseMeasurements, SamplesOnTheMiddleLevelWithoutHysteresis) {
  // middle = low = 4: each sample at 4 flips the state and touches the
  // level, so crossings follow at 3 (rising), 3 (falling, between two equal
  // samples: d = 0 is taken as 1) and 4.
  const Vec y = {0, 0, 0, 4, 4, 4, 8, 8, 8, 8};
  const Pulse p = PulseOf(y, -1, 1, {8, 4, 4, 0});
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.period, 1);
  EXPECT_EQ(p.width, 0);
  EXPECT_EQ(p.centre, 3);
}

TEST(PulseMeasurements, ExtremeFiniteSamples) {
  // Differences of samples near DBL_MAX overflow; the crossing fractions
  // stay finite and exact (0.75 rising, 0.25 falling for level DBL_MAX/2).
  const double big = std::numeric_limits<double>::max();
  Vec y(500);
  for (int i = 0; i < 500; ++i) y[i] = (i + 50) % 100 < 30 ? big : -big;
  const Pulse p = PulseOf(y, 1, 2, {big, big / 2, 0, 0});
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.width, 29.5);
  EXPECT_EQ(p.period, 100);
  EXPECT_EQ(p.centre, 149.75 + 14.75);
  EXPECT_EQ(LevelsOf(y, 1, 10).high, big);
  EXPECT_EQ(LevelsOf(y, 0, 10).status, 0);  // range beyond DBL_MAX: no undefined bin
}

TEST(PulseMeasurements, CrossingCountAndRecordsEndingMidPulse) {
  // Pulse c needs crossing 2c at 16.5 + 40c, seen once sample 17 + 40c exists.
  for (int c : {1, 4}) {
    EXPECT_EQ(PulseOf(Trapezoids(18 + 40 * c), 1, c).status, 0) << c;
    EXPECT_EQ(PulseOf(Trapezoids(17 + 40 * c), 1, c).status, -20308) << c;  // 2c crossings
    EXPECT_EQ(PulseOf(Trapezoids(17 + 40 * c), 0, c).status, -20308) << c;
  }
  // Pulse numbers whose 2c+1 crossings cannot fit in the record fail at
  // once (no allocation of 2^32 records, no 32-bit wrap of 2c+1).
  const Vec y = Trapezoids(400);
  for (int64_t c : {int64_t{200}, int64_t{1} << 30, int64_t{INT32_MAX}})
    EXPECT_EQ(PulseOf(y, 1, c).status, -20308) << c;
  EXPECT_EQ(PulseOf(y, 1, kTooBig).status, -20046);
}

TEST(PulseMeasurements, StatusesInOrderAndTheReferenceEcho) {
  const Vec y = Trapezoids(200);
  struct Case {
    int32_t polarity;
    int64_t c;
    Refs refs;
    int32_t method;
    int64_t bins;
    int32_t status;
  };
  const Refs bad_unit{7.5, 4.5, 0.5, 2};
  const Case cases[] = {
      {1, 1, kTrapezoidRefs, 0, -1, -20317},  {1, 0, kTrapezoidRefs, 0, 10, -20323},
      {2, 0, kTrapezoidRefs, 0, 10, -20323},  {2, 1, kTrapezoidRefs, 0, 10, -20061},
      {-2, 1, bad_unit, 0, 10, -20061},       {1, 1, bad_unit, 0, 10, -20314},
      {1, 1, kPercent, 5, 10, -20316},        {1, 1, {4, 5, 1, 0}, 0, 10, -20313},
      {1, 1, {9, 5, 6, 0}, 0, 10, -20313},    {1, 1, {9, kNaN, 1, 0}, 0, 10, -20313},
      {1, 1, {9, 5, kNaN, 0}, 0, 10, -20313}, {1, 1, {9.5, 8.5, 4.5, 0}, 0, 10, -20308}};
  // (the last never crosses 8.5)
  for (const Case& k : cases) {
    const Pulse p = PulseOf(y, k.polarity, k.c, k.refs, k.method, k.bins);
    EXPECT_EQ(p.status, k.status) << k.polarity << " " << k.c;
    EXPECT_EQ(p.period, 0.0);
    EXPECT_EQ(p.high, k.refs.high);  // not converted: the failure came first
  }
  // Converted levels are echoed when a later step fails.
  const Pulse late = PulseOf(Trapezoids(30), 1, 1, kPercent, 1);
  EXPECT_EQ(late.status, -20308);
  EXPECT_EQ(late.middle, 4.0);
  EXPECT_EQ(PulseOf(y, 1, 1, {kNaN, 5, 1, 0}).status, -20313);
  EXPECT_EQ(PulseOf(y, 1, 1, {INFINITY, INFINITY, 1, 0}).status, -20313);  // inf - inf
  Vec nan = y;
  nan[100] = kNaN;
  EXPECT_EQ(PulseOf(nan, 1, 1).status, -20068);
  nan[100] = -INFINITY;
  EXPECT_EQ(PulseOf(nan, 1, 1, kPercent).status, -20068);
  double o[7] = {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel};
  EXPECT_EQ(ZMXFunc364(nullptr, 200, 1, 1, 7.5, 4.5, 0.5, 0, 0, 10, o, o + 1, o + 2, o + 3, o + 4,
                       o + 5, o + 6),
            -20312);
  EXPECT_EQ(o[6], 7.5);
  o[6] = kSentinel;
  EXPECT_EQ(ZMXFunc364(y.data(), 200, 1, 1, 7.5, 4.5, 0.5, 0, 0, 10, o, o + 1, o + 2, nullptr,
                       o + 4, o + 5, o + 6),
            -20008);
  EXPECT_EQ(o[6], kSentinel);  // boundary failures write nothing
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(PulseOf(y, 1, 1).status, -20001);
  qm::SetWorkspaceFailureCountdown(2);
  EXPECT_EQ(PulseOf(y, 1, 1).status, -20311);
}

TEST(PulseMeasurements, TimeBaseOfTheMeasurementCore) {
  const Vec y = Trapezoids(200);
  uint32_t counts[10];
  qm::measure::References refs{7.5, 4.5, 0.5};
  qm::measure::PulseResult r;
  ASSERT_EQ(
      qm::measure::MeasurePulse({y.data(), 200, 100.0, 0.5}, 1, 2, &refs, 0, 0, {counts, 10}, &r),
      0);
  EXPECT_EQ(r.period, 20);
  EXPECT_EQ(r.width, 9.5);
  EXPECT_EQ(r.duty_cycle, 19.0 / 40);
  EXPECT_EQ(r.centre, 100 + 66 * 0.5);
  EXPECT_EQ(
      qm::measure::MeasurePulse({y.data(), 200, 0.0, 0.0}, 1, 2, &refs, 0, 0, {counts, 10}, &r),
      -20315);
}

TEST(PulseMeasurements, NoisyTrainsKeepTheirCrossings) {
  std::mt19937_64 gen(17);
  std::normal_distribution<double> noise(0.0, 0.05);
  Vec y = Trapezoids(4000, 7);
  for (double& v : y) v += noise(gen);
  for (int c : {1, 50, 99}) {  // noise of 0.05 against a slope of 1 per sample
    const Pulse p = PulseOf(y, 1, c, kPercent, 0, 200);
    ASSERT_EQ(p.status, 0) << c;
    EXPECT_NEAR(p.period, 40, 0.3);
    EXPECT_NEAR(p.width, 20, 0.5);  // 28 - 2 * middle
    EXPECT_NEAR(p.middle, 4, 0.1);
  }
  // 200 crossings, none added by the noise (hysteresis 3.2).
  EXPECT_EQ(PulseOf(y, 1, 100, kPercent, 0, 200).status, -20308);
}

TEST(CycleAverageAndRms, TrapezoidAndIntegerPeriodSines) {
  const Cycle t = CycleOf(Trapezoids(400), 3);
  ASSERT_EQ(t.status, 0);
  EXPECT_EQ(t.start, 96.5);
  EXPECT_EQ(t.end, 136.5);
  EXPECT_EQ(t.mean, 4.0);  // 160 / 40 over any whole period
  EXPECT_NEAR(t.rms, std::sqrt(1112.0 / 40), 1e-15);
  for (int period : {7, 50, 64}) {
    for (double phase : {0.3, 1.9}) {
      Vec y(20 * period);
      const double a = 2.5;
      for (size_t i = 0; i < y.size(); ++i)
        y[i] = a * std::sin(2 * std::numbers::pi * i / period + phase);
      const Cycle s = CycleOf(y, 5, {a / 2, 0, -a / 2, 0});
      ASSERT_EQ(s.status, 0) << period;
      EXPECT_NEAR(s.mean, 0.0, 1e-12);
      EXPECT_NEAR(s.rms, a / std::sqrt(2.0), 1e-12);
      EXPECT_NEAR(s.end - s.start, period, 0.1);
    }
  }
}

TEST(CycleAverageAndRms, WindowAtTheEndAndStatuses) {
  // Crossing 4 on the last sample (it equals the middle level): period
  // 40.5, window of 41 samples from 57, ending at sample n-1 = 97.
  Vec y = Trapezoids(97);
  y.push_back(4.5);
  const Cycle q = CycleOf(y, 2);
  ASSERT_EQ(q.status, 0);
  EXPECT_EQ(q.start, 56.5);
  EXPECT_EQ(q.end, 97);
  EXPECT_DOUBLE_EQ(q.mean, (160 + 4.5) / 41);  // a whole period and the last sample
  EXPECT_DOUBLE_EQ(q.rms, std::sqrt((1112 + 4.5 * 4.5) / 41));
  const Cycle short_record = CycleOf(Trapezoids(60), 2, kPercent, 1);
  EXPECT_EQ(short_record.status, -20308);
  EXPECT_EQ(short_record.mean, 0.0);
  EXPECT_EQ(short_record.middle, 4.0);  // converted before the failure
  EXPECT_EQ(CycleOf(Trapezoids(60), 0).status, -20323);
  EXPECT_EQ(CycleOf(Trapezoids(60), 1, {7.5, 4.5, 0.5, 3}).status, -20314);
  EXPECT_EQ(CycleOf(Trapezoids(60), kTooBig).status, -20046);
}

}  // namespace
