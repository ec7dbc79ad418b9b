// Order statistics: sort with NaNs first, median, histogram and modes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>

#include "frame/workspace.h"
#include "stats/descriptive.h"

namespace qm::stats {
namespace {

constexpr double kEpsilon = 2.220446049250313e-16;

// Moves every NaN of a[0..n-1] to the front: the leading run of NaNs stays,
// each later NaN is swapped with the element just after the NaNs gathered so
// far. Returns the number of NaNs.
std::int32_t GatherNaNs(double* a, std::int32_t n) {
  std::int32_t gathered = 0;
  while (gathered < n && std::isnan(a[gathered])) ++gathered;
  for (std::int32_t i = gathered + 1; i < n; ++i) {
    if (std::isnan(a[i])) std::swap(a[i], a[gathered++]);
  }
  return gathered;
}

// The histogram of m intervals over [base, top] (arguments already checked)
// into 32-bit counts; centres may be null.
void CountIntervals(const double* x, std::int32_t n, double base, double top, std::int32_t m,
                    std::int32_t* counts, double* centres) {
  for (std::int32_t k = 0; k < m; ++k) counts[k] = 0;
  if (base == top) {
    if (centres)
      for (std::int32_t k = 0; k < m; ++k) centres[k] = base;
    counts[m - 1] = n;
    return;
  }
  const double width = (top - base) / m;
  if (centres)
    for (std::int32_t k = 0; k < m; ++k) centres[k] = base + width / 2 + k * width;
  const double span = top - base;
  for (std::int32_t i = 0; i < n; ++i) {
    // The interval index stays a double until it is known to be in range
    // (NaN and far-away samples never reach the integer conversion).
    const double index = std::floor((x[i] - base) * m / span);
    if (index >= 0.0 && index < m) {
      ++counts[static_cast<std::int32_t>(index)];
    } else if (x[i] == top || (index == m && x[i] <= top)) {
      // The upper edge belongs to the last interval, also when rounding puts
      // a sample just below it at index m.
      ++counts[m - 1];
    }
  }
}

Status CheckHistogram(std::int32_t n, double base, double top, std::int32_t m) {
  if (base > top) return kTopNotAboveBase;
  if (n < 1 || m < 1) return kCountNotPositive;
  return kSuccess;
}

// Stores value number `index` of a mode list when it fits the capacity.
void StoreMode(double* modes, std::int32_t capacity, std::int32_t index, double value) {
  if (index < capacity) modes[index] = value;
}

Status ExactModes(const double* x, std::int32_t n, double* modes, std::int32_t capacity,
                  std::int32_t* count) {
  Scratch<double> sorted;
  if (Status s = sorted.Allocate(static_cast<std::size_t>(n))) return s;
  Sort(x, n, 0, sorted.data());
  const double* a = sorted.data();
  const double first = a[0], last = a[n - 1];
  if (std::fabs(first - last) <= std::fabs(first) * kEpsilon) {
    StoreMode(modes, capacity, 0, first);
    *count = 1;
    return kSuccess;
  }
  // Runs: a run starting at value v takes every following value within
  // |v|*eps of v. First the greatest run length, then the runs of that length.
  auto run_end = [&](std::int32_t start) {
    const double v = a[start];
    std::int32_t j = start + 1;
    while (j < n && std::fabs(v - a[j]) <= std::fabs(v) * kEpsilon) ++j;
    return j;
  };
  std::int32_t longest = 0;
  for (std::int32_t i = 0; i < n;) {
    const std::int32_t j = run_end(i);
    longest = std::max(longest, j - i);
    i = j;
  }
  std::int32_t found = 0;
  if (longest > 1) {
    for (std::int32_t i = 0; i < n;) {
      const std::int32_t j = run_end(i);
      if (j - i == longest) StoreMode(modes, capacity, found++, a[i]);
      i = j;
    }
  }
  *count = found;
  return kSuccess;
}

Status IntervalModes(const double* x, std::int32_t n, std::int32_t m, double* modes,
                     std::int32_t capacity, std::int32_t* count) {
  // Extremes of the values that are not NaN.
  double lo = std::numeric_limits<double>::infinity();
  double hi = -lo;
  bool any = false;
  for (std::int32_t i = 0; i < n; ++i) {
    if (std::isnan(x[i])) continue;
    any = true;
    lo = std::min(lo, x[i]);
    hi = std::max(hi, x[i]);
  }
  if (!any) {
    *count = 0;
    return kSuccess;
  }
  if (std::fabs(hi - lo) <= std::fabs(hi) * kEpsilon) {
    StoreMode(modes, capacity, 0, hi);
    *count = 1;
    return kSuccess;
  }
  Scratch<std::int32_t> counts;
  Scratch<double> centres;
  if (Status s = counts.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = centres.Allocate(static_cast<std::size_t>(m))) return s;
  CountIntervals(x, n, lo, hi, m, counts.data(), centres.data());
  const std::int32_t greatest = *std::max_element(counts.data(), counts.data() + m);
  std::int32_t found = 0;
  if (greatest >= 2) {
    for (std::int32_t k = 0; k < m; ++k)
      if (counts[k] == greatest) StoreMode(modes, capacity, found++, centres[k]);
  }
  *count = found;
  return kSuccess;
}

}  // namespace

Status Sort(const double* x, std::int32_t n, std::int32_t direction, double* out) {
  if (n < 1) return kCountNotPositive;
  if (out != x) std::memmove(out, x, static_cast<std::size_t>(n) * sizeof(double));
  if (n == 1) return kSuccess;
  const std::int32_t nans = GatherNaNs(out, n);
  if (direction == 0) {
    std::sort(out + nans, out + n);
  } else {
    std::sort(out + nans, out + n, std::greater<double>());
  }
  return kSuccess;
}

// The median needs only the middle order statistics: a selection on a
// scratch copy rather than a full sort.
Status Median(const double* x, std::int32_t n, double* median) {
  if (n < 1) return kCountNotPositive;
  Scratch<double> copy;
  if (Status s = copy.Allocate(static_cast<std::size_t>(n))) return s;
  double* a = copy.data();
  for (std::int32_t i = 0; i < n; ++i) {
    if (std::isnan(x[i])) {
      *median = std::numeric_limits<double>::quiet_NaN();
      return kHasNaN;
    }
    a[i] = x[i];
  }
  const std::int32_t half = n / 2;
  std::nth_element(a, a + half, a + n);
  const double upper = a[half];
  if (n % 2 == 1) {
    *median = upper;
    return kSuccess;
  }
  const double lower = *std::max_element(a, a + half);
  double mid = 0.5 * (lower + upper);
  if (std::isinf(mid) && std::isfinite(lower) && std::isfinite(upper))
    mid = 0.5 * lower + 0.5 * upper;  // the sum overflowed
  *median = mid;
  return kSuccess;
}

Status Histogram(const double* x, std::int32_t n, double base, double top, std::int32_t m,
                 std::int32_t* counts, double* centres) {
  if (Status s = CheckHistogram(n, base, top, m)) return s;
  CountIntervals(x, n, base, top, m, counts, centres);
  return kSuccess;
}

Status HistogramWide(const double* x, std::int32_t n, double base, double top, std::int64_t* counts,
                     double* centres, std::int32_t m) {
  if (Status s = CheckHistogram(n, base, top, m)) return s;
  Scratch<std::int32_t> narrow;
  if (Status s = narrow.Allocate(static_cast<std::size_t>(m))) return s;
  CountIntervals(x, n, base, top, m, narrow.data(), centres);
  if (counts)
    for (std::int32_t k = 0; k < m; ++k) counts[k] = narrow[k];
  return kSuccess;
}

Status Mode(const double* x, std::int32_t n, double base, double top, std::int32_t m,
            double* mode) {
  if (Status s = CheckHistogram(n, base, top, m)) return s;
  Scratch<std::int32_t> counts;
  Scratch<double> centres;
  if (Status s = counts.Allocate(static_cast<std::size_t>(m))) return s;
  if (Status s = centres.Allocate(static_cast<std::size_t>(m))) return s;
  CountIntervals(x, n, base, top, m, counts.data(), centres.data());
  std::int32_t best = 0;
  for (std::int32_t k = 1; k < m; ++k)
    if (counts[k] > counts[best]) best = k;  // ties keep the lowest interval
  *mode = centres[best];
  return kSuccess;
}

Status Modes(const double* x, std::int32_t n, std::int32_t m, double* modes, std::int32_t* count) {
  if (n < 1) return kCountNotPositive;
  const std::int32_t capacity = modes ? std::max(*count, 0) : 0;
  if (n == 1) {
    *count = 0;
    return kSuccess;
  }
  if (m < 1) return ExactModes(x, n, modes, capacity, count);
  return IntervalModes(x, n, m, modes, capacity, count);
}

}  // namespace qm::stats
