"""Waveform measurements through the binding: argument order, result order, statuses."""

import numpy as np
import pytest

import qmanlys
from qmanlys import measure

# Five periods of 100 samples, high (1) for the first 30 of each.
SQUARE = np.tile(np.r_[np.ones(30), np.zeros(70)], 5)


def test_state_levels_of_a_two_valued_record():
  a, b, bins = -1.0, 3.0, 8
  high, low, amplitude = measure.amplitude_and_levels(np.r_[np.full(10, a), np.full(10, b)], 0,
                                                      bins)
  assert low == pytest.approx(a + (b - a) / (2 * bins))
  assert high == pytest.approx(b - (b - a) / (2 * bins))
  assert amplitude == pytest.approx(high - low)
  assert measure.amplitude_and_levels([2.0, 2.0], 1, 1) == (2.0, 2.0, 0.0)


def test_pulse_and_cycle_results_in_order():
  period, width, duty, centre, lo, mid, hi = measure.pulse_measurements(
      SQUARE, 1, 1, 90, 50, 10, 1, 0, 100)
  assert (period, width, duty) == pytest.approx((100, 30, 0.3))
  assert lo < mid < hi and mid == pytest.approx(0.5)
  assert centre == pytest.approx(114.5)
  assert measure.pulse_measurements(SQUARE, 0, 1, 90, 50, 10, 1, 0, 100)[1:3] == pytest.approx(
      (70, 0.7))
  # absolute references are echoed in the order low, middle, high
  assert measure.pulse_measurements(SQUARE, 1, 1, 0.8, 0.5, 0.2, 0, 1, 1)[4:] == (0.2, 0.5, 0.8)
  mean, rms, start, end, *levels = measure.cycle_average_and_rms(SQUARE, 1, 90, 50, 10, 1, 0, 100)
  assert (mean, rms) == pytest.approx((0.3, np.sqrt(0.3)))
  assert end - start == pytest.approx(100)
  assert levels == pytest.approx([lo, mid, hi])


def test_transition_of_a_ramp_edge():
  ramp = np.r_[np.zeros(20), np.linspace(0, 1, 11), np.ones(20)]
  r = measure.transition_measurements(ramp, 1, 1, 90, 50, 10, 1, 1, 100)
  assert len(r) == 11
  slew, duration, start, end = r[:4]
  assert end - start == pytest.approx(duration)
  assert 20 < start < end < 31
  assert slew == pytest.approx((r[6] - r[4]) / duration)


def test_pulse_parameters_of_a_positive_and_a_negative_pulse():
  pos = measure.pulse_parameters([0, 0, 0, 1, 1, 1, 0, 0, 0])
  assert len(pos) == 13
  amplitude, top, base = pos[0], pos[4], pos[5]
  assert amplitude == pytest.approx(100 / 101)
  assert (top, base) == pytest.approx((201 / 202, 1 / 202))
  assert pos[8:12] == (2, 3, 0, 0) and all(type(t) is int for t in pos[8:12])
  neg = measure.pulse_parameters([1, 1, 1, 0, 0, 0, 1, 1, 1])
  assert neg[0] == pytest.approx(-100 / 101)
  assert (neg[4], neg[5]) == pytest.approx((1 / 202, 201 / 202))
  assert neg[8:10] == (2, 3)


@pytest.mark.parametrize("call, code", [
    (lambda: measure.amplitude_and_levels(SQUARE, 0, 0), -20317),
    (lambda: measure.amplitude_and_levels(np.ones(5), 0, 10), -20309),
    (lambda: measure.amplitude_and_levels([], 1, 1), -20312),
    (lambda: measure.amplitude_and_levels([0, np.inf], 1, 1), -20068),
    (lambda: measure.pulse_measurements(SQUARE, 1, 0, 90, 50, 10, 1, 0, 100), -20323),
    (lambda: measure.pulse_measurements(SQUARE, 2, 1, 90, 50, 10, 1, 0, 100), -20061),
    (lambda: measure.pulse_measurements(SQUARE, 1, 5, 90, 50, 10, 1, 0, 100), -20308),
    (lambda: measure.pulse_measurements(SQUARE, 1, 1, 10, 50, 90, 1, 0, 100), -20313),
    (lambda: measure.cycle_average_and_rms(SQUARE, 1, 90, 50, 10, 2, 0, 100), -20314),
    (lambda: measure.transition_measurements(SQUARE, 1, 9, 90, 50, 10, 1, 0, 100), -20310),
    (lambda: measure.pulse_parameters([]), -20003),
])
def test_bad_arguments_raise_the_library_status(call, code):
  with pytest.raises(qmanlys.Error) as info:
    call()
  assert info.value.code == code
