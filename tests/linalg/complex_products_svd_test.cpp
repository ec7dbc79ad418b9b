// Complex products, element operations, norms, singular values and QR.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "complex_test_support.h"

namespace {

using namespace complex_test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ComplexProducts, NoConjugationAnywhere) {
  // (0, 1)·(0, 1) = (-1, 0): the dot product does not conjugate.
  const CMatrix i1 = {{0, 1}};
  double dot[2];
  ASSERT_EQ(ZMXFunc221(D(i1), D(i1), 1, dot), 0);
  EXPECT_EQ(dot[0], -1.0);
  EXPECT_EQ(dot[1], 0.0);
  const CMatrix x = RandomC(5, 1, 1), y = RandomC(4, 1, 2);
  lcplx s = 0;
  for (int i = 0; i < 4; ++i) s += lcplx(x[i]) * lcplx(y[i]);
  ASSERT_EQ(ZMXFunc221(D(x), D(y), 4, dot), 0);
  EXPECT_LT(std::abs(lcplx(cplx(dot[0], dot[1])) - s), 1e-15L);
  CMatrix outer(20);
  ASSERT_EQ(ZMXFunc224(D(x), 5, D(y), 4, D(outer)), 0);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(outer[i * 4 + j], x[i] * y[j]);
  EXPECT_EQ(ZMXFunc221(D(x), D(y), 0, dot), -20003);
}

TEST(ComplexProducts, MatrixProductsAgreeWithLongDouble) {
  const int m = 7, k = 5, n = 9;
  const CMatrix a = RandomC(m, k, 3), b = RandomC(k, n, 4);
  CMatrix c(m * n);
  ASSERT_EQ(ZMXFunc214(D(a), D(b), m, k, n, D(c)), 0);
  EXPECT_LT(MatrixRatio(c, MulC(a, b, m, k, n), m, n), 10);
  const CMatrix v = RandomC(k, 1, 5);
  CMatrix y(m);
  ASSERT_EQ(ZMXFunc371(D(a), D(v), m, k, D(y)), 0);
  EXPECT_LT(MatrixRatio(y, MulC(a, v, m, k, 1), m, 1), 10);
  // k = 0: NaN pairs; m = 0: nothing written; a result over an operand.
  CMatrix nan(4, 1.0);
  ASSERT_EQ(ZMXFunc214(nullptr, nullptr, 2, 0, 2, D(nan)), 0);
  for (const cplx& e : nan) EXPECT_TRUE(std::isnan(e.real()) && std::isnan(e.imag()));
  EXPECT_EQ(ZMXFunc214(nullptr, nullptr, 0, 3, 2, nullptr), 0);
  EXPECT_EQ(ZMXFunc214(D(a), D(b), -1, k, n, D(c)), -20003);
  CMatrix sq = RandomC(4, 4, 6);
  const CMatrix want = MulC(sq, sq, 4, 4, 4);
  ASSERT_EQ(ZMXFunc214(D(sq), D(sq), 4, 4, 4, D(sq)), 0);
  EXPECT_LT(MatrixRatio(sq, want, 4, 4), 10);
}

TEST(ComplexProducts, KroneckerTraceAndConjugateTranspose) {
  const CMatrix a = RandomC(2, 3, 7), b = RandomC(3, 2, 8);
  CMatrix kr(36);
  ASSERT_EQ(ZMXFunc359(D(a), D(b), 2, 3, 3, 2, D(kr)), 0);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      for (int p = 0; p < 3; ++p)
        for (int q = 0; q < 2; ++q)
          EXPECT_EQ(kr[(i * 3 + p) * 6 + j * 2 + q], a[i * 3 + j] * b[p * 2 + q]);
  const CMatrix sq = RandomC(5, 5, 9);
  double tr[2];
  ASSERT_EQ(ZMXFunc225(D(sq), 5, tr), 0);
  cplx sum = 0;
  for (int i = 0; i < 5; ++i) sum += sq[i * 5 + i];
  EXPECT_EQ(cplx(tr[0], tr[1]), sum);
  // The conjugate transpose, twice: the input again; in place as well.
  CMatrix m = RandomC(3, 7, 10), h(21), back(21);
  ASSERT_EQ(ZMXFunc217(D(m), 3, 7, D(h)), 0);
  EXPECT_EQ(h, Adjoint(m, 3, 7));
  ASSERT_EQ(ZMXFunc217(D(h), 7, 3, D(back)), 0);
  EXPECT_EQ(back, m);
  CMatrix inplace = m;
  ASSERT_EQ(ZMXFunc217(D(inplace), 3, 7, nullptr), 0);
  EXPECT_EQ(inplace, h);
}

