#!/usr/bin/python3
# Needs the Debian packages python3-mpmath (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for polynomial evaluation and rectangular/polar
conversion, computed with mpmath at 50 digits. Writes scaling_golden.txt
beside this script, one case a line:

    poly m c[0] .. c[m-1] x value abs_sum   (abs_sum = sum |c[k] x^k|, the
                                             scale of the rounding error)
    polar re im magnitude phase
"""
import os
import random

import mpmath as mp

mp.mp.dps = 50
random.seed(8301)


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scaling_golden.txt")
    with open(path, "w") as f:
        for _ in range(60):
            m = random.randint(1, 9)
            c = [random.uniform(-5, 5) for _ in range(m)]
            x = random.uniform(-3, 3)
            terms = [mp.mpf(ck) * mp.mpf(x) ** k for k, ck in enumerate(c)]
            f.write("poly %d %s %.17g %.17g %.17g\n"
                    % (m, " ".join("%.17g" % v for v in c), x,
                       float(mp.fsum(terms)), float(mp.fsum(abs(t) for t in terms))))
        pts = [(1.0, 0.0), (-1.0, 0.0), (0.0, 1.0), (0.0, -2.0), (3.0, 4.0), (-1e-300, 1e-300),
               (1e300, -1e300)]
        pts += [(random.uniform(-1e3, 1e3), random.uniform(-1e3, 1e3)) for _ in range(40)]
        for re, im in pts:
            z = mp.mpc(re, im)
            f.write("polar %.17g %.17g %.17g %.17g\n"
                    % (re, im, float(abs(z)), float(mp.atan2(im, re))))


if __name__ == "__main__":
    main()
