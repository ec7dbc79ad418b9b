/* Convolution, correlation and deconvolution. Included by qmanlys.h inside its extern "C" block. */

/* Inputs x (n doubles) and y (m doubles); out holds n + m - 1 doubles and may
 * be one of the inputs. n < 1 or m < 1 gives -20003; n + m - 1 (or the FFT
 * length) beyond 32 bits gives -20046. Algorithm 0 direct sums, 1 real FFTs;
 * other codes give -20061 before anything is written.
 * Convolution: out[d] = sum_i x[i] y[d-i]. Correlation: out[d] = sum_k x[k]
 * y[k+d-(n-1)], so out[n-1] is the zero lag. */

/* Convolve(x, n, y, m, out): convolution through the FFT. */
int32_t ZMXFunc32(const double* x, int64_t n, const double* y, int64_t m, double* out);
/* ConvolveWithAlgorithm(x, n, y, m, algorithm, out). */
int32_t ZMXFunc372(const double* x, int64_t n, const double* y, int64_t m, int32_t algorithm, double* out);
/* Correlate(x, n, y, m, out): correlation through the FFT. */
int32_t ZMXFunc33(const double* x, int64_t n, const double* y, int64_t m, double* out);
/* CorrelateWithAlgorithm(x, n, y, m, algorithm, out). */
int32_t ZMXFunc373(const double* x, int64_t n, const double* y, int64_t m, int32_t algorithm, double* out);
/* CorrelateNormalized(x, n, y, m, algorithm, normalization, out): normalization 0 none, 1 unbiased (each lag divided by its number of products), 2 biased (divided by max(n, m)); other codes -20061. */
int32_t ZMXFunc376(const double* x, int64_t n, const double* y, int64_t m, int32_t algorithm, int32_t normalization, double* out);
/* DeconvolveLinear(y, n, h, m, out): out (n - m + 1 doubles) = x with x * h = y, by spectral division, or by the recursion with h as feedback when a bin of h's spectrum is (nearly) zero; n < m gives -20008, an all-zero h -20065. */
int32_t ZMXFunc54(const double* y, int64_t n, const double* h, int64_t m, double* out);
