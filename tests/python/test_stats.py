"""The statistics functions through the binding, against NumPy and SciPy."""

import numpy as np
import pytest
from scipy import stats as sps

import qmanlys
from qmanlys import stats

X = np.array([3.0, -1.0, 2.5, 7.0, 0.5, 4.0, -2.0])


@pytest.mark.parametrize("call, expect", [
    (lambda: stats.mean(X), np.mean(X)),
    (lambda: stats.mean_and_variance(X), (np.mean(X), np.var(X))),
    (lambda: stats.mean_and_std_dev(X), (np.mean(X), np.std(X))),
    (lambda: stats.rms(X), np.sqrt(np.mean(X**2))),
    (lambda: stats.complex_rms(X + 2j * X[::-1]), np.sqrt(np.mean(np.abs(X + 2j * X[::-1])**2))),
    (lambda: stats.central_moment(X, 3), sps.moment(X, 3)),
    (lambda: stats.median(X), np.median(X)),
    (lambda: stats.mode([1, 2, 2.2, 2.4, 9], 0, 10, 5), 3.0),
    (lambda: stats.f_distribution(2.5, 3, 7), sps.f.cdf(2.5, 3, 7)),
    (lambda: stats.t_distribution(-1.2, 5), sps.t.cdf(-1.2, 5)),
    (lambda: stats.chi_square_distribution(4.0, 3), sps.chi2.cdf(4.0, 3)),
    (lambda: stats.normal_distribution(0.7), sps.norm.cdf(0.7)),
])
def test_scalar_results_in_argument_order(call, expect):
  np.testing.assert_allclose(call(), expect, rtol=1e-6, atol=2e-5)


@pytest.mark.parametrize("call, exact", [
    (lambda p: stats.inverse_f_distribution(p, 3, 7), lambda p: sps.f.ppf(p, 3, 7)),
    (lambda p: stats.inverse_t_distribution(p, 5), lambda p: sps.t.ppf(p, 5)),
    (lambda p: stats.inverse_chi_square_distribution(p, 3), lambda p: sps.chi2.ppf(p, 3)),
    (lambda p: stats.inverse_normal_distribution(p), sps.norm.ppf),
])
def test_inverses_lie_just_below_the_quantile(call, exact):
  for p in (0.1, 0.5, 0.95):
    assert call(p) == pytest.approx(exact(p), abs=5e-4)
  with pytest.raises(qmanlys.Error) as info:
    call(1.5)
  assert info.value.code == -20053


def test_distribution_errors_carry_their_codes():
  with pytest.raises(qmanlys.Error) as info:
    stats.t_distribution(1.0, 0)
  assert info.value.code == -20052
  with pytest.raises(qmanlys.Error) as info:
    stats.median([1.0, np.nan])
  assert info.value.code == -20104
  with pytest.raises(qmanlys.Error) as info:
    stats.mean([])
  assert info.value.code < 0


def test_sort_and_normalize_copy_unless_given_the_input():
  x = X.copy()
  np.testing.assert_array_equal(stats.sort(x, 0), np.sort(X))
  np.testing.assert_array_equal(stats.sort(x, 1), np.sort(X)[::-1])
  np.testing.assert_array_equal(x, X)
  assert stats.sort(x, 0, out=x) is x
  np.testing.assert_array_equal(x, np.sort(X))

  y, mean, std = stats.array_normalize(X)
  np.testing.assert_allclose(y, (X - X.mean()) / X.std())
  assert (mean, std) == pytest.approx((X.mean(), X.std()))
  m = np.arange(12.0).reshape(3, 4) ** 2
  z, mean, std = stats.normalize_2d(m)
  assert z.shape == (3, 4)
  np.testing.assert_allclose(z, (m - m.mean()) / m.std())
  assert stats.normalize_2d(m, x_out=m)[0] is m
  np.testing.assert_allclose(m, z)
  with pytest.raises(ValueError, match="2-D"):
    stats.normalize_2d(X)


