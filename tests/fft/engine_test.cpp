// FFT engine: factorisation and stage kinds, accuracy against a direct DFT
// in long double, round trips, strides, the real-input path, the plan cache
// (reference counts, memory failures, several threads).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fft/fft_engine.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

constexpr double kEps = 2.220446049250313e-16;

struct PlanRef {
  explicit PlanRef(std::int32_t n) : p(FftPlanAcquire(n)) {}
  ~PlanRef() { FftPlanRelease(p); }
  FftPlan* p;
};

std::vector<double> Random(std::int32_t n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> v(n);
  for (double& x : v) x = u(gen);
  return v;
}

// Bin k of the DFT of (re, im), in long double.
void DirectBin(const std::vector<double>& re, const std::vector<double>& im, std::int64_t k,
               long double* outRe, long double* outIm) {
  const std::int64_t n = static_cast<std::int64_t>(re.size());
  const long double w = -2 * std::numbers::pi_v<long double> / n;
  long double sr = 0, si = 0;
  for (std::int64_t j = 0; j < n; ++j) {
    const long double a = w * static_cast<long double>((j * k) % n);
    const long double c = cosl(a), s = sinl(a);
    sr += re[j] * c - im[j] * s;
    si += re[j] * s + im[j] * c;
  }
  *outRe = sr;
  *outIm = si;
}

// Bins checked against the direct DFT: all of them for small n, a spread
// sample for large n.
std::vector<std::int64_t> CheckedBins(std::int32_t n) {
  std::vector<std::int64_t> bins;
  if (n <= 1200) {
    for (std::int64_t k = 0; k < n; ++k) bins.push_back(k);
  } else {
    for (std::int64_t k : {0L, 1L, 2L, 3L, static_cast<long>(n / 2), static_cast<long>(n - 1)})
      bins.push_back(k);
    std::mt19937 gen(n);
    for (int i = 0; i < 26; ++i) bins.push_back(gen() % n);
  }
  return bins;
}

double Bound(std::int32_t n) {
  return 3.0 * kEps * std::max(1.0, std::log2(static_cast<double>(n)));
}

TEST(FftPlanTest, FactorsAndKindsFollowTheRadixTable) {
  struct Case {
    std::int32_t n;
    std::vector<std::int32_t> factors, kinds;
  };
  const Case cases[] = {
      {360, {2, 10, 18}, {0, 0, 0}},
      {1000, {10, 10, 10}, {0, 0, 0}},
      {1024, {32, 32}, {0, 0}},
      {4096, {4, 32, 32}, {0, 0, 0}},
      {48, {3, 16}, {0, 0}},
      {6000, {2, 3, 10, 10, 10}, {0, 0, 0, 0, 0}},
      {23, {23}, {1}},
      {106, {2, 53}, {0, 2}},
      {43, {43}, {0}},
      {47, {47}, {1}},
      {1, {}, {}},
      {30030, {3, 7, 10, 11, 13}, {0, 0, 0, 0, 0}},
      {53 * 59, {53, 59}, {2, 2}},
      {2 * 23 * 23, {2, 23, 23}, {0, 1, 1}},
  };
  for (const Case& c : cases) {
    PlanRef plan(c.n);
    ASSERT_NE(plan.p, nullptr) << c.n;
    EXPECT_EQ(plan.p->length, c.n);
    std::vector<std::int32_t> f(plan.p->factors, plan.p->factors + plan.p->factor_count);
    std::vector<std::int32_t> k(plan.p->stage_kinds, plan.p->stage_kinds + plan.p->factor_count);
    EXPECT_EQ(f, c.factors) << c.n;
    EXPECT_EQ(k, c.kinds) << c.n;
  }
  PlanRef rader(106);
  EXPECT_EQ(rader.p->stage_data[1].rader.sub->length, 52);
}