TEST(ComplexSpecialMatrix, TheFiveTypesWithComplexEntries) {
  const CMatrix x = {{2, 1}, {0, -1}, {3, 0}}, y = {{9, 9}, {1, 1}, {-2, 0}, {0, 4}};
  CMatrix out(16);
  ASSERT_EQ(ZMXFunc227(0, 3, nullptr, 0, nullptr, 0, D(out)), 0);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], (i % 4 == 0) ? cplx(1) : cplx(0));
  ASSERT_EQ(ZMXFunc227(1, 0, D(x), 3, nullptr, 0, D(out)), 0);
  EXPECT_EQ(out[4], x[1]);
  EXPECT_EQ(out[1], cplx(0));
  ASSERT_EQ(ZMXFunc227(2, 0, D(x), 3, D(y), 4, D(out)), 0);
  EXPECT_EQ(out[0 * 4 + 3], y[3]);
  EXPECT_EQ(out[2 * 4 + 0], x[2]);
  ASSERT_EQ(ZMXFunc227(3, 0, D(x), 3, nullptr, 0, D(out)), 0);
  EXPECT_EQ(out[0], x[0] * x[0]);
  EXPECT_EQ(out[2], cplx(1));
  // Companion of x0·t² + x1·t + x2: its eigenvalues are the roots.
  ASSERT_EQ(ZMXFunc227(4, 0, D(x), 3, nullptr, 0, D(out)), 0);
  const cplx c0 = out[0], c1 = out[1];
  EXPECT_LT(std::abs(c0 + x[1] / x[0]), 1e-15);
  EXPECT_LT(std::abs(c1 + x[2] / x[0]), 1e-15);
  EXPECT_EQ(out[2], cplx(1));
  EXPECT_EQ(ZMXFunc227(4, 0, D(x), 1, nullptr, 0, D(out)), -20006);
  EXPECT_EQ(ZMXFunc227(5, 3, D(x), 3, nullptr, 0, D(out)), -20061);
}

TEST(ComplexNorms, TypesAgreeWithDefinitionsAndDoNotOverflow) {
  const int m = 6, n = 4;
  const CMatrix a = RandomC(m, n, 11);
  double norm = 0, s[4];
  ASSERT_EQ(ZMXFunc223(D(a), m, n, 1, &norm), 0);
  EXPECT_NEAR(norm, Norm1C(a, m, n), 1e-14);
  ASSERT_EQ(ZMXFunc223(D(a), m, n, 3, &norm), 0);
  EXPECT_NEAR(norm, Norm1C(Adjoint(a, m, n), n, m), 1e-14);
  long double f = 0;
  for (const cplx& e : a) f += std::norm(lcplx(e));
  ASSERT_EQ(ZMXFunc223(D(a), m, n, 2, &norm), 0);
  EXPECT_NEAR(norm, std::sqrt(static_cast<double>(f)), 1e-14);
  ASSERT_EQ(ZMXFunc216(D(a), m, n, s), 0);
  ASSERT_EQ(ZMXFunc223(D(a), m, n, 0, &norm), 0);
  EXPECT_EQ(norm, s[0]);
  // Entries near 1e200: √(re² + im²) would overflow to infinity.
  const CMatrix big = {{3e200, 4e200}, {0, 1e200}, {1e200, 0}, {-3e200, 4e200}};
  for (int type : {1, 3}) {
    ASSERT_EQ(ZMXFunc223(D(big), 2, 2, type, &norm), 0);
    EXPECT_NEAR(norm / 6e200, 1.0, 1e-15) << type;
  }
  ASSERT_EQ(ZMXFunc223(D(a), m, n, 4, &norm), -20061);
  EXPECT_TRUE(std::isnan(norm));
}

