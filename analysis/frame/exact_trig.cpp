#include "frame/exact_trig.h"

#include <cmath>

#include "frame/math_constants.h"

namespace qm {
namespace {

// 0 - x rather than -x: the quarter and half turns give +0, never -0.
double Minus(double x) { return 0.0 - x; }

}  // namespace

void CosSinTwoPiFraction(std::int64_t k, std::int64_t n, double* c, double* s) {
  k %= n;
  if (k < 0) k += n;
  // 2π·k/n = (π/4)·(octant + rest/n) with 0 <= rest < n. In the odd octants
  // the angle is measured back from the octant's upper end, so that both
  // octants around every multiple of π/4 reduce to the same fraction and
  // give the same pair of values.
  const std::int64_t octant = 8 * k / n;
  std::int64_t rest = 8 * k - octant * n;
  if (octant & 1) rest = n - rest;
  const long double phi = static_cast<long double>(rest) / static_cast<long double>(n) * (kPiL / 4);
  const double cp = static_cast<double>(std::cos(phi));
  const double sp = static_cast<double>(std::sin(phi));
  switch (octant) {
    case 0: *c = cp; *s = sp; break;
    case 1: *c = sp; *s = cp; break;
    case 2: *c = Minus(sp); *s = cp; break;
    case 3: *c = Minus(cp); *s = sp; break;
    case 4: *c = Minus(cp); *s = Minus(sp); break;
    case 5: *c = Minus(sp); *s = Minus(cp); break;
    case 6: *c = sp; *s = Minus(cp); break;
    default: *c = cp; *s = Minus(sp); break;
  }
}

}  // namespace qm
