/* Waveform measurements. Included by qmanlys.h inside its extern "C" block.
 *
 * Times and durations are in samples from sample 0 (fractional positions are
 * interpolated). State-level method: 0 histogram, 1 peak (min and max),
 * 2 automatic (histogram levels when each holds more than 5 % of the
 * samples, else min and max). Reference unit: 0 absolute, 1 percent of the
 * amplitude between the state levels (-20314 otherwise); references must
 * satisfy high >= middle >= low (-20313, also for NaN). Pulse and edge
 * numbers count from 1 (-20323 below 1). A histogram size below 1 gives
 * -20317, histogram levels in a single bin or a constant record -20309.
 * A null waveform gives -20312 in ZMXFunc363..366, a non-finite sample
 * -20068 in all five. ZMXFunc364..366 return the absolute reference levels
 * used (the inputs converted from percent, or echoed) whatever the status. */

/* AmplitudeAndLevels(waveform, n, method, histogramSize, high, low, amplitude): the two state levels and amplitude = high - low. */
int32_t ZMXFunc363(const double* waveform, int64_t n, int32_t method, int64_t histogram_size, double* high, double* low, double* amplitude);
/* PulseMeasurements(waveform, n, polarity, pulse, highRef, middleRef, lowRef, unit, method, histogramSize, period, width, dutyCycle, centre, absLow, absMiddle, absHigh): pulse number `pulse` between mid-reference crossings (hysteresis min(middle - low, high - middle)); polarity 1 positive, 0 negative, -1 either (-20061 otherwise); period from crossing 2c-2 to 2c, duty cycle a fraction; -20308 fewer than 2c+1 crossings. */
int32_t ZMXFunc364(const double* waveform, int64_t n, int32_t polarity, int64_t pulse, double high_ref, double middle_ref, double low_ref, int32_t unit, int32_t method, int64_t histogram_size, double* period, double* width, double* duty_cycle, double* centre, double* abs_low, double* abs_middle, double* abs_high);
/* CycleAverageAndRms(waveform, n, pulse, highRef, middleRef, lowRef, unit, method, histogramSize, mean, rms, cycleStart, cycleEnd, absLow, absMiddle, absHigh): mean and RMS over the round(period) samples of cycle `pulse` from its first mid-reference crossing, moved back to end at sample n-1 if needed. */
int32_t ZMXFunc365(const double* waveform, int64_t n, int64_t pulse, double high_ref, double middle_ref, double low_ref, int32_t unit, int32_t method, int64_t histogram_size, double* mean, double* rms, double* cycle_start, double* cycle_end, double* abs_low, double* abs_middle, double* abs_high);
/* TransitionMeasurements(waveform, n, slope, edge, highRef, middleRef, lowRef, unit, method, histogramSize, slewRate, duration, start, end, absLow, absMiddle, absHigh, preBelow, preAbove, postBelow, postAbove): edge number `edge` of the slope (1 rising, 0 falling; -20061 otherwise) between the low and high references; excursions before and after it in percent of the amplitude; -20310 too few edges of the slope, -20326 zero duration. */
int32_t ZMXFunc366(const double* waveform, int64_t n, int32_t slope, int64_t edge, double high_ref, double middle_ref, double low_ref, int32_t unit, int32_t method, int64_t histogram_size, double* slew_rate, double* duration, double* start, double* end, double* abs_low, double* abs_middle, double* abs_high, double* pre_below, double* pre_above, double* post_below, double* post_above);
/* PulseParameters(x, n, amplitude, level90, level50, level10, top, base, overshoot, preshoot, delay, width, riseTime, fallTime, slewRate): first pulse from a 101-interval histogram (a pulse starting above 50 % is negative: amplitude negated, top and base exchanged); times truncated to whole samples, slew rate 0.8*amplitude/rise time (1e30 for 0); -20003 n < 1; -20116 times not finite or outside the record (all four 0, levels kept), also for a constant record. */
int32_t ZMXFunc142(const double* x, int64_t n, double* amplitude, double* level90, double* level50, double* level10, double* top, double* base, double* overshoot, double* preshoot, int64_t* delay, int64_t* width, int64_t* rise_time, int64_t* fall_time, double* slew_rate);