TEST(ComplexNorms, ConditionNumbers) {
  const int n = 8;
  const CMatrix a = RandomC(n, n, 12);
  double s[n], cond = 0;
  ASSERT_EQ(ZMXFunc216(D(a), n, n, s), 0);
  ASSERT_EQ(ZMXFunc222(D(a), n, n, 0, &cond), 0);
  EXPECT_NEAR(cond, s[0] / s[n - 1], 1e-10 * cond);
  CMatrix inv(a.size()), copy = a;
  ASSERT_EQ(ZMXFunc212(D(copy), n, 0, D(inv)), 0);
  ASSERT_EQ(ZMXFunc222(D(a), n, n, 1, &cond), 0);
  EXPECT_NEAR(cond, Norm1C(a, n, n) * Norm1C(inv, n, n), 1e-10 * cond);
  CMatrix sing(16, cplx(1, 1));
  ASSERT_EQ(ZMXFunc222(D(sing), 4, 4, 1, &cond), 0);
  EXPECT_TRUE(std::isinf(cond));
  EXPECT_EQ(ZMXFunc222(D(a), 4, 2, 1, &cond), -20039);
  EXPECT_TRUE(std::isnan(cond));
}

TEST(ComplexSvd, FactorsReconstructAndAreUnitary) {
  for (auto [m, n] : {std::pair{7, 4}, std::pair{4, 7}, std::pair{6, 6}}) {
    const CMatrix a = RandomC(m, n, 13 + m);
    const int p = std::min(m, n);
    for (int type : {0, 1}) {
      const int uc = type == 0 ? m : p, vc = type == 0 ? n : p;
      CMatrix u(static_cast<std::size_t>(m) * uc), v(static_cast<std::size_t>(n) * vc);
      std::vector<double> s(p);
      ASSERT_EQ(ZMXFunc247(D(a), m, n, type, D(u), s.data(), D(v)), 0);
      EXPECT_LT(UnitaryRatio(u, m, uc), 30);
      EXPECT_LT(UnitaryRatio(v, n, vc), 30);
      // A = U·S·Vᴴ over the first p columns.
      CMatrix us(static_cast<std::size_t>(m) * p), vp(static_cast<std::size_t>(n) * p);
      for (int i = 0; i < m; ++i)
        for (int j = 0; j < p; ++j) us[i * p + j] = u[i * uc + j] * s[j];
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < p; ++j) vp[i * p + j] = v[i * vc + j];
      EXPECT_LT(MatrixRatio(MulC(us, Adjoint(vp, n, p), m, p, n), a, m, n), 30) << m << n << type;
    }
    // Null U or V: values only, as the singular value routine.
    std::vector<double> s1(p), s2(p);
    ASSERT_EQ(ZMXFunc247(D(a), m, n, 1, nullptr, s1.data(), nullptr), 0);
    ASSERT_EQ(ZMXFunc216(D(a), m, n, s2.data()), 0);
    EXPECT_EQ(s1, s2);
  }
  const CMatrix a = RandomC(3, 3, 1);
  CMatrix u(9), v(9);
  double s[3];
  ASSERT_EQ(ZMXFunc219(D(a), 3, 3, D(u), s, D(v)), 0);
  EXPECT_EQ(ZMXFunc247(D(a), 3, 3, 2, D(u), s, D(v)), -20061);
}

