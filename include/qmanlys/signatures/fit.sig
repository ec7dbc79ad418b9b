# Curve fitting: interpolation, linear and robust fits, the smoothing spline,
# fit intervals and the Levenberg-Marquardt fit. Weights w are optional
# (None: all 1); method 0 least squares, 1 least absolute residual, 2 bisquare.
module fit

## Returns (y_value, error_estimate).
export 138 polynomial_interpolate
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  x_value in f64
  y_value out *f64
  error_estimate out *f64
## Returns (y_value, error_estimate).
export 146 rational_interpolate
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  x_value in f64
  y_value out *f64
  error_estimate out *f64
## An end derivative left out (or above 9.9e29) gives the natural end.
export 164 spline_second_derivatives
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  first_derivative_start in f64 ?1e30
  first_derivative_end in f64 ?1e30
  y2 out f64[n]
export 163 spline_interpolate
  x in f64[n]
  y in f64[n]
  y2 in f64[n]
  n size i64 =len(x)
  x_value in f64
  y_value out *f64

## h is the n x k design matrix. Returns (fitted, coefficients, residue), with
## the k x k covariance before residue when asked (covariance=True).
export 86 general_linear_fit
  h in f64[n,k]
  n size i64 =rows(h)
  k size i64 =cols(h)
  y in f64[n]
  std_dev in? f64[n]
  algorithm in i32
  fitted out~ f64[n]
  coefficients out f64[k]
  covariance out? f64[k,k]
  residue out~ *f64
export 239 general_linear_fit_simple
  h in f64[n,k]
  n size i64 =rows(h)
  k size i64 =cols(h)
  y in f64[n]
  coefficients out f64[k]
  algorithm in i32
## Returns (sse, r_square, rmse).
export 284 goodness_of_fit
  y in f64[n]
  fitted in f64[n]
  w in? f64[n]
  n size i64 =len(y)
  degrees_of_freedom in i32 ?0
  sse out *f64
  r_square out *f64
  rmse out *f64

## Returns (fitted, amplitude, damping, residue).
export 73 exponential_fit_simple
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  fitted out f64[n]
  amplitude out *f64
  damping out *f64
  residue out *f64
## Returns (fitted, amplitude, damping, residue).
export 286 exponential_fit
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  method in i32
  tolerance in f64 ?0
  fitted out f64[n]
  amplitude out *f64
  damping out *f64
  residue out *f64
## Returns (fitted, slope, intercept, residue).
export 117 linear_fit_simple
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  fitted out f64[n]
  slope out *f64
  intercept out *f64
  residue out *f64
## Returns (fitted, slope, intercept, residue).
export 288 linear_fit
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  method in i32
  tolerance in f64 ?0
  fitted out f64[n]
  slope out *f64
  intercept out *f64
  residue out *f64
## Returns (fitted, amplitude, scale, residue); base 0 means e.
export 289 logarithm_fit
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  base in f64 ?0
  method in i32
  tolerance in f64 ?0
  fitted out f64[n]
  amplitude out *f64
  scale out *f64
  residue out *f64
## Returns (fitted, amplitude, power, residue).
export 290 power_fit
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  method in i32
  tolerance in f64 ?0
  fitted out f64[n]
  amplitude out *f64
  power out *f64
  residue out *f64
## initial_guess: (amplitude, center, std_dev) or None. Returns (fitted,
## amplitude, center, std_dev, residue).
export 287 gaussian_peak_fit
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  method in i32
  tolerance in f64 ?0
  initial_guess in? f64[3]
  fitted out f64[n]
  amplitude out *f64
  center out *f64
  std_dev out *f64
  residue out *f64

## Returns (fitted, coefficients, residue), coefficients[j] of x^j.
export 137 polynomial_fit_simple
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  order in i32
  fitted out f64[n]
  coefficients out f64[order + 1]
  residue out *f64
## term_indexes/term_values: powers whose coefficients are held at the given
## values (None: none). Returns (fitted, coefficients, residue).
export 298 polynomial_fit
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  order in i32
  term_indexes in? i32[n_terms]
  term_values in? f64[n_terms]
  n_terms size i64 =len(term_indexes)
  algorithm in i32
  fitted out f64[n]
  coefficients out f64[order + 1]
  residue out *f64
## term_indexes/term_values: powers whose coefficients are held at the given
## values (None: none). Returns (fitted, coefficients, residue).
export 361 polynomial_fit_weighted
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  order in i32
  term_indexes in? i32[n_terms]
  term_values in? f64[n_terms]
  n_terms size i64 =len(term_indexes)
  algorithm in i32
  fitted out f64[n]
  coefficients out f64[order + 1]
  residue out *f64

