// Exports of the peak and valley detectors.
#include <cstdint>

#include "frame/boundary.h"
#include "peaks/peaks.h"

using namespace qm::boundary;

// x is read only when n > 0 (n < width is reported by the routine).
QM_EXPORT int32_t ZMXFunc194(const double* x, int64_t n, double threshold, int64_t width,
                             int32_t polarity, int32_t initialize, int32_t endOfData,
                             int64_t* count, double** locations, double** amplitudes,
                             double** secondDerivatives) {
  return Call(qm::peaks::DetectPeaks, InIfCount(x, n), Size(n), threshold, Size(width), polarity,
              initialize, endOfData, CountOut(count), Out(locations), Out(amplitudes),
              Out(secondDerivatives));
}

// The indices are optional; x is read only when n > 0.
QM_EXPORT int32_t ZMXFunc237(const double* x, int64_t n, double threshold, int64_t width,
                             int64_t* indices, int64_t* count) {
  return Call(qm::peaks::DetectThresholdRuns, InIfCount(x, n), Size(n), threshold, Size(width),
              Maybe(indices), CountOut(count));
}
