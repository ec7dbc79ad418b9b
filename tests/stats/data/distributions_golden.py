#!/usr/bin/env python3
# Needs the Debian packages python3-mpmath python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the distribution-function tests.

Run with /usr/bin/python3 from this directory; writes distributions_golden.txt,
one case a line, fields separated by blanks:

    f      x m k  cdf_mpmath cdf_scipy
    t      x df   cdf_mpmath cdf_scipy
    chi2   x df   cdf_mpmath cdf_scipy
    normal x      handbook_formula_mpmath exact_cdf
    invnormal p   handbook_formula_mpmath exact_quantile
    finv   p m k  quantile
    tinv   p df   quantile
    chi2inv p df  quantile
    table  rows cols counts... statistic p_value

The CDFs are the closed forms over the regularised incomplete beta and gamma
functions, evaluated by mpmath at 40 digits from the exact double arguments;
SciPy's stats.f, t and chi2 are a second, independent check. The normal and
inverse-normal lines give the handbook rational approximations evaluated
exactly (what the double code must reproduce) beside the exact function (to
check their error bounds). Quantiles come from SciPy's ppf, the contingency
statistics from scipy.stats.chi2_contingency(correction=False).
"""
import mpmath
import numpy as np
from scipy import stats

mpmath.mp.dps = 40
mpf = mpmath.mpf
lines = []


def g(v):
    return "%.17g" % float(v)


def betainc_cf(a, b, x):
    """I_x(a, b) by its continued fraction (modified Lentz), x < (a+1)/(a+b+2)."""
    tiny = mpf(10) ** -300
    front = mpmath.exp(a * mpmath.log(x) + b * mpmath.log1p(-x) - mpmath.log(mpmath.beta(a, b))) / a
    f, c, d = mpf(1), mpf(1), mpf(0)
    for i in range(0, 200000):
        m = i // 2
        if i == 0:
            num = mpf(1)
        elif i % 2 == 0:
            num = m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m))
        else:
            num = -((a + m) * (a + b + m) * x) / ((a + 2 * m) * (a + 2 * m + 1))
        d = 1 + num * d
        d = 1 / (d if abs(d) > tiny else tiny)
        c = 1 + num / c
        c = c if abs(c) > tiny else tiny
        cd = c * d
        f *= cd
        if abs(1 - cd) < mpf(10) ** -45:
            return front * (f - 1)
    raise RuntimeError("continued fraction did not converge")


def betainc(a, b, x):
    """Regularised I_x(a, b) at the working precision."""
    a, b, x = mpf(a), mpf(b), mpf(x)
    if x <= 0:
        return mpf(0)
    if x >= 1:
        return mpf(1)
    if x < (a + 1) / (a + b + 2):
        return betainc_cf(a, b, x)
    return 1 - betainc_cf(b, a, 1 - x)


def f_cdf(x, m, k):
    x = mpf(x)
    w = mpf(k) / (m * x + k)
    return 1 - betainc(mpf(k) / 2, mpf(m) / 2, w)


def t_cdf(x, df):
    x = mpf(x)
    if x == 0:
        return mpf(0.5)
    w = mpf(df) / (x * x + df)
    tail = betainc(mpf(df) / 2, mpf(1) / 2, w) / 2
    return tail if x < 0 else 1 - tail


def chi2_cdf(x, df):
    return mpmath.gammainc(mpf(df) / 2, 0, mpf(x) / 2, regularized=True)


for m in (1, 2, 3, 5, 10, 30, 100, 1000):
    for k in (1, 2, 4, 7, 25, 200, 5000):
        for x in (1e-3, 0.05, 0.3, 0.9, 1.0, 1.7, 4.0, 12.0, 80.0, 3e3):
            lines.append("f %s %d %d %s %s" % (g(x), m, k, g(f_cdf(x, m, k)), g(stats.f.cdf(x, m, k))))

for df in (1, 2, 3, 5, 10, 30, 100, 1000, 100000):
    for x in (-300.0, -40.0, -5.0, -2.0, -1.0, -0.5, -1e-3, 1e-8, 0.02, 0.3, 1.0, 2.5, 10.0, 100.0):
        lines.append("t %s %d %s %s" % (g(x), df, g(t_cdf(x, df)), g(stats.t.cdf(x, df))))

for df in (1, 2, 3, 4, 7, 10, 50, 200, 1000, 40000):
    for x in (1e-4, 0.01, 0.5, 1.0, 3.0, 10.0, 50.0, 100.0, 180.0, 500.0, 1200.0, 41000.0):
        lines.append("chi2 %s %d %s %s" % (g(x), df, g(chi2_cdf(x, df)), g(stats.chi2.cdf(x, df))))


# Handbook approximations, evaluated exactly from the double coefficients.
def normal_formula(x):
    x = mpf(x)
    u = abs(x)
    t = 1 / (1 + mpf(0.33267) * u)
    q = mpf(0.3989422) * mpmath.exp(-u * u / 2) * t * (
        mpf(0.4361836) + t * (mpf(-0.1201676) + mpf(0.937298) * t))
    return 1 - q if x >= 0 else q


def inverse_normal_formula(p):
    p = mpf(p)
    def ratio(t):
        return (mpf(2.515517) + mpf(0.802853) * t + mpf(0.010328) * t * t) / (
            1 + mpf(1.432788) * t + mpf(0.189269) * t * t + mpf(0.001308) * t ** 3)
    if p >= 0.5:
        t = mpmath.sqrt(-2 * mpmath.log(1 - p))
        return t - ratio(t)
    t = mpmath.sqrt(-2 * mpmath.log(p))
    return ratio(t) - t


def normal_quantile(p):
    """The exact quantile, from the lower tail (found in logarithms) by symmetry."""
    lower = min(mpf(p), 1 - mpf(p))
    z = mpmath.findroot(lambda z: mpmath.log(mpmath.ncdf(z)) - mpmath.log(lower),
                        inverse_normal_formula(lower))
    return z if p < 0.5 else -z


for x in np.linspace(-8.0, 8.0, 161):
    x = float(x)
    lines.append("normal %s %s %s" % (g(x), g(normal_formula(x)), g(mpmath.ncdf(x))))
for p in (1e-300, 1e-12, 1e-6, 1e-3, 0.01, 0.025, 0.1, 0.25, 0.4, 0.5, 0.6, 0.75, 0.9, 0.975,
          0.99, 0.999, 1 - 1e-6, 1 - 1e-12):
    exact = normal_quantile(p)
    lines.append("invnormal %s %s %s" % (g(p), g(inverse_normal_formula(p)), g(exact)))

probabilities = (1e-7, 1e-3, 0.01, 0.05, 0.1, 0.3, 0.5, 0.7, 0.9, 0.95, 0.99, 0.999)
for m, k in ((1, 1), (1, 5), (2, 10), (4, 3), (10, 10), (30, 200), (200, 30), (1000, 1000)):
    for p in probabilities:
        q = stats.f.ppf(p, m, k)
        if 1e-6 <= q <= 10000:
            lines.append("finv %s %d %d %s" % (g(p), m, k, g(q)))
for df in (1, 2, 3, 5, 10, 30, 1000):
    for p in probabilities + (0.999999,):
        q = stats.t.ppf(p, df)
        if abs(q) <= 10000:
            lines.append("tinv %s %d %s" % (g(p), df, g(q)))
# Large df and extreme p: the bracket grows past 5000 in steps of 5000.
for df in (1, 2, 5, 20, 100, 4000, 6000, 20000, 60000):
    for p in probabilities + (1 - 1e-10,):
        lines.append("chi2inv %s %d %s" % (g(p), df, g(stats.chi2.ppf(p, df))))

tables = [
    [[10, 20], [30, 40]],
    [[12, 5, 7], [3, 9, 14], [8, 8, 1]],
    [[100, 0, 3, 7], [25, 60, 1, 4]],
    [[1, 2], [3, 4], [5, 6], [7, 9]],
    [[123456, 654321], [111111, 999999]],
    [[2147483647, 1], [3, 2147483647]],
]
for t in tables:
    res = stats.chi2_contingency(np.array(t, dtype=float), correction=False)
    flat = [c for row in t for c in row]
    lines.append("table %d %d %s %s %s" % (len(t), len(t[0]), " ".join(str(c) for c in flat),
                                          g(res[0]), g(res[1])))

with open("distributions_golden.txt", "w") as f:
    f.write("\n".join(lines) + "\n")
