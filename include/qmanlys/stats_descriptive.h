/* Descriptive statistics, sorting and histogram. Included by qmanlys.h inside its extern "C" block.
 *
 * Variances and standard deviations are population values (divided by n).
 * Complex samples are n interleaved (real, imaginary) pairs. */

/* Mean(x, n, mean): sum(x)/n. */
int32_t ZMXFunc122(const double* x, int64_t n, double* mean);
/* MeanAndVariance(x, n, mean, variance): one-pass mean and population variance. */
int32_t ZMXFunc184(const double* x, int64_t n, double* mean, double* variance);
/* MeanAndStdDev(x, n, mean, stdDev): mean and population standard deviation (two passes). */
int32_t ZMXFunc166(const double* x, int64_t n, double* mean, double* std_dev);
/* Rms(x, n, rms): sqrt(sum(x^2)/n). */
int32_t ZMXFunc150(const double* x, int64_t n, double* rms);
/* ComplexRms(z, n, rms): RMS of n interleaved complex values; n < 1 writes NaN. */
int32_t ZMXFunc369(const double* z, int64_t n, double* rms);
/* CentralMoment(x, n, order, moment): sum((x - mean)^order)/n, order >= 1. */
int32_t ZMXFunc125(const double* x, int64_t n, int32_t order, double* moment);
/* Median(x, n, median): median; any NaN gives NaN and -20104. */
int32_t ZMXFunc123(const double* x, int64_t n, double* median);
/* Sort(x, n, direction, out): NaNs first, then ascending (direction 0) or descending; out optional. */
int32_t ZMXFunc160(double* x, int64_t n, int32_t direction, double* out);
/* Normalize2D(x, rows, cols, out, mean, stdDev): (x - mean)/stdDev over all rows*cols values; out optional. */
int32_t ZMXFunc133(double* x, int64_t rows, int64_t cols, double* out, double* mean, double* std_dev);
/* ArrayNormalize(x, n, out, mean, stdDev): (x - mean)/stdDev; out optional. */
int32_t ZMXFunc132(double* x, int64_t n, double* out, double* mean, double* std_dev);
/* AcDcEstimator(x, n, ac, dc): AC (RMS of the alternating part) and DC level through a Hanning window. */
int32_t ZMXFunc2(const double* x, int64_t n, double* ac, double* dc);
/* Mode(x, n, base, top, intervals, mode): centre of the fullest histogram interval (lowest on ties). */
int32_t ZMXFunc124(const double* x, int64_t n, double base, double top, int64_t intervals, double* mode);
/* Modes(x, n, intervals, modes, count): all modes (exact values for intervals < 1); count: capacity in, modes found out. */
int32_t ZMXFunc340(const double* x, int64_t n, int64_t intervals, double* modes, int64_t* count);
/* Histogram(x, n, base, top, counts, centres, intervals): counts and centres of equal intervals over [base, top]; either output may be null. */
int32_t ZMXFunc90(const double* x, int64_t n, double base, double top, int64_t* counts, double* centres, int64_t intervals);
