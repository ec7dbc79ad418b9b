// The search for the BLAS/LAPACK modules, with fake modules copied into
// temporary folders under the names the search looks for.
#include "frame/blas_binding.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>

#include "frame/library.h"
#include "test_support.h"

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

bool IsLoaded(const std::string& path) {
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (h) dlclose(h);
  return h != nullptr;
}

int FakeThreads(const BlasBinding& b) {
  auto fn = reinterpret_cast<int (*)()>(dlsym(b.blas, "fake_blas_thread_count"));
  return fn ? fn() : -1;
}

// A search that never finds the system's BLAS, so every branch is decided by
// the fake folders alone; it counts how often the shared directory is read.
struct Fixture {
  TempDir tmp;
  int shared_reads = 0;
  std::optional<std::string> shared_value;
  BlasSearch search;
  BlasBinding binding;

  Fixture() {
    search.companion_module = "libqmtest_companion.so";
    search.system_module = "";
    search.shared_dir = [this] {
      ++shared_reads;
      return shared_value;
    };
  }
  ~Fixture() { qm::ReleaseBlasLapack(&binding); }
  bool Bind() { return qm::BindBlasLapack(search, &binding); }
};

// Loads a fake companion module from `dir` for the life of the object.
struct Companion {
  void* handle;
  explicit Companion(const std::string& dir) {
    CopyFile(QM_FAKE_COMPANION, dir + "libqmtest_companion.so");
    handle = dlopen((dir + "libqmtest_companion.so").c_str(), RTLD_NOW);
  }
  ~Companion() {
    if (handle) dlclose(handle);
  }
};

TEST(BlasSearch, OwnDirectoryWithoutPointerFileNeverReadsTheSharedDirectory) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  f.search.thread_count = 6;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kOwnDirectory);
  EXPECT_EQ(f.binding.directory, own);
  EXPECT_EQ(f.shared_reads, 0);
  EXPECT_NE(f.binding.runtime, nullptr);
  EXPECT_NE(f.binding.table.dgetrf, nullptr);
  EXPECT_NE(f.binding.table.cblas_dgemm, nullptr);
  EXPECT_EQ(FakeThreads(f.binding), 6);
  EXPECT_STREQ(f.binding.thread_setter, "openblas_set_num_threads");
}

TEST(BlasSearch, CompanionWithoutPointerFileFallsBackToOwnDirectory) {
  Fixture f;
  Companion companion(f.tmp.Sub("companion"));
  ASSERT_NE(companion.handle, nullptr);
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kOwnDirectory);
  EXPECT_EQ(f.shared_reads, 0);
}

TEST(BlasSearch, PointerFileIsFinalEvenWhenModulesLieBesideTheLibrary) {
  Fixture f;
  const std::string companion_dir = f.tmp.Sub("companion");
  const std::string empty = f.tmp.Sub("empty");
  WriteFile(companion_dir + "mklpath", empty);
  Companion companion(companion_dir);
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  f.shared_value = f.tmp.dir();
  EXPECT_FALSE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kNone);
  EXPECT_EQ(f.binding.blas, nullptr);
  EXPECT_EQ(f.shared_reads, 0);
}

TEST(BlasSearch, PointerFileNamesTheDirectory) {
  Fixture f;
  const std::string companion_dir = f.tmp.Sub("companion");
  const std::string target = f.tmp.Sub("blas");
  PutPair(target);
  // Without a trailing '/', and with the line break an editor adds.
  WriteFile(companion_dir + "mklpath", target.substr(0, target.size() - 1) + "\n");
  Companion companion(companion_dir);
  f.search.thread_count = 3;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kPointerFile);
  EXPECT_EQ(f.binding.directory, target);
  EXPECT_EQ(FakeThreads(f.binding), 3);
}

TEST(BlasSearch, EmptyPointerFileCountsAsNone) {
  Fixture f;
  const std::string companion_dir = f.tmp.Sub("companion");
  WriteFile(companion_dir + "mklpath", "");
  Companion companion(companion_dir);
  const std::string own = f.tmp.Sub("own");
  PutPair(own);
  f.search.own_dir = own;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kOwnDirectory);
}

TEST(BlasSearch, SharedDirectoryWithAndWithoutTrailingSlash) {
  for (const char* slash : {"", "/"}) {
    Fixture f;
    const std::string shared = f.tmp.Sub("shared");
    const std::string expected = shared + "MKL/GX090000_BLASLAPACK/";
    PutPair(expected);
    f.search.own_dir = f.tmp.Sub("own_without_modules");
    f.shared_value = shared.substr(0, shared.size() - 1) + slash;
    ASSERT_TRUE(f.Bind()) << slash;
    EXPECT_EQ(f.binding.source, BlasSource::kSharedDirectory);
    EXPECT_EQ(f.binding.directory, expected);
    EXPECT_EQ(f.shared_reads, 1);
  }
}

