#include "frame/workspace.h"

#include <cstdlib>


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

}  // namespace qm
