"""Array and complex arithmetic through the binding: argument order, shapes, in place, statuses."""

import cmath

import numpy as np
import pytest

import qmanlys
from qmanlys import arith


BINARY = [
    (arith.array_add_1d, arith.array_add_2d, np.add),
    (arith.array_subtract_1d, arith.array_subtract_2d, np.subtract),
    (arith.array_multiply_1d, arith.array_multiply_2d, np.multiply),
    (arith.array_divide_1d, arith.array_divide_2d, np.divide),
]


@pytest.mark.parametrize("f1, f2, ref", BINARY, ids=lambda v: getattr(v, "__name__", ""))
def test_element_wise_binary_in_one_and_two_dimensions(f1, f2, ref, rng):
  x, y = rng.standard_normal(7), rng.standard_normal(7) + 3
  np.testing.assert_allclose(f1(x, y), ref(x, y), rtol=1e-15)
  np.testing.assert_allclose(f1(x.tolist(), y), ref(x, y), rtol=1e-15)
  z = np.empty(7)
  assert f1(x, y, z=z) is z and f1(x, y, out=z) is z
  np.testing.assert_allclose(z, ref(x, y), rtol=1e-15)
  assert f1(x, y, out=x) is x  # an output may be one of the inputs
  a, b = rng.standard_normal((3, 4)), rng.standard_normal((3, 4)) + 3
  r = f2(a, b)
  assert r.shape == (3, 4)
  np.testing.assert_allclose(r, ref(a, b), rtol=1e-15)
  with pytest.raises(ValueError, match=r"expected \(3, 4\)"):
    f2(a, b[:, :3])
  with pytest.raises(ValueError, match="2-D"):
    f2(a.ravel(), b.ravel())
  with pytest.raises(qmanlys.Error) as info:
    f1([], [])
  assert info.value.code == -20003


UNARY = [
    (arith.array_abs, (), np.abs),
    (arith.array_negate, (), np.negative),
    (arith.array_reverse, (), lambda x: x[::-1]),
    (arith.array_clip, (0.5, -0.5), lambda x: np.clip(x, -0.5, 0.5)),
    (arith.array_shift, (2,), lambda x: np.concatenate([[0, 0], x[:-2]])),
    (arith.array_shift, (-3,), lambda x: np.concatenate([x[3:], [0, 0, 0]])),
    (arith.array_scale_offset_1d, (2.0, -1.0), lambda x: 2 * x - 1),
    (arith.array_clear, (), np.zeros_like),
    (arith.array_fill, (4.25,), lambda x: np.full_like(x, 4.25)),
    (arith.array_copy, (), np.copy),
]


@pytest.mark.parametrize("f, args, ref", UNARY, ids=lambda v: getattr(v, "__name__", ""))
def test_unary_results_are_new_arrays_unless_given_out(f, args, ref, rng):
  x = rng.standard_normal(9)
  keep = x.copy()
  np.testing.assert_allclose(f(x, *args), ref(keep), rtol=1e-15)
  np.testing.assert_array_equal(x, keep)
  assert f(x, *args, out=x) is x
  np.testing.assert_allclose(x, ref(keep), rtol=1e-15)


def test_two_dimensional_scale_offset_keeps_the_shape():
  a = np.arange(6.0).reshape(2, 3)
  r = arith.array_scale_offset_2d(a, 3.0, 1.0)
  assert r.shape == (2, 3)
  np.testing.assert_array_equal(r, 3 * np.arange(6.0).reshape(2, 3) + 1)
  assert arith.array_scale_offset_2d(a, 0.0, 2.0, out=a) is a and (a == 2).all()


def test_reductions_and_extremes():
  x = np.array([np.nan, 3.0, 1.0, 3.0, 1.0])
  assert arith.array_max_min_1d(x) == (3.0, 1, 1.0, 2)
  mx, mxi, mn, mni = arith.array_max_min_1d([np.nan, np.nan])
  assert np.isnan(mx) and np.isnan(mn) and mxi == mni == -1
  m = np.array([[1.0, 7.0, 2.0], [-4.0, 0.0, 7.0]])
  assert arith.array_max_min_2d(m) == (7.0, 0, 1, -4.0, 1, 0)
  assert arith.array_sum_1d([1, 2, 3.5]) == 6.5
  assert arith.array_sum_2d(m) == m.sum()
  assert arith.array_product([2, -3, 0.5]) == -3.0


