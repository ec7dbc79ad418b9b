// Eigenvalues and eigenvectors, balancing, Hessenberg and Schur forms and
// the generalized eigenvalue operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "linalg_test_support.h"

namespace {

using namespace linalg_test;

// ‖M·x − λ·N·x‖₁ / ((‖M‖₁ + |λ|·‖N‖₁)·‖x‖₁·n·ε) for column j of the complex
// n x n matrix v (N = identity when null).
double EigenRatio(const Matrix& m, const Matrix* nmat, int n, cplx lambda, const Matrix& v, int j) {
  double res = 0, xn = 0;
  for (int i = 0; i < n; ++i) {
    std::complex<long double> mx = 0, nx = 0;
    for (int k = 0; k < n; ++k) {
      const std::complex<long double> x(At(v, n, k, j).real(), At(v, n, k, j).imag());
      mx += (long double)m[i * n + k] * x;
      nx += (nmat ? (long double)(*nmat)[i * n + k] : (i == k ? 1.0L : 0.0L)) * x;
    }
    const std::complex<long double> l(lambda.real(), lambda.imag());
    res += (double)std::abs(mx - l * nx);
    xn += std::abs(At(v, n, i, j));
  }
  const double nn = nmat ? Norm1(*nmat, n, n) : 1.0;
  return Ratio(res, n, (Norm1(m, n, n) + std::abs(lambda) * nn) * xn);
}

const int kSizes[] = {1, 2, 3, 7, 50};

TEST(EigenGeneral, RightEigenvectorsIncludingComplexPairs) {
  for (int n : kSizes) {
    SCOPED_TRACE(n);
    const Matrix a = Random(n, n, 300 + n);
    Matrix values(2 * n), vectors(2 * n * n);
    ASSERT_EQ(ZMXFunc201(a.data(), n, 1, values.data(), vectors.data()), 0);
    int pairs = 0;
    for (int j = 0; j < n; ++j) {
      const cplx lambda(values[2 * j], values[2 * j + 1]);
      if (lambda.imag() > 0) ++pairs;
      EXPECT_LT(EigenRatio(a, nullptr, n, lambda, vectors, j), 30) << j;
    }
    if (n >= 7) {
      EXPECT_GT(pairs, 0);  // the complex case is exercised
    }
    Matrix only(2 * n);
    ASSERT_EQ(ZMXFunc201(a.data(), n, 0, only.data(), nullptr), 0);
    EXPECT_EQ(only, values);
  }
  // A rotation by 90 degrees: ±i.
  const double rot[] = {0, -1, 1, 0};
  double values[4], vectors[8];
  ASSERT_EQ(ZMXFunc201(rot, 2, 1, values, vectors), 0);
  EXPECT_NEAR(std::fabs(values[1]), 1.0, 1e-15);
  EXPECT_EQ(values[1], -values[3]);
  EXPECT_EQ(ZMXFunc201(rot, 2, 2, values, vectors), -20061);
  EXPECT_EQ(ZMXFunc201(rot, 2, 1, values, nullptr), -20008);
}

TEST(EigenSymmetric, TridiagonalClosedForm) {
  for (int n : kSizes) {
    SCOPED_TRACE(n);
    Matrix a(n * n, 0.0);
    for (int i = 0; i < n; ++i) {
      a[i * n + i] = 2;
      if (i + 1 < n) a[i * n + i + 1] = a[(i + 1) * n + i] = -1;
    }
    Matrix w(n), v(n * n);
    ASSERT_EQ(ZMXFunc202(a.data(), n, 1, w.data(), v.data()), 0);
    for (int k = 0; k < n; ++k)  // ascending: 2 − 2cos(kπ/(n+1))
      EXPECT_NEAR(w[k], 2 - 2 * std::cos((k + 1) * std::numbers::pi / (n + 1)), 30 * n * kEps * 4);
    EXPECT_LT(OrthoRatio(v, n, n), 30);
    Matrix vl(n * n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) vl[i * n + j] = v[i * n + j] * w[j];
    EXPECT_LT(Ratio(Diff1(Mul(a, v, n, n, n), vl, n, n), n, Norm1(a, n, n)), 30);
    Matrix in_place = a;  // vectors over the input
    ASSERT_EQ(ZMXFunc202(in_place.data(), n, 1, w.data(), nullptr), 0);
    EXPECT_EQ(in_place, v);
  }
}

TEST(IsPositiveDefinite, Cases) {
  struct Row {
    Matrix a;
    int32_t expect;
  } rows[] = {{{2, -1, -1, 2}, 1},
              {{1, 2, 2, 1}, 0},      // indefinite
              {{1, 1, 1, 1}, 0},      // semidefinite
              {{2, 1, 0, 2}, 0},      // not symmetric
              {{2, NAN, NAN, 2}, 0},  // NaN counts as different
              {{4}, 1}};
  for (const Row& r : rows) {
    const int n = r.a.size() == 1 ? 1 : 2;
    int32_t result = 7;
    EXPECT_EQ(ZMXFunc209(r.a.data(), n, &result), 0);
    EXPECT_EQ(result, r.expect);
  }
  int32_t result = 7;
  EXPECT_EQ(ZMXFunc209(rows[0].a.data(), 0, &result), -20003);
  EXPECT_EQ(result, 0);
}

// A = D·M·D⁻¹ with a symmetric M: real eigenvalues, wildly scaled entries.
Matrix BadlyScaled(int n, Matrix* m_out) {
  Matrix m = Random(n, n, 41);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < i; ++j) m[i * n + j] = m[j * n + i];
  Matrix a(n * n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a[i * n + j] = std::ldexp(m[i * n + j], 3 * (i - j));
  if (m_out) *m_out = m;
  return a;
}

TEST(Balance, ScalingIsExactAndBackTransformRecoversEigenvectors) {
  const int n = 7;
  const Matrix a = BadlyScaled(n, nullptr);
  Matrix out(n * n), scale(n);
  int64_t ilo = -9, ihi = -9;
  ASSERT_EQ(ZMXFunc248(const_cast<double*>(a.data()), n, 2, &ilo, &ihi, scale.data(), out.data()),
            0);
  EXPECT_EQ(ilo, 0);
  EXPECT_EQ(ihi, n - 1);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) EXPECT_EQ(out[i * n + j], a[i * n + j] / scale[i] * scale[j]);
  double before = 0, after = 0;
  ZMXFunc206(a.data(), n, n, 1, &before);
  ZMXFunc206(out.data(), n, n, 1, &after);
  EXPECT_LT(after, before / 100);

