#!/usr/bin/python3
# Needs the Debian packages python3-mpmath (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the complex scalar operations, computed with mpmath
at 50 digits and rounded to double. Writes complex_golden.txt beside this
script; one case a line:

    op xr xi p q zr zi

where (p, q) is the second operand y for div/mul, (a, 0) for pow (real
exponent a) and (0, 0) for the one-operand operations.

Inputs: random points over 1e-6 .. 1e6 in modulus at all angles, plus points
on the axes and moduli near 1e-200 and 1e200, where forming xr^2 + xi^2
would underflow or overflow.
"""
import os
import random

import mpmath as mp

mp.mp.dps = 50
random.seed(20240531)


def point(lo, hi):
    r = 10.0 ** random.uniform(lo, hi)
    t = random.uniform(-3.14159, 3.14159)
    return float(r * mp.cos(t)), float(r * mp.sin(t))


def cases():
    pts = [point(-6, 6) for _ in range(40)]
    pts += [(1.0, 0.0), (-1.0, 0.0), (0.0, 1.0), (0.0, -1.0), (-4.0, 0.0), (3.0, 4.0),
            (-2.5, 1e-3)]
    wide = [point(-200, -190) for _ in range(5)] + [point(190, 200) for _ in range(5)]
    for xr, xi in pts + wide:
        x = mp.mpc(xr, xi)
        yield "ln", xr, xi, 0.0, 0.0, mp.log(x)
        yield "log10", xr, xi, 0.0, 0.0, mp.log(x) / mp.log(10)
        yield "sqrt", xr, xi, 0.0, 0.0, mp.sqrt(x)
        yield "recip", xr, xi, 0.0, 0.0, 1 / x
    for xr, xi in pts:
        x = mp.mpc(xr, xi)
        a = round(random.uniform(-4, 4), 3)
        yield "pow", xr, xi, a, 0.0, mp.exp(a * mp.log(x))
        yr, yi = point(-6, 6)
        y = mp.mpc(yr, yi)
        yield "div", xr, xi, yr, yi, x / y
        yield "mul", xr, xi, yr, yi, x * y
    for _ in range(30):
        xr, xi = random.uniform(-50, 50), random.uniform(-20, 20)
        yield "exp", xr, xi, 0.0, 0.0, mp.exp(mp.mpc(xr, xi))
    for xr, xi in wide:
        yr, yi = point(190, 200) if abs(xr) + abs(xi) > 1 else point(-200, -190)
        yield "div", xr, xi, yr, yi, mp.mpc(xr, xi) / mp.mpc(yr, yi)


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "complex_golden.txt")
    with open(path, "w") as f:
        for op, xr, xi, p, q, z in cases():
            f.write("%s %.17g %.17g %.17g %.17g %.17g %.17g\n"
                    % (op, xr, xi, p, q, float(z.real), float(z.imag)))


if __name__ == "__main__":
    main()
