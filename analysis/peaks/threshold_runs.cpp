// The threshold-run detector: one scan for runs of samples at or above a
// threshold.
#include "frame/workspace.h"
#include "peaks/peaks.h"

namespace qm::peaks {

Status DetectThresholdRuns(const double* x, std::int32_t n, double threshold, std::int32_t width,
                           std::int64_t* indices, std::int32_t* count) {
  *count = 0;
  if (n < 1) return kCountNotPositive;
  if (width < 1 || width >= n) return kBadWidth;
  // Runs of `width` samples are separated by at least one sample below the
  // threshold, so there are at most n/width + 1 of them.
  Scratch<std::int32_t> starts;
  if (Status s = starts.Allocate(static_cast<std::size_t>(n / width) + 1)) return s;
  std::int32_t runs = 0;
  std::int32_t i = 0;
  while (i < n) {
    if (!(x[i] >= threshold)) {  // NaN samples end a run too
      ++i;
      continue;
    }
    const std::int32_t start = i;
    while (i < n && x[i] >= threshold) ++i;
    if (i - start >= width) starts[runs++] = start;
    ++i;  // the sample that ended the run (below the threshold) is skipped
  }
  if (indices)
    for (std::int32_t k = 0; k < runs; ++k) indices[k] = starts[k];
  *count = runs;
  return kSuccess;
}

}  // namespace qm::peaks
