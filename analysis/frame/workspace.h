// Memory: per-call scratch and blocks handed to callers.
//
// Every block comes from the C heap (malloc), so memory an export hands out
// is released with ZMXFunc234 (free). Family routines take their scratch per
// call and release it on every path; `Scratch<T>` does that by scope:
//
//   qm::Scratch<double> work;
//   if (qm::Status s = work.Allocate(n)) return s;   // -20001 on failure
//   ... work.data() ...
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace qm
