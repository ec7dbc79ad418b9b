// Complex eigenvalues, balancing, Hessenberg and Schur forms, and the
// generalized eigenvalues of complex pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "complex_test_support.h"

namespace {

using namespace complex_test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// max_j ‖A·v_j − λ_j·v_j‖ / (n·‖A‖·‖v_j‖·ε) over the columns of v.
double EigenRatio(const CMatrix& a, const CMatrix& lambda, const CMatrix& v, int n) {
  const CMatrix av = MulC(a, v, n, n, n);
  const double an = Norm1C(a, n, n);
  double worst = 0;
  for (int j = 0; j < n; ++j) {
    double r = 0, vn = 0;
    for (int i = 0; i < n; ++i) {
      r += std::abs(av[i * n + j] - lambda[j] * v[i * n + j]);
      vn += std::abs(v[i * n + j]);
    }
    worst = std::max(worst, RatioC(r, n, an * vn));
  }
  return worst;
}

TEST(ComplexEigen, GeneralMatricesGiveRightEigenvectors) {
  for (int n : {1, 4, 13}) {
    const CMatrix a = RandomC(n, n, 50 + n);
    CMatrix values(n), vectors(static_cast<std::size_t>(n) * n), only(n);
    ASSERT_EQ(ZMXFunc211(D(a), n, 0, 1, D(values), D(vectors)), 0);
    EXPECT_LT(EigenRatio(a, values, vectors, n), 30) << n;
    ASSERT_EQ(ZMXFunc211(D(a), n, 0, 0, D(only), nullptr), 0);
    EXPECT_EQ(Ordered(only), Ordered(values));
  }
  for (const ComplexGolden& c : LoadComplexGolden()) {
    if (c.m != c.n) continue;
    CMatrix values(c.n);
    ASSERT_EQ(ZMXFunc211(D(c.a), c.n, 0, 0, D(values), nullptr), 0);
    const CMatrix got = Ordered(values);
    for (int i = 0; i < c.n; ++i) EXPECT_LT(std::abs(got[i] - c.eig[i]), 1e-12) << c.name;
  }
}

TEST(ComplexEigen, HermitianMatricesGiveRealValues) {
  const int n = 11;
  const CMatrix h = HermitianPd(n, 60);
  CMatrix values(n), vectors(static_cast<std::size_t>(n) * n);
  ASSERT_EQ(ZMXFunc211(D(h), n, 1, 1, D(values), D(vectors)), 0);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(values[i].imag(), 0.0);
    if (i) {
      EXPECT_LE(values[i - 1].real(), values[i].real());
    }
  }
  EXPECT_LT(EigenRatio(h, values, vectors, n), 30);
  EXPECT_LT(UnitaryRatio(vectors, n, n), 30);
  EXPECT_EQ(ZMXFunc211(D(h), n, 2, 0, D(values), nullptr), -20061);
  EXPECT_EQ(ZMXFunc211(D(h), n, 0, 2, D(values), nullptr), -20061);
  EXPECT_EQ(ZMXFunc211(D(h), n, 0, 1, D(values), nullptr), -20008);
  CMatrix bad = h;
  bad[4] = cplx(1, kNaN);
  EXPECT_EQ(ZMXFunc211(D(bad), n, 1, 0, D(values), nullptr), -20068);
}

TEST(ComplexIsPositiveDefinite, HermitianTestThenEigenvalues) {
  const int n = 6;
  CMatrix h = HermitianPd(n, 61);
  int32_t result = -1;
  ASSERT_EQ(ZMXFunc226(D(h), n, &result), 0);
  EXPECT_EQ(result, 1);
  // Symmetric but not Hermitian: A[j][i] = A[i][j] instead of its conjugate.
  CMatrix sym = h;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < i; ++j) sym[i * n + j] = sym[j * n + i];
  ASSERT_EQ(ZMXFunc226(D(sym), n, &result), 0);
  EXPECT_EQ(result, 0);
  // A diagonal element with an imaginary part.
  CMatrix diag = h;
  diag[2 * n + 2] += cplx(0, 1e-3);
  ASSERT_EQ(ZMXFunc226(D(diag), n, &result), 0);
  EXPECT_EQ(result, 0);
  // Hermitian but indefinite.
  CMatrix indef = h;
  indef[0] = -1000.0;
  ASSERT_EQ(ZMXFunc226(D(indef), n, &result), 0);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ZMXFunc226(D(h), 0, &result), -20003);
}

