// One-, two- and three-way analysis of variance with p-values from the F
// distribution.
#include "stats/anova.h"

#include <cstddef>
#include <cstdlib>

#include "frame/workspace.h"
#include "stats/distributions.h"

namespace qm::stats {
namespace {

// |count| of a signed level count, without the overflow of -INT32_MIN.
std::int64_t Levels(std::int32_t count) { return std::llabs(count); }

// The product of the level counts and r, compared with n exactly (four
// 32-bit factors fit in 128 bits).
bool ProductIs(std::int32_t n, std::int32_t r, std::int64_t a, std::int64_t b, std::int64_t c = 1) {
  return static_cast<__int128>(a) * b * c * r == n;
}

void PutRow(double* row, double ss, double df, double f) {
  row[0] = ss;
  row[1] = df;
  row[2] = ss / df;
  row[3] = f;
}

}  // namespace

Status OneWayAnova(const double* y, const std::int32_t* level, std::int32_t n, std::int32_t k,
                   double* ss_between, double* ms_between, double* f, double* p, double* ss_within,
                   double* ms_within, double* ss_total) {
  if (n < 1) return kCountNotPositive;
  if (k < 2 || k >= n) return kLevelsOutOfRange;
  const std::size_t levels = static_cast<std::size_t>(k);
  Scratch<double> sums;
  Scratch<std::int32_t> counts;
  if (Status s = sums.Allocate(levels)) return s;
  if (Status s = counts.Allocate(levels)) return s;
  for (std::size_t i = 0; i < levels; ++i) {
    sums[i] = 0;
    counts[i] = 0;
  }
  // Deviations from the first observation.
  const double shift = y[0];
  double total = 0, squares = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double d = y[i] - shift;
    total += d;
    squares += d * d;
    const std::int32_t l = level[i];
    if (l < 0 || l >= k) return kFactorLevelOutOfRange;
    sums[l] += d;
    ++counts[l];
  }
  const double c0 = total * total / n;
  double between = 0;
  for (std::size_t i = 0; i < levels; ++i) {
    if (counts[i] == 0) return kZeroObservations;
    between += sums[i] * sums[i] / counts[i];
  }
  const double sst = squares - c0;
  const double ssb = between - c0;
  const double ssw = sst - ssb;
  const double df_between = k - 1, df_within = n - k;
  const double msb = ssb / df_between, msw = ssw / df_within;
  *ss_between = ssb;
  *ms_between = msb;
  *f = msb / msw;
  *ss_within = ssw;
  *ms_within = msw;
  *ss_total = sst;
  *p = FUpperTail(*f, df_between, df_within);
  return kSuccess;
}

