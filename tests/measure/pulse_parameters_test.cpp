// PulseParameters through the export: the two nine-sample records, a
// trapezoid pulse with an overshoot spike (positive and negative), records
// that end early or start on the 50 % level, and the statuses.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/workspace.h"
#include "waveforms.h"

namespace {

using namespace measure_test;

struct Params {
  int32_t status;
  double amplitude, l90, l50, l10, top, base, overshoot, preshoot;
  int64_t delay, width, rise, fall;
  double slew;
};
Params ParamsOf(const Vec& x) {
  Params p{0,         kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel,
           kSentinel, kSentinel, -7,        -7,        -7,        -7,        kSentinel};
  p.status = ZMXFunc142(x.data(), static_cast<int64_t>(x.size()), &p.amplitude, &p.l90, &p.l50,
                        &p.l10, &p.top, &p.base, &p.overshoot, &p.preshoot, &p.delay, &p.width,
                        &p.rise, &p.fall, &p.slew);
  return p;
}

TEST(PulseParameters, NineSampleRecords) {
  const Params pos = ParamsOf({0, 0, 0, 1, 1, 1, 0, 0, 0});
  ASSERT_EQ(pos.status, 0);
  EXPECT_EQ(pos.base, 1.0 / 202);
  EXPECT_EQ(pos.top, 201.0 / 202);
  EXPECT_DOUBLE_EQ(pos.amplitude, 100.0 / 101);
  EXPECT_NEAR(pos.overshoot, 1.0 / 202, 1e-17);
  EXPECT_NEAR(pos.preshoot, 1.0 / 202, 1e-17);
  EXPECT_DOUBLE_EQ(pos.l50, 0.5);
  EXPECT_DOUBLE_EQ(pos.l10, 21.0 / 202);
  EXPECT_DOUBLE_EQ(pos.l90, 181.0 / 202);
  EXPECT_EQ(pos.delay, 2);  // 2.5
  EXPECT_EQ(pos.width, 3);
  EXPECT_EQ(pos.rise, 0);  // 160/202
  EXPECT_EQ(pos.fall, 0);
  EXPECT_NEAR(pos.slew, 1.0, 1e-15);
  const Params neg = ParamsOf({1, 1, 1, 0, 0, 0, 1, 1, 1});
  ASSERT_EQ(neg.status, 0);
  EXPECT_DOUBLE_EQ(neg.amplitude, -100.0 / 101);
  EXPECT_EQ(neg.top, 1.0 / 202);  // exchanged
  EXPECT_EQ(neg.base, 201.0 / 202);
  EXPECT_EQ(neg.delay, 2);
  EXPECT_EQ(neg.width, 3);
  EXPECT_NEAR(neg.slew, -1.0, 1e-15);
}

// Zeros, a ramp of 10 per sample through 5 .. 95, 20 samples at 100 with a
// spike of 120 in the middle, the ramp back, zeros: 70 samples.
Vec SpikedPulse() {
  Vec x(70, 0.0);
  for (int j = 0; j < 10; ++j) x[10 + j] = x[49 - j] = 5 + 10 * j;
  for (int i = 20; i < 40; ++i) x[i] = 100;
  x[30] = 120;
  return x;
}

TEST(PulseParameters, TrapezoidPulseWithOvershoot) {
  // 101 intervals of w = 120/101: the zeros in interval 0, the plateau in 84.
  const double w = 120.0 / 101, base = w / 2, top = w / 2 + 84 * w, a = top - base;
  const Params p = ParamsOf(SpikedPulse());
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.base, base);
  EXPECT_EQ(p.top, top);
  EXPECT_EQ(p.overshoot, 120 - top);
  EXPECT_EQ(p.preshoot, base);
  // Crossings of a 10-per-sample ramp: level r at 10 + (r - 5)/10 rising
  // and at 49 - (r - 5)/10 falling, so rise = fall = 0.08*a = 7.98, delay =
  // 14.5 + (M - 50)/10 with M = base + a/2 = 50.49, width = 30 - (M - 50)/5.
  EXPECT_EQ(p.delay, 14);
  EXPECT_EQ(p.width, 29);
  EXPECT_EQ(p.rise, 7);
  EXPECT_EQ(p.fall, 7);
  EXPECT_NEAR(p.slew, 10, 1e-12);  // the ramp's slope
  // The same pulse upside down: negative amplitude and slew, top and base
  // exchanged, the same times.
  Vec neg = SpikedPulse();
  for (double& v : neg) v = -v;
  const Params n = ParamsOf(neg);
  ASSERT_EQ(n.status, 0);
  EXPECT_NEAR(n.amplitude, -a, 1e-12);
  EXPECT_NEAR(n.top, -120 + 16.5 * w, 1e-12);
  EXPECT_NEAR(n.base, -w / 2, 1e-12);
  EXPECT_NEAR(n.overshoot, w / 2, 1e-12);
  EXPECT_NEAR(n.preshoot, 16.5 * w, 1e-12);
  EXPECT_EQ(n.delay, 14);
  EXPECT_EQ(n.width, 29);
  EXPECT_EQ(n.rise, 7);
  EXPECT_EQ(n.fall, 7);
  EXPECT_NEAR(n.slew, -10, 1e-12);
}

