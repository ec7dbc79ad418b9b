// Descriptive statistics, sorting, histogram and modes.
//
// Population statistics (divided by n). n < 1 gives -20003 unless noted.
// The routines hold no state; the median, the AC/DC estimate, the histogram
// and the mode functions take scratch memory per call (-20001 on failure).
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::stats {

// Sigma x / n (plain running sum).
Status Mean(const double* x, std::int32_t n, double* mean);
// One pass: mean = Sigma x/n, variance = Sigma x^2/n - mean^2 (a negative
// rounding result is reported as 0).
Status MeanAndVariance(const double* x, std::int32_t n, double* mean, double* variance);
// Two passes: the mean, then sqrt(Sigma (x - mean)^2 / n). A constant array
// has exactly its value as mean and deviation 0.
Status MeanAndStdDev(const double* x, std::int32_t n, double* mean, double* std_dev);
// sqrt(Sigma x^2 / n).
Status Rms(const double* x, std::int32_t n, double* rms);
// sqrt(Sigma (re^2 + im^2) / n) of n interleaved complex values; n < 1
// writes NaN and returns -20003.
Status ComplexRms(const double* z, std::int32_t n, double* rms);
// Sigma (x - mean)^k / n; order < 1 gives -20021.
Status CentralMoment(const double* x, std::int32_t n, std::int32_t order, double* moment);
// Median; any NaN gives NaN and -20104.
Status Median(const double* x, std::int32_t n, double* median);
// Sorts x into out (out may be x): NaNs first, then the other values
// ascending (direction 0) or descending (any other direction).
Status Sort(const double* x, std::int32_t n, std::int32_t direction, double* out);
// out = (x - mean) / deviation with the statistics of MeanAndStdDev (a zero
// deviation is not caught: the results are then NaN or infinite).
Status Normalize(const double* x, std::int32_t n, double* out, double* mean, double* std_dev);
// AC (RMS of the alternating part) and DC of x estimated through the
// periodic Hanning window.
Status AcDcEstimator(const double* x, std::int32_t n, double* ac, double* dc);

// Histogram of m equal intervals over [base, top]: counts (m entries) and
// bin centres (m entries). base > top gives -20101, n < 1 or m < 1 -20003.
// A sample equal to top is counted in the last interval; samples outside
// [base, top] (and NaNs) are ignored.
Status Histogram(const double* x, std::int32_t n, double base, double top, std::int32_t m,
                 std::int32_t* counts, double* centres);
// The same with 64-bit counts (the caller's layout); either output may be
// null (not wanted).
Status HistogramWide(const double* x, std::int32_t n, double base, double top, std::int64_t* counts,
                     double* centres, std::int32_t m);
// Centre of the fullest interval of that histogram (the lowest on ties).
Status Mode(const double* x, std::int32_t n, double base, double top, std::int32_t m, double* mode);
// All modes: exact values for m < 1, otherwise the centres of the fullest
// intervals of an m-interval histogram over [min, max]. Up to *count modes
// (the capacity; a null buffer holds none) are stored in `modes`, and
// *count receives the number found, which may exceed the capacity.
Status Modes(const double* x, std::int32_t n, std::int32_t m, double* modes, std::int32_t* count);

}  // namespace qm::stats
