/* Time-domain windows. Included by qmanlys.h inside its extern "C" block.
 *
 * Every window multiplies x[0..n-1] in place by its weights. Windows are
 * periodic (the first n points of a period-n window) unless said otherwise.
 * A window properties record is two doubles: equivalent noise bandwidth (in
 * bins), then coherent gain. Window type codes: 0 rectangle, 1 Hanning,
 * 2 Hamming, 3 Blackman-Harris 3-term, 4 exact Blackman, 5 Blackman, 6 flat
 * top, 7 Blackman-Harris 4-term, 8 Blackman-Harris 7-term, 9 low sidelobe,
 * 11 Blackman-Nuttall, 30 triangle, 31 Bartlett-Hann, 32 Bohman, 33 Parzen,
 * 34 Welch, 60 Kaiser (beta), 61 Dolph-Chebyshev (side-lobe attenuation in
 * dB), 62 Gaussian (sigma relative to the length). */

/* HanningWindow(x, n): periodic Hanning window. */
int32_t ZMXFunc89(double* x, int64_t n);
/* HammingWindow(x, n): periodic Hamming window. */
int32_t ZMXFunc88(double* x, int64_t n);
/* BlackmanHarrisWindow(x, n): 3-term Blackman-Harris window. */
int32_t ZMXFunc15(double* x, int64_t n);
/* ExactBlackmanWindow(x, n): exact Blackman window. */
int32_t ZMXFunc72(double* x, int64_t n);
/* BlackmanWindow(x, n): Blackman window. */
int32_t ZMXFunc14(double* x, int64_t n);
/* FlatTopWindow(x, n): flat top window. */
int32_t ZMXFunc80(double* x, int64_t n);
/* BlackmanNuttallWindow(x, n): 4-term Blackman-Nuttall window. */
int32_t ZMXFunc336(double* x, int64_t n);
/* GeneralCosineWindow(x, n, coefficients, count): cosine sum sum_k (-1)^k a_k cos(2 pi k i/n). */
int32_t ZMXFunc85(double* x, int64_t n, const double* coefficients, int32_t count);
/* TriangleWindow(x, n): triangle window 2i/n, mirrored; one point becomes 0. */
int32_t ZMXFunc180(double* x, int64_t n);
/* BartlettHannWindow(x, n): Bartlett-Hann window. */
int32_t ZMXFunc343(double* x, int64_t n);
/* BohmanWindow(x, n): Bohman window. */
int32_t ZMXFunc344(double* x, int64_t n);
/* ParzenWindow(x, n): Parzen window. */
int32_t ZMXFunc345(double* x, int64_t n);
/* WelchWindow(x, n): Welch window. */
int32_t ZMXFunc346(double* x, int64_t n);
/* KaiserWindow(x, n, beta): Kaiser window with shape beta. */
int32_t ZMXFunc113(double* x, int64_t n, double beta);
/* ChebyshevWindow(x, n, attenuationDb): periodic Dolph-Chebyshev window, side lobes attenuationDb below the peak. */
int32_t ZMXFunc279(double* x, int64_t n, double attenuation_db);
/* GaussianWindow(x, n, sigma): periodic Gaussian window; sigma <= 0 means 0.2. */
int32_t ZMXFunc280(double* x, int64_t n, double sigma);
/* CosineTaperedWindow(x, n): Tukey window with ratio 0.2. */
int32_t ZMXFunc35(double* x, int64_t n);
/* TukeyWindow(x, n, ratio): cosine taper over trunc(ratio*n/2) points at each end. */
int32_t ZMXFunc278(double* x, int64_t n, double ratio);
/* ExponentialWindow(x, n, finalValue): weights from 1 down (or up) to finalValue > 0; n >= 2. */
int32_t ZMXFunc74(double* x, int64_t n, double final_value);
/* ForceWindow(x, n, dutyPercent): clears the samples after the first trunc(duty*n/100); n >= 2. */
int32_t ZMXFunc81(double* x, int64_t n, double duty_percent);
/* WindowProperties(w, n, properties): ENBW and coherent gain of the weights w[0..n-1]. */
int32_t ZMXFunc283(const double* w, int32_t n, double* properties);
/* WindowPropertiesByType(code, properties): tabulated ENBW and coherent gain of codes 0-9, 11, 31-34. */
int32_t ZMXFunc282(int32_t code, double* properties);
/* ScaledWindow(x, n, code, properties): window `code` scaled to unit coherent gain; properties optional. */
int32_t ZMXFunc152(double* x, int64_t n, int32_t code, double* properties);
/* ScaledWindowWithParameter(x, n, code, parameter, properties): as ZMXFunc152 with the window's parameter. */
int32_t ZMXFunc337(double* x, int64_t n, int32_t code, double parameter, double* properties);
/* SymmetricWindow(x, n, code, parameter): unscaled symmetric window `code` (low 32 bits of code). */
int32_t ZMXFunc281(double* x, int64_t n, int64_t code, double parameter);
