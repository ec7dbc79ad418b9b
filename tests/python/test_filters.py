"""qmanlys.filters: FIR and IIR designs, filtering with caller-held state, cascade records,
Savitzky-Golay smoothing (against scipy.signal)."""

import numpy as np
import pytest
import scipy.signal as ss

import qmanlys
from qmanlys import filters as f

FS = 1000.0


# ---- FIR designs --------------------------------------------------------------------

def firwin(taps, cutoff, window, pass_zero=True):
  return ss.firwin(taps, cutoff, window=window, pass_zero=pass_zero, fs=FS, scale=False)


FIR_DESIGNS = [
    (lambda: f.kaiser_lowpass_fir(FS, 100, 11), firwin(11, 100, ("kaiser", 4.5))),
    (lambda: f.kaiser_highpass_fir(FS, 100, 11, 6.0), firwin(11, 100, ("kaiser", 6.0), False)),
    (lambda: f.kaiser_bandpass_fir(FS, 100, 200, 15, beta=3.0),
     firwin(15, [100, 200], ("kaiser", 3.0), False)),
    (lambda: f.kaiser_bandstop_fir(FS, 100, 200, 15), firwin(15, [100, 200], ("kaiser", 4.5))),
    (lambda: f.windowed_lowpass_fir(FS, 100, 11, 3), firwin(11, 100, "hann")),
    (lambda: f.windowed_highpass_fir(FS, 150, 13, 5), firwin(13, 150, "blackman", False)),
    (lambda: f.windowed_bandpass_fir(FS, 100, 200, 12, 1), firwin(12, [100, 200], "boxcar", False)),
    (lambda: f.windowed_bandstop_fir(FS, 100, 200, 13, 4), firwin(13, [100, 200], "hamming")),
    # an unknown selector is Hamming
    (lambda: f.windowed_lowpass_fir(FS, 100, 11, 99), firwin(11, 100, "hamming")),
    (lambda: f.fir_ideal_coefficients(0, FS, 100, 0, 11), firwin(11, 100, "boxcar")),
    (lambda: f.fir_ideal_coefficients(2, FS, 100, 200, 11),
     firwin(11, [100, 200], "boxcar", False)),
    (lambda: f.fir_windowed_coefficients(3, FS, 100, 200, 15, 1, 0.0),
     firwin(15, [100, 200], "hann")),
]


@pytest.mark.parametrize("design, expect", FIR_DESIGNS)
def test_windowed_sinc_designs_match_scipy_firwin(design, expect):
  coef = design()
  assert coef.dtype == np.float64 and coef.shape == expect.shape
  np.testing.assert_allclose(coef, expect, atol=1e-11)


@pytest.mark.parametrize("call, edges, gains, taps", [
    (lambda: f.equiripple_lowpass(FS, 100, 150, 21), [0, 100, 150, 500], [1, 0], 21),
    (lambda: f.equiripple_highpass(FS, 100, 150, 21), [0, 100, 150, 500], [0, 1], 21),
    (lambda: f.equiripple_bandpass(FS, 50, 100, 200, 250, 31), [0, 50, 100, 200, 250, 500],
     [0, 1, 0], 31),
    (lambda: f.equiripple_bandstop(FS, 50, 100, 200, 250, 31), [0, 50, 100, 200, 250, 500],
     [1, 0, 1], 31),
    (lambda: f.equiripple_fir([1, 0], [1, 10], FS, [0, 100, 150, 500], 1, 25),
     [0, 100, 150, 500], [1, 0], 25),
])
def test_equiripple_designs_return_coefficients_then_ripple(call, edges, gains, taps):
  result = call()
  assert isinstance(result, tuple) and len(result) == 2
  coef, ripple = result
  weight = [1, 10] if taps == 25 else None
  np.testing.assert_allclose(coef, ss.remez(taps, edges, gains, weight=weight, fs=FS), atol=1e-6)
  assert isinstance(ripple, float) and 0 < ripple < 0.5


@pytest.mark.parametrize("call, code", [
    (lambda: f.kaiser_lowpass_fir(FS, 100, 0), -20021),
    (lambda: f.windowed_highpass_fir(FS, 100, 10, 4), -20033),
    (lambda: f.fir_ideal_coefficients(4, FS, 100, 0, 11), -20061),
    (lambda: f.fir_windowed_coefficients(0, FS, 600, 0, 11, 1, 0.0), -20020),
    (lambda: f.equiripple_lowpass(FS, 100, 150, 2), -20031),
    (lambda: f.equiripple_fir([], [], FS, [], 1, 21), -20003),
    (lambda: f.butterworth_lowpass([], FS, 100, 2), -20003),
    (lambda: f.savitzky_golay_filter(np.ones(3), 2, 2), -20008),
    (lambda: f.savitzky_golay_matrix(0, 2), -20063),
])
def test_bad_arguments_raise_the_library_status(call, code):
  with pytest.raises(qmanlys.Error) as info:
    call()
  assert info.value.code == code