def test_subset_and_the_statuses_of_bad_arguments():
  np.testing.assert_array_equal(arith.array_subset(np.arange(5.0), 2, 3), [2, 3, 4])
  cases = [
      (lambda: arith.array_subset(np.arange(5.0), 2, 4), -20018),
      (lambda: arith.array_subset(np.arange(5.0), 5, 1), -20017),
      (lambda: arith.array_divide_1d([1, 1, 1], [1, 0, 1]), -20060),
      (lambda: arith.array_clip([1.0], -1.0, 1.0), -20019),
      (lambda: arith.array_shift(np.ones(3), 4), -20102),
      (lambda: arith.complex_ln(0j), -20060),
      (lambda: arith.complex_power(0j, 0.0), -20060),
  ]
  for call, code in cases:
    with pytest.raises(qmanlys.Error) as info:
      call()
    assert info.value.code == code
  assert (arith.array_shift(np.ones(3), -3) == 0).all()


X, Y = 1.5 - 2.0j, -0.25 + 3.0j
COMPLEX = [
    (arith.complex_add, (X, Y), X + Y),
    (arith.complex_subtract, (X, Y), X - Y),
    (arith.complex_multiply, (X, Y), X * Y),
    (arith.complex_divide, (X, Y), X / Y),
    (arith.complex_exp, (X,), cmath.exp(X)),
    (arith.complex_ln, (X,), cmath.log(X)),
    (arith.complex_log10, (X,), cmath.log10(X)),
    (arith.complex_power, (X, 2.5), X ** 2.5),
    (arith.complex_reciprocal, (X,), 1 / X),
    (arith.complex_sqrt, (-4,), 2j),
]


@pytest.mark.parametrize("f, args, ref", COMPLEX, ids=lambda v: getattr(v, "__name__", ""))
def test_complex_scalars_take_and_return_python_complex(f, args, ref):
  z = f(*args)
  assert isinstance(z, complex)
  assert abs(z - ref) <= 1e-14 * max(1.0, abs(ref))


@pytest.mark.parametrize("f, ref", [
    (arith.complex_array_add, np.add), (arith.complex_array_subtract, np.subtract),
    (arith.complex_array_multiply, np.multiply), (arith.complex_array_divide, np.divide)])
def test_complex_arrays_pair_real_and_imaginary_parts(f, ref, rng):
  x = rng.standard_normal(6) + 1j * rng.standard_normal(6)
  y = rng.standard_normal(6) + 1j * rng.standard_normal(6)
  r = f(x, y)
  assert r.dtype == np.complex128 and r.shape == (6,)
  np.testing.assert_allclose(r, ref(x, y), rtol=1e-14)
  np.testing.assert_allclose(f(x.real, y), ref(x.real, y), rtol=1e-14)  # real input: zero parts
  with pytest.raises(ValueError, match=r"expected \(6,\)"):
    f(x, y[:5])


def test_complex_scale_offset_leaves_x_unless_given_as_the_output(rng):
  x = rng.standard_normal(5) + 1j * rng.standard_normal(5)
  keep = x.copy()
  np.testing.assert_allclose(arith.complex_array_scale_offset(x, 2 - 1j, 0.5j),
                             keep * (2 - 1j) + 0.5j, rtol=1e-14)
  np.testing.assert_array_equal(x, keep)
  assert arith.complex_array_scale_offset(x, 1j, 0, out=x) is x
  np.testing.assert_allclose(x, keep * 1j, rtol=1e-14)


def test_point_removal_compacts_copies_of_the_coordinates():
  x = np.arange(6.0)
  y = 10 * x
  kx, ky = arith.remove_points_by_index(x, y, [1, 3, 3])
  np.testing.assert_array_equal(kx, [0, 2, 4, 5])
  np.testing.assert_array_equal(ky, [0, 20, 40, 50])
  np.testing.assert_array_equal(x, np.arange(6.0))
  kx, ky = arith.remove_points_outside_range(x, y, 0, [45, 5])
  np.testing.assert_array_equal(kx, [1, 2, 3, 4])
  kx, ky, removed = arith.remove_points_outside_range(x, y, 1, [0.5, 3.5],
                                                      removed_indexes=True)
  np.testing.assert_array_equal(kx, [1, 2, 3])
  assert removed.dtype == np.int64
  np.testing.assert_array_equal(removed, [0, 4, 5])
  # in place: the kept points at the front of the caller's arrays
  xs, ys = x.copy(), y.copy()
  kx, ky = arith.remove_points_by_index(xs, ys, [0], x_out=xs, y_out=ys)
  np.testing.assert_array_equal(kx, [1, 2, 3, 4, 5])
  assert np.shares_memory(kx, xs)
  with pytest.raises(ValueError, match=r"expected \(6,\)"):
    arith.remove_points_by_index(x, y[:5], [0])  # y must match x
  with pytest.raises(qmanlys.Error) as info:
    arith.remove_points_by_index(x, y, [6])
  assert info.value.code == -20017
