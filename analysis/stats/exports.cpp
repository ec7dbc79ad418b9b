// Exports of the statistics family: descriptive statistics, sorting, histogram and modes, and
// of the array normalisation built on them; distribution functions.
#include <cstdint>

#include "frame/boundary.h"
#include "stats/descriptive.h"
#include "stats/distributions.h"

using namespace qm::boundary;

QM_EXPORT int32_t ZMXFunc122(const double* x, int64_t n, double* mean) {
  return Call(qm::stats::Mean, In(x), Size(n), Out(mean));
}
QM_EXPORT int32_t ZMXFunc184(const double* x, int64_t n, double* mean, double* variance) {
  return Call(qm::stats::MeanAndVariance, In(x), Size(n), Out(mean), Out(variance));
}
QM_EXPORT int32_t ZMXFunc166(const double* x, int64_t n, double* mean, double* std_dev) {
  return Call(qm::stats::MeanAndStdDev, In(x), Size(n), Out(mean), Out(std_dev));
}
QM_EXPORT int32_t ZMXFunc150(const double* x, int64_t n, double* rms) {
  return Call(qm::stats::Rms, In(x), Size(n), Out(rms));
}
QM_EXPORT int32_t ZMXFunc369(const double* z, int64_t n, double* rms) {
  return Call(qm::stats::ComplexRms, In(z), Size(n), Out(rms));
}
QM_EXPORT int32_t ZMXFunc125(const double* x, int64_t n, int32_t order, double* moment) {
  return Call(qm::stats::CentralMoment, In(x), Size(n), order, Out(moment));
}
QM_EXPORT int32_t ZMXFunc123(const double* x, int64_t n, double* median) {
  return Call(qm::stats::Median, In(x), Size(n), Out(median));
}
QM_EXPORT int32_t ZMXFunc160(double* x, int64_t n, int32_t direction, double* out) {
  return Call(qm::stats::Sort, In(x), Size(n), direction, OutOr(out, x));
}
QM_EXPORT int32_t ZMXFunc133(double* x, int64_t rows, int64_t cols, double* out, double* mean,
                             double* std_dev) {
  return Call(qm::stats::Normalize, In(x), Elements2D(rows, cols), OutOr(out, x), Out(mean),
              Out(std_dev));
}
QM_EXPORT int32_t ZMXFunc132(double* x, int64_t n, double* out, double* mean, double* std_dev) {
  return Call(qm::stats::Normalize, In(x), Size(n), OutOr(out, x), Out(mean), Out(std_dev));
}
QM_EXPORT int32_t ZMXFunc2(const double* x, int64_t n, double* ac, double* dc) {
  return Call(qm::stats::AcDcEstimator, In(x), Size(n), Out(ac), Out(dc));
}
QM_EXPORT int32_t ZMXFunc124(const double* x, int64_t n, double base, double top, int64_t m,
                             double* mode) {
  return Call(qm::stats::Mode, In(x), Size(n), base, top, Size(m), Out(mode));
}
QM_EXPORT int32_t ZMXFunc340(const double* x, int64_t n, int64_t m, double* modes, int64_t* count) {
  return Call(qm::stats::Modes, In(x), Size(n), Size(m), Maybe(modes), SizeInOut(count));
}

// Either output may be null (not wanted).
QM_EXPORT int32_t ZMXFunc90(const double* x, int64_t n, double base, double top, int64_t* counts,
                            double* centres, int64_t m) {
  return Call(qm::stats::HistogramWide, In(x), Size(n), base, top, Maybe(counts), Maybe(centres),
              Size(m));
}

// ---- Distribution functions ---------------------------------------------------------------

QM_EXPORT int32_t ZMXFunc107(double p, int32_t df, double* x) {
  return Call(qm::stats::InverseTDistribution, p, df, Out(x));
}