def test_equiripple_band_arrays_must_agree_in_length():
  with pytest.raises(ValueError, match=r"\(4,\)"):
    f.equiripple_fir([1, 0], [1, 1], FS, [0, 100, 150], 1, 21)
  with pytest.raises(ValueError, match=r"\(2,\)"):
    f.equiripple_fir([1, 0], [1], FS, [0, 100, 150, 500], 1, 21)


# ---- One-call IIR filters and their coefficients ----------------------------------------

IIR = [  # (filter, its arguments after fs, scipy design, the coefficient export's arguments)
    (f.butterworth_lowpass, (100, 4), ss.butter(4, 100, fs=FS, output="sos")),
    (f.butterworth_highpass, (100, 3), ss.butter(3, 100, "high", fs=FS, output="sos")),
    (f.butterworth_bandpass, (100, 200, 2), ss.butter(2, [100, 200], "bandpass", fs=FS,
                                                      output="sos")),
    (f.butterworth_bandstop, (100, 200, 3), ss.butter(3, [100, 200], "bandstop", fs=FS,
                                                      output="sos")),
    (f.chebyshev_lowpass, (100, 1.0, 4), ss.cheby1(4, 1.0, 100, fs=FS, output="sos")),
    (f.chebyshev_highpass, (100, 0.5, 3), ss.cheby1(3, 0.5, 100, "high", fs=FS, output="sos")),
    (f.chebyshev_bandpass, (100, 200, 1.0, 2), ss.cheby1(2, 1.0, [100, 200], "bandpass", fs=FS,
                                                         output="sos")),
    (f.chebyshev_bandstop, (100, 200, 1.0, 3), ss.cheby1(3, 1.0, [100, 200], "bandstop", fs=FS,
                                                         output="sos")),
    (f.inverse_chebyshev_lowpass, (100, 40.0, 4), ss.cheby2(4, 40, 100, fs=FS, output="sos")),
    (f.inverse_chebyshev_highpass, (100, 40.0, 3), ss.cheby2(3, 40, 100, "high", fs=FS,
                                                             output="sos")),
    (f.inverse_chebyshev_bandpass, (100, 200, 40.0, 3),
     ss.cheby2(3, 40, [100, 200], "bandpass", fs=FS, output="sos")),
    (f.inverse_chebyshev_bandstop, (100, 200, 30.0, 2),
     ss.cheby2(2, 30, [100, 200], "bandstop", fs=FS, output="sos")),
    (f.elliptic_lowpass, (100, 1.0, 40.0, 4), ss.ellip(4, 1, 40, 100, fs=FS, output="sos")),
    (f.elliptic_highpass, (100, 1.0, 40.0, 3), ss.ellip(3, 1, 40, 100, "high", fs=FS,
                                                        output="sos")),
    (f.elliptic_bandpass, (100, 200, 0.5, 50.0, 2),
     ss.ellip(2, 0.5, 50, [100, 200], "bandpass", fs=FS, output="sos")),
    (f.elliptic_bandstop, (100, 200, 1.0, 40.0, 3),
     ss.ellip(3, 1, 40, [100, 200], "bandstop", fs=FS, output="sos")),
]


@pytest.mark.parametrize("filt, args, sos", IIR, ids=[r[0].__name__ for r in IIR])
def test_one_call_iir_filters_match_scipy(filt, args, sos, rng):
  x = rng.standard_normal(300)
  keep = x.copy()
  y = filt(x, FS, *args)
  np.testing.assert_allclose(y, ss.sosfilt(sos, x), atol=1e-11)
  np.testing.assert_array_equal(x, keep)
  # the output keyword, and filtering in place
  given = np.empty(300)
  assert filt(x, FS, *args, y=given) is given
  assert filt(x, FS, *args, out=x) is x
  np.testing.assert_array_equal(x, y)


