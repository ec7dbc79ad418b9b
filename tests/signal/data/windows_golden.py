#!/usr/bin/env python3
# Needs the Debian packages python3-mpmath python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference weights for the window tests (windows_golden.txt).

Run with /usr/bin/python3 from this directory. Each record is one line:
    <code> <form> <n> <parameter> <tolerance> w[0] ... w[n-1]
form 0 = periodic, 1 = symmetric; the parameter is the one the generator
takes as it stands (beta, linear side-lobe ratio, sigma). Cosine sums and
Kaiser come from mpmath at 40 digits (Kaiser with the true I0, hence the
looser tolerance for the truncated series); Dolph-Chebyshev, Gaussian,
Bartlett-Hann and Bohman from scipy.signal.windows.
"""
import mpmath
import numpy as np
from scipy.signal import windows as sw

mpmath.mp.dps = 40

COSINE = {
    1: [0.5, 0.5],
    2: [0.54, 0.46],
    3: [0.42323, 0.49755, 0.07922],
    4: ["0.42659071367153911", "0.49656061908856410", "0.07684866723989682"],
    5: [0.42, 0.5, 0.08],
    6: ["0.215578948", "0.41663158", "0.277263158", "0.083578947", "0.006947368"],
    7: ["0.35875", "0.48829", "0.14128", "0.01168"],
    8: ["0.27105140069342", "0.43329793923449", "0.21812299954311", "0.06592544638803",
        "0.01081174209837", "0.00077658482523", "0.00001388721735"],
    9: ["0.323215218", "0.471492057", "0.17553428", "0.028497078", "0.001261367"],
    11: ["0.3635819", "0.4891775", "0.1365995", "0.0106411"],
}


def cosine_sum(coeffs, period, count):
    a = [mpmath.mpf(str(c)) for c in coeffs]
    return [float(sum((-1) ** k * a[k] * mpmath.cos(2 * mpmath.pi * k * i / period)
                      for k in range(len(a)))) for i in range(count)]


def kaiser(beta, period, count):
    b = mpmath.mpf(beta)
    i0b = mpmath.besseli(0, b)
    out = []
    for i in range(count):
        t = 1 - mpmath.mpf(2 * i) / period
        out.append(float(mpmath.besseli(0, b * mpmath.sqrt(1 - t * t)) / i0b))
    return out


records = []


def add(code, form, n, param, tol, w):
    records.append("%d %d %d %.17g %.3g %s" % (code, form, n, param, tol,
                                              " ".join("%.17g" % v for v in w)))


for n in (3, 8, 33, 64):
    for code, coeffs in COSINE.items():
        add(code, 0, n, 0.0, 2e-15, cosine_sum(coeffs, n, n))
        w = cosine_sum(coeffs, n - 1, n - 1)
        add(code, 1, n, 0.0, 2e-15, w + [w[0]])
    for beta in (0.5, 6.0, 14.0):
        add(60, 0, n, beta, 1e-9, kaiser(beta, n, n))
    for db in (40.0, 100.0):
        ratio = 10.0 ** (db / 20.0)
        add(61, 0, n, ratio, 1e-11, sw.chebwin(n, db, sym=False))
        add(61, 1, n, ratio, 1e-11, sw.chebwin(n, db, sym=True))
    for sigma in (0.2, 0.45):
        add(62, 0, n, sigma, 1e-15, sw.gaussian(n, sigma * (n + 1), sym=False))
        add(62, 1, n, sigma, 1e-15, sw.gaussian(n, sigma * n, sym=True))
    add(31, 0, n, 0.0, 2e-15, sw.barthann(n, sym=False))
    add(32, 0, n, 0.0, 2e-15, sw.bohman(n, sym=False))

with open("windows_golden.txt", "w") as f:
    f.write("\n".join(records) + "\n")
print(len(records), "records")
