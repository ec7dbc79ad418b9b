# Time-domain windows: each returns x times the window (out=x for in place).
module windows

export 89 hanning_window
  x io f64[n]
  n size i64 =len(x)
export 88 hamming_window
  x io f64[n]
  n size i64 =len(x)
export 15 blackman_harris_window
  x io f64[n]
  n size i64 =len(x)
export 72 exact_blackman_window
  x io f64[n]
  n size i64 =len(x)
export 14 blackman_window
  x io f64[n]
  n size i64 =len(x)
export 80 flat_top_window
  x io f64[n]
  n size i64 =len(x)
export 336 blackman_nuttall_window
  x io f64[n]
  n size i64 =len(x)
export 85 general_cosine_window
  x io f64[n]
  n size i64 =len(x)
  coefficients in f64[count]
  count size i32 =len(coefficients)
export 180 triangle_window
  x io f64[n]
  n size i64 =len(x)
export 343 bartlett_hann_window
  x io f64[n]
  n size i64 =len(x)
export 344 bohman_window
  x io f64[n]
  n size i64 =len(x)
export 345 parzen_window
  x io f64[n]
  n size i64 =len(x)
export 346 welch_window
  x io f64[n]
  n size i64 =len(x)
export 113 kaiser_window
  x io f64[n]
  n size i64 =len(x)
  beta in f64
export 279 chebyshev_window
  x io f64[n]
  n size i64 =len(x)
  attenuation_db in f64
export 280 gaussian_window
  x io f64[n]
  n size i64 =len(x)
  sigma in f64 ?0
export 35 cosine_tapered_window
  x io f64[n]
  n size i64 =len(x)
export 278 tukey_window
  x io f64[n]
  n size i64 =len(x)
  ratio in f64
export 74 exponential_window
  x io f64[n]
  n size i64 =len(x)
  final_value in f64
export 81 force_window
  x io f64[n]
  n size i64 =len(x)
  duty_percent in f64
## Returns [equivalent noise bandwidth (bins), coherent gain].
export 283 window_properties
  w in f64[n]
  n size i32 =len(w)
  properties out f64[2]
## Returns [equivalent noise bandwidth (bins), coherent gain].
export 282 window_properties_by_type
  code in i32
  properties out f64[2]
## Returns the scaled x; with properties=True, (x, [ENBW, coherent gain]).
export 152 scaled_window
  x io f64[n]
  n size i64 =len(x)
  code in i32
  properties out? f64[2]
## Returns the scaled x; with properties=True, (x, [ENBW, coherent gain]).
export 337 scaled_window_with_parameter
  x io f64[n]
  n size i64 =len(x)
  code in i32
  parameter in f64
  properties out? f64[2]
export 281 symmetric_window
  x io f64[n]
  n size i64 =len(x)
  code in i64
  parameter in f64
