#include "frame/thread_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "frame/workspace.h"

namespace {

qm::ThreadRecord* RecordOfThisThread() {
  qm::ThreadRecord* r = nullptr;
  EXPECT_EQ(qm::GetThreadRecord(&r), qm::kSuccess);
  return r;
}

TEST(ThreadRecords, InitialValues) {
  std::thread([] {
    qm::ThreadRecord* r = RecordOfThisThread();
    for (const qm::GeneratorSeeds* g : {&r->gaussian, &r->uniform01, &r->uniform}) {
      EXPECT_EQ(g->seed[0], 1234u);
      EXPECT_EQ(g->seed[1], 2345u);
      EXPECT_EQ(g->seed[2], 3456u);
      EXPECT_EQ(g->first_use, 1u);
    }
    EXPECT_EQ(r->gaussian_has_cached, 0u);
    EXPECT_EQ(r->gaussian_cached, 0.0);
    EXPECT_EQ(r->work_record, nullptr);
    EXPECT_EQ(r->work_array, nullptr);
    EXPECT_EQ(RecordOfThisThread(), r);  // the same record on every call
  }).join();
}

TEST(ThreadRecords, ThreadsHaveTheirOwnRecordsAndReleaseThemAtExit) {
  const int before = qm::ThreadRecordCount();
  constexpr int kThreads = 8;
  std::vector<std::thread> threads;
  std::vector<qm::ThreadRecord*> records(kThreads);
  std::atomic<int> ready{0};
  std::atomic<bool> go_on{false};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        qm::ThreadRecord* r = RecordOfThisThread();
        r->uniform.seed[0] = static_cast<uint32_t>(t * 1000 + i);  // each thread writes its own
        records[t] = r;
      }
      // Work areas held at thread end are released with the record (checked
      // by the leak sanitizer).
      qm::WorkspaceAlloc(&records[t]->work_array, 64);
      ++ready;
      while (!go_on) std::this_thread::yield();
    });
  }
  while (ready < kThreads) std::this_thread::yield();
  EXPECT_EQ(qm::ThreadRecordCount(), before + kThreads);
  EXPECT_EQ(std::set<qm::ThreadRecord*>(records.begin(), records.end()).size(), size_t{kThreads});
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(records[t]->uniform.seed[0], uint32_t(t * 1000 + 199));
  go_on = true;
  for (auto& th : threads) th.join();
  EXPECT_EQ(qm::ThreadRecordCount(), before);
}

TEST(ThreadRecords, ANewThreadStartsFromTheInitialSeeds) {
  // Many short threads in a row: identifiers and memory are reused, the
  // state never is.
  for (int round = 0; round < 20; ++round) {
    std::thread([] {
      qm::ThreadRecord* r = RecordOfThisThread();
      EXPECT_EQ(r->gaussian.seed[0], 1234u);
      EXPECT_EQ(r->uniform.first_use, 1u);
      r->gaussian.seed[0] = 1;
      r->uniform.first_use = 0;
    }).join();
  }
}

TEST(ThreadRecords, RecordAllocationFailureGivesOutOfMemoryAndChangesNothing) {
  std::thread([] {
    const int before = qm::ThreadRecordCount();
    qm::ThreadRecord* r = nullptr;
    qm::SetWorkspaceFailureCountdown(1);
    EXPECT_EQ(qm::GetThreadRecord(&r), qm::kOutOfMemory);
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(qm::ThreadRecordCount(), before);
    // The next call succeeds and starts from the initial values.
    ASSERT_EQ(qm::GetThreadRecord(&r), qm::kSuccess);
    EXPECT_EQ(r->gaussian.seed[0], 1234u);
  }).join();
}

TEST(Workspace, AllocationFailures) {
  qm::SetWorkspaceFailureCountdown(1);
  void* block = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(qm::WorkspaceAlloc(&block, 16), qm::kOutOfMemory);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(qm::WorkspaceAlloc(&block, 16), qm::kSuccess);
  EXPECT_NE(block, nullptr);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(qm::WorkspaceRealloc(&block, 1 << 20), qm::kOutOfMemory);  // old block released
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(qm::WorkspaceFree(nullptr), qm::kSuccess);
}

TEST(SeedRule, NonNegativeSeedOnlyClearsTheFirstUseFlag) {
  qm::GeneratorSeeds g;
  qm::ApplyFirstUseSeed(&g, 5);
  EXPECT_EQ(g.first_use, 0u);
  EXPECT_EQ(g.seed[0], 1234u);
  EXPECT_EQ(g.seed[1], 2345u);
  EXPECT_EQ(g.seed[2], 3456u);
}

TEST(SeedRule, NegativeSeedOnFirstUseGivesATimeBasedStart) {
  qm::GeneratorSeeds g;
  qm::ApplyFirstUseSeed(&g, -1);
  EXPECT_EQ(g.first_use, 0u);
  // Fourteen-bit seeds related by the expansion (unless the draw was 0, in
  // which case the initial seeds stay).
  if (g.seed[0] != 1234u) {
    EXPECT_LT(g.seed[0], 16384u);
    EXPECT_EQ(g.seed[1], (g.seed[0] * 8191u) & 16383u);
    EXPECT_EQ(g.seed[2], (g.seed[1] * 8191u) & 16383u);
  }
  // Once the flag is cleared a negative seed changes nothing.
  const qm::GeneratorSeeds before = g;
  qm::ApplyFirstUseSeed(&g, -1);
  EXPECT_EQ(g.seed[0], before.seed[0]);
  EXPECT_EQ(g.seed[2], before.seed[2]);
}

TEST(SeedRule, Expansion) {
  qm::GeneratorSeeds g;
  qm::ExpandSeed(3, &g);
  EXPECT_EQ(g.seed[0], 3u);
  EXPECT_EQ(g.seed[1], (3u * 8191u) & 16383u);  // 8189
  EXPECT_EQ(g.seed[1], 8189u);
  EXPECT_EQ(g.seed[2], (8189u * 8191u) & 16383u);
}

}  // namespace
