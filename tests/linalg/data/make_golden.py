#!/usr/bin/python3
# Needs the Debian packages python3-mpmath (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the real matrix tests.

Writes golden.txt: for each case a header line
    case <name> <type> <n>
then the n*n matrix (row-major, exact doubles written with repr), the
determinant, the 1-norm condition number and the n*n inverse, all computed
from the exact double entries with 60-digit mpmath arithmetic and rounded to
the nearest double. Run: /usr/bin/python3 make_golden.py > golden.txt
"""
import random

import mpmath

mpmath.mp.dps = 60
rng = random.Random(20240611)


def general(n):
    # entries k/64 with |k| <= 64: exact in binary, diagonally weighted
    a = [[rng.randint(-64, 64) / 64.0 for _ in range(n)] for _ in range(n)]
    for i in range(n):
        a[i][i] += 2.0
    return a


def ill(n):
    # Hilbert matrix rounded to doubles: kappa grows like e^(3.5 n)
    return [[1.0 / (i + j + 1) for j in range(n)] for i in range(n)]


def spd(n):
    m = [[rng.randint(-32, 32) / 32.0 for _ in range(n)] for _ in range(n)]
    return [[sum(m[k][i] * m[k][j] for k in range(n)) + (n if i == j else 0.0)
             for j in range(n)] for i in range(n)]


def lower(n):
    a = [[rng.randint(-64, 64) / 64.0 if j <= i else 0.0 for j in range(n)] for i in range(n)]
    for i in range(n):
        a[i][i] = 1.0 + rng.randint(1, 64) / 64.0
    return a


def upper(n):
    return [list(r) for r in zip(*lower(n))]


def emit(name, mtype, a):
    n = len(a)
    m = mpmath.matrix([[mpmath.mpf(x) for x in row] for row in a])
    det = mpmath.det(m)
    inv = m ** -1
    norm1 = lambda x: max(sum(abs(x[i, j]) for i in range(n)) for j in range(n))
    cond = norm1(m) * norm1(inv)
    print("case", name, mtype, n)
    for row in a:
        print(" ".join(repr(float(x)) for x in row))
    print(repr(float(det)))
    print(repr(float(cond)))
    for i in range(n):
        print(" ".join(repr(float(inv[i, j])) for j in range(n)))


for n in (1, 2, 3, 7, 50):
    emit("general%d" % n, 0, general(n))
    emit("spd%d" % n, 1, spd(n))
    emit("lower%d" % n, 2, lower(n))
    emit("upper%d" % n, 3, upper(n))
for n in (2, 3, 7):
    emit("hilbert%d" % n, 0, ill(n))
