#!/usr/bin/python3
# Needs the Debian packages python3-numpy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for convolution, correlation and phase unwrapping from
NumPy. Writes convolution_golden.txt beside this script, one case a line:

    conv n m x[0..n-1] y[0..m-1] numpy.convolve(x, y)
    corr n m x[0..n-1] y[0..m-1] numpy.correlate(y, x, 'full')
    unwrap n p[0..n-1] numpy.unwrap(p)                 (radians)
    unwrapdeg n p[0..n-1] numpy.unwrap(p, period=360)  (degrees)

The library's correlation of x with y, out[d] = sum_k x[k] y[k + d - (n-1)],
is numpy.correlate(y, x, 'full'). numpy.unwrap keeps a jump of exactly +pi
where the library moves it to -pi: the phase cases keep every jump at least
1e-6 away from an odd multiple of half a period (ties are tested apart).
"""
import math
import os
import random

import numpy as np

random.seed(19019)


def fmt(values):
    return " ".join("%.17g" % v for v in values)


def sequence(n):
    kind = random.randint(0, 2)
    if kind == 0:
        return [random.uniform(-1, 1) for _ in range(n)]
    if kind == 1:
        return [random.gauss(0, 100) for _ in range(n)]
    return [float(random.randint(-9, 9)) for _ in range(n)]


def phases(n, period):
    out, p = [], random.uniform(-period, period)
    while len(out) < n:
        step = random.uniform(-0.49, 0.49) * period + random.randint(-3, 3) * period
        # Keep the wrapped jump away from the +-period/2 tie.
        if abs(abs(math.remainder(step, period)) - period / 2) < 1e-6 * period:
            continue
        p += step
        out.append(p)
    return out


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "convolution_golden.txt")
    sizes = [(1, 1), (1, 7), (7, 1), (2, 3), (12, 12), (23, 1), (1, 47), (24, 24), (17, 31),
             (100, 3), (3, 100), (61, 59), (97, 101), (401, 13), (13, 401)]
    sizes += [(random.randint(1, 120), random.randint(1, 120)) for _ in range(10)]
    with open(path, "w") as f:
        for n, m in sizes:
            x, y = sequence(n), sequence(m)
            xa, ya = np.array(x), np.array(y)
            f.write("conv %d %d %s %s %s\n" % (n, m, fmt(x), fmt(y), fmt(np.convolve(xa, ya))))
            f.write("corr %d %d %s %s %s\n"
                    % (n, m, fmt(x), fmt(y), fmt(np.correlate(ya, xa, "full"))))
        for n in [1, 2, 3, 10, 100, 400]:
            p = phases(n, 2 * math.pi)
            f.write("unwrap %d %s %s\n" % (n, fmt(p), fmt(np.unwrap(np.array(p)))))
            p = phases(n, 360.0)
            f.write("unwrapdeg %d %s %s\n"
                    % (n, fmt(p), fmt(np.unwrap(np.array(p), period=360.0))))


if __name__ == "__main__":
    main()
