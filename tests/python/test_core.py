"""The binding's shared behaviour: statuses, warnings, argument conversion, handles."""

import threading
import warnings

import numpy as np
import pytest

import qmanlys


def test_negative_status_raises_error_with_code_and_message():
  with pytest.raises(qmanlys.Error) as info:
    qmanlys.fft.complex_fft([])
  assert info.value.code == -20003
  assert str(info.value) == "The number of samples must be > 0."
  assert isinstance(info.value, ValueError)
  assert qmanlys.get_error_message(-20003) == str(info.value)
  assert qmanlys.get_error_message(123456) == "Unknown error number"


def test_inputs_accept_array_likes_and_reject_wrong_dtypes():
  expect = np.fft.fft([1.0, 2.0, 3.0, 4.0])
  for x in ([1, 2, 3, 4], (1.0, 2.0, 3.0, 4.0), np.arange(1, 5, dtype=np.int32),
            np.arange(1, 9, dtype=float)[::2] * 0 + np.array([1, 2, 3, 4])):
    np.testing.assert_allclose(qmanlys.real_fft(x), expect, atol=1e-12)
  with pytest.raises(TypeError, match="float64"):
    qmanlys.real_fft(np.array([1j, 2]))
  with pytest.raises(ValueError, match="1-D"):
    qmanlys.real_fft(np.ones((2, 2)))
  with pytest.raises(TypeError, match="missing required argument 'x'"):
    qmanlys.real_fft()
  with pytest.raises(TypeError, match="unexpected keyword"):
    qmanlys.real_fft([1, 2], bogus=1)


def test_outputs_into_given_arrays_and_in_place():
  x = np.arange(8.0)
  out = np.empty(8, complex)
  r = qmanlys.real_fft(x, out=out)
  assert r is out
  np.testing.assert_allclose(out, np.fft.fft(np.arange(8.0)), atol=1e-12)
  np.testing.assert_array_equal(x, np.arange(8.0))  # the input is left alone
  with pytest.raises(ValueError, match=r"expected \(8,\)"):
    qmanlys.real_fft(x, out=np.empty(7, complex))
  with pytest.raises(TypeError):
    qmanlys.real_fft(x, out=np.empty(8, np.complex64))
  z = np.arange(8.0) + 1j
  same = qmanlys.fft.complex_fft_interleaved(z, out=z)
  assert same is z
  np.testing.assert_allclose(z, np.fft.fft(np.arange(8.0) + 1j), atol=1e-12)


def test_handles_release_themselves_and_refuse_use_after_close():
  with qmanlys.fft_plan_create(16) as plan:
    assert plan.kind == "FftPlan" and not plan.closed
    y = qmanlys.complex_fft_interleaved(np.ones(16, complex), plan=plan)
    assert y[0] == 16
  assert plan.closed
  with pytest.raises(ValueError, match="closed"):
    qmanlys.complex_fft_interleaved(np.ones(16, complex), plan=plan)
  with pytest.raises(ValueError):
    qmanlys.fft_plan_create(0)
  plan = qmanlys.fft_plan_create(4)
  qmanlys.fft_plan_destroy(plan)
  assert plan.closed
  del plan  # garbage collection of a closed handle releases nothing twice


def test_huge_arrays_give_the_overflow_status():
  # 2^31 doubles of untouched zero pages: the count is refused before any read.
  try:
    x = np.zeros(2**31)
  except MemoryError:
    pytest.skip("no address space for a 16 GiB array")
  with pytest.raises(qmanlys.Error) as info:
    qmanlys.fft.real_fft_interleaved(x, m=4)
  assert info.value.code == -20046


def test_threads_call_at_once_with_the_serial_results():
  rng = np.random.default_rng(7)
  records = [rng.standard_normal(4096) + 1j * rng.standard_normal(4096) for _ in range(8)]
  serial = [qmanlys.complex_fft_interleaved(r) for r in records]
  results = [[None] * len(records) for _ in range(4)]

  def work(t):
    for _ in range(20):
      for i, r in enumerate(records):
        results[t][i] = qmanlys.complex_fft_interleaved(r)

  threads = [threading.Thread(target=work, args=(t,)) for t in range(4)]
  for t in threads:
    t.start()
  for t in threads:
    t.join()
  for t in range(4):
    for i in range(len(records)):
      np.testing.assert_array_equal(results[t][i], serial[i])


def test_every_function_names_its_export():
  assert qmanlys.export_number(qmanlys.real_fft) == 147
  assert qmanlys.export_number(qmanlys.special.gamma) == 309


def test_counts_beyond_32_bits_are_refused_before_allocating():
  for m in (2**31, 2**40):
    with pytest.raises(qmanlys.Error) as info:
      qmanlys.real_fft_interleaved([1.0, 2.0], m=m)
    assert info.value.code == -20046


def test_every_exported_symbol_has_exactly_one_function():
  import ctypes
  import os
  path = os.environ.get("QM_SHARED_LIBRARY")
  if not path:
    pytest.skip("QM_SHARED_LIBRARY names the library under test (CTest sets it)")
  lib = ctypes.CDLL(path)
  exported = set()
  for number in range(1, 400):
    try:
      getattr(lib, "ZMXFunc%d" % number)
      exported.add(number)
    except AttributeError:
      pass
  bound = {number for _, number in qmanlys._exports.values()}
  assert bound == exported, (sorted(exported - bound), sorted(bound - exported))
  for name, (family, number) in qmanlys._exports.items():
    assert getattr(getattr(qmanlys, family), name) is getattr(qmanlys, name)
