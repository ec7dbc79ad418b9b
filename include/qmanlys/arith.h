/* Array and complex arithmetic. Included by qmanlys.h inside its extern "C" block. */

/* Arrays: counts below 1 give -20003 and write nothing. Outputs marked
 * "optional" may be null (the result then overwrites x); any output may be
 * one of the inputs. 2-D variants work on rows*cols row-major elements
 * (rows or cols below 1: -20003; a product beyond 32 bits: -20046). */

/* ArrayAbs(x, n, out optional): out[i] = |x[i]| (sign bit cleared). */
int32_t ZMXFunc1(const double* x, int64_t n, double* out);
/* ArrayAdd1D(x, y, n, z): z[i] = x[i] + y[i]. */
int32_t ZMXFunc3(const double* x, const double* y, int64_t n, double* z);
/* ArrayAdd2D(x, y, rows, cols, z): z = x + y element-wise. */
int32_t ZMXFunc4(const double* x, const double* y, int64_t rows, int64_t cols, double* z);
/* ArrayClear(x, n): every element set to +0.0. */
int32_t ZMXFunc29(double* x, int64_t n);
/* ArrayClip(x, n, upper, lower, out optional): x limited to [lower, upper], NaN copied; -20019 when lower > upper or a bound is NaN. */
int32_t ZMXFunc30(const double* x, int64_t n, double upper, double lower, double* out);
/* ArrayCopy(x, n, out): out = x (the blocks may overlap). */
int32_t ZMXFunc34(const double* x, int64_t n, double* out);
/* ArrayDivide1D(x, y, n, z): z[i] = x[i] / y[i]; -20060 at the first zero y[i], z written up to it. */
int32_t ZMXFunc57(const double* x, const double* y, int64_t n, double* z);
/* ArrayDivide2D(x, y, rows, cols, z): as ZMXFunc57 over rows*cols; rows or cols below 1 give -20003 first. */
int32_t ZMXFunc58(const double* x, const double* y, int64_t rows, int64_t cols, double* z);
/* ArrayScaleOffset1D(x, n, a, b, out optional): out[i] = a*x[i] + b. */
int32_t ZMXFunc115(const double* x, int64_t n, double a, double b, double* out);
/* ArrayScaleOffset2D(x, rows, cols, a, b, out optional): out = a*x + b element-wise. */
int32_t ZMXFunc116(const double* x, int64_t rows, int64_t cols, double a, double b, double* out);
/* ArrayMaxMin1D(x, n, max, maxIndex, min, minIndex): extremes skipping NaN, first occurrence; all NaN gives NaN and -1. */
int32_t ZMXFunc120(const double* x, int64_t n, double* max, int64_t* maxIndex, double* min, int64_t* minIndex);
/* ArrayMaxMin2D(x, rows, cols, max, maxRow, maxCol, min, minRow, minCol): as ZMXFunc120 with (row, column) indexes, set to -1 first. */
int32_t ZMXFunc121(const double* x, int64_t rows, int64_t cols, double* max, int64_t* maxRow, int64_t* maxCol, double* min, int64_t* minRow, int64_t* minCol);
/* ArrayMultiply1D(x, y, n, z): z[i] = x[i] * y[i]. */
int32_t ZMXFunc126(const double* x, const double* y, int64_t n, double* z);
/* ArrayMultiply2D(x, y, rows, cols, z): z = x * y element-wise. */
int32_t ZMXFunc127(const double* x, const double* y, int64_t rows, int64_t cols, double* z);
/* ArrayNegate(x, n, out optional): out[i] = -x[i]. */
int32_t ZMXFunc128(const double* x, int64_t n, double* out);
/* ArrayProduct(x, n, product): product of all elements. */
int32_t ZMXFunc140(const double* x, int64_t n, double* product);
/* ArrayReverse(x, n, out optional): out[i] = x[n-1-i]. */
int32_t ZMXFunc149(const double* x, int64_t n, double* out);
/* ArrayFill(x, n, value): every element set to value. */
int32_t ZMXFunc155(double* x, int64_t n, double value);
/* ArrayShift(x, n, shifts, out optional): elements moved by shifts places (positive: to higher indexes), vacated places 0; -20102 when |shifts| > n. */
int32_t ZMXFunc156(const double* x, int64_t n, int64_t shifts, double* out);
/* ArraySubtract1D(x, y, n, z): z[i] = x[i] - y[i]. */
int32_t ZMXFunc167(const double* x, const double* y, int64_t n, double* z);
/* ArraySubtract2D(x, y, rows, cols, z): z = x - y element-wise. */
int32_t ZMXFunc168(const double* x, const double* y, int64_t rows, int64_t cols, double* z);
/* ArraySubset(x, n, index, length, out): out = x[index .. index+length-1]; -20017 bad index, -20018 index+length > n. */
int32_t ZMXFunc169(const double* x, int64_t n, int64_t index, int64_t length, double* out);
/* ArraySum1D(x, n, sum): sum of all elements, left to right. */
int32_t ZMXFunc170(const double* x, int64_t n, double* sum);
/* ArraySum2D(x, rows, cols, sum): sum of all rows*cols elements. */
int32_t ZMXFunc171(const double* x, int64_t rows, int64_t cols, double* sum);

