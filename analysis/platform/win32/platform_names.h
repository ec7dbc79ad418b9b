// Win32 names of the frame's platform layer (see frame/platform.h).
#pragma once

#define QM_EXPORT_ATTRIBUTE __declspec(dllexport)

namespace qm {

inline constexpr char kPathSeparator = '\\';
inline constexpr char kRuntimeModuleName[] = "libiomp5md.dll";
inline constexpr char kBlasModuleName[] = "GX090000_BLASLAPACK.dll";
inline constexpr char kCompanionModuleName[] = "rvxanlys.dll";
// The shared directory: string value QMSHAREDDIR64 of this key under
// HKEY_LOCAL_MACHINE.
inline constexpr char kSharedDirKey[] = "SOFTWARE\\Quellmark\\Common\\Installer";
inline constexpr char kSharedDirVariable[] = "QMSHAREDDIR64";
inline constexpr char kSharedDirSuffix[] = "MKL\\GX090000_BLASLAPACK\\";
// No system BLAS on Windows: without the shared directory the search ends.
inline constexpr char kSystemBlasModule[] = "";

}  // namespace qm