TEST(BlasSearch, OnlyTheRuntimeFoundIsReleasedBeforeTheNextCandidate) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  CopyFile(QM_FAKE_RUNTIME, own + qm::kRuntimeModuleName);
  f.search.own_dir = own;
  bool runtime_still_loaded = true;
  f.search.shared_dir = [&]() -> std::optional<std::string> {
    runtime_still_loaded = IsLoaded(own + qm::kRuntimeModuleName);
    ++f.shared_reads;
    return std::nullopt;
  };
  EXPECT_FALSE(f.Bind());
  EXPECT_EQ(f.shared_reads, 1);
  EXPECT_FALSE(runtime_still_loaded);
}

TEST(BlasSearch, ModuleMissingARoutineDoesNotCount) {
  Fixture f;
  const std::string own = f.tmp.Sub("own");
  CopyFile(QM_FAKE_RUNTIME, own + qm::kRuntimeModuleName);
  CopyFile(QM_FAKE_BLAS_INCOMPLETE, own + qm::kBlasModuleName);
  f.search.own_dir = own;
  EXPECT_FALSE(f.Bind());
  EXPECT_FALSE(IsLoaded(own + qm::kRuntimeModuleName));
  EXPECT_FALSE(IsLoaded(own + qm::kBlasModuleName));
}

TEST(BlasSearch, SharedDirectoryFailureIsFinal) {
  Fixture f;
  f.search.system_module = qm::kSystemBlasModule;  // would succeed if tried
  f.shared_value = f.tmp.Sub("shared_without_modules");
  EXPECT_FALSE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kNone);
}

TEST(BlasSearch, OverlongSharedDirectoryCountsAsUnset) {
  Fixture f;
  f.shared_value = std::string(501, 'x');
  EXPECT_FALSE(f.Bind());  // no system module in this fixture
  EXPECT_EQ(f.shared_reads, 1);
}

TEST(BlasSearch, SystemOpenBlasIsTheDefault) {
  Fixture f;
  f.search.system_module = qm::kSystemBlasModule;
  f.search.thread_count = 2;
  ASSERT_TRUE(f.Bind());
  EXPECT_EQ(f.binding.source, BlasSource::kSystem);
  EXPECT_EQ(f.binding.runtime, nullptr);
  EXPECT_STREQ(f.binding.thread_setter, "openblas_set_num_threads");
}

// The library in this process bound the system's OpenBLAS at load; the
// table's prototypes must match the real routines.
TEST(LibraryBinding, RealRoutinesThroughTheTable) {
  const qm::LapackTable* la = nullptr;
  ASSERT_EQ(qm::RequireLapack(&la), qm::kSuccess);
  EXPECT_EQ(qm::LibraryBlasBinding().source, BlasSource::kSystem);

  // Column-major 2x2 A = [[4, 3], [6, 3]]: det = -6.
  double a[4] = {4, 6, 3, 3};
  int n = 2, lda = 2, ipiv[2], info = -1;
  la->dgetrf(&n, &n, a, &lda, ipiv, &info);
  ASSERT_EQ(info, 0);
  double det = a[0] * a[3];
  for (int i = 0; i < 2; ++i) det = ipiv[i] != i + 1 ? -det : det;
  EXPECT_NEAR(det, -6.0, 1e-14);

  const double x[3] = {1, 2, 3}, y[3] = {4, 5, 6};
  EXPECT_EQ(la->cblas_ddot(3, x, 1, y, 1), 32.0);
  EXPECT_EQ(la->cblas_idamax(3, x, 1), 2u);

  // Symmetric eigenvalues with character arguments and workspace query.
  double s[4] = {2, 1, 1, 2}, w[2], wq;
  int lwork = -1, iwq, liwork = -1;
  la->dsyevd("N", "U", &n, s, &lda, w, &wq, &lwork, &iwq, &liwork, &info, 1, 1);
  ASSERT_EQ(info, 0);
  double work[64];
  int iwork[64];
  lwork = 64;
  liwork = 64;
  la->dsyevd("N", "U", &n, s, &lda, w, work, &lwork, iwork, &liwork, &info, 1, 1);
  ASSERT_EQ(info, 0);
  EXPECT_NEAR(w[0], 1.0, 1e-14);
  EXPECT_NEAR(w[1], 3.0, 1e-14);

  // Complex: zgetrf of [[1+i]] and zdotu.
  qm::fcomplex c[1] = {{1, 1}};
  int one = 1;
  la->zgetrf(&one, &one, c, &one, ipiv, &info);
  EXPECT_EQ(info, 0);
  const qm::fcomplex u[2] = {{1, 1}, {0, 2}}, v[2] = {{2, 0}, {1, 0}};
  qm::fcomplex dot;
  la->cblas_zdotu_sub(2, u, 1, v, 1, &dot);
  EXPECT_EQ(dot, qm::fcomplex(2, 4));
}

}  // namespace
