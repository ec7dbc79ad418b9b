/* Signal and noise generation. Included by qmanlys.h inside its extern "C" block. */

/* Periodic waves: frequency f in cycles per sample; *phase (degrees) is the
 * phase of the first sample on entry and of the sample after the last one on
 * return, in [0, 360). */

/* SineWave(n, amplitude, f, phase in/out, out[n]). */
int32_t ZMXFunc159(int64_t n, double amplitude, double f, double* phase, double* out);
/* SquareWave(n, amplitude, f, phase in/out, duty cycle in percent, out[n]). */
int32_t ZMXFunc165(int64_t n, double amplitude, double f, double* phase, double duty,
                   double* out);
/* SawtoothWave(n, amplitude, f, phase in/out, out[n]). */
int32_t ZMXFunc151(int64_t n, double amplitude, double f, double* phase, double* out);
/* TriangleWave(n, amplitude, f, phase in/out, out[n]). */
int32_t ZMXFunc179(int64_t n, double amplitude, double f, double* phase, double* out);
/* ArbitraryWave(n, amplitude, f, phase in/out, table[m] (one period), m,
 * interpolation 1 = linear / other = none, out[n]). */
int32_t ZMXFunc9(int64_t n, double amplitude, double f, double* phase, const double* table,
                 int64_t m, int32_t interpolation, double* out);

/* Patterns. */

/* SinePattern(n, amplitude, phase in degrees, cycles over the n samples, out[n]). */
int32_t ZMXFunc158(int64_t n, double amplitude, double phase, double cycles, double* out);
/* RampPattern(n, first, last, out[n]). */
int32_t ZMXFunc145(int64_t n, double first, double last, double* out);
/* TrianglePattern(n, amplitude, out[n]). */
int32_t ZMXFunc178(int64_t n, double amplitude, double* out);
/* ImpulsePattern(n, amplitude, index of the impulse, out[n]). */
int32_t ZMXFunc93(int64_t n, double amplitude, int64_t index, double* out);
/* PulsePattern(n, amplitude, delay and width in samples, out[n]). */
int32_t ZMXFunc141(int64_t n, double amplitude, int64_t delay, int64_t width, double* out);
/* ChirpPattern(n, amplitude, start frequency f1, end frequency f2 (cycles per
 * sample), out[n]). */
int32_t ZMXFunc28(int64_t n, double amplitude, double f1, double f2, double* out);

/* Pulse shapes at the times t_i = i*dt - delay. */

/* SincPattern(n, amplitude, delay, dt, out[n]). */
int32_t ZMXFunc157(int64_t n, double amplitude, double delay, double dt, double* out);
/* PeriodicSinc(n, amplitude, delay, dt, order N, out[n]). */
int32_t ZMXFunc349(int64_t n, double amplitude, double delay, double dt, int32_t order,
                   double* out);
/* GaussianMonopulse(n, amplitude, delay, dt, centre frequency fc, out[n]). */
int32_t ZMXFunc347(int64_t n, double amplitude, double delay, double dt, double fc,
                   double* out);
/* GaussianModulatedSine(n, amplitude, delay, dt, fc, fractional bandwidth,
 * attenuation in dB, out[n]). */
int32_t ZMXFunc348(int64_t n, double amplitude, double delay, double dt, double fc,
                   double bandwidth, double attenuation, double* out);
/* TriangularPulse(n, amplitude, delay, dt, width, skew in [0, 1], out[n]). */
int32_t ZMXFunc350(int64_t n, double amplitude, double delay, double dt, double width,
                   double skew, double* out);

/* Noise from the calling thread's generators: a positive seed restarts the
 * sequence, 0 continues it, a negative seed continues it (on the thread's
 * first call: starts from the clock). */

/* GaussianNoise(n, standard deviation, seed, out[n]). */
int32_t ZMXFunc84(int64_t n, double standard_deviation, int32_t seed, double* out);
/* UniformNoise01(n, seed, out[n]): values in [0, 1). */
int32_t ZMXFunc182(int64_t n, int32_t seed, double* out);
/* UniformNoise(n, amplitude, seed, out[n]): values in [-amplitude, amplitude). */
int32_t ZMXFunc185(int64_t n, double amplitude, int32_t seed, double* out);