// Lengths for the accuracy and round-trip checks: kernels, generic primes,
// Rader primes (including nested Rader: 2039 → 2038 = 2·1019 → 1018 = 2·509
// → 508 = 4·127), mixed products and powers.
const std::int32_t kLengths[] = {
    1,   2,    3,    4,    5,    6,    7,    8,    9,    11,   12,    13,    16,    17,    18,  19,
    23,  29,   31,   32,   37,   41,   43,   47,   53,   64,   97,    100,   106,   127,   243, 360,
    529, 1000, 1024, 1031, 2039, 3127, 4096, 4097, 6000, 8192, 30030, 65536, 65537, 100003};

TEST(FftAccuracyTest, ComplexForwardMatchesLongDoubleDft) {
  for (std::int32_t n : kLengths) {
    PlanRef plan(n);
    ASSERT_NE(plan.p, nullptr);
    std::vector<double> re = Random(n, n), im = Random(n, n + 7), yr(n), yi(n);
    ASSERT_EQ(FftComplexForward(plan.p, re.data(), im.data(), yr.data(), yi.data(), 1, 1, n),
              kSuccess);
    long double err = 0, ref = 0;
    for (std::int64_t k : CheckedBins(n)) {
      long double r, i;
      DirectBin(re, im, k, &r, &i);
      err += (yr[k] - r) * (yr[k] - r) + (yi[k] - i) * (yi[k] - i);
      ref += r * r + i * i;
    }
    const double rms = static_cast<double>(std::sqrt(err / ref));
    EXPECT_LT(rms, Bound(n)) << "n = " << n;
  }
}

// The portable kernel set (baseline instruction set) against the same
// reference; plans built while it is selected keep it.
TEST(FftAccuracyTest, PortableKernelsMatchLongDoubleDft) {
  fft::SetPortableKernels(true);
  for (std::int32_t n : {2,  3,  4,  5,  7,  8,  9,  10, 11,  13,  14,   16,   17,
                         18, 19, 29, 31, 32, 37, 41, 43, 106, 360, 1000, 4096, 6000}) {
    PlanRef plan(n);
    std::vector<double> re = Random(n, n), im = Random(n, n + 7), yr(n), yi(n), hc(n), zero(n, 0.0);
    ASSERT_EQ(FftComplexForward(plan.p, re.data(), im.data(), yr.data(), yi.data(), 1, 1, n),
              kSuccess);
    ASSERT_EQ(FftRealForward(plan.p, re.data(), hc.data(), 1, 1, n), kSuccess);
    long double err = 0, ref = 0, rerr = 0, rref = 0;
    for (std::int64_t k : CheckedBins(n)) {
      long double r, i;
      DirectBin(re, im, k, &r, &i);
      err += (yr[k] - r) * (yr[k] - r) + (yi[k] - i) * (yi[k] - i);
      ref += r * r + i * i;
      if (2 * k > n) continue;
      DirectBin(re, zero, k, &r, &i);
      const double gi = (k == 0 || 2 * k == n) ? 0.0 : hc[n - k];
      rerr += (hc[k] - r) * (hc[k] - r) + (gi - i) * (gi - i);
      rref += r * r + i * i;
    }
    EXPECT_LT(static_cast<double>(std::sqrt(err / ref)), Bound(n)) << "complex n = " << n;
    EXPECT_LT(static_cast<double>(std::sqrt(rerr / rref)), Bound(n)) << "real n = " << n;
  }
  fft::SetPortableKernels(false);
}

TEST(FftAccuracyTest, RealForwardMatchesLongDoubleDft) {
  for (std::int32_t n : kLengths) {
    PlanRef plan(n);
    std::vector<double> x = Random(n, 3 * n), zero(n, 0.0), hc(n);
    ASSERT_EQ(FftRealForward(plan.p, x.data(), hc.data(), 1, 1, n), kSuccess);
    long double err = 0, ref = 0;
    for (std::int64_t k : CheckedBins(n)) {
      if (2 * k > n) continue;
      long double r, i;
      DirectBin(x, zero, k, &r, &i);
      const double gr = hc[k], gi = (k == 0 || 2 * k == n) ? 0.0 : hc[n - k];
      err += (gr - r) * (gr - r) + (gi - i) * (gi - i);
      ref += r * r + i * i;
    }
    EXPECT_LT(static_cast<double>(std::sqrt(err / ref)), Bound(n)) << "n = " << n;
  }
}

