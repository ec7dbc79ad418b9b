// Determinants, inverses, linear systems, LU and Cholesky factors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "frame/workspace.h"
#include "linalg_test_support.h"

namespace {

using namespace linalg_test;

const std::vector<GoldenCase>& Golden() {
  static const std::vector<GoldenCase> cases = LoadGolden();
  return cases;
}

TEST(Golden, DataIsPresent) { ASSERT_EQ(Golden().size(), 23u); }

// Determinants of every type against 60-digit references; the error bound
// is the backward error magnified by the condition number.
TEST(Determinant, MatchesHighPrecisionReferences) {
  for (const GoldenCase& c : Golden()) {
    SCOPED_TRACE(c.name);
    double det = 0;
    ASSERT_EQ(ZMXFunc204(c.a.data(), c.n, c.type, &det), 0);
    EXPECT_LE(std::fabs(det - c.det), 30 * c.n * c.cond * kEps * std::fabs(c.det));
    if (c.type == 0) {
      double plain = 0;
      ASSERT_EQ(ZMXFunc55(c.a.data(), c.n, &plain), 0);
      EXPECT_EQ(plain, det);
    }
  }
}

TEST(Determinant, SmallAndSingularCases) {
  const double two[] = {1, 2, 3, 4};
  double det = 0;
  EXPECT_EQ(ZMXFunc55(two, 2, &det), 0);
  EXPECT_EQ(det, -2.0);
  // Exactly singular: a zero pivot gives 0 with status 0.
  const double singular[] = {1, 2, 3, 2, 4, 6, 1, 0, 1};
  EXPECT_EQ(ZMXFunc55(singular, 3, &det), 0);
  EXPECT_EQ(det, 0.0);
  // Triangular types read only the diagonal.
  const double junk_upper[] = {2, 99, 99, 0, 3, 99, 0, 0, 4};
  EXPECT_EQ(ZMXFunc204(junk_upper, 3, 2, &det), 0);
  EXPECT_EQ(det, 24.0);
  // Random 50 x 50 against a long-double LU.
  const Matrix a = Random(50, 50, 7);
  EXPECT_EQ(ZMXFunc55(a.data(), 50, &det), 0);
  const long double ref = LongDet(a, 50);
  EXPECT_LE(std::fabs(det - static_cast<double>(ref)), 1e-10 * std::fabs(static_cast<double>(ref)));
}

TEST(Determinant, FailuresLeaveNaNAndTheDocumentedCode) {
  const double not_pd[] = {1, 2, 0, 2, 1, 0, 0, 0, 1};
  double det = 5;
  EXPECT_EQ(ZMXFunc204(not_pd, 3, 1, &det), -20071);
  EXPECT_EQ(det, 0.0);
  struct Row {
    int64_t n;
    int32_t type;
    double poison;
    int32_t status;
  } rows[] = {{0, 0, 1, -20003},       {3, 4, 1, -20061},   {3, -1, 1, -20061},
              {3, 0, DBL_MAX, -20068}, {3, 0, NAN, -20068}, {3, 3, -INFINITY, -20068}};
  for (const Row& r : rows) {
    double a[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    a[4] = r.poison;
    det = 5;
    EXPECT_EQ(ZMXFunc204(a, r.n, r.type, &det), r.status);
    EXPECT_TRUE(std::isnan(det));
  }
  det = 5;
  EXPECT_EQ(ZMXFunc55(not_pd, int64_t{1} << 31, &det), -20046);
  EXPECT_EQ(det, 5.0);
  EXPECT_EQ(ZMXFunc55(nullptr, 3, &det), -20008);
}

// Inverses of every type: against the references and A·X = I.
TEST(Inverse, MatchesReferencesWithSmallResidual) {
  for (const GoldenCase& c : Golden()) {
    SCOPED_TRACE(c.name);
    const int n = c.n;
    Matrix x(c.a.size());
    Matrix a = c.a;
    ASSERT_EQ(ZMXFunc198(a.data(), n, c.type, x.data()), 0);
    EXPECT_EQ(a, c.a);  // input untouched
    const double anorm = Norm1(c.a, n, n), xnorm = Norm1(x, n, n);
    EXPECT_LT(Ratio(Diff1(Mul(c.a, x, n, n, n), Identity(n), n, n), n, anorm * xnorm), 30);
    EXPECT_LE(Diff1(x, c.inverse, n, n), 30 * n * c.cond * kEps * Norm1(c.inverse, n, n));
    if (c.type == 1) {
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) EXPECT_EQ(x[i * n + j], x[j * n + i]);
    }
  }
}

TEST(Inverse, InPlaceTriangularAndSingular) {
  Matrix a = {4, 7, 2, 6};
  ASSERT_EQ(ZMXFunc105(a.data(), 2, nullptr), 0);
  const Matrix expect = {0.6, -0.7, -0.2, 0.4};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(a[i], expect[i], 1e-15);
  // The other triangle of a triangular input is not part of the matrix.
  Matrix lower = {2, 5, 1, 4};  // lower triangular [[2, 0], [1, 4]] with junk 5
  Matrix inv(4);
  ASSERT_EQ(ZMXFunc198(lower.data(), 2, 2, inv.data()), 0);
  EXPECT_EQ(inv, (Matrix{0.5, 0, -0.125, 0.25}));
  Matrix singular = {1, 2, 2, 4};
  EXPECT_EQ(ZMXFunc105(singular.data(), 2, inv.data()), -20041);
  Matrix zero_diag = {1, 0, 3, 0};
  EXPECT_EQ(ZMXFunc198(zero_diag.data(), 2, 2, inv.data()), -20041);
  Matrix not_pd = {1, 2, 2, 1};
  EXPECT_EQ(ZMXFunc198(not_pd.data(), 2, 1, inv.data()), -20071);
  EXPECT_EQ(ZMXFunc198(not_pd.data(), 2, 4, inv.data()), -20061);
}

TEST(SolveSquare, ResidualsForEveryGoldenMatrix) {
  for (const GoldenCase& c : Golden()) {
    SCOPED_TRACE(c.name);
    const int n = c.n;
    Matrix b = Random(n, 1, 3), x(n);
    ASSERT_EQ(ZMXFunc114(c.a.data(), b.data(), n, x.data()), 0);
    const Matrix ax = Mul(c.a, x, n, n, 1);
    EXPECT_LT(Ratio(Diff1(ax, b, n, 1), n, Norm1(c.a, n, n) * Norm1(x, n, 1)), 30);
  }
  Matrix a = {2, 1, 1, 3}, b = {3, 5};
  ASSERT_EQ(ZMXFunc114(a.data(), b.data(), 2, nullptr), 0);  // over b
  EXPECT_NEAR(b[0], 0.8, 1e-15);
  EXPECT_NEAR(b[1], 1.4, 1e-15);
  Matrix s = {1, 2, 2, 4};
  EXPECT_EQ(ZMXFunc114(s.data(), b.data(), 2, nullptr), -20041);
}

// Every type of the general solver, with several right-hand sides.
TEST(SolveLinearEquations, EveryTypeSolvesItsSystem) {
  for (const GoldenCase& c : Golden()) {
    SCOPED_TRACE(c.name);
    const int n = c.n, k = 3;
    const Matrix b = Random(n, k, 11);
    Matrix x(static_cast<std::size_t>(n) * k);
    const int32_t st = ZMXFunc241(c.a.data(), n, n, c.type, b.data(), k, x.data());
    ASSERT_EQ(st, 0);
    EXPECT_LT(Ratio(Diff1(Mul(c.a, x, n, n, k), b, n, k), n, Norm1(c.a, n, n) * Norm1(x, n, k)),
              30);
    // One right-hand side: the first column of b.
    Matrix b1(n), x1(n);
    for (int i = 0; i < n; ++i) b1[i] = b[i * k];
    ASSERT_EQ(ZMXFunc197(c.a.data(), n, n, b1.data(), c.type, x1.data()), 0);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(x1[i], x[i * k], 1e-9 * (1 + std::fabs(x[i * k])));
  }
}

TEST(SolveLinearEquations, LeastSquaresAndMinimumNorm) {
  // Overdetermined, full rank: the normal equations Aᵀ(Ax − b) = 0 hold.
  const int m = 50, n = 7;
  const Matrix a = Random(m, n, 21), b = Random(m, 1, 22);
  Matrix x(n);
  ASSERT_EQ(ZMXFunc197(a.data(), m, n, b.data(), 0, x.data()), 0);
  Matrix r = Mul(a, x, m, n, 1);
  for (int i = 0; i < m; ++i) r[i] -= b[i];
  const Matrix g = Mul(T(a, m, n), r, n, m, 1);
  EXPECT_LT(Norm1(g, n, 1) / (m * Norm1(a, m, n) * Norm1(a, m, n) * Norm1(x, n, 1) * kEps), 30);

  // Rank deficient: two equal columns. The minimum-norm solution splits the
  // weight equally and the warning 20001 comes with it.
  const double ad[] = {1, 1, 0, 1, 1, 1, 2, 2, 1};  // columns 0 and 1 equal
  const double bd[] = {2, 3, 5};
  double xd[3] = {};
  ASSERT_EQ(ZMXFunc197(ad, 3, 3, bd, 0, xd), 20001);
  EXPECT_NEAR(xd[0], xd[1], 1e-13);
  const double res0 = ad[0] * xd[0] + ad[1] * xd[1] + ad[2] * xd[2] - bd[0];
  EXPECT_NEAR(res0, 0.0, 1e-13);

  // Underdetermined: the smallest solution of x0 + x1 = 2 is (1, 1).
  const double au[] = {1, 1};
  const double bu[] = {2};
  double xu[2] = {};
  ASSERT_EQ(ZMXFunc197(au, 1, 2, bu, 0, xu), 0);
  EXPECT_NEAR(xu[0], 1.0, 1e-15);
  EXPECT_NEAR(xu[1], 1.0, 1e-15);
}

TEST(SolveLinearEquations, Codes) {
  const double zero_diag[] = {1, 0, 0, 2, 0, 0, 3, 4, 5};  // lower, A[1][1] = 0
  const double b[] = {1, 2, 3};
  double x[3];
  EXPECT_EQ(ZMXFunc197(zero_diag, 3, 3, b, 2, x), -20041);
  EXPECT_EQ(ZMXFunc197(zero_diag, 3, 2, b, 2, x), -20039);
  EXPECT_EQ(ZMXFunc197(zero_diag, 3, 2, b, 1, x), -20039);  // would read past A
  EXPECT_EQ(ZMXFunc197(zero_diag, 3, 3, b, 4, x), -20061);
  EXPECT_EQ(ZMXFunc197(zero_diag, 0, 3, b, 0, x), -20003);
  const double not_pd[] = {1, 2, 0, 2, 1, 0, 0, 0, 1};
  EXPECT_EQ(ZMXFunc197(not_pd, 3, 3, b, 1, x), -20071);
  const double bad_b[] = {1, INFINITY, 3};
  EXPECT_EQ(ZMXFunc197(not_pd, 3, 3, bad_b, 0, x), -20068);
  EXPECT_EQ(ZMXFunc241(not_pd, 3, 3, 0, b, 0, x), -20003);
  EXPECT_EQ(ZMXFunc241(not_pd, 3, 3, 0, b, int64_t{1} << 32, x), -20046);
}

// P·A = L·U from the packed factors and the row interchanges.
TEST(Lu, FactorsReproduceTheMatrix) {
  for (int n : {1, 2, 3, 7, 50}) {
    SCOPED_TRACE(n);
    const Matrix a = Random(n, n, 100 + n);
    Matrix lu = a;
    std::vector<int64_t> p(n, -7);
    int32_t parity = -1;
    ASSERT_EQ(ZMXFunc118(lu.data(), n, p.data(), &parity), 0);
    Matrix l = Identity(n), u(a.size(), 0.0), pa = a;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) (j < i ? l : u)[i * n + j] = lu[i * n + j];
    int swaps = 0;
    for (int i = 0; i < n; ++i) {
      ASSERT_GE(p[i], i);
      ASSERT_LT(p[i], n);
      if (p[i] != i) ++swaps;
      for (int j = 0; j < n; ++j) std::swap(pa[i * n + j], pa[p[i] * n + j]);
    }
    EXPECT_EQ(parity, swaps % 2);
    EXPECT_LT(Ratio(Diff1(Mul(l, u, n, n, n), pa, n, n), n, Norm1(a, n, n)), 30);

    // Forward then back substitution solve A·x = b.
    const Matrix b = Random(n, 1, 5);
    Matrix y(n), x(n);
    ASSERT_EQ(ZMXFunc82(lu.data(), const_cast<double*>(b.data()), n, y.data(), p.data()), 0);
    ASSERT_EQ(ZMXFunc11(lu.data(), y.data(), n, x.data()), 0);
    EXPECT_LT(Ratio(Diff1(Mul(a, x, n, n, 1), b, n, 1), n, Norm1(a, n, n) * Norm1(x, n, 1)), 30);
  }
}