  // Permutation too; right eigenvectors of the balanced matrix transformed
  // back are eigenvectors of A; left ones likewise.
  Matrix bal = a;
  ASSERT_EQ(ZMXFunc248(bal.data(), n, 3, &ilo, &ihi, scale.data(), nullptr), 0);
  for (int side : {0, 1}) {
    SCOPED_TRACE(side);
    const Matrix src = side == 0 ? bal : T(bal, n, n);
    Matrix values(2 * n), vec(2 * n * n), re(n * n);
    ASSERT_EQ(ZMXFunc201(src.data(), n, 1, values.data(), vec.data()), 0);
    for (int k = 0; k < n * n; ++k) {
      ASSERT_EQ(vec[2 * k + 1], 0.0);
      re[k] = vec[2 * k];
    }
    ASSERT_EQ(ZMXFunc250(re.data(), n, side, 3, ilo, ihi, scale.data(), nullptr), 0);
    Matrix back(2 * n * n, 0.0);
    for (int k = 0; k < n * n; ++k) back[2 * k] = re[k];
    const Matrix target = side == 0 ? a : T(a, n, n);
    for (int j = 0; j < n; ++j)
      EXPECT_LT(EigenRatio(target, nullptr, n, {values[2 * j], 0}, back, j), 30) << j;
  }
  // A triangular matrix is all permutation: bounds collapse.
  const double tri[] = {1, 2, 3, 0, 4, 5, 0, 0, 6};
  double sc[3], o[9];
  ASSERT_EQ(ZMXFunc248(const_cast<double*>(tri), 3, 1, &ilo, &ihi, sc, o), 0);
  EXPECT_EQ(ilo, ihi);

