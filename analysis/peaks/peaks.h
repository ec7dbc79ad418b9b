// Peak and valley detection: the streaming quadratic-fit detector, whose
// state lives in the calling thread's record between calls, and the
// threshold-run detector.
//
// 32-bit counts, pointers checked by the export boundary (x may be null only
// when n < 1); every routine returns a status and never throws.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::peaks {

// Widths accepted by DetectPeaks.
inline constexpr std::int32_t kMinWidth = 3;
inline constexpr std::int32_t kMaxWidth = 1073741824;  // 2^30

// Polarity of DetectPeaks: 0 peaks, any other value valleys.
inline constexpr std::int32_t kPeaks = 0;
inline constexpr std::int32_t kValleys = 1;

// Fits c0 + c1*t + c2*t^2 by least squares to every window of `width`
// consecutive samples (t in samples from the window centre) and reports the
// vertices where the fitted slope changes sign (width >= 5) or, for widths
// 3 and 4, of every window curved the polarity's way, that lie within
// (width - 1)/4 of their window centre and beyond the threshold. Results of
// less than one sample apart are merged (the larger peak, the smaller valley).
//
// The detection runs over successive calls of one thread: `initialize`
// starts (or restarts) it, `end_of_data` ends it. The whole signal fed in
// blocks of any sizes gives exactly the results of one call with the whole
// signal; to keep that promise a result is reported only once no later
// window can still merge with it, so the results that end near the end of a
// block may come with the next call (at the latest with `end_of_data`).
//
// Outputs: *count results in three arrays allocated here and owned by the
// caller (released with ZMXFunc234); null when there are none. Locations are
// fractional sample indices counted from the first sample after
// initialisation, amplitudes the vertex values, second derivatives 2*c2 per
// sample^2.
//
// Checks in order (the outputs are cleared first): width outside 3 .. 2^30
// (kBadSelection), memory for the state (kOutOfMemory), no detection on this
// thread without `initialize` (kStateNotInitialised), n < width (kBadWidth),
// the least-squares operator's own status. After an error the outputs are
// cleared again and the thread's detection is ended; it is also ended after
// a successful call with `end_of_data`. On later calls of a detection the
// width it was started with governs the windows; `width` is only checked.
Status DetectPeaks(const double* x, std::int32_t n, double threshold, std::int32_t width,
                   std::int32_t polarity, std::int32_t initialize, std::int32_t end_of_data,
                   std::int32_t* count, double** locations, double** amplitudes,
                   double** second_derivatives);

// Start index of every run of at least `width` consecutive samples >=
// threshold (a sample below it, or the end of x, ends a run). *count is
// written on every path (0 on failure); `indices` may be null, else it
// receives *count entries (at most n/width + 1). Checks: n < 1
// (kCountNotPositive), width < 1 or width >= n (kBadWidth), scratch
// (kOutOfMemory).
Status DetectThresholdRuns(const double* x, std::int32_t n, double threshold, std::int32_t width,
                           std::int64_t* indices, std::int32_t* count);

}  // namespace qm::peaks
