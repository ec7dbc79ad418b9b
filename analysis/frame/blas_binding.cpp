// Search for the BLAS/LAPACK modules and resolution of the function table.
#include "frame/blas_binding.h"

#include <cstring>

#include "frame/platform.h"

namespace qm {
namespace {

constexpr std::size_t kPointerFileLimit = 498;
constexpr std::size_t kSharedDirLimit = 500;

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != kPathSeparator) dir.push_back(kPathSeparator);
  return dir;
}

// Content of D/mklpath as a directory ending in the separator, or "" when
// the file is missing or empty.
std::string ReadPointerFile(const std::string& dir) {
  std::optional<std::string> text = platform::ReadFilePrefix(dir + kPointerFileName, kPointerFileLimit);
  if (!text) return {};
  std::string content = std::move(*text);
  // Editors end text files with a line break; it is never part of the path.
  while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) content.pop_back();
  if (content.empty()) return {};
  return WithSlash(content);
}

void* SymbolOf(void* handle, const char* name, bool fortran) {
  if (fortran) {
    const std::string mangled = std::string(name) + "_";
    if (void* p = platform::ModuleSymbol(handle, mangled.c_str())) return p;
  }
  return platform::ModuleSymbol(handle, name);
}

bool ResolveTable(void* handle, LapackTable* table) {
  bool complete = true;
#define QM_CBLAS_FN(ret, name, params)                                           \
  table->name = reinterpret_cast<ret(*) params>(SymbolOf(handle, #name, false)); \
  complete = complete && table->name != nullptr;
#define QM_LAPACK_FN(ret, name, params)                                         \
  table->name = reinterpret_cast<ret(*) params>(SymbolOf(handle, #name, true)); \
  complete = complete && table->name != nullptr;
#include "frame/lapack_functions.inc"
#undef QM_CBLAS_FN
#undef QM_LAPACK_FN
  return complete;
}

void Close(void*& handle) {
  platform::UnloadModule(handle);
  handle = nullptr;
}

// Loads the BLAS module `path` (after the run-time, when one is given) and
// resolves the table. On failure whatever was loaded is released again.
bool LoadModules(const std::string* runtime_path, const std::string& blas_path, BlasBinding* out) {
  if (runtime_path) {
    out->runtime = platform::LoadModule(*runtime_path, true);
    if (!out->runtime) return false;
  }
  out->blas = platform::LoadModule(blas_path, false);
  if (!out->blas || !ResolveTable(out->blas, &out->table)) {
    Close(out->blas);
    Close(out->runtime);
    out->table = LapackTable{};
    return false;
  }
  return true;
}

bool LoadPair(const std::string& dir, BlasBinding* out) {
  const std::string runtime = dir + kRuntimeModuleName;
  return LoadModules(&runtime, dir + kBlasModuleName, out);
}

void SetThreadCount(int count, BlasBinding* out) {
  using Setter = void (*)(int);
  for (const char* name : {"openblas_set_num_threads", "MKL_Set_Num_Threads"}) {
    if (void* p = platform::ModuleSymbol(out->blas, name)) {
      reinterpret_cast<Setter>(p)(count < 1 ? 1 : count);
      out->thread_setter = name;
      return;
    }
  }
}

bool Finish(bool loaded, BlasSource source, std::string dir, int threads, BlasBinding* out) {
  if (!loaded) {
    out->source = BlasSource::kNone;
    return false;
  }
  out->source = source;
  out->directory = std::move(dir);
  SetThreadCount(threads, out);
  return true;
}

}  // namespace

bool BindBlasLapack(const BlasSearch& search, BlasBinding* out) {
  *out = BlasBinding{};
  const int threads = search.thread_count;

  // 1. Pointer file beside the companion module: final.
  const std::string companion_dir = platform::LoadedModuleDirectory(search.companion_module);
  if (!companion_dir.empty()) {
    const std::string dir = ReadPointerFile(companion_dir);
    if (!dir.empty())
      return Finish(LoadPair(dir, out), BlasSource::kPointerFile, dir, threads, out);
  }

  // 2. The library's own directory.
  if (!search.own_dir.empty()) {
    const std::string dir = WithSlash(search.own_dir);
    if (LoadPair(dir, out)) return Finish(true, BlasSource::kOwnDirectory, dir, threads, out);
  }

  // 3. The shared directory of the installation: final.
  std::optional<std::string> shared = search.shared_dir ? search.shared_dir() : std::nullopt;
  if (shared && shared->size() > kSharedDirLimit) shared.reset();
  if (shared) {
    const std::string dir = WithSlash(*shared) + kSharedDirSuffix;
    return Finish(LoadPair(dir, out), BlasSource::kSharedDirectory, dir, threads, out);
  }

  // 4. No shared directory configured: the system's OpenBLAS.
  if (search.system_module.empty()) return Finish(false, BlasSource::kNone, {}, threads, out);
  return Finish(LoadModules(nullptr, search.system_module, out), BlasSource::kSystem,
                search.system_module, threads, out);
}

void ReleaseBlasLapack(BlasBinding* binding) {
  Close(binding->runtime);
  Close(binding->blas);
  *binding = BlasBinding{};
}

}  // namespace qm