double RmsDiff(const std::vector<double>& a, const std::vector<double>& b) {
  double e = 0, r = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    e += (a[i] - b[i]) * (a[i] - b[i]);
    r += b[i] * b[i];
  }
  return std::sqrt(e / r);
}

TEST(FftAccuracyTest, ForwardThenInverseRestoresTheInput) {
  for (std::int32_t n : kLengths) {
    PlanRef plan(n);
    std::vector<double> re = Random(n, n + 1), im = Random(n, n + 2), fr(n), fi(n), br(n), bi(n);
    ASSERT_EQ(FftComplexForward(plan.p, re.data(), im.data(), fr.data(), fi.data(), 1, 1, n),
              kSuccess);
    ASSERT_EQ(FftComplexInverse(plan.p, fr.data(), fi.data(), br.data(), bi.data(), 1, 1, n),
              kSuccess);
    EXPECT_LT(RmsDiff(br, re), 2 * Bound(n)) << "complex n = " << n;
    EXPECT_LT(RmsDiff(bi, im), 2 * Bound(n)) << "complex n = " << n;
    std::vector<double> x = Random(n, n + 3), hc(n), back(n);
    ASSERT_EQ(FftRealForward(plan.p, x.data(), hc.data(), 1, 1, n), kSuccess);
    ASSERT_EQ(FftRealInverse(plan.p, hc.data(), back.data(), 1, 1, n), kSuccess);
    EXPECT_LT(RmsDiff(back, x), 2 * Bound(n)) << "real n = " << n;
  }
}

TEST(FftEngineTest, StridedTransformsMatchContiguousOnes) {
  for (std::int32_t n : {12, 64, 106, 360, 1000}) {
    PlanRef plan(n);
    std::vector<double> re = Random(n, 11), im = Random(n, 12), yr(n), yi(n);
    ASSERT_EQ(FftComplexForward(plan.p, re.data(), im.data(), yr.data(), yi.data(), 1, 1, n),
              kSuccess);
    std::vector<double> sr(3 * n), si(3 * n), zr(2 * n, 7.0), zi(2 * n, 7.0);
    for (int j = 0; j < n; ++j) {
      sr[3 * j] = re[j];
      si[3 * j] = im[j];
    }
    ASSERT_EQ(FftComplexForward(plan.p, sr.data(), si.data(), zr.data(), zi.data(), 3, 2, n),
              kSuccess);
    for (int k = 0; k < n; ++k) {
      EXPECT_NEAR(zr[2 * k], yr[k], 1e-12) << n;
      EXPECT_NEAR(zi[2 * k], yi[k], 1e-12) << n;
      EXPECT_EQ(zr[2 * k + 1], 7.0);  // gaps untouched
    }
    // Real transform at strides against the contiguous one.
    std::vector<double> hc(n), shc(2 * n, 7.0), back(2 * n, 7.0);
    ASSERT_EQ(FftRealForward(plan.p, re.data(), hc.data(), 1, 1, n), kSuccess);
    ASSERT_EQ(FftRealForward(plan.p, sr.data(), shc.data(), 3, 2, n), kSuccess);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(shc[2 * k], hc[k], 1e-12) << n;
    ASSERT_EQ(FftRealInverse(plan.p, shc.data(), back.data(), 2, 2, n), kSuccess);
    for (int j = 0; j < n; ++j) EXPECT_NEAR(back[2 * j], re[j], 1e-14) << n;
  }
}

