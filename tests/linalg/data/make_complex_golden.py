#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the complex matrix tests, from numpy.linalg and
scipy.linalg.

Writes complex_golden.txt: for each case a header line
    case <name> <m> <n>
then the m*n matrix A and (for square cases) the n*n matrix B, both as
"re im" pairs row by row (entries k/64: exact in binary), then
    det re im                        (square cases)
    inv  n*n pairs                   (square cases)
    pinv n*m pairs
    sv   min(m, n) values
    eig  n pairs, sorted by (re, im) (square cases)
    geig n pairs, sorted by (re, im) (square cases: eigenvalues of (A, B))
Run: /usr/bin/python3 make_complex_golden.py > complex_golden.txt
"""
import random

import numpy as np
import scipy.linalg as sl

rng = random.Random(20261209)


def entries(m, n, diag=0.0):
    a = np.array([[complex(rng.randint(-64, 64) / 64.0, rng.randint(-64, 64) / 64.0)
                   for _ in range(n)] for _ in range(m)])
    for i in range(min(m, n)):
        a[i, i] += diag
    return a


def pairs(values):
    return " ".join("%r %r" % (float(v.real), float(v.imag)) for v in np.ravel(values))


def ordered(values):
    return sorted(values, key=lambda v: (round(v.real, 9), round(v.imag, 9)))


def emit(name, a, b=None):
    m, n = a.shape
    print("case %s %d %d" % (name, m, n))
    print(pairs(a))
    square = m == n
    if square:
        print(pairs(b))
        d = np.linalg.det(a)
        print("det %r %r" % (d.real, d.imag))
        print("inv " + pairs(np.linalg.inv(a)))
    print("pinv " + pairs(np.linalg.pinv(a)))
    print("sv " + " ".join(repr(float(s)) for s in sl.svdvals(a)))
    if square:
        print("eig " + pairs(ordered(np.linalg.eigvals(a))))
        w = sl.eigvals(a, b)
        print("geig " + pairs(ordered(w)))


for n in (3, 5, 8, 17):
    emit("square%d" % n, entries(n, n, 1.5), entries(n, n, 2.0))
emit("tall7x4", entries(7, 4))
emit("wide3x6", entries(3, 6))
