"""The signal and noise generators through the binding, against closed forms."""

import numpy as np
import pytest
from scipy import signal as sps

import qmanlys
from qmanlys import generate

N = 64
I = np.arange(N)


@pytest.mark.parametrize("call, expect", [
    (lambda: generate.sine_pattern(N, 2.0, 30.0, 3.0),
     2.0 * np.sin(2 * np.pi * 3.0 * I / N + np.radians(30.0))),
    (lambda: generate.ramp_pattern(N, -1.0, 5.0), np.linspace(-1.0, 5.0, N)),
    (lambda: generate.impulse_pattern(N, 3.0, 5), 3.0 * (I == 5)),
    (lambda: generate.pulse_pattern(N, 2.0, 10, 4), 2.0 * ((I >= 10) & (I < 14))),
    (lambda: generate.sinc_pattern(N, 1.5, 2.0, 0.25), 1.5 * np.sinc(I * 0.25 - 2.0)),
])
def test_patterns_match_their_closed_forms(call, expect):
  np.testing.assert_allclose(call(), expect, atol=1e-12)


@pytest.mark.parametrize("call", [
    lambda n, **kw: generate.triangle_pattern(n, 1.0, **kw),
    lambda n, **kw: generate.chirp_pattern(n, 1.0, 0.01, 0.2, **kw),
    lambda n, **kw: generate.periodic_sinc(n, 1.0, 5.0, 0.5, 7, **kw),
    lambda n, **kw: generate.gaussian_monopulse(n, 1.0, 8.0, 0.25, 0.2, **kw),
    lambda n, **kw: generate.gaussian_modulated_sine(n, 1.0, 8.0, 0.25, 0.5, 0.5, 6.0, **kw),
    lambda n, **kw: generate.triangular_pulse(n, 2.0, 8.0, 0.25, 4.0, 0.5, **kw),
    lambda n, **kw: generate.gaussian_noise(n, 1.0, 3, **kw),
    lambda n, **kw: generate.uniform_noise01(n, 3, **kw),
    lambda n, **kw: generate.uniform_noise(n, 2.0, 3, **kw),
])
def test_generators_fill_n_samples_or_a_given_array(call):
  y = call(N)
  assert y.shape == (N,) and y.dtype == np.float64 and np.all(np.isfinite(y))
  assert np.ptp(y) > 0
  out = np.full(N, np.nan)
  assert call(N, out=out) is out
  np.testing.assert_array_equal(out, y)
  with pytest.raises(qmanlys.Error) as info:
    call(0)
  assert info.value.code < 0


def test_pulses_against_scipy():
  t = I * 0.25 - 8.0
  # starts at the delay, peaks at width * skew
  np.testing.assert_allclose(generate.triangular_pulse(N, 2.0, 8.0, 0.25, 4.0, 0.5),
                             2.0 * np.clip(1 - np.abs(t - 2.0) / 2.0, 0, None), atol=1e-12)
  i, _, e = sps.gausspulse(t, fc=0.5, bw=0.5, bwr=-6.0, retquad=True, retenv=True)
  np.testing.assert_allclose(generate.gaussian_modulated_sine(N, 1.0, 8.0, 0.25, 0.5, 0.5, 6.0),
                             i, atol=1e-9)


def test_waves_hand_the_phase_on_to_the_next_block():
  whole_phase, whole = generate.sine_wave(100, 2.0, 0.03, 45.0)
  np.testing.assert_allclose(whole, 2.0 * np.sin(2 * np.pi * 0.03 * np.arange(100) + np.pi / 4),
                             atol=1e-12)
  assert isinstance(whole_phase, float)
  assert whole_phase == pytest.approx((45.0 + 360 * 0.03 * 100) % 360)
  phase, first = generate.sine_wave(60, 2.0, 0.03, 45.0)
  phase, second = generate.sine_wave(40, 2.0, 0.03, phase)
  np.testing.assert_allclose(np.concatenate([first, second]), whole, atol=1e-9)
  assert phase == pytest.approx(whole_phase)
  # the phase defaults to 0 and is given by keyword like any input
  np.testing.assert_array_equal(generate.square_wave(8, 1.0, 0.125, duty=25.0)[1],
                                generate.square_wave(8, 1.0, 0.125, 0.0, 25.0)[1])


@pytest.mark.parametrize("call, period", [
    (lambda n, p: generate.square_wave(n, 1.0, 0.125, p, 25.0), [1, 1, -1, -1, -1, -1, -1, -1]),
    (lambda n, p: generate.sawtooth_wave(n, 1.0, 0.25, p), [0, 0.5, -1, -0.5]),
    (lambda n, p: generate.triangle_wave(n, 1.0, 0.25, p), [0, 1, 0, -1]),
    (lambda n, p: generate.arbitrary_wave(n, 1.0, 0.25, p, [4.0, 3.0, 2.0, 1.0], 0),
     [4, 3, 2, 1]),
])
def test_wave_shapes_over_one_period(call, period):
  phase, y = call(2 * len(period), 0.0)
  np.testing.assert_allclose(y, np.tile(period, 2), atol=1e-12)
  assert phase == pytest.approx(0.0, abs=1e-9) or phase == pytest.approx(360.0)


def test_noise_seeds_restart_and_continue():
  a = generate.uniform_noise01(1000, 11)
  assert np.all((a >= 0) & (a < 1))
  np.testing.assert_array_equal(generate.uniform_noise01(1000, 11), a)
  first = generate.uniform_noise01(500, 11)
  np.testing.assert_array_equal(np.concatenate([first, generate.uniform_noise01(500, 0)]), a)
  g = generate.gaussian_noise(20000, 2.0, 5)
  assert g.std() == pytest.approx(2.0, rel=0.05)
  u = generate.uniform_noise(1000, 3.0, 5)
  assert np.all((u >= -3.0) & (u < 3.0))


def test_generator_errors_and_bad_arguments():
  with pytest.raises(qmanlys.Error) as info:
    generate.sine_pattern(0, 1.0, 0.0, 1.0)
  assert info.value.code < 0
  with pytest.raises(TypeError, match="real number"):
    generate.sine_wave(8, 1.0, 0.1, [0.0, 1.0])
  out = np.empty(8)
  assert generate.ramp_pattern(8, 0.0, 7.0, out=out) is out
  np.testing.assert_array_equal(out, np.arange(8.0))
  with pytest.raises(ValueError):
    generate.ramp_pattern(8, 0.0, 7.0, out=np.empty(9))
