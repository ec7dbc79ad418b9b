/* FIR filter designs, direct-form filtering with caller-held state and
 * Savitzky-Golay smoothing. Included by qmanlys.h inside its extern "C" block. */

/* ---- Direct-form filtering with caller-held state ---------------------------
 * b[0..nb-1] feed-forward and a[0..na-1] feedback coefficients, transfer
 * function (sum b[j] z^-j) / (sum a[j] z^-j). inputState holds the nb-1 latest
 * inputs and outputState the na-1 latest outputs, oldest first (zeros start
 * from rest); both are updated, so successive blocks join exactly. y is
 * required and may equal x. Complex signals are n interleaved (re, im) pairs,
 * as are their states; the coefficients are real. -20003 n < 1 or nb < 1;
 * inputState may be null when nb = 1. The IIR forms filter by b alone when
 * na < 1, a is null, or outputState is null with na > 1; otherwise a[0] = 0 or
 * not finite gives -20060 with nothing written. */

/* FirFilterWithState(x, n, b, inputState, nb, y). */
int32_t ZMXFunc352(const double* x, int64_t n, const double* b, double* inputState, int32_t nb,
                   double* y);
/* IirFilterWithState(x, n, a, outputState, na, b, inputState, nb, y). */
int32_t ZMXFunc92(const double* x, int64_t n, const double* a, double* outputState, int32_t na,
                  const double* b, double* inputState, int32_t nb, double* y);
/* ComplexFirFilterWithState(x, n, b, inputState, nb, y). */
int32_t ZMXFunc353(const double* x, int64_t n, const double* b, double* inputState, int32_t nb,
                   double* y);
/* ComplexIirFilterWithState(x, n, a, outputState, na, b, inputState, nb, y). */
int32_t ZMXFunc354(const double* x, int64_t n, const double* a, double* outputState, int32_t na,
                   const double* b, double* inputState, int32_t nb, double* y);