def test_modes_histogram_and_ac_dc():
  x = [1, 1, 2, 2, 3, 3, 4]
  np.testing.assert_array_equal(stats.modes(x, 0), [1, 2, 3])  # every mode, however many
  np.testing.assert_array_equal(stats.modes(np.repeat(np.arange(50.0), 2), 0), np.arange(50.0))
  assert stats.modes([1.0, 2.0, 3.0], 3).size == 0  # greatest count 1: no mode
  counts, centres = stats.histogram(X, -2.0, 8.0, 5)
  assert counts.dtype == np.int64
  ref, edges = np.histogram(X, bins=5, range=(-2.0, 8.0))
  np.testing.assert_array_equal(counts, ref)
  np.testing.assert_allclose(centres, (edges[:-1] + edges[1:]) / 2)
  t = np.arange(1000)
  ac, dc = stats.ac_dc_estimator(1.5 + 2.0 * np.sin(2 * np.pi * t / 50))
  assert dc == pytest.approx(1.5, abs=1e-2)
  assert ac == pytest.approx(2.0 / np.sqrt(2), rel=1e-2)


def test_contingency_table_takes_a_2d_table_of_counts():
  table = np.array([[10, 20, 30], [25, 15, 12]])
  statistic, p = stats.contingency_table_test(table)
  ref = sps.chi2_contingency(table, correction=False)
  assert statistic == pytest.approx(ref[0])
  assert p == pytest.approx(ref[1], abs=1e-6)
  with pytest.raises(qmanlys.Error) as info:
    stats.contingency_table_test([[1, 2, 3]])
  assert info.value.code == -20055
  with pytest.raises(TypeError):
    stats.contingency_table_test([[1.5, 2], [3, 4]])


def test_one_way_anova_against_scipy():
  y = np.array([4.1, 5.0, 4.6, 6.2, 6.8, 7.1, 5.5, 5.9, 5.2])
  levels = np.array([0, 0, 0, 1, 1, 1, 2, 2, 2])
  ssb, msb, f, p, ssw, msw, sst = stats.one_way_anova(y, levels, 3)
  ref = sps.f_oneway(y[:3], y[3:6], y[6:])
  assert f == pytest.approx(ref.statistic)
  assert p == pytest.approx(ref.pvalue, abs=1e-5)
  assert ssb + ssw == pytest.approx(sst)
  assert msb == pytest.approx(ssb / 2) and msw == pytest.approx(ssw / 6)
  with pytest.raises(qmanlys.Error) as info:
    stats.one_way_anova(y, levels + 1, 3)
  assert info.value.code == -20043


def test_two_and_three_way_tables():
  rng = np.random.default_rng(7)
  a = np.repeat([0, 1], 8)
  b = np.tile(np.repeat([0, 1], 4), 2)
  c = np.tile(np.repeat([0, 1], 2), 4)
  y = 1.0 + 2.0 * a + 0.5 * b + rng.normal(0, 0.3, 16)
  table, pa, pb, pab = stats.two_way_anova(y, a, b, 4, 2, 2)
  assert table.shape == (15,)
  grand = y.mean()
  ss_a = 8 * sum((y[a == i].mean() - grand) ** 2 for i in (0, 1))
  assert table[0] == pytest.approx(ss_a)
  assert table[1] == 1 and table[13] == 12
  assert pa == pytest.approx(sps.f.sf(table[3], 1, 12), abs=1e-6)
  assert pa < 1e-6 < pab
  out3 = stats.three_way_anova(y, a, b, c, 2, 2, 2, 2)
  assert len(out3) == 8 and out3[0].shape == (32,)
  assert out3[0][0] == pytest.approx(ss_a)
  assert out3[0][29] == 8  # error degrees of freedom
  with pytest.raises(qmanlys.Error) as info:
    stats.two_way_anova(y, a, b, 3, 2, 2)
  assert info.value.code == -20045