Status TwoWayAnova(const double* y, const std::int32_t* level_a, const std::int32_t* level_b,
                   std::int32_t n, std::int32_t r, std::int32_t a_count, std::int32_t b_count,
                   double* table, double* p_a, double* p_b, double* p_ab) {
  const std::int64_t a = Levels(a_count), b = Levels(b_count);
  if (!ProductIs(n, r, a, b)) return kBadTotalPoints;
  if (a < 2 || b < 2) return kLevelsOutOfRange;
  if (r < 1) return kZeroObservations;
  // From here a*b*r = n fits in 32 bits, and so does every product below.
  const std::size_t na = static_cast<std::size_t>(a), nb = static_cast<std::size_t>(b);
  const std::size_t cells = na * nb;
  Scratch<double> sums;  // A levels, B levels, cells
  Scratch<std::int32_t> counts;
  if (Status s = sums.Allocate(na + nb + cells)) return s;
  if (Status s = counts.Allocate(cells)) return s;
  double* sum_a = sums.data();
  double* sum_b = sum_a + na;
  double* sum_cell = sum_b + nb;
  for (std::size_t i = 0; i < na + nb + cells; ++i) sums[i] = 0;
  for (std::size_t i = 0; i < cells; ++i) counts[i] = 0;
  const double shift = y[0];
  double total = 0, squares = 0;
  for (std::int32_t k = 0; k < n; ++k) {
    const double d = y[k] - shift;
    total += d;
    squares += d * d;
    const std::int32_t i = level_a[k], j = level_b[k];
    if (i < 0 || i >= a || j < 0 || j >= b) return kFactorLevelOutOfRange;
    const std::size_t cell = static_cast<std::size_t>(i) * nb + static_cast<std::size_t>(j);
    sum_a[i] += d;
    sum_b[j] += d;
    sum_cell[cell] += d;
    ++counts[cell];
  }
  for (std::size_t i = 0; i < cells; ++i)
    if (counts[i] != r) return kUnbalanced;
  if (r == 1 && (a_count < 0 || b_count < 0)) return kRandomEffectNotAllowed;

  const double c0 = total * total / n;
  double qa = 0, qb = 0, qcells = 0;
  for (std::size_t i = 0; i < na; ++i) qa += sum_a[i] * sum_a[i];
  for (std::size_t j = 0; j < nb; ++j) qb += sum_b[j] * sum_b[j];
  for (std::size_t i = 0; i < cells; ++i) qcells += sum_cell[i] * sum_cell[i];
  const double ss_total = squares - c0;
  const double ss_cells = qcells / r - c0;
  const double ss_a = qa / (static_cast<double>(b) * r) - c0;
  const double ss_b = qb / (static_cast<double>(a) * r) - c0;
  const double df_a = static_cast<double>(a - 1), df_b = static_cast<double>(b - 1);
  const double df_ab = df_a * df_b;
  double ss_ab = 0, ss_error, df_error, ms_ab = 0, f_ab = 0;
  if (r >= 2) {
    ss_error = ss_total - ss_cells;
    ss_ab = ss_cells - ss_a - ss_b;
    df_error = static_cast<double>(n) - static_cast<double>(a * b);
    ms_ab = ss_ab / df_ab;
  } else {
    ss_error = ss_cells - ss_a - ss_b;
    df_error = df_ab;
  }
  const double ms_error = ss_error / df_error;
  if (r >= 2) f_ab = ms_ab / ms_error;
  // A random factor makes the interaction the denominator of the other
  // factor's test (possible only with r >= 2).
  const bool a_over_ab = b_count < 0, b_over_ab = a_count < 0;
  const double ms_a = ss_a / df_a, ms_b = ss_b / df_b;
  const double f_a = ms_a / (a_over_ab ? ms_ab : ms_error);
  const double f_b = ms_b / (b_over_ab ? ms_ab : ms_error);
  PutRow(table, ss_a, df_a, f_a);
  PutRow(table + 4, ss_b, df_b, f_b);
  if (r >= 2) {
    PutRow(table + 8, ss_ab, df_ab, f_ab);
  } else {
    for (int i = 8; i < 12; ++i) table[i] = 0;
  }
  table[12] = ss_error;
  table[13] = df_error;
  table[14] = ms_error;
  *p_a = FUpperTail(f_a, df_a, a_over_ab ? df_ab : df_error);
  *p_b = FUpperTail(f_b, df_b, b_over_ab ? df_ab : df_error);
  *p_ab = r >= 2 ? FUpperTail(f_ab, df_ab, df_error) : 0;
  return kSuccess;
}

namespace {

// The effects of the three-way table in its row order, and the denominators
// of their F ratios.
enum Effect { kA, kB, kC, kAB, kAC, kBC, kABC, kError, kNone };

// Denominator of each main effect and two-factor interaction by model code
// 4 (A random) + 2 (B random) + 1 (C random); ABC is always over the error.
constexpr Effect kDenominator[8][6] = {
    {kError, kError, kError, kError, kError, kError},  // all fixed
    {kAC, kBC, kError, kABC, kError, kError},          // C random
    {kAB, kError, kBC, kError, kABC, kError},          // B random
    {kNone, kBC, kBC, kABC, kABC, kError},             // B, C random
    {kError, kAB, kAC, kError, kError, kABC},          // A random
    {kAC, kNone, kAC, kABC, kError, kABC},             // A, C random
    {kAB, kAB, kNone, kError, kABC, kABC},             // A, B random
    {kNone, kNone, kNone, kABC, kABC, kABC},           // all random
};

}  // namespace

