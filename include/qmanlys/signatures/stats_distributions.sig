# Distribution functions, their inverses and the contingency-table test.
module stats

export 83 f_distribution
  x in f64
  m in i32
  k in i32
  p out *f64
export 104 inverse_f_distribution
  p in f64
  m in i32
  k in i32
  x out *f64
export 181 t_distribution
  x in f64
  df in i32
  p out *f64
export 107 inverse_t_distribution
  p in f64
  df in i32
  x out *f64
export 190 chi_square_distribution
  x in f64
  df in i32
  p out *f64
export 108 inverse_chi_square_distribution
  p in f64
  df in i32
  x out *f64
export 134 normal_distribution
  x in f64
  p out *f64
export 106 inverse_normal_distribution
  p in f64
  z out *f64
## table is a 2-D array of counts; returns (statistic, p).
export 31 contingency_table_test
  rows size i32 =rows(table)
  cols size i32 =cols(table)
  table in i32[rows,cols]
  statistic out *f64
  p out *f64
