#include "frame/workspace.h"

#include <algorithm>
#include <cstdlib>

#include "frame/thread_state.h"

namespace qm {
namespace {

thread_local int failure_countdown = 0;

bool InjectedFailure() {
  if (failure_countdown <= 0) return false;
  return --failure_countdown == 0;
}

}  // namespace

void SetWorkspaceFailureCountdown(int countdown) { failure_countdown = countdown; }

Status WorkspaceAlloc(void** out, std::size_t bytes) {
  // malloc(0) may return null; a zero-byte request still gets a block.
  void* block = InjectedFailure() ? nullptr : std::malloc(bytes ? bytes : 1);
  *out = block;
  return block ? kSuccess : kOutOfMemory;
}

Status WorkspaceRealloc(void** block, std::size_t bytes) {
  void* grown = InjectedFailure() ? nullptr : std::realloc(*block, bytes ? bytes : 1);
  if (!grown) {
    std::free(*block);
    *block = nullptr;
    return kOutOfMemory;
  }
  *block = grown;
  return kSuccess;
}

Status WorkspaceFree(void* block) {
  std::free(block);
  return kSuccess;
}

Status ThreadScratchBlock::Take(std::size_t bytes) {
  // Blocks start on cache lines within the area.
  constexpr std::size_t kLine = 64;
  if (bytes <= kThreadScratchKeep) {
    bytes = bytes ? (bytes + kLine - 1) / kLine * kLine : kLine;
    ThreadRecord* record = nullptr;
    if (GetThreadRecord(&record) == kSuccess) {
      ScratchArena& a = record->scratch;
      a.wanted = std::max(a.wanted, std::min(a.top + bytes, kThreadScratchKeep));
      if (a.top == 0 && a.size < a.wanted) {
        // Nothing is handed out: grow to the largest nesting seen so far.
        WorkspaceFree(a.base);
        a.base = nullptr;
        a.size = 0;
        void* grown = nullptr;
        if (Status s = WorkspaceAlloc(&grown, a.wanted)) return s;
        a.base = static_cast<char*>(grown);
        a.size = a.wanted;
      }
      if (a.size - a.top >= bytes) {
        block_ = a.base + a.top;
        arena_ = &a;
        offset_ = a.top;
        a.top += bytes;
        return kSuccess;
      }
    }
  }
  return WorkspaceAlloc(&block_, bytes);
}

void ReleaseThreadScratch() {
  ThreadRecord* record = nullptr;
  if (GetThreadRecord(&record) != kSuccess || record->scratch.top != 0) return;
  WorkspaceFree(record->scratch.base);
  record->scratch = ScratchArena();
}

void ThreadScratchBlock::Give() {
  if (arena_) {
    arena_->top = offset_;
    arena_ = nullptr;
  } else {
    WorkspaceFree(block_);
  }
  block_ = nullptr;
}

}  // namespace qm