## p left out (or outside [0, 1]) chooses 8/(8 + h^3). Returns (values,
## second_derivatives).
export 285 smoothing_spline_fit
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  p in f64 ?-1
  values out f64[n]
  second_derivatives out f64[n]

## coefficients (amplitude, damping); selector 0 the fitted curve, 1 a new
## observation. Returns (upper, lower), then the 2 half_widths when asked.
export 291 exponential_fit_interval
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  coefficients in f64[2]
  selector in i32
  level in f64
  upper out f64[n]
  lower out f64[n]
  half_widths out? f64[2]
## coefficients (amplitude, center, std_dev); selector 0 the fitted curve, 1 a
## new observation. Returns (upper, lower), then the 3 half_widths when asked.
export 292 gaussian_peak_fit_interval
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  coefficients in f64[3]
  selector in i32
  level in f64
  upper out f64[n]
  lower out f64[n]
  half_widths out? f64[3]
## coefficients (slope, intercept); selector 0 the fitted curve, 1 a new
## observation. Returns (upper, lower), then the 2 half_widths when asked.
export 293 linear_fit_interval
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  coefficients in f64[2]
  selector in i32
  level in f64
  upper out f64[n]
  lower out f64[n]
  half_widths out? f64[2]
## coefficients (amplitude, scale); selector 0 the fitted curve, 1 a new
## observation. Returns (upper, lower), then the 2 half_widths when asked.
export 294 logarithm_fit_interval
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  base in f64 ?0
  coefficients in f64[2]
  selector in i32
  level in f64
  upper out f64[n]
  lower out f64[n]
  half_widths out? f64[2]
## coefficients (amplitude, power); selector 0 the fitted curve, 1 a new
## observation. Returns (upper, lower), then the 2 half_widths when asked.
export 295 power_fit_interval
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  n size i64 =len(x)
  coefficients in f64[2]
  selector in i32
  level in f64
  upper out f64[n]
  lower out f64[n]
  half_widths out? f64[2]

## model(x, a) -> float; coefficients: the starting guess. Returns the fitted
## coefficients; with fitted=True or mse=True also (fitted, coefficients, mse),
## each only when asked, in this order.
export 130 nonlinear_fit
  x in f64[n]
  y in f64[n]
  fitted out? f64[n]
  n size i64 =len(x)
  model in callback:QmFitModel
  coefficients io f64[m]
  m size i64 =len(coefficients)
  mse out? *f64

## model(x, a) -> float; coefficients: the starting guess. Returns the fitted
## coefficients; with fitted=True or mse=True also (fitted, coefficients, mse),
## each only when asked, in this order.
export 338 nonlinear_fit_alias
  x in f64[n]
  y in f64[n]
  fitted out? f64[n]
  n size i64 =len(x)
  model in callback:QmFitModel
  coefficients io f64[m]
  m size i64 =len(coefficients)
  mse out? *f64

## model(x, a) -> float; coefficients: the starting guess. Returns the fitted
## coefficients; with fitted=True or mse=True also (fitted, coefficients, mse),
## each only when asked, in this order.
export 131 nonlinear_fit_limited
  x in f64[n]
  y in f64[n]
  fitted out? f64[n]
  n size i64 =len(x)
  max_iterations in i32
  model in callback:QmFitModel
  coefficients io f64[m]
  m size i64 =len(coefficients)
  mse out? *f64

## model(x, a) -> float; coefficients: the starting guess. Returns the fitted
## coefficients; with fitted=True or mse=True also (fitted, coefficients, mse),
## each only when asked, in this order.
export 339 nonlinear_fit_limited_alias
  x in f64[n]
  y in f64[n]
  fitted out? f64[n]
  n size i64 =len(x)
  max_iterations in i32
  model in callback:QmFitModel
  coefficients io f64[m]
  m size i64 =len(coefficients)
  mse out? *f64

## model(x, a) -> float; coefficients: the starting guess. Returns the fitted
## coefficients; with fitted=True, mse=True or iterations=True also (fitted,
## coefficients, mse, iterations), each only when asked, in this order.
export 374 nonlinear_fit_weighted
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  fitted out? f64[n]
  n size i64 =len(x)
  max_iterations in i32
  model in callback:QmFitModel
  coefficients io f64[m]
  m size i64 =len(coefficients)
  mse out? *f64
  iterations out? *i32

## model(x, a) -> float; coefficients: the starting guess. Returns the fitted
## coefficients; with fitted=True, mse=True or iterations=True also (fitted,
## coefficients, mse, iterations), each only when asked, in this order.
export 375 nonlinear_fit_weighted_alias
  x in f64[n]
  y in f64[n]
  w in? f64[n]
  fitted out? f64[n]
  n size i64 =len(x)
  max_iterations in i32
  model in callback:QmFitModel
  coefficients io f64[m]
  m size i64 =len(coefficients)
  mse out? *f64
  iterations out? *i32
