"""The curve fits through the binding, against NumPy and SciPy."""

import threading

import numpy as np
import pytest
from scipy import interpolate, stats as sps

import qmanlys
from qmanlys import fit

X = np.linspace(0.5, 4.0, 15)
NOISE = np.random.default_rng(3).normal(0, 0.01, X.size)


def test_interpolation_in_argument_order():
  x = np.array([0.0, 1.0, 2.0, 4.0])
  y = x**3 - 2 * x
  value, err = fit.polynomial_interpolate(x, y, 3.0)
  assert value == pytest.approx(21.0) and abs(err) < 100
  value, err = fit.rational_interpolate(x, 1 / (1 + x), 3.0)
  assert value == pytest.approx(0.25, abs=1e-8)
  y2 = fit.spline_second_derivatives(x, y)  # natural ends by default
  ref = interpolate.CubicSpline(x, y, bc_type="natural")
  np.testing.assert_allclose(y2, ref(x, 2), atol=1e-10)
  assert fit.spline_interpolate(x, y, y2, 3.0) == pytest.approx(float(ref(3.0)))
  clamped = fit.spline_second_derivatives(x, y, -2.0, 46.0)
  np.testing.assert_allclose(clamped, 6 * x, atol=1e-10)  # a cubic is reproduced exactly
  with pytest.raises(qmanlys.Error) as info:
    fit.polynomial_interpolate([1.0, 1.0], [2.0, 3.0], 0.5)
  assert info.value.code == -20049


def test_general_linear_fit_matrix_and_optional_covariance():
  h = np.column_stack([np.ones_like(X), X, X**2])
  y = 1.0 - 0.5 * X + 0.25 * X**2 + NOISE
  ref, *_ = np.linalg.lstsq(h, y, rcond=None)
  fitted, coef, residue = fit.general_linear_fit(h, y, None, 0)
  np.testing.assert_allclose(coef, ref, rtol=1e-9)
  np.testing.assert_allclose(fitted, h @ ref, rtol=1e-9)
  assert residue == pytest.approx(np.mean((y - h @ ref) ** 2))
  fitted, coef, cov, residue = fit.general_linear_fit(h, y, np.full(X.size, 0.5), 1,
                                                      covariance=True)
  assert cov.shape == (3, 3)
  np.testing.assert_allclose(cov, 0.25 * np.linalg.inv(h.T @ h), rtol=1e-8)
  np.testing.assert_allclose(fit.general_linear_fit_simple(h, y, 4), ref, rtol=1e-8)
  with pytest.raises(ValueError, match=r"expected \(15,\)"):
    fit.general_linear_fit(h, y[:-1], None, 0)
  with pytest.raises(qmanlys.Error) as info:
    fit.general_linear_fit(h[:2], y[:2], None, 0)
  assert info.value.code == -20037


def test_goodness_of_fit_defaults_to_n_minus_2_degrees():
  y = 2 * X + NOISE
  f = 2 * X
  sse, r2, rmse = fit.goodness_of_fit(y, f)
  assert sse == pytest.approx(np.sum(NOISE**2))
  assert r2 == pytest.approx(1 - sse / np.sum((y - y.mean()) ** 2))
  assert rmse == pytest.approx(np.sqrt(sse / (X.size - 2)))
  assert fit.goodness_of_fit(y, f, None, 5)[2] == pytest.approx(np.sqrt(sse / 5))


MODELS = [
    # (fit call, model, true parameters)
    (lambda x, y, **kw: fit.exponential_fit_simple(x, y), lambda x: 2.0 * np.exp(-0.7 * x),
     (2.0, -0.7)),
    (lambda x, y, **kw: fit.exponential_fit(x, y, None, 0), lambda x: 2.0 * np.exp(-0.7 * x),
     (2.0, -0.7)),
    (lambda x, y, **kw: fit.linear_fit_simple(x, y), lambda x: 1.5 * x - 0.5, (1.5, -0.5)),
    (lambda x, y, **kw: fit.linear_fit(x, y, None, 2), lambda x: 1.5 * x - 0.5, (1.5, -0.5)),
    (lambda x, y, **kw: fit.logarithm_fit(x, y, None, 10.0, 0),
     lambda x: 3.0 * np.log10(2.0 * x), (3.0, 2.0)),
    (lambda x, y, **kw: fit.power_fit(x, y, None, 1), lambda x: 0.8 * x**1.7, (0.8, 1.7)),
    (lambda x, y, **kw: fit.gaussian_peak_fit(x, y, None, 0, 0, [1.0, 2.0, 1.0]),
     lambda x: 3.0 * np.exp(-0.5 * ((x - 2.2) / 0.6) ** 2), (3.0, 2.2, 0.6)),
]


