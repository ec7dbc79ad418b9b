#!/usr/bin/env python3
"""Spectra and pulse parameters of 10,000 records with dask.array.

    many_records_dask.py [OUTPUT_DIR] [--records 10000] [--scheduler ADDRESS]

Each record is 1024 samples of a noisy pulse with its own delay, width and
edge time. The records are made chunk by chunk (500 records a chunk, never
all in memory at once); every chunk goes through qmanlys one record at a
time, and dask runs the chunks in parallel. qmanlys releases the GIL inside
each call, so the local threaded scheduler (the default here) keeps every
core busy without copying data between processes. The script prints the
medians of the measured parameters and writes many_records_dask.png (mean
power spectrum, distribution of rise times).

The same code runs on a dask.distributed cluster: start a scheduler and
workers on the machines (`dask scheduler`, then `dask worker tcp://HOST:8786`
on each; each worker's Python needs NumPy and qmanlys, installed with
`cmake --install` or `pip install ./python`), then pass the scheduler's
address:

    many_records_dask.py --scheduler tcp://HOST:8786

With --scheduler the script makes a dask.distributed Client, which becomes
the default scheduler of compute(); nothing else changes. The chunks are
generated on the workers from their block index, so only the small results
travel back.
"""

import argparse
import os
import sys

import numpy as np
import dask
import dask.array as da

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gallery import db, need, plt  # noqa: E402
import qmanlys  # noqa: E402

SAMPLES, CHUNK = 1024, 500


def make_records(block_id=None):
  """One chunk of records, the same for a given block on any machine."""
  b = block_id[0]
  rng = np.random.default_rng(1000 + b)
  i = np.arange(SAMPLES, dtype=float)
  delay = rng.uniform(150, 350, (CHUNK, 1))
  width = rng.uniform(200, 500, (CHUNK, 1))
  edge = rng.uniform(5, 40, (CHUNK, 1))
  rise = np.clip((i - delay) / edge, 0, 1)
  fall = np.clip((i - delay - width) / edge, 0, 1)
  return rise - fall + 0.01 * rng.standard_normal((CHUNK, SAMPLES))


def spectra(records):
  """One-sided power spectra (n/2 bins, 1 sample apart in time), one a record."""
  out = np.empty((records.shape[0], SAMPLES // 2))
  for r, x in enumerate(records):
    qmanlys.power_spectrum(x, dt=1.0, spectrum=out[r])
  return out


def pulse_table(records):
  """amplitude, width, rise time and fall time (samples) of each record."""
  out = np.empty((records.shape[0], 4))
  for r, x in enumerate(records):
    p = qmanlys.pulse_parameters(x)
    out[r] = (p[0], p[9], p[10], p[11])
  return out


def main():
  ap = argparse.ArgumentParser(description="Spectra and pulse parameters of many records")
  ap.add_argument("output", nargs="?", default=os.environ.get("QM_EXAMPLES_DIR", "build/examples"))
  ap.add_argument("--records", type=int, default=10_000, help="a multiple of %d" % CHUNK)
  ap.add_argument("--scheduler", help="address of a dask.distributed scheduler")
  args = ap.parse_args()
  need("power_spectrum", "pulse_parameters")
  if args.scheduler:
    from dask.distributed import Client
    client = Client(args.scheduler)  # the default scheduler from here on
    print(client)
  else:
    dask.config.set(scheduler="threads")

  blocks = max(1, args.records // CHUNK)
  records = da.map_blocks(make_records, chunks=((CHUNK,) * blocks, (SAMPLES,)), dtype=float)
  power = records.map_blocks(spectra, chunks=(CHUNK, SAMPLES // 2), dtype=float)
  table = records.map_blocks(pulse_table, chunks=(CHUNK, 4), dtype=float)
  # One pass over the records: each chunk is made once and feeds both results.
  mean_power, params = dask.compute(power.mean(axis=0), table)

  names = ("amplitude", "width", "rise time", "fall time")
  print("%d records of %d samples" % (params.shape[0], SAMPLES))
  for k, name in enumerate(names):
    q = np.percentile(params[:, k], [5, 50, 95])
    print("  %-9s  median %8.3f  (5 %% %8.3f, 95 %% %8.3f)" % (name, q[1], q[0], q[2]))

  fig, (left, right) = plt.subplots(1, 2, figsize=(11, 4))
  left.plot(np.arange(mean_power.size) / SAMPLES, db(mean_power))
  left.set(xlabel="frequency (cycles/sample)", ylabel="dB",
           title="Mean power spectrum of %d records" % params.shape[0])
  left.grid(alpha=0.3)
  right.hist(params[:, 2], bins=np.arange(46) - 0.5, color="tab:green")
  right.set(xlabel="rise time (samples, 10-90 %)", ylabel="records",
            title="Measured rise times (linear edges of 5-40 samples)")
  right.grid(alpha=0.3)
  fig.tight_layout()
  os.makedirs(args.output, exist_ok=True)
  path = os.path.join(args.output, "many_records_dask.png")
  fig.savefig(path, dpi=100)
  print(path)


if __name__ == "__main__":
  main()
