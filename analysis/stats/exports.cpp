// Exports of the statistics family: descriptive statistics, sorting, histogram and modes, and
// of the array normalisation built on them; distribution functions and analysis of variance.
#include <cstdint>

#include "frame/boundary.h"
#include "stats/anova.h"
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

QM_EXPORT int32_t ZMXFunc83(double x, int32_t m, int32_t k, double* p) {
  return Call(qm::stats::FDistribution, x, m, k, Out(p));
}
QM_EXPORT int32_t ZMXFunc104(double p, int32_t m, int32_t k, double* x) {
  return Call(qm::stats::InverseFDistribution, p, m, k, Out(x));
}
QM_EXPORT int32_t ZMXFunc181(double x, int32_t df, double* p) {
  return Call(qm::stats::TDistribution, x, df, Out(p));
}
QM_EXPORT int32_t ZMXFunc107(double p, int32_t df, double* x) {
  return Call(qm::stats::InverseTDistribution, p, df, Out(x));
}
QM_EXPORT int32_t ZMXFunc190(double x, int32_t df, double* p) {
  return Call(qm::stats::ChiSquareDistribution, x, df, Out(p));
}
QM_EXPORT int32_t ZMXFunc108(double p, int32_t df, double* x) {
  return Call(qm::stats::InverseChiSquareDistribution, p, df, Out(x));
}
QM_EXPORT int32_t ZMXFunc134(double x, double* p) {
  return Call(qm::stats::NormalDistribution, x, Out(p));
}
QM_EXPORT int32_t ZMXFunc106(double p, double* x) {
  return Call(qm::stats::InverseNormalDistribution, p, Out(x));
}
QM_EXPORT int32_t ZMXFunc31(int32_t rows, int32_t cols, const int32_t* table, double* statistic,
                            double* p_value) {
  return Call(qm::stats::ContingencyTableTest, rows, cols, In(table), Out(statistic), Out(p_value));
}

// ---- Analysis of variance ------------------------------------------------------------------
// The level arrays are narrowed into 32-bit copies after the pointer checks.

QM_EXPORT int32_t ZMXFunc6(const double* y, const int64_t* levels, int64_t n, int64_t k,
                           double* ss_between, double* ms_between, double* f, double* p,
                           double* ss_within, double* ms_within, double* ss_total) {
  return Call(qm::stats::OneWayAnova, In(y), Int32Copy(levels, n), Size(n), Size(k),
              Out(ss_between), Out(ms_between), Out(f), Out(p), Out(ss_within), Out(ms_within),
              Out(ss_total));
}
QM_EXPORT int32_t ZMXFunc7(const double* y, const int64_t* levels_a, const int64_t* levels_b,
                           int64_t n, int64_t r, int64_t a, int64_t b, double* table, double* p_a,
                           double* p_b, double* p_ab) {
  return Call(qm::stats::TwoWayAnova, In(y), Int32Copy(levels_a, n), Int32Copy(levels_b, n),
              Size(n), Size(r), Size(a), Size(b), Out(table), Out(p_a), Out(p_b), Out(p_ab));
}
QM_EXPORT int32_t ZMXFunc8(const double* y, const int64_t* levels_a, const int64_t* levels_b,
                           const int64_t* levels_c, int64_t n, int64_t r, int64_t a, int64_t b,
                           int64_t c, double* table, double* p_a, double* p_b, double* p_c,
                           double* p_ab, double* p_ac, double* p_bc, double* p_abc) {
  return Call(qm::stats::ThreeWayAnova, In(y), Int32Copy(levels_a, n), Int32Copy(levels_b, n),
              Int32Copy(levels_c, n), Size(n), Size(r), Size(a), Size(b), Size(c), Out(table),
              Out(p_a), Out(p_b), Out(p_c), Out(p_ab), Out(p_ac), Out(p_bc), Out(p_abc));
}
