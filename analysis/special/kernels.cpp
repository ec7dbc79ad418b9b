// Shared building blocks of the special functions.
#include "special/kernels.h"

#include "frame/math_constants.h"

namespace qm::special {

double DomainError() { return kNaN; }

double SinPi(double x) {
  if (!std::isfinite(x)) return kNaN;
  double r = std::fmod(x, 2.0);  // exact
  if (r < -1.0) {
    r += 2.0;  // exact: the result keeps the spacing of r
  } else if (r > 1.0) {
    r -= 2.0;
  }
  double sign = 1.0;
  if (r < 0.0) {
    r = -r;
    sign = -1.0;
  }
  if (r > 0.5) r = 1.0 - r;  // exact (Sterbenz)
  return sign * std::sin(kPi * r);
}

double CosPi(double x) {
  if (!std::isfinite(x)) return kNaN;
  double r = std::fabs(std::fmod(x, 2.0));
  if (r > 1.0) r = 2.0 - r;  // cos(π r) = cos(π (2 - r)), exact
  if (r == 0.5) return 0.0;
  if (r < 0.25) return std::cos(kPi * r);
  if (r <= 0.75) return std::sin(kPi * (0.5 - r));  // 0.5 - r exact
  return -std::cos(kPi * (1.0 - r));
}

double Log1pMinusX(double t) {
  if (std::fabs(t) >= 0.5) return std::log1p(t) - t;
  // ln(1 + t) = 2 atanh(u), u = t / (2 + t); 2u - t = -t^2 / (2 + t).
  const double u = t / (2.0 + t);
  const double u2 = u * u;
  double term = u * u2;
  double sum = 0.0;
  for (int k = 3; k < 80; k += 2) {
    const double add = term / k;
    sum += add;
    if (std::fabs(add) <= 1e-17 * std::fabs(sum)) break;
    term *= u2;
  }
  return -t * t / (2.0 + t) + 2.0 * sum;
}

double StirlingCorrection(double x) {
  // Σ B_2k / (2k (2k - 1) x^(2k-1)), k = 1..9: below 2e-16 relative for x >= 10.
  static const double kC[] = {1.0 / 12.0,    -1.0 / 360.0,       1.0 / 1260.0,
                              -1.0 / 1680.0, 1.0 / 1188.0,       -691.0 / 360360.0,
                              1.0 / 156.0,   -3617.0 / 122400.0, 43867.0 / 244188.0};
  const double w = 1.0 / x;
  const double w2 = w * w;
  double s = kC[8];
  for (int k = 7; k >= 0; --k) s = s * w2 + kC[k];
  return s * w;
}

}  // namespace qm::special
