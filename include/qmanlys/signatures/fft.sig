# FFT transforms, spectra, cosine/sine transforms, plan handles, chirp-Z.
module fft

handle FftPlan QmFftPlanHandle destroy=261

## The full complex spectrum of the real signal x.
export 147 real_fft
  x io f64[n] >spectrum.re
  y out f64[n] >spectrum.im
  n size i64 =len(x)
  via 262(x, n, 0, null, 0, spectrum)
## The real signal of a Hermitian spectrum (reads bins 0 .. n/2 and the
## imaginary parts above n/2).
export 148 inverse_real_fft
  re io f64[n] <spectrum.re >x
  im io f64[n] <spectrum.im >-
  n size i64 =len(re)
export 77 complex_fft
  re io f64[n] <x.re >spectrum.re
  im io f64[n] <x.im >spectrum.im
  n size i64 =len(re)
  via 263(x, n, 0, null, 0, spectrum)
export 102 inverse_complex_fft
  re io f64[n] <spectrum.re >x.re
  im io f64[n] <spectrum.im >x.im
  n size i64 =len(re)
export 161 power_spectrum_two_sided
  x io f64[n]
  n size i64 =len(x)
## Returns the len(x)//2 one-sided bins; with df=True, (spectrum, df).
export 10 power_spectrum
  x in f64[n]
  n size i64 =len(x)
  dt in f64
  spectrum out f64[n / 2]
  df out? *f64
## Returns the complex cross spectrum conj(X)*Y/n^2 (y as long as x).
export 36 cross_power_spectrum_two_sided
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  re out f64[n] >spectrum.re
  im out f64[n] >spectrum.im
## Returns (magnitude, phase) of len(x)//2 bins; with df=True, (magnitude, phase, df).
export 37 cross_power_spectrum
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  dt in f64
  magnitude out f64[n / 2]
  phase out f64[n / 2]
  df out? *f64
## Returns (magnitude, phase) of len(stimulus)//2 bins; with df=True, (magnitude, phase, df).
export 176 transfer_function
  stimulus in f64[n]
  response in f64[n]
  n size i64 =len(stimulus)
  dt in f64
  magnitude out f64[n / 2]
  phase out f64[n / 2]
  df out? *f64
export 94 deconvolve
  divisor in f64[n]
  dividend in f64[n]
  n size i64 =len(divisor)
  out out f64[n]
export 75 hilbert_transform
  x io f64[n]
  n size i64 =len(x)
export 76 inverse_hilbert_transform
  x io f64[n]
  n size i64 =len(x)
export 78 hartley_transform
  x io f64[n]
  n size i64 =len(x)
export 103 inverse_hartley_transform
  x io f64[n]
  n size i64 =len(x)

# Cosine and sine transforms: m < 1 transforms len(x) values.
export 270 dct
  x in f64[n]
  n size i64 =len(x)
  m in i64 ?0
  y out f64[m < 1 ? n : m]
export 271 inverse_dct
  x in f64[n]
  n size i64 =len(x)
  y out f64[n]
export 272 dst
  x in f64[n]
  n size i64 =len(x)
  m in i64 ?0
  y out f64[m < 1 ? n : m]
export 273 inverse_dst
  x in f64[n]
  n size i64 =len(x)
  y out f64[n]
export 274 dct_2d
  x in f64[rows, cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  y out f64[rows, cols]
export 275 inverse_dct_2d
  x in f64[rows, cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  y out f64[rows, cols]
export 276 dst_2d
  x in f64[rows, cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  y out f64[rows, cols]
export 277 inverse_dst_2d
  x in f64[rows, cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  y out f64[rows, cols]

# Interleaved and 2-D transforms; the plan handle is optional.
export 260 fft_plan_create -> handle:FftPlan
  length in i64
export 261 fft_plan_destroy -> void
  plan release handle:FftPlan
export 262 real_fft_interleaved
  x in f64[n]
  n size i64 =len(x)
  m in i64 ?0
  plan in? handle:FftPlan
  shift in i32 ?0
  out out c128[m < 1 ? n : m]
export 263 complex_fft_interleaved
  x in c128[n]
  n size i64 =len(x)
  m in i64 ?0
  plan in? handle:FftPlan
  shift in i32 ?0
  out out c128[m < 1 ? n : m]
## The real signal of the full spectrum (reads bins 0 .. len(spectrum)//2 only).
export 264 inverse_real_fft_interleaved
  X in c128[n] <spectrum
  n size i64 =len(X)
  plan in? handle:FftPlan
  shift in i32 ?0
  out out f64[n]
export 265 inverse_complex_fft_interleaved
  X in c128[n] <spectrum
  n size i64 =len(X)
  plan in? handle:FftPlan
  shift in i32 ?0
  out out c128[n]
## transform_rows, transform_cols < 1 keep the shape of x.
export 266 real_fft_2d
  x in f64[rows, cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  transform_rows in i64 ?0
  transform_cols in i64 ?0
  shift in i32 ?0
  out out c128[transform_rows < 1 ? rows : transform_rows, transform_cols < 1 ? cols : transform_cols]
## transform_rows, transform_cols < 1 keep the shape of x.
export 267 complex_fft_2d
  x in c128[rows, cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  transform_rows in i64 ?0
  transform_cols in i64 ?0
  shift in i32 ?0
  out out c128[transform_rows < 1 ? rows : transform_rows, transform_cols < 1 ? cols : transform_cols]
## The real parts of the 2-D inverse of the complex spectrum.
export 268 inverse_real_fft_2d
  X in c128[rows, cols] <spectrum
  rows size i64 =rows(X)
  cols size i64 =cols(X)
  shift in i32 ?0
  out out f64[rows, cols]
export 269 inverse_complex_fft_2d
  X in c128[rows, cols] <spectrum
  rows size i64 =rows(X)
  cols size i64 =cols(X)
  shift in i32 ?0
  out out c128[rows, cols]

## Returns (values, label): the label rewritten for the unit (V -> Vrms^2/Hz, dBVrms, ...).
export 162 spectrum_unit_conversion
  x in f64[n]
  n size i64 =len(x)
  kind in i32
  scale in i32
  flags in i32
  df in f64
  w in? *f64
  out out f64[n]
  label io char[len(label) + 11]

## A and W are complex numbers; m < 1 gives len(x) points.
export 341 chirp_z
  x in f64[n]
  n size i64 =len(x)
  A in *c128
  W in *c128
  method in i32
  m in i64 ?0
  X out c128[m < 1 ? n : m]
## A and W are complex numbers; m < 1 gives len(x) points.
export 342 complex_chirp_z
  x in c128[n]
  n size i64 =len(x)
  A in *c128
  W in *c128
  method in i32
  m in i64 ?0
  X out c128[m < 1 ? n : m]
