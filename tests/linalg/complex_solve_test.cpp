// Complex determinants, inverses, linear systems, LU and Cholesky factors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "complex_test_support.h"
#include "frame/workspace.h"

namespace {

using namespace complex_test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ComplexDeterminant, AgreesWithLongDoubleAndMultiplies) {
  for (int n : {3, 6, 31}) {
    const CMatrix a = RandomC(n, n, 10 + n), b = RandomC(n, n, 20 + n);
    double da[2], db[2], dab[2];
    ASSERT_EQ(ZMXFunc220(D(a), n, 0, da), 0);
    const lcplx ref = LongDetC(a, n);
    const cplx got(da[0], da[1]);
    EXPECT_LT(std::abs(lcplx(got) - ref) / std::abs(ref), 1e3L * kEps * n) << n;
    // det(A·B) = det(A)·det(B): a transposed or conjugated factor breaks it.
    const CMatrix ab = MulC(a, b, n, n, n);
    ASSERT_EQ(ZMXFunc220(D(b), n, 0, db), 0);
    ASSERT_EQ(ZMXFunc220(D(ab), n, 0, dab), 0);
    const cplx prod = cplx(da[0], da[1]) * cplx(db[0], db[1]);
    EXPECT_LT(std::abs(cplx(dab[0], dab[1]) - prod) / std::abs(prod), 1e4 * kEps * n) << n;
  }
}

TEST(ComplexDeterminant, TypedFormsAndSpecialCases) {
  // 2 x 2: the complex formula a00·a11 − a01·a10, for every type.
  const CMatrix two = {{1, 2}, {3, -1}, {0, 1}, {2, 2}};
  double det[2];
  for (int type = 0; type <= 3; ++type) {
    ASSERT_EQ(ZMXFunc220(D(two), 2, type, det), 0);
    const cplx want = two[0] * two[3] - two[1] * two[2];
    EXPECT_EQ(cplx(det[0], det[1]), want);
  }
  // Triangular: product of the diagonal; the other triangle is not read.
  CMatrix lower = RandomC(5, 5, 3);
  lcplx p = 1;
  for (int i = 0; i < 5; ++i) p *= lcplx(lower[i * 5 + i]);
  for (int i = 0; i < 5; ++i)
    for (int j = i + 1; j < 5; ++j) lower[i * 5 + j] = cplx(7, 7);
  ASSERT_EQ(ZMXFunc220(D(lower), 5, 2, det), 0);
  EXPECT_LT(std::abs(lcplx(cplx(det[0], det[1])) - p), 1e-14L);
  // Hermitian positive definite: real and positive, equal to the general one.
  const CMatrix h = HermitianPd(9, 4);
  double dh[2], dg[2];
  ASSERT_EQ(ZMXFunc220(D(h), 9, 1, dh), 0);
  ASSERT_EQ(ZMXFunc220(D(h), 9, 0, dg), 0);
  EXPECT_EQ(dh[1], 0.0);
  EXPECT_GT(dh[0], 0.0);
  EXPECT_LT(std::abs(cplx(dh[0], dh[1]) - cplx(dg[0], dg[1])) / dh[0], 1e-12);
  // Not positive definite: 0 and -20071; exactly singular: 0 and success.
  CMatrix neg = h;
  neg[0] = -100.0;
  EXPECT_EQ(ZMXFunc220(D(neg), 9, 1, dh), -20071);
  EXPECT_EQ(dh[0], 0.0);
  CMatrix sing = RandomC(4, 4, 5);
  for (int j = 0; j < 4; ++j) sing[3 * 4 + j] = sing[1 * 4 + j] * cplx(0, 2);
  ASSERT_EQ(ZMXFunc220(D(sing), 4, 0, det), 0);
}

TEST(ComplexDeterminant, ChecksInOrderAndSetsNaNFirst) {
  CMatrix a = RandomC(4, 4, 6);
  double det[2] = {1, 1};
  EXPECT_EQ(ZMXFunc220(D(a), 0, 0, det), -20003);
  EXPECT_TRUE(std::isnan(det[0]) && std::isnan(det[1]));
  EXPECT_EQ(ZMXFunc220(D(a), 4, 4, det), -20061);
  EXPECT_EQ(ZMXFunc220(D(a), 4, -1, det), -20061);
  a[5] = cplx(0.5, kNaN);  // only the imaginary part fails
  EXPECT_EQ(ZMXFunc220(D(a), 4, 0, det), -20068);
  a[5] = cplx(-1.7976931348623e308, 0);
  EXPECT_EQ(ZMXFunc220(D(a), 4, 0, det), -20068);
  EXPECT_EQ(ZMXFunc220(nullptr, 4, 0, det), -20008);
  EXPECT_EQ(ZMXFunc220(D(a), int64_t{1} << 33, 0, det), -20046);
  EXPECT_EQ(ZMXFunc220(D(a), 50000, 0, det), -20046);  // n² beyond 32 bits
}

