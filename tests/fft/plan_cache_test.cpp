// The plan cache as the exports use it: released plans stay idle and are
// found again, idle plans are bounded and evicted oldest first (never a
// referenced one, a plan together with its sub-plans), building after an
// eviction survives memory failures, threads share and evict concurrently,
// and unloading the library frees the plans.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fft/fft_engine.h"
#include "frame/status.h"
#include "frame/workspace.h"
#include "qmanlys.h"

namespace qm::fft {
namespace {

using Vec = std::vector<double>;

Vec Signal(int n, int seed) {
  Vec v(n);
  for (int j = 0; j < n; ++j) v[j] = ((7919LL * j + 131LL * seed + 13) % 1009) / 1009.0 - 0.5;
  return v;
}

// Sets idle limits for one test and puts the former ones back.
class IdleLimits {
 public:
  IdleLimits(int plans, std::size_t bytes) : former_(SetFftIdleLimits({plans, bytes})) {
    FftReleaseIdlePlans();
  }
  ~IdleLimits() {
    SetFftIdleLimits(former_);
    FftReleaseIdlePlans();
  }

 private:
  FftIdleLimits former_;
};

constexpr std::size_t kManyBytes = std::size_t{1} << 40;

// Acquires and releases the plan of each length, in order.
void Use(std::initializer_list<std::int32_t> lengths) {
  for (std::int32_t n : lengths) FftPlanRelease(FftPlanAcquire(n));
}

// The exports whose repeated calls should cost a lookup, each called on
// fresh copies of two signals of length n.
struct Export {
  const char* name;
  std::function<int32_t(double*, double*, double*, double*, int64_t)> call;
  bool second_is_input = true;  // false: the second array is an output or work space
};

const std::vector<Export>& Exports() {
  static const std::vector<Export> all = {
      {"ComplexFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc77(a, b, n); }},
      {"InverseComplexFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc102(a, b, n); }},
      {"RealFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc147(a, b, n); },
       false},
      {"InverseRealFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc148(a, b, n); },
       false},
      {"PowerSpectrumTwoSided",
       [](double* a, double*, double*, double*, int64_t n) { return ZMXFunc161(a, n); }},
      {"PowerSpectrum", [](double* a, double*, double* c, double* d,
                           int64_t n) { return ZMXFunc10(a, n, 0.5, c, d); }},
      {"CrossPowerSpectrumTwoSided", [](double* a, double* b, double* c, double* d,
                                        int64_t n) { return ZMXFunc36(a, b, n, c, d); }},
      {"CrossPowerSpectrum",
       [](double* a, double* b, double* c, double* d, int64_t n) {
         double df;
         return ZMXFunc37(a, b, n, 0.5, c, d, &df);
       }},
      {"TransferFunction",
       [](double* a, double* b, double* c, double* d, int64_t n) {
         double df;
         return ZMXFunc176(a, b, n, 0.5, c, d, &df);
       }},
  };
  return all;
}

// Lengths of every kind: kernels only, a generic prime, Rader stages (4097
// = 17·241, 97 and 1009 odd primes), odd and even.
const std::int32_t kLengths[] = {64, 1000, 4097, 97, 1009, 2 * 23 * 23};

TEST(FftPlanCacheTest, RepeatedExportCallsNeitherRebuildNorAllocate) {
  FftReleaseIdlePlans();
  for (std::int32_t n : kLengths) {
    const std::int64_t cold = FftPlanBuildCount();
    // Two rounds: the first builds the plans, the second lets the thread's
    // scratch area grow to the nesting of the calls.
    for (int round = 0; round < 2; ++round) {
      for (const Export& e : Exports()) {
        Vec a = Signal(n, 1), b = Signal(n, 2), c(n), d(n);
        ASSERT_EQ(e.call(a.data(), b.data(), c.data(), d.data(), n), 0) << e.name << " " << n;
      }
    }
    const std::int64_t warm = FftPlanBuildCount();
    EXPECT_GT(warm, cold) << n;
    EXPECT_TRUE(FftPlanIsCached(n)) << n;
    for (const Export& e : Exports()) {
      Vec a = Signal(n, 1), b = Signal(n, 2), c(n), d(n);
      // The next allocation would fail: none is made.
      SetWorkspaceFailureCountdown(1);
      const int32_t s = e.call(a.data(), b.data(), c.data(), d.data(), n);
      SetWorkspaceFailureCountdown(0);
      EXPECT_EQ(s, 0) << e.name << " " << n << ": allocated in a repeated call";
    }
    EXPECT_EQ(FftPlanBuildCount(), warm) << n;
  }
  // None of the calls kept a reference.
  FftPlan* p = FftPlanAcquire(1000);
  EXPECT_EQ(FftPlanReferenceCount(p), 1);
  FftPlanRelease(p);
}

TEST(FftPlanCacheTest, IdlePlansAreEvictedLeastRecentlyUsedFirst) {
  IdleLimits limits(4, kManyBytes);
  // Lengths without sub-plans.
  Use({40, 44, 48, 56});
  EXPECT_EQ(FftIdlePlanCount(), 4);
  const std::int64_t builds = FftPlanBuildCount();
  Use({40});  // now the most recently used
  EXPECT_EQ(FftPlanBuildCount(), builds);
  Use({60});
  EXPECT_FALSE(FftPlanIsCached(44));
  for (std::int32_t n : {40, 48, 56, 60}) EXPECT_TRUE(FftPlanIsCached(n)) << n;
  Use({72});
  EXPECT_FALSE(FftPlanIsCached(48));
  for (std::int32_t n : {40, 56, 60, 72}) EXPECT_TRUE(FftPlanIsCached(n)) << n;
  EXPECT_EQ(FftIdlePlanCount(), 4);
  // An evicted length is built again on its next use.
  Use({44});
  EXPECT_EQ(FftPlanBuildCount(), builds + 3);
  EXPECT_FALSE(FftPlanIsCached(56));

  // The byte budget: over it, only the plan used last stays.
  SetFftIdleLimits({16, 1});
  EXPECT_EQ(FftIdlePlanCount(), 1);
  EXPECT_TRUE(FftPlanIsCached(44));
  Use({80, 84});
  EXPECT_EQ(FftIdlePlanCount(), 1);
  EXPECT_TRUE(FftPlanIsCached(84));
  EXPECT_FALSE(FftPlanIsCached(80));
  EXPECT_GT(FftIdlePlanBytes(), 84 * 2 * sizeof(double));
}

TEST(FftPlanCacheTest, ReferencedPlansAreNeverEvicted) {
  IdleLimits limits(2, kManyBytes);
  FftPlan* held = FftPlanAcquire(360);
  ASSERT_NE(held, nullptr);
  Use({40, 44, 48, 56, 60});
  EXPECT_TRUE(FftPlanIsCached(360));
  EXPECT_EQ(FftPlanReferenceCount(held), 1);
  EXPECT_EQ(FftIdlePlanCount(), 2);
  // Still a working plan, and the one a new acquisition gets.
  Vec x = Signal(360, 3), hc(360), back(360);
  ASSERT_EQ(FftRealForward(held, x.data(), hc.data(), 1, 1, 360), kSuccess);
  ASSERT_EQ(FftRealInverse(held, hc.data(), back.data(), 1, 1, 360), kSuccess);
  for (int j = 0; j < 360; ++j) EXPECT_NEAR(back[j], x[j], 1e-14);
  const std::int64_t builds = FftPlanBuildCount();
  FftPlan* again = FftPlanAcquire(360);
  EXPECT_EQ(again, held);
  EXPECT_EQ(FftPlanBuildCount(), builds);
  FftPlanRelease(again);

  // More referenced plans than the bound: all stay; once released, the
  // bound keeps the two released last.
  std::vector<FftPlan*> many;
  for (std::int32_t n : {90, 96, 100, 108, 112, 120}) many.push_back(FftPlanAcquire(n));
  FftReleaseIdlePlans();
  for (std::int32_t n : {90, 96, 100, 108, 112, 120}) EXPECT_TRUE(FftPlanIsCached(n)) << n;
  for (FftPlan* p : many) FftPlanRelease(p);
  FftPlanRelease(held);
  EXPECT_EQ(FftIdlePlanCount(), 2);
  EXPECT_TRUE(FftPlanIsCached(360));
  EXPECT_TRUE(FftPlanIsCached(120));
  EXPECT_FALSE(FftPlanIsCached(112));
}

TEST(FftPlanCacheTest, SubPlansCountAndGoWithTheirParents) {
  IdleLimits limits(2, kManyBytes);
  // 2038 = 2·1019 holds 1018 = 2·509, which holds 508 = 4·127, which holds
  // 126: four plans, one idle entry.
  Use({2038});
  EXPECT_EQ(FftIdlePlanCount(), 1);
  for (std::int32_t n : {2038, 1018, 508, 126}) EXPECT_TRUE(FftPlanIsCached(n)) << n;
  const std::size_t withSubs = FftIdlePlanBytes();
  FftReleaseIdlePlans();
  EXPECT_EQ(FftIdlePlanCount(), 0);
  for (std::int32_t n : {2038, 1018, 508, 126}) EXPECT_FALSE(FftPlanIsCached(n)) << n;
  Use({1018});
  EXPECT_LT(FftIdlePlanBytes(), withSubs);
  FftReleaseIdlePlans();

  // Evicting the parent frees the sub-plans nobody used since.
  Use({2038, 40, 44});
  for (std::int32_t n : {2038, 1018, 508, 126}) EXPECT_FALSE(FftPlanIsCached(n)) << n;
  EXPECT_TRUE(FftPlanIsCached(40));
  EXPECT_TRUE(FftPlanIsCached(44));
  EXPECT_EQ(FftIdlePlanCount(), 2);
  // A sub-plan used by a caller since keeps the age of that use.
  FftReleaseIdlePlans();
  Use({2038, 40, 1018, 44});
  EXPECT_FALSE(FftPlanIsCached(2038));
  EXPECT_FALSE(FftPlanIsCached(40));
  for (std::int32_t n : {1018, 508, 126, 44}) EXPECT_TRUE(FftPlanIsCached(n)) << n;
  EXPECT_EQ(FftIdlePlanCount(), 2);

  // The half-length plan of a real transform counts with its parent.
  FftReleaseIdlePlans();
  Use({1024});
  const std::size_t half = FftIdlePlanBytes();
  FftReleaseIdlePlans();
  Use({2048});
  const std::size_t complexOnly = FftIdlePlanBytes();
  FftReleaseIdlePlans();
  {
    FftPlanHold plan(2048);
    Vec x = Signal(2048, 4), hc(2048);
    ASSERT_EQ(FftRealForward(plan, x.data(), hc.data(), 1, 1, 2048), kSuccess);
  }
  EXPECT_EQ(FftIdlePlanCount(), 1);
  EXPECT_TRUE(FftPlanIsCached(1024));
  EXPECT_GE(FftIdlePlanBytes(), complexOnly + half);
}

TEST(FftPlanCacheTest, RebuildingAfterEvictionSurvivesMemoryFailures) {
  IdleLimits limits(1, kManyBytes);
  for (std::int32_t n : {2039, 4097, 360}) {
    Vec re = Signal(n, 5), im = Signal(n, 6);
    Vec wantRe = re, wantIm = im;
    ASSERT_EQ(ZMXFunc77(wantRe.data(), wantIm.data(), n), 0);
    Use({40});  // evicts n and its sub-plans
    ASSERT_FALSE(FftPlanIsCached(n));
    FftReleaseIdlePlans();
    const int before = FftCachedPlanCount();
    bool rebuilt = false;
    for (int k = 1; k < 400 && !rebuilt; ++k) {
      ReleaseThreadScratch();
      Vec a = re, b = im;
      SetWorkspaceFailureCountdown(k);
      const int32_t s = ZMXFunc77(a.data(), b.data(), n);
      SetWorkspaceFailureCountdown(0);
      if (s == 0) {
        rebuilt = true;
        EXPECT_EQ(a, wantRe) << n;
        EXPECT_EQ(b, wantIm) << n;
      } else {
        ASSERT_EQ(s, kOutOfMemory) << n << " k=" << k;
        EXPECT_EQ(a, re) << n << " k=" << k;
        EXPECT_EQ(b, im) << n << " k=" << k;
        // Nothing referenced is left behind (sub-plans built before the
        // failure may stay idle).
        FftReleaseIdlePlans();
        EXPECT_EQ(FftCachedPlanCount(), before) << n << " k=" << k;
      }
    }
    EXPECT_TRUE(rebuilt) << n;
  }
}

// Every export with a cold cache and a cold scratch area, each allocation in
// turn failing: -20001 with the inputs untouched, until the call succeeds.
TEST(FftPlanCacheTest, ColdExportsReportMemoryFailuresAndLeaveTheirInputs) {
  for (const Export& e : Exports()) {
    for (int64_t n : {36, 318, 97}) {
      bool succeeded = false;
      for (int k = 1; k < 100 && !succeeded; ++k) {
        FftReleaseIdlePlans();
        ReleaseThreadScratch();
        Vec a = Signal(n, 7), b = Signal(n, 8), c(n), d(n);
        const Vec a0 = a, b0 = b;
        SetWorkspaceFailureCountdown(k);
        const int32_t s = e.call(a.data(), b.data(), c.data(), d.data(), n);
        SetWorkspaceFailureCountdown(0);
        if (s == 0) {
          succeeded = true;
        } else {
          ASSERT_EQ(s, kOutOfMemory) << e.name << " n=" << n << " k=" << k;
          EXPECT_EQ(a, a0) << e.name << " n=" << n << " k=" << k;
          if (e.second_is_input) {
            EXPECT_EQ(b, b0) << e.name << " n=" << n << " k=" << k;
          }
        }
      }
      EXPECT_TRUE(succeeded) << e.name << " " << n;
    }
  }
}

// The one-sided spectra are the two-sided ones below n/2 (bin 0 once, the
// others doubled), bit for bit, and write nothing beyond.
TEST(FftSpectraTest, OneSidedSpectraAreTheTwoSidedOnesFolded) {
  for (int n : {2, 3, 5, 16, 97, 1000, 4097}) {
    const Vec x = Signal(n, 9), y = Signal(n, 10);
    const int half = n / 2;
    Vec two = x;
    ASSERT_EQ(ZMXFunc161(two.data(), n), 0);
    Vec one(n, -7.0);
    double df = 0;
    ASSERT_EQ(ZMXFunc10(x.data(), n, 0.25, one.data(), &df), 0);
    EXPECT_EQ(df, 1.0 / (n * 0.25));
    for (int k = 0; k < half; ++k) EXPECT_EQ(one[k], k == 0 ? two[0] : 2.0 * two[k]) << n;
    for (int k = half; k < n; ++k) EXPECT_EQ(one[k], -7.0) << n << ": written beyond n/2";

    Vec re(n), im(n);
    ASSERT_EQ(ZMXFunc36(x.data(), y.data(), n, re.data(), im.data()), 0);
    Vec mag(n, -7.0), phase(n, -7.0);
    ASSERT_EQ(ZMXFunc37(x.data(), y.data(), n, 0.25, mag.data(), phase.data(), &df), 0);
    for (int k = 0; k < half; ++k) {
      const double m = std::sqrt(re[k] * re[k] + im[k] * im[k]);
      EXPECT_EQ(mag[k], k == 0 ? m : 2.0 * m) << n << " bin " << k;
      EXPECT_EQ(phase[k], std::atan2(im[k], re[k])) << n << " bin " << k;
    }
    for (int k = half; k < n; ++k) {
      EXPECT_EQ(mag[k], -7.0) << n;
      EXPECT_EQ(phase[k], -7.0) << n;
    }
  }
  // n = 1: no bin below n/2, only df.
  double x = 3.0, s = -7.0, df = 0;
  EXPECT_EQ(ZMXFunc10(&x, 1, 0.5, &s, &df), 0);
  EXPECT_EQ(s, -7.0);
  EXPECT_EQ(df, 2.0);
  EXPECT_EQ(ZMXFunc37(&x, &x, 1, 0.5, &s, &s, &df), 0);
  EXPECT_EQ(s, -7.0);
}

TEST(FftPlanCacheTest, EightThreadsAcquireReleaseAndEvictMixedLengths) {
  // More lengths than idle slots, so that threads evict each other's plans
  // while they use them; plans of every kind (Rader chains, odd and even
  // real paths).
  const std::int32_t lengths[] = {64, 97, 106, 360, 1000, 1009, 2038, 4096, 4097, 6000, 243, 512};
  constexpr int kLen = sizeof lengths / sizeof lengths[0];
  std::vector<Vec> reIn(kLen), imIn(kLen), wantRe(kLen), wantIm(kLen), wantX(kLen), wantY(kLen);
  for (int i = 0; i < kLen; ++i) {
    const int n = lengths[i];
    reIn[i] = Signal(n, 11 + i);
    imIn[i] = Signal(n, 40 + i);
    wantRe[i] = reIn[i];
    wantIm[i] = imIn[i];
    ASSERT_EQ(ZMXFunc77(wantRe[i].data(), wantIm[i].data(), n), 0);
    wantX[i] = reIn[i];
    wantY[i].resize(n);
    ASSERT_EQ(ZMXFunc147(wantX[i].data(), wantY[i].data(), n), 0);
  }
  IdleLimits limits(3, kManyBytes);
  const int before = FftCachedPlanCount();
  std::vector<int> failures(8, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int iter = 0; iter < 30; ++iter) {
        const int i = (3 * t + 5 * iter) % kLen;
        const int n = lengths[i];
        Vec re = reIn[i], im = imIn[i];
        if (ZMXFunc77(re.data(), im.data(), n) != 0 || re != wantRe[i] || im != wantIm[i])
          ++failures[t];
        Vec x = reIn[i], y(n);
        if (ZMXFunc147(x.data(), y.data(), n) != 0 || x != wantX[i] || y != wantY[i]) ++failures[t];
        // A plan held across other threads' evictions.
        FftPlanHold held(lengths[(i + 1) % kLen]);
        if (!held || FftPlanReferenceCount(held) < 1) ++failures[t];
        if (ZMXFunc102(re.data(), im.data(), n) != 0) ++failures[t];
        for (int j = 0; j < n; ++j)
          if (std::fabs(re[j] - reIn[i][j]) > 1e-12 || std::fabs(im[j] - imIn[i][j]) > 1e-12) {
            ++failures[t];
            break;
          }
      }
    });
  }
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_LE(FftIdlePlanCount(), 3);
  FftReleaseIdlePlans();
  EXPECT_EQ(FftIdlePlanCount(), 0);
  EXPECT_EQ(FftIdlePlanBytes(), 0u);
  EXPECT_EQ(FftCachedPlanCount(), before);
}

TEST(FftPlanCacheTest, ClosingTheCacheFreesReferencedAndIdlePlans) {
  FftPlan* held = FftPlanAcquire(1000);
  Use({2038, 64});
  ASSERT_GT(FftCachedPlanCount(), 2);
  FftPlanCacheClose();  // as the library's unload does; `held` is gone
  (void)held;
  EXPECT_EQ(FftCachedPlanCount(), 0);
  EXPECT_EQ(FftIdlePlanCount(), 0);
  EXPECT_EQ(FftIdlePlanBytes(), 0u);
  // The cache works on afterwards.
  Vec re = Signal(1000, 1), im = Signal(1000, 2);
  EXPECT_EQ(ZMXFunc77(re.data(), im.data(), 1000), 0);
  EXPECT_TRUE(FftPlanIsCached(1000));
}

std::size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kHeapCounted = false;  // the sanitizer's allocator (leaks: its own check)
#else
constexpr bool kHeapCounted = true;
#endif

// The shared library loaded and unloaded as an application does: its plans
// and scratch (tens of MiB here) go with it.
TEST(FftPlanCacheTest, UnloadingTheLibraryFreesItsPlans) {
  const int n = 1 << 19;
  Vec re = Signal(n, 1), im = Signal(n, 2);
  const std::size_t before = HeapInUse();
  void* lib = dlopen(QM_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto complexFft =
      reinterpret_cast<int32_t (*)(double*, double*, int64_t)>(dlsym(lib, "ZMXFunc77"));
  auto realFft = reinterpret_cast<int32_t (*)(double*, double*, int64_t)>(dlsym(lib, "ZMXFunc147"));
  ASSERT_NE(complexFft, nullptr);
  ASSERT_NE(realFft, nullptr);
  ASSERT_EQ(complexFft(re.data(), im.data(), n), 0);
  ASSERT_EQ(realFft(re.data(), im.data(), n), 0);
  ASSERT_EQ(realFft(re.data(), im.data(), 3 * 4099), 0);
  const std::size_t loaded = HeapInUse();
  dlclose(lib);
  void* still = dlopen(QM_SHARED_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  if (still) dlclose(still);
  EXPECT_EQ(still, nullptr) << "not unloaded";
  if (!kHeapCounted) return;
  EXPECT_GT(loaded, before + (std::size_t{8} << 20));
  EXPECT_LT(HeapInUse(), before + (std::size_t{1} << 20));
}

}  // namespace
}  // namespace qm::fft
