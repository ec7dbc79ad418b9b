// qmanlys.dll as a host application meets it: loaded by LoadLibraryA from a
// folder of its own, DllMain's attach reading "analysis.ini" and binding the
// BLAS/LAPACK modules beside it, the detach releasing them.
#include <windows.h>
// The tests' CopyFile helper, not the Win32 macro.
#undef CopyFile

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "frame/platform.h"
#include "frame/test_support.h"

namespace {

using qm::test::CopyFile;
using qm::test::TempDir;
using qm::test::WriteFile;

using Determinant = int32_t (*)(const double*, int64_t, double*);

struct LoadedLibrary {
  HMODULE module = nullptr;
  explicit LoadedLibrary(const std::string& path) { module = LoadLibraryA(path.c_str()); }
  ~LoadedLibrary() {
    if (module) FreeLibrary(module);
  }
  template <class F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

TEST(Win32Dll, LoadsWithoutModulesAndLapackExportsAnswerNotSupported) {
  TempDir tmp;
  const std::string dll = tmp.dir() + "qmanlys.dll";
  CopyFile(QM_SHARED_LIBRARY, dll);
  LoadedLibrary lib(dll);
  ASSERT_NE(lib.module, nullptr) << "DllMain keeps the library loadable";
  auto det = lib.Get<Determinant>("ZMXFunc55");
  ASSERT_NE(det, nullptr);
  const double a[9] = {2, 1, 0, 1, 3, 1, 0, 1, 4};
  double d = 0;
  EXPECT_EQ(det(a, 3, &d), -20078);
  auto message = lib.Get<const char* (*)(int32_t)>("ZMXFunc240");
  ASSERT_NE(message, nullptr);
  EXPECT_STREQ(message(-20078), "This functionality is not supported on this platform.");
  // Only the ZMXFunc names are exported.
  EXPECT_EQ(GetProcAddress(lib.module, "DllMain"), nullptr);
  EXPECT_EQ(GetProcAddress(lib.module, "_ZN2qm13LibraryAttachEv"), nullptr);
  EXPECT_NE(GetProcAddress(lib.module, "ZMXFunc238"), nullptr);
}

TEST(Win32Dll, BindsTheModulesBesideItAndReleasesThemAtUnload) {
  TempDir tmp;
  const std::string dir = tmp.dir();
  CopyFile(QM_SHARED_LIBRARY, dir + "qmanlys.dll");
  CopyFile(QM_FAKE_RUNTIME, dir + qm::kRuntimeModuleName);
  CopyFile(QM_FAKE_BLAS, dir + qm::kBlasModuleName);
  WriteFile(dir + "analysis.ini", "[RVX]\r\nZMX_NUM_THREADS=4\r\n");
  {
    LoadedLibrary lib(dir + "qmanlys.dll");
    ASSERT_NE(lib.module, nullptr);
    HMODULE blas = GetModuleHandleA((dir + qm::kBlasModuleName).c_str());
    ASSERT_NE(blas, nullptr) << "bound at attach";
    ASSERT_NE(GetModuleHandleA((dir + qm::kRuntimeModuleName).c_str()), nullptr);
    auto threads = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(blas, "fake_blas_thread_count")));
    ASSERT_NE(threads, nullptr);
    EXPECT_EQ(threads(), 4) << "MKL_Set_Num_Threads got the ini's count";
    // The table is bound: the call reaches the (stub) LAPACK routines.
    auto det = lib.Get<Determinant>("ZMXFunc55");
    const double a[9] = {2, 1, 0, 1, 3, 1, 0, 1, 4};
    double d = 0;
    EXPECT_NE(det(a, 3, &d), -20078);
  }
  EXPECT_EQ(GetModuleHandleA((dir + qm::kBlasModuleName).c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleA((dir + qm::kRuntimeModuleName).c_str()), nullptr);
}

}  // namespace
