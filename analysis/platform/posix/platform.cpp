// The frame's platform layer on POSIX systems (Linux): dlopen and friends,
// a pthread key for the per-thread records, a constructor and a destructor
// function for load and unload.
#include "frame/platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <stdlib.h>  // rand_r, realpath
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <mutex>

#include "frame/config.h"

namespace qm {
namespace platform {
namespace {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

pthread_key_t record_key;

// Constant-initialised: usable from any constructor.
std::mutex process_mutex;

__attribute__((constructor)) void OnLibraryLoad() { LibraryAttach(); }
__attribute__((destructor)) void OnLibraryUnload() { LibraryDetach(); }

}  // namespace

Module LoadModule(const std::string& path, bool share_symbols) {
  return dlopen(path.c_str(), RTLD_NOW | (share_symbols ? RTLD_GLOBAL : RTLD_LOCAL));
}

void* ModuleSymbol(Module module, const char* name) { return dlsym(module, name); }

void UnloadModule(Module module) {
  if (module) dlclose(module);
}

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

std::string OwnModuleDirectory() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&OwnModuleDirectory), &info) || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (!realpath(info.dli_fname, resolved)) return {};
  return DirectoryOf(resolved);
}

std::optional<std::string> ReadFilePrefix(const std::string& path, std::size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string buffer(limit, '\0');
  std::size_t used = 0;
  while (used < limit) {
    const ssize_t got = ::read(fd, buffer.data() + used, limit - used);
    if (got <= 0) break;
    used += static_cast<std::size_t>(got);
  }
  ::close(fd);
  buffer.resize(used);
  return buffer;
}

std::optional<std::string> SharedDirectorySetting(std::size_t limit) {
  const char* value = std::getenv(kSharedDirVariable);
  if (!value || !*value) return std::nullopt;
  std::string text(value);
  if (text.size() > limit) return std::nullopt;
  return text;
}

std::string ProfileString(const std::string& path, const char* section, const char* key,
                          const char* fallback, std::size_t max_chars) {
  return ReadProfileString(path, section, key, fallback, max_chars);
}

bool ThreadSlotCreate(void (*on_thread_exit)(void*)) {
  return pthread_key_create(&record_key, on_thread_exit) == 0;
}

// After the key is deleted no thread-exit handler runs for it any more.
void ThreadSlotDelete() { pthread_key_delete(record_key); }
void* ThreadSlotGet() { return pthread_getspecific(record_key); }
bool ThreadSlotSet(void* value) { return pthread_setspecific(record_key, value) == 0; }

void ProcessMutexOpen() {}
void ProcessMutexClose() {}
void ProcessMutexLock() { process_mutex.lock(); }
void ProcessMutexUnlock() { process_mutex.unlock(); }

int PrivateRandom(unsigned* state) { return rand_r(state); }

}  // namespace platform
}  // namespace qm
