// Products, special matrices, finiteness, singular values, norms, rank,
// pseudo-inverse and QR decompositions.
#include <gtest/gtest.h>

#include <cmath>

#include "linalg/finite.h"
#include "linalg_test_support.h"

namespace {

using namespace linalg_test;

TEST(Finiteness, BoundaryValues) {
  const double lower = -1.7976931348623e308;
  struct Row {
    double v;
    bool rejected;
  } rows[] = {{DBL_MAX, true},       {std::nextafter(DBL_MAX, 0.0), false},
              {-DBL_MAX, true},      {lower, true},
              {lower - 1e294, true}, {lower + 1e294, false},
              {INFINITY, true},      {-INFINITY, true},
              {NAN, true},           {DBL_MIN, false},
              {0.0, false}};
  for (const Row& r : rows) {
    EXPECT_EQ(qm::linalg::IsRejectedElement(r.v), r.rejected) << r.v;
    // Through an export: the norm of a 1 x 2 matrix holding the value.
    const double a[2] = {1.0, r.v};
    double norm = 0;
    const int32_t st = ZMXFunc206(a, 1, 2, 1, &norm);
    EXPECT_EQ(st, r.rejected ? -20068 : 0) << r.v;
  }
  const double pairs[] = {1, 2, 3, NAN};
  EXPECT_EQ(qm::linalg::CheckFiniteComplex(pairs, 1), 0);
  EXPECT_EQ(qm::linalg::CheckFiniteComplex(pairs, 2), -20068);
}

// The block scans (two lanes at a time, then a tail) and the fused copies
// find one bad value at any position of any length, and nothing in a clean
// array; the transposed copy still transposes.
TEST(Finiteness, ScansFindOneValueAtEveryPosition) {
  using namespace qm::linalg;
  const double bads[] = {NAN, INFINITY, -INFINITY, DBL_MAX, -1.7976931348623e308};
  for (double bad : bads) {
    for (std::size_t len : {1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 255u, 256u, 257u, 600u}) {
      std::vector<double> clean(len, 1e308), out(len);
      EXPECT_FALSE(AnyRejected(clean.data(), len));
      EXPECT_EQ(CopyChecked(clean.data(), len, out.data()), 0);
      EXPECT_EQ(out, clean);
      for (std::size_t at = 0; at < len; ++at) {
        std::vector<double> v = clean;
        v[at] = bad;
        EXPECT_TRUE(AnyRejected(v.data(), len)) << bad << " at " << at << " of " << len;
        EXPECT_EQ(CheckFinite(v.data(), len), -20068) << at << " of " << len;
        EXPECT_EQ(CopyChecked(v.data(), len, out.data()), -20068) << at << " of " << len;
      }
    }
    for (int n : {1, 3, 31, 33, 70}) {
      std::vector<double> a(static_cast<std::size_t>(n) * n), t(a.size());
      for (std::size_t k = 0; k < a.size(); ++k) a[k] = static_cast<double>(k);
      ASSERT_EQ(TransposeChecked(a.data(), n, t.data(), static_cast<std::size_t>(n)), 0);
      const auto at = [n](const std::vector<double>& m, int r, int c) {
        return m[static_cast<std::size_t>(r) * n + c];
      };
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) ASSERT_EQ(at(t, j, i), at(a, i, j));
      a[a.size() - 1] = bad;
      EXPECT_EQ(TransposeChecked(a.data(), n, t.data(), static_cast<std::size_t>(n)), -20068) << n;
    }
  }
}