TEST(ComplexDeterminant, GoldenValues) {
  for (const ComplexGolden& c : LoadComplexGolden()) {
    if (c.m != c.n) continue;
    double det[2];
    ASSERT_EQ(ZMXFunc220(D(c.a), c.n, 0, det), 0) << c.name;
    EXPECT_LT(std::abs(cplx(det[0], det[1]) - c.det) / std::abs(c.det), 1e-12) << c.name;
    CMatrix inv(c.a.size());
    CMatrix a = c.a;
    ASSERT_EQ(ZMXFunc212(D(a), c.n, 0, D(inv)), 0) << c.name;
    EXPECT_LT(MatrixRatio(inv, c.inverse, c.n, c.n), 100) << c.name;
  }
}

TEST(ComplexInverse, EveryTypeInvertsAndRejectsAsTheRealOne) {
  const int n = 12;
  CMatrix general = RandomC(n, n, 7);
  CMatrix h = HermitianPd(n, 8);
  CMatrix lower = RandomC(n, n, 9), upper = RandomC(n, n, 10);
  for (int i = 0; i < n; ++i) {
    lower[i * n + i] += 3.0;
    upper[i * n + i] += 3.0;
    for (int j = 0; j < n; ++j) {
      if (j > i) lower[i * n + j] = 0;
      if (j < i) upper[i * n + j] = 0;
    }
  }
  struct Case {
    CMatrix* a;
    int type;
  } cases[] = {{&general, 0}, {&h, 1}, {&lower, 2}, {&upper, 3}};
  for (const Case& c : cases) {
    CMatrix inv(c.a->size());
    ASSERT_EQ(ZMXFunc212(D(*c.a), n, c.type, D(inv)), 0) << c.type;
    const CMatrix prod = MulC(*c.a, inv, n, n, n);
    EXPECT_LT(MatrixRatio(prod, IdentityC(n), n, n) / Norm1C(*c.a, n, n) / Norm1C(inv, n, n) * n,
              30)
        << c.type;
    EXPECT_LT(Diff1C(prod, IdentityC(n), n, n), 1e-11) << c.type;
    if (c.type == 1) {  // Hermitian, both triangles
      EXPECT_EQ(inv, Adjoint(inv, n, n));
    }
  }
  // In place (out null) equals the separate output.
  CMatrix inv(general.size()), copy = general;
  ASSERT_EQ(ZMXFunc212(D(general), n, 0, D(inv)), 0);
  ASSERT_EQ(ZMXFunc212(D(copy), n, 0, nullptr), 0);
  EXPECT_EQ(copy, inv);
  CMatrix zero(16, 0.0);
  EXPECT_EQ(ZMXFunc212(D(zero), 4, 0, D(inv)), -20041);
  CMatrix notpd = h;
  notpd[0] = -1.0;
  EXPECT_EQ(ZMXFunc212(D(notpd), n, 1, D(inv)), -20071);
  EXPECT_EQ(ZMXFunc212(D(h), n, 4, D(inv)), -20061);
}

// ‖A·x − b‖ / (n·‖A‖·‖x‖·ε) for k right-hand sides.
double SolveRatio(const CMatrix& a, const CMatrix& x, const CMatrix& b, int m, int n, int k) {
  const CMatrix ax = MulC(a, x, m, n, k);
  return RatioC(Diff1C(ax, b, m, k), n, Norm1C(a, m, n) * Norm1C(x, n, k));
}

