#!/usr/bin/env python3
"""A fit with its interval band: an exponential decay fitted by least
squares, with the 95 % interval of the fitted curve and of a new
observation. Writes fit_interval.png."""

import numpy as np

from gallery import need, plt, save
import qmanlys

need("exponential_fit", "exponential_fit_interval")

x = np.linspace(0, 5, 60)
rng = np.random.default_rng(5)
y = 2.5 * np.exp(-0.7 * x) + 0.08 * rng.standard_normal(x.size)

fitted, amplitude, damping, residue = qmanlys.exponential_fit(x, y, None, method=0,
                                                              tolerance=1e-10)[:4]
bands = {}
for selector, label in ((0, "fitted curve"), (1, "new observation")):
  upper, lower = qmanlys.exponential_fit_interval(x, y, None, coefficients=[amplitude, damping],
                                                  selector=selector, level=0.95)[:2]
  bands[label] = (upper, lower)

fig, ax = plt.subplots(figsize=(8, 4.5))
ax.fill_between(x, *bands["new observation"], color="tab:blue", alpha=0.15,
                label="95 % interval, new observation")
ax.fill_between(x, *bands["fitted curve"], color="tab:blue", alpha=0.35,
                label="95 % interval, fitted curve")
ax.plot(x, y, "o", ms=3, color="k", label="data")
ax.plot(x, fitted, color="tab:blue", label="y = %.3f exp(%.3f x)" % (amplitude, damping))
ax.set(xlabel="x", ylabel="y", title="Exponential fit with its interval bands")
ax.legend(fontsize=8)
ax.grid(alpha=0.3)
fig.tight_layout()
save(fig, "fit_interval.png")
