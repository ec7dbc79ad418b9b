# Signal and noise generation.
module generate

## phase: the phase in degrees of the first sample (default 0). Returns
## (phase after the last sample, samples): pass the phase to the next call to continue.
export 159 sine_wave
  n in i64
  amplitude in f64
  f in f64
  phase io *f64 ?0
  out out f64[n]
## phase: the phase in degrees of the first sample (default 0). Returns
## (phase after the last sample, samples): pass the phase to the next call to continue.
export 165 square_wave
  n in i64
  amplitude in f64
  f in f64
  phase io *f64 ?0
  duty in f64
  out out f64[n]
## phase: the phase in degrees of the first sample (default 0). Returns
## (phase after the last sample, samples): pass the phase to the next call to continue.
export 151 sawtooth_wave
  n in i64
  amplitude in f64
  f in f64
  phase io *f64 ?0
  out out f64[n]
## phase: the phase in degrees of the first sample (default 0). Returns
## (phase after the last sample, samples): pass the phase to the next call to continue.
export 179 triangle_wave
  n in i64
  amplitude in f64
  f in f64
  phase io *f64 ?0
  out out f64[n]
## phase: the phase in degrees of the first sample (default 0). Returns
## (phase after the last sample, samples): pass the phase to the next call to continue.
export 9 arbitrary_wave
  n in i64
  amplitude in f64
  f in f64
  phase io *f64 ?0
  table in f64[m]
  m size i64 =len(table)
  interpolation in i32
  out out f64[n]
export 158 sine_pattern
  n in i64
  amplitude in f64
  phase in f64
  cycles in f64
  out out f64[n]
export 145 ramp_pattern
  n in i64
  first in f64
  last in f64
  out out f64[n]
export 178 triangle_pattern
  n in i64
  amplitude in f64
  out out f64[n]
export 93 impulse_pattern
  n in i64
  amplitude in f64
  index in i64
  out out f64[n]
export 141 pulse_pattern
  n in i64
  amplitude in f64
  delay in i64
  width in i64
  out out f64[n]
export 28 chirp_pattern
  n in i64
  amplitude in f64
  f1 in f64
  f2 in f64
  out out f64[n]
export 157 sinc_pattern
  n in i64
  amplitude in f64
  delay in f64
  dt in f64
  out out f64[n]
export 349 periodic_sinc
  n in i64
  amplitude in f64
  delay in f64
  dt in f64
  order in i32
  out out f64[n]
export 347 gaussian_monopulse
  n in i64
  amplitude in f64
  delay in f64
  dt in f64
  fc in f64
  out out f64[n]
export 348 gaussian_modulated_sine
  n in i64
  amplitude in f64
  delay in f64
  dt in f64
  fc in f64
  bandwidth in f64
  attenuation in f64
  out out f64[n]
export 350 triangular_pulse
  n in i64
  amplitude in f64
  delay in f64
  dt in f64
  width in f64
  skew in f64
  out out f64[n]
export 84 gaussian_noise
  n in i64
  standard_deviation in f64
  seed in i32
  out out f64[n]
export 182 uniform_noise01
  n in i64
  seed in i32
  out out f64[n]
export 185 uniform_noise
  n in i64
  amplitude in f64
  seed in i32
  out out f64[n]
