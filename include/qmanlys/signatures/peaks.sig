# Peak and valley detection.
module peaks

## Returns (count, locations, amplitudes, second_derivatives) of this block.
## The detection continues across calls on the same thread: initialize=1
## starts one, end_of_data=1 ends it after this block.
export 194 detect_peaks
  x in f64[n]
  n size i64 =len(x)
  threshold in f64
  width in i64
  polarity in i32
  initialize in i32
  endOfData in i32 <end_of_data
  count out *i64
  locations alloc f64[count] @count
  amplitudes alloc f64[count] @count
  secondDerivatives alloc f64[count] @count >second_derivatives
# The export writes *count <= n/width + 1 indices; max() keeps the room
# computable for widths the export refuses (-20013).
## Returns (indices, count): the start index of every run.
export 237 detect_threshold_runs
  x in f64[n]
  n size i64 =len(x)
  threshold in f64
  width in i64
  indices out~ i64[n / max(width, 1) + 1] @count
  count out *i64
