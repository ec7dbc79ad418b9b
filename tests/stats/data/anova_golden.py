#!/usr/bin/env python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference tables for the analysis-of-variance tests.

Run with /usr/bin/python3 from this directory; writes anova_golden.txt, one
case a line, fields separated by blanks:

    oneway n k  levels[n] y[n]  ss_between ms_between f p ss_within ms_within ss_total
    twoway n r a b  levels_a[n] levels_b[n] y[n]  table[15] p_a p_b p_ab
    threeway n r a b c  levels_a[n] levels_b[n] levels_c[n] y[n]  table[32] p[7]

The level counts a, b, c carry the model in their sign (negative: random).
Sums of squares are the squared norms of the projections of y onto each
effect's subspace (cell, margin and grand means, a balanced design), computed
in exact rational arithmetic from the double observations, so that data with
a large offset are as exact as the rest. The F ratios follow the expected
mean squares of the model (the interaction over which a random factor's
partner is tested); p-values are scipy.stats.f.sf, and the one-way lines are
also checked against scipy.stats.f_oneway.
"""
from fractions import Fraction
from itertools import combinations, product

import numpy as np
from scipy import stats

rng = np.random.default_rng(20251209)
lines = []


def g(v):
    return "%.17g" % float(v)


def mean(vals):
    vals = list(vals)
    return sum(vals, Fraction(0)) / len(vals)


def oneway(k, sizes, offset, spread):
    levels = [l for l in range(k) for _ in range(sizes[l])]
    rng.shuffle(levels)
    n = len(levels)
    y = offset + spread * rng.standard_normal(n) + 0.3 * np.array(levels)
    fy = [Fraction(float(v)) for v in y]
    grand = mean(fy)
    groups = [[fy[i] for i in range(n) if levels[i] == l] for l in range(k)]
    ssb = sum(len(gr) * (mean(gr) - grand) ** 2 for gr in groups)
    ssw = sum(sum((v - mean(gr)) ** 2 for v in gr) for gr in groups)
    sst = sum((v - grand) ** 2 for v in fy)
    assert sst == ssb + ssw
    msb, msw = ssb / (k - 1), ssw / (n - k)
    f = msb / msw
    p = stats.f.sf(float(f), k - 1, n - k)
    ref = stats.f_oneway(*[np.array([float(v) for v in gr]) for gr in groups])
    assert abs(ref.statistic / float(f) - 1) < 1e-6 and abs(ref.pvalue - p) <= 1e-9 * max(p, 1e-300) + 1e-15
    fields = [n, k] + levels + [g(v) for v in y] + [g(v) for v in (ssb, msb, f, p, ssw, msw, sst)]
    lines.append("oneway " + " ".join(str(v) for v in fields))


def sums_of_squares(y, shape, factors):
    """SS of every effect (a subset of the factor axes) by projections of a
    balanced layout y[shape..., r] in exact arithmetic: the effect's component
    is the inclusion-exclusion of the means over the complementary axes."""
    axes = list(range(len(shape)))
    cells = list(product(*[range(s) for s in shape]))
    data = {cell: [Fraction(float(v)) for v in y[cell]] for cell in cells}
    r = len(next(iter(data.values())))

    def margin(keep):
        # mean over all axes not in keep, as a dict keyed by the kept levels
        groups = {}
        for cell in cells:
            key = tuple(cell[i] for i in keep)
            groups.setdefault(key, []).extend(data[cell])
        return {key: mean(vals) for key, vals in groups.items()}

    margins = {}
    for size in range(len(axes) + 1):
        for keep in combinations(axes, size):
            margins[keep] = margin(keep)
    ss = {}
    for effect in factors:
        total = Fraction(0)
        for cell in cells:
            comp = Fraction(0)
            for size in range(len(effect) + 1):
                for sub in combinations(effect, size):
                    sign = (-1) ** (len(effect) - size)
                    comp += sign * margins[sub][tuple(cell[i] for i in sub)]
            total += r * comp * comp
        ss[effect] = total
    full = tuple(axes)
    ss["error"] = sum(sum((v - margins[full][cell]) ** 2 for v in data[cell]) for cell in cells)
    return ss


def layout(shape, r, offset, spread):
    """A balanced data set with effects, observations in shuffled order."""
    y = offset + spread * rng.standard_normal(tuple(shape) + (r,))
    for axis, size in enumerate(shape):
        bump = rng.standard_normal(size) * 0.7
        y += bump.reshape([size if i == axis else 1 for i in range(len(shape))] + [1])
    entries = [(cell, y[cell][q]) for cell in product(*[range(s) for s in shape]) for q in range(r)]
    order = rng.permutation(len(entries))
    return y, [entries[i] for i in order]


def twoway(a, b, r, a_random, b_random, offset=0.0, spread=1.0):
    y, entries = layout((a, b), r, offset, spread)
    n = a * b * r
    ss = sums_of_squares(y, (a, b), [(0,), (1,), (0, 1)])
    df_a, df_b, df_ab = a - 1, b - 1, (a - 1) * (b - 1)
    if r >= 2:
        ss_err, df_err = ss["error"], n - a * b
        ms_ab = ss[(0, 1)] / df_ab
    else:
        ss_err, df_err = ss[(0, 1)], df_ab
    ms_err = ss_err / df_err
    ms_a, ms_b = ss[(0,)] / df_a, ss[(1,)] / df_b
    if b_random:
        f_a, den_a = ms_a / ms_ab, df_ab
    else:
        f_a, den_a = ms_a / ms_err, df_err
    if a_random:
        f_b, den_b = ms_b / ms_ab, df_ab
    else:
        f_b, den_b = ms_b / ms_err, df_err
    table = [ss[(0,)], df_a, ms_a, f_a, ss[(1,)], df_b, ms_b, f_b]
    if r >= 2:
        f_ab = ms_ab / ms_err
        table += [ss[(0, 1)], df_ab, ms_ab, f_ab]
        p_ab = stats.f.sf(float(f_ab), df_ab, df_err)
    else:
        table += [0, 0, 0, 0]
        p_ab = 0.0
    table += [ss_err, df_err, ms_err]
    ps = [stats.f.sf(float(f_a), df_a, den_a), stats.f.sf(float(f_b), df_b, den_b), p_ab]
    sa = -a if a_random else a
    sb = -b if b_random else b
    fields = ([n, r, sa, sb] + [c[0] for c, _ in entries] + [c[1] for c, _ in entries] +
              [g(v) for _, v in entries] + [g(v) for v in table] + [g(v) for v in ps])
    lines.append("twoway " + " ".join(str(v) for v in fields))


# Denominators by model code 4*(A random) + 2*(B random) + (C random).
E, AB, AC, BC, ABC, NONE = "E", (0, 1), (0, 2), (1, 2), (0, 1, 2), None
DENOMINATORS = {
    0: [E, E, E, E, E, E],
    1: [AC, BC, E, ABC, E, E],
    2: [AB, E, BC, E, ABC, E],
    3: [NONE, BC, BC, ABC, ABC, E],
    4: [E, AB, AC, E, E, ABC],
    5: [AC, NONE, AC, ABC, E, ABC],
    6: [AB, AB, NONE, E, ABC, ABC],
    7: [NONE, NONE, NONE, ABC, ABC, ABC],
}


def threeway(a, b, c, r, model, offset=0.0, spread=1.0):
    y, entries = layout((a, b, c), r, offset, spread)
    n = a * b * c * r
    effects = [(0,), (1,), (2,), (0, 1), (0, 2), (1, 2), (0, 1, 2)]
    ss = sums_of_squares(y, (a, b, c), effects)
    size = {0: a - 1, 1: b - 1, 2: c - 1}
    df = {e: int(np.prod([size[i] for i in e])) for e in effects}
    df[E] = (r - 1) * a * b * c
    ss[E] = ss["error"]
    ms = {e: ss[e] / df[e] for e in effects + [E]}
    table, ps = [], []
    for i, e in enumerate(effects):
        over = E if i == 6 else DENOMINATORS[model][i]
        if over is NONE:
            f, p = -1, -1.0
        else:
            f = ms[e] / ms[over]
            p = stats.f.sf(float(f), df[e], df[over])
        table += [ss[e], df[e], ms[e], f]
        ps.append(p)
    table += [ss[E], df[E], ms[E], 0]
    signed = [-a if model & 4 else a, -b if model & 2 else b, -c if model & 1 else c]
    fields = ([n, r] + signed + [cell[0] for cell, _ in entries] + [cell[1] for cell, _ in entries] +
              [cell[2] for cell, _ in entries] + [g(v) for _, v in entries] + [g(v) for v in table] +
              [g(v) for v in ps])
    lines.append("threeway " + " ".join(str(v) for v in fields))


oneway(3, [4, 5, 6], 0.0, 1.0)
oneway(2, [1, 2], 10.0, 1.0)  # k = n - 1
oneway(5, [7, 3, 9, 4, 6], -3.0, 0.5)
oneway(4, [10, 10, 10, 10], 1e8, 1.0)  # a large offset with unit spread
for r in (1, 2, 3, 4):
    for a_random, b_random in ((False, False), (True, False), (False, True), (True, True)):
        if r == 1 and (a_random or b_random):
            continue
        twoway(3, 4, r, a_random, b_random)
twoway(2, 5, 3, False, True, offset=1e8)
twoway(4, 2, 1, False, False, offset=-1e8)
for r in (2, 3, 4):
    for model in range(8):
        threeway(2 + model % 2, 3, 2 + (model + r) % 3, r, model)
threeway(3, 2, 2, 3, 5, offset=1e8)

with open("anova_golden.txt", "w") as f:
    f.write("\n".join(lines) + "\n")
