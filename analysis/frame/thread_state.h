// Per-thread state: one record per thread that has used a random generator,
// the streaming detector or per-thread scratch, created on first use and
// released when the thread ends (or when the library unloads). Threads never
// share a record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/status.h"

namespace qm {

struct GeneratorSeeds {
  std::uint32_t seed[3] = {1234, 2345, 3456};
  std::uint32_t first_use = 1;  // cleared by the generator's first call
};

// The thread's scratch area (see ThreadScratch in workspace.h): one block,
// handed out from the front in nested scopes and kept between calls.
struct ScratchArena {
  char* base = nullptr;    // from WorkspaceAlloc, released with the record
  std::size_t size = 0;    // bytes at base
  std::size_t top = 0;     // bytes handed out
  std::size_t wanted = 0;  // the most bytes a nesting has asked for (at most kThreadScratchKeep)
};

struct ThreadRecord {
  // Generator A: Gaussian noise, with a cached second value.
  GeneratorSeeds gaussian;
  std::uint32_t gaussian_has_cached = 0;  // 1 while `gaussian_cached` holds a value
  double gaussian_cached = 0.0;
  // Generator B: uniform noise on [0, 1).
  GeneratorSeeds uniform01;
  // Generator C: uniform noise on [-amplitude, amplitude).
  GeneratorSeeds uniform;
  // Streaming detector state kept between calls. Both blocks come from
  // WorkspaceAlloc and are released with the record; neither may own
  // further blocks.
  void* work_record = nullptr;
  void* work_array = nullptr;
  ScratchArena scratch;
};

// The calling thread's record, created with the initial values when absent.
// -20001 when the record cannot be allocated (nothing else changes).
Status GetThreadRecord(ThreadRecord** record);

// The calling thread's record when it has one, else null; never allocates
// (for callers that only release what a record holds).
ThreadRecord* FindThreadRecord();

// Seeding rule applied on a generator's first call: when the first-use flag
// is set and `seed` is negative, a start seed s (14 bits) is drawn from a
// generator seeded with seed + the calendar time in seconds; when s is not 0
// the three seeds become s, (s*8191) & 16383 and that value * 8191 & 16383.
// The first-use flag is cleared whatever the seed.
void ApplyFirstUseSeed(GeneratorSeeds* generator, std::int32_t seed);

// The seed expansion s, (s*8191) & 16383, ((s*8191) & 16383) * 8191 & 16383.
void ExpandSeed(std::uint32_t s, GeneratorSeeds* generator);

// Number of live per-thread records (for tests and diagnostics).
int ThreadRecordCount();

// Load and unload of the per-thread table (called by the library's
// load and unload steps, frame/library.cpp).
void ThreadTableOpen();
void ThreadTableClose();

}  // namespace qm