COEFFICIENTS = [  # (export, type, extra arguments, scipy (b, a))
    (f.butterworth_coefficients, 0, (), ss.butter(4, 100, fs=FS)),
    (f.chebyshev_coefficients, 1, (0.5,), ss.cheby1(3, 0.5, 100, "high", fs=FS)),
    (f.inverse_chebyshev_coefficients, 2, (40.0,), ss.cheby2(3, 40, [100, 200], "bandpass",
                                                            fs=FS)),
    (f.elliptic_coefficients, 3, (1.0, 40.0), ss.ellip(2, 1, 40, [100, 200], "bandstop", fs=FS)),
]


@pytest.mark.parametrize("export, type_, extra, ba", COEFFICIENTS)
def test_expanded_coefficients_return_den_then_num(export, type_, extra, ba):
  b, a = ba
  order = len(a) - 1 if type_ < 2 else (len(a) - 1) // 2
  den, num = export(type_, order, FS, 100, 200, *extra)
  assert den.shape == num.shape == a.shape
  np.testing.assert_allclose(den, a, atol=1e-10)
  np.testing.assert_allclose(num, b, atol=1e-10)


# ---- IIR cascade records -----------------------------------------------------------

DESIGNS = [  # (design export, its parameters after fs, fl, fh, one-call coefficient export)
    (f.linear_ordinate_design, (), f.linear_ordinate_coefficients),
    (f.butterworth_design, (), f.butterworth_coefficients),
    (f.chebyshev_design, (0.5,), f.chebyshev_coefficients),
    (f.inverse_chebyshev_design, (40.0,), f.inverse_chebyshev_coefficients),
    (f.elliptic_design, (0.5, 40.0), f.elliptic_coefficients),
]


@pytest.mark.parametrize("design, extra, coefficients", DESIGNS)
@pytest.mark.parametrize("type_, order", [(0, 3), (2, 2)])
def test_cascade_records_filter_in_blocks_and_expand(design, extra, coefficients, type_, order,
                                                     rng):
  x = rng.standard_normal(400)
  length = order + 1 if type_ < 2 else 2 * order + 1
  with f.iir_cascade_create(type_, order) as record:
    assert record.kind == "IirCascade"
    assert design(FS, 100, 200, *extra, record) is None
    den, num = f.iir_cascade_expand(record, length, length)
    np.testing.assert_allclose((den, num), coefficients(type_, order, FS, 100, 200, *extra),
                               rtol=1e-12, atol=1e-15)
    # blocks continue from the record's state
    y = np.concatenate([f.iir_cascade_filter(x[:123], record),
                        f.iir_cascade_filter(x[123:], record)])
    np.testing.assert_allclose(y, ss.lfilter(num, den, x), atol=1e-9)
    f.iir_cascade_reset(record)
    np.testing.assert_allclose(f.iir_cascade_filter(x, record), y, atol=1e-13)
  assert record.closed
  with pytest.raises(ValueError, match="closed"):
    f.iir_cascade_filter(x, record)


def test_cascade_records_refuse_bad_arguments():
  with pytest.raises(ValueError, match="IirCascade"):
    f.iir_cascade_create(4, 3)
  with pytest.raises(ValueError):
    f.iir_cascade_create(0, 0)
  record = f.iir_cascade_create(0, 4)
  f.butterworth_design(FS, 100, 0, record)
  with pytest.raises(qmanlys.Error) as info:
    f.iir_cascade_expand(record, 4, 5)  # one value short
  assert info.value.code == -20066
  with pytest.raises(TypeError):
    f.iir_cascade_filter([1.0, 2.0], object())
  qmanlys.free_library_memory(record)
  assert record.closed


# ---- Direct-form filtering with caller-held state ------------------------------------------

def test_fir_and_iir_state_carries_across_blocks(rng):
  x = rng.standard_normal(200)
  b, a = ss.butter(3, 0.2)
  zb, za = np.zeros(len(b) - 1), np.zeros(len(a) - 1)
  whole = ss.lfilter(b, a, x)
  parts = [f.iir_filter_with_state(x[:70], a, za, b, zb),
           f.iir_filter_with_state(x[70:], a, za, b, zb)]
  np.testing.assert_allclose(np.concatenate(parts), whole, atol=1e-12)
  # the states hold the latest inputs and outputs, oldest first
  np.testing.assert_allclose(zb, x[-3:], atol=0)
  np.testing.assert_allclose(za, whole[-3:], atol=1e-12)

  taps = ss.firwin(9, 0.3)
  state = np.zeros(8)
  y = np.empty(200)
  head = y[:50]
  assert f.fir_filter_with_state(x[:50], taps, state, y=head) is head
  f.fir_filter_with_state(x[50:], taps, state, out=y[50:])
  np.testing.assert_allclose(y, np.convolve(x, taps)[:200], atol=1e-12)


