// Streaming: a signal fed in blocks gives the results of one call, the
// detection's lifecycle on its thread, and two threads detecting at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "frame/thread_state.h"
#include "peaks_test_support.h"

namespace {

using namespace peaks_test;

// Every split into two blocks (both at least w long) and every uniform block
// size from w to n (the remainder joined to the last block) gives bitwise
// the results of one call, for both polarities and widths with every
// candidate rule (3 and 4 merge results of adjacent windows often).
TEST(PeakStreaming, EveryBlockSplitEqualsOneCall) {
  const Vec x = TonesAndNoise(240, 0.3, 11);
  const int64_t n = static_cast<int64_t>(x.size());
  for (int w : {3, 4, 5, 7, 31}) {
    for (int polarity : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "w " << w << " polarity " << polarity);
      const double threshold = polarity ? 0.5 : -0.5;
      const Found whole = DetectAll(x, threshold, w, polarity);
      ASSERT_GT(whole.size(), 5u);
      for (int64_t k = w; k + w <= n; ++k)
        ExpectSame(DetectInBlocks(x, {k, n - k}, threshold, w, polarity), whole);
      for (int64_t b = w; b <= n; ++b) {
        std::vector<int64_t> sizes(static_cast<std::size_t>(n / b), b);
        sizes.back() += n % b;
        ExpectSame(DetectInBlocks(x, sizes, threshold, w, polarity), whole);
      }
    }
  }
}

// Small blocks of exactly w samples, three splits into many blocks of
// uneven sizes, on a noisy signal: still the results of one call.
TEST(PeakStreaming, ManyUnevenBlocks) {
  const Vec x = TonesAndNoise(3000, 0.5, 5);
  for (int w : {4, 7, 31}) {
    const Found whole = DetectAll(x, 0.0, w);
    std::vector<int64_t> exact(3000 / w, w);
    exact.back() += 3000 % w;
    ExpectSame(DetectInBlocks(x, exact, 0.0, w), whole);
    const Vec r = Noise(400, static_cast<std::uint64_t>(w));
    std::vector<int64_t> uneven;
    int64_t left = 3000;
    for (std::size_t k = 0; left > 0; ++k) {
      int64_t b = w + static_cast<int64_t>((r[k % r.size()] + 1.0) * 40);
      if (left - b < w) b = left;
      uneven.push_back(b);
      left -= b;
    }
    ExpectSame(DetectInBlocks(x, uneven, 0.0, w), whole);
  }
}

// The window that ends at the last sample of a block is processed by the
// next call, or by this one when it ends the data; results well inside a
// block come with that block.
TEST(PeakStreaming, PeakInTheLastWindowOfABlock) {
  const int w = 7;
  Vec x(60);
  for (int i = 0; i < 60; ++i)
    x[i] = 5.0 - 0.05 * (i - 36) * (i - 36);  // vertex: centre of the
                                              // last window of 40
  Found first, second;
  ASSERT_EQ(Detect(x.data(), 40, 0.0, w, 0, 1, 0, &first), 0);
  EXPECT_EQ(first.size(), 0u);
  ASSERT_EQ(Detect(x.data() + 40, 20, 0.0, w, 0, 0, 1, &second), 0);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NEAR(second.location[0], 36.0, 1e-10);

  Found ended;
  ASSERT_EQ(Detect(x.data(), 40, 0.0, w, 0, 1, 1, &ended), 0);
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_NEAR(ended.location[0], 36.0, 1e-10);

  // A peak at 20 of a block of 40 is final when the block ends.
  Vec y(80);
  for (int i = 0; i < 80; ++i) y[i] = std::cos(2 * M_PI * (i - 20) / 40.0);
  Found early;
  ASSERT_EQ(Detect(y.data(), 40, 0.5, w, 0, 1, 0, &early), 0);
  ASSERT_EQ(early.size(), 1u);
  EXPECT_NEAR(early.location[0], 20.0, 1e-9);
  ASSERT_EQ(Detect(y.data() + 40, 40, 0.5, w, 0, 0, 1, &early), 0);
  ASSERT_EQ(early.size(), 2u);
  EXPECT_NEAR(early.location[1], 60.0, 1e-9);
}

// A result near the end of a block that could still merge with one of the
// next block is reported once it is final: fed in two blocks split between
// the two adjacent windows of width 4 that both accept the vertex, the
// signal still gives one result, in the second call.
TEST(PeakStreaming, AResultThatMayStillMergeWaitsForTheNextBlock) {
  const Vec x = Gaussians(40, {{20.0, 1.0, 2.0}});
  const Found whole = DetectAll(x, 0.5, 4);
  ASSERT_EQ(whole.size(), 1u);
  // Windows 18 and 19 accept; with 23 samples the first call processes
  // windows 0 .. 18 (window 19 ends at its last sample).
  Found first, second;
  ASSERT_EQ(Detect(x.data(), 23, 0.5, 4, 0, 1, 0, &first), 0);
  EXPECT_EQ(first.size(), 0u);
  ASSERT_EQ(Detect(x.data() + 23, 17, 0.5, 4, 0, 0, 1, &second), 0);
  ExpectSame(second, whole);
}

