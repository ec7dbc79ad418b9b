# Analysis of variance for one-, two- and three-factor experiments.
module stats

## levels: the 0-based level of each observation. Returns (ss_between,
## ms_between, f, p, ss_within, ms_within, ss_total).
export 6 one_way_anova
  y in f64[n]
  levels in i64[n]
  n size i64 =len(y)
  k in i64
  ss_between out *f64
  ms_between out *f64
  f out *f64
  p out *f64
  ss_within out *f64
  ms_within out *f64
  ss_total out *f64
## A negative level count makes a factor random. Returns (table, p_a, p_b,
## p_ab), table the 15 values (SS, df, MS, F) of A, B, AB, then error SS, df, MS.
export 7 two_way_anova
  y in f64[n]
  levels_a in i64[n]
  levels_b in i64[n]
  n size i64 =len(y)
  r in i64
  a in i64
  b in i64
  table out f64[15]
  p_a out *f64
  p_b out *f64
  p_ab out *f64
## A negative level count makes a factor random. Returns (table, p_a, p_b,
## p_c, p_ab, p_ac, p_bc, p_abc), table the 32 values (SS, df, MS, F) of A, B,
## C, AB, AC, BC, ABC, then error SS, df, MS and 0.
export 8 three_way_anova
  y in f64[n]
  levels_a in i64[n]
  levels_b in i64[n]
  levels_c in i64[n]
  n size i64 =len(y)
  r in i64
  a in i64
  b in i64
  c in i64
  table out f64[32]
  p_a out *f64
  p_b out *f64
  p_c out *f64
  p_ab out *f64
  p_ac out *f64
  p_bc out *f64
  p_abc out *f64
