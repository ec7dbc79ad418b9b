#!/usr/bin/env python3
"""Savitzky-Golay smoothing of a noisy signal: cubic fits over 11 and 41
points keep the peaks that a moving average of 41 points flattens. Writes
savitzky_golay.png."""

import numpy as np

from gallery import need, plt, save
import qmanlys

need("savitzky_golay_filter")

n = 500
t = np.linspace(0, 1, n)
clean = np.exp(-((t - 0.3) / 0.02) ** 2) + 0.6 * np.exp(-((t - 0.65) / 0.06) ** 2)
rng = np.random.default_rng(11)
noisy = clean + 0.08 * rng.standard_normal(n)

fig, ax = plt.subplots(figsize=(8, 4.5))
ax.plot(t, noisy, ".", ms=2, color="0.6", label="noisy")
ax.plot(t, clean, color="k", lw=0.8, label="clean")
for m, colour in ((5, "tab:green"), (20, "tab:blue")):
  smooth = qmanlys.savitzky_golay_filter(noisy, p=3, m=m)
  ax.plot(t, smooth, color=colour, label="Savitzky-Golay, cubic, %d points" % (2 * m + 1))
ax.plot(t, np.convolve(noisy, np.ones(41) / 41, mode="same"), color="tab:red", ls="--",
        label="moving average, 41 points")
ax.set(xlabel="t", ylabel="y", title="Savitzky-Golay smoothing")
ax.legend(fontsize=8)
ax.grid(alpha=0.3)
fig.tight_layout()
save(fig, "savitzky_golay.png")