  Matrix v = Identity(3);
  const double bad_perm[] = {7, 1, 1};  // names row 7 of 3
  EXPECT_EQ(ZMXFunc250(v.data(), 3, 0, 1, 1, 2, bad_perm, nullptr), -20017);
  EXPECT_EQ(ZMXFunc250(v.data(), 3, 0, 1, 2, 1, sc, nullptr), -20017);
  EXPECT_EQ(ZMXFunc250(v.data(), 3, 0, 4, 0, 2, sc, nullptr), -20061);
  EXPECT_EQ(ZMXFunc248(v.data(), 3, 4, &ilo, &ihi, sc, nullptr), -20061);
}

TEST(Hessenberg, RoundTrip) {
  for (int n : kSizes) {
    SCOPED_TRACE(n);
    const Matrix a = Random(n, n, 500 + n);
    Matrix h(n * n), q(n * n);
    ASSERT_EQ(ZMXFunc254(const_cast<double*>(a.data()), n, h.data(), q.data()), 0);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j + 1 < i; ++j) EXPECT_EQ(h[i * n + j], 0.0);
    const Matrix qhqt = Mul(Mul(q, h, n, n, n), T(q, n, n), n, n, n);
    EXPECT_LT(Ratio(Diff1(qhqt, a, n, n), n, Norm1(a, n, n)), 30);
    EXPECT_LT(OrthoRatio(q, n, n), 30);
  }
}

double Key(int ordering, double re, double im) { return ordering <= 2 ? re : std::hypot(re, im); }

TEST(Schur, EveryOrdering) {
  for (int n : kSizes) {
    const Matrix a = Random(n, n, 600 + n);
    Matrix ref(2 * n);
    ASSERT_EQ(ZMXFunc201(a.data(), n, 0, ref.data(), nullptr), 0);
    for (int ordering = 0; ordering <= 4; ++ordering) {
      SCOPED_TRACE(::testing::Message() << n << " ordering " << ordering);
      Matrix q(n * n), t(n * n), w(2 * n);
      ASSERT_EQ(ZMXFunc258(a.data(), n, ordering, q.data(), t.data(), w.data()), 0);
      const Matrix qtqt = Mul(Mul(q, t, n, n, n), T(q, n, n), n, n, n);
      EXPECT_LT(Ratio(Diff1(qtqt, a, n, n), n, Norm1(a, n, n)), 30);
      EXPECT_LT(OrthoRatio(q, n, n), 30);
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j + 1 < i; ++j) EXPECT_EQ(t[i * n + j], 0.0);
        if (i + 2 < n) {
          EXPECT_FALSE(t[(i + 1) * n + i] != 0 && t[(i + 2) * n + i + 1] != 0);
        }
      }
      // Same spectrum as the eigenvalue routine, keys in the requested order.
      for (int j = 0; j < n; ++j) {
        double best = INFINITY;
        for (int k = 0; k < n; ++k)
          best = std::min(best, std::hypot(w[2 * j] - ref[2 * k], w[2 * j + 1] - ref[2 * k + 1]));
        EXPECT_LT(best, 1e-10 * (1 + Norm1(a, n, n)));
        if (ordering == 0 || j == 0) continue;
        const double prev = Key(ordering, w[2 * j - 2], w[2 * j - 1]);
        const double cur = Key(ordering, w[2 * j], w[2 * j + 1]);
        const double slack = 1e-12 * (1 + std::fabs(prev));
        if (ordering % 2 == 1) {
          EXPECT_LE(prev, cur + slack) << j;
        } else {
          EXPECT_GE(prev + slack, cur) << j;
        }
      }
      Matrix t2(n * n), w2(2 * n);  // without Schur vectors
      ASSERT_EQ(ZMXFunc258(a.data(), n, ordering, nullptr, t2.data(), w2.data()), 0);
      for (int j = 0; j < 2 * n; ++j) EXPECT_NEAR(w2[j], w[j], 1e-10 * (1 + Norm1(a, n, n)));
    }
  }
  double t[4], w[4];
  const double a[] = {1, 2, 3, 4};
  EXPECT_EQ(ZMXFunc258(a, 2, 5, nullptr, t, w), -20061);
}

