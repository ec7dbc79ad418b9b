"""Peak detection through the binding: library-allocated results, streaming state, threads."""

import threading

import numpy as np
import pytest

import qmanlys
from qmanlys import peaks

T = np.arange(400.0)
SIGNAL = np.sin(2 * np.pi * T / 50) * (1 + T / 400)


def whole(x, threshold=0.5, width=7, polarity=0):
  return peaks.detect_peaks(x, threshold, width, polarity, 1, 1)


def test_peaks_and_valleys_with_their_locations_amplitudes_and_curvatures():
  count, where, height, curvature = whole(SIGNAL)
  assert count == len(where) == len(height) == len(curvature) == 8
  assert where.dtype == height.dtype == curvature.dtype == np.float64
  np.testing.assert_allclose(where, 12.5 + 50 * np.arange(8), atol=0.3)
  np.testing.assert_allclose(height, SIGNAL[np.round(where).astype(int)], rtol=2e-3)
  assert (curvature < 0).all()
  count, where, height, curvature = whole(SIGNAL, -0.5, polarity=1)
  np.testing.assert_allclose(where, 37.5 + 50 * np.arange(8), atol=0.3)
  assert (height < -0.5).all() and (curvature > 0).all()
  # a threshold above every peak: no results, empty arrays
  count, where, _, _ = whole(SIGNAL, 10.0)
  assert count == 0 and where.shape == (0,)


def test_blocks_give_the_results_of_one_call():
  expect = whole(SIGNAL)
  parts = [peaks.detect_peaks(SIGNAL[:90], 0.5, 7, 0, 1, 0),
           peaks.detect_peaks(SIGNAL[90:233], 0.5, 7, 0, 0, 0),
           peaks.detect_peaks(SIGNAL[233:], 0.5, 7, 0, 0, 1)]
  assert sum(p[0] for p in parts) == expect[0]
  for k in (1, 2, 3):
    np.testing.assert_array_equal(np.concatenate([p[k] for p in parts]), expect[k])
  # the detection ended with end_of_data: continuing needs a new one
  with pytest.raises(qmanlys.Error) as info:
    peaks.detect_peaks(SIGNAL, 0.5, 7, 0, 0, 1)
  assert info.value.code == -20064


def test_each_thread_streams_its_own_detection():
  expect = [whole(SIGNAL), whole(-SIGNAL)]
  got = [None, None]
  barrier = threading.Barrier(2)

  def work(k):
    x = SIGNAL if k == 0 else -SIGNAL
    barrier.wait()
    parts = [peaks.detect_peaks(x[i:i + 40], 0.5, 7, 0, i == 0, i + 40 >= len(x))
             for i in range(0, len(x), 40)]
    got[k] = np.concatenate([p[1] for p in parts])

  threads = [threading.Thread(target=work, args=(k,)) for k in range(2)]
  for t in threads:
    t.start()
  for t in threads:
    t.join()
  for k in range(2):
    np.testing.assert_array_equal(got[k], expect[k][1])


@pytest.mark.parametrize("call, code", [
    (lambda: whole(SIGNAL, width=2), -20061),
    (lambda: whole(SIGNAL[:5], width=7), -20013),
    (lambda: peaks.detect_threshold_runs([0, 5, 5, 0], 1, 0), -20013),
    (lambda: peaks.detect_threshold_runs([0, 5, 5, 0], 1, 4), -20013),
    (lambda: peaks.detect_threshold_runs([], 1, 1), -20003),
])
def test_bad_arguments_raise_the_library_status(call, code):
  with pytest.raises(qmanlys.Error) as info:
    call()
  assert info.value.code == code


def test_threshold_runs_return_the_start_indices():
  indices, count = peaks.detect_threshold_runs([0, 5, 5, 0, 5, 0], 1, 2)
  assert count == 1 and indices.dtype == np.int64
  np.testing.assert_array_equal(indices, [1])
  x = np.array([1, 1, 0, 1, 1, 0, 1, 1, 0, 1.0])  # a last run shorter than width
  indices, count = peaks.detect_threshold_runs(x, 0.5, 2)
  np.testing.assert_array_equal(indices, [0, 3, 6])
  room = np.full(len(x) // 2 + 1, -1, np.int64)
  indices, _ = peaks.detect_threshold_runs(x, 0.5, 2, indices=room)
  np.testing.assert_array_equal(room[:3], [0, 3, 6])
  assert room[3] == -1
