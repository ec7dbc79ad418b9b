# Array scaling, polynomial evaluation and coordinate conversion.
module signal

# Optional outputs "over the input": the result is a new array unless out=
# names one (out=x works in place).
## Returns (scaled, scale): x / max|x| and max|x|.
export 143 scale_by_max_abs_1d
  x io f64[n] >scaled
  n size i64 =len(x)
  out null f64[n]
  scale out *f64
## Returns (scaled, scale): x / max|x| and max|x|.
export 144 scale_by_max_abs_2d
  x io f64[rows,cols] >scaled
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  out null f64[rows,cols]
  scale out *f64
## Returns (scaled, offset, scale) with scaled = (x - offset) / scale.
export 153 scale_to_unit_range_1d
  x io f64[n] >scaled
  n size i64 =len(x)
  out null f64[n]
  offset out *f64
  scale out *f64
## Returns (scaled, offset, scale) with scaled = (x - offset) / scale.
export 154 scale_to_unit_range_2d
  x io f64[rows,cols] >scaled
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  out null f64[rows,cols]
  offset out *f64
  scale out *f64
## c holds the coefficients in ascending powers.
export 135 polynomial_evaluate_1d
  x io f64[n]
  n size i64 =len(x)
  c in f64[m]
  m size i32 =len(c)
  out null f64[n]
## c holds the coefficients in ascending powers.
export 136 polynomial_evaluate_2d
  x io f64[rows,cols]
  rows size i64 =rows(x)
  cols size i64 =cols(x)
  c in f64[m]
  m size i32 =len(c)
  out null f64[rows,cols]
## Takes a complex z; returns (magnitude, phase).
export 172 rect_to_polar
  re in f64 <z.re
  im in f64 <z.im
  magnitude out *f64
  phase out *f64
## Takes a complex array z; returns (magnitude, phase).
export 173 rect_to_polar_array
  re io f64[n] <z.re >magnitude
  im io f64[n] <z.im >phase
  n size i64 =len(re)
  magnitude null f64[n]
  phase null f64[n]
## Returns the complex number magnitude * e^(i phase).
export 174 polar_to_rect
  magnitude in f64
  phase in f64
  re out *f64 >z.re
  im out *f64 >z.im
## Returns the complex array magnitude * e^(i phase).
export 232 polar_to_rect_array
  magnitude io f64[n] >z.re
  phase io f64[n] >z.im
  n size i64 =len(magnitude)
  re null f64[n]
  im null f64[n]
