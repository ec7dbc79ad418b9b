// The frame's operating-system layer. Everything the frame needs from the
// system goes through these calls; one implementation per platform is
// compiled, chosen by the build (analysis/platform/posix or
// analysis/platform/win32), together with that platform's "platform_names.h"
// (module file names, path separator, export attribute).
//
// Load and unload. The platform layer calls LibraryAttach when the library
// (or, for the white-box tests, the program linking its objects) is loaded,
// and LibraryDetach when it is unloaded; a thread's record is released when
// the thread ends:
//   POSIX: a constructor and a destructor function; a pthread key whose
//          destructor releases the ending thread's record.
//   Win32: DllMain of qmanlys.dll (process attach/detach, thread detach);
//          the test programs, which link the objects into an .exe where no
//          DllMain runs, get the same notifications from a TLS callback.
//
// Win32, and a library that finds no BLAS/LAPACK modules: DllMain still
// returns TRUE, so qmanlys.dll loads and every export that needs LAPACK
// returns kNoLinearAlgebra (-20078), exactly as on Linux, where a shared
// object cannot refuse to load. Refusing the load would take all the other
// families (none of which needs LAPACK) away from a bench PC whose
// installation lacks the modules, and the host would only see a bare
// "module not found" without any hint; a status code names the cause.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform_names.h"

namespace qm {

// Called by the platform layer (see above); defined in frame/library.cpp.
void LibraryAttach();
void LibraryDetach();

namespace platform {

// --- Modules -------------------------------------------------------------
using Module = void*;

// Loads the module at `path`. `share_symbols` asks that its symbols serve
// modules loaded later (the OpenMP run-time); ignored where modules bind by
// name of module anyway. Null on failure.
Module LoadModule(const std::string& path, bool share_symbols);
void* ModuleSymbol(Module module, const char* name);
void UnloadModule(Module module);

// Directory (ending in the separator) of a module loaded in the process whose
// file name is `basename`, or "" when none is loaded or its path is unusable.
std::string LoadedModuleDirectory(const std::string& basename);

// Directory (ending in the separator) of the module holding the library's
// code, or "" when it cannot be determined.
std::string OwnModuleDirectory();

// --- Files and settings ---------------------------------------------------
// At most `limit` bytes from the start of the file at `path`; nullopt when
// the file cannot be opened.
std::optional<std::string> ReadFilePrefix(const std::string& path, std::size_t limit);

// The installation's shared directory: POSIX the environment variable
// QMSHAREDDIR64, Win32 the registry value (see platform_names.h). nullopt
// when not set, or longer than `limit` bytes.
std::optional<std::string> SharedDirectorySetting(std::size_t limit);

// A value of a profile (INI) file, cut to `max_chars` characters; `fallback`
// when the file, section or key is missing. POSIX: the frame's own reader
// (ReadProfileString); Win32: GetPrivateProfileStringA.
std::string ProfileString(const std::string& path, const char* section, const char* key,
                          const char* fallback, std::size_t max_chars);

// --- Threads and the process-wide lock ------------------------------------
// One slot per thread for the thread's record. `on_thread_exit` is called
// with the slot's value (when not null) on the ending thread.
bool ThreadSlotCreate(void (*on_thread_exit)(void*));
void ThreadSlotDelete();
void* ThreadSlotGet();
bool ThreadSlotSet(void* value);

// The process-wide mutex: opened at attach, closed at detach.
void ProcessMutexOpen();
void ProcessMutexClose();
void ProcessMutexLock();
void ProcessMutexUnlock();

// A private pseudo-random generator on `state` (the same sequence on every
// platform: that of the C library's rand_r on Linux), 0 .. 2^31-1.
int PrivateRandom(unsigned* state);

}  // namespace platform
}  // namespace qm