// The interleaved entry point runs the split unit-stride transform: its bits,
// forward and inverse, in place too, at lengths of every plan shape (single
// kernel, pair and quad kernels, the two first stages batched, generic prime,
// Rader stage).
TEST(FftEngineTest, InterleavedTransformsGiveTheSplitBits) {
  for (std::int32_t n : {1, 5, 32, 64, 128, 360, 1000, 1009, 4096, 6000}) {
    PlanRef plan(n);
    const std::vector<double> re = Random(n, 3 * n + 1), im = Random(n, 3 * n + 2);
    std::vector<double> z(2 * n);
    for (std::int32_t j = 0; j < n; ++j) {
      z[2 * j] = re[j];
      z[2 * j + 1] = im[j];
    }
    for (bool inverse : {false, true}) {
      std::vector<double> yr(n), yi(n), out(2 * n, 7.0), inPlace = z;
      ASSERT_EQ(
          inverse ? FftComplexInverse(plan.p, re.data(), im.data(), yr.data(), yi.data(), 1, 1, n)
                  : FftComplexForward(plan.p, re.data(), im.data(), yr.data(), yi.data(), 1, 1, n),
          kSuccess);
      ASSERT_EQ(FftComplexInterleaved(plan.p, z.data(), out.data(), n, inverse), kSuccess);
      ASSERT_EQ(FftComplexInterleaved(plan.p, inPlace.data(), inPlace.data(), n, inverse),
                kSuccess);
      for (std::int32_t k = 0; k < n; ++k) {
        ASSERT_EQ(out[2 * k], yr[k]) << n << (inverse ? " inverse" : " forward") << " bin " << k;
        ASSERT_EQ(out[2 * k + 1], yi[k])
            << n << (inverse ? " inverse" : " forward") << " bin " << k;
      }
      EXPECT_EQ(inPlace, out) << n;
    }
  }
  PlanRef p8(8);
  double buf[16] = {};
  EXPECT_EQ(FftComplexInterleaved(p8.p, buf, buf, 4, false), kAlgorithmFailure);
  EXPECT_EQ(FftComplexInterleaved(nullptr, buf, buf, 8, true), kAlgorithmFailure);
}

