#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference data for the FIR design and Savitzky-Golay tests
(tests/filters/fir_*_test.cpp, savitzky_golay_test.cpp).

Run from this folder with Debian's python3-scipy:
    /usr/bin/python3 fir_make_reference.py
It writes:
  fir_firwin.txt   windowed-sinc designs: scipy.signal.firwin(taps, cutoff,
                   window=..., pass_zero=..., scale=False, fs=fs), one
                   "design type fs f1 f2 taps code parameter" line (window
                   type codes of the library: 0 boxcar, 30 bartlett, 1 hann,
                   2 hamming, 5 blackman, 60 kaiser with beta) and an "h" line.
  fir_savgol.txt   Savitzky-Golay: "matrix F p" blocks with the rows of H
                   computed in rational arithmetic ("row") and every row r
                   of scipy.signal.savgol_coeffs(F, p, pos=r, use='dot')
                   ("scipy"; its rows away from the centre carry lstsq
                   rounding up to about 1e-9 for F = 31, p = 5), then
                   "weighted F p" blocks with the weights and the rows of H
                   and C of the weighted least-squares operator (NumPy lstsq
                   of diag(sqrt w) J), and "filter F p" blocks with x and
                   scipy.signal.savgol_filter(x, F, p, mode='interp') and
                   the exact smoothing of x ("exact").
  fir_remez.txt    equiripple designs: "remez type taps fs nbands" with
                   "edges", "gains", "weights" and "h" lines, from
                   scipy.signal.remez(taps, edges, gains, weight=weights,
                   type=..., maxiter=100, grid_density=16, fs=fs). The first
                   is example 1 of McClellan, Parks and Rabiner (1973), a
                   32-tap bandpass.
