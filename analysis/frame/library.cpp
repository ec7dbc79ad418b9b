// Library load and unload.
//
// Load: create the per-thread table, read "analysis.ini" beside the library,
// bind BLAS/LAPACK and hand it the thread count. A shared object cannot
// refuse to load on Linux; when no BLAS/LAPACK module is found the library
// still loads and every export that needs one returns kNoLinearAlgebra.
// Unload: release the modules, then every FFT plan (referenced or idle) and
// every per-thread record still held.
#include "frame/library.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "fft/fft_engine.h"
#include "frame/blas_binding.h"
#include "frame/config.h"
#include "frame/process_mutex.h"
#include "frame/thread_state.h"

namespace qm {
namespace {

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

std::string FindOwnDirectory() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&FindOwnDirectory), &info) || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (!realpath(info.dli_fname, resolved)) return {};
  std::string path = resolved;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> SharedDirectorySetting() {
  const char* value = std::getenv(kSharedDirVariable);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

__attribute__((constructor)) void OnLibraryLoad() {
  LoadState& s = State();
  ThreadTableOpen();
  s.directory = FindOwnDirectory();
  s.thread_count = ReadThreadCount(s.directory);
  BlasSearch search;
  search.own_dir = s.directory;
  search.shared_dir = SharedDirectorySetting;
  search.thread_count = s.thread_count;
  s.bound = BindBlasLapack(search, &s.blas);
}

__attribute__((destructor)) void OnLibraryUnload() {
  LoadState& s = State();
  ReleaseBlasLapack(&s.blas);
  fft::FftPlanCacheClose();
  ThreadTableClose();
  delete load_state;
  load_state = nullptr;
}

}  // namespace

std::mutex& ProcessMutex() {
  static std::mutex mutex;  // constant-initialised: usable from any constructor
  return mutex;
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
