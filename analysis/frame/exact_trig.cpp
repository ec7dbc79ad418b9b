#include "frame/exact_trig.h"

#include <cmath>
#include <initializer_list>

#include "frame/math_constants.h"

namespace qm {
namespace {

// 2π·k/n = (π/4)·(octant + r/n) with 0 <= r < n. The angle is evaluated as
// (π/4)·rest/n with rest = r in the even octants and rest = n - r (measured
// back from the octant's upper end) in the odd ones, so that both octants
// around every multiple of π/4 reduce to the same fraction and give the same
// pair of values. rest is a multiple of 2·gcd(n, 4) (see OctantShift).
struct Reduced {
  std::int64_t octant, rest;
};

Reduced Reduce(std::int64_t k, std::int64_t n) {
  if (k < 0 || k >= n) {
    k %= n;
    if (k < 0) k += n;
  }
  // octant = 8k / n and r = 8k mod n by comparisons (no division: the
  // tables call this for every entry).
  std::int64_t r = 8 * k, octant = 0;
  for (std::int64_t part : {4, 2, 1}) {
    if (r >= part * n) {
      octant += part;
      r -= part * n;
    }
  }
  return {octant, (octant & 1) ? n - r : r};
}

// log2 of 2·gcd(n, 4): rest = 8k - octant·n (octant even) or
// (octant + 1)·n - 8k (octant odd) is a multiple of 2·gcd(n, 4).
int OctantShift(std::int64_t n) { return n % 2 != 0 ? 1 : n % 4 != 0 ? 2 : 3; }

// cos and sin of (π/4)·rest/n, 0 <= rest <= n, in extended precision.
void OctantCosSin(std::int64_t rest, std::int64_t n, double* cp, double* sp) {
  const long double phi = static_cast<long double>(rest) / static_cast<long double>(n) * (kPiL / 4);
  *cp = static_cast<double>(std::cos(phi));
  *sp = static_cast<double>(std::sin(phi));
}

// 0 - x rather than -x: the quarter and half turns give +0, never -0.
double Minus(double x) { return 0.0 - x; }

void Unfold(std::int64_t octant, double cp, double sp, double* c, double* s) {
  switch (octant) {
    case 0:
      *c = cp;
      *s = sp;
      break;
    case 1:
      *c = sp;
      *s = cp;
      break;
    case 2:
      *c = Minus(sp);
      *s = cp;
      break;
    case 3:
      *c = Minus(cp);
      *s = sp;
      break;
    case 4:
      *c = Minus(cp);
      *s = Minus(sp);
      break;
    case 5:
      *c = Minus(sp);
      *s = Minus(cp);
      break;
    case 6:
      *c = sp;
      *s = Minus(cp);
      break;
    default:
      *c = cp;
      *s = Minus(sp);
      break;
  }
}

}  // namespace

void CosSinTwoPiFraction(std::int64_t k, std::int64_t n, double* c, double* s) {
  const Reduced a = Reduce(k, n);
  double cp, sp;
  OctantCosSin(a.rest, n, &cp, &sp);
  Unfold(a.octant, cp, sp, c, s);
}

std::int64_t TwoPiFractionTable::StorageSize(std::int64_t n) {
  return 2 * ((n >> OctantShift(n)) + 1);
}

void TwoPiFractionTable::Build(std::int64_t n, double* storage) {
  n_ = n;
  shift_ = OctantShift(n);
  const std::int64_t count = (n >> shift_) + 1;
  cos_ = storage;
  sin_ = storage + count;
  for (std::int64_t i = 0; i < count; ++i)
    OctantCosSin(i << shift_, n, &storage[i], &storage[count + i]);
}

void TwoPiFractionTable::CosSin(std::int64_t k, double* c, double* s) const {
  const Reduced a = Reduce(k, n_);
  const std::int64_t i = a.rest >> shift_;
  Unfold(a.octant, cos_[i], sin_[i], c, s);
}

}  // namespace qm