// The full-spectrum entry points do the half-complex arithmetic with the
// unfolding folded in: the same bits as the half-complex transforms followed
// by the unfolding, at every kind of length (single kernel, n = 2 mod 4,
// n = 0 mod 4, odd with and without a Rader stage).
// The unit-stride unfolding and folding passes run four bins at a time where
// the processor allows, at other strides one bin at a time, with the same
// bits (a single kernel at an output stride may round differently, so that
// agrees within the accuracy bound); the full-spectrum routes give the
// half-complex bits.
TEST(FftEngineTest, FullSpectrumPathsGiveTheHalfComplexBits) {
  for (std::int32_t n : {2,  3,  6,  8,  12,  14,  18,   20,   22,   24,   26,   32,
                         34, 50, 64, 97, 106, 360, 1000, 1009, 2000, 2002, 4096, 6000}) {
    PlanRef plan(n);
    const std::vector<double> x = Random(n, 5 * n + 1);
    std::vector<double> hc(n), spaced(2 * n, 7.0);
    ASSERT_EQ(FftRealForward(plan.p, x.data(), hc.data(), 1, 1, n), kSuccess);
    ASSERT_EQ(FftRealForward(plan.p, x.data(), spaced.data(), 1, 2, n), kSuccess);
    std::vector<double> gathered(n);
    for (std::int32_t k = 0; k < n; ++k) gathered[k] = spaced[2 * k];
    // Beyond a single kernel, the transform behind the half-complex output
    // runs at unit stride in work space whatever the output stride.
    if (plan.p->factor_count == 1 && plan.p->stage_kinds[0] == kFftFixedKernel)
      EXPECT_LT(RmsDiff(gathered, hc), Bound(n)) << "output stride 2, n = " << n;
    else
      EXPECT_EQ(gathered, hc) << "output stride 2, n = " << n;
    std::vector<double> wantRe(n), wantIm(n, 0.0);
    wantRe[0] = hc[0];
    for (std::int32_t k = 1; 2 * k < n; ++k) {
      wantRe[k] = wantRe[n - k] = hc[k];
      wantIm[k] = hc[n - k];
      wantIm[n - k] = -hc[n - k];
    }
    if (n % 2 == 0) wantRe[n / 2] = hc[n / 2];
    std::vector<double> re = x, im(n, 7.0);
    ASSERT_EQ(FftRealForwardFull(plan.p, re.data(), im.data(), n), kSuccess);
    for (std::int32_t k = 0; k < n; ++k) {
      ASSERT_EQ(re[k], wantRe[k]) << "n = " << n << ", bin " << k;
      ASSERT_EQ(im[k], wantIm[k]) << "n = " << n << ", bin " << k;
    }
    // Back: only re[0 … n/2] and im[n/2 + 1 … n − 1] are read, the result
    // may go over re, and it is FftRealInverse's to the bit.
    std::vector<double> hcCopy = hc, want(n);
    ASSERT_EQ(FftRealInverse(plan.p, hcCopy.data(), want.data(), 1, 1, n), kSuccess);
    for (std::int32_t k = n / 2 + 1; k < n; ++k) re[k] = 1e300;
    for (std::int32_t k = 0; k <= n / 2; ++k) im[k] = -1e300;
    ASSERT_EQ(FftRealInverseFull(plan.p, re.data(), im.data(), re.data(), n), kSuccess);
    for (std::int32_t j = 0; j < n; ++j) ASSERT_EQ(re[j], want[j]) << "n = " << n << ", j " << j;
    EXPECT_LT(RmsDiff(re, x), 2 * Bound(n)) << "n = " << n;
    // At an output stride the inverse writes the same values and leaves the
    // gaps alone.
    std::vector<double> strided(2 * n, 7.0);
    hcCopy = hc;
    ASSERT_EQ(FftRealInverse(plan.p, hcCopy.data(), strided.data(), 1, 2, n), kSuccess);
    for (std::int32_t j = 0; j < n; ++j) {
      ASSERT_EQ(strided[2 * j], want[j]) << "n = " << n;
      ASSERT_EQ(strided[2 * j + 1], 7.0) << "n = " << n;
    }
    // And from a spectrum at an input stride (folded one bin at a time; the
    // half-length transform then reads strided data, which its kernels may
    // round differently).
    std::vector<double> fromSpaced(n);
    for (std::int32_t k = 0; k < n; ++k) spaced[2 * k] = hc[k];
    ASSERT_EQ(FftRealInverse(plan.p, spaced.data(), fromSpaced.data(), 2, 1, n), kSuccess);
    EXPECT_LT(RmsDiff(fromSpaced, want), Bound(n)) << "input stride 2, n = " << n;
  }
  PlanRef p8(8);
  double buf[32] = {};
  EXPECT_EQ(FftRealForwardFull(p8.p, buf, buf + 16, 16), kAlgorithmFailure);
  EXPECT_EQ(FftRealInverseFull(nullptr, buf, buf + 16, buf, 8), kAlgorithmFailure);
  PlanRef one(1);
  double a = 3.5, b = 9.0;
  EXPECT_EQ(FftRealForwardFull(one.p, &a, &b, 1), kSuccess);
  EXPECT_EQ(a, 3.5);
  EXPECT_EQ(b, 0.0);
  EXPECT_EQ(FftRealInverseFull(one.p, &a, &b, &b, 1), kSuccess);
  EXPECT_EQ(b, 3.5);
}

