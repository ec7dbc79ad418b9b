// Distribution functions and their inverses over the regularised incomplete
// beta and gamma functions of the special-functions family.
#include "stats/distributions.h"

#include <cmath>
#include <limits>

#include "frame/workspace.h"
#include "special/special.h"

namespace qm::stats {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool IsProbability(double p) { return p >= 0 && p <= 1; }  // false for NaN

}  // namespace

double FCdf(double x, double m, double k) {
  if (std::isnan(x)) return kNaN;
  if (x <= 0) return 0;
  // P = 1 - I_w(k/2, m/2) with w = k/(m x + k) = 1/(1 + r), r = m x / k, or
  // equally I_{1-w}(m/2, k/2): the smaller of w and 1 - w = r/(1 + r) is the
  // argument, so that neither is formed by a cancelling 1 - w.
  const double r = m * x / k;  // +infinity for x = +infinity: w = 0
  return r < 1 ? special::IncompleteBeta(m / 2, k / 2, r / (1 + r))
               : special::IncompleteBetaComplement(k / 2, m / 2, 1 / (1 + r));
}

double FUpperTail(double x, double m, double k) {
  if (std::isnan(x)) return kNaN;
  if (x <= 0) return 1;
  const double r = m * x / k;
  return r < 1 ? special::IncompleteBetaComplement(m / 2, k / 2, r / (1 + r))
               : special::IncompleteBeta(k / 2, m / 2, 1 / (1 + r));
}

double ChiSquareCdf(double x, double df) {
  if (std::isnan(x)) return kNaN;
  if (x <= 0) return 0;
  if (df == 0 || std::isinf(x)) return 1;
  return special::IncompleteGammaP(df / 2, x / 2);
}

double ChiSquareUpperTail(double x, double df) {
  if (std::isnan(x)) return kNaN;
  if (x <= 0) return 1;
  if (df == 0 || std::isinf(x)) return 0;
  return special::IncompleteGammaQ(df / 2, x / 2);
}

double TCdf(double x, double df) {
  if (std::isnan(x)) return kNaN;
  if (x == 0) return 0.5;
  // tail = I_w(df/2, 1/2)/2 with w = df/(x² + df) = 1/(1 + r), r = x²/df.
  // Near the centre (r < 1) the complement form in 1 - w = r/(1 + r) keeps
  // the digits that w itself would lose.
  const double r = x * x / df;
  const double tail = r < 1 ? 0.5 * special::IncompleteBetaComplement(0.5, df / 2, r / (1 + r))
                            : 0.5 * special::IncompleteBeta(df / 2, 0.5, 1 / (1 + r));
  return x < 0 ? tail : 1 - tail;
}

Status FDistribution(double x, std::int32_t m, std::int32_t k, double* out) {
  if (m < 1 || k < 1) return kBadDegreesOfFreedom;
  *out = FCdf(x, m, k);
  return std::isnan(x) ? kHasNaN : kSuccess;
}

Status InverseFDistribution(double p, std::int32_t m, std::int32_t k, double* out) {
  if (m < 1 || k < 1) return kBadDegreesOfFreedom;
  if (!IsProbability(p)) return kProbabilityNotInUnit;
  if (p == 0) {
    *out = 0;
  } else if (p == 1) {
    *out = kInf;
  } else {
    const double dm = m, dk = k;
    *out = Bisect(p, 1e-6, 10000.0, [dm, dk](double x) { return FCdf(x, dm, dk); });
  }
  return kSuccess;
}

Status TDistribution(double x, std::int32_t df, double* out) {
  if (df < 1) return kBadDegreesOfFreedom;
  *out = TCdf(x, df);
  return std::isnan(x) ? kHasNaN : kSuccess;
}

Status InverseTDistribution(double p, std::int32_t df, double* out) {
  if (df < 1) return kBadDegreesOfFreedom;
  if (!IsProbability(p)) return kProbabilityNotInUnit;
  if (p == 0) {
    *out = -kInf;
  } else if (p == 1) {
    *out = kInf;
  } else {
    const double nu = df;
    *out = Bisect(p, -10000.0, 10000.0, [nu](double x) { return TCdf(x, nu); });
  }
  return kSuccess;
}

