// Exports of the signal and noise generators.
#include <cstdint>

#include "frame/boundary.h"
#include "generate/generate.h"

using namespace qm::boundary;

// ---- Periodic waves ----------------------------------------------------------

QM_EXPORT int32_t ZMXFunc159(int64_t n, double amplitude, double f, double* phase, double* out) {
  return Call(qm::generate::SineWave, Size(n), amplitude, f, Out(phase), Out(out));
}

QM_EXPORT int32_t ZMXFunc165(int64_t n, double amplitude, double f, double* phase, double duty,
                             double* out) {
  return Call(qm::generate::SquareWave, Size(n), amplitude, f, Out(phase), duty, Out(out));
}

QM_EXPORT int32_t ZMXFunc151(int64_t n, double amplitude, double f, double* phase, double* out) {
  return Call(qm::generate::SawtoothWave, Size(n), amplitude, f, Out(phase), Out(out));
}

QM_EXPORT int32_t ZMXFunc179(int64_t n, double amplitude, double f, double* phase, double* out) {
  return Call(qm::generate::TriangleWave, Size(n), amplitude, f, Out(phase), Out(out));
}

// The table is read only when m >= 1, so it may be null otherwise.
QM_EXPORT int32_t ZMXFunc9(int64_t n, double amplitude, double f, double* phase,
                           const double* table, int64_t m, int32_t interpolation, double* out) {
  return Call(qm::generate::ArbitraryWave, Size(n), amplitude, f, Out(phase), InIfCount(table, m),
              Size(m), interpolation, Out(out));
}

// ---- Patterns ----------------------------------------------------------------

QM_EXPORT int32_t ZMXFunc158(int64_t n, double amplitude, double phase, double cycles,
                             double* out) {
  return Call(qm::generate::SinePattern, Size(n), amplitude, phase, cycles, Out(out));
}

QM_EXPORT int32_t ZMXFunc145(int64_t n, double first, double last, double* out) {
  return Call(qm::generate::RampPattern, Size(n), first, last, Out(out));
}

QM_EXPORT int32_t ZMXFunc178(int64_t n, double amplitude, double* out) {
  return Call(qm::generate::TrianglePattern, Size(n), amplitude, Out(out));
}

QM_EXPORT int32_t ZMXFunc93(int64_t n, double amplitude, int64_t index, double* out) {
  return Call(qm::generate::ImpulsePattern, Size(n), amplitude, Index(index), Out(out));
}

// delay and width are sample counts and narrowed like n.
QM_EXPORT int32_t ZMXFunc141(int64_t n, double amplitude, int64_t delay, int64_t width,
                             double* out) {
  return Call(qm::generate::PulsePattern, Size(n), amplitude, Size(delay), Size(width), Out(out));
}

QM_EXPORT int32_t ZMXFunc28(int64_t n, double amplitude, double f1, double f2, double* out) {
  return Call(qm::generate::ChirpPattern, Size(n), amplitude, f1, f2, Out(out));
}

// ---- Pulse shapes ------------------------------------------------------------

QM_EXPORT int32_t ZMXFunc157(int64_t n, double amplitude, double delay, double dt, double* out) {
  return Call(qm::generate::SincPattern, Size(n), amplitude, delay, dt, Out(out));
}

QM_EXPORT int32_t ZMXFunc349(int64_t n, double amplitude, double delay, double dt, int32_t order,
                             double* out) {
  return Call(qm::generate::PeriodicSinc, Size(n), amplitude, delay, dt, order, Out(out));
}

QM_EXPORT int32_t ZMXFunc347(int64_t n, double amplitude, double delay, double dt, double fc,
                             double* out) {
  return Call(qm::generate::GaussianMonopulse, Size(n), amplitude, delay, dt, fc, Out(out));
}

QM_EXPORT int32_t ZMXFunc348(int64_t n, double amplitude, double delay, double dt, double fc,
                             double bandwidth, double attenuation, double* out) {
  return Call(qm::generate::GaussianModulatedSine, Size(n), amplitude, delay, dt, fc, bandwidth,
              attenuation, Out(out));
}

QM_EXPORT int32_t ZMXFunc350(int64_t n, double amplitude, double delay, double dt, double width,
                             double skew, double* out) {
  return Call(qm::generate::TriangularPulse, Size(n), amplitude, delay, dt, width, skew, Out(out));
}

// ---- Noise -------------------------------------------------------------------

QM_EXPORT int32_t ZMXFunc84(int64_t n, double standard_deviation, int32_t seed, double* out) {
  return Call(qm::generate::GaussianNoise, Size(n), standard_deviation, seed, Out(out));
}

QM_EXPORT int32_t ZMXFunc182(int64_t n, int32_t seed, double* out) {
  return Call(qm::generate::UniformNoise01, Size(n), seed, Out(out));
}

QM_EXPORT int32_t ZMXFunc185(int64_t n, double amplitude, int32_t seed, double* out) {
  return Call(qm::generate::UniformNoise, Size(n), amplitude, seed, Out(out));
}
