"""qmanlys.signal: derivative, integral, decimation, phase unwrapping, the amplitude and phase
spectrum, convolution, correlation and deconvolution (against NumPy and closed forms)."""

import numpy as np
import pytest
import scipy.integrate

import qmanlys
from qmanlys import signal as s


# ---- Derivative and integral ----------------------------------------------------------------

def test_derivative_and_integral_use_the_boundary_samples(rng):
  x = rng.standard_normal(20)
  first, last, dt = 0.7, -1.3, 0.25
  padded = np.r_[first, x, last]
  np.testing.assert_allclose(s.derivative(x, dt, first, last),
                             (padded[2:] - padded[:-2]) / (2 * dt), atol=1e-13)
  steps = (padded[:-2] + 4 * padded[1:-1] + padded[2:]) * dt / 6
  np.testing.assert_allclose(s.integral(x, dt, first, last), np.cumsum(steps), atol=1e-13)
  # out= receives the result and may be x itself
  keep = x.copy()
  out = np.empty(20)
  assert s.integral(x, dt, first, last, out=out) is out
  np.testing.assert_array_equal(x, keep)
  assert s.derivative(x, dt, first, last, out=x) is x
  np.testing.assert_allclose(x, (padded[2:] - padded[:-2]) / (2 * dt), atol=1e-13)


T = np.arange(6.0)
CUBE = T**3  # the conditions below continue t^3 on both sides: t = -2, -1 and 6, 7


@pytest.mark.parametrize("method, initial, final, expect", [
    (0, [-1.0], [216.0], np.r_[(CUBE[1] + 1) / 2, (CUBE[2:] - CUBE[:-2]) / 2, (216 - CUBE[4]) / 2]),
    (1, [-8.0, -1.0], [216.0, 343.0], 3 * T**2),  # exact on a cubic
    (2, None, [216.0], np.diff(np.r_[CUBE, 216.0])),
    (3, [-1.0], None, np.diff(np.r_[-1.0, CUBE])),
])
def test_derivative_methods_read_their_conditions(method, initial, final, expect):
  np.testing.assert_allclose(s.derivative_with_method(CUBE, 1.0, initial, final, method), expect,
                             atol=1e-12)


@pytest.mark.parametrize("call, code", [
    (lambda: s.derivative([], 1.0, 0.0, 0.0), -20003),
    (lambda: s.derivative([1.0, 2.0], 0.0, 0.0, 0.0), -20016),
    (lambda: s.derivative_with_method(CUBE, 1.0, None, [1.0], 0), -20003),
    (lambda: s.derivative_with_method(CUBE, 1.0, [1.0], [1.0, 2.0], 1), -20006),
    (lambda: s.derivative_with_method(CUBE, 1.0, [1.0], [1.0], 7), -20061),
    (lambda: s.integrate_array([1.0, 2.0], 1.0, 1), -20008),
    (lambda: s.integrate_array(CUBE, 1.0, 4), -20061),
    (lambda: s.decimate(np.ones(4), 0, 0), -20022),
    (lambda: s.decimate(np.ones(4), 5, 0), -20022),
    (lambda: s.unwrap_phase_with_units([], 0), -20008),
    (lambda: s.unwrap_phase([]), -20003),
    (lambda: s.convolve([], [1.0]), -20003),
    (lambda: s.convolve_with_algorithm([1.0], [1.0], 2), -20061),
    (lambda: s.correlate_normalized([1.0], [1.0], 0, 3), -20061),
    (lambda: s.deconvolve_linear([1.0], [1.0, 1.0]), -20008),
    (lambda: s.deconvolve_linear([1.0, 2.0], [0.0]), -20065),
])
def test_bad_arguments_raise_the_library_status(call, code):
  with pytest.raises(qmanlys.Error) as info:
    call()
  assert info.value.code == code


def test_integrate_array_rules_return_a_float():
  t = np.arange(13) * 0.1
  y = t**3
  assert s.integrate_array(y, 0.1, 0) == pytest.approx(scipy.integrate.trapezoid(y, dx=0.1))
  for rule in (1, 2, 3):  # Simpson, 3/8 and Bode are exact on a cubic here
    value = s.integrate_array(y, 0.1, rule)
    assert isinstance(value, float) and value == pytest.approx(1.2**4 / 4, rel=1e-13)
  assert s.integrate_array(y, -0.1, 1) == pytest.approx(1.2**4 / 4, rel=1e-13)


# ---- Decimation ---------------------------------------------------------------------------

def test_decimation_picks_or_averages_blocks(rng):
  x = rng.standard_normal(23)
  picked = s.decimate(x, 4, 0)
  assert picked.shape == (5,)
  np.testing.assert_array_equal(picked, x[:20:4])
  np.testing.assert_allclose(s.decimate(x, 4, 1), x[:20].reshape(5, 4).mean(axis=1), atol=1e-14)
  z = x + 1j * rng.standard_normal(23)
  got = s.complex_decimate(z, 3, 1)
  assert got.dtype == np.complex128 and got.shape == (7,)
  np.testing.assert_allclose(got, z[:21].reshape(7, 3).mean(axis=1), atol=1e-14)
  out = np.empty(7, complex)
  assert s.complex_decimate(z, 3, 0, out=out) is out
  np.testing.assert_array_equal(out, z[:21:3])
  with pytest.raises(ValueError, match=r"\(5,\)"):
    s.decimate(x, 4, 0, out=np.empty(23))