/* Complex scalars: (xr, xi) and (yr, yi) in, (*zr, *zi) out. */

/* ComplexAdd(xr, xi, yr, yi, zr, zi): z = x + y. */
int32_t ZMXFunc38(double xr, double xi, double yr, double yi, double* zr, double* zi);
/* ComplexDivide(xr, xi, yr, yi, zr, zi): z = x / y by scaled division; a zero y gives IEEE infinities or NaN, status 0. */
int32_t ZMXFunc40(double xr, double xi, double yr, double yi, double* zr, double* zi);
/* ComplexExp(xr, xi, zr, zi): z = e^x. */
int32_t ZMXFunc42(double xr, double xi, double* zr, double* zi);
/* ComplexLn(xr, xi, zr, zi): z = ln x (principal value); -20060 for x = 0. */
int32_t ZMXFunc44(double xr, double xi, double* zr, double* zi);
/* ComplexLog10(xr, xi, zr, zi): z = log10 x (principal value); -20060 for x = 0. */
int32_t ZMXFunc45(double xr, double xi, double* zr, double* zi);
/* ComplexMultiply(xr, xi, yr, yi, zr, zi): z = x * y. */
int32_t ZMXFunc46(double xr, double xi, double yr, double yi, double* zr, double* zi);
/* ComplexPower(xr, xi, a, zr, zi): z = x^a for a real exponent a; x = 0 gives 0 for a > 0 and -20060 for a <= 0. */
int32_t ZMXFunc48(double xr, double xi, double a, double* zr, double* zi);
/* ComplexReciprocal(xr, xi, zr, zi): z = 1 / x; -20060 for x = 0. */
int32_t ZMXFunc49(double xr, double xi, double* zr, double* zi);
/* ComplexSqrt(xr, xi, zr, zi): z = principal square root of x. */
int32_t ZMXFunc50(double xr, double xi, double* zr, double* zi);
/* ComplexSubtract(xr, xi, yr, yi, zr, zi): z = x - y. */
int32_t ZMXFunc51(double xr, double xi, double yr, double yi, double* zr, double* zi);

/* Complex arrays as parallel arrays of real and imaginary parts. */

/* ComplexArrayAdd(xr, xi, yr, yi, n, zr, zi): z[i] = x[i] + y[i]. */
int32_t ZMXFunc39(const double* xr, const double* xi, const double* yr, const double* yi, int64_t n, double* zr, double* zi);
/* ComplexArrayDivide(xr, xi, yr, yi, n, zr, zi): z[i] = x[i] / y[i] (no zero check). */
int32_t ZMXFunc41(const double* xr, const double* xi, const double* yr, const double* yi, int64_t n, double* zr, double* zi);
/* ComplexArrayScaleOffset(xr, xi, n, ar, ai, br, bi, zr optional, zi optional): z[i] = x[i]*a + b. */
int32_t ZMXFunc43(const double* xr, const double* xi, int64_t n, double ar, double ai, double br, double bi, double* zr, double* zi);
/* ComplexArrayMultiply(xr, xi, yr, yi, n, zr, zi): z[i] = x[i] * y[i]. */
int32_t ZMXFunc47(const double* xr, const double* xi, const double* yr, const double* yi, int64_t n, double* zr, double* zi);
/* ComplexArraySubtract(xr, xi, yr, yi, n, zr, zi): z[i] = x[i] - y[i]. */
int32_t ZMXFunc52(const double* xr, const double* xi, const double* yr, const double* yi, int64_t n, double* zr, double* zi);

/* Point removal: x, y (and z, optional) compacted in place, order kept; *count is points in, points kept out. */

/* RemovePointsByIndex(x, y, z optional, count, indexes, nIndexes): removes the listed points (duplicates once); on failure arrays unchanged and *count = 0. */
int32_t ZMXFunc296(double* x, double* y, double* z, int64_t* count, const int64_t* indexes, int64_t nIndexes);
/* RemovePointsOutsideRange(x, y, z optional, count, type, limits, nLimits, removedIndexes optional, removed): keeps points strictly inside the limits (type 0 on y, 1 on x, 2 on x and y); *removed is capacity in, number removed out. */
int32_t ZMXFunc297(double* x, double* y, double* z, int64_t* count, int32_t type, const double* limits, int64_t nLimits, int64_t* removedIndexes, int64_t* removed);
