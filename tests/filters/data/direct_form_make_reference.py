#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference data for the direct-form filtering tests
(tests/filters/direct_form_test.cpp).

Run from this folder with Debian's python3-scipy:
    /usr/bin/python3 direct_form_make_reference.py
It writes direct_form_lfilter.txt: for each case the coefficients b and a
(a empty for FIR), a signal x of N samples (real, or complex as re, im
lines) and y = scipy.signal.lfilter(b, a, x) of the whole signal from rest.
The tests filter the same signal in random blocks and compare.
"""
import numpy as np
from scipy import signal

N = 400
rng = np.random.default_rng(20)


def line(tag, values):
    return tag + " " + " ".join("%.17g" % v for v in values) + "\n"


def cases():
    b_butter, a_butter = signal.butter(8, 0.23)
    # a[0] = 2.5: lfilter normalises, the filter divides every output.
    yield "fir7", rng.standard_normal(7), [1.0]
    yield "fir1", [0.75], [1.0]
    yield "fir32", signal.firwin(32, 0.3), [1.0]
    yield "iir8", b_butter * 2.5, a_butter * 2.5
    yield "iir_long_b", rng.standard_normal(9), [1.0, -0.5, 0.25]
    yield "iir_long_a", [0.5, 0.25], np.concatenate(([1.0], 0.1 * rng.standard_normal(6)))
    yield "iir_only_a0", [1.0, 2.0, 3.0], [4.0]


with open("direct_form_lfilter.txt", "w") as out:
    for name, b, a in cases():
        b = np.asarray(b, float)
        a = np.asarray(a, float)
        feedback = not (len(a) == 1 and a[0] == 1.0)
        for kind in ("real", "complex"):
            x = rng.standard_normal(N)
            if kind == "complex":
                x = x + 1j * rng.standard_normal(N)
            y = signal.lfilter(b, a, x)
            out.write("case %s %s\n" % (name, kind))
            out.write(line("b", b))
            out.write(line("a", a if feedback else []))
            if kind == "real":
                out.write(line("x", x))
                out.write(line("y", y))
            else:
                out.write(line("xre", x.real))
                out.write(line("xim", x.imag))
                out.write(line("yre", y.real))
                out.write(line("yim", y.imag))
