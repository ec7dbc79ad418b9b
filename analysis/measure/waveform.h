// Waveform measurements as an oscilloscope makes them: the two state levels
// of a two-level signal, the period, width and duty cycle of one pulse, the
// mean and RMS over one cycle, the duration, slew rate and aberrations of one
// transition, and the compact single-pulse parameters.
//
// The exported routines (bottom of this file) take 32-bit counts and the
// pointers the boundary has checked; the waveform pointer of the first four
// may be null (-20312 "No waveform input." where the measurement checks it).
// Underneath, one state-level estimator (histogram or peak method), a
// mid-reference crossing detector with hysteresis and a low/high-reference
// transition detector work on a `Waveform` with a start time t0 and a sample
// interval dt; the exports run them with t0 = 0 and dt = 1, so their times
// are sample positions from sample 0.
//
// NaN or infinite samples give -20068 (after the selectors) and NaN
// reference levels -20313 in every routine.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::measure {

// Samples y[0..n-1] at times t0 + i*dt.
struct Waveform {
  const double* y;
  std::int32_t n;
  double t0;
  double dt;
};

// State-level methods (the `method` argument).
inline constexpr std::int32_t kHistogramMethod = 0;
inline constexpr std::int32_t kPeakMethod = 1;
inline constexpr std::int32_t kAutoMethod = 2;

// Reference units (the `unit` argument).
inline constexpr std::int32_t kAbsoluteUnit = 0;
inline constexpr std::int32_t kPercentUnit = 1;

// The histogram counters of the state levels: one 32-bit counter per bin
// over [min, max] of the waveform, bin width w = (max - min)/bins; sample x
// falls in bin trunc((x - min)/w), clamped to bins-1 (the maximum sample
// lands in the last bin). The caller owns the counters.
struct LevelHistogram {
  std::uint32_t* counts;
  std::int32_t bins;
};

// The result of the state-level estimator.
struct StateLevels {
  double high = 0.0;
  double low = 0.0;
  double amplitude = 0.0;
  // 0 histogram levels, 1 peak values, 2 automatic selection that fell
  // back to the peak values; -1 until the estimate is made.
  std::int32_t method_used = -1;
  double min = 0.0;  // extremes of the waveform (set once they are known)
  double max = 0.0;
  bool histogram_filled = false;
};

// High, low and amplitude = high - low of a two-level waveform.
// Checks in order: n < 1 (-20312), dt <= 0 (-20315), null samples (-20312),
// method not 0, 1, 2 (-20316), non-finite samples (-20068); then for the
// histogram and automatic methods bins < 1 (-20317) and max - min <= 0
// (-20309).
//   Peak (1): high = max, low = min.
//   Histogram (0): low = centre of the fullest bin among 0..trunc(0.4*bins)
//     (the lowest bin on ties), high = centre of the fullest bin among
//     trunc(0.6*bins)..bins-1 (the highest on ties). Both in one bin (only
//     possible with 1 or 3 bins) gives -20309: there is no amplitude.
//   Automatic (2): the histogram levels when both bins hold more than
//     0.05*n samples (method used 0), otherwise the peak values (method used
//     stays 2).
Status EstimateStateLevels(const Waveform& w, std::int32_t method, const LevelHistogram& histogram,
                           StateLevels* levels);

// Reference levels, absolute or in percent of the amplitude.
struct References {
  double high;
  double middle;
  double low;
};

// Percent levels to absolute ones: level = low + amplitude*level/100.
void ConvertToAbsolute(const StateLevels& levels, References* refs);

struct PulseResult {
  double period = 0.0;
  double width = 0.0;
  double duty_cycle = 0.0;  // a fraction, width/period
  double centre = 0.0;
  double first_crossing = 0.0;  // time of mid-reference crossing 2c-2
};

// Period, width, duty cycle and centre of pulse number `pulse` (from 1) found
// with mid-reference crossings (hysteresis h = min(middle - low, high -
// middle)): polarity 1 the pulse that begins with a rising crossing, 0 with a
// falling one, -1 whichever comes first. The period runs from crossing 2c-2
// to 2c, so 2c+1 crossings are needed. In percent units `refs` is converted
// to absolute levels in place (with the state levels of `method`).
// Checks in order: pulse < 1 (-20323), polarity (-20061), unit (-20314), the
// waveform (as EstimateStateLevels in percent units; -20312, -20315, -20068
// in absolute units), NaN references or high >= middle >= low violated
// (-20313), 2*pulse+1 > n-1 (-20308, more crossings than the record can
// hold), crossing records (-20311), fewer than 2c+1 crossings (-20308).
Status MeasurePulse(const Waveform& w, std::int32_t polarity, std::int32_t pulse, References* refs,
                    std::int32_t unit, std::int32_t method, const LevelHistogram& histogram,
                    PulseResult* result);

struct TransitionResult {
  double slew_rate = 0.0;
  double duration = 0.0;
  double start = 0.0;
  double end = 0.0;
  double pre_below = 0.0;  // excursions in percent of the amplitude
  double pre_above = 0.0;
  double post_below = 0.0;
  double post_above = 0.0;
};

