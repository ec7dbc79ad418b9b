// Per-thread scratch: nested blocks from the thread's area, no allocation
// once the area has grown to the nesting, heap blocks beyond the area's
// bound, memory failures, and one area per thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "frame/status.h"
#include "frame/workspace.h"

namespace {

// True when the next workspace allocation would be the first one made since
// `armed` was set up (the failure hook is still armed).
bool NothingAllocated() {
  void* block = nullptr;
  const bool failed = qm::WorkspaceAlloc(&block, 8) == qm::kOutOfMemory;
  qm::WorkspaceFree(block);
  qm::SetWorkspaceFailureCountdown(0);
  return failed;
}

// Two nested blocks, written through, with their addresses.
void Nest(std::size_t outer, std::size_t inner, double** a, double** b) {
  qm::ThreadScratch<double> x;
  ASSERT_EQ(x.Allocate(outer), qm::kSuccess);
  for (std::size_t i = 0; i < outer; ++i) x[i] = 1.0;
  {
    qm::ThreadScratch<double> y;
    ASSERT_EQ(y.Allocate(inner), qm::kSuccess);
    for (std::size_t i = 0; i < inner; ++i) y[i] = 2.0;
    *b = y.data();
  }
  for (std::size_t i = 0; i < outer; ++i) ASSERT_EQ(x[i], 1.0) << "overwritten by the inner block";
  *a = x.data();
}

TEST(ThreadScratchTest, NestedBlocksComeFromTheAreaOnceItHasGrown) {
  qm::ReleaseThreadScratch();
  double *a1, *b1, *a2, *b2, *a3, *b3;
  Nest(1000, 300, &a1, &b1);  // grows for the outer block; the inner one from the heap
  Nest(1000, 300, &a2, &b2);  // grows to the nesting
  qm::SetWorkspaceFailureCountdown(1);
  Nest(1000, 300, &a3, &b3);
  EXPECT_TRUE(NothingAllocated());
  EXPECT_EQ(a2, a3);
  EXPECT_EQ(b2, b3);
  // Disjoint, on cache-line boundaries within the area.
  EXPECT_GE(b3, a3 + 1000);
  EXPECT_EQ((reinterpret_cast<std::uintptr_t>(b3) - reinterpret_cast<std::uintptr_t>(a3)) % 64, 0u);
  // Smaller requests fit too.
  qm::SetWorkspaceFailureCountdown(1);
  Nest(10, 10, &a1, &b1);
  EXPECT_TRUE(NothingAllocated());
}

TEST(ThreadScratchTest, BlocksBeyondTheBoundComeFromTheHeapEachTime) {
  qm::ReleaseThreadScratch();
  const std::size_t big = qm::kThreadScratchKeep / sizeof(double) + 1;
  for (int round = 0; round < 2; ++round) {
    qm::ThreadScratch<double> x;
    qm::SetWorkspaceFailureCountdown(1);
    EXPECT_EQ(x.Allocate(big), qm::kOutOfMemory);
    qm::SetWorkspaceFailureCountdown(0);
    EXPECT_EQ(x.data(), nullptr);
    ASSERT_EQ(x.Allocate(big), qm::kSuccess);
    x[big - 1] = 3.0;
  }
  // The area is untouched by them: a small block still grows it once.
  double *a, *b;
  Nest(16, 16, &a, &b);
  Nest(16, 16, &a, &b);
  qm::SetWorkspaceFailureCountdown(1);
  Nest(16, 16, &a, &b);
  EXPECT_TRUE(NothingAllocated());
}

TEST(ThreadScratchTest, AFailedGrowthReportsAndTheNextRequestGrows) {
  qm::ReleaseThreadScratch();
  {
    qm::ThreadScratch<double> x;
    qm::SetWorkspaceFailureCountdown(1);
    EXPECT_EQ(x.Allocate(100), qm::kOutOfMemory);
    qm::SetWorkspaceFailureCountdown(0);
  }
  qm::ThreadScratch<double> x;
  ASSERT_EQ(x.Allocate(100), qm::kSuccess);
  x[99] = 1.0;
  EXPECT_EQ(x.Allocate(SIZE_MAX / 4), qm::kOutOfMemory);  // the byte count overflows
}

TEST(ThreadScratchTest, EachThreadHasItsOwnArea) {
  double* mine = nullptr;
  double* theirs = nullptr;
  qm::ThreadScratch<double> x;
  ASSERT_EQ(x.Allocate(64), qm::kSuccess);
  mine = x.data();
  std::thread t([&] {
    qm::ThreadScratch<double> y;
    ASSERT_EQ(y.Allocate(64), qm::kSuccess);
    for (int i = 0; i < 64; ++i) y[i] = -1.0;
    theirs = y.data();
  });
  for (int i = 0; i < 64; ++i) x[i] = 5.0;
  t.join();
  EXPECT_NE(mine, theirs);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(x[i], 5.0);
}

}  // namespace