TEST(ComplexBalance, BalancingAndBackTransformRoundTrip) {
  const int n = 6;
  CMatrix a = RandomC(n, n, 62);
  for (int i = 0; i < n; ++i) {  // badly scaled rows and columns
    for (int j = 0; j < n; ++j) a[i * n + j] *= std::pow(8.0, i - j);
  }
  a[5 * n + 0] = 0;  // and a permutable part
  for (int job = 0; job <= 3; ++job) {
    CMatrix bal(a.size());
    int64_t ilo = -1, ihi = -1;
    std::vector<double> scale(n);
    ASSERT_EQ(ZMXFunc249(D(a), n, job, &ilo, &ihi, scale.data(), D(bal)), 0);
    EXPECT_GE(ilo, 0);
    EXPECT_LE(ihi, n - 1);
    // Eigenvectors of the balanced matrix, transformed back, are A's.
    CMatrix values(n), vectors(a.size()), back(a.size());
    ASSERT_EQ(ZMXFunc211(D(bal), n, 0, 1, D(values), D(vectors)), 0);
    ASSERT_EQ(ZMXFunc251(D(vectors), n, 0, job, ilo, ihi, scale.data(), D(back)), 0);
    EXPECT_LT(EigenRatio(a, values, back, n), 300) << job;
  }
  CMatrix bal(a.size());
  int64_t ilo = 0, ihi = 0;
  std::vector<double> scale(n);
  EXPECT_EQ(ZMXFunc249(D(a), n, 4, &ilo, &ihi, scale.data(), D(bal)), -20061);
}

TEST(ComplexHessenberg, UnitaryReduction) {
  const int n = 9;
  const CMatrix a = RandomC(n, n, 63);
  CMatrix h(a.size()), q(a.size());
  ASSERT_EQ(ZMXFunc255(const_cast<double*>(D(a)), n, D(h), D(q)), 0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j + 1 < i; ++j) EXPECT_EQ(h[i * n + j], cplx(0.0));
  EXPECT_LT(UnitaryRatio(q, n, n), 30);
  const CMatrix qhq = MulC(MulC(q, h, n, n, n), Adjoint(q, n, n), n, n, n);
  EXPECT_LT(MatrixRatio(qhq, a, n, n), 30);
}

TEST(ComplexSchur, EveryOrderingFactorsAndSorts) {
  const int n = 10;
  const CMatrix a = RandomC(n, n, 64);
  for (int ordering = 0; ordering <= 4; ++ordering) {
    CMatrix q(a.size()), t(a.size()), values(n);
    ASSERT_EQ(ZMXFunc259(D(a), n, ordering, D(q), D(t), D(values)), 0) << ordering;
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(values[i], t[i * n + i]);
      for (int j = 0; j < i; ++j) EXPECT_EQ(t[i * n + j], cplx(0.0));
    }
    EXPECT_LT(UnitaryRatio(q, n, n), 30);
    const CMatrix qtq = MulC(MulC(q, t, n, n, n), Adjoint(q, n, n), n, n, n);
    EXPECT_LT(MatrixRatio(qtq, a, n, n), 50) << ordering;
    for (int i = 1; ordering && i < n; ++i) {
      const double k0 = ordering <= 2 ? values[i - 1].real() : std::abs(values[i - 1]);
      const double k1 = ordering <= 2 ? values[i].real() : std::abs(values[i]);
      if (ordering == 1 || ordering == 3) {
        EXPECT_LE(k0, k1) << ordering;
      }
      if (ordering == 2 || ordering == 4) {
        EXPECT_GE(k0, k1) << ordering;
      }
    }
    // Without Q the same T.
    CMatrix t2(a.size()), v2(n);
    ASSERT_EQ(ZMXFunc259(D(a), n, ordering, nullptr, D(t2), D(v2)), 0);
    for (int i = 0; i < n; ++i) EXPECT_LT(std::abs(v2[i] - values[i]), 1e-12);
  }
  CMatrix t(a.size()), values(n);
  EXPECT_EQ(ZMXFunc259(D(a), n, 5, nullptr, D(t), D(values)), -20061);
}