// Every LAPACK-based export rejects a matrix that holds the largest double.
TEST(Finiteness, EveryMatrixExportRejectsDblMax) {
  Matrix a = {1, 0, 0, DBL_MAX}, b = {1, 0, 0, 1}, o(16), o2(16);
  double v = 0, s[4];
  int64_t i64[4], lo, hi;
  int32_t i32;
  EXPECT_EQ(ZMXFunc55(a.data(), 2, &v), -20068);
  EXPECT_EQ(ZMXFunc105(a.data(), 2, o.data()), -20068);
  EXPECT_EQ(ZMXFunc114(a.data(), b.data(), 2, o.data()), -20068);
  EXPECT_EQ(ZMXFunc197(a.data(), 2, 2, b.data(), 0, o.data()), -20068);
  EXPECT_EQ(ZMXFunc118(a.data(), 2, i64, &i32), -20068);
  EXPECT_EQ(ZMXFunc205(a.data(), 2, 2, 0, &v), -20068);
  EXPECT_EQ(ZMXFunc207(a.data(), 2, 2, -1, i64), -20068);
  EXPECT_EQ(i64[0], -1);
  EXPECT_EQ(ZMXFunc200(a.data(), 2, 2, -1, o.data()), -20068);
  EXPECT_EQ(ZMXFunc193(a.data(), 2, 2, o.data(), s, o2.data()), -20068);
  EXPECT_EQ(ZMXFunc195(a.data(), 2, 2, s), -20068);
  EXPECT_EQ(ZMXFunc201(a.data(), 2, 0, o.data(), nullptr), -20068);
  EXPECT_EQ(ZMXFunc202(a.data(), 2, 0, s, nullptr), -20068);
  EXPECT_EQ(ZMXFunc209(a.data(), 2, &i32), -20068);
  EXPECT_EQ(ZMXFunc248(a.data(), 2, 3, &lo, &hi, s, o.data()), -20068);
  EXPECT_EQ(ZMXFunc254(a.data(), 2, o.data(), o2.data()), -20068);
  EXPECT_EQ(ZMXFunc258(a.data(), 2, 0, nullptr, o.data(), o2.data()), -20068);
  EXPECT_EQ(ZMXFunc252(b.data(), a.data(), 2, o.data(), nullptr, nullptr), -20068);
  EXPECT_EQ(ZMXFunc243(a.data(), 2, 2, 0, 0, nullptr, o.data(), o2.data()), -20068);
  EXPECT_EQ(ZMXFunc192(a.data(), 2, 2, 1, o.data(), o2.data()), -20068);
  EXPECT_EQ(ZMXFunc196(a.data(), 2, o.data()), -20068);
}

TEST(Multiply, ProductsAndEmptyDimensions) {
  const int m = 7, k = 50, n = 3;
  const Matrix a = Random(m, k, 1), b = Random(k, n, 2);
  Matrix c(m * n, 99.0);
  ASSERT_EQ(ZMXFunc119(a.data(), b.data(), m, k, n, c.data()), 0);
  EXPECT_LT(Ratio(Diff1(c, Mul(a, b, m, k, n), m, n), k, Norm1(a, m, k) * Norm1(b, k, n)), 30);
  // In place over the left operand (square case).
  Matrix sq = Random(3, 3, 5), sq0 = sq;
  ASSERT_EQ(ZMXFunc119(sq.data(), sq0.data(), 3, 3, 3, sq.data()), 0);
  EXPECT_LT(Diff1(sq, Mul(sq0, sq0, 3, 3, 3), 3, 3), 1e-14);

  Matrix nan_fill(4, 1.0);
  EXPECT_EQ(ZMXFunc119(nullptr, nullptr, 2, 0, 2, nan_fill.data()), 0);
  for (double x : nan_fill) EXPECT_TRUE(std::isnan(x));
  double untouched = 5;
  EXPECT_EQ(ZMXFunc119(nullptr, nullptr, 0, 3, 2, &untouched), 0);
  EXPECT_EQ(untouched, 5.0);
  EXPECT_EQ(ZMXFunc119(a.data(), b.data(), -1, 3, 2, c.data()), -20003);
  EXPECT_EQ(ZMXFunc119(a.data(), nullptr, 2, 3, 2, c.data()), -20008);

  Matrix y(m, 7.0);
  const Matrix x = Random(k, 1, 3);
  ASSERT_EQ(ZMXFunc370(a.data(), x.data(), m, k, y.data()), 0);
  EXPECT_LT(Diff1(y, Mul(a, x, m, k, 1), m, 1), 1e-13);
  EXPECT_EQ(ZMXFunc370(a.data(), x.data(), 3, 0, &untouched), 0);
  EXPECT_EQ(untouched, 5.0);
  EXPECT_EQ(ZMXFunc370(a.data(), x.data(), 3, -2, y.data()), -20003);

  double dot = 0;
  const double u[] = {1, 2, 3}, w[] = {4, -5, 6};
  EXPECT_EQ(ZMXFunc191(u, w, 3, &dot), 0);
  EXPECT_EQ(dot, 12.0);
  EXPECT_EQ(ZMXFunc191(u, w, 0, &dot), -20003);
}