// Duration, slew rate, start and end of edge number `edge` (from 1) of the
// slope (1 rising, 0 falling) between the low and high references, and the
// excursions of the signal before and after it relative to the state
// levels. Checks in order: edge < 1 (-20323), slope (-20061), unit
// (-20314), the state levels (always estimated; their codes), reference
// order or NaN references (-20313), histogram levels in one bin or a zero
// amplitude (-20309), transition records (-20311), low >= high (-20313),
// fewer than `edge` transitions of the slope (-20310), an empty window
// (-20312), a duration <= 0 (-20326).
Status MeasureTransition(const Waveform& w, std::int32_t slope, std::int32_t edge, References* refs,
                         std::int32_t unit, std::int32_t method, const LevelHistogram& histogram,
                         TransitionResult* result);

// ---- Building blocks shared by the measurements ----------------------------

// n < 1 (-20312), dt <= 0 (-20315), null samples (-20312).
Status CheckWaveform(const Waveform& w);

// -20068 when one of the n samples is a NaN or infinite, else 0.
Status CheckFiniteSamples(const double* y, std::int32_t n);

// Counts the n samples of y (all within [min, max], max > min) into the
// histogram's counters, which it clears first.
void FillLevelHistogram(const double* y, std::int32_t n, double min, double max,
                        const LevelHistogram& histogram);

// The fullest bins of a filled histogram: `low` among 0..trunc(0.4*bins)
// (lowest on ties), `high` among trunc(0.6*bins)..bins-1 (highest on ties).
struct LevelBins {
  std::int32_t low;
  std::int32_t high;
};
LevelBins FindLevelBins(const LevelHistogram& histogram);

// Centre min + k*w + w/2 of bin k of the histogram over [min, max].
double BinCentre(double min, double max, std::int32_t bins, std::int32_t k);

// Time of the crossing of level r between samples i and i+1:
// (y[i] - r)/d + i + t0 with d = y[i] - y[i+1] (1.0 when d is zero). Samples
// whose differences overflow are halved first, so the fraction stays in
// [0, 1].
double CrossingTime(const double* y, std::int32_t i, double r, double t0);

// ---- The exported routines -------------------------------------------------
// The first four check bins >= 1 (-20317) and allocate the counters
// (-20001, also for the peak method) before they measure; the last three
// copy the reference levels as they stand (converted or not) to their three
// level outputs whatever the status.

Status AmplitudeAndLevels(const double* y, std::int32_t n, std::int32_t method, std::int32_t bins,
                          double* high, double* low, double* amplitude);

Status PulseMeasurements(const double* y, std::int32_t n, std::int32_t polarity, std::int32_t pulse,
                         double high_ref, double middle_ref, double low_ref, std::int32_t unit,
                         std::int32_t method, std::int32_t bins, double* period, double* width,
                         double* duty_cycle, double* centre, double* abs_low, double* abs_middle,
                         double* abs_high);

// Mean and RMS over the L = round(period) samples of cycle `pulse` (from
// crossing 2c-2), the window moved back to end at sample n-1 when the record
// is shorter.
Status CycleAverageAndRms(const double* y, std::int32_t n, std::int32_t pulse, double high_ref,
                          double middle_ref, double low_ref, std::int32_t unit, std::int32_t method,
                          std::int32_t bins, double* mean, double* rms, double* cycle_start,
                          double* cycle_end, double* abs_low, double* abs_middle, double* abs_high);

Status TransitionMeasurements(const double* y, std::int32_t n, std::int32_t slope,
                              std::int32_t edge, double high_ref, double middle_ref, double low_ref,
                              std::int32_t unit, std::int32_t method, std::int32_t bins,
                              double* slew_rate, double* duration, double* start, double* end,
                              double* abs_low, double* abs_middle, double* abs_high,
                              double* pre_below, double* pre_above, double* post_below,
                              double* post_above);

// Levels and timing of the first pulse of x from a 101-interval histogram
// (top, base, amplitude, 10/50/90 % levels, overshoot = max - top, preshoot
// = base - min), and its delay, width, rise and fall time in whole samples
// with the slew rate 0.8*amplitude/rise time. A pulse that starts above the
// 50 % level is negative: amplitude negated, top and base exchanged, timing
// on -x. Checks: n < 1 (-20003), non-finite samples (-20068), the copy of a
// negative pulse (-20001). Times that are not finite or outside the record
// (and a constant record) give -20116 with the four times 0; the levels and
// the slew rate are kept.
Status PulseParameters(const double* x, std::int32_t n, double* amplitude, double* level90,
                       double* level50, double* level10, double* top, double* base,
                       double* overshoot, double* preshoot, std::int32_t* delay,
                       std::int32_t* width, std::int32_t* rise_time, std::int32_t* fall_time,
                       double* slew_rate);

}  // namespace qm::measure
