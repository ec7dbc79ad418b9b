// The frame's platform layer on Windows: LoadLibraryExA and friends, a TLS
// index for the per-thread records (released at thread detach, see
// dll_main.cpp), an unnamed Win32 mutex, the registry and
// GetPrivateProfileStringA. Path buffers are 512 bytes; a path or value that
// does not fit makes that step fail cleanly.
#include "frame/platform.h"

#include <windows.h>

#include "platform/win32/hooks.h"

namespace qm {
namespace platform {
namespace {

constexpr DWORD kPathBuffer = 512;

DWORD tls_index = TLS_OUT_OF_INDEXES;
void (*thread_exit_handler)(void*) = nullptr;
HANDLE process_mutex = nullptr;

// Directory part of a module's full path, with its trailing separator.
std::string DirectoryOf(const char* path) {
  const std::string text = path;
  const std::size_t cut = text.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
}

// Full path of a module, or "" when it does not fit the buffer.
std::string ModulePath(HMODULE module) {
  char buffer[kPathBuffer];
  const DWORD n = GetModuleFileNameA(module, buffer, kPathBuffer);
  if (n == 0 || n >= kPathBuffer - 1) return {};
  return std::string(buffer, n);
}

}  // namespace

Module LoadModule(const std::string& path, bool) {
  // The altered search path: a module's own dependencies are looked for in
  // its folder first.
  if (path.size() >= kPathBuffer) return nullptr;
  return reinterpret_cast<Module>(
      LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void* ModuleSymbol(Module module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(Module module) {
  if (module) FreeLibrary(static_cast<HMODULE>(module));
}

std::string LoadedModuleDirectory(const std::string& basename) {
  HMODULE module = GetModuleHandleA(basename.c_str());
  if (!module) return {};
  const std::string path = ModulePath(module);
  return path.empty() ? std::string() : DirectoryOf(path.c_str());
}

std::string OwnModuleDirectory() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&OwnModuleDirectory), &self))
    return {};
  const std::string path = ModulePath(self);
  return path.empty() ? std::string() : DirectoryOf(path.c_str());
}

std::optional<std::string> ReadFilePrefix(const std::string& path, std::size_t limit) {
  if (path.size() >= kPathBuffer) return std::nullopt;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string buffer(limit, '\0');
  std::size_t used = 0;
  while (used < limit) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data() + used, static_cast<DWORD>(limit - used), &got, nullptr) ||
        got == 0)
      break;
    used += got;
  }
  CloseHandle(file);
  buffer.resize(used);
  return buffer;
}

std::optional<std::string> SharedDirectorySetting(std::size_t limit) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDirKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::string buffer(limit + 1, '\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  DWORD type = 0;
  const LSTATUS status = RegQueryValueExA(key, kSharedDirVariable, nullptr, &type,
                                          reinterpret_cast<BYTE*>(buffer.data()), &size);
  RegCloseKey(key);
  // A value longer than the buffer answers ERROR_MORE_DATA: not usable.
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  // The stored string need not end in a terminator; cut at the first one.
  buffer.resize(size < buffer.size() ? size : buffer.size());
  const std::size_t nul = buffer.find('\0');
  if (nul != std::string::npos) buffer.resize(nul);
  if (buffer.empty() || buffer.size() > limit) return std::nullopt;
  return buffer;
}

std::string ProfileString(const std::string& path, const char* section, const char* key,
                          const char* fallback, std::size_t max_chars) {
  char buffer[kPathBuffer];
  const DWORD size = static_cast<DWORD>(max_chars + 1 < kPathBuffer ? max_chars + 1 : kPathBuffer);
  const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer, size, path.c_str());
  return std::string(buffer, n);
}

bool ThreadSlotCreate(void (*on_thread_exit)(void*)) {
  tls_index = TlsAlloc();
  if (tls_index == TLS_OUT_OF_INDEXES) return false;
  thread_exit_handler = on_thread_exit;
  return true;
}

void ThreadSlotDelete() {
  if (tls_index != TLS_OUT_OF_INDEXES) TlsFree(tls_index);
  tls_index = TLS_OUT_OF_INDEXES;
  thread_exit_handler = nullptr;
}

void* ThreadSlotGet() {
  return tls_index == TLS_OUT_OF_INDEXES ? nullptr : TlsGetValue(tls_index);
}

bool ThreadSlotSet(void* value) {
  return tls_index != TLS_OUT_OF_INDEXES && TlsSetValue(tls_index, value);
}

// Before the attach step and after the detach step there is no mutex; no
// export runs then.
void ProcessMutexOpen() {
  if (!process_mutex) process_mutex = CreateMutexA(nullptr, FALSE, nullptr);
}

void ProcessMutexClose() {
  if (process_mutex) CloseHandle(process_mutex);
  process_mutex = nullptr;
}

void ProcessMutexLock() {
  if (process_mutex) WaitForSingleObject(process_mutex, INFINITE);
}

void ProcessMutexUnlock() {
  if (process_mutex) ReleaseMutex(process_mutex);
}

// The C library's rand_r of glibc, so that both platforms draw alike.
int PrivateRandom(unsigned* state) {
  unsigned next = *state;
  next = next * 1103515245u + 12345u;
  unsigned result = (next / 65536u) % 2048u;
  next = next * 1103515245u + 12345u;
  result = (result << 10) ^ ((next / 65536u) % 1024u);
  next = next * 1103515245u + 12345u;
  result = (result << 10) ^ ((next / 65536u) % 1024u);
  *state = next;
  return static_cast<int>(result);
}

}  // namespace platform

void ThreadDetach() {
  void* value = platform::ThreadSlotGet();
  if (!value || !platform::thread_exit_handler) return;
  platform::ThreadSlotSet(nullptr);
  platform::thread_exit_handler(value);
}

}  // namespace qm

namespace qm {

void LoaderNotification(unsigned long reason, bool process_ending) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      LibraryAttach();
      break;
    case DLL_THREAD_DETACH:
      ThreadDetach();
      break;
    case DLL_PROCESS_DETACH:
      if (!process_ending) LibraryDetach();
      break;
    default:  // thread attach: nothing
      break;
  }
}

}  // namespace qm
