// Bad input of the peak detector: the order of its statuses, what is
// cleared and allocated, NaN and infinite values, and allocation failures at
// every step.
#include <gtest/gtest.h>

#include <thread>

#include "frame/thread_state.h"
#include "frame/workspace.h"
#include "peaks_test_support.h"

namespace {

using namespace peaks_test;

constexpr int64_t kTooBig = int64_t{1} << 31;

// Runs `body` on a new thread, which has no per-thread record yet.
template <class F>
void OnFreshThread(F body) {
  std::thread(body).join();
}

TEST(PeakInput, StatusesInTheirOrder) {
  OnFreshThread([] {
    const Vec x = TonesAndNoise(50, 0.1, 1);
    int64_t count = 9;
    double *l = nullptr, *a = nullptr, *d = nullptr;
    // The boundary: sizes beyond 32 bits first, then null pointers; both
    // before anything is allocated.
    EXPECT_EQ(ZMXFunc194(nullptr, kTooBig, 0, 2, 0, 1, 0, nullptr, nullptr, nullptr, nullptr),
              -20046);
    EXPECT_EQ(ZMXFunc194(x.data(), 50, 0, kTooBig, 0, 1, 0, &count, &l, &a, &d), -20046);
    EXPECT_EQ(ZMXFunc194(nullptr, 50, 0, 7, 0, 1, 0, &count, &l, &a, &d), -20008);
    EXPECT_EQ(ZMXFunc194(x.data(), 50, 0, 7, 0, 1, 0, nullptr, &l, &a, &d), -20008);
    EXPECT_EQ(ZMXFunc194(x.data(), 50, 0, 7, 0, 1, 0, &count, nullptr, &a, &d), -20008);
    EXPECT_EQ(ZMXFunc194(x.data(), 50, 0, 7, 0, 1, 0, &count, &l, nullptr, &d), -20008);
    EXPECT_EQ(ZMXFunc194(x.data(), 50, 0, 7, 0, 1, 0, &count, &l, &a, nullptr), -20008);
    EXPECT_EQ(count, 9);  // the boundary leaves the outputs alone
    EXPECT_EQ(qm::FindThreadRecord(), nullptr);

    // The width before anything else, and without allocating: the pending
    // injected failure is still there afterwards.
    for (int64_t w : {int64_t{2}, int64_t{-1}, int64_t{1073741825}}) {
      qm::SetWorkspaceFailureCountdown(1);
      EXPECT_EQ(Detect(x.data(), 50, 0, w, 0, 1, 0), -20061) << w;
      void* block = nullptr;
      EXPECT_EQ(qm::WorkspaceAlloc(&block, 8), -20001);
      qm::SetWorkspaceFailureCountdown(0);
    }
    EXPECT_EQ(qm::FindThreadRecord(), nullptr);
    // No detection on this thread comes before n < width.
    EXPECT_EQ(Detect(nullptr, 0, 0, 7, 0, 0, 0), -20064);
    EXPECT_EQ(Detect(x.data(), 6, 0, 7, 0, 1, 0), -20013);
    EXPECT_EQ(Detect(nullptr, 0, 0, 3, 0, 1, 1), -20013);  // x may be null when n is 0
    EXPECT_EQ(Detect(x.data(), -4, 0, 3, 0, 1, 1), -20013);
    EXPECT_EQ(Detect(x.data(), 7, 0, 7, 0, 1, 1), 0);  // n = width: one window
    EXPECT_EQ(Detect(x.data(), 3, 0, 3, 0, 1, 0), 0);
    EXPECT_EQ(Detect(x.data(), 3, 0, 3, 0, 0, 1), 0);  // continued with n = width
  });
}

// The results are cleared first: after an error the caller's pointers are
// null and the count 0, whatever they held.
TEST(PeakInput, ResultsAreClearedOnErrors) {
  const Vec x = TonesAndNoise(50, 0.1, 1);
  for (int64_t w : {int64_t{2}, int64_t{60}}) {
    int64_t count = 5;
    double dummy[3];
    double *l = dummy, *a = dummy + 1, *d = dummy + 2;
    EXPECT_LT(ZMXFunc194(x.data(), 50, 0, w, 0, 1, 0, &count, &l, &a, &d), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(l, nullptr);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(d, nullptr);
  }
}

// NaN samples make the fits of the windows that hold them NaN: they report
// nothing and the peaks away from them are found as without the NaN. A NaN
// threshold reports nothing; infinite thresholds are compared as they are.
TEST(PeakInput, NanAndInfiniteValues) {
  std::vector<Bump> bumps;
  for (int k = 0; k < 5; ++k) bumps.push_back({40.0 * (k + 1) + 0.3, 1.0, 5.0});
  const Vec clean = Gaussians(240, bumps);
  const Found expected = DetectAll(clean, 0.5, 7);
  ASSERT_EQ(expected.size(), 5u);
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    Vec x = clean;
    x[120] = bad;  // on top of the third peak
    const Found f = DetectAll(x, 0.5, 7);
    ASSERT_EQ(f.size(), 4u) << bad;
    for (std::size_t k = 0, e = 0; k < f.size(); ++k, ++e) {
      if (e == 2) ++e;
      EXPECT_EQ(f.location[k], expected.location[e]);
      EXPECT_EQ(f.amplitude[k], expected.amplitude[e]);
    }
  }
  EXPECT_EQ(DetectAll(Vec(100, NAN), -1e300, 5).size(), 0u);
  EXPECT_EQ(DetectAll(clean, NAN, 7).size(), 0u);
  EXPECT_EQ(DetectAll(clean, NAN, 7, 1).size(), 0u);
  EXPECT_EQ(DetectAll(clean, INFINITY, 7).size(), 0u);
  ExpectSame(DetectAll(clean, -INFINITY, 7), DetectAll(clean, -1e300, 7));
  // The valleys between the bumps lie below +inf.
  ExpectSame(DetectAll(clean, INFINITY, 7, 1), DetectAll(clean, 1e300, 7, 1));
}

// An allocation that fails at any step of a two-block detection (the
// thread's record, the state, the operator and its factorisation, the
// result arrays as they grow past 512 entries, the trimming) gives -20001
// with no results, ends the detection and leaks nothing (the leak checker
// of the sanitizer build sees the rest).
TEST(PeakInput, AllocationFailureAtEveryStep) {
  Vec x(3000);
  for (int i = 0; i < 3000; ++i) x[i] = std::sin(2 * M_PI * i / 4.5);  // ~660 peaks
  const Found expected = DetectInBlocks(x, {1800, 1200}, 0.5, 3);
  ASSERT_GT(expected.size(), 600u);
  bool completed = false;
  for (int k = 1; k < 200 && !completed; ++k) {
    OnFreshThread([&] {
      qm::SetWorkspaceFailureCountdown(k);
      Found f;
      int32_t s = Detect(x.data(), 1800, 0.5, 3, 0, 1, 0, &f);
      if (s == 0) s = Detect(x.data() + 1800, 1200, 0.5, 3, 0, 0, 1, &f);
      if (s == 0) {
        ExpectSame(f, expected);
        completed = true;
      } else {
        EXPECT_EQ(s, -20001) << k;
        EXPECT_EQ(Detect(x.data(), 1800, 0.5, 3, 0, 0, 0), -20064) << k;
      }
      qm::SetWorkspaceFailureCountdown(0);
    });
  }
  EXPECT_TRUE(completed);
}

}  // namespace
