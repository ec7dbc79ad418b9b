// The library's one lock. It serialises the FFT plan cache and the
// per-thread table's bookkeeping.
#pragma once

#include "frame/platform.h"

namespace qm {

class ProcessLock {
 public:
  ProcessLock() { platform::ProcessMutexLock(); }
  ~ProcessLock() { platform::ProcessMutexUnlock(); }
  ProcessLock(const ProcessLock&) = delete;
  ProcessLock& operator=(const ProcessLock&) = delete;
};

}  // namespace qm
