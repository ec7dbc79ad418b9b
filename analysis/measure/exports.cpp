// Exports of the waveform measurements: state levels, pulses, cycles,
// transitions and the single-pulse parameters.
#include "frame/boundary.h"
#include "measure/waveform.h"

using namespace qm::boundary;

QM_EXPORT int32_t ZMXFunc363(const double* waveform, int64_t n, int32_t method,
                             int64_t histogram_size, double* high, double* low, double* amplitude) {
  return Call(qm::measure::AmplitudeAndLevels, Maybe(waveform), Size(n), method,
              Size(histogram_size), Out(high), Out(low), Out(amplitude));
}
QM_EXPORT int32_t ZMXFunc364(const double* waveform, int64_t n, int32_t polarity, int64_t pulse,
                             double high_ref, double middle_ref, double low_ref, int32_t unit,
                             int32_t method, int64_t histogram_size, double* period, double* width,
                             double* duty_cycle, double* centre, double* abs_low,
                             double* abs_middle, double* abs_high) {
  return Call(qm::measure::PulseMeasurements, Maybe(waveform), Size(n), polarity, Size(pulse),
              high_ref, middle_ref, low_ref, unit, method, Size(histogram_size), Out(period),
              Out(width), Out(duty_cycle), Out(centre), Out(abs_low), Out(abs_middle),
              Out(abs_high));
}
QM_EXPORT int32_t ZMXFunc365(const double* waveform, int64_t n, int64_t pulse, double high_ref,
                             double middle_ref, double low_ref, int32_t unit, int32_t method,
                             int64_t histogram_size, double* mean, double* rms, double* cycle_start,
                             double* cycle_end, double* abs_low, double* abs_middle,
                             double* abs_high) {
  return Call(qm::measure::CycleAverageAndRms, Maybe(waveform), Size(n), Size(pulse), high_ref,
              middle_ref, low_ref, unit, method, Size(histogram_size), Out(mean), Out(rms),
              Out(cycle_start), Out(cycle_end), Out(abs_low), Out(abs_middle), Out(abs_high));
}
QM_EXPORT int32_t ZMXFunc366(const double* waveform, int64_t n, int32_t slope, int64_t edge,
                             double high_ref, double middle_ref, double low_ref, int32_t unit,
                             int32_t method, int64_t histogram_size, double* slew_rate,
                             double* duration, double* start, double* end, double* abs_low,
                             double* abs_middle, double* abs_high, double* pre_below,
                             double* pre_above, double* post_below, double* post_above) {
  return Call(qm::measure::TransitionMeasurements, Maybe(waveform), Size(n), slope, Size(edge),
              high_ref, middle_ref, low_ref, unit, method, Size(histogram_size), Out(slew_rate),
              Out(duration), Out(start), Out(end), Out(abs_low), Out(abs_middle), Out(abs_high),
              Out(pre_below), Out(pre_above), Out(post_below), Out(post_above));
}
QM_EXPORT int32_t ZMXFunc142(const double* x, int64_t n, double* amplitude, double* level90,
                             double* level50, double* level10, double* top, double* base,
                             double* overshoot, double* preshoot, int64_t* delay, int64_t* width,
                             int64_t* rise_time, int64_t* fall_time, double* slew_rate) {
  return Call(qm::measure::PulseParameters, In(x), Size(n), Out(amplitude), Out(level90),
              Out(level50), Out(level10), Out(top), Out(base), Out(overshoot), Out(preshoot),
              IndexOut(delay), CountOut(width), CountOut(rise_time), CountOut(fall_time),
              Out(slew_rate));
}
