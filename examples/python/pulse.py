#!/usr/bin/env python3
"""A pulse with its measured levels and transition times: the state levels
(top, base), the 10/50/90 % levels, width and overshoot (maximum - top) from
pulse_parameters, the rising and
falling transitions from transition_measurements (10 % to 90 %, in percent
of the amplitude, histogram levels). Writes pulse.png."""

import numpy as np

from gallery import need, plt, save
import qmanlys

need("pulse_parameters", "transition_measurements")

# A 1 V pulse on 0.1 V with 30-sample edges, ringing after the rise and noise.
n = 1000
i = np.arange(n, dtype=float)
rise = np.clip((i - 200) / 30, 0, 1)
fall = np.clip((i - 650) / 30, 0, 1)
ring = np.where(i > 230, 0.15 * np.exp(-(i - 230) / 25) * np.sin((i - 230) / 6), 0)
rng = np.random.default_rng(3)
x = 0.1 + 0.9 * (rise - fall) + ring + 0.005 * rng.standard_normal(n)

(amplitude, level90, level50, level10, top, base, overshoot, preshoot, delay, width, rise_time,
 fall_time, slew_rate) = qmanlys.pulse_parameters(x)
edges = {}
for slope, name in ((1, "rise"), (0, "fall")):
  r = qmanlys.transition_measurements(x, slope=slope, edge=1, high_ref=90.0, middle_ref=50.0,
                                      low_ref=10.0, unit=1, method=0, histogram_size=256)
  slew, duration, start, end = r[:4]
  edges[name] = (start, end, duration, slew)

fig, ax = plt.subplots(figsize=(9, 4.8))
ax.plot(i, x, color="k", lw=0.8, label="waveform")
for level, label, style in ((top, "top %.3f V" % top, "-"), (base, "base %.3f V" % base, "-"),
                            (level90, "90 %", "--"), (level50, "50 %", ":"),
                            (level10, "10 %", "--")):
  ax.axhline(level, color="tab:blue", lw=0.8, ls=style)
  ax.text(n - 5, level, label, ha="right", va="top" if level == base else "bottom", fontsize=8,
          color="tab:blue")
for name, colour in (("rise", "tab:green"), ("fall", "tab:red")):
  start, end, duration, slew = edges[name]
  ax.axvspan(start, end, color=colour, alpha=0.2,
             label="%s %.1f samples (%.3g V/sample)" % (name, duration, slew))
ax.axvline(delay, color="tab:orange", lw=0.8)
ax.axvline(delay + width, color="tab:orange", lw=0.8)
ax.annotate("", (delay, level50), (delay + width, level50),
            arrowprops=dict(arrowstyle="<->", color="tab:orange"))
ax.text(delay + width / 2, level50, "width %d samples" % width, ha="center", va="bottom",
        color="tab:orange", fontsize=9)
ax.set(xlabel="sample", ylabel="V",
       title="Pulse: amplitude %.3f V, overshoot %.3f V, rise %d / fall %d samples"
       % (amplitude, overshoot, rise_time, fall_time))
ax.legend(loc="center", fontsize=8, bbox_to_anchor=(0.5, 0.32))
ax.grid(alpha=0.3)
fig.tight_layout()
save(fig, "pulse.png")
