// Removal of points from parallel x, y (and optionally z) arrays, used to
// prepare data for curve fitting. The arrays are compacted in place, keeping
// the order of the surviving points; *count is the number of points in and
// the number kept out.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::arith {

// Removes the points listed in indexes[0..nIndexes-1] (duplicates count
// once). Checks: *count < 1 or nIndexes < 1 (kCountNotPositive), an index
// outside 0..*count-1 (kBadIndex), scratch memory (kOutOfMemory). On any
// failure the arrays are unchanged and *count is set to 0. z may be null.
Status RemovePointsByIndex(double* x, double* y, double* z, std::int32_t* count,
                           const std::int64_t* indexes, std::int32_t nIndexes);

// Keeps the points strictly inside the limits and removes the others:
//   type 0: y strictly between limits[0] and limits[1] (in either order);
//   type 1: x strictly between limits[0] and limits[1];
//   type 2: x strictly between limits[0], limits[1] and y strictly between
//           limits[2], limits[3].
// The indexes of the removed points go to removedIndexes (may be null) in
// ascending order; *removed holds its capacity on entry and the number
// removed on return. Checks, in order: *count < 1 or nLimits < 1
// (kCountNotPositive), type outside 0..2 (kBadSelection), a NaN limit
// (kNotFinite), too few limits for the type (kCountBelowTwo, kCountBelowFour),
// more points to remove than the capacity (kTransformTooLarge). On failure
// nothing is changed. z may be null.
Status RemovePointsOutsideRange(double* x, double* y, double* z, std::int32_t* count,
                                std::int32_t type, const double* limits, std::int32_t nLimits,
                                std::int64_t* removedIndexes, std::int32_t* removed);

}  // namespace qm::arith
