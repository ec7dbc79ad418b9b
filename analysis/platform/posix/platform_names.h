// POSIX (Linux) names of the frame's platform layer (see frame/platform.h).
#pragma once

#define QM_EXPORT_ATTRIBUTE __attribute__((visibility("default")))

namespace qm {

inline constexpr char kPathSeparator = '/';
inline constexpr char kRuntimeModuleName[] = "libgomp.so.1";
inline constexpr char kBlasModuleName[] = "libGX090000_BLASLAPACK.so";
inline constexpr char kCompanionModuleName[] = "librvxanlys.so";
inline constexpr char kSharedDirVariable[] = "QMSHAREDDIR64";
inline constexpr char kSharedDirSuffix[] = "MKL/GX090000_BLASLAPACK/";
// Used when no shared directory is configured.
inline constexpr char kSystemBlasModule[] = "libopenblas.so.0";

}  // namespace qm