def test_complex_state_filters_take_complex128(rng):
  x = rng.standard_normal(120) + 1j * rng.standard_normal(120)
  b, a = ss.cheby1(2, 1.0, 0.3)
  za, zb = np.zeros(len(a) - 1, complex), np.zeros(len(b) - 1, complex)
  y = np.concatenate([f.complex_iir_filter_with_state(x[:40], a, za, b, zb),
                      f.complex_iir_filter_with_state(x[40:], a, za, b, zb)])
  assert y.dtype == np.complex128
  np.testing.assert_allclose(y, ss.lfilter(b, a, x), atol=1e-12)
  taps = np.array([0.25, 0.5, 0.25])
  z = np.zeros(2, complex)
  np.testing.assert_allclose(f.complex_fir_filter_with_state(x, taps, z),
                             np.convolve(x, taps)[:120], atol=1e-12)
  np.testing.assert_array_equal(z, x[-2:])


def test_states_must_be_writable_arrays_of_the_right_length():
  x, taps = np.ones(8), np.ones(3) / 3
  with pytest.raises(TypeError, match="in place"):
    f.fir_filter_with_state(x, taps, [0.0, 0.0])
  with pytest.raises(TypeError, match="in place"):
    f.fir_filter_with_state(x, taps, np.zeros(2, np.float32))
  with pytest.raises(TypeError, match="in place"):
    f.complex_fir_filter_with_state(x, taps, np.zeros(2))
  frozen = np.zeros(2)
  frozen.flags.writeable = False
  with pytest.raises(TypeError, match="in place"):
    f.fir_filter_with_state(x, taps, frozen)
  with pytest.raises(ValueError, match=r"\(2,\)"):
    f.fir_filter_with_state(x, taps, np.zeros(3))
  # a single tap needs no state, no feedback coefficients filter by b alone, and no
  # coefficients at all are the library's to refuse
  np.testing.assert_array_equal(f.fir_filter_with_state(x, [2.0], np.zeros(0)), 2 * x)
  zb = np.zeros(2)
  np.testing.assert_allclose(f.iir_filter_with_state(x, [], np.zeros(0), taps, zb),
                             np.convolve(x, taps)[:8], atol=1e-15)
  with pytest.raises(qmanlys.Error) as info:
    f.fir_filter_with_state(x, [], np.zeros(0))
  assert info.value.code == -20003


# ---- Savitzky-Golay ---------------------------------------------------------------------

def test_savitzky_golay_matrix_shapes_and_rows():
  H, C = f.savitzky_golay_matrix(2, 3)
  assert H.shape == (7, 7) and C.shape == (3, 7)
  np.testing.assert_allclose(H[3], ss.savgol_coeffs(7, 2, use="dot"), atol=1e-13)
  # C gives the polynomial coefficients of a frame, H its fitted values
  t = np.arange(-3, 4.0)
  frame = 1.5 - 0.5 * t + 0.25 * t**2
  np.testing.assert_allclose(C @ frame, [1.5, -0.5, 0.25], atol=1e-12)
  np.testing.assert_allclose(H @ frame, frame, atol=1e-12)
  # equal weights change nothing; a weight of the wrong length is refused
  Hw, Cw = f.savitzky_golay_matrix(2, 3, np.full(7, 2.0))
  np.testing.assert_allclose(Hw, H, atol=1e-13)
  with pytest.raises(ValueError, match=r"\(7,\)"):
    f.savitzky_golay_matrix(2, 3, np.ones(5))


def test_savitzky_golay_filters_match_scipy_interp_mode(rng):
  x = rng.standard_normal(50)
  expect = ss.savgol_filter(x, 9, 3, mode="interp")
  np.testing.assert_allclose(f.savitzky_golay_filter(x, 3, 4), expect, atol=1e-12)
  np.testing.assert_allclose(f.savitzky_golay_filter(x, 3, 4, weights=np.ones(9)), expect,
                             atol=1e-12)
  z = x + 1j * rng.standard_normal(50)
  y = f.complex_savitzky_golay_filter(z, 3, 4)
  assert y.dtype == np.complex128
  np.testing.assert_allclose(y.real, expect, atol=1e-12)
  np.testing.assert_allclose(y.imag, ss.savgol_filter(z.imag, 9, 3, mode="interp"), atol=1e-12)