TEST(PulseParameters, RecordsThatEndHighOrStartAtTheMiddle) {
  // Never back below 50 %: the width runs to the last sample (24 - 9.5).
  Vec high(25, 100.0);
  for (int i = 0; i < 5; ++i) high[i] = 0;
  for (int j = 0; j < 10; ++j) high[5 + j] = 5 + 10 * j;
  const Params h = ParamsOf(high);
  EXPECT_EQ(h.status, 0);
  EXPECT_EQ(h.delay, 9);
  EXPECT_EQ(h.width, 14);
  // x[0] equal to the 50 % level (exactly 0.5 here): the crossing is at
  // position 0, nothing before x[0] is read.
  const Params m = ParamsOf({0.5, 0, 0, 1, 1, 1, 0, 0, 0});
  EXPECT_EQ(m.status, 0);
  EXPECT_EQ(m.l50, 0.5);
  EXPECT_EQ(m.delay, 0);
  EXPECT_EQ(m.width, 5);  // 5.5
  EXPECT_EQ(m.rise, 2);
}

TEST(PulseParameters, InfeasibleTimesAndStatuses) {
  // No sample below 10 % before the rise and x[1] == x[0]: the 10 %
  // crossing is not finite. Times 0, levels and slew rate kept.
  const Params inf = ParamsOf({0.3, 0.3, 1, 1, 1, 0, 0, 0});
  EXPECT_EQ(inf.status, -20116);
  EXPECT_EQ(inf.delay, 0);
  EXPECT_EQ(inf.rise, 0);
  EXPECT_DOUBLE_EQ(inf.amplitude, 100.0 / 101);
  EXPECT_EQ(inf.slew, 0.0);  // 0.8 * amplitude / inf
  // A constant record: no scan, levels at x[0].
  const Params c = ParamsOf(Vec(6, 2.5));
  EXPECT_EQ(c.status, -20116);
  EXPECT_EQ(c.top, 2.5);
  EXPECT_EQ(c.l10, 2.5);
  EXPECT_EQ(c.amplitude, 0.0);
  EXPECT_EQ(c.width, 0);
  EXPECT_EQ(c.slew, 0.0);
  EXPECT_EQ(ParamsOf({7.0}).status, -20116);

  EXPECT_EQ(ParamsOf({0, 1, kNaN, 0}).status, -20068);
  const Params i = ParamsOf({0, 1, -INFINITY, 0});
  EXPECT_EQ(i.status, -20068);
  EXPECT_EQ(i.delay, -7);  // nothing written
  EXPECT_EQ(i.top, kSentinel);
  const Vec x = {1, 1, 1, 0, 0, 0, 1, 1, 1};
  double d[9];
  int64_t t[4] = {-7, -7, -7, -7};
  EXPECT_EQ(ZMXFunc142(x.data(), kTooBig, d, d, d, d, d, d, d, d, t, t, t, t, d), -20046);
  EXPECT_EQ(ZMXFunc142(x.data(), 0, d, d, d, d, d, d, d, d, t, t, t, t, d), -20003);
  EXPECT_EQ(ZMXFunc142(nullptr, 9, d, d, d, d, d, d, d, d, t, t, t, t, d), -20008);
  EXPECT_EQ(ZMXFunc142(x.data(), 9, d, d, d, d, d, d, d, d, t, t, nullptr, t, d), -20008);
  EXPECT_EQ(t[0], -7);
  qm::SetWorkspaceFailureCountdown(1);  // the copy of a negative pulse
  const Params fail = ParamsOf(x);
  EXPECT_EQ(fail.status, -20001);
  EXPECT_EQ(fail.amplitude, kSentinel);
  EXPECT_EQ(fail.delay, -7);
}

}  // namespace