@pytest.mark.parametrize("call, model, true", MODELS)
def test_model_fits_return_fitted_parameters_then_residue(call, model, true):
  y = model(X)
  result = call(X, y)
  assert len(result) == len(true) + 2
  fitted, *params, residue = result
  np.testing.assert_allclose(fitted, y, atol=1e-6)
  np.testing.assert_allclose(params, true, rtol=1e-6)
  assert residue == pytest.approx(0, abs=1e-10)


def test_weights_enter_the_straight_line():
  y = 1.5 * X - 0.5
  y[3] += 5.0
  w = np.ones_like(X)
  w[3] = 0.0
  _, slope, intercept, _ = fit.linear_fit_simple(X, y, w)
  assert (slope, intercept) == pytest.approx((1.5, -0.5))
  _, slope, _, _ = fit.linear_fit_simple(X, y)
  assert slope != pytest.approx(1.5)
  with pytest.raises(qmanlys.Error) as info:
    fit.linear_fit(X, y, np.full(X.size, np.nan), 0)
  assert info.value.code == -20068


def test_polynomial_fits_and_held_terms():
  y = 1.0 + 2.0 * X - 0.5 * X**2 + NOISE
  fitted, coef, residue = fit.polynomial_fit_simple(X, y, 2)
  np.testing.assert_allclose(coef, np.polynomial.polynomial.polyfit(X, y, 2), rtol=1e-8)
  assert coef.shape == (3,) and fitted.shape == X.shape
  _, free, _ = fit.polynomial_fit(X, y, 2, None, None, 1)
  np.testing.assert_allclose(free, coef, rtol=1e-8)
  _, held, _ = fit.polynomial_fit(X, y, 3, [0, 3], [1.0, 0.0], 0)
  assert held.shape == (4,) and held[0] == 1.0 and held[3] == 0.0
  ref = np.linalg.lstsq(np.column_stack([X, X**2]), y - 1.0, rcond=None)[0]
  np.testing.assert_allclose(held[1:3], ref, rtol=1e-8)
  _, weighted, _ = fit.polynomial_fit_weighted(X, y, np.ones_like(X), 3, [0, 3], [1.0, 0.0], 0)
  np.testing.assert_allclose(weighted, held, rtol=1e-8)
  with pytest.raises(ValueError, match=r"expected \(2,\)"):
    fit.polynomial_fit(X, y, 3, [0, 3], [1.0], 0)
  with pytest.raises(qmanlys.Error) as info:
    fit.polynomial_fit_simple(X, y, -1)
  assert info.value.code == -20103


def test_smoothing_spline_interpolates_at_p_1():
  y = np.sin(X)
  values, second = fit.smoothing_spline_fit(X, y, None, 1.0)
  np.testing.assert_allclose(values, y, atol=1e-10)
  ref = interpolate.CubicSpline(X, y, bc_type="natural")
  np.testing.assert_allclose(second, ref(X, 2), atol=1e-8)
  smooth, _ = fit.smoothing_spline_fit(X, y + NOISE)  # p by default
  assert smooth.shape == X.shape and np.all(np.isfinite(smooth))


def test_fit_intervals_and_optional_half_widths():
  y = 1.5 * X - 0.5 + NOISE
  _, slope, intercept, _ = fit.linear_fit(X, y, None, 0)
  upper, lower = fit.linear_fit_interval(X, y, None, [slope, intercept], 0, 0.95)
  reg = sps.linregress(X, y)
  t = sps.t.ppf(0.975, X.size - 2)
  f = slope * X + intercept
  np.testing.assert_allclose(upper - f, f - lower, rtol=1e-9)  # symmetric about the line
  upper, lower, half = fit.linear_fit_interval(X, y, None, [slope, intercept], 0, 0.95,
                                               half_widths=True)
  assert half.shape == (2,)
  assert half[0] == pytest.approx(t * reg.stderr, rel=1e-3)
  assert half[1] == pytest.approx(t * reg.intercept_stderr, rel=1e-3)
  new_upper, _ = fit.linear_fit_interval(X, y, None, [slope, intercept], 1, 0.95)
  assert np.all(new_upper > upper)
  with pytest.raises(qmanlys.Error) as info:
    fit.linear_fit_interval(X, y, None, [slope, intercept], 0, 1.5)
  assert info.value.code == -20053
  with pytest.raises(ValueError, match=r"expected \(2,\)"):
    fit.linear_fit_interval(X, y, None, [slope], 0, 0.95)


