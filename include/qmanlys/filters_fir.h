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

/* ---- Windowed-sinc FIR design ------------------------------------------------
 * coef: taps linear-phase coefficients, exactly symmetric. type 0 lowpass,
 * 1 highpass, 2 bandpass, 3 bandstop; fs the sampling rate, fc the cut-off,
 * fl < fh the band edges (Hz). For lowpass and highpass f2 is ignored.
 * Checks in order: -20061 type outside 0..3; -20021 taps < 1; -20020 an edge
 * above fs/2; -20023 fs not positive and finite, an edge not positive or NaN,
 * fl >= fh; -20033 even taps for highpass or bandstop; then the window's
 * codes (-20061 unknown window code, -20001 no memory). One tap takes no
 * window. */

/* FirIdealCoefficients(type, fs, f1, f2, taps, coef): the truncated ideal response. */
int32_t ZMXFunc79(int32_t type, double fs, double f1, double f2, int32_t taps, double* coef);
/* FirWindowedCoefficients(type, fs, f1, f2, taps, windowCode, windowParameter, coef): times
 * the symmetric window of any window type code, with its parameter. */
int32_t ZMXFunc335(int32_t type, double fs, double f1, double f2, int32_t taps,
                   int32_t windowCode, double windowParameter, double* coef);
/* KaiserLowpassFir(fs, fc, taps, coef, beta): Kaiser window; beta < 0 or NaN means 4.5. */
int32_t ZMXFunc112(double fs, double fc, int32_t taps, double* coef, double beta);
/* KaiserHighpassFir(fs, fc, taps, coef, beta). */
int32_t ZMXFunc111(double fs, double fc, int32_t taps, double* coef, double beta);
/* KaiserBandpassFir(fs, fl, fh, taps, coef, beta). */
int32_t ZMXFunc109(double fs, double fl, double fh, int32_t taps, double* coef, double beta);
/* KaiserBandstopFir(fs, fl, fh, taps, coef, beta). */
int32_t ZMXFunc110(double fs, double fl, double fh, int32_t taps, double* coef, double beta);
/* WindowedLowpassFir(fs, fc, taps, coef, window): window 1 rectangular, 2 triangle,
 * 3 Hanning, 4 Hamming, 5 Blackman, any other value Hamming. */
int32_t ZMXFunc189(double fs, double fc, int32_t taps, double* coef, int32_t window);
/* WindowedHighpassFir(fs, fc, taps, coef, window). */
int32_t ZMXFunc188(double fs, double fc, int32_t taps, double* coef, int32_t window);
/* WindowedBandpassFir(fs, fl, fh, taps, coef, window). */
int32_t ZMXFunc186(double fs, double fl, double fh, int32_t taps, double* coef, int32_t window);
/* WindowedBandstopFir(fs, fl, fh, taps, coef, window). */
int32_t ZMXFunc187(double fs, double fl, double fh, int32_t taps, double* coef, int32_t window);

/* ---- Savitzky-Golay smoothing --------------------------------------------------
 * Local least-squares polynomials of order p over frames of F = 2m + 1
 * samples; weights: F values (their absolute values count) or null for equal
 * weights. H (F x F, row-major): row r gives the fitted value at position
 * r - m of a frame, row m the smoothing coefficients. C ((p + 1) x F): the
 * polynomial coefficients (t = -m .. m) of a frame, written only when
 * wantCoefficients is nonzero. The filters apply row m inside the signal and
 * the fits of the first and last frames at the ends; y is required and may
 * equal x. Checks: -20063 p < 1; -20037 F <= p; -20008 n < F; -20046 F*F
 * beyond 32 bits; -20068 a weight infinite or NaN; -20041 fewer than p + 1
 * nonzero weights; -20001 no memory. */

/* SavitzkyGolayMatrix(p, m, weights, wantCoefficients, H, C). */
int32_t ZMXFunc355(int32_t p, int32_t m, const double* weights, int32_t wantCoefficients,
                   double* H, double* C);
/* SavitzkyGolayFilter(x, n, p, m, weights, y). */
int32_t ZMXFunc356(const double* x, int64_t n, int32_t p, int32_t m, const double* weights,
                   double* y);
/* ComplexSavitzkyGolayFilter(x, n, p, m, weights, y): x and y n interleaved (re, im) pairs,
 * the two parts smoothed separately. */
int32_t ZMXFunc357(const double* x, int64_t n, int32_t p, int32_t m, const double* weights,
                   double* y);

/* ---- Equiripple (Parks-McClellan) FIR design ----------------------------------
 * Minimax linear-phase design on a grid of 16 points per extremal frequency,
 * at most 100 exchanges. edges: 2 nbands band edges in Hz (lower, upper, ...),
 * strictly increasing from 0 to fs/2; gains (>= 0) and weights (> 0) one per
 * band. type 1 multiband filter, 2 differentiator (gain times frequency),
 * 3 Hilbert transformer; odd taps give type I (symmetric) or, for types 2
 * and 3, antisymmetric filters with a zero centre. coef: taps values;
 * ripple: the peak weighted deviation. Checks in order: -20031 taps < 3;
 * -20003 nbands < 1; -20031 fs, an edge, a weight or a gain NaN or
 * infinite, -20023 not positive (edges, gains: negative); -20020 last edge
 * above fs/2; -20023 edges not increasing; -20061 type outside 1..3;
 * -20031 the type's edge rules (type 1: first edge 0, last within 0.001 Hz
 * of fs/2), -20033 even taps with a nonzero last gain; -20001 taps of about
 * 4092 and more; -20031 no convergence. */

/* EquirippleFir(nbands, gains, weights, fs, edges, type, taps, coef, ripple). */
int32_t ZMXFunc65(int32_t nbands, const double* gains, const double* weights, double fs,
                  const double* edges, int32_t type, int32_t taps, double* coef, double* ripple);
/* EquirippleLowpass(fs, fpass, fstop, taps, coef, ripple). */
int32_t ZMXFunc69(double fs, double fpass, double fstop, int32_t taps, double* coef,
                  double* ripple);
/* EquirippleHighpass(fs, fstop, fpass, taps, coef, ripple): odd taps (-20033 first). */
int32_t ZMXFunc68(double fs, double fstop, double fpass, int32_t taps, double* coef,
                  double* ripple);
/* EquirippleBandpass(fs, fstop1, fpass1, fpass2, fstop2, taps, coef, ripple). */
int32_t ZMXFunc66(double fs, double fstop1, double fpass1, double fpass2, double fstop2,
                  int32_t taps, double* coef, double* ripple);
/* EquirippleBandstop(fs, fpass1, fstop1, fstop2, fpass2, taps, coef, ripple): odd taps
 * (-20033 first). */
int32_t ZMXFunc67(double fs, double fpass1, double fstop1, double fstop2, double fpass2,
                  int32_t taps, double* coef, double* ripple);
