// Uniform and Gaussian noise from the calling thread's generators.
//
// Uniform values come from the Wichmann-Hill generator, B. A. Wichmann and
// I. D. Hill, "Algorithm AS 183: An efficient and portable pseudo-random
// number generator", Applied Statistics 31 (1982) 188-190: three
// multiplicative congruential generators whose scaled sum is taken modulo 1.
// Gaussian values use Marsaglia's polar method, which yields two independent
// normal values per accepted pair; the second is cached in the thread's
// record and returned by the next draw, in the same call or a later one.
//
// Each thread has three generators of its own (Gaussian, uniform on [0, 1),
// uniform on [-a, a)), so threads never share a sequence and two threads
// seeded alike produce the same values.
#include <cmath>

#include "generate/generate.h"

namespace qm::generate {
namespace {

constexpr std::uint64_t kModulus[3] = {30269, 30307, 30323};
constexpr std::uint64_t kMultiplier[3] = {171, 172, 170};

// A positive seed restarts the generator from the expansion of that seed; 0
// and negative seeds continue the thread's sequence. A seed whose three
// components are all multiples of their moduli would freeze the generator at
// 0 for ever (and the polar method would never accept a pair), so such a seed
// restarts from the initial seeds instead.
void Reseed(GeneratorSeeds* g, std::int32_t seed) {
  ExpandSeed(static_cast<std::uint32_t>(seed), g);
  bool frozen = true;
  for (int j = 0; j < 3; ++j) frozen = frozen && g->seed[j] % kModulus[j] == 0;
  if (frozen) {
    const GeneratorSeeds initial;
    for (int j = 0; j < 3; ++j) g->seed[j] = initial.seed[j];
  }
}

// The calling thread's generator record, with the first-use rule applied to
// `which` and the caller's seed taken into account.
Status PrepareGenerator(GeneratorSeeds ThreadRecord::*which, std::int32_t seed,
                        ThreadRecord** record) {
  if (Status s = GetThreadRecord(record)) return s;
  GeneratorSeeds* g = &((*record)->*which);
  ApplyFirstUseSeed(g, seed);
  if (seed > 0) Reseed(g, seed);
  return kSuccess;
}

}  // namespace

double WichmannHillNext(GeneratorSeeds* g) {
  // 64-bit products: a seed taken from the caller may exceed 2^32/171.
  for (int j = 0; j < 3; ++j)
    g->seed[j] = static_cast<std::uint32_t>(kMultiplier[j] * g->seed[j] % kModulus[j]);
  const double sum = g->seed[0] / 30269.0 + g->seed[1] / 30307.0 + g->seed[2] / 30323.0;
  return sum - std::floor(sum);
}

Status UniformNoise01(std::int32_t n, std::int32_t seed, double* out) {
  if (n < 1) return kCountNotPositive;
  ThreadRecord* record = nullptr;
  if (Status s = PrepareGenerator(&ThreadRecord::uniform01, seed, &record)) return s;
  for (std::int32_t i = 0; i < n; ++i) out[i] = WichmannHillNext(&record->uniform01);
  return kSuccess;
}

Status UniformNoise(std::int32_t n, double amplitude, std::int32_t seed, double* out) {
  if (n < 1) return kCountNotPositive;
  ThreadRecord* record = nullptr;
  if (Status s = PrepareGenerator(&ThreadRecord::uniform, seed, &record)) return s;
  for (std::int32_t i = 0; i < n; ++i)
    out[i] = (WichmannHillNext(&record->uniform) - 0.5) * 2.0 * amplitude;
  return kSuccess;
}

// The cached value is kept unscaled, so it takes the standard deviation of
// the call that returns it.
Status GaussianNoise(std::int32_t n, double standard_deviation, std::int32_t seed, double* out) {
  if (n < 1) return kCountNotPositive;
  ThreadRecord* record = nullptr;
  if (Status s = PrepareGenerator(&ThreadRecord::gaussian, seed, &record)) return s;
  if (seed > 0) record->gaussian_has_cached = 0;
  GeneratorSeeds* g = &record->gaussian;
  for (std::int32_t i = 0; i < n; ++i) {
    if (record->gaussian_has_cached) {
      record->gaussian_has_cached = 0;
      out[i] = record->gaussian_cached * standard_deviation;
      continue;
    }
    double a, b, s;
    do {
      a = 2.0 * WichmannHillNext(g) - 1.0;
      b = 2.0 * WichmannHillNext(g) - 1.0;
      s = a * a + b * b;
    } while (s >= 1.0 || s == 0.0);
    const double r = std::sqrt(-2.0 * std::log(s) / s);
    record->gaussian_cached = r * a;
    record->gaussian_has_cached = 1;
    out[i] = r * b * standard_deviation;
  }
  return kSuccess;
}

}  // namespace qm::generate