TEST(ComplexSolve, EveryTypeSolvesSquareSystems) {
  const int n = 20, k = 3;
  CMatrix general = RandomC(n, n, 11), h = HermitianPd(n, 12);
  CMatrix lower = RandomC(n, n, 13), upper = RandomC(n, n, 14);
  for (int i = 0; i < n; ++i) {
    lower[i * n + i] += 4.0;
    upper[i * n + i] += 4.0;
  }
  const CMatrix b = RandomC(n, k, 15);
  CMatrix lower_only = lower, upper_only = upper;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (j > i) lower_only[i * n + j] = 0;
      if (j < i) upper_only[i * n + j] = 0;
    }
  struct Case {
    const CMatrix* a;
    const CMatrix* used;  // the matrix the type reads
    int type;
  } cases[] = {
      {&general, &general, 0}, {&h, &h, 1}, {&lower, &lower_only, 2}, {&upper, &upper_only, 3}};
  for (const Case& c : cases) {
    CMatrix x(static_cast<std::size_t>(n) * k);
    ASSERT_EQ(ZMXFunc242(D(*c.a), n, n, c.type, D(b), k, D(x)), 0) << c.type;
    EXPECT_LT(SolveRatio(*c.used, x, b, n, n, k), 30) << c.type;
    CMatrix x1(n), b1(n);
    for (int i = 0; i < n; ++i) b1[i] = b[i * k];
    ASSERT_EQ(ZMXFunc218(D(*c.a), n, n, D(b1), c.type, D(x1)), 0) << c.type;
    for (int i = 0; i < n; ++i) EXPECT_LT(std::abs(x1[i] - x[i * k]), 1e-12) << c.type;
  }
}

TEST(ComplexSolve, LeastSquaresAndRankDeficiency) {
  // Overdetermined: the residual is orthogonal to the columns, Aᴴ(Ax − b) = 0.
  const int m = 15, n = 6;
  const CMatrix a = RandomC(m, n, 16), b = RandomC(m, 1, 17);
  CMatrix x(n);
  ASSERT_EQ(ZMXFunc218(D(a), m, n, D(b), 0, D(x)), 0);
  CMatrix r = MulC(a, x, m, n, 1);
  for (int i = 0; i < m; ++i) r[i] -= b[i];
  const CMatrix g = MulC(Adjoint(a, m, n), r, n, m, 1);
  EXPECT_LT(Norm1C(g, n, 1), 1e-12);
  // Underdetermined: the minimum-norm solution lies in the row space,
  // x = Aᴴ·y, and solves exactly.
  const CMatrix w = RandomC(4, 9, 18), c = RandomC(4, 1, 19);
  CMatrix y(9);
  ASSERT_EQ(ZMXFunc218(D(w), 4, 9, D(c), 0, D(y)), 0);
  EXPECT_LT(SolveRatio(w, y, c, 4, 9, 1), 30);
  // Rank deficient: two equal columns; the solution splits evenly between
  // them, with the warning.
  CMatrix dup = RandomC(8, 4, 20);
  for (int i = 0; i < 8; ++i) dup[i * 4 + 3] = dup[i * 4 + 1];
  CMatrix z(4);
  const CMatrix d = RandomC(8, 1, 21);
  EXPECT_EQ(ZMXFunc218(D(dup), 8, 4, D(d), 0, D(z)), 20001);
  EXPECT_LT(std::abs(z[1] - z[3]), 1e-12);
  // The shape rules of the twin.
  EXPECT_EQ(ZMXFunc218(D(a), m, n, D(b), 1, D(x)), -20039);
  EXPECT_EQ(ZMXFunc218(D(a), m, n, D(b), 5, D(x)), -20061);
  CMatrix lower(9, 0.0);
  lower[0] = 1;
  lower[4] = 1;  // lower[8] = 0 on the diagonal
  CMatrix rhs(3, 1.0), sol(3);
  EXPECT_EQ(ZMXFunc218(D(lower), 3, 3, D(rhs), 2, D(sol)), -20041);
  CMatrix bad = b;
  bad[2] = cplx(0, std::numeric_limits<double>::infinity());
  EXPECT_EQ(ZMXFunc218(D(a), m, n, D(bad), 0, D(x)), -20068);
}

TEST(ComplexLu, FactorsReconstructThePermutedMatrix) {
  const int n = 10;
  const CMatrix a = RandomC(n, n, 22);
  CMatrix lu = a;
  int64_t p[n];
  int32_t parity = -1;
  ASSERT_EQ(ZMXFunc213(D(lu), n, p, &parity), 0);
  CMatrix l(n * n, 0.0), u(n * n, 0.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) (j < i ? l : u)[i * n + j] = lu[i * n + j];
  for (int i = 0; i < n; ++i) l[i * n + i] = 1.0;
  CMatrix pa = a;
  int swaps = 0;
  for (int i = 0; i < n; ++i) {
    if (p[i] != i) ++swaps;
    for (int j = 0; j < n; ++j) std::swap(pa[i * n + j], pa[p[i] * n + j]);
  }
  EXPECT_EQ(parity, swaps % 2);
  EXPECT_LT(MatrixRatio(MulC(l, u, n, n, n), pa, n, n), 30);
  // Singular: the warning, factors delivered; a failing element: -20068
  // with the matrix untouched.
  CMatrix sing(16, 1.0);
  EXPECT_EQ(ZMXFunc213(D(sing), 4, nullptr, &parity), 20003);
  CMatrix bad = a;
  bad[7] = cplx(1, kNaN);
  const CMatrix keep = bad;
  EXPECT_EQ(ZMXFunc213(D(bad), n, nullptr, &parity), -20068);
  EXPECT_EQ(std::memcmp(bad.data(), keep.data(), keep.size() * sizeof(cplx)), 0);
}

