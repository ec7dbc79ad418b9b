// The per-thread table: a thread slot of the platform layer (a pthread key,
// a Win32 TLS index) gives each thread its record without a lock; a list under the process mutex remembers every live record so that
// the ones still held when the library unloads are released too.
#include "frame/thread_state.h"

#include <ctime>
#include <new>

#include "frame/platform.h"
#include "frame/process_mutex.h"
#include "frame/workspace.h"

namespace qm {
namespace {

struct Entry {
  ThreadRecord record;
  Entry* prev = nullptr;
  Entry* next = nullptr;
};

bool key_created = false;
Entry* live_entries = nullptr;
int live_count = 0;

void Unlink(Entry* e) {
  if (e->prev)
    e->prev->next = e->next;
  else
    live_entries = e->next;
  if (e->next) e->next->prev = e->prev;
  --live_count;
}

void DestroyEntry(Entry* e) {
  WorkspaceFree(e->record.work_array);
  WorkspaceFree(e->record.work_record);
  WorkspaceFree(e->record.scratch.base);
  e->~Entry();
  WorkspaceFree(e);
}

// Thread exit: remove the ending thread's record from the table and free it.
void OnThreadExit(void* p) {
  auto* e = static_cast<Entry*>(p);
  {
    ProcessLock lock;
    Unlink(e);
  }
  DestroyEntry(e);
}

}  // namespace

void ThreadTableOpen() {
  if (!key_created) key_created = platform::ThreadSlotCreate(OnThreadExit);
}

void ThreadTableClose() {
  if (!key_created) return;
  // After the slot is deleted no thread-exit handler runs for it any more.
  platform::ThreadSlotDelete();
  key_created = false;
  ProcessLock lock;
  while (Entry* e = live_entries) {
    Unlink(e);
    DestroyEntry(e);
  }
}

Status GetThreadRecord(ThreadRecord** record) {
  if (!key_created) return kOutOfMemory;
  if (auto* e = static_cast<Entry*>(platform::ThreadSlotGet())) {
    *record = &e->record;
    return kSuccess;
  }
  void* block = nullptr;
  if (Status s = WorkspaceAlloc(&block, sizeof(Entry))) return s;
  auto* e = new (block) Entry();
  if (!platform::ThreadSlotSet(e)) {
    DestroyEntry(e);
    return kOutOfMemory;
  }
  {
    ProcessLock lock;
    e->next = live_entries;
    if (live_entries) live_entries->prev = e;
    live_entries = e;
    ++live_count;
  }
  *record = &e->record;
  return kSuccess;
}

ThreadRecord* FindThreadRecord() {
  if (!key_created) return nullptr;
  auto* e = static_cast<Entry*>(platform::ThreadSlotGet());
  return e ? &e->record : nullptr;
}

int ThreadRecordCount() {
  ProcessLock lock;
  return live_count;
}

void ExpandSeed(std::uint32_t s, GeneratorSeeds* generator) {
  const std::uint32_t second = (s * 8191u) & 16383u;
  generator->seed[0] = s;
  generator->seed[1] = second;
  generator->seed[2] = (second * 8191u) & 16383u;
}

void ApplyFirstUseSeed(GeneratorSeeds* generator, std::int32_t seed) {
  if (generator->first_use && seed < 0) {
    // A private generator state, so that neither the caller's rand() sequence
    // nor another thread is disturbed.
    unsigned state = static_cast<unsigned>(seed) + static_cast<unsigned>(std::time(nullptr));
    const std::uint32_t s = static_cast<std::uint32_t>(platform::PrivateRandom(&state)) & 16383u;
    if (s != 0) ExpandSeed(s, generator);
  }
  generator->first_use = 0;
}

}  // namespace qm
