#!/usr/bin/env python3
"""Windows and their spectra: 64-point windows and the magnitude of their
transforms (zero-padded to 4096), normalised to 0 dB. Writes windows.png."""

import numpy as np

from gallery import db, need, plt, save
import qmanlys

need("hanning_window", "hamming_window", "blackman_harris_window", "flat_top_window",
     "kaiser_window", "chebyshev_window", "real_fft")

n, padded = 64, 4096
ones = np.ones(n)
windows = {
    "Hanning": qmanlys.hanning_window(ones),
    "Hamming": qmanlys.hamming_window(ones),
    "Blackman-Harris (3 terms)": qmanlys.blackman_harris_window(ones),
    "flat top": qmanlys.flat_top_window(ones),
    "Kaiser, beta 8": qmanlys.kaiser_window(ones, beta=8.0),
    "Dolph-Chebyshev, 80 dB": qmanlys.chebyshev_window(ones, attenuation_db=80.0),
}

fig, (left, right) = plt.subplots(1, 2, figsize=(11, 4.5))
bins = (np.arange(padded) - padded // 2) * n / padded
for label, w in windows.items():
  left.plot(np.arange(n), w, label=label)
  x = np.zeros(padded)
  x[:n] = w
  power = np.abs(np.fft.fftshift(qmanlys.real_fft(x))) ** 2
  right.plot(bins, db(power / power.max()), label=label, lw=1)
left.set(xlabel="sample", ylabel="weight", title="%d-point windows" % n)
left.grid(alpha=0.3)
left.legend(fontsize=8)
right.set(xlabel="frequency (bins of the %d-point transform)" % n, ylabel="dB",
          xlim=(-16, 16), ylim=(-140, 5), title="Their spectra")
right.grid(alpha=0.3)
fig.tight_layout()
save(fig, "windows.png")
