# FIR filtering with caller-held state, windowed-sinc and equiripple FIR
# designs, Savitzky-Golay smoothing.
module filters

## inputState (nb - 1 values, float64 ndarray) is updated in place, so the
## next block continues where this one ended.
export 352 fir_filter_with_state
  x in f64[n]
  n size i64 =len(x)
  b in f64[nb]
  inputState state f64[max(nb - 1, 0)]
  nb size i32 =len(b)
  y out f64[n]
## outputState (na - 1 values) and inputState (nb - 1 values), float64
## ndarrays, are updated in place, so the next block continues where this
## one ended.
export 92 iir_filter_with_state
  x in f64[n]
  n size i64 =len(x)
  a in~ f64[na]
  outputState state~ f64[max(na - 1, 0)]
  na size i32 =len(a)
  b in f64[nb]
  inputState state f64[max(nb - 1, 0)]
  nb size i32 =len(b)
  y out f64[n]
## x complex; inputState (nb - 1 values, complex128 ndarray) is updated in
## place; the coefficients b are real.
export 353 complex_fir_filter_with_state
  x in c128[n]
  n size i64 =len(x)
  b in f64[nb]
  inputState state c128[max(nb - 1, 0)]
  nb size i32 =len(b)
  y out c128[n]
## x complex; outputState (na - 1 values) and inputState (nb - 1 values),
## complex128 ndarrays, are updated in place; the coefficients are real.
export 354 complex_iir_filter_with_state
  x in c128[n]
  n size i64 =len(x)
  a in~ f64[na]
  outputState state~ c128[max(na - 1, 0)]
  na size i32 =len(a)
  b in f64[nb]
  inputState state c128[max(nb - 1, 0)]
  nb size i32 =len(b)
  y out c128[n]

export 79 fir_ideal_coefficients
  type in i32
  fs in f64
  f1 in f64
  f2 in f64
  taps in i32
  coef out f64[taps]
export 335 fir_windowed_coefficients
  type in i32
  fs in f64
  f1 in f64
  f2 in f64
  taps in i32
  windowCode in i32
  windowParameter in f64
  coef out f64[taps]
## beta < 0 or NaN (the default) means 4.5.
export 112 kaiser_lowpass_fir
  fs in f64
  fc in f64
  taps in i32
  coef out f64[taps]
  beta in f64 ?-1
export 111 kaiser_highpass_fir
  fs in f64
  fc in f64
  taps in i32
  coef out f64[taps]
  beta in f64 ?-1
export 109 kaiser_bandpass_fir
  fs in f64
  fl in f64
  fh in f64
  taps in i32
  coef out f64[taps]
  beta in f64 ?-1
export 110 kaiser_bandstop_fir
  fs in f64
  fl in f64
  fh in f64
  taps in i32
  coef out f64[taps]
  beta in f64 ?-1
export 189 windowed_lowpass_fir
  fs in f64
  fc in f64
  taps in i32
  coef out f64[taps]
  window in i32
export 188 windowed_highpass_fir
  fs in f64
  fc in f64
  taps in i32
  coef out f64[taps]
  window in i32
export 186 windowed_bandpass_fir
  fs in f64
  fl in f64
  fh in f64
  taps in i32
  coef out f64[taps]
  window in i32
export 187 windowed_bandstop_fir
  fs in f64
  fl in f64
  fh in f64
  taps in i32
  coef out f64[taps]
  window in i32

## Returns (H, C): H the (2m + 1) x (2m + 1) fit matrix, C the (p + 1) x
## (2m + 1) polynomial coefficients; weights (2m + 1 values) optional.
export 355 savitzky_golay_matrix
  p in i32
  m in i32
  weights in? f64[2 * max(m, 0) + 1]
  wantCoefficients size i32 =1
  H out f64[2 * max(m, 0) + 1, 2 * max(m, 0) + 1]
  C out~ f64[max(p, 0) + 1, 2 * max(m, 0) + 1]
export 356 savitzky_golay_filter
  x in f64[n]
  n size i64 =len(x)
  p in i32
  m in i32
  weights in? f64[2 * max(m, 0) + 1]
  y out f64[n]
## x complex, its real and imaginary parts smoothed separately.
export 357 complex_savitzky_golay_filter
  x in c128[n]
  n size i64 =len(x)
  p in i32
  m in i32
  weights in? f64[2 * max(m, 0) + 1]
  y out c128[n]

## edges: two per band (lower, upper, ...), gains and weights one per band.
## Returns (coef, ripple).
export 65 equiripple_fir
  nbands size i32 =len(gains)
  gains in f64[nbands]
  weights in f64[nbands]
  fs in f64
  edges in f64[2 * len(gains)]
  type in i32
  taps in i32
  coef out f64[taps]
  ripple out *f64
## Returns (coef, ripple).
export 69 equiripple_lowpass
  fs in f64
  fpass in f64
  fstop in f64
  taps in i32
  coef out f64[taps]
  ripple out *f64
## Returns (coef, ripple).
export 68 equiripple_highpass
  fs in f64
  fstop in f64
  fpass in f64
  taps in i32
  coef out f64[taps]
  ripple out *f64
## Returns (coef, ripple).
export 66 equiripple_bandpass
  fs in f64
  fstop1 in f64
  fpass1 in f64
  fpass2 in f64
  fstop2 in f64
  taps in i32
  coef out f64[taps]
  ripple out *f64
## Returns (coef, ripple).
export 67 equiripple_bandstop
  fs in f64
  fpass1 in f64
  fstop1 in f64
  fstop2 in f64
  fpass2 in f64
  taps in i32
  coef out f64[taps]
  ripple out *f64
