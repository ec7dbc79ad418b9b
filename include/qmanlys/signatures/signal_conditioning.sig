# Derivative, integral, decimation, phase unwrapping and the amplitude and
# phase spectrum.
module signal

# The result is a new array unless out= is given (which may be x itself).
## initial is x[-1], final_value x[n].
export 56 derivative
  x in f64[n]
  n size i64 =len(x)
  dt in f64
  initial in f64
  final_value in f64
  out out~ f64[n]
## initial and final_values: the samples before and after the record the
## method reads (None where it reads none).
export 367 derivative_with_method
  x in f64[n]
  n size i64 =len(x)
  dt in f64
  initial in? f64[initial_count]
  initial_count size i64 =len(initial)
  final_values in? f64[final_count]
  final_count size i64 =len(final_values)
  method in i32
  out out~ f64[n]
## initial is x[-1], final_value x[n].
export 95 integral
  x in f64[n]
  n size i64 =len(x)
  dt in f64
  initial in f64
  final_value in f64
  out out~ f64[n]
## Returns the integral over the record.
export 230 integrate_array
  x in f64[n]
  n size i64 =len(x)
  dt in f64
  rule in i32
  result out *f64
# n / factor values; a factor outside 1 .. n is refused by the library.
export 53 decimate
  x in f64[n]
  n size i64 =len(x)
  factor in i64
  average in i32
  out out~ f64[factor < 1 ? 0 : n / factor]
export 360 complex_decimate
  x in c128[n]
  n size i64 =len(x)
  factor in i64
  average in i32
  out out~ c128[factor < 1 ? 0 : n / factor]
## Returns the unwrapped phase; out=p unwraps in place.
export 183 unwrap_phase
  p io f64[n]
  n size i64 =len(p)
## Returns the unwrapped phase; out=p unwraps in place.
export 368 unwrap_phase_with_units
  p io f64[n]
  n size i64 =len(p)
  units in i32
## Returns (amplitude, phase, df): n/2 bins each.
export 5 amplitude_phase_spectrum
  x in f64[n]
  n size i64 =len(x)
  unwrap in i32
  dt in f64
  amplitude out f64[n / 2]
  phase out f64[n / 2]
  df out *f64
