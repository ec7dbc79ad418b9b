// The BLAS/LAPACK search on Windows: fake DLLs copied into temporary folders
// under the names the search looks for, the pointer file beside a loaded
// "rvxanlys.dll", and the registry value QMSHAREDDIR64 in the test's own Wine
// prefix (HKEY_LOCAL_MACHINE\SOFTWARE\Quellmark\Common\Installer).
#include <windows.h>
// The tests' CopyFile helper, not the Win32 macro.
#undef CopyFile

#include <gtest/gtest.h>

#include <string>

#include "frame/blas_binding.h"
#include "frame/config.h"
#include "frame/lapack.h"
#include "frame/platform.h"
#include "frame/status.h"
#include "frame/test_support.h"

namespace {

using qm::BlasBinding;
using qm::BlasSearch;
using qm::BlasSource;
using qm::test::CopyFile;
using qm::test::TempDir;
using qm::test::WriteFile;

void PutPair(const std::string& dir) {
  CopyFile(QM_FAKE_RUNTIME, dir + qm::kRuntimeModuleName);
  CopyFile(QM_FAKE_BLAS, dir + qm::kBlasModuleName);
}

// Loaded under exactly this path? (GetModuleHandleA compares full paths.)
bool IsLoaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

int FakeThreads(const BlasBinding& b) {
  auto fn = reinterpret_cast<int (*)()>(
      reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(b.blas), "fake_blas_thread_count")));
  return fn ? fn() : -1;
}

// The registry value of the installation, restored (removed) afterwards.
class SharedDirValue {
 public:
  explicit SharedDirValue(const std::string& value, bool with_terminator = true) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, qm::kSharedDirKey, 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD size = static_cast<DWORD>(value.size() + (with_terminator ? 1 : 0));
    EXPECT_EQ(RegSetValueExA(key, qm::kSharedDirVariable, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  ~SharedDirValue() { Remove(); }
  static void Remove() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, qm::kSharedDirKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, qm::kSharedDirVariable);
      RegCloseKey(key);
    }
  }
};

std::optional<std::string> RegistrySetting() { return qm::platform::SharedDirectorySetting(500); }

// The library's own search, with the registry as the shared directory.
struct Fixture {
  TempDir tmp;
  BlasSearch search;
  BlasBinding binding;
  Fixture() {
    SharedDirValue::Remove();
    search.shared_dir = RegistrySetting;
    search.thread_count = 3;
  }
  ~Fixture() { qm::ReleaseBlasLapack(&binding); }
  bool Bind() { return qm::BindBlasLapack(search, &binding); }
};

// "rvxanlys.dll" loaded from `dir` for the life of the object.
struct Companion {
  HMODULE module = nullptr;
  explicit Companion(const std::string& dir) {
    CopyFile(QM_FAKE_COMPANION, dir + qm::kCompanionModuleName);
    module = LoadLibraryA((dir + qm::kCompanionModuleName).c_str());
    EXPECT_NE(module, nullptr);
  }
  ~Companion() {
    if (module) FreeLibrary(module);
  }
};

TEST(Win32Binding, OwnFolderBindsTheTableAndSetsTheThreadCount) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kOwnDirectory);
  EXPECT_EQ(f.binding.directory, own);
  EXPECT_STREQ(f.binding.thread_setter, "MKL_Set_Num_Threads");
  EXPECT_EQ(FakeThreads(f.binding), 3);
  EXPECT_NE(f.binding.table.dgetrf, nullptr);
  EXPECT_NE(f.binding.table.cblas_dgemm, nullptr);
  EXPECT_TRUE(IsLoaded(own + qm::kRuntimeModuleName));
  qm::ReleaseBlasLapack(&f.binding);
  EXPECT_FALSE(IsLoaded(own + qm::kBlasModuleName));
  EXPECT_FALSE(IsLoaded(own + qm::kRuntimeModuleName));
}

TEST(Win32Binding, PointerFileIsFinalAndNamesTheFolder) {
  Fixture f;
  const std::string own = f.tmp.Sub("own"), pointed = f.tmp.Sub("pointed");
  PutPair(own);
  f.search.own_dir = own;
  Companion companion(f.tmp.Sub("comp"));
  // Without a trailing backslash: one is appended.
  WriteFile(f.tmp.dir() + "comp\\" + qm::kPointerFileName, pointed.substr(0, pointed.size() - 1));
  EXPECT_FALSE(f.Bind()) << "the pointed-to folder is empty: no fallback to the own folder";
  EXPECT_FALSE(IsLoaded(own + qm::kBlasModuleName));
  PutPair(pointed);
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kPointerFile);
  EXPECT_EQ(f.binding.directory, pointed);
}

TEST(Win32Binding, EmptyPointerFileFallsBackToTheOwnFolder) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  Companion companion(f.tmp.Sub("comp"));
  WriteFile(f.tmp.dir() + "comp\\" + qm::kPointerFileName, "");
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kOwnDirectory);
}

