// Locating and binding the BLAS/LAPACK modules.
//
// The names below are those of the POSIX build; the Windows build uses
// "libiomp5md.dll", "GX090000_BLASLAPACK.dll" and "rvxanlys.dll", the
// registry value QMSHAREDDIR64 of the key SOFTWARE\Quellmark\Common\Installer
// (HKEY_LOCAL_MACHINE) in place of the environment variable, a backslash as
// separator and no system module (see the platform's platform_names.h).
//
// Module file names in a candidate directory D (D ends in '/'):
//   D + "libgomp.so.1"               the OpenMP run-time, loaded first, so
//                                    that the BLAS module's own dependency on
//                                    it resolves to this copy;
//   D + "libGX090000_BLASLAPACK.so"  BLAS, CBLAS, LAPACK and a thread-count
//                                    setter.
//
// The directory is chosen in this order:
//   1. Pointer file: when a module named "librvxanlys.so" is loaded in the
//      process and its directory holds a non-empty file "mklpath", that file
//      names D (a trailing line break is ignored, a '/' appended when
//      missing); loading from it is final, success or failure.
//   2. The library's own directory; on success the binding is done.
//   3. Shared directory: the environment variable QMSHAREDDIR64 (machine-wide
//      setting of the installation, at most 500 bytes). When set,
//      D = value + "/" (unless it ends in one) + "MKL/GX090000_BLASLAPACK/";
//      loading from it is final.
//   4. When QMSHAREDDIR64 is not set: the system's OpenBLAS
//      ("libopenblas.so.0" through the dynamic linker's search), which holds
//      BLAS, CBLAS and LAPACK in one module and brings its own run-time.
//
// A module that lacks any routine of the function table does not count as
// loaded. After a successful load, the thread count from "analysis.ini" is
// handed to openblas_set_num_threads or MKL_Set_Num_Threads, whichever the
// module offers.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "frame/lapack.h"
#include "frame/platform.h"

namespace qm {

inline constexpr char kPointerFileName[] = "mklpath";

// Where the search looks; the library fills it from the process, tests from
// their temporary folders.
struct BlasSearch {
  std::string companion_module = kCompanionModuleName;     // basename to look for
  std::string own_dir;                                     // "" when unknown
  std::function<std::optional<std::string>()> shared_dir;  // null: not set
  std::string system_module = kSystemBlasModule;
  int thread_count = 1;
};

enum class BlasSource { kNone, kPointerFile, kOwnDirectory, kSharedDirectory, kSystem };

struct BlasBinding {
  void* runtime = nullptr;  // module handles, null when not loaded
  void* blas = nullptr;
  LapackTable table{};
  BlasSource source = BlasSource::kNone;
  std::string directory;                // D, or the system module's name
  const char* thread_setter = nullptr;  // name of the setter called, if any
};

// Runs the search. True with `out` filled when a module was bound.
bool BindBlasLapack(const BlasSearch& search, BlasBinding* out);

// Releases the modules of a binding (run-time first, then BLAS), ignoring
// failures, and clears it.
void ReleaseBlasLapack(BlasBinding* binding);

// The process's binding, made when the library loaded.
const BlasBinding& LibraryBlasBinding();

}  // namespace qm
