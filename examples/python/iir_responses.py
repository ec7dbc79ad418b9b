#!/usr/bin/env python3
"""Magnitude and phase responses of the four IIR families, order 5.

Each lowpass filters a unit impulse; the FFT of the impulse response is the
frequency response. Writes iir_responses.png.
"""

import numpy as np

from gallery import need, plt, save
import qmanlys

need("butterworth_lowpass", "chebyshev_lowpass", "inverse_chebyshev_lowpass",
     "elliptic_lowpass", "real_fft")

fs, fc, order, n = 1000.0, 100.0, 5, 4096
impulse = np.zeros(n)
impulse[0] = 1.0
responses = {
    "Butterworth": qmanlys.butterworth_lowpass(impulse, fs=fs, fc=fc, order=order),
    "Chebyshev, 1 dB ripple": qmanlys.chebyshev_lowpass(impulse, fs=fs, fc=fc, ripple=1.0,
                                                       order=order),
    "inverse Chebyshev, 60 dB (stopband edge 150 Hz)": qmanlys.inverse_chebyshev_lowpass(
        impulse, fs=fs, fc=1.5 * fc, attenuation=60.0, order=order),
    "elliptic, 1 dB / 60 dB": qmanlys.elliptic_lowpass(impulse, fs=fs, fc=fc, ripple=1.0,
                                                      attenuation=60.0, order=order),
}
f = np.arange(n // 2) * fs / n

fig, (mag, phase) = plt.subplots(2, 1, figsize=(8, 6.5), sharex=True)
for label, h in responses.items():
  H = qmanlys.real_fft(h)[: n // 2]
  mag.plot(f, 20 * np.log10(np.maximum(np.abs(H), 1e-12)), label=label)
  phase.plot(f, np.degrees(np.unwrap(np.angle(H))), label=label)
mag.set(ylabel="magnitude (dB)", ylim=(-100, 5),
        title="Lowpass filters of order %d, fc = %g Hz, fs = %g Hz" % (order, fc, fs))
mag.axvline(fc, color="0.6", lw=0.8, ls=":")
mag.legend(fontsize=8)
mag.grid(alpha=0.3)
phase.set(xlabel="frequency (Hz)", ylabel="phase (degrees)", xlim=(0, 300))
phase.grid(alpha=0.3)
fig.tight_layout()
save(fig, "iir_responses.png")
