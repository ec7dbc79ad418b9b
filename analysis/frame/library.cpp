// Library load and unload (called by the platform layer, frame/platform.h).
//
// Load: open the process mutex and the per-thread table, read
// "analysis.ini" beside the library, bind BLAS/LAPACK and hand it the thread
// count. A shared object cannot refuse to load on Linux, and the Windows
// build keeps the same rule (see frame/platform.h): when no BLAS/LAPACK
// module is found the library still loads and every export that needs one
// returns kNoLinearAlgebra.
// Unload: release the modules, then every FFT plan (referenced or idle) and
// every per-thread record still held, then close the mutex.
#include "frame/library.h"

#include "fft/fft_engine.h"
#include "frame/blas_binding.h"
#include "frame/config.h"
#include "frame/platform.h"
#include "frame/process_mutex.h"
#include "frame/thread_state.h"

namespace qm {
namespace {

constexpr std::size_t kSharedDirLimit = 500;

// Constructed on first use, so that the order of static initialisation
// between files does not matter.
struct LoadState {
  std::string directory;
  int thread_count = 1;
  BlasBinding blas;
  bool bound = false;
};

// Created by the first use (the load step) and destroyed by the unload step,
// so neither depends on the order of static constructors and destructors.
LoadState* load_state = nullptr;

LoadState& State() {
  if (!load_state) load_state = new LoadState();
  return *load_state;
}

std::optional<std::string> SharedDirectorySetting() {
  return platform::SharedDirectorySetting(kSharedDirLimit);
}

}  // namespace

void LibraryAttach() {
  LoadState& s = State();
  platform::ProcessMutexOpen();
  ThreadTableOpen();
  s.directory = platform::OwnModuleDirectory();
  s.thread_count = ReadThreadCount(s.directory);
  BlasSearch search;
  search.own_dir = s.directory;
  search.shared_dir = SharedDirectorySetting;
  search.thread_count = s.thread_count;
  s.bound = BindBlasLapack(search, &s.blas);
}

void LibraryDetach() {
  LoadState& s = State();
  ReleaseBlasLapack(&s.blas);
  fft::FftPlanCacheClose();
  ThreadTableClose();
  platform::ProcessMutexClose();
  delete load_state;
  load_state = nullptr;
}

const std::string& LibraryDirectory() { return State().directory; }
int LibraryThreadCount() { return State().thread_count; }
const BlasBinding& LibraryBlasBinding() { return State().blas; }

Status RequireLapack(const LapackTable** table) {
  const LoadState& s = State();
  if (!s.bound) return kNoLinearAlgebra;
  *table = &s.blas.table;
  return kSuccess;
}

}  // namespace qm
