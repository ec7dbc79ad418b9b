"""Shared by the gallery scripts: where pictures go, headless matplotlib, and
a clear message when the installed package lacks a function a script uses."""

import os
import sys

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt  # noqa: E402

import qmanlys  # noqa: E402


def need(*names):
  """Exits with status 3 naming the functions qmanlys does not have."""
  missing = [n for n in names if not hasattr(qmanlys, n)]
  if missing:
    print("%s waits for qmanlys.%s" % (os.path.basename(sys.argv[0]), ", qmanlys.".join(missing)),
          file=sys.stderr)
    sys.exit(3)


def output_dir():
  """The first argument, else $QM_EXAMPLES_DIR, else build/examples."""
  d = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("QM_EXAMPLES_DIR", "build/examples")
  os.makedirs(d, exist_ok=True)
  return d


def save(fig, name):
  path = os.path.join(output_dir(), name)
  fig.savefig(path, dpi=100)
  plt.close(fig)
  print(path)
  return path


def db(power, floor=1e-30):
  import numpy as np
  return 10.0 * np.log10(np.maximum(power, floor))
