#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the FFT transform and spectrum exports.

Writes golden.txt beside this script: one line per quantity,
`name n v0 v1 ...`, values with 17 significant digits. The inputs are the
exact rationals the tests build themselves:
    x[j] = ((7919*j + 13) % 1009)/1009 - 0.5
    y[j] = ((104729*j + 7) % 997)/997 - 0.25
Run with /usr/bin/python3 (NumPy and SciPy).
"""
import os
import numpy as np
import scipy.signal

LENGTHS = [7, 16, 53, 100]


def inputs(n):
    j = np.arange(n)
    x = ((7919 * j + 13) % 1009) / 1009.0 - 0.5
    y = ((104729 * j + 7) % 997) / 997.0 - 0.25
    return x, y


def main():
    lines = []

    def put(name, n, values):
        lines.append(" ".join([name, str(n)] + ["%.17g" % v for v in values]))

    for n in LENGTHS:
        x, y = inputs(n)
        X = np.fft.fft(x)
        Y = np.fft.fft(y)
        half = n // 2
        put("real_fft_re", n, X.real)
        put("real_fft_im", n, X.imag)
        p = np.abs(X) ** 2 / n ** 2
        one = p[:half].copy()
        one[1:] *= 2
        put("power_spectrum", n, one)
        s = np.conj(X) * Y / n ** 2
        put("cross_re", n, s.real)
        put("cross_im", n, s.imag)
        mag = np.abs(s[:half]).copy()
        mag[1:] *= 2
        put("cross_magnitude", n, mag)
        put("cross_phase", n, np.angle(s[:half]))
        h = Y[:half] / X[:half]
        put("transfer_magnitude", n, np.abs(h))
        put("transfer_phase", n, np.angle(h))
        put("deconvolve", n, np.real(np.fft.ifft(Y / X)))
        put("hilbert", n, np.imag(scipy.signal.hilbert(x)))
        put("hartley", n, X.real - X.imag)
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
