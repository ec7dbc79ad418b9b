// Exports of the array and complex arithmetic family.
//
// Each export adapts the C interface to its routine; the 2-D element-wise
// exports run the 1-D routine over rows*cols elements (a product beyond 32
// bits is refused with -20046 rather than wrapped).
#include <cstdint>

#include "arith/array_ops.h"
#include "arith/complex_ops.h"
#include "arith/point_removal.h"
#include "frame/boundary.h"

using namespace qm::boundary;

// ---------------------------------------------------------------------------
// Array operations.

QM_EXPORT int32_t ZMXFunc1(const double* x, int64_t n, double* out) {
  return Call(qm::arith::ArrayAbs, In(x), Size(n), OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc3(const double* x, const double* y, int64_t n, double* z) {
  return Call(qm::arith::ArrayAdd1D, In(x), In(y), Size(n), Out(z));
}

QM_EXPORT int32_t ZMXFunc4(const double* x, const double* y, int64_t rows, int64_t cols,
                           double* z) {
  return Call(qm::arith::ArrayAdd1D, In(x), In(y), Elements2D(rows, cols), Out(z));
}

QM_EXPORT int32_t ZMXFunc29(double* x, int64_t n) {
  return Call(qm::arith::ArrayClear, Out(x), Size(n));
}

QM_EXPORT int32_t ZMXFunc30(const double* x, int64_t n, double upper, double lower, double* out) {
  return Call(qm::arith::ArrayClip, In(x), Size(n), upper, lower, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc34(const double* x, int64_t n, double* out) {
  return Call(qm::arith::ArrayCopy, In(x), Size(n), Out(out));
}

QM_EXPORT int32_t ZMXFunc57(const double* x, const double* y, int64_t n, double* z) {
  return Call(qm::arith::ArrayDivide1D, In(x), In(y), Size(n), Out(z));
}

QM_EXPORT int32_t ZMXFunc58(const double* x, const double* y, int64_t rows, int64_t cols,
                            double* z) {
  // Dimensions below 1 are reported before the two counts are narrowed.
  return Call(qm::arith::ArrayDivide1D, In(x), In(y), Elements2D::SignFirst(rows, cols), Out(z));
}

QM_EXPORT int32_t ZMXFunc115(const double* x, int64_t n, double a, double b, double* out) {
  return Call(qm::arith::ArrayScaleOffset1D, In(x), Size(n), a, b, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc116(const double* x, int64_t rows, int64_t cols, double a, double b,
                             double* out) {
  return Call(qm::arith::ArrayScaleOffset1D, In(x), Elements2D(rows, cols), a, b, OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc120(const double* x, int64_t n, double* max, int64_t* maxIndex,
                             double* min, int64_t* minIndex) {
  return Call(qm::arith::ArrayMaxMin1D, In(x), Size(n), Out(max), IndexOut(maxIndex), Out(min),
              IndexOut(minIndex));
}

QM_EXPORT int32_t ZMXFunc121(const double* x, int64_t rows, int64_t cols, double* max,
                             int64_t* maxRow, int64_t* maxCol, double* min, int64_t* minRow,
                             int64_t* minCol) {
  // Rows and columns go to the routine separately: it sets the four index
  // outputs to -1 before it checks the dimensions.
  return Call(qm::arith::ArrayMaxMin2D, In(x), Size(rows), Size(cols), Out(max), IndexOut(maxRow),
              IndexOut(maxCol), Out(min), IndexOut(minRow), IndexOut(minCol));
}

QM_EXPORT int32_t ZMXFunc126(const double* x, const double* y, int64_t n, double* z) {
  return Call(qm::arith::ArrayMultiply1D, In(x), In(y), Size(n), Out(z));
}

QM_EXPORT int32_t ZMXFunc127(const double* x, const double* y, int64_t rows, int64_t cols,
                             double* z) {
  return Call(qm::arith::ArrayMultiply1D, In(x), In(y), Elements2D(rows, cols), Out(z));
}

QM_EXPORT int32_t ZMXFunc128(const double* x, int64_t n, double* out) {
  return Call(qm::arith::ArrayNegate, In(x), Size(n), OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc140(const double* x, int64_t n, double* product) {
  return Call(qm::arith::ArrayProduct, In(x), Size(n), Out(product));
}

QM_EXPORT int32_t ZMXFunc149(const double* x, int64_t n, double* out) {
  return Call(qm::arith::ArrayReverse, In(x), Size(n), OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc155(double* x, int64_t n, double value) {
  return Call(qm::arith::ArrayFill, Out(x), Size(n), value);
}

QM_EXPORT int32_t ZMXFunc156(const double* x, int64_t n, int64_t shifts, double* out) {
  return Call(qm::arith::ArrayShift, In(x), Size(n), Shift(shifts), OutOr(out, x));
}

QM_EXPORT int32_t ZMXFunc167(const double* x, const double* y, int64_t n, double* z) {
  return Call(qm::arith::ArraySubtract1D, In(x), In(y), Size(n), Out(z));
}

QM_EXPORT int32_t ZMXFunc168(const double* x, const double* y, int64_t rows, int64_t cols,
                             double* z) {
  return Call(qm::arith::ArraySubtract1D, In(x), In(y), Elements2D(rows, cols), Out(z));
}

QM_EXPORT int32_t ZMXFunc169(const double* x, int64_t n, int64_t index, int64_t length,
                             double* out) {
  return Call(qm::arith::ArraySubset, In(x), Size(n), Index(index), Size(length), Out(out));
}

QM_EXPORT int32_t ZMXFunc170(const double* x, int64_t n, double* sum) {
  return Call(qm::arith::ArraySum1D, In(x), Size(n), Out(sum));
}

QM_EXPORT int32_t ZMXFunc171(const double* x, int64_t rows, int64_t cols, double* sum) {
  return Call(qm::arith::ArraySum1D, In(x), Elements2D(rows, cols), Out(sum));
}

// ---------------------------------------------------------------------------
// Complex scalars.

QM_EXPORT int32_t ZMXFunc38(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  return Call(qm::arith::ComplexAdd, xr, xi, yr, yi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc40(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  return Call(qm::arith::ComplexDivide, xr, xi, yr, yi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc42(double xr, double xi, double* zr, double* zi) {
  return Call(qm::arith::ComplexExp, xr, xi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc44(double xr, double xi, double* zr, double* zi) {
  return Call(qm::arith::ComplexLn, xr, xi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc45(double xr, double xi, double* zr, double* zi) {
  return Call(qm::arith::ComplexLog10, xr, xi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc46(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  return Call(qm::arith::ComplexMultiply, xr, xi, yr, yi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc48(double xr, double xi, double a, double* zr, double* zi) {
  return Call(qm::arith::ComplexPower, xr, xi, a, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc49(double xr, double xi, double* zr, double* zi) {
  return Call(qm::arith::ComplexReciprocal, xr, xi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc50(double xr, double xi, double* zr, double* zi) {
  return Call(qm::arith::ComplexSqrt, xr, xi, Out(zr), Out(zi));
}

QM_EXPORT int32_t ZMXFunc51(double xr, double xi, double yr, double yi, double* zr, double* zi) {
  return Call(qm::arith::ComplexSubtract, xr, xi, yr, yi, Out(zr), Out(zi));
}

// ---------------------------------------------------------------------------
// Complex parallel arrays.

QM_EXPORT int32_t ZMXFunc39(const double* xr, const double* xi, const double* yr, const double* yi,
                            int64_t n, double* zr, double* zi) {
  return Call(qm::arith::ComplexArrayAdd, In(xr), In(xi), In(yr), In(yi), Size(n), Out(zr),
              Out(zi));
}

QM_EXPORT int32_t ZMXFunc41(const double* xr, const double* xi, const double* yr, const double* yi,
                            int64_t n, double* zr, double* zi) {
  return Call(qm::arith::ComplexArrayDivide, In(xr), In(xi), In(yr), In(yi), Size(n), Out(zr),
              Out(zi));
}

QM_EXPORT int32_t ZMXFunc43(const double* xr, const double* xi, int64_t n, double ar, double ai,
                            double br, double bi, double* zr, double* zi) {
  return Call(qm::arith::ComplexArrayScaleOffset, In(xr), In(xi), Size(n), ar, ai, br, bi,
              OutOr(zr, xr), OutOr(zi, xi));
}

QM_EXPORT int32_t ZMXFunc47(const double* xr, const double* xi, const double* yr, const double* yi,
                            int64_t n, double* zr, double* zi) {
  return Call(qm::arith::ComplexArrayMultiply, In(xr), In(xi), In(yr), In(yi), Size(n), Out(zr),
              Out(zi));
}

QM_EXPORT int32_t ZMXFunc52(const double* xr, const double* xi, const double* yr, const double* yi,
                            int64_t n, double* zr, double* zi) {
  return Call(qm::arith::ComplexArraySubtract, In(xr), In(xi), In(yr), In(yi), Size(n), Out(zr),
              Out(zi));
}

// ---------------------------------------------------------------------------
// Point removal.

QM_EXPORT int32_t ZMXFunc296(double* x, double* y, double* z, int64_t* count,
                             const int64_t* indexes, int64_t nIndexes) {
  return Call(qm::arith::RemovePointsByIndex, Out(x), Out(y), Maybe(z), SizeInOut(count),
              In(indexes), Size(nIndexes));
}

QM_EXPORT int32_t ZMXFunc297(double* x, double* y, double* z, int64_t* count, int32_t type,
                             const double* limits, int64_t nLimits, int64_t* removedIndexes,
                             int64_t* removed) {
  // *removed is the capacity of removedIndexes on entry; without that array
  // the entry value means nothing and is not read.
  if (!removedIndexes) {
    return Call(qm::arith::RemovePointsOutsideRange, Out(x), Out(y), Maybe(z), SizeInOut(count),
                type, In(limits), Size(nLimits), Maybe(removedIndexes), CountOut(removed));
  }
  return Call(qm::arith::RemovePointsOutsideRange, Out(x), Out(y), Maybe(z), SizeInOut(count), type,
              In(limits), Size(nLimits), Maybe(removedIndexes), SizeInOut(removed));
}
