/* Peak and valley detection. Included by qmanlys.h inside its extern "C" block. */

/* DetectPeaks(x[n], n, threshold, width, polarity 0 peaks / other valleys,
 * initialize, endOfData, count out, locations out, amplitudes out,
 * secondDerivatives out): fits a parabola by least squares to every window
 * of `width` consecutive samples and reports the vertices where the fitted
 * slope changes sign (width >= 5; widths 3 and 4: every window curved the
 * polarity's way) that lie within (width - 1)/4 of the window centre and
 * above (peaks) or below (valleys) the threshold. Results less than one
 * sample apart are merged, the larger peak or the smaller valley kept.
 *
 * Streaming: `initialize` nonzero starts a detection on the calling thread
 * (restarting one that is active); later calls without it continue it with
 * the next block, and `endOfData` nonzero ends it after this block. A signal
 * fed in blocks gives exactly the results of one call over the whole signal:
 * a result is reported once no later sample can change it, so results near
 * the end of a block may come with the next call (all of them by the call
 * with endOfData). Each thread has its own detection. The width, fixed by
 * the initializing call, must be 3 .. 2^30 on every call; threshold and
 * polarity are read on every call. A NaN or infinite sample makes the fits of
 * the windows that hold it NaN and they report nothing; a NaN threshold
 * reports nothing, an infinite one is compared as it is.
 *
 * Results: *count entries in three arrays allocated by the library:
 * locations (fractional sample index from the first sample after
 * initialisation), amplitudes (vertex values) and secondDerivatives (twice
 * the fitted t^2 coefficient, per sample^2). The arrays belong to the caller,
 * who releases each of them with ZMXFunc234; they are null when *count is 0.
 *
 * Statuses, in order: -20046 n or width beyond 32 bits; -20008 null count or
 * result pointer, or x null with n > 0 (these two leave everything as it
 * was); then, with the results cleared first: -20061 width outside
 * 3 .. 1073741824; -20001 memory; -20064 no detection active on this thread
 * and initialize 0; -20013 n < width; the least-squares operator's status.
 * After an error the results are null, *count is 0 and the thread's
 * detection has ended; it has also ended after a successful call with
 * endOfData. */
int32_t ZMXFunc194(const double* x, int64_t n, double threshold, int64_t width,
                   int32_t polarity, int32_t initialize, int32_t endOfData, int64_t* count,
                   double** locations, double** amplitudes, double** secondDerivatives);

/* DetectThresholdRuns(x[n], n, threshold, width, indices out (optional),
 * count out): the start index of every run of at least `width` consecutive
 * samples >= threshold (a sample below it, a NaN or the end of x ends a run).
 * indices, when not null, receives *count entries (n/width + 1 always
 * suffice). -20003 n < 1, -20013 width < 1 or width >= n, -20001 memory;
 * *count is 0 after an error. */
int32_t ZMXFunc237(const double* x, int64_t n, double threshold, int64_t width, int64_t* indices,
                   int64_t* count);
