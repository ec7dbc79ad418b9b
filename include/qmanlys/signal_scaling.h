/* Array scaling, polynomial evaluation and coordinate conversion. Included by qmanlys.h inside its extern "C" block. */

/* Counts below 1 give -20003. Outputs marked "optional" may be null (the
 * result then overwrites the input named). 2-D variants work on rows*cols
 * elements. Angles are in radians. */

/* ScaleByMaxAbs1D(x, n, out optional, scale): out = x / max|x| (a copy when that is 0); *scale = max|x|. */
int32_t ZMXFunc143(const double* x, int64_t n, double* out, double* scale);
/* ScaleByMaxAbs2D(x, rows, cols, out optional, scale): as ZMXFunc143 over rows*cols. */
int32_t ZMXFunc144(const double* x, int64_t rows, int64_t cols, double* out, double* scale);
/* ScaleToUnitRange1D(x, n, out optional, offset, scale): out = (x - offset) / scale maps [min, max] onto [-1, 1]; constant data gives offset max, scale 1. */
int32_t ZMXFunc153(const double* x, int64_t n, double* out, double* offset, double* scale);
/* ScaleToUnitRange2D(x, rows, cols, out optional, offset, scale): as ZMXFunc153 over rows*cols. */
int32_t ZMXFunc154(const double* x, int64_t rows, int64_t cols, double* out, double* offset, double* scale);
/* PolynomialEvaluate1D(x, n, c, m, out optional): out[i] = c[0] + c[1]*x[i] + ... + c[m-1]*x[i]^(m-1); m < 1 gives -20003. */
int32_t ZMXFunc135(const double* x, int64_t n, const double* c, int32_t m, double* out);
/* PolynomialEvaluate2D(x, rows, cols, c, m, out optional): as ZMXFunc135 over rows*cols. */
int32_t ZMXFunc136(const double* x, int64_t rows, int64_t cols, const double* c, int32_t m, double* out);
/* RectToPolar(re, im, magnitude, phase): polar form of re + i*im; (0, 0) gives (0, 0). */
int32_t ZMXFunc172(double re, double im, double* magnitude, double* phase);
/* RectToPolarArray(re, im, n, magnitude optional: over re, phase optional: over im): element-wise ZMXFunc172. */
int32_t ZMXFunc173(const double* re, const double* im, int64_t n, double* magnitude, double* phase);
/* PolarToRect(magnitude, phase, re, im): re = magnitude*cos(phase), im = magnitude*sin(phase). */
int32_t ZMXFunc174(double magnitude, double phase, double* re, double* im);
/* PolarToRectArray(magnitude, phase, n, re optional: over magnitude, im optional: over phase): element-wise ZMXFunc174. */
int32_t ZMXFunc232(const double* magnitude, const double* phase, int64_t n, double* re, double* im);
