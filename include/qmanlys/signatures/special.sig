# Special functions of real arguments.
module special

export 70 erf
  x in f64
  result out *f64
export 71 erfc
  x in f64
  result out *f64
## gamma(a) -> Gamma(a); gamma(a, x) -> the regularised lower incomplete P(a, x).
export 309 gamma -> f64
  a in f64
  x in? *f64
export 314 gamma_stirling -> f64
  x in f64
export 312 log_gamma -> f64
  x in f64
export 308 factorial -> f64
  n in i32
export 311 log_factorial -> f64
  n in i32
export 313 digamma -> f64
  x in f64
## beta(a, b) -> B(a, b); beta(a, b, x) -> the regularised incomplete I_x(a, b).
export 307 beta -> f64
  a in f64
  b in f64
  x in? *f64
export 321 exponential_integral_en -> f64
  x in f64
  n in i32
## Returns (S(x), C(x)).
export 331 fresnel_integrals -> discard
  x in f64
  s out *f64
  c out *f64
export 325 hyperbolic_sine_integral -> f64
  x in f64
export 324 hyperbolic_cosine_integral -> f64
  x in f64
export 322 cosine_integral -> f64
  x in f64
export 323 sine_integral -> f64
  x in f64
export 320 dawson_integral -> f64
  x in f64
export 326 dilogarithm -> f64
  x in f64
export 302 bessel_j -> f64
  v in f64
  x in f64
export 301 bessel_y -> f64
  v in f64
  x in f64
export 303 spherical_bessel_j -> f64
  n in i32
  x in f64
export 304 spherical_bessel_y -> f64
  n in i32
  x in f64
export 305 bessel_i -> f64
  v in f64
  x in f64
## Returns (Ai, Ai', Bi, Bi').
export 330 airy -> discard
  x in f64
  ai out *f64
  aip out *f64
  bi out *f64
  bip out *f64
## elliptic_first_kind(m) -> K(m); elliptic_first_kind(m, phi) -> F(phi | m).
export 318 elliptic_first_kind -> f64
  m in f64
  phi in? *f64
export 319 elliptic_second_kind -> f64
  m in f64
  phi in? *f64
## Returns (sn, cn, dn, amplitude).
export 332 jacobi_elliptic -> discard
  u in f64
  m in f64
  sn out *f64
  cn out *f64
  dn out *f64
  phi out *f64
export 329 riemann_zeta -> f64
  x in f64
export 315 hypergeometric_2f1 -> f64
  a in f64
  b in f64
  c in f64
  x in f64
export 316 hypergeometric_1f1 -> f64
  a in f64
  b in f64
  x in f64
export 328 struve -> f64
  v in f64
  x in f64
