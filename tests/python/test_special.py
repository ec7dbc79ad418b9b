"""Special functions through the binding: scalars, arrays (broadcast), optional arguments."""

import numpy as np
import pytest
import scipy.special as sp

import qmanlys
from qmanlys import special as qs

X = np.array([0.25, 0.5, 1.0, 2.5, 7.0])

# (function, extra leading arguments, reference over X)
ONE_ARGUMENT = [
    (qs.erf, (), sp.erf),
    (qs.erfc, (), sp.erfc),
    (qs.log_gamma, (), sp.gammaln),
    (qs.digamma, (), sp.digamma),
    (qs.dawson_integral, (), sp.dawsn),
    (qs.sine_integral, (), lambda x: sp.sici(x)[0]),
    (qs.cosine_integral, (), lambda x: sp.sici(x)[1]),
    (qs.hyperbolic_sine_integral, (), lambda x: sp.shichi(x)[0]),
    (qs.hyperbolic_cosine_integral, (), lambda x: sp.shichi(x)[1]),
    (qs.dilogarithm, (), sp.spence),
    (qs.riemann_zeta, (), lambda x: np.where(x == 1, np.inf, sp.zeta(np.where(x == 1, 2, x)))),
    (qs.bessel_j, (1.5,), lambda x: sp.jv(1.5, x)),
    (qs.bessel_y, (0.5,), lambda x: sp.yv(0.5, x)),
    (qs.bessel_i, (2.0,), lambda x: sp.iv(2.0, x)),
    (qs.struve, (1.0,), lambda x: sp.struve(1.0, x)),
    (qs.spherical_bessel_j, (2,), lambda x: sp.spherical_jn(2, x)),
    (qs.spherical_bessel_y, (1,), lambda x: sp.spherical_yn(1, x)),
    (qs.exponential_integral_en, (), lambda x: sp.expn(2, x)),
]


@pytest.mark.parametrize("function, lead, reference", ONE_ARGUMENT,
                         ids=[f[0].__name__ for f in ONE_ARGUMENT])
def test_scalar_and_array_calls_agree_with_scipy(function, lead, reference):
  if function is qs.exponential_integral_en:
    call = lambda x: function(x, 2)  # noqa: E731  (order after x)
  else:
    call = lambda x: function(*lead, x)  # noqa: E731
  want = reference(X)
  got = call(X)
  assert isinstance(got, np.ndarray) and got.shape == X.shape and got.dtype == np.float64
  np.testing.assert_allclose(got, want, rtol=1e-12, atol=1e-300)
  scalar = call(float(X[2]))
  assert isinstance(scalar, float)
  assert scalar == got[2]


def test_optional_pointer_arguments_select_the_incomplete_functions():
  assert qs.gamma(5.0) == pytest.approx(24.0, rel=1e-15)
  assert qs.gamma(2.0, 1.0) == pytest.approx(sp.gammainc(2.0, 1.0), rel=1e-14)
  assert qs.beta(2.0, 3.0) == pytest.approx(sp.beta(2.0, 3.0), rel=1e-14)
  assert qs.beta(2.0, 3.0, x=0.4) == pytest.approx(sp.betainc(2.0, 3.0, 0.4), rel=1e-14)
  assert qs.elliptic_first_kind(0.5) == pytest.approx(sp.ellipk(0.5), rel=1e-14)
  assert qs.elliptic_first_kind(0.5, 0.7) == pytest.approx(sp.ellipkinc(0.7, 0.5), rel=1e-14)
  # broadcast with the optional argument given and left out
  np.testing.assert_allclose(qs.gamma([1.0, 2.0], [0.5, 1.5]),
                             sp.gammainc([1.0, 2.0], [0.5, 1.5]), rtol=1e-14)
  np.testing.assert_allclose(qs.gamma(np.array([[3.0], [4.0]])), [[2.0], [6.0]], rtol=1e-15)


def test_several_outputs_come_back_in_order():
  ai, aip, bi, bip = qs.airy(1.0)
  assert (ai, aip, bi, bip) == pytest.approx(sp.airy(1.0), rel=1e-14)
  s, c = qs.fresnel_integrals([0.5, 1.0])
  ss, cc = sp.fresnel([0.5, 1.0])
  np.testing.assert_allclose(s, ss, rtol=1e-14)
  np.testing.assert_allclose(c, cc, rtol=1e-14)
  sn, cn, dn, phi = qs.jacobi_elliptic(0.3, 0.5)
  assert (sn, cn, dn, phi) == pytest.approx(sp.ellipj(0.3, 0.5), rel=1e-14)


def test_integer_orders_refuse_fractions_and_domain_errors_give_nan():
  with pytest.raises(TypeError):
    qs.factorial(2.5)
  with pytest.raises(TypeError):
    qs.spherical_bessel_j([1.5], 1.0)
  assert qs.factorial(5) == 120.0
  np.testing.assert_array_equal(qs.factorial(np.arange(4)), [1.0, 1.0, 2.0, 6.0])
  assert np.isnan(qs.log_gamma(-1.0))
  assert qmanlys.special.hypergeometric_1f1(1.0, 2.0, 0.0) == 1.0
  assert qs.hypergeometric_2f1(1.0, 1.0, 2.0, 0.5) == pytest.approx(-np.log(0.5) / 0.5, rel=1e-14)
