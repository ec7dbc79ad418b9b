#!/usr/bin/env python3
"""Power spectrum of a noisy two-tone signal: 50 Hz at 1 V and 120 Hz at
1 mV in white noise, Hanning window scaled to unit coherent gain (so a
tone's peak reads its power, A²/2), one-sided power spectrum. Writes
power_spectrum.png."""

import numpy as np

from gallery import db, need, plt, save
import qmanlys

need("scaled_window", "power_spectrum")

HANNING = 1  # window type code

fs, n = 1000.0, 8192
t = np.arange(n) / fs
rng = np.random.default_rng(7)
x = np.sin(2 * np.pi * 50 * t) + 1e-3 * np.sin(2 * np.pi * 120 * t) + 1e-4 * rng.standard_normal(n)

spectrum, df = qmanlys.power_spectrum(qmanlys.scaled_window(x, HANNING), dt=1 / fs, df=True)
f = np.arange(spectrum.size) * df

fig, ax = plt.subplots(figsize=(8, 4))
ax.plot(f, db(spectrum), lw=0.8)
for f0, label in ((50, "50 Hz, 1 V"), (120, "120 Hz, 1 mV")):
  k = int(round(f0 * n / fs))
  ax.annotate(label, (f[k], db(spectrum[k - 3:k + 4].max())), xytext=(8, 0),
              textcoords="offset points", va="center")
ax.set(xlabel="frequency (Hz)", ylabel="power (dB re 1 V²)", xlim=(0, fs / 2),
       title="Two tones in noise, scaled Hanning window, %d samples" % n)
ax.grid(alpha=0.3)
fig.tight_layout()
save(fig, "power_spectrum.png")