TEST(ComplexGeneralized, EigenpairsOfPairs) {
  for (const ComplexGolden& c : LoadComplexGolden()) {
    if (c.m != c.n) continue;
    const int n = c.n;
    CMatrix values(n), left(c.a.size()), right(c.a.size());
    ASSERT_EQ(ZMXFunc253(D(c.a), D(c.b), n, D(values), D(left), D(right)), 0) << c.name;
    const CMatrix got = Ordered(values);
    for (int i = 0; i < n; ++i)
      EXPECT_LT(std::abs(got[i] - c.geig[i]), 1e-11 * std::max(1.0, std::abs(c.geig[i]))) << c.name;
    // A·x = λ·B·x and yᴴ·A = λ·yᴴ·B.
    const CMatrix ax = MulC(c.a, right, n, n, n), bx = MulC(c.b, right, n, n, n);
    const CMatrix ya = MulC(Adjoint(left, n, n), c.a, n, n, n);
    const CMatrix yb = MulC(Adjoint(left, n, n), c.b, n, n, n);
    const double scale = Norm1C(c.a, n, n) + Norm1C(c.b, n, n);
    for (int j = 0; j < n; ++j) {
      double rr = 0, rl = 0;
      for (int i = 0; i < n; ++i) {
        rr += std::abs(ax[i * n + j] - values[j] * bx[i * n + j]);
        rl += std::abs(ya[j * n + i] - values[j] * yb[j * n + i]);
      }
      EXPECT_LT(rr / (scale * (1 + std::abs(values[j])) * n * kEps), 100) << c.name;
      EXPECT_LT(rl / (scale * (1 + std::abs(values[j])) * n * kEps), 100) << c.name;
    }
  }
}

TEST(ComplexGeneralized, SchurFormOfPairsWithEachOrdering) {
  const int n = 7;
  const CMatrix a = RandomC(n, n, 65), b = RandomC(n, n, 66);
  for (int ordering = 0; ordering <= 4; ++ordering) {
    CMatrix s(a.size()), t(a.size()), q(a.size()), z(a.size()), alpha(n), beta(n);
    ASSERT_EQ(ZMXFunc257(D(a), D(b), n, ordering, D(s), D(t), D(q), D(z), D(alpha), D(beta),
                         nullptr, nullptr),
              0)
        << ordering;
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(alpha[i], s[i * n + i]);
      EXPECT_EQ(beta[i], t[i * n + i]);
      for (int j = 0; j < i; ++j) {
        EXPECT_EQ(s[i * n + j], cplx(0.0));
        EXPECT_EQ(t[i * n + j], cplx(0.0));
      }
    }
    EXPECT_LT(UnitaryRatio(q, n, n), 50);
    EXPECT_LT(UnitaryRatio(z, n, n), 50);
    const CMatrix zh = Adjoint(z, n, n);
    EXPECT_LT(MatrixRatio(MulC(MulC(q, s, n, n, n), zh, n, n, n), a, n, n), 50) << ordering;
    EXPECT_LT(MatrixRatio(MulC(MulC(q, t, n, n, n), zh, n, n, n), b, n, n), 50) << ordering;
    for (int i = 1; ordering && i < n; ++i) {
      const cplx l0 = alpha[i - 1] / beta[i - 1], l1 = alpha[i] / beta[i];
      const double k0 = ordering <= 2 ? l0.real() : std::abs(l0);
      const double k1 = ordering <= 2 ? l1.real() : std::abs(l1);
      if (ordering == 1 || ordering == 3) {
        EXPECT_LE(k0, k1 * (1 + 1e-12)) << ordering;
      }
      if (ordering == 2 || ordering == 4) {
        EXPECT_GE(k0 * (1 + 1e-12), k1) << ordering;
      }
    }
  }
  // An infinite eigenvalue (singular B) sorts last in ascending order.
  CMatrix sing = b;
  for (int j = 0; j < n; ++j) sing[(n - 1) * n + j] = 0;
  CMatrix alpha(n), beta(n);
  ASSERT_EQ(ZMXFunc257(D(a), D(sing), n, 3, nullptr, nullptr, nullptr, nullptr, D(alpha), D(beta),
                       nullptr, nullptr),
            0);
  EXPECT_LT(std::abs(beta[n - 1]), 1e-12);
  CMatrix values(n);
  EXPECT_EQ(ZMXFunc253(D(a), D(b), 0, D(values), nullptr, nullptr), -20003);
  CMatrix bad = b;
  bad[3] = cplx(0, kNaN);
  EXPECT_EQ(ZMXFunc253(D(a), D(bad), n, D(values), nullptr, nullptr), -20068);
  EXPECT_EQ(ZMXFunc257(D(a), D(b), n, 5, nullptr, nullptr, nullptr, nullptr, D(alpha), D(beta),
                       nullptr, nullptr),
            -20061);
}

}  // namespace