TEST(Products, OuterKroneckerTransposeTrace) {
  const double x[] = {1, 2}, y[] = {3, 4, 5};
  double outer[6];
  ASSERT_EQ(ZMXFunc203(x, 2, y, 3, outer), 0);
  EXPECT_EQ(Matrix(outer, outer + 6), (Matrix{3, 4, 5, 6, 8, 10}));

  const double a[] = {1, 2, 3, 4}, b[] = {0, 1, 1, 0};
  double kron[16];
  ASSERT_EQ(ZMXFunc358(a, b, 2, 2, 2, 2, kron), 0);
  EXPECT_EQ(Matrix(kron, kron + 16), (Matrix{0, 1, 0, 2, 1, 0, 2, 0, 0, 3, 0, 4, 3, 0, 4, 0}));
  const double row[] = {1, 2, 3};
  double k2[6];
  ASSERT_EQ(ZMXFunc358(row, x, 1, 3, 2, 1, k2), 0);  // 2 x 3 result
  EXPECT_EQ(Matrix(k2, k2 + 6), (Matrix{1, 2, 3, 2, 4, 6}));
  EXPECT_EQ(ZMXFunc358(a, b, 2, 0, 2, 2, kron), -20003);

  Matrix m = Random(7, 3, 9);
  Matrix t(21);
  ASSERT_EQ(ZMXFunc177(m.data(), 7, 3, t.data()), 0);
  EXPECT_EQ(t, T(m, 7, 3));
  Matrix inplace = m;
  ASSERT_EQ(ZMXFunc177(inplace.data(), 7, 3, nullptr), 0);
  EXPECT_EQ(inplace, t);

  double trace = 0;
  EXPECT_EQ(ZMXFunc175(a, 2, &trace), 0);
  EXPECT_EQ(trace, 5.0);
  EXPECT_EQ(ZMXFunc175(a, 0, &trace), -20003);
}

