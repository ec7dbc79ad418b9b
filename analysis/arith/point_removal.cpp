// Point removal from parallel arrays: validate everything first, then
// compact in one forward pass (the write position never passes the read
// position, so compaction in place is safe).
#include "arith/point_removal.h"

#include <cmath>
#include <cstring>

#include "frame/workspace.h"

namespace qm::arith {
namespace {

// Moves the points with keep(i) true to the front of x, y and z (if given)
// and returns how many were kept.
template <class Keep>
std::int32_t Compact(double* x, double* y, double* z, std::int32_t count, Keep keep) {
  std::int32_t w = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!keep(i)) continue;
    x[w] = x[i];
    y[w] = y[i];
    if (z) z[w] = z[i];
    ++w;
  }
  return w;
}

// Strictly between a and b, in either order; NaN is never between.
bool StrictlyBetween(double v, double a, double b) {
  return a < b ? (a < v && v < b) : (b < v && v < a);
}

}  // namespace

Status RemovePointsByIndex(double* x, double* y, double* z, std::int32_t* count,
                           const std::int64_t* indexes, std::int32_t nIndexes) {
  const std::int32_t n = *count;
  *count = 0;  // the failure value; replaced on success
  if (n < 1 || nIndexes < 1) return kCountNotPositive;
  for (std::int32_t k = 0; k < nIndexes; ++k) {
    if (indexes[k] < 0 || indexes[k] >= n) return kBadIndex;
  }
  // One flag a point, so that duplicate indexes count once.
  Scratch<unsigned char> removeFlag;
  if (Status s = removeFlag.Allocate(static_cast<std::size_t>(n))) return s;
  std::memset(removeFlag.data(), 0, static_cast<std::size_t>(n));
  for (std::int32_t k = 0; k < nIndexes; ++k) removeFlag[static_cast<std::size_t>(indexes[k])] = 1;
  *count = Compact(x, y, z, n, [&](std::int32_t i) { return removeFlag[i] == 0; });
  return kSuccess;
}

Status RemovePointsOutsideRange(double* x, double* y, double* z, std::int32_t* count,
                                std::int32_t type, const double* limits, std::int32_t nLimits,
                                std::int64_t* removedIndexes, std::int32_t* removed) {
  const std::int32_t n = *count;
  if (n < 1 || nLimits < 1) return kCountNotPositive;
  if (type < 0 || type > 2) return kBadSelection;
  for (std::int32_t k = 0; k < nLimits; ++k) {
    if (std::isnan(limits[k])) return kNotFinite;
  }
  if (type < 2 && nLimits < 2) return kCountBelowTwo;
  if (type == 2 && nLimits < 4) return kCountBelowFour;

  auto keep = [&](std::int32_t i) {
    switch (type) {
      case 0:
        return StrictlyBetween(y[i], limits[0], limits[1]);
      case 1:
        return StrictlyBetween(x[i], limits[0], limits[1]);
      default:
        return StrictlyBetween(x[i], limits[0], limits[1]) &&
               StrictlyBetween(y[i], limits[2], limits[3]);
    }
  };

  // First pass: count, so that a too small index array fails before anything
  // is changed.
  std::int32_t toRemove = 0;
  for (std::int32_t i = 0; i < n; ++i) toRemove += keep(i) ? 0 : 1;
  if (removedIndexes && toRemove > *removed) return kTransformTooLarge;

  if (removedIndexes) {
    std::int32_t r = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      if (!keep(i)) removedIndexes[r++] = i;
    }
  }
  // keep(i) reads x[i] and y[i] before the compaction overwrites any index
  // at or beyond i, so the pass below sees the original values.
  *count = Compact(x, y, z, n, keep);
  *removed = toRemove;
  return kSuccess;
}

}  // namespace qm::arith