// Per thread: no detection -> initialised -> fed -> ended by endOfData or by
// any error; initialize while active restarts (locations count from the new
// start, nothing of the old detection is reported).
TEST(PeakLifecycle, StatesOfTheDetection) {
  std::thread([] {
    const Vec x = TonesAndNoise(200, 0.2, 3);
    const double* p = x.data();
    EXPECT_EQ(Detect(p, 50, 0.0, 7, 0, 0, 0), -20064);  // never initialised
    EXPECT_EQ(qm::FindThreadRecord(), nullptr);         // and nothing allocated

    ASSERT_EQ(Detect(p, 50, 0.0, 7, 0, 1, 0), 0);
    ASSERT_EQ(Detect(p, 50, 0.0, 7, 0, 0, 1), 0);  // ends the detection
    EXPECT_EQ(qm::FindThreadRecord()->work_record, nullptr);
    EXPECT_EQ(qm::FindThreadRecord()->work_array, nullptr);
    EXPECT_EQ(Detect(p, 50, 0.0, 7, 0, 0, 0), -20064);

    // Errors end an active detection: n < width, a bad width.
    for (int64_t bad_width : {int64_t{60}, int64_t{2}}) {
      ASSERT_EQ(Detect(p, 50, 0.0, 7, 0, 1, 0), 0);
      EXPECT_EQ(Detect(p, 50, 0.0, bad_width, 0, 0, 0), bad_width == 2 ? -20061 : -20013);
      EXPECT_EQ(qm::FindThreadRecord()->work_record, nullptr);
      EXPECT_EQ(Detect(p, 50, 0.0, 7, 0, 0, 0), -20064);
    }

    // A restart forgets the earlier detection, including a result it still
    // held back (a peak near the end of its block).
    Vec held(40);
    for (int i = 0; i < 40; ++i) held[i] = -0.01 * (i - 35.2) * (i - 35.2);
    Found old_results;
    ASSERT_EQ(Detect(held.data(), 40, -1.0, 4, 0, 1, 0, &old_results), 0);
    EXPECT_EQ(old_results.size(), 0u);
    Found restarted;
    ASSERT_EQ(Detect(p + 100, 100, 0.0, 7, 0, 1, 1, &restarted), 0);
    const Vec tail(x.begin() + 100, x.end());
    ExpectSame(restarted, DetectAll(tail, 0.0, 7));
    EXPECT_EQ(Detect(p, 50, 0.0, 7, 0, 0, 0), -20064);

    // Later calls keep the width they were started with; the argument is
    // only checked.
    Found a, b;
    ASSERT_EQ(Detect(p, 100, 0.0, 7, 0, 1, 0, &a), 0);
    ASSERT_EQ(Detect(p + 100, 100, 0.0, 9, 0, 0, 1, &a), 0);
    ASSERT_EQ(Detect(p, 200, 0.0, 7, 0, 1, 1, &b), 0);
    ExpectSame(a, b);
  }).join();
}

// Two threads detect different signals at once, block by block in lockstep;
// each gets the results of its own signal.
TEST(PeakThreads, TwoThreadsDetectIndependently) {
  const Vec xa = TonesAndNoise(4000, 0.3, 21), xb = Negated(TonesAndNoise(4000, 0.6, 22));
  const Found expected_a = DetectAll(xa, 0.0, 7, 0), expected_b = DetectAll(xb, 0.0, 5, 1);
  std::atomic<int> arrived{0};
  auto run = [&](const Vec& x, int64_t block, int64_t w, int32_t polarity, Found* out) {
    const int64_t n = static_cast<int64_t>(x.size());
    int round = 0;
    for (int64_t at = 0; at < n; at += block, ++round) {
      const int64_t size = n - at < 2 * block ? n - at : block;
      EXPECT_EQ(Detect(x.data() + at, size, 0.0, w, polarity, at == 0, at + size == n, out), 0);
      if (at + size == n) break;
      // Both threads finish the block before either starts the next.
      arrived.fetch_add(1);
      while (arrived.load() < 2 * (round + 1)) std::this_thread::yield();
    }
  };
  for (int repeat = 0; repeat < 3; ++repeat) {
    arrived = 0;
    Found a, b;
    std::thread ta(run, std::cref(xa), 100, 7, 0, &a), tb(run, std::cref(xb), 100, 5, 1, &b);
    ta.join();
    tb.join();
    ExpectSame(a, expected_a);
    ExpectSame(b, expected_b);
  }
}

}  // namespace