Status ChiSquareDistribution(double x, std::int32_t df, double* out) {
  if (df < 0) return kBadDegreesOfFreedom;
  *out = ChiSquareCdf(x, df);
  return std::isnan(x) ? kHasNaN : kSuccess;
}

Status InverseChiSquareDistribution(double p, std::int32_t df, double* out) {
  if (!IsProbability(p)) return kProbabilityNotInUnit;
  if (df < 1) return kBadDegreesOfFreedom;
  if (p == 0) {
    *out = 0;
    return kSuccess;
  }
  if (p == 1) {
    *out = kInf;
    return kSuccess;
  }
  const double nu = df;
  const auto cdf = [nu](double x) { return ChiSquareCdf(x, nu); };
  const double hi = GrowUpperEnd(p, 5000.0, 5000.0, cdf);
  *out = Bisect(p, 0.0, hi, cdf);
  return kSuccess;
}

Status NormalDistribution(double x, double* out) {
  const double u = std::fabs(x);
  const double t = 1 / (1 + 0.33267 * u);
  const double q =
      0.3989422 * std::exp(-u * u / 2) * t * (0.4361836 + t * (-0.1201676 + 0.937298 * t));
  *out = x >= 0 ? 1 - q : q;  // NaN x: q is NaN
  return kSuccess;
}

Status InverseNormalDistribution(double p, double* out) {
  if (!IsProbability(p)) return kProbabilityNotInUnit;
  if (p == 0) {
    *out = -kInf;
    return kSuccess;
  }
  if (p == 1) {
    *out = kInf;
    return kSuccess;
  }
  const auto ratio = [](double t) {
    return (2.515517 + 0.802853 * t + 0.010328 * t * t) /
           (1 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
  };
  if (p >= 0.5) {
    const double t = std::sqrt(-2 * std::log(1 - p));
    *out = t - ratio(t);
  } else {
    const double t = std::sqrt(-2 * std::log(p));
    *out = ratio(t) - t;
  }
  return kSuccess;
}

Status ContingencyTableTest(std::int32_t rows, std::int32_t cols, const std::int32_t* table,
                            double* statistic, double* p_value) {
  if (rows < 0 || cols < 0) return kNegativeContingency;
  if (rows < 2 || cols < 2) return kTooFewCategories;
  const std::size_t nr = static_cast<std::size_t>(rows), nc = static_cast<std::size_t>(cols);
  Scratch<std::int64_t> sums;  // row sums, then column sums
  if (Status s = sums.Allocate(nr + nc)) return s;
  std::int64_t* row_sum = sums.data();
  std::int64_t* col_sum = sums.data() + nr;
  std::int64_t total = 0;
  for (std::size_t i = 0; i < nr; ++i) {
    std::int64_t sum = 0;
    for (std::size_t j = 0; j < nc; ++j) {
      const std::int32_t count = table[i * nc + j];
      if (count < 0) return kNegativeContingency;
      sum += count;
    }
    row_sum[i] = sum;
    total += sum;
  }
  for (std::size_t j = 0; j < nc; ++j) col_sum[j] = 0;
  for (std::size_t i = 0; i < nr; ++i)
    for (std::size_t j = 0; j < nc; ++j) col_sum[j] += table[i * nc + j];
  const double n = static_cast<double>(total);
  double chi = 0;
  for (std::size_t i = 0; i < nr; ++i) {
    for (std::size_t j = 0; j < nc; ++j) {
      // A zero row or column sum makes E = 0 and the term 0/0.
      const double expected = static_cast<double>(row_sum[i]) * static_cast<double>(col_sum[j]) / n;
      const double d = table[i * nc + j] - expected;
      chi += d * d / expected;
    }
  }
  *statistic = chi;
  *p_value = ChiSquareUpperTail(chi, static_cast<double>(rows - 1) * (cols - 1));
  return kSuccess;
}

}  // namespace qm::stats
