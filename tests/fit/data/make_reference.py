#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values of the curve-fitting tests.

Run with /usr/bin/python3 (NumPy and SciPy from Debian) in this folder:
    /usr/bin/python3 make_reference.py
Writes reference.txt: one array per line, "name v0 v1 ...", values in repr
form so that they read back exactly.
"""
import numpy as np
from scipy import interpolate, optimize, stats

rows = []


def put(name, values):
    values = np.atleast_1d(np.asarray(values, dtype=float)).ravel()
    rows.append(name + " " + " ".join(repr(float(v)) for v in values))


# Samples shared by the fits: deterministic, with a little structure.
n = 40
x = np.linspace(-2.0, 3.0, n)
noise = 0.05 * np.sin(7.3 * x + 0.4) + 0.03 * np.cos(17.1 * x)
y = 1.0 - 0.7 * x + 0.4 * x**2 - 0.15 * x**3 + 0.02 * x**5 + noise
w = 0.5 + (np.arange(n) % 5) * 0.3
put("x", x)
put("y", y)
put("w", w)

# Polynomial fits, orders 0..9, unweighted and weighted (the fit weights
# enter the squares, NumPy's multiply the residuals: w -> sqrt(w)).
for order in range(10):
    put("poly%d" % order, np.polyfit(x, y, order)[::-1])
    put("wpoly%d" % order, np.polyfit(x, y, order, w=np.sqrt(w))[::-1])

# General linear fit: lstsq on the rows scaled by 1/sigma, covariance
# (H^T W H)^-1.
rng = np.random.default_rng(18)
h = rng.standard_normal((30, 5))
yh = h @ np.array([1.5, -2.0, 0.25, 3.0, -0.5]) + 0.1 * rng.standard_normal(30)
sigma = 0.5 + rng.random(30)
put("glf_h", h)
put("glf_y", yh)
put("glf_sigma", sigma)
wt = 1.0 / sigma**2
put("glf_coef", np.linalg.lstsq(h / sigma[:, None], yh / sigma, rcond=None)[0])
put("glf_cov", np.linalg.inv(h.T @ (wt[:, None] * h)))
put("glf_coef_plain", np.linalg.lstsq(h, yh, rcond=None)[0])

# Cubic splines: natural and clamped, values at points inside and outside.
xs = np.array([0.0, 0.7, 1.1, 2.0, 2.4, 3.5, 4.1, 5.0])
ys = np.sin(xs) + 0.1 * xs
xe = np.linspace(-0.5, 5.5, 25)
put("spl_x", xs)
put("spl_y", ys)
put("spl_eval", xe)
nat = interpolate.CubicSpline(xs, ys, bc_type="natural")
put("spl_natural_y2", nat(xs, 2))
put("spl_natural", nat(xe))
cla = interpolate.CubicSpline(xs, ys, bc_type=((1, 0.3), (1, -1.2)))
put("spl_clamped_y2", cla(xs, 2))
put("spl_clamped", cla(xe))

# Smoothing spline: p*sum w (y - f)^2 + (1 - p) int f''^2, lambda = (1-p)/p.
for tag, p, weights in (("ss1", 0.9, None), ("ss2", 0.3, w), ("ss3", 0.999, w)):
    spl = interpolate.make_smoothing_spline(x, y, w=weights, lam=(1.0 - p) / p)
    put(tag + "_p", p)
    put(tag + "_values", spl(x))
    put(tag + "_y2", spl(x, 2))

# Iterative fits: the least-squares optimum by scipy.optimize.least_squares.
xe2 = np.linspace(0.0, 4.0, 30)
ye2 = 2.5 * np.exp(-0.8 * xe2) + 0.02 * np.sin(5.0 * xe2)
put("exp_x", xe2)
put("exp_y", ye2)
tight = dict(xtol=1e-15, ftol=1e-15, gtol=1e-15)
r = optimize.least_squares(lambda c: c[0] * np.exp(c[1] * xe2) - ye2, [2.0, -1.0], **tight)
put("exp_ls", r.x)
we2 = 1.0 + (np.arange(30) % 3)
r = optimize.least_squares(
    lambda c: np.sqrt(we2) * (c[0] * np.exp(c[1] * xe2) - ye2), [2.0, -1.0], **tight)
put("exp_w", we2)
put("exp_wls", r.x)

xp = np.linspace(0.5, 6.0, 25)
yp = 1.7 * xp**0.6 + 0.03 * np.cos(3.0 * xp)
put("pow_x", xp)
put("pow_y", yp)
r = optimize.least_squares(lambda c: c[0] * xp ** c[1] - yp, [1.0, 0.5], **tight)
put("pow_ls", r.x)

xg = np.linspace(-3.0, 5.0, 41)
yg = 3.0 * np.exp(-0.5 * ((xg - 1.2) / 0.9) ** 2) + 0.02 * np.sin(4.0 * xg)
put("gauss_x", xg)
put("gauss_y", yg)
r = optimize.least_squares(
    lambda c: c[0] * np.exp(-0.5 * ((xg - c[1]) / c[2]) ** 2) - yg, [2.5, 1.0, 1.0], **tight)
put("gauss_ls", r.x)

# Nonlinear fit of a rational model a0 / (1 + a1 x) + a2 x.
xr = np.linspace(0.0, 5.0, 50)
yr = 4.0 / (1.0 + 0.5 * xr) + 0.3 * xr + 0.01 * np.sin(9.0 * xr)
put("nl_x", xr)
put("nl_y", yr)
r = optimize.least_squares(lambda c: c[0] / (1.0 + c[1] * xr) + c[2] * xr - yr, [1.0, 1.0, 0.0],
                           **tight)
put("nl_ls", r.x)
wr = 0.5 + (np.arange(50) % 4) * 0.5
r = optimize.least_squares(
    lambda c: np.sqrt(wr) * (c[0] / (1.0 + c[1] * xr) + c[2] * xr - yr), [1.0, 1.0, 0.0], **tight)
put("nl_w", wr)
put("nl_wls", r.x)

# Interval bounds of fitted curves: C = (J^T W J)^-1, s^2 = weighted SSE/(n-p),
# t from the Student quantile.
def bounds(tag, f, jac, yv, wv, p, level):
    wv = np.ones_like(yv) if wv is None else wv
    cov = np.linalg.inv(jac.T @ (wv[:, None] * jac))
    s2 = np.sum(wv * (f - yv) ** 2) / (len(yv) - p)
    t = stats.t.ppf(1.0 - (1.0 - level) / 2.0, len(yv) - p)
    q = np.einsum("ij,jk,ik->i", jac, cov, jac)
    put(tag + "_t", t)
    put(tag + "_fit", t * np.sqrt(q * s2))
    put(tag + "_obs", t * np.sqrt((q + 1.0) * s2))
    put(tag + "_coef", t * np.sqrt(np.diag(cov) * s2))


ci = [2.4, -0.75]  # near, not at, the optimum: the bounds take any coefficients
e = np.exp(ci[1] * xe2)
bounds("ci_exp", ci[0] * e, np.column_stack([e, ci[0] * xe2 * e]), ye2, we2, 2, 0.95)
cl = [-0.6, 1.1]
bounds("ci_line", cl[0] * x + cl[1], np.column_stack([x, np.ones_like(x)]), y, None, 2, 0.9)
cg = [3.0, 1.2, 0.9]
z = (xg - cg[1]) / cg[2]
eg = np.exp(-0.5 * z * z)
bounds("ci_gauss", cg[0] * eg,
       np.column_stack([eg, cg[0] * eg * z / cg[2], cg[0] * eg * z * z / cg[2]]), yg, None, 3, 0.99)
cpw = [1.7, 0.6]
e = xp ** cpw[1]
bounds("ci_pow", cpw[0] * e, np.column_stack([e, cpw[0] * e * np.log(xp)]), yp, None, 2, 0.95)
clg = [2.0, 3.0]
lg = np.log10(clg[1] * xp)
bounds("ci_log", clg[0] * lg, np.column_stack([lg, clg[0] / (clg[1] * np.log(10.0)) + 0 * xp]),
       yp, None, 2, 0.8)

with open("reference.txt", "w") as f:
    f.write("\n".join(rows) + "\n")