TEST(Lu, SingularWarningAndSubstitutionCodes) {
  Matrix s = {1, 2, 2, 4};
  int64_t p[2];
  int32_t parity = 0;
  EXPECT_EQ(ZMXFunc118(s.data(), 2, p, &parity), 20003);
  EXPECT_EQ(s[3], 0.0);  // factors still delivered
  Matrix s2 = {0, 0, 0, 0};
  EXPECT_EQ(ZMXFunc118(s2.data(), 2, nullptr, &parity), 20003);

  const double lu[] = {1, 0, 0.5, 1};
  double b[] = {1, 2}, y[2] = {-1, -1};
  const int64_t big[] = {int64_t{1} << 40, 0};
  EXPECT_EQ(ZMXFunc82(lu, b, 2, y, big), -20046);
  const int64_t outside[] = {0, 2};
  EXPECT_EQ(ZMXFunc82(lu, b, 2, y, outside), -20017);
  EXPECT_EQ(y[0], -1.0);  // nothing written before the pivots are checked
  EXPECT_EQ(ZMXFunc82(lu, b, 2, y, nullptr), -20008);

  // A zero on the diagonal stops the back substitution; the rows below it
  // are already solved.
  const double u[] = {1, 1, 1, 0, 0, 1, 0, 0, 2};
  double rhs[] = {1, 1, 4}, x[3] = {9, 9, 9};
  EXPECT_EQ(ZMXFunc11(u, rhs, 3, x), -20041);
  EXPECT_EQ(x[2], 2.0);
}

