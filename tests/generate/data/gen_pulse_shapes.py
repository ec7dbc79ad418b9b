#!/usr/bin/python3
# Needs the Debian packages python3-mpmath (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values of the time-based pulse shapes, evaluated with mpmath at
50 significant digits.

The sample times t_i = i*dt - delay are formed in IEEE double exactly as the
library forms them, so the references differ from the library only by the
rounding of the shape itself. Output: pulse_shapes.txt, one sample a line:
    <case> <i> <value>
The case parameters must match kCases in ../pulse_shapes_test.cpp.
"""
import math
import mpmath as mp

mp.mp.dps = 50

# name, shape, n, amplitude, delay, dt, extra parameters
CASES = [
    ("sinc", "sinc", 41, 1.5, 2.0, 0.1, {}),
    ("sinc_shifted", "sinc", 64, -0.8, 3.3, 0.173, {}),
    ("psinc4", "psinc", 33, 2.0, 0.0, 2 * math.pi / 16, {"N": 4}),
    ("psinc5", "psinc", 33, 1.0, 0.0, 2 * math.pi / 16, {"N": 5}),
    ("psinc7_offset", "psinc", 50, 1.25, 3.0, 0.37, {"N": 7}),
    ("monopulse", "monopulse", 101, 2.0, 0.5, 0.01, {"fc": 2.5}),
    ("gausssine", "gausssine", 201, 1.0, 0.5, 0.005, {"fc": 5.0, "bw": 0.5, "att": 6.0}),
    ("gausssine_narrow", "gausssine", 120, 3.0, 0.3, 0.005, {"fc": 20.0, "bw": 0.2, "att": 20.0}),
]


def shape(kind, t, p):
    t = mp.mpf(t)
    if kind == "sinc":
        x = mp.pi * t
        return mp.mpf(1) if x == 0 else mp.sin(x) / x
    if kind == "psinc":
        u = t / 2
        n = p["N"]
        if mp.sin(u) == 0:
            return mp.cos(n * u) / mp.cos(u)
        return mp.sin(n * u) / (n * mp.sin(u))
    if kind == "monopulse":
        x = mp.pi * p["fc"] * t
        return 2 * mp.sqrt(mp.e) * x * mp.exp(-2 * x * x)
    if kind == "gausssine":
        x = mp.pi * p["fc"] * t
        return mp.exp(-5 * mp.mpf(p["bw"]) ** 2 * x * x / (p["att"] * mp.log(10))) * mp.cos(2 * x)
    raise ValueError(kind)


with open("pulse_shapes.txt", "w") as out:
    for name, kind, n, a, delay, dt, p in CASES:
        for i in range(n):
            t = i * dt - delay  # IEEE double, as in the library
            out.write("%s %d %s\n" % (name, i, mp.nstr(a * shape(kind, t, p), 20)))