# ---- Phase ---------------------------------------------------------------------------------

def test_unwrap_phase_returns_a_new_array_or_works_in_place():
  p = np.array([0.0, 3.0, 6.2, -3.0, 0.5, 4.0])
  keep = p.copy()
  np.testing.assert_allclose(s.unwrap_phase(p), np.unwrap(p), atol=1e-14)
  np.testing.assert_array_equal(p, keep)
  assert s.unwrap_phase(p, out=p) is p
  np.testing.assert_allclose(p, np.unwrap(keep), atol=1e-14)
  # a step of exactly +pi is taken as -pi
  np.testing.assert_allclose(s.unwrap_phase([0.0, np.pi]), [0.0, -np.pi])


@pytest.mark.parametrize("units, scale, expect", [
    (0, 1, lambda p: np.unwrap(p)),
    (1, 1, lambda p: np.degrees(np.unwrap(p))),
    (2, 50, lambda p: np.unwrap(p, period=360)),
    (3, 50, lambda p: np.radians(np.unwrap(p, period=360))),
    (9, 1, lambda p: np.unwrap(p)),
])
def test_unwrap_phase_units(units, scale, expect):
  p = np.array([0.0, 3.0, 6.2, -3.0, 0.5, 4.0]) * scale
  np.testing.assert_allclose(s.unwrap_phase_with_units(p, units), expect(p), atol=1e-12)


def test_amplitude_phase_spectrum_returns_amplitude_phase_and_df(rng):
  x = rng.standard_normal(16)
  result = s.amplitude_phase_spectrum(x, 0, 0.01)
  assert len(result) == 3
  amplitude, phase, df = result
  spectrum = np.fft.fft(x)[:8]
  assert amplitude.shape == phase.shape == (8,)
  rms = np.abs(spectrum) / 16 * np.r_[1.0, np.full(7, np.sqrt(2))]
  np.testing.assert_allclose(amplitude, rms, atol=1e-14)
  np.testing.assert_allclose(phase, np.angle(spectrum), atol=1e-13)
  assert df == pytest.approx(6.25)
  _, unwrapped, _ = s.amplitude_phase_spectrum(x, 1, 0.01)
  np.testing.assert_allclose(unwrapped, np.unwrap(np.angle(spectrum)), atol=1e-12)


# ---- Convolution and correlation ---------------------------------------------------------------

X3, Y4 = np.array([1.0, 2.0, 3.0]), np.array([0.5, -1.0, 2.0, 4.0])
FULL_CORR = np.correlate(Y4, X3, "full")  # out[len(x) - 1] is the zero lag
PRODUCTS = np.convolve(np.ones(3), np.ones(4))
CONVOLUTIONS = [
    (lambda: s.convolve(X3, Y4), np.convolve(X3, Y4)),
    (lambda: s.convolve_with_algorithm(X3, Y4, 0), np.convolve(X3, Y4)),
    (lambda: s.convolve_with_algorithm(X3, Y4, 1), np.convolve(X3, Y4)),
    (lambda: s.correlate(X3, Y4), FULL_CORR),
    (lambda: s.correlate_with_algorithm(X3, Y4, 0), FULL_CORR),
    (lambda: s.correlate_with_algorithm(X3, Y4, 1), FULL_CORR),
    (lambda: s.correlate_normalized(X3, Y4, 0, 0), FULL_CORR),
    (lambda: s.correlate_normalized(X3, Y4, 1, 1), FULL_CORR / PRODUCTS),
    (lambda: s.correlate_normalized(X3, Y4, 0, 2), FULL_CORR / 4),
    (lambda: s.deconvolve_linear(np.convolve(X3, Y4), Y4), X3),
    (lambda: s.deconvolve_linear(np.convolve(Y4, [1.0, 0.5]), [1.0, 0.5]), Y4),
]


@pytest.mark.parametrize("call, expect", CONVOLUTIONS)
def test_convolution_family_matches_numpy(call, expect):
  got = call()
  assert got.dtype == np.float64 and got.shape == expect.shape
  np.testing.assert_allclose(got, expect, atol=1e-12)


def test_convolution_output_into_a_given_array():
  out = np.empty(6)
  assert s.convolve(X3, Y4, out=out) is out
  np.testing.assert_allclose(out, np.convolve(X3, Y4), atol=1e-12)
  with pytest.raises(ValueError, match=r"\(6,\)"):
    s.correlate(X3, Y4, out=np.empty(7))
  with pytest.raises(TypeError):
    s.convolve(X3, [1j, 2.0])
