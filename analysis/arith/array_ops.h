// Element-wise operations on arrays of doubles.
//
// The routines behind the array exports, and the helpers that other families
// call (copies, clears, extremes, first differences, sums). Every routine
// takes 32-bit counts and valid pointers (the export boundary has narrowed
// the sizes and rejected null pointers), returns a status and never
// allocates.
//
// Aliasing: unless a routine says otherwise, an output array may be one of
// its input arrays (each output element is written after the input elements
// of the same index have been read). Partially overlapping arrays are only
// supported where stated (ArrayCopy, ArrayShift, ArraySubset).
//
// Every routine returns kCountNotPositive (-20003) for a count below 1 and
// writes nothing in that case.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::arith {

// out[i] = |x[i]|, by clearing the sign bit: -0 becomes +0 and a NaN keeps
// its payload.
Status ArrayAbs(const double* x, std::int32_t n, double* out);

// z[i] = x[i] + y[i].
Status ArrayAdd1D(const double* x, const double* y, std::int32_t n, double* z);

// z[i] = x[i] - y[i].
Status ArraySubtract1D(const double* x, const double* y, std::int32_t n, double* z);

// z[i] = x[i] * y[i].
Status ArrayMultiply1D(const double* x, const double* y, std::int32_t n, double* z);

// z[i] = x[i] / y[i] in index order. At the first divisor equal to zero
// (either sign; NaN is not zero) stops with kDivideByZero, z[0..i-1] written
// and the rest untouched.
Status ArrayDivide1D(const double* x, const double* y, std::int32_t n, double* z);

// out[i] = a * x[i] + b.
Status ArrayScaleOffset1D(const double* x, std::int32_t n, double a, double b, double* out);

// out[i] = upper if x[i] > upper, lower if x[i] < lower, else x[i] (a NaN
// is copied). kUpperBelowLower when lower > upper (or either bound is NaN).
Status ArrayClip(const double* x, std::int32_t n, double upper, double lower, double* out);

// out[i] = (-0.0) - x[i].
Status ArrayNegate(const double* x, std::int32_t n, double* out);

// out[i] = x[n-1-i]; in place by swapping pairs when out == x.
Status ArrayReverse(const double* x, std::int32_t n, double* out);

// Every element of x set to +0.0 (byte-wise zero fill).
Status ArrayClear(double* x, std::int32_t n);

// Every element of x set to value.
Status ArrayFill(double* x, std::int32_t n, double value);

// out = x, n doubles; the two blocks may overlap.
Status ArrayCopy(const double* x, std::int32_t n, double* out);

// Moves the elements by `shifts` places (positive: toward higher indexes)
// and sets the vacated places to 0.0. |shifts| = n gives all zeros;
// |shifts| > n gives kBadShifts. out may overlap x.
Status ArrayShift(const double* x, std::int32_t n, std::int32_t shifts, double* out);

// out[0..length-1] = x[index..index+length-1]. Checks in order: n < 1
// (kCountNotPositive), index outside 0..n-1 (kBadIndex), length < 1
// (kCountNotPositive), index + length > n (kBadIndexLength).
Status ArraySubset(const double* x, std::int32_t n, std::int32_t index, std::int32_t length,
                   double* out);

// Sum of all elements from 0.0, left to right.
Status ArraySum1D(const double* x, std::int32_t n, double* sum);

// Product of all elements from 1.0, left to right.
Status ArrayProduct(const double* x, std::int32_t n, double* product);

// Largest and smallest non-NaN element and the index of its first
// occurrence. When every element is NaN both values are NaN and both indexes
// -1 (status 0).
Status ArrayMaxMin1D(const double* x, std::int32_t n, double* max, std::int32_t* maxIndex,
                     double* min, std::int32_t* minIndex);

// The same search over a rows x cols row-major matrix; indexes are returned
// as (row, column). The four index outputs are set to -1 before anything is
// checked. rows < 1 or cols < 1 gives kCountNotPositive, a rows*cols product
// beyond 32 bits kOverflow.
Status ArrayMaxMin2D(const double* x, std::int32_t rows, std::int32_t cols, double* max,
                     std::int32_t* maxRow, std::int32_t* maxCol, double* min, std::int32_t* minRow,
                     std::int32_t* minCol);

// d[i] = x[i+1] - x[i] for i = 0..n-2 (n-1 outputs; none for n = 1). d may
// be x itself.
Status ArrayFirstDifference(const double* x, std::int32_t n, double* d);

// ---------------------------------------------------------------------------
// Helpers without a status, for callers that have already validated n >= 0.

struct Extremes {
  double max;
  double min;
  std::int32_t max_index;  // -1 when every element is NaN (or n = 0)
  std::int32_t min_index;
};

// The search of ArrayMaxMin1D: NaN elements are skipped, strict comparisons
// keep the first occurrence of an extreme.
Extremes FindExtremes(const double* x, std::int32_t n);

// Largest |x[i]|, starting from 0 (so NaN elements are never taken).
double MaxAbs(const double* x, std::int32_t n);

// Sum from 0.0 in index order.
double SumOf(const double* x, std::int32_t n);

}  // namespace qm::arith