TEST(Generalized, EigenvectorsOfAPair) {
  for (int n : {1, 2, 3, 7, 50}) {
    SCOPED_TRACE(n);
    const Matrix a = Random(n, n, 700 + n), b = Random(n, n, 800 + n);
    Matrix w(2 * n), left(2 * n * n), right(2 * n * n);
    ASSERT_EQ(ZMXFunc252(a.data(), b.data(), n, w.data(), left.data(), right.data()), 0);
    const Matrix at = T(a, n, n), bt = T(b, n, n);
    for (int j = 0; j < n; ++j) {
      const cplx lambda(w[2 * j], w[2 * j + 1]);
      EXPECT_LT(EigenRatio(a, &b, n, lambda, right, j), 30) << j;
      // yᴴ·A = λ·yᴴ·B  ⇔  Aᵀ·conj(y) = λ·Bᵀ·conj(y).
      Matrix conj_left = left;
      for (int k = 0; k < n * n; ++k) conj_left[2 * k + 1] = -conj_left[2 * k + 1];
      EXPECT_LT(EigenRatio(at, &bt, n, lambda, conj_left, j), 30) << j;
    }
  }
  // B = I gives the ordinary eigenvalues; a singular B an infinite one.
  const double a[] = {2, 1, 0, 3}, id[] = {1, 0, 0, 1}, sing[] = {1, 0, 0, 0};
  double w[4];
  ASSERT_EQ(ZMXFunc252(a, id, 2, w, nullptr, nullptr), 0);
  std::vector<double> re = {w[0], w[2]};
  std::sort(re.begin(), re.end());
  EXPECT_NEAR(re[0], 2.0, 1e-14);
  EXPECT_NEAR(re[1], 3.0, 1e-14);
  ASSERT_EQ(ZMXFunc252(id, sing, 2, w, nullptr, nullptr), 0);
  EXPECT_TRUE((std::isinf(w[0]) && w[2] == 1.0) || (std::isinf(w[2]) && w[0] == 1.0));
  EXPECT_EQ(w[1], 0.0);
  EXPECT_EQ(w[3], 0.0);
}

TEST(Generalized, SchurFormWithEveryOrdering) {
  const int n = 7;
  const Matrix a = Random(n, n, 901), b = Random(n, n, 902);
  for (int ordering = 0; ordering <= 4; ++ordering) {
    SCOPED_TRACE(ordering);
    Matrix s(n * n), t(n * n), q(n * n), z(n * n), alpha(2 * n), beta(n), right(2 * n * n);
    ASSERT_EQ(ZMXFunc256(a.data(), b.data(), n, ordering, s.data(), t.data(), q.data(), z.data(),
                         alpha.data(), beta.data(), nullptr, right.data()),
              0);
    const Matrix zt = T(z, n, n);
    EXPECT_LT(Ratio(Diff1(Mul(Mul(q, s, n, n, n), zt, n, n, n), a, n, n), n, Norm1(a, n, n)), 30);
    EXPECT_LT(Ratio(Diff1(Mul(Mul(q, t, n, n, n), zt, n, n, n), b, n, n), n, Norm1(b, n, n)), 30);
    EXPECT_LT(OrthoRatio(q, n, n), 30);
    EXPECT_LT(OrthoRatio(z, n, n), 30);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < i; ++j) EXPECT_EQ(t[i * n + j], 0.0);
    for (int j = 0; j < n; ++j) {
      const cplx lambda = cplx(alpha[2 * j], alpha[2 * j + 1]) / beta[j];
      EXPECT_LT(EigenRatio(a, &b, n, lambda, right, j), 30) << j;
      if (ordering == 0 || j == 0) continue;
      const cplx prev = cplx(alpha[2 * j - 2], alpha[2 * j - 1]) / beta[j - 1];
      const double kp = Key(ordering, prev.real(), prev.imag());
      const double kc = Key(ordering, lambda.real(), lambda.imag());
      const double slack = 1e-10 * (1 + std::fabs(kp));
      if (ordering % 2 == 1) {
        EXPECT_LE(kp, kc + slack);
      } else {
        EXPECT_GE(kp + slack, kc);
      }
    }
  }
  double s[4];
  const double id[] = {1, 0, 0, 1};
  EXPECT_EQ(ZMXFunc256(id, id, 2, 5, nullptr, nullptr, nullptr, nullptr, s, s, nullptr, nullptr),
            -20061);
  EXPECT_EQ(
      ZMXFunc256(id, id, 2, 0, nullptr, nullptr, nullptr, nullptr, s, nullptr, nullptr, nullptr),
      -20008);
  EXPECT_EQ(ZMXFunc252(id, id, 0, s, nullptr, nullptr), -20003);
}

}  // namespace