TEST(FftEngineTest, LengthOneCopiesAndMismatchesAreRefused) {
  PlanRef one(1);
  double re = 2.5, im = -1.5, yr = 0, yi = 0;
  EXPECT_EQ(FftComplexForward(one.p, &re, &im, &yr, &yi, 1, 1, 1), kSuccess);
  EXPECT_EQ(yr, 2.5);
  EXPECT_EQ(yi, -1.5);
  EXPECT_EQ(FftRealForward(one.p, &re, &yr, 1, 1, 1), kSuccess);
  EXPECT_EQ(yr, 2.5);
  PlanRef p8(8);
  double buf[16] = {};
  EXPECT_EQ(FftComplexForward(p8.p, buf, buf, buf, buf, 1, 1, 9), kAlgorithmFailure);
  EXPECT_EQ(FftComplexInverse(nullptr, buf, buf, buf, buf, 1, 1, 8), kAlgorithmFailure);
  EXPECT_EQ(FftRealForward(p8.p, buf, buf + 8, 1, 1, 4), kAlgorithmFailure);
  EXPECT_EQ(FftRealInverse(p8.p, buf, buf + 8, 1, 1, 16), kAlgorithmFailure);
  EXPECT_EQ(FftPlanAcquire(0), nullptr);
  EXPECT_EQ(FftPlanAcquire(-5), nullptr);
  FftPlanRelease(nullptr);
}

TEST(FftPlanCacheTest, SameLengthSharesOnePlanUntilTheLastRelease) {
  FftReleaseIdlePlans();
  const int before = FftCachedPlanCount();
  FftPlan* a = FftPlanAcquire(7776);
  FftPlan* b = FftPlanAcquire(7776);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(FftPlanReferenceCount(a), 2);
  EXPECT_EQ(FftCachedPlanCount(), before + 1);
  FftPlanRelease(a);
  EXPECT_EQ(FftPlanReferenceCount(b), 1);
  FftPlanRelease(b);
  // The last release leaves the plan idle; freeing the idle plans frees it.
  EXPECT_EQ(FftCachedPlanCount(), before + 1);
  FftReleaseIdlePlans();
  EXPECT_EQ(FftCachedPlanCount(), before);
  // A Rader plan holds its sub-plan; both go with the last release.
  FftPlan* r = FftPlanAcquire(2 * 1019);
  EXPECT_GT(FftCachedPlanCount(), before + 1);
  FftPlanRelease(r);
  FftReleaseIdlePlans();
  EXPECT_EQ(FftCachedPlanCount(), before);
}

TEST(FftPlanCacheTest, MemoryFailureAtAnyStepLeavesTheCacheClean) {
  FftReleaseIdlePlans();
  const int before = FftCachedPlanCount();
  for (std::int32_t n : {360, 106, 2039}) {
    bool built = false;
    for (int k = 1; k < 200 && !built; ++k) {
      SetWorkspaceFailureCountdown(k);
      FftPlan* p = FftPlanAcquire(n);
      SetWorkspaceFailureCountdown(0);
      if (!p) {
        // Sub-plans built before the failure stay as idle plans.
        FftReleaseIdlePlans();
        EXPECT_EQ(FftCachedPlanCount(), before) << n << " k " << k;
        continue;
      }
      built = true;
      std::vector<double> x = Random(n, 5), hc(n), back(n);
      // The real path's own allocations may fail too: -20001, then success.
      SetWorkspaceFailureCountdown(1);
      const Status s = FftRealForward(p, x.data(), hc.data(), 1, 1, n);
      SetWorkspaceFailureCountdown(0);
      EXPECT_TRUE(s == kSuccess || s == kOutOfMemory);
      ASSERT_EQ(FftRealForward(p, x.data(), hc.data(), 1, 1, n), kSuccess);
      ASSERT_EQ(FftRealInverse(p, hc.data(), back.data(), 1, 1, n), kSuccess);
      EXPECT_LT(RmsDiff(back, x), 1e-13);
      FftPlanRelease(p);
    }
    EXPECT_TRUE(built) << n;
    FftReleaseIdlePlans();
    EXPECT_EQ(FftCachedPlanCount(), before) << n;
  }
}