TEST(Cholesky, UpperFactorReproducesTheMatrix) {
  for (const GoldenCase& c : Golden()) {
    if (c.type != 1) continue;
    SCOPED_TRACE(c.name);
    const int n = c.n;
    Matrix r(c.a.size());
    ASSERT_EQ(ZMXFunc196(const_cast<double*>(c.a.data()), n, r.data()), 0);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < i; ++j) EXPECT_EQ(r[i * n + j], 0.0);
    EXPECT_LT(Ratio(Diff1(Mul(T(r, n, n), r, n, n, n), c.a, n, n), n, Norm1(c.a, n, n)), 30);
  }
  Matrix not_pd = {1, 2, 2, 1};
  EXPECT_EQ(ZMXFunc196(not_pd.data(), 2, nullptr), -20071);
}

TEST(Memory, AllocationFailuresAreReported) {
  const Matrix a = Random(7, 7, 1);
  Matrix out(49), b = Random(7, 1, 2);
  double det = 0;
  int32_t parity;
  for (int k = 1; k <= 2; ++k) {
    qm::SetWorkspaceFailureCountdown(k);
    const int32_t st = ZMXFunc105(const_cast<double*>(a.data()), 7, out.data());
    qm::SetWorkspaceFailureCountdown(0);
    EXPECT_EQ(st, -20001) << k;
  }
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc55(a.data(), 7, &det), -20001);
  EXPECT_TRUE(std::isnan(det));
  qm::SetWorkspaceFailureCountdown(2);
  EXPECT_EQ(ZMXFunc197(a.data(), 7, 7, b.data(), 0, out.data()), -20001);
  qm::SetWorkspaceFailureCountdown(1);
  Matrix lu = a;
  EXPECT_EQ(ZMXFunc118(lu.data(), 7, nullptr, &parity), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(lu, a);
}

}  // namespace
