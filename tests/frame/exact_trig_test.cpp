#include "frame/exact_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace {

using qm::CosSinTwoPiFraction;

struct CosSin {
  double c, s;
};

CosSin Eval(std::int64_t k, std::int64_t n) {
  CosSin r;
  CosSinTwoPiFraction(k, n, &r.c, &r.s);
  return r;
}

// The lengths checked at every angle: small ones, powers of two, multiples
// of 4 and 8, primes and a few thousand.
std::vector<std::int64_t> Lengths() {
  std::vector<std::int64_t> n;
  for (std::int64_t i = 1; i <= 130; ++i) n.push_back(i);
  for (std::int64_t i :
       {192, 255, 256, 257, 360, 480, 1000, 1024, 1031, 2047, 2048, 3000, 4096, 4099})
    n.push_back(i);
  return n;
}

// cos and sin of 2π·k/n in extended precision, reduced to a quadrant with
// integer arithmetic (not to an octant) so that the values near zero keep
// their relative accuracy.
void Reference(std::int64_t k, std::int64_t n, long double* c, long double* s) {
  const std::int64_t quadrant = 4 * k / n, rest = 4 * k % n;
  const long double a = std::numbers::pi_v<long double> / 2 * rest / n;
  const long double ca = std::cos(a), sa = std::sin(a);
  switch (quadrant) {
    case 0:
      *c = ca;
      *s = sa;
      break;
    case 1:
      *c = -sa;
      *s = ca;
      break;
    case 2:
      *c = -ca;
      *s = -sa;
      break;
    default:
      *c = sa;
      *s = -ca;
      break;
  }
}

// |got - want| in units of the last place of the double nearest `want`.
double UlpError(double got, long double want) {
  const double w = std::fabs(static_cast<double>(want));
  if (w == 0) return got == 0 ? 0 : std::numeric_limits<double>::infinity();
  const double ulp = std::nextafter(w, 2.0) - w;
  return static_cast<double>(std::fabs(got - want) / ulp);
}

TEST(ExactTrig, QuarterAndEighthTurnsAreExact) {
  const double h = std::numbers::sqrt2 / 2;
  for (std::int64_t n : {1, 2, 4, 8, 12, 16, 24, 40, 64, 1000, 4096, 1 << 30}) {
    for (std::int64_t q = 0; q < 4; ++q) {
      if ((q * n) % 4 != 0) continue;
      const CosSin v = Eval(q * n / 4, n);
      const double want_c[] = {1, 0, -1, 0}, want_s[] = {0, 1, 0, -1};
      EXPECT_EQ(v.c, want_c[q]) << n << " " << q;
      EXPECT_EQ(v.s, want_s[q]) << n << " " << q;
      // The zeros are +0, as the plain angle gives them, not -0.
      for (double z : {v.c, v.s}) EXPECT_FALSE(z == 0 && std::signbit(z)) << n << " " << q;
    }
    if (n % 8 != 0) continue;
    for (std::int64_t o = 1; o < 8; o += 2) {
      const CosSin v = Eval(o * n / 8, n);
      EXPECT_EQ(v.c, (o == 1 || o == 7) ? h : -h) << n << " " << o;
      EXPECT_EQ(v.s, o < 4 ? h : -h) << n << " " << o;
    }
  }
  // cos(π/3) and sin(π/6) are exactly 1/2.
  EXPECT_EQ(Eval(1, 6).c, 0.5);
  EXPECT_EQ(Eval(1, 12).s, 0.5);
  EXPECT_EQ(Eval(5, 12).c, -std::sqrt(3.0) / 2);
}