TEST(ComplexCholesky, UpperFactorReconstructsTheHermitianMatrix) {
  const int n = 14;
  const CMatrix h = HermitianPd(n, 23);
  CMatrix r(h.size());
  ASSERT_EQ(ZMXFunc210(const_cast<double*>(D(h)), n, D(r)), 0);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(r[i * n + i].imag(), 0.0);
    for (int j = 0; j < i; ++j) EXPECT_EQ(r[i * n + j], cplx(0.0));
  }
  // A = Rᴴ·R (Rᵀ·R would fail with complex entries).
  EXPECT_LT(MatrixRatio(MulC(Adjoint(r, n, n), r, n, n, n), h, n, n), 30);
  CMatrix notpd = h;
  notpd[n + 1] = -5.0;
  EXPECT_EQ(ZMXFunc210(D(notpd), n, nullptr), -20071);
}

TEST(LargeScratch, FailuresAndFailingElementsKeepTheirOrder) {
  // 100 x 100 complex (160 kB) comes from the thread's scratch area.
  const int n = 100;
  CMatrix a = RandomC(n, n, 24);
  double det[2];
  qm::ReleaseThreadScratch();
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc220(D(a), n, 0, det), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  CMatrix bad = a;
  bad[n * n - 1] = cplx(kNaN, 0);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc220(D(bad), n, 0, det), -20068);  // the scan decides
  qm::SetWorkspaceFailureCountdown(0);
  // Once the area has grown, repeated calls agree and fail elements late in
  // the block still count.
  double first[2], again[2];
  ASSERT_EQ(ZMXFunc220(D(a), n, 0, first), 0);
  ASSERT_EQ(ZMXFunc220(D(a), n, 0, again), 0);
  EXPECT_EQ(first[0], again[0]);
  EXPECT_EQ(first[1], again[1]);
  EXPECT_EQ(ZMXFunc220(D(bad), n, 0, det), -20068);
  // The real solver's fused transposed copy: the last element, then b.
  std::vector<double> r(static_cast<std::size_t>(n) * n), b(n, 1.0), x(n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) r[i * n + j] = (i == j ? 4.0 : 0.0) + 1.0 / (1 + i + j);
  ASSERT_EQ(ZMXFunc114(r.data(), b.data(), n, x.data()), 0);
  r[n * n - 1] = 1.7976931348623157e308;
  EXPECT_EQ(ZMXFunc114(r.data(), b.data(), n, x.data()), -20068);
  r[n * n - 1] = 1.0;
  b[n - 1] = kNaN;
  EXPECT_EQ(ZMXFunc114(r.data(), b.data(), n, x.data()), -20068);
  qm::ReleaseThreadScratch();
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc114(r.data(), b.data(), n, x.data()), -20068);
  b[n - 1] = 1.0;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc114(r.data(), b.data(), n, x.data()), -20001);
  qm::SetWorkspaceFailureCountdown(0);
}

TEST(LargeScratch, ThreadsUseTheirOwnAreas) {
  // Each thread's working copies come from its own area: concurrent calls
  // give the results of a lone call.
  const int n = 120;
  const CMatrix a = RandomC(n, n, 25);
  std::vector<double> r(static_cast<std::size_t>(n) * n), b(n, 1.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) r[i * n + j] = (i == j ? 5.0 : 0.0) + 1.0 / (2 + i + j);
  double want[2];
  std::vector<double> want_x(n);
  ASSERT_EQ(ZMXFunc220(D(a), n, 0, want), 0);
  ASSERT_EQ(ZMXFunc114(r.data(), b.data(), n, want_x.data()), 0);
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) {
        double det[2];
        std::vector<double> x(n);
        if (ZMXFunc220(D(a), n, 0, det) != 0 || det[0] != want[0] || det[1] != want[1]) {
          ++mismatches[t];
        }
        if (ZMXFunc114(r.data(), b.data(), n, x.data()) != 0 || x != want_x) ++mismatches[t];
      }
    });
  }
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << t;
}

}  // namespace
