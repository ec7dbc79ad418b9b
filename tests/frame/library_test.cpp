// The shared library as callers see it: its exported symbols, and what its
// load and unload do.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "frame/blas_binding.h"
#include "test_support.h"

namespace {

using qm::test::CopyFile;
using qm::test::TempDir;
using qm::test::WriteFile;

std::set<std::string> DeclaredExports() {
  std::set<std::string> names;
  const std::regex decl(R"(\b(ZMXFunc[0-9]+)\s*\()");
  for (const auto& entry : std::filesystem::directory_iterator(QM_SOURCE_DIR "/include/qmanlys")) {
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    for (std::sregex_iterator it(s.begin(), s.end(), decl), end; it != end; ++it) {
      EXPECT_TRUE(names.insert((*it)[1]).second) << (*it)[1] << " declared twice";
    }
  }
  return names;
}

std::set<std::string> ExportedSymbols(std::set<std::string>* others) {
  std::set<std::string> names;
  FILE* nm = popen("nm -D --defined-only " QM_SHARED_LIBRARY, "r");
  if (!nm) return names;
  char line[512];
  while (fgets(line, sizeof line, nm)) {
    std::istringstream fields(line);
    std::string address, type, name;
    fields >> address >> type >> name;
    if (name.rfind("ZMXFunc", 0) == 0) {
      names.insert(name);
    } else if (!name.empty()) {
      others->insert(name);
    }
  }
  pclose(nm);
  return names;
}

TEST(Exports, SymbolSetEqualsTheHeaderDeclarations) {
  std::set<std::string> others;
  const std::set<std::string> exported = ExportedSymbols(&others);
  const std::set<std::string> declared = DeclaredExports();
  ASSERT_FALSE(exported.empty()) << "nm found no exports";
  for (const auto& name : declared)
    EXPECT_TRUE(exported.count(name)) << name << " declared, not exported";
  for (const auto& name : exported)
    EXPECT_TRUE(declared.count(name)) << name << " exported, not declared";
  // Only toolchain symbols (none expected with the version script) besides.
  for (const auto& name : others) ADD_FAILURE() << "unexpected export " << name;
  for (const char* unused : {"ZMXFunc199", "ZMXFunc244", "ZMXFunc0", "ZMXFunc377"}) {
    EXPECT_FALSE(declared.count(unused)) << unused;
  }
}

// A copy of the library in a folder of its own, loaded and unloaded by the
// test as an application would.
class LoadedCopy {
 public:
  explicit LoadedCopy(const std::string& dir) : path_(dir + "libqmanlys.so.1") {
    CopyFile(QM_SHARED_LIBRARY, path_);
  }
  void* Open() { return handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL); }
  void Close() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
  }
  ~LoadedCopy() { Close(); }

 private:
  std::string path_;
  void* handle_ = nullptr;
};

void* LoadedModule(const std::string& path) {
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (h) dlclose(h);  // NOLOAD added a reference
  return h;
}

TEST(LibraryLoad, BindsModulesBesideItAndSetsTheirThreadCountFromTheIni) {
  TempDir tmp;
  const std::string dir = tmp.dir();
  CopyFile(QM_FAKE_RUNTIME, dir + qm::kRuntimeModuleName);
  CopyFile(QM_FAKE_BLAS, dir + qm::kBlasModuleName);
  WriteFile(dir + "analysis.ini", "[RVX]\nZMX_NUM_THREADS=8\n");
  LoadedCopy lib(dir);
  void* handle = lib.Open();
  ASSERT_NE(handle, nullptr) << dlerror();

  void* blas = LoadedModule(dir + qm::kBlasModuleName);
  ASSERT_NE(blas, nullptr);
  auto threads = reinterpret_cast<int (*)()>(dlsym(blas, "fake_blas_thread_count"));
  ASSERT_NE(threads, nullptr);
  EXPECT_EQ(threads(), 8);

  // One function under two names; null is accepted.
  void* f234 = dlsym(handle, "ZMXFunc234");
  ASSERT_NE(f234, nullptr);
  EXPECT_EQ(dlsym(handle, "ZMXFunc238"), f234);
  reinterpret_cast<void (*)(void*)>(f234)(nullptr);
  reinterpret_cast<void (*)(void*)>(f234)(std::malloc(16));

  // Unload releases both modules.
  lib.Close();
  EXPECT_EQ(LoadedModule(dir + qm::kBlasModuleName), nullptr);
  EXPECT_EQ(LoadedModule(dir + qm::kRuntimeModuleName), nullptr);
}

TEST(LibraryLoad, FallsBackToTheSystemOpenBlasWithTheIniThreadCount) {
  TempDir tmp;
  unsetenv(qm::kSharedDirVariable);
  WriteFile(tmp.dir() + "analysis.ini", "[RVX]\nZMX_NUM_THREADS=3\n");
  LoadedCopy lib(tmp.dir());
  ASSERT_NE(lib.Open(), nullptr) << dlerror();
  void* openblas = dlopen(qm::kSystemBlasModule, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(openblas, nullptr);
  auto get = reinterpret_cast<int (*)()>(dlsym(openblas, "openblas_get_num_threads"));
  ASSERT_NE(get, nullptr);
  EXPECT_EQ(get(), 3);
  reinterpret_cast<void (*)(int)>(dlsym(openblas, "openblas_set_num_threads"))(1);
  dlclose(openblas);
}

}  // namespace
