"""Scaling, polynomial evaluation and polar conversion through the binding."""

import numpy as np
import pytest

import qmanlys
from qmanlys import signal


def test_scalings_return_the_array_and_their_factors_in_order():
  x = np.array([-4.0, 2.0])
  scaled, scale = signal.scale_by_max_abs_1d(x)
  np.testing.assert_array_equal(scaled, [-1, 0.5])
  assert scale == 4.0
  np.testing.assert_array_equal(x, [-4, 2])
  scaled, offset, scale = signal.scale_to_unit_range_1d([2, 4, 6])
  np.testing.assert_array_equal(scaled, [-1, 0, 1])
  assert (offset, scale) == (4.0, 2.0)
  scaled, offset, scale = signal.scale_to_unit_range_1d([5, 5])
  assert (offset, scale) == (5.0, 1.0) and (scaled == 0).all()
  assert signal.scale_by_max_abs_1d(x, out=x)[0] is x
  np.testing.assert_array_equal(x, [-1, 0.5])


@pytest.mark.parametrize("f", [signal.scale_by_max_abs_2d, signal.scale_to_unit_range_2d])
def test_two_dimensional_scalings_match_the_flat_ones(f, rng):
  a = rng.standard_normal((3, 5))
  flat = {signal.scale_by_max_abs_2d: signal.scale_by_max_abs_1d,
          signal.scale_to_unit_range_2d: signal.scale_to_unit_range_1d}[f]
  got, want = f(a), flat(a.ravel())
  assert got[0].shape == (3, 5)
  np.testing.assert_array_equal(got[0].ravel(), want[0])
  assert got[1:] == want[1:]
  out = np.empty((3, 5))
  assert f(a, scaled=out)[0] is out
  with pytest.raises(ValueError, match=r"expected \(3, 5\)"):
    f(a, out=np.empty((5, 3)))


def test_polynomial_coefficients_in_ascending_powers(rng):
  c = [1.0, 2.0, 3.0]
  np.testing.assert_array_equal(signal.polynomial_evaluate_1d([2.0, 0.0, -1.0], c), [17, 1, 2])
  a = rng.standard_normal((2, 4))
  r = signal.polynomial_evaluate_2d(a, c)
  assert r.shape == (2, 4)
  np.testing.assert_allclose(r, np.polynomial.polynomial.polyval(a, c), rtol=1e-14)
  assert signal.polynomial_evaluate_2d(a, c, out=a) is a
  with pytest.raises(TypeError, match="float64"):
    signal.polynomial_evaluate_1d([1.0], None)
  with pytest.raises(qmanlys.Error) as info:
    signal.polynomial_evaluate_1d([1.0], [])
  assert info.value.code == -20003


def test_polar_conversions_pair_real_and_imaginary_parts(rng):
  assert signal.rect_to_polar(-1) == (1.0, np.pi)
  assert signal.rect_to_polar(0j) == (0.0, 0.0)
  z = rng.standard_normal(6) + 1j * rng.standard_normal(6)
  magnitude, phase = signal.rect_to_polar_array(z)
  np.testing.assert_allclose(magnitude, np.abs(z), rtol=1e-15)
  np.testing.assert_allclose(phase, np.angle(z), rtol=1e-15)
  given = np.empty(6)
  assert signal.rect_to_polar_array(z, phase=given)[1] is given
  w = signal.polar_to_rect(2.0, np.pi / 3)
  assert isinstance(w, complex) and abs(w - 2 * np.exp(1j * np.pi / 3)) < 1e-15
  back = signal.polar_to_rect_array(magnitude, phase)
  assert back.dtype == np.complex128
  np.testing.assert_allclose(back, z, rtol=1e-14)
  with pytest.raises(ValueError, match=r"expected \(6,\)"):
    signal.polar_to_rect_array(magnitude, phase[:5])
