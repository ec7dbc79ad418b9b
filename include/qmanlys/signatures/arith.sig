# Array and complex arithmetic.
module arith

# Optional outputs "over the input": the result is a new array unless out=
# names one (out=x works in place).
export 1 array_abs
  x io f64[n]
  n size i64 =len(x)
  out null f64[n]
export 3 array_add_1d
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  z out f64[n]
export 4 array_add_2d
  x in f64[rows,cols]
  y in f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  z out f64[rows,cols]
## Returns an array of zeros shaped as x (out=x clears x itself).
export 29 array_clear
  x io f64[n]
  n size i64 =len(x)
export 30 array_clip
  x io f64[n]
  n size i64 =len(x)
  upper in f64
  lower in f64
  out null f64[n]
export 34 array_copy
  x in f64[n]
  n size i64 =len(x)
  out out f64[n]
export 57 array_divide_1d
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  z out f64[n]
export 58 array_divide_2d
  x in f64[rows,cols]
  y in f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  z out f64[rows,cols]
export 115 array_scale_offset_1d
  x io f64[n]
  n size i64 =len(x)
  a in f64
  b in f64
  out null f64[n]
export 116 array_scale_offset_2d
  x io f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  a in f64
  b in f64
  out null f64[rows,cols]
## Returns (max, max_index, min, min_index).
export 120 array_max_min_1d
  x in f64[n]
  n size i64 =len(x)
  max out *f64
  maxIndex out *i64 >max_index
  min out *f64
  minIndex out *i64 >min_index
## Returns (max, max_row, max_col, min, min_row, min_col).
export 121 array_max_min_2d
  x in f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  max out *f64
  maxRow out *i64 >max_row
  maxCol out *i64 >max_col
  min out *f64
  minRow out *i64 >min_row
  minCol out *i64 >min_col
export 126 array_multiply_1d
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  z out f64[n]
export 127 array_multiply_2d
  x in f64[rows,cols]
  y in f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  z out f64[rows,cols]
export 128 array_negate
  x io f64[n]
  n size i64 =len(x)
  out null f64[n]
export 140 array_product
  x in f64[n]
  n size i64 =len(x)
  product out *f64
export 149 array_reverse
  x io f64[n]
  n size i64 =len(x)
  out null f64[n]
## Returns an array shaped as x filled with value (out=x fills x itself).
export 155 array_fill
  x io f64[n]
  n size i64 =len(x)
  value in f64
export 156 array_shift
  x io f64[n]
  n size i64 =len(x)
  shifts in i64
  out null f64[n]
export 167 array_subtract_1d
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  z out f64[n]
export 168 array_subtract_2d
  x in f64[rows,cols]
  y in f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  z out f64[rows,cols]
# A valid call writes `length` elements (index + length <= n); longer
# requests fail with -20018, so no more than n are ever allocated.
export 169 array_subset
  x in f64[n]
  n size i64 =len(x)
  index in i64
  length in i64
  out out f64[min(length, n)]
export 170 array_sum_1d
  x in f64[n]
  n size i64 =len(x)
  sum out *f64
export 171 array_sum_2d
  x in f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  sum out *f64

# Complex scalars: Python complex numbers in and out.
export 38 complex_add
  xr in f64 <x.re
  xi in f64 <x.im
  yr in f64 <y.re
  yi in f64 <y.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 40 complex_divide
  xr in f64 <x.re
  xi in f64 <x.im
  yr in f64 <y.re
  yi in f64 <y.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 42 complex_exp
  xr in f64 <x.re
  xi in f64 <x.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 44 complex_ln
  xr in f64 <x.re
  xi in f64 <x.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 45 complex_log10
  xr in f64 <x.re
  xi in f64 <x.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 46 complex_multiply
  xr in f64 <x.re
  xi in f64 <x.im
  yr in f64 <y.re
  yi in f64 <y.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 48 complex_power
  xr in f64 <x.re
  xi in f64 <x.im
  a in f64
  zr out *f64 >z.re
  zi out *f64 >z.im
export 49 complex_reciprocal
  xr in f64 <x.re
  xi in f64 <x.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 50 complex_sqrt
  xr in f64 <x.re
  xi in f64 <x.im
  zr out *f64 >z.re
  zi out *f64 >z.im
export 51 complex_subtract
  xr in f64 <x.re
  xi in f64 <x.im
  yr in f64 <y.re
  yi in f64 <y.im
  zr out *f64 >z.re
  zi out *f64 >z.im

# Complex arrays: the parallel real and imaginary parts as one complex128 array.
export 39 complex_array_add
  xr in f64[n] <x.re
  xi in f64[n] <x.im
  yr in f64[n] <y.re
  yi in f64[n] <y.im
  n size i64 =len(xr)
  zr out f64[n] >z.re
  zi out f64[n] >z.im
export 41 complex_array_divide
  xr in f64[n] <x.re
  xi in f64[n] <x.im
  yr in f64[n] <y.re
  yi in f64[n] <y.im
  n size i64 =len(xr)
  zr out f64[n] >z.re
  zi out f64[n] >z.im
## a and b are complex scalars: z = x*a + b.
export 43 complex_array_scale_offset
  xr io f64[n] <x.re >z.re
  xi io f64[n] <x.im >z.im
  n size i64 =len(xr)
  ar in f64 <a.re
  ai in f64 <a.im
  br in f64 <b.re
  bi in f64 <b.im
  zr null f64[n]
  zi null f64[n]
export 47 complex_array_multiply
  xr in f64[n] <x.re
  xi in f64[n] <x.im
  yr in f64[n] <y.re
  yi in f64[n] <y.im
  n size i64 =len(xr)
  zr out f64[n] >z.re
  zi out f64[n] >z.im
export 52 complex_array_subtract
  xr in f64[n] <x.re
  xi in f64[n] <x.im
  yr in f64[n] <y.re
  yi in f64[n] <y.im
  n size i64 =len(xr)
  zr out f64[n] >z.re
  zi out f64[n] >z.im

# Point removal: the count is read and rewritten by the export (points in,
# points kept out), and the results are trimmed to it. The optional third
# coordinate z is not offered (always null).
## Returns (x, y) without the removed points.
export 296 remove_points_by_index
  x io f64[count] @count
  y io f64[count] @count
  z null f64[count]
  count size *i64 =len(x)
  indexes in i64[nIndexes]
  nIndexes size i64 =len(indexes)
## Returns (x, y) of the points kept, and with removed_indexes=True also the
## indexes of the removed points.
export 297 remove_points_outside_range
  x io f64[count] @count
  y io f64[count] @count
  z null f64[count]
  count size *i64 =len(x)
  type in i32
  limits in f64[nLimits]
  nLimits size i64 =len(limits)
  removedIndexes out? i64[removed] @removed >removed_indexes
  removed size *i64 =len(x)
