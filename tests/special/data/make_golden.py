#!/usr/bin/python3
# Needs the Debian packages python3-mpmath (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the special functions, computed with mpmath at 30
digits. Writes golden.tsv beside this script, one case a line:

    function  arg1 [arg2 [arg3]]  expected  scale

Arguments are written with 17 significant digits (they read back as the same
doubles that were given to mpmath), the value with 25. `scale` is the local
envelope for functions that oscillate or cross zero: the test measures the
error |got - expected| / max(|expected|, scale), so near a zero the error is
absolute relative to the envelope; 0 means a plain relative error.

Inputs are log-spaced over each function's range and placed on both sides of
every threshold of the implementation (1 and 8 for erfc, 33 and 1000 for
ln gamma, 10 and the root for digamma, ...). Run with /usr/bin/python3
(Debian python3-mpmath).
"""
import math
import os
import random

import mpmath as mp

mp.mp.dps = 30
random.seed(15)
rows = []


def f17(x):
    return repr(float(x))


def emit(name, args, value, scale=0):
    value = mp.mpf(value)
    if not mp.isfinite(value):
        return
    if value != 0 and abs(value) < mp.mpf("1e-300"):
        return  # below the normal range: not a fair relative target
    if abs(value) > mp.mpf("1e300"):
        return
    rows.append("%s\t%s\t%s\t%s" % (name, "\t".join(f17(a) for a in args),
                                    mp.nstr(value, 25, min_fixed=-mp.inf, max_fixed=mp.inf)
                                    if False else mp.nstr(value, 25), mp.nstr(mp.mpf(scale), 6)))


def logspace(lo, hi, n):
    return [10.0 ** (lo + (hi - lo) * i / (n - 1)) for i in range(n)]


def around(points, rel=(1e-12, 1e-6, 1e-3, 0.02)):
    out = []
    for p in points:
        out.append(p)
        for r in rel:
            out += [p * (1 - r), p * (1 + r)] if p != 0 else [r, -r]
    return out


def rand(lo, hi, n, log=True):
    if log:
        return [10.0 ** random.uniform(math.log10(lo), math.log10(hi)) for _ in range(n)]
    return [random.uniform(lo, hi) for _ in range(n)]


# ---- error functions ----------------------------------------------------------
for x in logspace(-12, math.log10(26.5), 120) + around([1.0, 8.0]) + rand(0.5, 26.6, 100):
    for s in (1, -1):
        emit("erf", [s * x], mp.erf(s * x))
        emit("erfc", [s * x], mp.erfc(s * x))

# ---- gamma family ------------------------------------------------------------
gx = logspace(-300, math.log10(171.6), 150) + around([1e-9, 2.0, 3.0, 33.0, 143.01608]) \
    + rand(1e-3, 171.6, 150)
for x in gx:
    emit("gamma", [x], mp.gamma(x))
neg = [-(k + f) for k in range(0, 171) for f in (1e-9, 0.25, 0.5, 0.9)] + rand(1e-3, 184, 150)
for x in neg:
    x = -abs(x)
    if x != math.floor(x):
        emit("gamma", [x], mp.gamma(x))
for x in logspace(math.log10(33), math.log10(171.6), 80) + around([143.01608]):
    emit("gamma_stirling", [x], mp.gamma(x))
lx = logspace(-300, 305, 200) + around([33.0, 1000.0, 3.0]) + rand(1e-3, 1e4, 150) \
    + [1 + d for d in (1e-15, -1e-15, 1e-9, -1e-9, 1e-4, -1e-4)] \
    + [2 + d for d in (1e-15, -1e-15, 1e-9, -1e-9, 1e-4, -1e-4)]
for x in lx:
    emit("lgamma", [x], mp.loggamma(x), 1.0)
for n in list(range(0, 171)):
    emit("factorial", [n], mp.factorial(n))
for n in list(range(0, 60)) + [100, 1000, 10**5, 10**7, 10**9, 2147483647]:
    emit("log_factorial", [n], mp.loggamma(n + 1), 1.0)
root = float(mp.findroot(mp.digamma, 1.46))
dx = logspace(-300, 15, 150) + around([root, 10.0, 1.0, 2.0]) + rand(1e-3, 100, 100) + \
    list(range(1, 12))
for x in dx:
    emit("digamma", [x], mp.digamma(x), 1.0 if 0.9 < x < 2.1 else 0)
for x in rand(1e-3, 60, 120):
    x = -x
    if x != math.floor(x):
        emit("digamma", [x], mp.digamma(x), abs(mp.digamma(1 - x)) + 1)
for _ in range(300):
    a = 10.0 ** random.uniform(-3, 4)
    b = 10.0 ** random.uniform(-3, 4)
    emit("beta", [a, b], mp.beta(a, b))
for a, b in [(0.5, 0.5), (1, 1), (2, 3), (10, 161.5), (9.99, 170), (100, 100), (200, 300),
             (0.001, 1000), (5, 1e6), (1e4, 1e4), (-0.5, 2.25), (-1.5, -2.25), (-2.5, 0.75)]:
    emit("beta", [a, b], mp.beta(a, b))

# ---- incomplete gamma and beta -------------------------------------------------
def lower_gamma_large(a, x):
    """P(a, x) = x^a e^-x / Gamma(a+1) 1F1(1; a+1; x), at 60 digits."""
    with mp.workdps(60):
        a, x = mp.mpf(a), mp.mpf(x)
        pre = mp.exp(a * mp.log(x) - x - mp.loggamma(a + 1))
        return pre * mp.hyp1f1(1, a + 1, x, maxterms=10**8)


for _ in range(500):
    a = 10.0 ** random.uniform(-3, 3)
    x = a * 10.0 ** random.uniform(-2, 1)
    p = mp.gammainc(a, 0, x, regularized=True)
    q = mp.gammainc(a, x, mp.inf, regularized=True)
    emit("gammainc_p", [a, x], p)
    emit("gammainc_q", [a, x], q, 0 if a >= 1 or x > a + 1 else 1)
for _ in range(200):
    a = 10.0 ** random.uniform(3, 7)
    x = a * (1 + random.uniform(-5, 5) / math.sqrt(a))
    p = lower_gamma_large(a, x)
    emit("gammainc_p_large", [a, x], p)
    with mp.workdps(60):
        emit("gammainc_q_large", [a, x], 1 - p)
for _ in range(12):
    a = 10.0 ** random.uniform(9.2, 10.5)
    x = a * (1 + random.uniform(-5, 5) / math.sqrt(a))
    emit("gammainc_p_huge", [a, x], lower_gamma_large(a, x))
for _ in range(500):
    a = 10.0 ** random.uniform(-2, 2.5)
    b = 10.0 ** random.uniform(-2, 2.5)
    x = random.random()
    if random.random() < 0.3:
        x = 10.0 ** random.uniform(-8, 0) * (1 if random.random() < 0.5 else -1)
        x = x if x > 0 else 1 + x
    # With a parameter below 0.1 a small result may be formed as 1 - w with
    # w near 1: held to an absolute error there.
    sc = 1 if min(a, b) < 0.1 else 0
    with mp.workdps(60):
        emit("betainc", [a, b, x], mp.betainc(a, b, 0, x, regularized=True), sc)
        emit("betainc_c", [a, b, x], mp.betainc(b, a, 0, 1 - mp.mpf(x), regularized=True), sc)
def beta_large(a, b, x):
    """I_x(a, b) = x^a y^b / (a B(a, b)) 2F1(a+b, 1; a+1; x) below the mean,
    by symmetry above it, at 60 digits."""
    with mp.workdps(60):
        a, b, x = mp.mpf(a), mp.mpf(b), mp.mpf(x)
        flip = x > a / (a + b)
        if flip:
            a, b, x = b, a, 1 - x
        pre = mp.exp(a * mp.log(x) + b * mp.log(1 - x) - mp.log(a) - mp.log(mp.beta(a, b)))
        v = pre * mp.hyp2f1(a + b, 1, a + 1, x, maxterms=10**8)
        return 1 - v if flip else v


for _ in range(150):
    a = 10.0 ** random.uniform(2.5, 5)
    b = 10.0 ** random.uniform(2.5, 5)
    m = a / (a + b)
    x = m + random.uniform(-4, 4) * math.sqrt(a * b / (a + b) ** 3)
    if 0 < x < 1:
        emit("betainc_large", [a, b, x], beta_large(a, b, x))

# ---- exponential and trigonometric-type integrals ------------------------------
def expn_reference(n, x):
    """E_n(x): mpmath's expint for x <= 1; beyond, where expint loses digits
    to cancellation for large n, the continued fraction
    e^-x / (x + n - 1 n / (x + n + 2 - 2 (n + 1) / (x + n + 4 - ...))) at 50
    digits, evaluated backward from a depth where it has converged."""
    if x <= 1:
        return mp.expint(n, x)
    with mp.workdps(50):
        x = mp.mpf(x)
        def cf(depth):
            t = mp.mpf(0)
            for i in range(depth, 0, -1):
                t = -i * (n - 1 + i) / (x + n + 2 * i + t)
            return mp.exp(-x) / (x + n + t)
        depth = 50
        v = cf(depth)
        while True:
            depth *= 2
            w = cf(depth)
            if abs(w - v) <= abs(w) * mp.mpf(10) ** -35:
                return w
            v = w


for n in [0, 1, 2, 3, 5, 10, 50, 100, 1000, 4999, 5001, 10**4, 10**6, 2147483647]:
    for x in logspace(-10, math.log10(700), 40) + around([1.0]):
        if n == 0 or x > 0:
            emit("expn", [x, n], expn_reference(n, x))
for x in logspace(-10, 10, 160) + around([4.0, 8.0]) + rand(0.1, 100, 100):
    for s_ in (1, -1):
        emit("si", [s_ * x], mp.si(s_ * x))
        emit("ci", [s_ * x], mp.re(mp.ci(s_ * x)), 1.0 / x if x > 4 else 1.0)
for x in logspace(-10, math.log10(716), 120) + around([8.0, 18.0, 88.0]) + rand(0.1, 700, 100):
    for s_ in (1, -1):
        emit("shi", [s_ * x], mp.shi(s_ * x))
        emit("chi", [s_ * x], mp.re(mp.chi(s_ * x)), 1.0 if x < 1 else 0)
for x in logspace(-10, math.log10(36974), 150) + around([1.6, 36974 / 1.03]) + rand(1, 1000, 150):
    for s_ in (1, -1):
        emit("fresnel_s", [s_ * x], mp.fresnels(s_ * x))
        emit("fresnel_c", [s_ * x], mp.fresnelc(s_ * x))
def dawson(x):
    return mp.sqrt(mp.pi) / 2 * mp.exp(-x * x) * mp.erfi(x)
for x in logspace(-10, 10, 120) + around([3.25, 6.25]):
    for s_ in (1, -1):
        with mp.workdps(60):
            emit("dawson", [s_ * x], dawson(mp.mpf(s_ * x)))
for x in logspace(-10, 10, 150) + around([0.5, 1.0, 1.5, 2.0]) + rand(0.01, 10, 100):
    emit("spence", [x], mp.polylog(2, 1 - mp.mpf(x)))


# ---- Bessel and Airy functions ----------------------------------------------------
def modulus(v, x):
    return mp.sqrt(mp.besselj(v, x) ** 2 + mp.bessely(v, x) ** 2)


bx = logspace(-5, 4, 70) + [21.9, 22.0, 22.1, 1.99, 2.0, 2.01]
for v in [0, 1e-14, 0.5, 1, 2, 2 + 1e-14, 2 - 1e-10, 2.5, 3.3, 10, 30.7, 100, 500.25]:
    for x in bx + around([v]) if v > 1 else bx:
        if x <= 0:
            continue
        with mp.workdps(40):
            j, y, m = mp.besselj(v, x), mp.bessely(v, x), modulus(v, x)
        emit("bessel_j", [v, x], j, m if x > v else 0)
        emit("bessel_y", [v, x], y, m if x > v else 0)
for v in [-0.3, -2.5, -3, -10.7, -100.2, -199.5]:
    for x in bx:
        a = -v
        with mp.workdps(40):
            m = modulus(a, x)
            emit("bessel_j", [v, x], mp.besselj(v, x), m)
            emit("bessel_y", [v, x], mp.bessely(v, x), m)
for v in [0, 0.3, 1, 2.5, 10, 50.5, 300]:
    for x in logspace(-5, math.log10(700), 50) + around([v]) if v > 1 else logspace(-5, 2.8, 50):
        if x > 0:
            emit("bessel_i", [v, x], mp.besseli(v, x))
for v in [-0.5, -1.3, -7.7, -2]:
    for x in logspace(-5, math.log10(700), 50):
        a = -v
        sc = mp.besseli(a, x) + abs(2 / mp.pi * mp.sin(mp.pi * a) * mp.besselk(a, x))
        emit("bessel_i", [v, x], mp.besseli(v, x), sc)
for n in [0, 1, 2, 5, 20, 100, -1, -3, -250]:
    for x in logspace(-5, 4, 60) + around([abs(n) + 0.5]):
        if x <= 0:
            continue
        v = n + mp.mpf(1) / 2
        with mp.workdps(40):
            f = mp.sqrt(mp.pi / (2 * x))
            m = f * modulus(abs(v), x)
            sc = m if (x > abs(v) or n < 0) else 0
            emit("sph_j", [n, x], f * mp.besselj(v, x), sc)
            emit("sph_y", [n, x], f * mp.bessely(v, x), sc)
for x in [-v for v in logspace(-5, 4, 120)] + logspace(-5, 2.1, 80) + around([1.0, 10.0, -1.0, -10.0]):
    with mp.workdps(40):
        ai, aip, bi, bip = mp.airyai(x), mp.airyai(x, 1), mp.airybi(x), mp.airybi(x, 1)
    e0 = mp.sqrt(ai ** 2 + bi ** 2) if x < 0 else 0
    e1 = mp.sqrt(aip ** 2 + bip ** 2) if x < 0 else 0
    emit("airy_ai", [x], ai, e0)
    emit("airy_aip", [x], aip, e1)
    emit("airy_bi", [x], bi, e0)
    emit("airy_bip", [x], bip, e1)


# ---- elliptic integrals, Jacobi functions, zeta -------------------------------------
for m in [i / 50 for i in range(0, 50)] + around([0.5]) + [1 - 10.0 ** -k for k in range(1, 16)] \
        + [1 - 7.5e-6, 1 - 6.5e-6]:
    if 0 <= m < 1:
        if 1 - m > 7e-6:
            emit("ellip_k", [m], mp.ellipk(m))
        emit("ellip_e", [m], mp.ellipe(m))
for m in [-5.0, -0.5, 0.0, 0.1, 0.5, 0.9, 0.999999, 1.0, 1.5, 4.0]:
    for phi in [0.01, 0.3, 0.7, 1.2, 1.5, 1.5707, 2.0, 3.0, 7.5, -2.2, 40.0, 1000.5]:
        with mp.workdps(40):
            if m > 1 and abs(phi) > mp.asin(1 / mp.sqrt(m)):
                continue
            if m == 1 and abs(phi) >= mp.pi / 2:
                continue
            emit("ellip_f", [m, phi], mp.ellipf(phi, m))
            emit("ellip_e_inc", [m, phi], mp.ellipe(phi, m))
for m in [0.0, 1e-13, 1e-6, 0.1, 0.5, 0.9, 0.999999, 1 - 1e-13, 1.0]:
    for u in [-7.5, -1.0, 0.0, 0.3, 1.0, 2.0, 3.7, 10.0, 25.0]:
        with mp.workdps(40):
            emit("jacobi_sn", [u, m], mp.ellipfun("sn", u, m=m), 1)
            emit("jacobi_cn", [u, m], mp.ellipfun("cn", u, m=m), 1)
            emit("jacobi_dn", [u, m], mp.ellipfun("dn", u, m=m), 1)
for x in logspace(-10, 2.5, 80) + around([1.0, 60.0, 10.0]) + [-v for v in logspace(-10, math.log10(265), 120)] \
        + [-0.5, -0.4999, -0.5001, -9.0, -8.9999, -170.5, -171.5, -200.25, -259.9] + [1 + 1e-10, 1 - 1e-10]:
    if x != 1:
        with mp.workdps(40):
            emit("zeta", [x], mp.zeta(x))


# ---- hypergeometric functions and Struve -----------------------------------------------
def abs_terms_2f1(a, b, c, x):
    """Sum of the moduli of the terms of the 2F1 series (|x| < 1): the scale of
    the cancellation a series evaluation meets."""
    t, s, k = mp.mpf(1), mp.mpf(1), 0
    while k < 100000:
        t *= (a + k) * (b + k) / ((c + k) * (k + 1)) * x
        s += abs(t)
        k += 1
        if t == 0 or (abs(t) < mp.mpf(10) ** -35 * s and k > 5):
            break
    return s


for a in [0.3, 1, 2.5, 10, 20]:
    for b in [0.5, 1, 3.3, 10, 20.5]:
        for x in [1e-3, 0.5, 2, 10, 30, 60, 100, 150, 300, 600]:
            for s_ in (1, -1):
                if s_ < 0 and a > b:
                    continue  # oscillatory: outside the documented core domain
                with mp.workdps(60):
                    emit("hyp1f1", [a, b, s_ * x], mp.hyp1f1(a, b, s_ * x))
for a in [-3, -10]:
    for b in [0.5, 3.3]:
        for x in [0.5, 2, 10, -7]:
            with mp.workdps(60):
                sc = mp.hyp1f1(-a, b, abs(x))  # the sum of the moduli of the terms
                emit("hyp1f1", [a, b, x], mp.hyp1f1(a, b, x), sc)
for a in [-2.5, 0.5, 1, 3.3, 7]:
    for b in [-1.5, 0.5, 2, 4.7]:
        for c in [1.5, 4.2, 10.7]:
            for x in [-5, -1, -0.6, -0.2, 0.1, 0.45, 0.55, 0.8, 0.95, 0.999]:
                with mp.workdps(50):
                    if x < -1 and (a < 0 or b < 0):
                        continue
                    v = mp.hyp2f1(a, b, c, x)
                    sc = abs_terms_2f1(mp.mpf(a), mp.mpf(b), mp.mpf(c), mp.mpf(x)) if (a < 0 or b < 0) and abs(x) < 1 else 0
                    emit("hyp2f1", [a, b, c, x], v, sc)
for a, b, c in [(1, 1, 2), (0.5, 0.5, 1), (1.5, 2, 3.5), (2, 3, 5.02), (-3, 2, 1.5), (0.5, 0.5, 3),
                (2, 3, 4), (1.5, 2.5, 1), (0.25, 1.25, 1.5)]:
    for x in [-0.9, 0.3, 0.6, 0.9, 0.95, 0.99, 0.999, 0.999999, 1.0, -50.0]:
        with mp.workdps(50):
            v = mp.hyp2f1(a, b, c, x)
            if mp.isfinite(v):
                emit("hyp2f1", [a, b, c, x], v)
for v in [-1.5, -0.7, -0.5, 0, 0.3, 1, 2.5, 10, 20]:
    for x in logspace(-3, 2, 40) + around([3.0]):
        with mp.workdps(40):
            h = mp.struveh(v, x)
            sc = modulus(abs(v), x) if x > max(abs(v), 3) else 0
            emit("struve", [v, x], h, sc)


out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden.tsv")
with open(out, "w") as f:
    f.write("\n".join(rows) + "\n")
print(len(rows), "cases")