Status ThreeWayAnova(const double* y, const std::int32_t* level_a, const std::int32_t* level_b,
                     const std::int32_t* level_c, std::int32_t n, std::int32_t r,
                     std::int32_t a_count, std::int32_t b_count, std::int32_t c_count,
                     double* table, double* p_a, double* p_b, double* p_c, double* p_ab,
                     double* p_ac, double* p_bc, double* p_abc) {
  const std::int64_t a = Levels(a_count), b = Levels(b_count), c = Levels(c_count);
  if (!ProductIs(n, r, a, b, c)) return kBadTotalPoints;
  if (r < 2) return kZeroObservations;
  if (a < 2 || b < 2 || c < 2) return kLevelsOutOfRange;
  const std::size_t na = static_cast<std::size_t>(a), nb = static_cast<std::size_t>(b),
                    nc = static_cast<std::size_t>(c);
  const std::size_t nab = na * nb, nac = na * nc, nbc = nb * nc, nabc = nab * nc;
  const std::size_t all = na + nb + nc + nab + nac + nbc + nabc;
  Scratch<double> sums;
  Scratch<std::int32_t> counts;
  if (Status s = sums.Allocate(all)) return s;
  if (Status s = counts.Allocate(nabc)) return s;
  double* sum_a = sums.data();
  double* sum_b = sum_a + na;
  double* sum_c = sum_b + nb;
  double* sum_ab = sum_c + nc;
  double* sum_ac = sum_ab + nab;
  double* sum_bc = sum_ac + nac;
  double* sum_abc = sum_bc + nbc;
  for (std::size_t i = 0; i < all; ++i) sums[i] = 0;
  for (std::size_t i = 0; i < nabc; ++i) counts[i] = 0;
  const double shift = y[0];
  double total = 0, squares = 0;
  for (std::int32_t k = 0; k < n; ++k) {
    const double d = y[k] - shift;
    total += d;
    squares += d * d;
    const std::int32_t i = level_a[k], j = level_b[k], l = level_c[k];
    if (i < 0 || i >= a || j < 0 || j >= b || l < 0 || l >= c) return kFactorLevelOutOfRange;
    const std::size_t ui = static_cast<std::size_t>(i), uj = static_cast<std::size_t>(j),
                      ul = static_cast<std::size_t>(l);
    sum_a[ui] += d;
    sum_b[uj] += d;
    sum_c[ul] += d;
    sum_ab[ui * nb + uj] += d;
    sum_ac[ui * nc + ul] += d;
    sum_bc[uj * nc + ul] += d;
    const std::size_t cell = (ui * nb + uj) * nc + ul;
    sum_abc[cell] += d;
    ++counts[cell];
  }
  for (std::size_t i = 0; i < nabc; ++i)
    if (counts[i] != r) return kUnbalanced;

  const auto squared = [](const double* s, std::size_t m) {
    double q = 0;
    for (std::size_t i = 0; i < m; ++i) q += s[i] * s[i];
    return q;
  };
  const double da = static_cast<double>(a), db = static_cast<double>(b),
               dc = static_cast<double>(c);
  const double c0 = total * total / n;
  const double qa = squared(sum_a, na) / (db * dc * r);
  const double qb = squared(sum_b, nb) / (da * dc * r);
  const double qc = squared(sum_c, nc) / (da * db * r);
  const double qab = squared(sum_ab, nab) / (dc * r);
  const double qac = squared(sum_ac, nac) / (db * r);
  const double qbc = squared(sum_bc, nbc) / (da * r);
  const double qabc = squared(sum_abc, nabc) / r;
  double ss[8], df[8], ms[8];
  ss[kA] = qa - c0;
  ss[kB] = qb - c0;
  ss[kC] = qc - c0;
  ss[kAB] = qab - qa - qb + c0;
  ss[kAC] = qac - qa - qc + c0;
  ss[kBC] = qbc - qb - qc + c0;
  ss[kABC] = qabc - qab - qac - qbc + qa + qb + qc - c0;
  ss[kError] = squares - qabc;
  df[kA] = da - 1;
  df[kB] = db - 1;
  df[kC] = dc - 1;
  df[kAB] = df[kA] * df[kB];
  df[kAC] = df[kA] * df[kC];
  df[kBC] = df[kB] * df[kC];
  df[kABC] = df[kAB] * df[kC];
  df[kError] = (r - 1.0) * da * db * dc;
  for (int e = kA; e <= kError; ++e) ms[e] = ss[e] / df[e];

  const int model = 4 * (a_count < 0) + 2 * (b_count < 0) + (c_count < 0);
  double f[7], p[7];
  for (int e = kA; e <= kABC; ++e) {
    const Effect over = e == kABC ? kError : kDenominator[model][e];
    if (over == kNone) {
      f[e] = -1.0;
      p[e] = -1.0;
    } else {
      f[e] = ms[e] / ms[over];
      p[e] = FUpperTail(f[e], df[e], df[over]);
    }
    PutRow(table + 4 * e, ss[e], df[e], f[e]);
  }
  table[28] = ss[kError];
  table[29] = df[kError];
  table[30] = ms[kError];
  table[31] = 0;
  double* const outs[7] = {p_a, p_b, p_c, p_ab, p_ac, p_bc, p_abc};
  for (int e = kA; e <= kABC; ++e) *outs[e] = p[e];
  return kSuccess;
}

}  // namespace qm::stats
