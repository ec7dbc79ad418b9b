"""Every function called with hostile arguments raises a Python exception or
returns; none crashes the interpreter (a crash fails the whole run)."""

import math
import random
import re
import warnings

import numpy as np
import pytest

import qmanlys


def _positional_count(function):
  first = (function.__doc__ or "").split("\n", 1)[0]
  m = re.match(r"^\w+\((.*)\)", first)
  if not m:
    return 0
  names = []
  for part in m.group(1).split(","):
    part = part.strip()
    if part in ("*", ""):
      break
    names.append(part)
  return len(names)


def _pool():
  live_plan = qmanlys.fft_plan_create(4)
  closed = qmanlys.fft_plan_create(4)
  closed.close()
  record = qmanlys.iir_cascade_create(0, 2)
  return [
      None, 0, -1, 1, 2, 3, 7, 2.5, -0.0, math.nan, math.inf, -math.inf, 1e300, 1j, "x", b"x",
      [], [1.0], [1.0, 2.0, 3.0, 4.0], np.zeros(0), np.ones(5), np.arange(8.0),
      np.full(6, np.nan), np.ones((2, 2)), np.ones((3, 2)), np.eye(3), np.ones((0, 3)),
      np.ones(4, complex), np.arange(4), np.ones(4, np.int32), np.ones(3, np.float32),
      np.ones(10)[::2], np.ones((3, 3), complex), [[1, 2], [3]], object(),
      live_plan, closed, record, lambda x, a: math.nan, lambda x, a: 1.0,
  ], (live_plan, record)


def test_hostile_calls_never_crash():
  pool, keep = _pool()
  rng = random.Random(20261209)
  calls = returned = 0
  with warnings.catch_warnings():
    warnings.simplefilter("ignore")
    for name in sorted(qmanlys._exports):
      if name in ("free_library_memory", "free_library_memory_alias", "fft_plan_destroy"):
        continue  # they would close the shared handles of the pool
      function = getattr(qmanlys, name)
      count = _positional_count(function)
      for _ in range(300):
        args = [rng.choice(pool) for _ in range(count)]
        try:
          function(*args)
          returned += 1
        except qmanlys.Error:
          returned += 1
        except (TypeError, ValueError, OverflowError, MemoryError, RuntimeError,
                ZeroDivisionError):
          pass
        calls += 1
  assert calls > 50000
  assert returned > 2000, returned  # deep enough to reach the library often
  print("%d calls, %d reached a status or a result" % (calls, returned))
  del keep
