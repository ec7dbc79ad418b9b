"""qmanlys.windows against scipy.signal.windows and closed forms: in place, properties, codes."""

import numpy as np
import pytest
import scipy.signal.windows as sw

import qmanlys
from qmanlys import windows

N = 16
I = np.arange(N)


def cosine_sum(a, n=N):
  i = np.arange(n)
  return sum((-1) ** k * c * np.cos(2 * np.pi * k * i / n) for k, c in enumerate(a))


def tukey(r, n=N):
  w = np.ones(n)
  m = int(r * n / 2)
  w[0] = w[-1] = 0
  j = np.arange(1, m)
  w[j] = w[n - 1 - j] = np.sin(np.pi * j / (2 * m)) ** 2
  return w


def parzen(n=N):
  h = n / 2
  d = np.abs(np.arange(n) - h) / h
  return np.where(d <= 0.5, 1 - 6 * d**2 + 6 * d**3, 2 * (1 - d) ** 3)


EXACT_BLACKMAN = [0.42659071367153911, 0.49656061908856410, 0.07684866723989682]
# scipy rounds the first flat-top coefficient differently (0.21557895)
FLAT_TOP = [0.215578948, 0.41663158, 0.277263158, 0.083578947, 0.006947368]

# (function, extra arguments, the weights, relative tolerance)
WEIGHTS = [
    ("hanning_window", (), sw.hann(N, sym=False), 1e-12),
    ("hamming_window", (), sw.hamming(N, sym=False), 1e-12),
    ("blackman_harris_window", (), cosine_sum([0.42323, 0.49755, 0.07922]), 1e-12),
    ("exact_blackman_window", (), cosine_sum(EXACT_BLACKMAN), 1e-12),
    ("blackman_window", (), sw.blackman(N, sym=False), 1e-12),
    ("flat_top_window", (), cosine_sum(FLAT_TOP), 1e-12),
    ("blackman_nuttall_window", (), sw.nuttall(N, sym=False), 1e-12),
    ("general_cosine_window", ([0.3, 0.5, 0.2],), cosine_sum([0.3, 0.5, 0.2]), 1e-12),
    ("triangle_window", (), sw.bartlett(N, sym=False), 1e-12),
    ("bartlett_hann_window", (), sw.barthann(N, sym=False), 1e-12),
    ("bohman_window", (), sw.bohman(N, sym=False), 1e-12),
    ("parzen_window", (), parzen(), 1e-12),
    ("welch_window", (), 1 - ((I - N / 2) / (N / 2)) ** 2, 1e-12),
    ("kaiser_window", (6.0,), sw.kaiser(N, 6.0, sym=False), 1e-7),
    ("chebyshev_window", (80.0,), sw.chebwin(N, 80.0, sym=False), 1e-8),
    ("gaussian_window", (0.15,), sw.gaussian(N, 0.15 * (N + 1), sym=False), 1e-12),
    ("gaussian_window", (), sw.gaussian(N, 0.2 * (N + 1), sym=False), 1e-12),
    ("cosine_tapered_window", (), tukey(0.2), 1e-12),
    ("tukey_window", (0.5,), tukey(0.5), 1e-12),
    ("exponential_window", (0.1,), np.exp(I * np.log(0.1) / (N - 1)), 1e-12),
    ("force_window", (40.0,), (I < 6).astype(float), 0),
    ("symmetric_window", (1, 0.0), sw.hann(N, sym=True), 1e-12),
    ("symmetric_window", ((7 << 32) | 2, 0.0), sw.hamming(N, sym=True), 1e-12),
    ("symmetric_window", (62, 0.1), sw.gaussian(N, 0.1 * N), 1e-12),
]


@pytest.mark.parametrize("name,args,weights,rtol", WEIGHTS, ids=[w[0] for w in WEIGHTS])
def test_every_window_multiplies_a_copy_or_the_given_array(name, args, weights, rtol, no_warnings):
  f = getattr(windows, name)
  x = np.linspace(1.0, 2.0, N)
  kept = x.copy()
  y = f(x, *args)
  np.testing.assert_array_equal(x, kept)
  assert y.shape == (N,) and y.dtype == np.float64
  np.testing.assert_allclose(y, kept * weights, rtol=rtol, atol=1e-14)
  assert f(x, *args, out=x) is x  # in place
  np.testing.assert_array_equal(x, y)
  np.testing.assert_allclose(f(list(np.ones(N)), *args), weights, rtol=rtol, atol=1e-14)
  assert getattr(qmanlys, name) is f


