#!/usr/bin/env python3
# Needs the Debian packages python3-mpmath python3-numpy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference statistics for the descriptive-statistics tests.

Run with /usr/bin/python3 from this directory; writes descriptive_golden.txt:
    data <n> x[0] ... x[n-1]
    <name> <value>
for the data set (seeded, offset so that the mean is far from 0), with the
statistics computed by mpmath at 50 digits from the exact double values.
"""
import mpmath
import numpy as np

mpmath.mp.dps = 50
rng = np.random.default_rng(20240611)
x = 1000.0 + rng.standard_normal(1001) * 3.0 + rng.exponential(2.0, 1001)
xs = [mpmath.mpf(float(v)) for v in x]
n = len(xs)
mean = sum(xs) / n
dev = [v - mean for v in xs]
lines = ["data %d %s" % (n, " ".join("%.17g" % v for v in x))]
def put(name, value):
    lines.append("%s %.17g" % (name, float(value)))
put("mean", mean)
put("variance", sum(d * d for d in dev) / n)
put("stddev", mpmath.sqrt(sum(d * d for d in dev) / n))
put("rms", mpmath.sqrt(sum(v * v for v in xs) / n))
for k in (2, 3, 4, 5):
    put("moment%d" % k, sum(d ** k for d in dev) / n)
s = sorted(float(v) for v in x)
put("median_odd", s[n // 2])
s = sorted(float(v) for v in x[:-1])
put("median_even", (mpmath.mpf(s[(n - 1) // 2 - 1]) + mpmath.mpf(s[(n - 1) // 2])) / 2)
with open("descriptive_golden.txt", "w") as f:
    f.write("\n".join(lines) + "\n")
