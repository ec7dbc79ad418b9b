"""qmanlys.fft against numpy.fft and scipy: argument order, complex pairing, shapes, plans."""

import numpy as np
import pytest
import scipy.fft
import scipy.signal

import qmanlys
from qmanlys import fft

X8 = np.array([0.5, -1.0, 2.0, 3.5, -0.25, 1.0, 0.0, 4.0])
Y8 = np.array([1.0, 2.0, -1.5, 0.5, 3.0, -2.0, 1.0, 0.25])
Z8 = X8 + 1j * Y8
A2 = np.arange(12.0).reshape(3, 4) ** 1.5
Z2 = A2 - 1j * A2[::-1]
W8 = np.exp(-2j * np.pi / 8)


def _one_sided(s, n):
  s = s[:n // 2].copy()
  s[1:] *= 2
  return s


SMOKE = [
    ("real_fft", (X8,), {}, lambda: np.fft.fft(X8)),
    ("inverse_real_fft", (np.fft.fft(X8),), {}, lambda: X8),
    ("complex_fft", (Z8,), {}, lambda: np.fft.fft(Z8)),
    ("inverse_complex_fft", (Z8,), {}, lambda: np.fft.ifft(Z8)),
    ("power_spectrum_two_sided", (X8,), {}, lambda: np.abs(np.fft.fft(X8)) ** 2 / 64),
    ("power_spectrum", (X8, 0.1), {}, lambda: _one_sided(np.abs(np.fft.fft(X8)) ** 2 / 64, 8)),
    ("cross_power_spectrum_two_sided", (X8, Y8), {},
     lambda: np.conj(np.fft.fft(X8)) * np.fft.fft(Y8) / 64),
    ("cross_power_spectrum", (X8, Y8, 0.1), {}, lambda: (
        _one_sided(np.abs(np.conj(np.fft.fft(X8)) * np.fft.fft(Y8)) / 64, 8),
        np.angle(np.conj(np.fft.fft(X8)) * np.fft.fft(Y8))[:4])),
    ("transfer_function", (X8, Y8, 0.1), {}, lambda: (
        np.abs(np.fft.fft(Y8) / np.fft.fft(X8))[:4], np.angle(np.fft.fft(Y8) / np.fft.fft(X8))[:4])),
    ("deconvolve", (X8, Y8), {}, lambda: np.fft.ifft(np.fft.fft(Y8) / np.fft.fft(X8)).real),
    ("hilbert_transform", (X8,), {}, lambda: scipy.signal.hilbert(X8).imag),
    ("inverse_hilbert_transform", (X8,), {}, lambda: -scipy.signal.hilbert(X8).imag),
    ("hartley_transform", (X8,), {}, lambda: np.fft.fft(X8).real - np.fft.fft(X8).imag),
    ("inverse_hartley_transform", (X8,), {},
     lambda: (np.fft.fft(X8).real - np.fft.fft(X8).imag) / 8),
    ("dct", (X8,), {}, lambda: scipy.fft.dct(X8, norm="ortho")),
    ("inverse_dct", (X8,), {}, lambda: scipy.fft.idct(X8, norm="ortho")),
    ("dst", (X8,), {}, lambda: scipy.fft.dst(X8, type=1) / 2),
    ("inverse_dst", (X8,), {}, lambda: scipy.fft.dst(X8, type=1) / 9),
    ("dct_2d", (A2,), {}, lambda: scipy.fft.dctn(A2, norm="ortho")),
    ("inverse_dct_2d", (A2,), {}, lambda: scipy.fft.idctn(A2, norm="ortho")),
    ("dst_2d", (A2,), {}, lambda: scipy.fft.dstn(A2, type=1) / 4),
    ("inverse_dst_2d", (A2,), {}, lambda: scipy.fft.dstn(A2, type=1) / (4 * 5)),
    ("real_fft_interleaved", (X8,), {}, lambda: np.fft.fft(X8)),
    ("complex_fft_interleaved", (Z8,), {}, lambda: np.fft.fft(Z8)),
    ("inverse_real_fft_interleaved", (np.fft.fft(X8),), {}, lambda: X8),
    ("inverse_complex_fft_interleaved", (Z8,), {}, lambda: np.fft.ifft(Z8)),
    ("real_fft_2d", (A2,), {}, lambda: np.fft.fft2(A2)),
    ("complex_fft_2d", (Z2,), {}, lambda: np.fft.fft2(Z2)),
    ("inverse_real_fft_2d", (np.fft.fft2(A2),), {}, lambda: A2),
    ("inverse_complex_fft_2d", (Z2,), {}, lambda: np.fft.ifft2(Z2)),
    ("chirp_z", (X8, 1.0, W8, 0), {}, lambda: np.fft.fft(X8)),
    ("complex_chirp_z", (Z8, 1.0, W8, 1), {}, lambda: np.fft.fft(Z8)),
]


@pytest.mark.parametrize("name,args,kwargs,reference", SMOKE, ids=[r[0] for r in SMOKE])
def test_every_transform_against_its_reference(name, args, kwargs, reference, no_warnings):
  copies = [np.array(a, copy=True) if isinstance(a, np.ndarray) else a for a in args]
  got = getattr(fft, name)(*args, **kwargs)
  want = reference()
  for a, c in zip(args, copies):  # inputs are never written
    if isinstance(a, np.ndarray):
      np.testing.assert_array_equal(a, c)
  if isinstance(want, tuple):
    assert isinstance(got, tuple) and len(got) == len(want)
  else:
    got, want = (got,), (want,)
  for g, w in zip(got, want):
    w = np.asarray(w)
    assert g.shape == w.shape
    assert g.dtype == (np.complex128 if np.iscomplexobj(w) else np.float64)
    np.testing.assert_allclose(g, w, rtol=1e-10, atol=1e-10)
  assert getattr(qmanlys, name) is getattr(fft, name)


def test_frequency_spacing_is_an_optional_extra_result():
  n, dt = 8, 0.125
  spectrum = fft.power_spectrum(X8, dt)
  assert isinstance(spectrum, np.ndarray) and spectrum.shape == (4,)
  s2, df = fft.power_spectrum(X8, dt, df=True)
  np.testing.assert_array_equal(s2, spectrum)
  assert df == pytest.approx(1 / (n * dt))
  mag, phase, df = fft.cross_power_spectrum(X8, Y8, dt, df=True)
  assert mag.shape == phase.shape == (4,) and df == pytest.approx(1.0)
  mag, phase, df = fft.transfer_function(X8, Y8, 0.5, df=True)
  assert mag.shape == (4,) and df == pytest.approx(0.25)
  # odd lengths keep n // 2 bins
  assert fft.power_spectrum(np.ones(7), 1.0).shape == (3,)
  out = np.empty(4)
  assert fft.power_spectrum(X8, dt, out=out) is out
  np.testing.assert_array_equal(out, spectrum)


def test_in_place_transforms_leave_the_input_unless_given_as_out():
  x = np.cos(2 * np.pi * 3 * np.arange(32) / 32)
  kept = x.copy()
  y = fft.hilbert_transform(x)
  np.testing.assert_array_equal(x, kept)
  np.testing.assert_allclose(y, np.sin(2 * np.pi * 3 * np.arange(32) / 32), atol=1e-12)
  assert fft.hartley_transform(x, out=x) is x
  np.testing.assert_allclose(fft.inverse_hartley_transform(x), kept, atol=1e-12)
  p = X8.copy()
  fft.power_spectrum_two_sided(p, out=p)
  np.testing.assert_allclose(p, np.abs(np.fft.fft(X8)) ** 2 / 64)


def test_split_complex_pairs_round_trip():
  for n in (1, 2, 3, 7, 53, 100):
    x = np.linspace(-1, 2, n) ** 2
    spectrum = fft.real_fft(x)
    assert spectrum.dtype == np.complex128 and spectrum.shape == (n,)
    np.testing.assert_allclose(fft.inverse_real_fft(spectrum), x, atol=1e-12)
    z = x - 1j * x[::-1]
    np.testing.assert_allclose(fft.inverse_complex_fft(fft.complex_fft(z)), z, atol=1e-12)
  # the inverse reads only the non-negative bins and the imaginary upper half
  s = np.fft.fft(X8)
  damaged = s.copy()
  damaged.imag[:4] = 99.0
  damaged.real[5:] = -99.0
  np.testing.assert_allclose(fft.inverse_real_fft(damaged), X8, atol=1e-12)
  with pytest.raises(ValueError, match=r"expected \(8,\)"):
    fft.cross_power_spectrum_two_sided(X8, Y8[:7])


def test_transform_lengths_pad_and_truncate():
  np.testing.assert_allclose(fft.dct(X8, 16), scipy.fft.dct(X8, n=16, norm="ortho"), atol=1e-12)
  np.testing.assert_allclose(fft.dct(X8, m=4), scipy.fft.dct(X8[:4], norm="ortho"), atol=1e-12)
  np.testing.assert_allclose(fft.dst(X8, 5), scipy.fft.dst(X8[:5], type=1) / 2, atol=1e-12)
  np.testing.assert_allclose(fft.inverse_dct(fft.dct(X8[:5])), X8[:5], atol=1e-12)
  np.testing.assert_allclose(fft.inverse_dst(fft.dst(X8)), X8, atol=1e-12)
  np.testing.assert_allclose(fft.dct_2d(X8[None, :]), fft.dct(X8)[None, :], atol=1e-12)
  z5 = Z8[:5]
  np.testing.assert_allclose(fft.complex_fft_interleaved(z5, m=8), np.fft.fft(z5, 8), atol=1e-12)
  np.testing.assert_allclose(fft.complex_fft_interleaved(z5, 3), np.fft.fft(z5[:3]), atol=1e-12)
  np.testing.assert_allclose(fft.real_fft_interleaved(X8, 11), np.fft.fft(X8, 11), atol=1e-12)
  r = fft.real_fft_2d(A2, 4, 6)
  assert r.shape == (4, 6)
  np.testing.assert_allclose(r, np.fft.fft2(A2, s=(4, 6)), atol=1e-10)
  c = fft.complex_fft_2d(Z2, transform_cols=2)
  np.testing.assert_allclose(c, np.fft.fft2(Z2, s=(3, 2)), atol=1e-10)


@pytest.mark.parametrize("m", [4, 5])
def test_centred_layout_matches_fftshift_both_ways(m):
  x = X8[:m]
  s = fft.real_fft_interleaved(x, shift=1)
  np.testing.assert_allclose(s, np.fft.fftshift(np.fft.fft(x)), atol=1e-12)
  np.testing.assert_allclose(fft.inverse_real_fft_interleaved(s, shift=1), x, atol=1e-12)
  z = Z8[:m]
  c = fft.complex_fft_interleaved(z, shift=1)
  np.testing.assert_allclose(c, np.fft.fftshift(np.fft.fft(z)), atol=1e-12)
  np.testing.assert_allclose(fft.inverse_complex_fft_interleaved(c, shift=1), z, atol=1e-12)
  a = A2[:, :m - 1]
  s2 = fft.real_fft_2d(a, shift=1)
  np.testing.assert_allclose(s2, np.fft.fftshift(np.fft.fft2(a)), atol=1e-10)
  np.testing.assert_allclose(fft.inverse_real_fft_2d(s2, shift=1), a, atol=1e-10)
  c2 = fft.complex_fft_2d(a + 1j, shift=1)
  np.testing.assert_allclose(fft.inverse_complex_fft_2d(c2, shift=1), a + 1j, atol=1e-10)


def test_plans_serve_their_length_only():
  with fft.fft_plan_create(8) as plan:
    np.testing.assert_allclose(fft.real_fft_interleaved(X8, plan=plan), np.fft.fft(X8))
    s = fft.complex_fft_interleaved(Z8, 0, plan, 1)
    np.testing.assert_allclose(fft.inverse_complex_fft_interleaved(s, plan, 1), Z8, atol=1e-12)
    np.testing.assert_allclose(
        fft.inverse_real_fft_interleaved(np.fft.fft(X8), plan=plan), X8, atol=1e-12)
    for call in (lambda: fft.real_fft_interleaved(X8, m=4, plan=plan),
                 lambda: fft.inverse_complex_fft_interleaved(Z8[:4], plan=plan)):
      with pytest.raises(qmanlys.Error) as info:
        call()
      assert info.value.code == -20070
  with pytest.raises(qmanlys.Error) as info:
    fft.inverse_complex_fft_interleaved(np.empty(0, complex))
  assert info.value.code == -20001


def test_chirp_z_zoom_and_its_checks():
  n, m = 16, 6
  x = np.sin(np.arange(n) * 0.7)
  a = np.exp(0.3j)
  w = np.exp(-0.05j)
  want = scipy.signal.czt(x, m, w, a)
  for method in (0, 1):
    np.testing.assert_allclose(fft.chirp_z(x, a, w, method, m), want, atol=1e-9)
    np.testing.assert_allclose(fft.complex_chirp_z(x * 1j, a, w, method, m=m), want * 1j,
                               atol=1e-9)
  assert fft.chirp_z(x, 1, w, 1).shape == (n,)
  for args, code in (((x, 1, w, 2), -20061), ((x, 0, w, 0), -20141),
                     ((x, 1, complex(np.nan, 0), 0), -20068), ((x[:0], 1, w, 0), -20003)):
    with pytest.raises(qmanlys.Error) as info:
      fft.chirp_z(*args)
    assert info.value.code == code
  with pytest.raises(TypeError, match="number"):
    fft.chirp_z(x, [1, 2], w, 0)


def test_empty_and_malformed_inputs():
  for call in (lambda: fft.dct_2d(np.ones((0, 3))), lambda: fft.hartley_transform([]),
               lambda: fft.power_spectrum([], 1.0)):
    with pytest.raises(qmanlys.Error) as info:
      call()
    assert info.value.code == -20003
  with pytest.raises(ValueError, match="2-D"):
    fft.real_fft_2d(X8)
  with pytest.raises(TypeError, match="float64"):
    fft.dct(Z8)


def test_spectrum_unit_conversion_returns_the_values_and_the_rewritten_label():
  x = np.array([1.0, 4.0, 0.25])
  db, label = qmanlys.fft.spectrum_unit_conversion(x, 0, 1, 0, 1.0, None, "V")
  np.testing.assert_allclose(db, 10 * np.log10(x), atol=1e-12)
  assert label == "dBVrms"
  np.testing.assert_array_equal(x, [1.0, 4.0, 0.25])  # the input is left alone
  with pytest.raises(qmanlys.Error) as info:
    qmanlys.fft.spectrum_unit_conversion(x, 0, 0, 4, 1.0, None, "V")  # density needs w
  assert info.value.code == -20008
  with pytest.raises(TypeError):
    qmanlys.fft.spectrum_unit_conversion(x, 0, 1, 0, 1.0, None, b"V")


def test_spectra_through_the_interleaved_exports_equal_the_split_exports():
  """real_fft and complex_fft call the exports that write NumPy's layout;
  their spectra are the split exports' own, bit for bit."""
  import ctypes
  import os
  path = os.environ.get("QM_SHARED_LIBRARY")
  if not path:
    pytest.skip("QM_SHARED_LIBRARY names the library under test (CTest sets it)")
  lib = ctypes.CDLL(path)
  ptr = lambda a: a.ctypes.data_as(ctypes.POINTER(ctypes.c_double))
  for n in (1, 2, 5, 8, 30, 97, 1000, 4096):
    base = np.sin(0.3 * np.arange(2 * n)) + 0.1 * np.arange(2 * n) % 3
    x = base[::2]  # strided: the binding makes it contiguous
    kept = x.copy()
    re, im = np.ascontiguousarray(x), np.zeros(n)
    assert lib.ZMXFunc147(ptr(re), ptr(im), ctypes.c_int64(n)) == 0
    s = fft.real_fft(x)
    np.testing.assert_array_equal(x, kept)
    np.testing.assert_array_equal(s, re + 1j * im)
    z = base[:n] - 1j * base[n:]
    re, im = z.real.copy(), z.imag.copy()
    assert lib.ZMXFunc77(ptr(re), ptr(im), ctypes.c_int64(n)) == 0
    np.testing.assert_allclose(fft.complex_fft(z), re + 1j * im, rtol=0, atol=1e-12 * n)
    out = np.empty(n, complex)
    assert fft.complex_fft(z, spectrum=out) is out
  with pytest.raises(qmanlys.Error) as info:
    fft.real_fft([])
  assert info.value.code == -20003
