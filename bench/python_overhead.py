#!/usr/bin/env python3
"""What the Python package costs over calling the library from C.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_overhead.py \
        [--c-program build/bench/bench_python_overhead_c] [--repeats 31] [--clock cpu|wall]

Times, in one run, each workload through the package and through the C
program bench_python_overhead_c (bench/python_overhead_c.c: the same export
called from C on the same data, as a C caller calls it), alternating the
two sides batch by batch so that both see the same load. The table gives
the median time per call of each side and judges the median over the
neighbouring pairs of batches (the fastest batches of each side beside):

  * a call on a 16-element array (real_fft): the difference package - C in
    microseconds (goal <= 2 us);
  * 1e6-sample work: real_fft, complex_fft, real_fft_interleaved, complex_fft_interleaved
    (new output, and into out=) and the filter butterworth_lowpass (order 8): the ratio package / C
    (goal <= 1.05).

--clock cpu (the default) times the calling thread's CPU time (user and
system, so page faults count; preemption by other jobs does not), wall the
elapsed time. Workloads whose function the package does not have yet are
listed as missing. Not part of the test suite; exits 1 if a goal is missed.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

import numpy as np

import qmanlys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_C = os.path.join(HERE, "..", "build", "bench", "bench_python_overhead_c")


def signal(n):
  i = np.arange(n, dtype=np.float64)
  return np.sin(0.01 * i) + 0.5 * np.sin(0.37 * i)


def interleaved(n):
  """n complex values from the 2n-sample signal, as the C side reads them."""
  return signal(2 * n).view(np.complex128)


class CSide:
  """The C program, kept running: one batch per request."""

  def __init__(self, program):
    self.p = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

  def batch(self, workload, n, count, clock):
    self.p.stdin.write("%s %d %d %s\n" % (workload, n, count, clock))
    self.p.stdin.flush()
    line = self.p.stdout.readline()
    if not line:
      sys.exit("the C program stopped on %s" % workload)
    return float(line)

  def close(self):
    self.p.stdin.close()
    self.p.wait()


def python_batch(call, count, clock):
  now = time.thread_time_ns if clock == "cpu" else time.perf_counter_ns
  t0 = now()
  for _ in range(count):
    call()
  return (now() - t0) / count


def workloads():
  """(label, C workload, n, calls per batch, Python call or None, kind)."""
  fft = qmanlys.fft
  x16 = signal(16)
  x6 = signal(10**6)
  z6 = interleaved(10**6)
  x2_6 = signal(2 * 10**6)
  z6_out = np.empty_like(z6)
  # The C side's split parts: the first n samples real, the next n imaginary.
  z6_split = x2_6[:10**6] + 1j * x2_6[10**6:]
  lowpass = getattr(getattr(qmanlys, "filters", None), "butterworth_lowpass", None)
  rows = [
      ("real_fft, 16 samples", "real_fft", 16, 2000, lambda: fft.real_fft(x16), "diff"),
      ("real_fft, 1e6", "real_fft", 10**6, 1, lambda: fft.real_fft(x6), "ratio"),
      ("real_fft_interleaved, 1e6", "real_fft_interleaved", 10**6, 1,
       lambda: fft.real_fft_interleaved(x6), "ratio"),
      ("complex_fft, 1e6", "complex_fft", 10**6, 1,
       lambda: fft.complex_fft(z6_split), "ratio"),
      ("complex_fft_interleaved, 1e6", "complex_fft_interleaved", 10**6, 1,
       lambda: fft.complex_fft_interleaved(z6), "ratio"),
      ("complex_fft_interleaved, 1e6, out=", "complex_fft_interleaved", 10**6, 1,
       lambda: fft.complex_fft_interleaved(z6, out=z6_out), "ratio"),
      ("butterworth_lowpass order 8, 1e6", "butterworth_lowpass", 10**6, 1,
       None if lowpass is None else (lambda: lowpass(x6, 1000.0, 50.0, 8)), "ratio"),
  ]
  return rows


def main():
  ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
  ap.add_argument("--c-program", default=DEFAULT_C)
  ap.add_argument("--repeats", type=int, default=31, help="batches per side and workload")
  ap.add_argument("--clock", choices=("cpu", "wall"), default="cpu")
  args = ap.parse_args()
  if not os.access(args.c_program, os.X_OK):
    sys.exit("no C program at %s: cmake --build build --target bench_python_overhead_c"
             % args.c_program)

  c_side = CSide(args.c_program)
  results = []
  missed = False
  for label, workload, n, count, call, kind in workloads():
    if call is None:
      results.append((label, None, None, "missing from the package"))
      continue
    for _ in range(3):  # warm-up: plans, page faults, caches
      c_side.batch(workload, n, count, args.clock)
      python_batch(call, count, args.clock)
    py, c = [], []
    for _ in range(args.repeats):
      c.append(c_side.batch(workload, n, count, args.clock))
      py.append(python_batch(call, count, args.clock))
    py_ns, c_ns = statistics.median(py), statistics.median(c)
    # Judged on the median over the pairs of neighbouring batches, which
    # follows the load as it changes; the fastest batches are shown beside.
    if kind == "diff":
      value = statistics.median(p - q for p, q in zip(py, c)) / 1000.0
      ok = value <= 2.0
      verdict = "%+.2f us (goal <= 2 us; fastest %+.2f)" % (value, (min(py) - min(c)) / 1000.0)
    else:
      value = statistics.median(p / q for p, q in zip(py, c))
      ok = value <= 1.05
      verdict = "%.3f x (goal <= 1.05; fastest %.3f)" % (value, min(py) / min(c))
    missed |= not ok
    results.append((label, py_ns, c_ns, verdict + ("" if ok else "  MISSED")))
  c_side.close()

  def us(ns):
    return "-" if ns is None else ("%.3f" % (ns / 1000.0) if ns < 1e5 else "%.0f" % (ns / 1000.0))

  width = max(len(r[0]) for r in results)
  print("%-*s  %12s  %12s  %s" % (width, "workload", "package us", "C us", "package vs C"))
  for label, py_ns, c_ns, verdict in results:
    print("%-*s  %12s  %12s  %s" % (width, label, us(py_ns), us(c_ns), verdict))
  print("(%s time, medians of %d batches per side; load average %.1f)"
        % (args.clock, args.repeats, os.getloadavg()[0]))
  return 1 if missed else 0


if __name__ == "__main__":
  sys.exit(main())
