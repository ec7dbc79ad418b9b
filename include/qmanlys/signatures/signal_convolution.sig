# Convolution, correlation and deconvolution: len(x) + len(y) - 1 values
# (out[len(x) - 1] the zero lag of a correlation).
module signal

export 32 convolve
  x in f64[n]
  n size i64 =len(x)
  y in f64[m]
  m size i64 =len(y)
  out out f64[n + m - 1]
## algorithm 0 direct sums, 1 real FFTs.
export 372 convolve_with_algorithm
  x in f64[n]
  n size i64 =len(x)
  y in f64[m]
  m size i64 =len(y)
  algorithm in i32
  out out f64[n + m - 1]
export 33 correlate
  x in f64[n]
  n size i64 =len(x)
  y in f64[m]
  m size i64 =len(y)
  out out f64[n + m - 1]
## algorithm 0 direct sums, 1 real FFTs.
export 373 correlate_with_algorithm
  x in f64[n]
  n size i64 =len(x)
  y in f64[m]
  m size i64 =len(y)
  algorithm in i32
  out out f64[n + m - 1]
## algorithm 0 direct sums, 1 real FFTs; normalization 0 none, 1 unbiased,
## 2 biased.
export 376 correlate_normalized
  x in f64[n]
  n size i64 =len(x)
  y in f64[m]
  m size i64 =len(y)
  algorithm in i32
  normalization in i32
  out out f64[n + m - 1]
## Returns x (len(y) - len(h) + 1 values) with x * h = y.
export 54 deconvolve_linear
  y in f64[n]
  n size i64 =len(y)
  h in f64[m]
  m size i64 =len(h)
  out out f64[n - m + 1]