The tests read the text files only; they never run Python.
"""
from fractions import Fraction

import numpy as np
from scipy import signal

WINDOWS = {0: "boxcar", 30: "bartlett", 1: "hann", 2: "hamming", 5: "blackman"}


def line(tag, values):
    return tag + " " + " ".join("%.17g" % v for v in values) + "\n"


def firwin_cases():
    designs = [
        # type, fs, f1, f2, taps
        (0, 1000.0, 100.0, 0.0, 31),
        (0, 1000.0, 100.0, 0.0, 32),
        (0, 44100.0, 3150.5, 0.0, 101),
        (1, 1000.0, 200.0, 0.0, 31),
        (1, 8000.0, 123.0, 0.0, 65),
        (2, 1000.0, 100.0, 250.0, 40),
        (2, 1000.0, 100.0, 250.0, 41),
        (3, 1000.0, 150.0, 300.0, 51),
        (3, 48000.0, 1000.0, 23000.0, 7),
    ]
    for type_, fs, f1, f2, taps in designs:
        windows = [(c, 0.0) for c in WINDOWS] + [(60, 4.5), (60, 0.0), (60, 8.6)]
        for code, parameter in windows:
            window = ("kaiser", parameter) if code == 60 else WINDOWS[code]
            cutoff = f1 if type_ < 2 else [f1, f2]
            pass_zero = type_ in (0, 3)
            h = signal.firwin(taps, cutoff, window=window, pass_zero=pass_zero, scale=False, fs=fs)
            yield (type_, fs, f1, f2, taps, code, parameter), h


with open("fir_firwin.txt", "w") as out:
    for head, h in firwin_cases():
        out.write("design %d %.17g %.17g %.17g %d %d %.17g\n" % head)
        out.write(line("h", h))


def exact_smoothing_matrix(frame, order, rounded=True):
    """H = J (J'J)^-1 J' in rational arithmetic (its entries are rational)."""
    m = frame // 2
    j = [[Fraction(t) ** q for q in range(order + 1)] for t in range(-m, m + 1)]
    k = order + 1
    # Gauss-Jordan on [J'J | J'].
    rows = [[sum(j[i][a] * j[i][b] for i in range(frame)) for b in range(k)] +
            [j[i][a] for i in range(frame)] for a in range(k)]
    for col in range(k):
        pivot = next(r for r in range(col, k) if rows[r][col] != 0)
        rows[col], rows[pivot] = rows[pivot], rows[col]
        inv = 1 / rows[col][col]
        rows[col] = [v * inv for v in rows[col]]
        for r in range(k):
            if r != col and rows[r][col] != 0:
                factor = rows[r][col]
                rows[r] = [a - factor * b for a, b in zip(rows[r], rows[col])]
    c = [row[k:] for row in rows]
    h = [[sum(j[r][q] * c[q][i] for q in range(k)) for i in range(frame)] for r in range(frame)]
    return [[float(v) for v in row] for row in h] if rounded else h


def exact_smoothing(x, frame, order):
    """The filter with the rational H, every sum exact, rounded once."""
    h = exact_smoothing_matrix(frame, order, rounded=False)
    m, n = frame // 2, len(x)
    xs = [Fraction(v) for v in x]

    def apply(row, start):
        return float(sum(a * b for a, b in zip(h[row], xs[start:start + frame])))

    return ([apply(i, 0) for i in range(m)] + [apply(m, i - m) for i in range(m, n - m)] +
            [apply(m + 1 + i, n - frame) for i in range(m)])


def savgol_blocks(out):
    rng = np.random.default_rng(95)
    for frame, order in [(3, 1), (5, 2), (7, 3), (11, 4), (21, 2), (31, 5), (9, 8), (15, 1)]:
        out.write("matrix %d %d\n" % (frame, order))
        for row in exact_smoothing_matrix(frame, order):
            out.write(line("row", row))
        for r in range(frame):
            out.write(line("scipy", signal.savgol_coeffs(frame, order, pos=r, use="dot")))
    for frame, order in [(7, 2), (11, 3), (13, 4)]:
        w = rng.uniform(0.1, 2.0, frame) * rng.choice([-1, 1], frame)
        w[1] = 0.0  # a zero weight drops its row
        m = frame // 2
        t = np.arange(frame) - m
        j = np.vander(t, order + 1, increasing=True).astype(float)
        sw = np.sqrt(np.abs(w))
        c = np.linalg.lstsq(sw[:, None] * j, np.diag(sw), rcond=None)[0]
        out.write("weighted %d %d\n" % (frame, order))
        out.write(line("w", w))
        for row in j @ c:
            out.write(line("row", row))
        for row in c:
            out.write(line("c", row))
    for frame, order, n in [(5, 2, 60), (31, 4, 200), (11, 3, 11), (9, 1, 50)]:
        x = rng.standard_normal(n)
        out.write("filter %d %d\n" % (frame, order))
        out.write(line("x", x))
        out.write(line("y", signal.savgol_filter(x, frame, order, mode="interp")))
        out.write(line("exact", exact_smoothing(x, frame, order)))


with open("fir_savgol.txt", "w") as out:
    savgol_blocks(out)


REMEZ_TYPES = {1: "bandpass", 2: "differentiator", 3: "hilbert"}


def remez_cases():
    yield 1, 32, 1.0, [0, 0.1, 0.2, 0.35, 0.425, 0.5], [0, 1, 0], [10, 1, 10]
    yield 1, 31, 1000.0, [0, 100, 150, 500], [1, 0], [1, 1]
    yield 1, 24, 1000.0, [0, 100, 150, 500], [1, 0], [1, 1]
    yield 1, 33, 2.0, [0, 0.3, 0.4, 1.0], [0, 1], [1, 1]
    yield 1, 41, 1.0, [0, 0.1, 0.15, 0.25, 0.3, 0.5], [1, 0, 1], [1, 5, 1]
    yield 1, 55, 48000.0, [0, 4000, 5000, 9000, 10000, 15000, 16000, 24000], [0, 1, 0.5, 0], \
        [3, 1, 1, 3]
    yield 2, 31, 1.0, [0, 0.4], [1], [1]
    yield 2, 32, 1.0, [0, 0.5], [1], [1]
    yield 2, 20, 100.0, [0, 20, 30, 50], [1, 0], [1, 1]
    yield 3, 31, 1.0, [0.05, 0.45], [1], [1]
    yield 3, 30, 1.0, [0.05, 0.5], [1], [1]
    yield 3, 48, 1000.0, [20, 500], [1], [1]


with open("fir_remez.txt", "w") as out:
    for type_, taps, fs, edges, gains, weights in remez_cases():
        h = signal.remez(taps, edges, gains, weight=weights, type=REMEZ_TYPES[type_], maxiter=100,
                         grid_density=16, fs=fs)
        out.write("remez %d %d %.17g %d\n" % (type_, taps, fs, len(gains)))
        out.write(line("edges", edges))
        out.write(line("gains", gains))
        out.write(line("weights", weights))
        out.write(line("h", h))