@pytest.mark.parametrize("call, model, coef", [
    (fit.exponential_fit_interval, lambda x: 2.0 * np.exp(-0.7 * x), [2.0, -0.7]),
    (fit.gaussian_peak_fit_interval, lambda x: 3.0 * np.exp(-0.5 * ((x - 2.2) / 0.6) ** 2),
     [3.0, 2.2, 0.6]),
    (lambda x, y, w, c, s, lv, **kw: fit.logarithm_fit_interval(x, y, w, 0.0, c, s, lv, **kw),
     lambda x: 3.0 * np.log(2.0 * x), [3.0, 2.0]),
    (fit.power_fit_interval, lambda x: 0.8 * x**1.7, [0.8, 1.7]),
])
def test_every_interval_brackets_its_curve(call, model, coef):
  y = model(X) + NOISE
  upper, lower, half = call(X, y, None, coef, 0, 0.9, half_widths=True)
  assert upper.shape == lower.shape == X.shape and half.shape == (len(coef),)
  assert np.all(lower < model(X)) and np.all(model(X) < upper)
  assert np.all(half > 0)


def line(x, a):
  return a[0] + a[1] * x


@pytest.mark.parametrize("call", [
    lambda x, y, c, **kw: fit.nonlinear_fit(x, y, line, c, **kw),
    lambda x, y, c, **kw: fit.nonlinear_fit_alias(x, y, line, c, **kw),
    lambda x, y, c, **kw: fit.nonlinear_fit_limited(x, y, -1, line, c, **kw),
    lambda x, y, c, **kw: fit.nonlinear_fit_limited_alias(x, y, 100, line, c, **kw),
    lambda x, y, c, **kw: fit.nonlinear_fit_weighted(x, y, None, -1, line, c, **kw),
    lambda x, y, c, **kw: fit.nonlinear_fit_weighted_alias(x, y, None, -1, line, c, **kw),
])
def test_nonlinear_fits_call_the_python_model(call):
  y = 1.5 * X - 0.5
  guess = np.array([0.0, 1.0])
  coef = call(X, y, guess)
  np.testing.assert_allclose(coef, [-0.5, 1.5], rtol=1e-6)
  np.testing.assert_array_equal(guess, [0.0, 1.0])  # the guess is not overwritten
  fitted, coef, mse = call(X, y, [0.0, 1.0], fitted=True, mse=True)
  np.testing.assert_allclose(fitted, y, atol=1e-6)
  assert mse == pytest.approx(0, abs=1e-10)
  assert call(X, y, guess, coefficients_out=guess) is guess
  np.testing.assert_allclose(guess, [-0.5, 1.5], rtol=1e-6)


def test_nonlinear_fit_errors_from_the_model_and_the_library():
  def broken(x, a):
    raise ZeroDivisionError("model failed")
  with pytest.raises(ZeroDivisionError, match="model failed"):
    fit.nonlinear_fit(X, X, broken, [1.0])
  with pytest.raises(TypeError, match="callable"):
    fit.nonlinear_fit(X, X, 3.0, [1.0])
  with pytest.raises(qmanlys.Error) as info:
    fit.nonlinear_fit(X[:1], X[:1], line, [1.0, 2.0])
  assert info.value.code == -20037
  gauss = lambda x, a: a[0] * np.exp(-0.5 * ((x - a[1]) / a[2]) ** 2)
  y = gauss(X, [3.0, 2.2, 0.6])
  with pytest.raises(qmanlys.Error) as info:
    fit.nonlinear_fit_limited(X, y, 1, gauss, [1.0, 1.0, 2.0])
  assert info.value.code == -20062


def test_weighted_nonlinear_fit_reports_iterations_and_skips_zero_weights():
  y = 1.5 * X - 0.5
  y[4] = 100.0
  w = np.ones_like(X)
  w[4] = 0.0
  coef, iterations = fit.nonlinear_fit_weighted(X, y, w, -1, line, [0.0, 0.0], iterations=True)
  np.testing.assert_allclose(coef, [-0.5, 1.5], rtol=1e-6)
  assert isinstance(iterations, int) and iterations >= 1


def test_models_in_several_threads_keep_apart():
  results = {}

  def work(k):
    y = k * X + 1.0
    results[k] = fit.nonlinear_fit(X, y, line, [0.0, 0.0])

  threads = [threading.Thread(target=work, args=(k,)) for k in range(1, 5)]
  for t in threads:
    t.start()
  for t in threads:
    t.join()
  for k in range(1, 5):
    np.testing.assert_allclose(results[k], [1.0, k], rtol=1e-6)
