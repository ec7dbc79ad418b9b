// Test records and call helpers for the waveform measurements.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "qmanlys.h"

namespace measure_test {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSentinel = -12345.5;
constexpr int64_t kTooBig = int64_t{1} << 31;

// A trapezoid train between 0 and 8 with period 40: 12 samples at 0, a ramp
// of 8 samples (one unit per sample), 12 samples at 8, a ramp down of 8.
// Sample i is at phase i + shift. Reference levels that fall between two
// integers are crossed at exactly half a sample.
inline Vec Trapezoids(int n, int shift = 0) {
  Vec y(n);
  for (int i = 0; i < n; ++i) {
    const int p = ((i + shift) % 40 + 40) % 40;
    y[i] = p < 12 ? 0 : p < 20 ? p - 12 : p < 32 ? 8 : 8 - (p - 32);
  }
  return y;
}

struct Refs {
  double high, middle, low;
  int32_t unit;
};
constexpr Refs kTrapezoidRefs{7.5, 4.5, 0.5, 0};  // absolute
constexpr Refs kPercent{90, 50, 10, 1};

struct Pulse {
  int32_t status;
  double period, width, duty, centre, low, middle, high;
};
inline Pulse PulseOf(const Vec& y, int32_t polarity, int64_t c, Refs r = kTrapezoidRefs,
                     int32_t method = 0, int64_t bins = 100) {
  Pulse p{};
  p.status = ZMXFunc364(y.data(), static_cast<int64_t>(y.size()), polarity, c, r.high, r.middle,
                        r.low, r.unit, method, bins, &p.period, &p.width, &p.duty, &p.centre,
                        &p.low, &p.middle, &p.high);
  return p;
}

struct Cycle {
  int32_t status;
  double mean, rms, start, end, low, middle, high;
};
inline Cycle CycleOf(const Vec& y, int64_t c, Refs r = kTrapezoidRefs, int32_t method = 0,
                     int64_t bins = 100) {
  Cycle q{};
  q.status =
      ZMXFunc365(y.data(), static_cast<int64_t>(y.size()), c, r.high, r.middle, r.low, r.unit,
                 method, bins, &q.mean, &q.rms, &q.start, &q.end, &q.low, &q.middle, &q.high);
  return q;
}

struct Edge {
  int32_t status;
  double slew, duration, start, end, low, middle, high, pre_below, pre_above, post_below,
      post_above;
};
inline Edge EdgeOf(const Vec& y, int32_t slope, int64_t c, Refs r = kTrapezoidRefs,
                   int32_t method = 0, int64_t bins = 100) {
  Edge e{};
  e.status =
      ZMXFunc366(y.data(), static_cast<int64_t>(y.size()), slope, c, r.high, r.middle, r.low,
                 r.unit, method, bins, &e.slew, &e.duration, &e.start, &e.end, &e.low, &e.middle,
                 &e.high, &e.pre_below, &e.pre_above, &e.post_below, &e.post_above);
  return e;
}

}  // namespace measure_test