TEST(FftPlanCacheTest, ThreadsShareAndReleasePlansConcurrently) {
  const std::int32_t lengths[] = {64, 97, 106, 1000, 2039, 4096, 6000};
  constexpr int kLen = sizeof lengths / sizeof lengths[0];
  // Reference spectra, computed once.
  std::vector<std::vector<double>> input(kLen), refRe(kLen), refIm(kLen), refHc(kLen);
  for (int i = 0; i < kLen; ++i) {
    const std::int32_t n = lengths[i];
    PlanRef plan(n);
    input[i] = Random(n, 100 + i);
    refRe[i].resize(n);
    refIm[i].resize(n);
    refHc[i].resize(n);
    std::vector<double> zero(n, 0.0);
    ASSERT_EQ(FftComplexForward(plan.p, input[i].data(), zero.data(), refRe[i].data(),
                                refIm[i].data(), 1, 1, n),
              kSuccess);
  }
  FftReleaseIdlePlans();
  const int before = FftCachedPlanCount();
  std::vector<int> failures(8, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int iter = 0; iter < 12; ++iter) {
        const int i = (t + iter) % kLen;
        const std::int32_t n = lengths[i];
        FftPlan* p = FftPlanAcquire(n);
        if (!p) {
          ++failures[t];
          continue;
        }
        std::vector<double> zero(n, 0.0), yr(n), yi(n), hc(n);
        if (FftComplexForward(p, input[i].data(), zero.data(), yr.data(), yi.data(), 1, 1, n) !=
                kSuccess ||
            FftRealForward(p, input[i].data(), hc.data(), 1, 1, n) != kSuccess)
          ++failures[t];
        for (std::int32_t k = 0; k < n; ++k)
          if (yr[k] != refRe[i][k] || yi[k] != refIm[i][k]) ++failures[t];
        for (std::int32_t k = 1; 2 * k < n; ++k)
          if (std::fabs(hc[k] - refRe[i][k]) > 1e-10 || std::fabs(hc[n - k] - refIm[i][k]) > 1e-10)
            ++failures[t];
        FftPlanRelease(p);
      }
    });
  }
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  FftReleaseIdlePlans();
  EXPECT_EQ(FftCachedPlanCount(), before);
}

}  // namespace
}  // namespace qm::fft

namespace qm::fft {
namespace {

// The generated kernels' operation counts (from the generator's summary at
// the top of the generated file): far below the r² complex products of a
// direct DFT for the composite radices, and about r²/4·4 real products for
// the primes (pairing of inputs k and r − k).
TEST(FftKernelTest, GeneratedKernelsHaveReasonableOperationCounts) {
  std::ifstream f(QM_BINARY_DIR "/generated/fft/fft_kernels_generated.cpp");
  ASSERT_TRUE(f.good());
  std::map<int, std::pair<int, int>> counts;  // radix → (additions, multiplications)
  std::string line;
  while (std::getline(f, line)) {
    int r, adds, muls;
    if (std::sscanf(line.c_str(), "//   radix %d: complex %d+%d*", &r, &adds, &muls) == 3)
      counts[r] = {adds, muls};
  }
  ASSERT_EQ(counts.size(), static_cast<std::size_t>(kKernelRadixCount));
  for (auto [r, c] : counts) {
    const int h = (r - 1) / 2;
    EXPECT_LE(c.second, std::max(4 * h * h, 4)) << "radix " << r;
  }
  EXPECT_LE(counts[16].second, 24);
  EXPECT_LE(counts[32].second, 100);
  EXPECT_LE(counts[8].second, 4);
  EXPECT_EQ(counts[4].second, 0);
  EXPECT_EQ(counts[2].second, 0);
}

}  // namespace
}  // namespace qm::fft
