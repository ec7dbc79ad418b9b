/* FFT transforms and spectra. Included by qmanlys.h inside its extern "C" block.
 * Any length n >= 1; forward transforms are unscaled, inverse ones carry 1/n;
 * complex data are two parallel arrays (real parts, imaginary parts). */

/* RealFft(x, y, n): full spectrum of the real signal x; real parts over x,
 * imaginary parts into y. */
int32_t ZMXFunc147(double* x, double* y, int64_t n);

/* InverseRealFft(re, im, n): real signal into re from a Hermitian spectrum
 * (reads re[0 .. n/2] and im[n/2+1 .. n-1]; im is overwritten). */
int32_t ZMXFunc148(double* re, double* im, int64_t n);

/* ComplexFft(re, im, n): forward complex FFT in place. */
int32_t ZMXFunc77(double* re, double* im, int64_t n);

/* InverseComplexFft(re, im, n): inverse complex FFT in place, scaled 1/n. */
int32_t ZMXFunc102(double* re, double* im, int64_t n);

/* PowerSpectrumTwoSided(x, n): x[k] = |X[k]|^2/n^2 in place. */
int32_t ZMXFunc161(double* x, int64_t n);

/* PowerSpectrum(x, n, dt, spectrum, df): one-sided power spectrum (n/2
 * values) of x and the bin spacing df = 1/(n*dt) (df optional). */
int32_t ZMXFunc10(const double* x, int64_t n, double dt, double* spectrum, double* df);

/* CrossPowerSpectrumTwoSided(x, y, n, re, im): S[k] = conj(X[k])*Y[k]/n^2. */
int32_t ZMXFunc36(const double* x, const double* y, int64_t n, double* re, double* im);

/* CrossPowerSpectrum(x, y, n, dt, magnitude, phase, df): one-sided |S[k]|
 * (n/2 values, doubled for k >= 1), phase in radians, df optional. */
int32_t ZMXFunc37(const double* x, const double* y, int64_t n, double dt, double* magnitude,
                  double* phase, double* df);

/* TransferFunction(stimulus, response, n, dt, magnitude, phase, df):
 * H[k] = Y[k]/X[k] for k < n/2 as magnitude and phase, df optional. */
int32_t ZMXFunc176(const double* stimulus, const double* response, int64_t n, double dt,
                   double* magnitude, double* phase, double* df);

/* Deconvolve(divisor, dividend, n, out): inverse FFT of FFT(dividend)/FFT(divisor). */
int32_t ZMXFunc94(const double* divisor, const double* dividend, int64_t n, double* out);

/* HilbertTransform(x, n): Hilbert transform in place. */
int32_t ZMXFunc75(double* x, int64_t n);

/* InverseHilbertTransform(x, n): negated Hilbert transform in place. */
int32_t ZMXFunc76(double* x, int64_t n);

/* HartleyTransform(x, n): discrete Hartley transform in place. */
int32_t ZMXFunc78(double* x, int64_t n);

/* InverseHartleyTransform(x, n): Hartley transform scaled by 1/n in place. */
int32_t ZMXFunc103(double* x, int64_t n);

/* ---- Cosine and sine transforms ----
 * The forward 1-D transforms take a transform length m: m < 1 means n; the
 * input is zero-padded or truncated to m values and m values are written.
 * 2-D arrays are rows x cols, row by row: the 1-D transform of every row,
 * then of every column. -20003 when n, rows or cols < 1; -20046 when the
 * FFT length the transform needs (m for even m, 2m for odd m, 2m + 2 for the
 * sine transforms) does not fit in 32 bits. The output may be the input. */

/* Dct(x, n, m, y): orthonormal DCT-II, y[k] = c_k*sum_{j<m} x[j]*cos(pi*k*(2j+1)/(2m)),
 * c_0 = sqrt(1/m), c_k = sqrt(2/m). */
int32_t ZMXFunc270(const double* x, int64_t n, int64_t m, double* y);

/* InverseDct(x, n, y): orthonormal DCT-III, the inverse of Dct with m = n. */
int32_t ZMXFunc271(const double* x, int64_t n, double* y);

/* Dst(x, n, m, y): DST-I, y[k] = sum_{j<m} x[j]*sin(pi*(j+1)*(k+1)/(m+1)), unscaled. */
int32_t ZMXFunc272(const double* x, int64_t n, int64_t m, double* y);

/* InverseDst(x, n, y): the DST-I sum over n values times 2/(n+1). */
int32_t ZMXFunc273(const double* x, int64_t n, double* y);

/* Dct2D(x, rows, cols, y), InverseDct2D, Dst2D, InverseDst2D: the 2-D transforms. */
int32_t ZMXFunc274(const double* x, int64_t rows, int64_t cols, double* y);
int32_t ZMXFunc275(const double* x, int64_t rows, int64_t cols, double* y);
int32_t ZMXFunc276(const double* x, int64_t rows, int64_t cols, double* y);
int32_t ZMXFunc277(const double* x, int64_t rows, int64_t cols, double* y);

