// Distribution functions and their inverses over the regularised incomplete
// beta and gamma functions of the special-functions family.
#include "stats/distributions.h"

#include <cmath>
#include <limits>

#include "special/special.h"

namespace qm::stats {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Bisection on a distribution function: while the bracket is wider than
// 0.0001, mid = (lo + hi)/2 replaces lo when p > cdf(mid), else hi. The
// result is lo. It also stops where doubles are coarser than the tolerance
// (mid equal to an end), so a wide bracket cannot loop for ever.
template <class Cdf>
double Bisect(double p, double lo, double hi, Cdf cdf) {
  constexpr double kTolerance = 0.0001;
  while (std::fabs(hi - lo) > kTolerance) {
    const double mid = (lo + hi) / 2;
    if (!(mid > lo && mid < hi)) break;
    if (p > cdf(mid)) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

bool IsProbability(double p) { return p >= 0 && p <= 1; }  // false for NaN

}  // namespace

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

}  // namespace qm::stats
