// Plan handle records and their list.
#include "fft/plan_handles.h"

#include "frame/process_mutex.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

// Every live handle, guarded by the process-wide mutex.
FftHandle* g_handles = nullptr;
int g_handle_count = 0;

}  // namespace

FftHandle* FftPlanCreate(std::int32_t n) {
  if (n < 1) return nullptr;
  FftPlanHold plan(n);
  if (!plan) return nullptr;
  void* block = nullptr;
  if (WorkspaceAlloc(&block, sizeof(FftHandle)) != kSuccess) return nullptr;
  auto* h = static_cast<FftHandle*>(block);
  *h = FftHandle{n, plan.Forget(), nullptr, nullptr};
  ProcessLock lock;
  h->next = g_handles;
  if (g_handles) g_handles->previous = h;
  g_handles = h;
  ++g_handle_count;
  return h;
}

void FftPlanDestroy(FftHandle* handle) {
  if (!handle) return;
  FftPlan* plan = nullptr;
  {
    ProcessLock lock;
    // Compared by address only: an unknown pointer is never dereferenced.
    FftHandle* h = g_handles;
    while (h && h != handle) h = h->next;
    if (!h) return;
    if (h->previous)
      h->previous->next = h->next;
    else
      g_handles = h->next;
    if (h->next) h->next->previous = h->previous;
    --g_handle_count;
    plan = h->plan;
  }
  // The engine takes the mutex itself.
  FftPlanRelease(plan);
  WorkspaceFree(handle);
}

int FftHandleCount() {
  ProcessLock lock;
  return g_handle_count;
}

}  // namespace qm::fft
