#!/usr/bin/env python3
"""Runs every gallery script into one folder (make examples):

    PYTHONPATH=build/python /usr/bin/python3 examples/python/run_all.py build/examples

Prints each script's pictures; a script whose functions the package lacks
says which it waits for. Exits 1 if any script failed or waited."""

import glob
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
  out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/examples")
  os.makedirs(out, exist_ok=True)
  scripts = sorted(p for p in glob.glob(os.path.join(HERE, "*.py"))
                   if os.path.basename(p) not in ("gallery.py", "run_all.py"))
  bad = []
  for script in scripts:
    name = os.path.basename(script)
    done = subprocess.run([sys.executable, script, out], capture_output=True, text=True)
    if done.returncode == 0:
      print("%-24s %s" % (name, " ".join(os.path.relpath(l, out) for l in done.stdout.split()
                                         if l.endswith(".png"))))
    else:
      lines = (done.stderr.strip() or done.stdout.strip() or "failed").splitlines()
      print("%-24s %s" % (name, "WAITS: " + lines[-1] if done.returncode == 3 else "FAILED:\n"
                          + "\n".join(lines[-15:])))
      bad.append(name)
  print("%d of %d scripts made their pictures in %s" % (len(scripts) - len(bad), len(scripts), out))
  return 1 if bad else 0


if __name__ == "__main__":
  sys.exit(main())