/* ---- Interleaved and 2-D FFTs with plan handles ----
 * Complex arrays are interleaved (real, imaginary pairs); 2-D arrays are row
 * by row. Forward transforms are unscaled, inverse ones carry 1/n
 * (1/(rows*cols) in 2-D). A transform length m <= 0 means the data length;
 * the input is zero-padded or truncated to m. shift != 0 selects the centred
 * layout: bin 0 at index floor(m/2), new[j] = old[(j + m - floor(m/2)) mod m]
 * (in both dimensions in 2-D); the inverse transforms undo it first. The
 * plan handle is optional (null: a plan from the shared cache for the call);
 * a handle of another length gives -20070. -20003 for n < 1 (forward),
 * n < 0 (inverse), rows or cols < 1; -20001 when no plan or scratch can be
 * had, so also for an inverse of n = 0 without a handle (X is not read and
 * may be null then). The output may be the input when it has the room. */

/* The plan handle: opaque, created by FftPlanCreate, released by FftPlanDestroy. */
typedef struct QmFftPlanHandle QmFftPlanHandle;

/* FftPlanCreate(length): a handle on the shared plan of the length; null
 * when the length is < 1 or does not fit in 32 bits, or memory is short. */
QmFftPlanHandle* ZMXFunc260(int64_t length);

/* FftPlanDestroy(plan): releases the handle; null, unknown and already
 * destroyed handles are ignored. */
void ZMXFunc261(QmFftPlanHandle* plan);

/* RealFftInterleaved(x, n, m, plan, shift, out): the m complex bins of the real x. */
int32_t ZMXFunc262(const double* x, int64_t n, int64_t m, const QmFftPlanHandle* plan,
                   int32_t shift, double* out);

/* ComplexFftInterleaved(x, n, m, plan, shift, out): forward DFT of n complex values to m bins. */
int32_t ZMXFunc263(const double* x, int64_t n, int64_t m, const QmFftPlanHandle* plan,
                   int32_t shift, double* out);

/* InverseRealFftInterleaved(X, n, plan, shift, out): n real values; reads
 * bins 0 .. n/2 of the full spectrum X only. */
int32_t ZMXFunc264(const double* X, int64_t n, const QmFftPlanHandle* plan, int32_t shift,
                   double* out);

/* InverseComplexFftInterleaved(X, n, plan, shift, out): inverse DFT of n complex values. */
int32_t ZMXFunc265(const double* X, int64_t n, const QmFftPlanHandle* plan, int32_t shift,
                   double* out);

/* RealFft2D(x, rows, cols, transform_rows, transform_cols, shift, out): the
 * transform_rows x transform_cols complex spectrum of the real array. */
int32_t ZMXFunc266(const double* x, int64_t rows, int64_t cols, int64_t transform_rows,
                   int64_t transform_cols, int32_t shift, double* out);

/* ComplexFft2D(x, rows, cols, transform_rows, transform_cols, shift, out): the same for complex x. */
int32_t ZMXFunc267(const double* x, int64_t rows, int64_t cols, int64_t transform_rows,
                   int64_t transform_cols, int32_t shift, double* out);

/* InverseRealFft2D(X, rows, cols, shift, out): real parts (rows x cols doubles) of the 2-D inverse. */
int32_t ZMXFunc268(const double* X, int64_t rows, int64_t cols, int32_t shift, double* out);

/* InverseComplexFft2D(X, rows, cols, shift, out): the 2-D inverse, complex. */
int32_t ZMXFunc269(const double* X, int64_t rows, int64_t cols, int32_t shift, double* out);

/* ---- Spectrum unit conversion ---- */

/* SpectrumUnitConversion(x, n, kind, scale, flags, df, w, out, label): the
 * one-sided spectrum x (kind 0 power, 1 amplitude, 2 other: dB only) in the
 * unit asked for: scale 0 linear, 1 dB, 2 dBm; flags 1 peak (else rms),
 * 2 power (else amplitude), 4 density (per hertz, by 1/(df*w), w the
 * noise-bandwidth factor of the window). out may be x; x is not changed
 * otherwise. The NUL-terminated label is rewritten in place, e.g. V becomes
 * Vrms^2/Hz or dBVrms (room for 10 more characters). w is read only for the
 * density of kind 0 or 1 and may be null otherwise. -20003 for n < 1,
 * -20061 for kind, scale or flags out of range (negative included), -20008
 * for a null w that is read, -20140 when df*w is read and is not finite and
 * positive, -20001 without memory for the copy of the label; nothing is
 * written on a failure. */
int32_t ZMXFunc162(const double* x, int64_t n, int32_t kind, int32_t scale, int32_t flags,
                   double df, const double* w, double* out, char* label);

/* ---- Chirp-Z transform ---- */

/* ChirpZ(x, n, A, W, method, m, X): X[k] = sum_{j<n} x[j]*A^(-j)*W^(j*k),
 * k = 0 .. m-1, for real x; A and W are (real, imaginary) pairs, X holds m
 * interleaved complex values (m < 1 means m = n; X may be x). method 0 sums
 * directly (n*m complex powers), 1 is Bluestein's method (FFT convolution of
 * length about n + m; a W off the unit circle makes its chirp grow or decay
 * like |W|^(t*t/2)). -20003 for n < 1, -20061 for a method other than 0 and
 * 1, -20068 for an infinite, NaN, +-DBL_MAX or +-DBL_MIN part of A, -20141
 * for |A|^2 = 0, the same two for W, -20046 for counts or an FFT length
 * beyond 32 bits, -20001 without memory. */
int32_t ZMXFunc341(const double* x, int64_t n, const double* A, const double* W, int32_t method,
                   int64_t m, double* X);

/* ComplexChirpZ(x, n, A, W, method, m, X): the same for interleaved complex x. */
int32_t ZMXFunc342(const double* x, int64_t n, const double* A, const double* W, int32_t method,
                   int64_t m, double* X);
