# FFT transforms, spectra, cosine/sine transforms, plan handles, chirp-Z.
module fft

handle FftPlan QmFftPlanHandle destroy=261

## The full complex spectrum of the real signal x.
export 147 real_fft
  x io f64[n] >spectrum.re
  y out f64[n] >spectrum.im
  n size i64 =len(x)
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
export 102 inverse_complex_fft
  re io f64[n] <spectrum.re >x.re
  im io f64[n] <spectrum.im >x.im
  n size i64 =len(re)
export 260 fft_plan_create -> handle:FftPlan
  length in i64
export 261 fft_plan_destroy -> void
  plan release handle:FftPlan
export 263 complex_fft_interleaved
  x in c128[n]
  n size i64 =len(x)
  m in i64 ?0
  plan in? handle:FftPlan
  shift in i32 ?0
  out out c128[m < 1 ? n : m]
export 262 real_fft_interleaved
  x in f64[n]
  n size i64 =len(x)
  m in i64 ?0
  plan in? handle:FftPlan
  shift in i32 ?0
  out out c128[m < 1 ? n : m]