TEST(ComplexSvd, RankPseudoInverseAndGoldenValues) {
  for (const ComplexGolden& c : LoadComplexGolden()) {
    const int p = std::min(c.m, c.n);
    std::vector<double> s(p);
    ASSERT_EQ(ZMXFunc216(D(c.a), c.m, c.n, s.data()), 0) << c.name;
    for (int i = 0; i < p; ++i) EXPECT_NEAR(s[i], c.sv[i], 1e-13 * c.sv[0]) << c.name;
    CMatrix pinv(c.a.size());
    ASSERT_EQ(ZMXFunc229(D(c.a), c.m, c.n, -1, D(pinv)), 0) << c.name;
    EXPECT_LT(MatrixRatio(pinv, c.pinv, c.n, c.m), 300) << c.name;
    int64_t rank = -5;
    ASSERT_EQ(ZMXFunc215(D(c.a), c.m, c.n, -1, &rank), 0);
    EXPECT_EQ(rank, p);
  }
  // A rank-2 product of 6 x 2 and 2 x 5 factors: rank 2, and A·A⁺·A = A.
  const CMatrix l = RandomC(6, 2, 30), r = RandomC(2, 5, 31);
  const CMatrix a = MulC(l, r, 6, 2, 5);
  int64_t rank = -5;
  ASSERT_EQ(ZMXFunc215(D(a), 6, 5, -1, &rank), 0);
  EXPECT_EQ(rank, 2);
  CMatrix pinv(30);
  ASSERT_EQ(ZMXFunc229(D(a), 6, 5, -1, D(pinv)), 0);
  const CMatrix apa = MulC(MulC(a, pinv, 6, 5, 6), a, 6, 6, 5);
  EXPECT_LT(MatrixRatio(apa, a, 6, 5), 100);
  CMatrix bad = a;
  bad[3] = cplx(0, kNaN);
  rank = 7;
  EXPECT_EQ(ZMXFunc215(D(bad), 6, 5, -1, &rank), -20068);
  EXPECT_EQ(rank, -1);
}

TEST(ComplexQr, HouseholderFactorsWithAndWithoutPivoting) {
  for (auto [m, n] : {std::pair{7, 4}, std::pair{4, 7}, std::pair{5, 5}}) {
    const CMatrix a = RandomC(m, n, 40 + m);
    CMatrix q(static_cast<std::size_t>(m) * m), r(static_cast<std::size_t>(m) * n);
    ASSERT_EQ(ZMXFunc228(D(a), m, n, D(q), D(r)), 0);
    EXPECT_LT(UnitaryRatio(q, m, m), 30);
    EXPECT_LT(MatrixRatio(MulC(q, r, m, m, n), a, m, n), 30);
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < std::min(i, n); ++j) EXPECT_EQ(r[i * n + j], cplx(0.0));
    // Pivoting 1, economy: A·P = Q·R with |R| non-increasing on the diagonal.
    const int k = std::min(m, n);
    CMatrix qe(static_cast<std::size_t>(m) * k), re(static_cast<std::size_t>(k) * n);
    std::vector<int64_t> perm(n);
    ASSERT_EQ(ZMXFunc245(D(a), m, n, 1, 1, perm.data(), D(qe), D(re)), 0);
    CMatrix ap(a.size());
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) ap[i * n + j] = a[i * n + perm[j]];
    EXPECT_LT(MatrixRatio(MulC(qe, re, m, k, n), ap, m, n), 30);
    for (int i = 1; i < k; ++i)
      EXPECT_LE(std::abs(re[i * n + i]), std::abs(re[(i - 1) * n + i - 1]) * (1 + 1e-12));
    // Pivoting 2: one 1 in each row and column of the integer matrix.
    std::vector<int64_t> pm(static_cast<std::size_t>(n) * n, 7);
    ASSERT_EQ(ZMXFunc245(D(a), m, n, 2, 1, pm.data(), D(qe), D(re)), 0);
    for (int i = 0; i < n; ++i) {
      int64_t row = 0, col = 0;
      for (int j = 0; j < n; ++j) {
        row += pm[i * n + j];
        col += pm[j * n + i];
      }
      EXPECT_EQ(row, 1);
      EXPECT_EQ(col, 1);
    }
  }
  const CMatrix a = RandomC(3, 3, 1);
  CMatrix q(9), r(9);
  EXPECT_EQ(ZMXFunc245(D(a), 3, 3, 3, 0, nullptr, D(q), D(r)), -20061);
  EXPECT_EQ(ZMXFunc228(D(a), 3, 3, nullptr, D(r)), -20008);
}

}  // namespace
