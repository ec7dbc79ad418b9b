# Descriptive statistics, sorting and histogram.
module stats

export 122 mean
  x in f64[n]
  n size i64 =len(x)
  mean out *f64
## Returns (mean, variance), the variance a population value.
export 184 mean_and_variance
  x in f64[n]
  n size i64 =len(x)
  mean out *f64
  variance out *f64
## Returns (mean, std_dev), the standard deviation a population value.
export 166 mean_and_std_dev
  x in f64[n]
  n size i64 =len(x)
  mean out *f64
  std_dev out *f64
export 150 rms
  x in f64[n]
  n size i64 =len(x)
  rms out *f64
export 369 complex_rms
  z in c128[n]
  n size i64 =len(z)
  rms out *f64
export 125 central_moment
  x in f64[n]
  n size i64 =len(x)
  order in i32
  moment out *f64
export 123 median
  x in f64[n]
  n size i64 =len(x)
  median out *f64
## Returns the sorted copy of x (x itself is left as it is unless given as out=).
export 160 sort
  x io f64[n]
  n size i64 =len(x)
  direction in i32
  out null f64[n]
## Returns (normalised x, mean, std_dev); x stays as it is unless given as x_out=.
export 133 normalize_2d
  x io f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  out null f64[rows,cols]
  mean out *f64
  std_dev out *f64
## Returns (normalised x, mean, std_dev); x stays as it is unless given as x_out=.
export 132 array_normalize
  x io f64[n]
  n size i64 =len(x)
  out null f64[n]
  mean out *f64
  std_dev out *f64
## Returns (ac, dc).
export 2 ac_dc_estimator
  x in f64[n]
  n size i64 =len(x)
  ac out *f64
  dc out *f64
export 124 mode
  x in f64[n]
  n size i64 =len(x)
  base in f64
  top in f64
  intervals in i64
  mode out *f64
## Returns every mode (intervals < 1: of the exact values).
export 340 modes
  x in f64[n]
  n size i64 =len(x)
  intervals in i64
  modes out~ f64[count] @count
  count size *i64 =intervals < 1 ? n : intervals
## Returns (counts, centres) of the intervals.
export 90 histogram
  x in f64[n]
  n size i64 =len(x)
  base in f64
  top in f64
  counts out~ i64[intervals]
  centres out~ f64[intervals]
  intervals in i64
