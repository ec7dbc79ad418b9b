/* Derivative, integral, decimation, phase unwrapping and the amplitude and phase spectrum. Included by qmanlys.h inside its extern "C" block. */

/* Samples outside the record are the caller's conditions: initial x[-1]
 * (x[-2], x[-1] for the fourth-order derivative), final x[n] (x[n], x[n+1]).
 * Outputs marked "optional" may be null (the result then overwrites x); an
 * output may also be x itself. n < 1 gives -20003 unless stated otherwise;
 * dt <= 0 gives -20016 where dt is a step. */

/* Derivative(x, n, dt, initial x[-1], final x[n], out optional): out[i] = (x[i+1] - x[i-1]) / (2 dt). */
int32_t ZMXFunc56(const double* x, int64_t n, double dt, double initial, double final_value, double* out);
/* DerivativeWithMethod(x, n, dt, initial, initialCount, final, finalCount, method, out optional): method 0 central (x[-1], x[n]), 1 fourth-order central (x[-2], x[-1]; x[n], x[n+1]), 2 forward (x[n]), 3 backward (x[-1]); a condition array the method does not read may be null; too few conditions -20003 (-20006 for method 1), other methods -20061. */
int32_t ZMXFunc367(const double* x, int64_t n, double dt, const double* initial, int64_t initial_count, const double* final_values, int64_t final_count, int32_t method, double* out);
/* Integral(x, n, dt, initial x[-1], final x[n], out optional): running Simpson sum, out[i] = out[i-1] + (x[i-1] + 4 x[i] + x[i+1]) dt / 6. */
int32_t ZMXFunc95(const double* x, int64_t n, double dt, double initial, double final_value, double* out);
/* IntegrateArray(x, n, dt, rule, result): integral over the record with step |dt|; rule 0 trapezoid (n >= 2), 1 Simpson (n >= 3), 2 Simpson 3/8 (n >= 4), 3 Bode (n >= 5); fewer samples -20008, other rules -20061. */
int32_t ZMXFunc230(const double* x, int64_t n, double dt, int32_t rule, double* result);
/* Decimate(x, n, factor, average, out optional): n/factor samples, x[k*factor] or (average != 0) the block means; factor outside 1 .. n gives -20022. */
int32_t ZMXFunc53(const double* x, int64_t n, int64_t factor, int32_t average, double* out);
/* ComplexDecimate(x interleaved (re, im), n complex samples, factor, average, out optional): as ZMXFunc53 on complex samples. */
int32_t ZMXFunc360(const double* x, int64_t n, int64_t factor, int32_t average, double* out);
/* UnwrapPhase(p, n): in place, radians; each value within pi of its unwrapped predecessor (+pi becomes -pi). */
int32_t ZMXFunc183(double* p, int64_t n);
/* UnwrapPhaseWithUnits(p, n, units): 0 radians, 1 radians in degrees out, 2 degrees, 3 degrees in radians out, other codes as 0; n < 1 gives -20008. */
int32_t ZMXFunc368(double* p, int64_t n, int32_t units);
/* AmplitudePhaseSpectrum(x, n, unwrap, dt, amplitude, phase, df): n/2 RMS amplitudes and phases (radians, unwrapped when unwrap != 0) of bins 0 .. n/2 - 1; df = 1 / (n dt). */
int32_t ZMXFunc5(const double* x, int64_t n, int32_t unwrap, double dt, double* amplitude, double* phase, double* df);