TEST(SpecialMatrix, EveryType) {
  const double x[] = {1, 2, 3}, y[] = {9, 5, 6};
  double out[16];
  ASSERT_EQ(ZMXFunc208(0, 2, nullptr, 0, nullptr, 0, out), 0);
  EXPECT_EQ(Matrix(out, out + 4), (Matrix{1, 0, 0, 1}));
  ASSERT_EQ(ZMXFunc208(1, 0, x, 3, nullptr, 0, out), 0);
  EXPECT_EQ(Matrix(out, out + 9), (Matrix{1, 0, 0, 0, 2, 0, 0, 0, 3}));
  ASSERT_EQ(ZMXFunc208(2, 0, x, 3, y, 3, out), 0);  // y[0] unused
  EXPECT_EQ(Matrix(out, out + 9), (Matrix{1, 5, 6, 2, 1, 5, 3, 2, 1}));
  ASSERT_EQ(ZMXFunc208(3, 0, x, 3, nullptr, 0, out), 0);
  EXPECT_EQ(Matrix(out, out + 9), (Matrix{1, 1, 1, 4, 2, 1, 9, 3, 1}));
  // t³ - 6t² + 11t - 6 = (t-1)(t-2)(t-3), leading coefficient 2.
  const double poly[] = {2, -12, 22, -12};
  ASSERT_EQ(ZMXFunc208(4, 0, poly, 4, nullptr, 0, out), 0);
  EXPECT_EQ(Matrix(out, out + 9), (Matrix{6, -11, 6, 1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(ZMXFunc208(4, 0, poly, 1, nullptr, 0, out), -20006);
  const double lead_zero[] = {0, 1, 2};
  EXPECT_EQ(ZMXFunc208(4, 0, lead_zero, 3, nullptr, 0, out), -20060);
  EXPECT_EQ(ZMXFunc208(5, 2, x, 3, y, 3, out), -20061);
  EXPECT_EQ(ZMXFunc208(0, 0, x, 3, y, 3, out), -20003);
  EXPECT_EQ(ZMXFunc208(2, 0, x, 3, nullptr, 3, out), -20008);
}

// U·S·Vᵀ = A with orthonormal U and V, economy and full, wide and tall.
TEST(Svd, FactorsReproduceTheMatrix) {
  struct Shape {
    int m, n;
  } shapes[] = {{1, 1}, {2, 2}, {3, 7}, {7, 3}, {50, 50}, {50, 7}};
  for (const Shape& sh : shapes) {
    for (int type : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << sh.m << "x" << sh.n << " type " << type);
      const int m = sh.m, n = sh.n, p = std::min(m, n);
      const int uc = type == 0 ? m : p, vc = type == 0 ? n : p;
      const Matrix a = Random(m, n, m * 100 + n);
      Matrix u(m * uc), s(p), v(n * vc);
      ASSERT_EQ(ZMXFunc246(a.data(), m, n, type, u.data(), s.data(), v.data()), 0);
      for (int i = 1; i < p; ++i) EXPECT_GE(s[i - 1], s[i]);
      Matrix us(m * n, 0.0);  // U(:, :p)·diag(s)·V(:, :p)ᵀ
      for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
          long double sum = 0;
          for (int q = 0; q < p; ++q) sum += (long double)u[i * uc + q] * s[q] * v[j * vc + q];
          us[i * n + j] = (double)sum;
        }
      EXPECT_LT(Ratio(Diff1(us, a, m, n), std::max(m, n), Norm1(a, m, n)), 30);
      EXPECT_LT(OrthoRatio(u, m, uc), 30);
      EXPECT_LT(OrthoRatio(v, n, vc), 30);
      Matrix s2(p);
      ASSERT_EQ(ZMXFunc195(a.data(), m, n, s2.data()), 0);
      for (int i = 0; i < p; ++i) EXPECT_NEAR(s2[i], s[i], 30 * p * kEps * s[0]);
      if (type == 1) {
        Matrix u3(m * p), s3(p), v3(n * p);
        ASSERT_EQ(ZMXFunc193(a.data(), m, n, u3.data(), s3.data(), v3.data()), 0);
        EXPECT_EQ(s3, s);
      }
    }
  }
  // Values only when U or V is null.
  const double diag[] = {3, 0, 0, -4};
  double s[2];
  ASSERT_EQ(ZMXFunc246(diag, 2, 2, 0, nullptr, s, nullptr), 0);
  EXPECT_EQ(s[0], 4.0);
  EXPECT_EQ(s[1], 3.0);
  EXPECT_EQ(ZMXFunc246(diag, 2, 2, 2, nullptr, s, nullptr), -20061);
}

TEST(Norms, EveryTypeAndCondition) {
  const double a[] = {1, -2, 3, 4};  // columns sums 4, 6; row sums 3, 7
  double v = 0;
  ASSERT_EQ(ZMXFunc206(a, 2, 2, 1, &v), 0);
  EXPECT_EQ(v, 6.0);
  ASSERT_EQ(ZMXFunc206(a, 2, 2, 3, &v), 0);
  EXPECT_EQ(v, 7.0);
  ASSERT_EQ(ZMXFunc206(a, 2, 2, 2, &v), 0);
  EXPECT_NEAR(v, std::sqrt(30.0), 1e-15);
  ASSERT_EQ(ZMXFunc206(a, 2, 2, 0, &v), 0);
  // σ₁² is the larger root of λ² − 30λ + 100.
  EXPECT_NEAR(v, std::sqrt(15 + std::sqrt(125.0)), 1e-14);
  v = 0;
  EXPECT_EQ(ZMXFunc206(a, 2, 2, 4, &v), -20061);
  EXPECT_TRUE(std::isnan(v));

  // Condition numbers of diag(1, 1e-3): 1e3, except in the Frobenius norm.
  const double d[] = {1, 0, 0, 1e-3};
  for (int t = 0; t <= 3; ++t) {
    ASSERT_EQ(ZMXFunc205(d, 2, 2, t, &v), 0);
    const double expect = t == 2 ? std::sqrt((1 + 1e-6) * (1 + 1e6)) : 1e3;
    EXPECT_NEAR(v, expect, 1e-10) << t;
  }
  const double singular[] = {1, 2, 2, 4};
  for (int t = 0; t <= 3; ++t) {
    ASSERT_EQ(ZMXFunc205(singular, 2, 2, t, &v), 0);
    if (t != 0) {
      EXPECT_EQ(v, INFINITY);
    } else {
      EXPECT_GT(v, 1e15);
    }
  }
  const double wide[] = {1, 0, 0, 0, 2, 0};
  ASSERT_EQ(ZMXFunc205(wide, 2, 3, 0, &v), 0);
  EXPECT_NEAR(v, 2.0, 1e-15);
  EXPECT_EQ(ZMXFunc205(wide, 2, 3, 1, &v), -20039);
  EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(ZMXFunc205(wide, 2, 3, 9, &v), -20061);
}

TEST(Rank, DefaultAndGivenTolerance) {
  // Rank 3 product of 7 x 3 and 3 x 5 factors.
  const Matrix f = Random(7, 3, 1), g = Random(3, 5, 2);
  const Matrix a = Mul(f, g, 7, 3, 5);
  int64_t rank = 99;
  ASSERT_EQ(ZMXFunc207(a.data(), 7, 5, -1, &rank), 0);
  EXPECT_EQ(rank, 3);
  ASSERT_EQ(ZMXFunc207(a.data(), 7, 5, 1e6, &rank), 0);
  EXPECT_EQ(rank, 0);
  const Matrix full = Random(50, 50, 3);
  ASSERT_EQ(ZMXFunc207(full.data(), 50, 50, -1, &rank), 0);
  EXPECT_EQ(rank, 50);
  EXPECT_EQ(ZMXFunc207(a.data(), 7, 0, -1, &rank), -20003);
  EXPECT_EQ(rank, -1);
  EXPECT_EQ(ZMXFunc207(a.data(), 7, 5, NAN, &rank), -20068);
}

// The four Penrose conditions, on a rank-deficient matrix.
TEST(PseudoInverse, PenroseConditions) {
  const Matrix f = Random(7, 3, 4), g = Random(3, 5, 5);
  const Matrix a = Mul(f, g, 7, 3, 5);
  Matrix x(35);
  ASSERT_EQ(ZMXFunc200(a.data(), 7, 5, -1, x.data()), 0);
  const double an = Norm1(a, 7, 5), xn = Norm1(x, 5, 7);
  const Matrix ax = Mul(a, x, 7, 5, 7), xa = Mul(x, a, 5, 7, 5);
  EXPECT_LT(Ratio(Diff1(Mul(ax, a, 7, 7, 5), a, 7, 5), 7, an * an * xn), 100);
  EXPECT_LT(Ratio(Diff1(Mul(xa, x, 5, 5, 7), x, 5, 7), 7, xn * xn * an), 100);
  EXPECT_LT(Ratio(Diff1(ax, T(ax, 7, 7), 7, 7), 7, an * xn), 100);
  EXPECT_LT(Ratio(Diff1(xa, T(xa, 5, 5), 5, 5), 7, an * xn), 100);
  const double zero[] = {0, 0};
  double out[2] = {5, 5};
  ASSERT_EQ(ZMXFunc200(zero, 1, 2, -1, out), 0);
  EXPECT_EQ(out[0], 0.0);
}

// Q·R = A·P, orthonormal Q, upper triangular R, for every variant.
TEST(Qr, EveryVariantFactorsTheMatrix) {
  struct Shape {
    int m, n;
  } shapes[] = {{1, 1}, {2, 2}, {3, 7}, {7, 3}, {50, 50}};
  for (const Shape& sh : shapes) {
    const int m = sh.m, n = sh.n, p = std::min(m, n);
    const Matrix a = Random(m, n, 7 * m + n);
    for (int piv = 0; piv <= 2; ++piv) {
      for (int size : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << m << "x" << n << " piv " << piv << " size " << size);
        const int qc = size == 0 ? m : p;
        Matrix q(m * qc), r(qc * n);
        std::vector<int64_t> perm(piv == 2 ? n * n : n, -5);
        ASSERT_EQ(ZMXFunc243(a.data(), m, n, piv, size, perm.data(), q.data(), r.data()), 0);
        std::vector<int> cols(n);
        for (int j = 0; j < n; ++j) cols[j] = j;
        if (piv == 1) {
          for (int j = 0; j < n; ++j) cols[j] = static_cast<int>(perm[j]);
        } else if (piv == 2) {
          for (int j = 0; j < n; ++j) {
            int ones = 0;
            for (int i = 0; i < n; ++i) {
              ASSERT_TRUE(perm[i * n + j] == 0 || perm[i * n + j] == 1);
              if (perm[i * n + j] == 1) cols[j] = i, ++ones;
            }
            ASSERT_EQ(ones, 1);
          }
        }
        std::vector<int> seen(n, 0);
        for (int c : cols) ++seen[c];
        for (int c : seen) ASSERT_EQ(c, 1);
        Matrix ap(m * n);
        for (int i = 0; i < m; ++i)
          for (int j = 0; j < n; ++j) ap[i * n + j] = a[i * n + cols[j]];
        for (int i = 0; i < qc; ++i)
          for (int j = 0; j < std::min(i, n); ++j) EXPECT_EQ(r[i * n + j], 0.0);
        EXPECT_LT(Ratio(Diff1(Mul(q, r, m, qc, n), ap, m, n), std::max(m, n), Norm1(a, m, n)), 30);
        EXPECT_LT(OrthoRatio(q, m, qc), 30);
        if (piv > 0) {  // pivoted R has a non-increasing diagonal
          for (int i = 1; i < p; ++i)
            EXPECT_GE(std::fabs(r[(i - 1) * n + i - 1]) * (1 + 1e-12), std::fabs(r[i * n + i]));
        }
      }
    }
    for (int method = 0; method <= 2; ++method) {
      SCOPED_TRACE(::testing::Message() << m << "x" << n << " method " << method);
      Matrix q(m * m), r(m * n);
      ASSERT_EQ(ZMXFunc192(a.data(), m, n, method, q.data(), r.data()), 0);
      for (int i = 0; i < m; ++i)
        for (int j = 0; j < std::min(i, n); ++j) EXPECT_EQ(r[i * n + j], 0.0);
      EXPECT_LT(Ratio(Diff1(Mul(q, r, m, m, n), a, m, n), std::max(m, n), Norm1(a, m, n)), 30);
      EXPECT_LT(OrthoRatio(q, m, m), 30);
    }
  }
  double q[4], r[4];
  const double a[] = {1, 2, 3, 4};
  EXPECT_EQ(ZMXFunc243(a, 2, 2, 3, 0, nullptr, q, r), -20061);
  EXPECT_EQ(ZMXFunc192(a, 2, 2, 3, q, r), -20061);
  EXPECT_EQ(ZMXFunc243(a, 2, 2, 0, 0, nullptr, nullptr, r), 0);  // Q not requested
}

// The scaled rotations rescale before their weights overflow.
TEST(Qr, ScaledRotationsOnATallMatrix) {
  const int m = 400, n = 3;
  const Matrix a = Random(m, n, 77);
  Matrix q(m * m), r(m * n);
  ASSERT_EQ(ZMXFunc192(a.data(), m, n, 2, q.data(), r.data()), 0);
  for (double x : r) ASSERT_TRUE(std::isfinite(x));
  EXPECT_LT(Ratio(Diff1(Mul(q, r, m, m, n), a, m, n), m, Norm1(a, m, n)), 30);
}

}  // namespace
