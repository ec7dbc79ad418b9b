// Memory: per-call scratch and blocks handed to callers.
//
// Every block comes from the C heap (malloc), so memory an export hands out
// is released with ZMXFunc234 (free). Family routines take their scratch per
// call and release it on every path; `Scratch<T>` does that by scope:
//
//   qm::Scratch<double> work;
//   if (qm::Status s = work.Allocate(n)) return s;   // -20001 on failure
//   ... work.data() ...
//
// Routines called over and over (the transforms) take their scratch from the
// calling thread's scratch area instead, with `ThreadScratch<T>` (the same
// use): no heap allocation once the area has grown to the largest nesting of
// blocks the thread asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>

#include "frame/status.h"

namespace qm {

// Stores a new block of `bytes` bytes (null on failure) through `out` and
// returns 0, or -20001 when the heap refuses.
Status WorkspaceAlloc(void** out, std::size_t bytes);
// Resizes the block at *block; on failure releases the old block, stores
// null and returns -20001.
Status WorkspaceRealloc(void** block, std::size_t bytes);
// Releases a block (null is accepted). Returns 0.
Status WorkspaceFree(void* block);

// Test hook: the `countdown`-th allocation from now on the calling thread
// fails (1 = the next one); 0 turns failures off.
void SetWorkspaceFailureCountdown(int countdown);

template <class T>
class Scratch {
 public:
  Scratch() = default;
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() { WorkspaceFree(data_); }

  // Room for `count` elements (uninitialised); replaces any earlier block.
  Status Allocate(std::size_t count) {
    WorkspaceFree(data_);
    data_ = nullptr;
    if (count > SIZE_MAX / sizeof(T)) return kOutOfMemory;
    void* block = nullptr;
    if (Status s = WorkspaceAlloc(&block, count * sizeof(T))) return s;
    data_ = static_cast<T*>(block);
    return kSuccess;
  }
  // Gives up ownership (for blocks handed to the caller).
  T* Release() {
    T* p = data_;
    data_ = nullptr;
    return p;
  }
  T* data() const { return data_; }
  T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
};

// Room for `count` elements in each of several scratch blocks; the first
// failure is returned.
template <class T>
Status AllocateEach(std::initializer_list<Scratch<T>*> blocks, std::size_t count) {
  for (Scratch<T>* b : blocks) {
    if (Status s = b->Allocate(count)) return s;
  }
  return kSuccess;
}

// Bytes a thread's scratch area may keep between calls; larger blocks come
// from the heap for the call. 64 MiB holds the nested scratch of the
// transforms and spectra of 2^20 points (16 MiB and more), which otherwise
// went to the heap on every call.
inline constexpr std::size_t kThreadScratchKeep = std::size_t{64} << 20;

struct ScratchArena;

// Frees the calling thread's scratch area when none of it is handed out,
// and forgets its size (for tests: the next blocks grow it anew).
void ReleaseThreadScratch();

// The untyped part of ThreadScratch.
class ThreadScratchBlock {
 public:
  ThreadScratchBlock() = default;
  ThreadScratchBlock(const ThreadScratchBlock&) = delete;
  ThreadScratchBlock& operator=(const ThreadScratchBlock&) = delete;
  ~ThreadScratchBlock() { Give(); }

 protected:
  // A block of `bytes` from the thread's area when it has room (growing the
  // area first when none of it is handed out), else from the heap; -20001
  // when neither can be had.
  Status Take(std::size_t bytes);
  // Returns the block (to the area or the heap).
  void Give();
  void* block_ = nullptr;

 private:
  ScratchArena* arena_ = nullptr;  // null for a heap block
  std::size_t offset_ = 0;         // where the block starts in the area
};

// Per-call scratch from the calling thread's scratch area. Blocks of one
// thread nest like a stack: keep these objects local, so that they are
// released in the reverse order of their allocation.
template <class T>
class ThreadScratch : public ThreadScratchBlock {
 public:
  // Room for `count` elements (uninitialised); replaces any earlier block.
  Status Allocate(std::size_t count) {
    Give();
    if (count > SIZE_MAX / sizeof(T)) return kOutOfMemory;
    return Take(count * sizeof(T));
  }
  T* data() const { return static_cast<T*>(block_); }
  T& operator[](std::size_t i) const { return data()[i]; }
};

}  // namespace qm
