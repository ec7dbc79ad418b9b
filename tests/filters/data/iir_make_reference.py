#!/usr/bin/python3
# Needs the Debian packages python3-mpmath python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference data for the IIR filter tests (tests/filters/iir_*_test.cpp).

Run from this folder with Debian's python3-scipy and python3-mpmath:
    /usr/bin/python3 iir_make_reference.py
It writes iir_responses.txt and iir_elliptic_functions.txt. The tests read
the text files only; they never run Python.

Designs: scipy.signal.butter / cheby1 / cheby2 / ellip with analog=False and
the sampling rate given, that is the bilinear transform of the analog
prototype with the band edges prewarped by tan(pi f / fs). The
linear-ordinate family has no SciPy designer: its prototype (poles on the
unit circle at -sqrt(1 - t^2) +- j t, t = 1 - (2k + 1)/N, and -1 for odd N)
is put through SciPy's own lp2lp/lp2hp/lp2bp/lp2bs and bilinear transforms.

For every design the file holds the magnitude response at the frequencies
f_i = i fs / (2 (M - 1)), i = 0 .. M-1 (evaluated from the zeros, poles and
gain, which is the accurate form), the first L samples of the impulse
response (sosfilt of a unit impulse), and for elliptic designs the
selectivity modulus k of the prototype (stopband edge at 1/k rad/s).
"""
import mpmath
import numpy as np
from scipy import signal

M = 101   # response grid
L = 48    # impulse response samples

FAMILIES = ["butter", "cheby1", "cheby2", "ellip", "linord"]
TYPES = ["lowpass", "highpass", "bandpass", "bandstop"]
ORDERS = {"butter": [1, 2, 3, 4, 7, 10], "cheby1": [1, 2, 3, 4, 7, 10],
          "cheby2": [1, 2, 3, 4, 7, 10], "ellip": [1, 2, 3, 4, 6, 9],
          "linord": [1, 4, 7]}
# Two parameter sets, used alternately along the order list:
# fs, fc, fl, fh, ripple dB, attenuation dB.
PARAMS = [(1000.0, 150.0, 120.0, 280.0, 0.5, 50.0),
          (48000.0, 9000.0, 3000.0, 11000.0, 1.5, 65.0)]


def ellip_modulus(n, rp, rs):
    """k of the elliptic prototype from the degree equation, in mpmath."""
    mpmath.mp.dps = 40
    ep2 = mpmath.mpf(10) ** (mpmath.mpf(rp) / 10) - 1
    es2 = mpmath.mpf(10) ** (mpmath.mpf(rs) / 10) - 1
    m1 = ep2 / es2
    tau = mpmath.ellipk(1 - m1) / (mpmath.ellipk(m1) * n)
    q = mpmath.exp(-mpmath.pi * tau)
    return float(mpmath.kfrom(q=q))


def linord_zpk(n):
    p = []
    if n % 2:
        p.append(-1.0)
    for k in range(n // 2):
        t = 1.0 - (2 * k + 1) / n
        s = np.sqrt(1.0 - t * t)
        p += [complex(-s, t), complex(-s, -t)]
    p = np.array(p)
    return np.array([]), p, float(np.real(np.prod(-p)))


def design(family, btype, n, fs, fc, fl, fh, rp, rs):
    wn = fc if btype in ("lowpass", "highpass") else [fl, fh]
    if family == "butter":
        return signal.butter(n, wn, btype, output="zpk", fs=fs)
    if family == "cheby1":
        return signal.cheby1(n, rp, wn, btype, output="zpk", fs=fs)
    if family == "cheby2":
        return signal.cheby2(n, rs, wn, btype, output="zpk", fs=fs)
    if family == "ellip":
        return signal.ellip(n, rp, rs, wn, btype, output="zpk", fs=fs)
    z, p, k = linord_zpk(n)
    w = 2 * fs * np.tan(np.pi * np.atleast_1d(wn) / fs)
    if btype == "lowpass":
        z, p, k = signal.lp2lp_zpk(z, p, k, wo=w[0])
    elif btype == "highpass":
        z, p, k = signal.lp2hp_zpk(z, p, k, wo=w[0])
    else:
        wo, bw = np.sqrt(w[0] * w[1]), w[1] - w[0]
        f = signal.lp2bp_zpk if btype == "bandpass" else signal.lp2bs_zpk
        z, p, k = f(z, p, k, wo=wo, bw=bw)
    return signal.bilinear_zpk(z, p, k, fs=fs)


def write_responses(path):
    freqs_unit = np.arange(M) / (2.0 * (M - 1))
    with open(path, "w") as out:
        out.write("# family type order fs fl fh ripple attenuation k; then mag (M=%d) "
                  "and impulse (L=%d) lines\n" % (M, L))
        for family in FAMILIES:
            for t, btype in enumerate(TYPES):
                for i, n in enumerate(ORDERS[family]):
                    fs, fc, fl, fh, rp, rs = PARAMS[i % 2]
                    z, p, k = design(family, btype, n, fs, fc, fl, fh, rp, rs)
                    _, h = signal.freqz_zpk(z, p, k, worN=freqs_unit * fs, fs=fs)
                    sos = signal.zpk2sos(z, p, k)
                    x = np.zeros(L)
                    x[0] = 1.0
                    imp = signal.sosfilt(sos, x)
                    lo = fc if t < 2 else fl
                    kmod = ellip_modulus(n, rp, rs) if family == "ellip" else 0.0
                    out.write("design %s %d %d %r %r %r %r %r %r\n" %
                              (family, t, n, fs, lo, fh if t >= 2 else 0.0, rp, rs, kmod))
                    out.write("mag " + " ".join("%.17g" % v for v in np.abs(h)) + "\n")
                    out.write("impulse " + " ".join("%.17g" % v for v in imp) + "\n")


def write_elliptic_functions(path):
    mpmath.mp.dps = 40
    with open(path, "w") as out:
        out.write("# K kc value | sncndn u kc sn cn dn | arcsc x kc u | nome tau k\n")
        for kc in ["1", "0.9", "0.5", "0.1", "1e-3", "1e-8"]:
            kcm = mpmath.mpf(kc)
            out.write("K %s %.17g\n" % (kc, mpmath.ellipk(1 - kcm ** 2)))
        for kc in ["0.95", "0.6", "0.2", "0.01"]:
            kcm = mpmath.mpf(kc)
            m = 1 - kcm ** 2
            big_k = mpmath.ellipk(m)
            for frac in ["0.05", "0.3", "0.7", "1"]:
                u = big_k * mpmath.mpf(frac)
                out.write("sncndn %.17g %s %.17g %.17g %.17g\n" % (
                    u, kc, mpmath.ellipfun("sn", u, m=m), mpmath.ellipfun("cn", u, m=m),
                    mpmath.ellipfun("dn", u, m=m)))
        for kc in ["0.999", "0.3", "0.01", "1e-5"]:
            kcm = mpmath.mpf(kc)
            for x in ["0.01", "0.5", "2", "40", "-3"]:
                u = mpmath.ellipf(mpmath.atan(mpmath.mpf(x)), 1 - kcm ** 2)
                out.write("arcsc %s %s %.17g\n" % (x, kc, u))
        for tau in ["0.05", "0.2", "0.5", "1", "3"]:
            q = mpmath.exp(-mpmath.pi * mpmath.mpf(tau))
            out.write("nome %s %.17g\n" % (tau, mpmath.kfrom(q=q)))


if __name__ == "__main__":
    write_responses("iir_responses.txt")
    write_elliptic_functions("iir_elliptic_functions.txt")
