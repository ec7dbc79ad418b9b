#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the chirp-Z transform exports.

Writes chirp_z_golden.txt beside this script, one line per quantity,
`name key v0 v1 ...` with 17 significant digits:
    params key  Re A, Im A, Re W, Im W, m, complex input (0/1)
    input  key  the samples (complex ones interleaved)
    czt    key  scipy.signal.czt(x, m, w, a), interleaved
A and W are written as the doubles the tests pass, so the tests read them
back and use exactly these values. Run with /usr/bin/python3 (NumPy, SciPy).
"""
import os
import numpy as np
from scipy.signal import czt


def seq_x(n):
    j = np.arange(n)
    return ((7919 * j + 13) % 1009) / 1009.0 - 0.5


def seq_y(n):
    j = np.arange(n)
    return ((104729 * j + 7) % 997) / 997.0 - 0.25


CASES = [
    # key, n, m, A, W, complex input
    ("dft16", 16, 16, 1.0 + 0j, np.exp(-2j * np.pi / 16), False),
    ("zoom_real", 37, 20, np.exp(2j * np.pi * 0.1), np.exp(-2j * np.pi * 0.002), False),
    ("prime_real", 101, 61, np.exp(-0.3j), np.exp(-2j * np.pi / 97), False),
    ("spiral", 50, 64, 0.9 * np.exp(1j * np.pi / 7), 0.995 * np.exp(-0.05j), True),
    ("outward", 24, 30, 1.1 * np.exp(-0.2j), 1.002 * np.exp(0.07j), True),
    ("single", 1, 5, 0.5 + 0.25j, 0.8 - 0.6j, True),
    ("many_out", 8, 200, np.exp(0.5j), np.exp(-2j * np.pi / 200), True),
]


def fmt(v):
    return " ".join("%.17g" % t for t in v)


def main():
    lines = []
    for key, n, m, a, w, cplx in CASES:
        a = complex(a)
        w = complex(w)
        x = seq_x(n) + 1j * seq_y(n) if cplx else seq_x(n)
        X = czt(x, m, w, a)
        lines.append("params %s %s" % (key, fmt([a.real, a.imag, w.real, w.imag, m, int(cplx)])))
        if cplx:
            flat = np.empty(2 * n)
            flat[0::2] = x.real
            flat[1::2] = x.imag
        else:
            flat = x
        lines.append("input %s %s" % (key, fmt(flat)))
        out = np.empty(2 * m)
        out[0::2] = X.real
        out[1::2] = X.imag
        lines.append("czt %s %s" % (key, fmt(out)))
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "chirp_z_golden.txt")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
