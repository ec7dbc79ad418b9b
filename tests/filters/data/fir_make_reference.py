#!/usr/bin/python3
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
The tests read the text files only; they never run Python.
"""
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
