// Cosine and sine of rational fractions of a turn, 2π·k/n.
//
// Twiddle factors, window tables and the constants of the generated FFT
// kernels all need cos and sin of 2π·k/n for integer k and n. Computing
// 2π·k/n in floating point and calling cos/sin gives values that are a few
// units in the last place off near the quarter turns and loses the symmetries
// of the circle (cos(π/2) becomes 6e-17, sin(2π(n-k)/n) is not exactly
// -sin(2π·k/n)). CosSinTwoPiFraction reduces the angle to the first octant
// with integer arithmetic instead and evaluates only there, in extended
// precision, so that:
//   - the quarter turns give exactly 0 and ±1, and the eighth turns ±1/√2
//     correctly rounded;
//   - angles related by a symmetry of the circle (k and n - k, k and n/2 - k,
//     k and n/4 - k, ...) give values equal or opposite to the last bit;
//   - every value is within one unit in the last place of the exact one
//     (almost always the correctly rounded double).
// This file and its .cpp depend on nothing but the standard library: the
// kernel generator, a build-time host program, compiles them in too.
#pragma once

#include <cstdint>

namespace qm {

// *c = cos(2π·k/n), *s = sin(2π·k/n) for any integer k and 0 < n <= 2^60
// (k is reduced modulo n first).
void CosSinTwoPiFraction(std::int64_t k, std::int64_t n, double* c, double* s);

// The same values for every k of one n, looked up in a table of the distinct
// reduced angles: n/2 + 1 of them for odd n, n/4 + 1 for n twice an odd
// number, n/8 + 1 when 4 divides n. For building many roots of one n (FFT
// twiddles) at a half to an eighth of the work. The caller owns the storage.
class TwoPiFractionTable {
 public:
  // Doubles of storage the table of n takes.
  static std::int64_t StorageSize(std::int64_t n);
  // Fills `storage` (StorageSize(n) doubles) with the table of n (0 < n <= 2^60)
  // and keeps a pointer to it.
  void Build(std::int64_t n, double* storage);
  // *c = cos(2π·k/n), *s = sin(2π·k/n), bit for bit as CosSinTwoPiFraction(k, n).
  void CosSin(std::int64_t k, double* c, double* s) const;

 private:
  std::int64_t n_ = 1;
  int shift_ = 0;
  const double* cos_ = nullptr;
  const double* sin_ = nullptr;
};

}  // namespace qm
