// Signal and noise generation: periodic waves that carry their phase from
// call to call, one-shot patterns, time-based pulse shapes and noise drawn
// from the calling thread's generators.
//
// Every routine fills `out` with n doubles and returns a status; 32-bit
// counts, valid pointers (the export boundary has checked them).
#pragma once

#include <cstdint>

#include "frame/status.h"
#include "frame/thread_state.h"

namespace qm::generate {

// ---- Periodic waves (frequency in cycles per sample, phase in degrees) ----
// On entry *phase is the phase of the first sample; on return that of the
// sample after the last one, reduced to [0, 360).

Status SineWave(std::int32_t n, double amplitude, double f, double* phase, double* out);
// High (+amplitude) while the phase is below 3.6 * duty; duty clamped to [0, 100].
Status SquareWave(std::int32_t n, double amplitude, double f, double* phase, double duty,
                  double* out);
Status SawtoothWave(std::int32_t n, double amplitude, double f, double* phase, double* out);
Status TriangleWave(std::int32_t n, double amplitude, double f, double* phase, double* out);
// One period of the wave is `table` (m entries); interpolation 1 is linear,
// any other value picks the entry below. `table` may be null when m < 1.
Status ArbitraryWave(std::int32_t n, double amplitude, double f, double* phase, const double* table,
                     std::int32_t m, std::int32_t interpolation, double* out);

// Phase reduction to [0, period): x - floor(x/period)*period, plus period if
// negative; a result equal to period becomes 0.
double ReducePeriodic(double x, double period);

// ---- Patterns -------------------------------------------------------------

Status SinePattern(std::int32_t n, double amplitude, double phase, double cycles, double* out);
Status RampPattern(std::int32_t n, double first, double last, double* out);
Status TrianglePattern(std::int32_t n, double amplitude, double* out);
Status ImpulsePattern(std::int32_t n, double amplitude, std::int32_t index, double* out);
Status PulsePattern(std::int32_t n, double amplitude, std::int32_t delay, std::int32_t width,
                    double* out);
Status ChirpPattern(std::int32_t n, double amplitude, double f1, double f2, double* out);

// ---- Pulse shapes at t_i = i*dt - delay ------------------------------------

Status SincPattern(std::int32_t n, double amplitude, double delay, double dt, double* out);
Status PeriodicSinc(std::int32_t n, double amplitude, double delay, double dt, std::int32_t order,
                    double* out);
Status GaussianMonopulse(std::int32_t n, double amplitude, double delay, double dt, double fc,
                         double* out);
Status GaussianModulatedSine(std::int32_t n, double amplitude, double delay, double dt, double fc,
                             double bandwidth, double attenuation, double* out);
Status TriangularPulse(std::int32_t n, double amplitude, double delay, double dt, double width,
                       double skew, double* out);

// ---- Noise from the calling thread's generators ------------------------------

Status GaussianNoise(std::int32_t n, double standard_deviation, std::int32_t seed, double* out);
Status UniformNoise01(std::int32_t n, std::int32_t seed, double* out);
Status UniformNoise(std::int32_t n, double amplitude, std::int32_t seed, double* out);

// One step of the Wichmann-Hill generator (AS 183) on `g`: a value in [0, 1).
double WichmannHillNext(GeneratorSeeds* g);

}  // namespace qm::generate