TEST(Win32Binding, RegistryValueWithAndWithoutTrailingBackslash) {
  Fixture f;
  const std::string shared = f.tmp.Sub("shared");
  const std::string modules = shared + "MKL\\GX090000_BLASLAPACK\\";
  PutPair(modules);
  for (const std::string& value : {shared, shared.substr(0, shared.size() - 1)}) {
    SharedDirValue setting(value);
    ASSERT_TRUE(f.Bind()) << value;
    EXPECT_EQ(f.binding.source, BlasSource::kSharedDirectory);
    EXPECT_EQ(f.binding.directory, modules);
    qm::ReleaseBlasLapack(&f.binding);
  }
  // Stored without its terminator: read the same.
  SharedDirValue unterminated(shared, false);
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.directory, modules);
}

TEST(Win32Binding, ModulesBesideTheLibraryWinOverTheRegistry) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  PutPair(f.tmp.Sub("shared") + "MKL\\GX090000_BLASLAPACK\\");
  SharedDirValue setting(f.tmp.dir() + "shared");
  f.search.own_dir = own;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kOwnDirectory);
}

TEST(Win32Binding, NoModulesAnywhereFailsAndTheExportsSayWhy) {
  Fixture f;
  f.search.own_dir = f.tmp.Sub("own");
  EXPECT_FALSE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kNone);
  SharedDirValue setting(f.tmp.dir() + "nowhere");
  EXPECT_FALSE(f.Bind());
  // This program's own load found no modules either: LAPACK exports answer
  // kNoLinearAlgebra.
  const qm::LapackTable* table = nullptr;
  EXPECT_EQ(qm::RequireLapack(&table), qm::kNoLinearAlgebra);
}

TEST(Win32Binding, OnlyTheRuntimeFoundIsReleasedAgain) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  CopyFile(QM_FAKE_RUNTIME, own + qm::kRuntimeModuleName);
  f.search.own_dir = own;
  EXPECT_FALSE(f.Bind());
  EXPECT_FALSE(IsLoaded(own + qm::kRuntimeModuleName));
}

TEST(Win32Binding, ModuleMissingARoutineDoesNotCount) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  CopyFile(QM_FAKE_RUNTIME, own + qm::kRuntimeModuleName);
  CopyFile(QM_FAKE_BLAS_INCOMPLETE, own + qm::kBlasModuleName);
  f.search.own_dir = own;
  EXPECT_FALSE(f.Bind());
  EXPECT_FALSE(IsLoaded(own + qm::kRuntimeModuleName));
  EXPECT_FALSE(IsLoaded(own + qm::kBlasModuleName));
}

// Bad input: each makes its step fail cleanly.
TEST(Win32Binding, OverlongPathsAndValuesFailCleanly) {
  Fixture f;
  f.search.own_dir = "C:\\" + std::string(MAX_PATH + 40, 'a') + "\\";
  EXPECT_FALSE(f.Bind());
  // A registry value longer than the 500-byte buffer counts as not set.
  SharedDirValue setting(std::string(700, 'b'));
  EXPECT_EQ(RegistrySetting(), std::nullopt);
  EXPECT_FALSE(f.Bind());
}

TEST(Win32Binding, PointerFileWithoutTerminatorIsCutAtItsLimit) {
  Fixture f;
  Companion companion(f.tmp.Sub("comp"));
  const std::string long_text(2000, 'c');  // no line break, no terminator
  WriteFile(f.tmp.dir() + "comp\\" + qm::kPointerFileName, long_text);
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  EXPECT_FALSE(f.Bind()) << "a pointer file is final";
  EXPECT_EQ(f.binding.source, BlasSource::kNone);
}

TEST(Win32Binding, NonAsciiFolderNames) {
  Fixture f;
  // "Messger\xe4t" in the ANSI code page.
  const std::string own = f.tmp.dir() + "Messger\xe4t\\";
  ASSERT_TRUE(CreateDirectoryA(own.c_str(), nullptr));
  ASSERT_TRUE(::CopyFileA(QM_FAKE_RUNTIME, (own + qm::kRuntimeModuleName).c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(QM_FAKE_BLAS, (own + qm::kBlasModuleName).c_str(), FALSE));
  f.search.own_dir = own;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.directory, own);
  qm::ReleaseBlasLapack(&f.binding);
  DeleteFileA((own + qm::kRuntimeModuleName).c_str());
  DeleteFileA((own + qm::kBlasModuleName).c_str());
  RemoveDirectoryA(own.c_str());
}

// "analysis.ini" through GetPrivateProfileStringA.
TEST(Win32Config, ThreadCountThroughTheProfileApi) {
  TempDir tmp;
  for (const auto& [text, expected] :
       {std::pair<const char*, int>{"8", 8}, {"0", 1}, {"-4", 1}, {"abc", 1}, {"\"5\"", 5}}) {
    WriteFile(tmp.dir() + qm::kConfigFileName,
              std::string("[other]\r\nZMX_NUM_THREADS=2\r\n[RVX]\r\nZMX_NUM_THREADS=") + text + "\r\n");
    EXPECT_EQ(qm::ReadThreadCount(tmp.dir()), expected) << text;
  }
  EXPECT_EQ(qm::ReadThreadCount(tmp.dir() + "missing\\"), 1);
}

}  // namespace