def test_properties_of_weights_and_of_type_codes():
  w = sw.hann(64, sym=False)
  enbw, cg = windows.window_properties(w)
  assert cg == pytest.approx(w.mean()) and enbw == pytest.approx(64 * (w**2).sum() / w.sum() ** 2)
  np.testing.assert_allclose(windows.window_properties(np.ones(5)), [1.0, 1.0])
  for code, want in ((0, [1.0, 1.0]), (1, [1.5, 0.5]), (2, [1.362826, 0.54]),
                     (31, [1.45584787, 0.5]), (34, [1.2, 0.66666667])):
    p = windows.window_properties_by_type(code)
    assert p.shape == (2,)
    np.testing.assert_allclose(p, want)
  np.testing.assert_allclose(windows.window_properties_by_type(code=1), [1.5, 0.5])


def test_scaled_windows_return_properties_only_when_asked():
  x = windows.scaled_window(np.ones(4), 1)
  np.testing.assert_allclose(x, [0, 1, 2, 1], atol=1e-15)
  x, props = windows.scaled_window(np.ones(4), 1, properties=True)
  np.testing.assert_allclose(x, [0, 1, 2, 1], atol=1e-15)
  np.testing.assert_allclose(props, [1.5, 0.5])
  given = np.empty(2)
  _, props = windows.scaled_window(np.ones(4), 1, properties=given)
  assert props is given
  buf = np.ones(8)
  assert windows.scaled_window(buf, 1, x_out=buf) is buf
  # the parametric codes: the window from its parameter, divided by its coherent gain
  k = sw.kaiser(N, 5.0, sym=False)
  y, props = windows.scaled_window_with_parameter(np.ones(N), 60, 5.0, properties=True)
  np.testing.assert_allclose(y, k / k.mean(), rtol=1e-7)
  np.testing.assert_allclose(props, [N * (k**2).sum() / k.sum() ** 2, k.mean()], rtol=1e-7)
  # a negative Chebyshev attenuation means 60 dB
  np.testing.assert_allclose(windows.scaled_window_with_parameter(np.ones(N), 61, -1.0),
                             windows.scaled_window_with_parameter(np.ones(N), 61, 60.0))
  assert windows.scaled_window([], 1).shape == (0,)


@pytest.mark.parametrize("call,code", [
    (lambda: windows.hanning_window([]), -20003),
    (lambda: windows.general_cosine_window(np.ones(4), []), -20003),
    (lambda: windows.exponential_window([1.0], 0.5), -20006),
    (lambda: windows.exponential_window(np.ones(4), 0.0), -20027),
    (lambda: windows.force_window([1.0], 50.0), -20006),
    (lambda: windows.window_properties([]), -20003),
    (lambda: windows.window_properties_by_type(10), -20061),
    (lambda: windows.scaled_window(np.ones(4), 63), -20061),
    (lambda: windows.scaled_window_with_parameter(np.ones(4), 10, 1.0, properties=True), -20061),
    (lambda: windows.symmetric_window(np.ones(4), 10, 0.0), -20061),
], ids=["hanning-empty", "cosine-no-coefficients", "exponential-short", "exponential-zero",
        "force-short", "properties-empty", "by-type-code", "scaled-code", "parameter-code",
        "symmetric-code"])
def test_invalid_arguments_raise_the_library_status(call, code):
  with pytest.raises(qmanlys.Error) as info:
    call()
  assert info.value.code == code


def test_edge_behaviour_through_the_binding():
  np.testing.assert_array_equal(windows.general_cosine_window(np.arange(5.0), [1.0]),
                                np.arange(5.0))
  np.testing.assert_array_equal(windows.tukey_window(np.ones(100), 0.001), np.ones(100))
  np.testing.assert_array_equal(windows.force_window(np.ones(8), 0.0), np.zeros(8))
  np.testing.assert_array_equal(windows.triangle_window([3.0]), [0.0])
  with pytest.raises(ValueError, match="1-D"):
    windows.hanning_window(np.ones((2, 2)))
  with pytest.raises(TypeError, match="float64"):
    windows.hanning_window(np.ones(4, complex))