TEST(ExactTrig, SymmetricAnglesGiveEqualOrOppositeValues) {
  for (std::int64_t n : Lengths()) {
    for (std::int64_t k = 0; k < n; ++k) {
      const CosSin v = Eval(k, n);
      const CosSin mirror = Eval(n - k, n);  // reflection in the real axis
      ASSERT_EQ(mirror.c, v.c) << k << "/" << n;
      ASSERT_EQ(mirror.s, -v.s) << k << "/" << n;
      if (n % 2 == 0) {
        const CosSin half = Eval(n / 2 - k, n);  // π − θ
        ASSERT_EQ(half.c, -v.c) << k << "/" << n;
        ASSERT_EQ(half.s, v.s) << k << "/" << n;
      }
      if (n % 4 == 0) {
        const CosSin quarter = Eval(n / 4 - k, n);  // π/2 − θ
        ASSERT_EQ(quarter.c, v.s) << k << "/" << n;
        ASSERT_EQ(quarter.s, v.c) << k << "/" << n;
      }
      // The same angle as a fraction of a multiple of n.
      const CosSin scaled = Eval(3 * k, 3 * n);
      ASSERT_EQ(scaled.c, v.c) << k << "/" << n;
      ASSERT_EQ(scaled.s, v.s) << k << "/" << n;
    }
  }
}

TEST(ExactTrig, AgreesWithExtendedPrecisionWithinOneUlp) {
  double worst_norm = 0;
  for (std::int64_t n : Lengths()) {
    for (std::int64_t k = 0; k < n; ++k) {
      const CosSin v = Eval(k, n);
      long double c, s;
      Reference(k, n, &c, &s);
      const double e = std::fmax(UlpError(v.c, c), UlpError(v.s, s));
      ASSERT_LE(e, 1.0) << k << "/" << n << ": " << v.c << " " << v.s;
      const long double vc = v.c, vs = v.s;
      worst_norm = std::fmax(worst_norm, static_cast<double>(std::fabs(vc * vc + vs * vs - 1)));
    }
  }
  // The point stays on the unit circle to about an ulp of 1.
  EXPECT_LE(worst_norm, std::numeric_limits<double>::epsilon());
}

TEST(ExactTrig, ReducesAnyIntegerNumerator) {
  for (std::int64_t n : {1, 5, 12, 97}) {
    for (std::int64_t k = 0; k < n; ++k) {
      const CosSin v = Eval(k, n);
      for (std::int64_t turns : {-3, -1, 1, 1000000}) {
        const CosSin w = Eval(k + turns * n, n);
        EXPECT_EQ(w.c, v.c) << k << " + " << turns << "*" << n;
        EXPECT_EQ(w.s, v.s) << k << " + " << turns << "*" << n;
      }
    }
  }
  // Denominators up to 2^60 without overflow: the quarter and eighth turns
  // stay exact and an angle next to a quarter turn keeps its tiny cosine.
  const std::int64_t big = std::int64_t{1} << 60;
  EXPECT_EQ(Eval(big / 4, big).c, 0.0);
  EXPECT_EQ(Eval(big / 4, big).s, 1.0);
  EXPECT_EQ(Eval(3 * (big / 8), big).c, -std::numbers::sqrt2 / 2);
  const CosSin near = Eval(big / 4 - 1, big);
  EXPECT_DOUBLE_EQ(near.c, 2 * std::numbers::pi / static_cast<double>(big));
  EXPECT_EQ(near.s, 1.0);
}

TEST(ExactTrig, TableGivesTheSameValuesBitForBit) {
  // Odd lengths, twice an odd number, multiples of 4 and of 8.
  for (std::int64_t n :
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 20, 97, 106, 360, 1000, 1024, 2039, 4100}) {
    const auto size = qm::TwoPiFractionTable::StorageSize(n);
    const std::int64_t step = n % 2 ? 2 : n % 4 ? 4 : 8;
    EXPECT_EQ(size, 2 * (n / step + 1)) << n;
    std::vector<double> storage(static_cast<std::size_t>(size));
    qm::TwoPiFractionTable table;
    table.Build(n, storage.data());
    for (std::int64_t k = -n; k < 2 * n; ++k) {
      const CosSin want = Eval(k, n);
      double c, s;
      table.CosSin(k, &c, &s);
      ASSERT_EQ(std::signbit(c), std::signbit(want.c)) << k << "/" << n;
      ASSERT_EQ(std::signbit(s), std::signbit(want.s)) << k << "/" << n;
      ASSERT_EQ(c, want.c) << k << "/" << n;
      ASSERT_EQ(s, want.s) << k << "/" << n;
    }
  }
}

}  // namespace
