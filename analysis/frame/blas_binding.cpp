// Search for the BLAS/LAPACK modules and resolution of the function table.
#include "frame/blas_binding.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cstring>

namespace qm {
namespace {

constexpr std::size_t kPointerFileLimit = 498;
constexpr std::size_t kSharedDirLimit = 500;

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir.push_back('/');
  return dir;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Directory of the loaded module whose file name is `basename`, or "".
std::string LoadedModuleDirectory(const std::string& basename) {
  struct Query {
    const std::string* name;
    std::string dir;
  } query{&basename, {}};
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) -> int {
        auto* q = static_cast<Query*>(data);
        if (!info->dlpi_name || !*info->dlpi_name) return 0;
        const std::string path = info->dlpi_name;
        const std::size_t slash = path.rfind('/');
        const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        if (base != *q->name) return 0;
        q->dir = DirectoryOf(path);
        return 1;
      },
      &query);
  return query.dir;
}

// Content of D/mklpath as a directory ending in '/', or "" when the file is
// missing or empty.
std::string ReadPointerFile(const std::string& dir) {
  const std::string path = dir + kPointerFileName;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char buffer[kPointerFileLimit];
  std::size_t used = 0;
  while (used < sizeof buffer) {
    const ssize_t got = ::read(fd, buffer + used, sizeof buffer - used);
    if (got <= 0) break;
    used += static_cast<std::size_t>(got);
  }
  ::close(fd);
  std::string content(buffer, used);
  // Editors end text files with a line break; it is never part of the path.
  while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) content.pop_back();
  if (content.empty()) return {};
  return WithSlash(content);
}

void* SymbolOf(void* handle, const char* name, bool fortran) {
  if (fortran) {
    const std::string mangled = std::string(name) + "_";
    if (void* p = dlsym(handle, mangled.c_str())) return p;
  }
  return dlsym(handle, name);
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
  if (handle) dlclose(handle);
  handle = nullptr;
}

// Loads the BLAS module `path` (after the run-time, when one is given) and
// resolves the table. On failure whatever was loaded is released again.
bool LoadModules(const std::string* runtime_path, const std::string& blas_path, BlasBinding* out) {
  if (runtime_path) {
    out->runtime = dlopen(runtime_path->c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!out->runtime) return false;
  }
  out->blas = dlopen(blas_path.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    if (void* p = dlsym(out->blas, name)) {
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
  const std::string companion_dir = LoadedModuleDirectory(search.companion_module);
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
