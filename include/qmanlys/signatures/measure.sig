# Waveform measurements (times in samples from sample 0).
module measure

## Returns (high, low, amplitude).
export 363 amplitude_and_levels
  waveform in f64[n] !-20312
  n size i64 =len(waveform)
  method in i32
  histogram_size in i64
  high out *f64
  low out *f64
  amplitude out *f64
## Returns (period, width, duty_cycle, centre, abs_low, abs_middle, abs_high).
export 364 pulse_measurements
  waveform in f64[n] !-20312
  n size i64 =len(waveform)
  polarity in i32
  pulse in i64
  high_ref in f64
  middle_ref in f64
  low_ref in f64
  unit in i32
  method in i32
  histogram_size in i64
  period out *f64
  width out *f64
  duty_cycle out *f64
  centre out *f64
  abs_low out *f64
  abs_middle out *f64
  abs_high out *f64
## Returns (mean, rms, cycle_start, cycle_end, abs_low, abs_middle, abs_high).
export 365 cycle_average_and_rms
  waveform in f64[n] !-20312
  n size i64 =len(waveform)
  pulse in i64
  high_ref in f64
  middle_ref in f64
  low_ref in f64
  unit in i32
  method in i32
  histogram_size in i64
  mean out *f64
  rms out *f64
  cycle_start out *f64
  cycle_end out *f64
  abs_low out *f64
  abs_middle out *f64
  abs_high out *f64
## Returns (slew_rate, duration, start, end, abs_low, abs_middle, abs_high,
## pre_below, pre_above, post_below, post_above).
export 366 transition_measurements
  waveform in f64[n] !-20312
  n size i64 =len(waveform)
  slope in i32
  edge in i64
  high_ref in f64
  middle_ref in f64
  low_ref in f64
  unit in i32
  method in i32
  histogram_size in i64
  slew_rate out *f64
  duration out *f64
  start out *f64
  end out *f64
  abs_low out *f64
  abs_middle out *f64
  abs_high out *f64
  pre_below out *f64
  pre_above out *f64
  post_below out *f64
  post_above out *f64
## Returns (amplitude, level90, level50, level10, top, base, overshoot,
## preshoot, delay, width, rise_time, fall_time, slew_rate); the four times
## are whole samples (int).
export 142 pulse_parameters
  x in f64[n]
  n size i64 =len(x)
  amplitude out *f64
  level90 out *f64
  level50 out *f64
  level10 out *f64
  top out *f64
  base out *f64
  overshoot out *f64
  preshoot out *f64
  delay out *i64
  width out *i64
  rise_time out *i64
  fall_time out *i64
  slew_rate out *f64
