// The library's one lock. It serialises the FFT plan cache and the
// per-thread table's bookkeeping.
#pragma once

#include <mutex>

namespace qm {

std::mutex& ProcessMutex();

class ProcessLock {
 public:
  ProcessLock() : lock_(ProcessMutex()) {}

 private:
  std::lock_guard<std::mutex> lock_;
};

}  // namespace qm
